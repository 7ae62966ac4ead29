// derslik-cli verbs of the results: runs, one run's report, its key, item
// analysis, ranking, progress, exports and surveys, over the report screens' core.
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>

#include "CliCommand.h"
#include "reports/ItemAnalysis.h"
#include "reports/ProgressReport.h"
#include "reports/ReportExports.h"
#include "reports/RunList.h"
#include "reports/RunReport.h"
#include "reports/RunRevision.h"
#include "reports/SuccessRanking.h"
#include "reports/Surveys.h"
#include "school/Students.h"
#include "store/BrowserAddress.h"
#include "store/SchemaTables.h"
#include "store/Store.h"

namespace cli {

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

const Syntax& runsSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("report runs [--class C] [--test T] [--from gg.aa.yyyy] "
                            "[--to gg.aa.yyyy] [--json]"))
          .value(QStringLiteral("class"))
          .value(QStringLiteral("test"))
          .value(QStringLiteral("from"))
          .value(QStringLiteral("to"))
          .flag(QStringLiteral("json"));
  return s;
}
const Syntax& runSyntax() {
  static const Syntax s = Syntax(QStringLiteral("report run TARIH BASLANGIC [--json]"), 2, 2)
                              .flag(QStringLiteral("json"));
  return s;
}
const Syntax& keySyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("report key TARIH BASLANGIC (--set \"1=A,2=C,...\" | --majority)"), 2,
             2)
          .value(QStringLiteral("set"))
          .flag(QStringLiteral("majority"));
  return s;
}
const Syntax& removeSyntax() {
  static const Syntax s(QStringLiteral("report remove-question TARIH BASLANGIC SIRA"), 3, 3);
  return s;
}
const Syntax& itemsSyntax() {
  static const Syntax s =
      Syntax(
          QStringLiteral("report items TARIH BASLANGIC [--json] | report items --test T [--json]"),
          0, 2)
          .value(QStringLiteral("test"))
          .flag(QStringLiteral("json"));
  return s;
}
const Syntax& rankingSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("report ranking [--class C] (--last N | --from gg.aa.yyyy --to "
                            "gg.aa.yyyy) [--course C] [--json]"))
          .value(QStringLiteral("class"))
          .value(QStringLiteral("last"))
          .value(QStringLiteral("from"))
          .value(QStringLiteral("to"))
          .value(QStringLiteral("course"))
          .flag(QStringLiteral("json"));
  return s;
}
const Syntax& progressSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("report progress (--student KAYITNO | --class C) (--last N | --from "
                            "gg.aa.yyyy --to gg.aa.yyyy) [--json]"))
          .value(QStringLiteral("student"))
          .value(QStringLiteral("class"))
          .value(QStringLiteral("last"))
          .value(QStringLiteral("from"))
          .value(QStringLiteral("to"))
          .flag(QStringLiteral("json"));
  return s;
}
const Syntax& exportSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("report export TARIH BASLANGIC --out DOSYA.xlsx|DOSYA.pdf [--sheets]"),
             2, 2)
          .value(QStringLiteral("out"))
          .flag(QStringLiteral("sheets"));
  return s;
}
const Syntax& surveySyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("report survey TARIH BASLANGIC [--out KLASOR]"), 2, 2)
          .value(QStringLiteral("out"));
  return s;
}

// ---- output: tab-separated with a header line, or one JSON document

void printTable(QTextStream& out, const QStringList& columns, const QList<QStringList>& rows) {
  out << tsvLine(columns) << '\n';
  for (const QStringList& row : rows) out << tsvLine(row) << '\n';
}

QJsonArray objects(const QStringList& columns, const QList<QStringList>& rows) {
  QJsonArray array;
  for (const QStringList& row : rows) {
    QJsonObject o;
    for (int c = 0; c < columns.size(); ++c) o.insert(columns.at(c), row.value(c));
    array.append(o);
  }
  return array;
}

