#include "shell/MDIForm1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>

#include "Version.h"
#include "school/DemoSchool.h"
#include "school/Rollover.h"
#include "school/StudentImport.h"
#include "screens/activities/frmSanalKumanda.h"
#include "screens/school/frmDisVeriAl.h"
#include "screens/school/frmKumandaTanimlama.h"
#include "screens/school/frmTanimlamalar.h"
#include "screens/start/frmGenelEkran.h"
#include "screens/start/frmKurumBilgileri.h"
#include "screens/start/frmSozlesme.h"
#include "shell/MainMenuController.h"
#include "shell/ReceiverController.h"
#include "shell/RepairAction.h"
#include "shell/frmIslem.h"
#include "shell/frmMesaj.h"
#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Institution.h"
#include "store/Log.h"
#include "store/Parameters.h"
#include "store/Resources.h"
#include "store/RolloverFiles.h"
#include "store/Schema.h"
#include "users/Session.h"
#include "users/UserList.h"
#include "widgets/Mesaj.h"

namespace {
MDIForm1* g_instance = nullptr;

QString productTitle() { return QStringLiteral("Derslik"); }
}  // namespace

MDIForm1* MDIForm1::instance() { return g_instance; }

MDIForm1::MDIForm1(Options options, QWidget* parent)
    : QMainWindow(parent), m_options(options), m_mdi(new QMdiArea(this)) {
  g_instance = this;
  setObjectName(QStringLiteral("MDIForm1"));
  setWindowTitle(productTitle());
  setMinimumSize(1024, 640);
  m_mdi->setObjectName(QStringLiteral("mdiArea"));
  m_mdi->setViewMode(QMdiArea::SubWindowView);
  m_mdi->setBackground(QColor(0xea, 0xf1, 0xfb));
  setCentralWidget(m_mdi);
  m_runModal = [](QDialog& d) { return d.exec(); };
  // The shared widgets' messages go through the app's own message window.
  mesaj::setHook([this](const QString& title, const QString& text, bool question) {
    if (question)
      return frmMesaj::Mesaj(this, title, text, frmMesaj::Buttons::YesNo,
                             frmMesaj::Kind::Question) == frmMesaj::Evet;
    frmMesaj::Mesaj(
        this, title, text, frmMesaj::Buttons::Ok,
        title == QStringLiteral("Hata") ? frmMesaj::Kind::Error : frmMesaj::Kind::Warning);
    return true;
  });
  m_receiver = new shell::ReceiverController(m_mdi, this);
  statusBar()->addPermanentWidget(m_receiver->statusWidget());
  connect(m_receiver, &shell::ReceiverController::receiverChanged, this, [this](bool present) {
    if (m_home) m_home->setReceiverState(present);
  });
  buildMenus();
  buildButtonBar();
}

MDIForm1::~MDIForm1() {
  MDIForm1_Unload();
  mesaj::setHook({});
  if (g_instance == this) g_instance = nullptr;
}

