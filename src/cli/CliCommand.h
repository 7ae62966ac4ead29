#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

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

// Reads all of standard input (for --password-stdin and the like).
QString readStdin();

}  // namespace cli
