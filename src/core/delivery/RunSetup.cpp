#include "delivery/RunSetup.h"

#include <QDir>
#include <QSqlQuery>

#include "curriculum/CurriculumLists.h"
#include "lists/FilterLists.h"
#include "school/Students.h"
#include "store/Parameters.h"
#include "store/SavedControls.h"
#include "store/Store.h"

namespace delivery {

namespace {

const QString kApplied = QStringLiteral("UYGULANAN");
const QString kNotApplied = QStringLiteral("UYGULANMAYAN");
// The virtual remote's window keeps who answers on it.
const QString kVirtualSection = QStringLiteral("Sanal Kumanda");

const QString kRemoteColumns = QStringLiteral(
    "SELECT K.KUMANDAADRESI AS KUMANDAADRESI,NZ(O.KAYITNO) AS KAYITNO,NZ(O.NUMARASI) AS NUMARASI,"
    "NZ(O.ADI) AS ADI,NZ(O.SOYADI) AS SOYADI,NZ(O.SINIFI) AS SINIFI,NZ(O.SEVIYE) AS SEVIYE FROM "
    "(TABLEKUMANDA K LEFT JOIN TABLEESLESME E ON K.KUMANDAADRESI=E.KUMANDAADRESI) LEFT JOIN "
    "TABLEOGRENCI O ON E.KAYITNO=O.KAYITNO WHERE ");
const QString kRemoteOrder = QStringLiteral(" ORDER BY K.KUMANDAADRESI COLLATE KUMANDA,E.rowid");

}  // namespace

QString RunSetup::TestSummary::questionsText() const {
  return QString::number(questions) + QStringLiteral(" Soru");
}

QString RunSetup::TestSummary::timeText() const {
  return seconds > 0 ? QString::number(seconds) + QStringLiteral(" sn") : QStringLiteral("Süresiz");
}

QStringList RunSetup::appliedEntries() { return {lists::kTumu, kNotApplied, kApplied}; }

QStringList RunSetup::durationEntries() {
  QStringList out{QStringLiteral("Süresiz")};
  for (int i = 1; i < RunSettings::durationCount(); ++i)
    out << QString::number(RunSettings::secondsAt(i));
  return out;
}

Result<QStringList> RunSetup::classEntries() const {
  Result<QStringList> classes = school::Students(m_store).classNames();
  if (!classes) return classes;
  return QStringList{kVirtualClass} + classes.value();
}

int RunSetup::defaultClassIndex(const QStringList& entries) { return entries.size() >= 2 ? 1 : 0; }

Result<QStringList> RunSetup::earlierGroups() const {
  return m_store.column(QStringLiteral(
      "SELECT GRUP FROM TABLEUYGULAMA WHERE NZ(GRUP)<>'' GROUP BY GRUP ORDER BY GRUP COLLATE "
      "TURKCE"));
}

store::Query RunSetup::testSearchQuery(const Search& search) {
  store::Query q;
  QString filters;
  const curriculum::CurriculumFilter::Condition c =
      search.curriculum.condition(QStringLiteral("TABLETEST."));
  filters += c.sql;
  q.params << c.params;
  if (!curriculum::CurriculumFilter::isAll(search.author)) {
    filters += QStringLiteral(" AND TABLETEST.HAZIRLAYAN=?");
    q.params << search.author;
  }
  if (!search.name.isEmpty()) {
    filters += QStringLiteral(" AND TRLOWER(TABLETEST.TESTADI) LIKE TRLOWER(?) ESCAPE '\\'");
    QString pattern = search.name;
    pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    q.params << QLatin1Char('%') + pattern + QLatin1Char('%');
  }
  if (search.applied == kApplied || search.applied == kNotApplied) {
    QString applied = QStringLiteral("SELECT NZ(TESTNO) FROM TABLEUYGULAMA");
    if (!curriculum::CurriculumFilter::isAll(search.className)) {
      applied += QStringLiteral(" WHERE SINIFI=?");
      q.params << search.className;
    }
    filters +=
        QStringLiteral(" AND TABLETEST.TESTNO %1 (%2)")
            .arg(search.applied == kApplied ? QStringLiteral("IN") : QStringLiteral("NOT IN"),
                 applied);
  }
  q.sql =
      QStringLiteral(
          "SELECT TESTNO,TESTADI,SORUSAYISI,DERS,SURE,SEVIYE,HAZIRLAYAN,UNITE,KONU,KAZANIM "
          "FROM (SELECT TABLETEST.TESTNO AS TESTNO,NZ(TABLETEST.TESTADI) AS TESTADI,"
          "COUNT(TABLETESTSORU.TESTSIRANO) AS SORUSAYISI,NZ(TABLETEST.DERS) AS DERS,"
          "CAST(SUM(VAL(NZ(TABLETESTSORU.SURE))) AS INTEGER) AS SURE,NZ(TABLETEST.SEVIYE) AS "
          "SEVIYE,NZ(TABLETEST.HAZIRLAYAN) AS HAZIRLAYAN,NZ(TABLETEST.UNITE) AS UNITE,"
          "NZ(TABLETEST.KONU) AS KONU,NZ(TABLETEST.KAZANIM) AS KAZANIM,"
          "NZ(TABLETEST.TESTSIRASI) AS TESTSIRASI FROM TABLETEST LEFT JOIN TABLETESTSORU ON "
          "TABLETEST.TESTNO=TABLETESTSORU.TESTNO WHERE UPPER(TABLETEST.TESTNO)<>'SERBEST' AND "
          "UPPER(substr(TABLETEST.TESTNO,1,1))<>'E'") +
      filters +
      QStringLiteral(
          // Every column named: the server groups only by what it is told.
          " GROUP BY TABLETEST.TESTNO,TABLETEST.TESTADI,TABLETEST.DERS,TABLETEST.SEVIYE,"
          "TABLETEST.HAZIRLAYAN,TABLETEST.UNITE,TABLETEST.KONU,TABLETEST.KAZANIM,"
          "TABLETEST.TESTSIRASI) AS T "
          "WHERE UPPER(substr(TESTNO,1,1))<>'R' OR SORUSAYISI>=3 "
          "ORDER BY CASE WHEN ISNUMERIC(TESTSIRASI)<>0 THEN VAL(TESTSIRASI) ELSE 99999 END,"
          "CASE UPPER(substr(TESTNO,1,3)) WHEN 'R04' THEN 0 WHEN 'R03' THEN 1 WHEN 'R02' THEN 2 "
          "WHEN 'R01' THEN 3 ELSE 4 END,"
          // Numbered tests first, by number; then the others by name.
          "CASE WHEN ISNUMERIC(TESTNO)<>0 THEN 0 ELSE 1 END,"
          "CASE WHEN ISNUMERIC(TESTNO)<>0 THEN VAL(TESTNO) ELSE 0 END,TESTNO");
  return q;
}

QString RunSetup::foundText(int tests, int questions) {
  return QStringLiteral("%1 ADET TEST, %2 ADET SORU BULUNDU").arg(tests).arg(questions);
}

Result<RunSetup::Start> RunSetup::unattendedStart(const QString& className,
                                                  const RunSettings& settings) const {
  using R = Result<Start>;
  Result<QStringList> classes = classEntries();
  if (!classes) return R::failure(classes.error());
  if (!classes->contains(className))
    return R::failure(QStringLiteral("Sınıf bulunamadı: ") + className);
  Start start;
  start.className = className;
  start.settings = settings;
  const store::Query teachers = teacherRemotesQuery();
  Result<QStringList> teacherAddresses = m_store.column(teachers.sql, teachers.params);
  if (!teacherAddresses) return R::failure(teacherAddresses.error());
  start.teachers = teacherAddresses.value();
  return start;
}

Result<RunSetup::TestSummary> RunSetup::summary(const QString& testNo) const {
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral(
          "SELECT TESTNO,NZ(TESTADI),NZ(HAZIRLAYAN),(SELECT COUNT(TESTNO) FROM TABLETESTSORU WHERE "
          "TESTNO=TABLETEST.TESTNO),(SELECT SUM(VAL(NZ(SURE))) FROM TABLETESTSORU WHERE "
          "TESTNO=TABLETEST.TESTNO),NZ(SEVIYE),NZ(DERS),NZ(UNITE),NZ(KONU),NZ(KAZANIM) FROM "
          "TABLETEST WHERE TESTNO=? LIMIT 1"),
      {testNo});
  if (!q) return Result<TestSummary>::failure(q.error());
  if (!q.value().next()) return Result<TestSummary>::failure(QStringLiteral("Test Bulunamadı"));
  const QSqlQuery& r = q.value();
  TestSummary s;
  s.testNo = r.value(0).toString();
  s.name = r.value(1).toString();
  s.author = r.value(2).toString();
  s.questions = r.value(3).toInt();
  s.seconds = int(r.value(4).toDouble());
  s.level = r.value(5).toString();
  s.course = r.value(6).toString();
  s.unit = r.value(7).toString();
  s.topic = r.value(8).toString();
  s.outcome = r.value(9).toString();
  return s;
}

