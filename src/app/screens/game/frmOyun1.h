#pragma once

#include <QTimer>
#include <QWidget>

#include "Result.h"
#include "game/Race.h"

class PodiumView;
class QLabel;
class QPushButton;
class RaceView;

// The class game, full screen on the board: the race of game::Race, its lanes
// drawn by RaceView, the time since the start, and the podium when it is over.
// The presses go to the race (attached to this window by the opener); the window
// only draws it and offers "Yeniden Başlat" and "Kapat".
class frmOyun1 : public QWidget {
  Q_OBJECT
 public:
  // The podium comes up after the last runner has reached the line.
  static constexpr int kPodiumDelayMs = 900;

  explicit frmOyun1(const receiver::Clock& clock, QWidget* parent = nullptr);

  // The present players and the step interval; "Oyuncu sayısı sıfır" when
  // there is nobody.
  Status Ayarla(const game::Players& players, int stepIntervalMs);
  // The same players again, from the start line.
  void cmdTekrar_Click();

  game::Race& race() { return m_race; }
  RaceView* view() const { return m_view; }
  PodiumView* podium() const { return m_podium; }
  QLabel* lblSure() const { return m_lblSure; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showTime();
  void raceOver();
  void showPodium();
  void applyScale();

  game::Race m_race;
  game::Players m_players;
  int m_interval = game::Race::kStepIntervalMs;
  QLabel* m_lblBaslik = nullptr;
  QLabel* m_lblAciklama = nullptr;
  QLabel* m_lblSure = nullptr;
  RaceView* m_view = nullptr;
  PodiumView* m_podium = nullptr;
  QPushButton* m_cmdTekrar = nullptr;
  QPushButton* m_cmdCikis = nullptr;
  QTimer m_clockTimer;   // the time shown, while the race runs
  QTimer m_podiumTimer;  // one shot after the finish
};
