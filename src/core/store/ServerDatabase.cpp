#include "store/ServerDatabase.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QVariant>

#include "store/ContentStores.h"
#include "store/DataMigration.h"
#include "store/Dialect.h"
#include "store/FolderFiles.h"
#include "store/Schema.h"
#include "store/SchemaTables.h"
#include "store/ServerConnection.h"
#include "store/Sql.h"
#include "store/SqlErrors.h"
#include "store/StoreFiles.h"

namespace store {

namespace {

// The key of the advisory lock every schema change on a server holds.
const QString kSchemaLock = QStringLiteral("derslik-sema");

Status runPlain(const QString& sql, const QSqlDatabase& db) {
  // Function bodies hold "?" of their own: run as they are, not as a prepared
  // statement with placeholders.
  QSqlQuery q(db);
  if (!q.exec(sql)) return Status::failure(sqlErrorText(q.lastError()));
  return {};
}

enum class Found { Empty, Foreign, Derslik };

Result<Found> whatIsThere(const QSqlDatabase& db) {
  const Dialect& dialect = dialectOf(db);
  Result<QStringList> tables = dialect.tables(db);
  if (!tables) return Result<Found>::failure(tables.error());
  if (tables->isEmpty()) return Found::Empty;
  return tables->contains(QStringLiteral("TABLEVERSIYON")) ? Found::Derslik : Found::Foreign;
}

Result<int> storedVersion(const QSqlDatabase& db) {
  Result<QVariant> v =
      scalar(QStringLiteral("SELECT MAX(VAL(VTVERIVERSIYON)) FROM TABLEVERSIYON"), {}, db);
  if (!v) return Result<int>::failure(v.error());
  return v->isNull() ? 0 : int(v->toDouble());
}

// The functions a server holds are this program's when the version table carries
// the fingerprint of their definitions: a newer Derslik of the same data version
// with faster or mended functions puts its own in place at its first start.
QString functionsMark(const QSqlDatabase& db) {
  return QStringLiteral("derslik-islevler:") +
         QString::fromLatin1(
             QCryptographicHash::hash(dialectOf(db).functions().join(QLatin1Char('\n')).toUtf8(),
                                      QCryptographicHash::Sha256)
                 .toHex());
}

bool functionsCurrent(const QSqlDatabase& db) {
  const Result<QVariant> mark =
      scalar(QStringLiteral("SELECT obj_description(to_regclass('\"TABLEVERSIYON\"'), 'pg_class')"),
             {}, db);
  return mark && mark->toString() == functionsMark(db);
}

Status createFunctions(const QSqlDatabase& db) {
  for (const QString& f : dialectOf(db).functions())
    if (Status s = runPlain(f, db); !s) return s;
  return {};
}

Status markFunctions(const QSqlDatabase& db) {
  return runPlain(
      QStringLiteral("COMMENT ON TABLE \"TABLEVERSIYON\" IS '%1'").arg(functionsMark(db)), db);
}

// The question and test stores: on the server one table each, in the schema
// whose name a board's SQL uses for its first store ("SORU2.TABLESORU").
Status createContentStores(const QSqlDatabase& db) {
  const Dialect& dialect = dialectOf(db);
  for (StoreKind kind : {StoreKind::Question, StoreKind::Test}) {
    const QString schema = ContentStores::schemaName(kind, kFirstStore);
    TableDef def = storeTable(kind == StoreKind::Question).table;
    const QString key = def.columns.at(1).name;
    def.name = schema + QLatin1Char('.') + def.name;
    if (Status s = runPlain(QStringLiteral("CREATE SCHEMA IF NOT EXISTS ") + schema, db); !s)
      return s;
    if (Status s = runPlain(dialect.prepare(createTableSql(def, dialect)), db); !s) return s;
    if (Status s = runPlain(
            dialect.prepare(
                QStringLiteral("CREATE INDEX IF NOT EXISTS IX_%1 ON %2 (%1)").arg(key, def.name)),
            db);
        !s)
      return s;
  }
  // Sounds, videos and photos: read by every board, so there before the first read.
  return FolderFiles::createTable(db);
}

// Tables and columns a newer program has and the database lacks; functions are
// replaced by this program's.
Status upgradeStructure(const QSqlDatabase& db) {
  const Dialect& dialect = dialectOf(db);
  if (Status s = createFunctions(db); !s) return s;
  if (Status s = createContentStores(db); !s) return s;
  for (const TableDef& t : mainTables()) {
    if (Status s = runPlain(dialect.prepare(createTableSql(t, dialect)), db); !s) return s;
    Result<QStringList> have = dialect.columns(db, t.name);
    if (!have) return Status::failure(have.error());
    for (const ColumnDef& c : t.columns)
      if (!have->contains(c.name.toUpper()))
        if (Status s = runPlain(dialect.prepare(dialect.addColumnSql(t.name, c)), db); !s) return s;
  }
  return createIndexes(db);
}

Result<ServerInitReport> prepareSchema(const QSqlDatabase& db, bool mayCreate) {
  using R = Result<ServerInitReport>;
  ServerInitReport report;
  // Read once without the lock: a board at the current version goes on at once.
  Result<Found> found = whatIsThere(db);
  if (!found) return R::failure(found.error());
  if (*found == Found::Foreign) return R::failure(foreignDatabaseMessage());
  if (*found == Found::Empty && !mayCreate) return R::failure(noSchemaMessage());
  if (*found == Found::Derslik) {
    Result<int> v = storedVersion(db);
    if (!v) return R::failure(v.error());
    if (*v > serverSchemaVersion()) return R::failure(newerSchemaMessage());
    if (*v == serverSchemaVersion() && functionsCurrent(db)) {
      report.oldVersion = report.version = *v;
      return report;
    }
  }

  Transaction tx(db);
  if (!tx.active()) return R::failure(QStringLiteral("İşlem başlatılamadı."));
  // Boards that start at the same moment queue here; each looks again after its
  // turn, so the schema is made or upgraded once.
  if (Status s = dialectOf(db).takeTurn(db, kSchemaLock); !s) return R::failure(s.error());
  found = whatIsThere(db);
  if (!found) return R::failure(found.error());
  if (*found == Found::Foreign) return R::failure(foreignDatabaseMessage());
  if (*found == Found::Empty) {
    if (Status s = createFunctions(db); !s) return R::failure(s.error());
    if (Status s = createMainTables(db); !s) return R::failure(s.error());
    if (Status s = createContentStores(db); !s) return R::failure(s.error());
    if (Status s =
            run(QStringLiteral(
                    "INSERT INTO TABLEVERSIYON (VTYAPIVERSIYON,VTVERIVERSIYON) VALUES (?,?)"),
                {structureVersion(), QString::number(serverSchemaVersion())}, db);
        !s)
      return R::failure(s.error());
    if (Status s = seedNewDatabase(db); !s) return R::failure(s.error());
    if (Status s = markFunctions(db); !s) return R::failure(s.error());
    report.created = true;
  } else {
    Result<int> v = storedVersion(db);
    if (!v) return R::failure(v.error());
    report.oldVersion = *v;
    if (*v > serverSchemaVersion()) return R::failure(newerSchemaMessage());
    if (*v < serverSchemaVersion()) {
      if (Status s = upgradeStructure(db); !s) return R::failure(s.error());
      if (Status s =
              run(QStringLiteral("UPDATE TABLEVERSIYON SET VTYAPIVERSIYON=?, VTVERIVERSIYON=?"),
                  {structureVersion(), QString::number(serverSchemaVersion())}, db);
          !s)
        return R::failure(s.error());
      if (Status s = markFunctions(db); !s) return R::failure(s.error());
    } else if (!functionsCurrent(db)) {
      // Only the functions differ. A board whose user may not replace them goes on
      // with those the server has: they give the same results, only slower.
      if (Status s = createFunctions(db); !s || !markFunctions(db)) {
        tx.rollback();
        report.version = *v;
        return report;
      }
    }
  }
  if (Status s = tx.commit(); !s) return R::failure(s.error());
  report.version = serverSchemaVersion();
  return report;
}

}  // namespace

int serverSchemaVersion() { return kDataVersion; }

QString unreachableMessage(const QString& reason) {
  return QStringLiteral("Okul sunucusuna ulaşılamıyor: %1").arg(reason);
}
QString loginRefusedMessage() {
  return QStringLiteral("Sunucu kullanıcı adını ya da şifreyi kabul etmedi.");
}
QString noSchemaMessage() {
  return QStringLiteral(
      "Sunucudaki veritabanında Derslik'in tabloları yok. Önce şunu çalıştırın: derslik-cli "
      "--sunucu ADRES server init");
}
QString foreignDatabaseMessage() {
  return QStringLiteral("Bu veritabanı boş değil ve Derslik'e ait değil.");
}
QString newerSchemaMessage() {
  return QStringLiteral(
      "Sunucudaki veritabanı daha yeni bir Derslik sürümüne ait; bu tahtadaki Derslik'i "
      "güncelleyin.");
}

QString serverConnectionError(const QSqlError& error, const ServerAddress& address) {
  const QString text = error.databaseText() + QLatin1Char(' ') + error.driverText();
  const auto has = [&text](const char* s) {
    return text.contains(QLatin1String(s), Qt::CaseInsensitive);
  };
  if (has("password authentication failed") || has("no password supplied") ||
      has("authentication failed") || has("role \""))
    return loginRefusedMessage();
  if (has("database \"") && has("does not exist"))
    return unreachableMessage(
        QStringLiteral("sunucuda \"%1\" adlı bir veritabanı yok.").arg(address.database));
  QString reason;
  if (has("connection refused"))
    reason = QStringLiteral("%1 adresinde bağlantıyı kabul eden bir sunucu yok.")
                 .arg(address.hostAndPort());
  else if (has("could not translate host name") || has("name or service not known"))
    reason = QStringLiteral("\"%1\" adlı makine bulunamadı.").arg(address.host);
  else if (has("timeout") || has("timed out"))
    reason = QStringLiteral("%1 yanıt vermedi.").arg(address.hostAndPort());
  else if (has("no pg_hba.conf entry"))
    reason = QStringLiteral("sunucu bu tahtadan gelen bağlantılara izin vermiyor (pg_hba.conf).");
  else if (has("driver not loaded"))
    reason = QStringLiteral("PostgreSQL sürücüsü kurulu değil (libqt6sql6-psql paketi).");
  else
    reason = QStringLiteral("%1 ile bağlantı kurulamadı.").arg(address.hostAndPort());
  return unreachableMessage(reason);
}

Result<QSqlDatabase> openServer(const QString& connectionName, const ServerLogin& login) {
  using R = Result<QSqlDatabase>;
  if (QSqlDatabase::contains(connectionName)) QSqlDatabase::removeDatabase(connectionName);
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
  if (!db.isValid())
    return R::failure(unreachableMessage(
        QStringLiteral("PostgreSQL sürücüsü kurulu değil (libqt6sql6-psql paketi).")));
  if (Status s = connectServer(db, login); !s) return R::failure(s.error());
  return db;
}

Result<ServerInitReport> initServer(const QSqlDatabase& db) { return prepareSchema(db, true); }

Result<ServerInitReport> checkServer(const QSqlDatabase& db) { return prepareSchema(db, false); }

}  // namespace store
