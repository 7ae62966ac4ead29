#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "reports/RunReport.h"

class QWidget;
class QChartView;

namespace reportsui {

// The charts of the reports, drawn to be read from the back of a classroom: large
// labels, each bar's value written on it, one colour per bar with its name in the
// legend. The values come from the core as they are; a chart only paints them.
class ReportChart {
 public:
  // A chart view with nothing in it yet.
  static QChartView* make(QWidget* parent);
  // Side-by-side bars of one group (the run, or one question): "Doğru", "Yanlış",
  // "Boş", or "A" .. "E" and "Boş".
  static void setGroupBars(QChartView* view, const QString& title, const QString& group,
                           const QList<reports::Bar>& bars);
  // One horizontal bar per entry, labelled by its entry (the class's nets); the
  // values are percentages.
  static void setRowBars(QChartView* view, const QString& title, const QList<reports::Bar>& bars);
  // Bars of one or more named series over the same categories (a student and the
  // class, run by run), percentages.
  struct Series {
    QString name;
    QList<double> values;
  };
  static void setSeriesBars(QChartView* view, const QString& title, const QStringList& categories,
                            const QList<Series>& series);
  // The font size of every text of a chart, in points.
  static constexpr int kTextPoints = 15;
};

}  // namespace reportsui
