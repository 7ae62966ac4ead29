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

void measure(const QString& name, long long n, int repeats, const std::function<void()>& body,
             const std::function<void()>& setup) {
  if (!selected(name)) return;
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
  const double median = times.size() % 2
                            ? times[times.size() / 2]
                            : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
  print(name, n, median, times.front(), times.back());
}

}  // namespace bench
