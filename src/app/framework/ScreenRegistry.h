#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QWidget;

namespace framework {

// Makes a screen for the main window; `parent` is null (the MDI area adopts it).
using ScreenFactory = std::function<QWidget*(QWidget* parent)>;

// One button of the bar (cmdMenu index) and the screen it opens.
struct ScreenEntry {
  int index = -1;
  QString windowName;  // the screen's class name and objectName
  QString caption;     // button and menu text
  QString rightKey;    // key for users::requiredFlag(); empty: no right test
  QKeySequence shortcut;
  ScreenFactory factory;  // empty until the screen is built and registered
};

// The screens of the main bar, by cmdMenu index (0..12). Every index has its
// window name, caption, right and shortcut from the start; a screen becomes
// available, and its button and menu item appear, when its area registers a
// factory. Each area does that in one function of its own, called once by the
// main window (schoolui::registerSchoolScreens, usersui::registerUserScreens):
//
//   void registerBankScreens(framework::ScreenRegistry& registry, const ScreenContext& context) {
//     registry.registerScreen(2, [context](QWidget* parent) {
//       return new frmSoruHazirlama(context, parent);
//     });
//   }
class ScreenRegistry : public QObject {
  Q_OBJECT
 public:
  static constexpr int kButtonCount = 13;

  explicit ScreenRegistry(QObject* parent = nullptr);

  void registerScreen(int index, ScreenFactory factory);
  // Replaces caption or shortcut as well (the factory must be set).
  void registerScreen(const ScreenEntry& entry);

  bool has(int index) const;
  // The entry of any index 0..12, registered or not.
  const ScreenEntry& entry(int index) const;
  bool needsRight(int index) const { return !entry(index).rightKey.isEmpty(); }

  // "Soru Hazırlama (Ctrl+3)": the text of a button's tooltip.
  static QString tooltipFor(const ScreenEntry& entry);

 signals:
  void changed();

 private:
  std::array<ScreenEntry, kButtonCount> m_entries;
};

}  // namespace framework
