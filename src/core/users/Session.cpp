#include "users/Session.h"

#include "store/Store.h"
#include "users/PasswordHash.h"
#include "users/UserList.h"

namespace users {

namespace {

// A hash of nothing anybody can type, made with the same parameters as real ones:
// a name without an account costs the same work as a known one, so the answer's
// time does not tell who has an account.
const QString kUnknownUserHash = QStringLiteral(
    "$argon2id$v=19$m=65536,t=2,p=1$V2Bez/03z53xBKTAg0e4cw$iDvVr29wIYWIVgjzCxXd+/"
    "FtrrZT6WPgNcQfKmiM3/w");

}  // namespace

Result<Account> authenticate(store::Store& store, const QString& name, const QString& password) {
  const QString wrong = QStringLiteral("Kullanıcı Adı veya Şifre yanlış");
  Result<QSqlQuery> q = store.exec(
      QStringLiteral("SELECT rowid, NZ(KULLANICIADI), NZ(KULLANICISIFRESI), NZ(SAYFAKODU) "
                     "FROM TABLEKULLANICIBILGILERI ORDER BY rowid"));
  if (!q) return Result<Account>::failure(q.error());
  const QString folded = foldUserName(name);
  bool known = false;
  while (!folded.isEmpty() && q.value().next()) {
    if (foldUserName(q.value().value(1).toString()) != folded) continue;
    known = true;
    const QString stored = q.value().value(2).toString();
    // A password an older installation kept as typed compares at once; the
    // dummy verification keeps its time like the others'.
    if (!isPasswordHash(stored)) (void)verifyPassword(kUnknownUserHash, password);
    if (!verifyPassword(stored, password)) continue;
    if (!isPasswordHash(stored)) {
      if (Result<QString> hash = hashPassword(password))
        // Best effort: the log-in stands, and the next one tries the upgrade again.
        (void)store.run(
            QStringLiteral("UPDATE TABLEKULLANICIBILGILERI SET KULLANICISIFRESI=? WHERE rowid=?"),
            {hash.value(), q.value().value(0)});
    }
    return Account{q.value().value(1).toString(), q.value().value(3).toString()};
  }
  if (!known) (void)verifyPassword(kUnknownUserHash, password);
  return Result<Account>::failure(wrong);
}

Session::Session(QObject* parent) : QObject(parent) {}

Session::~Session() = default;

void Session::setFlags(const RightFlags& flags) {
  if (flags == m_flags) return;
  m_flags = flags;
  emit rightsChanged();
}

Status Session::logIn(store::Store& store, const QString& name, const QString& password) {
  Result<Account> account = authenticate(store, name, password);
  if (!account) return Status::failure(account.error());
  RightFlags f = m_flags;
  f.applyDenied(account->denied);
  m_user = account->name;
  setFlags(f);
  emit userChanged(m_user);
  return {};
}

void Session::logOut() {
  m_user.clear();
  setFlags(RightFlags::all(false));
  emit userChanged(QString());
}

}  // namespace users
