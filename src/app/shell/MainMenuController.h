#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>

#include "framework/ScreenContext.h"
#include "framework/ScreenRegistry.h"
#include "shell/ButtonBar.h"
#include "store/Institution.h"
#include "users/RightFlags.h"

class QAction;
class QMainWindow;
class QMdiArea;
class QMenu;
class QMenuBar;
class QMdiSubWindow;

namespace users {
class Session;
}

namespace shell {

// The main menu and the button bar of the main window: opens one main screen at
// a time (the home page stays), tests the user's right first, keeps the bar's
// shown buttons and the simplified/full sets, and logs users in and out.
//
// Wiring in the main window:
//   m_menu = new shell::MainMenuController(this, mdiArea(), menuBar(), context);
//   dock m_menu->buttonBar() at the left;
//   each area registers its screens: registerSchoolScreens(m_menu->registry(), ...);
//   m_menu->applyStartupRights(startup.rights(), advancedMode);   // once the data is open
//   m_menu->DugmeleriDuzenle();            // after the home page is shown
//   connect userChanged (caption) and institutionOptionChanged (desktop shortcut).
class MainMenuController : public QObject {
  Q_OBJECT
 public:
  MainMenuController(QMainWindow* window, QMdiArea* mdi, QMenuBar* menuBar,
                     const ScreenContext& context);
  ~MainMenuController() override;

  ButtonBar* buttonBar() const { return m_bar; }
  framework::ScreenRegistry& registry() { return m_registry; }
  users::Session* session() const { return m_session; }
  const users::RightFlags& rights() const;
  void setRights(const users::RightFlags& flags);

  // The right flags of the start-up (startup::StartupSequence::rights()); shows
  // OturumAc only in the advanced mode.
  void applyStartupRights(const users::RightFlags& flags, bool advancedMode);
  // The same from the advanced mode and the number of users.
  void applyStartupRights(bool advancedMode, int userCount);

  // Shows or hides the bar's buttons from the parameters "Dugme0".."Dugme6" and
  // from which screens exist, and closes up the shown ones.
  void DugmeleriDuzenle();

  // The one rights check of every way into a screen or an action (bar button,
  // menu item, shortcut, home tile). True when the user may go on; otherwise the
  // user is told "Bu bölümü kullanma yetkiniz yok" and, while nobody is logged
  // in, the log-in screen opens.
  bool requireRight(const QString& key);
  // The key a menu action is checked with: its "rightKey" property, else its
  // objectName.
  static QString rightKeyOf(const QAction* action);
  // Whether a refused key stays refused until somebody else logs in (the user
  // is logged in, or there is no log-in at all): then its buttons, tiles and
  // items are disabled instead of answering each click.
  bool mayNeverUse(const QString& key) const;
  // Connects an action of the main window's menus so that it runs `handler`
  // only after requireRight(rightKeyOf(action)).
  void connectGuarded(QAction* action, std::function<void()> handler);

  // Opens the screen of a bar button: every other window except the home page
  // closes first. Without the right nothing closes (see requireRight). Returns
  // the screen that opened (the log-in screen when it opened instead), or null.
  QWidget* cmdMenu_Click(int index);
  QWidget* openScreen(int index) { return cmdMenu_Click(index); }
  QWidget* currentScreen() const { return m_current; }
  // Shows a screen maximised in the area, deleted when closed. The main window's
  // caption stays as it is (no " - [title]" of the screen).
  static QMdiSubWindow* showInArea(QMdiArea* mdi, QWidget* screen);

  void mnuDugme_Click(int index);
  // The simplified set hides the first three buttons; the full set shows all
  // seven. Either is a choice of one: at most one of the two items is ticked.
  void KolayMenuYaz();
  void TamMenuYaz();
  // Logs out while a user is logged in; otherwise opens the log-in screen.
  void OturumAc_Click();

  QAction* mnuDugme(int index) const;
  QAction* kolayMenuAction() const { return m_kolayMenu; }
  QAction* tamMenuAction() const { return m_tamMenu; }
  QAction* oturumAcAction() const { return m_oturumAc; }
  QAction* gelismisModAction() const { return m_gelismisMod; }
  QMenu* mainMenu() const { return m_menu; }

  // The window caption with the user part " - Kullanıcı:[name]" replaced (removed
  // for an empty name).
  static QString captionWithUser(const QString& caption, const QString& userName);

  // Window names that a button press never closes.
  static bool keptOpen(const QString& windowName);

 protected:
  // Every click and key on a screen of the area asks for the screen's right of
  // whoever is logged in at that moment: a screen opened by somebody who has
  // logged out since (or whose right was taken away) no longer works.
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // After log-in (the stored name) and log-out (empty).
  void userChanged(const QString& userName);
  // An institution option changed (frmGelismisMod writes them through the store).
  void institutionOptionChanged(store::Institution::Option option, bool on);
  void screenOpened(int index, QWidget* screen);

 private:
  void buildMenu();
  void rebuildScreenActions();
  void refreshRightsUi();
  QWidget* openLogIn();
  // Closes the other screens and shows the button's screen maximised.
  QWidget* openEntry(int index);
  void closeOtherScreens();
  void institutionChanged();
  // In the advanced mode with users, nobody logged in may do nothing: after the
  // mode was turned on, or the first user was stored.
  void followAdvancedMode();
  // The screen of the area that `object` belongs to, or null.
  QWidget* screenOf(QObject* object) const;
  void refuseScreen(QWidget* screen);
  bool buttonParameterShown(int index) const;

  QMainWindow* m_window;
  QMdiArea* m_mdi;
  ScreenContext m_context;
  store::Institution m_institution;  // as last seen, to tell which option changed
  QMenuBar* m_menuBar;
  framework::ScreenRegistry m_registry;
  users::Session* m_session;
  ButtonBar* m_bar;
  QPointer<QWidget> m_current;
  bool m_advancedMode = false;
  bool m_refusing = false;  // a refusal is being told: further events wait for it
  // "Dugme0".."Dugme6" as last read; every button shown until then.
  std::array<bool, 7> m_parameterShown{true, true, true, true, true, true, true};

  QMenu* m_menu = nullptr;
  QMenu* m_buttonsMenu = nullptr;
  QList<QAction*> m_screenActions;
  QAction* m_screensEnd = nullptr;
  std::array<QAction*, 7> m_mnuDugme{};
  QAction* m_kolayMenu = nullptr;
  QAction* m_tamMenu = nullptr;
  QAction* m_oturumAc = nullptr;
  QAction* m_gelismisMod = nullptr;
};

}  // namespace shell
