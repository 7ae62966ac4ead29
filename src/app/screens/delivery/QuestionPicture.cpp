#include "screens/delivery/QuestionPicture.h"

#include <QPainter>

#include "store/ContentStores.h"
#include "store/Store.h"

namespace {

Result<QImage> decode(Result<store::StoreContent> content, bool second) {
  if (!content) return Result<QImage>::failure(content.error());
  if (!content.value().found()) return QImage();
  const QByteArray& bytes = second ? content.value().second : content.value().first;
  if (bytes.isEmpty()) return QImage();
  return QImage::fromData(bytes);
}

}  // namespace

QuestionPicture::QuestionPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("imgSoru"));
  setMinimumSize(160, 120);
}

void QuestionPicture::setImage(const QImage& image, const QString& missingText) {
  m_image = image;
  m_scaled = QImage();
  m_missing = missingText;
  update();
}

Result<QImage> QuestionPicture::questionImage(store::Store& store, const QString& soruNo,
                                              bool solution) {
  return decode(store.contents().read(store::StoreKind::Question, soruNo), solution);
}

Result<QImage> QuestionPicture::startScreenImage(store::Store& store, const QString& testNo) {
  return decode(store.contents().read(store::StoreKind::Test, testNo), false);
}

QImage QuestionPicture::trimmed(const QImage& image) {
  if (image.isNull()) return image;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  const QRgb background = rgb.pixel(0, 0);
  auto differs = [background](QRgb c) {
    return std::abs(qRed(c) - qRed(background)) + std::abs(qGreen(c) - qGreen(background)) +
               std::abs(qBlue(c) - qBlue(background)) >
           48;
  };
  int top = rgb.height(), bottom = -1, left = rgb.width(), right = -1;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      if (!differs(line[x])) continue;
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      left = std::min(left, x);
      right = std::max(right, x);
    }
  }
  if (bottom < 0) return image;  // all one colour
  const int margin = std::max(8, std::max(rgb.width(), rgb.height()) / 40);
  const QRect content =
      QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-margin, -margin, margin, margin);
  return image.copy(content.intersected(image.rect()));
}

void QuestionPicture::resizeEvent(QResizeEvent* event) {
  m_scaled = QImage();
  QWidget::resizeEvent(event);
}

void QuestionPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  if (m_image.isNull()) {
    QFont f = font();
    f.setPixelSize(std::max(14, height() / 14));
    p.setFont(f);
    p.setPen(QColor(0x44, 0x44, 0x44));
    p.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap, m_missing);
    return;
  }
  const QSize target = m_image.size().scaled(size(), Qt::KeepAspectRatio);
  if (m_scaled.size() != target)
    m_scaled = m_image.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  p.drawImage(QPoint((width() - m_scaled.width()) / 2, (height() - m_scaled.height()) / 2),
              m_scaled);
}
