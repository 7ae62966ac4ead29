#include "store/FieldPass.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "store/SchemaTables.h"
#include "store/Sql.h"
#include "store/SqlErrors.h"

namespace store {

namespace {

QString quoted(const QString& name) {
  QString escaped = name;
  escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + escaped + QLatin1Char('"');
}

struct ColumnInfo {
  QString name;
  QString type;
  QVariant defaultValue;  // SQL text of the default, null when none
  bool primaryKey = false;
};

QList<ColumnInfo> columnInfo(const QString& table, const QSqlDatabase& db) {
  QList<ColumnInfo> out;
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table)))) return out;
  while (q.next()) {
    ColumnInfo c;
    c.name = q.value(1).toString();
    c.type = q.value(2).toString();
    c.defaultValue = q.value(4);
    c.primaryKey = q.value(5).toInt() > 0;
    out << c;
  }
  return out;
}

QString columnSql(const ColumnInfo& c) {
  QString sql = quoted(c.name);
  if (!c.type.isEmpty()) sql += QLatin1Char(' ') + c.type;
  if (c.primaryKey && c.type.compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0)
    sql += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
  if (!c.defaultValue.isNull()) sql += QStringLiteral(" DEFAULT ") + c.defaultValue.toString();
  return sql;
}

QString fieldSql(const QString& field, FieldType type) {
  return quoted(field) + (type == FieldType::Long ? QStringLiteral(" INTEGER DEFAULT 0")
                                                  : QStringLiteral(" TEXT DEFAULT ''"));
}

bool hasColumn(const QList<ColumnInfo>& columns, const QString& field) {
  for (const ColumnInfo& c : columns)
    if (c.name.compare(field, Qt::CaseInsensitive) == 0) return true;
  return false;
}

Status execAll(const QStringList& statements, const QSqlDatabase& db) {
  QSqlQuery q(db);
  for (const QString& s : statements)
    if (!q.exec(s))
      return Status::failure(sqlErrorText(q.lastError()) + QStringLiteral(" [") + s +
                             QLatin1Char(']'));
  return {};
}

// Gives `table` a new layout: `definitions` for the new columns, `targets` filled
// from `sources` (expressions over the old table). The old table's own indexes are
// re-created where they still apply.
Status rebuildTable(const QString& table, const QStringList& definitions,
                    const QStringList& targets, const QStringList& sources,
                    const QSqlDatabase& db) {
  const Result<QStringList> indexSql = column(
      QStringLiteral("SELECT sql FROM sqlite_master WHERE type='index' AND tbl_name=? COLLATE "
                     "NOCASE AND sql IS NOT NULL"),
      {table}, db);
  if (!indexSql) return Status::failure(indexSql.error());
  const QString scratch = table + QStringLiteral("_YENI");
  Transaction tx(db);
  QStringList statements;
  statements << QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoted(scratch))
             << QStringLiteral("CREATE TABLE %1 (%2)")
                    .arg(quoted(scratch), definitions.join(QStringLiteral(", ")))
             << QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 ORDER BY rowid")
                    .arg(quoted(scratch), targets.join(QLatin1Char(',')),
                         sources.join(QLatin1Char(',')), quoted(table))
             << QStringLiteral("DROP TABLE %1").arg(quoted(table))
             << QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(scratch), quoted(table));
  if (Status s = execAll(statements, db); !s) return s;
  QSqlQuery q(db);
  for (const QString& sql : indexSql.value())
    (void)q.exec(sql);  // an index on a removed column goes with it
  return tx.commit();
}

}  // namespace

QStringList tableColumns(const QString& table, const QSqlDatabase& db) {
  QStringList names;
  for (const ColumnInfo& c : columnInfo(table, db)) names << c.name;
  return names;
}

