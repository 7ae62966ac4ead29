#pragma once

#include <QString>

namespace school {

// A field of the student form, for a rule that points at the field to correct
// (the screen maps it to its own control).
enum class StudentField { None, Adi, Soyadi, Numarasi, Sinifi, Seviye, TcKimlik };

// One row of TABLEOGRENCI as the student form edits it.
struct Student {
  QString kayitNo;    // KAYITNO
  QString numarasi;   // NUMARASI (school number)
  QString adi;        // ADI
  QString soyadi;     // SOYADI
  QString sinifi;     // SINIFI (the class)
  QString seviye;     // SEVIYE (the level)
  QString tcKimlik;   // TCKIMLIK
  QString silindimi;  // SILINDIMI: empty, or the deletion time "dd.MM.yyyy HH:mm:ss"

  bool operator==(const Student& other) const = default;
};

}  // namespace school
