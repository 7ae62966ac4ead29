#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QTimer>
#include <QWidget>

#include "game/Race.h"

class QLabel;

// The race drawn for the board: a running track with a lane per player, the
// player's name large at the lane's start, a runner that glides from step to
// step, and the finish line. Many players take two or three columns of lanes so
// that names stay readable. It only paints what game::Race holds: a press moves
// nothing here until the race says the lane moved. Frames are drawn by one timer,
// only while a runner is moving, however many presses arrive.
class RaceView : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kGlideMs = 320;  // shorter than the step interval
  static constexpr int kFrameMs = 16;

  explicit RaceView(QWidget* parent = nullptr);

  // The race must outlive the view; every runner is put where the race has it.
  void setRace(const game::Race* race);
  // The lane's runner glides from where it is drawn to the race's position.
  void laneMoved(int index);
  // Every runner where the race has it, at once (a screenshot, a new race).
  void settle();
  bool animating() const { return m_frame.isActive(); }
  // Where lane `index` runner is drawn now, in steps (fractional while gliding).
  double shownSteps(int index) const;

  // Columns of lanes for `lanes` players, and the rectangle of a lane.
  static int columnsFor(int lanes);
  static QRect laneRect(int index, int lanes, const QRect& area);
  // A colour of its own for each runner.
  static QColor runnerColor(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Glide {
    double from = 0;
    int to = 0;
    qint64 startMs = -1;  // -1: standing
  };
  void frame();
  double progress(const Glide& g) const;
  // The names' pixel size for a panel text area of `room`.
  int namePixels(const QSize& room, int lanes) const;

  const game::Race* m_race = nullptr;
  QList<Glide> m_glides;
  QElapsedTimer m_wall;
  QTimer m_frame;
  mutable QSize m_nameRoom;
  mutable int m_namePixels = 0;
};

// The podium over the race when it is over: the winner's name in large letters,
// then the first three on their steps (second, first, third from the left), each
// with the time taken.
class PodiumView : public QWidget {
  Q_OBJECT
 public:
  explicit PodiumView(QWidget* parent = nullptr);

  void setPlaces(const QList<game::Race::PodiumPlace>& places);

  QLabel* lblKazanan() const { return m_winner; }
  // Place 1..3: the name and the time on its step.
  QLabel* lblDerece(int place) const { return m_names.value(place - 1); }
  QLabel* lblSure(int place) const { return m_times.value(place - 1); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void applyScale();

  QLabel* m_winner;
  QList<QWidget*> m_columns;  // places 1..3
  QList<QLabel*> m_names;
  QList<QLabel*> m_times;
  QList<QLabel*> m_steps;
};
