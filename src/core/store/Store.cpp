#include "store/Store.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <atomic>

#include "store/ContentCache.h"
#include "store/ContentStores.h"
#include "store/Database.h"
#include "store/RolloverFiles.h"
#include "store/ServerConnection.h"
#include "store/ServerDatabase.h"
#include "store/ServerFolders.h"
#include "store/ServerLink.h"
#include "store/StoreFiles.h"

namespace store {

Store::Store(const QString& root, QObject* parent)
    : QObject(parent),
      m_root(QDir(root).absolutePath()),
      m_contents(std::make_unique<ContentStores>(*this)) {
  static std::atomic<int> counter{0};
  m_connection = QStringLiteral("derslik-%1").arg(++counter);
  QDir().mkpath(m_root);
}

Store::~Store() { close(); }

QString Store::defaultRoot() {
  const QString env = qEnvironmentVariable("DERSLIK_VERI");
  if (!env.isEmpty()) return QDir(env).absolutePath();
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QDir(base).filePath(QStringLiteral("derslik"));
}

QString Store::path(const QString& relative) const { return QDir(m_root).filePath(relative); }

QString Store::subFolder(const QString& name) const {
  const QString p = path(name);
  QDir().mkpath(p);
  return p;
}

QString Store::mainFile() const { return path(kMainName + QStringLiteral(".db")); }

void Store::log(const QString& message) const {
  QFile file(path(QStringLiteral("Log.txt")));
  if (!file.exists()) return;
  if (!file.open(QIODevice::Append | QIODevice::Text)) return;  // best effort
  const QString line =
      QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
      QStringLiteral(": ") + message + QLatin1Char('\n');
  file.write(line.toUtf8());
}

void Store::useServer(const ServerLogin& login) {
  close();
  m_server = login;
}

QString Store::serverUrl() const { return m_server ? m_server->address.url() : QString(); }

Result<ServerInitReport> Store::initServer() {
  close();
  if (!m_server)
    return Result<ServerInitReport>::failure(QStringLiteral("Sunucu adresi verilmedi."));
  Result<ServerInitReport> report = Result<ServerInitReport>::failure(QString());
  {
    Result<QSqlDatabase> db = openServer(m_connection, *m_server);
    report = db ? store::initServer(db.value()) : Result<ServerInitReport>::failure(db.error());
  }
  closeFile(m_connection);
  return report;
}

Result<CheckReport> Store::openServerDatabase() {
  Result<ServerInitReport> schema = Result<ServerInitReport>::failure(QString());
  {
    Result<QSqlDatabase> db = openServer(m_connection, *m_server);
    schema = db ? checkServer(db.value()) : Result<ServerInitReport>::failure(db.error());
  }
  if (!schema) {
    closeFile(m_connection);
    return Result<CheckReport>::failure(schema.error());
  }
  // Past the schema check, which may upgrade a large database: from here on no
  // statement of the board waits longer than the limit.
  if (Status s = limitStatements(QSqlDatabase::database(m_connection, false)); !s) {
    closeFile(m_connection);
    return Result<CheckReport>::failure(s.error());
  }
  ServerLink::of(*this).attach(m_connection, *m_server, [this] { return !m_pending.isEmpty(); });
  m_open = true;
  CheckReport report;
  report.oldDataVersion = schema->oldVersion;
  report.structureChecked = schema->oldVersion != schema->version;
  if (Status s = reloadInstitution(); !s) {
    close();
    return Result<CheckReport>::failure(s.error());
  }
  emit institutionChanged();
  // What this board keeps of the server's pictures stays within its bound.
  ContentCache(m_root).trim();
  return report;
}

Result<CheckReport> Store::open() {
  close();
  if (m_server) return openServerDatabase();
  // A missing main database is made new only in a folder without a school in it.
  if (const QString refusal = emptyMainRefusal(m_root); !refusal.isEmpty())
    return Result<CheckReport>::failure(refusal);
  // DERSLIK.db may still be the old year's file until the swap is finished.
  if (QFile::exists(swapJournalPath(m_root)))
    return Result<CheckReport>::failure(QStringLiteral(
        "Yarım kalan bir sınıf atlatma tamamlanmayı bekliyor. Derslik'i kapatıp yeniden açınız."));
  Result<QSqlDatabase> db = openFile(m_connection, mainFile());
  if (!db) {
    closeFile(m_connection);
    return Result<CheckReport>::failure(db.error());
  }
  m_open = true;
  // A kill in a commit that wrote a content store leaves its journal beside it;
  // rolled back now, not when the store is next read, so that the folder is whole
  // for whatever reads or copies its files (a read-only reader cannot roll back).
  for (StoreKind kind : {StoreKind::Question, StoreKind::Test})
    for (int n : m_contents->numbers(kind))
      if (Status s = settleFile(m_contents->path(kind, n)); !s)
        log(QStringLiteral("%1: %2").arg(storeFileName(kind, n), s.error()));
  Result<CheckReport> report = VeritabaniKontrol(*this);
  if (!report) {
    close();
    return report;
  }
  // The folder's identity, made at its first open (an older folder's at its next):
  // the school's server knows by it whether the folder came in already.
  if (Result<QString> id = folderIdentity(*this); !id) {
    close();
    return Result<CheckReport>::failure(id.error());
  }
  if (Status s = reloadInstitution(); !s) {
    close();
    return Result<CheckReport>::failure(s.error());
  }
  emit institutionChanged();
  return report;
}

void Store::close() {
  if (!m_open) return;
  m_open = false;
  m_pending.clear();
  closeFile(m_connection);
}

bool Store::isOpen() const { return m_open; }

QSqlDatabase Store::db() const {
  if (!m_open) return {};
  QSqlDatabase db = QSqlDatabase::database(m_connection, false);
  if (m_server) ServerLink::of(*this).keep(db);
  return db;
}

Result<QSqlQuery> Store::exec(const QString& sql, const QVariantList& params) const {
  return store::exec(sql, params, db());
}

Status Store::run(const QString& sql, const QVariantList& params) const {
  return store::run(sql, params, db());
}

Result<QVariant> Store::scalar(const QString& sql, const QVariantList& params) const {
  return store::scalar(sql, params, db());
}

Result<QStringList> Store::column(const QString& sql, const QVariantList& params) const {
  return store::column(sql, params, db());
}

Status Store::reloadInstitution() {
  Result<Institution> read = Institution::read(db());
  if (!read) return Status::failure(read.error());
  m_institution = read.value();
  return {};
}

void Store::changed(Changes what) {
  if (!m_pending.isEmpty()) {
    m_pending.last() |= what;
    return;
  }
  emitChanges(what);
}

void Store::beginChanges() { m_pending.append(Changes()); }

void Store::endChanges(bool committed) {
  if (m_pending.isEmpty()) return;
  const Changes what = m_pending.takeLast();
  if (!committed) return;
  changed(what);
}

void Store::emitChanges(Changes what) {
  if (!what) return;
  if (what.testFlag(Change::Institution)) (void)reloadInstitution();
  emit dataChanged(what);
  if (what.testFlag(Change::Students)) emit studentsChanged();
  if (what.testFlag(Change::Remotes)) emit remotesChanged();
  if (what.testFlag(Change::Pairings)) emit pairingsChanged();
  if (what.testFlag(Change::Lists)) emit listsChanged();
  if (what.testFlag(Change::Institution)) emit institutionChanged();
  if (what.testFlag(Change::Users)) emit usersChanged();
  if (what.testFlag(Change::Questions)) emit questionsChanged();
  if (what.testFlag(Change::Tests)) emit testsChanged();
  if (what.testFlag(Change::Runs)) emit runsChanged();
}

}  // namespace store
