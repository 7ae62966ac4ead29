#include "store/DataMigration.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>

#include <optional>

#include "reports/Scoring.h"
#include "store/Database.h"
#include "store/FactoryLayouts.h"
#include "store/FieldPass.h"
#include "store/Institution.h"
#include "store/Sql.h"
#include "store/SqlErrors.h"
#include "store/SqlFunctions.h"
#include "store/Store.h"
#include "store/StoreFiles.h"

namespace store {

namespace {

QStringList texts(std::initializer_list<const char*> values) {
  QStringList out;
  for (const char* v : values) out << QString::fromUtf8(v);
  return out;
}

Status addToList(const QString& list, const QString& name, const QSqlDatabase& db) {
  return run(QStringLiteral(
                 "INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,PARAMETREACIKLAMA) "
                 "SELECT DISTINCT ?,?,'1' FROM TABLEPARAMETRE WHERE NOT EXISTS (SELECT "
                 "PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI=? AND PARAMETREDEGERI=?)"),
             {list, name, list, name}, db);
}

// Inserts an offered value (empty marker) unless the list holds it; unlike
// DersEkle this also fills an empty table.
Status addOffered(const QString& list, const QString& name, const QSqlDatabase& db) {
  return run(
      QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,PARAMETREACIKLAMA) "
                     "SELECT ?,?,'' WHERE NOT EXISTS (SELECT 1 FROM TABLEPARAMETRE WHERE "
                     "PARAMETREADI=? AND PARAMETREDEGERI=?)"),
      {list, name, list, name}, db);
}

Status addCourses(const QStringList& names, const QSqlDatabase& db) {
  for (const QString& n : names)
    if (Status s = DersEkle(n, db); !s) return s;
  return {};
}

Status addLevels(const QStringList& names, const QSqlDatabase& db) {
  for (const QString& n : names)
    if (Status s = SeviyeEkle(n, db); !s) return s;
  return {};
}

Status runAll(const QStringList& statements, const QSqlDatabase& db) {
  for (const QString& s : statements)
    if (Status st = run(s, {}, db); !st) return st;
  return {};
}

// A content store attached to the shared connection for one step. SQLite refuses
// ATTACH and DETACH inside a transaction: the step's transaction opens after it
// and closes before it is detached.
class AttachedStore {
 public:
  AttachedStore(const QSqlDatabase& db, const QString& path, const QString& alias)
      : m_db(db), m_alias(alias) {
    // Only files in the rollback journal commit together with the main one.
    if (Status s = settleFile(path); !s) {
      m_error = s.error();
      return;
    }
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + alias);
    q.addBindValue(path);
    m_attached = q.exec();
    if (!m_attached) m_error = sqlErrorText(q.lastError());
    if (m_attached) {
      (void)q.exec(QStringLiteral("PRAGMA %1.journal_mode=TRUNCATE").arg(alias));
      (void)q.exec(QStringLiteral("PRAGMA %1.synchronous=FULL").arg(alias));
    }
  }
  ~AttachedStore() {
    if (!m_attached) return;
    QSqlQuery q(m_db);
    (void)q.exec(QStringLiteral("DETACH DATABASE ") + m_alias);
  }
  AttachedStore(const AttachedStore&) = delete;
  AttachedStore& operator=(const AttachedStore&) = delete;
  bool ok() const { return m_attached; }
  const QString& error() const { return m_error; }

 private:
  QSqlDatabase m_db;
  QString m_alias;
  bool m_attached = false;
  QString m_error;
};

int lastTestStore(const QString& root) {
  int last = kFirstStore;
  for (int n = kFirstStore + 1;
       n <= kLastStoreNumber && QFile::exists(storePath(root, StoreKind::Test, n)); ++n)
    last = n;
  return last;
}

struct StepContext {
  QSqlDatabase db;
  Store* store = nullptr;  // none while a new database is seeded
  QStringList messages;
  bool openInstitutionScreen = false;
  void log(const QString& text) const {
    if (store) store->log(text);
  }
};

Result<bool> threeButton(const QSqlDatabase& db) {
  Result<Institution> i = Institution::read(db);
  if (!i) return Result<bool>::failure(i.error());
  return i->threeButton();
}

