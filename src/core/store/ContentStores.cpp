#include "store/ContentStores.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include "store/ContentCache.h"
#include "store/Database.h"
#include "store/Dialect.h"
#include "store/ServerConnection.h"
#include "store/Sql.h"
#include "store/SqlErrors.h"
#include "store/Store.h"

namespace store {

namespace {

struct Layout {
  QString prefix;  // schema name prefix on the shared connection
  QString table;
  QString key;
  QString first;
  QString second;
};

const Layout& layout(StoreKind kind) {
  static const Layout question{QStringLiteral("SORU"), QStringLiteral("TABLESORU"),
                               QStringLiteral("SORUNO"), QStringLiteral("SORU"),
                               QStringLiteral("COZUM")};
  static const Layout test{QStringLiteral("TEST"), QStringLiteral("TABLETEST"),
                           QStringLiteral("TESTNO"), QStringLiteral("BASLANGICEKRANI"),
                           QStringLiteral("BASLIK")};
  return kind == StoreKind::Question ? question : test;
}

struct AttachedFile {
  QString name;
  QString file;
};

bool isStoreSchema(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^(SORU|TEST)\\d+$"),
                                          QRegularExpression::CaseInsensitiveOption);
  return pattern.match(name).hasMatch();
}

QList<AttachedFile> attachedFiles(const QSqlDatabase& db) {
  QList<AttachedFile> out;
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("PRAGMA database_list"))) return out;
  while (q.next()) {
    const QString name = q.value(1).toString();
    if (name == QLatin1String("main") || name == QLatin1String("temp")) continue;
    out << AttachedFile{name, q.value(2).toString()};
  }
  return out;
}

bool sameFile(const QString& a, const QString& b) {
  const QString ca = QFileInfo(a).canonicalFilePath();
  return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

// Fails while the schema is in use by the running transaction.
bool detach(const QSqlDatabase& db, const QString& name) {
  QSqlQuery q(db);
  return q.exec(QStringLiteral("DETACH DATABASE ") + name);
}

QString storeMessage(StoreKind kind, int n, const QString& error) {
  return QStringLiteral("İçerik deposuna erişilemedi (%1): %2").arg(storeFileName(kind, n), error);
}

sqlite3* handleOf(const QSqlDatabase& db) {
  const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
  if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
  return *static_cast<sqlite3* const*>(v.constData());
}

bool inTransaction(const QSqlDatabase& db) {
  sqlite3* h = handleOf(db);
  return h && sqlite3_get_autocommit(h) == 0;
}

// True when the running transaction has already read or written the schema (it
// stays locked to the transaction and cannot be detached before it ends).
bool touchedByTransaction(const QSqlDatabase& db, const QString& schema) {
  sqlite3* h = handleOf(db);
  return h && sqlite3_txn_state(h, schema.toUtf8().constData()) > SQLITE_TXN_NONE;
}

QVariant blob(const QByteArray& bytes) { return QVariant(bytes); }

}  // namespace

