#pragma once

#include <QString>

namespace store {

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
inline QString browserKayitNo(const QString& address) {
  return isBrowserAddress(address) ? address.mid(4) : QString();
}

// A student answering with a printed card without a paired remote answers under
// "902-KAYITNO", for the same reasons; reports show it as "Kart".
inline QString cardAddress(const QString& kayitNo) {
  return QStringLiteral("902-") + kayitNo.trimmed();
}
inline bool isCardAddress(const QString& address) {
  return address.startsWith(QLatin1String("902-"));
}

// The student a browser or card address stands for (empty for a remote's).
// SQL: TARAYICIOGRENCISI(KUMANDAADRESI).
inline QString ownAddressKayitNo(const QString& address) {
  return isCardAddress(address) ? address.mid(4) : browserKayitNo(address);
}

// What a report shows for an address: "Tarayıcı" for a browser address, "Kart"
// for a card's (their number part is the student's record number, not a remote
// anyone could find).
inline QString shownAddress(const QString& address) {
  if (isBrowserAddress(address)) return QStringLiteral("Tarayıcı");
  return isCardAddress(address) ? QStringLiteral("Kart") : address;
}

}  // namespace store
