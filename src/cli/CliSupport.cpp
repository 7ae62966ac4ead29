#include <QFile>

#include "CliCommand.h"
#include "store/Database.h"
#include "store/RolloverFiles.h"
#include "store/Schema.h"

namespace cli {

QByteArray readStdin() {
  QFile in;
  if (!in.open(stdin, QIODevice::ReadOnly)) return {};
  return in.readAll();
}

bool enterDataFolder(QTextStream& err) {
  const Result<QStringList> entered = store::enterDataFolder();
  if (!entered) {
    err << entered.error() << '\n';
    return false;
  }
  for (const QString& note : entered.value()) err << "Not: " << note << '\n';
  return true;
}

bool openDatabase(QTextStream& err, bool mustExist) {
  if (!enterDataFolder(err)) return false;
  if (mustExist && !QFile::exists(store::mainDatabasePath())) {
    err << "Veritabanı bulunamadı: " << store::mainDatabasePath() << " (önce: derslik-cli init)\n";
    return false;
  }
  const Result<store::CheckReport> report = store::VeritabaniKontrol();
  if (!report) {
    err << "Veritabanı açılamadı: " << report.error() << '\n';
    return false;
  }
  return true;
}

}  // namespace cli
