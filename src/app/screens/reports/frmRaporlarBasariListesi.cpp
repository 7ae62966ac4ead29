#include "screens/reports/frmRaporlarBasariListesi.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>

#include "Messages.h"
#include "framework/ScreenHelpers.h"
#include "screens/reports/ReportCharts.h"
#include "screens/reports/ReportScreens.h"

using View = reports::RunCriteria::View;

frmRaporlarBasariListesi::frmRaporlarBasariListesi(const ScreenContext& context,
                                                   const QStringList& kayitNos,
                                                   const reports::RunCriteria& criteria,
                                                   QWidget* parent)
    : QWidget(parent), m_context(context) {
  setObjectName(QStringLiteral("frmRaporlarBasariListesi"));
  setWindowTitle(QStringLiteral("Başarı Listesi"));
  auto* root = new QVBoxLayout(this);
  m_lblTestAdi = new QLabel(this);
  m_lblTestAdi->setObjectName(QStringLiteral("lblTestAdi"));
  m_lblTestAdi->setWordWrap(true);
  QFont big = font();
  big.setPointSizeF(big.pointSizeF() * 1.3);
  big.setBold(true);
  m_lblTestAdi->setFont(big);
  root->addWidget(m_lblTestAdi);
  auto* explanation = new QLabel(reports::Ranking::overallExplanation(), this);
  explanation->setObjectName(QStringLiteral("lblGenelAciklama"));
  explanation->setWordWrap(true);
  root->addWidget(explanation);

  m_pages = new QStackedWidget(this);
  m_list = new QTableWidget(m_pages);
  m_list->setObjectName(QStringLiteral("Sliste1"));
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setAlternatingRowColors(true);
  QFont listFont = m_list->font();
  listFont.setPointSizeF(listFont.pointSizeF() * 1.15);
  m_list->setFont(listFont);
  m_pages->addWidget(m_list);
  // A bar per student: the chart grows with the class and scrolls.
  auto* scroll = new QScrollArea(m_pages);
  scroll->setWidgetResizable(true);
  m_chart = reportsui::ReportChart::make(scroll);
  m_chart->setObjectName(QStringLiteral("MSChart1"));
  scroll->setWidget(m_chart);
  m_pages->addWidget(scroll);

  // The podium: the winner in the middle and highest, second on the left, third
  // on the right, each name standing on its own step.
  auto* podium = new QWidget(m_pages);
  podium->setObjectName(QStringLiteral("frameAnimasyon2"));
  auto* grid = new QHBoxLayout(podium);
  QVBoxLayout* columns[3];
  for (QVBoxLayout*& column : columns) {
    column = new QVBoxLayout;
    column->addStretch(1);
    grid->addLayout(column, 1);
  }
  const int place[3] = {1, 0, 2};
  const int height[3] = {300, 210, 150};
  const char* colour[3] = {"#f4c430", "#c0c0c0", "#cd7f32"};
  for (int i = 0; i < 3; ++i) {
    auto* name = new QLabel(podium);
    name->setObjectName(QStringLiteral("lblKazananlar_%1").arg(i));
    name->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    name->setWordWrap(true);
    QFont f = font();
    f.setPointSize(24);
    f.setBold(true);
    name->setFont(f);
    auto* step = new QLabel(QString::number(i + 1), podium);
    step->setAlignment(Qt::AlignCenter);
    step->setFixedHeight(height[i]);
    step->setMinimumWidth(220);
    step->setStyleSheet(QStringLiteral("background:%1; font-size:48pt; font-weight:bold;")
                            .arg(QString::fromLatin1(colour[i])));
    columns[place[i]]->addWidget(name);
    columns[place[i]]->addWidget(step);
    m_lblKazananlar << name;
  }
  m_pages->addWidget(podium);
  root->addWidget(m_pages, 1);

  auto* bar = new QHBoxLayout;
  auto add = [&](const QString& name, const QString& caption, auto slot) {
    auto* b = framework::button(name, caption, this);
    connect(b, &QPushButton::clicked, this, slot);
    bar->addWidget(b);
  };
  add(QStringLiteral("cmdListe"), QStringLiteral("Liste"), [this] { cmdListe_Click(); });
  add(QStringLiteral("cmdGrafik"), QStringLiteral("Grafik"), [this] { cmdGrafik_Click(); });
  add(QStringLiteral("cmdBasariKursusu"), QStringLiteral("Başarı Kürsüsü"),
      [this] { cmdBasariKursusu_Click(); });
  add(QStringLiteral("cmdExcel"), QStringLiteral("MS Excel"), [this] { cmdExcel_Click(); });
  bar->addStretch(1);
  add(QStringLiteral("cmdCikis"), QStringLiteral("Çıkış"), [this] { close(); });
  root->addLayout(bar);

  const Result<reports::Ranking> built =
      reports::SuccessRanking(context.store).build(kayitNos, criteria);
  if (!built.ok()) {
    context.messages.error(built.error());
    return;
  }
  m_ranking = built.value();
  m_loaded = true;
  const QList<QStringList> cells = m_ranking.cells();
  const QStringList captions = m_ranking.captions();
  m_list->setColumnCount(int(captions.size()));
  m_list->setRowCount(int(cells.size()));
  m_list->setHorizontalHeaderLabels(captions);
  if (QTableWidgetItem* overall = m_list->horizontalHeaderItem(4))
    overall->setToolTip(reports::Ranking::overallExplanation());
  for (int r = 0; r < cells.size(); ++r)
    for (int c = 0; c < cells.at(r).size(); ++c)
      m_list->setItem(r, c, new QTableWidgetItem(cells.at(r).at(c).trimmed()));
  m_list->resizeColumnsToContents();
  QList<reports::Bar> bars;
  for (const reports::Ranking::Bar& b : m_ranking.bars()) bars << reports::Bar{b.label, b.value};
  reportsui::ReportChart::setRowBars(m_chart, QStringLiteral("Başarı (%)"), bars);
  m_chart->setMinimumHeight(120 + 34 * int(bars.size()));
  const QStringList names = m_ranking.podium();
  for (int i = 0; i < 3; ++i) m_lblKazananlar.at(i)->setText(names.value(i));
  showView(View::List);
}

QStringList frmRaporlarBasariListesi::podiumNames() const {
  QStringList names;
  for (QLabel* l : m_lblKazananlar)
    if (!l->text().isEmpty()) names << l->text();
  return names;
}

void frmRaporlarBasariListesi::showView(View view) {
  m_view = view;
  m_pages->setCurrentIndex(int(view));
  m_lblTestAdi->setText(m_ranking.title(view));
}

void frmRaporlarBasariListesi::cmdListe_Click() { showView(View::List); }
void frmRaporlarBasariListesi::cmdGrafik_Click() { showView(View::Chart); }
void frmRaporlarBasariListesi::cmdBasariKursusu_Click() { showView(View::Podium); }

void frmRaporlarBasariListesi::cmdExcel_Click(const QString& path) {
  const QString file =
      path.isEmpty() ? reportsui::reportFile(this, QStringLiteral("Basari_Listesi.xlsx")) : path;
  if (file.isEmpty()) return;
  if (!framework::check(m_context.messages,
                        reports::SuccessRanking::exportXlsx(m_ranking, m_view, file)))
    return;
  reportsui::offerToOpen(m_context.messages, file);
}
