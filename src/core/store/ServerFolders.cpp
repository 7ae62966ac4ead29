#include "store/ServerFolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include "store/ContentStores.h"
#include "store/Database.h"
#include "store/Dialect.h"
#include "store/FolderFiles.h"
#include "store/Parameters.h"
#include "store/RolloverFiles.h"
#include "store/SchemaTables.h"
#include "store/ServerConnection.h"
#include "store/Sql.h"
#include "store/SqlErrors.h"
#include "store/Store.h"
#include "store/StoreFiles.h"

namespace store {

namespace {

const QString kTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm");

// A read-only snapshot of the server: every table is read as it was at its
// first statement, whatever boards commit meanwhile. Inside a writing
// transaction (the rollover's backup) the caller's turn keeps every other
// writer out already, and a BEGIN there would end the caller's transaction.
class Snapshot {
 public:
  explicit Snapshot(const QSqlDatabase& db) : m_db(db) {
    if (!dialectOf(m_db).outsideTransaction(m_db)) {
      // Inside the rollover's own transaction: the same lifted limit, for the rest of it.
      QSqlQuery limit(m_db);
      m_active = limit.exec(QStringLiteral("SET LOCAL statement_timeout = 0"));
      if (!m_active) m_error = statementErrorText(limit.lastError(), m_db);
      return;
    }
    QSqlQuery q(m_db);
    m_own = m_active = q.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    // Reading a whole school's answers into files may well take longer than a
    // board's limit on one statement; it is the administrator's own command.
    if (m_active && !q.exec(QStringLiteral("SET LOCAL statement_timeout = 0"))) {
      (void)QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
      m_own = m_active = false;
    }
    if (!m_active) m_error = statementErrorText(q.lastError(), m_db);
  }
  ~Snapshot() {
    if (!m_own) return;
    QSqlQuery q(m_db);
    (void)q.exec(QStringLiteral("ROLLBACK"));
  }
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  bool active() const { return m_active; }
  const QString& error() const { return m_error; }

 private:
  QSqlDatabase m_db;
  bool m_active = false;
  bool m_own = false;
  QString m_error;
};

// A checksum over rows of values, the same whichever database they were read
// from: each value's length and bytes in order. A missing picture may come as
// NULL from one driver and as no bytes from the other: both are no bytes.
class RowDigest {
 public:
  void add(const QSqlQuery& row, int columns) {
    for (int i = 0; i < columns; ++i) {
      const QByteArray bytes = row.value(i).toByteArray();
      const qint64 size = bytes.size();
      m_hash.addData(QByteArrayView(reinterpret_cast<const char*>(&size), sizeof size));
      m_hash.addData(bytes);
    }
    ++m_rows;
  }
  qint64 rows() const { return m_rows; }
  QByteArray result() const { return m_hash.result(); }

 private:
  QCryptographicHash m_hash{QCryptographicHash::Sha256};
  qint64 m_rows = 0;
};

struct ContentCopy {
  qint64 rows = 0;
  QByteArray digest;  // RowDigest of the server's rows as read
};

QString insertSql(const QString& table, const QStringList& columns) {
  return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
      .arg(table, columns.join(QLatin1Char(',')),
           QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')));
}

// Copies every row the server's `select` gives into `insert` on the folder's
// connection; the number of rows.
Result<qint64> copyRows(const QSqlDatabase& server, const QString& select, QSqlQuery& insert,
                        int columnCount) {
  using R = Result<qint64>;
  Result<QSqlQuery> rows = exec(select, {}, server);
  if (!rows) return R::failure(rows.error());
  qint64 n = 0;
  while (rows.value().next()) {
    for (int i = 0; i < columnCount; ++i) insert.bindValue(i, rows.value().value(i));
    if (!insert.exec()) return R::failure(sqlErrorText(insert.lastError()));
    ++n;
  }
  if (rows.value().lastError().isValid())
    return R::failure(statementErrorText(rows.value().lastError(), server));
  return n;
}

Status copyMainTables(const QSqlDatabase& server, const QSqlDatabase& folder, const QString& school,
                      FolderFigures& figures, const std::function<void(const QString&)>& progress) {
  if (Status s = createMainTables(folder); !s) return s;
  Transaction tx(folder);
  if (!tx.active()) return Status::failure(QStringLiteral("İşlem başlatılamadı."));
  for (const TableDef& t : mainTables()) {
    if (progress) progress(QStringLiteral("%1 yazılıyor...").arg(t.name));
    const QStringList columns = t.columnNames();
    QSqlQuery insert(folder);
    if (!insert.prepare(insertSql(t.name, columns)))
      return Status::failure(sqlErrorText(insert.lastError()));
    Result<qint64> n = copyRows(
        server, QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), t.name),
        insert, int(columns.size()));
    if (!n) return Status::failure(QStringLiteral("%1: %2").arg(t.name, n.error()));
    figures.rows += n.value();
    ++figures.tables;
  }
  if (Status s = run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,"
                                    "PARAMETREACIKLAMA) VALUES (?,?,'')"),
                     {kExportedFrom, school}, folder);
      !s)
    return s;
  return tx.commit();
}

