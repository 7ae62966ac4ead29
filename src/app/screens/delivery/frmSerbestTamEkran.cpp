#include "screens/delivery/frmSerbestTamEkran.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "framework/CommandSide.h"

frmSerbestTamEkran::frmSerbestTamEkran(delivery::RunSession& session, QWidget* parent)
    // A window of its own, not a tool window: the teacher opens the vote by
    // clicking it, and the remotes' presses go to the window that is active then.
    // The routing passes tool windows by; a click on the bar then sent the class's
    // answers to the set-up screen behind, where nothing counts them.
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_session(session) {
  setObjectName(QStringLiteral("frmSerbestTamEkran"));
  setWindowTitle(QStringLiteral("Serbest Soru"));

  m_frame = new QFrame(this);
  m_frame->setObjectName(QStringLiteral("frame"));
  m_frame->setAutoFillBackground(true);
  m_lblSoruNo = new QLabel(m_frame);
  m_lblSoruNo->setObjectName(QStringLiteral("lblSoruNo"));
  m_lblDurum = new QLabel(m_frame);
  m_lblDurum->setObjectName(QStringLiteral("lblDurum"));
  m_lblDurum->setAlignment(Qt::AlignCenter);
  m_lblSayilar = new QLabel(m_frame);
  m_lblSayilar->setObjectName(QStringLiteral("lblSayilar"));
  m_lblSayilar->setAlignment(Qt::AlignCenter);
  for (QLabel* l : {m_lblSoruNo, m_lblDurum}) {
    QFont f = l->font();
    f.setBold(true);
    f.setPixelSize(l == m_lblDurum ? 18 : 26);
    l->setFont(f);
  }
  m_cmdKatla = new QPushButton(m_frame);
  m_cmdKatla->setObjectName(QStringLiteral("cmdKatla"));
  m_cmdKatla->setFocusPolicy(Qt::NoFocus);
  m_cmdKatla->setFixedWidth(36);
  connect(m_cmdKatla, &QPushButton::clicked, this, [this] { setFolded(!m_folded); });
  auto* head = new QHBoxLayout;
  head->addWidget(m_lblSoruNo);
  head->addWidget(m_lblDurum, 1);
  head->addWidget(m_cmdKatla);
  auto* frameBox = new QVBoxLayout(m_frame);
  frameBox->setContentsMargins(8, 4, 8, 4);
  frameBox->addLayout(head);
  frameBox->addWidget(m_lblSayilar);

  m_buttonRow = new QWidget(this);
  // On a board the commands stand one above the other at the teacher's side.
  const bool column = framework::commandsInColumn();
  QBoxLayout* row = column ? static_cast<QBoxLayout*>(new QVBoxLayout(m_buttonRow))
                           : static_cast<QBoxLayout*>(new QHBoxLayout(m_buttonRow));
  row->setContentsMargins(0, 0, 0, 0);
  for (Command c : {Command::Previous, Command::Next, Command::ShowAnswer, Command::Pause,
                    Command::Exit, Command::ConfirmExit, Command::CancelExit}) {
    auto* b = new QPushButton(m_buttonRow);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, [this, c] { m_session.trigger(c); });
    row->addWidget(b);
    m_buttons.insert(c, b);
  }
  m_cmdKirp = new QPushButton(m_buttonRow);
  m_cmdKirp->setObjectName(QStringLiteral("cmdKirp"));
  m_cmdKirp->setFocusPolicy(Qt::NoFocus);
  connect(m_cmdKirp, &QPushButton::clicked, this, &frmSerbestTamEkran::clipRequested);
  row->insertWidget(2, m_cmdKirp);
  // The report after a question waits for "Teste Devam Et": from the bar too, for
  // the teacher who is working in another window.
  m_cmdTesteDevam = new QPushButton(QStringLiteral("Teste Devam Et (B)"), m_buttonRow);
  m_cmdTesteDevam->setObjectName(QStringLiteral("cmdTesteDevam"));
  m_cmdTesteDevam->setFocusPolicy(Qt::NoFocus);
  connect(m_cmdTesteDevam, &QPushButton::clicked, this, [this] { m_session.reportClosed(); });
  row->insertWidget(0, m_cmdTesteDevam);
  const QList<QPair<Command, QString>> names = {{Command::Previous, QStringLiteral("cmdNav0")},
                                                {Command::Next, QStringLiteral("cmdNav1")},
                                                {Command::ShowAnswer, QStringLiteral("cmdNav2")},
                                                {Command::Pause, QStringLiteral("cmdNav3")},
                                                {Command::Exit, QStringLiteral("cmdNav4")},
                                                {Command::ConfirmExit, QStringLiteral("cmdEvet")},
                                                {Command::CancelExit, QStringLiteral("cmdHayir")}};
  for (const auto& [c, name] : names) m_buttons.value(c)->setObjectName(name);
  if (column) {
    // The most used first, after "Teste Devam Et" that stands alone when shown.
    row->removeWidget(m_buttons.value(Command::Next));
    row->insertWidget(1, m_buttons.value(Command::Next));
    row->addWidget(
        framework::sideSwitchButton(m_buttonRow, [this](board::CommandSide) { placeOnBoard(); }));
  }

  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(4, 4, 4, 4);
  box->setSpacing(4);
  box->addWidget(m_frame);
  box->addWidget(m_buttonRow);

  setFolded(false);
  connect(&m_session, &delivery::RunSession::changed, this, &frmSerbestTamEkran::refresh);
  connect(&m_session, &delivery::RunSession::tileChanged, this, &frmSerbestTamEkran::refresh);
  refresh();
}

