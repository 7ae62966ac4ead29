#pragma once

#include <QStringList>
#include <QWidget>

#include "framework/ScreenContext.h"
#include "reports/SuccessRanking.h"

class QChartView;
class QLabel;
class QStackedWidget;
class QTableWidget;

// The success ranking of chosen students over the runs the criteria pick: the
// list sorted by the overall figure, a bar per student, and the podium of the
// three best; the list goes to a workbook. The figures are reports::SuccessRanking's.
class frmRaporlarBasariListesi : public QWidget {
  Q_OBJECT
 public:
  frmRaporlarBasariListesi(const ScreenContext& context, const QStringList& kayitNos,
                           const reports::RunCriteria& criteria, QWidget* parent = nullptr);

  // False when the ranking could not be built (the user has been told why).
  bool loaded() const { return m_loaded; }
  const reports::Ranking& ranking() const { return m_ranking; }

  void cmdListe_Click();
  void cmdGrafik_Click();
  void cmdBasariKursusu_Click();
  void cmdExcel_Click(const QString& path = {});

  QTableWidget* list() const { return m_list; }
  QLabel* titleLabel() const { return m_lblTestAdi; }
  QStringList podiumNames() const;

 private:
  void showView(reports::RunCriteria::View view);

  ScreenContext m_context;
  reports::Ranking m_ranking;
  reports::RunCriteria::View m_view = reports::RunCriteria::View::List;
  bool m_loaded = false;

  QLabel* m_lblTestAdi = nullptr;
  QStackedWidget* m_pages = nullptr;
  QTableWidget* m_list = nullptr;
  QChartView* m_chart = nullptr;
  QList<QLabel*> m_lblKazananlar;
};
