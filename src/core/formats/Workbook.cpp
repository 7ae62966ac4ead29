#include "formats/Workbook.h"

#include <QFileInfo>

#include <cmath>

#include "formats/CsvReader.h"
#include "formats/OdsReader.h"
#include "formats/XlsReader.h"
#include "formats/XlsxReader.h"

namespace formats {

Result<Workbook> Workbook::open(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile()) return Result<Workbook>::failure(QStringLiteral("Dosya bulunamadı: %1").arg(path));
  const QString ext = info.suffix().toLower();
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

int Workbook::columnCount(int sheet) const {
  if (sheet < 0 || sheet >= sheetCount()) return 0;
  qsizetype widest = 0;
  for (const QStringList& r : m_sheets.at(sheet).rows) widest = std::max(widest, r.size());
  return static_cast<int>(widest);
}

void Workbook::addSheet(const QString& name, QList<QStringList> rows) {
  // Trailing empty cells and rows carry nothing and only widen the column list.
  for (QStringList& r : rows)
    while (!r.isEmpty() && r.last().isEmpty()) r.removeLast();
  while (!rows.isEmpty() && rows.last().isEmpty()) rows.removeLast();
  m_sheets.append({name, std::move(rows)});
}

QString Workbook::numberText(double value) {
  if (std::isfinite(value) && std::fabs(value) < 1e15 && value == std::floor(value))
    return QString::number(static_cast<qint64>(value));
  return QString::number(value, 'g', 15);
}

}  // namespace formats
