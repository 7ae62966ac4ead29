#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>

#include <QLineEdit>

#include "Bench.h"
#include "Messages.h"
#include "framework/Sliste.h"
#include "lists/FilterProxy.h"
#include "lists/TableModel.h"
#include "store/Store.h"
#include "users/Session.h"

namespace bench {

namespace {

const QStringList kNames = {
    QStringLiteral("Ayşe"),  QStringLiteral("İbrahim"), QStringLiteral("Işıl"),
    QStringLiteral("Çağla"), QStringLiteral("Ömer"),    QStringLiteral("Şule"),
    QStringLiteral("Ali"),   QStringLiteral("Gül"),     QStringLiteral("Yiğit")};
const QStringList kSurnames = {QStringLiteral("Yılmaz"), QStringLiteral("Öztürk"),
                               QStringLiteral("Kaya"),   QStringLiteral("Çelik"),
                               QStringLiteral("Şahin"),  QStringLiteral("Doğan"),
                               QStringLiteral("Aydın"),  QStringLiteral("Arslan")};

// 100,000 answer-like rows: keys, names, class, a date and a number.
void fillRows(store::Store& store, int n) {
  store::Transaction tx(store);
  QSqlQuery q(store.db());
  q.prepare(QStringLiteral(
      "INSERT INTO TABLEOGRENCI (KAYITNO, NUMARASI, ADI, SOYADI, SINIFI, SEVIYE, TCKIMLIK) "
      "VALUES (?,?,?,?,?,?,?)"));
  for (int i = 0; i < n; ++i) {
    q.addBindValue(QString::number(i + 1));
    q.addBindValue(QString::number(100 + i % 900));
    q.addBindValue(kNames.at(i % kNames.size()) + QLatin1Char(' ') +
                   kNames.at((i / 7) % kNames.size()));
    q.addBindValue(kSurnames.at((i / 3) % kSurnames.size()));
    q.addBindValue(QStringLiteral("%1-%2").arg(1 + i % 12).arg(QChar(u'A' + (i / 12) % 6)));
    q.addBindValue(QStringLiteral("%1.%2.2025")
                       .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                       .arg(1 + i % 12, 2, 10, QLatin1Char('0')));
    q.addBindValue(QString::number(10000000000LL + i));
    q.exec();
  }
  (void)tx.commit();
}

const QString kSql = QStringLiteral(
    "SELECT ID, KAYITNO, NUMARASI, ADI, SOYADI, SINIFI, SEVIYE AS TESTTARIHI, VAL(NUMARASI) AS NET "
    "FROM TABLEOGRENCI");

QList<lists::FilterProxy::GridColumn> gridColumns(const lists::TableModel& model) {
  QList<lists::FilterProxy::GridColumn> cols;
  for (int c = 1; c < model.columns(); ++c) cols.append({c, model.columnNames().at(c)});
  return cols;
}

}  // namespace

void widgetBenchmarks() {
  const QStringList names = {QStringLiteral("grid.load_100k"),
                             QStringLiteral("grid.filter_100k"),
                             QStringLiteral("grid.filter_100k_first"),
                             QStringLiteral("grid.filter_100k_date"),
                             QStringLiteral("grid.sort_100k_text_first"),
                             QStringLiteral("grid.sort_100k_again"),
                             QStringLiteral("grid.widget_load_100k"),
                             QStringLiteral("grid.widget_filter_100k")};
  if (std::none_of(names.begin(), names.end(), [](const QString& n) { return selected(n); }))
    return;
  QTemporaryDir dir;
  store::Store store(dir.path());
  if (!store.open()) return;
  constexpr int kRows = 100000;
  fillRows(store, kRows);

  lists::TableModel model;
  lists::FilterProxy proxy;
  proxy.setTableModel(&model);
  measure(QStringLiteral("grid.load_100k"), kRows, 7, [&] {
    (void)model.load(store.db(), kSql);
    proxy.setColumns(gridColumns(model));
  });

  // A burst of typing is collapsed by TimerFiltre into one refilter with the last
  // text: two words in the name column and a class.
  const int adi = 2;  // grid columns follow result columns from KAYITNO on
  measure(QStringLiteral("grid.filter_100k"), kRows, 9, [&] {
    QStringList texts(proxy.gridColumns().size());
    texts[adi] = QStringLiteral("yiğit ayşe");
    texts[4] = QStringLiteral("3-");
    proxy.setFilterTexts(texts);
    proxy.refilter();
  });
  // The first filter on a column also folds its text once.
  measure(
      QStringLiteral("grid.filter_100k_first"), kRows, 5,
      [&] {
        QStringList texts(proxy.gridColumns().size());
        texts[adi] = QStringLiteral("işıl");
        proxy.setFilterTexts(texts);
        proxy.refilter();
      },
      [&] {
        (void)model.load(store.db(), kSql);
        proxy.setColumns(gridColumns(model));
      });
  measure(QStringLiteral("grid.filter_100k_date"), kRows, 9, [&] {
    QStringList texts(proxy.gridColumns().size());
    texts[5] = QStringLiteral("14.02.2025");
    proxy.setFilterTexts(texts);
    proxy.refilter();
  });
  measure(
      QStringLiteral("grid.sort_100k_text_first"), kRows, 5,
      [&] { proxy.sortByColumn(3, Qt::AscendingOrder); },
      [&] {
        (void)model.load(store.db(), kSql);
        proxy.setColumns(gridColumns(model));
      });
  measure(QStringLiteral("grid.sort_100k_again"), kRows, 9,
          [&] { proxy.sortByColumn(3, Qt::DescendingOrder); });

  // The same on the real grid (view, header, filter boxes), drawn offscreen.
  {
    QWidget host;
    RecordedMessages messages;
    users::Session session;
    const ScreenContext context{store, messages, session, {}};
    auto* grid =
        new Sliste(context, {QStringLiteral("frmBench"), QStringLiteral("Sliste1")}, &host);
    host.resize(1280, 800);
    grid->resize(1280, 800);
    host.show();
    measure(QStringLiteral("grid.widget_load_100k"), kRows, 5,
            [&] { (void)grid->ListeDoldurYeni(kSql); });
    int i = 0;
    measure(QStringLiteral("grid.widget_filter_100k"), kRows, 9, [&] {
      // What TimerFiltre does after a burst: one refilter with the last text.
      grid->setFiltreMetni(QStringLiteral("ADI"),
                           ++i % 2 ? QStringLiteral("ayşe yiğit") : QStringLiteral("ali"));
    });
  }
}

}  // namespace bench
