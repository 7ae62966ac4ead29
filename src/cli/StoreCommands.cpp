#include <QFile>

#include "CliCommand.h"
#include "Version.h"
#include "store/ReadOnlyQuery.h"
#include "store/Schema.h"
#include "store/Store.h"

namespace cli {

namespace {

const Syntax& initSyntax() {
  static const Syntax s(QStringLiteral("init"));
  return s;
}
const Syntax& sqlSyntax() {
  static const Syntax s(QStringLiteral("sql \"SELECT ...\""), 1, 1);
  return s;
}
const Syntax& versionSyntax() {
  static const Syntax s(QStringLiteral("version"));
  return s;
}

int init(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  if (!parseOrComplain(words, initSyntax(), err, code)) return code;
  if (!enterDataFolder(store, err)) return 1;
  const Result<store::CheckReport> report = store.open();
  if (!report) {
    err << "Veritabanı hazırlanamadı: " << report.error() << '\n';
    return 1;
  }
  out << "Veri klasörü: " << store.root() << '\n';
  if (report->created) {
    out << "Yeni veritabanı oluşturuldu (veri sürümü " << store::kDataVersion << ").\n";
  } else {
    out << "Veritabanı denetlendi" << (report->structureChecked ? ", yapı güncellendi" : "")
        << ".\n";
    if (!report->stepsRun.isEmpty())
      out << "Veri sürümü " << report->oldDataVersion << " -> " << store::kDataVersion
          << ", çalışan adımlar: " << report->stepsRun.join(QStringLiteral(", ")) << '\n';
  }
  for (const QString& m : report->messages) out << "Not: " << m << '\n';
  return 0;
}

// One reading statement; nothing of the data folder is written, not even the
// database's header.
int sql(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words, sqlSyntax(), err, code);
  if (!a) return code;
  const auto print = [&out](const QStringList& row) { out << tsvLine(row) << '\n'; };
  if (store.onServer()) {
    if (!openDatabase(store, err)) return 1;
    if (const Status s = store::runReadOnlyQuery(store.db(), a->positional.first(), print); !s) {
      err << "Sorgu çalıştırılamadı: " << s.error() << '\n';
      return 1;
    }
    return 0;
  }
  if (!enterDataFolder(store, err)) return 1;
  const QString path = store.mainFile();
  if (!QFile::exists(path)) {
    err << "Veritabanı bulunamadı: " << path << " (önce: derslik-cli init)\n";
    return 1;
  }
  const Status s = store::runReadOnlyQuery(path, a->positional.first(), print);
  if (!s) {
    err << "Sorgu çalıştırılamadı: " << s.error() << '\n';
    return 1;
  }
  return 0;
}

int version(store::Store&, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  if (!parseOrComplain(words, versionSyntax(), err, code)) return code;
  out << "Derslik " << derslik::kVersionText << " (veri sürümü " << store::kDataVersion << ")\n";
  return 0;
}

}  // namespace

QList<CliCommand> storeCommands() {
  return {
      {QStringLiteral("init"),
       QStringLiteral("init                 veri klasörünü oluşturur ya da günceller"), init},
      {QStringLiteral("sql"),
       QStringLiteral("sql \"SELECT ...\"     tek bir okuma sorgusu çalıştırır (yazma reddedilir)"),
       sql},
      {QStringLiteral("version"), QStringLiteral("version              sürümü yazar"), version},
  };
}

}  // namespace cli
