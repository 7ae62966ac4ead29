#include "CliArgs.h"

namespace cli {

namespace {

const Syntax::Option* findOption(const Syntax& syntax, const QString& name) {
  for (const Syntax::Option& o : syntax.options)
    if (o.name == name) return &o;
  return nullptr;
}

// "--name" and "-x" are options; "-5" and a lone "-" are plain words.
bool looksLikeOption(const QString& word) {
  if (word.startsWith(QStringLiteral("--"))) return word.size() > 2;
  return word.size() > 1 && word.at(0) == QLatin1Char('-') && word.at(1).isLetter();
}

}  // namespace

Result<Args> parseArgs(const QStringList& words, const Syntax& syntax) {
  using R = Result<Args>;
  Args args;
  for (qsizetype i = 0; i < words.size(); ++i) {
    const QString& word = words.at(i);
    if (!looksLikeOption(word)) {
      if (syntax.maxArgs >= 0 && args.positional.size() >= syntax.maxArgs)
        return R::failure(QStringLiteral("Fazla argüman: ") + word);
      args.positional << word;
      continue;
    }
    QString name = word.startsWith(QStringLiteral("--")) ? word.mid(2) : word.mid(1);
    QString inlineValue;
    bool hasInlineValue = false;
    if (const qsizetype eq = name.indexOf(QLatin1Char('=')); eq > 0) {
      inlineValue = name.mid(eq + 1);
      name.truncate(eq);
      hasInlineValue = true;
    }
    const Syntax::Option* option = findOption(syntax, name);
    if (!option || !word.startsWith(QStringLiteral("--")))
      return R::failure(QStringLiteral("Bilinmeyen seçenek: ") + word);
    const QString shown = QStringLiteral("--") + name;
    if (args.has(name))
      return R::failure(QStringLiteral("%1 seçeneği bir kez verilebilir.").arg(shown));
    QStringList values;
    switch (option->kind) {
      case Syntax::Kind::Flag:
        if (hasInlineValue)
          return R::failure(QStringLiteral("%1 seçeneği değer almaz.").arg(shown));
        break;
      case Syntax::Kind::Value:
        if (hasInlineValue) {
          values << inlineValue;
        } else if (i + 1 < words.size() && !looksLikeOption(words.at(i + 1))) {
          values << words.at(++i);
        }
        if (values.isEmpty() || values.first().isEmpty())
          return R::failure(QStringLiteral("%1 seçeneği bir değer bekliyor.").arg(shown));
        break;
      case Syntax::Kind::Values:
        if (hasInlineValue) values << inlineValue;
        while (i + 1 < words.size() && !looksLikeOption(words.at(i + 1))) values << words.at(++i);
        if (values.isEmpty() || values.contains(QString()))
          return R::failure(QStringLiteral("%1 seçeneği en az bir değer bekliyor.").arg(shown));
        break;
    }
    args.set(name, values);
  }
  if (args.positional.size() < syntax.minArgs)
    return R::failure(QStringLiteral("Eksik argüman: %1 gerekli, %2 verildi.")
                          .arg(syntax.minArgs)
                          .arg(args.positional.size()));
  return args;
}

int usageError(QTextStream& err, const QString& message, const Syntax& syntax) {
  err << message << '\n' << "Kullanım: derslik-cli " << syntax.usage << '\n';
  return 2;
}

int subCommandError(QTextStream& err, const QStringList& words, const QString& usage) {
  err << (words.isEmpty() ? QStringLiteral("Alt komut eksik.")
                          : QStringLiteral("Bilinmeyen alt komut: ") + words.first())
      << '\n'
      << "Kullanım: derslik-cli " << usage << '\n';
  return 2;
}

std::optional<Args> parseOrComplain(const QStringList& words, const Syntax& syntax,
                                    QTextStream& err, int& code) {
  Result<Args> parsed = parseArgs(words, syntax);
  if (!parsed) {
    code = usageError(err, parsed.error(), syntax);
    return std::nullopt;
  }
  return parsed.value();
}

}  // namespace cli
