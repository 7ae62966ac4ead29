// derslik-cli verbs of the question bank and the tests, over the same core the
// question and test screens use.
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QSqlRecord>

#include "CliCommand.h"
#include "authoring/AutoSelection.h"
#include "authoring/BookletDocument.h"
#include "authoring/BookletHeader.h"
#include "authoring/BookletOrders.h"
#include "authoring/QuestionBank.h"
#include "authoring/QuestionRules.h"
#include "authoring/QuestionSearch.h"
#include "authoring/RandomSource.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "authoring/TestRenumbering.h"
#include "authoring/TypedQuestion.h"
#include "exchange/QuestionPackage.h"
#include "exchange/TakenFiles.h"
#include "exchange/TestPackage.h"
#include "lists/FilterLists.h"
#include "store/Store.h"

namespace cli {

namespace {

using namespace authoring;

// The place and classification of a question: the options that questions add
// and tests auto share.
Syntax withQuestionOptions(Syntax s) {
  for (const char* name :
       {"level", "course", "unit", "topic", "outcome", "type", "difficulty", "points", "note"})
    s.value(QLatin1String(name));
  return s;
}

const Syntax& questionsAddSyntax() {
  static const Syntax s = withQuestionOptions(
      Syntax(
          QStringLiteral(
              "questions add --picture DOSYA|--text \"SORU\" [--choices \"A|B|C|D|E\"] --answer X "
              "[--solution DOSYA] [--level L] [--course C] [--unit U] [--topic T] [--outcome O] "
              "[--type T] [--difficulty D] [--points P] [--time S] [--note METİN]"))
          .value(QStringLiteral("picture"))
          .value(QStringLiteral("text"))
          .value(QStringLiteral("choices"))
          .value(QStringLiteral("answer"))
          .value(QStringLiteral("solution"))
          .value(QStringLiteral("time")));
  return s;
}
const Syntax& questionsListSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("questions list [--level L] [--course C] [--unit U] [--answer X] "
                            "[--test T] [--last N] [--json]"))
          .value(QStringLiteral("level"))
          .value(QStringLiteral("course"))
          .value(QStringLiteral("unit"))
          .value(QStringLiteral("answer"))
          .value(QStringLiteral("test"))
          .value(QStringLiteral("last"))
          .flag(QStringLiteral("json"));
  return s;
}
const Syntax& questionsDeleteSyntax() {
  static const Syntax s(QStringLiteral("questions delete SORUNO..."), 1, -1);
  return s;
}
const Syntax& testsCreateSyntax() {
  static const Syntax s = Syntax(QStringLiteral("tests create AD [--author A] [--level L] "
                                                "[--course C] [--unit U]"),
                                 1, 1)
                              .value(QStringLiteral("author"))
                              .value(QStringLiteral("level"))
                              .value(QStringLiteral("course"))
                              .value(QStringLiteral("unit"));
  return s;
}
const Syntax& testsListSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("tests list [--json]")).flag(QStringLiteral("json"));
  return s;
}
const Syntax& testsShowSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("tests show T [--json]"), 1, 1).flag(QStringLiteral("json"));
  return s;
}
const Syntax& testsAddSyntax() {
  static const Syntax s(QStringLiteral("tests add-questions T SORUNO..."), 2, -1);
  return s;
}
const Syntax& testsAutoSyntax() {
  static const Syntax s = withQuestionOptions(
      Syntax(
          QStringLiteral("tests auto T --count K [--level L] [--course C] [--unit U] [--topic T] "
                         "[--outcome O] [--type T] [--difficulty D] [--points P] "
                         "[--usage used|unused] [--note METİN]"),
          1, 1)
          .value(QStringLiteral("count"))
          .value(QStringLiteral("usage")));
  return s;
}
const Syntax& testsShuffleSyntax() {
  static const Syntax s(QStringLiteral("tests shuffle T"), 1, 1);
  return s;
}
const Syntax& testsOrderSyntax() {
  static const Syntax s(QStringLiteral("tests booklet-order T B|C|D P1,P2,..."), 3, 3);
  return s;
}
const Syntax& testsBookletSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("tests booklet T --out DOSYA.pdf|DOSYA.odt [--booklet A|B|C|D] [--key] "
                            "[--header DOSYA] [--header-on first|every|none]"),
             1, 1)
          .value(QStringLiteral("out"))
          .value(QStringLiteral("booklet"))
          .flag(QStringLiteral("key"))
          .value(QStringLiteral("header"))
          .value(QStringLiteral("header-on"));
  return s;
}
const Syntax& questionsExportSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("questions export SORUNO... --out DOSYA.cks"), 1, -1)
          .value(QStringLiteral("out"));
  return s;
}

