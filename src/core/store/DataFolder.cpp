#include "store/DataFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace store {

namespace {
QString& rootRef() {
  static QString root;
  return root;
}
}  // namespace

QString DataFolder::defaultRoot() {
  const QString env = qEnvironmentVariable("DERSLIK_VERI");
  if (!env.isEmpty()) return QDir(env).absolutePath();
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QDir(base).filePath(QStringLiteral("derslik"));
}

void DataFolder::setRoot(const QString& folder) {
  rootRef() = QDir(folder).absolutePath();
  QDir().mkpath(rootRef());
}

QString DataFolder::root() {
  if (rootRef().isEmpty()) setRoot(defaultRoot());
  return rootRef();
}

QString DataFolder::path(const QString& relative) { return QDir(root()).filePath(relative); }

QString DataFolder::subFolder(const QString& name) {
  const QString p = path(name);
  QDir().mkpath(p);
  return p;
}

}  // namespace store
