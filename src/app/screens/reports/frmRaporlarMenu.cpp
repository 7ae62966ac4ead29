#include "screens/reports/frmRaporlarMenu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "Messages.h"
#include "framework/CurriculumFilters.h"
#include "framework/FilterListFill.h"
#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "framework/frmIslem.h"
#include "lists/GridLayout.h"
#include "reports/Surveys.h"
#include "screens/reports/ReportScreens.h"
#include "screens/reports/frmRaporlarBasariListesi.h"
#include "screens/reports/frmRaporlarGoreceli.h"
#include "store/FactoryLayouts.h"
#include "store/Store.h"
#include "users/Rights.h"
#include "users/Session.h"

namespace {

QComboBox* combo(const QString& name, QWidget* parent) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setMinimumWidth(140);
  c->setMinimumHeight(34);
  return c;
}

void choose(QComboBox* c, const QString& text) {
  const int at = c->findText(text);
  if (at >= 0) c->setCurrentIndex(at);
}

QString choice(const QComboBox* c) { return c->currentText(); }

}  // namespace

frmRaporlarMenu::frmRaporlarMenu(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_list(context.store) {
  setObjectName(QStringLiteral("frmRaporlarMenu"));
  setWindowTitle(QStringLiteral("Raporlar"));
  auto* root = new QVBoxLayout(this);

  auto* pageRow = new QHBoxLayout;
  const QStringList pageCaptions{QStringLiteral("Uygulamaya Göre İstatistikler"),
                                 QStringLiteral("Sınıfa Göre İstatistikler"),
                                 QStringLiteral("Öğrenciye Göre İstatistikler")};
  for (int i = 0; i < pageCaptions.size(); ++i) {
    auto* b = framework::button(QStringLiteral("cmdGore_%1").arg(i), pageCaptions.at(i), this);
    b->setCheckable(true);
    connect(b, &QPushButton::clicked, this, [this, i] { cmdGore_Click(Page(i)); });
    m_cmdGore << b;
    pageRow->addWidget(b);
  }
  pageRow->addStretch(1);
  root->addLayout(pageRow);

  auto* filters = new QGridLayout;
  auto add = [&](int row, int col, const QString& caption, QWidget* w) {
    filters->addWidget(new QLabel(caption, this), row * 2, col);
    filters->addWidget(w, row * 2 + 1, col);
  };
  m_cmbSeviye = combo(QStringLiteral("cmbSeviyeAra"), this);
  m_cmbDers = combo(QStringLiteral("cmbDersAra"), this);
  m_cmbUnite = combo(QStringLiteral("cmbUniteAra"), this);
  m_cmbKonu = combo(QStringLiteral("cmbKonuAra"), this);
  m_cmbKazanim = combo(QStringLiteral("cmbKazanimAra"), this);
  m_cmbSinifi = combo(QStringLiteral("cmbSinifi"), this);
  m_cmbGrup = combo(QStringLiteral("cmbGrup"), this);
  m_txtTestNo = new QLineEdit(this);
  m_txtTestNo->setObjectName(QStringLiteral("txtTestNo"));
  m_txtAciklama = new QLineEdit(this);
  m_txtAciklama->setObjectName(QStringLiteral("txtAciklama"));
  add(0, 0, QStringLiteral("Seviye"), m_cmbSeviye);
  add(0, 1, QStringLiteral("Ders"), m_cmbDers);
  add(0, 2, QStringLiteral("Ünite"), m_cmbUnite);
  add(0, 3, QStringLiteral("Konu"), m_cmbKonu);
  add(0, 4, QStringLiteral("Kazanım"), m_cmbKazanim);
  add(1, 0, QStringLiteral("Sınıfı"), m_cmbSinifi);
  add(1, 1, QStringLiteral("Grup"), m_cmbGrup);
  add(1, 2, QStringLiteral("Test No"), m_txtTestNo);
  add(1, 3, QStringLiteral("Açıklama"), m_txtAciklama);

  auto* dates = new QHBoxLayout;
  m_chkTarihAraligi = new QCheckBox(QStringLiteral("Tarih Aralığına Göre"), this);
  m_chkTarihAraligi->setObjectName(QStringLiteral("chkTarihAraligi"));
  m_dtBaslangic = new QDateEdit(QDate::currentDate().addMonths(-1), this);
  m_dtBaslangic->setObjectName(QStringLiteral("DTBaslangic"));
  m_dtBitis = new QDateEdit(QDate::currentDate(), this);
  m_dtBitis->setObjectName(QStringLiteral("DTBitis"));
  for (QDateEdit* d : {m_dtBaslangic, m_dtBitis}) {
    d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    d->setCalendarPopup(true);
    d->setEnabled(false);
    connect(m_chkTarihAraligi, &QCheckBox::toggled, d, &QWidget::setEnabled);
  }
  dates->addWidget(m_chkTarihAraligi);
  dates->addWidget(m_dtBaslangic);
  dates->addWidget(new QLabel(QStringLiteral("ile"), this));
  dates->addWidget(m_dtBitis);
  dates->addWidget(new QLabel(QStringLiteral("tarihleri arasında yapılan"), this));
  dates->addStretch(1);
  auto* bul = framework::button(QStringLiteral("cmdBul"), QStringLiteral("Bul"), this);
  connect(bul, &QPushButton::clicked, this, &frmRaporlarMenu::cmdBul_Click);
  dates->addWidget(bul);
  filters->addLayout(dates, 4, 0, 1, 5);
  root->addLayout(filters);

  m_runs = new Sliste(context, {QStringLiteral("frmRaporlarMenu"), QStringLiteral("SlisteTestler")},
                      this);
  m_runs->setOperationMode(Sliste::OperationMode::CokSatir);
  connect(m_runs, &Sliste::kayitCiftTiklandi, this, [this](int) { cmdTestSec_Click(); });
  m_pageStack = new QStackedWidget(this);
  m_pageStack->addWidget(m_runs);
  const QString gridName = QStringLiteral("SlisteOgrenciSinif");
  m_classes = new Sliste(context, {objectName(), gridName, QStringLiteral("1")}, this);
  m_classes->setOperationMode(Sliste::OperationMode::DokunarakSec);
  m_classes->setSonSutunuGenislet(true);
  m_pageStack->addWidget(m_classes);
  auto* studentPage = new QWidget(this);
  auto* studentColumn = new QVBoxLayout(studentPage);
  studentColumn->setContentsMargins(0, 0, 0, 0);
  m_chkSilinenleriGoster = new QCheckBox(QStringLiteral("Silinen Öğrencileri Göster"), studentPage);
  m_chkSilinenleriGoster->setObjectName(QStringLiteral("chkSilinenleriGoster"));
  connect(m_chkSilinenleriGoster, &QCheckBox::toggled, this,
          &frmRaporlarMenu::chkSilinenleriGoster_Click);
  studentColumn->addWidget(m_chkSilinenleriGoster);
  m_studentStack = new QStackedWidget(studentPage);
  m_students = new Sliste(context, {objectName(), gridName, QStringLiteral("Silinmeyen")}, this);
  m_deletedStudents =
      new Sliste(context, {objectName(), gridName, QStringLiteral("Silinen")}, this);
  for (Sliste* list : {m_students, m_deletedStudents}) {
    list->setOperationMode(Sliste::OperationMode::DokunarakSec);
    m_studentStack->addWidget(list);
  }
  studentColumn->addWidget(m_studentStack, 1);
  m_pageStack->addWidget(studentPage);
  root->addWidget(m_pageStack, 1);

  // No legend of upload states: nothing is ever sent anywhere, every row is white.

  auto* buttons = new QHBoxLayout;
  auto* open = framework::button(QStringLiteral("cmdTestSec"), QStringLiteral("Raporu Aç"), this);
  connect(open, &QPushButton::clicked, this, &frmRaporlarMenu::cmdTestSec_Click);
  m_cmdDevam =
      framework::button(QStringLiteral("cmdDevam"), QStringLiteral("Uygulamaya Devam Et"), this);
  m_cmdDevam->hide();
  connect(m_cmdDevam, &QPushButton::clicked, this, &frmRaporlarMenu::cmdDevam_Click);
  auto* del = framework::button(QStringLiteral("cmdSil"),
                                QStringLiteral("Seçili Uygulama Kayıtlarını Sil"), this);
  connect(del, &QPushButton::clicked, this, &frmRaporlarMenu::cmdSil_Click);
  auto* merge = framework::button(QStringLiteral("cmUygulamalariBirlestir"),
                                  QStringLiteral("Birleştir"), this);
  merge->setToolTip(
      QStringLiteral("Seçili Beklenti Anketi uygulamalarını ilk seçilende birleştirir"));
  connect(merge, &QPushButton::clicked, this, &frmRaporlarMenu::cmUygulamalariBirlestir_Click);
  auto* lastRuns = new QLabel(QStringLiteral("Tarih aralığı yoksa son yapılan"), this);
  m_spnSonYapilan = new QSpinBox(this);
  m_spnSonYapilan->setObjectName(QStringLiteral("txtSonYapilan"));
  m_spnSonYapilan->setRange(1, 999);
  m_spnSonYapilan->setValue(reports::RunCriteria{}.lastRuns);
  m_spnSonYapilan->setMinimumHeight(34);
  auto* ranking = framework::button(QStringLiteral("cmdTestSec2"),
                                    QStringLiteral("Kriterlere Göre Rapor Göster"), this);
  ranking->setToolTip(QStringLiteral(
      "Seçili sınıfın öğrencilerini seçili ölçütlere uyan uygulamalardaki başarılarına göre "
      "sıralar"));
  connect(ranking, &QPushButton::clicked, this, [this] { (void)cmdTestSec2_Click(); });
  using Subject = reports::ProgressReport::Subject;
  auto* students = framework::button(QStringLiteral("cmdOgrenciGelisimi"),
                                     QStringLiteral("Öğrenci Gelişimi"), this);
  connect(students, &QPushButton::clicked, this, [this] { (void)openProgress(Subject::Student); });
  m_cmdSinifGelisimi =
      framework::button(QStringLiteral("cmdSinifGelisimi"), QStringLiteral("Sınıf Gelişimi"), this);
  connect(m_cmdSinifGelisimi, &QPushButton::clicked, this,
          [this] { (void)openProgress(Subject::Class); });
  m_cmdSil = del;
  m_cmdBirlestir = merge;
  m_cmdGecmisYillar =
      framework::button(QStringLiteral("cmdGecmisYillar"), QStringLiteral("Geçmiş Yıllar"), this);
  m_cmdGecmisYillar->setToolTip(
      QStringLiteral("Sınıf atlatmadan önceki yılların sonuçlarını yedekten açar"));
  m_cmdGecmisYillar->hide();
  connect(m_cmdGecmisYillar, &QPushButton::clicked, this, [this] {
    if (m_openPastYears) m_openPastYears();
  });
  auto* home = framework::button(QStringLiteral("cmdCikis"), QStringLiteral("Ana Sayfa"), this);
  connect(home, &QPushButton::clicked, this, &QWidget::close);
  // Over many runs: the ranking and the progress take the class, the curriculum
  // and the dates above, or the last N runs.
  auto* stats = new QHBoxLayout;
  stats->addWidget(lastRuns);
  stats->addWidget(m_spnSonYapilan);
  stats->addWidget(new QLabel(QStringLiteral("uygulama"), this));
  stats->addWidget(ranking);
  stats->addWidget(students);
  stats->addWidget(m_cmdSinifGelisimi);
  stats->addStretch(1);
  root->addLayout(stats);
  buttons->addWidget(open);
  buttons->addWidget(m_cmdDevam);
  buttons->addWidget(del);
  buttons->addWidget(merge);
  buttons->addStretch(1);
  buttons->addWidget(m_cmdGecmisYillar);
  buttons->addWidget(home);
  root->addLayout(buttons);

  m_curriculum = new CurriculumFilters(
      context.store, {m_cmbSeviye, m_cmbDers, m_cmbUnite, m_cmbKonu, m_cmbKazanim}, this);
  m_curriculum->fillAll();
  filtre::SinifDoldur(m_cmbSinifi, context.store);
  filtre::GrupDoldur(m_cmbGrup, context.store);
  const Result<reports::RunFilter> stored = reports::RunFilter::load(context.store);
  if (stored.ok()) restore(stored.value());
  m_runOnly = {m_cmbSinifi, m_cmbGrup, m_txtTestNo, m_txtAciklama, bul, open, del, merge};
  cmdGore_Click(Page::Runs);
  cmdBul_Click();
  // Runs recorded, re-scored or deleted elsewhere show without a new search.
  connect(&context.store, &store::Store::runsChanged, this, [this] {
    if (!m_searching) fillRuns(filter());
  });
  connect(&context.store, &store::Store::studentsChanged, this, [this] {
    if (m_page == Page::Students) chkSilinenleriGoster_Click(m_chkSilinenleriGoster->isChecked());
  });
}

void frmRaporlarMenu::setPastYearsOpener(std::function<void()> opener) {
  m_openPastYears = std::move(opener);
  m_cmdGecmisYillar->setVisible(bool(m_openPastYears) && !pastYear());
}

void frmRaporlarMenu::setPastYear(const QString& label) {
  m_pastYear = label;
  setWindowTitle(QStringLiteral("Geçmiş Yıllar: %1 (yedekten, salt okunur)").arg(label));
  // Told on the screen itself: the main window shows no screen's title.
  auto* banner = new QLabel(
      QStringLiteral("Geçmiş Yıllar: %1 eğitim öğretim yılı, yedekten okunuyor. Buradaki hiçbir "
                     "işlem yedeği değiştirmez.")
          .arg(label),
      this);
  banner->setObjectName(QStringLiteral("lblGecmisYil"));
  banner->setWordWrap(true);
  banner->setStyleSheet(QStringLiteral(
      "background:#fff4c2; border:1px solid #d9b300; padding:6px; font-weight:bold;"));
  if (auto* root = qobject_cast<QVBoxLayout*>(layout())) root->insertWidget(0, banner);
  m_resume = {};
  m_openPastYears = {};
  for (QPushButton* b : {m_cmdDevam, m_cmdSil, m_cmdBirlestir, m_cmdGecmisYillar}) {
    b->hide();
    m_runOnly.removeAll(b);
  }
}

void frmRaporlarMenu::cmdGore_Click(Page page) {
  m_page = page;
  for (int i = 0; i < m_cmdGore.size(); ++i) m_cmdGore.at(i)->setChecked(i == int(page));
  m_pageStack->setCurrentIndex(int(page));
  const bool runs = page == Page::Runs;
  // Group, test number and description pick single runs; the class list above
  // gives way to the picks on the class and student pages.
  for (QWidget* w : m_runOnly) {
    if (qobject_cast<QPushButton*>(w))
      w->setVisible(runs);
    else
      w->setEnabled(runs);
  }
  m_cmdDevam->setVisible(runs && bool(m_resume));
  m_cmdSinifGelisimi->setVisible(page != Page::Students);
  if (page == Page::Classes) (void)m_classes->ListeDoldurYeni(reports::RunList::classesQuery());
  if (page == Page::Students) chkSilinenleriGoster_Click(m_chkSilinenleriGoster->isChecked());
}

void frmRaporlarMenu::chkSilinenleriGoster_Click(bool on) {
  if (m_chkSilinenleriGoster->isChecked() != on) m_chkSilinenleriGoster->setChecked(on);
  m_studentStack->setCurrentWidget(on ? m_deletedStudents : m_students);
  (void)students()->ListeDoldurYeni(reports::RunList::studentsQuery(on));
}

Sliste* frmRaporlarMenu::students() const {
  return m_chkSilinenleriGoster->isChecked() ? m_deletedStudents : m_students;
}

void frmRaporlarMenu::fillRuns(const reports::RunFilter& f) {
  if (m_runs->ListeDoldurYeni(reports::RunList::listQuery(f))) fitDateColumns();
}

void frmRaporlarMenu::fitDateColumns() {
  // The layout every installation starts with leaves the date column too narrow
  // for "dd.MM.yyyy". A width the teacher saved is theirs and stays; one still as
  // it came is widened to show the date and times whole.
  const store::GridLayout factory = store::reportMenuTestLayout();
  const Result<QList<lists::LayoutColumn>> saved =
      lists::GridLayout::load(m_context.store, m_runs->identity());
  QTableView* view = m_runs->tablo();
  const QFontMetrics metrics(view->font());
  int grid = 0;
  for (const lists::LayoutColumn& col : m_runs->currentLayout()) {
    if (col.visibility == lists::LayoutColumn::Visibility::Internal) continue;
    const int at = grid++;
    const bool date = col.column == QStringLiteral("TESTTARIHI");
    if (!date && col.column != QStringLiteral("TESTBASLANGIC") &&
        col.column != QStringLiteral("TESTBITIS"))
      continue;
    bool asShipped = true;
    for (const lists::LayoutColumn& s : saved.valueOr({}))
      if (s.column == col.column)
        for (const store::GridColumn& c : factory.columns)
          if (c.field == col.column) asShipped = s.widthTwips == c.width.toInt();
    if (!asShipped) continue;
    const QString sample = date ? QStringLiteral("00.00.0000") : QStringLiteral("00:00:00");
    const int need = std::max(metrics.horizontalAdvance(sample) + 18,
                              view->horizontalHeader()->sectionSizeHint(at));
    if (view->horizontalHeader()->sectionSize(at) < need)
      view->horizontalHeader()->resizeSection(at, need);
  }
}

QStringList frmRaporlarMenu::subjects(reports::ProgressReport::Subject kind) {
  using Subject = reports::ProgressReport::Subject;
  const reports::SuccessRanking ranking(m_context.store);
  QStringList picked;
  Result<QStringList> out = QStringList();
  switch (m_page) {
    case Page::Runs: {
      const QString sinifi = choice(m_cmbSinifi);
      if (kind == Subject::Student)
        out = ranking.studentsOf(sinifi);
      else if (curriculum::CurriculumFilter::isAll(sinifi))
        out = m_context.store.column(reports::RunList::classesQuery().sql);
      else
        out = QStringList{sinifi};
      break;
    }
    case Page::Classes:
      picked = m_classes->SeciliKayitDegerleriniVer(QStringLiteral("SINIFI"));
      if (picked.isEmpty()) {
        m_context.messages.warning(QStringLiteral("Lütfen listeden en az bir sınıf seçiniz."));
        return {};
      }
      out = kind == Subject::Student ? ranking.studentsOf(picked) : picked;
      break;
    case Page::Students:
      picked = students()->SeciliKayitDegerleriniVer(QStringLiteral("KAYITNO"));
      if (picked.isEmpty()) {
        m_context.messages.warning(QStringLiteral("Lütfen listeden en az bir öğrenci seçiniz."));
        return {};
      }
      out = picked;
      break;
  }
  if (!out.ok()) {
    m_context.messages.error(out.error());
    return {};
  }
  if (out->isEmpty())
    m_context.messages.warning(kind == Subject::Student
                                   ? QStringLiteral("Seçili sınıfta öğrenci yok.")
                                   : QStringLiteral("Seçili ölçütlere uyan sınıf yok."));
  return out.value();
}

frmRaporlarMenu::~frmRaporlarMenu() = default;

void frmRaporlarMenu::restore(const reports::RunFilter& stored) {
  using F = curriculum::CurriculumFilter::Field;
  // From the top down, so that each list is filled under the choice above it.
  choose(m_cmbSeviye, stored.curriculum.value(F::Level));
  choose(m_cmbDers, stored.curriculum.value(F::Course));
  choose(m_cmbUnite, stored.curriculum.value(F::Unit));
  choose(m_cmbKonu, stored.curriculum.value(F::Topic));
  choose(m_cmbKazanim, stored.curriculum.value(F::Outcome));
  choose(m_cmbSinifi, stored.sinifi);
  choose(m_cmbGrup, stored.grup);
}

reports::RunFilter frmRaporlarMenu::filter() const {
  reports::RunFilter f;
  f.curriculum = m_curriculum->filter();
  f.sinifi = choice(m_cmbSinifi);
  f.grup = choice(m_cmbGrup);
  f.aciklama = m_txtAciklama->text().trimmed();
  f.testNo = m_txtTestNo->text().trimmed();
  f.dateRange = m_chkTarihAraligi->isChecked();
  f.from = m_dtBaslangic->date();
  f.to = m_dtBitis->date();
  return f;
}

void frmRaporlarMenu::cmdBul_Click() {
  const reports::RunFilter f = filter();
  f.save();
  m_searching = true;
  const Status repaired = m_list.repairUnfinished();
  m_searching = false;
  if (!framework::check(m_context.messages, repaired)) return;
  fillRuns(f);
}

QList<reports::RunKey> frmRaporlarMenu::selectedRuns() const {
  QList<reports::RunKey> keys;
  for (int record : m_runs->SeciliKayitlariVer())
    keys << reports::RunKey{m_runs->deger(record, QStringLiteral("TESTTARIHI")),
                            m_runs->deger(record, QStringLiteral("TESTBASLANGIC"))};
  return keys;
}

bool frmRaporlarMenu::allowed(const QString& key) { return framework::allowed(m_context, key); }

void frmRaporlarMenu::cmdTestSec_Click() {
  const int record = m_runs->aktifKayit();
  if (record < 0) {
    m_context.messages.warning(QStringLiteral("Lütfen listeden bir uygulama seçiniz."));
    return;
  }
  const reports::RunKey key{m_runs->deger(record, QStringLiteral("TESTTARIHI")),
                            m_runs->deger(record, QStringLiteral("TESTBASLANGIC"))};
  const Result<QList<reports::RunRow>> rows = m_list.run(key);
  if (!rows.ok() || rows->isEmpty()) {
    m_context.messages.error(rows.ok() ? QStringLiteral("Uygulama bulunamadı.") : rows.error());
    return;
  }
  if (rows->first().opens() == reports::RunRow::Opens::Report) {
    if (m_openReport) m_openReport(key);
    return;
  }
  evaluateSurvey(rows->first());
}

void frmRaporlarMenu::setResumer(std::function<void(const reports::ResumeRun&)> resumer) {
  m_resume = std::move(resumer);
  m_cmdDevam->setVisible(m_page == Page::Runs && bool(m_resume));
}

void frmRaporlarMenu::cmdDevam_Click() {
  const int record = m_runs->aktifKayit();
  if (!m_resume || record < 0) return;
  const Result<reports::ResumeRun> run =
      m_list.resume({m_runs->deger(record, QStringLiteral("TESTTARIHI")),
                     m_runs->deger(record, QStringLiteral("TESTBASLANGIC"))});
  if (!run.ok()) {
    m_context.messages.error(run.error());
    return;
  }
  m_resume(run.value());
}

void frmRaporlarMenu::evaluateSurvey(const reports::RunRow& run) {
  // The two built-in surveys are evaluated into documents, not shown as a test.
  const QString folder = reports::surveyFolder(m_context.store);
  if (!QDir().mkpath(folder)) {
    m_context.messages.error(
        QStringLiteral("Klasör oluşturulamadı: %1").arg(QDir::toNativeSeparators(folder)));
    return;
  }
  frmIslem wait(this);
  wait.showText(reports::surveyProgressText());
  Result<QStringList> files = QStringList();
  if (run.opens() == reports::RunRow::Opens::ExpectationSurvey) {
    const auto e = reports::ExpectationSurvey(m_context.store).evaluate(run.key);
    files = e.ok() ? reports::ExpectationSurvey::write(e.value(), folder)
                   : Result<QStringList>::failure(e.error());
  } else {
    const auto l = reports::LeadershipSurvey(m_context.store).evaluate(run.key);
    files = l.ok() ? reports::LeadershipSurvey::write(l.value(), folder)
                   : Result<QStringList>::failure(l.error());
  }
  wait.hide();
  if (!files.ok()) {
    m_context.messages.error(files.error());
    return;
  }
  if (files->isEmpty()) {
    m_context.messages.warning(QStringLiteral("Bu ankette değerlendirilecek cevap yok."));
    return;
  }
  framework::openFile(m_context.messages, folder);
}

void frmRaporlarMenu::cmdSil_Click() {
  if (!allowed(QStringLiteral("UygulamaSil"))) return;
  const QList<reports::RunKey> keys = selectedRuns();
  if (keys.isEmpty()) {
    m_context.messages.warning(QStringLiteral("Lütfen silinecek uygulamaları seçiniz."));
    return;
  }
  const Result<bool> done = m_list.deleteRuns(keys, m_context.messages);
  if (!done.ok()) m_context.messages.error(done.error());
}

void frmRaporlarMenu::cmUygulamalariBirlestir_Click() {
  if (!allowed(QStringLiteral("UygulamaBirlestir"))) return;
  const QList<reports::RunKey> keys = selectedRuns();
  if (keys.size() < 2) {
    m_context.messages.warning(
        QStringLiteral("Birleştirmek için en az iki Beklenti Anketi uygulaması seçiniz."));
    return;
  }
  const Result<int> merged = m_list.mergeSurveyRuns(keys);
  if (!merged.ok()) {
    m_context.messages.error(merged.error());
    return;
  }
  m_context.messages.info(merged.value() > 0
                              ? QStringLiteral("%1 uygulama birleştirildi.").arg(merged.value())
                              : QStringLiteral("Seçilenler arasında birleştirilecek Beklenti "
                                               "Anketi uygulaması yok."));
}

reports::RunCriteria frmRaporlarMenu::criteria() const {
  reports::RunCriteria c;
  c.limit = m_chkTarihAraligi->isChecked() ? reports::RunCriteria::Limit::DateRange
                                           : reports::RunCriteria::Limit::LastRuns;
  c.lastRuns = m_spnSonYapilan->value();
  c.from = m_dtBaslangic->date();
  c.to = m_dtBitis->date();
  c.curriculum = m_curriculum->filter();
  return c;
}

frmRaporlarBasariListesi* frmRaporlarMenu::cmdTestSec2_Click() {
  const reports::RunCriteria c = criteria();
  if (const QString problem = c.problem(); !problem.isEmpty()) {
    m_context.messages.warning(problem);
    return nullptr;
  }
  const QStringList students = subjects(reports::ProgressReport::Subject::Student);
  if (students.isEmpty()) return nullptr;
  auto* screen = new frmRaporlarBasariListesi(m_context, students, c);
  if (!screen->loaded()) {
    delete screen;
    return nullptr;
  }
  reportsui::present(m_context, screen);
  return screen;
}

frmRaporlarGoreceli* frmRaporlarMenu::openProgress(reports::ProgressReport::Subject kind) {
  const reports::RunCriteria c = criteria();
  if (const QString problem = c.problem(); !problem.isEmpty()) {
    m_context.messages.warning(problem);
    return nullptr;
  }
  const QStringList chosen = subjects(kind);
  if (chosen.isEmpty()) return nullptr;
  auto* screen = new frmRaporlarGoreceli(m_context, kind, chosen, c);
  if (!screen->loaded()) {
    delete screen;
    return nullptr;
  }
  reportsui::present(m_context, screen);
  return screen;
}
