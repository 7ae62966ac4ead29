#include "users/RightFlags.h"

namespace users {

RightFlags RightFlags::all(bool allowed) {
  RightFlags f;
  f.m_flags.fill(allowed);
  return f;
}

bool RightFlags::flag(int number) const {
  if (number < 1 || number > kFlagCount) return false;
  return m_flags[static_cast<size_t>(number - 1)];
}

void RightFlags::setFlag(int number, bool allowed) {
  if (number < 1 || number > kFlagCount) return;
  m_flags[static_cast<size_t>(number - 1)] = allowed;
}

QString RightFlags::text(int number) const {
  return flag(number) ? QStringLiteral("1") : QStringLiteral("0");
}

void RightFlags::applyDenied(const QString& deniedCodes) {
  const QString denied = deniedCodes.toUpper();
  for (const Right& r : rights()) setFlag(r.flag, !denied.contains(r.code));
}

bool RightFlags::allowsCode(const QString& code) const {
  const int n = flagOf(code);
  return n > 0 && flag(n);
}

bool RightFlags::allows(const QString& key) const {
  const int n = requiredFlag(key);
  return n == 0 || flag(n);
}

QStringList RightFlags::grantedCodes() const {
  QStringList out;
  for (const Right& r : rights())
    if (flag(r.flag)) out << r.code;
  return out;
}

RightFlags initialRights(bool advancedMode, int userCount) {
  if (advancedMode && userCount > 0) return RightFlags::all(false);
  RightFlags f = RightFlags::all(true);
  f.setFlag(kFlagOnlineLesson, false);
  return f;
}

}  // namespace users
