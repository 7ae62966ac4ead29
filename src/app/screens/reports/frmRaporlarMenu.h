#pragma once

#include <QWidget>

#include <functional>

#include "framework/ScreenContext.h"
#include "reports/ProgressReport.h"
#include "reports/RunCriteria.h"
#include "reports/RunList.h"

class CurriculumFilters;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class frmRaporlarBasariListesi;
class frmRaporlarGoreceli;
class Sliste;

// The way into past results ("Raporlar"): the stored runs by curriculum, class,
// group, description, test number and dates, newest first; from the list the
// teacher opens a run's report, deletes runs (right "UygulamaSil") or merges the
// runs of the expectation survey (right "UygulamaBirlestir"). Searching keeps the
// list choices for the next visit and repairs runs left without an end time
// (reports::RunList).
class frmRaporlarMenu : public QWidget {
  Q_OBJECT
 public:
  explicit frmRaporlarMenu(const ScreenContext& context, QWidget* parent = nullptr);
  ~frmRaporlarMenu() override;

  // Opens the report of a run; the area sets it (reportsui::openRunReport).
  void setReportOpener(std::function<void(const reports::RunKey&)> opener) {
    m_openReport = std::move(opener);
  }

  // Takes an interrupted run up again on the presentation ("Uygulamaya Devam Et");
  // the run screens set it. Without it the button is hidden.
  void setResumer(std::function<void(const reports::ResumeRun&)> resumer);
  void cmdDevam_Click();

  // "Geçmiş Yıllar": opens an old school year's backup; the area sets it.
  // Without it the button is hidden.
  void setPastYearsOpener(std::function<void()> opener);
  // The selection reads an old year's backup (`label`, "2025-2026"): it says so
  // in its title, and what would change the old year (deleting, merging, going
  // on with a run, another old year) is not offered.
  void setPastYear(const QString& label);
  bool pastYear() const { return !m_pastYear.isEmpty(); }

  // The search as the screen's lists say it.
  reports::RunFilter filter() const;
  // "Bul".
  void cmdBul_Click();
  // "Raporu Aç": the report of the current run; the two built-in surveys are
  // evaluated into their documents (folder "Sonuclar") instead.
  void cmdTestSec_Click();
  // "Seçili Uygulama Kayıtlarını Sil".
  void cmdSil_Click();
  // "Birleştir".
  void cmUygulamalariBirlestir_Click();
  // "Kriterlere Göre Rapor Göster": the success ranking of the chosen class over
  // the last N runs, or the runs of the date range, of the chosen curriculum.
  frmRaporlarBasariListesi* cmdTestSec2_Click();
  reports::RunCriteria criteria() const;

  // cmdGore: "Uygulamaya Göre İstatistikler", "Sınıfa Göre İstatistikler",
  // "Öğrenciye Göre İstatistikler".
  enum class Page { Runs, Classes, Students };
  void cmdGore_Click(Page page);
  Page page() const { return m_page; }
  // "Silinen Öğrencileri Göster": the student page lists the deleted students.
  void chkSilinenleriGoster_Click(bool on);
  // "Öğrenci Gelişimi" / "Sınıf Gelişimi": the progress of the chosen class's
  // students one after the other, or of the chosen class (every class for "TÜMÜ").
  frmRaporlarGoreceli* openProgress(reports::ProgressReport::Subject kind);
  QSpinBox* lastRunsBox() const { return m_spnSonYapilan; }

  Sliste* runs() const { return m_runs; }
  Sliste* classes() const { return m_classes; }
  // The student list shown: the current students, or the deleted ones.
  Sliste* students() const;
  QCheckBox* deletedStudentsBox() const { return m_chkSilinenleriGoster; }
  QComboBox* sinifListesi() const { return m_cmbSinifi; }
  QLineEdit* testNoBox() const { return m_txtTestNo; }
  QCheckBox* dateRangeBox() const { return m_chkTarihAraligi; }
  QDateEdit* fromBox() const { return m_dtBaslangic; }
  QDateEdit* toBox() const { return m_dtBitis; }

 private:
  QList<reports::RunKey> selectedRuns() const;
  bool allowed(const QString& key);
  void restore(const reports::RunFilter& stored);
  void evaluateSurvey(const reports::RunRow& run);
  void fillRuns(const reports::RunFilter& filter);
  void fitDateColumns();
  // The students or classes the statistics are about: on the run page those of
  // the class list above, otherwise those picked on the page. Empty (the user
  // told why) when there are none.
  QStringList subjects(reports::ProgressReport::Subject kind);

  ScreenContext m_context;
  reports::RunList m_list;
  std::function<void(const reports::RunKey&)> m_openReport;
  std::function<void(const reports::ResumeRun&)> m_resume;
  QPushButton* m_cmdDevam = nullptr;
  QPushButton* m_cmdSil = nullptr;
  QPushButton* m_cmdBirlestir = nullptr;
  QPushButton* m_cmdGecmisYillar = nullptr;
  std::function<void()> m_openPastYears;
  QString m_pastYear;
  bool m_searching = false;  // the search's own repair refills nothing

  CurriculumFilters* m_curriculum = nullptr;
  QComboBox* m_cmbSeviye = nullptr;
  QComboBox* m_cmbDers = nullptr;
  QComboBox* m_cmbUnite = nullptr;
  QComboBox* m_cmbKonu = nullptr;
  QComboBox* m_cmbKazanim = nullptr;
  QComboBox* m_cmbSinifi = nullptr;
  QComboBox* m_cmbGrup = nullptr;
  QLineEdit* m_txtTestNo = nullptr;
  QLineEdit* m_txtAciklama = nullptr;
  QCheckBox* m_chkTarihAraligi = nullptr;
  QDateEdit* m_dtBaslangic = nullptr;
  QDateEdit* m_dtBitis = nullptr;
  QSpinBox* m_spnSonYapilan = nullptr;
  Sliste* m_runs = nullptr;
  Page m_page = Page::Runs;
  QStackedWidget* m_pageStack = nullptr;
  QList<QPushButton*> m_cmdGore;
  QList<QWidget*> m_runOnly;  // filters and buttons that concern single runs
  QPushButton* m_cmdSinifGelisimi = nullptr;
  Sliste* m_classes = nullptr;
  QStackedWidget* m_studentStack = nullptr;
  Sliste* m_students = nullptr;
  Sliste* m_deletedStudents = nullptr;
  QCheckBox* m_chkSilinenleriGoster = nullptr;
};
