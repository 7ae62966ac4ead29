#pragma once

#include <QString>

#include "curriculum/CurriculumFilter.h"

namespace authoring {

// One row of TABLETEST as the test screen edits it.
struct Test {
  QString testNo;                      // TESTNO
  QString testAdi;                     // TESTADI (name)
  QString hazirlayan;                  // HAZIRLAYAN (author)
  QString seviye;                      // SEVIYE
  QString ders;                        // DERS
  QString unite;                       // UNITE
  QString konu;                        // KONU
  QString kazanim;                     // KAZANIM
  QString soruSayilariniGoster{"0"};   // SORUSAYILARINIGOSTER: "0" Gösterme, "1" Göster
  QString baslangicEkraniGoster{"0"};  // BASLANGICEKRANIGOSTER: "0" Gösterme, "1" Göster
  QString bKitapcik{"0"};              // BKITAPCIK: "1" when booklet B exists
  QString cKitapcik{"0"};              // CKITAPCIK
  QString dKitapcik{"0"};              // DKITAPCIK
  QString testSirasi;                  // TESTSIRASI (kept as it came)

  curriculum::CurriculumFilter curriculum() const { return {seviye, ders, unite, konu, kazanim}; }
  bool operator==(const Test&) const = default;
};

// The count and total time of a test, as its labels show them.
struct TestSummary {
  int questions = 0;
  int seconds = 0;  // the sum of the per-test times; "Süresiz" counts 0
  // "<n> Soru"
  QString questionsText() const { return QStringLiteral("%1 Soru").arg(questions); }
  // "<s> sn", or "Süresiz" when the sum is 0
  QString timeText() const {
    return seconds > 0 ? QStringLiteral("%1 sn").arg(seconds) : QStringLiteral("Süresiz");
  }
};

// The key of free questioning; never listed, never renumbered.
inline const QString kFreeTestNo = QStringLiteral("Serbest");

}  // namespace authoring
