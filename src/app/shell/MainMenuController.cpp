#include "shell/MainMenuController.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "Messages.h"
#include "shell/ButtonBar.h"
#include "store/Parameters.h"
#include "store/Store.h"
#include "users/Session.h"

namespace shell {

namespace {

constexpr int kAdvancedScreen = 8;
constexpr int kLoginScreen = 9;
constexpr int kFirstMenuButton = 2;
constexpr int kLastParameterButton = 6;

QString buttonParameter(int index) { return QStringLiteral("Dugme%1").arg(index); }

const QString kUserPart = QStringLiteral(" - Kullanıcı:[");

}  // namespace

MainMenuController::MainMenuController(QMainWindow* window, QMdiArea* mdi, QMenuBar* menuBar,
                                       const ScreenContext& context)
    : QObject(window),
      m_window(window),
      m_mdi(mdi),
      m_context(context),
      m_institution(context.store.institution()),
      m_menuBar(menuBar),
      m_session(new users::Session(this)),
      m_bar(new ButtonBar(window)) {
  m_session->makeCurrent();
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
  connect(&m_registry, &ScreenRegistry::changed, this, [this] {
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
  m_kolayMenu = m_menu->addAction(QStringLiteral("Sade Menü"));
  m_kolayMenu->setObjectName(QStringLiteral("KolayMenu"));
  m_kolayMenu->setCheckable(true);
  connect(m_kolayMenu, &QAction::triggered, this, &MainMenuController::KolayMenuYaz);
  m_tamMenu = m_menu->addAction(QStringLiteral("Tam Menü"));
  m_tamMenu->setObjectName(QStringLiteral("TamMenu"));
  m_tamMenu->setCheckable(true);
  connect(m_tamMenu, &QAction::triggered, this, &MainMenuController::TamMenuYaz);
  m_menu->addSeparator();

  const ScreenEntry& advanced = m_registry.entry(kAdvancedScreen);
  m_gelismisMod = m_menu->addAction(QStringLiteral("Gelişmiş Mod Ayarları"));
  m_gelismisMod->setObjectName(QStringLiteral("GelismisModAyarlari"));
  m_gelismisMod->setShortcut(advanced.shortcut);
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
  for (int i = 0; i < ScreenRegistry::kButtonCount; ++i) {
    if (i == kAdvancedScreen || i == kLoginScreen || !m_registry.has(i)) continue;
    const ScreenEntry& e = m_registry.entry(i);
    auto* a = new QAction(e.caption, m_menu);
    a->setObjectName(QStringLiteral("mnuEkran_%1").arg(i));
    a->setShortcut(e.shortcut);
    connect(a, &QAction::triggered, this, [this, i] { cmdMenu_Click(i); });
    m_menu->insertAction(m_screensEnd, a);
    m_screenActions << a;
  }
}

bool MainMenuController::buttonParameterShown(int index) const {
  return index > kLastParameterButton || m_parameterShown[static_cast<size_t>(index)];
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

void MainMenuController::refreshRightsUi() {
  const users::RightFlags& flags = m_session->flags();
  const bool advancedPage = flags.flag(users::kFlagAdvancedSettings);
  m_gelismisMod->setVisible(advancedPage);
  m_oturumAc->setVisible(m_advancedMode);
  for (int i = 0; i < ScreenRegistry::kButtonCount; ++i) {
    const ScreenEntry& e = m_registry.entry(i);
    m_bar->setEntry(e);
    if (i == kLoginScreen && m_session->loggedIn())
      m_bar->button(i)->setText(QStringLiteral("Oturumu Kapat"));
    bool shown = m_registry.has(i);
    if (i <= kLastParameterButton) shown = shown && buttonParameterShown(i);
    if (i == kAdvancedScreen) shown = shown && advancedPage;
    if (i == kLoginScreen) shown = shown && m_advancedMode;
    m_bar->setButtonShown(i, shown);
    if (QAction* a = mnuDugme(i)) a->setVisible(m_registry.has(i));
  }
  bool anyMenuButton = false;
  for (int i = kFirstMenuButton; i <= kLastParameterButton; ++i)
    anyMenuButton = anyMenuButton || m_registry.has(i);
  m_buttonsMenu->menuAction()->setVisible(anyMenuButton);
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

QWidget* MainMenuController::cmdMenu_Click(int index) {
  if (!m_registry.has(index)) return nullptr;
  closeOtherScreens();
  const ScreenEntry& clicked = m_registry.entry(index);
  const bool allowed = clicked.rightKey.isEmpty() || m_session->allows(clicked.rightKey);
  const ScreenEntry& target = m_registry.entry(allowed ? index : kLoginScreen);
  if (!target.factory) return nullptr;
  QWidget* screen = target.factory(nullptr);
  if (screen->objectName().isEmpty()) screen->setObjectName(target.windowName);
  if (screen->windowTitle().isEmpty()) screen->setWindowTitle(target.caption);
  screen->setAttribute(Qt::WA_DeleteOnClose);
  QMdiSubWindow* sub = m_mdi->addSubWindow(screen);
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
  m_mdi->setActiveSubWindow(sub);
  screen->setFocus();
  m_current = screen;
  m_bar->setPressed(index);
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
    }
    emit institutionOptionChanged(option, on);
  }
}

QString MainMenuController::captionWithUser(const QString& caption, const QString& userName) {
  QString out = caption;
  const qsizetype at = out.indexOf(kUserPart);
  if (at >= 0) out.truncate(at);
  if (!userName.isEmpty()) out += kUserPart + userName + QLatin1Char(']');
  return out;
}

}  // namespace shell
