#include "Bench.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

namespace {
QStringList& filter() {
  static QStringList f;
  return f;
}
}  // namespace

void setFilter(const QStringList& names) { filter() = names; }

bool selected(const QString& name) {
  if (filter().isEmpty()) return true;
  return std::any_of(filter().begin(), filter().end(),
                     [&](const QString& f) { return name.contains(f); });
}

void print(const QString& name, long long n, double medianMs, double minMs, double maxMs,
           const QString& extra) {
  QTextStream out(stdout);
  out << "{\"name\":\"" << name << "\",\"n\":" << n
      << ",\"median_ms\":" << QString::number(medianMs, 'f', 4)
      << ",\"min_ms\":" << QString::number(minMs, 'f', 4)
      << ",\"max_ms\":" << QString::number(maxMs, 'f', 4);
  if (!extra.isEmpty()) out << ',' << extra;
  out << "}\n";
  out.flush();
}

std::vector<double> timings(int repeats, const std::function<void()>& body,
                            const std::function<void()>& setup) {
  std::vector<double> times;
  times.reserve(repeats);
  for (int i = 0; i < repeats; ++i) {
    if (setup) setup();
    QElapsedTimer t;
    t.start();
    body();
    times.push_back(t.nsecsElapsed() / 1e6);
  }
  std::sort(times.begin(), times.end());
  return times;
}

double median(const std::vector<double>& sorted) {
  if (sorted.empty()) return 0;
  return sorted.size() % 2 ? sorted[sorted.size() / 2]
                           : (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) / 2;
}

void printCompared(const QString& name, long long n, const std::vector<double>& server,
                   const std::vector<double>& sqlite, const QString& extra) {
  QString keys = QStringLiteral("\"sqlite_median_ms\":%1,\"ratio_median_to_sqlite\":%2")
                     .arg(median(sqlite), 0, 'f', 4)
                     .arg(median(server) / median(sqlite), 0, 'f', 2);
  if (!extra.isEmpty()) keys += QLatin1Char(',') + extra;
  print(name, n, median(server), server.front(), server.back(), keys);
}

void measure(const QString& name, long long n, int repeats, const std::function<void()>& body,
             const std::function<void()>& setup) {
  if (!selected(name)) return;
  const std::vector<double> times = timings(repeats, body, setup);
  print(name, n, median(times), times.front(), times.back());
}

}  // namespace bench
