// Booklet documents: the PDF's text (through pdftotext) holds the captions in
// the booklet's order and its key; the ODT holds the same; the header goes
// where it was asked for.
#include <QProcess>
#include <QStandardPaths>
#include <QTextDocument>
#include <QtTest>

#include "AuthoringFixture.h"
#include "authoring/AnswerKeyForm.h"
#include "authoring/BookletDocument.h"
#include "authoring/BookletOrders.h"
#include "authoring/TypedQuestion.h"
#include "formats/ZipArchive.h"

using namespace authoring;

class TestBooklets : public QObject, AuthoringFixture {
  Q_OBJECT

  // The text of a PDF, or of pages first..last of it.
  static QString pdfText(const QString& file, int first = 0, int last = 0) {
    QStringList args{QStringLiteral("-layout")};
    if (first > 0) args << QStringLiteral("-f") << QString::number(first);
    if (last > 0) args << QStringLiteral("-l") << QString::number(last);
    args << file << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
  }
  static int pages(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype at = out.indexOf(QStringLiteral("Pages:"));
    return at < 0 ? 0 : out.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
  }

  // A test of n questions; question i's picture names it, its answer cycles A..E.
  QString makeTest(int n, QSize pictureSize = {900, 300}) {
    const QString t = addTest(QStringLiteral("Kesirler Sınavı"));
    QStringList keys;
    QuestionBank bank(db());
    for (int i = 1; i <= n; ++i) {
      Question q;
      q.dogruSik = QString(QChar(char16_t(u'A' + (i - 1) % 5)));
      keys
          << bank.add(q, {picture(QStringLiteral("resim %1").arg(i), pictureSize), {}}).valueOr({});
    }
    if (!TestQuestions(db()).add(t, keys)) return {};
    return t;
  }

