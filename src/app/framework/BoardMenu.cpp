#include "framework/BoardMenu.h"

#include <QActionGroup>
#include <QMenu>

#include "Messages.h"
#include "board/BoardSettings.h"
#include "framework/TouchSupport.h"

namespace framework {

QMenu* addBoardMenu(QMenu* parent, Messages& messages, std::function<bool()> mayChange) {
  QMenu* menu = parent->addMenu(QStringLiteral("Tahta"));
  menu->setObjectName(QStringLiteral("mnuTahta"));
  QAction* touch = menu->addAction(QStringLiteral("Dokunmatik tahta"));
  touch->setObjectName(QStringLiteral("mnuDokunmatikTahta"));
  touch->setCheckable(true);
  QMenu* keyboardMenu = menu->addMenu(QStringLiteral("Ekran klavyesi"));
  keyboardMenu->setObjectName(QStringLiteral("mnuEkranKlavyesi"));
  auto* keyboards = new QActionGroup(keyboardMenu);
  for (board::KeyboardMode mode :
       {board::KeyboardMode::Automatic, board::KeyboardMode::Always, board::KeyboardMode::Never}) {
    QAction* a = keyboards->addAction(board::BoardSettings::keyboardCaption(mode));
    a->setCheckable(true);
    a->setData(int(mode));
    a->setObjectName(QStringLiteral("mnuEkranKlavyesi_%1").arg(int(mode)));
    keyboardMenu->addAction(a);
  }
  // The ticks show what is stored each time the menu opens.
  QObject::connect(menu, &QMenu::aboutToShow, menu, [touch, keyboards] {
    const board::BoardSettings s = board::BoardSettings::load(TouchSupport::touchScreenPresent());
    touch->setChecked(s.touchBoard);
    for (QAction* a : keyboards->actions()) a->setChecked(a->data().toInt() == int(s.keyboard));
  });
  QObject::connect(touch, &QAction::triggered, menu, [touch, mayChange](bool on) {
    if (!mayChange()) {
      touch->setChecked(!on);
      return;
    }
    board::BoardSettings s = board::BoardSettings::load(TouchSupport::touchScreenPresent());
    s.touchBoard = on;
    s.save();
    if (TouchSupport* support = TouchSupport::instance()) support->setTouchBoard(on);
  });
  QObject::connect(
      keyboards, &QActionGroup::triggered, menu, [&messages, mayChange](QAction* chosen) {
        if (!mayChange()) return;
        board::BoardSettings s = board::BoardSettings::load(TouchSupport::touchScreenPresent());
        const auto mode = board::KeyboardMode(chosen->data().toInt());
        if (mode == s.keyboard) return;
        s.keyboard = mode;
        s.save();
        messages.info(
            QStringLiteral("Ekran klavyesi ayarı Derslik yeniden açıldığında geçerli olur."));
      });
  return menu;
}

}  // namespace framework
