// The question bank: keys and their order, saving with pictures and files,
// duplicating, deleting under the used-in-a-run rule, searching, the question
// form and typed questions.
#include <QDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include "AuthoringFixture.h"
#include "authoring/QuestionForm.h"
#include "authoring/QuestionKeys.h"
#include "authoring/QuestionMedia.h"
#include "authoring/QuestionSearch.h"
#include "authoring/QuestionStrip.h"
#include "authoring/TypedQuestion.h"
#include "curriculum/CurriculumLists.h"
#include "school/Students.h"
#include "store/ContentStores.h"
#include "store/Parameters.h"

using namespace authoring;

class TestQuestionBank : public QObject, AuthoringFixture {
  Q_OBJECT

  static int nextNumber() { return int(keys::nextQuestionNumber(db()).valueOr(-1)); }
  static QStringList stagedFiles() {
    QStringList out;
    for (const char* folder : {"Sesler", "Videolar"})
      out << QDir(db().path(QLatin1String(folder)))
                 .entryList({QStringLiteral(".yukleniyor*")}, QDir::Files | QDir::Hidden);
    return out;
  }
  QString mediaFile(const QString& name) {
    QFile f(path(name));
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write("ses");
    return f.fileName();
  }

 private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  void numberingCountsMarkedQuestionsAndOnlyNumericKeys() {
    QCOMPARE(nextNumber(), 1);
    QCOMPARE(addQuestion(), QStringLiteral("1"));
    QCOMPARE(addQuestion(), QStringLiteral("2"));
    QCOMPARE(addQuestion(), QStringLiteral("3"));
    QuestionBank bank(db());
    // A question removed for good gives its number back ...
    QVERIFY(bank.remove({QStringLiteral("3")}).ok());
    QCOMPARE(nextNumber(), 3);
    QCOMPARE(addQuestion(), QStringLiteral("3"));
    // ... one kept for a recorded run does not.
    recordRun(QStringLiteral("99"), {QStringLiteral("3")});
    QCOMPARE(bank.remove({QStringLiteral("3")})->marked, QStringList{QStringLiteral("3")});
    QCOMPARE(nextNumber(), 4);
    // Keys that are not numbers never raise the number: one rule for questions,
    // tests and students alike.
    for (const char* key : {"12abc", "ABCDEFGH000050", "S40", "99.5", " 77", "1e5", "+80", "-90"}) {
      for (const char* table : {"TABLESORU (SORUNO", "TABLETEST (TESTNO", "TABLEOGRENCI (KAYITNO"})
        QVERIFY(db().run(QStringLiteral("INSERT INTO %1) VALUES (?)").arg(QLatin1String(table)),
                         {QLatin1String(key)}));
    }
    QCOMPARE(nextNumber(), 4);
    QCOMPARE(keys::nextTestNumber(db()).valueOr(-1), qint64(1));
    QCOMPARE(school::Students(db()).nextRegistrationNumber().valueOr(-1), qint64(1));
    // Free questions take "S" keys of their own, never twice the same.
    Question q;
    q.dogruSik = QStringLiteral("B");
    const QString s1 = bank.add(q, {}, {}, QuestionBank::KeyKind::Free).valueOr({});
    const QString s2 = bank.add(q, {}, {}, QuestionBank::KeyKind::Free).valueOr({});
    QCOMPARE(s1, QStringLiteral("S41"));
    QCOMPARE(s2, QStringLiteral("S42"));
    QCOMPARE(text(QStringLiteral("SELECT SILINDIMI FROM TABLESORU WHERE SORUNO=?"), {s1}),
             QStringLiteral("1"));
    QCOMPARE(nextNumber(), 4);
  }

