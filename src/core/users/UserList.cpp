#include "users/UserList.h"

#include <QLocale>

#include "store/Store.h"
#include "users/PasswordHash.h"
#include "users/Rights.h"

namespace users {

QString foldUserName(const QString& name) {
  static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
  return turkish.toLower(name.trimmed());
}

bool sameUserName(const QString& a, const QString& b) { return foldUserName(a) == foldUserName(b); }

QString userNameProblem(const QString& name) {
  if (name.trimmed().isEmpty()) return QStringLiteral("Kullanıcı adı boş olamaz.");
  for (QChar c : name) {
    if (c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter)
      return QStringLiteral("Kullanıcı adında denetim karakteri ya da geçersiz bir karakter var.");
  }
  return {};
}

QString deniedText(const QStringList& codes) {
  QString out;
  for (const Right& r : rights())
    if (codes.contains(r.code, Qt::CaseInsensitive)) out += QLatin1Char('-') + r.code;
  return out;
}

QStringList deniedCodes(const QString& text) {
  QStringList out;
  const QString upper = text.toUpper();
  for (const Right& r : rights())
    if (upper.contains(r.code)) out << r.code;
  return out;
}

Result<UserList> UserList::load(const store::Store& store) {
  Result<QSqlQuery> q = store.exec(QStringLiteral(
      "SELECT NZ(KULLANICIADI), NZ(KULLANICISIFRESI), NZ(SAYFAKODU) FROM TABLEKULLANICIBILGILERI "
      "ORDER BY rowid"));
  if (!q) return Result<UserList>::failure(q.error());
  UserList list;
  while (q.value().next()) {
    UserEntry e;
    e.name = q.value().value(0).toString();
    e.passwordHash = q.value().value(1).toString();
    e.denied = q.value().value(2).toString();
    list.m_users << e;
  }
  return list;
}

int UserList::addNew() { return add(QStringLiteral("yeni"), QString()); }

int UserList::add(const QString& name, const QString& password, const QString& denied) {
  UserEntry e;
  e.name = name;
  e.newPassword = password;
  e.passwordChanged = true;
  e.denied = denied;
  m_users << e;
  return count() - 1;
}

Status UserList::remove(int row) {
  if (row < 0 || row >= count()) return Status::failure(QStringLiteral("Kullanıcı bulunamadı."));
  if (count() <= 1) return Status::failure(QStringLiteral("En az bir kullanıcı olmalıdır"));
  m_users.removeAt(row);
  return {};
}

void UserList::setName(int row, const QString& name) {
  if (row >= 0 && row < count()) m_users[row].name = name;
}

void UserList::setPassword(int row, const QString& password) {
  if (row < 0 || row >= count()) return;
  m_users[row].newPassword = password;
  m_users[row].passwordChanged = true;
}

void UserList::setDenied(int row, const QString& denied) {
  if (row >= 0 && row < count()) m_users[row].denied = denied;
}

int UserList::find(const QString& name) const {
  const QString folded = foldUserName(name);
  for (int i = 0; i < count(); ++i)
    if (foldUserName(m_users.at(i).name) == folded) return i;
  return -1;
}

Status UserList::validate() const {
  for (int i = 0; i < count(); ++i) {
    if (const QString problem = userNameProblem(m_users.at(i).name); !problem.isEmpty())
      return Status::failure(problem);
    for (int j = 0; j < i; ++j)
      if (sameUserName(m_users.at(i).name, m_users.at(j).name))
        return Status::failure(
            QStringLiteral("Bu kullanıcı adı daha önce kullanılmış\nlütfen farklı bir kullanıcı "
                           "adı seçiniz"));
  }
  // Somebody must still be able to reach the user list, or the advanced mode
  // could never be switched off again.
  const QString adminCode = requiredCode(QStringLiteral("frmGelismisMod"));
  bool anyAdmin = m_users.isEmpty();
  for (const UserEntry& e : m_users) anyAdmin = anyAdmin || !e.denied.toUpper().contains(adminCode);
  if (!anyAdmin)
    return Status::failure(
        QStringLiteral("En az bir kullanıcının \"%1\" izni olmalıdır.").arg(captionOf(adminCode)));
  return {};
}

Status UserList::save(store::Store& store) {
  if (Status valid = validate(); !valid) return valid;
  // Hash first: a failure here must leave the stored list untouched.
  QList<UserEntry> toStore = m_users;
  for (UserEntry& e : toStore) {
    // A password an older installation kept as typed is hashed now as well.
    if (!e.passwordChanged && isPasswordHash(e.passwordHash)) continue;
    Result<QString> hash = hashPassword(e.passwordChanged ? e.newPassword : e.passwordHash);
    if (!hash) return Status::failure(hash.error());
    e.passwordHash = hash.value();
    e.newPassword.clear();
    e.passwordChanged = false;
  }
  store::Transaction tx(store);
  if (Status s = store.run(QStringLiteral("DELETE FROM TABLEKULLANICIBILGILERI")); !s) return s;
  for (const UserEntry& e : toStore) {
    Status s =
        store.run(QStringLiteral("INSERT INTO TABLEKULLANICIBILGILERI "
                                 "(KULLANICIADI, KULLANICISIFRESI, SAYFAKODU) VALUES (?, ?, ?)"),
                  {e.name.trimmed(), e.passwordHash, e.denied});
    if (!s) return s;
  }
  store.changed(store::Change::Users);
  if (Status s = tx.commit(); !s) return s;
  for (UserEntry& e : toStore) e.name = e.name.trimmed();
  m_users = toStore;
  return {};
}

Status hashTypedPasswords(store::Store& store) {
  Result<UserList> list = UserList::load(store);
  if (!list) return Status::failure(list.error());
  bool typed = false;
  for (const UserEntry& e : list->entries()) typed = typed || !isPasswordHash(e.passwordHash);
  if (!typed) return {};
  // The stored list was valid before; only the passwords change here.
  QList<UserEntry> entries = list->entries();
  store::Transaction tx(store);
  for (const UserEntry& e : entries) {
    if (isPasswordHash(e.passwordHash)) continue;
    Result<QString> hash = hashPassword(e.passwordHash);
    if (!hash) return Status::failure(hash.error());
    Status s = store.run(QStringLiteral("UPDATE TABLEKULLANICIBILGILERI SET KULLANICISIFRESI=? "
                                        "WHERE NZ(KULLANICISIFRESI)=? AND NZ(KULLANICIADI)=?"),
                         {hash.value(), e.passwordHash, e.name});
    if (!s) return s;
  }
  return tx.commit();
}

Result<int> userCount(const store::Store& store) {
  const Result<QVariant> n =
      store.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEKULLANICIBILGILERI"));
  if (!n) return Result<int>::failure(n.error());
  return n->toInt();
}

}  // namespace users