// Attaches the store unless it is attached; with `mayEvict`, a store the running
// transaction has not touched is detached when the slots are all taken.
Status ContentStores::attachStore(StoreKind kind, int n, bool mayEvict) {
  const QSqlDatabase db = m_store.db();
  if (!db.isOpen()) return Status::failure(QStringLiteral("Veritabanı bağlantısı açık değil."));
  // On a school's server the stores are schemas of the one database.
  if (m_store.onServer()) return {};
  const QString name = schemaName(kind, n);
  const QString path = this->path(kind, n);
  if (!QFile::exists(path))
    return Status::failure(storeMessage(kind, n, QStringLiteral("dosya yok")));

  QList<AttachedFile> files = attachedFiles(db);
  for (qsizetype i = 0; i < files.size(); ++i) {
    if (files[i].name.compare(name, Qt::CaseInsensitive) != 0) continue;
    if (sameFile(files[i].file, path)) return {};
    // Same name, other file (the data folder changed under an open connection).
    if (!detach(db, name))
      return Status::failure(storeMessage(kind, n, QStringLiteral("depo değiştirilemedi")));
    files.removeAt(i);
    break;
  }

  // Keeps the newest stores, which take every new row; any other store that the
  // running transaction has not touched may go.
  const QStringList keep{schemaName(StoreKind::Question, last(StoreKind::Question)),
                         schemaName(StoreKind::Test, last(StoreKind::Test))};
  auto makeRoom = [&]() {
    if (!mayEvict) return false;
    for (qsizetype i = 0; i < files.size(); ++i) {
      if (!isStoreSchema(files[i].name) || keep.contains(files[i].name, Qt::CaseInsensitive))
        continue;
      if (detach(db, files[i].name)) {
        files.removeAt(i);
        return true;
      }
    }
    return false;
  };
  qsizetype stores = 0;
  for (const AttachedFile& f : files) stores += isStoreSchema(f.name) ? 1 : 0;
  if (stores >= kMaxAttachedStores && !makeRoom())
    return Status::failure(storeMessage(
        kind, n,
        QStringLiteral("aynı anda en çok %1 içerik deposu açılabilir").arg(kMaxAttachedStores)));

  if (Status s = settleFile(path); !s) return Status::failure(storeMessage(kind, n, s.error()));
  for (int attempt = 0; attempt < 2; ++attempt) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + name);
    q.addBindValue(path);
    if (q.exec()) {
      // An attached file gets SQLite's default journal mode and sync level, not
      // the main one's.
      QSqlQuery modes(db);
      (void)modes.exec(QStringLiteral("PRAGMA %1.journal_mode=TRUNCATE").arg(name));
      (void)modes.exec(QStringLiteral("PRAGMA %1.synchronous=FULL").arg(name));
      return {};
    }
    // Other work may hold the remaining slots of the connection.
    if (attempt == 1 || !makeRoom())
      return Status::failure(storeMessage(kind, n, sqlErrorText(q.lastError())));
  }
  return {};
}

// More stores on disk than attachment slots.
bool ContentStores::crowded() const {
  return numbers(StoreKind::Question).size() + numbers(StoreKind::Test).size() > kMaxAttachedStores;
}

// Runs `body` on the store, through the shared connection when it can: it sees the
// caller's uncommitted rows. When the stores do not all fit and a transaction is
// running, a store the transaction has not touched is read through a separate
// connection instead (it holds nothing uncommitted then): a read would tie the store
// to the transaction and reading every store would use up the slots.
Status ContentStores::withStoreForReading(
    StoreKind kind, int n, const std::function<Status(const QSqlDatabase&, const QString&)>& body) {
  const QSqlDatabase shared = m_store.db();
  if (!shared.isOpen()) return Status::failure(closedConnectionText(shared));
  if (m_store.onServer()) return body(shared, tableRef(kind, n));
  const QString schema = schemaName(kind, n);
  bool useShared = false;
  if (!crowded())
    useShared = attachStore(kind, n, false).ok();
  else if (!inTransaction(shared))
    useShared = attachStore(kind, n, true).ok();
  else
    useShared = touchedByTransaction(shared, schema) && attachStore(kind, n, false).ok();
  if (useShared) return body(shared, tableRef(kind, n));
  const QString path = this->path(kind, n);
  if (!QFile::exists(path))
    return Status::failure(storeMessage(kind, n, QStringLiteral("dosya yok")));
  const QString name = QStringLiteral("content-read");
  Status status;
  {
    Result<QSqlDatabase> side = openFile(name, path);
    status = side ? body(side.value(), layout(kind).table)
                  : Status::failure(storeMessage(kind, n, side.error()));
  }
  closeFile(name);
  return status;
}

Result<bool> ContentStores::hasKey(StoreKind kind, int n, const QString& key) {
  bool has = false;
  const Layout& l = layout(kind);
  Status s =
      withStoreForReading(kind, n, [&](const QSqlDatabase& db, const QString& ref) -> Status {
        Result<QSqlQuery> q =
            exec(QStringLiteral("SELECT 1 FROM %1 WHERE %2=? LIMIT 1").arg(ref, l.key), {key}, db);
        if (!q) return Status::failure(storeMessage(kind, n, q.error()));
        has = q.value().next();
        return {};
      });
  if (!s) return Result<bool>::failure(s.error());
  return has;
}

Result<int> ContentStores::find(StoreKind kind, const QString& key) {
  for (int n : numbers(kind)) {
    if (n == kFirstStore) continue;
    Result<bool> has = hasKey(kind, n, key);
    if (!has) return Result<int>::failure(has.error());
    if (has.value()) return n;
  }
  return kFirstStore;
}

