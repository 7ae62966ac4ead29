// derslik-cli: Derslik's headless commands, over the same core the window uses.
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

#include "CliCommand.h"
#include "QtTranslations.h"
#include "delivery/JournalSender.h"
#include "store/ServerAddress.h"
#include "store/Store.h"

namespace {

QList<cli::CliCommand> allCommands() {
  QList<cli::CliCommand> all;
  all << cli::storeCommands() << cli::receiverCommands() << cli::schoolCommands()
      << cli::userCommands() << cli::authoringCommands() << cli::runCommands()
      << cli::reportCommands() << cli::cardCommands() << cli::serverCommands();
  return all;
}

void printHelp(QTextStream& out, const QList<cli::CliCommand>& commands) {
  out << "Kullanım: derslik-cli [--veri-klasoru KLASÖR] [--sunucu ADRES [--password-stdin]] KOMUT "
         "[ARGÜMANLAR]\n\nKomutlar:\n";
  for (const cli::CliCommand& c : commands) out << "  " << c.usage << '\n';
}

// QGuiApplication asks for the session's runtime folder, which a root shell or a
// cron job does not have; that notice is not the command's business.
QtMessageHandler g_defaultHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
    return;
  if (g_defaultHandler) g_defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  // No window is ever shown, but typed questions and booklets draw text: the
  // offscreen platform gives fonts without a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  g_defaultHandler = qInstallMessageHandler(quietHandler);
  QGuiApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("derslik"));
  QCoreApplication::setOrganizationName(QStringLiteral("derslik"));
  derslik::loadQtTranslations(app);
  QTextStream out(stdout);
  QTextStream err(stderr);

  QStringList args = QCoreApplication::arguments().mid(1);
  QString folder = store::Store::defaultRoot();
  const qsizetype folderAt = args.indexOf(QStringLiteral("--veri-klasoru"));
  if (folderAt >= 0) {
    if (folderAt + 1 >= args.size()) {
      err << "--veri-klasoru bir klasör adı bekliyor.\n";
      return 2;
    }
    folder = args.at(folderAt + 1);
    args.remove(folderAt, 2);
  }

  Result<std::optional<store::ServerLogin>> server = cli::takeServerOptions(args);
  if (!server) {
    err << server.error() << '\n';
    return 2;
  }

  const QList<cli::CliCommand> commands = allCommands();
  if (args.isEmpty() || args.first() == QStringLiteral("help") ||
      args.first() == QStringLiteral("--help")) {
    printHelp(out, commands);
    return args.isEmpty() ? 2 : 0;
  }
  const QString verb = args.takeFirst();
  for (const cli::CliCommand& c : commands) {
    if (c.verb == verb) {
      store::Store store(folder);
      if (server.value()) {
        store.useServer(*server.value());
        // A board on the server records its runs through the journal (the store's child).
        new delivery::JournalSender(store, *server.value());
      }
      const int code = c.run(store, args, out, err);
      out.flush();
      err.flush();
      return code;
    }
  }
  err << "Bilinmeyen komut: " << verb << '\n';
  printHelp(err, commands);
  return 2;
}
