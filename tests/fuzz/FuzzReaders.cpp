#include "FuzzReaders.h"

#include <QCoreApplication>
#include <QFile>

#include "TempDataFolder.h"
#include "exchange/QuestionPackage.h"
#include "exchange/StudentPackage.h"
#include "exchange/TestPackage.h"
#include "formats/Workbook.h"

namespace fuzz {

namespace {
TempDataFolder* g_folder = nullptr;
}  // namespace

void prepare(const QString& reader) {
  if (g_folder) return;
  static int argc = 1;
  static char name[] = "derslik_fuzz";
  static char* argv[] = {name, nullptr};
  new QCoreApplication(argc, argv);
  // Only the packages are read into a school; a spreadsheet is read alone.
  g_folder = new TempDataFolder(reader == QStringLiteral("paket"));
}

int readOne(const QString& reader, const std::uint8_t* data, std::size_t size) {
  prepare(reader);
  TempDataFolder* folder = g_folder;
  const bool package = reader == QStringLiteral("paket");
  if ((package && size == 0) || !folder->ok()) return 0;
  const std::size_t skip = package ? 1 : 0;
  const QString path = folder->filePath(QStringLiteral("girdi.") + reader);
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return 0;
    f.write(reinterpret_cast<const char*>(data) + skip, static_cast<qint64>(size - skip));
  }
  if (!package) {
    (void)formats::Workbook::open(path);
    return 0;
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

}  // namespace fuzz
