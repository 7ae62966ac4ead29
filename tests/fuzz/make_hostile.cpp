// Writes the hostile shapes of HostileFiles.h into a folder:
//   make_hostile FOLDER [SCALE] [NAME...]
// at full size to measure a reader on them; or the fuzz seeds, every shape
// small (a hundredth) and a valid file for each spreadsheet reader, in one
// folder per reader as the fuzz targets take them (a package with the byte
// that picks its reader first):
//   make_hostile --seeds tests/fuzz/seeds
#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <functional>

#include "HostileFiles.h"

namespace {

int writeSeeds(const QString& folder) {
  const QDir root(folder);
  const auto put = [&](const QString& reader, const QString& name, const QByteArray& selector,
                       const std::function<bool(const QString&)>& write) {
    const QString dir = root.filePath(reader);
    const QString path = QDir(dir).filePath(name);
    if (!QDir().mkpath(dir) || !write(path)) return false;
    if (selector.isEmpty()) return true;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = selector + f.readAll();
    f.close();
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
  };
  for (const QString& name : hostile::names()) {
    const QString extension = QFileInfo(name).suffix();
    const bool package = extension.startsWith(QStringLiteral("ck"));
    const QByteArray selector = !package                             ? QByteArray()
                                : extension == QStringLiteral("ckk") ? QByteArray(1, '\0')
                                : extension == QStringLiteral("cks") ? QByteArray(1, '\1')
                                                                     : QByteArray(1, '\2');
    if (!put(package ? QStringLiteral("paket") : extension, name, selector,
             [&](const QString& path) { return hostile::write(name, path, 0.01); }))
      return 1;
  }
  for (const QString& extension : {QStringLiteral("xlsx"), QStringLiteral("ods"),
                                   QStringLiteral("xls"), QStringLiteral("csv")})
    if (!put(extension, QStringLiteral("gecerli.") + extension, {},
             [&](const QString& path) { return hostile::writeValid(extension, path); }))
      return 1;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.isEmpty()) {
    std::fprintf(stderr, "make_hostile KLASÖR [ÖLÇEK] [AD...]\n");
    return 2;
  }
  if (args.at(0) == QStringLiteral("--seeds") && args.size() == 2) return writeSeeds(args.at(1));
  const QDir dir(args.at(0));
  if (!QDir().mkpath(dir.path())) return 1;
  bool isNumber = false;
  const double scale = args.value(1).toDouble(&isNumber);
  QStringList names = args.mid(isNumber ? 2 : 1);
  if (names.isEmpty()) names = hostile::names();
  for (const QString& name : names) {
    if (!hostile::write(name, dir.filePath(name), isNumber ? scale : 1.0)) {
      std::fprintf(stderr, "%s yazılamadı\n", qPrintable(name));
      return 1;
    }
    std::printf("%s\t%lld\n", qPrintable(name), QFileInfo(dir.filePath(name)).size());
  }
  return 0;
}
