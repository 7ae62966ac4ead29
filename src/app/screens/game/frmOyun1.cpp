#include "screens/game/frmOyun1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "screens/game/BoardLook.h"
#include "screens/game/RaceView.h"

namespace {
const QString kButtonColours =
    QStringLiteral("background:#2b3b4e;color:white;border:1px solid #4a5d73");
}  // namespace

frmOyun1::frmOyun1(const receiver::Clock& clock, QWidget* parent) : QWidget(parent), m_race(clock) {
  setObjectName(QStringLiteral("frmOyun1"));
  setWindowTitle(QStringLiteral("Kumanda Yarışı"));
  setAttribute(Qt::WA_DeleteOnClose);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0x16, 0x21, 0x2e));
  pal.setColor(QPalette::WindowText, Qt::white);
  setPalette(pal);

  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(16, 10, 16, 10);
  box->setSpacing(6);
  auto* top = new QHBoxLayout;
  m_lblBaslik = new QLabel(QStringLiteral("KUMANDA YARIŞI"), this);
  m_lblBaslik->setObjectName(QStringLiteral("lblBaslik"));
  m_lblBaslik->setStyleSheet(QStringLiteral("color:#f2c14e;"));
  top->addWidget(m_lblBaslik);
  m_lblAciklama = new QLabel(this);
  m_lblAciklama->setObjectName(QStringLiteral("lblAciklama"));
  m_lblAciklama->setAlignment(Qt::AlignCenter);
  // It wraps rather than widen the window past the board.
  m_lblAciklama->setWordWrap(true);
  top->addWidget(m_lblAciklama, 1);
  m_lblSure = new QLabel(this);
  m_lblSure->setObjectName(QStringLiteral("lblSure"));
  m_lblSure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  top->addWidget(m_lblSure);
  box->addLayout(top);

  m_view = new RaceView(this);
  box->addWidget(m_view, 1);
  m_view->setRace(&m_race);
  m_podium = new PodiumView(this);
  m_podium->hide();

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  m_cmdTekrar = gameui::boardButton(QStringLiteral("cmdTekrar"), QStringLiteral("Yeniden Başlat"),
                                    kButtonColours, this);
  connect(m_cmdTekrar, &QPushButton::clicked, this, &frmOyun1::cmdTekrar_Click);
  buttons->addWidget(m_cmdTekrar);
  m_cmdCikis = gameui::boardButton(QStringLiteral("cmdCikis"), QStringLiteral("Kapat"),
                                   kButtonColours, this);
  connect(m_cmdCikis, &QPushButton::clicked, this, &QWidget::close);
  buttons->addWidget(m_cmdCikis);
  box->addLayout(buttons);

  connect(&m_race, &game::Race::laneMoved, m_view, &RaceView::laneMoved);
  connect(&m_race, &game::Race::finished, this, &frmOyun1::raceOver);
  m_clockTimer.setInterval(100);
  connect(&m_clockTimer, &QTimer::timeout, this, &frmOyun1::showTime);
  m_podiumTimer.setSingleShot(true);
  m_podiumTimer.setInterval(kPodiumDelayMs);
  connect(&m_podiumTimer, &QTimer::timeout, this, &frmOyun1::showPodium);
  gameui::closeOnEscape(this);
  applyScale();
}

Status frmOyun1::Ayarla(const game::Players& players, int stepIntervalMs) {
  if (Status s = m_race.start(players, stepIntervalMs); !s) return s;
  m_players = players;
  m_interval = stepIntervalMs;
  m_lblAciklama->setText(
      QStringLiteral("A, B, A, B… sırayla basın! Bitiş: %1 adım").arg(m_race.trackLength()));
  m_podiumTimer.stop();
  m_podium->hide();
  m_view->settle();
  m_clockTimer.start();
  showTime();
  return {};
}

void frmOyun1::cmdTekrar_Click() {
  if (m_players.size() == 0) return;
  (void)Ayarla(m_players, m_interval);
}

void frmOyun1::showTime() {
  m_lblSure->setText(QStringLiteral("Süre: ") + game::Race::timeText(m_race.elapsedMs()));
}

void frmOyun1::raceOver() {
  m_clockTimer.stop();
  showTime();
  m_podium->setPlaces(m_race.podium());
  m_podiumTimer.start();
}

void frmOyun1::showPodium() {
  m_podium->setGeometry(m_view->geometry());
  m_podium->show();
  m_podium->raise();
}

void frmOyun1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  applyScale();
  m_podium->setGeometry(m_view->geometry());
}

void frmOyun1::applyScale() {
  const int unit = gameui::boardUnit(this);
  gameui::setPixelFont(m_lblBaslik, unit * 2, true);
  gameui::setPixelFont(m_lblAciklama, unit * 13 / 10, true);
  gameui::setPixelFont(m_lblSure, unit * 17 / 10, true);
  for (QPushButton* b : {m_cmdTekrar, m_cmdCikis}) {
    gameui::setPixelFont(b, unit, true);
    b->setMinimumHeight(unit * 2 + 12);
  }
}
