#pragma once

#include <QHostAddress>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include "Result.h"
#include "web/AnswerServer.h"

namespace web {

// The board's side of answering from a browser: the port and the network
// interface the server listens on (kept per user in section "Tarayici", as the
// board's other settings: the school's network is the board's business), and the
// "Tarayıcıdan cevaplansın" choice of each set-up screen (kept with that
// screen's other choices).
struct BrowserSettings {
  static constexpr quint16 kDefaultPort = 8180;

  quint16 port = kDefaultPort;
  QString interfaceName;  // empty: "Tümü", every interface

  struct Interface {
    QString name;  // "eth0"
    QHostAddress address;
    QString caption() const;  // "eth0 (10.1.2.3)"
  };
  // The board's interfaces that are up, with their first IPv4 address; the
  // loopback last, so that it is never taken for the class's network.
  static QList<Interface> interfaces();
  static QString allInterfacesCaption() { return QStringLiteral("Tümü"); }

  static BrowserSettings load();
  void save() const;

  // What the server is started with: bound to the chosen interface's address, or
  // to every interface ("Tümü", or a chosen interface that is down now).
  AnswerServer::Options serverOptions() const;
  static AnswerServer::Options serverOptions(const BrowserSettings& settings,
                                             const QList<Interface>& up);

  // The check box of a set-up screen (its window name): off until ticked once.
  static bool wanted(const QSqlDatabase& db, const QString& screen);
  static Status setWanted(const QSqlDatabase& db, const QString& screen, bool on);

  bool operator==(const BrowserSettings&) const = default;
};

// The address a student's phone opens: the server's address with the join code,
// which the page fills in for them ("http://10.1.2.3:8180/?kod=4821").
QString joinUrl(const AnswerServer& server);

}  // namespace web
