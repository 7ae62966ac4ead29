#pragma once

#include <QtTest>

#include <memory>

#include "DataFixture.h"
#include "reports/Scoring.h"
#include "store/Store.h"

// Runs written with SQL as the recording leaves them (question rows with the key,
// one answer row per remote and question), then scored by the one scorer: the
// reports read runs of any age, so their rows are given exactly, keys left empty
// and old penalty texts included.
class ReportsFixture : public DataFixture {
 public:
  struct Remote {
    QString address;
    QString kayitNo;                        // empty: a remote without a student
    QStringList answers;                    // per position; "" for no answer
    QString time = QStringLiteral("0:10");  // every answer's time
  };
  struct Run {
    reports::RunKey key{QStringLiteral("12.10.2026"), QStringLiteral("09:00:00")};
    QString end = QStringLiteral("09:40:00");
    QString testNo = QStringLiteral("12");
    QString testAdi = QStringLiteral("Kesirler");
    QString sinifi = QStringLiteral("5-A");
    QString seviye = QStringLiteral("5. SINIF");
    QString ders = QStringLiteral("MATEMATİK");
    QString penalty = QStringLiteral("0");
    QStringList keys;  // per position 1, 2, ...
    QList<Remote> remotes;
  };

  static void addStudent(const QString& kayitNo, const QString& adi, const QString& soyadi,
                         const QString& sinifi) {
    QCOMPARE(
        school().student({adi, soyadi, sinifi, QStringLiteral("5. SINIF"), kayitNo, {}, kayitNo}),
        kayitNo);
  }

  static void addRun(const Run& run) {
    for (int q = 0; q < run.keys.size(); ++q)
      QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,"
                                      "TESTBITIS,SEVIYE,SINIFI,GRUP,ACIKLAMA,TESTNO,SORUNO,"
                                      "TESTSIRANO,DOGRUSIK,YANLISDOGRUGOTURU,DERS,TESTADI) VALUES "
                                      "(?,?,?,?,?,'','',?,?,?,?,?,?,?)"),
                       {run.key.date, run.key.start, run.end, run.seviye, run.sinifi, run.testNo,
                        QStringLiteral("S%1").arg(q + 1), QString::number(q + 1), run.keys.at(q),
                        run.penalty, run.ders, run.testAdi})
                  .ok());
    for (const Remote& r : run.remotes)
      for (int q = 0; q < run.keys.size(); ++q)
        QVERIFY(db().run(QStringLiteral("INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,"
                                        "TESTBITIS,TESTNO,SORUNO,TESTSIRANO,KUMANDAADRESI,KAYITNO,"
                                        "CEVAP,CEVAPSURESI,YANLISDOGRUGOTURU) VALUES "
                                        "(?,?,?,?,?,?,?,?,?,?,?)"),
                         {run.key.date, run.key.start, run.end, run.testNo,
                          QStringLiteral("S%1").arg(q + 1), QString::number(q + 1), r.address,
                          r.kayitNo, r.answers.value(q), r.time, run.penalty})
                    .ok());
    QVERIFY(reports::Scoring(db()).rescoreRun(run.key).ok());
  }

  // "ABCD" -> {"A", "B", "C", "D"}; "-" is no answer.
  static QStringList letters(const char* text) {
    QStringList out;
    for (const QChar c : QString::fromLatin1(text))
      out << (c == QLatin1Char('-') ? QString() : QString(c));
    return out;
  }
};
