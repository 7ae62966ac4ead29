#include "formats/XlsxWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <xlsxwriter.h>

namespace formats {

namespace {
QString sheetName(const QString& name) {
  QString n = name;
  for (QChar bad : QStringLiteral("[]:*?/\\")) n.replace(bad, QLatin1Char('_'));
  n = n.left(31).trimmed();
  return n.isEmpty() ? QStringLiteral("Sayfa1") : n;
}
}  // namespace

XlsxWriter::XlsxWriter(const QString& path, Memory memory) : m_path(path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  const QByteArray encoded = QFile::encodeName(path + QStringLiteral(".yaziliyor"));
  if (memory == Memory::RowByRow) {
    m_scratch = std::make_unique<QTemporaryDir>(QFileInfo(path).absolutePath() +
                                                QStringLiteral("/.yaziliyor-XXXXXX"));
    if (!m_scratch->isValid()) return;
    m_scratchPath = QFile::encodeName(m_scratch->path());  // kept as long as the book
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = m_scratchPath.data();
    m_book = workbook_new_opt(encoded.constData(), &options);
  } else {
    m_book = workbook_new(encoded.constData());
  }
  if (!m_book) return;
  m_bold = workbook_add_format(m_book);
  format_set_bold(m_bold);
  m_title = workbook_add_format(m_book);
  format_set_bold(m_title);
  format_set_font_size(m_title, 14);
  m_wrap = workbook_add_format(m_book);
  format_set_text_wrap(m_wrap);
  format_set_align(m_wrap, LXW_ALIGN_CENTER);
  format_set_align(m_wrap, LXW_ALIGN_VERTICAL_CENTER);
  format_set_border(m_wrap, LXW_BORDER_THIN);
  m_header = workbook_add_format(m_book);
  format_set_bold(m_header);
  format_set_border(m_header, LXW_BORDER_THIN);
  format_set_bg_color(m_header, 0xD9D9D9);
}

XlsxWriter::~XlsxWriter() {
  if (!m_closed && m_book) {
    workbook_close(m_book);  // nothing to keep: a writer that was not closed failed
    QFile::remove(m_path + QStringLiteral(".yaziliyor"));
  }
}

lxw_format* XlsxWriter::format(Style style) const {
  switch (style) {
    case Style::Bold:
      return m_bold;
    case Style::Title:
      return m_title;
    case Style::Wrap:
      return m_wrap;
    case Style::Header:
      return m_header;
    case Style::Plain:
      break;
  }
  return nullptr;
}

void XlsxWriter::addSheet(const QString& name) {
  if (!m_book) return;
  QString n = sheetName(name);
  // Sheet names must be unique; a repeated one gets a number.
  for (int i = 2; workbook_get_worksheet_by_name(m_book, n.toUtf8().constData()); ++i)
    n = sheetName(name).left(28) + QString::number(i);
  m_sheet = workbook_add_worksheet(m_book, n.toUtf8().constData());
}

void XlsxWriter::write(int row, int column, const QString& text, Style style) {
  if (!m_book) return;
  if (!m_sheet) addSheet(QStringLiteral("Sayfa1"));
  if (!m_sheet) return;
  const QByteArray utf8 = text.toUtf8();
  worksheet_write_string(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                         utf8.constData(), format(style));
}

void XlsxWriter::writeNumber(int row, int column, double value, Style style) {
  if (!m_book) return;
  if (!m_sheet) addSheet(QStringLiteral("Sayfa1"));
  if (!m_sheet) return;
  worksheet_write_number(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                         value, format(style));
}

void XlsxWriter::setColumnWidth(int column, double width) {
  if (!m_sheet) return;
  worksheet_set_column(m_sheet, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                       width, nullptr);
}

void XlsxWriter::setRowHeight(int row, double height) {
  if (!m_sheet) return;
  worksheet_set_row(m_sheet, static_cast<lxw_row_t>(row), height, nullptr);
}

void XlsxWriter::mergeTitle(int row, int firstColumn, int lastColumn, const QString& text) {
  if (!m_book) return;
  if (!m_sheet) addSheet(QStringLiteral("Sayfa1"));
  if (!m_sheet) return;
  const QByteArray utf8 = text.toUtf8();
  if (lastColumn > firstColumn)
    worksheet_merge_range(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(firstColumn),
                          static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(lastColumn),
                          utf8.constData(), m_title);
  else
    write(row, firstColumn, text, Style::Title);
}

Status XlsxWriter::close() {
  if (m_closed) return {};
  m_closed = true;
  const QString temp = m_path + QStringLiteral(".yaziliyor");
  if (!m_book) return Status::failure(QStringLiteral("Dosya oluşturulamadı: %1").arg(m_path));
  if (!m_sheet) addSheet(QStringLiteral("Sayfa1"));
  const lxw_error rc = workbook_close(m_book);
  m_book = nullptr;
  if (rc != LXW_NO_ERROR) {
    QFile::remove(temp);
    return Status::failure(QStringLiteral("Dosya oluşturulamadı: %1 (%2)")
                               .arg(m_path, QString::fromUtf8(lxw_strerror(rc))));
  }
  QFile::remove(m_path);
  if (!QFile::rename(temp, m_path)) {
    QFile::remove(temp);
    return Status::failure(QStringLiteral("Dosya oluşturulamadı: %1").arg(m_path));
  }
  return {};
}

}  // namespace formats
