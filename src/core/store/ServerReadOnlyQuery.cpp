#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include "store/Dialect.h"
#include "store/ReadOnlyQuery.h"
#include "store/ServerConnection.h"

namespace store {

namespace {

QString refusedMessage(const QString& what) {
  return QStringLiteral("Yalnızca okuma sorgularına izin verilir (%1 yapılamaz).").arg(what);
}

// Index just past the quoted part that starts at `i` (its opening character).
qsizetype skipQuoted(const QString& s, qsizetype i, QChar quote, bool backslashEscapes) {
  for (++i; i < s.size(); ++i) {
    if (backslashEscapes && s.at(i) == QLatin1Char('\\')) {
      ++i;
      continue;
    }
    if (s.at(i) == quote) {
      if (i + 1 < s.size() && s.at(i + 1) == quote) {
        ++i;
        continue;
      }
      return i + 1;
    }
  }
  return s.size();
}

// Index just past a comment starting at `i`, or `i` when none starts there.
qsizetype skipComment(const QString& s, qsizetype i) {
  if (s.mid(i, 2) == QLatin1String("--")) {
    const qsizetype end = s.indexOf(QLatin1Char('\n'), i);
    return end < 0 ? s.size() : end + 1;
  }
  if (s.mid(i, 2) == QLatin1String("/*")) {
    int depth = 0;
    for (; i < s.size(); ++i) {
      if (s.mid(i, 2) == QLatin1String("/*")) {
        ++depth;
        ++i;
      } else if (s.mid(i, 2) == QLatin1String("*/")) {
        ++i;
        if (--depth == 0) return i + 1;
      }
    }
    return s.size();
  }
  return i;
}

}  // namespace

bool isOneStatement(const QString& s) {
  qsizetype i = 0;
  bool ended = false;  // a semicolon has been passed
  bool any = false;
  while (i < s.size()) {
    const QChar c = s.at(i);
    if (const qsizetype after = skipComment(s, i); after != i) {
      i = after;
      continue;
    }
    if (c.isSpace()) {
      ++i;
      continue;
    }
    if (c == QLatin1Char(';')) {
      ended = any;
      ++i;
      continue;
    }
    if (ended) return false;
    any = true;
    if (c == QLatin1Char('\'')) {
      const bool escapes =
          i > 0 && (s.at(i - 1) == QLatin1Char('E') || s.at(i - 1) == QLatin1Char('e'));
      i = skipQuoted(s, i, c, escapes);
    } else if (c == QLatin1Char('"')) {
      i = skipQuoted(s, i, c, false);
    } else if (c == QLatin1Char('$')) {
      // $tag$ ... $tag$ (a "$1" parameter is no quote).
      qsizetype j = i + 1;
      while (j < s.size() && (s.at(j).isLetterOrNumber() || s.at(j) == QLatin1Char('_'))) ++j;
      const bool tagged =
          j < s.size() && s.at(j) == QLatin1Char('$') && !(j > i + 1 && s.at(i + 1).isDigit());
      if (!tagged) {
        i = j;
        continue;
      }
      const QString tag = s.mid(i, j - i + 1);
      const qsizetype close = s.indexOf(tag, j + 1);
      i = close < 0 ? s.size() : close + tag.size();
    } else {
      ++i;
    }
  }
  return true;
}

Status runReadOnlyQuery(const QSqlDatabase& db, const QString& sql,
                        const std::function<void(const QStringList&)>& row,
                        const ReadOnlyLimits& limits) {
  if (sql.trimmed().isEmpty()) return Status::failure(QStringLiteral("Sorgu boş."));
  if (!isOneStatement(sql)) return Status::failure(onlyOneStatementMessage());
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("BEGIN READ ONLY")))
    return Status::failure(statementErrorText(q.lastError(), db));
  struct RolledBack {
    QSqlDatabase db;
    ~RolledBack() { (void)QSqlQuery(db).exec(QStringLiteral("ROLLBACK")); }
  } end{db};
  if (!q.exec(QStringLiteral("SET LOCAL statement_timeout = %1").arg(limits.timeoutMs)))
    return Status::failure(statementErrorText(q.lastError(), db));
  q.setForwardOnly(true);
  // Written as on a board: the server's dialect reads it the same way.
  if (!q.exec(dialectOf(db).prepare(sql))) {
    const QString state = q.lastError().nativeErrorCode();
    if (state == QLatin1String("25006"))
      return Status::failure(refusedMessage(QStringLiteral("yazma")));
    if (state == QLatin1String("57014"))
      return Status::failure(QStringLiteral("Sorgu %1 saniyede bitmedi ve durduruldu.")
                                 .arg(limits.timeoutMs / 1000.0, 0, 'g', 3));
    return Status::failure(statementErrorText(q.lastError(), db));
  }
  const QSqlRecord record = q.record();
  QStringList header;
  for (int i = 0; i < record.count(); ++i) header << record.fieldName(i).toUpper();
  if (!header.isEmpty()) row(header);
  qint64 written = 0;
  while (q.next()) {
    QStringList cells;
    for (int i = 0; i < record.count(); ++i) {
      const QVariant v = q.value(i);
      QString cell;
      if (v.typeId() == QMetaType::QByteArray) {
        cell = QStringLiteral("[ikili veri: %1 bayt]").arg(v.toByteArray().size());
      } else if (!v.isNull()) {
        cell = v.toString();
        cell.replace(QLatin1Char('\t'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
      }
      if (cell.size() > limits.maxValueBytes)
        return Status::failure(QStringLiteral("Sonuçtaki bir değer çok uzun."));
      written += cell.size() + 1;
      cells << cell;
    }
    if (written > limits.maxResultBytes)
      return Status::failure(QStringLiteral("Sonuç çok büyük (%1 MB sınırı); sorguyu daraltınız.")
                                 .arg(limits.maxResultBytes >> 20));
    row(cells);
  }
  return {};
}

}  // namespace store