 private slots:
  void initTestCase() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
      QSKIP("pdftotext (poppler-utils) is not installed");
  }
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  void thePdfHoldsTheCaptionsAndTheKey() {
    const QString t = makeTest(12);
    QVERIFY(!t.isEmpty());
    BookletOptions options;
    options.answerKey = true;
    QStringList progress;
    const QString file = path(QStringLiteral("kitapçık.pdf"));
    const Status s = BookletDocument(db()).write(
        t, file, options, [&](const QString& text, int, int) { progress << text; });
    QVERIFY2(s.ok(), qPrintable(s.error()));
    QCOMPARE(progress.size(), 12);
    QCOMPARE(progress.at(2), QStringLiteral("12 Kayıttan 3. Kayıt Ekleniyor"));
    const QString text = pdfText(file);
    QVERIFY(text.contains(QStringLiteral("A KİTAPÇIĞI")));
    QVERIFY(text.contains(QStringLiteral("Kesirler Sınavı")));  // the default header
    qsizetype at = 0;
    for (int i = 1; i <= 12; ++i) {
      at = text.indexOf(QStringLiteral("Soru %1 :").arg(i), at);
      QVERIFY2(at >= 0, qPrintable(QStringLiteral("Soru %1").arg(i)));
    }
    QVERIFY(text.contains(QStringLiteral("Cevap Anahtarı")));
    for (const char* pair : {"1-A", "5-E", "6-A", "12-B"})
      QVERIFY2(text.contains(QLatin1String(pair)), pair);
    QVERIFY(pages(file) >= 3);
    // Without the key there is no key.
    options.answerKey = false;
    QVERIFY(BookletDocument(db()).write(t, file, options));
    QVERIFY(!pdfText(file).contains(QStringLiteral("Cevap Anahtarı")));
  }

  void bookletBHasItsOwnOrderAndKey() {
    const QString t = makeTest(3);
    QVERIFY(BookletOrders(db()).setOrder(t, Booklet::B, {3, 1, 2}));
    BookletOptions options;
    options.booklet = Booklet::B;
    options.answerKey = true;
    options.header = HeaderPlacement::None;
    const QString file = path(QStringLiteral("b.pdf"));
    const Status s = BookletDocument(db()).write(t, file, options);
    QVERIFY2(s.ok(), qPrintable(s.error()));
    const QString text = pdfText(file);
    QVERIFY(text.contains(QStringLiteral("B KİTAPÇIĞI")));
    QVERIFY(!text.contains(QStringLiteral("Kesirler Sınavı")));
    // B shows A's third question (answer C) first.
    for (const char* pair : {"1-C", "2-A", "3-B"})
      QVERIFY2(text.contains(QLatin1String(pair)), pair);
    options.booklet = Booklet::C;
    QVERIFY(BookletDocument(db())
                .write(t, file, options)
                .error()
                .startsWith(QStringLiteral("C kitapçığı tanımlı değil")));
    QCOMPARE(BookletDocument::fileNameFor(QStringLiteral("/x/Kitapcik 1.pdf"), Booklet::C),
             QStringLiteral("/x/Kitapcik 1 C.pdf"));
  }

  // "Karıştır": one order of 1..n per seed, never A's own; the form stores it
  // like a typed order and keeps the seed to show until a cell is typed.
  void aShuffledOrderComesFromItsSeed() {
    for (quint32 seed : {1u, 2u, 4711u, 99999u}) {
      const QList<int> order = booklets::shuffledOrder(12, seed);
      QCOMPARE(booklets::orderProblem(Booklet::B, order, 12), QString());
      QCOMPARE(booklets::shuffledOrder(12, seed), order);
      QVERIFY(order != QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    }
    QVERIFY(booklets::shuffledOrder(12, 1) != booklets::shuffledOrder(12, 2));
    QCOMPARE(booklets::shuffledOrder(2, 3), (QList<int>{2, 1}));  // the only other order
    QCOMPARE(booklets::shuffledOrder(1, 3), QList<int>{1});
    const quint32 fresh = booklets::newSeed();
    QVERIFY(fresh >= 1 && fresh <= 99999);

    const QString t = makeTest(5);
    AnswerKeyForm form(db());
    QVERIFY(form.open(t));
    QVERIFY(!form.bookletOn(Booklet::C));
    form.shuffle(Booklet::C, 4711);
    QVERIFY(form.bookletOn(Booklet::C));
    QCOMPARE(form.seed(Booklet::C), 4711u);
    QVERIFY(form.accept());
    QCOMPARE(BookletOrders(db()).order(t, Booklet::C).valueOr({}),
             booklets::shuffledOrder(5, 4711));
    QVERIFY(form.setCell(Booklet::C, 0, form.cell(Booklet::C, 0)));
    QCOMPARE(form.seed(Booklet::C), 0u);
  }

  void theHeaderGoesOnEveryPageWhenAsked() {
    const QString t = makeTest(8, {600, 600});
    QVERIFY(TestCatalog(db()).setHeader(t, QByteArray("<p>ÖZEL BAŞLIK</p>")));
    BookletOptions options;
    options.header = HeaderPlacement::EveryPage;
    options.columns = BookletOptions::Columns::One;
    const QString file = path(QStringLiteral("h.pdf"));
    QVERIFY(BookletDocument(db()).write(t, file, options));
    const int n = pages(file);
    QVERIFY(n >= 3);
    for (int p = 1; p <= n; ++p)
      QVERIFY2(pdfText(file, p, p).contains(QStringLiteral("ÖZEL BAŞLIK")),
               qPrintable(QString::number(p)));
    options.header = HeaderPlacement::FirstPage;
    QVERIFY(BookletDocument(db()).write(t, file, options));
    QVERIFY(pdfText(file, 1, 1).contains(QStringLiteral("ÖZEL BAŞLIK")));
    QVERIFY(!pdfText(file, 2, pages(file)).contains(QStringLiteral("ÖZEL BAŞLIK")));
  }

  void narrowPicturesShareAPageInTwoColumns() {
    const QString wide = makeTest(12, {900, 400});
    const QString narrow = makeTest(12, {250, 250});
    BookletOptions options;
    options.header = HeaderPlacement::None;
    const QString a = path(QStringLiteral("genis.pdf")), b = path(QStringLiteral("dar.pdf"));
    QVERIFY(BookletDocument(db()).write(wide, a, options));
    QVERIFY(BookletDocument(db()).write(narrow, b, options));
    QVERIFY2(pages(b) < pages(a), qPrintable(QStringLiteral("%1 %2").arg(pages(b)).arg(pages(a))));
    // Two captions side by side on one line of the narrow booklet.
    QVERIFY(pdfText(b).contains(QRegularExpression(QStringLiteral("Soru 1 :\\s+Soru 2 :"))));
  }

  // Typed questions are set for the page, so they flow into two columns in one
  // body size, sharp enough to print, whatever the width of their stored picture.
  void typedQuestionsAreSetInColumnsInOneBodySize() {
    const QString t = addTest(QStringLiteral("Yazılı"));
    QStringList keys;
    QuestionBank bank(db());
    for (int sentences : {1, 6}) {
      TypedQuestion typed;
      typed.setStemText(
          QStringLiteral("Bir kenarı 4 cm olan karenin alanı kaçtır? ").repeated(sentences));
      for (int i = 0; i < 4; ++i) typed.setChoice(i, QString::number(4 * (i + 2)));
      Question q;
      q.dogruSik = QStringLiteral("B");
      keys << bank.add(q, {typed.picture().valueOr({}), {}}).valueOr({});
    }
    QVERIFY(TestQuestions(db()).add(t, keys));
    BookletOptions options;
    options.header = HeaderPlacement::None;
    const QString file = path(QStringLiteral("yazili.pdf"));
    QVERIFY(BookletDocument(db()).write(t, file, options));
    QVERIFY(pdfText(file).contains(QRegularExpression(QStringLiteral("Soru 1 :\\s+Soru 2 :"))));
    QProcess p;
    p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file});
    QVERIFY(p.waitForFinished(30000));
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi ...
    QStringList rows = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    rows = rows.filter(QRegularExpression(QStringLiteral("^\\s*1\\s+\\d+\\s+image")));
    QCOMPARE(rows.size(), 2);
    const QStringList a = rows.at(0).simplified().split(QLatin1Char(' '));
    const QStringList b = rows.at(1).simplified().split(QLatin1Char(' '));
    QCOMPARE(a.at(3), b.at(3));                  // one width: one column's
    QVERIFY(a.at(4).toInt() < b.at(4).toInt());  // the longer question is taller
    QCOMPARE(a.at(12), b.at(12));                // at one scale
    QVERIFY(a.at(12).toInt() >= 250);
  }

  void theOdtHoldsTheSameText() {
    const QString t = makeTest(2);
    BookletOptions options;
    options.answerKey = true;
    const QString file = path(QStringLiteral("k.odt"));
    const Status s = BookletDocument(db()).write(t, file, options);
    QVERIFY2(s.ok(), qPrintable(s.error()));
    const Result<QList<formats::ZipMember>> members = formats::ZipArchive::readAll(file);
    QVERIFY(members.ok());
    QString content;
    int pictures = 0;
    for (const formats::ZipMember& m : members.value()) {
      if (m.name == QStringLiteral("content.xml")) content = QString::fromUtf8(m.data);
      pictures += m.name.startsWith(QStringLiteral("Pictures/"));
    }
    QVERIFY(content.contains(QStringLiteral("Soru 2 :")));
    QVERIFY(content.contains(QStringLiteral("Cevap Anahtarı")));
    QVERIFY(content.contains(QStringLiteral("2-B")));
    QCOMPARE(pictures, 2);
    QCOMPARE(BookletDocument(db()).write(t, path(QStringLiteral("k.doc")), options).error(),
             QStringLiteral("Kitapçık .pdf ya da .odt dosyası olarak kaydedilir."));
    // An empty test has nothing to print.
    QCOMPARE(BookletDocument(db()).write(addTest(), file, options).error(),
             QStringLiteral("Soru Bulunamadı"));
    QCOMPARE(BookletDocument::defaultName(QDateTime(QDate(2026, 3, 5), QTime(9, 7, 30))),
             QStringLiteral("Kitapcik 05032026-090730"));
  }
};

QTEST_MAIN(TestBooklets)
#include "tst_booklets.moc"
