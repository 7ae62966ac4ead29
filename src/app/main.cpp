// derslik: the classroom response program's main window.
#include <QApplication>
#include <QCommandLineParser>

#include "shell/Application.h"
#include "shell/MDIForm1.h"
#include "shell/SingleInstance.h"
#include "shell/frmMesaj.h"
#include "store/DataFolder.h"
#include "store/Log.h"

namespace {

// With "logtut" the program's diagnostic output also goes to Log.txt (which, as
// always, is written only while it exists).
void logMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
  store::LogYaz(message);
  fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

int main(int argc, char** argv) {
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
  parser.addOptions({folder, demo, simulation});
  parser.addPositionalArgument(QStringLiteral("logtut"), QStringLiteral("Tanılama kaydını açar."));
  parser.process(app);

  if (parser.isSet(folder))
    store::DataFolder::setRoot(parser.value(folder));
  else
    store::DataFolder::setRoot(store::DataFolder::defaultRoot());

  MDIForm1::Options options;
  options.logtut = QApplication::arguments().size() == 2 &&
                   QApplication::arguments().at(1) == QStringLiteral("logtut");
  options.demo = parser.isSet(demo);
  options.simulation = parser.isSet(simulation) ? parser.value(simulation).toInt() : 0;
  if (options.logtut) qInstallMessageHandler(logMessage);

  // One Derslik per data folder: a second start brings the first window forward
  // and ends; the running one loses nothing.
  shell::SingleInstance instance(store::DataFolder::root());
  switch (instance.claim()) {
    case shell::SingleInstance::Outcome::First:
      break;
    case shell::SingleInstance::Outcome::OtherBroughtUp:
      return 0;
    case shell::SingleInstance::Outcome::OtherUnreachable:
      frmMesaj::uyari(nullptr, shell::SingleInstance::unreachableMessage());
      return 1;
  }

  MDIForm1 window(options);
  QObject::connect(&instance, &shell::SingleInstance::bringToFrontRequested, &window,
                   &MDIForm1::bringToFront);
  if (!window.MDIForm1_Load()) return 1;
  return QApplication::exec();
}
