#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"

#include <utility>

namespace formats {

// A spreadsheet read into memory: sheets of rows of cell texts. Every reader
// (.xls, .xlsx, .ods, .csv) fills one of these through SheetBuilder, so the
// import sees one shape: empty cells keep their column positions, numbers carry
// no trailing ".0", trailing empty cells and rows are dropped.
//
// Files come from anywhere, so what a reader keeps is bounded before memory is
// spent, whatever the file claims: columns past kMaxColumns are not kept (a
// student list has under 30), a cell keeps at most kMaxCellText characters,
// a sheet at most kMaxRows rows and a workbook at most kMaxCells cell slots and
// kMaxBytes of memory for its rows, cells and texts together (a whole school's
// list of 200,000 students takes under 100 MB). Readers stream the file's parts
// through these bounds; none holds a whole part.
class Workbook {
 public:
  static constexpr int kMaxColumns = 256;  // IV, the widest an .xls sheet gets
  static constexpr int kMaxRows = 1048576;
  // One more than any student field holds, so an over-long value is still seen.
  static constexpr int kMaxCellText = 256;
  static constexpr qint64 kMaxCells = 3000000;
  static constexpr qint64 kMaxBytes = 128 * 1024 * 1024;

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
  int rowCount(int sheet) const;
  // The cells of a row (empty outside the used range).
  QStringList row(int sheet, int row) const;
  // Widest row of the sheet.
  int columnCount(int sheet) const;

  // Adds a sheet as it is (tests and callers that built their rows themselves);
  // trailing empty cells and rows are dropped.
  void addSheet(const QString& name, QList<QStringList> rows);

  // Number text as a spreadsheet shows it: 12 not 12.0, 12345678901 not 1.2e10.
  static QString numberText(double value);

 private:
  QList<Sheet> m_sheets;
};

}  // namespace formats

namespace formats {

// What the sheets of one workbook (and the texts a reader holds for them, such
// as shared strings) may still take: cell slots and bytes of memory.
class WorkbookBudget {
 public:
  Status spendCells(qint64 count);
  Status spendBytes(qint64 bytes);
  // What a text held in memory costs: its characters and its allocation.
  static qint64 textBytes(const QString& text) {
    return text.isEmpty() ? 0 : 2 * qint64(text.size()) + 32;
  }
  static constexpr qint64 kCellBytes = 24;  // a cell slot of a row
  static constexpr qint64 kRowBytes = 48;   // a row of a sheet

 private:
  qint64 m_cells = Workbook::kMaxCells;
  qint64 m_bytes = Workbook::kMaxBytes;
};

// Collects one sheet's cells for a reader within the bounds of Workbook. The
// budget is shared by the sheets of one workbook.
class SheetBuilder {
 public:
  SheetBuilder(QString name, WorkbookBudget* budget) : m_name(std::move(name)), m_budget(budget) {}

  // Readers that jump to a cell (.xlsx, .xls). Empty text changes nothing. A
  // text the reader holds already (a shared string) costs only its slot.
  enum class Text { Own, Shared };
  Status set(int row, int column, const QString& text, Text kind = Text::Own);
  // Readers that go row by row (.ods, .csv): the row `repeat` times (repeated
  // rows share their cells). Empty rows are only kept when a row follows.
  Status append(QStringList row, qint64 repeat = 1);
  int rowCount() const { return static_cast<int>(m_rows.size()); }
  const QString& name() const { return m_name; }
  void addTo(Workbook& book);

  // A cell's text cut to Workbook::kMaxCellText.
  static QString clip(QString text);

 private:
  Status tooManyRows() const;
  QString m_name;
  WorkbookBudget* m_budget;
  QList<QStringList> m_rows;
  qint64 m_pendingEmpty = 0;
};

}  // namespace formats
