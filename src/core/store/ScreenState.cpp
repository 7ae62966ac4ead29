#include "store/ScreenState.h"

#include "store/Sql.h"
#include "store/SqlFunctions.h"

namespace store {

Status saveScreenState(const QString& screen, const QList<ControlState>& states) {
  Transaction tx;
  if (Status s = run(QStringLiteral("DELETE FROM TABLEAYAR WHERE FORMADI=?"), {screen}); !s)
    return s;
  for (const ControlState& c : states) {
    if (Status s =
            run(QStringLiteral("INSERT INTO TABLEAYAR (FORMADI,KONTROLADI,INDEKS,DEGER,TABINDEX) "
                               "VALUES (?,?,?,?,?)"),
                {screen, c.control, c.index, c.value, c.tabIndex});
        !s)
      return s;
  }
  return tx.commit();
}

QList<ControlState> loadScreenState(const QString& screen) {
  QList<ControlState> out;
  Result<QSqlQuery> q =
      exec(QStringLiteral("SELECT KONTROLADI, NZ(INDEKS), NZ(DEGER), NZ(TABINDEX) "
                          "FROM TABLEAYAR WHERE FORMADI=? ORDER BY VAL(TABINDEX), rowid"),
           {screen});
  if (!q) return out;
  while (q.value().next())
    out.append({q.value().value(0).toString(), q.value().value(1).toString(),
                q.value().value(2).toString(), q.value().value(3).toString()});
  return out;
}

Status ensureTestRunFactoryRows(const QString& threeButtonSetting) {
  if (jetVal(threeButtonSetting) != 0) return {};
  const QString screen = QStringLiteral("frmTestUygula");
  if (scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEAYAR WHERE FORMADI=? AND "
                            "KONTROLADI='cmbSoruRaporuGoster'"),
             {screen}, 0)
          .toInt() > 0)
    return {};
  struct Row {
    const char* control;
    const char* index;
    const char* value;
    const char* tab;
  };
  static const Row rows[] = {{"cmbSoruRaporuGoster", "-", "2", "48"},
                             {"cmbSure", "-", "18", "19"},
                             {"optSure", "2", "True", "22"},
                             {"optSure", "0", "False", "20"},
                             {"optSure", "1", "False", "21"}};
  Transaction tx;
  for (const Row& r : rows) {
    if (Status s =
            run(QStringLiteral("INSERT INTO TABLEAYAR (FORMADI,KONTROLADI,INDEKS,DEGER,TABINDEX) "
                               "VALUES (?,?,?,?,?)"),
                {screen, QString::fromLatin1(r.control), QString::fromLatin1(r.index),
                 QString::fromLatin1(r.value), QString::fromLatin1(r.tab)});
        !s)
      return s;
  }
  return tx.commit();
}

}  // namespace store
