#pragma once

#include <QWidget>

#include <functional>

#include "delivery/RunPlan.h"
#include "delivery/RunSetup.h"
#include "framework/ScreenContext.h"

class CurriculumFilters;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class RunRemoteGrids;
class Sliste;

// The run setup ("Test Uygulama"): find a test, read its summary, choose the
// class and its remotes and the teacher remotes, set the options, and start the
// run. Every rule is delivery::RunSetup's; this screen binds the widgets to it.
class frmTestUygula : public QWidget {
  Q_OBJECT
 public:
  explicit frmTestUygula(const ScreenContext& context, QWidget* parent = nullptr);

  // "Testi Düzenle" opens the test screen through the main bar (its rights check).
  void setEditTest(std::function<void(const QString& testNo)> edit) {
    m_editTest = std::move(edit);
  }
  // "Testi Başlat" hands the plan over; false when the run did not open.
  void setStartRun(std::function<bool(const delivery::RunPlan&)> start) {
    m_startRun = std::move(start);
  }
  // "Serbest Soru Sor" hands the free run's plan over the same way.
  void setStartFreeRun(std::function<bool(const delivery::RunPlan&)> start) {
    m_startFreeRun = std::move(start);
  }

  // "Ödev Kontrol" opens the homework check (frmSerbestBilgileri).
  void setOpenHomework(std::function<void()> open) { m_openHomework = std::move(open); }

  // ---- the buttons and what they do
  void cmdBul_Click();
  void cmdOnizleme_Click();           // "Testi Başlat"
  void cmdSerbestTestUygula_Click();  // "Serbest Soru Sor"
  void cmdOdevKontrol_Click();        // "Ödev Kontrol", under its own right
  void cmdKaydet_Click();
  void cmdTestOnizleme_Click();
  void cmdTestiDuzenle_Click();
  void cmdVideoOynat_Click();
  // Switches between the test list and the options (cmdTestSec / cmdTestleriGoster).
  void showOptions(bool on);
  // Chooses the test of a number in the list (as a click on its row would).
  bool selectTest(const QString& testNo);
  void selectClass(const QString& className);

  // ---- the options as shown, and shown from a value
  delivery::RunSetup::Options options() const;
  void setOptions(const delivery::RunSetup::Options& options);
  const delivery::RunSetup::TestSummary& summary() const { return m_summary; }

  Sliste* SlisteTestler() const { return m_tests; }
  Sliste* SlisteKumandalar() const;
  Sliste* SlisteOgretmenler() const;
  QComboBox* cmbSinifi() const { return m_cmbSinifi; }
  QLineEdit* txtTestAdiAra() const { return m_txtTestAdiAra; }
  QLabel* lblTestSoruSayisi() const { return m_lblTestSoruSayisi; }

 private:
  void build();
  QWidget* buildSearch();
  QWidget* buildSummary();
  QWidget* buildOptions();
  void load();
  void fillRemotes();
  void testChosen(int record);
  void showSummary();
  // The hand-over of both starts: class, remotes, options (not the test).
  delivery::RunSetup::Start startOf() const;
  void cmdTestVer_Click();
  void cmdTestAl_Click();
  // The run right of whoever is logged in now; says so when refused.
  bool mayRun() const;
  void notYet(const QString& what);
  QComboBox* combo(const QString& name);

  ScreenContext m_context;
  delivery::RunSetup m_setup;
  delivery::RunSetup::TestSummary m_summary;
  std::function<void(const QString&)> m_editTest;
  std::function<bool(const delivery::RunPlan&)> m_startRun;
  std::function<bool(const delivery::RunPlan&)> m_startFreeRun;
  std::function<void()> m_openHomework;

  CurriculumFilters* m_curriculum = nullptr;
  QComboBox* m_cmbSeviyeAra = nullptr;
  QComboBox* m_cmbDersAra = nullptr;
  QComboBox* m_cmbUniteAra = nullptr;
  QComboBox* m_cmbKonuAra = nullptr;
  QComboBox* m_cmbKazanimAra = nullptr;
  QComboBox* m_cmbHazirlayanAra = nullptr;
  QLineEdit* m_txtTestAdiAra = nullptr;
  QComboBox* m_cmbUygulanma = nullptr;
  QComboBox* m_cmbSinifi = nullptr;

  QStackedWidget* m_views = nullptr;
  Sliste* m_tests = nullptr;
  RunRemoteGrids* m_grids = nullptr;
  QLabel* m_lblTestSoruSayisi = nullptr;
  QMap<QString, QLabel*> m_summaryLabels;
  QPushButton* m_cmdTestSec = nullptr;

  // the options
  QButtonGroup* m_optSure = nullptr;
  QComboBox* m_cmbSure = nullptr;
  QCheckBox* m_chkSon5Saniye = nullptr;
  QCheckBox* m_chkHerkesCevapVerinceGec = nullptr;
  QButtonGroup* m_optGoturu = nullptr;
  QComboBox* m_cmbSoruRaporuGoster = nullptr;
  QButtonGroup* m_optKumandaTest = nullptr;
  QButtonGroup* m_optIstatistik = nullptr;
  QCheckBox* m_chkCogunlukCevabi = nullptr;
  QCheckBox* m_chkOylamaOtomatikBaslasin = nullptr;
  QComboBox* m_cmbSeviye = nullptr;
  QLineEdit* m_txtAciklama = nullptr;
  QComboBox* m_cmbGrup = nullptr;
};
