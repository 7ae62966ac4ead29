#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QApplication;
class QToolButton;
class QWidget;

namespace help {
class HelpIndex;
}

namespace framework {

// Help for every screen through one mechanism: a screen is a widget whose
// objectName names a help page. When it is shown it gets the "?" button in its
// top right corner (in a strip of its own, so that it covers nothing), and F1
// anywhere opens the page of the screen it was pressed in.
class ScreenHelp : public QObject {
  Q_OBJECT
 public:
  static constexpr int kButtonSize = 44;
  static constexpr int kStrip = kButtonSize + 8;

  // Installs the mechanism on the application once.
  static void install(QApplication& app);

  // The pages compiled into the program.
  static const help::HelpIndex& index();
  // Where the pages' pictures are looked for: the installed share folder and
  // the build tree's, first found first.
  static QStringList pictureFolders();

  // The page of a widget: its own, else that of the nearest screen around it;
  // inside the main window with nothing focused, the active screen's. Empty when
  // none has a page.
  static QString pageFor(const QWidget* widget);
  // The "?" button of a screen, or null.
  static QToolButton* buttonOf(const QWidget* screen);
  // Opens the page of the widget (the contents when it has none).
  static void openFor(const QWidget* widget);

  // "İlk Ders" is offered once, on the first start of the person's Derslik:
  // `ask` says whether to open it now. True when it was opened.
  static bool offerGuideOnce(const std::function<bool()>& ask);
  static QString guideQuestion();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using QObject::QObject;
  static void addButton(QWidget* screen);
  static void placeButton(QWidget* screen);
};

}  // namespace framework
