#include "store/SavedControls.h"

#include "store/Sql.h"

namespace store {

namespace {
const QString kSingle = QStringLiteral("-");
}

Result<SavedControls> SavedControls::load(const QSqlDatabase& db, const QString& screen) {
  Result<QSqlQuery> q =
      exec(QStringLiteral("SELECT NZ(KONTROLADI), NZ(INDEKS), NZ(DEGER), NZ(TABINDEX) "
                          "FROM TABLEAYAR WHERE FORMADI=? ORDER BY VAL(TABINDEX), rowid"),
           {screen}, db);
  if (!q) return Result<SavedControls>::failure(q.error());
  SavedControls saved(screen);
  while (q.value().next()) {
    const QString index = q.value().value(1).toString().trimmed();
    saved.m_rows.append({q.value().value(0).toString(), index.isEmpty() ? kSingle : index,
                         q.value().value(2).toString(), q.value().value(3).toString()});
  }
  return saved;
}

std::optional<int> SavedControls::oldPosition(const QString& stored, const QStringList& entries) {
  if (entries.contains(stored)) return std::nullopt;
  bool ok = false;
  const int p = stored.trimmed().toInt(&ok);
  if (!ok || p < 0) return std::nullopt;
  return p;
}

QString SavedControls::entry(const QString& stored, const QStringList& entries,
                             const QString& pastEnd) {
  const std::optional<int> at = oldPosition(stored, entries);
  if (!at) return stored;
  return *at < entries.size() ? entries.at(*at) : pastEnd;
}

const SavedControls::Row* SavedControls::find(const QString& control, const QString& index) const {
  for (const Row& r : m_rows)
    if (r.control == control && r.index == index) return &r;
  return nullptr;
}

bool SavedControls::has(const QString& control) const {
  for (const Row& r : m_rows)
    if (r.control == control) return true;
  return false;
}

bool SavedControls::checked(const QString& control, bool fallback) const {
  const Row* r = find(control, kSingle);
  if (!r) return fallback;
  const QString v = r->value.trimmed();
  if (v == QLatin1String("0")) return false;
  if (v == QLatin1String("1")) return true;
  return fallback;
}

int SavedControls::position(const QString& control, int fallback) const {
  const Row* r = find(control, kSingle);
  if (!r) return fallback;
  bool ok = false;
  const int p = r->value.trimmed().toInt(&ok);
  return ok && p >= -1 ? p : fallback;
}

int SavedControls::selectedOption(const QString& control, int fallback) const {
  for (const Row& r : m_rows) {
    if (r.control != control || r.value.compare(QLatin1String("True"), Qt::CaseInsensitive) != 0)
      continue;
    bool ok = false;
    const int i = r.index.toInt(&ok);
    if (ok && i >= 0) return i;
  }
  return fallback;
}

QString SavedControls::text(const QString& control, const QString& fallback) const {
  const Row* r = find(control, kSingle);
  return r ? r->value : fallback;
}

void SavedControls::set(const QString& control, const QString& index, const QString& value,
                        int tab) {
  for (Row& r : m_rows) {
    if (r.control == control && r.index == index) {
      r.value = value;
      return;
    }
  }
  m_rows.append({control, index, value, QString::number(tab)});
}

void SavedControls::setChecked(const QString& control, bool on, int tab) {
  set(control, kSingle, on ? QStringLiteral("1") : QStringLiteral("0"), tab);
}

void SavedControls::setPosition(const QString& control, int position, int tab) {
  set(control, kSingle, QString::number(position), tab);
}

void SavedControls::selectOption(const QString& control, int selected, int count, int firstTab) {
  for (int i = 0; i < count; ++i)
    set(control, QString::number(i),
        i == selected ? QStringLiteral("True") : QStringLiteral("False"), firstTab + i);
}

void SavedControls::setText(const QString& control, const QString& text, int tab) {
  set(control, kSingle, text, tab);
}

Status SavedControls::save(const QSqlDatabase& db) const {
  Transaction tx(db);
  if (Status s = run(QStringLiteral("DELETE FROM TABLEAYAR WHERE FORMADI=?"), {m_screen}, db); !s)
    return s;
  for (const Row& r : m_rows) {
    if (Status s =
            run(QStringLiteral("INSERT INTO TABLEAYAR (FORMADI,KONTROLADI,INDEKS,DEGER,TABINDEX) "
                               "VALUES (?,?,?,?,?)"),
                {m_screen, r.control, r.index, r.value, r.tab}, db);
        !s)
      return s;
  }
  return tx.commit();
}

}  // namespace store
