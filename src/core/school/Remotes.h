#pragma once

#include <QRegularExpression>
#include <QString>

namespace school {

// Rules about a remote that more than one part of Derslik applies. SQL reaches
// the same functions through OGRETMENMI() (store/SqlFunctions), so no query keeps
// a second copy of a rule.
namespace remotes {

// A teacher remote is one whose OGRETMENKUMANDASI is "1"; anything else (empty,
// "0", an old "True") is a student remote. SQL: OGRETMENMI(OGRETMENKUMANDASI).
inline bool isTeacherFlag(const QString& flag) { return flag.trimmed() == QLatin1String("1"); }
// What OGRETMENKUMANDASI holds for a teacher / student remote.
inline QString teacherFlag(bool teacher) {
  return teacher ? QStringLiteral("1") : QStringLiteral("0");
}

// "12-201": two numbers 0-255 joined by a hyphen.
inline bool validAddress(const QString& address) {
  static const QRegularExpression re(QStringLiteral("^(\\d{1,3})-(\\d{1,3})$"));
  const QRegularExpressionMatch m = re.match(address);
  return m.hasMatch() && m.captured(1).toInt() <= 255 && m.captured(2).toInt() <= 255;
}

// A student answering from a browser without a paired remote answers under
// "900-KAYITNO": the first number lies beyond any radio address (0-255), so it
// never meets a remote's, and the same student keeps the same address from run
// to run (their reports and progress stay continuous). Reports show it as
// "Tarayıcı".
inline QString browserAddress(const QString& kayitNo) {
  return QStringLiteral("900-") + kayitNo.trimmed();
}
inline bool isBrowserAddress(const QString& address) {
  return address.startsWith(QLatin1String("900-"));
}
// The student a browser address stands for (empty for any other address).
// SQL: TARAYICIOGRENCISI(KUMANDAADRESI).
inline QString browserKayitNo(const QString& address) {
  return isBrowserAddress(address) ? address.mid(4) : QString();
}
inline QString browserLabel() { return QStringLiteral("Tarayıcı"); }

}  // namespace remotes
}  // namespace school
