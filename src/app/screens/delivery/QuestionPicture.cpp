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
