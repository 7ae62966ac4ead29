#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class frmGenelEkran;
class frmIslem;
class frmSanalKumanda;
class frmTanimlamalar;
namespace shell {
class MainMenuController;
class ReceiverController;
}  // namespace shell

struct MDIForm1Options {
  bool logtut = false;  // the command line was exactly "logtut"
  bool demo = false;    // fill an empty data folder with a demo school
  int simulation = 0;   // >0: start with a simulated receiver of that many remotes
};

// The main window: every screen opens inside it. Loading it runs the whole
// start-up (MDIForm1_Load), closing it the shutdown.
class MDIForm1 : public QMainWindow {
  Q_OBJECT
 public:
  using Options = MDIForm1Options;

  explicit MDIForm1(Options options = {}, QWidget* parent = nullptr);
  ~MDIForm1() override;

  // The process's main window (null before construction and after destruction).
  static MDIForm1* instance();

  // The start-up sequence. False when the program must end (terms refused, the
  // database could not be opened); the reason has been shown to the user.
  bool MDIForm1_Load();

  QMdiArea* mdiArea() const { return m_mdi; }
  frmGenelEkran* homeScreen() const { return m_home; }
  // Closes every screen but the home page; false when one of them stayed open
  // (its unsaved changes were not to be dropped).
  bool closeScreens();
  // Shows a screen inside the main window, maximised.
  QMdiSubWindow* showScreen(QWidget* screen);

  shell::MainMenuController* mainMenu() const { return m_menu; }
  // The receiver, the pending press and its routing to the active screen.
  shell::ReceiverController* receiverController() const { return m_receiver; }
  QString threeButtonSetting() const { return m_threeButton; }
  bool advancedMode() const { return m_advancedMode; }
  bool loggingSwitch() const { return m_options.logtut; }
  bool closing() const { return m_closing; }
  qint64 startUpMilliseconds() const { return m_startUpMs; }

  // A second start asked for the program: the window comes to the front (out of
  // the task bar when minimised).
  void bringToFront();

  // Runs a modal first-run dialog; tests replace it to see which dialogs start-up opens.
  void setModalRunner(std::function<int(QDialog&)> runner) { m_runModal = std::move(runner); }
  // The school-year rollover: offered at start-up (`fromStartUp`) when this school
  // year is not recorded yet, and run from the menu item mnuSinifAtlatma.
  void SinifAtlatmaUygula(bool fromStartUp = false);
  // mnuSanalKumanda: opens the virtual remote, or brings the open one forward.
  void openVirtualRemote();
  frmSanalKumanda* virtualRemote() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  void buildButtonBar();
  void registerScreens();
  void createDemoSchool();
  // Opens the student import; `students` (when open) refills its list after it.
  void openStudentImport(frmTanimlamalar* students);
  void applyInstitutionOptions();
  void refreshHome();
  void createDesktopShortcut();
  void MDIForm1_Unload();

  Options m_options;
  QMdiArea* m_mdi;
  frmGenelEkran* m_home = nullptr;
  frmIslem* m_islem = nullptr;
  shell::MainMenuController* m_menu = nullptr;
  shell::ReceiverController* m_receiver = nullptr;
  QAction* m_raporAnimasyonu = nullptr;
  QPointer<frmSanalKumanda> m_virtualRemote;
  QString m_threeButton = QStringLiteral("0");
  bool m_advancedMode = false;
  bool m_closing = false;
  bool m_unloaded = false;
  qint64 m_startUpMs = 0;
  QElapsedTimer m_startTime;
  std::function<int(QDialog&)> m_runModal;
};
