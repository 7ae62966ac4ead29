#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

#include "framework/ScreenContext.h"
#include "screens/delivery/DeliveryScreens.h"
#include "users/Session.h"

class Messages;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class frmGenelEkran;
class frmIslem;
class frmSanalKumanda;
namespace shell {
class MainMenuController;
}  // namespace shell
namespace framework {
class ReceiverController;
}  // namespace framework
namespace store {
class Store;
}

struct MDIForm1Options {
  bool logtut = false;  // the command line was exactly "logtut"
  bool demo = false;    // fill an empty data folder with a demo school
  int simulation = 0;   // >0: start with a simulated receiver of that many remotes
  // Where messages and questions go; null: frmMesaj windows over the main window.
  Messages* messages = nullptr;
};

// The main window: every screen opens inside it. It draws and wires; the data
// side of the start-up is startup::StartupSequence, each area registers its own
// screens, and screens follow the store's change signals themselves.
class MDIForm1 : public QMainWindow {
  Q_OBJECT
 public:
  using Options = MDIForm1Options;

  explicit MDIForm1(store::Store& store, Options options = {}, QWidget* parent = nullptr);
  ~MDIForm1() override;

  // The process's main window (null before construction and after destruction).
  static MDIForm1* instance();
  // The window's caption: the school's name (or the data folder while it has
  // none), the program and its version.
  static QString titleFor(const QString& schoolName, const QString& dataFolder);

  // The start-up. False when the program must end (terms refused, the database
  // could not be opened); the reason has been shown to the user.
  bool MDIForm1_Load();

  const ScreenContext& context() const { return m_context; }
  QMdiArea* mdiArea() const { return m_mdi; }
  frmGenelEkran* homeScreen() const { return m_home; }
  // Closes every screen but the home page; false when one of them stayed open
  // (its unsaved changes were not to be dropped).
  bool closeScreens();
  // Shows a screen inside the main window, maximised.
  QMdiSubWindow* showScreen(QWidget* screen);

  shell::MainMenuController* mainMenu() const { return m_menu; }
  // The receiver and the routing of its presses to the active activity.
  framework::ReceiverController* receiverController() const { return m_receiver; }
  QString threeButtonSetting() const;
  bool advancedMode() const;
  bool loggingSwitch() const { return m_options.logtut; }
  bool closing() const { return m_closing; }
  qint64 startUpMilliseconds() const { return m_startUpMs; }

  // A second start asked for the program: the window comes to the front (out of
  // the task bar when minimised).
  void bringToFront();

  // Runs a modal first-run dialog; tests replace it to see which dialogs start-up opens.
  void setModalRunner(std::function<int(QDialog&)> runner) { m_runModal = std::move(runner); }
  // The school-year rollover of the menu item mnuSinifAtlatma.
  void SinifAtlatmaUygula();
  // mnuSanalKumanda: opens the virtual remote, or brings the open one forward.
  void openVirtualRemote();
  frmSanalKumanda* virtualRemote() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  void buildButtonBar();
  // What the run screens need of the main window, and the run screen's rights
  // check (asked by every other way into a run).
  deliveryui::DeliveryHooks runHooks();
  bool mayRunTests();
  void applyInstitutionOptions();
  void refreshTitle();
  // The rollover's first question, with "Soru bankası ve testler bu tahtada kalsın".
  bool askRolloverStart(const QString& question, bool& keepBank);
  void refreshHome();
  void createDesktopShortcut();
  void MDIForm1_Unload();

  store::Store& m_store;
  Options m_options;
  std::unique_ptr<Messages> m_ownMessages;
  // The rights of the program and its logged-in user, lent to every screen.
  users::Session m_session;
  ScreenContext m_context;
  QMdiArea* m_mdi;
  frmGenelEkran* m_home = nullptr;
  frmIslem* m_islem = nullptr;
  shell::MainMenuController* m_menu = nullptr;
  framework::ReceiverController* m_receiver = nullptr;
  QAction* m_raporAnimasyonu = nullptr;
  QPointer<frmSanalKumanda> m_virtualRemote;
  bool m_closing = false;
  bool m_loaded = false;  // the data is open and the caption names its school
  bool m_unloaded = false;
  qint64 m_startUpMs = 0;
  QElapsedTimer m_startTime;
  std::function<int(QDialog&)> m_runModal;
};
