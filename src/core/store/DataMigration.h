#pragma once

#include <QSqlDatabase>
#include <QString>

#include "Result.h"
#include "store/Schema.h"

namespace store {

class Store;

// Adds a course (list "DERS") or a level (list "SEVIYE") to TABLEPARAMETRE, hidden
// (marker "1"), unless the list already holds it. While TABLEPARAMETRE is empty
// nothing is inserted: the row is selected from the table itself.
Status DersEkle(const QString& name, const QSqlDatabase& db);
Status SeviyeEkle(const QString& name, const QSqlDatabase& db);

// The data check: brings the stored data version (TABLEVERSIYON.VTVERIVERSIYON) to
// kDataVersion by running every numbered step above it. Each step commits together
// with the version it reaches, so a failing step leaves the version before it and
// runs again at the next start. On a failing step `report` names it (failedStep,
// error, a message for the user) and the failure is returned.
Status VeriVersiyonKontrol(CheckReport& report, Store& store);

// What a new database gets besides its tables: the factory grid layouts, the
// appearance rows and the value lists (common levels and courses of Turkish
// schools, offered; plus every value the data steps add, as they would mark it).
Status seedNewDatabase(const QSqlDatabase& db);

}  // namespace store
