#include "delivery/RecordingJournal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

#include <atomic>

#include "reports/Penalty.h"
#include "store/Database.h"
#include "store/Sql.h"

namespace delivery {

namespace {

const QString kQuestion = QStringLiteral("SORU");
const QString kRunEnd = QStringLiteral("SON");

QString runJson(const RunRecord& r) {
  const RunDescription& d = r.description;
  QJsonArray leftOut;
  for (const auto& [address, name] : r.leftOut) leftOut.append(QJsonArray{address, name});
  const QJsonObject o{
      {QStringLiteral("end"), r.end},
      {QStringLiteral("testNo"), d.testNo},
      {QStringLiteral("testName"), d.testName},
      {QStringLiteral("level"), d.level},
      {QStringLiteral("className"), d.className},
      {QStringLiteral("group"), d.group},
      {QStringLiteral("description"), d.description},
      {QStringLiteral("course"), d.course},
      {QStringLiteral("unit"), d.unit},
      {QStringLiteral("topic"), d.topic},
      {QStringLiteral("outcome"), d.outcome},
      {QStringLiteral("penalty"), reports::storedPenalty(r.penalty)},
      {QStringLiteral("majority"), r.majorityIsCorrect},
      {QStringLiteral("addresses"), QJsonArray::fromStringList(r.addresses)},
      {QStringLiteral("virtualKayitNo"), r.virtualKayitNo},
      {QStringLiteral("leftOut"), leftOut},
  };
  return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

RunRecord runFromJson(const reports::RunKey& key, const QString& text) {
  const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
  const auto s = [&o](const char* name) { return o.value(QLatin1String(name)).toString(); };
  RunRecord r;
  r.key = key;
  r.end = s("end");
  r.description = {s("testNo"),      s("testName"), s("level"), s("className"), s("group"),
                   s("description"), s("course"),   s("unit"),  s("topic"),     s("outcome")};
  r.penalty = reports::penaltyFromStored(s("penalty"));
  r.majorityIsCorrect = o.value(QLatin1String("majority")).toBool();
  for (const QJsonValue& a : o.value(QLatin1String("addresses")).toArray())
    r.addresses << a.toString();
  r.virtualKayitNo = s("virtualKayitNo");
  for (const QJsonValue& v : o.value(QLatin1String("leftOut")).toArray())
    r.leftOut.append({v.toArray().at(0).toString(), v.toArray().at(1).toString()});
  return r;
}

QString answersJson(const QList<TileAnswer>& answers) {
  QJsonArray out;
  for (const TileAnswer& a : answers) out.append(QJsonArray{a.address, a.letter, a.seconds});
  return QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact));
}

QList<TileAnswer> answersFromJson(const QString& text) {
  QList<TileAnswer> out;
  for (const QJsonValue& v : QJsonDocument::fromJson(text.toUtf8()).array()) {
    const QJsonArray a = v.toArray();
    out.append({a.at(0).toString(), a.at(1).toString(), a.at(2).toInt()});
  }
  return out;
}

}  // namespace

RecordingJournal::RecordingJournal(QString path) : m_path(std::move(path)) {
  static std::atomic<int> counter{0};
  m_connection = QStringLiteral("derslik-gunluk-%1").arg(++counter);
}

RecordingJournal::~RecordingJournal() {
  if (m_open) store::closeFile(m_connection);
}

Status RecordingJournal::open() const {
  if (m_open) return {};
  Result<QSqlDatabase> db = store::openFile(m_connection, m_path);
  if (!db) {
    store::closeFile(m_connection);
    return Status::failure(db.error());
  }
  m_open = true;
  if (Status s = store::run(
          QStringLiteral("CREATE TABLE IF NOT EXISTS GUNLUK (NO INTEGER PRIMARY KEY, TUR TEXT NOT "
                         "NULL, TESTTARIHI TEXT NOT NULL, TESTBASLANGIC TEXT NOT NULL, TESTSIRANO "
                         "INTEGER NOT NULL, SORUNO TEXT, UYGULAMA TEXT NOT NULL, CEVAPLAR TEXT, "
                         "RET INTEGER NOT NULL DEFAULT 0, HATA TEXT)"),
          {}, db.value());
      !s)
    return s;
  return store::run(
      QStringLiteral("CREATE TABLE IF NOT EXISTS GUNLUKBASLANGIC (TESTTARIHI TEXT NOT "
                     "NULL, TESTBASLANGIC TEXT NOT NULL, SUNUCUBASLANGIC TEXT, "
                     "PRIMARY KEY (TESTTARIHI, TESTBASLANGIC))"),
      {}, db.value());
}

