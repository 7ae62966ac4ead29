#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>

#include "store/Dialect.h"
#include "store/SchemaTables.h"
#include "store/Sql.h"

namespace store {

namespace {

// The index of the parenthesis that closes the one at `open`, skipping quoted
// text; -1 when there is none.
qsizetype closingParenthesis(const QString& sql, qsizetype open) {
  int depth = 0;
  for (qsizetype i = open; i < sql.size(); ++i) {
    const QChar c = sql.at(i);
    if (c == QLatin1Char('\'')) {
      const qsizetype end = sql.indexOf(QLatin1Char('\''), i + 1);
      if (end < 0) return -1;
      i = end;
    } else if (c == QLatin1Char('(')) {
      ++depth;
    } else if (c == QLatin1Char(')') && --depth == 0) {
      return i;
    }
  }
  return -1;
}

// SQLite's CAST never fails: text becomes the number it starts with (0 for none),
// and EXISTS is the number 0 or 1, where the server refuses "12abc" as a number
// and writes a boolean as "true" / "false". Casts to numbers go through functions
// with SQLite's meaning; an EXISTS cast to text is read as a number first.
QString sqliteCasts(QString sql) {
  static const QRegularExpression cast(QStringLiteral("\\bCAST\\s*\\("),
                                       QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression type(QStringLiteral("\\s+AS\\s+(REAL|INTEGER|TEXT)\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression exists(QStringLiteral("^\\s*EXISTS\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
  // Innermost last: rewriting from the end keeps earlier positions valid.
  QList<qsizetype> starts;
  for (auto it = cast.globalMatch(sql); it.hasNext();) starts << it.next().capturedStart();
  for (qsizetype k = starts.size() - 1; k >= 0; --k) {
    const qsizetype start = starts.at(k);
    const qsizetype open = sql.indexOf(QLatin1Char('('), start);
    const qsizetype close = closingParenthesis(sql, open);
    if (close < 0) continue;
    const QString inside = sql.mid(open + 1, close - open - 1);
    const QRegularExpressionMatch t = type.match(inside);
    if (!t.hasMatch()) continue;
    const QString expr = inside.left(t.capturedStart());
    const QString to = t.captured(1).toUpper();
    QString replacement;
    if (to == QLatin1String("REAL"))
      replacement = QStringLiteral("SQLITEREAL(%1)").arg(expr);
    else if (to == QLatin1String("INTEGER"))
      replacement = QStringLiteral("SQLITEINTEGER(%1)").arg(expr);
    else if (exists.match(expr).hasMatch())
      replacement = QStringLiteral("CAST((%1)::integer AS TEXT)").arg(expr);
    else
      continue;
    sql.replace(start, close - start + 1, replacement);
  }
  return sql;
}

// Derslik's table and column names, upper case.
const QSet<QString>& knownNames() {
  static const QSet<QString> names = [] {
    QSet<QString> n;
    QList<TableDef> all = mainTables();
    all << storeTable(true).table << storeTable(false).table;
    for (const TableDef& t : all) {
      n.insert(t.name.toUpper());
      for (const ColumnDef& c : t.columns) n.insert(c.name.toUpper());
    }
    return n;
  }();
  return names;
}

// The server folds unquoted names to lower case, SQLite keeps them as written,
// and a result column is read by the name the statement gives it. The server's
// tables and columns are made with their names quoted in upper case, and every
// one of those names a statement uses (outside quoted text, in any case) is
// quoted the same way.
QString quoteKnownNames(const QString& sql) {
  QString out;
  out.reserve(sql.size() + 32);
  const qsizetype n = sql.size();
  for (qsizetype i = 0; i < n;) {
    const QChar c = sql.at(i);
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      qsizetype end = i + 1;
      while (end < n) {
        if (sql.at(end) == c) {
          if (end + 1 < n && sql.at(end + 1) == c) {
            end += 2;
            continue;
          }
          break;
        }
        ++end;
      }
      end = std::min(end + 1, n);
      out += QStringView(sql).mid(i, end - i);
      i = end;
      continue;
    }
    const bool wordStart = c.isLetter() || c == QLatin1Char('_');
    if (!wordStart) {
      out += c;
      ++i;
      continue;
    }
    qsizetype end = i + 1;
    while (end < n && (sql.at(end).isLetterOrNumber() || sql.at(end) == QLatin1Char('_'))) ++end;
    const QStringView word = QStringView(sql).mid(i, end - i);
    const bool parameter = i > 0 && sql.at(i - 1) == QLatin1Char(':');
    const QString upper = word.toString().toUpper();
    if (!parameter && knownNames().contains(upper))
      out += QLatin1Char('"') + upper + QLatin1Char('"');
    else
      out += word;
    i = end;
  }
  return out;
}

// The embedded database's words the server says otherwise. Statements are few
// and repeat, so each is translated once.
QString translate(QString sql) {
  struct Rule {
    QRegularExpression from;
    QString to;
  };
  static const QList<Rule> rules = [] {
    const auto ci = QRegularExpression::CaseInsensitiveOption;
    QList<Rule> r;
    // A comparator written in C++ cannot be a server collation: the remote order
    // is a sort key the server computes.
    r.append({QRegularExpression(QStringLiteral("([\\w.]+)\\s+COLLATE\\s+KUMANDA\\b"), ci),
              QStringLiteral("KUMANDASIRA(\\1) COLLATE \"C\"")});
    r.append({QRegularExpression(QStringLiteral("\\bNOT\\s+GLOB\\s+'\\*\\[\\^0-9\\]\\*'"), ci),
              QStringLiteral("!~ '[^0-9]'")});
    r.append({QRegularExpression(QStringLiteral("\\bGLOB\\s+'\\*\\[\\^0-9\\]\\*'"), ci),
              QStringLiteral("~ '[^0-9]'")});
    // SQLite's temporary schema.
    r.append({QRegularExpression(QStringLiteral("\\btemp\\."), ci), QStringLiteral("pg_temp.")});
    r.append({QRegularExpression(QStringLiteral("\\bchar\\("), ci), QStringLiteral("chr(")});
    // SQLite's IS / IS NOT compare values as well as NULL.
    r.append({QRegularExpression(
                  QStringLiteral("\\bIS\\s+NOT\\s+(?!NULL\\b|DISTINCT\\b|TRUE\\b|FALSE\\b)"), ci),
              QStringLiteral("IS DISTINCT FROM ")});
    r.append({QRegularExpression(
                  QStringLiteral("\\bIS\\s+(?!NOT\\b|NULL\\b|DISTINCT\\b|TRUE\\b|FALSE\\b)"), ci),
              QStringLiteral("IS NOT DISTINCT FROM ")});
    return r;
  }();
  for (const Rule& rule : rules) sql.replace(rule.from, rule.to);
  sql = sqliteCasts(sql);
  sql = quoteKnownNames(sql);
  // The server folds unquoted names to lower case, and a result column is read
  // by the name the statement gives it: a name given with AS keeps its case when
  // nothing else in the statement refers to it (one- and two-letter names are
  // the tables' own aliases).
  static const QRegularExpression alias(QStringLiteral(
      "\\bAS\\s+(?!(?:INTEGER|BIGINT|TEXT|REAL|NUMERIC|BLOB|DOUBLE|VARCHAR|BYTEA)\\b)"
      "([A-Z][A-Z0-9_]{2,})\\b(?!\\s*\\()"));
  QStringList once;
  for (auto it = alias.globalMatch(sql); it.hasNext();) {
    const QString name = it.next().captured(1);
    const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(name),
                                  QRegularExpression::CaseInsensitiveOption);
    if (sql.count(word) == 1) once << name;
  }
  for (const QString& name : once)
    sql.replace(QRegularExpression(QStringLiteral("\\bAS\\s+%1\\b").arg(name)),
                QStringLiteral("AS \"%1\"").arg(name));
  return sql;
}

// The server's stand-ins for the functions registered on SQLite connections,
// with the same meanings (see SqlFunctions.h). Every value is text.
QStringList functionDefinitions() {
  const char* const definitions[] = {
      "CREATE COLLATION IF NOT EXISTS turkce (provider = icu, locale = 'tr-TR-u-kn-true')",
      // VAL: blanks before the number are skipped, blanks inside it ignored, then a
      // sign, digits and one point; anything else ends it; no number reads 0.
      // Reports read it from every result row: the counts Derslik writes (digits
      // only) are converted without the regular expression, three times faster.
      "CREATE OR REPLACE FUNCTION val(t text) RETURNS double precision LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT CASE WHEN t <> '' AND ltrim(t, '0123456789') = '' THEN "
      "t::double precision ELSE COALESCE((substring(replace(ltrim(COALESCE(t, ''), E' "
      "\\t\\n\\r\\f\\v'), ' ', '') FROM '^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)'))::double "
      "precision, 0) END $$",
      "CREATE OR REPLACE FUNCTION val(t double precision) RETURNS double precision LANGUAGE sql "
      "IMMUTABLE PARALLEL SAFE AS $$ SELECT COALESCE(t, 0) $$",
      "CREATE OR REPLACE FUNCTION val(t bigint) RETURNS double precision LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT COALESCE(t, 0)::double precision $$",
      // SQLite's CAST(x AS REAL / INTEGER): the number the text starts with, else 0.
      "CREATE OR REPLACE FUNCTION sqlitereal(t text) RETURNS double precision LANGUAGE sql "
      "IMMUTABLE PARALLEL SAFE AS $$ SELECT COALESCE((substring(ltrim(t, E' \\t\\n\\r\\f\\v') "
      "FROM '^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?'))::double precision, 0) $$",
      "CREATE OR REPLACE FUNCTION sqlitereal(t double precision) RETURNS double precision "
      "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT t $$",
      "CREATE OR REPLACE FUNCTION sqliteinteger(t text) RETURNS bigint LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT CASE WHEN d IS NULL THEN 0 WHEN length(ltrim(d, '+-0')) > 18 "
      "THEN CASE WHEN d LIKE '-%' THEN -9223372036854775808 ELSE 9223372036854775807 END ELSE "
      "d::numeric::bigint END FROM (SELECT substring(ltrim(t, E' \\t\\n\\r\\f\\v') FROM "
      "'^[+-]?[0-9]+') AS d) s $$",
      "CREATE OR REPLACE FUNCTION sqliteinteger(t double precision) RETURNS bigint LANGUAGE sql "
      "IMMUTABLE PARALLEL SAFE AS $$ SELECT trunc(t)::bigint $$",
      "CREATE OR REPLACE FUNCTION sqliteinteger(t bigint) RETURNS bigint LANGUAGE sql "
      "IMMUTABLE PARALLEL SAFE AS $$ SELECT t $$",
      "CREATE OR REPLACE FUNCTION isnumeric(t text) RETURNS integer LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT CASE WHEN btrim(COALESCE(t, ''), E' \\t\\n\\r\\f\\v') ~ "
      "'^[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)([eE][+-]?[0-9]+)?$' THEN 1 ELSE 0 END $$",
      "CREATE OR REPLACE FUNCTION cdbl(t text) RETURNS double precision LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT CASE WHEN v ~ '^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?"
      "[0-9]+)?$' THEN v::double precision ELSE 0 END FROM (SELECT replace(btrim(COALESCE(t, "
      "''), E' \\t\\n\\r\\f\\v'), ',', '.') AS v) s $$",
      "CREATE OR REPLACE FUNCTION nz(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE "
      "AS $$ SELECT COALESCE(t, '') $$",
      "CREATE OR REPLACE FUNCTION nz(t text, d text) RETURNS text LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT COALESCE(t, d) $$",
      "CREATE OR REPLACE FUNCTION nz(t double precision, d double precision) RETURNS double "
      "precision LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT COALESCE(t, d) $$",
      "CREATE OR REPLACE FUNCTION nz(t bigint, d bigint) RETURNS bigint LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT COALESCE(t, d) $$",
      "CREATE OR REPLACE FUNCTION mid(s text, i bigint) RETURNS text LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT substr(s, greatest(i, 1)::integer) $$",
      "CREATE OR REPLACE FUNCTION mid(s text, i bigint, n bigint) RETURNS text LANGUAGE sql "
      "IMMUTABLE PARALLEL SAFE AS $$ SELECT substr(s, greatest(i, 1)::integer, greatest(n, "
      "0)::integer) $$",
      "CREATE OR REPLACE FUNCTION instr(s text, t text) RETURNS integer LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT strpos(s, t) $$",
      "CREATE OR REPLACE FUNCTION trupper(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL "
      "SAFE AS $$ SELECT upper(t COLLATE turkce) $$",
      "CREATE OR REPLACE FUNCTION trlower(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL "
      "SAFE AS $$ SELECT lower(t COLLATE turkce) $$",
      "CREATE OR REPLACE FUNCTION trfold(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL "
      "SAFE AS $$ SELECT translate(lower(t COLLATE turkce), 'âîû' || chr(770), 'aiu') $$",
      "CREATE OR REPLACE FUNCTION ogretmenmi(t text) RETURNS integer LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT CASE WHEN btrim(COALESCE(t, ''), E' \\t\\n\\r\\f\\v') = '1' "
      "THEN 1 ELSE 0 END $$",
      "CREATE OR REPLACE FUNCTION tarayiciogrencisi(t text) RETURNS text LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT CASE WHEN t LIKE '900-%' OR t LIKE '902-%' THEN substr(t, 5) "
      "ELSE '' END $$",
      "CREATE OR REPLACE FUNCTION okulnotemizle(t text) RETURNS text LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT translate(t, '/\\-', '...') $$",
      "CREATE OR REPLACE FUNCTION okulno(code text, sinifi text, kayitno text, adi text, soyadi "
      "text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT "
      "okulnotemizle(COALESCE(code, '') || left(COALESCE(sinifi, ''), 3) || COALESCE(kayitno, "
      "'') || left(COALESCE(adi, ''), 3) || left(COALESCE(soyadi, ''), 3)) $$",
      // Remote addresses "12-201" first, by their two numbers, then any other text.
      "CREATE OR REPLACE FUNCTION kumandasira(t text) RETURNS text LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT CASE WHEN m IS NOT NULL THEN '0' || lpad((m[1]::bigint + "
      "10000000000)::text, 12, '0') || lpad((m[2]::bigint + 10000000000)::text, 12, '0') ELSE "
      "'1' || COALESCE(t, '') END FROM (SELECT regexp_match(t, '^\\s*([+-]?[0-9]{1,9})\\s*-\\s*"
      "([+-]?[0-9]{1,9})\\s*$') AS m) s $$",
      // CDATE: days since 30.12.1899 plus the fraction of the day; NULL when unreadable.
      // Every form it reads; cdate below answers the forms Derslik writes itself.
      "CREATE OR REPLACE FUNCTION cdategenel(t text) RETURNS double precision LANGUAGE plpgsql "
      "IMMUTABLE PARALLEL SAFE AS $$\n"
      "DECLARE part text; m text[]; y int; mo int; d int; days double precision; secs double "
      "precision; seen boolean := false;\n"
      "BEGIN\n"
      "  IF t IS NULL OR btrim(t) = '' THEN RETURN NULL; END IF;\n"
      "  FOREACH part IN ARRAY regexp_split_to_array(btrim(t), ' +') LOOP\n"
      "    IF strpos(part, ':') > 0 THEN\n"
      "      m := regexp_match(part, '^([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2}))?$');\n"
      "      IF m IS NULL OR m[1]::int > 23 OR m[2]::int > 59 OR COALESCE(m[3], '0')::int > 59 "
      "THEN RETURN NULL; END IF;\n"
      "      secs := m[1]::int * 3600 + m[2]::int * 60 + COALESCE(m[3], '0')::int;\n"
      "    ELSE\n"
      "      m := regexp_match(part, '^([0-9]{1,2})([./])([0-9]{1,2})\\2([0-9]{4})$');\n"
      "      IF m IS NOT NULL THEN d := m[1]::int; mo := m[3]::int; y := m[4]::int;\n"
      "      ELSE\n"
      "        m := regexp_match(part, '^([0-9]{4})-([0-9]{2})-([0-9]{2})$');\n"
      "        IF m IS NULL THEN RETURN NULL; END IF;\n"
      "        y := m[1]::int; mo := m[2]::int; d := m[3]::int;\n"
      "      END IF;\n"
      "      IF y < 1 OR mo < 1 OR mo > 12 OR d < 1 OR d > extract(day FROM make_date(y, mo, 1) "
      "+ interval '1 month' - interval '1 day') THEN RETURN NULL; END IF;\n"
      "      days := make_date(y, mo, d) - date '1899-12-30';\n"
      "    END IF;\n"
      "    seen := true;\n"
      "  END LOOP;\n"
      "  IF NOT seen THEN RETURN NULL; END IF;\n"
      "  RETURN COALESCE(days, 0) + COALESCE(secs, 0) / 86400.0;\n"
      "END $$",
      // Reports order and pick thousands of runs by CDATE of their dates and start
      // times: "dd.MM.yyyy" and "HH:mm:ss" are read by plain text functions the
      // server inlines into the statement (no regular expression), some fifty times
      // faster than the general reader, with the same value or NULL; any other form
      // goes to it.
      "CREATE OR REPLACE FUNCTION cdate(t text) RETURNS double precision LANGUAGE sql IMMUTABLE "
      "PARALLEL SAFE AS $$ SELECT CASE "
      "WHEN length(t) = 8 AND translate(t, '0123456789', '') = '::' AND substr(t, 3, 1) = ':' "
      "AND substr(t, 6, 1) = ':' THEN CASE WHEN substr(t, 1, 2)::integer <= 23 "
      "AND substr(t, 4, 2)::integer <= 59 AND substr(t, 7, 2)::integer <= 59 THEN "
      "(substr(t, 1, 2)::integer * 3600 + substr(t, 4, 2)::integer * 60 + substr(t, 7, "
      "2)::integer)::double precision / 86400.0 END "
      "WHEN length(t) = 10 AND translate(t, '0123456789', '') = '..' AND substr(t, 3, 1) = '.' "
      "AND substr(t, 6, 1) = '.' THEN CASE WHEN substr(t, 7, 4)::integer >= 1 "
      "AND substr(t, 4, 2)::integer BETWEEN 1 AND 12 AND substr(t, 1, 2)::integer BETWEEN 1 AND "
      "CASE substr(t, 4, 2)::integer WHEN 2 THEN CASE WHEN substr(t, 7, 4)::integer % 4 = 0 AND "
      "(substr(t, 7, 4)::integer % 100 <> 0 OR substr(t, 7, 4)::integer % 400 = 0) THEN 29 ELSE "
      "28 END WHEN 4 THEN 30 WHEN 6 THEN 30 WHEN 9 THEN 30 WHEN 11 THEN 30 ELSE 31 END THEN "
      "(make_date(substr(t, 7, 4)::integer, substr(t, 4, 2)::integer, substr(t, 1, 2)::integer) "
      "- date '1899-12-30')::double precision END "
      "ELSE cdategenel(t) END $$",
  };
  QStringList out;
  for (const char* d : definitions) out << QString::fromUtf8(d);
  return out;
}

// Whether a transaction runs on a server connection: Transaction is the only
// one that begins and ends them, so the dialect keeps count by connection.
QMutex g_openMutex;
QHash<QString, bool> g_open;

class PostgresDialect final : public Dialect {
 public:
  QString prepare(const QString& sql) const override {
    static thread_local QHash<QString, QString> cache;
    const auto found = cache.constFind(sql);
    if (found != cache.constEnd()) return found.value();
    if (cache.size() > 4000) cache.clear();
    const QString translated = translate(sql);
    cache.insert(sql, translated);
    return translated;
  }

  QString columnSql(const ColumnDef& c) const override {
    if (c.kind == ColumnDef::Kind::AutoNumber)
      return c.name + QStringLiteral(" BIGSERIAL PRIMARY KEY");
    if (c.kind == ColumnDef::Kind::Blob) return c.name + QStringLiteral(" BYTEA");
    return c.name + QStringLiteral(" TEXT DEFAULT ''");
  }
  // SQLite's rowid: the order rows were written in, which lists and reports keep.
  QStringList hiddenColumns(const TableDef& table) const override {
    for (const ColumnDef& c : table.columns)
      if (c.kind == ColumnDef::Kind::AutoNumber)
        return {QStringLiteral("rowid BIGINT GENERATED ALWAYS AS (%1) STORED").arg(c.name)};
    return {QStringLiteral("rowid BIGSERIAL")};
  }

  Result<QStringList> tables(const QSqlDatabase& db) const override {
    return column(QStringLiteral("SELECT upper(table_name) FROM information_schema.tables WHERE "
                                 "table_schema = current_schema() ORDER BY 1"),
                  {}, db);
  }
  Result<QStringList> columns(const QSqlDatabase& db, const QString& table) const override {
    return column(QStringLiteral("SELECT upper(column_name) FROM information_schema.columns WHERE "
                                 "table_schema = current_schema() AND table_name = upper(?) AND "
                                 "column_name <> 'rowid' ORDER BY ordinal_position"),
                  {table}, db);
  }
  bool tableExists(const QSqlDatabase& db, const QString& table) const override {
    const Result<QVariant> found = scalar(
        QStringLiteral("SELECT to_regclass(quote_ident(upper(?))) IS NOT NULL"), {table}, db);
    return found && found->toBool();
  }
  QStringList functions() const override { return functionDefinitions(); }

  bool outsideTransaction(const QSqlDatabase& db) const override {
    QMutexLocker lock(&g_openMutex);
    return !g_open.value(db.connectionName());
  }
  // Writers take their turn one at a time, as on a board's SQLite file (BEGIN
  // IMMEDIATE): a transaction that looks for a free number or a duplicate and
  // then writes cannot meet another doing the same. READ COMMITTED: once its turn
  // has come, each statement sees everything the writers before it committed.
  bool beginWriter(const QSqlDatabase& db) const override {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN ISOLATION LEVEL READ COMMITTED"))) return false;
    if (!q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('derslik-yazan'))"))) {
      (void)q.exec(QStringLiteral("ROLLBACK"));
      return false;
    }
    QMutexLocker lock(&g_openMutex);
    g_open.insert(db.connectionName(), true);
    return true;
  }
  void ended(const QSqlDatabase& db) const override {
    QMutexLocker lock(&g_openMutex);
    g_open.remove(db.connectionName());
  }
  Status takeTurn(const QSqlDatabase& db, const QString& key) const override {
    return run(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(?))"),
               {QStringLiteral("derslik-numara-") + key.toUpper()}, db);
  }
  Result<bool> tryHoldSchoolLock(const QSqlDatabase& db, const QString& key) const override {
    const Result<QVariant> taken =
        scalar(QStringLiteral("SELECT pg_try_advisory_lock(hashtext(?))"),
               {QStringLiteral("derslik-okul-") + key}, db);
    if (!taken) return Result<bool>::failure(taken.error());
    return taken->toBool();
  }
  void releaseSchoolLock(const QSqlDatabase& db, const QString& key) const override {
    (void)scalar(QStringLiteral("SELECT pg_advisory_unlock(hashtext(?))"),
                 {QStringLiteral("derslik-okul-") + key}, db);
  }

  QString largestNumberSql(const QString& table, const QString& col,
                           qsizetype prefixLength) const override {
    const QString digits = QStringLiteral("substr(%1,%2)").arg(col).arg(prefixLength + 1);
    // More significant digits than 64 bits hold read as a number past kMaxNumber.
    return QStringLiteral(
               "SELECT MAX(CASE WHEN length(ltrim(%3,'0')) > 18 THEN 9223372036854775807 ELSE "
               "CAST(%3 AS BIGINT) END) FROM %1 WHERE left(%2,%4) = ? AND %3<>'' AND %3 !~ "
               "'[^0-9]'")
        .arg(table, col, digits)
        .arg(prefixLength);
  }
  // Bound as text even when no prefix was given (a null string would be NULL).
  QString prefixPattern(const QString& prefix) const override {
    return prefix.isNull() ? QStringLiteral("") : prefix;
  }

  QString digestSql(const QString& expression) const override {
    return QStringLiteral("encode(sha256(%1),'hex')").arg(expression);
  }
};

}  // namespace

const Dialect& postgresDialect() {
  static const PostgresDialect dialect;
  return dialect;
}

}  // namespace store
