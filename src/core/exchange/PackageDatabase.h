#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <chrono>
#include <functional>
#include <memory>

#include "Result.h"

struct sqlite3;

namespace exchange {

// A package database from another installation, opened as untrusted input: on
// its own connection (never attached to the main database), read-only and
// immutable, defensive, with views, triggers and schema functions off, values
// longer than kMaxValueBytes refused by SQLite itself, and every statement
// stopped when the time allowed for the whole package has passed. The caller
// gets plain values; nothing in the package runs.
class PackageDatabase {
 public:
  static constexpr int kMaxValueBytes = 1 << 20;

  ~PackageDatabase();
  PackageDatabase(const PackageDatabase&) = delete;
  PackageDatabase& operator=(const PackageDatabase&) = delete;

  // Opens `file` (a private copy: its header may be adjusted so that no journal
  // is looked for) and checks it page by page.
  // `maxValueBytes` bounds one value (pictures of questions need more than
  // the default).
  static Result<std::unique_ptr<PackageDatabase>> open(const QString& file,
                                                       std::chrono::milliseconds allowed,
                                                       int maxValueBytes = kMaxValueBytes);

  // The columns (upper case) of `table` when it is an ordinary table of the
  // package; an error for a view, a virtual table or a missing one, and for a
  // package that carries triggers.
  Result<QStringList> tableColumns(const QString& table);
  // Runs a query of the package and hands every row's values to `row` (text,
  // integer, real, null; a blob as QByteArray). `row` may stop with a failure.
  Status forEachRow(const QString& sql, const std::function<Status(const QVariantList&)>& row);

 private:
  PackageDatabase() = default;
  QString failure(int rc) const;
  sqlite3* m_db = nullptr;
  std::chrono::steady_clock::time_point m_deadline;
};

}  // namespace exchange
