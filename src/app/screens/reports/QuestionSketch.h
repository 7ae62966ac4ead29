#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPolygonF>
#include <QString>
#include <QWidget>

class QPushButton;
namespace framework {
class PictureTouch;
}

// The shown question with the teacher's drawing over it: the question's picture
// (or its typed text) fills the room it has, and with the pen on, the mouse or a
// finger draws strokes in the chosen colour and thickness. The strokes are kept
// apart from the picture, which is never changed; they go with "Temizle" and
// when another question is shown. A stroke is held in the picture's own
// proportions, so it stays on the same spot when the window changes size. Two
// fingers enlarge and move the question, with the pen on too (a finger draws
// exactly as the mouse; a second finger turns the line into the pinch).
class QuestionSketch : public QWidget {
  Q_OBJECT
 public:
  explicit QuestionSketch(QWidget* parent = nullptr);

  // A new question: its picture (null for a typed question) or its text; the
  // strokes of the question before go.
  void setQuestion(const QImage& picture, const QString& text);
  const QImage& picture() const { return m_picture; }

  void setDrawing(bool on);  // cmdKalem
  bool drawing() const { return m_drawing; }
  void setPenColour(const QColor& colour);
  QColor penColour() const { return m_colour; }
  void setPenWidth(int pixels);
  int penWidth() const { return m_width; }
  void clear();  // cmdTemizle
  int strokeCount() const { return int(m_strokes.size()); }
  framework::PictureTouch* touch() const { return m_touch; }

  // The pens a teacher picks from: colours that read on a projector, and widths.
  struct Choice {
    QString caption;
    QColor colour;
    int width = 0;
  };
  static const QList<Choice>& colours();
  static const QList<Choice>& widths();

  // The four tool buttons (cmdKalem, cmdRenk, cmdKalinlik, cmdTemizle), wired to
  // this sketch, for the screen to place.
  QList<QPushButton*> makeTools(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Where the picture (or text) is drawn: its proportions kept, centred.
  QRectF contentRect() const;
  QPointF toContent(const QPointF& widgetPoint) const;
  // A line begins, goes on, ends: the mouse's and a finger's alike.
  void strokeFrom(const QPointF& widgetPoint);
  void strokeTo(const QPointF& widgetPoint);
  void paintTools();

  struct Stroke {
    QColor colour;
    qreal width = 0;   // on the question at its fitted size
    QPolygonF points;  // 0..1 across the content rectangle
  };
  QImage m_picture;
  QString m_text;
  QList<Stroke> m_strokes;
  bool m_drawing = false;
  bool m_pressed = false;
  QColor m_colour;
  int m_width = 0;
  QPushButton* m_cmdKalem = nullptr;
  QPushButton* m_cmdRenk = nullptr;
  QPushButton* m_cmdKalinlik = nullptr;
  framework::PictureTouch* m_touch = nullptr;
};
