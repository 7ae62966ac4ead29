#include "shell/MainMenuController.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include "Messages.h"
#include "shell/ButtonBar.h"
#include "store/Parameters.h"
#include "store/Store.h"
#include "users/Session.h"
#include "users/UserList.h"

namespace shell {

namespace {

constexpr int kAdvancedScreen = 8;
constexpr int kLoginScreen = 9;
constexpr int kFirstMenuButton = 2;
constexpr int kLastParameterButton = 6;

QString buttonParameter(int index) { return QStringLiteral("Dugme%1").arg(index); }

const QString kUserPart = QStringLiteral(" - Kullanıcı:[");

// A screen opened over another (a report over the report selection) gives its
// place back when it closes: the teacher returns to where they came from, not to an
// empty grey page. On the frame's hiding after it was asked to close, not on its
// deletion: screens closed to make room for a new one give back before the new
// one shows, never over it. A frame also hides for a moment while the area changes
// its state (restoring the frame under a newly opened one): giving the place back
// then left the new screen hidden inside its shown frame, which kept its first
// picture and never showed a change again.
class GiveBackOnClose : public QObject {
 public:
  GiveBackOnClose(QMdiArea* mdi, QMdiSubWindow* under, QObject* parent)
      : QObject(parent), m_mdi(mdi), m_under(under) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Close:
        // An accepted close hides the frame before it returns; a refused one
        // leaves it shown, and the mark goes with the turn of the event loop.
        m_closing = true;
        QTimer::singleShot(0, this, [this] { m_closing = false; });
        break;
      case QEvent::Hide:
        if (m_closing && m_under && !m_under->isHidden()) {
          m_under->showMaximized();
          m_mdi->setActiveSubWindow(m_under);
        }
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QMdiArea* m_mdi;
  QPointer<QMdiSubWindow> m_under;
  bool m_closing = false;
};

}  // namespace

MainMenuController::MainMenuController(QMainWindow* window, QMdiArea* mdi, QMenuBar* menuBar,
                                       const ScreenContext& context)
    : QObject(window),
      m_window(window),
      m_mdi(mdi),
      m_context(context),
      m_institution(context.store.institution()),
      m_menuBar(menuBar),
      m_session(&context.session),
      m_bar(new ButtonBar(window)) {
  connect(m_bar, &ButtonBar::cmdMenuClicked, this, &MainMenuController::cmdMenu_Click);
  connect(m_session, &users::Session::rightsChanged, this, &MainMenuController::refreshRightsUi);
  connect(m_session, &users::Session::userChanged, this, [this](const QString& name) {
    m_oturumAc->setText(name.isEmpty() ? QStringLiteral("Oturum Aç")
                                       : QStringLiteral("Oturumu Kapat"));
    refreshRightsUi();
    emit userChanged(name);
  });
  buildMenu();
  connect(&context.store, &store::Store::institutionChanged, this,
          &MainMenuController::institutionChanged);
  connect(&context.store, &store::Store::usersChanged, this,
          &MainMenuController::followAdvancedMode);
  qApp->installEventFilter(this);
  connect(&m_registry, &framework::ScreenRegistry::changed, this, [this] {
    rebuildScreenActions();
    refreshRightsUi();
  });
  rebuildScreenActions();
  refreshRightsUi();
}

MainMenuController::~MainMenuController() = default;

const users::RightFlags& MainMenuController::rights() const { return m_session->flags(); }

void MainMenuController::setRights(const users::RightFlags& flags) {
  m_session->setFlags(flags);
  refreshRightsUi();
}

void MainMenuController::buildMenu() {
  m_menu = m_menuBar->addMenu(QStringLiteral("&Ana Menü"));
  m_menu->setObjectName(QStringLiteral("mnuAnaMenu"));
  m_screensEnd = m_menu->addSeparator();

  m_buttonsMenu = m_menu->addMenu(QStringLiteral("Düğmeler"));
  for (int i = kFirstMenuButton; i <= kLastParameterButton; ++i) {
    QAction* a = m_buttonsMenu->addAction(m_registry.entry(i).caption);
    a->setObjectName(QStringLiteral("mnuDugme_%1").arg(i));
    a->setCheckable(true);
    a->setChecked(true);
    connect(a, &QAction::triggered, this, [this, i](bool checked) {
      store::UserSettings::setBool(QStringLiteral("Anamenu"), QStringLiteral("Dugmeler%1").arg(i),
                                   checked);
      if (Status s = store::ParametreKaydet(m_context.store, buttonParameter(i),
                                            checked ? QStringLiteral("1") : QStringLiteral("0"));
          !s)
        m_context.messages.error(s.error());
      DugmeleriDuzenle();
    });
    m_mnuDugme[static_cast<size_t>(i)] = a;
  }
  // A choice of one, shown as such; neither is ticked after the buttons were
  // picked one by one.
  auto* sets = new QActionGroup(this);
  sets->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  m_kolayMenu = sets->addAction(QStringLiteral("Sade Menü"));
  m_kolayMenu->setObjectName(QStringLiteral("KolayMenu"));
  m_kolayMenu->setCheckable(true);
  connect(m_kolayMenu, &QAction::triggered, this, &MainMenuController::KolayMenuYaz);
  m_tamMenu = sets->addAction(QStringLiteral("Tam Menü"));
  m_tamMenu->setObjectName(QStringLiteral("TamMenu"));
  m_tamMenu->setCheckable(true);
  connect(m_tamMenu, &QAction::triggered, this, &MainMenuController::TamMenuYaz);
  m_menu->addActions(sets->actions());
  m_menu->addSeparator();

  const framework::ScreenEntry& advanced = m_registry.entry(kAdvancedScreen);
  m_gelismisMod = m_menu->addAction(QStringLiteral("Gelişmiş Mod Ayarları"));
  m_gelismisMod->setObjectName(QStringLiteral("GelismisModAyarlari"));
  m_gelismisMod->setShortcut(advanced.shortcut);
  m_gelismisMod->setProperty("rightKey", advanced.rightKey);
  connect(m_gelismisMod, &QAction::triggered, this, [this] { cmdMenu_Click(kAdvancedScreen); });

  m_oturumAc = m_menuBar->addAction(QStringLiteral("Oturum Aç"));
  m_oturumAc->setObjectName(QStringLiteral("OturumAc"));
  m_oturumAc->setShortcut(m_registry.entry(kLoginScreen).shortcut);
  m_oturumAc->setVisible(false);
  connect(m_oturumAc, &QAction::triggered, this, &MainMenuController::OturumAc_Click);
}

void MainMenuController::rebuildScreenActions() {
  qDeleteAll(m_screenActions);
  m_screenActions.clear();
  for (int i = 0; i < framework::ScreenRegistry::kButtonCount; ++i) {
    if (i == kAdvancedScreen || i == kLoginScreen || !m_registry.has(i)) continue;
    const framework::ScreenEntry& e = m_registry.entry(i);
    auto* a = new QAction(e.caption, m_menu);
    a->setObjectName(QStringLiteral("mnuEkran_%1").arg(i));
    a->setProperty("rightKey", e.rightKey);
    a->setShortcut(e.shortcut);
    connect(a, &QAction::triggered, this, [this, i] { cmdMenu_Click(i); });
    m_menu->insertAction(m_screensEnd, a);
    m_screenActions << a;
  }
}

bool MainMenuController::buttonParameterShown(int index) const {
  if (index > kLastParameterButton) return true;
  if (m_parameterShown[static_cast<size_t>(index)]) return true;
  // Hidden buttons must leave at least one screen of the first seven on the bar:
  // a simplified set whose screens are not built yet would leave the teacher
  // without any way to the screens that are.
  for (int i = 0; i <= kLastParameterButton; ++i)
    if (m_registry.has(i) && m_parameterShown[static_cast<size_t>(i)]) return false;
  return true;
}

void MainMenuController::DugmeleriDuzenle() {
  bool allShown = true;
  bool simplified = true;
  for (int i = 0; i <= kLastParameterButton; ++i) {
    const bool shown = store::ParametreAl(m_context.store, buttonParameter(i), QStringLiteral("1"))
                           .valueOr(QStringLiteral("1"))
                           .trimmed() != QLatin1String("0");
    allShown = allShown && shown;
    simplified = simplified && shown == (i > 2);
    m_parameterShown[static_cast<size_t>(i)] = shown;
    if (QAction* a = mnuDugme(i)) {
      a->setText(m_registry.entry(i).caption);
      a->setChecked(shown);
    }
  }
  m_kolayMenu->setChecked(simplified);
  m_tamMenu->setChecked(allShown);
  refreshRightsUi();
}

bool MainMenuController::mayNeverUse(const QString& key) const {
  return !key.isEmpty() && !m_session->allows(key) && (!m_advancedMode || m_session->loggedIn());
}

void MainMenuController::refreshRightsUi() {
  const users::RightFlags& flags = m_session->flags();
  const bool advancedPage = flags.flag(users::kFlagAdvancedSettings);
  m_gelismisMod->setVisible(advancedPage);
  m_oturumAc->setVisible(m_advancedMode);
  for (int i = 0; i < framework::ScreenRegistry::kButtonCount; ++i) {
    const framework::ScreenEntry& e = m_registry.entry(i);
    m_bar->setEntry(e);
    if (i == kLoginScreen && m_session->loggedIn())
      m_bar->button(i)->setText(QStringLiteral("Oturumu Kapat"));
    bool shown = m_registry.has(i);
    if (i <= kLastParameterButton) shown = shown && buttonParameterShown(i);
    if (i == kAdvancedScreen) shown = shown && advancedPage;
    if (i == kLoginScreen) shown = shown && m_advancedMode;
    m_bar->setButtonShown(i, shown);
    const bool refused = mayNeverUse(e.rightKey);
    m_bar->button(i)->setEnabled(!refused);
    if (refused) m_bar->button(i)->setToolTip(users::kDeniedMessage);
    if (QAction* a = mnuDugme(i)) a->setVisible(m_registry.has(i));
  }
  // Every guarded item of the window's menus, the main window's own included.
  for (QAction* a : m_window->findChildren<QAction*>()) {
    const QString key = rightKeyOf(a);
    if (!key.isEmpty() && users::requiredFlag(key) > 0) a->setEnabled(!mayNeverUse(key));
  }
  bool anyMenuButton = false;
  bool anySimplified = false;
  for (int i = kFirstMenuButton; i <= kLastParameterButton; ++i) {
    anyMenuButton = anyMenuButton || m_registry.has(i);
    anySimplified = anySimplified || (i > 2 && m_registry.has(i));
  }
  m_buttonsMenu->menuAction()->setVisible(anyMenuButton);
  m_kolayMenu->setEnabled(anySimplified);
  m_kolayMenu->setToolTip(anySimplified ? QString()
                                        : QStringLiteral("Sade menünün ekranları henüz yok"));
  m_bar->layoutButtons();
  m_bar->updateGeometry();
}

void MainMenuController::applyStartupRights(const users::RightFlags& flags, bool advancedMode) {
  m_advancedMode = advancedMode;
  m_session->setFlags(flags);
  refreshRightsUi();
}

void MainMenuController::applyStartupRights(bool advancedMode, int userCount) {
  applyStartupRights(users::initialRights(advancedMode, userCount), advancedMode);
}

bool MainMenuController::keptOpen(const QString& windowName) {
  return windowName == QLatin1String("frmGenelEkran") || windowName == QLatin1String("frmInet");
}

void MainMenuController::closeOtherScreens() {
  const QList<QMdiSubWindow*> windows = m_mdi->subWindowList();
  for (QMdiSubWindow* sub : windows) {
    const QString name = sub->widget() ? sub->widget()->objectName() : sub->objectName();
    if (!keptOpen(name)) sub->close();
  }
}

QString MainMenuController::rightKeyOf(const QAction* action) {
  const QVariant key = action->property("rightKey");
  return key.isValid() ? key.toString() : action->objectName();
}

bool MainMenuController::requireRight(const QString& key) {
  if (key.isEmpty() || m_session->allows(key)) return true;
  m_context.messages.warning(users::kDeniedMessage);
  if (m_advancedMode && !m_session->loggedIn()) openLogIn();
  return false;
}

void MainMenuController::connectGuarded(QAction* action, std::function<void()> handler) {
  connect(action, &QAction::triggered, this, [this, action, handler = std::move(handler)] {
    if (requireRight(rightKeyOf(action))) handler();
  });
}

QMdiSubWindow* MainMenuController::showInArea(QMdiArea* mdi, QWidget* screen) {
  QMdiSubWindow* sub = mdi->addSubWindow(screen);
  sub->installEventFilter(new GiveBackOnClose(mdi, mdi->currentSubWindow(), sub));
  // A screen that closes itself ("Çıkış") takes its frame along. Queued: when the
  // frame goes first, it takes the screen with it and the call goes with the frame.
  screen->setAttribute(Qt::WA_DeleteOnClose);
  connect(screen, &QObject::destroyed, sub, &QWidget::close, Qt::QueuedConnection);
  sub->setObjectName(screen->objectName() + QStringLiteral("_pencere"));
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // A maximised sub-window with a title writes " - [title]" into the main window's
  // caption and puts back its own copy when it closes, which would drop the
  // " - Kullanıcı:[name]" part set meanwhile. The bar's pressed button already
  // names the open screen.
  sub->setWindowTitle(QString());
  connect(sub, &QWidget::windowTitleChanged, sub, [sub](const QString& title) {
    if (!title.isEmpty()) sub->setWindowTitle(QString());
  });
  sub->showMaximized();
  mdi->setActiveSubWindow(sub);
  return sub;
}

QWidget* MainMenuController::openLogIn() { return openEntry(kLoginScreen); }

QWidget* MainMenuController::cmdMenu_Click(int index) {
  if (!m_registry.has(index)) return nullptr;
  if (!requireRight(m_registry.entry(index).rightKey)) {
    // The log-in screen may have opened in its place.
    const bool login =
        m_current && m_current->objectName() == m_registry.entry(kLoginScreen).windowName;
    return login ? m_current.data() : nullptr;
  }
  return openEntry(index);
}

QWidget* MainMenuController::openEntry(int index) {
  const framework::ScreenEntry& target = m_registry.entry(index);
  if (!target.factory) return nullptr;
  closeOtherScreens();
  QWidget* screen = target.factory(nullptr);
  if (screen->objectName().isEmpty()) screen->setObjectName(target.windowName);
  if (screen->windowTitle().isEmpty()) screen->setWindowTitle(target.caption);
  screen->setAttribute(Qt::WA_DeleteOnClose);
  showInArea(m_mdi, screen);
  screen->setFocus();
  m_current = screen;
  m_bar->setPressed(index);
  // A screen that closes itself (the log-in after a log-in) leaves no pressed button.
  connect(screen, &QObject::destroyed, m_bar, [this, index](QObject* gone) {
    const bool wasCurrent = !m_current || m_current.data() == gone;
    if (wasCurrent && m_bar->pressed() == index) m_bar->setPressed(-1);
  });
  emit screenOpened(index, screen);
  return screen;
}

QAction* MainMenuController::mnuDugme(int index) const {
  if (index < kFirstMenuButton || index > kLastParameterButton) return nullptr;
  return m_mnuDugme[static_cast<size_t>(index)];
}

void MainMenuController::mnuDugme_Click(int index) {
  if (QAction* a = mnuDugme(index)) a->trigger();
}

namespace {
// Shows or hides the buttons 0..6 in one transaction.
Status writeButtons(store::Store& store, int lastHidden) {
  store::Transaction tx(store);
  for (int i = 0; i <= kLastParameterButton; ++i)
    if (Status s = store::ParametreKaydet(
            store, buttonParameter(i), i <= lastHidden ? QStringLiteral("0") : QStringLiteral("1"));
        !s)
      return s;
  return tx.commit();
}
}  // namespace

void MainMenuController::KolayMenuYaz() {
  if (Status s = writeButtons(m_context.store, 2); !s) m_context.messages.error(s.error());
  DugmeleriDuzenle();
}

void MainMenuController::TamMenuYaz() {
  if (Status s = writeButtons(m_context.store, -1); !s) m_context.messages.error(s.error());
  DugmeleriDuzenle();
}

void MainMenuController::OturumAc_Click() {
  if (!m_session->loggedIn()) {
    cmdMenu_Click(kLoginScreen);
    return;
  }
  m_session->logOut();
  m_context.messages.info(QStringLiteral("Oturumunuz Kapatılmıştır"));
}

void MainMenuController::institutionChanged() {
  using Option = store::Institution::Option;
  const store::Institution now = m_context.store.institution();
  const store::Institution before = std::exchange(m_institution, now);
  for (Option option :
       {Option::AdvancedMode, Option::Kindergarten, Option::ThreeButton, Option::DesktopShortcut}) {
    if (before.option(option) == now.option(option)) continue;
    const bool on = now.option(option);
    if (option == Option::AdvancedMode) {
      m_advancedMode = on;
      if (!on) {
        // Without the advanced mode nobody is logged in and everything is allowed.
        if (m_session->loggedIn()) m_session->logOut();
        m_session->setFlags(users::initialRights(false, 0));
      }
      refreshRightsUi();
      if (on) followAdvancedMode();
    }
    emit institutionOptionChanged(option, on);
  }
}

void MainMenuController::followAdvancedMode() {
  if (!m_advancedMode || m_session->loggedIn()) return;
  const int users = users::userCount(m_context.store).valueOr(0);
  const users::RightFlags flags = users::initialRights(true, users);
  if (flags == m_session->flags()) return;
  m_session->setFlags(flags);
  refreshRightsUi();
  if (users == 0) return;
  m_context.messages.info(
      QStringLiteral("Gelişmiş mod açık: devam etmek için kullanıcı adınızla oturum açınız."));
  openLogIn();
}

QWidget* MainMenuController::screenOf(QObject* object) const {
  // A shortcut or an action belongs to the widget it was made for.
  while (object && !object->isWidgetType()) object = object->parent();
  auto* widget = static_cast<QWidget*>(object);
  if (!widget) return nullptr;
  for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
    QWidget* screen = sub->widget();
    if (screen && (screen == widget || screen->isAncestorOf(widget))) return screen;
  }
  return nullptr;
}

bool MainMenuController::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Shortcut:
      break;
    default:
      return false;
  }
  QWidget* screen = screenOf(watched);
  if (!screen || m_session->allows(screen->objectName())) return false;
  if (!m_refusing) {
    // Told once the event is over: the screen may close meanwhile.
    m_refusing = true;
    QMetaObject::invokeMethod(
        this, [this, screen = QPointer<QWidget>(screen)] { refuseScreen(screen); },
        Qt::QueuedConnection);
  }
  return true;
}

void MainMenuController::refuseScreen(QWidget* screen) {
  const QString key = screen ? screen->objectName() : QString();
  // Nobody logged in: the log-in opens in the screen's place.
  if (!requireRight(key) && screen && m_session->loggedIn())
    if (auto* sub = qobject_cast<QMdiSubWindow*>(screen->parentWidget())) sub->close();
  m_refusing = false;
}

QString MainMenuController::captionWithUser(const QString& caption, const QString& userName) {
  QString out = caption;
  const qsizetype at = out.indexOf(kUserPart);
  if (at >= 0) out.truncate(at);
  if (!userName.isEmpty()) out += kUserPart + userName + QLatin1Char(']');
  return out;
}

}  // namespace shell