Result<QStringList> RunSetup::questionCountDetail(const QString& testNo) const {
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral("SELECT COUNT(A.SORUNO),NZ(B.SEVIYE),NZ(B.DERS),NZ(B.UNITE) FROM "
                     "TABLETESTSORU A INNER JOIN TABLESORU B ON A.SORUNO=B.SORUNO WHERE "
                     "A.TESTNO=? GROUP BY NZ(B.SEVIYE),NZ(B.DERS),NZ(B.UNITE)"),
      {testNo});
  if (!q) return Result<QStringList>::failure(q.error());
  QStringList lines;
  while (q.value().next()) {
    QStringList parts;
    for (int i = 1; i <= 3; ++i)
      if (const QString p = q.value().value(i).toString(); !p.isEmpty()) parts << p;
    QString line = q.value().value(0).toString() + QStringLiteral(" SORU");
    if (!parts.isEmpty()) line += QStringLiteral(" (") + parts.join(QLatin1Char('-')) + ')';
    lines << line;
  }
  return lines;
}

store::Query RunSetup::studentRemotesQuery(const QString& className) {
  return {kRemoteColumns +
              QStringLiteral("OGRETMENMI(K.OGRETMENKUMANDASI)=0 AND O.SINIFI=? AND "
                             "NZ(O.SILINDIMI)=''") +
              kRemoteOrder,
          {className}};
}