const Syntax& questionsImportSyntax() {
  static const Syntax s = Syntax(QStringLiteral("questions import DOSYA.cks... [--again]"), 1, -1)
                              .flag(QStringLiteral("again"));
  return s;
}

const Syntax& testsExportSyntax() {
  static const Syntax s = Syntax(QStringLiteral("tests export T... --out DOSYA.ckp"), 1, -1)
                              .value(QStringLiteral("out"));
  return s;
}

const Syntax& testsImportSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("tests import DOSYA.ckp|DOSYA.ckt... [--again]"), 1, -1)
          .flag(QStringLiteral("again"));
  return s;
}

const Syntax& testsRenumberSyntax() {
  static const Syntax s(QStringLiteral("tests renumber T YENİ"), 2, 2);
  return s;
}

int fail(QTextStream& err, const QString& message) {
  err << message << '\n';
  return 1;
}

// The rows of a query as text, with the given column names (all when empty).
struct Table {
  QStringList columns;
  QList<QStringList> rows;
};

Result<Table> readTable(store::Store& store, const store::Query& q, QStringList columns = {}) {
  Result<QSqlQuery> rows = store.exec(q.sql, q.params);
  if (!rows) return Result<Table>::failure(rows.error());
  QSqlQuery& r = rows.value();
  if (columns.isEmpty())
    for (int i = 0; i < r.record().count(); ++i) columns << r.record().fieldName(i);
  Table t{columns, {}};
  while (r.next()) {
    QStringList values;
    for (const QString& c : columns) {
      const QVariant v = r.value(c);
      values << (v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 15)
                                                 : v.toString());
    }
    t.rows << values;
  }
  return t;
}

void printTsv(QTextStream& out, const Table& t) {
  out << tsvLine(t.columns) << '\n';
  for (const QStringList& row : t.rows) out << tsvLine(row) << '\n';
}

QJsonObject object(const QStringList& columns, const QStringList& row) {
  QJsonObject o;
  for (qsizetype i = 0; i < columns.size(); ++i) o.insert(columns.at(i), row.value(i));
  return o;
}

QJsonArray array(const Table& t) {
  QJsonArray a;
  for (const QStringList& row : t.rows) a.append(object(t.columns, row));
  return a;
}

void printJson(QTextStream& out, const QJsonDocument& doc) {
  out << QString::fromUtf8(doc.toJson(QJsonDocument::Indented));
}

Result<QByteArray> readFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return Result<QByteArray>::failure(
        QStringLiteral("Dosya okunamadı: %1 (%2)").arg(path, f.errorString()));
  return f.readAll();
}

// A value that must be one of a list (case as the list has it).
Result<QString> oneOf(const QString& option, const QString& value, const QStringList& allowed) {
  for (const QString& a : allowed)
    if (a.compare(value, Qt::CaseInsensitive) == 0 ||
        QLocale(QLocale::Turkish).toLower(a) == QLocale(QLocale::Turkish).toLower(value))
      return a;
  return Result<QString>::failure(QStringLiteral("--%1 şunlardan biri olmalıdır: %2")
                                      .arg(option, allowed.join(QStringLiteral(", "))));
}

