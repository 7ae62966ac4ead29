#pragma once

#include <QList>
#include <QWidget>

#include <array>

class QToolButton;

namespace framework {
struct ScreenEntry;
}  // namespace framework
namespace shell {

// The vertical bar of large buttons cmdMenu(0..12) at the left of the main
// window. Shown buttons stand one under another from the top without gaps; their
// height follows the bar's height within touch-friendly limits. Up and Down move
// between buttons, Enter or Space presses one.
class ButtonBar : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kButtonCount = 13;
  static constexpr int kMinButtonHeight = 48;
  static constexpr int kMaxButtonHeight = 84;

  explicit ButtonBar(QWidget* parent = nullptr);

  QToolButton* button(int index) const;
  // Caption, tooltip (with the shortcut) and accessible name from the entry.
  void setEntry(const framework::ScreenEntry& entry);

  void setButtonShown(int index, bool shown);
  bool buttonShown(int index) const;
  QList<int> shownButtons() const;

  // The pressed look: dark blue, pressed, underlined; every other button normal.
  void setPressed(int index);  // -1: none
  int pressed() const { return m_pressed; }

  // Places the shown buttons from the top, one under another.
  void layoutButtons();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void cmdMenuClicked(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::array<QToolButton*, kButtonCount> m_buttons{};
  std::array<bool, kButtonCount> m_shown{};
  int m_pressed = -1;
};

}  // namespace shell
