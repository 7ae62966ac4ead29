#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointF>
#include <QRectF>

#include <functional>

#include "board/PictureZoom.h"

class QPushButton;
class QTouchEvent;
class QWidget;

namespace framework {

// Fingers on a question's picture, taken as touches (not as the mouse Qt would
// make of them): two fingers enlarge and move it (board::PictureZoom), one
// finger moves it once enlarged, a double tap or the "Sığdır" button in its
// corner (shown while enlarged) fits it again. A single tap does nothing: a
// stray touch at the board changes nothing. What one finger does on a picture
// at rest (drawing, scrolling a long typed question) is the picture's own.
class PictureTouch : public QObject {
  Q_OBJECT
 public:
  // One finger of the picture's own; down() says whether it takes this one.
  struct Finger {
    std::function<bool(const QPointF&)> down;
    std::function<void(const QPointF&)> move;
    std::function<void(const QPointF&)> up;
    std::function<void()> cancel;  // a second finger came: it was a pinch
  };

  // `fitted` says where the picture stands in `picture` at 1×.
  PictureTouch(QWidget* picture, std::function<QRectF()> fitted);

  void setFinger(Finger finger) { m_finger = std::move(finger); }
  const board::PictureZoom& zoom() const { return m_zoom; }
  QPushButton* fitButton() const { return m_fit; }
  void fit();
  // The picture changed its size or content: where it stands at 1× again.
  void relayout();

 signals:
  void changed();  // the picture is to be painted again

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Mode { None, Tap, Own, Move, Pinch };
  void touched(QTouchEvent* event);
  void showFitButton();

  QWidget* m_picture;
  std::function<QRectF()> m_fitted;
  Finger m_finger;
  board::PictureZoom m_zoom;
  QPushButton* m_fit = nullptr;
  Mode m_mode = Mode::None;
  QPointF m_start;  // where the one finger came down
  QPointF m_last;
  int m_pinchA = -1, m_pinchB = -1;  // the two fingers' ids
  QElapsedTimer m_lastTap;
  QPointF m_lastTapAt;
};

}  // namespace framework