// The classification options every question command shares.
Status classify(const Args& a, Question& q) {
  if (a.has(QStringLiteral("type"))) {
    Result<QString> v =
        oneOf(QStringLiteral("type"), a.value(QStringLiteral("type")), lists::SoruTuruDoldur());
    if (!v) return Status::failure(v.error());
    q.turu = v.value();
  }
  if (a.has(QStringLiteral("difficulty"))) {
    Result<QString> v = oneOf(QStringLiteral("difficulty"), a.value(QStringLiteral("difficulty")),
                              lists::ZorlukDoldur());
    if (!v) return Status::failure(v.error());
    q.zorluk = v.value();
  }
  if (a.has(QStringLiteral("points"))) {
    q.puan = a.value(QStringLiteral("points")).trimmed();
    if (q.puan.isEmpty() || !isValidPoints(q.puan))
      return Status::failure(QStringLiteral("--points 0 ile 100 arasında bir tam sayı olmalıdır."));
  }
  return {};
}

int questionsAdd(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const bool picture = a.has(QStringLiteral("picture"));
  const bool typed = a.has(QStringLiteral("text"));
  if (picture == typed)
    return usageError(err, QStringLiteral("--picture ya da --text (yalnız biri) gerekli."),
                      questionsAddSyntax());
  if (a.has(QStringLiteral("choices")) && !typed)
    return usageError(err, QStringLiteral("--choices yalnızca --text ile kullanılır."),
                      questionsAddSyntax());
  if (!a.has(QStringLiteral("answer")))
    return usageError(err, QuestionBank::noCorrectChoiceMessage(), questionsAddSyntax());
  Question q;
  q.dogruSik = a.value(QStringLiteral("answer")).trimmed().toUpper();
  q.seviye = a.value(QStringLiteral("level"));
  q.ders = a.value(QStringLiteral("course"));
  q.unite = a.value(QStringLiteral("unit"));
  q.konu = a.value(QStringLiteral("topic"));
  q.kazanim = a.value(QStringLiteral("outcome"));
  q.aciklama = a.value(QStringLiteral("note"));
  q.sure = a.has(QStringLiteral("time")) ? a.value(QStringLiteral("time")) : texts::kSuresiz;
  if (!isValidTime(q.sure))
    return usageError(err, QStringLiteral("--time \"Süresiz\" ya da 1-3600 saniye olmalıdır."),
                      questionsAddSyntax());
  if (Status s = classify(a, q); !s) return usageError(err, s.error(), questionsAddSyntax());
  QuestionPictures pictures;
  if (picture) {
    Result<QByteArray> bytes = readFile(a.value(QStringLiteral("picture")));
    if (!bytes) return fail(err, bytes.error());
    pictures.question = bytes.value();
  } else {
    TypedQuestion t;
    t.setStemText(a.value(QStringLiteral("text")));
    const QStringList choices = a.value(QStringLiteral("choices")).split(QLatin1Char('|'));
    if (a.has(QStringLiteral("choices")) && choices.size() > TypedQuestion::kMaxChoices)
      return usageError(err, QStringLiteral("En çok beş şık verilebilir."), questionsAddSyntax());
    if (a.has(QStringLiteral("choices")))
      for (qsizetype i = 0; i < choices.size(); ++i) t.setChoice(int(i), choices.at(i).trimmed());
    if (const QString p = t.problem(); !p.isEmpty()) return fail(err, p);
    Result<QByteArray> png = t.picture();
    if (!png) return fail(err, png.error());
    pictures.question = png.value();
    q.soruIcerik = t.plainText();
  }
  if (a.has(QStringLiteral("solution"))) {
    Result<QByteArray> bytes = readFile(a.value(QStringLiteral("solution")));
    if (!bytes) return fail(err, bytes.error());
    pictures.solution = bytes.value();
  }
  if (!openDatabase(store, err)) return 1;
  const Result<QString> key = QuestionBank(store).add(q, pictures);
  if (!key) return fail(err, key.error());
  out << key.value() << '\n';
  return 0;
}

