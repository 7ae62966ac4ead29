#include "CliCommand.h"
#include "exchange/FolderImport.h"
#include "store/ServerDatabase.h"
#include "store/ServerFolders.h"
#include "store/Store.h"

namespace cli {

namespace {

const QString kServerOption = QStringLiteral("--sunucu");
const QString kPasswordOption = QStringLiteral("--password-stdin");

// The value of "--sunucu URL" or "--sunucu=URL", taken out of `args`; a null
// string when it is not there, an error when its value is missing.
Result<QString> takeServerUrl(QStringList& args) {
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& word = args.at(i);
    if (word == kServerOption) {
      if (i + 1 >= args.size() || args.at(i + 1).isEmpty() ||
          args.at(i + 1).startsWith(QStringLiteral("--")))
        return Result<QString>::failure(QStringLiteral("--sunucu bir sunucu adresi bekliyor."));
      const QString url = args.at(i + 1);
      args.remove(i, 2);
      return url;
    }
    if (word.startsWith(kServerOption + QLatin1Char('='))) {
      const QString url = word.mid(kServerOption.size() + 1);
      args.remove(i);
      if (url.isEmpty())
        return Result<QString>::failure(QStringLiteral("--sunucu bir sunucu adresi bekliyor."));
      return url;
    }
  }
  return QString();
}

QString trailingLineBreaksRemoved(QString s) {
  while (s.endsWith(QLatin1Char('\n')) || s.endsWith(QLatin1Char('\r'))) s.chop(1);
  return s;
}

const Syntax& initSyntax() {
  static const Syntax s(QStringLiteral("--sunucu ADRES server init"));
  return s;
}

int serverInit(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  if (!parseOrComplain(words, initSyntax(), err, code)) return code;
  const Result<store::ServerInitReport> report = store.initServer();
  if (!report) {
    err << report.error() << '\n';
    return 1;
  }
  if (report->created)
    out << "Sunucuda Derslik'in veritabanı oluşturuldu (sürüm " << report->version
        << "): " << store.serverUrl() << '\n';
  else if (report->oldVersion != report->version)
    out << "Sunucudaki veritabanı güncellendi: sürüm " << report->oldVersion << " -> "
        << report->version << ".\n";
  else
    out << "Sunucudaki veritabanı güncel (sürüm " << report->version << ").\n";
  return 0;
}

const Syntax& exportSyntax() {
  static const Syntax s(QStringLiteral("--sunucu ADRES server export-folder KLASÖR"), 1, 1);
  return s;
}

const Syntax& importSyntax() {
  static const Syntax s(QStringLiteral("--sunucu ADRES server import-folder KLASÖR"), 1, 1);
  return s;
}

// Progress goes to stderr line by line, so the summary alone is on stdout.
std::function<void(const QString&)> progressTo(QTextStream& err) {
  return [&err](const QString& line) {
    err << line << '\n';
    err.flush();
  };
}

int serverExport(store::Store& store, const QStringList& words, QTextStream& out,
                 QTextStream& err) {
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words, exportSyntax(), err, code);
  if (!a) return code;
  if (!openDatabase(store, err)) return 1;
  const QString folder = a->positional.at(0);
  const Result<store::FolderFigures> figures = store::exportFolder(store, folder, progressTo(err));
  if (!figures) {
    err << "Dışa aktarılamadı: " << figures.error() << '\n';
    return 1;
  }
  out << "Sunucunun verileri " << folder << " klasörüne yazıldı: " << figures->tables << " tablo, "
      << figures->rows << " satır, " << figures->questionContents << " soru içeriği, "
      << figures->testContents << " test içeriği, " << figures->files << " dosya.\n";
  return 0;
}

int serverImport(store::Store& store, const QStringList& words, QTextStream& out,
                 QTextStream& err) {
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words, importSyntax(), err, code);
  if (!a) return code;
  if (!openDatabase(store, err)) return 1;
  exchange::FolderImport importer(store);
  importer.setProgress(progressTo(err));
  const Result<exchange::FolderImportReport> report = importer.run(a->positional.at(0));
  if (!report) {
    err << "Aktarılamadı, sunucuda hiçbir şey değişmedi: " << report.error() << '\n';
    return 1;
  }
  out << report->summary() << '\n';
  return 0;
}

int server(store::Store& store, const QStringList& args, QTextStream& out, QTextStream& err) {
  const QString usage =
      QStringLiteral("--sunucu ADRES server init | export-folder KLASÖR | import-folder KLASÖR");
  if (!store.onServer()) {
    err << "server komutları bir sunucu adresi ister: --sunucu ADRES ya da DERSLIK_SUNUCU.\n"
        << "Kullanım: derslik-cli " << usage << '\n';
    return 2;
  }
  if (args.value(0) == QStringLiteral("init")) return serverInit(store, args.mid(1), out, err);
  if (args.value(0) == QStringLiteral("export-folder"))
    return serverExport(store, args.mid(1), out, err);
  if (args.value(0) == QStringLiteral("import-folder"))
    return serverImport(store, args.mid(1), out, err);
  return subCommandError(err, args, usage);
}

}  // namespace

Result<std::optional<store::ServerLogin>> takeServerOptions(QStringList& args) {
  using R = Result<std::optional<store::ServerLogin>>;
  Result<QString> url = takeServerUrl(args);
  if (!url) return R::failure(url.error());
  QString given = url.value();
  if (given.isNull()) given = qEnvironmentVariable("DERSLIK_SUNUCU");
  // Only before the command: a command may have a --password-stdin of its own
  // (users add reads the new user's password so).
  bool passwordFromStdin = false;
  for (qsizetype i = 0; i < args.size() && args.at(i).startsWith(QStringLiteral("--"));) {
    if (args.at(i) == kPasswordOption) {
      passwordFromStdin = true;
      args.remove(i);
    } else {
      ++i;
    }
  }
  if (given.isEmpty()) {
    if (passwordFromStdin)
      return R::failure(
          QStringLiteral("--password-stdin yalnızca bir sunucu adresiyle kullanılır."));
    return std::optional<store::ServerLogin>();
  }
  Result<store::ServerAddress> address = store::ServerAddress::parse(given);
  if (!address) return R::failure(address.error());
  store::ServerLogin login{address.value(), QString()};
  if (passwordFromStdin) {
    login.password = trailingLineBreaksRemoved(QString::fromUtf8(readStdin()));
    if (login.password.isEmpty())
      return R::failure(QStringLiteral("--password-stdin: standart girdiden şifre okunamadı."));
  }
  return std::optional<store::ServerLogin>(login);
}

QList<CliCommand> serverCommands() {
  return {
      {QStringLiteral("server"),
       QStringLiteral(
           "server init | export-folder KLASÖR | import-folder KLASÖR   okul sunucusunda "
           "Derslik'in veritabanını oluşturur ya da günceller, okulu bir veri klasörüne yazar, "
           "bir tahtanın veri klasörünü okula katar (--sunucu ADRES ile)"),
       server},
  };
}

}  // namespace cli
