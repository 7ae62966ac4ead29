// Fingers on a question's picture: two enlarge it around the point between
// them and move it, never past its edges; one moves it once enlarged; a tap does
// nothing and a double tap or "Sığdır" fits it again. With the pen on, a finger
// draws the very line the mouse draws, and a second finger zooms instead.
#include <QPainter>
#include <QPushButton>
#include <QStyleHints>
#include <QtTest>

#include "framework/PictureTouch.h"
#include "framework/QuestionPicture.h"
#include "framework/TouchSupport.h"
#include "screens/reports/QuestionSketch.h"

namespace {

// Four coloured quarters: where the picture went shows in every corner.
QImage quarters(const QSize& size) {
  QImage image(size, QImage::Format_RGB32);
  QPainter p(&image);
  const int w = size.width() / 2, h = size.height() / 2;
  p.fillRect(0, 0, w, h, Qt::red);
  p.fillRect(w, 0, w, h, Qt::green);
  p.fillRect(0, h, w, h, Qt::blue);
  p.fillRect(w, h, w, h, Qt::yellow);
  return image;
}

bool near(const QPointF& a, const QPointF& b) { return (a - b).manhattanLength() < 2; }

}  // namespace

class TestPictureTouch : public QObject {
  Q_OBJECT

  QPointingDevice* m_finger = QTest::createTouchDevice();

  // Both fingers at once, from where they are to where they go, in steps.
  void pinch(QWidget* w, QPoint a0, QPoint b0, QPoint a1, QPoint b1, bool press = true) {
    if (press) QTest::touchEvent(w, m_finger).press(0, a0).press(1, b0);
    for (int i = 1; i <= 8; ++i)
      QTest::touchEvent(w, m_finger)
          .move(0, a0 + (a1 - a0) * i / 8)
          .move(1, b0 + (b1 - b0) * i / 8);
  }
  void lift(QWidget* w, QPoint a, QPoint b) {
    QTest::touchEvent(w, m_finger).release(0, a).release(1, b);
  }
  void drag(QWidget* w, QPoint from, QPoint to) {
    QTest::touchEvent(w, m_finger).press(0, from);
    for (int i = 1; i <= 8; ++i) QTest::touchEvent(w, m_finger).move(0, from + (to - from) * i / 8);
    QTest::touchEvent(w, m_finger).release(0, to);
  }
  void tap(QWidget* w, QPoint at) {
    QTest::touchEvent(w, m_finger).press(0, at);
    QTest::touchEvent(w, m_finger).release(0, at);
  }

 private slots:
  void initTestCase() { framework::TouchSupport::install(*qApp); }

