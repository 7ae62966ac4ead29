#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "curriculum/CurriculumFilter.h"

namespace authoring {

// One row of TABLESORU as the question screens edit it. Every value is text as
// stored; a list left unchosen is stored empty (older rows may hold "TÜMÜ",
// which every search reads as "any", like empty).
struct Question {
  QString soruNo;      // SORUNO
  QString seviye;      // SEVIYE (level); the survey level of a survey question
  QString ders;        // DERS (course)
  QString unite;       // UNITE (unit); the survey topic of a survey question
  QString konu;        // KONU (topic)
  QString kazanim;     // KAZANIM (learning outcome)
  QString soruIcerik;  // SORUICERIK: the text of a typed or imported question
  QString dogruSik;    // DOGRUSIK: "A" .. "E"; empty for a survey question
  QString turu;        // TURU (type)
  QString zorluk;      // ZORLUK (difficulty)
  QString puan;        // PUAN (points)
  QString sure;        // SURE: seconds, or "Süresiz"
  QString sesDosyasi;  // SESDOSYASI: "Sesler/<SORUNO><ext>" inside the data folder, or empty
  QString aciklama;    // ACIKLAMA (note)
  bool anket = false;  // ANKETSORUSUMU "True" / "False"
  QString cozumVideo;  // COZUMVIDEO: "Videolar/<SORUNO><ext>", or empty
  QString silindimi;   // SILINDIMI: "1" when deleted but kept for recorded runs

  curriculum::CurriculumFilter curriculum() const { return {seviye, ders, unite, konu, kazanim}; }
  bool operator==(const Question&) const = default;
};

// The two pictures of a question as stored in the content stores (SORU, COZUM):
// the bytes of an image file (JPEG or PNG); empty when the question has none.
struct QuestionPictures {
  QByteArray question;
  QByteArray solution;
};

// A value as a column keeps it: an empty text, never NULL (lists compare with '').
inline QString stored(const QString& value) { return value.isNull() ? QStringLiteral("") : value; }

// The texts every question list and rule shares.
namespace texts {
inline const QString kSuresiz = QStringLiteral("Süresiz");
inline const QString kTrue = QStringLiteral("True");
inline const QString kFalse = QStringLiteral("False");
// The five choices.
inline const QStringList kChoices{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                  QStringLiteral("D"), QStringLiteral("E")};
}  // namespace texts

}  // namespace authoring
