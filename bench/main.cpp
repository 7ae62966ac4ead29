// derslik-bench: measured figures of Derslik's main operations, one JSON line each.
// Usage: derslik-bench [name-part ...]   (only the figures whose name contains one;
//        derslik-bench cards: the answer cards' figures;
//        tests/support/pgcluster.sh derslik-bench server: the school server's)
#include <QApplication>

#include "Bench.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("derslik-bench"));
  const QStringList args = QApplication::arguments().mid(1);
  if (args.value(0) == QLatin1String(bench::kDevicesArgument))
    return bench::webDevices(args.mid(1));
  if (args.value(0) == QLatin1String(bench::kBoardArgument)) return bench::serverBoard(args.mid(1));
  bench::setFilter(args);
  bench::storeBenchmarks();
  bench::contentBenchmarks();
  bench::receiverBenchmarks();
  bench::widgetBenchmarks();
  bench::importBenchmarks();
  bench::authoringBenchmarks();
  bench::deliveryBenchmarks();
  bench::reportBenchmarks();
  bench::webBenchmarks();
  bench::cardBenchmarks();
  bench::serverBenchmarks();
  return 0;
}
