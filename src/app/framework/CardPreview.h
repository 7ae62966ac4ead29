#pragma once

#include <QImage>
#include <QList>
#include <QPointer>
#include <QPolygonF>
#include <QString>
#include <QTimer>
#include <QWidget>

class QToolButton;

// What the camera sees while the class answers with cards, in a corner of the
// presentation (or over all of it, on the teacher's command): each card read
// outlined in green with its student's name, and how many cards of the class
// have given an answer to this question. "Resim Aç" and "Yapıştır" (Ctrl+V on
// the window) ask for a photo of the class to be read instead of the camera's
// frame.
class CardPreview : public QWidget {
  Q_OBJECT
 public:
  struct Outline {
    QPolygonF corners;  // in the frame's pixels
    QString name;
  };

  explicit CardPreview(QWidget* window);

  void setFrame(const QImage& frame, const QList<Outline>& outlines);
  void setCount(int read, int ofClass);
  // A problem with the camera, over the picture (empty: none).
  void setNotice(const QString& text);
  QString notice() const { return m_notice; }

  QString countText() const { return m_count; }
  bool large() const { return m_large; }
  void setLarge(bool large);
  // Into its corner of the window, or over all of it.
  void place();

  // Frames are drawn at most this often: a preview must not cost the board.
  static constexpr int kPaintIntervalMs = 66;
  static constexpr int kLeastWidth = 240;
  // In a command column it may be narrower: the teacher enlarges it there.
  static constexpr int kLeastColumnWidth = 160;

 signals:
  void openPictureRequested();
  void pasteRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A 16:9 picture with the count's band under it.
  static constexpr int kBand = 28;
  static int heightFor(int width) { return width * 9 / 16 + kBand; }
  QRect columnRoom() const;

  QPointer<QWidget> m_column;
  QImage m_frame;
  QList<Outline> m_outlines;
  QString m_count;
  QString m_notice;
  bool m_large = false;
  bool m_dirty = false;
  QTimer m_paintTimer;
  QToolButton* m_size;
  QToolButton* m_open;
  QToolButton* m_paste;
};