int questionsList(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  QuestionSearch s;
  s.curriculum.level = a.value(QStringLiteral("level"));
  s.curriculum.course = a.value(QStringLiteral("course"));
  s.curriculum.unit = a.value(QStringLiteral("unit"));
  s.dogruSik = a.value(QStringLiteral("answer")).toUpper();
  s.testNo = a.value(QStringLiteral("test"));
  if (a.has(QStringLiteral("last"))) {
    const Result<int> n = QuestionSearch::parseLastAdded(a.value(QStringLiteral("last")));
    if (!n || n.value() == 0)
      return usageError(err, QStringLiteral("--last: Sıfırdan farklı bir sayı giriniz"),
                        questionsListSyntax());
    s.lastAdded = n.value();
  }
  if (!openDatabase(store, err)) return 1;
  const Result<Table> t =
      readTable(store, s.bankQuery(),
                {QStringLiteral("SORUNO"), QStringLiteral("SEVIYE"), QStringLiteral("DERS"),
                 QStringLiteral("UNITE"), QStringLiteral("KONU"), QStringLiteral("KAZANIM"),
                 QStringLiteral("DOGRUSIK"), QStringLiteral("TURU"), QStringLiteral("ZORLUK"),
                 QStringLiteral("PUAN"), QStringLiteral("SURE"), QStringLiteral("SORUICERIK")});
  if (!t) return fail(err, t.error());
  if (a.has(QStringLiteral("json")))
    printJson(out, QJsonDocument(array(t.value())));
  else
    printTsv(out, t.value());
  return 0;
}

int questionsDelete(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  if (!openDatabase(store, err)) return 1;
  QuestionBank bank(store);
  for (const QString& key : a.positional) {
    const Result<bool> live = bank.isLive(key);
    if (!live) return fail(err, live.error());
    if (!live.value()) return fail(err, QStringLiteral("Soru Bulunamadı: ") + key);
  }
  const Result<QuestionBank::Removal> r = bank.remove(a.positional);
  if (!r) return fail(err, r.error());
  for (const QString& key : r->deleted) out << tsvLine({key, QStringLiteral("silindi")}) << '\n';
  for (const QString& key : r->marked)
    out << tsvLine({key, QStringLiteral("uygulamada kullanıldığı için saklandı, silindi olarak "
                                        "işaretlendi")})
        << '\n';
  return 0;
}

int testsCreate(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  Test t;
  t.testAdi = a.positional.first();
  t.hazirlayan = a.value(QStringLiteral("author"));
  t.seviye = a.value(QStringLiteral("level"));
  t.ders = a.value(QStringLiteral("course"));
  t.unite = a.value(QStringLiteral("unit"));
  if (!openDatabase(store, err)) return 1;
  const Result<QString> key = TestCatalog(store).create(t);
  if (!key) return fail(err, key.error());
  out << key.value() << '\n';
  return 0;
}

int testsList(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  if (!openDatabase(store, err)) return 1;
  const Result<Table> t = readTable(store, TestSearch{}.query());
  if (!t) return fail(err, t.error());
  if (a.has(QStringLiteral("json")))
    printJson(out, QJsonDocument(array(t.value())));
  else
    printTsv(out, t.value());
  return 0;
}

// The test must exist (and is not free questioning).
bool findTest(store::Store& store, const QString& testNo, QTextStream& err) {
  const Result<bool> there = TestCatalog(store).exists(testNo);
  if (!there) {
    err << there.error() << '\n';
    return false;
  }
  if (!there.value() || testNo == kFreeTestNo) {
    err << TestCatalog::notFoundMessage() << ": " << testNo << '\n';
    return false;
  }
  return true;
}