// ---- the steps ----

Status step2(StepContext& c) {
  return addCourses(texts({"DİL VE ANLATIM",
                           "BEDEN EĞİTİMİ",
                           "KURAN-I KERİM",
                           "ARAPÇA",
                           "ALMANCA",
                           "FRANSIZCA",
                           "TEMEL DİNİ BİLGİLER",
                           "SİYER",
                           "FIKIH",
                           "TEFSİR",
                           "KARŞILAŞTIRMALI DİNLER TARİHİ",
                           "HADİS",
                           "İSLAM TARİHİ",
                           "KELAM",
                           "HİTABET VE MESLEKİ UYGULAMA",
                           "ÇAĞDAŞ TÜRK VE DÜNYA TARİHİ",
                           "DİNİ MUSİKİ",
                           "HÜSN-Ü HAT",
                           "BİLGİ VE İLETİŞİM TEKNOLOJİLERİ",
                           "BİLGİ KURAMI",
                           "PROJE HAZIRLAMA"}),
                    c.db);
}

Status step3(StepContext& c) {
  const QString sql = QStringLiteral(
      "UPDATE TABLESLISTESUTUNADI SET S4=? WHERE FORMADI='frmKumandaTanimlama' "
      "AND SLISTEADI='SlisteKumandalar' AND TUR=?");
  for (const auto& [value, kind] : {std::pair{"OGRT", "C"}, {"OGRT", "D"}, {"0", "W"}, {"1", "V"}})
    if (Status s = run(sql, {QString::fromLatin1(value), QString::fromLatin1(kind)}, c.db); !s)
      return s;
  return {};
}

Status step4(StepContext& c) { return DersEkle(QStringLiteral("FEN VE TEKNOLOJİ"), c.db); }

Status answerGridAppearance(const QSqlDatabase& db) {
  return runAll(
      {QStringLiteral("DELETE FROM TABLESLISTESUTUNBILGILERI WHERE FORMADI='frmRaporlar' AND "
                      "SLISTEADI='SlisteVerilenCevaplar'"),
       QStringLiteral(
           "INSERT INTO TABLESLISTESUTUNBILGILERI (FORMADI,SLISTEADI,AYRAC,SATIRYUKSELIGI,"
           "FONTBOYU) VALUES ('frmRaporlar','SlisteVerilenCevaplar','','270','10')")},
      db);
}

Status step5(StepContext& c) { return answerGridAppearance(c.db); }

Status step6(StepContext& c) {
  if (Status s = addLevels(
          texts({"BEGINNER", "ELEMENTARY", "PRE-INTERMEDIATE", "INTERMEDIATE", "UPPER-INTERMEDIATE",
                 "ADVANCED", "TOEFL", "KPDS-ÜDS", "HAZIRLIK ATLAMA", "İÖLP 3.SINIF", "İÖLP 4.SINIF",
                 "JUNIOR", "LİSE PROGRAMLARI", "YDS", "ONE TO ONE"}),
          c.db);
      !s)
    return s;
  return addCourses(texts({"INDUCTION",
                           "BASE LINE",
                           "FOUNDATION",
                           "PIONEER 1",
                           "PIONEER 2",
                           "MID POINT 1",
                           "MID POINT 2",
                           "ADVANCED 1",
                           "ADVANCED 2",
                           "PROFICIENCY",
                           "COMPUTER",
                           "SPEAKING",
                           "LISTENING",
                           "READING",
                           "WRITING",
                           "GRAMMAR",
                           "VOCABULARY",
                           "TRANSLATION",
                           "MUSIC",
                           "ERASMUS",
                           "VIDEO",
                           "LINGUISTICS",
                           "BRITISH/AMERICAN LITERATURE",
                           "ELT",
                           "APPROACHES IN ELT",
                           "TEACHING ENGLISH TO CHILDREN",
                           "TEACHING LANGUAGE SKILLS",
                           "MORPHOLOGY",
                           "LANGUAGE ASSESSMENT",
                           "GRAMMAR",
                           "LANGUAGE ACQUISITION",
                           "JUNIOR-1",
                           "JUNIOR-2",
                           "JUNIOR-3",
                           "JUNIOR-4"}),
                    c.db);
}