store::Query RunSetup::allStudentRemotesQuery() {
  return {kRemoteColumns +
              QStringLiteral("OGRETMENMI(K.OGRETMENKUMANDASI)=0 AND NZ(O.SILINDIMI)=''") +
              kRemoteOrder,
          {}};
}

store::Query RunSetup::classRemotesQuery(const QString& classOrAll) {
  return classOrAll == lists::kTumu ? allStudentRemotesQuery() : studentRemotesQuery(classOrAll);
}

store::Query RunSetup::teacherRemotesQuery() {
  return {kRemoteColumns + QStringLiteral("OGRETMENMI(K.OGRETMENKUMANDASI)=1") + kRemoteOrder, {}};
}

Result<RunSetup::Options> RunSetup::loadOptions() const {
  Result<RunSettings> settings = RunSettings::load(m_store.db());
  if (!settings) return Result<Options>::failure(settings.error());
  Result<RunSetupChoices> choices = RunSetupChoices::load(m_store.db());
  if (!choices) return Result<Options>::failure(choices.error());
  Options o{settings.value(), choices.value()};
  if (Status s = translateOldPositions(o.choices); !s) return Result<Options>::failure(s.error());
  if (m_store.institution().threeButton()) {
    o.settings = o.settings.effective(m_store.institution());
    o.choices.applied = RunSetupChoices::Applied::NotApplied;
  }
  return o;
}

