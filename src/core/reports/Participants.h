#pragma once

#include <QString>

namespace reports {

// The name a report shows for a result or answer row. The virtual remote "0-0"
// keeps the typed name in KAYITNO as "name|surname"; a remote without a student
// shows its address as the name.
struct PersonName {
  QString adi;
  QString soyadi;
  QString full() const;  // "ADI SOYADI" (one of them when the other is empty)
};
PersonName displayName(const QString& address, const QString& kayitNo, const QString& adi,
                       const QString& soyadi);

// Who a row of the run belongs to, for grouping answers by person: the student's
// key, or, for a remote without a student, the remote (unpaired remotes share the
// empty key and must never be counted as one person).
QString participantKey(const QString& address, const QString& kayitNo);

}  // namespace reports
