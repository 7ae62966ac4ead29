#include "screens/game/BoardLook.h"

#include <QPushButton>
#include <QShortcut>

#include <algorithm>

namespace gameui {

int boardUnit(const QWidget* window) {
  return std::max(12, std::min(window->width() / 60, window->height() / 34));
}

void setPixelFont(QWidget* widget, int pixels, bool bold) {
  QFont f = widget->font();
  f.setPixelSize(pixels);
  f.setBold(bold);
  widget->setFont(f);
}

QPushButton* boardButton(const QString& name, const QString& caption, const QString& colours,
                         QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  b->setFocusPolicy(Qt::NoFocus);
  b->setStyleSheet(
      QStringLiteral("QPushButton{%1;border-radius:8px;padding:6px 22px;font-weight:bold;}")
          .arg(colours));
  return b;
}

void closeOnEscape(QWidget* window) {
  auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  QObject::connect(esc, &QShortcut::activated, window, &QWidget::close);
}

}  // namespace gameui
