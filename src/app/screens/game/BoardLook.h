#pragma once

#include <QString>

class QPushButton;
class QWidget;

// What the game's full-screen windows share: texts that grow with the board so
// that the back row reads them, large buttons, Esc to close.
namespace gameui {

// The text unit of a board window, in pixels, from its size.
int boardUnit(const QWidget* window);
void setPixelFont(QWidget* widget, int pixels, bool bold);
// A large flat button with these colours ("background:…;color:…"), never the
// default button and never taking the focus from the window.
QPushButton* boardButton(const QString& name, const QString& caption, const QString& colours,
                         QWidget* parent);
// Esc closes the window.
void closeOnEscape(QWidget* window);

}  // namespace gameui
