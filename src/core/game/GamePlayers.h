#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "delivery/RunSetup.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace game {

// The players of a game: two parallel collections, item i of the names
// belonging to item i of the addresses, as the attendance and the race take them.
struct Players {
  QStringList addresses;
  QStringList names;  // "first name surname", or the address for an unpaired remote
  int size() const { return int(addresses.size()); }
  bool operator==(const Players&) const = default;
};

// The game set-up (frmOyun) without its widgets: the student remotes with their
// paired students, filtered by class (the choice kept per user in section "Oyun",
// key "Sinifi"), and the choice of players.
class GamePlayers {
 public:
  // A row of the remote list.
  using Row = delivery::RunSetup::RemoteRow;

  explicit GamePlayers(store::Store& store) : m_store(store) {}

  // The class list: "TÜMÜ" first, then the classes.
  Result<QStringList> classEntries() const;
  // KUMANDAADRESI, KAYITNO, NUMARASI, ADI, SOYADI, SINIFI, SEVIYE of the student
  // remotes of `className` ("TÜMÜ": every class).
  static store::Query remotesQuery(const QString& className);
  Result<QList<Row>> remotes(const QString& className) const;

  // Empty until a class was chosen once.
  static QString savedClass();
  static void saveClass(const QString& className);

  // The chosen rows as players, each remote once; "Hiç oyuncu tanımlı değil"
  // when none is chosen.
  static Result<Players> choose(const QList<Row>& chosen);
  static QString noPlayersText() { return QStringLiteral("Hiç oyuncu tanımlı değil"); }

 private:
  store::Store& m_store;
};

}  // namespace game
