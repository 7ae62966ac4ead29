#include "shell/MDIForm1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QVBoxLayout>

#include "Version.h"
#include "framework/BoardMenu.h"
#include "framework/ExchangeImport.h"
#include "framework/ReceiverController.h"
#include "framework/ScreenHelpers.h"
#include "framework/ServerUnreachableBar.h"
#include "framework/frmIslem.h"
#include "framework/frmMesaj.h"
#include "framework/frmSanalKumanda.h"
#include "school/Pairing.h"
#include "school/Rollover.h"
#include "screens/authoring/AuthoringScreens.h"
#include "screens/delivery/DeliveryScreens.h"
#include "screens/game/GameScreens.h"
#include "screens/reports/ReportScreens.h"
#include "screens/school/SchoolScreens.h"
#include "screens/start/frmGenelEkran.h"
#include "screens/start/frmKurumBilgileri.h"
#include "screens/start/frmOkulSunucusu.h"
#include "screens/start/frmSozlesme.h"
#include "screens/users/UserScreens.h"
#include "shell/MainMenuController.h"
#include "shell/RepairAction.h"
#include "startup/StartupSequence.h"
#include "store/Institution.h"
#include "store/Parameters.h"
#include "store/Store.h"
#include "users/Session.h"

namespace {
MDIForm1* g_instance = nullptr;

QString productTitle() { return QStringLiteral("Derslik"); }
}  // namespace

MDIForm1* MDIForm1::instance() { return g_instance; }

MDIForm1::MDIForm1(store::Store& store, Options options, QWidget* parent)
    : QMainWindow(parent),
      m_store(store),
      m_options(options),
      m_ownMessages(options.messages ? nullptr : std::make_unique<WidgetMessages>(this)),
      m_context{store, options.messages ? *options.messages : *m_ownMessages, m_session,
                [this](QWidget* screen) { showScreen(screen); }},
      m_mdi(new QMdiArea(this)) {
  g_instance = this;
  setObjectName(QStringLiteral("MDIForm1"));
  setWindowTitle(productTitle());
  setMinimumSize(1024, 640);
  m_mdi->setObjectName(QStringLiteral("mdiArea"));
  m_mdi->setViewMode(QMdiArea::SubWindowView);
  m_mdi->setBackground(QColor(0xea, 0xf1, 0xfb));
  // Above every screen, the strip that says the school's server cannot be
  // reached: one for the whole window, whatever screen found it out.
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(new framework::ServerUnreachableBar(m_store, central));
  column->addWidget(m_mdi, 1);
  setCentralWidget(central);
  m_runModal = [](QDialog& d) { return d.exec(); };
  m_receiver = new framework::ReceiverController(m_mdi, this);
  statusBar()->addPermanentWidget(m_receiver->statusWidget());
  connect(m_receiver, &framework::ReceiverController::receiverChanged, this, [this](bool present) {
    if (m_home) m_home->setReceiverState(present);
  });
  connect(m_receiver, &framework::ReceiverController::logLine, this,
          [this](const QString& text) { m_store.log(text); });
  // The rollover and the repair open the store again; options may change in
  // frmGelismisMod: both come as institutionChanged.
  connect(&m_store, &store::Store::institutionChanged, this, [this] {
    applyInstitutionOptions();
    refreshHome();
    refreshTitle();
  });
  buildMenus();
  buildButtonBar();
}

MDIForm1::~MDIForm1() {
  MDIForm1_Unload();
  if (g_instance == this) g_instance = nullptr;
}

QString MDIForm1::threeButtonSetting() const { return m_store.institution().threeButtonSetting; }

bool MDIForm1::advancedMode() const { return m_store.institution().advancedMode; }

