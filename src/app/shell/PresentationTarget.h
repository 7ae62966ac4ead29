#pragma once

#include <QSet>
#include <QString>

#include "receiver/TileBoard.h"
#include "receiver/TileRules.h"

class QAbstractButton;

namespace shell {

// What the press routing needs from the question presentation (`frmOnizleme`).
// Buttons are handed out as the real buttons: the router clicks one only when it
// is visible and enabled, as a teacher remote may press only what the teacher sees.
class PresentationTarget {
 public:
  static constexpr int kTabQuestion = 2;    // SSTab1 tab showing the question
  static constexpr int kTabRemoteTest = 4;  // SSTab1 tab of the remote test grid

  virtual ~PresentationTarget() = default;

  virtual int currentTab() const = 0;                  // SSTab1
  virtual QSet<QString> teacherRemotes() const = 0;    // the run's teacher remotes
  virtual receiver::TileBoard* remoteTestTiles() = 0;  // "KumandalarTest" tiles
  virtual receiver::TileBoard* remoteTiles() = 0;      // "Kumandalar" tiles; nullptr: no list
  virtual bool remoteFrameVisible() const = 0;         // frameKumandalar
  virtual bool questionRunning() const = 0;            // ImagePlayPause(1) hidden
  virtual bool freeQuestioning() const = 0;            // lblTestNo reads "Serbest"
  virtual bool freeQuestionOpen() const = 0;           // frameZemin(2) is green
  virtual void setCounts(const receiver::TileCounts& counts) = 0;  // the three counter labels
  virtual bool autoAdvance() const = 0;
  virtual void refreshTestGridCounts() = 0;

  // While held, stage one leaves the tiles alone; a press in a display mode other
  // than "normal" releases the hold (after it has been let through unmarked).
  virtual bool tileMarkingHeld() const { return false; }
  virtual QString displayMode() const { return QStringLiteral("normal"); }
  virtual void releaseTileMarking() {}

  virtual QAbstractButton* cmdNav(int index) const = 0;  // 0..5
  virtual QAbstractButton* cmdCikis() const = 0;
  // The exit button's tag: empty, or "Onay" while the exit confirmation is open.
  virtual QString cikisTag() const = 0;
  virtual void setCikisTag(const QString& tag) = 0;
  virtual void showExitConfirmation() = 0;   // opens frmCikisOnay
  virtual void closeExitConfirmation() = 0;  // unloads it
  virtual void endTest() = 0;                // the test is over (exit confirmed)
};

}  // namespace shell
