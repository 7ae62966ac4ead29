#include "shell/ButtonBar.h"

#include <QEvent>
#include <QKeyEvent>
#include <QToolButton>

#include <algorithm>

#include "framework/ScreenRegistry.h"

namespace shell {

namespace {

constexpr int kMargin = 8;
constexpr int kSpacing = 6;

// The pressed caption colour was kept as the Windows colour number 12582912
// (0x00C00000: blue C0, green 0, red 0), a dark blue.
const QColor kPressedColour(0x00, 0x00, 0xC0);

const char* const kStyle = R"(
#ButtonBar { background: #e8edf4; border-right: 1px solid #c3ccd9; }
#ButtonBar QToolButton {
  background: #ffffff; border: 1px solid #b9c4d4; border-radius: 6px;
  padding: 4px 12px; font-size: 12pt; text-align: left; color: #000000;
}
#ButtonBar QToolButton:hover { background: #f2f6fb; border-color: #8aa2c4; }
#ButtonBar QToolButton:checked {
  background: #dce6f5; border: 2px solid #0000c0; color: #0000c0;
}
#ButtonBar QToolButton:focus { border: 2px solid #3d7bd9; }
#ButtonBar QToolButton:disabled { background: #eef1f5; border-color: #d3d9e2; color: #9aa3ae; }
)";

}  // namespace

ButtonBar::ButtonBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ButtonBar"));
  setAttribute(Qt::WA_StyledBackground);
  setStyleSheet(QString::fromLatin1(kStyle));
  for (int i = 0; i < kButtonCount; ++i) {
    auto* b = new QToolButton(this);
    b->setObjectName(QStringLiteral("cmdMenu_%1").arg(i));
    b->setCheckable(true);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setCursor(Qt::PointingHandCursor);
    b->installEventFilter(this);
    b->hide();
    // The bar decides the pressed look itself, after the screen has opened.
    connect(b, &QToolButton::clicked, this, [this, i] {
      m_buttons[static_cast<size_t>(i)]->setChecked(i == m_pressed);
      emit cmdMenuClicked(i);
    });
    m_buttons[static_cast<size_t>(i)] = b;
  }
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

QToolButton* ButtonBar::button(int index) const {
  if (index < 0 || index >= kButtonCount) return nullptr;
  return m_buttons[static_cast<size_t>(index)];
}

void ButtonBar::setEntry(const framework::ScreenEntry& entry) {
  QToolButton* b = button(entry.index);
  if (!b) return;
  b->setText(entry.caption);
  b->setToolTip(framework::ScreenRegistry::tooltipFor(entry));
  b->setAccessibleName(entry.caption);
}

void ButtonBar::setButtonShown(int index, bool shown) {
  if (index < 0 || index >= kButtonCount) return;
  m_shown[static_cast<size_t>(index)] = shown;
  button(index)->setVisible(shown);
}

bool ButtonBar::buttonShown(int index) const {
  return index >= 0 && index < kButtonCount && m_shown[static_cast<size_t>(index)];
}

QList<int> ButtonBar::shownButtons() const {
  QList<int> out;
  for (int i = 0; i < kButtonCount; ++i)
    if (m_shown[static_cast<size_t>(i)]) out << i;
  return out;
}

void ButtonBar::setPressed(int index) {
  m_pressed = index;
  for (int i = 0; i < kButtonCount; ++i) {
    QToolButton* b = button(i);
    const bool on = i == index;
    b->setChecked(on);
    QFont f = b->font();
    f.setUnderline(on);
    b->setFont(f);
    QPalette p = b->palette();
    p.setColor(QPalette::ButtonText, on ? kPressedColour : QColor(Qt::black));
    b->setPalette(p);
  }
}

void ButtonBar::layoutButtons() {
  const QList<int> shown = shownButtons();
  if (shown.isEmpty()) return;
  const int n = static_cast<int>(shown.size());
  const int available = height() - 2 * kMargin - (n - 1) * kSpacing;
  const int h = std::clamp(available / n, kMinButtonHeight, kMaxButtonHeight);
  int y = kMargin;
  for (int i : shown) {
    button(i)->setGeometry(kMargin, y, width() - 2 * kMargin, h);
    y += h + kSpacing;
  }
}

QSize ButtonBar::sizeHint() const { return {220, 640}; }

QSize ButtonBar::minimumSizeHint() const {
  const int n = std::max(1, static_cast<int>(shownButtons().size()));
  return {180, 2 * kMargin + n * kMinButtonHeight + (n - 1) * kSpacing};
}

void ButtonBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutButtons();
}

bool ButtonBar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (auto* b = qobject_cast<QToolButton*>(watched)) {
      b->click();
      return true;
    }
  }
  if (key != Qt::Key_Up && key != Qt::Key_Down) return QWidget::eventFilter(watched, event);
  const QList<int> shown = shownButtons();
  qsizetype at = -1;
  for (qsizetype k = 0; k < shown.size(); ++k)
    if (button(shown.at(k)) == watched) at = k;
  if (at < 0 || shown.isEmpty()) return false;
  const qsizetype next = (at + (key == Qt::Key_Down ? 1 : shown.size() - 1)) % shown.size();
  button(shown.at(next))->setFocus(Qt::TabFocusReason);
  return true;
}

}  // namespace shell