// Copies the rows of `table` that the store lacks (by `key`) and drops the binary
// columns from the main table.
Status moveContent(const QSqlDatabase& db, const QString& table, const QString& key,
                   const QStringList& blobs, const QString& alias) {
  const QStringList present = tableColumns(table, db);
  bool any = false;
  QStringList sources;
  for (const QString& b : blobs) {
    const bool has = present.contains(b, Qt::CaseInsensitive);
    any = any || has;
    sources << (has ? b : QStringLiteral("NULL"));
  }
  if (!any) return {};
  const QString sql =
      QStringLiteral(
          "INSERT INTO %1.%2 (%3,%4) SELECT %3,%5 FROM main.%2 WHERE NZ(%3) NOT IN "
          "(SELECT NZ(%3) FROM %1.%2) ORDER BY rowid")
          .arg(alias, table, key, blobs.join(QLatin1Char(',')), sources.join(QLatin1Char(',')));
  if (Status s = run(sql, {}, db); !s) return s;
  for (const QString& b : blobs) AlanSil(table, b, db);
  return {};
}

// Step 7, first half: result rows for every run recorded before the results
// table existed, by the one scorer. Runs that already have result rows are left
// alone, so a repeated step adds nothing twice.
Status step7(StepContext& c) {
  if (Status s = reports::Scoring(*c.store).scoreRunsWithoutResults(); !s) return s;
  if (Status s =
          moveContent(c.db, QStringLiteral("TABLESORU"), QStringLiteral("SORUNO"),
                      {QStringLiteral("SORU"), QStringLiteral("COZUM")}, QStringLiteral("soru2"));
      !s)
    return s;
  return moveContent(c.db, QStringLiteral("TABLETEST"), QStringLiteral("TESTNO"),
                     {QStringLiteral("BASLANGICEKRANI"), QStringLiteral("BASLIK")},
                     QStringLiteral("test2"));
}

// The old second level (KONU) becomes the unit; topic and outcome start empty.
// Done in place, so every other column (solution videos, booklet keys ...) and
// every autonumber stays as it was.
Status step8(StepContext& c) {
  for (const char* t : {"TABLETANIMLAMALAR", "TABLESORU", "TABLETEST"}) {
    const QString table = QString::fromLatin1(t);
    for (const char* f : {"UNITE", "KONU", "KAZANIM"})
      if (AlanEkle(table, QString::fromLatin1(f), FieldType::Text, c.db) < 0)
        return Status::failure(
            QStringLiteral("%1.%2 alanı eklenemedi.").arg(table, QString::fromLatin1(f)));
    QString sql = QStringLiteral("UPDATE %1 SET UNITE=NZ(KONU),KONU='',KAZANIM=''").arg(table);
    if (table == QLatin1String("TABLESORU")) {
      if (AlanEkle(table, QStringLiteral("SILINDIMI"), FieldType::Text, c.db) < 0)
        return Status::failure(QStringLiteral("TABLESORU.SILINDIMI alanı eklenemedi."));
      sql += QStringLiteral(",SILINDIMI=''");
    }
    if (Status s = run(sql, {}, c.db); !s) return s;
  }
  return {};
}

Status step9(StepContext& c) {
  for (const char* t : {"TABLEUYGULAMA", "TABLESONUC"}) {
    const QString table = QString::fromLatin1(t);
    QStringList sets;
    for (const char* f : {"TESTADI", "DERS", "UNITE", "KONU", "KAZANIM"})
      sets << QStringLiteral("%1=CASE WHEN NZ(%2.%1)='' THEN NZ(T.%1) ELSE %2.%1 END")
                  .arg(QString::fromLatin1(f), table);
    const QString sql = QStringLiteral("UPDATE %1 SET %2 FROM TABLETEST T WHERE T.TESTNO=%1.TESTNO")
                            .arg(table, sets.join(QLatin1Char(',')));
    if (Status s = run(sql, {}, c.db); !s) return s;
  }
  return {};
}

