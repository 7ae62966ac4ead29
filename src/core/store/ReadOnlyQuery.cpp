#include "store/ReadOnlyQuery.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSet>
#include <QUrl>

#include <sqlite3.h>

#include "store/Database.h"
#include "store/SqlErrors.h"
#include "store/SqlFunctions.h"

namespace store {

namespace {

struct Guard {
  QDeadlineTimer deadline;
  bool timedOut = false;
  QString denied;  // what the authorizer refused, for the message
};

// Pragmas that only report; any of them with a value to set is refused.
bool readingPragma(const QString& name, bool hasArgument) {
  static const QSet<QString> aboutAnObject{
      QStringLiteral("table_info"),      QStringLiteral("table_xinfo"),
      QStringLiteral("index_list"),      QStringLiteral("index_info"),
      QStringLiteral("index_xinfo"),     QStringLiteral("foreign_key_list"),
      QStringLiteral("integrity_check"), QStringLiteral("quick_check")};
  static const QSet<QString> plain{
      QStringLiteral("database_list"),  QStringLiteral("collation_list"),
      QStringLiteral("function_list"),  QStringLiteral("pragma_list"),
      QStringLiteral("table_list"),     QStringLiteral("compile_options"),
      QStringLiteral("encoding"),       QStringLiteral("page_count"),
      QStringLiteral("page_size"),      QStringLiteral("freelist_count"),
      QStringLiteral("user_version"),   QStringLiteral("schema_version"),
      QStringLiteral("application_id"), QStringLiteral("journal_mode"),
      QStringLiteral("foreign_keys")};
  const QString n = name.toLower();
  return aboutAnObject.contains(n) || (!hasArgument && plain.contains(n));
}

bool fileFunction(const QString& name) {
  static const QSet<QString> denied{QStringLiteral("load_extension"),
                                    QStringLiteral("fts3_tokenizer"), QStringLiteral("readfile"),
                                    QStringLiteral("writefile"), QStringLiteral("edit")};
  return denied.contains(name.toLower());
}

int authorize(void* data, int action, const char* a1, const char* a2, const char*, const char*) {
  auto* guard = static_cast<Guard*>(data);
  const QString arg1 = QString::fromUtf8(a1);
  const QString arg2 = QString::fromUtf8(a2);
  switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_RECURSIVE:
      return SQLITE_OK;
    case SQLITE_FUNCTION:
      if (!fileFunction(arg2)) return SQLITE_OK;
      guard->denied = arg2 + QStringLiteral("()");
      return SQLITE_DENY;
    case SQLITE_PRAGMA:
      if (readingPragma(arg1, a2 != nullptr)) return SQLITE_OK;
      guard->denied = QStringLiteral("PRAGMA ") + arg1;
      return SQLITE_DENY;
    case SQLITE_ATTACH:
      guard->denied = QStringLiteral("ATTACH");
      return SQLITE_DENY;
    default:
      guard->denied = QStringLiteral("yazma ya da yapı değişikliği");
      return SQLITE_DENY;
  }
}

int progress(void* data) {
  auto* guard = static_cast<Guard*>(data);
  if (!guard->deadline.hasExpired()) return 0;
  guard->timedOut = true;
  return 1;
}

QString cellText(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
      return {};
    case SQLITE_BLOB:
      return QStringLiteral("[ikili veri: %1 bayt]").arg(sqlite3_column_bytes(stmt, column));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
      QString s = QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
      s.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
      return s;
    }
  }
}

QString refusedMessage(const QString& what) {
  return QStringLiteral("Yalnızca okuma sorgularına izin verilir (%1 yapılamaz).").arg(what);
}

}  // namespace

Status runReadOnlyQuery(const QString& path, const QString& sql,
                        const std::function<void(const QStringList&)>& row,
                        const ReadOnlyLimits& limits) {
  sqlite3* db = nullptr;
  // Read-only and never created: no pragma runs on this connection, so the
  // file's header (journal mode included) stays as it is. A file an older version
  // left in WAL would get a -wal and -shm beside it from a plain read-only open;
  // with no -wal there is nothing outside the file, which is then read as it is.
  QByteArray name = path.toUtf8();
  int flags = SQLITE_OPEN_READONLY;
  if (inWalMode(path) && !QFile::exists(path + QStringLiteral("-wal"))) {
    name = QUrl::fromLocalFile(path).toEncoded() + "?immutable=1";
    flags |= SQLITE_OPEN_URI;
  }
  int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    const QString error = sqliteErrorText(rc, QString::fromUtf8(sqlite3_errmsg(db)));
    sqlite3_close(db);
    return Status::failure(error);
  }
  struct Closer {
    sqlite3* db;
    sqlite3_stmt* stmt = nullptr;
    ~Closer() {
      sqlite3_finalize(stmt);
      sqlite3_close(db);
    }
  } closer{db};
  Guard guard;
  guard.deadline = QDeadlineTimer(limits.timeoutMs);
  sqlite3_extended_result_codes(db, 1);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  sqlite3_limit(db, SQLITE_LIMIT_LENGTH, limits.maxValueBytes);
  sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
  sqlite3_busy_timeout(db, 2000);
  registerSqlFunctions(db);
  sqlite3_set_authorizer(db, authorize, &guard);
  sqlite3_progress_handler(db, 1000, progress, &guard);

  const QByteArray text = sql.toUtf8();
  const char* tail = nullptr;
  rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &closer.stmt, &tail);
  if (rc != SQLITE_OK) {
    if (!guard.denied.isEmpty()) return Status::failure(refusedMessage(guard.denied));
    return Status::failure(sqliteErrorText(rc, QString::fromUtf8(sqlite3_errmsg(db))));
  }
  if (!closer.stmt) return Status::failure(QStringLiteral("Sorgu boş."));
  // What follows the statement may be blanks, semicolons and comments only.
  const char* end = text.constData() + text.size();
  while (tail && tail < end) {
    sqlite3_stmt* next = nullptr;
    const char* rest = nullptr;
    rc = sqlite3_prepare_v2(db, tail, int(end - tail), &next, &rest);
    sqlite3_finalize(next);
    if (rc != SQLITE_OK || next) return Status::failure(onlyOneStatementMessage());
    if (rest == tail) break;
    tail = rest;
  }
  if (!sqlite3_stmt_readonly(closer.stmt))
    return Status::failure(refusedMessage(QStringLiteral("yazma")));

  const int columns = sqlite3_column_count(closer.stmt);
  QStringList header;
  for (int i = 0; i < columns; ++i)
    header << QString::fromUtf8(sqlite3_column_name(closer.stmt, i));
  if (columns > 0) row(header);
  qint64 written = 0;
  while ((rc = sqlite3_step(closer.stmt)) == SQLITE_ROW) {
    QStringList cells;
    for (int i = 0; i < columns; ++i) {
      cells << cellText(closer.stmt, i);
      written += cells.last().size() + 1;
    }
    if (written > limits.maxResultBytes)
      return Status::failure(QStringLiteral("Sonuç çok büyük (%1 MB sınırı); sorguyu daraltınız.")
                                 .arg(limits.maxResultBytes >> 20));
    row(cells);
  }
  if (rc == SQLITE_DONE) return {};
  if (guard.timedOut)
    return Status::failure(QStringLiteral("Sorgu %1 saniyede bitmedi ve durduruldu.")
                               .arg(limits.timeoutMs / 1000.0, 0, 'g', 3));
  return Status::failure(sqliteErrorText(rc, QString::fromUtf8(sqlite3_errmsg(db))));
}

}  // namespace store
