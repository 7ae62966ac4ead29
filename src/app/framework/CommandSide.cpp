#include "framework/CommandSide.h"

#include <QPushButton>

#include "framework/TouchSupport.h"

namespace framework {

namespace {
QString switchCaption(board::CommandSide side) {
  return side == board::CommandSide::Right ? QStringLiteral("⇦ Komutları Sola Al")
                                           : QStringLiteral("Komutları Sağa Al ⇨");
}
}  // namespace

bool commandsInColumn() {
  const TouchSupport* touch = TouchSupport::instance();
  return touch && touch->touchBoard();
}

board::CommandSide commandSide() {
  return board::BoardSettings::load(TouchSupport::touchScreenPresent()).commandSide;
}

QPushButton* sideSwitchButton(QWidget* parent, std::function<void(board::CommandSide)> moved) {
  auto* b = new QPushButton(switchCaption(commandSide()), parent);
  b->setObjectName(QStringLiteral("cmdKomutTarafi"));
  b->setFocusPolicy(Qt::NoFocus);
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, b, [b, moved = std::move(moved)] {
    board::BoardSettings s = board::BoardSettings::load(TouchSupport::touchScreenPresent());
    s.commandSide = s.commandSide == board::CommandSide::Right ? board::CommandSide::Left
                                                               : board::CommandSide::Right;
    s.save();
    b->setText(switchCaption(s.commandSide));
    moved(s.commandSide);
  });
  return b;
}

QRect placeOnSide(const QRect& available, const QSize& size, board::CommandSide side) {
  // A tenth of the height above the bottom: the frame of a board is in the way
  // lower, and a short teacher cannot reach the upper half.
  const int y =
      std::max(available.top(), available.bottom() - available.height() / 10 - size.height());
  const int x =
      side == board::CommandSide::Left ? available.left() : available.right() + 1 - size.width();
  return QRect(QPoint(x, y), size);
}

}  // namespace framework
