#pragma once

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QtDebug>

// A package database made by hand for exchange file tests (other layouts,
// damaged or hostile tables): the statements run on `path`, the bytes come back
// (empty when the file could not be made).
inline QByteArray packageDatabase(const QString& path, const QStringList& sql) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("paket"));
    db.setDatabaseName(path);
    if (!db.open()) return {};
    QSqlQuery q(db);
    for (const QString& s : sql)
      if (!q.exec(s)) qWarning() << s << q.lastError().text();
    db.close();
  }
  QSqlDatabase::removeDatabase(QStringLiteral("paket"));
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}
