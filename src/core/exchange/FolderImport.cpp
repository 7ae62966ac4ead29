#include "exchange/FolderImport.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "authoring/QuestionMedia.h"
#include "exchange/PackageDatabase.h"
#include "exchange/PackageQuestions.h"
#include "exchange/TestPackage.h"
#include "lists/TurkishText.h"
#include "school/StudentPhotos.h"
#include "school/Students.h"
#include "store/Database.h"
#include "store/Dialect.h"
#include "store/FolderFiles.h"
#include "store/Parameters.h"
#include "store/RolloverFiles.h"
#include "store/SchemaTables.h"
#include "store/ServerConnection.h"
#include "store/ServerFolders.h"
#include "store/SqlErrors.h"
#include "store/Store.h"

namespace exchange {

namespace {

// Reading a whole board's bank takes longer than an exchange file may.
constexpr std::chrono::minutes kAllowed{10};

using Row = QHash<QString, QVariant>;

// Every row of `table` in the folder, by column name.
Result<QList<Row>> rowsOf(store::Store& source, const QString& table, const QStringList& columns,
                          const QString& order = {}) {
  using R = Result<QList<Row>>;
  Result<QSqlQuery> q =
      source.exec(QStringLiteral("SELECT %1 FROM %2%3")
                      .arg(columns.join(QLatin1Char(',')), table,
                           order.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + order));
  if (!q) return R::failure(q.error());
  QList<Row> rows;
  while (q.value().next()) {
    Row row;
    for (int i = 0; i < int(columns.size()); ++i) row.insert(columns.at(i), q.value().value(i));
    rows << row;
  }
  return rows;
}

// The table's columns without its autonumber (the school numbers its own rows).
QStringList ownColumns(const QString& table) {
  QStringList columns;
  const store::TableDef* def = store::findMainTable(table);
  if (!def) return columns;
  for (const store::ColumnDef& c : def->columns)
    if (c.kind != store::ColumnDef::Kind::AutoNumber) columns << c.name;
  return columns;
}

// A prepared INSERT of `columns` into the school's `table`.
class Inserter {
 public:
  Inserter(store::Store& school, const QString& table, const QStringList& columns)
      : m_query(school.db()), m_columns(columns) {
    m_ok = m_query.prepare(
        store::dialectOf(school.db())
            .prepare(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(table, columns.join(QLatin1Char(',')),
                         QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')))));
  }
  Status insert(const Row& row) {
    if (!m_ok) return Status::failure(store::queryErrorText(m_query));
    for (int i = 0; i < int(m_columns.size()); ++i) {
      QVariant v = row.value(m_columns.at(i));
      // The folder's NULLs are the empty text every column defaults to.
      if (v.isNull()) v = QStringLiteral("");
      m_query.bindValue(i, v);
    }
    if (!m_query.exec()) return Status::failure(store::queryErrorText(m_query));
    return {};
  }

 private:
  QSqlQuery m_query;
  QStringList m_columns;
  bool m_ok = false;
};

QString text(const Row& row, const char* column) {
  return row.value(QString::fromLatin1(column)).toString().trimmed();
}

// The school's students as the spreadsheet import finds them: by identity
// number, by school number within the class, by name within the class (a name
// found once is not found again: two pupils of one name stay two).
class StudentIndex {
 public:
  Status load(store::Store& school) {
    Result<QSqlQuery> q = school.exec(
        QStringLiteral("SELECT KAYITNO,TCKIMLIK,SINIFI,NUMARASI,ADI,SOYADI FROM TABLEOGRENCI WHERE "
                       "NZ(SILINDIMI)='' ORDER BY VAL(KAYITNO)"));
    if (!q) return Status::failure(q.error());
    while (q.value().next()) {
      static const QStringList names{QStringLiteral("KAYITNO"), QStringLiteral("TCKIMLIK"),
                                     QStringLiteral("SINIFI"),  QStringLiteral("NUMARASI"),
                                     QStringLiteral("ADI"),     QStringLiteral("SOYADI")};
      Row r;
      for (int i = 0; i < int(names.size()); ++i) r.insert(names.at(i), q.value().value(i));
      add(r, text(r, "KAYITNO"));
    }
    return {};
  }
  void add(const Row& r, const QString& kayitNo) {
    const QString tc = text(r, "TCKIMLIK");
    const QString sinifi = text(r, "SINIFI");
    if (!tc.isEmpty() && !m_byTc.contains(tc)) m_byTc.insert(tc, kayitNo);
    const QString number = text(r, "NUMARASI");
    if (!number.isEmpty()) {
      const QString key = sinifi + QChar(0x1f) + number;
      if (!m_byNumber.contains(key)) m_byNumber.insert(key, {kayitNo, tc});
    }
    m_byName[nameKey(r)].append({kayitNo, tc});
  }
  QString find(const Row& r) {
    const QString tc = text(r, "TCKIMLIK");
    QString found;
    if (!tc.isEmpty()) found = m_byTc.value(tc);
    const QString number = text(r, "NUMARASI");
    if (found.isEmpty() && !number.isEmpty()) {
      const Named n = m_byNumber.value(text(r, "SINIFI") + QChar(0x1f) + number);
      if (tc.isEmpty() || n.tc.isEmpty() || n.tc == tc) found = n.kayitNo;
    }
    if (found.isEmpty() && number.isEmpty())
      for (const Named& n : m_byName.value(nameKey(r))) {
        if (m_taken.contains(n.kayitNo)) continue;
        if (!tc.isEmpty() && !n.tc.isEmpty() && n.tc != tc) continue;
        found = n.kayitNo;
        break;
      }
    if (!found.isEmpty()) m_taken.insert(found);
    return found;
  }

 private:
  struct Named {
    QString kayitNo;
    QString tc;
  };
  static QString nameKey(const Row& r) {
    return text(r, "SINIFI") + QChar(0x1f) + lists::turkishFold(text(r, "ADI").simplified()) +
           QChar(0x1f) + lists::turkishFold(text(r, "SOYADI").simplified());
  }
  QHash<QString, QString> m_byTc;
  QHash<QString, Named> m_byNumber;
  QHash<QString, QList<Named>> m_byName;
  QSet<QString> m_taken;
};

// The folder's bank as one test file's package, written into `file`.
Status writePackage(store::Store& source, const QString& file) {
  Result<QStringList> questions =
      source.column(QStringLiteral("SELECT SORUNO FROM TABLESORU ORDER BY VAL(SORUNO)"));
  if (!questions) return Status::failure(questions.error());
  Result<QStringList> tests =
      source.column(QStringLiteral("SELECT TESTNO FROM TABLETEST ORDER BY VAL(TESTNO)"));
  if (!tests) return Status::failure(tests.error());
  return PackageFile::writeDatabase(source, file, [&](PackageWriter& package) {
    return TestPackage::writeTables(package, tests.value(), questions.value());
  });
}

Result<QSet<QString>> runKeys(store::Store& store) {
  QSet<QString> keys;
  for (const char* table : {"TABLEUYGULAMA", "TABLECEVAP", "TABLESONUC"}) {
    Result<QStringList> k = store.column(QStringLiteral("SELECT DISTINCT NZ(TESTTARIHI) || '|' || "
                                                        "NZ(TESTBASLANGIC) FROM %1")
                                             .arg(QLatin1String(table)));
    if (!k) return Result<QSet<QString>>::failure(k.error());
    for (const QString& key : k.value()) keys.insert(key);
  }
  return keys;
}

}  // namespace

QString FolderImportReport::summary() const {
  if (alreadyImported) return store::alreadyImportedMessage(importedAt);
  QString line =
      QStringLiteral(
          "Veri klasörü sunucuya aktarıldı: %1 öğrenci eklendi (%2 öğrenci okulda vardı), %3 "
          "kumanda, %4 eşleştirme, %5 soru, %6 test, %7 uygulama (%8 cevap, %9 sonuç), %10 "
          "dosya.")
          .arg(studentsAdded)
          .arg(studentsMatched)
          .arg(remotesAdded)
          .arg(pairingsAdded)
          .arg(questions)
          .arg(tests)
          .arg(runs)
          .arg(answers)
          .arg(results)
          .arg(files);
  if (runsSkipped > 0)
    line += QStringLiteral(" Aynı tarih ve saatte okulda zaten olan %1 uygulama alınmadı.")
                .arg(runsSkipped);
  if (institution) line += QStringLiteral(" Okulun kurum bilgileri bu klasörden alındı.");
  return line;
}

Result<FolderImportReport> FolderImport::run(const QString& folder) {
  using R = Result<FolderImportReport>;
  const QString root = QDir(folder).absolutePath();
  const QString shown = QDir::toNativeSeparators(folder);
  if (!QFileInfo::exists(QDir(root).filePath(store::kMainName + QStringLiteral(".db"))))
    return R::failure(
        QStringLiteral("%1 bir Derslik veri klasörü değil (içinde DERSLIK.db yok).").arg(shown));
  if (!m_school.onServer() && QDir(m_school.root()) == QDir(root))
    return R::failure(QStringLiteral("Bir veri klasörü kendi içine aktarılamaz."));
  if (store::rolloverInterrupted(root))
    return R::failure(
        QStringLiteral(
            "%1 klasöründe yarım kalmış bir sınıf atlatma var. Önce o klasörü Derslik'le açınız.")
            .arg(shown));

  step(QStringLiteral("Veri klasörü açılıyor: %1").arg(shown));
  store::Store source(root);
  if (Result<store::CheckReport> opened = source.open(); !opened)
    return R::failure(QStringLiteral("Veri klasörü açılamadı: %1").arg(opened.error()));
  Result<QString> identity = store::folderIdentity(source);
  if (!identity) return R::failure(identity.error());

  // A copy this school wrote out holds nothing the school lacks.
  Result<QString> origin = store::ParametreAl(source, store::kExportedFrom);
  if (!origin) return R::failure(origin.error());
  if (!origin->isEmpty()) {
    Result<QString> school = store::schoolIdentity(m_school, false);
    if (!school) return R::failure(school.error());
    if (school.value() == origin.value()) return R::failure(store::exportedCopyMessage());
  }

  FolderImportReport report;
  Result<QDateTime> before = store::folderImportedAt(m_school, identity.value());
  if (!before) return R::failure(before.error());
  if (before->isValid()) {
    report.alreadyImported = true;
    report.importedAt = before.value();
    return report;
  }

  step(QStringLiteral("Soru bankası ve testler okunuyor..."));
  QTemporaryDir work;
  if (!work.isValid()) return R::failure(QStringLiteral("Geçici klasör oluşturulamadı."));
  PackageFile::Unpacked unpacked;
  unpacked.packageFile = work.filePath(TestPackage::kMember);
  if (Status s = writePackage(source, unpacked.packageFile); !s)
    return R::failure(QStringLiteral("Veri klasörünün soruları okunamadı: %1").arg(s.error()));
  unpacked.packageBytes = QFileInfo(unpacked.packageFile).size();
  Result<std::unique_ptr<PackageDatabase>> package =
      PackageDatabase::open(unpacked.packageFile, kAllowed, PackageQuestions::kMaxPictureBytes);
  if (!package) return R::failure(package.error());

  // Everything the folder holds is read before the school's transaction begins:
  // the other boards wait for it no longer than the writing takes.
  const QStringList studentColumns = ownColumns(QStringLiteral("TABLEOGRENCI"));
  Result<QList<Row>> students = rowsOf(source, QStringLiteral("TABLEOGRENCI"), studentColumns,
                                       QStringLiteral("VAL(KAYITNO), ID"));
  if (!students) return R::failure(students.error());
  const QStringList remoteColumns = ownColumns(QStringLiteral("TABLEKUMANDA"));
  Result<QList<Row>> remotes = rowsOf(source, QStringLiteral("TABLEKUMANDA"), remoteColumns);
  if (!remotes) return R::failure(remotes.error());
  const QStringList pairingColumns = ownColumns(QStringLiteral("TABLEESLESME"));
  Result<QList<Row>> pairings = rowsOf(source, QStringLiteral("TABLEESLESME"), pairingColumns);
  if (!pairings) return R::failure(pairings.error());
  const QStringList cardColumns = ownColumns(QStringLiteral("TABLEKART"));
  Result<QList<Row>> cards = rowsOf(source, QStringLiteral("TABLEKART"), cardColumns);
  if (!cards) return R::failure(cards.error());
  const QStringList userColumns = ownColumns(QStringLiteral("TABLEKULLANICIBILGILERI"));
  Result<QList<Row>> users = rowsOf(source, QStringLiteral("TABLEKULLANICIBILGILERI"), userColumns);
  if (!users) return R::failure(users.error());
  // The folder's lists (classes, levels, courses, authors, groups) and its
  // curriculum definitions, also those no question of it uses yet.
  Result<QList<Row>> listValues = rowsOf(
      source,
      QStringLiteral("TABLEPARAMETRE WHERE PARAMETREADI IN ('SINIFI','SEVIYE','DERS','HAZIRLAYAN',"
                     "'TESTUYGULANANGRUPLAR')"),
      {QStringLiteral("PARAMETREADI"), QStringLiteral("PARAMETREDEGERI"),
       QStringLiteral("PARAMETREACIKLAMA")});
  if (!listValues) return R::failure(listValues.error());
  Result<QList<Row>> definitions =
      rowsOf(source, QStringLiteral("TABLETANIMLAMALAR"),
             {QStringLiteral("SEVIYE"), QStringLiteral("DERS"), QStringLiteral("UNITE"),
              QStringLiteral("KONU"), QStringLiteral("KAZANIM")});
  if (!definitions) return R::failure(definitions.error());
  const QStringList institutionColumns = ownColumns(QStringLiteral("TABLEOKUL"));
  Result<QList<Row>> institution = rowsOf(source, QStringLiteral("TABLEOKUL"), institutionColumns);
  if (!institution) return R::failure(institution.error());
  // The merge brings every question in live; the deleted ones stay deleted.
  Result<QList<Row>> deletedQuestions =
      rowsOf(source, QStringLiteral("TABLESORU WHERE NZ(SILINDIMI)<>''"),
             {QStringLiteral("SORUNO"), QStringLiteral("SILINDIMI")});
  if (!deletedQuestions) return R::failure(deletedQuestions.error());
  const QStringList runTables{QStringLiteral("TABLEUYGULAMA"), QStringLiteral("TABLECEVAP"),
                              QStringLiteral("TABLESONUC"), QStringLiteral("TABLEDISARIDAKALAN")};
  QHash<QString, QList<Row>> runRows;
  for (const QString& table : runTables) {
    Result<QList<Row>> rows = rowsOf(source, table, ownColumns(table));
    if (!rows) return R::failure(rows.error());
    runRows.insert(table, rows.value());
  }
  Result<QSet<QString>> folderRuns = runKeys(source);
  if (!folderRuns) return R::failure(folderRuns.error());
  // The folder's files by the key they belong to; read when they are written.
  struct MediaFile {
    authoring::QuestionMedia::Kind kind;
    QString key;
    QString path;
  };
  QList<MediaFile> media;
  Result<QStringList> withMedia = source.column(QStringLiteral(
      "SELECT SORUNO FROM TABLESORU WHERE NZ(SESDOSYASI)<>'' OR NZ(COZUMVIDEO)<>''"));
  if (!withMedia) return R::failure(withMedia.error());
  const authoring::QuestionMedia folderMedia(source);
  for (const QString& key : withMedia.value())
    for (auto kind : {authoring::QuestionMedia::Kind::Sound, authoring::QuestionMedia::Kind::Video})
      if (const QString path = folderMedia.find(key, kind); !path.isEmpty())
        media.append({kind, key, path});
  QHash<QString, QString> photos;
  const school::StudentPhotos folderPhotos(source);
  for (const Row& row : students.value())
    if (const QString key = text(row, "KAYITNO"); folderPhotos.has(key))
      photos.insert(key, folderPhotos.path(key));
  source.close();

  step(QStringLiteral("Sunucuya yazılıyor..."));
  store::Transaction tx(m_school);
  if (!tx.active()) return R::failure(store::notStartedText(m_school.db()));
  // Another board may have taken the folder in while this one read it.
  before = store::folderImportedAt(m_school, identity.value());
  if (!before) return R::failure(before.error());
  if (before->isValid()) {
    report.alreadyImported = true;
    report.importedAt = before.value();
    return report;
  }

  // The first board taken in names the school: a new server has no institution
  // yet, and without it every board would first ask for the school's code.
  if (!institution->isEmpty() && !text(institution->first(), "KURUMKODU").isEmpty()) {
    Result<QVariant> named =
        m_school.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL WHERE NZ(KURUMKODU)<>''"));
    if (!named) return R::failure(named.error());
    if (named->toInt() == 0) {
      if (Status s = m_school.run(QStringLiteral("DELETE FROM TABLEOKUL")); !s)
        return R::failure(s.error());
      Inserter school(m_school, QStringLiteral("TABLEOKUL"), institutionColumns);
      if (Status s = school.insert(institution->first()); !s) return R::failure(s.error());
      report.institution = true;
    }
  }

  // Questions and tests: the test file's merge.
  PackageQuestions questions(m_school);
  questions.setProgress(m_progress);
  questions.setKeepFreeQuestions(true);
  TestPackage tests(m_school);
  tests.setTestsRequired(false);
  Result<int> merged = tests.merge(*package.value(), unpacked, questions, m_progress);
  if (!merged) return R::failure(merged.error());
  report.tests = merged.value();
  report.questions = questions.count();
  for (const Row& row : deletedQuestions.value()) {
    const QString key = text(row, "SORUNO");
    if (Status s = m_school.run(QStringLiteral("UPDATE TABLESORU SET SILINDIMI=? WHERE SORUNO=?"),
                                {text(row, "SILINDIMI"), questions.keys().value(key, key)});
        !s)
      return R::failure(s.error());
  }
  const auto questionKey = [&questions](const QString& key) {
    return questions.keys().value(key, key);
  };
  // Sounds and videos under the questions' new numbers; the merge left their
  // references empty, as a file without its media does.
  for (const MediaFile& file : media) {
    Result<QByteArray> content = store::FolderFiles::readLocal(file.path);
    if (!content) return R::failure(content.error());
    const QString key = questionKey(file.key);
    const QString stored = authoring::QuestionMedia::storedPath(
        key, file.kind, QLatin1Char('.') + QFileInfo(file.path).suffix().toLower());
    if (Status s = store::FolderFiles(m_school).put(stored, content.value()); !s)
      return R::failure(s.error());
    const QString column = file.kind == authoring::QuestionMedia::Kind::Sound
                               ? QStringLiteral("SESDOSYASI")
                               : QStringLiteral("COZUMVIDEO");
    if (Status s = m_school.run(
            QStringLiteral("UPDATE TABLESORU SET %1=? WHERE SORUNO=?").arg(column), {stored, key});
        !s)
      return R::failure(s.error());
    ++report.files;
  }
  const auto testKey = [&tests](const QString& key) { return tests.testKeys().value(key, key); };

  // A value the school's list has keeps the school's visibility.
  for (const Row& row : listValues.value())
    if (Status s = m_school.run(
            QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,"
                           "PARAMETREACIKLAMA) SELECT ?,?,? WHERE NOT EXISTS (SELECT 1 FROM "
                           "TABLEPARAMETRE WHERE PARAMETREADI=? AND PARAMETREDEGERI=?)"),
            {text(row, "PARAMETREADI"), text(row, "PARAMETREDEGERI"),
             text(row, "PARAMETREACIKLAMA"), text(row, "PARAMETREADI"),
             text(row, "PARAMETREDEGERI")});
        !s)
      return R::failure(s.error());
  QList<CurriculumPlace> places;
  for (const Row& row : definitions.value())
    places.append({text(row, "SEVIYE"), text(row, "DERS"), text(row, "UNITE"), text(row, "KONU"),
                   text(row, "KAZANIM")});
  if (Status s = addDefinitions(m_school, places); !s) return R::failure(s.error());

  step(QStringLiteral("Öğrenciler eşleştiriliyor..."));
  StudentIndex index;
  if (Status s = index.load(m_school); !s) return R::failure(s.error());
  Result<qint64> next = school::Students(m_school).nextRegistrationNumber();
  if (!next) return R::failure(next.error());
  QHash<QString, QString> studentKey;
  Inserter addStudent(m_school, QStringLiteral("TABLEOGRENCI"), studentColumns);
  for (Row row : students.value()) {
    const QString old = text(row, "KAYITNO");
    QString now = index.find(row);
    if (now.isEmpty()) {
      now = QString::number(next.value()++);
      row.insert(QStringLiteral("KAYITNO"), now);
      if (Status s = addStudent.insert(row); !s) return R::failure(s.error());
      // A student the school knows keeps the school's photo.
      if (photos.contains(old)) {
        Result<QByteArray> content = store::FolderFiles::readLocal(photos.value(old));
        if (!content) return R::failure(content.error());
        if (Status s = store::FolderFiles(m_school).put(school::StudentPhotos::relativePath(now),
                                                        content.value());
            !s)
          return R::failure(s.error());
        ++report.files;
      }
      index.add(row, now);
      ++report.studentsAdded;
    } else {
      ++report.studentsMatched;
    }
    if (!old.isEmpty()) studentKey.insert(old, now);
  }
  const auto student = [&studentKey](const QString& key) { return studentKey.value(key, key); };

  step(QStringLiteral("Kumandalar ve eşleştirmeler aktarılıyor..."));
  Result<QStringList> addresses =
      m_school.column(QStringLiteral("SELECT KUMANDAADRESI FROM TABLEKUMANDA"));
  if (!addresses) return R::failure(addresses.error());
  QSet<QString> known(addresses->begin(), addresses->end());
  Inserter addRemote(m_school, QStringLiteral("TABLEKUMANDA"), remoteColumns);
  for (const Row& row : remotes.value()) {
    const QString address = text(row, "KUMANDAADRESI");
    if (address.isEmpty() || known.contains(address)) continue;
    if (Status s = addRemote.insert(row); !s) return R::failure(s.error());
    known.insert(address);
    ++report.remotesAdded;
  }
  Result<QSqlQuery> pairs =
      m_school.exec(QStringLiteral("SELECT KUMANDAADRESI,KAYITNO FROM TABLEESLESME"));
  if (!pairs) return R::failure(pairs.error());
  QSet<QString> paired;
  while (pairs.value().next())
    paired.insert(pairs.value().value(0).toString() + QChar(0x1f) +
                  pairs.value().value(1).toString());
  Inserter addPairing(m_school, QStringLiteral("TABLEESLESME"), pairingColumns);
  for (Row row : pairings.value()) {
    row.insert(QStringLiteral("KAYITNO"), student(text(row, "KAYITNO")));
    const QString pair = text(row, "KUMANDAADRESI") + QChar(0x1f) + text(row, "KAYITNO");
    if (paired.contains(pair)) continue;
    if (Status s = addPairing.insert(row); !s) return R::failure(s.error());
    paired.insert(pair);
    ++report.pairingsAdded;
  }
  Result<QStringList> cardNumbers = m_school.column(QStringLiteral("SELECT KARTNO FROM TABLEKART"));
  if (!cardNumbers) return R::failure(cardNumbers.error());
  QSet<QString> givenCards(cardNumbers->begin(), cardNumbers->end());
  Inserter addCard(m_school, QStringLiteral("TABLEKART"), cardColumns);
  for (Row row : cards.value()) {
    if (givenCards.contains(text(row, "KARTNO"))) continue;
    row.insert(QStringLiteral("KAYITNO"), student(text(row, "KAYITNO")));
    if (Status s = addCard.insert(row); !s) return R::failure(s.error());
    givenCards.insert(text(row, "KARTNO"));
    ++report.cardsAdded;
  }
  // Users are the school's: a name the school has keeps the school's password and rights.
  Result<QStringList> userNames =
      m_school.column(QStringLiteral("SELECT KULLANICIADI FROM TABLEKULLANICIBILGILERI"));
  if (!userNames) return R::failure(userNames.error());
  QSet<QString> haveUsers;
  for (const QString& name : userNames.value())
    haveUsers.insert(lists::turkishFold(name.trimmed()));
  Inserter addUser(m_school, QStringLiteral("TABLEKULLANICIBILGILERI"), userColumns);
  for (const Row& row : users.value()) {
    const QString name = lists::turkishFold(text(row, "KULLANICIADI"));
    if (name.isEmpty() || haveUsers.contains(name)) continue;
    if (Status s = addUser.insert(row); !s) return R::failure(s.error());
    haveUsers.insert(name);
    ++report.usersAdded;
  }

  step(QStringLiteral("Uygulamalar aktarılıyor..."));
  Result<QSet<QString>> schoolRuns = runKeys(m_school);
  if (!schoolRuns) return R::failure(schoolRuns.error());
  for (const QString& key : folderRuns.value())
    (schoolRuns->contains(key) ? report.runsSkipped : report.runs)++;
  for (const QString& table : runTables) {
    const QStringList columns = ownColumns(table);
    Inserter add(m_school, table, columns);
    for (Row row : runRows.value(table)) {
      if (schoolRuns->contains(text(row, "TESTTARIHI") + QLatin1Char('|') +
                               text(row, "TESTBASLANGIC")))
        continue;
      if (columns.contains(QStringLiteral("TESTNO")))
        row.insert(QStringLiteral("TESTNO"), testKey(text(row, "TESTNO")));
      if (columns.contains(QStringLiteral("SORUNO")))
        row.insert(QStringLiteral("SORUNO"), questionKey(text(row, "SORUNO")));
      if (columns.contains(QStringLiteral("KAYITNO")))
        row.insert(QStringLiteral("KAYITNO"), student(text(row, "KAYITNO")));
      if (Status s = add.insert(row); !s)
        return R::failure(QStringLiteral("%1: %2").arg(table, s.error()));
      if (table == QStringLiteral("TABLECEVAP")) ++report.answers;
      if (table == QStringLiteral("TABLESONUC")) ++report.results;
    }
  }

  const QDateTime now = QDateTime::currentDateTime();
  if (Status s =
          m_school.run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,"
                                      "PARAMETREDEGERI,PARAMETREACIKLAMA) VALUES (?,?,?)"),
                       {store::kImportedFolder, identity.value(), store::importTimeText(now)});
      !s)
    return R::failure(s.error());
  if (m_beforeCommit)
    if (Status s = m_beforeCommit(); !s) return R::failure(s.error());
  m_school.changed(
      store::Change::Students | store::Change::Remotes | store::Change::Pairings |
      store::Change::Users | store::Change::Questions | store::Change::Tests | store::Change::Runs |
      store::Change::Lists |
      (report.institution ? store::Changes(store::Change::Institution) : store::Changes()));
  if (Status s = tx.commit(); !s) {
    questions.discard();
    return R::failure(s.error());
  }
  questions.finish();
  if (report.institution) (void)m_school.reloadInstitution();
  report.importedAt = now;
  return report;
}

}  // namespace exchange
