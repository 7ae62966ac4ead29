#include "reports/Surveys.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QTextDocument>

#include <algorithm>

#include "formats/DocumentFiles.h"
#include "formats/XlsxWriter.h"
#include "school/SchoolExports.h"
#include "store/Store.h"

namespace reports {

namespace {

struct SurveyAnswer {
  QString soruNo;
  int position = 0;
  QString answer;
};

struct SurveyData {
  QList<SurveyPerson> people;                     // Turkish name order
  QHash<QString, QList<SurveyAnswer>> answersOf;  // by person key
};

QCollator turkish() { return QCollator(QLocale(QLocale::Turkish, QLocale::Turkey)); }

// Everyone with an answer row in the run, and their answers.
Result<SurveyData> readRun(const store::Store& store, const RunKey& run) {
  Result<QSqlQuery> q = store.exec(
      QStringLiteral(
          "SELECT NZ(C.KUMANDAADRESI),NZ(C.KAYITNO),NZ(C.SORUNO),VAL(C.TESTSIRANO),NZ(C.CEVAP),"
          "(SELECT NZ(O.ADI) FROM TABLEOGRENCI O WHERE O.KAYITNO=C.KAYITNO LIMIT 1),"
          "(SELECT NZ(O.SOYADI) FROM TABLEOGRENCI O WHERE O.KAYITNO=C.KAYITNO LIMIT 1),"
          "(SELECT NZ(O.SINIFI) FROM TABLEOGRENCI O WHERE O.KAYITNO=C.KAYITNO LIMIT 1) "
          "FROM TABLECEVAP C WHERE C.TESTTARIHI=? AND C.TESTBASLANGIC=? ORDER BY C.rowid"),
      {run.date, run.start});
  if (!q) return Result<SurveyData>::failure(q.error());
  SurveyData data;
  QSqlQuery& r = q.value();
  while (r.next()) {
    const QString address = r.value(0).toString();
    const QString kayitNo = r.value(1).toString();
    const QString key = participantKey(address, kayitNo);
    if (!data.answersOf.contains(key)) {
      data.people << SurveyPerson{
          key, displayName(address, kayitNo, r.value(5).toString(), r.value(6).toString()),
          r.value(7).toString()};
      data.answersOf.insert(key, {});
    }
    data.answersOf[key] << SurveyAnswer{r.value(2).toString(), r.value(3).toInt(),
                                        r.value(4).toString()};
  }
  const QCollator c = turkish();
  std::stable_sort(data.people.begin(), data.people.end(),
                   [&c](const SurveyPerson& a, const SurveyPerson& b) {
                     const int byName = c.compare(a.name.full(), b.name.full());
                     return byName != 0 ? byName < 0 : a.key < b.key;
                   });
  return data;
}

// A file name from a title: Turkish letters stay, characters no file name may hold
// become "-" (the rule of every export's offered name).
QString fileBase(const QString& title) {
  QString name = school::SchoolExports::proposedFileName(title);
  name.chop(QStringLiteral(".xlsx").size());
  return name;
}

// `base` or, when a sheet already took it, "base 2", "base 3" ...
QString uniqueBase(const QString& base, QSet<QString>& taken) {
  QString name = base;
  for (int i = 2; taken.contains(name.toLower()); ++i) name = base + QStringLiteral(" %1").arg(i);
  taken.insert(name.toLower());
  return name;
}

QString sheetHtml(const ExpectationSurvey::Sheet& sheet, bool byRank) {
  const QList<ExpectationSurvey::Criterion>& criteria = ExpectationSurvey::criteria();
  QString html = QStringLiteral(
      "<html><body style=\"font-family:'DejaVu Sans'\"><h2 align=\"center\">BEKLENTİ ANKETİ "
      "SONUÇLARI</h2>");
  html += QStringLiteral("<p><b>%1</b>%2</p><p><b>%3</b>%4</p>")
              .arg(sheet.nameCaption.toHtmlEscaped(), sheet.name.toHtmlEscaped(),
                   sheet.dateCaption.toHtmlEscaped(), sheet.date.toHtmlEscaped());
  html += QStringLiteral(
      "<table border=\"1\" cellspacing=\"0\" cellpadding=\"5\" width=\"100%\"><tr><th>Önem "
      "Sırası</th><th>Beklenti</th><th>Puan</th></tr>");
  QList<int> order;
  if (byRank) {
    order = sheet.byRank();
  } else {
    for (int i = 0; i < criteria.size(); ++i) order << i;
  }
  for (int i : order)
    html += QStringLiteral(
                "<tr><td align=\"center\">%1</td><td>%2</td><td align=\"center\">%3"
                "</td></tr>")
                .arg(sheet.ranks.value(i))
                .arg(criteria.at(i).text.toHtmlEscaped())
                .arg(sheet.scores.value(i));
  html += QStringLiteral(
      "</table><p>Her beklenti 0 ile 10 arasında puan alır; en yüksek puanlı "
      "beklenti 1. sıradadır, eşit puanlılar aynı sırayı paylaşır.</p>"
      "</body></html>");
  return html;
}

Status writeSheet(const ExpectationSurvey::Sheet& sheet, bool byRank, const QString& pathBase,
                  QStringList& written) {
  QTextDocument doc;
  doc.setHtml(sheetHtml(sheet, byRank));
  for (const char* suffix : {".odt", ".pdf"}) {
    const QString path = pathBase + QString::fromLatin1(suffix);
    if (Status s = formats::writeDocument(doc, path); !s) return s;
    written << path;
  }
  return {};
}

ExpectationSurvey::Sheet groupSheet(const QString& name, const QString& date,
                                    const QList<int>& scores) {
  return {QStringLiteral("Adınız-Soyadınız : "), name, QStringLiteral("Tarih : "), date, scores,
          ExpectationSurvey::ranks(scores)};
}

}  // namespace

const QList<ExpectationSurvey::Criterion>& ExpectationSurvey::criteria() {
  static const QList<Criterion> all = [] {
    const auto split = [](const char* list) {
      return QString::fromLatin1(list).split(QLatin1Char(','));
    };
    return QList<Criterion>{
        {QStringLiteral("KARARLARAKATILMAK"), QStringLiteral("Kararlara katılmak"),
         split("9-A,13-A,25-A,28-B,29-B,30-A,34-B,42-B,49-A,52-B")},
        {QStringLiteral("ADILVEINSANCAMUAMELE"), QStringLiteral("Adil ve insanca muamele"),
         split("9-B,15-B,19-A,22-B,38-A,40-B,46-A,47-B,50-A,55-A")},
        {QStringLiteral("BECERILIYONETICI"), QStringLiteral("Becerili bir yöneticiyle çalışmak"),
         split("8-A,17-B,19-B,23-A,32-A,34-A,37-A,39-B,45-A,51-B")},
        {QStringLiteral("ISTEBASARI"), QStringLiteral("İş de başarı"),
         split("2-A,6-B,11-A,12-B,16-B,23-B,24-A,33-A,52-A,55-B")},
        {QStringLiteral("ISTEGUVENCESI"), QStringLiteral("İş güvencesi"),
         split("5-A,7-B,11-B,18-A,20-B,21-A,28-A,37-B,38-B,43-B")},
        {QStringLiteral("DOLGUNUCRET"), QStringLiteral("Daha dolgun ücret"),
         split("1-A,2-B,4-A,5-B,8-B,13-B,35-B,36-B,46-B,54-B")},
        {QStringLiteral("ILERLEMETERFI"), QStringLiteral("İlerleme, terfi etmek"),
         split("18-B,26-B,27-B,31-A,33-B,44-A,45-B,49-B,50-B,54-A")},
        {QStringLiteral("IYIISYERIKOSULLARI"), QStringLiteral("İyi işyeri koşulları"),
         split("14-B,15-A,16-A,21-B,31-B,32-B,35-A,42-A,48-A,53-A")},
        {QStringLiteral("USTLERONEMSENMEK"), QStringLiteral("Üstler tarafından önemsenmek"),
         split("3-B,6-A,30-B,36-A,41-A,43-A,44-B,47-A,48-B,51-A")},
        {QStringLiteral("IYIISARKADASLIGI"), QStringLiteral("İyi iş arkadaşlığı"),
         split("1-B,10-A,20-A,24-B,25-B,27-A,39-A,40-A,41-B,53-B")},
        {QStringLiteral("SORUMLUISSAHIBI"), QStringLiteral("Sorumlu bir iş sahibi olmak"),
         split("3-A,4-B,7-A,10-B,12-A,14-A,17-A,22-A,26-A,29-A")},
    };
  }();
  return all;
}

QList<int> ExpectationSurvey::ranks(const QList<int>& scores) {
  QList<int> r;
  for (int s : scores)
    r << 1 + int(std::count_if(scores.begin(), scores.end(), [s](int o) { return o > s; }));
  return r;
}

QList<int> ExpectationSurvey::Sheet::byRank() const {
  QList<int> order;
  for (int i = 0; i < ranks.size(); ++i) order << i;
  std::stable_sort(order.begin(), order.end(),
                   [this](int a, int b) { return ranks.at(a) < ranks.at(b); });
  return order;
}

Result<ExpectationSurvey::Evaluation> ExpectationSurvey::evaluate(const RunKey& run) const {
  Result<SurveyData> data = readRun(m_store, run);
  if (!data) return Result<Evaluation>::failure(data.error());
  const QList<Criterion>& all = criteria();
  Evaluation e;
  e.people = data->people;
  QList<int> overall(all.size(), 0);
  QMap<QString, QList<int>> byClass;
  for (const SurveyPerson& p : e.people) {
    QSet<QString> given;
    for (const SurveyAnswer& a : data->answersOf.value(p.key))
      given.insert(a.soruNo + QLatin1Char('-') + a.answer);
    QList<int> scores;
    for (const Criterion& c : all)
      scores << int(std::count_if(c.answers.begin(), c.answers.end(),
                                  [&given](const QString& pair) { return given.contains(pair); }));
    e.students << Sheet{QStringLiteral("ADINIZ-SOYADINIZ : "),
                        p.name.full(),
                        QStringLiteral("TARİH : "),
                        run.date,
                        scores,
                        ranks(scores)};
    for (int i = 0; i < scores.size(); ++i) overall[i] += scores.at(i);
    if (!p.sinifi.isEmpty()) {
      QList<int>& sums = byClass[p.sinifi];
      if (sums.isEmpty()) sums = QList<int>(all.size(), 0);
      for (int i = 0; i < scores.size(); ++i) sums[i] += scores.at(i);
    }
  }
  QStringList classes = byClass.keys();
  const QCollator c = turkish();
  std::sort(classes.begin(), classes.end(),
            [&c](const QString& a, const QString& b) { return c.compare(a, b) < 0; });
  for (const QString& sinifi : classes) e.classes << groupSheet(sinifi, run.date, byClass[sinifi]);
  e.overall = groupSheet(QStringLiteral("Genel"), run.date, overall);
  return e;
}

Result<QStringList> ExpectationSurvey::write(const Evaluation& e, const QString& folder) {
  QStringList written;
  QSet<QString> taken;
  const QString prefix = folder + QLatin1Char('/');
  for (qsizetype i = 0; i < e.students.size(); ++i) {
    const SurveyPerson& p = e.people.at(i);
    QString title = QStringLiteral("Beklenti Anketi - ") + p.name.full();
    if (!p.sinifi.isEmpty()) title += QStringLiteral(" (") + p.sinifi + QLatin1Char(')');
    if (Status s = writeSheet(e.students.at(i), false, prefix + uniqueBase(fileBase(title), taken),
                              written);
        !s)
      return Result<QStringList>::failure(s.error());
  }
  for (const Sheet& sheet : e.classes) {
    const QString title =
        QStringLiteral("Beklenti Anketi - ") + sheet.name + QStringLiteral(" Sınıfı");
    if (Status s = writeSheet(sheet, true, prefix + uniqueBase(fileBase(title), taken), written);
        !s)
      return Result<QStringList>::failure(s.error());
  }
  if (Status s = writeSheet(
          e.overall, true,
          prefix + uniqueBase(fileBase(QStringLiteral("Beklenti Anketi - Genel")), taken), written);
      !s)
    return Result<QStringList>::failure(s.error());
  return written;
}

bool LeadershipSurvey::counts(int position, const QString& answer) {
  static const QSet<int> reversed{8, 12, 17, 18, 19, 30, 34, 35};
  if (reversed.contains(position))
    return answer == QLatin1String("D") || answer == QLatin1String("E");
  return answer == QLatin1String("A") || answer == QLatin1String("B");
}

bool LeadershipSurvey::peopleItem(int position) {
  static const QSet<int> people{3, 5, 8, 10, 15, 18, 19, 22, 24, 26, 28, 30, 32, 34, 35};
  return people.contains(position);
}

Result<QList<LeadershipSurvey::Score>> LeadershipSurvey::evaluate(const RunKey& run) const {
  Result<SurveyData> data = readRun(m_store, run);
  if (!data) return Result<QList<Score>>::failure(data.error());
  QList<Score> scores;
  for (const SurveyPerson& p : data->people) {
    Score s{p, 0, 0};
    for (const SurveyAnswer& a : data->answersOf.value(p.key)) {
      if (!counts(a.position, a.answer)) continue;
      if (peopleItem(a.position))
        ++s.peopleOriented;
      else
        ++s.taskOriented;
    }
    scores << s;
  }
  return scores;
}

Result<QStringList> LeadershipSurvey::write(const QList<Score>& scores, const QString& folder) {
  QStringList written;
  QSet<QString> taken;
  for (const Score& s : scores) {
    QString title = QStringLiteral("Liderlik Tarzı - ") + s.person.name.full();
    if (!s.person.sinifi.isEmpty())
      title += QStringLiteral(" (") + s.person.sinifi + QLatin1Char(')');
    const QString path =
        folder + QLatin1Char('/') + uniqueBase(fileBase(title), taken) + QStringLiteral(".xlsx");
    formats::XlsxWriter w(path);
    w.addSheet(QStringLiteral("Liderlik Tarzı"));
    w.write(0, 2, QStringLiteral("Adı Soyadı"), formats::XlsxWriter::Style::Bold);
    w.write(0, 3, s.person.name.full());
    w.write(1, 2, QStringLiteral("Sınıfı"), formats::XlsxWriter::Style::Bold);
    w.write(1, 3, s.person.sinifi);
    w.write(3, 0, QStringLiteral("İnsan odaklı"), formats::XlsxWriter::Style::Bold);
    w.writeNumber(3, 1, s.peopleOriented);
    w.write(4, 0, QStringLiteral("İş odaklı"), formats::XlsxWriter::Style::Bold);
    w.writeNumber(4, 1, s.taskOriented);
    w.setColumnWidth(0, 16);
    w.setColumnWidth(2, 12);
    w.setColumnWidth(3, 30);
    if (Status st = w.close(); !st) return Result<QStringList>::failure(st.error());
    written << path;
  }
  return written;
}

QString surveyFolder(const store::Store& store) {
  return store.subFolder(QStringLiteral("Sonuclar"));
}

}  // namespace reports