void MDIForm1::buildMenus() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("&Menü"));
  menu->setObjectName(QStringLiteral("mnuMenu"));
  // The bar's controller keeps the rights; its own menu follows this one.
  m_menu = new shell::MainMenuController(this, m_mdi, menuBar(), m_context);
  // Every item passes the same rights check as the bar (keyed by its objectName).
  auto add = [this, menu](const QString& text, const QString& name, std::function<void()> run) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    m_menu->connectGuarded(a, std::move(run));
    return a;
  };
  // Qt names the Home key in the user's language, and in Turkish that is "Ana
  // Sayfa", the item's own name ("Ctrl+Ana Sayfa"): the menu writes the key as
  // it is printed on the keyboard and a shortcut of the window presses the item.
  QAction* home =
      add(QStringLiteral("Ana Sayfa\tCtrl+Home"), QStringLiteral("mnuAnaSayfa"), [this] {
        if (m_home && m_home->parentWidget())
          m_mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(m_home->parentWidget()));
      });
  auto* homeKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home), this);
  homeKey->setObjectName(QStringLiteral("kisayolAnaSayfa"));
  connect(homeKey, &QShortcut::activated, home, &QAction::trigger);
  add(QStringLiteral("Kurum Bilgileri"), QStringLiteral("mnuKurumBilgileri"), [this] {
    frmKurumBilgileri dialog(m_context, this);
    m_runModal(dialog);
  });
  add(QStringLiteral("Okul Sunucusu"), QStringLiteral("mnuOkulSunucusu"), [this] {
    frmOkulSunucusu dialog(m_context, this);
    m_runModal(dialog);
  });
  add(QStringLiteral("Öğrenci Listesi Aktar"), QStringLiteral("mnuDisVeriAl"),
      [this] { schoolui::openStudentImport(m_context); });
  // "Dosyadan Soru Al" / "Dosyadan Test Al", each behind the rights check of
  // reading its kind.
  namespace xi = framework::exchangeimport;
  for (const auto& [kind, caption, name] :
       {std::tuple{xi::Kind::Questions, QStringLiteral("Dosyadan Soru Al"),
                   QStringLiteral("mnuDosyadanSoruAl")},
        std::tuple{xi::Kind::Tests, QStringLiteral("Dosyadan Test Al"),
                   QStringLiteral("mnuDosyadanTestAl")}}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setProperty("rightKey", xi::rightKey(kind));
    m_menu->connectGuarded(action, [this, k = kind] {
      const QStringList paths = xi::chooseFiles(this, k, xi::Origin::Menu);
      if (!paths.isEmpty()) xi::importFiles(this, m_context, k, paths);
    });
  }
  add(QStringLiteral("Sınıf Atlatma"), QStringLiteral("mnuSinifAtlatma"),
      [this] { SinifAtlatmaUygula(); });
  add(QStringLiteral("Bilgileri Onar"), QStringLiteral("BilgileriOnar"), [this] {
    if (closeScreens()) runRepair(this, m_store, m_context.messages);
  });
  add(QStringLiteral("Alıcı Tanılama"), QStringLiteral("mnuAliciTanilama"),
      [this] { m_receiver->showDiagnostics(); });
  add(QStringLiteral("Sanal Kumanda"), QStringLiteral("mnuSanalKumanda"),
      [this] { openVirtualRemote(); });
  menu->addSeparator();
  m_raporAnimasyonu = menu->addAction(QStringLiteral("Rapor Animasyonu"));
  m_raporAnimasyonu->setObjectName(QStringLiteral("RaporAnimasyonu"));
  m_raporAnimasyonu->setCheckable(true);
  connect(m_raporAnimasyonu, &QAction::toggled, this, [](bool on) {
    store::UserSettings::setBool(QStringLiteral("Menu"), QStringLiteral("RaporAnimasyonu"), on);
  });
  framework::addBoardMenu(menu, m_context.messages,
                          [this] { return m_menu->requireRight(QStringLiteral("mnuTahta")); });
  menu->addSeparator();
  QAction* quit = add(QStringLiteral("Çıkış"), QStringLiteral("mnuCikis"), [this] { close(); });
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void MDIForm1::bringToFront() {
  if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
  show();
  raise();
  activateWindow();
}

frmSanalKumanda* MDIForm1::virtualRemote() const { return m_virtualRemote.data(); }

