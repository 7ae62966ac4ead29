#include "web/QrCode.h"

#include <qrencode.h>

#include <memory>

namespace web {

Result<QrMatrix> qrMatrix(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  if (utf8.isEmpty()) return Result<QrMatrix>::failure(QStringLiteral("Karekod için adres boş."));
  std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
      QRcode_encodeString8bit(utf8.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
  if (!code)
    return Result<QrMatrix>::failure(
        QStringLiteral("Karekod oluşturulamadı (adres çok uzun olabilir)."));
  QrMatrix m;
  m.size = code->width;
  m.modules.reserve(qsizetype(m.size) * m.size);
  // The lowest bit of each byte is the module's colour; the others say what the
  // module is part of (finder, timing, data), which a painter does not need.
  for (int i = 0; i < m.size * m.size; ++i) m.modules.append((code->data[i] & 1) != 0);
  return m;
}

}  // namespace web