int AlanEkle(const QString& table, const QString& field, FieldType type, const QSqlDatabase& db) {
  const QList<ColumnInfo> columns = columnInfo(table, db);
  QSqlQuery q(db);
  if (columns.isEmpty()) {
    const TableDef* def = findMainTable(table);
    QString sql =
        def ? createTableSql(*def)
            : QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), fieldSql(field, type));
    if (!q.exec(sql)) return -1;
    // A whole main table may still lack the asked column if the name is foreign to it.
    if (def && !def->columnNames().contains(field, Qt::CaseInsensitive) &&
        !q.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                    .arg(quoted(table), fieldSql(field, type))))
      return -1;
    return 2;
  }
  if (hasColumn(columns, field)) return 0;
  if (!q.exec(
          QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(quoted(table), fieldSql(field, type))))
    return -1;
  return 1;
}

int OtomatikSayiEkle(const QString& table, const QString& field, const QSqlDatabase& db) {
  const QList<ColumnInfo> columns = columnInfo(table, db);
  if (columns.isEmpty()) {
    QSqlQuery q(db);
    const TableDef* def = findMainTable(table);
    if (def && def->columnNames().contains(field, Qt::CaseInsensitive))
      return q.exec(createTableSql(*def)) ? 1 : -1;
    const bool ok = q.exec(QStringLiteral("CREATE TABLE %1 (%2 INTEGER PRIMARY KEY AUTOINCREMENT)")
                               .arg(quoted(table), quoted(field)));
    return ok ? 1 : -1;
  }
  if (hasColumn(columns, field)) return 0;
  // First, unless the current layout puts it after another column (TABLESONUC.ID
  // follows KACINCIOLDU): then after that one, so the column order matches a new
  // database's wherever the older columns allow.
  QString after;
  if (const TableDef* def = findMainTable(table)) {
    const QStringList canonical = def->columnNames();
    const qsizetype at = canonical.indexOf(field);
    if (at > 0) after = canonical.at(at - 1);
  }
  const QString autonumber = quoted(field) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
  QStringList definitions;
  QStringList names;
  bool placed = false;
  for (const ColumnInfo& c : columns) {
    ColumnInfo plain = c;
    plain.primaryKey = false;  // the new autonumber is the only key
    definitions << columnSql(plain);
    names << quoted(c.name);
    if (!after.isEmpty() && c.name.compare(after, Qt::CaseInsensitive) == 0) {
      definitions << autonumber;
      placed = true;
    }
  }
  if (!placed) definitions.prepend(autonumber);
  return rebuildTable(table, definitions, names, names, db) ? 1 : -1;
}

void AlanSil(const QString& table, const QString& field, const QSqlDatabase& db) {
  const QList<ColumnInfo> columns = columnInfo(table, db);
  if (!hasColumn(columns, field)) return;
  QSqlQuery q(db);
  if (q.exec(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(quoted(table), quoted(field))))
    return;
  // DROP COLUMN refuses key and indexed columns: rebuild without it.
  QStringList definitions;
  QStringList names;
  for (const ColumnInfo& c : columns) {
    if (c.name.compare(field, Qt::CaseInsensitive) == 0) continue;
    definitions << columnSql(c);
    names << quoted(c.name);
  }
  if (definitions.isEmpty()) return;  // a table needs a column; leave it be
  (void)rebuildTable(table, definitions, names, names, db);
}

