#include "screens/delivery/frmDersUygula.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Messages.h"
#include "delivery/RunSetup.h"
#include "framework/BrowserAnswers.h"
#include "framework/CardAnswers.h"
#include "framework/CurriculumFilters.h"
#include "framework/FilterListFill.h"
#include "framework/ScreenHelpers.h"
#include "screens/delivery/RunSetupWidgets.h"

namespace {
const QString kScreen = QStringLiteral("frmDersUygula");
using Duration = delivery::RunSettings::Duration;
using Penalty = delivery::RunSettings::Penalty;
}  // namespace

frmDersUygula::frmDersUygula(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_setup(context.store) {
  setObjectName(kScreen);
  setWindowTitle(QStringLiteral("Ders Uygula"));
  build();
  load();
}

void frmDersUygula::build() {
  auto* top = new QGroupBox(QStringLiteral("Ders"), this);
  auto* grid = new QGridLayout(top);
  auto combo = [top](const QString& name) {
    auto* c = new QComboBox(top);
    c->setObjectName(name);
    c->setMinimumWidth(150);
    return c;
  };
  m_cmbSinifi = combo(QStringLiteral("cmbSinifi"));
  m_cmbSeviye = combo(QStringLiteral("cmbSeviye"));
  m_cmbDers = combo(QStringLiteral("cmbDers"));
  m_cmbKonu = combo(QStringLiteral("cmbKonu"));
  m_cmbGrup = combo(QStringLiteral("cmbGrup"));
  m_cmbGrup->setEditable(true);
  m_txtAciklama = new QLineEdit(top);
  m_txtAciklama->setObjectName(QStringLiteral("txtAciklama"));
  const QList<QPair<QString, QWidget*>> fields = {
      {QStringLiteral("Sınıfı"), m_cmbSinifi}, {QStringLiteral("Seviye"), m_cmbSeviye},
      {QStringLiteral("Ders"), m_cmbDers},     {QStringLiteral("Konu"), m_cmbKonu},
      {QStringLiteral("Grup"), m_cmbGrup},     {QStringLiteral("Açıklama"), m_txtAciklama}};
  for (int i = 0; i < fields.size(); ++i) {
    grid->addWidget(new QLabel(fields.at(i).first, top), 0, i);
    grid->addWidget(fields.at(i).second, 1, i);
  }
  grid->setColumnStretch(int(fields.size()) - 1, 1);

  m_grids = new RunRemoteGrids(m_context, kScreen, this);
  auto* remotes = new QVBoxLayout;
  remotes->addWidget(m_grids->studentBox(), 3);
  remotes->addWidget(m_grids->teacherBox(), 1);
  remotes->addWidget(framework::BrowserAnswers::setupRow(m_context, kScreen, this));
  remotes->addWidget(framework::CardAnswers::setupRow(m_context, kScreen, this));
  auto* middle = new QHBoxLayout;
  middle->addLayout(remotes, 3);
  middle->addWidget(buildOptions(), 2);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QPushButton* start =
      setupui::startButton(QStringLiteral("cmdOnizleme"), QStringLiteral("Dersi Başlat"), this);
  connect(start, &QPushButton::clicked, this, &frmDersUygula::cmdOnizleme_Click);
  buttons->addWidget(setupui::closeButton(QStringLiteral("Ana Sayfa"), this));
  buttons->addWidget(start);

  auto* box = new QVBoxLayout(this);
  box->addWidget(top);
  box->addLayout(middle, 1);
  box->addLayout(buttons);

  m_curriculum = new CurriculumFilters(m_context.store,
                                       {m_cmbSeviye, m_cmbDers, nullptr, m_cmbKonu, nullptr}, this);
  connect(m_grids, &RunRemoteGrids::stale, this, &frmDersUygula::fillRemotes);
  // Each choice is kept as soon as it is made.
  connect(m_cmbSinifi, &QComboBox::activated, this, [this] {
    save();
    fillRemotes();
  });
  connect(m_cmbSure, &QComboBox::activated, this, &frmDersUygula::save);
  for (QButtonGroup* g : {m_optSure, m_optGoturu, m_optIstatistik, m_optKumandaTest})
    connect(g, &QButtonGroup::idClicked, this, &frmDersUygula::save);
  connect(m_chkHerkesCevapVerinceGec, &QCheckBox::clicked, this, &frmDersUygula::save);
}

QWidget* frmDersUygula::buildOptions() {
  auto* options = new QWidget(this);
  auto* v = new QVBoxLayout(options);
  v->setContentsMargins(0, 0, 0, 0);

  auto* timeBox = new QGroupBox(QStringLiteral("Süre"), options);
  auto* timeLayout = new QVBoxLayout(timeBox);
  m_optSure = setupui::radios(QStringLiteral("optSure"),
                              {QStringLiteral("Sorulara Atanan Süreleri Kullan"),
                               QStringLiteral("Süresiz"), QStringLiteral("Her Soru İçin")},
                              timeLayout, timeBox);
  m_cmbSure = new QComboBox(timeBox);
  m_cmbSure->setObjectName(QStringLiteral("cmbSure"));
  m_cmbSure->addItems(delivery::RunSetup::durationEntries());
  auto* fixedRow = new QHBoxLayout;
  fixedRow->addSpacing(24);
  fixedRow->addWidget(m_cmbSure);
  fixedRow->addWidget(new QLabel(QStringLiteral("sn"), timeBox));
  fixedRow->addStretch(1);
  timeLayout->addLayout(fixedRow);
  m_chkHerkesCevapVerinceGec =
      new QCheckBox(QStringLiteral("Herkes Cevap Verince Sonraki Soruya Geç"), timeBox);
  m_chkHerkesCevapVerinceGec->setObjectName(QStringLiteral("chkHerkesCevapVerinceGec"));
  timeLayout->addWidget(m_chkHerkesCevapVerinceGec);
  v->addWidget(timeBox);

  auto* penaltyBox = new QGroupBox(QStringLiteral("Yanlışlar"), options);
  m_optGoturu = setupui::radios(QStringLiteral("optGoturu"),
                                {QStringLiteral("Yanlışlar Doğruyu Götürmesin"),
                                 QStringLiteral("3 Yanlış 1 Doğruyu Götürsün"),
                                 QStringLiteral("4 Yanlış 1 Doğruyu Götürsün")},
                                new QVBoxLayout(penaltyBox), penaltyBox);
  v->addWidget(penaltyBox);

  auto* pair = new QHBoxLayout;
  auto* remoteTest = new QGroupBox(QStringLiteral("Kumanda Test Ekranı"), options);
  m_optKumandaTest = setupui::radios(QStringLiteral("optKumandaTest"),
                                     {QStringLiteral("Göster"), QStringLiteral("Gösterme")},
                                     new QVBoxLayout(remoteTest), remoteTest);
  pair->addWidget(remoteTest);
  auto* atEnd = new QGroupBox(QStringLiteral("Ders Sonunda"), options);
  m_optIstatistik =
      setupui::radios(QStringLiteral("optIstatistik"),
                      {QStringLiteral("İstatistik Göster"), QStringLiteral("İstatistik Gösterme")},
                      new QVBoxLayout(atEnd), atEnd);
  pair->addWidget(atEnd);
  v->addLayout(pair);
  v->addStretch(1);
  return options;
}

void frmDersUygula::load() {
  m_curriculum->fillAll();
  filtre::GrupDoldur(m_cmbGrup, m_context.store);
  m_cmbGrup->setCurrentIndex(0);
  Result<QStringList> classes = m_setup.classEntries();
  if (!classes) m_context.messages.error(classes.error());
  m_cmbSinifi->addItems(classes.valueOr({}));

  Result<delivery::LessonSetup::Choices> saved = m_setup.loadChoices();
  if (!saved && classes) m_context.messages.error(saved.error());  // said once
  const delivery::LessonSetup::Choices c = saved.valueOr({});
  m_cmbSinifi->setCurrentIndex(std::max(0, m_cmbSinifi->findText(c.className)));
  setupui::check(m_optSure, int(c.duration));
  m_cmbSure->setCurrentIndex(delivery::RunSettings::positionOf(c.fixedSeconds));
  setupui::check(m_optGoturu, int(c.penalty));
  setupui::check(m_optIstatistik, c.statistics ? 0 : 1);
  setupui::check(m_optKumandaTest, c.remoteTest ? 0 : 1);
  m_chkHerkesCevapVerinceGec->setChecked(c.goOnWhenAllAnswered);
  fillRemotes();
}

delivery::LessonSetup::Choices frmDersUygula::choices() const {
  delivery::LessonSetup::Choices c;
  c.className = m_cmbSinifi->currentText();
  c.duration = Duration(std::max(0, m_optSure->checkedId()));
  c.fixedSeconds = delivery::RunSettings::secondsAt(m_cmbSure->currentIndex());
  c.penalty = Penalty(std::max(0, m_optGoturu->checkedId()));
  c.statistics = m_optIstatistik->checkedId() == 0;
  c.remoteTest = m_optKumandaTest->checkedId() == 0;
  c.goOnWhenAllAnswered = m_chkHerkesCevapVerinceGec->isChecked();
  return c;
}

void frmDersUygula::save() const { choices().save(); }

void frmDersUygula::fillRemotes() {
  m_grids->fill(delivery::RunSetup::classRemotesQuery(m_cmbSinifi->currentText()));
}

void frmDersUygula::cmdOnizleme_Click() {
  // Whoever opened the screen may have logged out since.
  if (!framework::allowed(m_context, kScreen)) return;
  delivery::LessonSetup::Start start;
  start.className = m_cmbSinifi->currentText();
  const curriculum::CurriculumFilter chosen = m_curriculum->filter();
  start.level = chosen.level;
  start.course = chosen.course;
  start.topic = chosen.topic;
  start.group = m_cmbGrup->currentText().trimmed();
  start.description = m_txtAciklama->text().trimmed();
  start.choices = choices();
  start.students = m_grids->selectedStudents();
  start.teachers = m_grids->selectedTeachers();
  if (!m_startRun) {
    m_context.messages.warning(QStringLiteral("Sunum ekranı açılamadı."));
    return;
  }
  m_startRun(m_setup.plan(start));
}
