#pragma once

#include <QString>
#include <QStringList>

#include <array>

#include "users/Rights.h"

namespace users {

// The 23 right flags of the main window ("1" allowed, "0" not), numbered from 1.
class RightFlags {
 public:
  RightFlags() = default;  // every flag "0"
  static RightFlags all(bool allowed);

  bool flag(int number) const;
  void setFlag(int number, bool allowed);
  // "1" or "0", as the flags were always kept.
  QString text(int number) const;

  // Applies a user's denied codes ("-105M-109M"): every flag bound to a code
  // becomes "0" when the text contains the code, "1" otherwise. Flags that no
  // code is bound to keep their value.
  void applyDenied(const QString& deniedCodes);

  bool allowsCode(const QString& code) const;
  // True when the screen or action `key` needs no right or its flag is "1".
  bool allows(const QString& key) const;
  // The codes whose flag is "1", in code order.
  QStringList grantedCodes() const;

  bool operator==(const RightFlags& other) const = default;

 private:
  std::array<bool, kFlagCount> m_flags{};
};

// The flags at start-up. With the advanced mode on and at least one user
// stored, nothing is allowed until somebody logs in. Without the advanced mode
// everything is allowed except flag 12. The advanced mode without any user is
// treated as no advanced mode: nobody could log in, and with every flag "0" the
// advanced-mode screen could not even be reached to switch it off again.
RightFlags initialRights(bool advancedMode, int userCount);

}  // namespace users
