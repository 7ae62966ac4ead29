#include "framework/ExchangeImport.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>

#include "Messages.h"
#include "exchange/QuestionPackage.h"
#include "exchange/TakenFiles.h"
#include "exchange/TestPackage.h"
#include "framework/FileDialogs.h"
#include "framework/frmIslem.h"

namespace framework::exchangeimport {

QString rightKey(Kind kind) {
  return kind == Kind::Questions ? QStringLiteral("SoruAl") : QStringLiteral("TestAl");
}

QString writeRightKey(Kind kind) {
  return kind == Kind::Questions ? QStringLiteral("SoruVer") : QStringLiteral("TestVer");
}

QStringList chooseFiles(QWidget* window, Kind kind, Origin origin) {
  if (kind == Kind::Questions)
    return filedialogs::openFiles(window, QStringLiteral("SoruDosyasi"),
                                  exchange::QuestionPackage::readDialogTitle(),
                                  exchange::QuestionPackage::fileFilter());
  return filedialogs::openFiles(window, QStringLiteral("TestDosyasi"),
                                exchange::TestPackage::readDialogTitle(),
                                origin == Origin::Menu ? exchange::TestPackage::menuFileFilter()
                                                       : exchange::TestPackage::readFileFilter());
}

int importFiles(QWidget* window, const ScreenContext& context, Kind kind, const QStringList& paths,
                Origin origin) {
  frmIslem progress(window);
  // With several files the numbering line goes under the file's own line.
  QString fileLine;
  const exchange::Progress numbering = [&progress, &fileLine](const QString& line) {
    progress.showText(fileLine.isEmpty() ? line : fileLine + QLatin1Char('\n') + line);
  };
  // The numbers the tests got, over all the files.
  QStringList testNos;
  const auto read = [&context, kind, &numbering, &testNos](const QString& path, bool onlyIfNew) {
    if (kind == Kind::Questions)
      return exchange::QuestionPackage(context.store).read(path, numbering, onlyIfNew);
    exchange::TestPackage tests(context.store);
    const Result<int> added = tests.read(path, numbering, onlyIfNew);
    testNos << tests.addedTests();
    return added;
  };
  // A file taken before is read again only when the teacher says so ("Hayır"
  // by default: Enter never doubles a bank).
  const exchange::TakenFiles taken(context.store);
  const exchange::ReadAgain again = [&context, &progress](const QString& path,
                                                          const exchange::TakenFile& before) {
    progress.hide();
    return context.messages.ask(exchange::TakenFiles::againQuestion(path, before),
                                QStringLiteral("Soru"), Messages::Answer::No);
  };
  const exchange::ImportOutcome outcome = exchange::readFiles(
      paths, read,
      [&progress, &fileLine](int i, int n) {
        fileLine = n > 1 ? exchange::fileProgressText(i, n) : QString();
        progress.showText(exchange::fileProgressText(i, n));
      },
      &taken, again);
  progress.hide();
  const bool questions = kind == Kind::Questions;
  const QString addedText = questions ? exchange::QuestionPackage::addedMessage(outcome.added)
                                      : exchange::TestPackage::addedMessage(outcome.added, testNos);
  // Files left out because they were taken before, named after the rest.
  const QString skippedText =
      outcome.skipped.isEmpty()
          ? QString()
          : QStringLiteral("\n\nDaha önce alındığı için alınmayan dosyalar:\n") +
                outcome.skipped.join(QLatin1Char('\n'));
  if (!outcome.failures.isEmpty()) {
    // What the good files added comes first; each refused file is named after it.
    QString text;
    if (outcome.added > 0) text = addedText + QStringLiteral("\n\n");
    text += (questions ? exchange::QuestionPackage::readFailedMessage()
                       : exchange::TestPackage::readFailedMessage()) +
            QStringLiteral("\n\n") + outcome.failures.join(QLatin1Char('\n')) + skippedText;
    if (outcome.added > 0)
      context.messages.warning(text);
    else
      context.messages.error(text);
  } else if (outcome.added == 0 && !outcome.skipped.isEmpty()) {
    context.messages.info(QStringLiteral("Hiçbir şey eklenmedi.\n\n") +
                          outcome.skipped.join(QLatin1Char('\n')));
  } else if (origin == Origin::Menu && paths.size() == 1) {
    context.messages.info(questions ? exchange::QuestionPackage::menuAddedMessage()
                                    : exchange::TestPackage::menuAddedMessage(testNos));
  } else {
    context.messages.info(addedText + skippedText);
  }
  return outcome.added;
}

bool exportFile(QWidget* window, const ScreenContext& context, Kind kind, const QStringList& keys) {
  const bool questions = kind == Kind::Questions;
  const QString path =
      questions
          ? filedialogs::saveFile(window, QStringLiteral("SoruDosyasi"),
                                  exchange::QuestionPackage::writeDialogTitle(),
                                  exchange::QuestionPackage::writeDefaultName(),
                                  exchange::QuestionPackage::fileFilter(), QStringLiteral("cks"))
          : filedialogs::saveFile(window, QStringLiteral("TestDosyasi"),
                                  exchange::TestPackage::writeDialogTitle(),
                                  exchange::TestPackage::writeDefaultName(),
                                  exchange::TestPackage::fileFilter(), QStringLiteral("ckp"));
  if (path.isEmpty()) return false;
  frmIslem progress(window);
  progress.showText(QStringLiteral("Dosya oluşturuluyor..."));
  const Status written = questions ? exchange::QuestionPackage(context.store).write(keys, path)
                                   : exchange::TestPackage(context.store).write(keys, path);
  progress.hide();
  if (!written) {
    context.messages.error(written.error());
    return false;
  }
  context.messages.info(questions ? exchange::QuestionPackage::writtenMessage()
                                  : exchange::TestPackage::writtenMessage());
  return true;
}

}  // namespace framework::exchangeimport