void MDIForm1::openVirtualRemote() {
  // One at a time: a second click brings the open one forward.
  if (m_virtualRemote) {
    m_virtualRemote->show();
    m_virtualRemote->raise();
    m_virtualRemote->activateWindow();
    return;
  }
  QMdiSubWindow* active = m_mdi->activeSubWindow();
  QWidget* opener = active && active->widget() ? active->widget() : static_cast<QWidget*>(this);
  m_virtualRemote = new frmSanalKumanda(opener, m_receiver);
  m_virtualRemote->show();
}

deliveryui::DeliveryHooks MDIForm1::runHooks() {
  // "Testi Düzenle": the test screen through the bar and its rights check, on the test.
  return {
      [this](const QString& testNo) { authoringui::showTest(m_menu->cmdMenu_Click(3), testNo); },
      this,
      // A finished run opens its report, driven by the teacher remote too.
      [this](const reports::RunKey& key) {
        reportsui::openRunReport(m_context, key, {false, &m_receiver->router()});
      }};
}

bool MDIForm1::mayRunTests() { return m_menu->requireRight(m_menu->registry().entry(4).rightKey); }

void MDIForm1::buildButtonBar() {
  auto* dock = new QDockWidget(this);
  dock->setObjectName(QStringLiteral("dockDugmeler"));
  dock->setTitleBarWidget(new QWidget(dock));
  dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
  dock->setWidget(m_menu->buttonBar());
  addDockWidget(Qt::LeftDockWidgetArea, dock);
  // Each area puts its own screens on the bar.
  schoolui::registerSchoolScreens(m_menu->registry(), m_context, *m_receiver);
  usersui::registerUserScreens(m_menu->registry(), m_context, *m_menu->session());
  authoringui::registerAuthoringScreens(m_menu->registry(), m_context);
  deliveryui::registerDeliveryScreens(m_menu->registry(), m_context, *m_receiver, runHooks());
  gameui::registerGameScreens(m_menu->registry(), m_context, *m_receiver, this);
  // The report selection takes an interrupted run back to the presentation.
  reportsui::registerReportScreens(
      m_menu->registry(), m_context, &m_receiver->router(), [this](const reports::ResumeRun& run) {
        if (mayRunTests()) deliveryui::resumeRun(m_context, *m_receiver, run.key, runHooks());
      });
  // The home page's tiles follow the rights like the bar's buttons (a user who
  // logs in may keep the very flags of nobody, so the log-in counts too).
  connect(m_menu->session(), &users::Session::rightsChanged, this, &MDIForm1::refreshHome);
  connect(m_menu, &shell::MainMenuController::userChanged, this, [this](const QString& name) {
    refreshHome();
    setWindowTitle(shell::MainMenuController::captionWithUser(windowTitle(), name));
  });
  connect(m_menu, &shell::MainMenuController::institutionOptionChanged, this,
          [this](store::Institution::Option option, bool on) {
            if (option == store::Institution::Option::DesktopShortcut && on)
              createDesktopShortcut();
          });
}

QMdiSubWindow* MDIForm1::showScreen(QWidget* screen) {
  return shell::MainMenuController::showInArea(m_mdi, screen);
}

