#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "Result.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace formats {

// A small helper over libxlsxwriter for the lists and labels Derslik writes.
// Rows and columns are 0-based (A1 is 0,0). Nothing is on disk before close().
class XlsxWriter {
 public:
  enum class Style { Plain, Bold, Title, Wrap, Header };
  // RowByRow keeps only the current row in memory (long lists): rows must then be
  // written in order, each row's cells left to right, and rows already passed
  // cannot be changed. Its scratch files stay in a private temporary folder.
  enum class Memory { WholeSheet, RowByRow };

  explicit XlsxWriter(const QString& path, Memory memory = Memory::WholeSheet);
  ~XlsxWriter();
  XlsxWriter(const XlsxWriter&) = delete;
  XlsxWriter& operator=(const XlsxWriter&) = delete;

  // Adds a sheet and makes it the one written to. Names are cut to what the
  // format allows (31 characters, no []:*?/\).
  void addSheet(const QString& name);
  void write(int row, int column, const QString& text, Style style = Style::Plain);
  void writeNumber(int row, int column, double value, Style style = Style::Plain);
  void setColumnWidth(int column, double width);
  void setRowHeight(int row, double height);
  void mergeTitle(int row, int firstColumn, int lastColumn, const QString& text);

  // Writes the file. "Dosya oluşturulamadı" with the reason on failure.
  Status close();

 private:
  lxw_format* format(Style style) const;
  QString m_path;
  std::unique_ptr<QTemporaryDir> m_scratch;
  QByteArray m_scratchPath;
  lxw_workbook* m_book = nullptr;
  lxw_worksheet* m_sheet = nullptr;
  lxw_format* m_bold = nullptr;
  lxw_format* m_title = nullptr;
  lxw_format* m_wrap = nullptr;
  lxw_format* m_header = nullptr;
  bool m_closed = false;
};

}  // namespace formats
