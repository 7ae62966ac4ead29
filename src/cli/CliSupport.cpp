#include <QFile>

#include "CliCommand.h"
#include "exchange/ImportStaging.h"
#include "store/RolloverFiles.h"
#include "store/Store.h"

namespace cli {

QByteArray readStdin() {
  QFile in;
  if (!in.open(stdin, QIODevice::ReadOnly)) return {};
  return in.readAll();
}

QString tsvLine(const QStringList& cells) {
  QStringList escaped;
  escaped.reserve(cells.size());
  for (const QString& cell : cells) {
    QString e;
    e.reserve(cell.size());
    for (QChar c : cell) {
      switch (c.unicode()) {
        case '\\':
          e += QStringLiteral("\\\\");
          break;
        case '\t':
          e += QStringLiteral("\\t");
          break;
        case '\n':
          e += QStringLiteral("\\n");
          break;
        case '\r':
          e += QStringLiteral("\\r");
          break;
        default:
          e += c;
      }
    }
    escaped << e;
  }
  return escaped.join(QLatin1Char('\t'));
}

bool enterDataFolder(const store::Store& store, QTextStream& err) {
  const Result<QStringList> entered = store::enterDataFolder(store.root());
  if (!entered) {
    err << entered.error() << '\n';
    return false;
  }
  for (const QString& note : entered.value()) err << "Not: " << note << '\n';
  return true;
}

bool openDatabase(store::Store& store, QTextStream& err, bool mustExist) {
  if (!enterDataFolder(store, err)) return false;
  if (mustExist && !store.onServer() && !QFile::exists(store.mainFile())) {
    err << "Veritabanı bulunamadı: " << store.mainFile() << " (önce: derslik-cli init)\n";
    return false;
  }
  const Result<store::CheckReport> report = store.open();
  if (!report) {
    err << "Veritabanı açılamadı: " << report.error() << '\n';
    return false;
  }
  for (const QString& note : exchange::repairStagedImports(store)) err << "Not: " << note << '\n';
  return true;
}

Messages::Answer CliMessages::show(const Message& message) {
  if (message.buttons == Buttons::Ok) {
    (message.kind == Kind::Error ? m_err : m_out) << message.text << '\n';
    return Answer::Ok;
  }
  m_out << message.text << (m_yes ? "\n-> Evet\n" : "\n-> Hayır (onaylamak için --yes)\n");
  return m_yes ? Answer::Yes : Answer::No;
}

}  // namespace cli