bool MDIForm1::MDIForm1_Load() {
  // The wait window, then the data half of the start-up.
  m_startTime.start();
  m_islem = new frmIslem(this);
  m_islem->showText(QString());
  startup::StartupSequence::Hooks hooks;
  hooks.messages = &m_context.messages;
  hooks.showAgreement = [this] {
    frmSozlesme terms(m_context, this);
    const bool accepted =
        m_runModal(terms) == QDialog::Accepted && store::agreementAccepted(m_store).valueOr(false);
    if (!accepted) m_context.messages.warning(frmSozlesme::refusedMessage());
    return accepted;
  };
  hooks.showInstitution = [this] {
    frmKurumBilgileri kurum(m_context, this);
    m_runModal(kurum);
  };
  hooks.progress = [this](const QString& text) {
    if (!m_islem) return;
    if (text.isEmpty())
      m_islem->hide();
    else
      m_islem->showText(text);
  };
  hooks.closeScreens = [this] { closeScreens(); };
  hooks.askRolloverStart = [this](const QString& q, bool& keepBank) {
    return askRolloverStart(q, keepBank);
  };
  hooks.demo = m_options.demo;
  startup::StartupSequence sequence(m_store, hooks);
  if (!sequence.run()) {
    m_islem->hide();
    return false;
  }

  m_loaded = true;
  refreshTitle();
  applyInstitutionOptions();
  m_menu->applyStartupRights(sequence.rights(), m_store.institution().advancedMode);

  // Menu check marks from the user's settings.
  m_raporAnimasyonu->setChecked(store::UserSettings::getBool(
      QStringLiteral("Menu"), QStringLiteral("RaporAnimasyonu"), false));

  // Visible, sized to the screen. Without a window manager (a bare X server on a
  // classroom board) maximising does nothing, so the window is first given the
  // screen's whole work area.
  m_store.log(QStringLiteral("mdiform_load USBDurum"));
  m_store.log(QStringLiteral("mdiform_load Me.Visible"));
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
  showMaximized();

  // Home screen.
  m_home = new frmGenelEkran;
  connect(m_home, &frmGenelEkran::tileClicked, m_menu, &shell::MainMenuController::cmdMenu_Click);
  QMdiSubWindow* homeWindow = showScreen(m_home);
  homeWindow->setAttribute(Qt::WA_DeleteOnClose, false);
  homeWindow->setWindowFlags(Qt::FramelessWindowHint);
  homeWindow->showMaximized();

  // Button bar.
  m_store.log(QStringLiteral("mdiform_load DugmeleriDuzenle"));
  m_menu->DugmeleriDuzenle();
  refreshHome();
  m_store.log(QStringLiteral("Düğmeler Düzenlendi"));
  m_store.log(QStringLiteral("Kısayol Atılacak"));

  // Desktop shortcut when the institution asks for one.
  createDesktopShortcut();

  // The receiver is connected 100 ms after the start-up, outside it; with
  // --simulasyon a simulated class stands in for it, answering with the
  // registered student remotes first.
  if (m_options.simulation > 0)
    m_receiver->useSimulation(
        m_options.simulation, school::Pairing(m_store).studentAddresses().valueOr({}),
        [this](const QString& address) {
          const store::Query q = school::Pairing::teacherRemotesQuery();
          return m_store.column(q.sql, q.params).valueOr({}).contains(address);
        });
  m_receiver->startDelayedConnect();

  m_startUpMs = m_startTime.elapsed();
  m_islem->close();
  m_store.log(QStringLiteral("mdiform_load complete"));
  m_store.log(QStringLiteral("Açılış süresi: %1 ms").arg(m_startUpMs));

  // A run cut off by a crash or a power cut is offered to go on, under the run
  // screen's right.
  deliveryui::offerInterruptedRun(
      m_context, *m_receiver, [this] { return mayRunTests(); }, runHooks());
  return true;
}

QString MDIForm1::titleFor(const QString& schoolName, const QString& dataFolder) {
  // Two windows on two data folders are told apart in the task bar by what
  // comes first: the school, or the folder of one that has no name yet.
  const QString school = schoolName.trimmed();
  const QString first = school.isEmpty() ? QDir::toNativeSeparators(dataFolder) : school;
  return first + QStringLiteral(" - ") + productTitle() + QStringLiteral(" - Versiyon : ") +
         QString::fromLatin1(derslik::kVersionText);
}

void MDIForm1::refreshTitle() {
  if (!m_loaded || !m_store.isOpen()) return;
  setWindowTitle(shell::MainMenuController::captionWithUser(
      titleFor(m_store.institution().name, m_store.root()), m_menu->session()->userName()));
}

void MDIForm1::applyInstitutionOptions() {
  m_receiver->setThreeButtonSetting(m_store.institution().threeButtonSetting);
}