// The server's one content table of a kind into numbered store files, a new
// file begun whenever the one being written has reached the size a board's
// store may have.
Result<ContentCopy> copyContents(const QSqlDatabase& server, const QString& folder,
                                 StoreKind kind) {
  using R = Result<ContentCopy>;
  const TableDef& def = storeTable(kind == StoreKind::Question).table;
  const QStringList columns = def.columnNames().mid(1);  // the key and the two contents
  Result<QSqlQuery> rows =
      exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY ID")
               .arg(columns.join(QLatin1Char(',')), ContentStores::tableRef(kind, kFirstStore)),
           {}, server);
  if (!rows) return R::failure(rows.error());
  RowDigest digest;
  int n = kFirstStore;
  qint64 bytes = 0;
  bool more = rows.value().next();
  if (rows.value().lastError().isValid())
    return R::failure(statementErrorText(rows.value().lastError(), server));
  do {
    const QString path = storePath(folder, kind, n);
    if (Status s = createStoreFile(kind, path); !s) return R::failure(s.error());
    const QString name = QStringLiteral("export-store");
    Status written;
    {
      Result<QSqlDatabase> db = openFile(name, path);
      if (!db) return R::failure(db.error());
      Transaction tx(db.value());
      QSqlQuery insert(db.value());
      if (!insert.prepare(insertSql(def.name, columns))) {
        written = Status::failure(sqlErrorText(insert.lastError()));
      } else {
        bytes = 0;
        while (more && bytes < kStoreSizeLimit) {
          for (int i = 0; i < int(columns.size()); ++i) {
            insert.bindValue(i, rows.value().value(i));
            bytes += rows.value().value(i).toByteArray().size();
          }
          if (!insert.exec()) {
            written = Status::failure(sqlErrorText(insert.lastError()));
            break;
          }
          digest.add(rows.value(), int(columns.size()));
          more = rows.value().next();
        }
        if (written.ok()) written = tx.commit();
      }
    }
    closeFile(name);
    if (!written) return R::failure(written.error());
    ++n;
  } while (more && n <= kLastStoreNumber);
  if (more) return R::failure(QStringLiteral("İçerik depolarına sığmadı."));
  return ContentCopy{digest.rows(), digest.result()};
}

// The server's files into the folder, with the checksum of each as the server gave it.
Result<QMap<QString, QByteArray>> copyFiles(const QSqlDatabase& server, const QString& folder) {
  using R = Result<QMap<QString, QByteArray>>;
  QMap<QString, QByteArray> written;
  const Status copied = FolderFiles::eachFile(
      server, [&](const QString& relative, const QByteArray& content) -> Status {
        const QString path = QDir(folder).filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
          return Status::failure(QStringLiteral("%1 yazılamadı.").arg(relative));
        written.insert(relative, QCryptographicHash::hash(content, QCryptographicHash::Sha256));
        return {};
      });
  if (!copied) return R::failure(copied.error());
  return written;
}

