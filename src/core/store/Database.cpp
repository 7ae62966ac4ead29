#include "store/Database.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include "store/SqlErrors.h"
#include "store/SqlFunctions.h"

namespace store {

namespace {

QString quotedIdentifier(const QString& name) {
  QString escaped = name;
  escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + escaped + QLatin1Char('"');
}

Status configure(QSqlDatabase& db) {
  QSqlQuery q(db);
  // WAL keeps readers and the writer apart; the busy timeout rides over a
  // checkpoint or a second connection of our own (CLI while the window runs).
  for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL",
                             "PRAGMA busy_timeout=5000", "PRAGMA foreign_keys=OFF"}) {
    if (!q.exec(QString::fromLatin1(pragma))) return Status::failure(sqlErrorText(q.lastError()));
  }
  registerSqlFunctions(db);
  return {};
}

}  // namespace

Result<QSqlDatabase> openFile(const QString& connectionName, const QString& path) {
  QSqlDatabase db = QSqlDatabase::contains(connectionName)
                        ? QSqlDatabase::database(connectionName, false)
                        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
  if (db.isOpen()) {
    if (QFileInfo(db.databaseName()) == QFileInfo(path)) return db;
    db.close();
  }
  QDir().mkpath(QFileInfo(path).absolutePath());
  db.setDatabaseName(path);
  db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
  if (!db.open()) return Result<QSqlDatabase>::failure(sqlErrorText(db.lastError()));
  if (Status s = configure(db); !s) {
    db.close();
    return Result<QSqlDatabase>::failure(s.error());
  }
  return db;
}

void closeFile(const QString& connectionName) {
  if (!QSqlDatabase::contains(connectionName)) return;
  {
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    db.close();
  }
  QSqlDatabase::removeDatabase(connectionName);
}

bool TabloVarMi(const QString& table, const QSqlDatabase& db) {
  if (!db.isOpen()) return false;
  QSqlQuery q(db);
  return q.exec(QStringLiteral("SELECT 1 FROM %1 LIMIT 0").arg(quotedIdentifier(table)));
}

void TabloSil(const QString& table, const QSqlDatabase& db) {
  if (!db.isOpen()) return;
  QSqlQuery q(db);
  (void)q.exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quotedIdentifier(table)));
}

}  // namespace store
