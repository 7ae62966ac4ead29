#include "screens/delivery/frmTestUygula.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Messages.h"
#include "delivery/RunSession.h"
#include "framework/BrowserAnswers.h"
#include "framework/CardAnswers.h"
#include "framework/CurriculumFilters.h"
#include "framework/ExchangeImport.h"
#include "framework/FilterListFill.h"
#include "framework/PresentationDisplay.h"
#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "framework/TestPreview.h"
#include "screens/delivery/RunSetupWidgets.h"
#include "store/Store.h"
#include "users/Session.h"

namespace {

const QString kScreen = delivery::kRunSetupScreen;
using setupui::check;
using setupui::radios;

}  // namespace

frmTestUygula::frmTestUygula(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_setup(context.store) {
  setObjectName(kScreen);
  setWindowTitle(QStringLiteral("Test Uygulama"));
  build();
  load();
}

QComboBox* frmTestUygula::combo(const QString& name) {
  auto* c = new QComboBox(this);
  c->setObjectName(name);
  c->setMinimumWidth(130);
  return c;
}

void frmTestUygula::build() {
  auto* box = new QVBoxLayout(this);
  box->addWidget(buildSearch());

  auto* middle = new QHBoxLayout;
  m_views = new QStackedWidget(this);
  auto* testsPage = new QWidget(m_views);
  m_tests = new Sliste(m_context, {kScreen, QStringLiteral("SlisteTestler")}, testsPage);
  m_tests->setOperationMode(Sliste::OperationMode::TekSatir);
  m_lblTestSoruSayisi = new QLabel(testsPage);
  m_lblTestSoruSayisi->setObjectName(QStringLiteral("lblTestSoruSayisi"));
  auto* testsBox = new QVBoxLayout(testsPage);
  testsBox->setContentsMargins(0, 0, 0, 0);
  testsBox->addWidget(m_tests, 1);
  testsBox->addWidget(m_lblTestSoruSayisi);
  m_views->addWidget(testsPage);
  m_views->addWidget(buildOptions());
  middle->addWidget(m_views, 3);

  auto* right = new QVBoxLayout;
  right->addWidget(buildSummary());
  auto* classRow = new QHBoxLayout;
  classRow->addWidget(new QLabel(QStringLiteral("Uygulamayı Yapacak Sınıf:"), this));
  m_cmbSinifi = combo(QStringLiteral("cmbSinifi"));
  classRow->addWidget(m_cmbSinifi, 1);
  // Beside the class, not below it: the screen fits a laptop's 768 lines.
  classRow->addWidget(framework::BrowserAnswers::setupRow(m_context, kScreen, this), 1);
  right->addLayout(classRow);
  m_grids = new RunRemoteGrids(m_context, kScreen, this);
  right->addWidget(m_grids->studentBox(), 3);
  right->addWidget(m_grids->teacherBox(), 1);
  middle->addLayout(right, 2);
  box->addLayout(middle, 1);

  // Two rows: in one, the row is wider than the main area of a 1366×768 screen
  // and "Testi Başlat" falls off its edge.
  auto* buttons = new QGridLayout;
  int placed = 0;
  auto add = [this, buttons, &placed](const QString& name, const QString& caption,
                                      std::function<void()> run) {
    QPushButton* b = framework::button(name, caption, this);
    connect(b, &QPushButton::clicked, this, std::move(run));
    buttons->addWidget(b, placed / 5, placed % 5);
    ++placed;
    return b;
  };
  m_cmdTestSec = add(QStringLiteral("cmdTestSec"), QStringLiteral("Ayarları Değiştir"),
                     [this] { showOptions(m_views->currentIndex() == 0); });
  add(QStringLiteral("cmdKaydet"), QStringLiteral("Ayarları Kaydet"),
      [this] { cmdKaydet_Click(); });
  add(QStringLiteral("cmdTestOnizleme"), QStringLiteral("Test Önizleme"),
      [this] { cmdTestOnizleme_Click(); });
  add(QStringLiteral("cmdTestiDuzenle"), QStringLiteral("Testi Düzenle"),
      [this] { cmdTestiDuzenle_Click(); });
  add(QStringLiteral("cmdVideoOynat"), QStringLiteral("Video Oynat"),
      [this] { cmdVideoOynat_Click(); });
  add(QStringLiteral("cmdSerbestTestUygula"), QStringLiteral("Serbest Soru Sor"),
      [this] { cmdSerbestTestUygula_Click(); });
  add(QStringLiteral("cmdOdevKontrol"), QStringLiteral("Ödev Kontrol"),
      [this] { cmdOdevKontrol_Click(); });
  add(QStringLiteral("cmdTestVer"), QStringLiteral("Test Ver"), [this] { cmdTestVer_Click(); });
  add(QStringLiteral("cmdTestAl"), QStringLiteral("Test Al"), [this] { cmdTestAl_Click(); });
  buttons->setColumnStretch(5, 1);
  // In the place the second row of buttons leaves free.
  buttons->addWidget(framework::CardAnswers::setupRow(m_context, kScreen, this, true), 1, 4, 1, 2);
  QPushButton* home = setupui::closeButton(QStringLiteral("Ana Sayfa"), this);
  QPushButton* start =
      setupui::startButton(QStringLiteral("cmdOnizleme"), QStringLiteral("Testi Başlat"), this);
  for (QPushButton* b : {home, start})
    b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  connect(start, &QPushButton::clicked, this, &frmTestUygula::cmdOnizleme_Click);
  buttons->addWidget(home, 0, 6, 2, 1);
  buttons->addWidget(start, 0, 7, 2, 1);
  box->addLayout(buttons);

  connect(m_tests, &Sliste::aktifKayitDegisti, this, &frmTestUygula::testChosen);
  // Other screens change tests, remotes and pairings while this one is open.
  connect(&m_context.store, &store::Store::testsChanged, this, &frmTestUygula::cmdBul_Click);
  connect(m_grids, &RunRemoteGrids::stale, this, &frmTestUygula::fillRemotes);
  connect(m_cmbSinifi, &QComboBox::activated, this, [this] { fillRemotes(); });
}

QWidget* frmTestUygula::buildSearch() {
  auto* g = new QGroupBox(QStringLiteral("Test Ara"), this);
  auto* grid = new QGridLayout(g);
  m_cmbSeviyeAra = combo(QStringLiteral("cmbSeviyeAra"));
  m_cmbDersAra = combo(QStringLiteral("cmbDersAra"));
  m_cmbUniteAra = combo(QStringLiteral("cmbUniteAra"));
  m_cmbKonuAra = combo(QStringLiteral("cmbKonuAra"));
  m_cmbKazanimAra = combo(QStringLiteral("cmbKazanimAra"));
  m_cmbHazirlayanAra = combo(QStringLiteral("cmbHazirlayanAra"));
  m_cmbUygulanma = combo(QStringLiteral("cmbUygulanma"));
  m_txtTestAdiAra = new QLineEdit(g);
  m_txtTestAdiAra->setObjectName(QStringLiteral("txtTestAdiAra"));
  m_txtTestAdiAra->setPlaceholderText(QStringLiteral("Test adının bir parçası"));
  const QList<QPair<QString, QWidget*>> fields = {
      {QStringLiteral("Seviye"), m_cmbSeviyeAra},
      {QStringLiteral("Ders"), m_cmbDersAra},
      {QStringLiteral("Ünite"), m_cmbUniteAra},
      {QStringLiteral("Konu"), m_cmbKonuAra},
      {QStringLiteral("Kazanım"), m_cmbKazanimAra},
      {QStringLiteral("Hazırlayan"), m_cmbHazirlayanAra},
      {QStringLiteral("Test Adı"), m_txtTestAdiAra},
      {QStringLiteral("Uygulanma Durumu"), m_cmbUygulanma}};
  for (int i = 0; i < fields.size(); ++i) {
    grid->addWidget(new QLabel(fields.at(i).first, g), (i / 4) * 2, i % 4);
    grid->addWidget(fields.at(i).second, (i / 4) * 2 + 1, i % 4);
  }
  QPushButton* find = framework::button(QStringLiteral("cmdBul"), QStringLiteral("Bul"), g);
  connect(find, &QPushButton::clicked, this, &frmTestUygula::cmdBul_Click);
  connect(m_txtTestAdiAra, &QLineEdit::returnPressed, this, &frmTestUygula::cmdBul_Click);
  grid->addWidget(find, 1, 4, 3, 1);
  m_curriculum = new CurriculumFilters(
      m_context.store, {m_cmbSeviyeAra, m_cmbDersAra, m_cmbUniteAra, m_cmbKonuAra, m_cmbKazanimAra},
      this);
  return g;
}

QWidget* frmTestUygula::buildSummary() {
  auto* g = new QGroupBox(QStringLiteral("Seçilen Test"), this);
  // Two columns of five: in one, the summary and the remote lists under it are
  // taller than the main area of a 1366×768 screen.
  auto* grid = new QGridLayout(g);
  grid->setVerticalSpacing(2);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  const QList<QPair<QString, QString>> rows = {
      {QStringLiteral("lblTestNo"), QStringLiteral("Test No:")},
      {QStringLiteral("lblTestAdi"), QStringLiteral("Test Adı:")},
      {QStringLiteral("lblHazirlayan"), QStringLiteral("Hazırlayan:")},
      {QStringLiteral("lblSoruSayisi"), QStringLiteral("Soru Sayısı:")},
      {QStringLiteral("lblSure"), QStringLiteral("Süre:")},
      {QStringLiteral("lblSeviye"), QStringLiteral("Seviye:")},
      {QStringLiteral("lblDers"), QStringLiteral("Ders:")},
      {QStringLiteral("lblUnite"), QStringLiteral("Ünite:")},
      {QStringLiteral("lblKonu"), QStringLiteral("Konu:")},
      {QStringLiteral("lblKazanim"), QStringLiteral("Kazanım:")}};
  for (int i = 0; i < rows.size(); ++i) {
    const auto& [name, caption] = rows.at(i);
    const int row = i % 5;
    const int column = i / 5 * 2;
    auto* l = new QLabel(g);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setWordWrap(true);
    m_summaryLabels.insert(name, l);
    grid->addWidget(new QLabel(caption, g), row, column, Qt::AlignTop);
    if (name == QLatin1String("lblSoruSayisi")) {
      auto* line = new QHBoxLayout;
      line->addWidget(l, 1);
      auto* detail = new QPushButton(QStringLiteral("?"), g);
      detail->setObjectName(QStringLiteral("cmdSoruSayisiAyrinti"));
      detail->setToolTip(QStringLiteral("Seviye, ders ve üniteye göre soru sayıları"));
      detail->setFixedWidth(32);
      connect(detail, &QPushButton::clicked, this, [this] {
        if (m_summary.testNo.isEmpty()) return;
        Result<QStringList> lines = m_setup.questionCountDetail(m_summary.testNo);
        if (!lines) return m_context.messages.error(lines.error());
        m_context.messages.info(lines.value().join(QLatin1Char('\n')));
      });
      line->addWidget(detail);
      grid->addLayout(line, row, column + 1);
    } else {
      grid->addWidget(l, row, column + 1, Qt::AlignTop);
    }
  }
  return g;
}

QWidget* frmTestUygula::buildOptions() {
  auto* tabs = new QTabWidget(m_views);
  tabs->setObjectName(QStringLiteral("optAyarMenu"));

  // ---- Ayarlar 1: time and penalty
  auto* page1 = new QWidget(tabs);
  auto* p1 = new QVBoxLayout(page1);
  auto* timeBox = new QGroupBox(QStringLiteral("Süre"), page1);
  auto* timeLayout = new QVBoxLayout(timeBox);
  m_optSure = new QButtonGroup(this);
  m_optSure->setObjectName(QStringLiteral("optSure"));
  auto* fixedRow = new QHBoxLayout;
  auto* fixed = new QRadioButton(QStringLiteral("Her Soru İçin"), timeBox);
  fixed->setObjectName(QStringLiteral("optSure2"));
  m_optSure->addButton(fixed, int(delivery::RunSettings::Duration::Fixed));
  m_cmbSure = combo(QStringLiteral("cmbSure"));
  m_cmbSure->addItems(delivery::RunSetup::durationEntries());
  fixedRow->addWidget(fixed);
  fixedRow->addWidget(m_cmbSure);
  fixedRow->addWidget(new QLabel(QStringLiteral("sn"), timeBox));
  fixedRow->addStretch(1);
  timeLayout->addLayout(fixedRow);
  auto* perQuestion = new QRadioButton(QStringLiteral("Sorulara Atanan Süreleri Kullan"), timeBox);
  perQuestion->setObjectName(QStringLiteral("optSure0"));
  m_optSure->addButton(perQuestion, int(delivery::RunSettings::Duration::PerQuestion));
  timeLayout->addWidget(perQuestion);
  auto* untimed = new QRadioButton(QStringLiteral("Testi Süresiz Uygula"), timeBox);
  untimed->setObjectName(QStringLiteral("optSure1"));
  m_optSure->addButton(untimed, int(delivery::RunSettings::Duration::Untimed));
  timeLayout->addWidget(untimed);
  m_chkSon5Saniye = new QCheckBox(QStringLiteral("Süreyi Sadece Son 10 Saniyede Say"), timeBox);
  m_chkSon5Saniye->setObjectName(QStringLiteral("chkSon5Saniye"));
  timeLayout->addWidget(m_chkSon5Saniye);
  m_chkHerkesCevapVerinceGec =
      new QCheckBox(QStringLiteral("Herkes Cevap Verince Sonraki Soruya Geç"), timeBox);
  m_chkHerkesCevapVerinceGec->setObjectName(QStringLiteral("chkHerkesCevapVerinceGec"));
  timeLayout->addWidget(m_chkHerkesCevapVerinceGec);
  p1->addWidget(timeBox);
  auto* penaltyBox = new QGroupBox(QStringLiteral("Yanlışlar"), page1);
  m_optGoturu = radios(QStringLiteral("optGoturu"),
                       {QStringLiteral("Yanlışlar Doğruyu Götürmesin"),
                        QStringLiteral("3 Yanlış 1 Doğruyu Götürsün"),
                        QStringLiteral("4 Yanlış 1 Doğruyu Götürsün")},
                       new QVBoxLayout(penaltyBox), penaltyBox);
  p1->addWidget(penaltyBox);
  p1->addStretch(1);
  tabs->addTab(page1, QStringLiteral("Ayarlar 1"));

  // ---- Ayarlar 2: reports, free questioning, the run's labels
  auto* page2 = new QWidget(tabs);
  auto* p2 = new QVBoxLayout(page2);
  auto* reportRow = new QHBoxLayout;
  reportRow->addWidget(new QLabel(QStringLiteral("Her Sorudan Sonra:"), page2));
  m_cmbSoruRaporuGoster = combo(QStringLiteral("cmbSoruRaporuGoster"));
  m_cmbSoruRaporuGoster->addItems(delivery::RunSettings::questionReportEntries());
  reportRow->addWidget(m_cmbSoruRaporuGoster, 1);
  p2->addLayout(reportRow);
  auto* pair = new QHBoxLayout;
  auto* remoteTest = new QGroupBox(QStringLiteral("Kumanda Test Ekranı"), page2);
  m_optKumandaTest = radios(QStringLiteral("optKumandaTest"),
                            {QStringLiteral("Göster"), QStringLiteral("Gösterme")},
                            new QVBoxLayout(remoteTest), remoteTest);
  pair->addWidget(remoteTest);
  auto* atEnd = new QGroupBox(QStringLiteral("Uygulama Sonunda"), page2);
  m_optIstatistik = radios(QStringLiteral("optIstatistik"),
                           {QStringLiteral("Rapor Göster"), QStringLiteral("Rapor Gösterme")},
                           new QVBoxLayout(atEnd), atEnd);
  pair->addWidget(atEnd);
  p2->addLayout(pair);
  auto* freeBox = new QGroupBox(QStringLiteral("Serbest Uygulamada"), page2);
  auto* freeLayout = new QVBoxLayout(freeBox);
  m_chkCogunlukCevabi =
      new QCheckBox(QStringLiteral("Çoğunluğun Cevabını Doğru Kabul Et"), freeBox);
  m_chkCogunlukCevabi->setObjectName(QStringLiteral("chkCogunlukCevabi"));
  m_chkOylamaOtomatikBaslasin = new QCheckBox(QStringLiteral("Oylamayı Otomatik Başlat"), freeBox);
  m_chkOylamaOtomatikBaslasin->setObjectName(QStringLiteral("chkOylamaOtomatikBaslasin"));
  freeLayout->addWidget(m_chkCogunlukCevabi);
  freeLayout->addWidget(m_chkOylamaOtomatikBaslasin);
  p2->addWidget(freeBox);
  auto* labels = new QFormLayout;
  m_cmbSeviye = combo(QStringLiteral("cmbSeviye"));
  m_cmbSeviye->setEditable(true);
  m_txtAciklama = new QLineEdit(page2);
  m_txtAciklama->setObjectName(QStringLiteral("txtAciklama"));
  m_cmbGrup = combo(QStringLiteral("cmbGrup"));
  m_cmbGrup->setEditable(true);
  labels->addRow(QStringLiteral("Seviye:"), m_cmbSeviye);
  labels->addRow(QStringLiteral("Açıklama:"), m_txtAciklama);
  labels->addRow(QStringLiteral("Uygulanacak Grup:"), m_cmbGrup);
  p2->addLayout(labels);
  p2->addStretch(1);
  tabs->addTab(page2, QStringLiteral("Ayarlar 2"));
  return tabs;
}

void frmTestUygula::load() {
  m_curriculum->fillAll();
  filtre::HazirlayanDoldur(m_cmbHazirlayanAra, m_context.store);
  filtre::fillCombo(m_cmbUygulanma, delivery::RunSetup::appliedEntries());
  filtre::SeviyeDoldur(m_cmbSeviye, m_context.store);
  if (m_cmbSeviye->count() > 0 && m_cmbSeviye->itemText(0) == QLatin1String("TÜMÜ"))
    m_cmbSeviye->removeItem(0);
  m_cmbSeviye->setCurrentIndex(-1);
  filtre::fillCombo(m_cmbGrup, m_setup.earlierGroups().valueOr({}));
  m_cmbGrup->setCurrentIndex(-1);
  m_cmbGrup->completer()->setCaseSensitivity(Qt::CaseInsensitive);

  Result<QStringList> classes = m_setup.classEntries();
  if (!classes) m_context.messages.error(classes.error());
  filtre::fillCombo(m_cmbSinifi, classes.valueOr({delivery::RunSetup::kVirtualClass}));

  Result<delivery::RunSetup::Options> saved = m_setup.loadOptions();
  if (!saved) m_context.messages.error(saved.error());
  setOptions(saved.valueOr(delivery::RunSetup::factoryOptions()));
  if (m_cmbSinifi->currentIndex() < 0)
    m_cmbSinifi->setCurrentIndex(delivery::RunSetup::defaultClassIndex(classes.valueOr({})));

  fillRemotes();
  showOptions(false);
  cmdBul_Click();
}

void frmTestUygula::fillRemotes() {
  m_grids->fill(delivery::RunSetup::studentRemotesQuery(m_cmbSinifi->currentText()));
}

void frmTestUygula::selectClass(const QString& className) {
  m_cmbSinifi->setCurrentIndex(m_cmbSinifi->findText(className));
  fillRemotes();
}

void frmTestUygula::cmdBul_Click() {
  const QString kept = m_summary.testNo;
  delivery::RunSetup::Search search;
  search.curriculum = m_curriculum->filter();
  search.author = m_cmbHazirlayanAra->currentText();
  search.name = m_txtTestAdiAra->text().trimmed();
  search.applied = m_cmbUygulanma->currentText();
  search.className = m_cmbSinifi->currentText();
  if (!m_tests->ListeDoldurYeni(delivery::RunSetup::testSearchQuery(search)).ok()) return;
  int questions = 0;
  for (int r = 0; r < m_tests->kayitSayisi(); ++r)
    questions += m_tests->deger(r, QStringLiteral("SORUSAYISI")).toInt();
  m_lblTestSoruSayisi->setText(delivery::RunSetup::foundText(m_tests->kayitSayisi(), questions));
  // The chosen test stays chosen while it is listed (a refill may move the grid's row).
  if (!selectTest(kept) && m_tests->kayitSayisi() > 0)
    selectTest(m_tests->deger(0, QStringLiteral("TESTNO")));
}

bool frmTestUygula::selectTest(const QString& testNo) {
  if (testNo.isEmpty()) return false;
  for (int r = 0; r < m_tests->kayitSayisi(); ++r) {
    if (m_tests->deger(r, QStringLiteral("TESTNO")) != testNo) continue;
    testChosen(r);
    return true;
  }
  return false;
}

void frmTestUygula::testChosen(int record) {
  if (record < 0) return;
  Result<delivery::RunSetup::TestSummary> s =
      m_setup.summary(m_tests->deger(record, QStringLiteral("TESTNO")));
  if (!s) {
    m_context.messages.warning(s.error());
    return;
  }
  m_summary = s.value();
  showSummary();
}

void frmTestUygula::showSummary() {
  const delivery::RunSetup::TestSummary& s = m_summary;
  const QList<QPair<QString, QString>> values = {
      {QStringLiteral("lblTestNo"), s.testNo},
      {QStringLiteral("lblTestAdi"), s.name},
      {QStringLiteral("lblHazirlayan"), s.author},
      {QStringLiteral("lblSoruSayisi"), s.questionsText()},
      {QStringLiteral("lblSure"), s.timeText()},
      {QStringLiteral("lblSeviye"), s.level},
      {QStringLiteral("lblDers"), s.course},
      {QStringLiteral("lblUnite"), s.unit},
      {QStringLiteral("lblKonu"), s.topic},
      {QStringLiteral("lblKazanim"), s.outcome}};
  for (const auto& [name, value] : values) m_summaryLabels.value(name)->setText(value);
  if (m_cmbSeviye->currentText().isEmpty()) m_cmbSeviye->setCurrentText(s.level);
}

void frmTestUygula::showOptions(bool on) {
  m_views->setCurrentIndex(on ? 1 : 0);
  m_cmdTestSec->setText(on ? QStringLiteral("Testlere Geri Dön")
                           : QStringLiteral("Ayarları Değiştir"));
}

delivery::RunSetup::Options frmTestUygula::options() const {
  delivery::RunSetup::Options o;
  delivery::RunSettings& s = o.settings;
  s.duration = delivery::RunSettings::Duration(std::max(0, m_optSure->checkedId()));
  s.fixedSeconds = delivery::RunSettings::secondsAt(m_cmbSure->currentIndex());
  s.penalty = delivery::RunSettings::Penalty(std::max(0, m_optGoturu->checkedId()));
  s.afterQuestion =
      delivery::RunSettings::QuestionReport(std::max(0, m_cmbSoruRaporuGoster->currentIndex()));
  s.remoteTestScreen = m_optKumandaTest->checkedId() == 0;
  s.reportAtEnd = m_optIstatistik->checkedId() == 0;
  s.goOnWhenAllAnswered = m_chkHerkesCevapVerinceGec->isChecked();
  s.lastTenSecondsOnly = m_chkSon5Saniye->isChecked();
  s.majorityIsCorrect = m_chkCogunlukCevabi->isChecked();
  s.autoStartVoting = m_chkOylamaOtomatikBaslasin->isChecked();
  delivery::RunSetupChoices& c = o.choices;
  c.level = m_cmbSeviyeAra->currentText();
  c.course = m_cmbDersAra->currentText();
  c.author = m_cmbHazirlayanAra->currentText();
  c.applied = delivery::RunSetupChoices::Applied(std::max(0, m_cmbUygulanma->currentIndex()));
  c.className = m_cmbSinifi->currentText();
  return o;
}

void frmTestUygula::setOptions(const delivery::RunSetup::Options& o) {
  const delivery::RunSettings& s = o.settings;
  check(m_optSure, int(s.duration));
  m_cmbSure->setCurrentIndex(delivery::RunSettings::positionOf(s.fixedSeconds));
  check(m_optGoturu, int(s.penalty));
  m_cmbSoruRaporuGoster->setCurrentIndex(int(s.afterQuestion));
  check(m_optKumandaTest, s.remoteTestScreen ? 0 : 1);
  check(m_optIstatistik, s.reportAtEnd ? 0 : 1);
  m_chkHerkesCevapVerinceGec->setChecked(s.goOnWhenAllAnswered);
  m_chkSon5Saniye->setChecked(s.lastTenSecondsOnly);
  m_chkCogunlukCevabi->setChecked(s.majorityIsCorrect);
  m_chkOylamaOtomatikBaslasin->setChecked(s.autoStartVoting);
  // The search lists cascade from the top, as a user's choices would.
  const delivery::RunSetupChoices& c = o.choices;
  // An entry no longer in its list leaves the list where it was; an empty one
  // is the first real entry.
  const auto select = [](QComboBox* box, const QString& entry) {
    const int at = entry.isEmpty() ? std::min(1, box->count() - 1) : box->findText(entry);
    if (at >= 0) box->setCurrentIndex(at);
  };
  select(m_cmbSeviyeAra, c.level);
  select(m_cmbDersAra, c.course);
  select(m_cmbHazirlayanAra, c.author);
  m_cmbUygulanma->setCurrentIndex(int(c.applied));
  select(m_cmbSinifi, c.className);
}

bool frmTestUygula::mayRun() const {
  // Asked when the action runs, not when the screen opened: whoever opened it may
  // have logged out since.
  return framework::allowed(m_context, kScreen);
}

void frmTestUygula::cmdKaydet_Click() {
  if (!mayRun()) return;
  if (!framework::check(m_context.messages, m_setup.saveOptions(options()))) return;
  m_context.messages.info(delivery::RunSetup::savedText());
}

void frmTestUygula::cmdOnizleme_Click() {
  if (!mayRun()) return;
  if (m_summary.testNo.isEmpty()) {
    m_context.messages.warning(QStringLiteral("Uygulanacak testi listeden seçin."));
    return;
  }
  delivery::RunSetup::Start start = startOf();
  start.test = m_summary;
  const std::optional<delivery::RunPlan> plan = m_setup.start(start, m_context.messages);
  if (!plan) return;
  if (!m_startRun) {
    m_context.messages.warning(QStringLiteral("Sunum ekranı açılamadı."));
    return;
  }
  m_startRun(*plan);
}

void frmTestUygula::cmdSerbestTestUygula_Click() {
  if (!mayRun()) return;
  // A free question is answered on the remotes or not at all: a class without
  // any remote has nothing to ask. An empty selection is answered on the
  // virtual remote, as for a test.
  if (m_grids->students()->kayitSayisi() == 0) {
    m_context.messages.warning(delivery::RunSession::noRemoteText());
    return;
  }
  if (!m_startFreeRun) {
    m_context.messages.warning(QStringLiteral("Sunum ekranı açılamadı."));
    return;
  }
  m_startFreeRun(m_setup.freePlan(startOf()));
}

delivery::RunSetup::Start frmTestUygula::startOf() const {
  delivery::RunSetup::Start start;
  start.className = m_cmbSinifi->currentText();
  start.level = m_cmbSeviye->currentText();
  start.group = m_cmbGrup->currentText().trimmed();
  start.description = m_txtAciklama->text().trimmed();
  start.settings = options().settings;
  start.students = m_grids->selectedStudents();
  start.teachers = m_grids->selectedTeachers();
  return start;
}

void frmTestUygula::cmdOdevKontrol_Click() {
  // The homework check has a right of its own besides this screen's.
  if (!mayRun()) return;
  if (!framework::allowed(m_context, QStringLiteral("OdevKontrol"))) return;
  if (!m_openHomework) return notYet(QStringLiteral("Ödev kontrolü"));
  m_openHomework();
}

void frmTestUygula::cmdTestOnizleme_Click() {
  if (!delivery::RunSetup::canPreview(m_summary, m_context.messages)) return;
  TestPreview::previewTest(m_context, m_summary.testNo, m_summary.name, window());
}

void frmTestUygula::cmdTestiDuzenle_Click() {
  if (m_summary.testNo.isEmpty()) {
    m_context.messages.warning(QStringLiteral("Düzenlenecek testi listeden seçin."));
    return;
  }
  if (!m_editTest) return notYet(QStringLiteral("Test düzenleme"));
  m_editTest(m_summary.testNo);
}

void frmTestUygula::cmdVideoOynat_Click() {
  const QString file = m_setup.videoFile(m_summary.testNo);
  if (file.isEmpty()) {
    m_context.messages.info(
        QStringLiteral("Bu testin videosu yok (Video klasöründe %1.* bulunamadı).")
            .arg(m_summary.testNo));
    return;
  }
  framework::openFile(m_context.messages, file);
}

void frmTestUygula::cmdTestVer_Click() {
  using namespace framework::exchangeimport;
  if (!mayRun()) return;
  if (!framework::allowed(m_context, writeRightKey(Kind::Tests))) return;
  if (m_summary.testNo.isEmpty()) {
    m_context.messages.warning(QStringLiteral("Dosyaya verilecek testi listeden seçin."));
    return;
  }
  exportFile(this, m_context, Kind::Tests, {m_summary.testNo});
}

void frmTestUygula::cmdTestAl_Click() {
  using namespace framework::exchangeimport;
  if (!mayRun()) return;
  if (!framework::allowed(m_context, rightKey(Kind::Tests))) return;
  const QStringList paths = chooseFiles(this, Kind::Tests, Origin::Screen);
  // The list follows by itself: reading a file announces the new tests.
  if (!paths.isEmpty()) importFiles(this, m_context, Kind::Tests, paths, Origin::Screen);
}

void frmTestUygula::notYet(const QString& what) {
  m_context.messages.info(what + QStringLiteral(" bu sürümde henüz yok."));
}

Sliste* frmTestUygula::SlisteKumandalar() const { return m_grids->students(); }
Sliste* frmTestUygula::SlisteOgretmenler() const { return m_grids->teachers(); }
