// Runs one reader's fuzz entry over every file of the given folders (its
// committed seeds, the files a fuzz run once found, the exchange tests' valid
// packages): a normal test, so each of them stays harmless without a fuzzing
// build. A file that makes the reader take more than 1 GB fails it: a fuzz run
// stops at 300 MB, but a reader that only grows slowly would pass unnoticed.
//   reader_fuzz_replay READER FOLDER...
#include <QDir>
#include <QFile>

#include <sys/resource.h>

#include <cstdint>
#include <cstdio>

#include "FuzzReaders.h"

int main(int argc, char** argv) {
  if (argc < 3 || !fuzz::readers().contains(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "reader_fuzz_replay %s KLASÖR...\n",
                 qPrintable(fuzz::readers().join(QLatin1Char('|'))));
    return 2;
  }
  const QString reader = QString::fromLocal8Bit(argv[1]);
  int files = 0;
  for (int i = 2; i < argc; ++i) {
    const QDir dir(QString::fromLocal8Bit(argv[i]));
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
      QFile f(dir.filePath(name));
      if (!f.open(QIODevice::ReadOnly)) return 1;
      const QByteArray data = f.readAll();
      fuzz::readOne(reader, reinterpret_cast<const std::uint8_t*>(data.constData()),
                    static_cast<std::size_t>(data.size()));
      ++files;
      rusage usage{};
      getrusage(RUSAGE_SELF, &usage);
      if (usage.ru_maxrss > 1024 * 1024) {  // kilobytes
        std::fprintf(stderr, "%s: %ld MB bellek\n", qPrintable(f.fileName()),
                     usage.ru_maxrss / 1024);
        return 1;
      }
    }
  }
  std::printf("%s: %d dosya denendi\n", qPrintable(reader), files);
  return files > 0 ? 0 : 1;
}
