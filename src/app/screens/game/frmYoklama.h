#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

#include "framework/SanalKumandaHost.h"
#include "game/Attendance.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class RunTilesView;

namespace framework {
class ReceiverController;
}

// The roll call before the game, full screen on the board: a tile per player
// (name and remote address) filling the frame; a student's press turns the tile
// "present", the blank key takes it back; the count of present players in
// parentheses. "Oyunu Başlat" hands the present players to the game, "Kapat"
// starts nothing. The presses go to game::Attendance (attached to this window by
// the opener); the window only draws it.
class frmYoklama : public QWidget, public SanalKumandaHost {
  Q_OBJECT
 public:
  // `receiver` opens the virtual remote ("Sanal Kumanda"); null hides the button.
  frmYoklama(const game::Players& players, const receiver::Clock& clock,
             framework::ReceiverController* receiver = nullptr, QWidget* parent = nullptr);

  // What "Oyunu Başlat" does with the present players (opens the game; an empty
  // list is refused there).
  void setStartGame(std::function<void(const game::Players&)> start) {
    m_startGame = std::move(start);
  }

  game::Attendance& attendance() { return m_roll; }
  // Puts `widget` on the button row, after the virtual remote's button.
  void addToButtons(QWidget* widget);

  void cmdBasla_Click();
  void cmdSanalKumanda_Click();

  QLabel* lblKumandaSayisi() const { return m_lblKumandaSayisi; }
  RunTilesView* frameKumandalarTest() const { return m_tiles; }
  QPushButton* cmdBasla() const { return m_cmdBasla; }
  QPushButton* cmdCikis() const { return m_cmdCikis; }

  // SanalKumandaHost
  QStringList remoteAddresses() const override { return m_roll.players().addresses; }

 signals:
  // "Kapat" or Esc: nothing starts.
  void closedWithoutGame();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showCount();
  QHBoxLayout* m_buttons = nullptr;
  void applyScale();

  game::Attendance m_roll;
  QStringList m_captions;  // name and address of each tile
  framework::ReceiverController* m_receiver;
  std::function<void(const game::Players&)> m_startGame;
  bool m_started = false;
  QLabel* m_lblBaslik = nullptr;
  QLabel* m_lblAciklama = nullptr;
  QLabel* m_lblBuradaOlan = nullptr;
  QLabel* m_lblKumandaSayisi = nullptr;
  RunTilesView* m_tiles = nullptr;
  QPushButton* m_cmdBasla = nullptr;
  QPushButton* m_cmdCikis = nullptr;
  QPushButton* m_cmdSanalKumanda = nullptr;
};
