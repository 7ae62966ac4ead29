#pragma once

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <memory>

#include "DataFixture.h"
#include "authoring/Question.h"
#include "authoring/QuestionBank.h"
#include "authoring/Test.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "store/Store.h"

// A fresh data folder per test function, and the few rows the authoring tests
// build on: questions with pictures, tests, a recorded run.
class AuthoringFixture : public DataFixture {
 public:
  // A small picture that names what it shows.
  static QByteArray picture(const QString& text, QSize size = {240, 120},
                            const char* format = "PNG") {
    return TestSchool::picture(text, size, format);
  }

  // Adds a question through the bank; returns its key.
  static QString addQuestion(const QString& level = QStringLiteral("5. SINIF"),
                             const QString& course = QStringLiteral("MATEMATİK"),
                             const QString& unit = QStringLiteral("Kesirler"),
                             const QString& answer = QStringLiteral("A"),
                             const QString& time = QStringLiteral("30")) {
    authoring::Question q = TestSchool::newQuestion(answer);
    q.seviye = level;
    q.ders = course;
    q.unite = unit;
    q.sure = time;
    q.zorluk = QStringLiteral("Orta");
    return school().question(q, picture(QStringLiteral("soru")));
  }

  static QString addTest(const QString& name = QStringLiteral("Deneme")) {
    authoring::Test t;
    t.testAdi = name;
    const Result<QString> key = authoring::TestCatalog(db()).create(t);
    if (!key) qWarning() << key.error();
    return key.valueOr(QString());
  }

  // A recorded run of the test over the given questions: remote 12-201 answered A.
  static void recordRun(const QString& testNo, const QStringList& keys) {
    TestSchool::Run run;
    run.testNo = testNo;
    run.questions = keys;
    run.answers = {{QStringLiteral("12-201"), QString(keys.size(), QLatin1Char('A'))}};
    school().run(run);
  }

  // "SORUNO:TESTSIRANO" of a test in position order.
  static QStringList positions(const QString& testNo) {
    return column(QStringLiteral("SELECT SORUNO || ':' || TESTSIRANO FROM TABLETESTSORU WHERE "
                                 "TESTNO=? ORDER BY VAL(TESTSIRANO)"),
                  {testNo});
  }
};
