#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

#include "CliArgs.h"

namespace cli {

// One verb of derslik-cli. `run` gets the arguments after the verb and returns
// the process exit code. Each area keeps its verbs in its own file.
struct CliCommand {
  QString verb;
  QString usage;  // one line shown by "derslik-cli help"
  std::function<int(const QStringList& args, QTextStream& out, QTextStream& err)> run;
};

QList<CliCommand> storeCommands();
QList<CliCommand> receiverCommands();
QList<CliCommand> schoolCommands();
QList<CliCommand> userCommands();

// Reads all of standard input, as bytes (for --password-stdin and the like).
QByteArray readStdin();

// Opens the data folder for a command, before anything in it is read: waits a
// moment for a running rollover (then says "Sınıf atlatma sürüyor"), finishes
// or undoes an interrupted one (its sentences go to `err`), takes the folder's
// shared lock for the rest of the command and runs the database check. With
// `mustExist` a missing main database is an error instead of being created.
bool openDatabase(QTextStream& err, bool mustExist = false);
// Only the first half: the wait, the repair and the lock, nothing opened.
bool enterDataFolder(QTextStream& err);

}  // namespace cli
