#include "screens/reports/frmRaporlarGoreceli.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>

#include "Messages.h"
#include "framework/ScreenHelpers.h"
#include "screens/reports/ReportCharts.h"
#include "screens/reports/ReportScreens.h"

frmRaporlarGoreceli::frmRaporlarGoreceli(const ScreenContext& context,
                                         reports::ProgressReport::Subject kind,
                                         const QStringList& subjects,
                                         const reports::RunCriteria& criteria, QWidget* parent)
    : QWidget(parent), m_context(context), m_report(context.store, kind, subjects, criteria) {
  setObjectName(QStringLiteral("frmRaporlarGoreceli"));
  setWindowTitle(QStringLiteral("Gelişim Raporu"));
  auto* root = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  m_lblBaslik = new QLabel(this);
  m_lblBaslik->setObjectName(QStringLiteral("lblBaslik"));
  m_lblBaslik->setWordWrap(true);
  QFont big = font();
  big.setPointSizeF(big.pointSizeF() * 1.3);
  big.setBold(true);
  m_lblBaslik->setFont(big);
  top->addWidget(m_lblBaslik, 1);
  m_previous = framework::button(QStringLiteral("cmdNav_0"), QStringLiteral("Önceki"), this);
  connect(m_previous, &QPushButton::clicked, this, [this] { step(-1); });
  m_lblSayac = new QLabel(this);
  m_lblSayac->setObjectName(QStringLiteral("lblSayac"));
  m_lblSayac->setFont(big);
  m_next = framework::button(QStringLiteral("cmdNav_1"), QStringLiteral("Sonraki"), this);
  connect(m_next, &QPushButton::clicked, this, [this] { step(1); });
  top->addWidget(m_previous);
  top->addWidget(m_lblSayac);
  top->addWidget(m_next);
  root->addLayout(top);

  auto* split = new QSplitter(Qt::Vertical, this);
  m_table = new QTableWidget(split);
  m_table->setObjectName(QStringLiteral("Sliste1"));
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setAlternatingRowColors(true);
  m_chart = reportsui::ReportChart::make(split);
  m_chart->setObjectName(QStringLiteral("MSChart1"));
  split->addWidget(m_table);
  split->addWidget(m_chart);
  split->setStretchFactor(1, 2);
  root->addWidget(split, 1);

  auto* bar = new QHBoxLayout;
  auto* excel = framework::button(QStringLiteral("cmdExcel"), QStringLiteral("MS Excel"), this);
  connect(excel, &QPushButton::clicked, this, [this] { cmdExcel_Click(); });
  auto* exit = framework::button(QStringLiteral("cmdCikis"), QStringLiteral("Çıkış"), this);
  connect(exit, &QPushButton::clicked, this, &QWidget::close);
  bar->addWidget(excel);
  bar->addStretch(1);
  bar->addWidget(exit);
  root->addLayout(bar);

  m_loaded = framework::check(context.messages, m_report.show(0));
  if (m_loaded) paint();
}

void frmRaporlarGoreceli::step(int delta) {
  const int to = m_report.index() + delta;
  if (to < 0 || to >= m_report.count()) return;
  if (framework::check(m_context.messages, m_report.show(to))) paint();
}

void frmRaporlarGoreceli::paint() {
  m_lblBaslik->setText(m_report.title());
  m_lblSayac->setText(m_report.counter());
  m_previous->setEnabled(m_report.hasPrevious());
  m_next->setEnabled(m_report.hasNext());
  const QStringList captions = reports::ProgressReport::captions();
  const QList<reports::ProgressRow>& rows = m_report.rows();
  m_table->clear();
  m_table->setColumnCount(int(captions.size()));
  m_table->setRowCount(int(rows.size()));
  m_table->setHorizontalHeaderLabels(captions);
  QStringList categories;
  for (int r = 0; r < rows.size(); ++r) {
    const QStringList cells = reports::ProgressReport::cells(rows.at(r));
    for (int c = 0; c < cells.size(); ++c)
      m_table->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    // Numbered: two runs of one day stay two bars.
    categories << QStringLiteral("%1. %2").arg(r + 1).arg(rows.at(r).testTarihi);
  }
  m_table->resizeColumnsToContents();
  QList<reportsui::ReportChart::Series> series;
  const bool student = m_report.kind() == reports::ProgressReport::Subject::Student;
  series << reportsui::ReportChart::Series{
      student ? QStringLiteral("Öğrenci") : QStringLiteral("Sınıf"), m_report.subjectSeries()};
  if (student)
    series << reportsui::ReportChart::Series{QStringLiteral("Sınıf"), m_report.classSeries()};
  reportsui::ReportChart::setSeriesBars(m_chart, QStringLiteral("Net Başarı (%)"), categories,
                                        series);
}

void frmRaporlarGoreceli::cmdExcel_Click(const QString& path) {
  const QString file =
      path.isEmpty() ? reportsui::reportFile(this, QStringLiteral("Gelisim_Raporu.xlsx")) : path;
  if (file.isEmpty()) return;
  if (!framework::check(m_context.messages, m_report.exportXlsx(file))) return;
  reportsui::offerToOpen(m_context.messages, file);
}
