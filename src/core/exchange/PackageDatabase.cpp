#include "exchange/PackageDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

namespace exchange {

namespace {

using Clock = std::chrono::steady_clock;

// Called by SQLite every few thousand steps; a non-zero answer interrupts the
// statement, so no query of a package runs past the deadline (a recursive
// query, a huge sort).
int pastDeadline(void* deadline) {
  return Clock::now() > *static_cast<Clock::time_point*>(deadline);
}

// A package claiming write-ahead logging would make SQLite look for (and try to
// create) files beside it; our private copy is marked as an ordinary database.
bool clearWalMark(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadWrite)) return false;
  const QByteArray header = f.read(20);
  if (header.size() < 20 || !header.startsWith("SQLite format 3")) return false;
  if (header.at(18) == 2 || header.at(19) == 2) {
    f.seek(18);
    f.write("\x01\x01", 2);
  }
  return true;
}

// An identifier of the package in SQL text; names come from the package itself.
QString quoted(const QString& name) {
  QString n = name;
  return QLatin1Char('"') + n.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}
QString literal(const QString& text) {
  QString t = text;
  return QLatin1Char('\'') + t.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// While SQLite reads a package's schema, it may take only so much memory more
// than it holds already: thousands of long table statements would otherwise be
// parsed whole, whatever they cost. SQLite's heap limit is the process's, so it
// is put back at once.
class SchemaHeapCap {
 public:
  explicit SchemaHeapCap(qint64 bytes) : m_previous(sqlite3_hard_heap_limit64(-1)) {
    const sqlite3_int64 cap = sqlite3_memory_used() + bytes;
    if (m_previous <= 0 || m_previous > cap) sqlite3_hard_heap_limit64(cap);
  }
  ~SchemaHeapCap() { sqlite3_hard_heap_limit64(m_previous); }
  SchemaHeapCap(const SchemaHeapCap&) = delete;
  SchemaHeapCap& operator=(const SchemaHeapCap&) = delete;

 private:
  sqlite3_int64 m_previous;
};

QString megabytes(qint64 bytes) { return QString::number(bytes / (1024 * 1024)); }

}  // namespace

PackageDatabase::~PackageDatabase() {
  if (m_db) sqlite3_close_v2(m_db);
}

QString PackageDatabase::failure(int rc) const {
  if (rc == SQLITE_INTERRUPT)
    return QStringLiteral("Dosya okunurken süre doldu; dosya bozuk ya da zararlı olabilir.");
  if (rc == SQLITE_TOOBIG) return QStringLiteral("Dosyada çok uzun bir değer var.");
  if (rc == SQLITE_NOTADB) return QStringLiteral("Dosya tanınmadı (veritabanı değil).");
  if (rc == SQLITE_NOMEM)
    return QStringLiteral(
        "Dosyanın tablo tanımları okunamayacak kadar büyük; dosya bozuk ya da "
        "zararlı olabilir.");
  const char* text = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
  const QString said = QString::fromUtf8(text);
  if (said.contains(QStringLiteral("too many columns")))
    return QStringLiteral("Dosyadaki bir tabloda çok fazla sütun var (en çok %1).")
        .arg(kMaxColumns);
  if (said.contains(QStringLiteral("statement too long")) ||
      said.contains(QStringLiteral("string or blob too big")))
    return QStringLiteral(
        "Dosyadaki bir tablo tanımı çok uzun; dosya bozuk ya da zararlı olabilir.");
  return QStringLiteral("Dosya bozuk (%1).").arg(QString::fromUtf8(text));
}

