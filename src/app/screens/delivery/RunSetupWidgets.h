#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

#include "delivery/RunSetup.h"
#include "framework/ScreenContext.h"

class QButtonGroup;
class QGroupBox;
class QLayout;
class QPushButton;
class QWidget;
class Sliste;

// The pieces the run set-up screens (frmTestUygula, frmSerbestBilgileri,
// frmDersUygula) share.
namespace setupui {
// A group of radio buttons named `name`0, `name`1 …, whose ids are the stored indexes.
QButtonGroup* radios(const QString& name, const QStringList& captions, QLayout* layout,
                     QWidget* parent);
void check(QButtonGroup* group, int id);
// "cmdCikis": closes the screen (its window in the main area, or itself).
QPushButton* closeButton(const QString& caption, QWidget* screen);
// The screen's main button, green, that starts the run.
QPushButton* startButton(const QString& name, const QString& caption, QWidget* screen);
}  // namespace setupui

// The two remote grids of a run set-up screen (frmTestUygula, frmSerbestBilgileri,
// frmDersUygula): the student remotes of the class with their students
// (SlisteKumandalar) and the teacher remotes (SlisteOgretmenler). A refill
// selects every row: the whole class takes part unless the teacher leaves some
// remotes out.
class RunRemoteGrids : public QObject {
  Q_OBJECT
 public:
  RunRemoteGrids(const ScreenContext& context, const QString& screen, QWidget* parent);

  Sliste* students() const { return m_students; }
  Sliste* teachers() const { return m_teachers; }
  // The grids in their titled frames, to put in a layout.
  QGroupBox* studentBox() const { return m_studentBox; }
  QGroupBox* teacherBox() const { return m_teacherBox; }

  void fill(const store::Query& students);
  QList<delivery::RunSetup::RemoteRow> selectedStudents() const;
  QStringList selectedTeachers() const;

 signals:
  // Students, remotes or pairings changed elsewhere: the screen refills.
  void stale();

 private:
  Sliste* m_students = nullptr;
  Sliste* m_teachers = nullptr;
  QGroupBox* m_studentBox = nullptr;
  QGroupBox* m_teacherBox = nullptr;
};