void printJson(QTextStream& out, const QJsonDocument& doc) {
  out << QString::fromUtf8(doc.toJson(QJsonDocument::Indented));
}

// Figures as a reader wants them: percentages to two decimals, statistics to four.
double rounded(double v, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(v * scale) / scale;
}

QJsonValue figure(const std::optional<double>& v, int decimals = 4) {
  return v ? QJsonValue(rounded(*v, decimals)) : QJsonValue(QJsonValue::Null);
}

int failed(QTextStream& err, const QString& error) {
  err << error << '\n';
  return 1;
}

// ---- arguments shared by several verbs

std::optional<QDate> dateArg(const QString& text, QTextStream& err) {
  const QDate d = QDate::fromString(text, kDateFormat);
  if (!d.isValid()) {
    err << "Geçersiz tarih: " << text << " (gg.aa.yyyy)\n";
    return std::nullopt;
  }
  return d;
}

// --last N or --from/--to; `code` is set on a usage error.
std::optional<reports::RunCriteria> criteriaArgs(const Args& a, const Syntax& syntax,
                                                 QTextStream& err, int& code) {
  reports::RunCriteria c;
  const bool last = a.has(QStringLiteral("last"));
  const bool range = a.has(QStringLiteral("from")) || a.has(QStringLiteral("to"));
  if (last == range || (range && !(a.has(QStringLiteral("from")) && a.has(QStringLiteral("to"))))) {
    code = usageError(err, QStringLiteral("--last N ya da --from ile --to birlikte verilmelidir."),
                      syntax);
    return std::nullopt;
  }
  if (last) {
    bool ok = false;
    c.lastRuns = a.value(QStringLiteral("last")).toInt(&ok);
    if (!ok || c.lastRuns < 1) {
      code = usageError(err, QStringLiteral("--last bir pozitif sayı bekliyor."), syntax);
      return std::nullopt;
    }
    return c;
  }
  const std::optional<QDate> from = dateArg(a.value(QStringLiteral("from")), err);
  const std::optional<QDate> to = dateArg(a.value(QStringLiteral("to")), err);
  if (!from || !to) {
    code = 2;
    return std::nullopt;
  }
  c.limit = reports::RunCriteria::Limit::DateRange;
  c.from = *from;
  c.to = *to;
  return c;
}

// The run DATE START names, when it exists.
std::optional<reports::RunRow> findRun(store::Store& store, const QStringList& positional,
                                       QTextStream& err) {
  const reports::RunKey key{positional.at(0), positional.at(1)};
  const Result<QList<reports::RunRow>> r = reports::RunList(store).run(key);
  if (!r) {
    err << r.error() << '\n';
    return std::nullopt;
  }
  if (r->isEmpty()) {
    err << "Uygulama bulunamadı: " << key.date << ' ' << key.start
        << " (report runs uygulamaları listeler)\n";
    return std::nullopt;
  }
  return r->first();
}

std::optional<reports::RunReport> loadReport(store::Store& store, const QStringList& positional,
                                             QTextStream& err) {
  const std::optional<reports::RunRow> run = findRun(store, positional, err);
  if (!run) return std::nullopt;
  reports::RunReport report(store, run->key);
  if (Status s = report.load(); !s) {
    err << s.error() << '\n';
    return std::nullopt;
  }
  return report;
}

// ---- the verbs

