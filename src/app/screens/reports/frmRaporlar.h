#pragma once

#include <QWidget>

#include <array>
#include <map>
#include <memory>

#include "framework/ScreenContext.h"
#include "reports/ReportNavigator.h"
#include "reports/ReportOptions.h"
#include "reports/RunReport.h"
#include "reports/RunRevision.h"

class QAbstractButton;
class QButtonGroup;
class QChartView;
class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QTabWidget;
class QTableWidget;
class QuestionSketch;

// The report of one run ("Raporlar"): the general figures with their chart, the
// answers table, one question, one student, the distribution of the class, the
// class table and the item analysis. Every figure comes from reports::RunReport;
// the page, question and student shown are reports::ReportNavigator's, which the
// teacher's remote drives as well. Key changes and removing a question go through
// reports::RunRevision (one transaction and a re-score each); the screen reloads
// on the store's runsChanged, so every page shows the new results.
class frmRaporlar : public QWidget {
  Q_OBJECT
 public:
  frmRaporlar(const ScreenContext& context, const reports::RunKey& run, QWidget* parent = nullptr);
  ~frmRaporlar() override;

  reports::ReportNavigator& navigator() { return m_nav; }
  // False when the run could not be read (the user has been told why).
  bool loaded() const { return m_report != nullptr; }
  const reports::RunReport& report() const { return *m_report; }
  const reports::ReportOptions& options() const { return m_options; }

  // Reads the run again and paints the page shown.
  void refresh();

  // The buttons of the screen, also for callers and tests.
  void trigger(reports::ReportNavigator::Action action);
  void cmdCevapAnahtariDegistir_Click();         // opens the key editor
  void cmdCevapAnahtariniKaydet_Click();         // writes it and re-scores
  void cmdCevapAnahtariniBosalt_Click();         // clears the marks on screen
  void cmdCevapAnahtariIptal_Click();            // closes the editor, nothing written
  void cmdCogunlukCevabiDogru_Click();           // asks; the majority becomes the key
  void markKey(int row, const QString& letter);  // a mark in the key editor
  void lblABCDE_Click(const QString& letter);    // the shown question's key
  void cmdSoruSil_Click();                       // removes the shown question
  void exportAnswers(const QString& path = {});  // "MS Excel (E)"
  void exportPdf(const QString& path = {});      // every page in one PDF
  void exportSheets(const QString& path = {});   // a result sheet per student
  void exportItems(const QString& path = {});    // the item analysis shown, as a workbook
  bool keyEditorOpen() const;

  QTableWidget* answersTable() const { return m_tblAnswers; }
  QLabel* titleLabel() const { return m_lblBaslik; }
  QuestionSketch* sketch() const { return m_sketch; }

 signals:
  // "Teste Devam Et (BOŞ)": the presentation takes over again.
  void backToRunRequested();

 private:
  void buildGeneral();
  void buildQuestion();
  void buildAnswers();
  void buildDistribution();
  void buildClassTable();
  void buildStudent();
  void buildItems();
  void buildOptions(QWidget* panel);
  void buildKeyEditor();
  QPushButton* actionButton(reports::ReportNavigator::Action action, QWidget* parent);

  void paint();
  void paintButtons();
  void paintGeneral();
  void paintQuestion();
  void paintAnswers();
  void paintDistribution();
  void paintClassTable();
  void paintStudent();
  void paintItems();
  void paintKeyEditor();
  // The item analysis of this run, or with "Testin bütün uygulamaları" of its test.
  Result<reports::ItemAnalysis::Findings> itemFindings() const;
  // A free or lesson run has no test whose other runs could be added.
  bool ofPreparedTest() const;
  // "Testin bütün uygulamaları" ticked for a run of a prepared test.
  bool wholeTest() const;
  QString itemTitle() const;
  void optionsChanged();

  ScreenContext m_context;
  reports::RunKey m_run;
  std::unique_ptr<reports::RunReport> m_report;
  std::unique_ptr<reports::AnswerKeyEditor> m_keyEditor;
  reports::ReportNavigator m_nav;
  reports::ReportOptions m_options;
  bool m_painting = false;

  QLabel* m_lblBaslik = nullptr;
  QTabBar* m_tabs = nullptr;
  QStackedWidget* m_pages = nullptr;
  QWidget* m_optionsPanel = nullptr;
  std::map<reports::ReportNavigator::Action, QPushButton*> m_actions;

  // General
  QLabel* m_lblGenel = nullptr;
  QLabel* m_lblDisaridaKalan = nullptr;  // who was left out at the remote check
  QChartView* m_chartGenel = nullptr;
  // Question
  QComboBox* m_cmbTestSiraNo = nullptr;
  QLabel* m_lblDogruSik = nullptr;
  QLabel* m_lblSoru = nullptr;
  QuestionSketch* m_sketch = nullptr;  // the question and the drawing over it
  int m_sketchQuestion = -1;
  QString m_sketchSoruNo;
  std::array<QPushButton*, 5> m_lblABCDE{};
  QChartView* m_chartSoru = nullptr;
  QTableWidget* m_listeDogru = nullptr;
  QTableWidget* m_listeYanlis = nullptr;
  QTableWidget* m_listeBos = nullptr;
  QTableWidget* m_listeTek = nullptr;
  QTabWidget* m_ayriListeler = nullptr;
  // Answers and class table
  QTableWidget* m_tblAnswers = nullptr;
  QTableWidget* m_tblClass = nullptr;
  // Distribution
  QChartView* m_chartDagilim = nullptr;
  QLabel* m_lblDagilim = nullptr;
  // Student
  QLabel* m_lblOgrenci = nullptr;
  QLabel* m_lblFoto = nullptr;
  QTableWidget* m_tblOgrenci = nullptr;
  QChartView* m_chartOgrenci = nullptr;
  // Items
  QLabel* m_lblMadde = nullptr;
  QTableWidget* m_tblMadde = nullptr;
  QCheckBox* m_chkTumUygulamalar = nullptr;
  // Options
  QCheckBox* m_chkBosGosterme = nullptr;
  QCheckBox* m_chkCevaplanmayanBos = nullptr;
  QCheckBox* m_chkSureleriGoster = nullptr;
  QCheckBox* m_chkOgrencileriGoster = nullptr;
  QCheckBox* m_chkDogruYanlisBos = nullptr;
  QRadioButton* m_optListeAyri = nullptr;
  QRadioButton* m_optListeTek = nullptr;
  QCheckBox* m_chkOgretmenKumandasi = nullptr;
  // Key editor
  QFrame* m_keyPanel = nullptr;
  QGridLayout* m_keyGrid = nullptr;
  QWidget* m_keyRows = nullptr;
  QList<std::array<QPushButton*, 5>> m_keyMarks;
};
