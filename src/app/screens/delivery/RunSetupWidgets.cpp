#include "screens/delivery/RunSetupWidgets.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLayout>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>

#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "store/Store.h"

namespace setupui {

QButtonGroup* radios(const QString& name, const QStringList& captions, QLayout* layout,
                     QWidget* parent) {
  auto* g = new QButtonGroup(parent);
  g->setObjectName(name);
  for (int i = 0; i < captions.size(); ++i) {
    auto* r = new QRadioButton(captions.at(i), parent);
    r->setObjectName(QStringLiteral("%1%2").arg(name).arg(i));
    g->addButton(r, i);
    layout->addWidget(r);
  }
  return g;
}

void check(QButtonGroup* group, int id) {
  if (QAbstractButton* b = group->button(id)) b->setChecked(true);
}

QPushButton* closeButton(const QString& caption, QWidget* screen) {
  QPushButton* b = framework::button(QStringLiteral("cmdCikis"), caption, screen);
  QObject::connect(b, &QPushButton::clicked, screen, [screen] {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(screen->parentWidget()))
      sub->close();
    else
      screen->close();
  });
  return b;
}

QPushButton* startButton(const QString& name, const QString& caption, QWidget* screen) {
  QPushButton* b = framework::button(name, caption, screen);
  b->setMinimumWidth(180);
  b->setStyleSheet(QStringLiteral("font-weight:bold;background:#2e7d32;color:white;"));
  return b;
}

}  // namespace setupui

RunRemoteGrids::RunRemoteGrids(const ScreenContext& context, const QString& screen, QWidget* parent)
    : QObject(parent) {
  m_students = new Sliste(context, {screen, QStringLiteral("SlisteKumandalar")}, parent);
  m_students->setOperationMode(Sliste::OperationMode::DokunarakSec);
  m_teachers = new Sliste(context, {screen, QStringLiteral("SlisteOgretmenler")}, parent);
  m_teachers->setOperationMode(Sliste::OperationMode::DokunarakSec);
  m_studentBox = framework::group(QStringLiteral("Öğrenci Kumandaları"), m_students, parent);
  m_teacherBox = framework::group(QStringLiteral("Öğretmen Kumandaları"), m_teachers, parent);
  // A class has a teacher remote or two: a couple of rows are enough, and the
  // set-up screens stay within a 1366×768 screen.
  m_teacherBox->setMaximumHeight(170);
  m_teachers->setMinimumHeight(80);
  for (auto signal : {&store::Store::studentsChanged, &store::Store::remotesChanged,
                      &store::Store::pairingsChanged})
    connect(&context.store, signal, this, &RunRemoteGrids::stale);
}

void RunRemoteGrids::fill(const store::Query& students) {
  (void)m_teachers->ListeDoldurYeni(delivery::RunSetup::teacherRemotesQuery());
  m_teachers->TumunuSec();
  (void)m_students->ListeDoldurYeni(students);
  m_students->TumunuSec();
}

QList<delivery::RunSetup::RemoteRow> RunRemoteGrids::selectedStudents() const {
  QList<delivery::RunSetup::RemoteRow> rows;
  for (int r : m_students->SeciliKayitlariVer())
    rows.append({m_students->deger(r, QStringLiteral("KUMANDAADRESI")),
                 m_students->deger(r, QStringLiteral("ADI")),
                 m_students->deger(r, QStringLiteral("SOYADI"))});
  return rows;
}

QStringList RunRemoteGrids::selectedTeachers() const {
  return m_teachers->SeciliKayitDegerleriniVer(QStringLiteral("KUMANDAADRESI"));
}