int runs(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  reports::RunFilter f;
  f.sinifi = a.value(QStringLiteral("class"));
  f.testNo = a.value(QStringLiteral("test"));
  if (a.has(QStringLiteral("from")) || a.has(QStringLiteral("to"))) {
    f.dateRange = true;
    f.from = QDate(1900, 1, 1);
    f.to = QDate(9999, 12, 31);
    for (const char* name : {"from", "to"}) {
      if (!a.has(QString::fromLatin1(name))) continue;
      const std::optional<QDate> d = dateArg(a.value(QString::fromLatin1(name)), err);
      if (!d) return 2;
      (qstrcmp(name, "from") == 0 ? f.from : f.to) = *d;
    }
  }
  if (!openDatabase(store, err, true)) return 1;
  const Result<QList<reports::RunRow>> rows = reports::RunList(store).rows(f);
  if (!rows) return failed(err, rows.error());
  const QStringList columns{"TESTTARIHI", "TESTBASLANGIC", "TESTBITIS", "TESTNO",   "TESTADI",
                            "SORUSAYISI", "SEVIYE",        "DERS",      "UNITE",    "KONU",
                            "KAZANIM",    "SINIFI",        "GRUP",      "ACIKLAMA", "AKTARILDI"};
  QList<QStringList> cells;
  for (const reports::RunRow& r : rows.value())
    cells << QStringList{
        r.key.date, r.key.start, r.testBitis, r.testNo, r.testAdi, QString::number(r.soruSayisi),
        r.seviye,   r.ders,      r.unite,     r.konu,   r.kazanim, r.sinifi,
        r.grup,     r.aciklama,  r.aktarildi};
  if (a.has(QStringLiteral("json")))
    printJson(out, QJsonDocument(objects(columns, cells)));
  else
    printTable(out, columns, cells);
  return 0;
}

int run(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  if (!openDatabase(store, err, true)) return 1;
  const std::optional<reports::RunReport> report = loadReport(store, a.positional, err);
  if (!report) return 1;
  // The result rows as stored, in rank order; the table's own columns (the
  // school's server adds one of its own to each table).
  Result<QSqlQuery> q = store.exec(
      QStringLiteral("SELECT %1 FROM TABLESONUC WHERE TESTTARIHI=? AND TESTBASLANGIC=? ORDER BY "
                     "VAL(KACINCIOLDU),rowid")
          .arg(store::findMainTable(QStringLiteral("TABLESONUC"))
                   ->columnNames()
                   .join(QLatin1Char(','))),
      {report->key().date, report->key().start});
  if (!q) return failed(err, q.error());
  QStringList studentColumns;
  QList<QStringList> students;
  while (q.value().next()) {
    const QSqlRecord record = q.value().record();
    if (studentColumns.isEmpty())
      for (int c = 0; c < record.count(); ++c) studentColumns << record.fieldName(c);
    QStringList row;
    for (int c = 0; c < record.count(); ++c) row << q.value().value(c).toString();
    students << row;
  }
  const QStringList questionColumns{"TESTSIRANO", "SORUNO", "DOGRUSIK", "A",   "B",
                                    "C",          "D",      "E",        "BOS", "DOGRUORAN"};
  QList<QStringList> questions;
  QJsonArray questionArray;
  for (int i = 0; i < report->questions().size(); ++i) {
    const reports::QuestionView v = report->question(i, {});
    QStringList row{v.question.position, v.question.soruNo, v.question.key};
    QJsonObject o{{QStringLiteral("TESTSIRANO"), v.question.position},
                  {QStringLiteral("SORUNO"), v.question.soruNo},
                  {QStringLiteral("DOGRUSIK"), v.question.key}};
    for (int l = 0; l < 5; ++l) {
      row << QString::number(v.options[size_t(l)].count);
      o.insert(QString(QChar(u'A' + l)), v.options[size_t(l)].count);
    }
    row << QString::number(v.optionBlank.count) << v.correct.percent;
    o.insert(QStringLiteral("BOS"), v.optionBlank.count);
    o.insert(QStringLiteral("DOGRUORAN"), v.correct.percent.toDouble());
    questions << row;
    questionArray.append(o);
  }
  if (a.has(QStringLiteral("json"))) {
    QJsonArray leftOut;
    for (const reports::LeftOutStudent& l : report->info().leftOut)
      leftOut.append(QJsonObject{{QStringLiteral("KUMANDAADRESI"), l.address},
                                 {QStringLiteral("ADISOYADI"), l.name}});
    QJsonObject doc{{QStringLiteral("students"), objects(studentColumns, students)},
                    {QStringLiteral("questions"), questionArray},
                    {QStringLiteral("leftOut"), leftOut}};
    printJson(out, QJsonDocument(doc));
    return 0;
  }
  out << report->title() << "\n";
  const reports::GeneralView general = report->general({});
  if (!general.leftOutCaption.isEmpty())
    out << general.leftOutCaption << ": " << general.leftOutNames << '\n';
  if (const QString note = general.unscoredNote; !note.isEmpty()) out << note << '\n';
  out << '\n';
  // The text is read by people: a browser address says "Tarayıcı" (the JSON keeps it).
  if (const qsizetype column = studentColumns.indexOf(QStringLiteral("KUMANDAADRESI")); column >= 0)
    for (QStringList& row : students) row[column] = store::shownAddress(row.at(column));
  printTable(out, studentColumns, students);
  out << '\n';
  printTable(out, questionColumns, questions);
  return 0;
}