void MDIForm1::buildMenus() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("&Menü"));
  menu->setObjectName(QStringLiteral("mnuMenu"));
  // The bar's controller keeps the rights; its own menu follows this one.
  m_menu = new shell::MainMenuController(this, m_mdi, menuBar());
  // Every item passes the same rights check as the bar (keyed by its objectName).
  auto add = [this, menu](const QString& text, const QString& name, std::function<void()> run) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    m_menu->connectGuarded(a, std::move(run));
    return a;
  };
  QAction* home = add(QStringLiteral("Ana Sayfa"), QStringLiteral("mnuAnaSayfa"), [this] {
    if (m_home && m_home->parentWidget())
      m_mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(m_home->parentWidget()));
  });
  home->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
  add(QStringLiteral("Kurum Bilgileri"), QStringLiteral("mnuKurumBilgileri"), [this] {
    frmKurumBilgileri dialog(this);
    if (m_runModal(dialog) == QDialog::Accepted) refreshHome();
  });
  add(QStringLiteral("Öğrenci Listesi Aktar"), QStringLiteral("mnuDisVeriAl"), [this] {
    // The import needs a level to give the students.
    if (school::StudentImport::canOpen())
      openStudentImport(nullptr);
    else
      frmMesaj::uyari(this, school::StudentImport::openRefusal());
  });
  add(QStringLiteral("Sınıf Atlatma"), QStringLiteral("mnuSinifAtlatma"),
      [this] { SinifAtlatmaUygula(false); });
  add(QStringLiteral("Bilgileri Onar"), QStringLiteral("BilgileriOnar"), [this] {
    if (closeScreens()) runRepair(this);
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

void MDIForm1::buildButtonBar() {
  auto* dock = new QDockWidget(this);
  dock->setObjectName(QStringLiteral("dockDugmeler"));
  dock->setTitleBarWidget(new QWidget(dock));
  dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
  dock->setWidget(m_menu->buttonBar());
  addDockWidget(Qt::LeftDockWidgetArea, dock);
  registerScreens();
  // The home page's tiles follow the rights like the bar's buttons (a user who
  // logs in may keep the very flags of nobody, so the log-in counts too).
  connect(m_menu->session(), &users::Session::rightsChanged, this, &MDIForm1::refreshHome);
  connect(m_menu, &shell::MainMenuController::userChanged, this, [this](const QString& name) {
    refreshHome();
    setWindowTitle(shell::MainMenuController::captionWithUser(windowTitle(), name));
  });
  connect(m_menu, &shell::MainMenuController::institutionOptionChanged, this,
          [this](users::Option option, bool on) {
            applyInstitutionOptions();
            if (option == users::Option::OtomatikKisayol && on) createDesktopShortcut();
          });
}

void MDIForm1::registerScreens() {
  // Each area's screens join the bar here as they are built.
  m_menu->registry().registerScreen(0, [this](QWidget* parent) {
    auto* screen = new frmTanimlamalar(parent);
    connect(screen, &frmTanimlamalar::disVeriAlIstendi, this,
            [this, screen] { openStudentImport(screen); });
    return screen;
  });
  m_menu->registry().registerScreen(1, [this](QWidget* parent) {
    auto* screen = new frmKumandaTanimlama(parent);
    screen->setWriteSomeData([this](bool on) { m_receiver->WriteSomeData(on); });
    screen->setReceiverPresent(m_receiver->receiverPresent());
    connect(m_receiver, &shell::ReceiverController::receiverChanged, screen,
            &frmKumandaTanimlama::setReceiverPresent);
    return screen;
  });
}

void MDIForm1::openStudentImport(frmTanimlamalar* students) {
  auto* import = new frmDisVeriAl;
  if (students)
    connect(import, &frmDisVeriAl::ogrencilerDegisti, students,
            &frmTanimlamalar::ogrencileriListele);
  showScreen(import);
}

QMdiSubWindow* MDIForm1::showScreen(QWidget* screen) {
  return shell::MainMenuController::showInArea(m_mdi, screen);
}

bool MDIForm1::MDIForm1_Load() {
  // 1. Start time, wait window, first log line.
  m_startTime.start();
  m_islem = new frmIslem(this);
  m_islem->showText(QString());
  store::LogYaz(QStringLiteral("mdiform_load"));

  // 2./3. The old installation's leftover files do not exist here; a second start
  // is stopped before the window is made (QLockFile in main).
  // 4. The logging switch came with the options ("logtut").
  // 5./6. Nothing of the desktop is changed at start: the screen saver is held off
  // only while a presentation runs, and the user's regional settings are left alone
  // because every date and number is written with fixed formats.

  // 7. Before anything is opened: a rollover still running elsewhere is waited
  // for, one a kill interrupted is finished or undone, and the data folder's
  // shared lock is taken for the whole run. Then the schema and data checks; on
  // return the shared connection is open.
  store::LogYaz(QStringLiteral("VersiyonGecisiKontrol"));
  m_islem->showText(QStringLiteral("Veritabanı denetleniyor..."));
  const Result<QStringList> entered = store::enterDataFolder();
  if (!entered) {
    m_islem->hide();
    frmMesaj::hata(
        this, entered.error() + QStringLiteral("\n\nVeri klasörü: ") + store::DataFolder::root());
    return false;
  }
  const Result<store::CheckReport> check = store::VeritabaniKontrol();
  if (!check) {
    m_islem->hide();
    frmMesaj::hata(this, QStringLiteral("Veritabanı açılamadı:\n") + check.error() +
                             QStringLiteral("\n\nVeri klasörü: ") + store::DataFolder::root());
    return false;
  }
  m_islem->hide();
  // Passwords an older installation stored as typed become salted hashes.
  (void)users::hashTypedPasswords();
  if (m_options.demo) createDemoSchool();
  for (const QString& message : entered.value() + check->messages)
    frmMesaj::Mesaj(this, QStringLiteral("Uyarı"), message, frmMesaj::Buttons::Ok,
                    frmMesaj::Kind::Warning);

  // 8. Caption.
  setWindowTitle(productTitle() + QStringLiteral(" - Versiyon : ") +
                 QString::fromLatin1(derslik::kVersionText));

  // 9. First-run data: the terms before anything else, then the institution.
  if (!store::agreementAccepted()) {
    frmSozlesme terms(this);
    if (m_runModal(terms) != QDialog::Accepted || !store::agreementAccepted()) {
      frmMesaj::uyari(this, frmSozlesme::refusedMessage());
      return false;
    }
  }
  (void)store::ensureInstitutionRow();
  if (check->openInstitutionScreen ||
      store::institutionValue(QStringLiteral("KURUMKODU")).trimmed().isEmpty()) {
    frmKurumBilgileri kurum(this);
    m_runModal(kurum);
  }

  // 10. New school year: the local clock stands in for the time server.
  SinifAtlatmaUygula(true);

  // 11. Update and correction downloads belong to online services Derslik does not use.

  // 12. Blank question and solution pictures for the question screens.
  store::KaynakCikar(QStringLiteral("YeniSoru.dce"), QString(), false);
  store::KaynakCikar(QStringLiteral("YeniCevap.dce"), QString(), false);

  // 13./17. Institution options: advanced mode and the three-button setting;
  // 14. the right flags follow the advanced mode and the users.
  applyInstitutionOptions();
  m_menu->applyStartupRights();

  // 15. Menu check marks from the user's settings.
  m_raporAnimasyonu->setChecked(store::UserSettings::getBool(
      QStringLiteral("Menu"), QStringLiteral("RaporAnimasyonu"), false));

  // 16./18. Visible, sized to the screen.
  store::LogYaz(QStringLiteral("mdiform_load USBDurum"));
  store::LogYaz(QStringLiteral("mdiform_load Me.Visible"));
  // Without a window manager (a bare X server on a classroom board) maximising
  // does nothing, so the window is first given the screen's whole work area.
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
  showMaximized();

  // 19. Home screen.
  m_home = new frmGenelEkran;
  connect(m_home, &frmGenelEkran::tileClicked, m_menu, &shell::MainMenuController::cmdMenu_Click);
  QMdiSubWindow* homeWindow = showScreen(m_home);
  homeWindow->setAttribute(Qt::WA_DeleteOnClose, false);
  homeWindow->setWindowFlags(Qt::FramelessWindowHint);
  homeWindow->showMaximized();
  refreshHome();

  // 20. Button bar.
  store::LogYaz(QStringLiteral("mdiform_load DugmeleriDuzenle"));
  m_menu->DugmeleriDuzenle();
  refreshHome();
  store::LogYaz(QStringLiteral("Düğmeler Düzenlendi"));
  store::LogYaz(QStringLiteral("Kısayol Atılacak"));

  // 21./30. Desktop shortcut when the institution asks for one.
  createDesktopShortcut();

  // 22./25. The receiver is connected 100 ms after the start-up, outside it; with
  // --simulasyon a simulated class stands in for it.
  if (m_options.simulation > 0) m_receiver->useSimulation(m_options.simulation);
  m_receiver->startDelayedConnect();

  // 23./26./31. Current-question downloads, kindergarten uploads and online
  // answer-key corrections are online services Derslik does not use.
  store::LogYaz(QStringLiteral("mdiform_load complete"));

  // 27. Data corrections a few institutions asked for; 28. the relative report's
  // grid layout. Both do nothing once done.
  (void)store::applyInstitutionCorrections();
  (void)store::seedRelativeReportLayout();

  // 29. Report choices that must not survive a restart.
  for (const char* key : {"DogruYanlisCevap2", "DogruYanlisCevap3", "DogruYanlisCevap4"})
    store::UserSettings::setBool(QStringLiteral("Raporlar"), QString::fromLatin1(key), false);

  m_startUpMs = m_startTime.elapsed();
  m_islem->close();
  store::LogYaz(QStringLiteral("Açılış süresi: %1 ms").arg(m_startUpMs));
  return true;
}

void MDIForm1::applyInstitutionOptions() {
  m_advancedMode = store::institutionOptionOn(QStringLiteral("GELISMISMOD"));
  m_threeButton = store::threeButtonSetting();
  m_receiver->setThreeButtonSetting(m_threeButton);
}

void MDIForm1::refreshHome() {
  if (!m_home) return;
  m_home->setSchoolName(store::institutionValue(QStringLiteral("OKULADI")));
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
    const shell::ScreenEntry& e = m_menu->registry().entry(i);
    tiles.append(
        {i, e.caption, QString::fromUtf8(kDescriptions[i]), !m_menu->mayNeverUse(e.rightKey)});
  }
  m_home->setTiles(tiles);
}

void MDIForm1::createDesktopShortcut() {
  if (!store::institutionOptionOn(QStringLiteral("OTOMATIKKISAYOL"))) return;
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

void MDIForm1::SinifAtlatmaUygula(bool fromStartUp) {
  school::Rollover::Hooks hooks;
  // Every question of the rollover leads to a step that cannot be taken back:
  // Enter must never answer "Evet".
  hooks.ask = [this](const QString& question) {
    return frmMesaj::Mesaj(this, QStringLiteral("Sınıf Atlatma"), question,
                           frmMesaj::Buttons::YesNoDefaultNo,
                           frmMesaj::Kind::Question) == frmMesaj::Evet;
  };
  hooks.closeScreens = [this] { closeScreens(); };
  hooks.progress = [this](const QString& text) {
    if (m_islem) m_islem->showText(text);
  };
  const school::Rollover::Report report =
      fromStartUp ? school::offerRollover(hooks) : school::runRollover(hooks);
  if (m_islem) m_islem->hide();
  if (report.outcome == school::Rollover::Outcome::Done)
    frmMesaj::Mesaj(this, QStringLiteral("Sınıf Atlatma"), report.message);
  else if (report.outcome == school::Rollover::Outcome::Failed)
    frmMesaj::hata(this, report.message);
  if (report.outcome == school::Rollover::Outcome::Done) {
    applyInstitutionOptions();
    refreshHome();
  }
}

void MDIForm1::createDemoSchool() {
  // A first look without a class list: a school, its classes, students and remotes.
  if (Status s = school::createDemoSchool(); !s) {
    frmMesaj::hata(this, QStringLiteral("Örnek okul oluşturulamadı: ") + s.error());
    return;
  }
  if (store::institutionValue(QStringLiteral("KURUMKODU")).trimmed().isEmpty())
    (void)store::saveInstitution(QStringLiteral("999999"),
                                 QStringLiteral("Derslik Örnek Ortaokulu"));
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
  // The receiver goes first: no press may reach a screen while the database closes.
  m_receiver->setClosing(true);
  store::BaglantiKapat();
  for (QMdiSubWindow* w : m_mdi->subWindowList()) {
    w->setAttribute(Qt::WA_DeleteOnClose, true);
    w->close();
  }
}
