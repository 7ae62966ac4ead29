#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <optional>

#include "CliArgs.h"
#include "Messages.h"

namespace store {
class Store;
struct ServerLogin;
}  // namespace store

namespace cli {

// One verb of derslik-cli. `run` gets the data folder's store (not yet open: a
// verb opens it with openDatabase() when it needs the database), the arguments
// after the verb, and returns the process exit code. Each area keeps its verbs
// in its own file.
struct CliCommand {
  using Run = std::function<int(store::Store& store, const QStringList& args, QTextStream& out,
                                QTextStream& err)>;
  QString verb;
  QString usage;  // one line shown by "derslik-cli help"
  Run run;
};

QList<CliCommand> storeCommands();
QList<CliCommand> receiverCommands();
QList<CliCommand> schoolCommands();
QList<CliCommand> userCommands();
QList<CliCommand> authoringCommands();
QList<CliCommand> runCommands();
QList<CliCommand> reportCommands();
QList<CliCommand> cardCommands();
QList<CliCommand> serverCommands();

// The options that choose a school's server, taken out of `args`: "--sunucu URL"
// wherever it stands (or DERSLIK_SUNUCU), and "--password-stdin" before the
// command (the password is the whole of standard input, a final line break
// dropped). Empty when no server is named.
Result<std::optional<store::ServerLogin>> takeServerOptions(QStringList& args);

// Reads all of standard input, as bytes (for --password-stdin and the like).
QByteArray readStdin();

// Opens the data folder for a command, before anything in it is read: waits a
// moment for a running rollover (then says "Sınıf atlatma sürüyor"), finishes
// or undoes an interrupted one (its sentences go to `err`), takes the folder's
// shared lock for the rest of the command and opens the store (with the database
// check). With `mustExist` a missing main database is an error instead of being
// created.
bool openDatabase(store::Store& store, QTextStream& err, bool mustExist = false);
// Only the first half: the wait, the repair and the lock, nothing opened.
bool enterDataFolder(const store::Store& store, QTextStream& err);

// One line of the tab-separated output every list command writes (no line
// break at its end): a backslash, a tab, a line break and a carriage return
// inside a cell are written as \\, \t, \n and \r, so no value splits a row or
// shifts a column, and a script can read each value back exactly.
QString tsvLine(const QStringList& cells);

// The command line's message channel: messages are printed, questions answered
// "Evet" only with --yes (the question and the answer are printed too).
class CliMessages : public Messages {
 public:
  CliMessages(QTextStream& out, QTextStream& err, bool yes) : m_out(out), m_err(err), m_yes(yes) {}
  Answer show(const Message& message) override;

 private:
  QTextStream& m_out;
  QTextStream& m_err;
  bool m_yes;
};

}  // namespace cli
