#pragma once

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
#include "authoring/Question.h"
#include "authoring/QuestionBank.h"
#include "authoring/Test.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "store/Store.h"

// A fresh data folder per test function, and the few rows the authoring tests
// build on: questions with pictures, tests, a recorded run.
class AuthoringFixture {
 public:
  void setUp() {
    QVERIFY(TempDataFolder::renew(m_dir));
    s_store = &m_dir->store();
  }
  void tearDown() {
    s_store = nullptr;
    m_dir.reset();
  }
  static store::Store& db() { return *s_store; }
  RecordedMessages& messages() { return m_dir->messages(); }
  QString path(const QString& name) const { return m_dir->filePath(name); }

  // A small picture that names what it shows.
  static QByteArray picture(const QString& text, QSize size = {240, 120},
                            const char* format = "PNG") {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.drawText(image.rect(), Qt::AlignCenter, text);
    p.end();
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    image.save(&b, format);
    return b.data();
  }

  // Adds a question through the bank; returns its key.
  static QString addQuestion(const QString& level = QStringLiteral("5. SINIF"),
                             const QString& course = QStringLiteral("MATEMATİK"),
                             const QString& unit = QStringLiteral("Kesirler"),
                             const QString& answer = QStringLiteral("A"),
                             const QString& time = QStringLiteral("30")) {
    authoring::Question q;
    q.seviye = level;
    q.ders = course;
    q.unite = unit;
    q.dogruSik = answer;
    q.sure = time;
    q.zorluk = QStringLiteral("Orta");
    const Result<QString> key =
        authoring::QuestionBank(db()).add(q, {picture(QStringLiteral("soru")), {}});
    if (!key) qWarning() << key.error();
    return key.valueOr(QString());
  }

  static QString addTest(const QString& name = QStringLiteral("Deneme")) {
    authoring::Test t;
    t.testAdi = name;
    const Result<QString> key = authoring::TestCatalog(db()).create(t);
    if (!key) qWarning() << key.error();
    return key.valueOr(QString());
  }

  // A recorded run of the test over the given questions, as the run screens
  // write it: one TABLEUYGULAMA row per question, one answer, one result row.
  static void recordRun(const QString& testNo, const QStringList& keys) {
    for (qsizetype i = 0; i < keys.size(); ++i) {
      QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEUYGULAMA (TESTTARIHI,TESTBASLANGIC,TESTNO,"
                                      "SORUNO,TESTSIRANO) VALUES ('01.10.2026','10:00:00',?,?,?)"),
                       {testNo, keys.at(i), QString::number(i + 1)}));
      QVERIFY(db().run(QStringLiteral("INSERT INTO TABLECEVAP (TESTTARIHI,TESTBASLANGIC,TESTNO,"
                                      "SORUNO,TESTSIRANO,KUMANDAADRESI,CEVAP) VALUES "
                                      "('01.10.2026','10:00:00',?,?,?,'12-201','A')"),
                       {testNo, keys.at(i), QString::number(i + 1)}));
    }
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLESONUC (TESTTARIHI,TESTBASLANGIC,TESTNO,"
                                    "KUMANDAADRESI) VALUES ('01.10.2026','10:00:00',?,'12-201')"),
                     {testNo}));
  }

  static int count(const QString& sql, const QVariantList& params = {}) {
    return db().scalar(sql, params).valueOr(-1).toInt();
  }
  static QStringList column(const QString& sql, const QVariantList& params = {}) {
    return db().column(sql, params).valueOr({});
  }
  static QString text(const QString& sql, const QVariantList& params = {}) {
    return db().scalar(sql, params).valueOr({}).toString();
  }
  // "SORUNO:TESTSIRANO" of a test in position order.
  static QStringList positions(const QString& testNo) {
    return column(QStringLiteral("SELECT SORUNO || ':' || TESTSIRANO FROM TABLETESTSORU WHERE "
                                 "TESTNO=? ORDER BY VAL(TESTSIRANO)"),
                  {testNo});
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
  static inline store::Store* s_store = nullptr;
};