namespace {

struct FieldCall {
  const char* table;
  const char* field;
  enum Kind { Text, Memo, Auto, Drop } kind;
};

// The order in which the columns arrived over the program's history; kept so a
// database of any age passes through the same states.
const FieldCall kFieldCalls[] = {
    {"TABLEVERSIYON", "VTYAPIVERSIYON", FieldCall::Text},
    {"TABLEVERSIYON", "VTVERIVERSIYON", FieldCall::Text},
    {"TABLECEVAP", "KACINCIOLDU", FieldCall::Text},
    {"TABLEKULLANICIBILGILERI", "KULLANICIADI", FieldCall::Text},
    {"TABLEKULLANICIBILGILERI", "KULLANICISIFRESI", FieldCall::Text},
    {"TABLEKULLANICIBILGILERI", "GELISMISMOD", FieldCall::Text},
    {"TABLEKULLANICIBILGILERI", "SORUAL", FieldCall::Text},
    {"TABLEKULLANICIBILGILERI", "SORUVER", FieldCall::Text},
    {"TABLEKULLANICIBILGILERI", "TESTAL", FieldCall::Text},
    {"TABLEKULLANICIBILGILERI", "TESTVER", FieldCall::Text},
    {"TABLEKULLANICIBILGILERI", "KITAPCIKVER", FieldCall::Text},
    {"TABLEKULLANICIBILGILERI", "KITAPCIKYAZDIR", FieldCall::Text},
    {"TABLEKULLANICIBILGILERI", "SAYFAKODU", FieldCall::Text},
    {"TABLESONUC", "KUMANDAADRESI", FieldCall::Text},
    {"TABLESONUC", "KAYITNO", FieldCall::Text},
    {"TABLESONUC", "ADI", FieldCall::Text},
    {"TABLESONUC", "SOYADI", FieldCall::Text},
    {"TABLESONUC", "TESTTARIHI", FieldCall::Text},
    {"TABLESONUC", "TESTBASLANGIC", FieldCall::Text},
    {"TABLESONUC", "TESTBITIS", FieldCall::Text},
    {"TABLESONUC", "TESTNO", FieldCall::Text},
    {"TABLESONUC", "SEVIYE", FieldCall::Text},
    {"TABLESONUC", "SINIFI", FieldCall::Text},
    {"TABLESONUC", "GRUP", FieldCall::Text},
    {"TABLESONUC", "ACIKLAMA", FieldCall::Text},
    {"TABLESONUC", "KISISAYI", FieldCall::Text},
    {"TABLESONUC", "SORUSAYI", FieldCall::Text},
    {"TABLESONUC", "NET", FieldCall::Text},
    {"TABLESONUC", "DOGRUSAYI", FieldCall::Text},
    {"TABLESONUC", "YANLISSAYI", FieldCall::Text},
    {"TABLESONUC", "BOSSAYI", FieldCall::Text},
    {"TABLESONUC", "TOPLAMSURE", FieldCall::Text},
    {"TABLESONUC", "TOPLAMSUREGIZLI", FieldCall::Text},
    {"TABLESONUC", "KACINCIOLDU", FieldCall::Text},
    {"TABLESONUC", "ID", FieldCall::Auto},
    {"TABLEOGRENCI", "SILINDIMI", FieldCall::Text},
    {"TABLEUYGULAMA", "DERS", FieldCall::Text},
    {"TABLEUYGULAMA", "UNITE", FieldCall::Text},
    {"TABLEUYGULAMA", "KONU", FieldCall::Text},
    {"TABLEUYGULAMA", "KAZANIM", FieldCall::Text},
    {"TABLEUYGULAMA", "TESTADI", FieldCall::Text},
    {"TABLESONUC", "DERS", FieldCall::Text},
    {"TABLESONUC", "UNITE", FieldCall::Text},
    {"TABLESONUC", "KONU", FieldCall::Text},
    {"TABLESONUC", "KAZANIM", FieldCall::Text},
    {"TABLESONUC", "TESTADI", FieldCall::Text},
    {"TABLEOGRENCI", "TCKIMLIK", FieldCall::Text},
    {"TABLEUYGULAMA", "AKTARILDI", FieldCall::Text},
    {"TABLESORU", "SILINDIMI", FieldCall::Text},
    {"TABLEAYAR", "FORMADI", FieldCall::Text},
    {"TABLEAYAR", "KONTROLADI", FieldCall::Text},
    {"TABLEAYAR", "INDEKS", FieldCall::Text},
    {"TABLEAYAR", "DEGER", FieldCall::Text},
    {"TABLEAYAR", "TABINDEX", FieldCall::Text},
    {"TABLEOKUL", "KURUMKODU", FieldCall::Text},
    {"TABLEOKUL", "OKULADI", FieldCall::Text},
    {"TABLEOKUL", "SINIFKODU", FieldCall::Drop},
    {"TABLESOZLESME", "SOZLESMEKABULTARIHI", FieldCall::Text},
    {"TABLESOZLESME", "VERSIYON", FieldCall::Text},
#define TABLET_FIELDS(T)                                                              \
  {T, "DURUM", FieldCall::Text}, {T, "NUMARASI", FieldCall::Text},                    \
      {T, "TESTTARIHI", FieldCall::Text}, {T, "TESTBASLANGICSAATI", FieldCall::Text}, \
      {T, "TESTBITISSAATI", FieldCall::Text}, {T, "DURDU", FieldCall::Text},          \
      {T, "DURDURULANSURE", FieldCall::Text}, {T, "KALANSURE", FieldCall::Text},      \
      {T, "SORUSIRASI", FieldCall::Memo}, {T, "CEVAP", FieldCall::Memo},              \
      {T, "ISARETLENEN", FieldCall::Text}, {T, "BOS", FieldCall::Text},               \
      {T, "DOGRUSIK", FieldCall::Text}, {T, "NET", FieldCall::Text},                  \
      {T, "KACINCIOLDU", FieldCall::Text}, {T, "IP", FieldCall::Text}, {              \
    T, "ID", FieldCall::Auto                                                          \
  }
    TABLET_FIELDS("TABLETABLETUYGULAMA"),
    TABLET_FIELDS("TABLETABLETARSIV"),
#undef TABLET_FIELDS
    {"TABLESORU", "COZUMVIDEO", FieldCall::Text},
    {"TABLETESTSORU", "BOLUM", FieldCall::Text},
    {"TABLETESTSORU", "BSIRASI", FieldCall::Text},
    {"TABLETESTSORU", "CSIRASI", FieldCall::Text},
    {"TABLETESTSORU", "DSIRASI", FieldCall::Text},
    {"TABLETEST", "BKITAPCIK", FieldCall::Text},
    {"TABLETEST", "CKITAPCIK", FieldCall::Text},
    {"TABLETEST", "DKITAPCIK", FieldCall::Text},
    {"TABLETEST", "TESTSIRASI", FieldCall::Text},
    {"TABLEOKUL", "SINIFATLATMADONEM", FieldCall::Text},
    {"TABLEOKUL", "SONSORUINDIRMEZAMANI", FieldCall::Text},
    {"TABLEOKUL", "ANAOKULU", FieldCall::Text},
    {"TABLEOKUL", "UCDUGME", FieldCall::Text},
    {"TABLEOKUL", "OTOMATIKKISAYOL", FieldCall::Text},
    {"TABLEOKUL", "GELISMISMOD", FieldCall::Text},
    {"TABLEINTERNETTEST", "DOSYAADI", FieldCall::Text},
    {"TABLEINTERNETTEST", "ID", FieldCall::Auto},
    {"TABLEINTERNETTEST", "YUKLENMETARIHI", FieldCall::Text},
    {"TABLEUYGULAMA", "ANAOKULUAKTARILDI", FieldCall::Text},
    {"TABLEOKUL", "SORUDUZELTMEGUNCELLEMETARIHI", FieldCall::Text},
};

Status fieldFailure(const QString& table, const QString& field) {
  return Status::failure(QStringLiteral("%1.%2 alanı eklenemedi.").arg(table, field));
}

}  // namespace