int testsShow(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const QString testNo = a.positional.first();
  if (!openDatabase(store, err)) return 1;
  if (!findTest(store, testNo, err)) return 1;
  const QStringList testColumns{QStringLiteral("TESTNO"),
                                QStringLiteral("TESTADI"),
                                QStringLiteral("HAZIRLAYAN"),
                                QStringLiteral("SEVIYE"),
                                QStringLiteral("DERS"),
                                QStringLiteral("UNITE"),
                                QStringLiteral("KONU"),
                                QStringLiteral("KAZANIM"),
                                QStringLiteral("SORUSAYILARINIGOSTER"),
                                QStringLiteral("BASLANGICEKRANIGOSTER"),
                                QStringLiteral("BKITAPCIK"),
                                QStringLiteral("CKITAPCIK"),
                                QStringLiteral("DKITAPCIK"),
                                QStringLiteral("TESTSIRASI")};
  const Result<Table> test = readTable(
      store,
      {QStringLiteral("SELECT * FROM TABLETEST WHERE TESTNO=? ORDER BY ID LIMIT 1"), {testNo}},
      testColumns);
  const Result<Table> questions = readTable(
      store,
      {QStringLiteral("SELECT TS.TESTSIRANO AS TESTSIRANO,TS.SORUNO AS SORUNO,NZ(S.DOGRUSIK) AS "
                      "DOGRUSIK,TS.SURE AS SURE,TS.BOLUM AS BOLUM,TS.BSIRASI AS BSIRASI,"
                      "TS.CSIRASI AS CSIRASI,TS.DSIRASI AS DSIRASI FROM TABLETESTSORU TS LEFT JOIN "
                      "TABLESORU S ON S.SORUNO=TS.SORUNO WHERE TS.TESTNO=? ORDER BY "
                      "VAL(TS.TESTSIRANO),TS.ID"),
       {testNo}});
  if (!test) return fail(err, test.error());
  if (!questions) return fail(err, questions.error());
  if (a.has(QStringLiteral("json"))) {
    QJsonObject doc{{QStringLiteral("test"), object(testColumns, test->rows.value(0))},
                    {QStringLiteral("questions"), array(questions.value())}};
    printJson(out, QJsonDocument(doc));
  } else {
    printTsv(out, test.value());
    out << '\n';
    printTsv(out, questions.value());
  }
  return 0;
}

int testsAdd(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const QString testNo = a.positional.first();
  const QStringList keys = a.positional.mid(1);
  if (!openDatabase(store, err)) return 1;
  if (!findTest(store, testNo, err)) return 1;
  if (Status s = TestQuestions(store).add(testNo, keys); !s) return fail(err, s.error());
  out << keys.size() << " soru eklendi\n";
  return 0;
}

int testsAuto(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  if (!a.has(QStringLiteral("count")))
    return usageError(err, QStringLiteral("--count gerekli."), testsAutoSyntax());
  const Result<int> count = AutoSelection::parseCount(a.value(QStringLiteral("count")));
  if (!count) return usageError(err, count.error(), testsAutoSyntax());
  SelectionRow row;
  row.count = count.value();
  QuestionSearch& c = row.criteria;
  c.curriculum = {a.value(QStringLiteral("level")), a.value(QStringLiteral("course")),
                  a.value(QStringLiteral("unit")), a.value(QStringLiteral("topic")),
                  a.value(QStringLiteral("outcome"))};
  c.text = a.value(QStringLiteral("note"));
  Question classes;
  if (Status s = classify(a, classes); !s) return usageError(err, s.error(), testsAutoSyntax());
  c.turu = classes.turu;
  c.zorluk = classes.zorluk;
  c.puan = classes.puan;
  if (a.has(QStringLiteral("usage"))) {
    const QString u = a.value(QStringLiteral("usage"));
    if (u != QStringLiteral("used") && u != QStringLiteral("unused"))
      return usageError(err, QStringLiteral("--usage used ya da unused olmalıdır."),
                        testsAutoSyntax());
    c.usage =
        u == QStringLiteral("used") ? QuestionSearch::Usage::Used : QuestionSearch::Usage::Unused;
  }
  const QString testNo = a.positional.first();
  if (!openDatabase(store, err)) return 1;
  if (!findTest(store, testNo, err)) return 1;
  RandomSource random;
  const Result<SelectionReport> r = AutoSelection(store, random).run(testNo, row);
  if (!r) return fail(err, r.error());
  out << r->message() << '\n';
  return 0;
}

int testsShuffle(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const QString testNo = a.positional.first();
  if (!openDatabase(store, err)) return 1;
  if (!findTest(store, testNo, err)) return 1;
  RandomSource random;
  if (Status s = TestQuestions(store).shuffle(testNo, random); !s) return fail(err, s.error());
  out << "Testin soruları karıştırıldı.\n";
  return 0;
}

