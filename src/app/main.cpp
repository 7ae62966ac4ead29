// derslik: the classroom response program's main window.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <optional>

#include "Messages.h"
#include "board/BoardSettings.h"
#include "board/InputDevices.h"
#include "delivery/JournalSender.h"
#include "framework/ExchangeImport.h"
#include "framework/ScreenHelp.h"
#include "framework/frmIslem.h"
#include "framework/frmMesaj.h"
#include "screens/school/frmTanimlamalar.h"
#include "shell/Application.h"
#include "shell/MDIForm1.h"
#include "shell/MainMenuController.h"
#include "shell/SingleInstance.h"
#include "store/ServerSettings.h"
#include "store/Store.h"

namespace {

const store::Store* g_logStore = nullptr;

// With "logtut" the program's diagnostic output also goes to Log.txt (which, as
// always, is written only while it exists).
void logMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  if (g_logStore) g_logStore->log(message);
  fprintf(stderr, "%s\n", qPrintable(message));
}

// A file handed to the program (double-clicked in the file manager) is taken in
// once the main window is up, through the same screen and right check as the
// screen's own button.
void openGivenFile(MDIForm1& window, const QString& path) {
  Messages& messages = window.context().messages;
  const QFileInfo file(path);
  if (!file.isFile()) {
    messages.warning(QStringLiteral("Dosya bulunamadı:\n") + path);
    return;
  }
  const QString suffix = file.suffix().toLower();
  if (suffix == QLatin1String("ckk")) {
    constexpr int kDefinitionsScreen = 0;
    if (auto* students =
            qobject_cast<frmTanimlamalar*>(window.mainMenu()->openScreen(kDefinitionsScreen))) {
      students->kayitAl(file.absoluteFilePath());
    } else {
      messages.warning(
          QStringLiteral("Öğrenci kayıtlarını almak için yetkili bir "
                         "kullanıcıyla oturum açınız; sonra dosyayı "
                         "Tanımlamalar ekranındaki \"Dosyadan Kayıt Al\" "
                         "ile alınız."));
    }
    return;
  }
  using framework::exchangeimport::Kind;
  std::optional<Kind> kind;
  if (suffix == QLatin1String("cks"))
    kind = Kind::Questions;
  else if (suffix == QLatin1String("ckp") || suffix == QLatin1String("ckt"))
    kind = Kind::Tests;
  if (!kind) {
    messages.warning(QStringLiteral("Derslik bu dosyayı tanımıyor: %1\n\nDerslik soru "
                                    "(.cks), test (.ckp, .ckt) ve öğrenci kayıt (.ckk) "
                                    "dosyalarını açar.")
                         .arg(file.fileName()));
    return;
  }
  if (window.mainMenu()->requireRight(framework::exchangeimport::rightKey(*kind)))
    framework::exchangeimport::importFiles(&window, window.context(), *kind,
                                           {file.absoluteFilePath()});
}

