#include "screens/delivery/frmSerbestBilgileri.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Messages.h"
#include "delivery/HomeworkCheck.h"
#include "framework/BrowserAnswers.h"
#include "framework/CardAnswers.h"
#include "framework/CurriculumFilters.h"
#include "framework/ScreenHelpers.h"
#include "screens/delivery/RunSetupWidgets.h"
#include "store/Store.h"

namespace {
const QString kScreen = delivery::HomeworkCheck::kScreen;

QComboBox* comboNamed(const QString& name, QWidget* parent) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setMinimumWidth(180);
  return c;
}
}  // namespace

frmSerbestBilgileri::frmSerbestBilgileri(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_setup(context.store) {
  setObjectName(kScreen);
  setWindowTitle(QStringLiteral("Ödev Kontrol"));
  build();
  load();
}

void frmSerbestBilgileri::build() {
  auto* form = new QFormLayout;
  m_txtSoruSayisi = new QLineEdit(this);
  m_txtSoruSayisi->setObjectName(QStringLiteral("txtSoruSayisi"));
  m_txtSoruSayisi->setValidator(new QIntValidator(1, 1000, m_txtSoruSayisi));
  m_txtSoruSayisi->setMaximumWidth(100);
  m_txtTestAdi = new QLineEdit(this);
  m_txtTestAdi->setObjectName(QStringLiteral("txtTestAdi"));
  m_cmbSeviye = comboNamed(QStringLiteral("cmbSeviye"), this);
  m_cmbDers = comboNamed(QStringLiteral("cmbDers"), this);
  m_cmbUnite = comboNamed(QStringLiteral("cmbUnite"), this);
  m_cmbKonu = comboNamed(QStringLiteral("cmbKonu"), this);
  m_cmbKazanim = comboNamed(QStringLiteral("cmbKazanim"), this);
  m_cmbSinifi = comboNamed(QStringLiteral("cmbSinifi"), this);
  form->addRow(QStringLiteral("Soru Sayısı:"), m_txtSoruSayisi);
  form->addRow(QStringLiteral("Test Adı:"), m_txtTestAdi);
  form->addRow(QStringLiteral("Seviye:"), m_cmbSeviye);
  form->addRow(QStringLiteral("Ders:"), m_cmbDers);
  form->addRow(QStringLiteral("Ünite:"), m_cmbUnite);
  form->addRow(QStringLiteral("Konu:"), m_cmbKonu);
  form->addRow(QStringLiteral("Kazanım:"), m_cmbKazanim);
  form->addRow(QStringLiteral("Sınıfı:"), m_cmbSinifi);
  m_chkKirpma = new QCheckBox(QStringLiteral("Testteki Soruları Kırp ve Kaydet"), this);
  m_chkKirpma->setObjectName(QStringLiteral("chkKirpma"));
  m_chkKirpma->setToolTip(
      QStringLiteral("Her soru sorulurken tahtada gösterilen alanı kırpıp sorunun resmi olarak "
                     "saklar; raporda ne sorulduğu görünür."));
  form->addRow(QString(), m_chkKirpma);
  auto* info = new QGroupBox(QStringLiteral("Bilgiler"), this);
  info->setLayout(form);

  m_lblAyarlar = new QLabel(this);
  m_lblAyarlar->setObjectName(QStringLiteral("lblAyarlar"));
  m_lblAyarlar->setWordWrap(true);
  auto* settings = framework::group(QStringLiteral("Test Uygulama Ekranında Kaydedilen Ayarlar"),
                                    m_lblAyarlar, this);

  auto* left = new QVBoxLayout;
  left->addWidget(info);
  left->addWidget(settings);
  left->addStretch(1);

  m_grids = new RunRemoteGrids(m_context, kScreen, this);
  auto* right = new QVBoxLayout;
  right->addWidget(m_grids->studentBox(), 3);
  right->addWidget(m_grids->teacherBox(), 1);
  right->addWidget(framework::BrowserAnswers::setupRow(m_context, kScreen, this));
  right->addWidget(framework::CardAnswers::setupRow(m_context, kScreen, this));

  auto* middle = new QHBoxLayout;
  middle->addLayout(left, 2);
  middle->addLayout(right, 3);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QPushButton* start = setupui::startButton(QStringLiteral("cmdSerbest"),
                                            QStringLiteral("Ödev Kontrolünü Başlat"), this);
  start->setMinimumWidth(220);
  connect(start, &QPushButton::clicked, this, &frmSerbestBilgileri::cmdSerbest_Click);
  buttons->addWidget(setupui::closeButton(QStringLiteral("Kapat"), this));
  buttons->addWidget(start);

  auto* box = new QVBoxLayout(this);
  box->addLayout(middle, 1);
  box->addLayout(buttons);

  m_curriculum = new CurriculumFilters(
      m_context.store, {m_cmbSeviye, m_cmbDers, m_cmbUnite, m_cmbKonu, m_cmbKazanim}, this);
  connect(m_cmbSinifi, &QComboBox::activated, this, [this] { fillRemotes(); });
  connect(m_grids, &RunRemoteGrids::stale, this, &frmSerbestBilgileri::fillRemotes);
  connect(m_chkKirpma, &QCheckBox::clicked, this, [this](bool on) {
    framework::check(m_context.messages,
                     delivery::HomeworkCheck::saveClip(m_context.store.db(), on));
  });
}

void frmSerbestBilgileri::load() {
  m_curriculum->fillAll();
  // The last level and course, as the lists cascade from the top.
  const curriculum::CurriculumFilter last = delivery::HomeworkCheck::lastCurriculum();
  for (const auto& [combo, value] : {std::pair{m_cmbSeviye, last.level}, {m_cmbDers, last.course}})
    if (const int i = combo->findText(value); !value.isEmpty() && i >= 0) combo->setCurrentIndex(i);

  Result<QStringList> classes = m_setup.classEntries();
  if (!classes) m_context.messages.error(classes.error());
  m_cmbSinifi->addItems(classes.valueOr({delivery::RunSetup::kVirtualClass}));
  m_cmbSinifi->setCurrentIndex(delivery::RunSetup::defaultClassIndex(classes.valueOr({})));

  Result<delivery::RunSettings> settings =
      delivery::RunSettings::loadForFreeQuestions(m_context.store.db());
  if (!settings) m_context.messages.error(settings.error());
  m_settings = settings.valueOr({});
  m_lblAyarlar->setText(settingsText(m_settings));
  m_chkKirpma->setChecked(delivery::HomeworkCheck::loadClip(m_context.store.db()).valueOr(false));
  fillRemotes();
}

void frmSerbestBilgileri::fillRemotes() {
  m_grids->fill(delivery::RunSetup::studentRemotesQuery(m_cmbSinifi->currentText()));
}

QString frmSerbestBilgileri::settingsText(const delivery::RunSettings& s) {
  using D = delivery::RunSettings::Duration;
  const QString duration = s.duration == D::Fixed
                               ? QStringLiteral("her soru %1 sn").arg(s.fixedSeconds)
                               : QStringLiteral("süresiz");
  const QStringList penalty = {QStringLiteral("yanlışlar doğruyu götürmez"),
                               QStringLiteral("3 yanlış 1 doğruyu götürür"),
                               QStringLiteral("4 yanlış 1 doğruyu götürür")};
  auto yesNo = [](bool on) { return on ? QStringLiteral("evet") : QStringLiteral("hayır"); };
  return QStringLiteral(
             "Süre: %1\nYanlışlar: %2\nKumanda testi: %3\nOylama otomatik başlasın: %4\n"
             "Çoğunluğun cevabı doğru kabul edilsin: %5\nHerkes cevap verince geçilsin: %6")
      .arg(duration, penalty.value(int(s.penalty)), yesNo(s.remoteTestScreen),
           yesNo(s.autoStartVoting), yesNo(s.majorityIsCorrect), yesNo(s.goOnWhenAllAnswered));
}

void frmSerbestBilgileri::cmdSerbest_Click() {
  // A run in class, with the homework check's own right besides: both of
  // whoever is logged in when it starts.
  if (!framework::allowed(m_context, delivery::kRunSetupScreen) ||
      !framework::allowed(m_context, QStringLiteral("OdevKontrol")))
    return;
  delivery::HomeworkCheck check;
  check.questionsText = m_txtSoruSayisi->text();
  check.testName = m_txtTestAdi->text();
  check.curriculum = m_curriculum->filter();
  check.className = m_cmbSinifi->currentText();
  check.clip = m_chkKirpma->isChecked();
  check.students = m_grids->selectedStudents();
  check.teachers = m_grids->selectedTeachers();
  const std::optional<delivery::RunPlan> plan = check.plan(m_settings, m_setup, m_context.messages);
  if (!plan) return m_txtSoruSayisi->setFocus();
  delivery::HomeworkCheck::rememberCurriculum(check.curriculum);
  if (!m_startRun) {
    m_context.messages.warning(QStringLiteral("Sunum ekranı açılamadı."));
    return;
  }
  m_startRun(*plan, check.questions(), check.clip);
}