int testsOrder(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const std::optional<Booklet> booklet = booklets::fromLetter(a.positional.at(1));
  if (!booklet || *booklet == Booklet::A)
    return usageError(err, QStringLiteral("Kitapçık B, C ya da D olmalıdır."), testsOrderSyntax());
  const Result<QList<int>> order = booklets::parseOrder(a.positional.at(2));
  if (!order) return usageError(err, order.error(), testsOrderSyntax());
  const QString testNo = a.positional.first();
  if (!openDatabase(store, err)) return 1;
  if (!findTest(store, testNo, err)) return 1;
  if (Status s = BookletOrders(store).setOrder(testNo, *booklet, order.value()); !s)
    return fail(err, s.error());
  out << booklets::letter(*booklet) << " kitapçığının sırası kaydedildi.\n";
  return 0;
}

int testsBooklet(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const QString file = a.value(QStringLiteral("out"));
  if (file.isEmpty())
    return usageError(err, QStringLiteral("--out gerekli."), testsBookletSyntax());
  const QString suffix = QFileInfo(file).suffix().toLower();
  if (suffix != QStringLiteral("pdf") && suffix != QStringLiteral("odt"))
    return usageError(err, QStringLiteral("--out bir .pdf ya da .odt dosyası olmalıdır."),
                      testsBookletSyntax());
  BookletOptions options;
  options.answerKey = a.has(QStringLiteral("key"));
  if (a.has(QStringLiteral("booklet"))) {
    const std::optional<Booklet> b = booklets::fromLetter(a.value(QStringLiteral("booklet")));
    if (!b)
      return usageError(err, QStringLiteral("--booklet A, B, C ya da D olmalıdır."),
                        testsBookletSyntax());
    options.booklet = *b;
  }
  if (a.has(QStringLiteral("header-on"))) {
    const std::optional<HeaderPlacement> p =
        bookletheader::fromWord(a.value(QStringLiteral("header-on")));
    if (!p)
      return usageError(err, QStringLiteral("--header-on first, every ya da none olmalıdır."),
                        testsBookletSyntax());
    options.header = *p;
  }
  QByteArray header;
  if (a.has(QStringLiteral("header"))) {
    const Result<QByteArray> h = bookletheader::fromFile(a.value(QStringLiteral("header")));
    if (!h) return fail(err, h.error());
    header = h.value();
  }
  const QString testNo = a.positional.first();
  if (!openDatabase(store, err)) return 1;
  if (!findTest(store, testNo, err)) return 1;
  if (a.has(QStringLiteral("header"))) {
    if (Status s = TestCatalog(store).setHeader(testNo, header); !s) return fail(err, s.error());
  }
  const Status s = BookletDocument(store).write(testNo, file, options);
  if (!s) return fail(err, s.error());
  out << "Kitapçık yazıldı: " << file << '\n';
  return 0;
}

int testsRenumber(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const QString testNo = a.positional.at(0);
  if (!openDatabase(store, err)) return 1;
  if (!findTest(store, testNo, err)) return 1;
  const Result<TestRenumbering::Report> r =
      TestRenumbering(store).renumber(testNo, a.positional.at(1));
  if (!r) return fail(err, r.error());
  out << "ESKI\tYENI\n" << tsvLine({testNo, r->testNo}) << '\n';
  for (const auto& [from, to] : r->questions) out << tsvLine({from, to}) << '\n';
  return 0;
}

// Writing an exchange file: the keys and --out.
template <typename Package>
int exportPackage(store::Store& store, const Args& a, QTextStream& out, QTextStream& err,
                  const Syntax& syntax) {
  if (!a.has(QStringLiteral("out")))
    return usageError(err, QStringLiteral("--out gerekli."), syntax);
  if (!openDatabase(store, err)) return 1;
  const Status s = Package(store).write(a.positional, a.value(QStringLiteral("out")));
  if (!s) return fail(err, s.error());
  out << Package::writtenMessage() << '\n';
  return 0;
}

