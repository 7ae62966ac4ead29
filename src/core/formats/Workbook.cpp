#include "formats/Workbook.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cmath>

#include "formats/CsvReader.h"
#include "formats/OdsReader.h"
#include "formats/XlsReader.h"
#include "formats/XlsxReader.h"

namespace formats {

Result<Workbook> Workbook::open(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile())
    return Result<Workbook>::failure(QStringLiteral("Dosya bulunamadı: %1").arg(path));
  const QString ext = info.suffix().toLower();
  // The content decides over the name: lists saved by other programs are often
  // an xlsx or a text file named .xls.
  QByteArray head;
  {
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) head = f.read(8);
  }
  const bool zip = head.startsWith("PK\x03\x04");
  const bool compound = head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  if (ext == QStringLiteral("xls") && zip) return XlsxReader::read(path);
  if ((ext == QStringLiteral("xlsx") || ext == QStringLiteral("xlsm")) && compound)
    return XlsReader::read(path);
  if (ext == QStringLiteral("xlsx") || ext == QStringLiteral("xlsm")) return XlsxReader::read(path);
  if (ext == QStringLiteral("ods")) return OdsReader::read(path);
  if (ext == QStringLiteral("xls")) return XlsReader::read(path);
  if (ext == QStringLiteral("csv") || ext == QStringLiteral("txt")) return CsvReader::read(path);
  return Result<Workbook>::failure(
      QStringLiteral("Bu dosya türü okunamıyor: .%1 (xls, xlsx, ods veya csv seçiniz)").arg(ext));
}

QStringList Workbook::sheetNames() const {
  QStringList names;
  for (const Sheet& s : m_sheets) names << s.name;
  return names;
}

int Workbook::sheetIndex(const QString& name) const {
  for (int i = 0; i < sheetCount(); ++i)
    if (m_sheets.at(i).name == name) return i;
  return -1;
}

QString Workbook::cell(int sheet, int row, int column) const {
  if (sheet < 0 || sheet >= sheetCount()) return {};
  const QList<QStringList>& rows = m_sheets.at(sheet).rows;
  if (row < 0 || row >= rows.size()) return {};
  return rows.at(row).value(column);
}

int Workbook::rowCount(int sheet) const {
  if (sheet < 0 || sheet >= sheetCount()) return 0;
  return static_cast<int>(m_sheets.at(sheet).rows.size());
}

QStringList Workbook::row(int sheet, int row) const {
  if (sheet < 0 || sheet >= sheetCount()) return {};
  return m_sheets.at(sheet).rows.value(row);
}

int Workbook::columnCount(int sheet) const {
  if (sheet < 0 || sheet >= sheetCount()) return 0;
  qsizetype widest = 0;
  for (const QStringList& r : m_sheets.at(sheet).rows) widest = std::max(widest, r.size());
  return static_cast<int>(widest);
}

void Workbook::addSheet(const QString& name, QList<QStringList> rows) {
  // Trailing empty cells and rows carry nothing and only widen the column list.
  // Rows repeated by a reader share their cells: look before touching, so that
  // only a row that really changes is copied.
  for (qsizetype i = 0; i < rows.size(); ++i) {
    const QStringList& r = std::as_const(rows).at(i);
    if (!r.isEmpty() && r.constLast().isEmpty()) {
      QStringList& w = rows[i];
      while (!w.isEmpty() && w.constLast().isEmpty()) w.removeLast();
    }
  }
  while (!rows.isEmpty() && rows.constLast().isEmpty()) rows.removeLast();
  m_sheets.append({name, std::move(rows)});
}

QString Workbook::numberText(double value) {
  if (std::isfinite(value) && std::fabs(value) < 1e15 && value == std::floor(value))
    return QString::number(static_cast<qint64>(value));
  return QString::number(value, 'g', 15);
}

QString SheetBuilder::clip(QString text) {
  if (text.size() > Workbook::kMaxCellText) text.truncate(Workbook::kMaxCellText);
  return text;
}

Status WorkbookBudget::spendCells(qint64 count) {
  m_cells -= count;
  if (m_cells >= 0) return spendBytes(count * kCellBytes);
  return Status::failure(QStringLiteral("Dosya çok büyük: okunabilecek hücre sayısı (%1) aşıldı.")
                             .arg(QLocale(QLocale::Turkish).toString(Workbook::kMaxCells)));
}

Status WorkbookBudget::spendBytes(qint64 bytes) {
  m_bytes -= bytes;
  if (m_bytes >= 0) return {};
  return Status::failure(
      QStringLiteral(
          "Dosya çok büyük: bir sınıf listesinin tutabileceğinden fazla veri var (en çok "
          "%1 MB).")
          .arg(Workbook::kMaxBytes / (1024 * 1024)));
}

Status SheetBuilder::tooManyRows() const {
  return Status::failure(
      QStringLiteral("Dosya bozuk: \"%1\" sayfasında çok fazla satır var.").arg(m_name));
}

Status SheetBuilder::set(int row, int column, const QString& text, Text kind) {
  if (text.isEmpty() || column < 0 || column >= Workbook::kMaxColumns) return {};
  if (row < 0 || row >= Workbook::kMaxRows) return tooManyRows();
  if (row >= m_rows.size()) {
    const qint64 added = row + 1 - m_rows.size();
    if (Status s = m_budget->spendCells(added); !s) return s;
    if (Status s = m_budget->spendBytes(added * WorkbookBudget::kRowBytes); !s) return s;
    m_rows.resize(row + 1);
  }
  QStringList& cells = m_rows[row];
  if (column >= cells.size()) {
    if (Status s = m_budget->spendCells(column + 1 - cells.size()); !s) return s;
    cells.resize(column + 1);
  }
  QString kept = clip(text);
  if (kind == Text::Own)
    if (Status s = m_budget->spendBytes(WorkbookBudget::textBytes(kept)); !s) return s;
  cells[column] = std::move(kept);
  return {};
}

Status SheetBuilder::append(QStringList row, qint64 repeat) {
  if (row.size() > Workbook::kMaxColumns) row.resize(Workbook::kMaxColumns);
  while (!row.isEmpty() && row.constLast().isEmpty()) row.removeLast();
  if (row.isEmpty()) {
    m_pendingEmpty = std::min<qint64>(m_pendingEmpty + repeat, Workbook::kMaxRows);
    return {};
  }
  if (m_rows.size() + m_pendingEmpty + repeat > Workbook::kMaxRows) return tooManyRows();
  // Repeated rows share their cells: the slots are paid once, each row's place every time.
  if (Status s = m_budget->spendCells(m_pendingEmpty + repeat * (row.size() + 1)); !s) return s;
  qint64 bytes = (m_pendingEmpty + repeat) * WorkbookBudget::kRowBytes -
                 (repeat - 1) * row.size() * WorkbookBudget::kCellBytes;
  for (const QString& cell : std::as_const(row)) bytes += WorkbookBudget::textBytes(cell);
  if (Status s = m_budget->spendBytes(bytes); !s) return s;
  m_rows.resize(m_rows.size() + m_pendingEmpty);
  m_pendingEmpty = 0;
  for (qint64 i = 0; i < repeat; ++i) m_rows.append(row);
  return {};
}

void SheetBuilder::addTo(Workbook& book) {
  book.addSheet(m_name, std::move(m_rows));
  m_rows.clear();
}

}  // namespace formats