// The copy against the server, read in the same snapshot: the row count of
// every table, and the content and media rows byte for byte (their checksums).
// A copy that fails here is no backup.
Status verifyCopy(const QSqlDatabase& server, const QString& root,
                  const QMap<StoreKind, ContentCopy>& contents,
                  const QMap<QString, QByteArray>& files) {
  const auto differs = [](const QString& what) {
    return Status::failure(
        QStringLiteral("Yazılan kopya sunucudakiyle aynı değil (%1).").arg(what));
  };
  const QString name = QStringLiteral("export-check");
  Status checked;
  {
    Result<QSqlDatabase> folder =
        openFile(name, QDir(root).filePath(kMainName + QStringLiteral(".db")));
    if (!folder) checked = Status::failure(folder.error());
    for (const TableDef& t : mainTables()) {
      if (!checked) break;
      const QString count = QStringLiteral("SELECT COUNT(*) FROM %1").arg(t.name);
      const Result<QVariant> there = scalar(count, {}, server);
      const Result<QVariant> here = scalar(count, {}, folder.value());
      if (!there || !here) {
        checked = Status::failure(!there ? there.error() : here.error());
        break;
      }
      // The copy names the school it came from in one row of its own.
      const qint64 extra = t.name == QStringLiteral("TABLEPARAMETRE") ? 1 : 0;
      if (here->toLongLong() != there->toLongLong() + extra) checked = differs(t.name);
    }
  }
  closeFile(name);
  if (!checked) return checked;
  for (auto c = contents.cbegin(); c != contents.cend(); ++c) {
    const StoreKind kind = c.key();
    const TableDef& def = storeTable(kind == StoreKind::Question).table;
    const QStringList columns = def.columnNames().mid(1);
    const Result<QVariant> there = scalar(
        QStringLiteral("SELECT COUNT(*) FROM %1").arg(ContentStores::tableRef(kind, kFirstStore)),
        {}, server);
    if (!there) return Status::failure(there.error());
    RowDigest digest;
    for (int n = kFirstStore; n <= kLastStoreNumber && checked; ++n) {
      const QString path = storePath(root, kind, n);
      if (!QFileInfo::exists(path)) break;
      {
        Result<QSqlDatabase> db = openFile(name, path);
        Result<QSqlQuery> rows = db ? exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY ID")
                                               .arg(columns.join(QLatin1Char(',')), def.name),
                                           {}, db.value())
                                    : Result<QSqlQuery>::failure(db.error());
        if (!rows) checked = Status::failure(rows.error());
        while (checked && rows.value().next()) digest.add(rows.value(), int(columns.size()));
      }
      closeFile(name);
    }
    if (!checked) return checked;
    if (digest.rows() != there->toLongLong() || digest.rows() != c.value().rows ||
        digest.result() != c.value().digest)
      return differs(def.name == QStringLiteral("TABLESORU") ? QStringLiteral("soru içerikleri")
                                                             : QStringLiteral("test içerikleri"));
  }
  for (auto f = files.cbegin(); f != files.cend(); ++f) {
    QFile file(QDir(root).filePath(f.key()));
    if (!file.open(QIODevice::ReadOnly) ||
        QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256) != f.value())
      return differs(f.key());
  }
  return {};
}

}  // namespace

Result<QString> folderIdentity(Store& store) {
  using R = Result<QString>;
  if (store.onServer()) return R::failure(QStringLiteral("Sunucunun veri klasörü kimliği yok."));
  Result<QString> id = ParametreAl(store, kFolderIdentity);
  if (!id) return id;
  if (!id->isEmpty()) return id;
  const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
  if (Status s = ParametreKaydet(store, kFolderIdentity, made); !s) return R::failure(s.error());
  return made;
}

Result<QString> schoolIdentity(Store& store, bool make) {
  using R = Result<QString>;
  if (!make) return ParametreAl(store, kSchoolIdentity);
  // Inside a writer's turn: two exports at once agree on one identity.
  Transaction tx(store);
  Result<QString> id = ParametreAl(store, kSchoolIdentity);
  if (!id || !id->isEmpty()) return id;
  const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
  if (Status s = ParametreKaydet(store, kSchoolIdentity, made); !s) return R::failure(s.error());
  if (Status s = tx.commit(); !s) return R::failure(s.error());
  return made;
}

QString exportedCopyMessage() {
  return QStringLiteral(
      "Bu veri klasörü bu sunucudan dışa aktarılmış bir kopya; içindekiler sunucuda zaten var. "
      "Sunucuya yeniden aktarılmaz.");
}

