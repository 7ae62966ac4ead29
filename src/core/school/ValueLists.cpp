#include "school/ValueLists.h"

#include "store/Store.h"

namespace school {

namespace {
QString emptyMessage() { return QStringLiteral("Boş kayıt ekleyemezsiniz!"); }
QString presentMessage() { return QStringLiteral("Bu tanım daha önce eklenmiş"); }
}  // namespace

store::Query ValueLists::valuesQuery(const QString& list) {
  return {QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI=? "
                         "ORDER BY PARAMETREDEGERI COLLATE TURKCE"),
          {list}};
}

Result<bool> ValueLists::contains(const QString& list, const QString& value) const {
  const Result<QVariant> present = m_store.scalar(
      QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                     "PARAMETREDEGERI=?)"),
      {list, value});
  if (!present) return Result<bool>::failure(present.error());
  return present->toInt() == 1;
}

Status ValueLists::add(const QString& list, const QString& value) {
  if (value.trimmed().isEmpty()) return Status::failure(emptyMessage());
  const Result<bool> present = contains(list, value);
  if (!present) return Status::failure(present.error());
  if (present.value()) return Status::failure(presentMessage());
  if (Status s = m_store.run(
          QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI) VALUES (?,?)"),
          {list, value});
      !s)
    return s;
  m_store.changed(store::Change::Lists);
  return {};
}

Status ValueLists::rename(const QString& list, const QString& oldValue, const QString& newValue) {
  if (newValue.trimmed().isEmpty()) return Status::failure(emptyMessage());
  if (newValue == oldValue) return {};
  const Result<bool> present = contains(list, newValue);
  if (!present) return Status::failure(present.error());
  if (present.value()) return Status::failure(presentMessage());
  if (Status s = m_store.run(
          QStringLiteral("UPDATE TABLEPARAMETRE SET PARAMETREDEGERI=? WHERE PARAMETREDEGERI=? AND "
                         "PARAMETREADI=?"),
          {newValue, oldValue, list});
      !s)
    return s;
  m_store.changed(store::Change::Lists);
  return {};
}

Status ValueLists::remove(const QString& list, const QString& value) {
  if (Status s = m_store.run(
          QStringLiteral("DELETE FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND PARAMETREDEGERI=?"),
          {list, value});
      !s)
    return s;
  m_store.changed(store::Change::Lists);
  return {};
}

}  // namespace school