  void listsOrderNumbersByValueAndPackageKeysByTheirRunningNumber() {
    for (const char* key : {"10", "XYZABCDE000007", "9", "S3", "ABCDEFGH000002", "100"})
      QVERIFY(db().run(QStringLiteral("INSERT INTO TABLESORU (SORUNO) VALUES (?)"),
                       {QLatin1String(key)}));
    const QStringList expected{QStringLiteral("9"),
                               QStringLiteral("10"),
                               QStringLiteral("100"),
                               QStringLiteral("ABCDEFGH000002"),
                               QStringLiteral("XYZABCDE000007"),
                               QStringLiteral("S3")};
    QCOMPARE(QuestionSearch{}.keys(db()).valueOr({}), expected);
    QStringList sorted = expected;
    std::reverse(sorted.begin(), sorted.end());
    std::sort(sorted.begin(), sorted.end(), keys::lessThan);
    QCOMPARE(sorted, expected);
  }

  // The copy keeps the whole place in the curriculum (topic and outcome too);
  // sound and video files stay with the original.
  void duplicateCopiesPicturesAndPlaceButNotFiles() {
    Question q;
    q.seviye = QStringLiteral("6. SINIF");
    q.ders = QStringLiteral("FEN BİLİMLERİ");
    q.unite = QStringLiteral("Kuvvet");
    q.konu = QStringLiteral("Sürtünme");
    q.kazanim = QStringLiteral("F.6.1");
    q.dogruSik = QStringLiteral("C");
    q.aciklama = QStringLiteral("Türkiye'nin \"ilk\" sorusu");
    q.soruIcerik = QStringLiteral("Metin");
    QuestionBank bank(db());
    const QuestionPictures pictures{picture(QStringLiteral("soru")),
                                    picture(QStringLiteral("çözüm"))};
    const QString key =
        bank.add(q, pictures,
                 {mediaFile(QStringLiteral("a.mp3")), mediaFile(QStringLiteral("v.mp4"))})
            .valueOr({});
    QCOMPARE(key, QStringLiteral("1"));
    QCOMPARE(QuestionMedia(db()).stored(key, QuestionMedia::Kind::Video),
             QStringList{QStringLiteral("Videolar/1.mp4")});
    const Result<QString> copy = bank.duplicate(key);
    QVERIFY2(copy.ok(), qPrintable(copy.error()));
    QCOMPARE(copy.value(), QStringLiteral("2"));
    const Question c = bank.load(copy.value()).value();
    QCOMPARE(c.seviye, q.seviye);
    QCOMPARE(c.unite, q.unite);
    QCOMPARE(c.dogruSik, q.dogruSik);
    QCOMPARE(c.aciklama, q.aciklama);
    QCOMPARE(c.soruIcerik, q.soruIcerik);
    QCOMPARE(c.konu, q.konu);
    QCOMPARE(c.kazanim, q.kazanim);
    QVERIFY(c.cozumVideo.isEmpty() && c.sesDosyasi.isEmpty() && c.silindimi.isEmpty());
    QCOMPARE(bank.pictures(copy.value())->question, pictures.question);
    QCOMPARE(bank.pictures(copy.value())->solution, pictures.solution);
    QVERIFY(QuestionMedia(db()).find(copy.value(), QuestionMedia::Kind::Video).isEmpty());
  }

