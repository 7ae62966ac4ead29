#include "school/ValueLists.h"

#include "store/Sql.h"

namespace school {

Query ValueLists::valuesQuery(const QString& list) {
  return {QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI=? "
                         "ORDER BY PARAMETREDEGERI COLLATE TURKCE"),
          {list}};
}

Status ValueLists::add(const QString& list, const QString& value) {
  if (value.trimmed().isEmpty()) return Status::failure(QStringLiteral("Boş kayıt ekleyemezsiniz!"));
  const bool present =
      store::scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                                   "PARAMETREDEGERI=?)"),
                    {list, value}, 0)
          .toInt() == 1;
  if (present) return Status::failure(QStringLiteral("Bu tanım daha önce eklenmiş"));
  return store::run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI) VALUES (?,?)"),
                    {list, value});
}

Status ValueLists::rename(const QString& list, const QString& oldValue, const QString& newValue) {
  if (newValue.trimmed().isEmpty()) return Status::failure(QStringLiteral("Boş kayıt ekleyemezsiniz!"));
  if (newValue == oldValue) return {};
  const bool present =
      store::scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND "
                                   "PARAMETREDEGERI=?)"),
                    {list, newValue}, 0)
          .toInt() == 1;
  if (present) return Status::failure(QStringLiteral("Bu tanım daha önce eklenmiş"));
  return store::run(QStringLiteral("UPDATE TABLEPARAMETRE SET PARAMETREDEGERI=? WHERE PARAMETREDEGERI=? AND "
                                   "PARAMETREADI=?"),
                    {newValue, oldValue, list});
}

Status ValueLists::remove(const QString& list, const QString& value) {
  return store::run(QStringLiteral("DELETE FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND PARAMETREDEGERI=?"),
                    {list, value});
}

}  // namespace school