Result<qint64> ContentStores::storeSize(StoreKind kind, int n) {
  // A server table has no file to keep under the limit.
  if (m_store.onServer()) return qint64(0);
  const QString schema = schemaName(kind, n);
  const Result<QVariant> pages = m_store.scalar(QStringLiteral("PRAGMA %1.page_count").arg(schema));
  const Result<QVariant> pageSize =
      m_store.scalar(QStringLiteral("PRAGMA %1.page_size").arg(schema));
  if (!pages || !pageSize || !pages->isValid() || !pageSize->isValid())
    return Result<qint64>::failure(storeMessage(kind, n, QStringLiteral("boyut okunamadı")));
  return pages->toLongLong() * pageSize->toLongLong();
}

// The newest store, after beginning the next one when the newest is full. When no
// further store can be made the newest takes the row anyway: refusing to save would
// lose the user's work, and SQLite has no 2 GB limit.
Result<int> ContentStores::newestWithRoom(StoreKind kind) {
  int n = last(kind);
  for (int guard = 0; guard < kLastStoreNumber; ++guard) {
    n = last(kind);
    if (Status s = attach(kind, n); !s) return Result<int>::failure(s.error());
    Result<qint64> size = storeSize(kind, n);
    if (!size) return Result<int>::failure(size.error());
    if (size.value() <= sizeLimit()) break;
    Result<int> next = create(kind);
    if (!next) {
      m_store.log(next.error());
      break;
    }
  }
  if (Status s = attach(kind, n); !s) return Result<int>::failure(s.error());
  return n;
}

QString ContentStores::path(StoreKind kind, int n) const {
  return storePath(m_store.root(), kind, n);
}

QList<int> ContentStores::numbers(StoreKind kind) const {
  QList<int> out{kFirstStore};
  if (m_store.onServer()) return out;
  for (int n = kFirstStore + 1; n <= kLastStoreNumber; ++n) {
    if (!QFile::exists(path(kind, n))) break;
    out << n;
  }
  return out;
}

int ContentStores::last(StoreKind kind) const { return numbers(kind).constLast(); }

Result<int> ContentStores::create(StoreKind kind) {
  if (m_store.onServer()) return kFirstStore;  // the one table takes every row
  for (int n = kFirstStore; n <= kLastStoreNumber; ++n) {
    const QString path = this->path(kind, n);
    if (QFile::exists(path)) continue;
    if (Status s = createStoreFile(kind, path); !s) {
      // A half-made file would count as a store from now on.
      for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(path + QLatin1String(suffix));
      return Result<int>::failure(QStringLiteral("Yeni içerik deposu oluşturulamadı (%1): %2")
                                      .arg(storeFileName(kind, n), s.error()));
    }
    m_store.log(QStringLiteral("Yeni içerik deposu: ") + storeFileName(kind, n));
    return n;
  }
  return Result<int>::failure(
      QStringLiteral("İçerik deposu sayısı sınıra (%1) ulaştı; yeni depo oluşturulamadı.")
          .arg(kLastStoreNumber));
}

void ContentStores::setSizeLimit(qint64 bytes) {
  m_sizeLimit = bytes > 0 ? bytes : kStoreSizeLimit;
}

QString ContentStores::schemaName(StoreKind kind, int n) {
  return layout(kind).prefix + QString::number(n);
}

QString ContentStores::tableRef(StoreKind kind, int n) {
  return schemaName(kind, n) + QLatin1Char('.') + layout(kind).table;
}

Status ContentStores::attach(StoreKind kind, int n) { return attachStore(kind, n, true); }

Status ContentStores::attachAll() {
  // Newest first, so the stores that take new rows are never the ones left out.
  QList<QPair<StoreKind, int>> order;
  QList<int> questions = numbers(StoreKind::Question);
  QList<int> tests = numbers(StoreKind::Test);
  order << qMakePair(StoreKind::Question, questions.takeLast())
        << qMakePair(StoreKind::Test, tests.takeLast());
  while (!questions.isEmpty() || !tests.isEmpty()) {
    if (!questions.isEmpty()) order << qMakePair(StoreKind::Question, questions.takeLast());
    if (!tests.isEmpty()) order << qMakePair(StoreKind::Test, tests.takeLast());
  }
  Status first;
  int attachedCount = 0;
  for (const auto& [kind, n] : order) {
    if (attachedCount >= kMaxAttachedStores) break;
    Status s = attach(kind, n);
    if (s)
      ++attachedCount;
    else if (first)
      first = s;
  }
  return first;
}