  void deletingKeepsUsedQuestionsAndTakesThemOutOfEveryTest() {
    const QString q1 = addQuestion(), q2 = addQuestion(), q3 = addQuestion(), q4 = addQuestion();
    QuestionBank bank(db());
    QVERIFY(bank.update(bank.load(q1).value(), std::nullopt,
                        {mediaFile(QStringLiteral("s.wav")), std::nullopt}));
    const QString t1 = addTest(), t2 = addTest(QStringLiteral("İkinci"));
    TestQuestions members(db());
    QVERIFY(members.add(t1, {q1, q2, q3}));
    QVERIFY(members.add(t2, {q4, q2}));
    QVERIFY(db().run(QStringLiteral("UPDATE TABLETESTSORU SET BSIRASI=CASE TESTSIRANO WHEN '1' "
                                    "THEN '3' WHEN '2' THEN '1' ELSE '2' END WHERE TESTNO=?"),
                     {t1}));
    recordRun(t1, {q2});

    const Result<QuestionBank::Removal> r = bank.remove({q1, q2});
    QVERIFY2(r.ok(), qPrintable(r.error()));
    QCOMPARE(r->deleted, QStringList{q1});
    QCOMPARE(r->marked, QStringList{q2});
    // The used one stays, marked, with its picture; it is in no test any more.
    QCOMPARE(text(QStringLiteral("SELECT SILINDIMI FROM TABLESORU WHERE SORUNO=?"), {q2}),
             QStringLiteral("1"));
    QVERIFY(!bank.pictures(q2)->question.isEmpty());
    QCOMPARE(
        count(QStringLiteral("SELECT COUNT(*) FROM TABLETESTSORU WHERE SORUNO IN (?,?)"), {q1, q2}),
        0);
    // The unused one is gone with its picture and its sound.
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU WHERE SORUNO=?"), {q1}), 0);
    QVERIFY(bank.pictures(q1)->question.isEmpty());
    QVERIFY(QuestionMedia(db()).find(q1, QuestionMedia::Kind::Sound).isEmpty());
    // Both tests close up, booklet orders too.
    QCOMPARE(positions(t1), QStringList{q3 + QStringLiteral(":1")});
    QCOMPARE(text(QStringLiteral("SELECT BSIRASI FROM TABLETESTSORU WHERE TESTNO=?"), {t1}),
             QStringLiteral("1"));
    QCOMPARE(positions(t2), QStringList{q4 + QStringLiteral(":1")});
    QVERIFY(!QuestionSearch{}.keys(db()).valueOr({}).contains(q2));
  }

  void aFailedSaveLeavesNeitherRowNorPictureNorFile() {
    QuestionBank bank(db());
    Question q;
    q.dogruSik = QStringLiteral("A");
    // Not a picture: refused before anything is written.
    QVERIFY(!bank.add(q, {QByteArray("not an image"), {}}).ok());
    // A test question needs its correct choice.
    Question noChoice;
    QCOMPARE(bank.add(noChoice, {}).error(), QuestionBank::noCorrectChoiceMessage());
    // The content store refuses the picture after the row went in.
    QVERIFY(db().contents().attach(store::StoreKind::Question, 2));
    QVERIFY(
        db().run(QStringLiteral("CREATE TRIGGER SORU2.DOLU BEFORE INSERT ON TABLESORU BEGIN "
                                "SELECT RAISE(ABORT, 'depo dolu'); END")));
    const Result<QString> failed =
        bank.add(q, {picture(QStringLiteral("x")), {}}, {mediaFile(QStringLiteral("k.mp3")), {}});
    QVERIFY(!failed.ok());
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TABLESORU")), 0);
    QCOMPARE(stagedFiles(), QStringList());
    QVERIFY(QDir(db().path(QStringLiteral("Sesler"))).entryList(QDir::Files).isEmpty());
    QVERIFY(db().run(QStringLiteral("DROP TRIGGER SORU2.DOLU")));
    QCOMPARE(bank.add(q, {picture(QStringLiteral("x")), {}}).valueOr({}), QStringLiteral("1"));
  }

  void soundAndVideoFilesLiveUnderTheKey() {
    QuestionBank bank(db());
    Question q;
    q.dogruSik = QStringLiteral("D");
    const QString key = bank.add(q, {}, {mediaFile(QStringLiteral("Türkü's.MP3")), {}}).valueOr({});
    QuestionMedia media(db());
    QCOMPARE(bank.load(key)->sesDosyasi, QStringLiteral("Sesler/1.mp3"));
    QCOMPARE(media.stored(key, QuestionMedia::Kind::Sound),
             QStringList{QStringLiteral("Sesler/1.mp3")});
    QFile played(media.find(key, QuestionMedia::Kind::Sound));
    QVERIFY(played.open(QIODevice::ReadOnly));
    QCOMPARE(played.readAll(), QByteArray("ses"));
    // Another file replaces it, whatever its ending.
    QVERIFY(bank.update(bank.load(key).value(), std::nullopt,
                        {mediaFile(QStringLiteral("b.wav")), std::nullopt}));
    QCOMPARE(media.stored(key, QuestionMedia::Kind::Sound),
             QStringList{QStringLiteral("Sesler/1.wav")});
    // A path that no longer exists clears it, as an empty box does.
    QVERIFY(bank.update(bank.load(key).value(), std::nullopt,
                        {path(QStringLiteral("yok.mp3")), std::nullopt}));
    QVERIFY(media.find(key, QuestionMedia::Kind::Sound).isEmpty());
    QVERIFY(bank.load(key)->sesDosyasi.isEmpty());
    QCOMPARE(stagedFiles(), QStringList());
  }