Status step10(StepContext& c) {
  const QString now = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
  return run(QStringLiteral("UPDATE TABLEOGRENCI SET SILINDIMI=? WHERE NZ(SILINDIMI)='1'"), {now},
             c.db);
}

// Rank of every student in every stored run: the one scorer scores every run
// from its answers again, which ranks it (higher net first, equal nets by the
// shorter total time, every remote a rank of its own). A run with results but no
// answers left has nothing to score and keeps its rows.
Status step11(StepContext& c) {
  Result<QSqlQuery> q =
      exec(QStringLiteral("SELECT DISTINCT TESTTARIHI,TESTBASLANGIC FROM TABLECEVAP"), {}, c.db);
  if (!q) return Status::failure(q.error());
  QList<reports::RunKey> runs;
  while (q.value().next())
    runs << reports::RunKey{q.value().value(0).toString(), q.value().value(1).toString()};
  q.value().finish();
  reports::Scoring scoring(*c.store);
  for (const reports::RunKey& r : runs)
    if (Status s = scoring.rescoreRun(r); !s) return s;
  return {};
}

Status step12(StepContext& c) {
  return runAll({QStringLiteral("UPDATE TABLETEST SET HAZIRLAYAN=''"),
                 QStringLiteral("UPDATE TABLESORU SET ACIKLAMA=''"),
                 QStringLiteral("DELETE FROM TABLEPARAMETRE WHERE PARAMETREADI='HAZIRLAYAN'")},
                c.db);
}

Status step13(StepContext& c) {
  if (Status s = run(QStringLiteral("DELETE FROM TABLESLISTESUTUNADI"), {}, c.db); !s) return s;
  for (const GridLayout& l : factoryLayouts())
    if (Status s = insertLayout(l, c.db); !s) return s;
  return {};
}

Status step14(StepContext& c) {
  for (const GridLayout& l : testListLayouts())
    if (Status s = replaceLayout(l, c.db); !s) return s;
  return {};
}

Status step15(StepContext& c) {
  const struct {
    const char* form;
    std::initializer_list<const char*> controls;
  } forgotten[] = {
      {"frmRaporlarMenu",
       {"cmbSeviyeAra", "cmbUniteAra", "cmbKonuAra", "cmbKazanimAra", "cmbGrup", "txtAciklama",
        "txtTestNo"}},
      {"frmTestUygula", {"cmbUniteAra", "cmbKonuAra", "cmbKazanimAra"}},
      {"frmTestHazirlama", {"cmbUniteAra", "cmbKonuAra", "cmbKazanimAra", "cmbUygulanma"}},
      {"frmRaporlar", {"cmdDogruYanlisCevap"}},
  };
  for (const auto& f : forgotten)
    for (const char* control : f.controls)
      if (Status s = run(QStringLiteral("DELETE FROM TABLEAYAR WHERE FORMADI=? AND KONTROLADI=?"),
                         {QString::fromLatin1(f.form), QString::fromLatin1(control)}, c.db);
          !s)
        return s;
  return {};
}

Status step16(StepContext& c) { return replaceLayout(reportMenuTestLayout(), c.db); }

Status step17(StepContext& c) {
  return addLevels(
      texts({"OKUL ÖNCESİ 3 YAŞ", "OKUL ÖNCESİ 4 YAŞ", "OKUL ÖNCESİ 5 YAŞ", "OKUL ÖNCESİ 6 YAŞ"}),
      c.db);
}

Status step20(StepContext& c) {
  const QString where = QStringLiteral(" WHERE TESTNO LIKE '%E01%' AND VAL(MID(TESTNO,9,3))<100");
  return runAll({QStringLiteral("DELETE FROM main.TABLETEST") + where,
                 QStringLiteral("DELETE FROM main.TABLETESTSORU") + where,
                 QStringLiteral("DELETE FROM testson.TABLETEST") + where},
                c.db);
}

