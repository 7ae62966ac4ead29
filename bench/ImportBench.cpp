#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "../tests/support/PeakMemory.h"
#include "Bench.h"
#include "school/StudentImport.h"
#include "store/Store.h"

namespace bench {

namespace {

constexpr int kRows = 200'000;
constexpr int kRepeats = 3;

// A school-sized list far past any real class: 200,000 students in 500 classes
// with school and identity numbers, as a semicolon-separated file.
bool writeList(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  QByteArray data = "S.No;Öğrenci No;Adı;Soyadı;Sınıfı;T.C. Kimlik No\n";
  for (int i = 1; i <= kRows; ++i) {
    data += QByteArray::number(i) + ';' + QByteArray::number(1000 + i) + ";Öğrenci" +
            QByteArray::number(i) + ";Yılmaz" + QByteArray::number(i % 977) + ';' +
            QByteArray::number(5 + i % 4) + '-' + char('A' + i % 125 % 26) + ';' +
            QByteArray::number(10000000000LL + i) + '\n';
  }
  return f.write(data) == data.size();
}

struct Run {
  double ms = 0;
  double mb = 0;
  double peakMb = 0;
  int added = 0;
  int updated = 0;
};

// Reads the list and imports it (one transaction), as the import screen does.
Run importOnce(store::Store& store, const QString& list, const QString& result) {
  const PeakMemory memory;
  QElapsedTimer t;
  t.start();
  Run run;
  school::StudentImport imp(store);
  if (Status s = imp.openFile(list); !s) {
    std::fprintf(stderr, "import bench: %s\n", qPrintable(s.error()));
    return run;
  }
  (void)imp.applyNationalPreset();
  const auto report = imp.run(QStringLiteral("5. SINIF"), result);
  run.ms = t.nsecsElapsed() / 1e6;
  run.mb = memory.grownMb();
  run.peakMb = PeakMemory::peakMb();
  if (report) {
    run.added = report->added;
    run.updated = report->updated;
  } else {
    std::fprintf(stderr, "import bench: %s\n", qPrintable(report.error()));
  }
  return run;
}

void report(const QString& name, std::vector<Run> runs) {
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.ms < b.ms; });
  double grown = 0;
  double peak = 0;
  for (const Run& r : runs) {
    grown = std::max(grown, r.mb);
    peak = std::max(peak, r.peakMb);
  }
  const Run& median = runs[runs.size() / 2];
  print(name, kRows, median.ms, runs.front().ms, runs.back().ms,
        QStringLiteral("\"rss_growth_mb\":%1,\"peak_rss_mb\":%2,\"added\":%3,\"updated\":%4")
            .arg(QString::number(grown, 'f', 1), QString::number(peak, 'f', 1))
            .arg(median.added)
            .arg(median.updated));
}

}  // namespace

// A first import of the list into an empty school, then the same list again
// (every row found and updated): time and the most memory either took.
void importBenchmarks() {
  const QString first = QStringLiteral("school.import_200k_rows");
  const QString again = QStringLiteral("school.reimport_200k_rows");
  if (!selected(first) && !selected(again)) return;
  QTemporaryDir work;
  const QString list = work.filePath(QStringLiteral("liste.csv"));
  if (!writeList(list)) {
    std::fprintf(stderr, "import bench: list not written\n");
    return;
  }
  std::vector<Run> firstRuns;
  std::vector<Run> againRuns;
  for (int i = 0; i < kRepeats; ++i) {
    QTemporaryDir folder;
    store::Store store(folder.path());
    if (!store.open()) std::fprintf(stderr, "import bench: database not made\n");
    const QString result = folder.filePath(QStringLiteral("sonuc.xlsx"));
    firstRuns.push_back(importOnce(store, list, result));
    againRuns.push_back(importOnce(store, list, result));
  }
  if (selected(first)) report(first, firstRuns);
  if (selected(again)) report(again, againRuns);
}

}  // namespace bench