Result<std::unique_ptr<PackageDatabase>> PackageDatabase::open(const QString& file,
                                                               std::chrono::milliseconds allowed,
                                                               int maxValueBytes) {
  using R = Result<std::unique_ptr<PackageDatabase>>;
  if (!clearWalMark(file)) return R::failure(QStringLiteral("Dosya tanınmadı (veritabanı değil)."));
  std::unique_ptr<PackageDatabase> db(new PackageDatabase);
  db->m_deadline = Clock::now() + allowed;
  // immutable: no locks, no journal, nothing written beside the file.
  const QByteArray uri =
      QUrl::fromLocalFile(file).toEncoded() + QByteArrayLiteral("?mode=ro&immutable=1");
  int rc = sqlite3_open_v2(uri.constData(), &db->m_db,
                           SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) return R::failure(db->failure(rc));
  sqlite3* h = db->m_db;
  sqlite3_db_config(h, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(h, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  sqlite3_db_config(h, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  sqlite3_limit(h, SQLITE_LIMIT_LENGTH, maxValueBytes);
  sqlite3_limit(h, SQLITE_LIMIT_ATTACHED, 0);
  // The schema is parsed with the first statement: these bound what it may hold.
  sqlite3_limit(h, SQLITE_LIMIT_SQL_LENGTH, kMaxSchemaBytes);
  sqlite3_limit(h, SQLITE_LIMIT_COLUMN, kMaxColumns);
  sqlite3_progress_handler(h, 1000, pastDeadline, &db->m_deadline);
  // Sorting and temporary tables stay in memory: nothing lands in /var/tmp.
  rc = sqlite3_exec(h,
                    "PRAGMA trusted_schema=OFF; PRAGMA temp_store=MEMORY; PRAGMA query_only=ON; "
                    "PRAGMA cache_size=-4096; PRAGMA mmap_size=0;",
                    nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) return R::failure(db->failure(rc));
  QString check;
  Status checked;
  {
    const SchemaHeapCap cap(kSchemaHeapBytes);
    checked =
        db->forEachRow(QStringLiteral("PRAGMA quick_check(1)"), [&check](const QVariantList& row) {
          check = row.value(0).toString();
          return Status();
        });
  }
  if (!checked) return R::failure(checked.error());
  if (check != QStringLiteral("ok"))
    return R::failure(QStringLiteral("Dosya bozuk (%1).").arg(check));
  if (Status s = db->checkValuesFitFile(QFileInfo(file).size()); !s) return R::failure(s.error());
  return db;
}

Status PackageDatabase::checkValuesFitFile(qint64 fileBytes) {
  QStringList tables;
  Status s = forEachRow(QStringLiteral("SELECT name FROM sqlite_schema WHERE type='table'"),
                        [&tables](const QVariantList& row) {
                          tables << row.value(0).toString();
                          return Status();
                        });
  for (const QString& table : tables) {
    if (!s) break;
    QStringList sums;
    s = forEachRow(
        QStringLiteral("SELECT name FROM pragma_table_info(%1)").arg(literal(table)),
        [&sums](const QVariantList& row) {
          // length() of a blob does not load it; of a text it counts characters.
          sums << QStringLiteral("total(length(%1))").arg(quoted(row.value(0).toString()));
          return Status();
        });
    if (!s || sums.isEmpty()) continue;
    double bytes = 0;
    s = forEachRow(
        QStringLiteral("SELECT %1 FROM %2").arg(sums.join(QLatin1Char('+')), quoted(table)),
        [&bytes](const QVariantList& row) {
          bytes = row.value(0).toDouble();
          return Status();
        });
    if (s && bytes > double(fileBytes))
      return Status::failure(
          QStringLiteral("Dosya bozuk ya da zararlı: %1 tablosundaki değerler dosyanın kendisinden "
                         "büyük.")
              .arg(table.left(64)));
  }
  return s;
}

Result<qint64> PackageDatabase::countRows(const QString& table, qint64 atMost) {
  qint64 rows = 0;
  const Status s = forEachRow(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 LIMIT %2)")
                                  .arg(quoted(table))
                                  .arg(atMost + 1),
                              [&rows](const QVariantList& row) {
                                rows = row.value(0).toLongLong();
                                return Status();
                              });
  if (!s) return Result<qint64>::failure(s.error());
  return rows;
}

Result<std::optional<PackageDatabase::Oversized>> PackageDatabase::firstOversized(
    const QString& table, const QString& keyColumn, const QList<ByteLimit>& limits) {
  using R = Result<std::optional<Oversized>>;
  if (limits.isEmpty()) return std::optional<Oversized>();
  QStringList conditions;
  QStringList cases;
  for (const ByteLimit& l : limits) {
    const QString condition =
        QStringLiteral("length(CAST(%1 AS BLOB))>%2").arg(quoted(l.column)).arg(l.bytes);
    conditions << condition;
    cases << QStringLiteral("WHEN %1 THEN %2").arg(condition, literal(l.column));
  }
  std::optional<Oversized> found;
  const Status s = forEachRow(
      QStringLiteral("SELECT substr(CAST(%1 AS TEXT),1,64),CASE %2 END FROM %3 WHERE %4 LIMIT 1")
          .arg(quoted(keyColumn), cases.join(QLatin1Char(' ')), quoted(table),
               conditions.join(QStringLiteral(" OR "))),
      [&found](const QVariantList& row) {
        found = Oversized{row.value(0).toString(), row.value(1).toString()};
        return Status();
      });
  if (!s) return R::failure(s.error());
  return found;
}

Result<qint64> PackageDatabase::textBytes(const QString& table, const QStringList& columns) {
  if (columns.isEmpty()) return qint64(0);
  QStringList sums;
  for (const QString& c : columns)
    sums << QStringLiteral("total(length(CAST(%1 AS BLOB)))").arg(quoted(c));
  double bytes = 0;
  const Status s = forEachRow(
      QStringLiteral("SELECT %1 FROM %2").arg(sums.join(QLatin1Char('+')), quoted(table)),
      [&bytes](const QVariantList& row) {
        bytes = row.value(0).toDouble();
        return Status();
      });
  if (!s) return Result<qint64>::failure(s.error());
  return qint64(bytes);
}

Status PackageDatabase::spendText(qint64 bytes) {
  m_textBudget -= bytes;
  if (m_textBudget >= 0) return {};
  return Status::failure(
      QStringLiteral(
          "Dosyadaki metinler çok uzun: bir dosya toplam en çok %1 MB metin taşıyabilir.")
          .arg(megabytes(kMaxTextBytes)));
}

Result<QStringList> PackageDatabase::tableColumns(const QString& table) {
  using R = Result<QStringList>;
  QString type;
  QString sql;
  int triggers = 0;
  Status s = forEachRow(QStringLiteral("SELECT type, name, sql FROM sqlite_schema"),
                        [&](const QVariantList& row) {
                          const QString rowType = row.value(0).toString();
                          if (rowType == QStringLiteral("trigger")) ++triggers;
                          if (row.value(1).toString().compare(table, Qt::CaseInsensitive) == 0 &&
                              rowType != QStringLiteral("index")) {
                            type = rowType;
                            sql = row.value(2).toString();
                          }
                          return Status();
                        });
  if (!s) return R::failure(s.error());
  if (triggers > 0) return R::failure(QStringLiteral("Dosyada tetikleyici var (kabul edilmez)."));
  if (type.isEmpty()) return R::failure(QStringLiteral("Dosyada %1 tablosu yok.").arg(table));
  if (type != QStringLiteral("table") ||
      sql.simplified().startsWith(QStringLiteral("CREATE VIRTUAL"), Qt::CaseInsensitive))
    return R::failure(
        QStringLiteral("Dosyadaki %1 sıradan bir tablo değil (kabul edilmez).").arg(table));
  QStringList columns;
  s = forEachRow(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table),
                 [&columns](const QVariantList& row) {
                   columns << row.value(0).toString().toUpper();
                   return Status();
                 });
  if (!s) return R::failure(s.error());
  return columns;
}

Status PackageDatabase::forEachRow(const QString& sql,
                                   const std::function<Status(const QVariantList&)>& row) {
  sqlite3_stmt* stmt = nullptr;
  const QByteArray text = sql.toUtf8();
  int rc =
      sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()), &stmt, nullptr);
  if (rc != SQLITE_OK) {
    const QString error = failure(rc);
    sqlite3_finalize(stmt);
    return Status::failure(error);
  }
  const int columns = sqlite3_column_count(stmt);
  Status result;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    QVariantList values;
    values.reserve(columns);
    for (int c = 0; c < columns; ++c) {
      switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
          values << QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt, c)));
          break;
        case SQLITE_FLOAT:
          values << QVariant(sqlite3_column_double(stmt, c));
          break;
        case SQLITE_TEXT:
          values << QVariant(
              QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                                sqlite3_column_bytes(stmt, c)));
          break;
        case SQLITE_BLOB:
          values << QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, c)),
                                        sqlite3_column_bytes(stmt, c)));
          break;
        default:
          values << QVariant();
      }
    }
    result = row(values);
    if (!result) break;
  }
  if (result && rc != SQLITE_DONE) result = Status::failure(failure(rc));
  sqlite3_finalize(stmt);
  return result;
}

}  // namespace exchange
