#pragma once

// A school for a test, built through the services the screens and derslik-cli
// use (the student form, the remote register and pairing, the question bank, the
// test catalog, the recording), so test data obeys the same rules as real data:
//
//   TestSchool s(store);
//   const QStringList remotes = s.klass("9-A").students(30).remotes().addresses;
//   s.teacherRemote();
//   const QString t = s.test("Deneme", "ABCDA");
//   TestSchool::Run run;
//   run.testNo = t;
//   run.answers = {{remotes[0], "ABCD-"}};
//   s.run(run);
//
// A step the services refuse fails the running test function with their message.
// Tests that need rows the services would refuse (old, hostile or corrupt data)
// write them with SQL themselves.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QtTest>

#include <list>

#include "Messages.h"
#include "authoring/Question.h"
#include "authoring/QuestionBank.h"
#include "authoring/Test.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "authoring/TestRenumbering.h"
#include "curriculum/OfferedValues.h"
#include "delivery/Recording.h"
#include "reports/Penalty.h"
#include "reports/Scoring.h"
#include "school/Pairing.h"
#include "school/StudentForm.h"
#include "school/StudentPhotos.h"
#include "store/FolderFiles.h"
#include "store/Institution.h"
#include "store/Sql.h"
#include "store/Store.h"

class TestSchool {
 public:
  explicit TestSchool(store::Store& store) : m_store(store) {}

  // True while every step so far succeeded.
  bool ok() const { return m_ok; }
  store::Store& store() { return m_store; }

  // ---- the institution and its lists

  // Offers a level ("5. SINIF") / a course in the lists.
  void level(const QString& name) {
    check(curriculum::OfferedValues(m_store, curriculum::OfferedValues::Kind::Level).add(name),
          "level");
  }
  void course(const QString& name) {
    check(curriculum::OfferedValues(m_store, curriculum::OfferedValues::Kind::Course).add(name),
          "course");
  }
  void institution(const QString& code, const QString& name = QStringLiteral("Deneme Okulu")) {
    check(store::saveInstitution(m_store, code, name), "institution");
  }
  // Three-button remotes: A, B and C only (forced times, automatic school numbers).
  void threeButtons(bool on = true) {
    check(store::setOption(m_store, store::Institution::Option::ThreeButton, on), "threeButtons");
  }

  // ---- students and remotes

  struct Student {
    QString adi;
    QString soyadi = QStringLiteral("Yılmaz");
    QString sinifi = QStringLiteral("5-A");
    QString seviye = QStringLiteral("5. SINIF");
    QString numarasi;  // empty: the registration number
    QString tcKimlik;
    QString kayitNo;  // empty: the next registration number
  };
  // Saves a student through the student form; its registration number.
  QString student(Student s) {
    school::StudentForm form(m_store);
    if (!check(form.beginNew(), "beginNew")) return {};
    if (!s.kayitNo.isEmpty()) form.student().kayitNo = s.kayitNo;
    const QString kayitNo = form.student().kayitNo;
    form.student().adi = s.adi.isEmpty() ? QStringLiteral("Öğrenci%1").arg(kayitNo) : s.adi;
    form.student().soyadi = s.soyadi;
    form.student().sinifi = s.sinifi;
    form.student().seviye = s.seviye;
    form.student().numarasi = s.numarasi.isEmpty() ? kayitNo : s.numarasi;
    form.student().tcKimlik = s.tcKimlik;
    if (!check(form.save(m_messages), "student")) return {};
    return form.student().kayitNo;
  }
  QString student(const QString& adi, const QString& sinifi, const QString& kayitNo = {}) {
    Student s;
    s.adi = adi;
    s.sinifi = sinifi;
    s.kayitNo = kayitNo;
    return student(s);
  }

  // Registers (replaces) a remote.
  void remote(const QString& address, bool teacher = false) {
    check(school::Pairing(m_store).registerRemote(address, teacher), "remote");
  }
  void teacherRemote(const QString& address = QStringLiteral("99-1")) { remote(address, true); }
  void pair(const QString& address, const QStringList& kayitNos) {
    check(school::Pairing(m_store).pair(address, kayitNos), "pair");
  }

  // A class: students added in turn, then remotes paired with them.
  class Class {
   public:
    QString name;
    QString level;
    QStringList kayitNos;   // in the order added
    QStringList addresses;  // the remote of each student, once remotes() ran

