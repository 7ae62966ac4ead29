#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <atomic>

#include "store/ServerDatabase.h"
#include "store/Store.h"

// The backend the core tests run on. By default each test's store is a data
// folder of SQLite files. Under tests/support/pgcluster.sh (which sets
// DERSLIK_TEST_BACKEND=postgres and DERSLIK_TEST_SERVER) each gets a database of
// its own on the throwaway PostgreSQL cluster instead, with Derslik's schema.
namespace testbackend {

inline bool onServer() {
  return qEnvironmentVariable("DERSLIK_TEST_BACKEND") == QLatin1String("postgres");
}

// The cluster's maintenance database (DERSLIK_TEST_SERVER).
inline Result<store::ServerLogin> maintenance() {
  const QString url = qEnvironmentVariable("DERSLIK_TEST_SERVER");
  if (url.isEmpty())
    return Result<store::ServerLogin>::failure(QStringLiteral(
        "DERSLIK_TEST_BACKEND=postgres without DERSLIK_TEST_SERVER: run the test through "
        "tests/support/pgcluster.sh"));
  Result<store::ServerAddress> address = store::ServerAddress::parse(url);
  if (!address) return Result<store::ServerLogin>::failure(address.error());
  return store::ServerLogin{address.value(), QString()};
}

// CREATE DATABASE on the cluster; with `templateName`, as a copy of that one.
inline Status createDatabase(const QString& name, const QString& templateName = {}) {
  Result<store::ServerLogin> admin = maintenance();
  if (!admin) return Status::failure(admin.error());
  const QString connection = QStringLiteral("test-admin");
  QString error;
  {
    Result<QSqlDatabase> db = store::openServer(connection, admin.value());
    if (!db) {
      error = db.error();
    } else {
      QSqlQuery q(db.value());
      QString sql = QStringLiteral("CREATE DATABASE ") + name;
      if (!templateName.isEmpty())
        sql += QStringLiteral(" TEMPLATE %1 STRATEGY FILE_COPY").arg(templateName);
      if (!q.exec(sql)) error = q.lastError().text();
    }
  }
  QSqlDatabase::removeDatabase(connection);
  if (!error.isEmpty()) return Status::failure(error);
  return {};
}

// A new empty database on the cluster; with `schema`, as `server init` makes it
// (a copy of one database the process initialises once: copying is much faster).
inline Result<store::ServerLogin> freshDatabase(bool schema = true) {
  using R = Result<store::ServerLogin>;
  static std::atomic<int> counter{0};
  static QString made;  // the initialised database copies are made from
  Result<store::ServerLogin> admin = maintenance();
  if (!admin) return admin;
  const auto named = [&admin](const QString& suffix) {
    store::ServerLogin login = admin.value();
    login.address.database =
        QStringLiteral("derslik_%1_%2").arg(QCoreApplication::applicationPid()).arg(suffix);
    return login;
  };
  if (schema && made.isEmpty()) {
    const store::ServerLogin first = named(QStringLiteral("sablon"));
    if (Status s = createDatabase(first.address.database); !s) return R::failure(s.error());
    store::Store init(QDir::tempPath());
    init.useServer(first);
    Result<store::ServerInitReport> report = init.initServer();
    if (!report) return R::failure(report.error());
    made = first.address.database;
  }
  const store::ServerLogin login = named(QString::number(++counter));
  if (Status s = createDatabase(login.address.database, schema ? made : QString()); !s)
    return R::failure(s.error());
  return login;
}

}  // namespace testbackend
