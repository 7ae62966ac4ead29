// derslik: the classroom response program's main window.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QLockFile>

#include "shell/MDIForm1.h"
#include "store/Store.h"
#include "widgets/frmMesaj.h"

namespace {

const store::Store* g_logStore = nullptr;

// With "logtut" the program's diagnostic output also goes to Log.txt (which, as
// always, is written only while it exists).
void logMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  if (g_logStore) g_logStore->log(message);
  fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("derslik"));
  QApplication::setOrganizationName(QStringLiteral("derslik"));
  QApplication::setApplicationDisplayName(QStringLiteral("Derslik"));
  QApplication::setDesktopFileName(QStringLiteral("derslik"));
  QApplication::setWindowIcon(
      QIcon::fromTheme(QStringLiteral("derslik"), QIcon(QStringLiteral(":/app/derslik.svg"))));

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
  parser.addOptions({folder, demo, simulation});
  parser.addPositionalArgument(QStringLiteral("logtut"), QStringLiteral("Tanılama kaydını açar."));
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

  // One Derslik per data folder: a second start says so and leaves the first alone.
  QLockFile lock(store.path(QStringLiteral("derslik.lock")));
  lock.setStaleLockTime(0);
  if (!lock.tryLock(100)) {
    WidgetMessages().info(QStringLiteral("Derslik zaten açık. Açık olan pencereyi kullanınız."),
                          QStringLiteral("Derslik"));
    return 1;
  }

  MDIForm1 window(store, options);
  if (!window.MDIForm1_Load()) return 1;
  const int code = QApplication::exec();
  qInstallMessageHandler(nullptr);
  return code;
}