    // n students "Öğrenci<i> <surname>" with school numbers 1..n (continuing),
    // registered from `firstKayitNo` on (0: the next registration numbers).
    Class& students(int n, const QString& soyadi = QStringLiteral("Yılmaz"), int firstKayitNo = 0) {
      store::Transaction tx(m_school->m_store);
      for (int i = 0; i < n; ++i) {
        const int no = static_cast<int>(kayitNos.size()) + 1;
        kayitNos << m_school->student(
            {QStringLiteral("Öğrenci%1").arg(no),
             soyadi,
             name,
             level,
             QString::number(no),
             {},
             firstKayitNo > 0 ? QString::number(firstKayitNo + i) : QString()});
      }
      m_school->check(tx.commit(), "students");
      return *this;
    }
    // Remotes <group>-1, <group>-2, … registered and paired with the students
    // that have none yet, in order.
    Class& remotes(int group = 10) {
      store::Transaction tx(m_school->m_store);
      for (qsizetype i = addresses.size(); i < kayitNos.size(); ++i) {
        const QString address = QStringLiteral("%1-%2").arg(group).arg(i + 1);
        m_school->remote(address);
        m_school->pair(address, {kayitNos.at(i)});
        addresses << address;
      }
      m_school->check(tx.commit(), "remotes");
      return *this;
    }

   private:
    friend class TestSchool;
    TestSchool* m_school = nullptr;
  };
  Class& klass(const QString& name, const QString& level = QStringLiteral("5. SINIF")) {
    Class& c = m_classes.emplace_back();
    c.name = name;
    c.level = level;
    c.m_school = this;
    return c;
  }

  // ---- questions and tests

  // A test question of 30 seconds with the key `dogruSik`, 5. SINIF MATEMATİK KESİRLER.
  static authoring::Question newQuestion(const QString& dogruSik = QStringLiteral("A")) {
    authoring::Question q;
    q.dogruSik = dogruSik;
    q.sure = QStringLiteral("30");
    q.seviye = QStringLiteral("5. SINIF");
    q.ders = QStringLiteral("MATEMATİK");
    q.unite = QStringLiteral("KESİRLER");
    return q;
  }
  // Adds a question to the bank with the picture (a small plain one when empty); its key.
  QString question(const authoring::Question& q, const QByteArray& picture = {}) {
    Result<QString> key =
        authoring::QuestionBank(m_store).add(q, {picture.isEmpty() ? plainPicture() : picture, {}});
    check(key, "question");
    return key.valueOr(QString());
  }
  QString question(const QString& dogruSik = QStringLiteral("A")) {
    return question(newQuestion(dogruSik));
  }

  struct Test {
    QString name = QStringLiteral("Deneme");
    QString keys;         // one question per letter, in order
    QStringList times{};  // per question; "30" where missing
    QString seviye = QStringLiteral("5. SINIF");
    QString ders = QStringLiteral("MATEMATİK");
    QString unite = QStringLiteral("KESİRLER");
    QString hazirlayan = QStringLiteral("Ayşe Öğretmen");
    bool pages = false;  // start screen and question counts shown
    QString number{};    // a number of its own (by renumbering); empty: the next one
  };
  // A test with a new question for each letter of `keys`; its number.
  QString test(Test spec) {
    store::Transaction tx(m_store);
    authoring::Test t;
    t.testAdi = spec.name;
    t.hazirlayan = spec.hazirlayan;
    t.seviye = spec.seviye;
    t.ders = spec.ders;
    t.unite = spec.unite;
    t.baslangicEkraniGoster = spec.pages ? QStringLiteral("1") : QStringLiteral("0");
    t.soruSayilariniGoster = t.baslangicEkraniGoster;
    Result<QString> testNo = authoring::TestCatalog(m_store).create(t);
    if (!check(testNo, "test")) return {};
    authoring::TestQuestions questions(m_store);
    for (qsizetype i = 0; i < spec.keys.size(); ++i) {
      authoring::Question q = newQuestion(spec.keys.at(i));
      q.seviye = spec.seviye;
      q.ders = spec.ders;
      q.unite = spec.unite;
      q.sure = spec.times.value(i, QStringLiteral("30"));
      const QString key = question(q);
      check(questions.addWithTime(*testNo, key, q.sure), "test question");
    }
    QString number = *testNo;
    if (!spec.number.isEmpty() && spec.number != number) {
      const Result<authoring::TestRenumbering::Report> r =
          authoring::TestRenumbering(m_store).renumber(number, spec.number);
      if (check(r, "renumber")) number = r->testNo;
    }
    check(tx.commit(), "test");
    return number;
  }
  QString test(const QString& name, const QString& keys, const QStringList& times = {}) {
    Test t;
    t.name = name;
    t.keys = keys;
    t.times = times;
    return test(t);
  }
  // The question keys of a test in position order.
  QStringList questionsOf(const QString& testNo) {
    return m_store
        .column(QStringLiteral("SELECT SORUNO FROM TABLETESTSORU WHERE TESTNO=? ORDER BY "
                               "VAL(TESTSIRANO)"),
                {testNo})
        .valueOr({});
  }