void ContentStores::detachAll() {
  const QSqlDatabase db = m_store.db();
  if (!db.isOpen() || m_store.onServer()) return;
  for (const AttachedFile& f : attachedFiles(db))
    if (isStoreSchema(f.name)) (void)detach(db, f.name);
}

QStringList ContentStores::attached() const {
  const QSqlDatabase db = m_store.db();
  QStringList out;
  if (!db.isOpen()) return out;
  if (m_store.onServer())
    return {schemaName(StoreKind::Question, kFirstStore), schemaName(StoreKind::Test, kFirstStore)};
  for (const AttachedFile& f : attachedFiles(db))
    if (isStoreSchema(f.name)) out << f.name;
  return out;
}

Result<StoreContent> ContentStores::read(StoreKind kind, const QString& key) {
  Result<int> n = find(kind, key);
  if (!n) return Result<StoreContent>::failure(n.error());
  const Layout& l = layout(kind);
  StoreContent content;
  Status s = withStoreForReading(
      kind, n.value(), [&](const QSqlDatabase& db, const QString& ref) -> Status {
        Result<QSqlQuery> q =
            exec(QStringLiteral("SELECT %1,%2 FROM %3 WHERE %4=? ORDER BY ID LIMIT 1")
                     .arg(l.first, l.second, ref, l.key),
                 {key}, db);
        if (!q) return Status::failure(storeMessage(kind, n.value(), q.error()));
        if (q.value().next()) {
          content.first = q.value().value(0).toByteArray();
          content.second = q.value().value(1).toByteArray();
          content.store = n.value();
        }
        return {};
      });
  if (!s) return Result<StoreContent>::failure(s.error());
  return content;
}

Result<StoreContent> ContentStores::readKept(StoreKind kind, const QString& key) {
  using R = Result<StoreContent>;
  if (!m_store.onServer()) return read(kind, key);
  const Layout& l = layout(kind);
  const QString ref = tableRef(kind, kFirstStore);
  const Dialect& dialect = dialectOf(m_store.db());
  Result<QSqlQuery> q =
      m_store.exec(QStringLiteral("SELECT %1,%2 FROM %3 WHERE %4=? ORDER BY ID LIMIT 1")
                       .arg(dialect.digestSql(l.first), dialect.digestSql(l.second), ref, l.key),
                   {key});
  if (!q) return R::failure(q.error());
  StoreContent content;
  if (!q.value().next()) return content;
  const QString firstDigest = q.value().value(0).toString();
  const QString secondDigest = q.value().value(1).toString();
  q.value().finish();
  content.store = kFirstStore;

  const ContentCache cache(m_store.root());
  // A column without content (NULL) has no digest and stays empty.
  std::optional<QByteArray> first =
      firstDigest.isEmpty() ? std::optional<QByteArray>(QByteArray()) : cache.read(firstDigest);
  std::optional<QByteArray> second =
      secondDigest.isEmpty() ? std::optional<QByteArray>(QByteArray()) : cache.read(secondDigest);
  QStringList missing;
  if (!first) missing << l.first;
  if (!second) missing << l.second;
  if (!missing.isEmpty()) {
    Result<QSqlQuery> f =
        m_store.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3=? ORDER BY ID LIMIT 1")
                         .arg(missing.join(QLatin1Char(',')), ref, l.key),
                     {key});
    if (!f) return R::failure(f.error());
    if (!f.value().next()) return StoreContent{};  // removed in between
    int column = 0;
    for (std::optional<QByteArray>* part : {&first, &second}) {
      if (*part) continue;
      *part = f.value().value(column++).toByteArray();
      // A cache that cannot be written (a full disk) costs a fetch next time,
      // never the picture now.
      if (!(*part)->isEmpty()) (void)cache.put(**part);
    }
  }
  content.first = *first;
  content.second = *second;
  return content;
}

