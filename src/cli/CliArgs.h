#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

#include "Result.h"

namespace cli {

// What one command (or sub-command) accepts: its options and how many plain
// arguments. Each command keeps its own Syntax next to its code; adding an
// option is one more .value("...") there.
struct Syntax {
  enum class Kind {
    Flag,    // --yes
    Value,   // --class 5-A  (or --class=5-A), at most once
    Values,  // --deny 104M 105M ...: one or more words up to the next option
  };
  struct Option {
    QString name;  // without "--"
    Kind kind = Kind::Flag;
  };

  QString usage;  // shown after "Kullanım: derslik-cli "
  QList<Option> options;
  int minArgs = 0;
  int maxArgs = 0;  // -1: no upper bound

  explicit Syntax(QString usageLine, int min = 0, int max = 0)
      : usage(std::move(usageLine)), minArgs(min), maxArgs(max) {}
  Syntax& flag(const QString& name) { return add(name, Kind::Flag); }
  Syntax& value(const QString& name) { return add(name, Kind::Value); }
  Syntax& values(const QString& name) { return add(name, Kind::Values); }

 private:
  Syntax& add(const QString& name, Kind kind) {
    options.append({name, kind});
    return *this;
  }
};

// The arguments of one command after checking them against its Syntax.
class Args {
 public:
  QStringList positional;
  bool has(const QString& name) const { return m_given.contains(name); }
  QString value(const QString& name) const { return m_given.value(name).value(0); }
  QStringList values(const QString& name) const { return m_given.value(name); }
  void set(const QString& name, const QStringList& values) { m_given.insert(name, values); }

 private:
  QHash<QString, QStringList> m_given;
};

// Checks every word: an unknown option, an option without its value, an option
// given twice and a plain argument too many are refused with a sentence that
// names the word. Nothing is looked at beyond the words themselves.
Result<Args> parseArgs(const QStringList& words, const Syntax& syntax);

// Writes `message` and the usage line; returns the exit code of a usage error (2).
int usageError(QTextStream& err, const QString& message, const Syntax& syntax);

// A sub-command ("add", "list" ...) that is missing or unknown.
int subCommandError(QTextStream& err, const QStringList& words, const QString& usage);

// parseArgs, and on failure usageError: `code` gets 2 and the result is empty.
std::optional<Args> parseOrComplain(const QStringList& words, const Syntax& syntax,
                                    QTextStream& err, int& code);

}  // namespace cli