Status runFieldPass(const QSqlDatabase& db) {
  Transaction tx(db);
  for (const FieldCall& call : kFieldCalls) {
    const QString table = QString::fromLatin1(call.table);
    const QString field = QString::fromLatin1(call.field);
    switch (call.kind) {
      case FieldCall::Text:
      case FieldCall::Memo:
        if (AlanEkle(table, field, call.kind == FieldCall::Memo ? FieldType::Memo : FieldType::Text,
                     db) < 0)
          return fieldFailure(table, field);
        break;
      case FieldCall::Auto:
        if (OtomatikSayiEkle(table, field, db) < 0) return fieldFailure(table, field);
        break;
      case FieldCall::Drop:
        AlanSil(table, field, db);
        break;
    }
  }
  // The list above only names columns that arrived after the first release; a
  // database of any age also gets every other column of the current layout.
  for (const TableDef& def : mainTables()) {
    for (const ColumnDef& c : def.columns) {
      const int r =
          c.kind == ColumnDef::Kind::AutoNumber
              ? OtomatikSayiEkle(def.name, c.name, db)
              : AlanEkle(def.name, c.name,
                         c.kind == ColumnDef::Kind::Memo ? FieldType::Memo : FieldType::Text, db);
      if (r < 0) return fieldFailure(def.name, c.name);
    }
  }
  if (Status s = createIndexes(db); !s) return s;
  return tx.commit();
}

}  // namespace store
