#include "shell/MDIForm1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>

#include "Version.h"
#include "screens/start/frmGenelEkran.h"
#include "screens/start/frmKurumBilgileri.h"
#include "screens/start/frmSozlesme.h"
#include "shell/RepairAction.h"
#include "shell/frmIslem.h"
#include "shell/frmMesaj.h"
#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Institution.h"
#include "store/Log.h"
#include "store/Parameters.h"
#include "store/Resources.h"
#include "store/Schema.h"

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
  buildMenus();
}

MDIForm1::~MDIForm1() {
  MDIForm1_Unload();
  if (g_instance == this) g_instance = nullptr;
}

void MDIForm1::buildMenus() {
  QMenu* menu = menuBar()->addMenu(QStringLiteral("&Menü"));
  menu->setObjectName(QStringLiteral("mnuMenu"));
  QAction* home = menu->addAction(QStringLiteral("Ana Sayfa"));
  home->setObjectName(QStringLiteral("mnuAnaSayfa"));
  home->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
  connect(home, &QAction::triggered, this, [this] {
    if (m_home && m_home->parentWidget()) m_mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(m_home->parentWidget()));
  });
  QAction* kurum = menu->addAction(QStringLiteral("Kurum Bilgileri"));
  kurum->setObjectName(QStringLiteral("mnuKurumBilgileri"));
  connect(kurum, &QAction::triggered, this, [this] {
    frmKurumBilgileri dialog(this);
    if (m_runModal(dialog) == QDialog::Accepted) refreshHome();
  });
  QAction* rollover = menu->addAction(QStringLiteral("Sınıf Atlatma"));
  rollover->setObjectName(QStringLiteral("mnuSinifAtlatma"));
  connect(rollover, &QAction::triggered, this,
          [this] { SinifAtlatmaUygula(store::schoolYearLabel(QDate::currentDate())); });
  QAction* repair = menu->addAction(QStringLiteral("Bilgileri Onar"));
  repair->setObjectName(QStringLiteral("BilgileriOnar"));
  connect(repair, &QAction::triggered, this, [this] {
    closeScreens();
    runRepair(this);
  });
  menu->addSeparator();
  m_raporAnimasyonu = menu->addAction(QStringLiteral("Rapor Animasyonu"));
  m_raporAnimasyonu->setObjectName(QStringLiteral("RaporAnimasyonu"));
  m_raporAnimasyonu->setCheckable(true);
  connect(m_raporAnimasyonu, &QAction::toggled, this, [](bool on) {
    store::UserSettings::setBool(QStringLiteral("Menu"), QStringLiteral("RaporAnimasyonu"), on);
  });
  menu->addSeparator();
  QAction* quit = menu->addAction(QStringLiteral("Çıkış"));
  quit->setObjectName(QStringLiteral("mnuCikis"));
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(quit, &QAction::triggered, this, &QWidget::close);
}

QMdiSubWindow* MDIForm1::showScreen(QWidget* screen) {
  QMdiSubWindow* sub = m_mdi->addSubWindow(screen);
  sub->setObjectName(screen->objectName() + QStringLiteral("_pencere"));
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowTitle(screen->windowTitle());
  sub->showMaximized();
  return sub;
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

  // 7. Schema and data checks; on return the shared connection is open.
  store::LogYaz(QStringLiteral("VersiyonGecisiKontrol"));
  m_islem->showText(QStringLiteral("Veritabanı denetleniyor..."));
  const Result<store::CheckReport> check = store::VeritabaniKontrol();
  if (!check) {
    m_islem->hide();
    frmMesaj::hata(this, QStringLiteral("Veritabanı açılamadı:\n") + check.error() +
                             QStringLiteral("\n\nVeri klasörü: ") + store::DataFolder::root());
    return false;
  }
  m_islem->hide();
  for (const QString& message : check->messages)
    frmMesaj::Mesaj(this, QStringLiteral("Uyarı"), message, frmMesaj::Buttons::Ok, frmMesaj::Kind::Warning);

  // 8. Caption.
  setWindowTitle(productTitle() + QStringLiteral(" - Versiyon : ") + QString::fromLatin1(derslik::kVersionText));

  // 9. First-run data: the terms before anything else, then the institution.
  if (!store::agreementAccepted()) {
    frmSozlesme terms(this);
    if (m_runModal(terms) != QDialog::Accepted || !store::agreementAccepted()) return false;
  }
  (void)store::ensureInstitutionRow();
  if (check->openInstitutionScreen || store::institutionValue(QStringLiteral("KURUMKODU")).trimmed().isEmpty()) {
    frmKurumBilgileri kurum(this);
    m_runModal(kurum);
  }

  // 10. New school year: the local clock stands in for the time server.
  const QString label = store::schoolYearLabel(QDate::currentDate());
  if (store::rolloverDue(label)) SinifAtlatmaUygula(label);

  // 11. Update and correction downloads belong to online services Derslik does not use.

  // 12. Blank question and solution pictures for the question screens.
  store::KaynakCikar(QStringLiteral("YeniSoru.dce"), QString(), false);
  store::KaynakCikar(QStringLiteral("YeniCevap.dce"), QString(), false);

  // 13./17. Institution options: advanced mode and the three-button setting.
  applyInstitutionOptions();

  // 15. Menu check marks from the user's settings.
  m_raporAnimasyonu->setChecked(
      store::UserSettings::getBool(QStringLiteral("Menu"), QStringLiteral("RaporAnimasyonu"), false));

  // 16./18. Visible, sized to the screen.
  store::LogYaz(QStringLiteral("mdiform_load USBDurum"));
  store::LogYaz(QStringLiteral("mdiform_load Me.Visible"));
  // Without a window manager (a bare X server on a classroom board) maximising
  // does nothing, so the window is first given the screen's whole work area.
  if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
  showMaximized();

  // 19. Home screen.
  m_home = new frmGenelEkran;
  QMdiSubWindow* homeWindow = showScreen(m_home);
  homeWindow->setAttribute(Qt::WA_DeleteOnClose, false);
  homeWindow->setWindowFlags(Qt::FramelessWindowHint);
  homeWindow->showMaximized();
  refreshHome();

  // 20. Button bar.
  store::LogYaz(QStringLiteral("mdiform_load DugmeleriDuzenle"));
  store::LogYaz(QStringLiteral("Düğmeler Düzenlendi"));
  store::LogYaz(QStringLiteral("Kısayol Atılacak"));

  // 21./30. Desktop shortcut when the institution asks for one.
  createDesktopShortcut();

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
}

void MDIForm1::refreshHome() {
  if (!m_home) return;
  m_home->setSchoolName(store::institutionValue(QStringLiteral("OKULADI")));
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

void MDIForm1::closeScreens() {
  for (QMdiSubWindow* w : m_mdi->subWindowList()) {
    if (m_home && w->widget() == m_home) continue;
    w->close();
  }
}

void MDIForm1::SinifAtlatmaUygula(const QString& label) { Q_UNUSED(label); }

void MDIForm1::closeEvent(QCloseEvent* event) {
  // Asking to close never cancels and asks nothing; screens that must not act
  // during shutdown look at closing().
  m_closing = true;
  MDIForm1_Unload();
  event->accept();
}

void MDIForm1::MDIForm1_Unload() {
  if (m_unloaded) return;
  m_unloaded = true;
  m_closing = true;
  store::BaglantiKapat();
  for (QMdiSubWindow* w : m_mdi->subWindowList()) {
    w->setAttribute(Qt::WA_DeleteOnClose, true);
    w->close();
  }
}