int key(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const bool set = a.has(QStringLiteral("set"));
  if (set == a.has(QStringLiteral("majority")))
    return usageError(err,
                      QStringLiteral("--set ya da --majority seçeneklerinden biri verilmelidir."),
                      keySyntax());
  QList<QPair<QString, QString>> keys;
  if (set) {
    QSet<QString> given;
    for (const QString& pair :
         a.value(QStringLiteral("set")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
      const QStringList parts = pair.split(QLatin1Char('='));
      const QString letter = parts.value(1).trimmed().toUpper();
      if (parts.size() != 2 || parts.at(0).trimmed().isEmpty() ||
          !reports::RunRevision::validKey(letter))
        return usageError(err,
                          QStringLiteral("Geçersiz anahtar: %1 (örnek: 1=A,2=C; boş bırakmak "
                                         "için 3=)")
                              .arg(pair),
                          keySyntax());
      // "1=A,1=B" says two things of one question: neither is taken.
      const QString position = parts.at(0).trimmed();
      bool number = false;
      const qint64 n = position.toLongLong(&number);
      const QString same = number ? QString::number(n) : position;
      if (given.contains(same))
        return usageError(err,
                          QStringLiteral("%1. sorunun anahtarı iki kez verilmiş.").arg(position),
                          keySyntax());
      given.insert(same);
      keys << qMakePair(position, letter);
    }
    if (keys.isEmpty())
      return usageError(err, QStringLiteral("--set en az bir soru bekliyor."), keySyntax());
  }
  if (!openDatabase(store, err, true)) return 1;
  const std::optional<reports::RunRow> run = findRun(store, a.positional, err);
  if (!run) return 1;
  reports::RunRevision revision(store, run->key);
  if (set) {
    if (Status s = revision.setKeys(keys); !s) return failed(err, s.error());
  } else {
    // The command itself is the teacher's yes.
    CliMessages messages(out, err, true);
    const Result<bool> done = revision.majorityAsKey(messages);
    if (!done) return failed(err, done.error());
  }
  out << "Cevap anahtarı kaydedildi; uygulama yeniden puanlandı.\n";
  return 0;
}

int removeQuestion(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  if (!openDatabase(store, err, true)) return 1;
  const std::optional<reports::RunRow> run = findRun(store, a.positional, err);
  if (!run) return 1;
  CliMessages messages(out, err, true);
  const Result<bool> removed =
      reports::RunRevision(store, run->key).removeQuestion(a.positional.at(2), messages);
  if (!removed) return failed(err, removed.error());
  if (!removed.value()) return 1;
  out << a.positional.at(2) << ". soru uygulamadan çıkarıldı; uygulama yeniden puanlandı.\n";
  return 0;
}

int items(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const bool test = a.has(QStringLiteral("test"));
  if (test ? !a.positional.isEmpty() : a.positional.size() != 2)
    return usageError(err, QStringLiteral("Ya TARIH BASLANGIC ya da --test T verilmelidir."),
                      itemsSyntax());
  if (!openDatabase(store, err, true)) return 1;
  reports::ItemAnalysis::Findings f;
  QString title;
  if (test) {
    const Result<reports::ItemAnalysis::Findings> r =
        reports::analyseTest(store, a.value(QStringLiteral("test")));
    if (!r) return failed(err, r.error());
    if (r->respondents == 0 && r->items.isEmpty() && r->leftOut.isEmpty())
      return failed(err, QStringLiteral("Bu testin kayıtlı uygulaması yok: ") +
                             a.value(QStringLiteral("test")));
    f = r.value();
    title = a.value(QStringLiteral("test")) + QStringLiteral(" Numaralı Testin Bütün Uygulamaları");
  } else {
    const std::optional<reports::RunReport> report = loadReport(store, a.positional, err);
    if (!report) return 1;
    f = report->itemAnalysis();
    title = report->title();
  }
  if (!a.has(QStringLiteral("json"))) {
    out << title << "\n\n";
    printTable(out, reports::ItemAnalysis::captions(f.optionCount),
               reports::ItemAnalysis::cells(f));
    out << '\n';
    for (const QString& line : reports::ItemAnalysis::summary(f)) out << line << '\n';
    return 0;
  }
  QJsonArray questions;
  for (const reports::ItemAnalysis::ItemFigures& item : f.items) {
    QJsonObject options;
    for (int o = 0; o < f.optionCount; ++o) {
      const reports::ItemAnalysis::OptionFigures& of = item.options[size_t(o)];
      options.insert(QString(QChar(u'A' + o)),
                     QJsonObject{{QStringLiteral("count"), of.count},
                                 {QStringLiteral("share"), rounded(of.share, 4)},
                                 {QStringLiteral("pointBiserial"), figure(of.pointBiserial)}});
    }
    questions.append(
        QJsonObject{{QStringLiteral("TESTSIRANO"), item.position},
                    {QStringLiteral("facility"), item.facility},
                    {QStringLiteral("discrimination"), figure(item.discrimination)},
                    {QStringLiteral("upperLower"), figure(item.upperLower)},
                    {QStringLiteral("blank"), item.blank},
                    {QStringLiteral("options"), options},
                    {QStringLiteral("flags"), QJsonArray::fromStringList(item.flags)}});
  }
  const QJsonObject doc{{QStringLiteral("questions"), questions},
                        {QStringLiteral("kr20"), figure(f.kr20)},
                        {QStringLiteral("mean"), rounded(f.mean, 4)},
                        {QStringLiteral("sd"), rounded(f.sd, 4)},
                        {QStringLiteral("sem"), figure(f.sem)},
                        {QStringLiteral("leftOut"), QJsonArray::fromStringList(f.leftOut)}};
  printJson(out, QJsonDocument(doc));
  return 0;
}

int ranking(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  int code = 0;
  std::optional<reports::RunCriteria> c = criteriaArgs(a, rankingSyntax(), err, code);
  if (!c) return code;
  c->curriculum.course = a.value(QStringLiteral("course"));
  if (!openDatabase(store, err, true)) return 1;
  const reports::SuccessRanking ranking(store);
  const Result<QStringList> students = ranking.studentsOf(a.value(QStringLiteral("class")));
  if (!students) return failed(err, students.error());
  const Result<reports::Ranking> r = ranking.build(students.value(), *c);
  if (!r) return failed(err, r.error());
  const QStringList columns{"KAYITNO", "ADI",        "SOYADI", "SINIFI",
                            "DERS",    "TESTSAYISI", "NET",    "TOPLAMSURE"};
  if (a.has(QStringLiteral("json"))) {
    QJsonArray rows;
    for (const reports::RankingRow& row : r->tableRows())
      rows.append(QJsonObject{{QStringLiteral("KAYITNO"), row.kayitNo},
                              {QStringLiteral("ADI"), row.adi},
                              {QStringLiteral("SOYADI"), row.soyadi},
                              {QStringLiteral("SINIFI"), row.sinifi},
                              {QStringLiteral("DERS"), row.ders},
                              {QStringLiteral("TESTSAYISI"), row.testSayisi},
                              {QStringLiteral("NET"), row.net},
                              {QStringLiteral("TOPLAMSURE"), row.toplamSure}});
    printJson(out, QJsonDocument(rows));
    return 0;
  }
  QList<QStringList> cells;
  for (const reports::RankingRow& row : r->tableRows())
    cells << QStringList{row.kayitNo,
                         row.adi,
                         row.soyadi,
                         row.sinifi,
                         row.ders,
                         QString::number(row.testSayisi),
                         QString::number(row.net, 'f', 2),
                         QString::number(row.toplamSure, 'g', 10)};
  out << r->title(reports::RunCriteria::View::List) << "\n\n";
  printTable(out, columns, cells);
  return 0;
}

int progress(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const bool student = a.has(QStringLiteral("student"));
  if (student == a.has(QStringLiteral("class")))
    return usageError(err,
                      QStringLiteral("--student ya da --class seçeneklerinden biri verilmelidir."),
                      progressSyntax());
  int code = 0;
  const std::optional<reports::RunCriteria> c = criteriaArgs(a, progressSyntax(), err, code);
  if (!c) return code;
  if (!openDatabase(store, err, true)) return 1;
  const QString subject = a.value(student ? QStringLiteral("student") : QStringLiteral("class"));
  if (student) {
    const Result<bool> known = school::Students(store).exists(subject);
    if (!known) return failed(err, known.error());
    if (!known.value()) {
      err << subject << " kayıt numaralı bir öğrenci yok.\n";
      return 2;
    }
  }
  reports::ProgressReport report(
      store,
      student ? reports::ProgressReport::Subject::Student : reports::ProgressReport::Subject::Class,
      {subject}, *c);
  if (Status s = report.show(0); !s) return failed(err, s.error());
  const QStringList columns = reports::ProgressReport::columnNames();
  if (a.has(QStringLiteral("json"))) {
    QJsonArray rows;
    for (const reports::ProgressRow& r : report.rows()) {
      const QStringList cells = reports::ProgressReport::cells(r);
      QJsonObject o;
      for (int i = 0; i < columns.size(); ++i) o.insert(columns.at(i), cells.at(i));
      o.insert(QStringLiteral("SORUSAYISI"), r.soruSayisi);
      o.insert(QStringLiteral("NETORAN"), rounded(r.netOran, 2));
      o.insert(QStringLiteral("DOGRUORAN"), rounded(r.dogruOran, 2));
      o.insert(QStringLiteral("YANLISORAN"), rounded(r.yanlisOran, 2));
      o.insert(QStringLiteral("BOSORAN"), rounded(r.bosOran, 2));
      o.insert(QStringLiteral("SINIFNETORAN"), figure(r.sinifNetOran, 2));
      rows.append(o);
    }
    printJson(out, QJsonDocument(rows));
    return 0;
  }
  QList<QStringList> cells;
  for (const reports::ProgressRow& r : report.rows()) cells << reports::ProgressReport::cells(r);
  out << report.title() << "\n\n";
  printTable(out, columns, cells);
  return 0;
}

int exportRun(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const QString path = a.value(QStringLiteral("out"));
  const bool sheets = a.has(QStringLiteral("sheets"));
  const bool pdf = path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
  if (path.isEmpty())
    return usageError(err, QStringLiteral("--out DOSYA gerekli."), exportSyntax());
  if (!pdf && !path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
    return usageError(err, QStringLiteral("Dosya .xlsx ya da .pdf uzantılı olmalıdır: ") + path,
                      exportSyntax());
  if (sheets && !pdf)
    return usageError(err, QStringLiteral("--sheets bir .pdf dosyası yazar."), exportSyntax());
  if (!openDatabase(store, err, true)) return 1;
  const std::optional<reports::RunReport> report = loadReport(store, a.positional, err);
  if (!report) return 1;
  const reports::ReportOptions options = reports::ReportOptions::load();
  Status s = sheets ? reports::ReportExports::resultSheetsPdf(*report, path)
             : pdf  ? reports::ReportExports::viewsPdf(*report, options, path)
                    : reports::ReportExports::answersXlsx(*report, options, path);
  if (!s) return failed(err, s.error());
  out << "Yazıldı: " << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) << '\n';
  return 0;
}

int survey(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  if (!openDatabase(store, err, true)) return 1;
  const std::optional<reports::RunRow> run = findRun(store, a.positional, err);
  if (!run) return 1;
  const QString folder =
      a.has(QStringLiteral("out")) ? a.value(QStringLiteral("out")) : reports::surveyFolder(store);
  if (!QDir().mkpath(folder))
    return failed(err, QStringLiteral("Klasör oluşturulamadı: ") + folder);
  Result<QStringList> files = QStringList();
  switch (run->opens()) {
    case reports::RunRow::Opens::ExpectationSurvey: {
      const auto e = reports::ExpectationSurvey(store).evaluate(run->key);
      if (!e) return failed(err, e.error());
      files = reports::ExpectationSurvey::write(e.value(), folder);
      break;
    }
    case reports::RunRow::Opens::LeadershipSurvey: {
      const auto l = reports::LeadershipSurvey(store).evaluate(run->key);
      if (!l) return failed(err, l.error());
      files = reports::LeadershipSurvey::write(l.value(), folder);
      break;
    }
    case reports::RunRow::Opens::Report:
      return failed(err, QStringLiteral("Bu uygulama bir anket değil (\"%1\"): anketler \"%2\" ve "
                                        "\"%3\" testleridir.")
                             .arg(run->testAdi, reports::RunList::expectationSurvey(),
                                  reports::RunList::leadershipSurvey()));
  }
  if (!files) return failed(err, files.error());
  for (const QString& f : files.value()) out << QDir::toNativeSeparators(f) << '\n';
  out << files->size() << " dosya yazıldı.\n";
  return 0;
}

int report(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  struct Sub {
    const char* name;
    const Syntax& syntax;
    int (*run)(store::Store&, const Args&, QTextStream&, QTextStream&);
  };
  const Sub subs[] = {{"runs", runsSyntax(), runs},
                      {"run", runSyntax(), run},
                      {"key", keySyntax(), key},
                      {"remove-question", removeSyntax(), removeQuestion},
                      {"items", itemsSyntax(), items},
                      {"ranking", rankingSyntax(), ranking},
                      {"progress", progressSyntax(), progress},
                      {"export", exportSyntax(), exportRun},
                      {"survey", surveySyntax(), survey}};
  for (const Sub& sub : subs) {
    if (words.value(0) != QLatin1String(sub.name)) continue;
    int code = 0;
    const std::optional<Args> a = parseOrComplain(words.mid(1), sub.syntax, err, code);
    if (!a) return code;
    return sub.run(store, *a, out, err);
  }
  return subCommandError(
      err, words,
      QStringLiteral("report runs|run|key|remove-question|items|ranking|progress|export|survey ... "
                     "(derslik-cli help)"));
}

}  // namespace

QList<CliCommand> reportCommands() {
  return {
      {QStringLiteral("report"),
       QStringLiteral("report runs [--class C] [--test T] [--from D] [--to D] [--json] | run "
                      "TARIH BASLANGIC [--json] | key TARIH BASLANGIC (--set \"1=A,...\" | "
                      "--majority) | remove-question TARIH BASLANGIC SIRA | items (TARIH "
                      "BASLANGIC | --test T) [--json] | ranking [--class C] (--last N | --from "
                      "D --to D) [--course C] [--json] | progress (--student KAYITNO | --class "
                      "C) (--last N | --from D --to D) [--json] | export TARIH BASLANGIC --out "
                      "DOSYA.xlsx|DOSYA.pdf [--sheets] | survey TARIH BASLANGIC [--out KLASOR]"),
       report}};
}

}  // namespace cli
