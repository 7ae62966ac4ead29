#pragma once

#include <QObject>
#include <QString>

#include "Result.h"
#include "users/RightFlags.h"

namespace store {
class Store;
}

namespace users {

// A user found by name and password.
struct Account {
  QString name;    // as stored
  QString denied;  // "-105M-109M"
};

// Looks the user up (name without regard to case, Turkish rules) and checks the
// password exactly. Fails with "Kullanıcı Adı veya Şifre yanlış" when either is
// wrong. A password still stored as typed by an older installation is replaced
// by its hash on the first successful log-in.
Result<Account> authenticate(store::Store& store, const QString& name, const QString& password);

// The right flags of the running program and the logged-in user. The main
// window owns one; menus and screens ask it before they open anything.
class Session : public QObject {
  Q_OBJECT
 public:
  explicit Session(QObject* parent = nullptr);
  ~Session() override;

  const RightFlags& flags() const { return m_flags; }
  void setFlags(const RightFlags& flags);
  bool allows(const QString& key) const { return m_flags.allows(key); }

  QString userName() const { return m_user; }
  bool loggedIn() const { return !m_user.isEmpty(); }

  // On success the flags follow the user's denied codes; on failure nothing changes.
  Status logIn(store::Store& store, const QString& name, const QString& password);
  // Every flag "0" until the next log-in.
  void logOut();

 signals:
  void rightsChanged();
  void userChanged(const QString& name);  // empty after log-out

 private:
  RightFlags m_flags;
  QString m_user;
};

}  // namespace users
