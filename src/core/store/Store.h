#pragma once

#include <QFlags>
#include <QList>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

#include "Result.h"
#include "store/Institution.h"
#include "store/Schema.h"
#include "store/ServerAddress.h"
#include "store/ServerDatabase.h"
#include "store/Sql.h"

namespace store {

class ContentStores;

// What a committed write changed. Services raise it with store.changed(...);
// screens subscribe to the Store signal of the same name instead of re-reading
// on focus or tab changes.
enum class Change : unsigned {
  Students = 1u << 0,     // TABLEOGRENCI
  Remotes = 1u << 1,      // TABLEKUMANDA
  Pairings = 1u << 2,     // TABLEESLESME
  Lists = 1u << 3,        // value lists, offered levels and courses, curriculum definitions
  Institution = 1u << 4,  // TABLEOKUL
  Users = 1u << 5,        // TABLEKULLANICIBILGILERI
  Questions = 1u << 6,    // TABLESORU and the question stores
  Tests = 1u << 7,        // TABLETEST, TABLETESTSORU and the test stores
  Runs = 1u << 8,         // TABLEUYGULAMA, TABLECEVAP, TABLESONUC
};
Q_DECLARE_FLAGS(Changes, Change)
Q_DECLARE_OPERATORS_FOR_FLAGS(Changes)

// The data folder and the main database in it: the one object every service gets.
// The app, derslik-cli and each test make one; nothing else knows where the data
// lives, and no code reaches a database through a global.
//
//   store::Store store(store::Store::defaultRoot());
//   Result<store::CheckReport> check = store.open();   // creates or upgrades DERSLIK.db
//   school::Pairing pairing(store);                     // services hold a Store&
//   store.close();                                      // shutdown: every later use fails
//
// After close() the main connection is gone: store.run(...) and friends return
// "Veritabanı bağlantısı kapalı." and nothing opens it again behind the caller's
// back. Only open() opens it (start-up, and the repair and the rollover, which
// close it around their whole-file work). A package reader or a worker that needs
// a connection of its own opens it with store::openFile() on a file it names.
class Store : public QObject {
  Q_OBJECT
 public:
  // `root` is the data folder; it is created when missing.
  explicit Store(const QString& root, QObject* parent = nullptr);
  ~Store() override;
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // ~/.local/share/derslik, or the folder DERSLIK_VERI names.
  static QString defaultRoot();

  // ---- the data folder: DERSLIK.db, the content stores, Log.txt, Yedek, Fotograflar ...
  const QString& root() const { return m_root; }
  // A path inside the data folder; `relative` may name a sub-folder ("Yedek/x.db").
  QString path(const QString& relative) const;
  // The sub-folder's path, created when it is missing.
  QString subFolder(const QString& name) const;
  QString mainFile() const;  // DERSLIK.db
  // Appends "dd.MM.yyyy HH:mm:ss: message" to Log.txt, only while that file exists
  // (creating an empty Log.txt switches logging on). LogYaz of the old program.
  void log(const QString& message) const;

  // ---- where the school's data lives
  // From the next open() on, the main database is the school's database on its
  // server (the data folder still holds what this board keeps for itself: its
  // log, settings and caches). Without it, DERSLIK.db in the data folder.
  void useServer(const ServerLogin& login);
  bool onServer() const { return m_server.has_value(); }
  // `server init` on the server useServer() named: creates Derslik's schema in an
  // empty database or upgrades an older one (ServerDatabase.h). The store is
  // closed before and after.
  Result<ServerInitReport> initServer();
  // The server's address (empty when the data folder is used).
  QString serverUrl() const;

  // ---- the main connection (BaglantiAc / BaglantiKapat)
  // Opens DERSLIK.db, creating it whole when missing, and runs the structure and
  // data checks (VeritabaniKontrol). A failed data step is reported, not fatal.
  // A data folder without an identity gets one now (store/ServerFolders.h).
  Result<CheckReport> open();
  void close();
  bool isOpen() const;
  // The main connection; a closed one (queries on it fail) after close().
  QSqlDatabase db() const;

  // One statement on the main connection (see store/Sql.h).
  Result<QSqlQuery> exec(const QString& sql, const QVariantList& params = {}) const;
  Status run(const QString& sql, const QVariantList& params = {}) const;
  Result<QVariant> scalar(const QString& sql, const QVariantList& params = {}) const;
  Result<QStringList> column(const QString& sql, const QVariantList& params = {}) const;

  // The numbered question and test stores beside DERSLIK.db.
  ContentStores& contents() { return *m_contents; }

  // The institution's options as last read (at open(), which sends
  // institutionChanged, and after each write made through store/Institution.h).
  const Institution& institution() const { return m_institution; }
  // Reads TABLEOKUL again (after a write made some other way).
  Status reloadInstitution();

  // Raises change signals: at once, or at the commit of the outermost running
  // Transaction(store) (dropped when it rolls back).
  void changed(Changes what);

 signals:
  // Once per committed change with everything it changed (a screen that shows
  // several of them refreshes once), then the signal of each entity.
  void dataChanged(store::Changes what);
  void studentsChanged();
  void remotesChanged();
  void pairingsChanged();
  void listsChanged();
  void institutionChanged();
  void usersChanged();
  void questionsChanged();
  void testsChanged();
  void runsChanged();

 private:
  friend class Transaction;
  void beginChanges();
  void endChanges(bool committed);
  void emitChanges(Changes what);

  Result<CheckReport> openServerDatabase();

  QString m_root;
  std::optional<ServerLogin> m_server;
  QString m_connection;
  bool m_open = false;
  std::unique_ptr<ContentStores> m_contents;
  Institution m_institution;
  QList<Changes> m_pending;  // one entry per running transaction, innermost last
};

}  // namespace store