void MDIForm1::refreshHome() {
  if (!m_home) return;
  m_home->setSchoolName(m_store.institution().name);
  static const char* const kDescriptions[] = {
      "Sınıfları ve öğrencileri tanımlayın, listeleri aktarın",
      "Kumandaları tanıtın ve öğrencilerle eşleştirin",
      "Soruları ekleyin, bulun, düzenleyin",
      "Testleri hazırlayın, cevap anahtarını girin",
      "Testi sınıfta kumandalarla uygulayın",
      "Uygulanan testlerin sonuçları ve raporlar"};
  QList<frmGenelEkran::Tile> tiles;
  for (int i = 0; i < 6; ++i) {
    if (!m_menu->registry().has(i)) continue;
    const framework::ScreenEntry& e = m_menu->registry().entry(i);
    tiles.append(
        {i, e.caption, QString::fromUtf8(kDescriptions[i]), !m_menu->mayNeverUse(e.rightKey)});
  }
  m_home->setTiles(tiles);
}

void MDIForm1::createDesktopShortcut() {
  if (!m_store.institution().desktopShortcut) return;
  const QString program = QCoreApplication::applicationFilePath();
  if (program.contains(QStringLiteral("prj"))) return;  // a developer's own build
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  if (desktop.isEmpty()) return;
  const QString path = QDir(desktop).filePath(QStringLiteral("derslik.desktop"));
  if (QFile::exists(path)) return;
  QDir().mkpath(desktop);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return;
  file.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Derslik\n"
                            "Comment=Sınıf yanıt sistemi\nExec=\"%1\"\nIcon=derslik\n"
                            "Terminal=false\nCategories=Education;\n")
                 .arg(program)
                 .toUtf8());
  file.close();
  file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

bool MDIForm1::closeScreens() {
  bool all = true;
  for (QMdiSubWindow* w : m_mdi->subWindowList()) {
    if (m_home && w->widget() == m_home) continue;
    all = w->close() && all;
  }
  return all;
}

bool MDIForm1::askRolloverStart(const QString& question, bool& keepBank) {
  // What moves and what stays, and the one choice the teacher has about it;
  // Enter never answers "Evet".
  QMessageBox box(QMessageBox::Question, QStringLiteral("Sınıf Atlatma"), question,
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setObjectName(QStringLiteral("SinifAtlatmaSorusu"));
  box.button(QMessageBox::Yes)->setText(QStringLiteral("Evet"));
  box.button(QMessageBox::No)->setText(QStringLiteral("Hayır"));
  box.setDefaultButton(QMessageBox::No);
  auto* keep = new QCheckBox(school::Rollover::keepBankChoice(), &box);
  keep->setObjectName(QStringLiteral("chkSoruBankasiKalsin"));
  keep->setChecked(keepBank);
  box.setCheckBox(keep);
  const bool yes = m_runModal(box) == QMessageBox::Yes;
  keepBank = keep->isChecked();
  return yes;
}

void MDIForm1::SinifAtlatmaUygula() {
  school::Rollover::Hooks hooks;
  hooks.messages = &m_context.messages;
  hooks.askStart = [this](const QString& q, bool& keepBank) {
    return askRolloverStart(q, keepBank);
  };
  hooks.closeScreens = [this] { closeScreens(); };
  hooks.progress = [this](const QString& text) {
    if (m_islem) m_islem->showText(text);
  };
  const school::Rollover::Report report = school::Rollover::SinifAtlatmaUygula(m_store, hooks);
  if (m_islem) m_islem->hide();
  school::Rollover::tell(m_context.messages, report);
}

void MDIForm1::closeEvent(QCloseEvent* event) {
  // A screen with unsaved changes asks first (while the database is still open);
  // one that stays open keeps the program open. Screens that must not act during
  // shutdown look at closing().
  if (!m_unloaded && !closeScreens()) {
    event->ignore();
    return;
  }
  m_closing = true;
  MDIForm1_Unload();
  event->accept();
}

void MDIForm1::MDIForm1_Unload() {
  if (m_unloaded) return;
  m_unloaded = true;
  m_closing = true;
  // The receiver goes first: no press may reach a screen while it closes.
  m_receiver->setClosing(true);
  // The screens close while the data is still there, so that what they hold (the
  // remotes of an open registration panel) is written. Then the store closes:
  // whatever still tries to reach it from here on gets an error, never a reopened
  // database.
  for (QMdiSubWindow* w : m_mdi->subWindowList()) {
    w->setAttribute(Qt::WA_DeleteOnClose, true);
    w->close();
  }
  m_store.close();
}
