#pragma once

#include "DataFixture.h"

// A fresh data folder per test function, its lists empty.
class SchoolFixture : public DataFixture {
 public:
  void setUp() { DataFixture::setUp(true); }
  // Student <kayitNo> "<adi> Soyad<kayitNo>", school number "N<kayitNo>".
  static void addStudent(const QString& kayitNo, const QString& adi, const QString& sinifi,
                         const QString& seviye = QStringLiteral("5"), const QString& tc = {}) {
    QCOMPARE(school().student({adi, QStringLiteral("Soyad") + kayitNo, sinifi, seviye,
                               QStringLiteral("N") + kayitNo, tc, kayitNo}),
             kayitNo);
  }
  static void pair(const QString& address, const QString& kayitNo) {
    school().pair(address, {kayitNo});
  }
};
