#include "formats/XlsReader.h"

#include <QFile>

#include <freexl.h>

namespace formats {

namespace {

using R = Result<Workbook>;

class Handle {
 public:
  ~Handle() {
    if (m_handle) freexl_close(m_handle);
  }
  const void* m_handle = nullptr;
};

QString freexlError(int code) {
  switch (code) {
    case FREEXL_FILE_NOT_FOUND:
      return QStringLiteral("dosya bulunamadı");
    case FREEXL_INSUFFICIENT_MEMORY:
      return QStringLiteral("bellek yetersiz");
    default:
      return QStringLiteral("biçim tanınmadı, kod %1").arg(code);
  }
}

}  // namespace

Result<Workbook> XlsReader::read(const QString& path) {
  Handle h;
  const QByteArray encoded = QFile::encodeName(path);
  int rc = freexl_open(encoded.constData(), &h.m_handle);
  if (rc != FREEXL_OK)
    return R::failure(QStringLiteral("Dosya geçerli bir Excel (xls) dosyası değil (%1).").arg(freexlError(rc)));
  unsigned int sheetCount = 0;
  if (freexl_get_info(h.m_handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK || sheetCount == 0)
    return R::failure(QStringLiteral("Dosyada hiç sayfa yok."));
  Workbook book;
  for (unsigned int s = 0; s < sheetCount && s < 65535; ++s) {
    const char* utf8Name = nullptr;
    QString name;
    if (freexl_get_worksheet_name(h.m_handle, static_cast<unsigned short>(s), &utf8Name) == FREEXL_OK &&
        utf8Name)
      name = QString::fromUtf8(utf8Name);
    if (freexl_select_active_worksheet(h.m_handle, static_cast<unsigned short>(s)) != FREEXL_OK)
      return R::failure(QStringLiteral("Dosya bozuk: %1. sayfa seçilemedi.").arg(s + 1));
    unsigned int rowCount = 0;
    unsigned short colCount = 0;
    if (freexl_worksheet_dimensions(h.m_handle, &rowCount, &colCount) != FREEXL_OK)
      return R::failure(QStringLiteral("Dosya bozuk: \"%1\" sayfasının boyutları okunamadı.").arg(name));
    QList<QStringList> rows;
    for (unsigned int r = 0; r < rowCount; ++r) {
      QStringList row;
      for (unsigned short c = 0; c < colCount; ++c) {
        FreeXL_CellValue value;
        if (freexl_get_cell_value(h.m_handle, r, c, &value) != FREEXL_OK)
          return R::failure(QStringLiteral("Dosya bozuk: \"%1\" sayfası, satır %2, sütun %3 okunamadı.")
                                .arg(name)
                                .arg(r + 1)
                                .arg(c + 1));
        QString text;
        switch (value.type) {
          case FREEXL_CELL_INT:
            text = QString::number(value.value.int_value);
            break;
          case FREEXL_CELL_DOUBLE:
            text = Workbook::numberText(value.value.double_value);
            break;
          case FREEXL_CELL_TEXT:
          case FREEXL_CELL_SST_TEXT:
          case FREEXL_CELL_DATE:
          case FREEXL_CELL_DATETIME:
          case FREEXL_CELL_TIME:
            text = value.value.text_value ? QString::fromUtf8(value.value.text_value) : QString();
            break;
          default:
            break;
        }
        row << text;
      }
      rows << row;
    }
    book.addSheet(name, rows);
  }
  return book;
}

}  // namespace formats
