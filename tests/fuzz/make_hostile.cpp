// Writes the hostile shapes of HostileFiles.h into a folder:
//   make_hostile FOLDER [SCALE] [NAME...]
// at full size to measure a reader on them, small (SCALE 0.01) for fuzz seeds.
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

#include "HostileFiles.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.isEmpty()) {
    std::fprintf(stderr, "make_hostile KLASÖR [ÖLÇEK] [AD...]\n");
    return 2;
  }
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
