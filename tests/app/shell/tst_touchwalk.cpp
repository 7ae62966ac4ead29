// Every screen of the bar and the menu on a 65-inch board, at 1920×1080 and at
// 3840×2160, with "Dokunmatik tahta" on: no control a finger aims at is smaller
// than the board's least target, and no two of them overlap.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTabBar>
#include <QtTest>

#include <cmath>
#include <memory>

#include "InstalledSchool.h"
#include "TempDataFolder.h"
#include "TestSchool.h"
#include "board/BoardSettings.h"
#include "framework/TouchSupport.h"
#include "framework/frmSanalKumanda.h"
#include "school/DemoSchool.h"
#include "shell/ButtonBar.h"
#include "shell/MDIForm1.h"
#include "shell/MainMenuController.h"
#include "store/Store.h"

namespace {

// The board's least target from what a 65-inch panel of that width reports.
int targetOn65Inches(int widthPixels) {
  const double widthInches = 65.0 * 16.0 / std::sqrt(16.0 * 16.0 + 9.0 * 9.0);
  return board::minimumTargetPixels(widthPixels / widthInches, 1.0);
}

bool isTarget(const QWidget* w) {
  const QWidget* parent = w->parentWidget();
  // Parts of a control (a combo's text, a tab bar's arrows, a table's corner)
  // are measured with their control.
  if (qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent) ||
      qobject_cast<const QTabBar*>(parent) || qobject_cast<const QAbstractScrollArea*>(parent) ||
      qobject_cast<const QMdiSubWindow*>(parent))
    return false;
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QLineEdit*>(w);
}

QString nameOf(const QWidget* w) {
  QString text;
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
  return QStringLiteral("%1 %2 \"%3\"")
      .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName(), text);
}

// What a finger meets on `root`, as problems in words.
QStringList fingerProblems(QWidget* root, int target) {
  QStringList problems;
  QList<QPair<QWidget*, QRect>> targets;
  const QList<QWidget*> all = root->findChildren<QWidget*>();
  for (QWidget* w : all) {
    if (!w->isVisible() || w->visibleRegion().isEmpty()) continue;
    if (auto* view = qobject_cast<QAbstractItemView*>(w);
        view && view->model() && view->model()->rowCount(view->rootIndex()) > 0) {
      const QRect row = view->visualRect(view->model()->index(0, 0, view->rootIndex()));
      if (row.isValid() && row.height() < target)
        problems << QStringLiteral("%1: row %2 px").arg(nameOf(w)).arg(row.height());
    }
    if (auto* header = qobject_cast<QHeaderView*>(w);
        header && header->orientation() == Qt::Horizontal && header->height() < target)
      problems << QStringLiteral("%1: header %2 px").arg(nameOf(w)).arg(header->height());
    if (auto* tabs = qobject_cast<QTabBar*>(w))
      for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabRect(i).height() < target)
          problems << QStringLiteral("%1: tab %2 px")
                          .arg(tabs->tabText(i))
                          .arg(tabs->tabRect(i).height());
    if (!isTarget(w)) continue;
    if (w->width() < target || w->height() < target)
      problems << QStringLiteral("%1: %2×%3").arg(nameOf(w)).arg(w->width()).arg(w->height());
    const QRect seen = w->visibleRegion().boundingRect().translated(w->mapToGlobal(QPoint()));
    targets << qMakePair(w, seen);
  }
  for (int i = 0; i < targets.size(); ++i)
    for (int j = i + 1; j < targets.size(); ++j) {
      QWidget* a = targets.at(i).first;
      QWidget* b = targets.at(j).first;
      if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
      if (targets.at(i).second.intersects(targets.at(j).second))
        problems << QStringLiteral("%1 overlaps %2").arg(nameOf(a), nameOf(b));
    }
  return problems;
}

}  // namespace

class TestTouchWalk : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDataFolder> m_dir;
  std::unique_ptr<MDIForm1> m_window;
  QStringList m_dialogProblems;
  int m_target = 0;

  store::Store& store() { return m_dir->store(); }

 private slots:
  void initTestCase() { framework::TouchSupport::install(*qApp); }
  void init() {
    QVERIFY(TempDataFolder::renew(m_dir, false));
    QVERIFY(store().open().ok());
    QVERIFY(testsupport::installedSchool(store()).ok());
    QVERIFY(school::createDemoSchool(store()).ok());
    store().close();
    MDIForm1::Options options;
    options.messages = &m_dir->messages();
    m_window = std::make_unique<MDIForm1>(store(), options);
    m_window->setModalRunner([this](QDialog& d) {
      d.show();
      m_dialogProblems << fingerProblems(&d, m_target);
      return int(QDialog::Rejected);
    });
    QVERIFY(m_window->MDIForm1_Load());
  }
  void cleanup() {
    m_window.reset();
    m_dir.reset();
    framework::TouchSupport::instance()->setTouchBoard(false);
  }

  void everyScreenTakesAFinger_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("1920×1080") << QSize(1920, 1080);
    QTest::newRow("3840×2160") << QSize(3840, 2160);
  }
  void everyScreenTakesAFinger() {
    QFETCH(QSize, size);
    m_target = targetOn65Inches(size.width());
    framework::TouchSupport::instance()->setTouchBoard(true, m_target);
    m_window->showNormal();
    m_window->resize(size);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTRY_COMPARE(m_window->size(), size);
    QStringList problems;
    auto walk = [&](QWidget* root, const QString& where) {
      QTest::qWait(10);
      for (const QString& p : fingerProblems(root, m_target))
        problems << where + QStringLiteral(": ") + p;
    };
    // The window's own controls: the bar, the menus' bar, the status bar, the home page.
    walk(m_window.get(), QStringLiteral("Ana Sayfa"));
    // Each screen in the room the window gives it.
    shell::MainMenuController* menu = m_window->mainMenu();
    const QSize room = m_window->mdiArea()->size();
    QVERIFY(room.width() > size.width() * 3 / 4);
    for (int i = 0; i < shell::ButtonBar::kButtonCount; ++i) {
      if (!menu->registry().has(i)) continue;
      std::unique_ptr<QWidget> screen(menu->registry().entry(i).factory(nullptr));
      screen->resize(room);
      screen->show();
      QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
      const QString name = menu->registry().entry(i).windowName;
      walk(screen.get(), name);
      // Every page of a screen with tabs.
      for (QTabWidget* tabs : screen->findChildren<QTabWidget*>()) {
        for (int t = 1; t < tabs->count(); ++t) {
          tabs->setCurrentIndex(t);
          walk(screen.get(), name + QLatin1Char('/') + tabs->tabText(t));
        }
        tabs->setCurrentIndex(0);
      }
    }
    // The menu's windows.
    m_dialogProblems.clear();
    m_window->findChild<QAction*>(QStringLiteral("mnuKurumBilgileri"))->trigger();
    for (const QString& p : m_dialogProblems) problems << QStringLiteral("Kurum Bilgileri: ") + p;
    m_window->openVirtualRemote();
    QTRY_VERIFY(m_window->virtualRemote() && m_window->virtualRemote()->isVisible());
    for (const QString& p : fingerProblems(m_window->virtualRemote(), m_target))
      problems << QStringLiteral("Sanal Kumanda: ") + p;
    m_window->virtualRemote()->close();
    problems.removeDuplicates();
    for (const QString& p : problems) qInfo("%s", qPrintable(p));
    QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("%1 problems").arg(problems.size())));
  }
};

QTEST_MAIN(TestTouchWalk)
#include "tst_touchwalk.moc"
