#include "exchange/StudentPackage.h"

#include <QSqlQuery>

#include "exchange/PackageFile.h"
#include "school/Students.h"
#include "store/Store.h"

namespace exchange {

Status StudentPackage::write(const QStringList& kayitNos, const QString& archivePath) {
  if (kayitNos.isEmpty()) return Status::failure(writeFailedMessage());
  return PackageFile(m_store).write(archivePath, kMember, [&]() -> Status {
    const store::InList keys = store::inList(kayitNos);
    return m_store.run(
        QStringLiteral("CREATE TABLE %1.TABLEOGRENCI AS SELECT * FROM main.TABLEOGRENCI "
                       "WHERE KAYITNO IN (%2) ORDER BY VAL(KAYITNO)")
            .arg(PackageFile::kSchema, keys.placeholders),
        keys.values);
  });
}

Result<int> StudentPackage::read(const QString& archivePath) {
  PackageFile package(m_store);
  return package.read(archivePath, kMember, [&]() -> Result<int> {
    using R = Result<int>;
    const QStringList present = package.columnsOf(QStringLiteral("TABLEOGRENCI"));
    if (!present.contains(QStringLiteral("KAYITNO")) || !present.contains(QStringLiteral("ADI")))
      return R::failure(QStringLiteral("Dosyada öğrenci tablosu yok."));
    // Older files may lack a column (TCKIMLIK); carry what both tables have.
    QStringList columns;
    for (const char* c : {"NUMARASI", "ADI", "SOYADI", "SINIFI", "SEVIYE", "TCKIMLIK", "SILINDIMI"})
      if (present.contains(QString::fromLatin1(c))) columns << QString::fromLatin1(c);
    QStringList nullSafe;
    for (const QString& c : columns) nullSafe << QStringLiteral("NZ(%1)").arg(c);
    const Result<int> next = school::Students(m_store).nextRegistrationNumber();
    if (!next) return R::failure(next.error());
    const int base = next.value() - 1;
    Result<QSqlQuery> rows = m_store.exec(
        QStringLiteral("SELECT rowid FROM %1.TABLEOGRENCI ORDER BY VAL(KAYITNO), rowid")
            .arg(PackageFile::kSchema));
    if (!rows) return R::failure(rows.error());
    QList<qint64> rowIds;
    while (rows.value().next()) rowIds << rows.value().value(0).toLongLong();
    const QString insert =
        QStringLiteral(
            "INSERT INTO TABLEOGRENCI (KAYITNO,%1) SELECT ?,%2 FROM %3.TABLEOGRENCI "
            "WHERE rowid = ?")
            .arg(columns.join(QLatin1Char(',')), nullSafe.join(QLatin1Char(',')),
                 PackageFile::kSchema);
    int added = 0;
    for (qint64 rowId : rowIds) {
      ++added;
      if (Status s = m_store.run(insert, {QString::number(base + added), rowId}); !s)
        return R::failure(s.error());
    }
    if (added == 0) return R::failure(QStringLiteral("Dosyada öğrenci yok."));
    m_store.changed(store::Change::Students);
    return added;
  });
}

}  // namespace exchange
