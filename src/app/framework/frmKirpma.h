#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <functional>

class Messages;
class QFrame;

// The clipping surface: a capture of the screen shown full-screen; the teacher
// drags a rectangle over the question, then picks its correct choice A-E on the
// small panel that appears beside it (or, for a free question whose answer
// nobody knows yet, just keeps it). Escape (or "Vazgeç") gives up.
class frmKirpma : public QWidget {
  Q_OBJECT
 public:
  enum class Mode {
    Letter,  // "Doğru şık:" A-E: a question of the bank
    Keep,    // "Kaydet": a free question's picture, no letter
  };
  explicit frmKirpma(const QImage& capture, Mode mode = Mode::Letter, QWidget* parent = nullptr);

  // Captures the screen (the picture of `grabber` in tests) and shows the surface
  // over it; null after telling the teacher when there is nothing to clip. A
  // window that must not be in the picture hides itself first and calls this
  // after grabDelayMs(), when the desktop has repainted.
  // `owner` is the window that asked for it: the surface belongs to it (and to its
  // activity, whose presses go on while the teacher clips).
  static frmKirpma* overScreen(QWidget* owner, Messages& messages, Mode mode,
                               const std::function<QImage()>& grabber = {});
  static int grabDelayMs(const std::function<QImage()>& grabber) { return grabber ? 0 : 350; }

  // The rectangle chosen, in the capture's pixels (empty while none).
  QRect selection() const;
  QImage clip() const { return m_capture.copy(selection()); }
  // Shows the surface over the whole screen the capture came from.
  void showOver(const QRect& screenGeometry);

 signals:
  void chosen(const QImage& clip, const QString& letter);
  void cancelled();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QRect shownSelection() const;
  QImage m_capture;
  QPoint m_from;
  QPoint m_to;
  bool m_dragging = false;
  QFrame* m_choices = nullptr;
};