  // ---- recorded runs

  struct Run {
    QString testNo;
    QString sinifi = QStringLiteral("5-A");
    QString seviye = QStringLiteral("5. SINIF");
    reports::RunKey key{QStringLiteral("12.10.2026"), QStringLiteral("09:00:00")};
    QString end = QStringLiteral("09:40:00");
    reports::Penalty penalty = reports::Penalty::None;
    // Per remote, its answers by position: a letter, or "-" for no answer.
    QMap<QString, QString> answers;
    int seconds = 10;         // every answer's time
    QStringList questions{};  // the questions asked; empty: the test's
  };
  // Records a run as the presentation leaves its questions, one after another,
  // over the test's questions; the results are scored by the recording.
  reports::RunKey run(const Run& spec) {
    delivery::RunRecord record;
    record.key = spec.key;
    record.penalty = spec.penalty;
    record.description.testNo = spec.testNo;
    record.description.className = spec.sinifi;
    record.description.level = spec.seviye;
    record.description.testName =
        m_store
            .scalar(QStringLiteral("SELECT TESTADI FROM TABLETEST WHERE TESTNO=?"), {spec.testNo})
            .valueOr({})
            .toString();
    record.addresses = spec.answers.keys();
    const QStringList keys = spec.questions.isEmpty() ? questionsOf(spec.testNo) : spec.questions;
    delivery::Recording recording(m_store);
    for (qsizetype i = 0; i < keys.size(); ++i) {
      QList<delivery::TileAnswer> answers;
      for (auto a = spec.answers.cbegin(); a != spec.answers.cend(); ++a) {
        const QChar c = i < a.value().size() ? a.value().at(i) : QLatin1Char('-');
        answers << delivery::TileAnswer{a.key(), c == QLatin1Char('-') ? QString() : QString(c),
                                        spec.seconds};
      }
      if (i + 1 == keys.size()) record.end = spec.end;
      check(
          recording.CevaplariVeritabaninaYaz(record, static_cast<int>(i + 1), keys.at(i), answers),
          "run");
    }
    return spec.key;
  }

  // A run of the test in `sinifi` with these answers (remote -> letters).
  reports::RunKey run(const QString& testNo, const QMap<QString, QString>& answers,
                      const QString& sinifi = QStringLiteral("5-A")) {
    Run r;
    r.testNo = testNo;
    r.sinifi = sinifi;
    r.answers = answers;
    return run(r);
  }

  // ---- small things

  // A picture that names what it shows (with a QGuiApplication; plain without).
  static QByteArray picture(const QString& text, QSize size = {240, 120},
                            const char* format = "PNG") {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
      QPainter p(&image);
      p.drawText(image.rect(), Qt::AlignCenter, text);
    }
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    image.save(&b, format);
    return b.data();
  }
  static QByteArray plainPicture() {
    static const QByteArray bytes = picture(QString(), {20, 20});
    return bytes;
  }
  // A student's photo from a picture file, saved the way the student form saves it.
  static Status photo(store::Store& store, const QString& kayitNo, const QString& file) {
    const Result<QByteArray> jpeg = school::StudentPhotos::jpeg(file);
    if (!jpeg) return Status::failure(jpeg.error());
    store::FolderChange change(store);
    store::Transaction tx(store);
    if (Status s = school::StudentPhotos(store).set(change, kayitNo, jpeg.value()); !s) return s;
    if (Status s = tx.commit(); !s) return s;
    return change.settle();
  }

 private:
  template <typename R>
  bool check(const R& result, const char* step) {
    if (result.ok()) return true;
    m_ok = false;
    QTest::qFail(
        qPrintable(
            QStringLiteral("TestSchool %1: %2").arg(QString::fromLatin1(step), result.error())),
        __FILE__, __LINE__);
    return false;
  }

  store::Store& m_store;
  RecordedMessages m_messages;
  std::list<Class> m_classes;  // stable addresses for the references handed out
  bool m_ok = true;
};
