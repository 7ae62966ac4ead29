// Help on every screen: the walk over the bar and the menu finds a page, a "?"
// in the same place and F1 on every screen it opens, and takes the pictures the
// pages show; the help window itself.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "InstalledSchool.h"
#include "TempDataFolder.h"
#include "authoring/DemoBank.h"
#include "framework/HelpWindow.h"
#include "framework/ScreenHelp.h"
#include "framework/ScreenRegistry.h"
#include "help/HelpIndex.h"
#include "school/DemoSchool.h"
#include "screens/start/frmGenelEkran.h"
#include "shell/MDIForm1.h"
#include "shell/MainMenuController.h"
#include "store/Parameters.h"
#include "store/Store.h"

using framework::HelpWindow;
using framework::ScreenHelp;

namespace {

// Menu items that open no screen of their own (or that end the program, run the
// rollover or the repair, or ask for files first).
const QStringList kNoScreen = {
    QStringLiteral("mnuCikis"),          QStringLiteral("mnuSinifAtlatma"),
    QStringLiteral("BilgileriOnar"),     QStringLiteral("mnuDosyadanSoruAl"),
    QStringLiteral("mnuDosyadanTestAl"), QStringLiteral("RaporAnimasyonu"),
    QStringLiteral("KolayMenu"),         QStringLiteral("TamMenu"),
};

QString picturesFolder() { return QStringLiteral(DERSLIK_HELP_PICTURES); }

// The picture a page names, written where the program built here finds it.
bool savePagePicture(QWidget* widget, const QString& id) {
  const QString file = QDir(picturesFolder()).filePath(QStringLiteral("resim/%1.png").arg(id));
  QDir().mkpath(QFileInfo(file).path());
  const QImage picture = widget->grab().toImage().scaledToWidth(std::min(960, widget->width()),
                                                                Qt::SmoothTransformation);
  return !picture.isNull() && picture.save(file, "PNG");
}

QList<QWidget*> visibleScreens(QMdiArea* mdi) {
  QList<QWidget*> out;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && !qobject_cast<QMenu*>(w) &&
        w->objectName() != QLatin1String("MDIForm1") &&
        w->objectName() != QLatin1String("frmYardim"))
      out << w;
  for (QMdiSubWindow* s : mdi->subWindowList())
    if (s->widget() && s->isVisible()) out << s->widget();
  return out;
}

}  // namespace

