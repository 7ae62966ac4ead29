#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <optional>
#include <utility>

#include "Result.h"
#include "authoring/TypedQuestion.h"

namespace store {
class Store;
}

// A question's (or a start screen's) picture filling the room it has, scaled
// smoothly and keeping its proportions; a text in its place when there is none.
// A typed question is set again for the room it has, in the largest type that
// fits and never below what the back row reads; what is taller than the room
// then scrolls (wheel or finger) instead of shrinking. Two fingers enlarge and
// move it (framework::PictureTouch).
namespace framework {
class PictureTouch;
}

class QuestionPicture : public QWidget {
  Q_OBJECT
 public:
  explicit QuestionPicture(QWidget* parent = nullptr);

  void setImage(const QImage& image, const QString& missingText = {});
  const QImage& image() const { return m_image; }

  // The stored picture of a question (SORU, or COZUM for its solution) or of a
  // test's start screen; a null image when there is no content. A typed
  // question's picture carries its source (text kTypedSource).
  static Result<QImage> questionImage(store::Store& store, const QString& soruNo, bool solution);
  // Both pictures of a question from one read: the question, then its solution.
  static Result<std::pair<QImage, QImage>> questionImages(store::Store& store,
                                                          const QString& soruNo);
  static Result<QImage> startScreenImage(store::Store& store, const QString& testNo);
  // The picture without the even margin around its content (a little of it
  // kept), so that the content itself fills the screen.
  static QImage trimmed(const QImage& image);
  static inline const QString kTypedSource = QStringLiteral("DerslikYaziliSoru");
  // The body size a typed question is shown in now (0: not a typed question).
  int typedFontPixels() const { return m_typedFont; }
  // The fingers on it: how far it is enlarged and moved.
  framework::PictureTouch* touch() const { return m_touch; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QImage m_image;
  QImage m_scaled;  // m_image at the widget's size, made once per size
  QString m_missing;
  std::optional<authoring::TypedQuestion> m_typed;
  int m_typedFont = 0;
  int m_offset = 0;  // how far a typed question taller than the room is scrolled
  int m_dragY = 0;
  framework::PictureTouch* m_touch = nullptr;
  QRectF fittedRect() const;  // where the picture stands when not enlarged
  void fitTyped();
  void scrollBy(int dy);
};
