#include "screens/reports/ReportCharts.h"

#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QHorizontalBarSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>

namespace reportsui {

namespace {

QFont chartFont(int points, bool bold = false) {
  QFont f;
  f.setPointSize(points);
  f.setBold(bold);
  return f;
}

// Correct is green and wrong red wherever they appear, so the class reads the
// chart without the legend; the letters get distinct, strong colours.
QColor colourOf(const QString& label, int index) {
  if (label == QStringLiteral("Doğru")) return QColor(0x2e, 0x9e, 0x44);
  if (label == QStringLiteral("Yanlış")) return QColor(0xd6, 0x33, 0x2f);
  if (label == QStringLiteral("Boş")) return QColor(0x9e, 0x9e, 0x9e);
  static const QColor letters[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x8c, 0x00),
                                   QColor(0x8e, 0x44, 0xad), QColor(0x00, 0x96, 0x88),
                                   QColor(0xc2, 0x18, 0x5b)};
  return letters[index % 5];
}

QChart* newChart() {
  auto* chart = new QChart;
  chart->setTitleFont(chartFont(ReportChart::kTextPoints + 3, true));
  chart->legend()->setFont(chartFont(ReportChart::kTextPoints));
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setMargins(QMargins(4, 4, 4, 4));
  return chart;
}

// Axes taken off a chart in use leave their labels behind: every drawing gets a
// chart of its own.
QChart* reset(QChartView* view, const QString& title) {
  QChart* old = view->chart();
  QChart* chart = newChart();
  chart->setTitle(title);
  view->setChart(chart);
  delete old;
  return chart;
}

QValueAxis* valueAxis(double top) {
  auto* axis = new QValueAxis;
  // Room above the highest bar for its label.
  axis->setRange(0, std::max(4.0, top * 1.15));
  // Whole steps: the counts are whole.
  axis->applyNiceNumbers();
  axis->setLabelFormat(QStringLiteral("%.0f"));
  axis->setLabelsFont(chartFont(ReportChart::kTextPoints - 2));
  return axis;
}

// Percentages: steps of 20, with room above 100 for a full bar's label.
QValueAxis* percentAxis() {
  auto* axis = new QValueAxis;
  axis->setRange(0, 110);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  axis->setTickInterval(20);
  axis->setLabelFormat(QStringLiteral("%.0f"));
  axis->setLabelsFont(chartFont(ReportChart::kTextPoints - 2));
  return axis;
}

double highest(const QList<reports::Bar>& bars) {
  double top = 0;
  for (const reports::Bar& b : bars) top = std::max(top, b.value);
  return top;
}

}  // namespace

QChartView* ReportChart::make(QWidget* parent) {
  auto* view = new QChartView(newChart(), parent);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(320, 260);
  return view;
}

void ReportChart::setGroupBars(QChartView* view, const QString& title, const QString& group,
                               const QList<reports::Bar>& bars) {
  // The group (the run, the question, the student) under the title: as an axis
  // label it would be cut short.
  QChart* chart =
      reset(view, QStringLiteral("%1<br><span style='font-size:%2pt; font-weight:normal'>%3</span>")
                      .arg(title.toHtmlEscaped())
                      .arg(kTextPoints - 2)
                      .arg(group.toHtmlEscaped()));
  auto* series = new QBarSeries;
  for (int i = 0; i < bars.size(); ++i) {
    auto* set = new QBarSet(bars.at(i).label);
    *set << bars.at(i).value;
    set->setColor(colourOf(bars.at(i).label, i));
    set->setLabelFont(chartFont(kTextPoints, true));
    set->setLabelColor(Qt::black);
    series->append(set);
  }
  series->setLabelsVisible(true);
  series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  series->setLabelsFormat(QStringLiteral("@value"));
  series->setLabelsPrecision(4);
  chart->addSeries(series);
  auto* categories = new QBarCategoryAxis;
  categories->append(group);
  categories->setLabelsVisible(false);
  chart->addAxis(categories, Qt::AlignBottom);
  series->attachAxis(categories);
  QValueAxis* values = valueAxis(highest(bars));
  chart->addAxis(values, Qt::AlignLeft);
  series->attachAxis(values);
  chart->legend()->setVisible(true);
}

void ReportChart::setRowBars(QChartView* view, const QString& title,
                             const QList<reports::Bar>& bars) {
  QChart* chart = reset(view, title);
  auto* series = new QHorizontalBarSeries;
  auto* set = new QBarSet(title);
  auto* categories = new QBarCategoryAxis;
  // The first entry (the best) on top.
  for (int i = int(bars.size()) - 1; i >= 0; --i) {
    *set << std::max(0.0, bars.at(i).value);
    categories->append(bars.at(i).label);
  }
  set->setColor(QColor(0x1f, 0x77, 0xb4));
  set->setLabelFont(chartFont(kTextPoints - 2, true));
  set->setLabelColor(Qt::black);
  series->append(set);
  series->setBarWidth(0.7);
  series->setLabelsVisible(true);
  series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  series->setLabelsFormat(QStringLiteral("@value"));
  series->setLabelsPrecision(4);
  chart->addSeries(series);
  categories->setLabelsFont(chartFont(kTextPoints - 2));
  chart->addAxis(categories, Qt::AlignLeft);
  series->attachAxis(categories);
  QValueAxis* values = percentAxis();
  chart->addAxis(values, Qt::AlignBottom);
  series->attachAxis(values);
  chart->legend()->setVisible(false);
}

void ReportChart::setSeriesBars(QChartView* view, const QString& title,
                                const QStringList& categories, const QList<Series>& series) {
  QChart* chart = reset(view, title.toHtmlEscaped());
  auto* bars = new QBarSeries;
  static const QColor colours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x8c, 0x00)};
  for (int i = 0; i < series.size(); ++i) {
    auto* set = new QBarSet(series.at(i).name);
    for (double v : series.at(i).values) *set << v;
    set->setColor(colours[i % 2]);
    set->setLabelFont(chartFont(kTextPoints - 3, true));
    set->setLabelColor(Qt::black);
    bars->append(set);
  }
  bars->setLabelsVisible(true);
  bars->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  bars->setLabelsFormat(QStringLiteral("@value"));
  bars->setLabelsPrecision(4);
  chart->addSeries(bars);
  auto* axis = new QBarCategoryAxis;
  axis->append(categories);
  axis->setLabelsFont(chartFont(kTextPoints - 3));
  chart->addAxis(axis, Qt::AlignBottom);
  bars->attachAxis(axis);
  QValueAxis* values = percentAxis();
  chart->addAxis(values, Qt::AlignLeft);
  bars->attachAxis(values);
  chart->legend()->setVisible(true);
}

}  // namespace reportsui