class TestHelp : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_dir;
  std::unique_ptr<MDIForm1> m_window;
  QStringList m_modals;
  QStringList m_pictures;  // the pictures this run wrote
  store::Store& store() { return m_dir->store(); }

  void closeHelp() {
    if (HelpWindow* w = HelpWindow::current()) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The page, the "?" and F1 of one screen; its picture when a page names it.
  void checkScreen(QWidget* screen, const QString& way) {
    const QString id = screen->objectName();
    const QString where = way + QStringLiteral(" → ") + id;
    QVERIFY2(ScreenHelp::index().has(id), qPrintable(QStringLiteral("no help page: ") + where));
    QToolButton* help = ScreenHelp::buttonOf(screen);
    QVERIFY2(help && help->isVisibleTo(screen), qPrintable(QStringLiteral("no \"?\": ") + where));
    // Top right, the same for every screen, and over no other control. (The
    // offscreen platform resizes a sub-window's screen unseen: it is told again.)
    // The room the "?" takes never makes a screen wider than the area it is shown in.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(screen->parentWidget()))
      QVERIFY2(screen->minimumSizeHint().width() <= sub->mdiArea()->viewport()->width(),
               qPrintable(where + QStringLiteral(" is wider than its area")));
    QResizeEvent resized(screen->size(), screen->size());
    QApplication::sendEvent(screen, &resized);
    QVERIFY2(help->geometry().topRight() == QPoint(screen->width() - 5, 4),
             qPrintable(where + QStringLiteral(": \"?\" not at the top right")));
    for (QAbstractButton* b : screen->findChildren<QAbstractButton*>()) {
      if (b == help || !b->isVisibleTo(screen)) continue;
      const QRect r(b->mapTo(screen, QPoint(0, 0)), b->size());
      QVERIFY2(!r.intersects(help->geometry()),
               qPrintable(where + QStringLiteral(" covers ") + b->objectName()));
    }
    // (The help window itself stays: its "?" and F1 show the contents in it.)
    const bool isHelp = screen == HelpWindow::current();
    if (!isHelp) closeHelp();
    help->click();
    QVERIFY(HelpWindow::current());
    QCOMPARE(HelpWindow::current()->currentPage(), id);
    if (!isHelp) closeHelp();
    // F1 wherever the focus is inside the screen.
    QWidget* inside = screen;
    for (QWidget* w : screen->findChildren<QWidget*>())
      if (w->isVisibleTo(screen) && w->focusPolicy() != Qt::NoFocus) inside = w;
    QTest::keyClick(inside, Qt::Key_F1);
    QVERIFY2(HelpWindow::current(), qPrintable(where));
    QCOMPARE(HelpWindow::current()->currentPage(), id);
    if (!isHelp) closeHelp();
    if (ScreenHelp::index().pictures().contains(QStringLiteral("resim/%1.png").arg(id)) &&
        !m_pictures.contains(id)) {
      // A screen inside the main window is shown as the teacher sees it, with the bar.
      QWidget* shown = screen->isWindow() ? screen : static_cast<QWidget*>(m_window.get());
      QVERIFY(savePagePicture(shown, id));
      m_pictures << id;
    }
  }

 private slots:
  void initTestCase() {
    ScreenHelp::install(*qApp);
    QVERIFY(TempDataFolder::renew(m_dir));
    QVERIFY(testsupport::installedSchool(store()).ok());
    QVERIFY(school::createDemoSchool(store()).ok());
    QVERIFY(authoring::createDemoBank(store()).ok());
    store().close();
    MDIForm1::Options options;
    options.messages = &m_dir->messages();
    m_window = std::make_unique<MDIForm1>(store(), options);
    m_window->setModalRunner([this](QDialog& d) {
      m_modals << d.objectName();
      d.show();
      checkScreen(&d, QStringLiteral("modal"));
      d.hide();
      return int(QDialog::Rejected);
    });
    QVERIFY(m_window->MDIForm1_Load());
    // The pictures show a board of 1280×800 whatever the offscreen screen is.
    m_window->setWindowState(Qt::WindowNoState);
    m_window->resize(1280, 800);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
  }
  void cleanupTestCase() {
    closeHelp();
    m_window.reset();
    m_dir.reset();
  }

  // Every screen of the bar and of the menu has its page, its "?" and F1; the
  // pictures the pages name are taken on the way, and a picture no screen
  // produced fails.
  void everyScreenExplainsItself() {
    checkScreen(m_window->homeScreen(), QStringLiteral("home"));
    if (QTest::currentTestFailed()) return;
    shell::MainMenuController* menu = m_window->mainMenu();
    int opened = 0;
    for (int i = 0; i < framework::ScreenRegistry::kButtonCount; ++i) {
      if (!menu->registry().has(i)) continue;
      QWidget* screen = menu->cmdMenu_Click(i);
      // The offscreen platform leaves a screen of a maximised sub-window unshown.
      if (!screen->isVisible()) screen->show();
      QVERIFY2(screen, qPrintable(menu->registry().entry(i).caption));
      QTest::qWait(10);
      checkScreen(screen, menu->registry().entry(i).caption);
      if (QTest::currentTestFailed()) return;
      ++opened;
    }
    QVERIFY(opened >= 10);
    QVERIFY(m_window->closeScreens());

    QMenu* main = m_window->findChild<QMenu*>(QStringLiteral("mnuMenu"));
    QVERIFY(main);
    for (QAction* a : main->actions()) {
      if (a->isSeparator() || a->menu() || kNoScreen.contains(a->objectName())) continue;
      if (a->objectName().startsWith(QLatin1String("mnuEkran_")) ||
          a->objectName().startsWith(QLatin1String("mnuDugme_")))
        continue;  // the bar's screens, walked above
      const QList<QWidget*> before = visibleScreens(m_window->mdiArea());
      a->trigger();
      QTest::qWait(10);
      for (QWidget* w : visibleScreens(m_window->mdiArea()))
        if (!before.contains(w)) checkScreen(w, a->text());
      if (QTest::currentTestFailed()) return;
      for (QWidget* w : visibleScreens(m_window->mdiArea()))
        if (!before.contains(w) && w->isWindow()) w->close();
      QVERIFY(m_window->closeScreens());
    }
    QVERIFY(m_modals.contains(QStringLiteral("frmKurumBilgileri")));

    HelpWindow* help = HelpWindow::open(QString::fromLatin1(help::HelpIndex::kContentsPage));
    help->resize(1280, 800);
    checkScreen(help, QStringLiteral("help"));
    QVERIFY(savePagePicture(help, QStringLiteral("frmYardim")));
    m_pictures << QStringLiteral("frmYardim");
    closeHelp();

    QStringList missing;
    for (const QString& picture : ScreenHelp::index().pictures())
      if (!QFileInfo::exists(QDir(picturesFolder()).filePath(picture)) ||
          !m_pictures.contains(QFileInfo(picture).completeBaseName()))
        missing << picture;
    QVERIFY2(missing.isEmpty(),
             qPrintable(QStringLiteral("pages name pictures no screen produced: ") +
                        missing.join(QStringLiteral(", "))));
  }

  // F1 under a modal window opens a help window that belongs to it (a window
  // outside it would take no input); the contents when nothing has a page.
  void helpUnderAModalWindow() {
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("birDiyalog"));
    auto* edit = new QLineEdit(&dialog);
    dialog.open();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(edit, Qt::Key_F1);
    QVERIFY(HelpWindow::current());
    QCOMPARE(HelpWindow::current()->parentWidget(), &dialog);
    QCOMPARE(HelpWindow::current()->currentPage(),
             QString::fromLatin1(help::HelpIndex::kContentsPage));
    closeHelp();
    dialog.close();
  }

  // Searching lists the pages with the word; a link and "Geri" move between
  // pages; a picture that is not there is left out of the page.
  void helpWindowSearchAndLinks() {
    HelpWindow* w = HelpWindow::open(QStringLiteral("frmGenelEkran"));
    w->searchBox()->setText(QStringLiteral("KUMANDA"));
    QVERIFY(w->pageList()->count() > 3);
    QVERIFY(w->pageList()->item(0)->text().contains(QStringLiteral("umanda")));
    w->searchBox()->setText(QStringLiteral("yokbukelime"));
    QCOMPARE(w->pageList()->count(), 1);
    QCOMPARE(w->pageList()->item(0)->flags(), Qt::NoItemFlags);
    emit w->browser()->anchorClicked(QUrl(QStringLiteral("frmTanimlamalar.md")));
    QCOMPARE(w->currentPage(), QStringLiteral("frmTanimlamalar"));
    emit w->browser()->anchorClicked(QUrl(QStringLiteral("https://ornek.org/")));
    QCOMPARE(w->currentPage(), QStringLiteral("frmTanimlamalar"));
    w->back();
    QCOMPARE(w->currentPage(), QStringLiteral("frmGenelEkran"));
    QVERIFY(!w->showPage(QStringLiteral("yok")));
    closeHelp();

    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("resim")));
    QImage(4, 4, QImage::Format_RGB32).save(dir.filePath(QStringLiteral("resim/var.png")));
    const QString shown = HelpWindow::withPictures(
        QStringLiteral("A ![Var](resim/var.png) B ![Yok](resim/yok.png) C"), {dir.path()});
    QVERIFY(shown.contains(QStringLiteral("](file://")));
    QVERIFY(!shown.contains(QStringLiteral("yok.png")));
    QVERIFY(shown.endsWith(QStringLiteral(" B  C")));
  }

  // The first lesson is offered once: asked and opened on the first start,
  // never asked again whatever the answer was.
  void firstLessonOfferedOnce() {
    store::UserSettings::setFile(m_dir->filePath(QStringLiteral("ilk.ini")));
    int asked = 0;
    QVERIFY(!ScreenHelp::offerGuideOnce([&asked] {
      ++asked;
      return false;
    }));
    QVERIFY(!ScreenHelp::offerGuideOnce([&asked] {
      ++asked;
      return true;
    }));
    QCOMPARE(asked, 1);
    store::UserSettings::setFile(m_dir->filePath(QStringLiteral("ikinci.ini")));
    QVERIFY(ScreenHelp::offerGuideOnce([] { return true; }));
    QCOMPARE(HelpWindow::current()->currentPage(),
             QString::fromLatin1(help::HelpIndex::kGuidePage));
    closeHelp();
  }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
