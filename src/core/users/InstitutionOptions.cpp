#include "users/InstitutionOptions.h"

#include "store/Sql.h"

namespace users {

QString columnOf(Option option) {
  switch (option) {
    case Option::GelismisMod:
      return QStringLiteral("GELISMISMOD");
    case Option::Anaokulu:
      return QStringLiteral("ANAOKULU");
    case Option::UcDugme:
      return QStringLiteral("UCDUGME");
    case Option::OtomatikKisayol:
      return QStringLiteral("OTOMATIKKISAYOL");
  }
  return {};
}

namespace {

QString firstValue(const QString& column) {
  // The column name comes from columnOf(), never from the user.
  return store::scalar(QStringLiteral("SELECT TRIM(NZ(%1)) FROM TABLEOKUL WHERE TRIM(NZ(%1)) <> '' "
                                      "ORDER BY rowid LIMIT 1")
                           .arg(column),
                       {}, QString())
      .toString();
}

}  // namespace

bool optionOn(Option option) {
  const QString v = firstValue(columnOf(option));
  return !v.isEmpty() && store::scalar(QStringLiteral("SELECT VAL(?) > 0"), {v}, 0).toInt() == 1;
}

Status setOption(Option option, bool on) {
  const QString column = columnOf(option);
  const QString value = on ? QStringLiteral("1") : QStringLiteral("0");
  store::Transaction tx;
  const int rows = store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL"), {}, 0).toInt();
  const QString sql =
      rows > 0 ? QStringLiteral("UPDATE TABLEOKUL SET %1=?").arg(column)
               : QStringLiteral("INSERT INTO TABLEOKUL (OKULADI, %1) VALUES (' ', ?)").arg(column);
  if (Status s = store::run(sql, {value}); !s) return s;
  return tx.commit();
}

bool advancedModeOn() { return optionOn(Option::GelismisMod); }

QString threeButtonSetting() {
  const QString v = firstValue(columnOf(Option::UcDugme));
  return v.isEmpty() ? QStringLiteral("0") : v;
}

}  // namespace users