Status step21(StepContext& c) {
  const QString where = QStringLiteral(" WHERE MID(NZ(AKTARILDI),3,8)='.04.2014'");
  const Result<QVariant> count =
      scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEUYGULAMA") + where, {}, c.db);
  if (!count) return Status::failure(count.error());
  if (count->toInt() == 0) return {};
  if (Status s = run(QStringLiteral("UPDATE TABLEUYGULAMA SET AKTARILDI=''") + where, {}, c.db); !s)
    return s;
  c.messages << texts({"Değerli Öğretmenimiz,",
                       "Teknik bir problemden dolayı Nisan ayında gönderilen",
                       "raporlar tekrar gönderilmelidir.",
                       "Bunun için 'Ana Sayfa'dan 'Yapılan Testler'i tıklayıp",
                       "beyaz satırları seçip internete yükle tuşuna basınız.",
                       "CTRL tuşuna basılı tutarak aynı anda birden fazla satır",
                       "seçip yükleme yapabilirsiniz."})
                    .join(QLatin1Char('\n'));
  return {};
}

Status step22(StepContext& c) {
  if (Status s = run(QStringLiteral("UPDATE TABLEUYGULAMA SET AKTARILDI=''"), {}, c.db); !s)
    return s;
  c.messages << QStringLiteral("Lütfen bir sonraki pencerede kurumunuzu seçiniz");
  c.openInstitutionScreen = true;
  return {};
}

Status step23(StepContext& c) { return DersEkle(QStringLiteral("FEN BİLİMLERİ"), c.db); }

Status step24(StepContext& c) {
  const Result<Institution> institution = Institution::read(c.db);
  if (!institution) return Status::failure(institution.error());
  const bool kindergarten =
      QLocale(QLocale::Turkish).toLower(institution->name).contains(QStringLiteral("anaokulu"));
  return run(QStringLiteral("UPDATE TABLEOKUL SET ANAOKULU=?"),
             {kindergarten ? QStringLiteral("1") : QStringLiteral("0")}, c.db);
}

Status step25(StepContext& c) { return DersEkle(QStringLiteral("FEN BİLİMLERİ"), c.db); }

// With three-button remotes the student number is built from the institution
// code and the student's own data.
Status step33(StepContext& c) {
  const Result<Institution> institution = Institution::read(c.db);
  if (!institution) return Status::failure(institution.error());
  c.log(QStringLiteral("UCDUGME: ") + institution->threeButtonSetting);
  if (!institution->threeButton()) return {};
  Result<QSqlQuery> first =
      exec(QStringLiteral("SELECT NZ(KURUMKODU) FROM TABLEOKUL LIMIT 1"), {}, c.db);
  if (!first) return Status::failure(first.error());
  const QString code =
      first.value().next()
          ? first.value().value(0).toString()
          : QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).remove(QLatin1Char(':'));
  first.value().finish();
  c.log(code);
  if (Status s = run(QStringLiteral("UPDATE TABLEOGRENCI SET NUMARASI=OKULNO(?,SINIFI,KAYITNO,ADI,"
                                    "SOYADI)"),
                     {code}, c.db);
      !s)
    return s;
  c.log(QStringLiteral("egcn çalıştı"));
  return {};
}

// The saved report choice these steps once overwrote is reset at every start
// anyway; nothing else to do.
Status step35(StepContext&) { return {}; }

Status step37(StepContext& c) {
  const Result<bool> on = threeButton(c.db);
  if (!on) return Status::failure(on.error());
  if (!on.value()) return {};
  return run(QStringLiteral("UPDATE TABLEOGRENCI SET NUMARASI=OKULNOTEMIZLE(NUMARASI) WHERE "
                            "NUMARASI<>OKULNOTEMIZLE(NUMARASI)"),
             {}, c.db);
}

Status step38(StepContext& c) { return DersEkle(QStringLiteral("KAVRAMLAR"), c.db); }

Status step39(StepContext& c) {
  for (const char* level : {"OKUL ÖNCESİ 4 YAŞ", "OKUL ÖNCESİ 5 YAŞ"}) {
    const QString name = QString::fromUtf8(level);
    if (Status s =
            run(QStringLiteral(
                    "DELETE FROM TABLEPARAMETRE WHERE PARAMETREADI='SEVIYE' AND PARAMETREDEGERI=?"),
                {name}, c.db);
        !s)
      return s;
    if (Status s =
            run(QStringLiteral(
                    "INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,PARAMETREACIKLAMA) "
                    "VALUES ('SEVIYE',?,'')"),
                {name}, c.db);
        !s)
      return s;
  }
  return {};
}

