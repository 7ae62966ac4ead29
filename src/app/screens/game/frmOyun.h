#pragma once

#include <QWidget>

#include <functional>

#include "framework/ScreenContext.h"
#include "game/GamePlayers.h"
#include "web/Roster.h"

class QComboBox;
class QLabel;
class Sliste;

// The game set-up ("Sınıf Oyunu"): the student remotes with their paired
// students, filtered by class, and the choice of players. "Yoklama Al" hands the
// chosen players to the roll call. Every rule is game::GamePlayers'.
class frmOyun : public QWidget {
  Q_OBJECT
 public:
  explicit frmOyun(const ScreenContext& context, QWidget* parent = nullptr);

  // What "Yoklama Al" does with the chosen players (opens the roll call).
  void setStartAttendance(std::function<void(const game::Players&)> start) {
    m_startAttendance = std::move(start);
  }

  void cmdYoklama_Click();
  void selectClass(const QString& className);

  QComboBox* cmbSinifi() const { return m_cmbSinifi; }
  Sliste* SlisteKumandalar() const { return m_remotes; }
  QLabel* lblOyuncuSayisi() const { return m_lblOyuncuSayisi; }
  // The students who may join the last game handed over from a browser (empty
  // when "Tarayıcıdan cevaplansın" is off).
  const QList<web::RosterEntry>& browserRoster() const { return m_browserRoster; }

 private:
  void fillClasses();
  void fillRemotes();
  void showChosenCount();

  ScreenContext m_context;
  game::GamePlayers m_setup;
  std::function<void(const game::Players&)> m_startAttendance;
  QComboBox* m_cmbSinifi = nullptr;
  Sliste* m_remotes = nullptr;
  QLabel* m_lblOyuncuSayisi = nullptr;
  QList<web::RosterEntry> m_browserRoster;
};
