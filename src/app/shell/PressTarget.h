#pragma once

#include <QString>

namespace shell {

// A screen that takes routed presses in the second routing stage (attendance
// `frmYoklama`, the classroom game `frmOyun1`). Implement it on the screen widget
// whose objectName is the window name; the router finds it by that name.
class PressTarget {
 public:
  virtual ~PressTarget() = default;
  virtual void takePress(const QString& address, const QString& button) = 0;
};

}  // namespace shell