// Steps 40, 41 and 43 served the online kindergarten record and the display
// settings of the old executable; this build has neither.
Status skipped(StepContext&) { return {}; }

Status step42(StepContext& c) {
  // A saved level position moves up by one; "nothing selected" (-1) and the
  // first entry stay as they are.
  return run(
      QStringLiteral("UPDATE TABLEAYAR SET DEGER=CAST(CAST(VAL(DEGER) AS INTEGER)-1 AS TEXT) WHERE "
                     "FORMADI='frmTestUygula' AND KONTROLADI='cmbSeviyeAra' AND VAL(DEGER)>0"),
      {}, c.db);
}

Status step44(StepContext& c) {
  for (const char* course : {"ERKEN OKUR YAZARLIK", "İLKOKULA HAZIRLIK"})
    if (Status s = addOffered(QStringLiteral("DERS"), QString::fromUtf8(course), c.db); !s)
      return s;
  return {};
}

enum class Stores { None, First, LastTest };

struct Step {
  int number;
  Status (*run)(StepContext&);
  Stores stores = Stores::None;
};

const Step kSteps[] = {
    {2, step2},
    {3, step3},
    {4, step4},
    {5, step5},
    {6, step6},
    {7, step7, Stores::First},
    {8, step8},
    {9, step9},
    {10, step10},
    {11, step11},
    {12, step12},
    {13, step13},
    {14, step14},
    {15, step15},
    {16, step16},
    {17, step17},
    {20, step20, Stores::LastTest},
    {21, step21},
    {22, step22},
    {23, step23},
    {24, step24},
    {25, step25},
    {33, step33},
    {35, step35},
    {37, step37},
    {38, step38},
    {39, step39},
    {40, skipped},
    {41, skipped},
    {42, step42},
    {43, skipped},
    {44, step44},
};

Status runStep(const Step& step, StepContext& c) {
  std::optional<AttachedStore> first;
  std::optional<AttachedStore> second;
  if (step.stores != Stores::None) {
    const QString root = c.store->root();
    for (StoreKind kind : {StoreKind::Question, StoreKind::Test})
      if (!QFile::exists(storePath(root, kind, kFirstStore)))
        if (Status s = createStoreFile(kind, storePath(root, kind, kFirstStore)); !s) return s;
    if (step.stores == Stores::First) {
      first.emplace(c.db, storePath(root, StoreKind::Question, kFirstStore),
                    QStringLiteral("soru2"));
      second.emplace(c.db, storePath(root, StoreKind::Test, kFirstStore), QStringLiteral("test2"));
      if (!second->ok()) return Status::failure(second->error());
    } else {
      first.emplace(c.db, storePath(root, StoreKind::Test, lastTestStore(root)),
                    QStringLiteral("testson"));
    }
    if (!first->ok()) return Status::failure(first->error());
  }
  Transaction tx(c.db);
  if (!tx.active()) return Status::failure(QStringLiteral("İşlem başlatılamadı."));
  if (Status s = step.run(c); !s) return s;
  if (Status s = run(QStringLiteral("UPDATE TABLEVERSIYON SET VTVERIVERSIYON=?"),
                     {QString::number(step.number)}, c.db);
      !s)
    return s;
  return tx.commit();
}

}  // namespace

Status DersEkle(const QString& name, const QSqlDatabase& db) {
  return addToList(QStringLiteral("DERS"), name, db);
}

Status SeviyeEkle(const QString& name, const QSqlDatabase& db) {
  return addToList(QStringLiteral("SEVIYE"), name, db);
}

