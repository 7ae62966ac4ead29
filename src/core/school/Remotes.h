#pragma once

#include <QRegularExpression>
#include <QString>

#include "store/BrowserAddress.h"
#include "store/TeacherFlag.h"

namespace school {

// Rules about a remote that more than one part of Derslik applies.
namespace remotes {

// OGRETMENKUMANDASI: what it holds for a teacher remote (store/TeacherFlag.h).
using store::isTeacherFlag;
using store::teacherFlag;

// "12-201": two numbers 0-255 joined by a hyphen.
inline bool validAddress(const QString& address) {
  static const QRegularExpression re(QStringLiteral("^(\\d{1,3})-(\\d{1,3})$"));
  const QRegularExpressionMatch m = re.match(address);
  return m.hasMatch() && m.captured(1).toInt() <= 255 && m.captured(2).toInt() <= 255;
}

using store::browserAddress;
using store::browserKayitNo;
using store::cardAddress;
using store::isBrowserAddress;
using store::isCardAddress;

}  // namespace remotes
}  // namespace school
