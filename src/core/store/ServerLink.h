#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

#include "Result.h"
#include "store/ServerAddress.h"

namespace store {

class Store;

// A board's connection to the school's server while the network comes and
// goes. It lives beside the Store, as its child (ServerLink::of(store)); the
// store hands it the connection when it opens one on a server.
//
// The connection breaks when the server restarts or the network drops. A
// statement that finds it broken fails with serverAwayMessage() (a running
// transaction fails whole) and reachable() turns false. The next use of the
// store outside a transaction opens the connection again; while the server
// stays away, at most once every kRetryMs, so that a screen reading one thing
// after another does not wait on each. Always reachable on a data folder.
class ServerLink : public QObject {
  Q_OBJECT
 public:
  // The store's link, made at its first use.
  static ServerLink& of(const Store& store);

  bool reachable() const { return m_reachable; }
  // Opens the server connection again now, whenever the last attempt was (a
  // screen's "Yeniden Dene"); succeeds at once when the server answers on the
  // connection it has.
  Status reconnect();
  static constexpr int kRetryMs = 5000;

  // ---- for the Store
  // The store opened `connectionName` on the server with `login`;
  // `inTransaction` says whether a Transaction(store) is running.
  void attach(const QString& connectionName, const ServerLogin& login,
              std::function<bool()> inTransaction);
  // Before each use of the connection: opens it again when it broke and may.
  void keep(QSqlDatabase& db);
  // A statement found the connection broken.
  void lost();

 signals:
  // reachable() changed; sent from the event loop, after the statement that
  // found it out. When the server is back the store then sends dataChanged
  // with every kind of change, so that screens show what the server holds now.
  void reachableChanged(bool reachable);

 private:
  explicit ServerLink(Store& store);
  bool mayReopen(const QSqlDatabase& db) const;
  Status reopen(QSqlDatabase& db);
  void setReachable(bool reachable);
  void announce();

  Store& m_store;
  QString m_connection;
  std::optional<ServerLogin> m_login;
  std::function<bool()> m_inTransaction;
  bool m_reachable = true;
  bool m_announced = true;  // what reachableChanged last said
  QDeadlineTimer m_retry;   // no reopening before it expires
};

}  // namespace store
