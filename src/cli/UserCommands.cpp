#include <QStringDecoder>

#include "CliCommand.h"
#include "store/Database.h"
#include "store/Store.h"
#include "users/RightFlags.h"
#include "users/Rights.h"
#include "users/Session.h"
#include "users/UserList.h"

namespace cli {

namespace {

const Syntax& usersAddSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("users add AD --password-stdin [--deny KOD...]"), 1, 1)
          .flag(QStringLiteral("password-stdin"))
          .values(QStringLiteral("deny"));
  return s;
}
const Syntax& usersListSyntax() {
  static const Syntax s(QStringLiteral("users list"));
  return s;
}
const Syntax& loginCheckSyntax() {
  static const Syntax s = Syntax(QStringLiteral("login-check AD --password-stdin"), 1, 1)
                              .flag(QStringLiteral("password-stdin"));
  return s;
}

// The password is all of standard input but one line break at its end; it never
// appears on the command line where other users could read it. Text that is not
// UTF-8 is refused rather than turned into replacement characters (which would
// make different inputs one password).
Result<QString> passwordFromStdin() {
  QByteArray bytes = readStdin();
  if (bytes.endsWith("\r\n"))
    bytes.chop(2);
  else if (bytes.endsWith('\n'))
    bytes.chop(1);
  QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decode(bytes);
  if (decode.hasError())
    return Result<QString>::failure(QStringLiteral("Şifre geçerli bir UTF-8 metni değil."));
  if (text.isEmpty()) return Result<QString>::failure(QStringLiteral("Şifre boş olamaz."));
  return text;
}

// The name and the password of users add / login-check, checked before the data is touched.
bool credentials(const Args& a, const Syntax& syntax, QTextStream& err, QString& name,
                 QString& password, int& code) {
  name = a.positional.first();
  if (const QString problem = users::userNameProblem(name); !problem.isEmpty()) {
    err << problem << '\n';
    code = 2;
    return false;
  }
  if (!a.has(QStringLiteral("password-stdin"))) {
    code = usageError(
        err, QStringLiteral("Şifre standart girdiden okunur: --password-stdin gerekli."), syntax);
    return false;
  }
  const Result<QString> typed = passwordFromStdin();
  if (!typed) {
    err << typed.error() << '\n';
    code = 2;
    return false;
  }
  password = typed.value();
  return true;
}

int usersAdd(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words, usersAddSyntax(), err, code);
  if (!a) return code;
  QStringList deny;
  for (const QString& given : a->values(QStringLiteral("deny"))) {
    const QString c = given.toUpper();
    if (!users::isKnownCode(c)) {
      err << "Bilinmeyen izin kodu: " << c << '\n';
      return 2;
    }
    deny << c;
  }
  QString name;
  QString password;
  if (!credentials(*a, usersAddSyntax(), err, name, password, code)) return code;
  if (!openDatabase(store, err, true)) return 1;
  Result<users::UserList> list = users::UserList::load(store);
  if (!list) {
    err << list.error() << '\n';
    return 1;
  }
  list.value().add(name, password, users::deniedText(deny));
  const Status saved = list.value().save(store);
  if (!saved) {
    err << saved.error() << '\n';
    return 1;
  }
  out << "Kullanıcı eklendi: " << name.trimmed() << '\n';
  return 0;
}

int usersList(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  if (!parseOrComplain(words, usersListSyntax(), err, code)) return code;
  if (!openDatabase(store, err, true)) return 1;
  Result<users::UserList> list = users::UserList::load(store);
  if (!list) {
    err << list.error() << '\n';
    return 1;
  }
  out << "KULLANICIADI\tIZINVERILMEYENLER\n";
  for (const users::UserEntry& e : list->entries())
    out << tsvLine({e.name, users::deniedCodes(e.denied).join(QLatin1Char(' '))}) << '\n';
  return 0;
}

int users(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  const QString sub = words.value(0);
  if (sub == QLatin1String("add")) return usersAdd(store, words.mid(1), out, err);
  if (sub == QLatin1String("list")) return usersList(store, words.mid(1), out, err);
  return subCommandError(
      err, words, QStringLiteral("users add AD --password-stdin [--deny KOD...] | users list"));
}

int loginCheck(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words, loginCheckSyntax(), err, code);
  if (!a) return code;
  QString name;
  QString password;
  if (!credentials(*a, loginCheckSyntax(), err, name, password, code)) return code;
  if (!openDatabase(store, err, true)) return 1;
  users::Session session;
  const Status s = session.logIn(store, name, password);
  if (!s) {
    err << s.error() << '\n';
    return 1;
  }
  out << session.flags().grantedCodes().join(QLatin1Char(' ')) << '\n';
  return 0;
}

}  // namespace

QList<CliCommand> userCommands() {
  return {
      {QStringLiteral("users"),
       QStringLiteral("users add AD --password-stdin [--deny KOD...] | users list   kullanıcılar"),
       users},
      {QStringLiteral("login-check"),
       QStringLiteral("login-check AD --password-stdin   izin verilen kodları yazar"), loginCheck},
  };
}

}  // namespace cli
