#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "CliCommand.h"
#include "Version.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/Store.h"

namespace cli {

namespace {

int init(store::Store& store, const QStringList&, QTextStream& out, QTextStream& err) {
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

QString cellText(const QVariant& v) {
  QString s = v.isNull() ? QString() : v.toString();
  s.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return s;
}

// One read-only statement on a separate query-only connection: SQLite itself
// refuses any write, whatever the statement's text looks like.
int sql(store::Store& store, const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != 1) {
    err << "Kullanım: derslik-cli sql \"SELECT ...\"\n";
    return 2;
  }
  const QString path = store.mainFile();
  if (!QFile::exists(path)) {
    err << "Veritabanı bulunamadı: " << path << " (önce: derslik-cli init)\n";
    return 1;
  }
  const QString name = QStringLiteral("cli-readonly");
  int code = 0;
  {
    Result<QSqlDatabase> db = store::openFile(name, path);
    if (!db) {
      err << db.error() << '\n';
      return 1;
    }
    QSqlQuery q(db.value());
    (void)q.exec(QStringLiteral("PRAGMA query_only=ON"));
    q.setForwardOnly(true);
    if (!q.exec(args.first())) {
      err << "Sorgu çalıştırılamadı (yalnızca okuma sorgularına izin verilir): "
          << q.lastError().databaseText() << '\n';
      code = 1;
    } else {
      const QSqlRecord rec = q.record();
      QStringList header;
      for (int i = 0; i < rec.count(); ++i) header << rec.fieldName(i);
      if (!header.isEmpty()) out << header.join(QLatin1Char('\t')) << '\n';
      while (q.next()) {
        QStringList row;
        for (int i = 0; i < rec.count(); ++i) row << cellText(q.value(i));
        out << row.join(QLatin1Char('\t')) << '\n';
      }
    }
  }
  store::closeFile(name);
  return code;
}

int version(store::Store&, const QStringList&, QTextStream& out, QTextStream&) {
  out << "Derslik " << derslik::kVersionText << " (veri sürümü " << store::kDataVersion << ")\n";
  return 0;
}

}  // namespace

QList<CliCommand> storeCommands() {
  return {
      {QStringLiteral("init"),
       QStringLiteral("init                 veri klasörünü oluşturur ya da günceller"), init},
      {QStringLiteral("sql"),
       QStringLiteral("sql \"SELECT ...\"     tek bir okuma sorgusu çalıştırır"), sql},
      {QStringLiteral("version"), QStringLiteral("version              sürümü yazar"), version},
  };
}

}  // namespace cli
