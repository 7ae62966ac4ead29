#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include "Result.h"

namespace store {
class Store;
}

// A question's (or a start screen's) picture filling the room it has, scaled
// smoothly and keeping its proportions; a text in its place when there is none.
class QuestionPicture : public QWidget {
  Q_OBJECT
 public:
  explicit QuestionPicture(QWidget* parent = nullptr);

  void setImage(const QImage& image, const QString& missingText = {});
  const QImage& image() const { return m_image; }

  // The stored picture of a question (SORU, or COZUM for its solution) or of a
  // test's start screen; a null image when there is no content.
  static Result<QImage> questionImage(store::Store& store, const QString& soruNo, bool solution);
  static Result<QImage> startScreenImage(store::Store& store, const QString& testNo);
  // The picture without the even margin around its content (a little of it
  // kept), so that the content itself fills the screen.
  static QImage trimmed(const QImage& image);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage m_image;
  QImage m_scaled;  // m_image at the widget's size, made once per size
  QString m_missing;
};