Status RecordingJournal::append(const JournalEntry& e) {
  if (Status s = open(); !s) return s;
  const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
  store::Transaction tx(db);
  if (Status s = store::run(
          QStringLiteral("INSERT INTO GUNLUK (TUR,TESTTARIHI,TESTBASLANGIC,TESTSIRANO,SORUNO,"
                         "UYGULAMA,CEVAPLAR) VALUES (?,?,?,?,?,?,?)"),
          {e.kind == JournalEntry::Kind::Question ? kQuestion : kRunEnd, e.run.key.date,
           e.run.key.start, e.position, e.soruNo, runJson(e.run), answersJson(e.answers)},
          db);
      !s)
    return s;
  return tx.commit();
}

Result<QList<JournalEntry>> RecordingJournal::entries(
    const std::optional<reports::RunKey>& run) const {
  using R = Result<QList<JournalEntry>>;
  if (Status s = open(); !s) return R::failure(s.error());
  const QString where = run ? QStringLiteral(" WHERE TESTTARIHI=? AND TESTBASLANGIC=?") : QString();
  const QVariantList params = run ? QVariantList{run->date, run->start} : QVariantList{};
  Result<QSqlQuery> q = store::exec(
      QStringLiteral("SELECT NO,TUR,TESTTARIHI,TESTBASLANGIC,TESTSIRANO,SORUNO,UYGULAMA,"
                     "CEVAPLAR,RET,HATA FROM GUNLUK%1 ORDER BY NO")
          .arg(where),
      params, QSqlDatabase::database(m_connection, false));
  if (!q) return R::failure(q.error());
  QList<JournalEntry> out;
  while (q.value().next()) {
    const auto v = [&q](int i) { return q.value().value(i); };
    JournalEntry e;
    e.no = v(0).toLongLong();
    e.kind = v(1).toString() == kRunEnd ? JournalEntry::Kind::RunEnd : JournalEntry::Kind::Question;
    e.run = runFromJson({v(2).toString(), v(3).toString()}, v(6).toString());
    e.position = v(4).toInt();
    e.soruNo = v(5).toString();
    e.answers = answersFromJson(v(7).toString());
    e.refusals = v(8).toInt();
    e.error = v(9).toString();
    out.append(e);
  }
  return out;
}

Result<int> RecordingJournal::count() const {
  if (Status s = open(); !s) return Result<int>::failure(s.error());
  Result<QVariant> n = store::scalar(QStringLiteral("SELECT COUNT(*) FROM GUNLUK"), {},
                                     QSqlDatabase::database(m_connection, false));
  if (!n) return Result<int>::failure(n.error());
  return n->toInt();
}

Status RecordingJournal::remove(qint64 no) {
  return store::run(QStringLiteral("DELETE FROM GUNLUK WHERE NO=?"), {no},
                    QSqlDatabase::database(m_connection, false));
}

Status RecordingJournal::refuse(qint64 no, const QString& reason) {
  return store::run(QStringLiteral("UPDATE GUNLUK SET RET=RET+1,HATA=? WHERE NO=?"), {reason, no},
                    QSqlDatabase::database(m_connection, false));
}

Status RecordingJournal::startWithoutServer(const reports::RunKey& run) {
  if (Status s = open(); !s) return s;
  return store::run(QStringLiteral("INSERT OR IGNORE INTO GUNLUKBASLANGIC (TESTTARIHI,"
                                   "TESTBASLANGIC) VALUES (?,?)"),
                    {run.date, run.start}, QSqlDatabase::database(m_connection, false));
}

Result<RecordingJournal::Start> RecordingJournal::start(const reports::RunKey& run) const {
  if (Status s = open(); !s) return Result<Start>::failure(s.error());
  Result<QSqlQuery> q = store::exec(
      QStringLiteral("SELECT SUNUCUBASLANGIC FROM GUNLUKBASLANGIC WHERE TESTTARIHI=? AND "
                     "TESTBASLANGIC=?"),
      {run.date, run.start}, QSqlDatabase::database(m_connection, false));
  if (!q) return Result<Start>::failure(q.error());
  Start out;
  if (q.value().next()) {
    out.server = q.value().value(0).toString();
    out.unchecked = q.value().value(0).isNull();
  }
  return out;
}

Status RecordingJournal::setServerStart(const reports::RunKey& run, const QString& serverStart) {
  return store::run(QStringLiteral("UPDATE GUNLUKBASLANGIC SET SUNUCUBASLANGIC=? WHERE "
                                   "TESTTARIHI=? AND TESTBASLANGIC=?"),
                    {serverStart, run.date, run.start},
                    QSqlDatabase::database(m_connection, false));
}

}  // namespace delivery
