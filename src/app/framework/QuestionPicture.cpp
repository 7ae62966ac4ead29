#include "framework/QuestionPicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include "framework/PictureTouch.h"
#include "store/ContentStores.h"
#include "store/Store.h"

namespace {

Result<QImage> decode(Result<store::StoreContent> content, bool second) {
  if (!content) return Result<QImage>::failure(content.error());
  if (!content.value().found()) return QImage();
  const QByteArray& bytes = second ? content.value().second : content.value().first;
  if (bytes.isEmpty()) return QImage();
  QImage image = QImage::fromData(bytes);
  if (const auto typed = authoring::TypedQuestion::fromPicture(bytes))
    image.setText(QuestionPicture::kTypedSource, QString::fromUtf8(typed->source()));
  return image;
}

}  // namespace

QuestionPicture::QuestionPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("imgSoru"));
  setMinimumSize(160, 120);
  m_touch = new framework::PictureTouch(this, [this] { return fittedRect(); });
  // One finger scrolls a typed question taller than the room, as the mouse does.
  m_touch->setFinger({[this](const QPointF& at) {
                        m_dragY = int(at.y());
                        return m_typed.has_value() && m_scaled.height() > height();
                      },
                      [this](const QPointF& at) {
                        scrollBy(m_dragY - int(at.y()));
                        m_dragY = int(at.y());
                      },
                      {},
                      {}});
  connect(m_touch, &framework::PictureTouch::changed, this, qOverload<>(&QWidget::update));
}

QRectF QuestionPicture::fittedRect() const {
  if (m_image.isNull() || m_typed) return rect();
  QRectF r(QPointF(), QSizeF(m_image.size().scaled(size(), Qt::KeepAspectRatio)));
  r.moveCenter(QRectF(rect()).center());
  return r;
}

void QuestionPicture::setImage(const QImage& image, const QString& missingText) {
  m_image = image;
  m_scaled = QImage();
  m_missing = missingText;
  const QString source = image.text(kTypedSource);
  m_typed = source.isEmpty() ? std::nullopt : authoring::TypedQuestion::fromSource(source.toUtf8());
  m_typedFont = 0;
  m_offset = 0;
  if (m_typed) fitTyped();
  m_touch->relayout();
  update();
}

void QuestionPicture::fitTyped() {
  // About 30 pixels on a 1080-line projector: the back row of a classroom still
  // reads it. A small preview window lowers the floor with its own height.
  const int screenHeight = screen() ? screen()->geometry().height() : 1080;
  const int floor = std::max(14, std::min(screenHeight / 36, height() / 14));
  const auto fitted = m_typed->renderToFit(size(), floor);
  if (!fitted) {
    m_typed.reset();
    return;
  }
  m_scaled = fitted->image;
  m_typedFont = fitted->fontPixels;
  scrollBy(0);
}

void QuestionPicture::scrollBy(int dy) {
  const int room = std::max(0, m_scaled.height() - height());
  m_offset = std::clamp(m_offset + dy, 0, room);
  update();
}

void QuestionPicture::wheelEvent(QWheelEvent* event) {
  if (!m_typed) return QWidget::wheelEvent(event);
  scrollBy(-event->angleDelta().y() / 2);
}

void QuestionPicture::mousePressEvent(QMouseEvent* event) {
  m_dragY = int(event->position().y());
  QWidget::mousePressEvent(event);
}

void QuestionPicture::mouseMoveEvent(QMouseEvent* event) {
  if (!m_typed || !(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
  const int y = int(event->position().y());
  scrollBy(m_dragY - y);
  m_dragY = y;
}

Result<QImage> QuestionPicture::questionImage(store::Store& store, const QString& soruNo,
                                              bool solution) {
  return decode(store.contents().readKept(store::StoreKind::Question, soruNo), solution);
}

Result<std::pair<QImage, QImage>> QuestionPicture::questionImages(store::Store& store,
                                                                  const QString& soruNo) {
  const Result<store::StoreContent> content =
      store.contents().readKept(store::StoreKind::Question, soruNo);
  if (!content) return Result<std::pair<QImage, QImage>>::failure(content.error());
  return std::pair{decode(content, false).valueOr({}), decode(content, true).valueOr({})};
}

Result<QImage> QuestionPicture::startScreenImage(store::Store& store, const QString& testNo) {
  return decode(store.contents().readKept(store::StoreKind::Test, testNo), false);
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
  if (m_typed) fitTyped();
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
  // Enlarged by fingers: the picture itself is scaled (not the one made for the
  // room), so that it stays sharp.
  const board::PictureZoom& zoom = m_touch->zoom();
  if (zoom.zoomed() && !m_typed) {
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(zoom.shown(), m_image);
    return;
  }
  p.translate(zoom.offset());
  p.scale(zoom.scale(), zoom.scale());
  p.setRenderHint(QPainter::SmoothPixmapTransform, zoom.zoomed());
  if (m_typed) {
    const int top = m_scaled.height() <= height() ? (height() - m_scaled.height()) / 2 : -m_offset;
    p.drawImage(QPoint(0, top), m_scaled);
    return;
  }
  const QSize target = m_image.size().scaled(size(), Qt::KeepAspectRatio);
  if (m_scaled.size() != target)
    m_scaled = m_image.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  p.drawImage(QPoint((width() - m_scaled.width()) / 2, (height() - m_scaled.height()) / 2),
              m_scaled);
}
