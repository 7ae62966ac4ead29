#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

class QFrame;

// The clipping surface: a capture of the screen shown full-screen; the teacher
// drags a rectangle over the question, then picks its correct choice A-E on the
// small panel that appears beside it. Escape (or "Vazgeç") gives up.
class frmKirpma : public QWidget {
  Q_OBJECT
 public:
  explicit frmKirpma(const QImage& capture, QWidget* parent = nullptr);

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
