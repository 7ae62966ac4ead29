#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "school/Query.h"

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
  };
  // Filters of the test rows; "TÜMÜ" or empty means no restriction.
  struct TestFilter {
    QString seviye, ders, unite, konu, kazanim, hazirlayan;
  };

  // The lists in the order the screen offers them.
  static const QList<Target>& targets();
  static const Target* target(const QString& caption);

  // Rows that can be given a value; the column shows as DEGISECEKDEGER.
  static Query rowsQuery(const Target& target, const TestFilter& filter = {});
  // "TÜMÜ" followed by the values offered for the list.
  static Query valuesQuery(const Target& target);
  // The progress text shown while applying.
  static QString waitText() { return QStringLiteral("Lütfen Bekleyiniz...\nBilgiler Kaydediliyor"); }
  // Applies `value` to the picked rows (KAYITNO or TESTNO). A class change first
  // releases the pairing of each moved student whose remote is used in the new
  // class. One transaction.
  static Status apply(const Target& target, const QString& value, const QStringList& keys);
};

}  // namespace school
