#include "screens/authoring/PictureBox.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>

namespace {

QString droppedFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile() && PictureBox::acceptsFile(url.toLocalFile())) return url.toLocalFile();
  return {};
}

}  // namespace

PictureBox::PictureBox(const QString& name, QWidget* parent) : QLabel(parent) {
  setObjectName(name);
  setAlignment(Qt::AlignCenter);
  setAcceptDrops(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(320, 240);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  setFrameShape(QFrame::StyledPanel);
  setStyleSheet(QStringLiteral("PictureBox { background: white; }"));
  setToolTip(QStringLiteral(
      "Resim seçmek için çift tıklayın; bir JPEG/PNG dosyasını buraya sürükleyin ya da "
      "panodaki resmi Ctrl+V ile yapıştırın."));
}

bool PictureBox::acceptsFile(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ||
         suffix == QLatin1String("png");
}

void PictureBox::showFile(const QString& path) {
  m_picture = QPixmap(path);
  rescale();
}

void PictureBox::showBytes(const QByteArray& bytes) {
  m_picture = QPixmap();
  m_picture.loadFromData(bytes);
  rescale();
}

void PictureBox::rescale() {
  if (m_picture.isNull()) {
    setPixmap(QPixmap());
    return;
  }
  const QSize room = contentsRect().size();
  if (m_picture.width() <= room.width() && m_picture.height() <= room.height())
    setPixmap(m_picture);
  else
    setPixmap(m_picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QLabel::mouseDoubleClickEvent(event);
  emit doubleClicked();
}

void PictureBox::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (!droppedFile(mime).isEmpty() || mime->hasImage()) event->acceptProposedAction();
}

void PictureBox::dropEvent(QDropEvent* event) {
  const QMimeData* mime = event->mimeData();
  const QString file = droppedFile(mime);
  if (!file.isEmpty()) {
    event->acceptProposedAction();
    emit fileDropped(file);
  } else if (mime->hasImage()) {
    event->acceptProposedAction();
    emit imageGiven(qvariant_cast<QImage>(mime->imageData()));
  }
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    const QString file = droppedFile(mime);
    if (!file.isEmpty())
      emit fileDropped(file);
    else if (mime && mime->hasImage())
      emit imageGiven(qvariant_cast<QImage>(mime->imageData()));
    return;
  }
  QLabel::keyPressEvent(event);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  rescale();
}
