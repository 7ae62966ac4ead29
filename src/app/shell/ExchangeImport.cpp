#include "shell/ExchangeImport.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>

#include "Messages.h"
#include "exchange/QuestionPackage.h"
#include "exchange/TestPackage.h"
#include "shell/MainMenuController.h"
#include "shell/frmIslem.h"
#include "widgets/FileDialogs.h"

namespace shell::exchangeimport {

namespace {

QStringList chooseFiles(QWidget* window, Kind kind) {
  return kind == Kind::Questions
             ? filedialogs::openFiles(window, QStringLiteral("SoruDosyasi"),
                                      exchange::QuestionPackage::readDialogTitle(),
                                      exchange::QuestionPackage::fileFilter())
             : filedialogs::openFiles(window, QStringLiteral("TestDosyasi"),
                                      exchange::TestPackage::readDialogTitle(),
                                      exchange::TestPackage::menuFileFilter());
}

}  // namespace

QString rightKey(Kind kind) {
  return kind == Kind::Questions ? QStringLiteral("SoruAl") : QStringLiteral("TestAl");
}

void addMenuItems(MainMenuController& rights, QMenu* menu, QWidget* window,
                  const ScreenContext& context) {
  for (const auto& [kind, caption, name] :
       {std::tuple{Kind::Questions, QStringLiteral("Dosyadan Soru Al"),
                   QStringLiteral("mnuDosyadanSoruAl")},
        std::tuple{Kind::Tests, QStringLiteral("Dosyadan Test Al"),
                   QStringLiteral("mnuDosyadanTestAl")}}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setProperty("rightKey", rightKey(kind));
    rights.connectGuarded(action, [window, context, k = kind] {
      const QStringList paths = chooseFiles(window, k);
      if (!paths.isEmpty()) importFiles(window, context, k, paths);
    });
  }
}

int importFiles(QWidget* window, const ScreenContext& context, Kind kind,
                const QStringList& paths) {
  frmIslem progress(window);
  const auto read = [&context, kind](const QString& path) {
    return kind == Kind::Questions ? exchange::QuestionPackage(context.store).read(path)
                                   : exchange::TestPackage(context.store).read(path);
  };
  const exchange::ImportOutcome outcome = exchange::readFiles(
      paths, read,
      [&progress](int i, int n) { progress.showText(exchange::fileProgressText(i, n)); });
  progress.hide();
  const bool questions = kind == Kind::Questions;
  if (!outcome.failures.isEmpty()) {
    // What the good files added comes first; each refused file is named after it.
    QString text;
    if (outcome.added > 0)
      text = (questions ? exchange::QuestionPackage::addedMessage(outcome.added)
                        : exchange::TestPackage::addedMessage(outcome.added)) +
             QStringLiteral("\n\n");
    text += (questions ? exchange::QuestionPackage::readFailedMessage()
                       : exchange::TestPackage::readFailedMessage()) +
            QStringLiteral("\n\n") + outcome.failures.join(QLatin1Char('\n'));
    if (outcome.added > 0)
      context.messages.warning(text);
    else
      context.messages.error(text);
  } else if (paths.size() == 1) {
    context.messages.info(questions ? exchange::QuestionPackage::menuAddedMessage()
                                    : exchange::TestPackage::menuAddedMessage());
  } else {
    context.messages.info(questions ? exchange::QuestionPackage::addedMessage(outcome.added)
                                    : exchange::TestPackage::addedMessage(outcome.added));
  }
  return outcome.added;
}

}  // namespace shell::exchangeimport