Status ContentStores::write(StoreKind kind, const QString& key,
                            const std::optional<QByteArray>& first,
                            const std::optional<QByteArray>& second) {
  if (!first && !second) return {};
  const Layout& l = layout(kind);
  Transaction tx(m_store);
  if (!tx.active()) return Status::failure(notStartedText(m_store.db()));

  Result<int> holder = find(kind, key);
  if (!holder) return Status::failure(holder.error());
  // Any store but 2 was named because it holds the key; store 2 is the fallback.
  Result<bool> has =
      holder.value() != kFirstStore ? Result<bool>(true) : hasKey(kind, holder.value(), key);
  if (!has) return Status::failure(has.error());

  if (has.value()) {
    if (Status s = attach(kind, holder.value()); !s) return s;
    QStringList sets;
    QVariantList params;
    if (first) {
      sets << l.first + QStringLiteral("=?");
      params << blob(*first);
    }
    if (second) {
      sets << l.second + QStringLiteral("=?");
      params << blob(*second);
    }
    params << key;
    if (Status s = m_store.run(
            QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
                .arg(tableRef(kind, holder.value()), sets.join(QLatin1Char(',')), l.key),
            params);
        !s)
      return Status::failure(storeMessage(kind, holder.value(), s.error()));
  } else {
    Result<int> target = newestWithRoom(kind);
    if (!target) return Status::failure(target.error());
    if (Status s = m_store.run(
            QStringLiteral("INSERT INTO %1 (%2,%3,%4) VALUES (?,?,?)")
                .arg(tableRef(kind, target.value()), l.key, l.first, l.second),
            {key, first ? blob(*first) : QVariant(), second ? blob(*second) : QVariant()});
        !s)
      return Status::failure(storeMessage(kind, target.value(), s.error()));
  }
  return tx.commit();
}

Status ContentStores::copy(StoreKind kind, const QString& from, const QString& to) {
  if (from == to) return {};
  Transaction tx(m_store);
  if (!tx.active()) return Status::failure(notStartedText(m_store.db()));
  Result<StoreContent> content = read(kind, from);
  if (!content) return Status::failure(content.error());
  if (!content->found()) return tx.commit();
  if (Status s = remove(kind, to); !s) return s;
  if (Status s = write(kind, to, content->first, content->second); !s) return s;
  return tx.commit();
}

Status ContentStores::rename(StoreKind kind, const QString& from, const QString& to) {
  if (from == to) return {};
  const Layout& l = layout(kind);
  Transaction tx(m_store);
  if (!tx.active()) return Status::failure(notStartedText(m_store.db()));
  Result<StoreContent> content = read(kind, from);
  if (!content) return Status::failure(content.error());
  if (!content->found()) return tx.commit();
  // The renumbered content takes the place of whatever the new key had.
  if (Status s = remove(kind, to); !s) return s;
  for (int n : numbers(kind)) {
    Result<bool> has = hasKey(kind, n, from);
    if (!has) return Status::failure(has.error());
    if (!has.value()) continue;
    if (Status s = attach(kind, n); !s) return s;
    if (Status s = m_store.run(
            QStringLiteral("UPDATE %1 SET %2=? WHERE %2=?").arg(tableRef(kind, n), l.key),
            {to, from});
        !s)
      return Status::failure(storeMessage(kind, n, s.error()));
  }
  return tx.commit();
}

Status ContentStores::remove(StoreKind kind, const QString& key) {
  const Layout& l = layout(kind);
  Transaction tx(m_store);
  if (!tx.active()) return Status::failure(notStartedText(m_store.db()));
  for (int n : numbers(kind)) {
    // Stores without the key are skipped: a store that cannot be attached (too many
    // stores) fails the deletion only when it really holds the key.
    Result<bool> has = hasKey(kind, n, key);
    if (!has) return Status::failure(has.error());
    if (!has.value()) continue;
    if (Status s = attach(kind, n); !s) return s;
    if (Status s = m_store.run(
            QStringLiteral("DELETE FROM %1 WHERE %2=?").arg(tableRef(kind, n), l.key), {key});
        !s)
      return Status::failure(storeMessage(kind, n, s.error()));
  }
  return tx.commit();
}

