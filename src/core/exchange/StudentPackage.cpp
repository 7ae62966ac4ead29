#include "exchange/StudentPackage.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

#include "exchange/PackageFile.h"
#include "exchange/PackageTable.h"
#include "school/StudentRules.h"
#include "school/Students.h"
#include "store/Dialect.h"
#include "store/Numbers.h"
#include "store/ServerConnection.h"
#include "store/SqlErrors.h"
#include "store/Store.h"

namespace exchange {

Status StudentPackage::write(const QStringList& kayitNos, const QString& archivePath) {
  if (kayitNos.isEmpty()) return Status::failure(writeFailedMessage());
  return PackageFile(m_store).write(archivePath, kMember, [&](PackageWriter& package) {
    const store::InList keys = store::inList(kayitNos);
    return package.copy(QStringLiteral("TABLEOGRENCI"),
                        QStringLiteral("SELECT * FROM TABLEOGRENCI WHERE KAYITNO IN (%1) ORDER BY "
                                       "VAL(KAYITNO)")
                            .arg(keys.placeholders),
                        keys.values);
  });
}

namespace {

// The numeric value of a registration number as the lists order it ("12A" is 12).
double leadingNumber(const QString& text) {
  qsizetype end = 0;
  const QString t = text.trimmed();
  while (end < t.size() && (t.at(end).isDigit() || t.at(end) == QLatin1Char('.'))) ++end;
  return t.left(end).toDouble();
}

constexpr int kMaxValue = school::kMaxStudentFieldLength;

}  // namespace

Result<int> StudentPackage::read(const QString& archivePath) {
  return PackageFile(m_store).read(
      archivePath, kMember,
      [&](PackageDatabase& package, const PackageFile::Unpacked&) -> Result<int> {
        using R = Result<int>;
        const Result<QStringList> present = package.tableColumns(QStringLiteral("TABLEOGRENCI"));
        if (!present) return R::failure(present.error());
        if (!present->contains(QStringLiteral("KAYITNO")) ||
            !present->contains(QStringLiteral("ADI")))
          return R::failure(QStringLiteral("Dosyada öğrenci tablosu yok."));
        // Older files may lack a column (TCKIMLIK); carry what both tables have.
        QStringList columns;
        for (const char* c :
             {"NUMARASI", "ADI", "SOYADI", "SINIFI", "SEVIYE", "TCKIMLIK", "SILINDIMI"})
          if (present->contains(QString::fromLatin1(c))) columns << QString::fromLatin1(c);
        const qsizetype adi = columns.indexOf(QStringLiteral("ADI"));
        const Result<PackageTable> table = PackageTable::open(
            package, QStringLiteral("TABLEOGRENCI"), {QStringLiteral("KAYITNO")});
        if (!table) return R::failure(table.error());
        if (Status s = table->checkSize(QStringLiteral("KAYITNO"), columns, kMaxStudents); !s)
          return R::failure(s.error());
        // Every value is checked before anything is written: one bad row refuses the file.
        struct Row {
          double order;
          QStringList values;
        };
        QList<Row> rows;
        int number = 0;
        const Status read = package.forEachRow(
            QStringLiteral("SELECT KAYITNO,%1 FROM TABLEOGRENCI NOT INDEXED")
                .arg(columns.join(QLatin1Char(','))),
            [&](const QVariantList& values) -> Status {
              ++number;
              Row row{0, {}};
              for (qsizetype i = 0; i < values.size(); ++i) {
                const QVariant& v = values.at(i);
                const QString column = i == 0 ? QStringLiteral("KAYITNO") : columns.at(i - 1);
                if (v.typeId() == QMetaType::QByteArray)
                  return Status::failure(
                      QStringLiteral("Satır %1: %2 metin değil.").arg(number).arg(column));
                const QString text = v.toString().trimmed();
                if (text.size() > kMaxValue)
                  return Status::failure(
                      QStringLiteral("Satır %1: %2 çok uzun (en çok %3 karakter olabilir).")
                          .arg(number)
                          .arg(column)
                          .arg(kMaxValue));
                if (school::hasControlCharacter(text))
                  return Status::failure(QStringLiteral("Satır %1: %2")
                                             .arg(number)
                                             .arg(school::controlCharacterMessage(column)));
                if (i == 0)
                  row.order = leadingNumber(text);
                else
                  row.values << text;
              }
              if (row.values.value(adi).isEmpty())
                return Status::failure(QStringLiteral("Satır %1: öğrencinin adı boş.").arg(number));
              rows.append(std::move(row));
              if (rows.size() > kMaxStudents)
                return Status::failure(QStringLiteral("Dosyada çok fazla öğrenci var."));
              return {};
            });
        if (!read) return R::failure(read.error());
        if (rows.isEmpty()) return R::failure(QStringLiteral("Dosyada öğrenci yok."));
        std::stable_sort(rows.begin(), rows.end(),
                         [](const Row& a, const Row& b) { return a.order < b.order; });
        const Result<qint64> next = school::Students(m_store).nextRegistrationNumber();
        if (!next) return R::failure(next.error());
        if (Status s = store::checkNumbers(next.value(), rows.size()); !s)
          return R::failure(s.error());
        const qint64 base = next.value() - 1;
        QStringList marks(columns.size() + 1, QStringLiteral("?"));
        QSqlQuery insert(m_store.db());
        if (!insert.prepare(
                store::dialectOf(m_store.db())
                    .prepare(
                        QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,%1) VALUES (%2)")
                            .arg(columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))))))
          return R::failure(store::queryErrorText(insert));
        int added = 0;
        for (const Row& row : rows) {
          ++added;
          insert.bindValue(0, QString::number(base + added));
          for (qsizetype i = 0; i < row.values.size(); ++i)
            insert.bindValue(static_cast<int>(i + 1), row.values.at(i));
          if (!insert.exec()) return R::failure(store::queryErrorText(insert));
        }
        m_store.changed(store::Change::Students);
        return added;
      },
      PackageFile::ReadOptions());
}

}  // namespace exchange