// Qt picks its input method once, when the application starts: the screen
// keyboard is chosen before it. A desktop that shows a keyboard of its own (or
// an input method framework that brings one) keeps it.
bool chooseScreenKeyboard() {
  // The keyboard takes its layout from the language of the environment at the
  // first look at it (reading the settings below looks already). Derslik
  // speaks Turkish, and so does its keyboard; without the keyboard the
  // environment is given back as it was.
  const QByteArray language = qgetenv("LANG");
  const bool leaveLanguage = language.startsWith("tr") || !qgetenv("LC_ALL").isEmpty();
  if (!leaveLanguage) qputenv("LANG", "tr_TR.UTF-8");
  const QByteArray given = qgetenv("QT_IM_MODULE");
  const bool systemKeyboard = given.contains("maliit") || board::systemScreenKeyboardRunning();
  const board::BoardSettings settings = board::BoardSettings::load(false);
  if (!board::useOwnScreenKeyboard(settings.keyboard, board::keyboardAttached(), systemKeyboard)) {
    if (!leaveLanguage) {
      if (language.isNull())
        qunsetenv("LANG");
      else
        qputenv("LANG", language);
    }
    return false;
  }
  qputenv("QT_IM_MODULE", "qtvirtualkeyboard");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  chooseScreenKeyboard();
  QApplication app(argc, argv);
  shell::setUpApplication(app);

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Derslik - sınıf yanıt sistemi"));
  parser.addHelpOption();
  const QCommandLineOption folder(QStringLiteral("veri-klasoru"),
                                  QStringLiteral("Verilerin tutulacağı klasör."),
                                  QStringLiteral("KLASÖR"));
  const QCommandLineOption demo(QStringLiteral("demo"),
                                QStringLiteral("Boş veri klasörünü örnek bir okulla doldurur."));
  const QCommandLineOption simulation(
      QStringLiteral("simulasyon"),
      QStringLiteral("Gerçek alıcı yerine N kumandalı bir sınıf benzetimi kullanır."),
      QStringLiteral("N"));
  const QCommandLineOption server(
      QStringLiteral("sunucu"),
      QStringLiteral("Okulun verileri bu PostgreSQL sunucusunda: "
                     "postgresql://KULLANICI@MAKINE[:PORT]/VERITABANI (DERSLIK_SUNUCU ile de "
                     "verilir)."),
      QStringLiteral("ADRES"));
  const QCommandLineOption passwordStdin(
      QStringLiteral("password-stdin"),
      QStringLiteral("Sunucu şifresini standart girdiden okur (şifre komut satırına yazılmaz)."));
  parser.addOptions({folder, demo, simulation, server, passwordStdin});
  parser.addPositionalArgument(
      QStringLiteral("dosya"),
      QStringLiteral("Açılışta alınacak soru, test ya da öğrenci kayıt dosyası; tek başına "
                     "\"logtut\" tanılama kaydını açar."),
      QStringLiteral("[DOSYA | logtut]"));
  parser.process(app);

  store::Store store(parser.isSet(folder) ? parser.value(folder) : store::Store::defaultRoot());

  MDIForm1::Options options;
  options.logtut = QApplication::arguments().size() == 2 &&
                   QApplication::arguments().at(1) == QStringLiteral("logtut");
  options.demo = parser.isSet(demo);
  options.simulation = parser.isSet(simulation) ? parser.value(simulation).toInt() : 0;
  if (options.logtut) {
    g_logStore = &store;
    qInstallMessageHandler(logMessage);
  }
  const QStringList positional = parser.positionalArguments();
  const QString givenFile = options.logtut || positional.isEmpty() ? QString() : positional.first();

  // One Derslik per data folder: a second start brings the first window forward
  // and ends; the running one loses nothing. A file given to the second start is
  // not pushed into the first (that would close whatever screen is open there):
  // the teacher is told to take it in from the open window.
  shell::SingleInstance instance(store.root());
  switch (instance.claim()) {
    case shell::SingleInstance::Outcome::First:
      break;
    case shell::SingleInstance::Outcome::OtherBroughtUp:
      if (givenFile.isEmpty()) return 0;
      WidgetMessages().info(shell::SingleInstance::fileForRunningMessage(givenFile),
                            QStringLiteral("Derslik"));
      return 1;
    case shell::SingleInstance::Outcome::OtherUnreachable:
      WidgetMessages().warning(givenFile.isEmpty()
                                   ? shell::SingleInstance::unreachableMessage()
                                   : shell::SingleInstance::fileForRunningMessage(givenFile));
      return 1;
  }

  // Where the school's data is: a server given at start or set on this board,
  // else the data folder. A server that cannot be opened is said, and the
  // teacher chooses; the board never switches silently.
  std::optional<store::ServerLogin> boardLogin;
  {
    QString givenPassword;
    if (parser.isSet(passwordStdin)) {
      QFile input;
      if (input.open(stdin, QIODevice::ReadOnly))
        givenPassword = store::passwordFromInput(input.readAll());
      if (givenPassword.isEmpty()) {
        WidgetMessages().error(
            QStringLiteral("--password-stdin: standart girdiden şifre okunamadı."));
        return 2;
      }
    }
    const QString givenUrl =
        parser.isSet(server) ? parser.value(server) : qEnvironmentVariable("DERSLIK_SUNUCU");
    const Result<store::ServerSettings> settings = store::ServerSettings::load(store.root());
    if (!settings && givenUrl.isEmpty()) {
      // Set to a server that cannot be named: asked like one that cannot be reached.
      if (!WidgetMessages().ask(store::ownDataQuestion(settings.error()),
                                QStringLiteral("Okul Sunucusu")))
        return 1;
    } else {
      const Result<std::optional<store::ServerLogin>> login =
          store::boardServerLogin(givenUrl, givenPassword, settings.valueOr({}));
      if (!login) {
        WidgetMessages().error(login.error());
        return 2;
      }
      WidgetMessages messages;
      frmIslem wait;
      const auto progress = [&wait](const QString& text) {
        if (text.isEmpty())
          wait.hide();
        else
          wait.showText(text);
      };
      if (store::chooseBoardData(store, login.value(), messages, progress) ==
          store::BoardData::Quit)
        return 1;
      boardLogin = login.value();
    }
  }

  MDIForm1 window(store, options);
  QObject::connect(&instance, &shell::SingleInstance::bringToFrontRequested, &window,
                   &MDIForm1::bringToFront);
  if (!window.MDIForm1_Load()) return 1;
  // On the school's server the runs record into the board's journal; what an
  // earlier session could not send goes now, and the teacher is told.
  if (store.onServer() && boardLogin) {
    auto* journal = new delivery::JournalSender(store, *boardLogin);
    const QString sent = journal->sendLeftovers();
    if (Status s = journal->start(); !s) window.context().messages.warning(s.error());
    if (!sent.isEmpty())
      QTimer::singleShot(0, &window, [&window, sent] {
        window.context().messages.info(sent, QStringLiteral("Okul Sunucusu"));
      });
  }
  if (!givenFile.isEmpty())
    QTimer::singleShot(0, &window, [&window, givenFile] { openGivenFile(window, givenFile); });
  else
    QTimer::singleShot(0, &window, [&window] {
      framework::ScreenHelp::offerGuideOnce([&window] {
        return window.context().messages.ask(framework::ScreenHelp::guideQuestion(),
                                             QStringLiteral("İlk Ders"));
      });
    });
  const int code = QApplication::exec();
  qInstallMessageHandler(nullptr);
  return code;
}
