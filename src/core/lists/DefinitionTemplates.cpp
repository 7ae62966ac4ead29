#include "lists/DefinitionTemplates.h"

#include <QRegularExpression>

namespace lists {

namespace {

const QString kYeni = QStringLiteral("@@@YENI");
const QString kEski = QStringLiteral("@@@ESKI");

bool isIdentifier(const QString& name) {
  static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
  return re.match(name).hasMatch();
}

QString quoted(const QString& value) {
  QString v = value;
  v.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + v + QLatin1Char('\'');
}

// Text with markers -> pieces: plain text and markers in order.
void appendLiteral(const QString& content, const QString& yeni, const QString& eski, QString& out,
                   QVariantList& params) {
  if (!content.contains(kYeni) && !content.contains(kEski)) {
    out += quoted(content);
    return;
  }
  QStringList parts;
  qsizetype i = 0;
  while (i < content.size()) {
    const qsizetype y = content.indexOf(kYeni, i);
    const qsizetype e = content.indexOf(kEski, i);
    qsizetype next = -1;
    if (y >= 0 && (e < 0 || y < e))
      next = y;
    else if (e >= 0)
      next = e;
    if (next < 0) {
      parts << quoted(content.mid(i));
      break;
    }
    if (next > i) parts << quoted(content.mid(i, next - i));
    parts << QStringLiteral("?");
    params << (next == y ? yeni : eski);
    i = next + kYeni.size();
  }
  out += parts.size() == 1
             ? parts.first()
             : QLatin1Char('(') + parts.join(QStringLiteral(" || ")) + QLatin1Char(')');
}

}  // namespace

Result<DefinitionSource> DefinitionSource::fromEntries(const QStringList& entries,
                                                       const QString& separator) {
  const QString message = QStringLiteral("Combonun ayracı düzgün yazılmamış");
  if (separator.isEmpty()) return Result<DefinitionSource>::failure(message);
  DefinitionSource s;
  s.separator = separator;
  for (const QString& entry : entries) {
    const qsizetype at = entry.indexOf(separator);
    if (at < 0) return Result<DefinitionSource>::failure(message);
    const QString key = entry.left(at).trimmed();
    const QString value = entry.mid(at + separator.size()).trimmed();
    if (key == QStringLiteral("AlınacakTablo"))
      s.table = value;
    else if (key == QStringLiteral("AlınacakField"))
      s.field = value;
    else if (key == QStringLiteral("WhereParametresiSabit"))
      s.fixedConditions = value;
  }
  return s;
}

Result<DefinitionTemplates> DefinitionTemplates::fromSource(const DefinitionSource& source) {
  auto fail = [](const QString& what) {
    return Result<DefinitionTemplates>::failure(
        QStringLiteral("Tanım kaynağı geçersiz: %1").arg(what));
  };
  if (!isIdentifier(source.table)) return fail(source.table);
  if (!isIdentifier(source.field)) return fail(source.field);
  QStringList conditions, columns, values;
  for (const QString& pair : source.fixedConditions.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    const qsizetype eq = pair.indexOf(QLatin1Char('='));
    if (eq < 0) return fail(pair);
    const QString column = pair.left(eq).trimmed();
    QString value = pair.mid(eq + 1).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('\'')) &&
        value.endsWith(QLatin1Char('\'')))
      value = value.mid(1, value.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    if (!isIdentifier(column)) return fail(column);
    conditions << column + QLatin1Char('=') + quoted(value);
    columns << column;
    values << quoted(value);
  }
  const QString where =
      conditions.isEmpty() ? QStringLiteral("1=1") : conditions.join(QStringLiteral(" AND "));
  const QString& t = source.table;
  const QString& f = source.field;
  DefinitionTemplates d;
  d.select = QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(f, t, where);
  d.duplicate = QStringLiteral("SELECT * FROM %1 WHERE %2 AND TRUPPER(%3)=TRUPPER('@@@YENI')")
                    .arg(t, where, f);
  d.update =
      QStringLiteral("UPDATE %1 SET %2='@@@YENI' WHERE %2='@@@ESKI' AND %3").arg(t, f, where);
  d.remove = QStringLiteral("DELETE FROM %1 WHERE %2='@@@ESKI' AND %3").arg(t, f, where);
  columns << f;
  values << QStringLiteral("'@@@YENI'");
  d.insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                 .arg(t, columns.join(QLatin1Char(',')), values.join(QLatin1Char(',')));
  return d;
}

BoundSql bindMarkers(const QString& templ, const QString& yeni, const QString& eski) {
  static const QRegularExpression jetDelete(QStringLiteral("^\\s*DELETE\\s+\\*\\s+FROM\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
  QString t = templ;
  t.replace(jetDelete, QStringLiteral("DELETE FROM"));
  BoundSql b;
  qsizetype i = 0;
  const qsizetype n = t.size();
  while (i < n) {
    const QChar c = t.at(i);
    if (c == QLatin1Char('\'')) {
      QString content;
      qsizetype j = i + 1;
      while (j < n) {
        if (t.at(j) == QLatin1Char('\'')) {
          if (j + 1 < n && t.at(j + 1) == QLatin1Char('\'')) {
            content += QLatin1Char('\'');
            j += 2;
            continue;
          }
          break;
        }
        content += t.at(j++);
      }
      appendLiteral(content, yeni, eski, b.sql, b.params);
      i = j + 1;
    } else if (QStringView(t).mid(i).startsWith(kYeni)) {
      b.sql += QLatin1Char('?');
      b.params << yeni;
      i += kYeni.size();
    } else if (QStringView(t).mid(i).startsWith(kEski)) {
      b.sql += QLatin1Char('?');
      b.params << eski;
      i += kEski.size();
    } else {
      b.sql += c;
      ++i;
    }
  }
  return b;
}

}  // namespace lists