QPalette frmSerbestTamEkran::votingPalette(QPalette base, bool open) {
  base.setColor(QPalette::Window, open ? QColor(0, 255, 0) : QColor(255, 0, 0));
  base.setColor(QPalette::WindowText, open ? Qt::black : Qt::white);
  return base;
}

void frmSerbestTamEkran::setFolded(bool folded) {
  m_folded = folded;
  m_buttonRow->setVisible(!folded);
  m_lblSayilar->setVisible(!folded);
  m_cmdKatla->setText(folded ? QStringLiteral("▾") : QStringLiteral("▴"));
  m_cmdKatla->setToolTip(folded ? QStringLiteral("Aç") : QStringLiteral("Kapat"));
  adjustSize();
}

void frmSerbestTamEkran::placeOnBoard() {
  if (!screen()) return;
  adjustSize();
  setGeometry(
      framework::placeOnSide(screen()->availableGeometry(), size(), framework::commandSide()));
}

void frmSerbestTamEkran::setClipping(bool on, std::function<bool()> clipped) {
  m_clipping = on;
  m_clipped = std::move(clipped);
  refresh();
}

void frmSerbestTamEkran::refresh() {
  m_frame->setPalette(votingPalette(m_frame->palette(), m_session.votingOpen()));
  m_lblSoruNo->setText(m_session.position() > 0 ? QStringLiteral("%1.").arg(m_session.position())
                                                : QString());
  m_lblDurum->setText(m_session.votingText());
  const activity::RemoteTiles::Counts n = m_session.counts();
  m_lblSayilar->setText(QStringLiteral("Cevap Veren: %1   Boş: %2   Yanıtlamayan: %3")
                            .arg(n.answered)
                            .arg(n.blank)
                            .arg(n.notAnswered));
  for (auto it = m_buttons.cbegin(); it != m_buttons.cend(); ++it) {
    it.value()->setText(m_session.caption(it.key()));
    it.value()->setVisible(m_session.isAvailable(it.key()));
  }
  m_cmdTesteDevam->setVisible(m_session.page() == delivery::RunSession::Page::Report);
  m_cmdKirp->setVisible(m_clipping && m_session.freeQuestionNew() && !m_session.confirmingExit());
  m_cmdKirp->setText(m_clipped && m_clipped() ? QStringLiteral("Yeniden Kırp")
                                              : QStringLiteral("Soruyu Kırp"));
  adjustSize();
}
