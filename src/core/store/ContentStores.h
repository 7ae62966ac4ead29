#pragma once

#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

#include "Result.h"
#include "store/StoreFiles.h"

namespace store {

// The large binary parts live outside the main database, in numbered content stores:
// question stores DERSLIK_<n>.db (TABLESORU: SORUNO, SORU, COZUM) and test stores
// DERSLIK_T<n>.db (TABLETEST: TESTNO, BASLANGICEKRANI, BASLIK), n = 2, 3, ... 100.
//
// Numbering: stores count from 2 upward; the disk is probed at every call and the
// first missing number ends the series, so with 2, 3 and 5 on disk store 5 is not
// seen (only the repair touches it) and the next new store is 4. Store 2 is taken
// to exist without probing.
//
// The stores are reached through ATTACH on the main connection under the schema
// names SORU<n> and TEST<n>, so every statement below runs inside the caller's
// transaction (a Transaction on the main connection covers the stores too).
// Attaching is done on demand, also inside a transaction; closing the connection
// detaches everything. SQLite allows at most 10 attached files per connection: the
// stores use at most kMaxAttachedStores of them and leave the rest to other work
// (exchange packages). Past that, a store that has not been touched in the running
// transaction is detached to make room; reads of a store that still cannot be
// attached go through a separate read-only connection, writes fail with a message.
// With the main file in WAL mode, a commit is atomic in each file; a power cut in the
// middle of a commit can leave one file committed and another not.

inline constexpr qint64 kStoreSizeLimit = 1'800'000'000;
inline constexpr int kMaxAttachedStores = 8;

class Store;

// One content row: the two binary columns of a question (SORU, COZUM) or of a test
// (BASLANGICEKRANI, BASLIK), and the store it was found in (0: no content).
struct StoreContent {
  QByteArray first;
  QByteArray second;
  int store = 0;
  bool found() const { return store != 0; }
};

// The content stores of one data folder; Store::contents() is the one to use.
class ContentStores {
 public:
  explicit ContentStores(Store& store) : m_store(store) {}

  QString path(StoreKind kind, int n) const;
  // Store numbers 2 .. last without gaps (2 is always in the list).
  QList<int> numbers(StoreKind kind) const;
  int last(StoreKind kind) const;
  // The store that holds the key: the first of 3 .. last with a row for it, else 2
  // (with store 2 alone no query runs).
  Result<int> find(StoreKind kind, const QString& key);
  // Creates the next store (the first missing number of 2 .. 100) and returns its number.
  Result<int> create(StoreKind kind);

  // A store whose content passes this many bytes takes no new rows (the next is begun).
  qint64 sizeLimit() const { return m_sizeLimit; }
  void setSizeLimit(qint64 bytes);  // tests; 0 or less restores the default

  // "SORU3", "TEST2": schema names on the main connection.
  static QString schemaName(StoreKind kind, int n);
  // "SORU3.TABLESORU": the store's table for SQL on the main connection.
  static QString tableRef(StoreKind kind, int n);
  // Attaches the store to the main connection when it is not attached yet.
  Status attach(StoreKind kind, int n);
  // Attaches every store (as many as the limit allows, newest first). Cheap to repeat.
  Status attachAll();
  // Detaches every store that is not in use by a running transaction.
  void detachAll();
  // Schema names of the stores attached now.
  QStringList attached() const;

  // The content of a key from the store that holds it (find order above).
  Result<StoreContent> read(StoreKind kind, const QString& key);
  // The same content for showing it: on a school's server each picture comes from
  // the board's cache when it holds it (store/ContentCache.h) and is kept there
  // when it had to be fetched; only its digest crosses the network then.
  Result<StoreContent> readKept(StoreKind kind, const QString& key);
  // Sets the content of a key: replaces the given columns where the key already has
  // content, otherwise adds one row to the newest store (beginning the next store
  // first when the newest is full). A column given as nullopt keeps its value (a new
  // row gets NULL there).
  Status write(StoreKind kind, const QString& key, const std::optional<QByteArray>& first,
               const std::optional<QByteArray>& second);
  // Copies the content of `from` to a new key in the newest store (the duplicate of a
  // question); earlier content of `to` is replaced. Nothing is written when `from`
  // has no content.
  Status copy(StoreKind kind, const QString& from, const QString& to);
  // Re-keys the content in every store (renumbering).
  Status rename(StoreKind kind, const QString& from, const QString& to);
  // Deletes the key's content from every store.
  Status remove(StoreKind kind, const QString& key);
  // Calls `visit` for every row of every store, store by store in number order;
  // `visit` returns false to stop.
  using Visitor = std::function<bool(const QString& key, const StoreContent& content)>;
  Status forEach(StoreKind kind, const Visitor& visit);

  // "(SELECT key,a,b FROM SORU2.TABLESORU UNION ALL SELECT ... FROM SORU3.TABLESORU)":
  // the content of every store as one table expression. Fails when the stores do not
  // all fit on the connection at once.
  Result<QString> unionSql(StoreKind kind);

  // The names the rest of Derslik calls.
  // "SORU<n>.TABLESORU" / "TEST<n>.TABLETEST" of the newest store (attached on return).
  Result<QString> SonSoruDeposu();
  Result<QString> SonTestDeposu();
  QString SonSoruDeposuYolu() const;
  QString SonTestDeposuYolu() const;
  // Creates the next store and returns its path.
  Result<QString> YeniSoruDeposu();
  Result<QString> YeniTestDeposu();
  // Table reference of the question store that holds the question number.
  Result<QString> SoruDeposuBul(const QString& soruNo);
  // The main TABLESORU joined with the content of every question store; stands where
  // a query would name TABLESORU ("SELECT * FROM " + SoruKaynagi() + " WHERE ...").
  // Each row carries the TABLESORU columns, SORU, COZUM and DISTABLOSORUNO; a question
  // without content drops out (inner join).
  Result<QString> SoruKaynagi();
  // The same for TABLETEST (BASLANGICEKRANI, BASLIK, DISTABLOTESTNO), without an alias:
  // the caller appends its own.
  Result<QString> TestKaynagi();
  // The bare union of all test stores' TESTNO, BASLANGICEKRANI, BASLIK in parentheses.
  Result<QString> TestIcerikBirlesim();

 private:
  Status attachStore(StoreKind kind, int n, bool mayEvict);
  bool crowded() const;
  Status withStoreForReading(
      StoreKind kind, int n,
      const std::function<Status(const QSqlDatabase&, const QString&)>& body);
  Result<bool> hasKey(StoreKind kind, int n, const QString& key);
  Result<qint64> storeSize(StoreKind kind, int n);
  Result<int> newestWithRoom(StoreKind kind);

  Store& m_store;
  qint64 m_sizeLimit = kStoreSizeLimit;
};

}  // namespace store