// Reading exchange files, each in its own transaction: the count over the good
// ones; a refused file is named with the screens' message and makes the exit
// code 1. A file taken before adds nothing, is named with when it was taken
// and makes the exit code 1, unless --again reads it once more.
template <typename Package>
int importPackages(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  if (!openDatabase(store, err)) return 1;
  Package package(store);
  const exchange::TakenFiles taken(store);
  const bool again = a.has(QStringLiteral("again"));
  const exchange::ImportOutcome outcome = exchange::readFiles(
      a.positional,
      [&package](const QString& path, bool onlyIfNew) { return package.read(path, {}, onlyIfNew); },
      {}, &taken, [again](const QString&, const exchange::TakenFile&) { return again; });
  for (const QString& failure : outcome.failures)
    err << Package::readFailedMessage() << " (" << failure << ")\n";
  for (const QString& skipped : outcome.skipped)
    err << skipped << " Hiçbir şey eklenmedi; yeniden almak için --again yazınız.\n";
  const bool clean = outcome.failures.isEmpty() && outcome.skipped.isEmpty();
  if (outcome.added > 0 || clean) out << Package::addedMessage(outcome.added) << '\n';
  return clean ? 0 : 1;
}

int questionsExport(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  return exportPackage<exchange::QuestionPackage>(store, a, out, err, questionsExportSyntax());
}

int questionsImport(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  return importPackages<exchange::QuestionPackage>(store, a, out, err);
}

int testsExport(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  return exportPackage<exchange::TestPackage>(store, a, out, err, testsExportSyntax());
}

int testsImport(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  return importPackages<exchange::TestPackage>(store, a, out, err);
}

using Run = int (*)(store::Store&, const Args&, QTextStream&, QTextStream&);
struct Sub {
  const char* name;
  const Syntax& syntax;
  Run run;
};

int dispatch(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err,
             const QList<Sub>& subs, const QString& usage) {
  for (const Sub& sub : subs) {
    if (words.value(0) != QLatin1String(sub.name)) continue;
    int code = 0;
    const std::optional<Args> a = parseOrComplain(words.mid(1), sub.syntax, err, code);
    if (!a) return code;
    return sub.run(store, *a, out, err);
  }
  return subCommandError(err, words, usage);
}

int questions(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  return dispatch(store, words, out, err,
                  {{"add", questionsAddSyntax(), questionsAdd},
                   {"list", questionsListSyntax(), questionsList},
                   {"delete", questionsDeleteSyntax(), questionsDelete},
                   {"export", questionsExportSyntax(), questionsExport},
                   {"import", questionsImportSyntax(), questionsImport}},
                  QStringLiteral("questions add|list|delete|export|import ... (derslik-cli help)"));
}

int tests(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  return dispatch(store, words, out, err,
                  {{"create", testsCreateSyntax(), testsCreate},
                   {"list", testsListSyntax(), testsList},
                   {"show", testsShowSyntax(), testsShow},
                   {"add-questions", testsAddSyntax(), testsAdd},
                   {"auto", testsAutoSyntax(), testsAuto},
                   {"shuffle", testsShuffleSyntax(), testsShuffle},
                   {"booklet-order", testsOrderSyntax(), testsOrder},
                   {"booklet", testsBookletSyntax(), testsBooklet},
                   {"renumber", testsRenumberSyntax(), testsRenumber},
                   {"export", testsExportSyntax(), testsExport},
                   {"import", testsImportSyntax(), testsImport}},
                  QStringLiteral("tests create|list|show|add-questions|auto|shuffle|booklet-order|"
                                 "booklet|renumber|export|import ... (derslik-cli help)"));
}

}  // namespace

QList<CliCommand> authoringCommands() {
  return {
      {QStringLiteral("questions"),
       QStringLiteral("questions add --picture DOSYA|--text \"SORU\" [--choices \"A|B|C|D|E\"] "
                      "--answer X [...] | list [--level L] [--course C] [--unit U] [--answer X] "
                      "[--test T] [--last N] [--json] | delete SORUNO... | export SORUNO... --out "
                      "DOSYA.cks | import DOSYA.cks... [--again]"),
       questions},
      {QStringLiteral("tests"),
       QStringLiteral(
           "tests create AD [...] | list [--json] | show T [--json] | add-questions T "
           "SORUNO... | auto T --count K [...] | shuffle T | booklet-order T B|C|D "
           "P1,P2,... | booklet T --out DOSYA [...] | renumber T YENİ | export T... --out "
           "DOSYA.ckp | import DOSYA.ckp|DOSYA.ckt... [--again]"),
       tests},
  };
}

}  // namespace cli
