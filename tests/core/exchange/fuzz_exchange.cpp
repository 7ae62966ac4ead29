// Fuzz entry for the exchange file readers: the first byte picks the reader
// (0 student, 1 question, 2 test file), the rest is the file. Every reader goes
// through the archive layer and its package checks; whatever the bytes, a read
// either adds a whole file or nothing, and never crashes or hangs.
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>

#include <cstddef>
#include <cstdint>

#include "TempDataFolder.h"
#include "exchange/QuestionPackage.h"
#include "exchange/StudentPackage.h"
#include "exchange/TestPackage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int argc = 1;
  static char name[] = "exchange_fuzz";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  static TempDataFolder* folder = new TempDataFolder;
  (void)app;
  if (size == 0 || !folder->ok()) return 0;
  const QString path = folder->filePath(QStringLiteral("girdi"));
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return 0;
    f.write(reinterpret_cast<const char*>(data) + 1, static_cast<qint64>(size - 1));
  }
  store::Store& store = folder->store();
  switch (data[0] % 3) {
    case 0:
      (void)exchange::StudentPackage(store).read(path);
      break;
    case 1:
      (void)exchange::QuestionPackage(store).read(path);
      break;
    default:
      (void)exchange::TestPackage(store).read(path);
  }
  return 0;
}
