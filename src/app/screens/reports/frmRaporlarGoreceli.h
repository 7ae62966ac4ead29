#pragma once

#include <QWidget>

#include "framework/ScreenContext.h"
#include "reports/ProgressReport.h"

class QChartView;
class QLabel;
class QPushButton;
class QTableWidget;

// The progress of students or classes run by run (oldest first): the table of
// percentages and a chart of the success, for a student beside the class's; the
// teacher steps through the chosen subjects. The figures are
// reports::ProgressReport's.
class frmRaporlarGoreceli : public QWidget {
  Q_OBJECT
 public:
  frmRaporlarGoreceli(const ScreenContext& context, reports::ProgressReport::Subject kind,
                      const QStringList& subjects, const reports::RunCriteria& criteria,
                      QWidget* parent = nullptr);

  bool loaded() const { return m_loaded; }
  const reports::ProgressReport& report() const { return m_report; }
  // cmdNav: the previous or next subject.
  void step(int delta);
  void cmdExcel_Click(const QString& path = {});

  QTableWidget* table() const { return m_table; }
  QLabel* titleLabel() const { return m_lblBaslik; }
  QLabel* counterLabel() const { return m_lblSayac; }

 private:
  void paint();

  ScreenContext m_context;
  reports::ProgressReport m_report;
  bool m_loaded = false;
  QLabel* m_lblBaslik = nullptr;
  QLabel* m_lblSayac = nullptr;
  QPushButton* m_previous = nullptr;
  QPushButton* m_next = nullptr;
  QTableWidget* m_table = nullptr;
  QChartView* m_chart = nullptr;
};
