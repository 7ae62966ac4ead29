#pragma once

#include <QElapsedTimer>
#include <QSqlRecord>
#include <QtTest>

#include <algorithm>
#include <functional>

#include "RunFixture.h"
#include "delivery/JournalSender.h"
#include "store/ServerAddress.h"

// Runs of one scripted class on a 20-question test, recorded straight into the
// database or through a board's journal, and the reads that compare them.
class JournalFixture : public RunFixture {
 public:
  static constexpr int kQuestions = 20;
  // Rows one run writes: each question, and 5 and 4 again as the teacher goes back.
  static constexpr int kRows = kQuestions + 2;

  // Test 7 with 20 keyed questions, a teacher remote and a class of six.
  QStringList prepareSchool() {
    QString keys;
    for (int q = 0; q < kQuestions; ++q) keys += QStringLiteral("ABCDE").at((q * 3) % 5);
    addTest(QStringLiteral("7"), keys);
    addTeacherRemote();
    return addClass(QStringLiteral("5-A"), 6);
  }

  static store::ServerLogin login(const QString& url) {
    const Result<store::ServerAddress> address = store::ServerAddress::parse(url);
    if (!address) qWarning("%s", qPrintable(address.error()));
    return {address.valueOr({}), QString()};
  }

  // The whole run, every remote answering by the same script each time (some stay
  // silent), the teacher going back from question 5 to 4 and on again;
  // `before(q)` runs before question q is answered. The slowest question change
  // is kept in slowestChangeMs.
  reports::RunKey play(const QStringList& remotes,
                       const std::function<void(int question)>& before = {}) {
    delivery::RunPlan p = plan(QStringLiteral("7"), remotes);
    p.settings.reportAtEnd = true;
    messages().setDefaultAnswer(Messages::Answer::Yes);
    delivery::RunSession& run = open(p);
    throughCountdown();
    slowestChangeMs = 0;
    revisitShowedAnswers = false;
    for (int q = 1; q <= kQuestions; ++q) {
      if (before) before(q);
      if (q == 5) {
        (void)run.trigger(delivery::RunSession::Command::Previous);
        revisitShowedAnswers = run.position() == 4 && run.counts().answered > 0;
        (void)run.trigger(delivery::RunSession::Command::Next);
      }
      for (int i = 0; i < remotes.size(); ++i) {
        wait(1000);
        const QChar c = QStringLiteral("ABCDE-").at((q * 7 + i * 3) % 6);
        if (c != QLatin1Char('-')) press(remotes.at(i), QString(c));
      }
      QElapsedTimer t;
      t.start();
      if (!run.trigger(delivery::RunSession::Command::Next)) qWarning("question %d stays", q);
      slowestChangeMs = std::max(slowestChangeMs, t.elapsed());
    }
    finalStatistics = run.finalStatistics();
    (void)run.trigger(delivery::RunSession::Command::Next);
    return run.runKey();
  }

  // The run's results and answers without its start, end and row numbers: equal
  // for two runs of the same script.
  static QStringList results(const reports::RunKey& key) {
    return rows(QStringLiteral("SELECT * FROM TABLESONUC WHERE TESTTARIHI=? AND TESTBASLANGIC=?"),
                key,
                {QStringLiteral("TESTBASLANGIC"), QStringLiteral("TESTBITIS"),
                 QStringLiteral("ID#"), QStringLiteral("ID"), QStringLiteral("ROWID")});
  }
  static QStringList answers(const reports::RunKey& key) {
    return rows(QStringLiteral("SELECT TESTSIRANO,KUMANDAADRESI,CEVAP,CEVAPSURESI,KAYITNO,"
                               "SORUNO,YANLISDOGRUGOTURU FROM TABLECEVAP WHERE TESTTARIHI=? AND "
                               "TESTBASLANGIC=?"),
                key, {});
  }
  static int answerCount(const reports::RunKey& key) {
    return count(QStringLiteral("SELECT COUNT(*) FROM TABLECEVAP WHERE TESTTARIHI=? AND "
                                "TESTBASLANGIC=?"),
                 {key.date, key.start});
  }
  static QString statisticsText(const delivery::RunStatistics& s) {
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
        .arg(s.answers)
        .arg(s.correct)
        .arg(s.wrong)
        .arg(s.blank)
        .arg(s.correctPercent, s.wrongPercent, s.blankPercent)
        .arg(s.students)
        .arg(s.questions);
  }

  qint64 slowestChangeMs = 0;
  bool revisitShowedAnswers = false;
  delivery::RunStatistics finalStatistics;

 private:
  static QStringList rows(const QString& sql, const reports::RunKey& key,
                          const QStringList& skipped) {
    Result<QSqlQuery> q = db().exec(sql, {key.date, key.start});
    if (!q) return {QStringLiteral("HATA ") + q.error()};
    QStringList out;
    while (q.value().next()) {
      const QSqlRecord r = q.value().record();
      QStringList values;
      for (int i = 0; i < r.count(); ++i)
        if (!skipped.contains(r.fieldName(i), Qt::CaseInsensitive))
          values << r.fieldName(i).toUpper() + QLatin1Char('=') + r.value(i).toString();
      out << values.join(QLatin1Char('|'));
    }
    std::sort(out.begin(), out.end());
    return out;
  }
};