QString importTimeText(const QDateTime& when) { return when.toString(kTimeFormat); }

QDateTime importTimeFromText(const QString& text) {
  return QDateTime::fromString(text, kTimeFormat);
}

Result<QDateTime> folderImportedAt(const Store& store, const QString& identity) {
  Result<QSqlQuery> q = store.exec(
      QStringLiteral("SELECT PARAMETREACIKLAMA FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                     "PARAMETREDEGERI=?"),
      {kImportedFolder, identity});
  if (!q) return Result<QDateTime>::failure(q.error());
  if (!q.value().next()) return QDateTime();
  const QDateTime when = importTimeFromText(q.value().value(0).toString());
  // A record whose time cannot be read still says the folder came in.
  return when.isValid() ? when : QDateTime::fromSecsSinceEpoch(0);
}

QString alreadyImportedMessage(const QDateTime& when) {
  return QStringLiteral("Bu veri klasörü %1'de sunucuya aktarıldı.").arg(importTimeText(when));
}

bool exportComplete(const QString& folder) {
  return QFileInfo::exists(QDir(folder).filePath(kExportMarker));
}

Result<FolderFigures> exportFolder(Store& server, const QString& folder,
                                   const std::function<void(const QString&)>& progress) {
  using R = Result<FolderFigures>;
  if (!server.onServer() || !server.isOpen())
    return R::failure(QStringLiteral("Dışa aktarım için sunucuya bağlı olunmalı."));
  const QDir dir(folder);
  if (dir.exists() && !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
    return R::failure(
        QStringLiteral("%1 klasörü boş değil. Sunucunun verileri boş ya da henüz olmayan bir "
                       "klasöre yazılır.")
            .arg(QDir::toNativeSeparators(folder)));
  if (!QDir().mkpath(folder))
    return R::failure(
        QStringLiteral("%1 klasörü oluşturulamadı.").arg(QDir::toNativeSeparators(folder)));
  const QString root = QDir(folder).absolutePath();

  Result<QString> school = schoolIdentity(server, true);
  if (!school) return R::failure(school.error());
  FolderFigures figures;
  Status done;
  {
    Snapshot snapshot(server.db());
    if (!snapshot.active()) return R::failure(snapshot.error());
    const QString name = QStringLiteral("export-main");
    {
      Result<QSqlDatabase> db =
          openFile(name, QDir(root).filePath(kMainName + QStringLiteral(".db")));
      done = db ? copyMainTables(server.db(), db.value(), school.value(), figures, progress)
                : Status::failure(db.error());
    }
    closeFile(name);
    QMap<StoreKind, ContentCopy> contents;
    for (StoreKind kind : {StoreKind::Question, StoreKind::Test}) {
      if (!done) break;
      if (progress)
        progress(kind == StoreKind::Question ? QStringLiteral("Soru içerikleri yazılıyor...")
                                             : QStringLiteral("Test içerikleri yazılıyor..."));
      Result<ContentCopy> n = copyContents(server.db(), root, kind);
      if (!n)
        done = Status::failure(n.error());
      else
        (kind == StoreKind::Question ? figures.questionContents : figures.testContents) = n->rows;
      if (n) contents.insert(kind, n.value());
    }
    QMap<QString, QByteArray> files;
    if (done) {
      if (progress) progress(QStringLiteral("Ses, video ve fotoğraf dosyaları yazılıyor..."));
      Result<QMap<QString, QByteArray>> written = copyFiles(server.db(), root);
      if (!written)
        done = Status::failure(written.error());
      else
        files = written.value();
      figures.files = files.size();
    }
    if (done) {
      if (progress) progress(QStringLiteral("Kopya sunucudakiyle karşılaştırılıyor..."));
      done = verifyCopy(server.db(), root, contents, files);
    }
  }
  // Written last: a folder without it is no finished copy.
  if (done) done = markBackupComplete(Backup{QString(), root});
  if (!done) {
    // The folder was empty: what this export wrote goes, nothing else was there.
    QDir(root).removeRecursively();
    return R::failure(done.error());
  }
  return figures;
}

}  // namespace store
