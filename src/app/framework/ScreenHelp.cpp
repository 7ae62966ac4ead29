#include "framework/ScreenHelp.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QToolButton>

#include "framework/HelpWindow.h"
#include "help/HelpIndex.h"
#include "store/Parameters.h"

namespace framework {

namespace {

const QString kButtonName = QStringLiteral("cmdYardim");

const char* const kStyle = R"(
QToolButton#cmdYardim {
  background: #1f5fbf; color: white; border: none; border-radius: 22px;
  font-size: 20px; font-weight: bold;
}
QToolButton#cmdYardim:pressed { background: #153f80; }
)";

bool isScreen(const QWidget* w) {
  return w->isWindow() || qobject_cast<const QMdiSubWindow*>(w->parentWidget());
}

// The width a screen is given: the screen area of the main window, or the
// display for a window of its own.
int roomFor(const QWidget* screen) {
  if (const auto* sub = qobject_cast<const QMdiSubWindow*>(screen->parentWidget()))
    if (const QMdiArea* area = sub->mdiArea()) return area->viewport()->width();
  if (const QScreen* display = screen->screen()) return display->availableGeometry().width();
  return QWIDGETSIZE_MAX;
}

}  // namespace

void ScreenHelp::install(QApplication& app) {
  static ScreenHelp* installed = nullptr;
  if (installed) return;
  installed = new ScreenHelp(&app);
  app.installEventFilter(installed);
}

const help::HelpIndex& ScreenHelp::index() {
  static const help::HelpIndex pages = help::HelpIndex::builtIn();
  return pages;
}

QStringList ScreenHelp::pictureFolders() {
  // Installed: <prefix>/bin/derslik and <prefix>/share/derslik/yardim; built:
  // build/src/app/derslik and build/yardim (the tests write the pictures there).
  const QDir program(QCoreApplication::applicationDirPath());
  QStringList out;
  for (const QString& relative :
       {QStringLiteral("../share/derslik/yardim"), QStringLiteral("../../yardim"),
        QStringLiteral("../../../yardim")}) {
    const QString folder = QDir::cleanPath(program.filePath(relative));
    if (QDir(folder).exists()) out << folder;
  }
  return out;
}

QString ScreenHelp::pageFor(const QWidget* widget) {
  const help::HelpIndex& pages = index();
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    if (pages.has(w->objectName())) return w->objectName();
    if (w->isWindow()) {
      // The main window itself (its menu, its bar): the screen in front.
      if (const auto* area = w->findChild<QMdiArea*>()) {
        if (const QMdiSubWindow* active = area->activeSubWindow(); active && active->widget())
          return pageFor(active->widget());
      }
    }
  }
  return {};
}

QToolButton* ScreenHelp::buttonOf(const QWidget* screen) {
  return screen ? screen->findChild<QToolButton*>(kButtonName, Qt::FindDirectChildrenOnly)
                : nullptr;
}

void ScreenHelp::openFor(const QWidget* widget) {
  const QString page = pageFor(widget);
  HelpWindow::open(page.isEmpty() ? QString::fromLatin1(help::HelpIndex::kContentsPage) : page);
}

QString ScreenHelp::guideQuestion() {
  return QStringLiteral(
      "Derslik'i ilk kez açtınız. Boş bir okuldan sınıfın ilk soruyu cevaplamasına kadar "
      "adım adım giden \"İlk Ders\" rehberini şimdi açalım mı?\n\nRehber her zaman Yardım "
      "penceresinde (? düğmesi ya da F1) \"İlk Ders\" düğmesindedir.");
}

bool ScreenHelp::offerGuideOnce(const std::function<bool()>& ask) {
  const QString section = QStringLiteral("Yardim");
  const QString key = QStringLiteral("IlkDersSunuldu");
  if (store::UserSettings::getBool(section, key, false)) return false;
  store::UserSettings::setBool(section, key, true);
  if (!ask()) return false;
  HelpWindow::open(QString::fromLatin1(help::HelpIndex::kGuidePage));
  return true;
}

void ScreenHelp::addButton(QWidget* screen) {
  auto* b = new QToolButton(screen);
  b->setObjectName(kButtonName);
  b->setText(QStringLiteral("?"));
  b->setToolTip(QStringLiteral("Bu ekranın yardımı (F1)"));
  b->setAccessibleName(QStringLiteral("Yardım"));
  b->setFocusPolicy(Qt::NoFocus);
  b->setCursor(Qt::PointingHandCursor);
  b->setFixedSize(kButtonSize, kButtonSize);
  b->setStyleSheet(QString::fromLatin1(kStyle));
  // A strip of its own at the right, where the screen's layout keeps clear of
  // it; a screen that needs all its width (at 1280 pixels) gives a strip at the
  // top instead, the button staying in the corner.
  const QMargins m = screen->contentsMargins();
  const bool side = screen->minimumSizeHint().width() + kStrip <= roomFor(screen);
  screen->setContentsMargins(m.left(), m.top() + (side ? 0 : kStrip),
                             m.right() + (side ? kStrip : 0), m.bottom());
  connect(b, &QToolButton::clicked, b, [screen] { openFor(screen); });
  placeButton(screen);
  b->show();
}

void ScreenHelp::placeButton(QWidget* screen) {
  if (QToolButton* b = buttonOf(screen)) {
    b->move(screen->width() - kButtonSize - 4, 4);
    b->raise();
  }
}

bool ScreenHelp::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Resize: {
      if (!watched->isWidgetType()) break;
      auto* w = static_cast<QWidget*>(watched);
      if (!index().has(w->objectName()) || !isScreen(w)) break;
      if (!buttonOf(w)) {
        if (event->type() == QEvent::Show) addButton(w);
      } else {
        placeButton(w);
      }
      break;
    }
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) break;
      if (!watched->isWidgetType()) break;
      openFor(static_cast<QWidget*>(watched));
      return true;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace framework
