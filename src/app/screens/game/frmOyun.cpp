#include "screens/game/frmOyun.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>

#include "Messages.h"
#include "framework/BrowserAnswers.h"
#include "framework/CardAnswers.h"
#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "lists/FilterLists.h"
#include "store/Store.h"
#include "web/BrowserTakers.h"

namespace {
const QString kScreen = QStringLiteral("frmOyun");
}  // namespace

frmOyun::frmOyun(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_setup(context.store) {
  setObjectName(kScreen);
  setWindowTitle(QStringLiteral("Sınıf Oyunu"));

  auto* box = new QVBoxLayout(this);
  auto* classRow = new QHBoxLayout;
  classRow->addWidget(new QLabel(QStringLiteral("Sınıf:"), this));
  m_cmbSinifi = new QComboBox(this);
  m_cmbSinifi->setObjectName(QStringLiteral("cmbSinifi"));
  m_cmbSinifi->setMinimumWidth(160);
  classRow->addWidget(m_cmbSinifi);
  classRow->addStretch(1);
  box->addLayout(classRow);

  auto* middle = new QHBoxLayout;
  m_remotes = new Sliste(m_context, {kScreen, QStringLiteral("SlisteKumandalar")}, this);
  m_remotes->setOperationMode(Sliste::OperationMode::DokunarakSec);
  m_remotes->setSonSutunuGenislet(true);
  middle->addWidget(framework::group(QStringLiteral("Oyuncular"), m_remotes, this), 3);
  auto* how = new QLabel(
      QStringLiteral("<h3>Kumanda Yarışı</h3>"
                     "<p><b>1.</b> Oyuncuları seçin (bir satıra dokunmak seçer ya da "
                     "bırakır).</p>"
                     "<p><b>2.</b> Yoklama ekranında her öğrenci kumandasında bir tuşa basar; "
                     "kutusu kırmızıya döner. Boş tuşu (X) geri alır.</p>"
                     "<p><b>3.</b> Yarışta A ve B tuşlarına <b>sırayla</b> basan bir adım "
                     "ilerler; aynı tuşa iki kez basmak ilerletmez.</p>"
                     "<p><b>4.</b> Bitişe ilk varan kazanır; ilk üç kürsüye çıkar.</p>"),
      this);
  how->setObjectName(QStringLiteral("lblNasilOynanir"));
  how->setWordWrap(true);
  how->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  how->setMinimumWidth(260);
  middle->addWidget(framework::group(QStringLiteral("Nasıl Oynanır?"), how, this), 1);
  box->addLayout(middle, 1);

  auto* buttons = new QHBoxLayout;
  m_lblOyuncuSayisi = new QLabel(this);
  m_lblOyuncuSayisi->setObjectName(QStringLiteral("lblOyuncuSayisi"));
  buttons->addWidget(m_lblOyuncuSayisi);
  buttons->addWidget(framework::BrowserAnswers::setupRow(m_context, kScreen, this), 1);
  buttons->addWidget(framework::CardAnswers::setupRow(m_context, kScreen, this), 1);
  QPushButton* close =
      framework::button(QStringLiteral("cmdCikis"), QStringLiteral("Ana Sayfa"), this);
  connect(close, &QPushButton::clicked, this, [this] {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
      sub->close();
    else
      this->close();
  });
  buttons->addWidget(close);
  QPushButton* start =
      framework::button(QStringLiteral("cmdYoklama"), QStringLiteral("Yoklama Al"), this);
  start->setMinimumWidth(180);
  start->setStyleSheet(QStringLiteral("font-weight:bold;background:#2e7d32;color:white;"));
  connect(start, &QPushButton::clicked, this, &frmOyun::cmdYoklama_Click);
  buttons->addWidget(start);
  box->addLayout(buttons);

  connect(m_cmbSinifi, &QComboBox::activated, this, [this] {
    game::GamePlayers::saveClass(m_cmbSinifi->currentText());
    fillRemotes();
  });
  connect(m_remotes, &Sliste::secimDegisti, this, &frmOyun::showChosenCount);
  // Other screens change students, remotes and pairings while this one is open.
  connect(&m_context.store, &store::Store::studentsChanged, this, &frmOyun::fillClasses);
  for (auto signal : {&store::Store::remotesChanged, &store::Store::pairingsChanged})
    connect(&m_context.store, signal, this, &frmOyun::fillRemotes);
  fillClasses();
}

void frmOyun::fillClasses() {
  Result<QStringList> classes = m_setup.classEntries();
  if (!classes) {
    m_context.messages.error(classes.error());
    return;
  }
  const QString wanted =
      m_cmbSinifi->count() > 0 ? m_cmbSinifi->currentText() : game::GamePlayers::savedClass();
  m_cmbSinifi->clear();
  m_cmbSinifi->addItems(classes.value());
  // The first time, the first class: under "TÜMÜ" a remote paired in several
  // classes is one player named after only one of its students. A class that is
  // gone (rolled over, renamed) falls back to every class.
  const int first = m_cmbSinifi->count() > 1 ? 1 : 0;
  m_cmbSinifi->setCurrentIndex(wanted.isEmpty() ? first
                                                : std::max(0, int(m_cmbSinifi->findText(wanted))));
  fillRemotes();
}

void frmOyun::selectClass(const QString& className) {
  const int at = m_cmbSinifi->findText(className);
  if (at < 0) return;
  m_cmbSinifi->setCurrentIndex(at);
  game::GamePlayers::saveClass(className);
  fillRemotes();
}

void frmOyun::fillRemotes() {
  (void)m_remotes->ListeDoldurYeni(game::GamePlayers::remotesQuery(m_cmbSinifi->currentText()),
                                   {{}, {QStringLiteral("KAYITNO")}});
  // The whole class plays unless the teacher leaves some out.
  m_remotes->TumunuSec();
  showChosenCount();
}

void frmOyun::showChosenCount() {
  // Players, not rows: a remote paired in several classes is listed once per
  // student under "TÜMÜ" and plays once.
  QSet<QString> chosen;
  QSet<QString> all;
  for (int r : m_remotes->SeciliKayitlariVer())
    chosen.insert(m_remotes->deger(r, QStringLiteral("KUMANDAADRESI")));
  for (int r = 0; r < m_remotes->kayitSayisi(); ++r)
    all.insert(m_remotes->deger(r, QStringLiteral("KUMANDAADRESI")));
  m_lblOyuncuSayisi->setText(
      QStringLiteral("Seçilen oyuncu: %1 / %2").arg(chosen.size()).arg(all.size()));
}

void frmOyun::cmdYoklama_Click() {
  QList<game::GamePlayers::Row> chosen;
  for (int r : m_remotes->SeciliKayitlariVer())
    chosen.append({m_remotes->deger(r, QStringLiteral("KUMANDAADRESI")),
                   m_remotes->deger(r, QStringLiteral("ADI")),
                   m_remotes->deger(r, QStringLiteral("SOYADI"))});
  Result<game::Players> players = game::GamePlayers::choose(chosen);
  m_browserRoster.clear();
  if (framework::BrowserAnswers::wanted(m_context, kScreen)) {
    // The class's students without a remote play from their browsers; under
    // "TÜMÜ" only the players' own students join (not the whole school).
    const game::Players chosenRemotes = players.valueOr({});
    const QString className = m_cmbSinifi->currentText();
    Result<QList<web::RosterEntry>> roster =
        className == QLatin1String("TÜMÜ")
            ? web::rosterOfAddresses(m_context.store, chosenRemotes.addresses)
            : web::classRoster(m_context.store, className);
    if (!roster) {
      m_context.messages.error(roster.error());
      return;
    }
    const web::BrowserTakers takers =
        web::browserTakers(chosenRemotes.addresses, chosenRemotes.names, roster.value());
    if (!takers.addresses.isEmpty()) players = game::Players{takers.addresses, takers.names};
    m_browserRoster = takers.roster;
  }
  if (!players) {
    m_context.messages.warning(players.error());
    return;
  }
  if (m_startAttendance) m_startAttendance(players.value());
}
