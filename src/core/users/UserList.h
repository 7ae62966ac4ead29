#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"

namespace store {
class Store;
}

namespace users {

// One user of TABLEKULLANICIBILGILERI as the advanced-mode screen edits it.
struct UserEntry {
  QString name;
  QString passwordHash;  // as stored; empty for a user not saved yet
  QString newPassword;   // typed, kept only in memory until the list is saved
  bool passwordChanged = false;
  QString denied;  // codes the user does NOT have, each preceded by "-": "-105M-109M"
};

// User names compare without regard to case, with Turkish rules: "İSMAİL" and
// "ismail" are one name, "ISMAIL" is "ısmaıl".
QString foldUserName(const QString& name);
bool sameUserName(const QString& a, const QString& b);
// Why a name cannot be a user name (empty, control characters, a character that
// came from text that was not valid UTF-8); empty when it can.
QString userNameProblem(const QString& name);

// "-105M-109M" from a list of codes, and back.
QString deniedText(const QStringList& codes);
QStringList deniedCodes(const QString& text);

// The whole user list, edited in memory and stored at once.
class UserList {
 public:
  static Result<UserList> load(const store::Store& store);

  int count() const { return static_cast<int>(m_users.size()); }
  const UserEntry& at(int row) const { return m_users.at(row); }
  const QList<UserEntry>& entries() const { return m_users; }

  // Appends a user named "yeni" with every right and an empty password; returns its row.
  int addNew();
  int add(const QString& name, const QString& password, const QString& denied = {});
  // Refuses to remove the last user ("En az bir kullanıcı olmalıdır").
  Status remove(int row);
  void setName(int row, const QString& name);
  void setPassword(int row, const QString& password);
  void setDenied(int row, const QString& denied);

  // Row of a user by name (Turkish case rules), -1 when none.
  int find(const QString& name) const;
  // Empty and repeated names, and a list in which nobody may enter the
  // advanced-mode page any more, are refused with the message to show.
  Status validate() const;
  // Replaces the stored list with this one in one transaction; nothing is written
  // when the list does not validate or a password cannot be hashed.
  Status save(store::Store& store);

 private:
  QList<UserEntry> m_users;
};

// Replaces every password still stored as typed (by an older installation) with
// its hash; the start-up calls it once.
Status hashTypedPasswords(store::Store& store);

// Number of stored users.
Result<int> userCount(const store::Store& store);

}  // namespace users
