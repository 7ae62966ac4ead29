#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

#include "Result.h"
#include "users/RightFlags.h"

class Messages;

namespace store {
class Store;
}

namespace startup {

// Everything the program does with its data before the first screen is usable
// (the data half of MDIForm1_Load): opening and upgrading the database, the
// first-run screens, the school-year rollover, built-in files, the right flags
// and the start-up corrections. It opens no window itself: the dialogs are asked
// for through the hooks (the main window runs them through its modal runner;
// tests answer them), and the main window does the drawing half.
//
//   startup::StartupSequence start(store, hooks);
//   if (!start.run()) return false;          // the reason was shown through hooks.messages
//   menu->setRights(start.rights());
class StartupSequence {
 public:
  struct Hooks {
    Messages* messages = nullptr;                  // notes of the data check, failures, questions
    std::function<bool()> showAgreement;           // frmSozlesme; true when accepted
    std::function<void()> showInstitution;         // frmKurumBilgileri
    std::function<void(const QString&)> progress;  // the wait window's line; empty hides it
    std::function<void()> closeScreens;            // before the rollover replaces the files
    std::function<QDateTime()> now;                // the rollover's date; the clock when empty
    // The rollover's first question with its choice of keeping the bank
    // (school::Rollover::Hooks::askStart).
    std::function<bool(const QString&, bool&)> askRolloverStart;
    bool demo = false;  // an empty school gets the demo school
  };

  StartupSequence(store::Store& store, Hooks hooks);

  // False when the program must end (the database could not be opened, the terms
  // were refused); the reason has been shown.
  bool run();

  // The right flags to start with: nothing until a log-in with the advanced mode
  // and users, everything but the online lesson otherwise.
  users::RightFlags rights() const { return m_rights; }

 private:
  void say(const QString& text) const;
  void offerRollover();

  store::Store& m_store;
  Hooks m_hooks;
  users::RightFlags m_rights;
};

}  // namespace startup
