#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QProxyStyle>
#include <QTimer>

class QAbstractScrollArea;
class QApplication;
class QScreen;
class QWidget;

namespace framework {

// The sizes of a board: every target at least `target` logical pixels on each
// side, `gap` between neighbours. A style rather than a style sheet: a sheet
// replaces the desktop's painting of every control and is overridden by the
// sheets screens set on themselves, while a proxy keeps the desktop's look and
// only answers the size questions every control and layout asks.
class TouchStyle : public QProxyStyle {
 public:
  TouchStyle(const QString& baseStyle, int target, int gap);

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override;

 private:
  int m_target;
  int m_gap;
};

// Derslik on a board, installed once for every window: with "Dokunmatik tahta"
// on, the large targets (TouchStyle, plus the least size of controls whose
// screens fixed a smaller one); always, finger scrolling of every scroll area
// (and dragging with the mouse too while the setting is on), and press-and-hold
// (0.6 s, a ring filling under the finger) opening the menu a right-click opens.
class TouchSupport : public QObject {
  Q_OBJECT
 public:
  static constexpr int kHoldMilliseconds = 600;

  // Installs it on the application; the target comes from the primary screen.
  static TouchSupport* install(QApplication& app);
  static TouchSupport* instance();

  // The least target side for a screen (10 mm, at least 44 logical pixels).
  static int targetPixelsFor(const QScreen* screen);
  // Whether a touch screen is attached (the setting's default).
  static bool touchScreenPresent();

  bool touchBoard() const { return m_touchBoard; }
  int targetPixels() const { return m_target; }
  int gapPixels() const { return m_gap; }
  // Turns the board's layout on or off for every window, open ones included;
  // `target` 0 keeps the present size.
  void setTouchBoard(bool on, int target = 0);

  // Drawing surfaces: a finger held still there is drawing, not asking for a menu.
  // The nearest widget that says decides: `excluded` false lets a part of an
  // excluded window (a presentation's tiles) open its menu by holding.
  static void excludeFromHold(QWidget* widget, bool excluded = true);
  // Whether the press-and-hold ring is on the screen (tests watch the cue).
  bool holdCueShown() const;

 signals:
  // The setting went on or off: what sizes itself by hand sizes itself again.
  void boardChanged(bool on);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit TouchSupport(QApplication& app);
  void applyStyle();
  void enlarge(QWidget* widget) const;
  void restore(QWidget* widget) const;
  void grabScrolling(QAbstractScrollArea* area) const;
  void startHold(const QPoint& globalPos);
  void moveHold(const QPoint& globalPos);
  void cancelHold();
  void fireHold();
  static bool holdExcluded(QWidget* widget);

  QString m_baseStyle;  // the desktop's style, under the board's sizes
  bool m_touchBoard = false;
  int m_target = 44;
  int m_gap = 8;
  QTimer m_holdTimer;
  QTimer m_cueTimer;
  QElapsedTimer m_holdClock;
  QPoint m_holdPos;
  QPointer<QWidget> m_holdWindow;
  QPointer<QWidget> m_cue;
  bool m_touchDown = false;
  bool m_swallowMouse = false;  // the press that opened a menu must not also click
};

}  // namespace framework
