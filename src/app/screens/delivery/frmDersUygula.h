#pragma once

#include <QWidget>

#include <functional>

#include "delivery/LessonSetup.h"
#include "framework/ScreenContext.h"

class CurriculumFilters;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class RunRemoteGrids;

// Lesson mode ("Ders Uygula"): the class, the remotes taking part and the run
// options of a lesson; "Dersi Başlat" opens the presentation with "DERS", where
// the teacher asks over the board question by question (a free run recorded
// under the lesson's run key). Each option is kept per user when it is clicked
// and comes back when the screen opens (delivery::LessonSetup::Choices).
class frmDersUygula : public QWidget {
  Q_OBJECT
 public:
  explicit frmDersUygula(const ScreenContext& context, QWidget* parent = nullptr);

  // "Dersi Başlat" hands the lesson over; false when it did not open.
  void setStartRun(std::function<bool(const delivery::RunPlan&)> start) {
    m_startRun = std::move(start);
  }

  void cmdOnizleme_Click();
  // The options as shown.
  delivery::LessonSetup::Choices choices() const;

  QComboBox* cmbSinifi() const { return m_cmbSinifi; }
  QComboBox* cmbSure() const { return m_cmbSure; }
  QButtonGroup* optSure() const { return m_optSure; }
  QButtonGroup* optGoturu() const { return m_optGoturu; }
  QButtonGroup* optIstatistik() const { return m_optIstatistik; }
  QButtonGroup* optKumandaTest() const { return m_optKumandaTest; }
  QCheckBox* chkHerkesCevapVerinceGec() const { return m_chkHerkesCevapVerinceGec; }
  QLineEdit* txtAciklama() const { return m_txtAciklama; }
  RunRemoteGrids* grids() const { return m_grids; }

 private:
  void build();
  QWidget* buildOptions();
  void load();
  void fillRemotes();
  void save() const;

  ScreenContext m_context;
  delivery::LessonSetup m_setup;
  std::function<bool(const delivery::RunPlan&)> m_startRun;

  QComboBox* m_cmbSinifi = nullptr;
  QComboBox* m_cmbSeviye = nullptr;
  QComboBox* m_cmbDers = nullptr;
  QComboBox* m_cmbKonu = nullptr;
  QComboBox* m_cmbGrup = nullptr;
  QLineEdit* m_txtAciklama = nullptr;
  CurriculumFilters* m_curriculum = nullptr;
  RunRemoteGrids* m_grids = nullptr;
  QButtonGroup* m_optSure = nullptr;
  QComboBox* m_cmbSure = nullptr;
  QButtonGroup* m_optGoturu = nullptr;
  QButtonGroup* m_optIstatistik = nullptr;
  QButtonGroup* m_optKumandaTest = nullptr;
  QCheckBox* m_chkHerkesCevapVerinceGec = nullptr;
};
