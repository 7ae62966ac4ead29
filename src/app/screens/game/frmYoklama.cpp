#include "screens/game/frmYoklama.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "framework/RunTilesView.h"
#include "framework/frmSanalKumanda.h"
#include "screens/game/BoardLook.h"

frmYoklama::frmYoklama(const game::Players& players, const receiver::Clock& clock,
                       framework::ReceiverController* receiver, QWidget* parent)
    : QWidget(parent), m_roll(players, clock), m_receiver(receiver) {
  setObjectName(QStringLiteral("frmYoklama"));
  setWindowTitle(QStringLiteral("Yoklama"));
  setAttribute(Qt::WA_DeleteOnClose);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xf4, 0xf6, 0xfa));
  pal.setColor(QPalette::WindowText, QColor(0x1d, 0x2b, 0x3a));
  setPalette(pal);

  for (int i = 0; i < players.size(); ++i)
    m_captions << players.names.value(i) + QLatin1Char('\n') + players.addresses.at(i);

  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(24, 16, 24, 16);
  box->setSpacing(12);
  auto* top = new QHBoxLayout;
  auto* titles = new QVBoxLayout;
  m_lblBaslik = new QLabel(QStringLiteral("YOKLAMA"), this);
  m_lblBaslik->setObjectName(QStringLiteral("lblBaslik"));
  m_lblAciklama = new QLabel(QStringLiteral("Buradaysanız kumandanızda bir tuşa basın. "
                                            "Boş tuşu (X) geri alır."),
                             this);
  m_lblAciklama->setObjectName(QStringLiteral("lblAciklama"));
  m_lblAciklama->setWordWrap(true);
  titles->addWidget(m_lblBaslik);
  titles->addWidget(m_lblAciklama);
  top->addLayout(titles, 1);
  m_lblBuradaOlan =
      new QLabel(QStringLiteral("%1 oyuncudan burada olan").arg(players.size()), this);
  m_lblBuradaOlan->setObjectName(QStringLiteral("lblBuradaOlan"));
  top->addWidget(m_lblBuradaOlan, 0, Qt::AlignBottom);
  m_lblKumandaSayisi = new QLabel(this);
  m_lblKumandaSayisi->setObjectName(QStringLiteral("lblKumandaSayisi"));
  top->addWidget(m_lblKumandaSayisi, 0, Qt::AlignBottom);
  box->addLayout(top);

  m_tiles = new RunTilesView(this);
  m_tiles->setObjectName(QStringLiteral("frameKumandalarTest"));
  m_tiles->setPalette(pal);
  m_tiles->setTiles(&m_roll.tiles(), &m_captions);
  box->addWidget(m_tiles, 1);

  auto* buttons = m_buttons = new QHBoxLayout;
  m_cmdSanalKumanda =
      gameui::boardButton(QStringLiteral("cmdSanalKumanda"), QStringLiteral("Sanal Kumanda"),
                          QStringLiteral("background:#e3e8ef;color:#1d2b3a"), this);
  m_cmdSanalKumanda->setVisible(m_receiver != nullptr);
  connect(m_cmdSanalKumanda, &QPushButton::clicked, this, &frmYoklama::cmdSanalKumanda_Click);
  buttons->addWidget(m_cmdSanalKumanda);
  buttons->addStretch(1);
  m_cmdCikis = gameui::boardButton(QStringLiteral("cmdCikis"), QStringLiteral("Kapat"),
                                   QStringLiteral("background:#e3e8ef;color:#1d2b3a"), this);
  connect(m_cmdCikis, &QPushButton::clicked, this, &QWidget::close);
  buttons->addWidget(m_cmdCikis);
  m_cmdBasla = gameui::boardButton(QStringLiteral("cmdBasla"), QStringLiteral("Oyunu Başlat"),
                                   QStringLiteral("background:#2e7d32;color:white"), this);
  connect(m_cmdBasla, &QPushButton::clicked, this, &frmYoklama::cmdBasla_Click);
  buttons->addWidget(m_cmdBasla);
  box->addLayout(buttons);

  connect(&m_roll, &game::Attendance::tileChanged, m_tiles, &RunTilesView::tileChanged);
  connect(&m_roll, &game::Attendance::changed, this, &frmYoklama::showCount);
  gameui::closeOnEscape(this);
  showCount();
  applyScale();
}

void frmYoklama::addToButtons(QWidget* widget) {
  m_buttons->insertWidget(1, widget);
  applyScale();
}

void frmYoklama::showCount() { m_lblKumandaSayisi->setText(m_roll.countText()); }

void frmYoklama::cmdBasla_Click() {
  const game::Players present = m_roll.start();
  m_started = true;
  // The game opens first, so that it is the window the presses go to.
  if (m_startGame) m_startGame(present);
  close();
}

void frmYoklama::cmdSanalKumanda_Click() {
  if (!m_receiver) return;
  if (auto* open = findChild<frmSanalKumanda*>()) {
    open->raise();
    return;
  }
  auto* remote = new frmSanalKumanda(this, m_receiver);
  remote->show();
  remote->raise();
}

void frmYoklama::closeEvent(QCloseEvent* event) {
  if (!m_started) emit closedWithoutGame();
  QWidget::closeEvent(event);
}

void frmYoklama::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  applyScale();
}

// Texts grow with the board: readable from the back row of the class.
void frmYoklama::applyScale() {
  const int unit = gameui::boardUnit(this);
  gameui::setPixelFont(m_lblBaslik, unit * 2, true);
  gameui::setPixelFont(m_lblAciklama, unit * 6 / 5, false);
  gameui::setPixelFont(m_lblKumandaSayisi, unit * 2, true);
  gameui::setPixelFont(m_lblBuradaOlan, unit * 6 / 5, false);
  for (QPushButton* b : {m_cmdBasla, m_cmdCikis, m_cmdSanalKumanda}) {
    gameui::setPixelFont(b, unit, true);
    b->setMinimumHeight(unit * 3);
  }
  // What the opener put on the button row (the browser answers' box).
  // Smaller than the buttons: it is the teacher's, not the class's.
  for (QCheckBox* c : findChildren<QCheckBox*>()) {
    gameui::setPixelFont(c, unit * 2 / 3, false);
    c->setStyleSheet(
        QStringLiteral("QCheckBox::indicator{width:%1px;height:%1px;}").arg(unit * 2 / 3));
  }
}
