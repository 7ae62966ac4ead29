// derslik-cli: Derslik's headless commands, over the same core the window uses.
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

#include "CliCommand.h"
#include "QtTranslations.h"
#include "store/Store.h"

namespace {

QList<cli::CliCommand> allCommands() {
  QList<cli::CliCommand> all;
  all << cli::storeCommands() << cli::receiverCommands() << cli::schoolCommands()
      << cli::userCommands() << cli::reportCommands();
  return all;
}

void printHelp(QTextStream& out, const QList<cli::CliCommand>& commands) {
  out << "Kullanım: derslik-cli [--veri-klasoru KLASÖR] KOMUT [ARGÜMANLAR]\n\nKomutlar:\n";
  for (const cli::CliCommand& c : commands) out << "  " << c.usage << '\n';
}

// Documents (PDF, .odt) are laid out with fonts, which only a GUI application
// has: the report verb gets one on the offscreen platform (no window, no display
// needed); every other verb stays a plain console program.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (qstrcmp(argv[i], "--veri-klasoru") == 0) {
      ++i;
      continue;
    }
    if (qstrcmp(argv[i], "report") != 0) break;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
  }
  return std::make_unique<QCoreApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
  const std::unique_ptr<QCoreApplication> application = makeApplication(argc, argv);
  QCoreApplication& app = *application;
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