Status VeriVersiyonKontrol(CheckReport& report, Store& store) {
  const QSqlDatabase db = store.db();
  Result<QSqlQuery> q =
      exec(QStringLiteral("SELECT VTVERIVERSIYON FROM TABLEVERSIYON LIMIT 1"), {}, db);
  if (!q) return Status::failure(q.error());
  const bool hasRow = q.value().next();
  const QString text = hasRow ? q.value().value(0).toString() : QString();
  q.value().finish();
  const QString current = QString::number(kDataVersion);
  if (text == current) {
    report.oldDataVersion = kDataVersion;
    return {};
  }
  // Jet's VAL: "12abc" is 12, anything without a leading number is 0.
  const int old = static_cast<int>(jetVal(text));
  report.oldDataVersion = old;
  if (!hasRow) {
    if (Status s =
            run(QStringLiteral(
                    "INSERT INTO TABLEVERSIYON (VTYAPIVERSIYON,VTVERIVERSIYON) VALUES ('','')"),
                {}, db);
        !s)
      return s;
  }
  if (old >= kDataVersion) {
    // "44.0" and the like are tidied; a newer program's version is left for it.
    if (old == kDataVersion)
      return run(QStringLiteral("UPDATE TABLEVERSIYON SET VTVERIVERSIYON=?"), {current}, db);
    return {};
  }
  store.log(QStringLiteral("VeriGecisi %1").arg(old));
  for (const Step& step : kSteps) {
    if (step.number <= old) continue;
    StepContext context{db, &store, {}, false};
    if (Status s = runStep(step, context); !s) {
      report.failedStep = step.number;
      report.error = s.error();
      report.messages << QStringLiteral(
                             "Veritabanı güncellenirken bir hata oluştu (adım %1): %2\nGüncelleme "
                             "programın bir sonraki açılışında yeniden denenecek.")
                             .arg(step.number)
                             .arg(s.error());
      store.log(QStringLiteral("VeriGecisi adım %1 başarısız: %2").arg(step.number).arg(s.error()));
      return s;
    }
    report.stepsRun << QString::number(step.number);
    report.messages << context.messages;
    report.openInstitutionScreen = report.openInstitutionScreen || context.openInstitutionScreen;
  }
  return {};
}

Status seedNewDatabase(const QSqlDatabase& db) {
  Transaction tx(db);
  for (const GridLayout& l : currentFactoryLayouts())
    if (Status s = insertLayout(l, db); !s) return s;
  if (Status s = insertLayout(relativeReportLayout(), db); !s) return s;
  if (Status s = answerGridAppearance(db); !s) return s;

  // Offered from the first start: the levels and the common courses of Turkish schools.
  QStringList levels{QStringLiteral("OKUL ÖNCESİ")};
  for (int i = 1; i <= 12; ++i) levels << QStringLiteral("%1. SINIF").arg(i);
  for (const QString& l : levels)
    if (Status s = addOffered(QStringLiteral("SEVIYE"), l, db); !s) return s;
  const QStringList courses = texts({"TÜRKÇE",
                                     "MATEMATİK",
                                     "FEN BİLİMLERİ",
                                     "SOSYAL BİLGİLER",
                                     "İNGİLİZCE",
                                     "HAYAT BİLGİSİ",
                                     "DİN KÜLTÜRÜ VE AHLAK BİLGİSİ",
                                     "T.C. İNKILAP TARİHİ VE ATATÜRKÇÜLÜK",
                                     "TÜRK DİLİ VE EDEBİYATI",
                                     "FİZİK",
                                     "KİMYA",
                                     "BİYOLOJİ",
                                     "TARİH",
                                     "COĞRAFYA",
                                     "FELSEFE",
                                     "GÖRSEL SANATLAR",
                                     "MÜZİK",
                                     "BEDEN EĞİTİMİ VE SPOR",
                                     "TEKNOLOJİ VE TASARIM",
                                     "BİLİŞİM TEKNOLOJİLERİ VE YAZILIM",
                                     "TRAFİK GÜVENLİĞİ",
                                     "PSİKOLOJİ",
                                     "SOSYOLOJİ",
                                     "MANTIK",
                                     "SAĞLIK BİLGİSİ VE TRAFİK KÜLTÜRÜ"});
  for (const QString& c : courses)
    if (Status s = addOffered(QStringLiteral("DERS"), c, db); !s) return s;

  // The values the data steps bring to an old database, marked as they mark them.
  StepContext context{db, nullptr, {}, false};
  for (auto step : {step2, step4, step6, step17, step23, step38, step39, step44})
    if (Status s = step(context); !s) return s;
  return tx.commit();
}

}  // namespace store