  void pinchEnlargesAroundTheFingersMovesWithinThePictureAndFitsAgain() {
    QuestionPicture picture;
    picture.setImage(quarters(QSize(400, 300)));
    picture.resize(800, 600);
    picture.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picture));
    const board::PictureZoom& zoom = picture.touch()->zoom();
    QPushButton* fitButton = picture.touch()->fitButton();
    const QImage fitted = picture.grab().toImage();

    // A stray tap and a one-finger drag on the picture at rest change nothing.
    tap(&picture, {200, 150});
    drag(&picture, {200, 150}, {600, 450});
    QCOMPARE(zoom.scale(), 1.0);
    QCOMPARE(picture.grab().toImage(), fitted);
    QVERIFY(fitButton->isHidden());

    // Fingers twice as far apart: twice as large, the point between them held.
    const QPointF between = zoom.toFitted({440, 260});
    pinch(&picture, {390, 260}, {490, 260}, {340, 260}, {540, 260});
    QVERIFY(qAbs(zoom.scale() - 2.0) < 0.02);
    QVERIFY(near(zoom.toRoom(between), {440, 260}));
    QVERIFY(fitButton->isVisible());
    // Moving both together moves the picture with them.
    pinch(&picture, {340, 260}, {540, 260}, {380, 300}, {580, 300}, false);
    QVERIFY(near(zoom.toRoom(between), {480, 300}));
    lift(&picture, {380, 300}, {580, 300});
    // Spread far apart: never beyond 4×.
    pinch(&picture, {350, 300}, {450, 300}, {50, 300}, {750, 300});
    lift(&picture, {50, 300}, {750, 300});
    QCOMPARE(zoom.scale(), board::PictureZoom::kMaximum);

    // One finger pulls the enlarged picture as far as it goes: its corner stops
    // at the room's corner, and the corner shows the picture's own corner.
    for (int i = 0; i < 4; ++i) drag(&picture, {10, 10}, {790, 590});
    QCOMPARE(zoom.shown().topLeft(), QPointF(0, 0));
    QCOMPARE(picture.grab().toImage().pixelColor(4, 4), QColor(Qt::red));
    for (int i = 0; i < 4; ++i) drag(&picture, {790, 590}, {10, 10});
    QCOMPARE(zoom.shown().bottomRight(), QPointF(800, 600));
    QCOMPARE(picture.grab().toImage().pixelColor(795, 595), QColor(Qt::yellow));

    // A single tap leaves it; a double tap fits it again.
    const QRectF before = zoom.shown();
    tap(&picture, {300, 300});
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    QCOMPARE(zoom.shown(), before);
    tap(&picture, {300, 300});
    tap(&picture, {302, 301});
    QCOMPARE(zoom.scale(), 1.0);
    QCOMPARE(picture.grab().toImage(), fitted);

    // "Sığdır", pressed by a finger, fits it too.
    pinch(&picture, {350, 300}, {450, 300}, {250, 300}, {550, 300});
    lift(&picture, {250, 300}, {550, 300});
    QVERIFY(zoom.zoomed());
    QTRY_VERIFY(fitButton->isVisible());
    tap(&picture, fitButton->geometry().center());
    QCOMPARE(zoom.scale(), 1.0);
    QVERIFY(fitButton->isHidden());
    QCOMPARE(picture.grab().toImage(), fitted);
  }

  void aFingerDrawsAsTheMouseAndASecondFingerZoomsInstead() {
    QuestionSketch sketch;
    QImage white(400, 300, QImage::Format_RGB32);
    white.fill(Qt::white);
    sketch.setQuestion(white, {});
    sketch.resize(812, 612);
    sketch.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sketch));
    sketch.setDrawing(true);
    const QImage blank = sketch.grab().toImage();
    const QList<QPoint> line{{100, 100}, {180, 140}, {260, 150}, {380, 260}};

    QTest::mousePress(&sketch, Qt::LeftButton, {}, line.first());
    for (const QPoint& p : line.mid(1)) QTest::mouseMove(&sketch, p);
    QTest::mouseRelease(&sketch, Qt::LeftButton, {}, line.last());
    QCOMPARE(sketch.strokeCount(), 1);
    const QImage byMouse = sketch.grab().toImage();
    QVERIFY(byMouse != blank);

    sketch.clear();
    QTest::touchEvent(&sketch, m_finger).press(0, line.first());
    for (const QPoint& p : line.mid(1)) QTest::touchEvent(&sketch, m_finger).move(0, p);
    // Held still at the end: still drawing, no menu coming.
    QTest::qWait(framework::TouchSupport::kHoldMilliseconds / 2);
    QVERIFY(!framework::TouchSupport::instance()->holdCueShown());
    QTest::touchEvent(&sketch, m_finger).release(0, line.last());
    QCOMPARE(sketch.strokeCount(), 1);
    QCOMPARE(sketch.grab().toImage(), byMouse);

    // A second finger joins the first one's line: it was a pinch, not a line.
    sketch.clear();
    QTest::touchEvent(&sketch, m_finger).press(0, {300, 300});
    QTest::touchEvent(&sketch, m_finger).move(0, {310, 300});
    QTest::touchEvent(&sketch, m_finger).move(0, {310, 300}).press(1, {410, 300});
    pinch(&sketch, {310, 300}, {410, 300}, {210, 300}, {510, 300}, false);
    QTest::touchEvent(&sketch, m_finger).release(0, {210, 300}).move(1, {510, 300});
    QTest::touchEvent(&sketch, m_finger).move(1, {530, 320});  // the one left moves, no line
    QTest::touchEvent(&sketch, m_finger).release(1, {530, 320});
    QCOMPARE(sketch.strokeCount(), 0);
    QVERIFY(sketch.touch()->zoom().scale() > 2.5);

    // Enlarged, the line still lands under the finger.
    const QPoint dot(600, 200);
    QTest::touchEvent(&sketch, m_finger).press(0, dot);
    QTest::touchEvent(&sketch, m_finger).release(0, dot);
    QCOMPARE(sketch.strokeCount(), 1);
    QCOMPARE(sketch.grab().toImage().pixelColor(dot), sketch.penColour());
  }
};

QTEST_MAIN(TestPictureTouch)
#include "tst_picture_touch.moc"
