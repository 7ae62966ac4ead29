#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"

namespace formats {

// A spreadsheet read into memory: sheets of rows of cell texts. Every reader
// (.xls, .xlsx, .ods, .csv) fills one of these, so the import sees one shape:
// empty cells keep their column positions, numbers carry no trailing ".0",
// trailing empty cells and rows are dropped.
class Workbook {
 public:
  struct Sheet {
    QString name;
    QList<QStringList> rows;
  };

  // Reads the file by its extension (.xls, .xlsx, .ods, .csv, .txt).
  // A malformed file gives a Turkish error and no workbook.
  static Result<Workbook> open(const QString& path);

  int sheetCount() const { return static_cast<int>(m_sheets.size()); }
  QStringList sheetNames() const;
  int sheetIndex(const QString& name) const;  // -1 when missing
  const Sheet& sheet(int index) const { return m_sheets.at(index); }
  // Empty text outside the used range.
  QString cell(int sheet, int row, int column) const;
  // Widest row of the sheet.
  int columnCount(int sheet) const;

  void addSheet(const QString& name, QList<QStringList> rows);

  // Number text as a spreadsheet shows it: 12 not 12.0, 12345678901 not 1.2e10.
  static QString numberText(double value);

 private:
  QList<Sheet> m_sheets;
};

}  // namespace formats