Status RunSetup::translateOldPositions(RunSetupChoices& choices) const {
  // An older Derslik stored places in the lists the screen fills: read against
  // those lists once, and stored as entries from then on.
  bool old = false;
  const auto translate = [&old](QString& value, const QStringList& entries) {
    if (!store::SavedControls::oldPosition(value, entries)) return;
    old = true;
    // A place past the end: the first real entry.
    value = store::SavedControls::entry(value, entries, QString());
  };
  translate(choices.level, curriculum::SeviyeDoldur(m_store));
  translate(choices.course, curriculum::DersDoldur(m_store));
  translate(choices.author, lists::HazirlayanDoldur(m_store));
  Result<QStringList> classes = classEntries();
  if (!classes) return Status::failure(classes.error());
  translate(choices.className, classes.value());
  if (!old) return {};
  return choices.save(m_store.db());
}

Status RunSetup::saveOptions(const Options& options) const {
  store::Transaction tx(m_store);
  if (Status s = options.settings.save(m_store.db()); !s) return s;
  if (Status s = options.choices.save(m_store.db()); !s) return s;
  return tx.commit();
}

QString RunSetup::videoFile(const QString& testNo) const {
  const QDir folder(m_store.path(QStringLiteral("Video")));
  if (testNo.isEmpty() || !folder.exists()) return {};
  const QStringList found =
      folder.entryList({testNo + QStringLiteral(".*")}, QDir::Files, QDir::Name);
  return found.isEmpty() ? QString() : folder.filePath(found.first());
}

bool RunSetup::canPreview(const TestSummary& test, Messages& messages) {
  if (test.questions >= 1) return true;
  messages.warning(emptyTestText());
  return false;
}

std::optional<RunPlan> RunSetup::start(const Start& start, Messages& messages) const {
  if (!canPreview(start.test, messages)) return std::nullopt;
  RunPlan plan = handOver(start);
  plan.settings = plan.settings.effective(m_store.institution());
  return plan;
}

QString RunSetup::displayName(const RemoteRow& row) {
  const QString name = (row.adi + QLatin1Char(' ') + row.soyadi).trimmed();
  return name.isEmpty() ? row.address : name;
}

RunPlan RunSetup::freePlan(const Start& start) const {
  RunPlan plan = handOver(start);
  plan.description.testNo = RunPlan::kFreeTestNo;
  // The teacher's filter lists say where the questions sit; a list left on
  // "TÜMÜ" says nothing, and the run (and a clipped question) must not carry it
  // as a level or a course.
  RunDescription& d = plan.description;
  for (QString* field : {&d.level, &d.course, &d.unit, &d.topic, &d.outcome, &d.group})
    if (curriculum::CurriculumFilter::isAll(*field)) field->clear();
  return plan;
}

RunPlan RunSetup::handOver(const Start& start) const {
  RunPlan plan;
  plan.description = {start.test.testNo, start.test.name,   start.level,       start.className,
                      start.group,       start.description, start.test.course, start.test.unit,
                      start.test.topic,  start.test.outcome};
  plan.settings = start.settings;
  for (const QString& t : start.teachers)
    if (!plan.teacherRemotes.contains(t)) plan.teacherRemotes << t;
  for (const RemoteRow& r : start.students) {
    // A remote paired in several classes may be listed twice; it is one tile.
    if (r.address.isEmpty() || plan.studentRemotes.contains(r.address)) continue;
    plan.studentRemotes << r.address;
    plan.names << displayName(r);
  }
  if (plan.studentRemotes.isEmpty()) {
    plan.studentRemotes = plan.names = QStringList{RunPlan::kVirtualRemote};
    plan.settings.remoteTestScreen = false;
  }
  plan.virtualName = store::UserSettings::get(kVirtualSection, QStringLiteral("Adi"));
  plan.virtualSurname = store::UserSettings::get(kVirtualSection, QStringLiteral("Soyadi"));
  return plan;
}

}  // namespace delivery