  void searchFindsByEveryListAndTheLastAdded() {
    struct Row {
      const char* level;
      const char* course;
      const char* unit;
      const char* answer;
      const char* type;
      const char* difficulty;
      const char* points;
      const char* time;
      const char* note;
    };
    const Row rows[] = {
        {"5. SINIF", "MATEMATİK", "Kesirler", "A", "Bilgi", "Kolay", "5", "30", "IŞIK"},
        {"5. SINIF", "MATEMATİK", "Oran", "B", "Analiz", "Zor", "10", "60", "Sade HÂLİ"},
        {"6. SINIF", "TÜRKÇE", "Sözcük", "C", "Bilgi", "Orta", "5", "Süresiz", "ışık hızı"},
        {"6. SINIF", "MATEMATİK", "Kesirler", "A", "Kavrama", "Kolay", "10", "30", ""},
    };
    QuestionBank bank(db());
    for (const Row& r : rows) {
      Question q;
      q.seviye = QString::fromUtf8(r.level);
      q.ders = QString::fromUtf8(r.course);
      q.unite = QString::fromUtf8(r.unit);
      q.dogruSik = QString::fromUtf8(r.answer);
      q.turu = QString::fromUtf8(r.type);
      q.zorluk = QString::fromUtf8(r.difficulty);
      q.puan = QString::fromUtf8(r.points);
      q.sure = QString::fromUtf8(r.time);
      q.aciklama = QString::fromUtf8(r.note);
      QVERIFY(bank.add(q, {}).ok());
    }
    recordRun(QStringLiteral("7"), {QStringLiteral("4")});
    QVERIFY(bank.add(
                    [] {
                      Question q;
                      q.dogruSik = QStringLiteral("E");
                      return q;
                    }(),
                    {})
                .ok());                                // 5
    QVERIFY(bank.remove({QStringLiteral("4")}).ok());  // marked: never found again
    const QString t = addTest();
    QVERIFY(TestQuestions(db()).add(t, {QStringLiteral("2"), QStringLiteral("3")}));

    auto found = [](const QuestionSearch& s) {
      return s.keys(db()).valueOr({QStringLiteral("?")});
    };
    auto list = [](std::initializer_list<const char*> keys) {
      QStringList out;
      for (const char* k : keys) out << QLatin1String(k);
      return out;
    };
    QuestionSearch all;
    all.curriculum = {QStringLiteral("TÜMÜ"), QStringLiteral("TÜMÜ"), QStringLiteral("TÜMÜ"),
                      QStringLiteral("TÜMÜ"), QStringLiteral("TÜMÜ")};
    all.dogruSik = all.turu = all.zorluk = all.puan = all.sure = QStringLiteral("TÜMÜ");
    QCOMPARE(found(all), list({"1", "2", "3", "5"}));
    QuestionSearch s = all;
    s.curriculum.level = QStringLiteral("5. SINIF");
    QCOMPARE(found(s), list({"1", "2"}));
    s = all;
    s.curriculum.course = QStringLiteral("MATEMATİK");
    s.curriculum.unit = QStringLiteral("Kesirler");
    QCOMPARE(found(s), list({"1"}));
    s = all;
    s.dogruSik = QStringLiteral("C");
    QCOMPARE(found(s), list({"3"}));
    s = all;
    s.turu = QStringLiteral("Bilgi");
    s.zorluk = QStringLiteral("Kolay");
    QCOMPARE(found(s), list({"1"}));
    s = all;
    s.puan = QStringLiteral("10");
    QCOMPARE(found(s), list({"2"}));
    s = all;
    s.sure = QStringLiteral("Süresiz");
    QCOMPARE(found(s), list({"3", "5"}));
    s = all;
    s.text = QStringLiteral("ışık");  // Turkish case folding: finds "IŞIK" too
    QCOMPARE(found(s), list({"1", "3"}));
    s = all;
    s.text = QStringLiteral("sade hali");  // the circumflex is no other letter
    QCOMPARE(found(s), list({"2"}));
    s.text = QStringLiteral("hâli");
    QCOMPARE(found(s), list({"2"}));
    s = all;
    s.text = QStringLiteral("%");
    QCOMPARE(found(s), QStringList());
    s = all;
    s.testNo = t;
    QCOMPARE(found(s), list({"2", "3"}));
    s = all;
    s.notInTest = t;
    QCOMPARE(found(s), list({"1", "5"}));
    s = all;
    s.usage = QuestionSearch::Usage::Used;
    QCOMPARE(found(s), list({"2", "3"}));
    s = all;
    s.usage = QuestionSearch::Usage::Unused;
    QCOMPARE(found(s), list({"1", "5"}));
    // The last added: the highest numbers among those the other lists allow.
    s = all;
    s.lastAdded = 2;
    QCOMPARE(found(s), list({"3", "5"}));
    s.curriculum.level = QStringLiteral("5. SINIF");
    QCOMPARE(found(s), list({"1", "2"}));
    s = all;
    s.lastAdded = 500;
    QCOMPARE(found(s), list({"1", "2", "3", "5"}));
    QCOMPARE(QuestionSearch::parseLastAdded(QStringLiteral("0")).error(),
             QStringLiteral("Sıfırdan farklı bir sayı giriniz"));
    QCOMPARE(QuestionSearch::parseLastAdded(QString()).valueOr(-1), 0);
    // The grid runs the same search.
    const store::Query grid = all.bankQuery();
    Result<QSqlQuery> rowsFound = db().exec(grid.sql, grid.params);
    QVERIFY(rowsFound.ok());
    QVERIFY(rowsFound.value().next());
    QCOMPARE(rowsFound.value().value(QStringLiteral("SORUNUMARASI")).toString(),
             QStringLiteral("1"));
  }

