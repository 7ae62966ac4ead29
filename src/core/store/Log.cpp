#include "store/Log.h"

#include <QDateTime>
#include <QFile>

#include "store/DataFolder.h"

namespace store {

void LogYaz(const QString& message) {
  QFile file(DataFolder::path(QStringLiteral("Log.txt")));
  if (!file.exists()) return;
  if (!file.open(QIODevice::Append | QIODevice::Text)) return;  // best effort
  const QString line =
      QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
      QStringLiteral(": ") + message + QLatin1Char('\n');
  file.write(line.toUtf8());
}

}  // namespace store
