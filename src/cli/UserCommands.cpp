#include <QFile>

#include "CliCommand.h"
#include "store/Store.h"
#include "users/RightFlags.h"
#include "users/Rights.h"
#include "users/Session.h"
#include "users/UserList.h"

namespace cli {

namespace {

// The password is the first line of standard input, without its line break; it
// never appears on the command line where other users could read it.
QString passwordFromStdin() {
  QString text = readStdin();
  const qsizetype end = text.indexOf(QLatin1Char('\n'));
  if (end >= 0) text.truncate(end);
  if (text.endsWith(QLatin1Char('\r'))) text.chop(1);
  return text;
}

int usersAdd(store::Store& store, const QStringList& args, QTextStream& out, QTextStream& err) {
  const QString usage =
      QStringLiteral("Kullanım: derslik-cli users add AD --password-stdin [--deny KOD...]\n");
  if (args.isEmpty() || args.first().startsWith(QLatin1String("--"))) {
    err << usage;
    return 2;
  }
  const QString name = args.first();
  bool passwordStdin = false;
  QStringList deny;
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args.at(i);
    if (a == QLatin1String("--password-stdin")) {
      passwordStdin = true;
    } else if (a == QLatin1String("--deny")) {
      bool any = false;
      while (i + 1 < args.size() && !args.at(i + 1).startsWith(QLatin1String("--"))) {
        const QString code = args.at(++i).toUpper();
        if (!users::isKnownCode(code)) {
          err << "Bilinmeyen izin kodu: " << code << '\n';
          return 2;
        }
        deny << code;
        any = true;
      }
      if (!any) {
        err << usage;
        return 2;
      }
    } else {
      err << "Bilinmeyen seçenek: " << a << '\n' << usage;
      return 2;
    }
  }
  if (!passwordStdin) {
    err << "Şifre standart girdiden okunur: --password-stdin gerekli.\n";
    return 2;
  }
  const QString password = passwordFromStdin();
  if (!openStore(store, err, true)) return 1;
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

int usersList(store::Store& store, const QStringList& args, QTextStream& out, QTextStream& err) {
  if (!args.isEmpty()) {
    err << "Kullanım: derslik-cli users list\n";
    return 2;
  }
  if (!openStore(store, err, true)) return 1;
  Result<users::UserList> list = users::UserList::load(store);
  if (!list) {
    err << list.error() << '\n';
    return 1;
  }
  out << "KULLANICIADI\tIZINVERILMEYENLER\n";
  for (const users::UserEntry& e : list->entries())
    out << e.name << '\t' << users::deniedCodes(e.denied).join(QLatin1Char(' ')) << '\n';
  return 0;
}

int users(store::Store& store, const QStringList& args, QTextStream& out, QTextStream& err) {
  const QString sub = args.value(0);
  if (sub == QLatin1String("add")) return usersAdd(store, args.mid(1), out, err);
  if (sub == QLatin1String("list")) return usersList(store, args.mid(1), out, err);
  err << "Kullanım: derslik-cli users add AD --password-stdin [--deny KOD...] | users list\n";
  return 2;
}

int loginCheck(store::Store& store, const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != 2 || args.at(1) != QLatin1String("--password-stdin")) {
    err << "Kullanım: derslik-cli login-check AD --password-stdin\n";
    return 2;
  }
  const QString password = passwordFromStdin();
  if (!openStore(store, err, true)) return 1;
  users::Session session;
  const Status s = session.logIn(store, args.first(), password);
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
