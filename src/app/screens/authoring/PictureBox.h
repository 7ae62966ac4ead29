#pragma once

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QString>

// A picture shown as large as the box allows (never enlarged past its pixels),
// that takes a new picture the ways a teacher tries: a double-click (to choose a
// file), a JPEG/PNG file dropped on it, an image dropped or pasted (Ctrl+V).
// It only reports; the screen's core object decides what the picture becomes.
class PictureBox : public QLabel {
  Q_OBJECT
 public:
  explicit PictureBox(const QString& name, QWidget* parent = nullptr);

  // Shows the picture file (a blank box when it cannot be read).
  void showFile(const QString& path);
  void showBytes(const QByteArray& bytes);
  const QPixmap& picture() const { return m_picture; }

  // The files a drop accepts.
  static bool acceptsFile(const QString& path);

 signals:
  void doubleClicked();
  void fileDropped(const QString& path);
  void imageGiven(const QImage& image);  // dropped or pasted

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void rescale();
  QPixmap m_picture;
};
