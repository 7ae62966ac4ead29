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

// A new empty database on the cluster; with `schema`, made ready by `server init`.
inline Result<store::ServerLogin> freshDatabase(bool schema = true) {
  using R = Result<store::ServerLogin>;
  static std::atomic<int> counter{0};
  Result<store::ServerLogin> admin = maintenance();
  if (!admin) return admin;
  store::ServerLogin login = admin.value();
  login.address.database = QStringLiteral("derslik_%1_%2")
                               .arg(QCoreApplication::applicationPid())
                               .arg(++counter);
  const QString connection = QStringLiteral("test-admin");
  QString error;
  {
    Result<QSqlDatabase> db = store::openServer(connection, admin.value());
    if (!db) {
      error = db.error();
    } else {
      QSqlQuery q(db.value());
      if (!q.exec(QStringLiteral("CREATE DATABASE %1").arg(login.address.database)))
        error = q.lastError().text();
    }
  }
  QSqlDatabase::removeDatabase(connection);
  if (!error.isEmpty()) return R::failure(error);
  if (schema) {
    store::Store init(QDir::tempPath());
    init.useServer(login);
    Result<store::ServerInitReport> made = init.initServer();
    if (!made) return R::failure(made.error());
  }
  return login;
}

}  // namespace testbackend
