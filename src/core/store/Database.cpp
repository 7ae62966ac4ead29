#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include "store/Dialect.h"
#include "store/Sql.h"
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
  // The busy timeout comes first: switching a file out of WAL waits for the
  // connections that still read it.
  if (!q.exec(QStringLiteral("PRAGMA busy_timeout=5000")))
    return Status::failure(sqlErrorText(q.lastError()));
  // A rollback journal, not WAL: only then does SQLite commit a transaction that
  // wrote the main database and a content store attached to it as one (through
  // its super-journal); in WAL each file commits on its own and a kill between
  // them leaves a question without its picture. A file left in WAL by an older
  // Derslik is checkpointed into the database by this switch, losing nothing.
  // TRUNCATE with FULL: the commit (emptying the journal) is synced before the
  // commit returns, so a commit the user was told is stored survives a power cut.
  // DELETE would need EXTRA (a sync of the folder after the journal's removal)
  // for the same, one sync more per commit.
  if (!q.exec(QStringLiteral("PRAGMA journal_mode=TRUNCATE")))
    return Status::failure(sqlErrorText(q.lastError()));
  const QString mode = q.next() ? q.value(0).toString().toLower() : QString();
  if (mode != QLatin1String("truncate"))
    return Status::failure(QStringLiteral(
        "Veritabanı günlük kipi değiştirilemedi (dosya başka bir programda açık olabilir)."));
  for (const char* pragma : {"PRAGMA synchronous=FULL", "PRAGMA foreign_keys=OFF"}) {
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

bool inWalMode(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray header = file.read(20);
  // Bytes 18 and 19 of the header are the read and write versions: 2 for WAL.
  return header.size() == 20 && header.startsWith("SQLite format 3") &&
         (header.at(18) == 2 || header.at(19) == 2);
}

Status settleFile(const QString& path) {
  // An emptied journal (TRUNCATE's resting state) holds nothing to roll back.
  if (!inWalMode(path) && QFileInfo(path + QStringLiteral("-journal")).size() == 0) return {};
  const QString name = QStringLiteral("settle");
  Status status;
  {
    Result<QSqlDatabase> db = openFile(name, path);
    // Opening switches the mode; the first read rolls the journal back.
    if (!db)
      status = Status::failure(db.error());
    else
      status = run(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"), {}, db.value());
  }
  closeFile(name);
  return status;
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
  return dialectOf(db).tableExists(db, table);
}

void TabloSil(const QString& table, const QSqlDatabase& db) {
  if (!db.isOpen()) return;
  QSqlQuery q(db);
  (void)q.exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quotedIdentifier(table)));
}

}  // namespace store