  void theFormNavigatesSavesAndDeletes() {
    for (int i = 0; i < 25; ++i) addQuestion();
    QuestionForm form(db());
    QVERIFY(form.open());
    QCOMPARE(form.counterText(), QStringLiteral("0/25"));
    QCOMPARE(form.keyText(), QStringLiteral("26"));
    QCOMPARE(form.saveCaption(), QStringLiteral("Ekle"));
    QCOMPARE(form.deleteCaption(), QStringLiteral("İptal"));
    QVERIFY(!form.canNavigate(QuestionForm::Nav::Previous));
    QVERIFY(form.navigate(QuestionForm::Nav::First));
    QCOMPARE(form.counterText(), QStringLiteral("1/25"));
    QCOMPARE(form.saveCaption(), QStringLiteral("Kaydet"));
    QCOMPARE(form.deleteCaption(), QStringLiteral("Sil"));
    QVERIFY(!form.canNavigate(QuestionForm::Nav::First));
    QVERIFY(form.navigate(QuestionForm::Nav::Forward20));
    QCOMPARE(form.counterText(), QStringLiteral("21/25"));
    QVERIFY(form.navigate(QuestionForm::Nav::Forward20));  // past the end: the last
    QCOMPARE(form.counterText(), QStringLiteral("25/25"));
    QVERIFY(!form.canNavigate(QuestionForm::Nav::Next));
    QVERIFY(form.navigate(QuestionForm::Nav::Back20));
    QCOMPARE(form.counterText(), QStringLiteral("5/25"));
    QVERIFY(form.navigate(QuestionForm::Nav::Back20));
    QCOMPARE(form.counterText(), QStringLiteral("1/25"));
    QVERIFY(QFile::exists(form.pictureToShow()));
    QVERIFY(form.pictureToShow().contains(QStringLiteral("NetFile")));

    // Deleting asks; "Hayır" keeps it, "Evet" shows the one before.
    QVERIFY(form.navigate(QuestionForm::Nav::Next));
    QVERIFY(form.navigate(QuestionForm::Nav::Next));  // 3
    messages().setNextAnswer(Messages::Answer::No);
    QCOMPARE(form.remove(messages()).error(), QString());
    QCOMPARE(form.counterText(), QStringLiteral("3/25"));
    messages().setNextAnswer(Messages::Answer::Yes);
    QVERIFY(form.remove(messages()));
    QCOMPARE(form.keyText(), QStringLiteral("2"));
    QCOMPARE(form.counterText(), QStringLiteral("2/24"));

    // A new question: its picture from a file, its choice required.
    QVERIFY(form.beginNew());
    QCOMPARE(form.keyText(), QStringLiteral("26"));
    QFile file(path(QStringLiteral("resim.jpg")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(picture(QStringLiteral("yeni"), {300, 200}, "JPEG"));
    file.close();
    QVERIFY(form.choosePicture(file.fileName()));
    QVERIFY(form.hasChanges());
    QCOMPARE(form.save().error(), QuestionBank::noCorrectChoiceMessage());
    form.fields().dogruSik = QStringLiteral("E");
    form.toggleView();
    QCOMPARE(form.mediaLabel(), QStringLiteral("Çözüm Videosu"));
    QVERIFY(!form.recordEnabled());
    QVERIFY(form.save());
    QCOMPARE(form.keyText(), QStringLiteral("26"));
    QCOMPARE(form.counterText(), QStringLiteral("25/25"));
    QVERIFY(!form.hasChanges());
    QCOMPARE(QuestionBank(db()).pictures(QStringLiteral("26"))->question, [&] {
      QFile f(file.fileName());
      f.open(QIODevice::ReadOnly);
      return f.readAll();
    }());
    // No solution was chosen: none is stored (not the blank).
    QVERIFY(QuestionBank(db()).pictures(QStringLiteral("26"))->solution.isEmpty());
    QVERIFY(form.duplicate());
    QCOMPARE(form.keyText(), QStringLiteral("27"));
    QCOMPARE(form.counterText(), QStringLiteral("26/26"));
    QVERIFY(form.choose({QStringLiteral("27"), QStringLiteral("5"), QStringLiteral("3")}));
    QCOMPARE(form.navigationSet(), QStringList({QStringLiteral("5"), QStringLiteral("27")}));
  }

  // A unit, topic and outcome typed for a question are offered from then on,
  // each defined once; a survey's topic and a place without level defines nothing.
  void aTypedPlaceIsDefinedWithTheQuestion() {
    Question q;
    q.seviye = QStringLiteral("7. SINIF");
    q.ders = QStringLiteral("FEN BİLİMLERİ");
    q.unite = QStringLiteral("Işık");
    q.konu = QStringLiteral("Yansıma");
    q.dogruSik = QStringLiteral("B");
    QuestionBank bank(db());
    QVERIFY(bank.add(q, {}).ok());
    QVERIFY(bank.add(q, {}).ok());
    const curriculum::CurriculumFilter place{q.seviye, q.ders, QStringLiteral("TÜMÜ"),
                                             QStringLiteral("TÜMÜ"), QStringLiteral("TÜMÜ")};
    QVERIFY(curriculum::UniteDoldur(db(), place).contains(QStringLiteral("Işık")));
    QCOMPARE(curriculum::KonuDoldur(
                 db(), {q.seviye, q.ders, q.unite, QStringLiteral("TÜMÜ"), QStringLiteral("TÜMÜ")})
                 .count(QStringLiteral("Yansıma")),
             1);
    const auto definitions = [] {
      return db().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLETANIMLAMALAR")).valueOr(-1);
    };
    const QVariant before = definitions();
    Question survey;
    survey.anket = true;
    survey.seviye = q.seviye;
    survey.unite = QStringLiteral("Memnuniyet");
    QVERIFY(bank.add(survey, {}).ok());
    Question noLevel = q;
    noLevel.seviye.clear();
    noLevel.unite = QStringLiteral("Ses");
    QVERIFY(bank.add(noLevel, {}).ok());
    QCOMPARE(definitions(), before);
  }

  // "Yeni" keeps the place and classification for the next question, not the
  // description of the one before.
  void aNewQuestionStartsWithoutTheDescription() {
    QuestionForm form(db());
    QVERIFY(form.open());
    form.fields().seviye = QStringLiteral("5. SINIF");
    form.fields().aciklama = QStringLiteral("Kesir sorusu");
    form.fields().dogruSik = QStringLiteral("A");
    QVERIFY(form.save());
    QVERIFY(form.beginNew());
    QCOMPARE(form.fields().seviye, QStringLiteral("5. SINIF"));
    QCOMPARE(form.fields().aciklama, QString());
  }

  // The list's picture of a text-less question: its ink from the top, as wide
  // as the cell, not its white margin.
  void aStripStartsAtTheInk() {
    QImage page(400, 300, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    p.fillRect(50, 40, 300, 10, Qt::black);   // the first line
    p.fillRect(50, 200, 300, 10, Qt::black);  // far below
    p.end();
    const QImage strip = questionStrip(page, {150, 30});
    QCOMPARE(strip.width(), 150);
    QVERIFY(strip.height() <= 30);
    QCOMPARE(QColor(strip.pixel(75, 1)).lightness() < 60, true);
    QVERIFY(questionStrip(QImage(), {150, 30}).isNull());
    QImage blank(100, 100, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QVERIFY(questionStrip(blank, {150, 30}).isNull());
  }

  // The search panel's choices come back as texts; the places an older Derslik
  // kept are read against the panel's lists ("7" in the points list is "6").
  void searchChoicesAreRemembered() {
    const int places[] = {1, 2, 0, 0, 0, 3, 0, 0, 7, 0};
    for (int i = 0; i < 10; ++i)
      store::UserSettings::set(QStringLiteral("SoruHazirlama"), QuestionForm::searchKeys().at(i),
                               QString::number(places[i]));
    const QuestionForm form(db());
    QStringList chosen = form.searchChoices();
    const QString all = QStringLiteral("TÜMÜ");
    QCOMPARE(chosen,
             (QStringList{curriculum::SeviyeDoldur(db()).at(1), curriculum::DersDoldur(db()).at(2),
                          all, all, all, QStringLiteral("C"), all, all, QStringLiteral("6"), all}));
    chosen[8] = QStringLiteral("7");
    chosen[9] = QStringLiteral("Süresiz");
    QuestionForm::saveSearchChoices(chosen);
    QCOMPARE(form.searchChoices(), chosen);
  }

  void aTypedQuestionIsDrawnSearchableAndOpensAgain() {
    QTextDocument stem;
    QTextCursor c(&stem);
    c.insertText(QStringLiteral("Suyun formülü H"));
    QTextCharFormat sub;
    sub.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    c.insertText(QStringLiteral("2"), sub);
    c.insertText(QStringLiteral("O; "), QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("çözünürlük"), bold);
    QImage inline_(200, 80, QImage::Format_RGB32);
    inline_.fill(Qt::blue);
    stem.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("resim1")), inline_);
    QTextImageFormat img;
    img.setName(QStringLiteral("resim1"));
    c.insertImage(img);
    TypedQuestion typed;
    typed.setStem(stem);
    for (int i = 0; i < 4; ++i) typed.setChoice(i, QStringLiteral("Şık %1 <x>").arg(i + 1));
    QCOMPARE(typed.choices().size(), 4);
    QVERIFY(typed.plainText().startsWith(QStringLiteral("Suyun formülü H2O; çözünürlük")));
    QVERIFY(typed.plainText().contains(QStringLiteral("\nD) Şık 4 <x>")));

    const Result<QImage> image = typed.render();
    QVERIFY2(image.ok(), qPrintable(image.error()));
    QCOMPARE(image->width(), TypedQuestion::kPictureWidth);
    QVERIFY(image->height() > 200);
    // Drawn, not blank: dark text pixels and the blue inline picture.
    int dark = 0, blue = 0;
    for (int y = 0; y < image->height(); y += 2)
      for (int x = 0; x < image->width(); x += 2) {
        const QRgb p = image->pixel(x, y);
        dark += qGray(p) < 80 && qBlue(p) < 150;
        blue += qBlue(p) > 200 && qRed(p) < 50;
      }
    QVERIFY(dark > 500);
    QVERIFY(blue > 1000);

    QuestionForm form(db());
    QVERIFY(form.open());
    QVERIFY(form.setTyped(typed));
    form.fields().dogruSik = QStringLiteral("B");
    QVERIFY(form.save());
    const QString key = form.keyText();
    QuestionSearch s;
    s.text = QStringLiteral("ÇÖZÜNÜRLÜK");
    QCOMPARE(s.keys(db()).valueOr({}), QStringList{key});
    // Opening it again opens the text, the inline picture included.
    QVERIFY(form.show(key));
    const std::optional<TypedQuestion> again = form.typed();
    QVERIFY(again.has_value());
    QCOMPARE(again->plainText(), typed.plainText());
    QCOMPARE(again->images().value(QStringLiteral("resim1")).pixel(5, 5), inline_.pixel(5, 5));
    QVERIFY(again->stemHtml().contains(QStringLiteral("vertical-align:sub")));
    // A picture from a file replaces the typed text.
    QFile file(path(QStringLiteral("p.png")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(picture(QStringLiteral("p")));
    file.close();
    QVERIFY(form.choosePicture(file.fileName()));
    QVERIFY(!form.typed());
    QVERIFY(form.fields().soruIcerik.isEmpty());
    QVERIFY(!TypedQuestion::fromPicture(picture(QStringLiteral("düz"))).has_value());
  }

  // Shown in a space, a typed question takes the largest type that fits it, and a
  // long one never goes below the floor the back row can read: it scrolls.
  void aTypedQuestionFillsItsSpaceAndKeepsTheFloor() {
    auto question = [](int sentences) {
      TypedQuestion t;
      t.setStemText(
          QStringLiteral("Bir sayının üç katının beş fazlası yirmidir. ").repeated(sentences));
      for (int i = 0; i < 4; ++i) t.setChoice(i, QString::number(i + 3));
      return t;
    };
    const QSize area(1600, 820);
    const auto shortOne = question(1).renderToFit(area, 30);
    const auto longer = question(12).renderToFit(area, 30);
    const auto endless = question(200).renderToFit(area, 30);
    QVERIFY(shortOne && longer && endless);
    QVERIFY2(shortOne->fontPixels > longer->fontPixels,
             qPrintable(QStringLiteral("%1 %2").arg(shortOne->fontPixels).arg(longer->fontPixels)));
    QVERIFY(longer->fontPixels > 30);  // the old fixed picture shrank it below that
    for (const auto* f : {&shortOne.value(), &longer.value()}) {
      QCOMPARE(f->image.width(), area.width());
      QVERIFY(f->image.height() <= area.height());
      QVERIFY(f->fontPixels <= area.height() / 10);
    }
    // The next size up would not have fitted: the space is used.
    const Result<QImage> bigger = question(12).renderAt(area.width(), longer->fontPixels + 1);
    QVERIFY(bigger && bigger->height() > area.height());
    QCOMPARE(endless->fontPixels, 30);
    QVERIFY(endless->image.height() > area.height());
  }
};

QTEST_MAIN(TestQuestionBank)
#include "tst_questionbank.moc"