Status ContentStores::forEach(StoreKind kind, const Visitor& visit) {
  const Layout& l = layout(kind);
  bool go = true;
  for (int n : numbers(kind)) {
    Status s =
        withStoreForReading(kind, n, [&](const QSqlDatabase& db, const QString& ref) -> Status {
          Result<QSqlQuery> q = exec(QStringLiteral("SELECT %1,%2,%3 FROM %4 ORDER BY ID")
                                         .arg(l.key, l.first, l.second, ref),
                                     {}, db);
          if (!q) return Status::failure(storeMessage(kind, n, q.error()));
          while (go && q.value().next()) {
            StoreContent c{q.value().value(1).toByteArray(), q.value().value(2).toByteArray(), n};
            go = visit(q.value().value(0).toString(), c);
          }
          return {};
        });
    if (!s) return s;
    if (!go) break;
  }
  return {};
}

Result<QString> ContentStores::unionSql(StoreKind kind) {
  const Layout& l = layout(kind);
  const QList<int> all = numbers(kind);
  QStringList selects;
  for (int n : all) {
    if (Status s = attach(kind, n); !s) return Result<QString>::failure(s.error());
    selects << QStringLiteral("SELECT %1,%2,%3 FROM %4")
                   .arg(l.key, l.first, l.second, tableRef(kind, n));
  }
  // Attaching a later store may have made room by detaching an earlier one.
  const QStringList now = attached();
  for (int n : all)
    if (!now.contains(schemaName(kind, n), Qt::CaseInsensitive))
      return Result<QString>::failure(storeMessage(
          kind, n,
          QStringLiteral("aynı anda en çok %1 içerik deposu açılabilir").arg(kMaxAttachedStores)));
  return QLatin1Char('(') + selects.join(QStringLiteral(" UNION ALL ")) + QLatin1Char(')');
}

Result<QString> ContentStores::SonSoruDeposu() {
  const int n = last(StoreKind::Question);
  if (Status s = attach(StoreKind::Question, n); !s) return Result<QString>::failure(s.error());
  return tableRef(StoreKind::Question, n);
}

Result<QString> ContentStores::SonTestDeposu() {
  const int n = last(StoreKind::Test);
  if (Status s = attach(StoreKind::Test, n); !s) return Result<QString>::failure(s.error());
  return tableRef(StoreKind::Test, n);
}

QString ContentStores::SonSoruDeposuYolu() const {
  return path(StoreKind::Question, last(StoreKind::Question));
}

QString ContentStores::SonTestDeposuYolu() const {
  return path(StoreKind::Test, last(StoreKind::Test));
}

Result<QString> ContentStores::YeniSoruDeposu() {
  Result<int> n = create(StoreKind::Question);
  if (!n) return Result<QString>::failure(n.error());
  return path(StoreKind::Question, n.value());
}

Result<QString> ContentStores::YeniTestDeposu() {
  Result<int> n = create(StoreKind::Test);
  if (!n) return Result<QString>::failure(n.error());
  return path(StoreKind::Test, n.value());
}

Result<QString> ContentStores::SoruDeposuBul(const QString& soruNo) {
  const Result<int> n = find(StoreKind::Question, soruNo);
  if (!n) return Result<QString>::failure(n.error());
  // Store 2 is named without being looked at, even when its file is missing: a
  // statement on the reference then fails with its own error.
  (void)attach(StoreKind::Question, n.value());
  return tableRef(StoreKind::Question, n.value());
}

Result<QString> ContentStores::SoruKaynagi() {
  Result<QString> bare = unionSql(StoreKind::Question);
  if (!bare) return bare;
  return QStringLiteral(
             "(SELECT TABLESORU.*,AA.SORU AS SORU,AA.COZUM AS COZUM,AA.SORUNO AS DISTABLOSORUNO "
             "FROM main.TABLESORU INNER JOIN %1 AA ON AA.SORUNO=TABLESORU.SORUNO) AS TABLESORU")
      .arg(bare.value());
}

Result<QString> ContentStores::TestKaynagi() {
  Result<QString> bare = unionSql(StoreKind::Test);
  if (!bare) return bare;
  return QStringLiteral(
             "(SELECT TABLETEST.*,AA.BASLANGICEKRANI AS BASLANGICEKRANI,AA.BASLIK AS BASLIK,"
             "AA.TESTNO AS DISTABLOTESTNO FROM main.TABLETEST INNER JOIN %1 AA ON "
             "AA.TESTNO=TABLETEST.TESTNO)")
      .arg(bare.value());
}

Result<QString> ContentStores::TestIcerikBirlesim() { return unionSql(StoreKind::Test); }

}  // namespace store
