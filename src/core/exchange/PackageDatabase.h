#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "Result.h"

struct sqlite3;

namespace exchange {

// A package database from another installation, opened as untrusted input: on
// its own connection (never attached to the main database), read-only and
// immutable, defensive, with views, triggers and schema functions off, values
// longer than kMaxValueBytes refused by SQLite itself, and every statement
// stopped when the time allowed for the whole package has passed. The caller
// gets plain values; nothing in the package runs.
//
// What a package costs is known before its values are read: a table statement
// longer than kMaxSchemaBytes or with more than kMaxColumns columns, or a schema
// that needs more than kSchemaHeapBytes, refuses the file; so does a file whose
// values add up to more bytes than the file has (a column added with a long
// default lends it to every row without storing it). Readers ask for the size
// of what they are about to read (countRows(), firstOversized(), textBytes())
// and spend it from one budget of kMaxTextBytes per package.
class PackageDatabase {
 public:
  static constexpr int kMaxValueBytes = 1 << 20;
  static constexpr int kMaxSchemaBytes = 64 * 1024;
  static constexpr int kMaxColumns = 128;
  static constexpr qint64 kSchemaHeapBytes = 64 * 1024 * 1024;
  static constexpr qint64 kMaxTextBytes = 32 * 1024 * 1024;

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

  // The rows of `table`, counted no further than atMost + 1.
  Result<qint64> countRows(const QString& table, qint64 atMost);
  // A column limit in bytes of the stored value (text as UTF-8).
  struct ByteLimit {
    QString column;
    qint64 bytes;
  };
  // The first row (in file order) with a value past its column's limit: its
  // key (cut to 64 characters) and the column; nullopt when every value fits.
  struct Oversized {
    QString key;
    QString column;
  };
  Result<std::optional<Oversized>> firstOversized(const QString& table, const QString& keyColumn,
                                                  const QList<ByteLimit>& limits);
  // The bytes the values of `columns` take over every row of `table`.
  Result<qint64> textBytes(const QString& table, const QStringList& columns);
  // Takes `bytes` of texts to be held in memory from the package's budget; a
  // failure names what is too much.
  Status spendText(qint64 bytes);

 private:
  PackageDatabase() = default;
  QString failure(int rc) const;
  Status checkValuesFitFile(qint64 fileBytes);
  sqlite3* m_db = nullptr;
  std::chrono::steady_clock::time_point m_deadline;
  qint64 m_textBudget = kMaxTextBytes;
};

}  // namespace exchange
