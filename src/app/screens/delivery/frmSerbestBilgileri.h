#pragma once

#include <QWidget>

#include <functional>

#include "delivery/RunPlan.h"
#include "delivery/RunSettings.h"
#include "delivery/RunSetup.h"
#include "framework/ScreenContext.h"

class CurriculumFilters;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class RunRemoteGrids;

// The homework check ("Ödev Kontrol"): the answers to a test solved on paper
// are collected question by question as a free run that ends at the question
// count. The teacher gives the count, the test's name and curriculum, the class
// and its remotes; the run options are those saved on the test setup screen,
// shown here for reference. Every rule is delivery::HomeworkCheck's.
class frmSerbestBilgileri : public QWidget {
  Q_OBJECT
 public:
  explicit frmSerbestBilgileri(const ScreenContext& context, QWidget* parent = nullptr);

  // "Ödev Kontrolünü Başlat" hands the run over: the plan, the question count and
  // whether each question's picture is clipped; false when it did not open.
  using StartRun = std::function<bool(const delivery::RunPlan&, int questions, bool clip)>;
  void setStartRun(StartRun start) { m_startRun = std::move(start); }

  void cmdSerbest_Click();

  QLineEdit* txtSoruSayisi() const { return m_txtSoruSayisi; }
  QLineEdit* txtTestAdi() const { return m_txtTestAdi; }
  QComboBox* cmbSinifi() const { return m_cmbSinifi; }
  QComboBox* cmbDers() const { return m_cmbDers; }
  QCheckBox* chkKirpma() const { return m_chkKirpma; }
  RunRemoteGrids* grids() const { return m_grids; }
  QLabel* lblAyarlar() const { return m_lblAyarlar; }

 private:
  void build();
  void load();
  void fillRemotes();
  static QString settingsText(const delivery::RunSettings& settings);

  ScreenContext m_context;
  delivery::RunSetup m_setup;
  delivery::RunSettings m_settings;
  StartRun m_startRun;

  QLineEdit* m_txtSoruSayisi = nullptr;
  QLineEdit* m_txtTestAdi = nullptr;
  QComboBox* m_cmbSeviye = nullptr;
  QComboBox* m_cmbDers = nullptr;
  QComboBox* m_cmbUnite = nullptr;
  QComboBox* m_cmbKonu = nullptr;
  QComboBox* m_cmbKazanim = nullptr;
  QComboBox* m_cmbSinifi = nullptr;
  QCheckBox* m_chkKirpma = nullptr;
  QLabel* m_lblAyarlar = nullptr;
  CurriculumFilters* m_curriculum = nullptr;
  RunRemoteGrids* m_grids = nullptr;
};
