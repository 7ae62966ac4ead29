#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "curriculum/CurriculumFilter.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace school {

// Giving one field of many students or tests a new value at once.
class BulkChange {
 public:
  struct Target {
    QString caption;    // "Seviyeler", "Sınıflar", "Test Hazırlayanı", ...
    QString table;      // TABLEOGRENCI or TABLETEST
    QString column;     // the column that changes
    QString parameter;  // the TABLEPARAMETRE list the values come from ('' for curriculum columns)
    bool students() const { return table == QStringLiteral("TABLEOGRENCI"); }
    // The key column of the rows (KAYITNO or TESTNO).
    QString key() const {
      return students() ? QStringLiteral("KAYITNO") : QStringLiteral("TESTNO");
    }
  };
  // Filters of the test rows: the curriculum and the author ("TÜMÜ" or empty: any).
  struct TestFilter {
    curriculum::CurriculumFilter curriculum;
    QString hazirlayan;
  };
  // The value column of valuesQuery().
  static inline const QString kValue = QStringLiteral("PARAMETREDEGERI");

  explicit BulkChange(store::Store& store) : m_store(store) {}

  // The lists in the order the screen offers them.
  static const QList<Target>& targets();
  static const Target* target(const QString& caption);

  // Rows that can be given a value; the column shows as DEGISECEKDEGER.
  static store::Query rowsQuery(const Target& target, const TestFilter& filter = {});
  // "TÜMÜ" followed by the values offered for the list.
  static store::Query valuesQuery(const Target& target);
  // The progress text shown while applying.
  static QString waitText() {
    return QStringLiteral("Lütfen Bekleyiniz...\nBilgiler Kaydediliyor");
  }
  // Applies `value` to the picked rows (KAYITNO or TESTNO). A class change first
  // releases the pairing of each moved student whose remote is used in the new
  // class. One transaction.
  Status apply(const Target& target, const QString& value, const QStringList& keys);

 private:
  store::Store& m_store;
};

}  // namespace school
