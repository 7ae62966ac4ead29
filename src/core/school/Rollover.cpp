#include "school/Rollover.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStringList>

#include "Messages.h"
#include "store/ContentStores.h"
#include "store/Database.h"
#include "store/Dialect.h"
#include "store/FolderFiles.h"
#include "store/Institution.h"
#include "store/Parameters.h"
#include "store/RolloverFiles.h"
#include "store/RunSetupChoices.h"
#include "store/Schema.h"
#include "store/SchemaTables.h"
#include "store/ServerFolders.h"
#include "store/Store.h"
#include "store/StoreFiles.h"

namespace school {

namespace {

const QString kCheckConnection = QStringLiteral("rollover-check");
const QString kNewConnection = QStringLiteral("rollover-new");

// The single group of digits of a name, or empty when there is none or several.
QString singleDigitGroup(const QString& name) {
  QString image;
  for (QChar c : name)
    image += (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c : QLatin1Char(' ');
  const QStringList groups = image.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
  return groups.size() == 1 ? groups.first() : QString();
}

QString raised(const QString& name, int ceiling) {
  const QString group = singleDigitGroup(name);
  if (group.isEmpty()) return name;
  bool ok = false;
  const int value = group.toInt(&ok);
  if (!ok || value >= 32767) return name;  // the number is kept in 16 bits
  const int next = std::min(value + 1, ceiling);
  QString out = name;
  out.replace(group, QString::number(next));
  return out;
}

QStringList databaseFiles(const store::Store& store) {
  QStringList files;
  const QString main = store.mainFile();
  if (QFile::exists(main)) files << main;
  for (int n = 1; n <= store::kLastStoreNumber; ++n)
    for (store::StoreKind kind : {store::StoreKind::Question, store::StoreKind::Test})
      if (QFile::exists(store::storePath(store.root(), kind, n)))
        files << store::storePath(store.root(), kind, n);
  return files;
}

void removeWithSidecars(const QString& file) {
  for (const char* suffix : {"", "-wal", "-shm", "-journal"})
    QFile::remove(file + QString::fromLatin1(suffix));
}

// Makes the file whole on its own, so that copying the file copies everything:
// opening it switches a WAL of an older version back into it, and the first read
// rolls back a journal that a kill left beside it (a copy without that journal
// would keep half a transaction).
Status checkpoint(const QString& file) {
  Status s;
  {
    Result<QSqlDatabase> db = store::openFile(kCheckConnection, file);
    if (!db) return Status::failure(db.error());
    s = store::run(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"), {}, db.value());
  }
  store::closeFile(kCheckConnection);
  return s;
}

// Table name -> row count of a database file, after its integrity check when
// asked for; the failure names the file as `name`.
Result<QList<QPair<QString, qint64>>> rowCounts(const QString& file, const QString& name,
                                                bool integrity) {
  using R = Result<QList<QPair<QString, qint64>>>;
  QList<QPair<QString, qint64>> counts;
  QString error;
  {
    Result<QSqlDatabase> db = store::openFile(kCheckConnection, file);
    if (!db) return R::failure(QStringLiteral("%1 açılamadı: %2").arg(name, db.error()));
    const QString check =
        integrity ? store::scalar(QStringLiteral("PRAGMA integrity_check"), {}, db.value())
                        .valueOr({})
                        .toString()
                  : QStringLiteral("ok");
    if (check != QStringLiteral("ok"))
      error = QStringLiteral("%1 bozuk (%2)")
                  .arg(name, check.isEmpty() ? QStringLiteral("okunamadı") : check);
    if (error.isEmpty()) {
      const Result<QStringList> tables =
          store::column(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name "
                                       "NOT LIKE 'sqlite_%' ORDER BY name"),
                        {}, db.value());
      if (!tables) error = QStringLiteral("%1 okunamadı (%2)").arg(name, tables.error());
      for (const QString& t : tables.valueOr({})) {
        const Result<QVariant> n =
            store::scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(t), {}, db.value());
        if (!n || !n->isValid()) {
          error = QStringLiteral("%1 içindeki %2 okunamadı").arg(name, t);
          break;
        }
        counts.append({t, n->toLongLong()});
      }
    }
  }
  store::closeFile(kCheckConnection);
  if (!error.isEmpty()) return R::failure(error);
  return counts;
}

const QString kCompletedParameter = QStringLiteral("SINIFATLATMAYAPILDI");

// The year's change on a database that holds what the new year keeps: classes
// and levels up, the lists and search choices started over, the year recorded.
// The same steps for a board's new file and for the school's server.
Status newYearChanges(const QSqlDatabase& db, const QString& label, const QDateTime& when) {
  auto run = [&db](const QString& sql, const QVariantList& params = {}) {
    return store::run(sql, params, db);
  };
  Status result;
  // Classes and levels move up in one statement each: every row is read with
  // its old value, so 5-A -> 6-A is never raised again as the old 6-A.
  for (const QString& column : {QStringLiteral("SINIFI"), QStringLiteral("SEVIYE")}) {
    if (!result) break;
    const Result<QStringList> values = store::column(
        QStringLiteral("SELECT NZ(%1) FROM TABLEOGRENCI GROUP BY NZ(%1)").arg(column), {}, db);
    if (!values) {
      result = Status::failure(values.error());
      break;
    }
    QString cases;
    QVariantList params;
    for (const QString& v : values.value()) {
      const QString next = column == QStringLiteral("SINIFI") ? Rollover::SinifNumarasiArttir(v)
                                                              : Rollover::SeviyeArttir(v);
      if (next == v) continue;
      cases += QStringLiteral(" WHEN ? THEN ?");
      params << v << next;
    }
    if (!cases.isEmpty())
      result = run(QStringLiteral("UPDATE TABLEOGRENCI SET %1 = CASE NZ(%1)%2 ELSE %1 END")
                       .arg(column, cases),
                   params);
  }
  if (result)
    result = run(QStringLiteral("DELETE FROM TABLEPARAMETRE WHERE PARAMETREADI='SINIFI'"));
  if (result)
    result = run(
        QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI) SELECT DISTINCT "
                       "'SINIFI',SINIFI FROM TABLEOGRENCI WHERE NZ(SINIFI)<>'' ORDER BY SINIFI"));
  if (result)
    result = run(QStringLiteral(
        "UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='1' WHERE PARAMETREADI='DERS' OR "
        "PARAMETREADI='HAZIRLAYAN' OR PARAMETREADI='SEVIYE'"));
  if (result)
    result = run(QStringLiteral(
        "UPDATE TABLEPARAMETRE SET PARAMETREACIKLAMA='' WHERE PARAMETREADI='SEVIYE' AND "
        "PARAMETREDEGERI IN (SELECT DISTINCT SEVIYE FROM TABLEOGRENCI)"));
  // A raised level that was never in the list (8 after 7) is offered too.
  if (result)
    result = run(QStringLiteral(
        "INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,PARAMETREACIKLAMA) "
        "SELECT DISTINCT 'SEVIYE',SEVIYE,'' FROM TABLEOGRENCI WHERE NZ(SEVIYE)<>'' AND "
        "SEVIYE NOT IN (SELECT NZ(PARAMETREDEGERI) FROM TABLEPARAMETRE WHERE "
        "PARAMETREADI='SEVIYE')"));
  // The test-run screen's search lists start the new year over.
  if (result) {
    Result<store::RunSetupChoices> choices = store::RunSetupChoices::load(db);
    if (!choices) {
      result = Status::failure(choices.error());
    } else {
      choices.value().resetForNewYear();
      result = choices.value().save(db);
    }
  }
  if (result) result = run(QStringLiteral("UPDATE TABLEOKUL SET SONSORUINDIRMEZAMANI=''"));
  if (result) result = run(QStringLiteral("UPDATE TABLEOKUL SET SINIFATLATMADONEM=?"), {label});
  // The completed run, apart from the label that a "Hayır" records as well.
  if (result)
    result = run(QStringLiteral("DELETE FROM TABLEPARAMETRE WHERE PARAMETREADI=?"),
                 {kCompletedParameter});
  if (result)
    result = run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,"
                                "PARAMETREACIKLAMA) VALUES (?,?,'')"),
                 {kCompletedParameter,
                  label + QLatin1Char('|') + when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))});
  return result;
}

// Builds the new main database at `target` from the checked backup copy.
Status buildNewMain(const QString& target, const QString& backupMain, const QString& label,
                    const QDateTime& when, bool keepBank,
                    const std::function<void(const QString&)>& reached) {
  removeWithSidecars(target);
  Status result;
  {
    Result<QSqlDatabase> opened = store::openFile(kNewConnection, target);
    if (!opened) return Status::failure(opened.error());
    QSqlDatabase db = opened.value();
    auto run = [&db](const QString& sql, const QVariantList& params = {}) {
      return store::run(sql, params, db);
    };
    result = store::createMainTables(db);
    if (result) result = run(QStringLiteral("ATTACH DATABASE ? AS ESKI"), {backupMain});
    if (result) {
      store::Transaction tx(db);
      result = run(QStringLiteral(
                       "INSERT INTO TABLEVERSIYON (VTYAPIVERSIYON, VTVERIVERSIYON) VALUES (?, ?)"),
                   {store::structureVersion(), QString::number(store::kDataVersion)});
      QStringList carried = Rollover::carriedTables();
      if (keepBank) carried += Rollover::bankTables();
      for (const QString& table : carried) {
        if (!result) break;
        const store::TableDef* def = store::findMainTable(table);
        const Result<QStringList> oldColumns = store::column(
            QStringLiteral("SELECT upper(name) FROM pragma_table_info(?, 'ESKI')"), {table}, db);
        if (!oldColumns) {
          result = Status::failure(oldColumns.error());
          break;
        }
        const QStringList& old = oldColumns.value();
        if (!def || old.isEmpty()) continue;
        QStringList columns;
        for (const QString& c : def->columnNames())
          if (old.contains(c.toUpper())) columns << c;
        result = run(QStringLiteral("DELETE FROM %1").arg(table));
        if (result)
          result = run(QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM ESKI.%1")
                           .arg(table, columns.join(QLatin1Char(','))));
      }
      if (result) result = newYearChanges(db, label, when);
      if (result) reached(QStringLiteral("new-filled"));
      if (result) result = tx.commit();
    }
    (void)run(QStringLiteral("DETACH DATABASE ESKI"));
    if (result) result = store::createIndexes(db);
    if (result) {
      const Result<QVariant> check =
          store::scalar(QStringLiteral("PRAGMA integrity_check"), {}, db);
      if (!check || check->toString() != QStringLiteral("ok"))
        result = Status::failure(QStringLiteral("yeni veritabanı denetlenemedi"));
    }
    // One self-contained file: the rename that puts it in place carries everything.
    if (result) result = run(QStringLiteral("PRAGMA journal_mode=DELETE"));
  }
  store::closeFile(kNewConnection);
  if (result && QFileInfo::exists(target + QStringLiteral("-wal")))
    result = Status::failure(QStringLiteral("yeni veritabanının günlüğü kapatılamadı"));
  if (!result) removeWithSidecars(target);
  return result;
}

// The tables of the old year's work on the school's server: everything a new
// board file would not carry over. The server's own records stay (its version,
// the files boards brought in).
QStringList tablesLeftBehind(bool keepBank) {
  QStringList kept = Rollover::carriedTables();
  if (keepBank) kept += Rollover::bankTables();
  QStringList out;
  for (const store::TableDef& t : store::mainTables())
    if (!kept.contains(t.name) && t.name != QStringLiteral("TABLEVERSIYON")) out << t.name;
  return out;
}

const QString kServerLock = QStringLiteral("sinif-atlatma");

// Holds the school's rollover lock while it lives.
class SchoolLock {
 public:
  explicit SchoolLock(const QSqlDatabase& db)
      : m_db(db), m_held(store::dialectOf(db).tryHoldSchoolLock(db, kServerLock)) {}
  ~SchoolLock() {
    if (m_held && m_held.value()) store::dialectOf(m_db).releaseSchoolLock(m_db, kServerLock);
  }
  SchoolLock(const SchoolLock&) = delete;
  SchoolLock& operator=(const SchoolLock&) = delete;
  const Result<bool>& held() const { return m_held; }

 private:
  QSqlDatabase m_db;
  Result<bool> m_held;
};

// The rollover of a school on its server: once for every board. Under the
// school's lock, and in one writing transaction that keeps every other board's
// writes waiting: the backup (an export of the whole school into this board's
// Yedek/<stamp>/, checked against the server and marked) and the year's change
// see the same data, and nothing written meanwhile can go without a backup.
Rollover::Report rolloverOnServer(store::Store& store, const Rollover::Hooks& hooks,
                                  Rollover::Report result, const QString& doneBefore,
                                  const QDateTime& serverDate) {
  auto reached = [&hooks](const QString& step) {
    if (hooks.stepReached) hooks.stepReached(step);
  };
  store::Backup backup;
  auto fail = [&](const QString& why) {
    if (!backup.folder.isEmpty()) QDir(backup.folder).removeRecursively();
    result.outcome = Rollover::Outcome::Failed;
    result.backupStamp.clear();
    result.message =
        QStringLiteral("Sınıf atlatma yapılamadı: %1\nSunucudaki hiçbir veri değiştirilmedi.")
            .arg(why);
    return result;
  };
  SchoolLock lock(store.db());
  if (!lock.held()) return fail(lock.held().error());
  if (!lock.held().value()) {
    result.outcome = Rollover::Outcome::Failed;
    result.message = Rollover::runningElsewhereMessage();
    return result;
  }
  reached(QStringLiteral("locked"));
  // Another board may have finished it between the questions and the lock.
  const Result<QString> done = Rollover::completedOn(store, result.label);
  if (!done) return fail(done.error());
  if (*done != doneBefore) {
    result.outcome = Rollover::Outcome::AlreadyDone;
    result.message = Rollover::againQuestion(*done);
    return result;
  }
  if (hooks.progress) hooks.progress(QStringLiteral("Okulun verileri yedekleniyor..."));
  store::Transaction tx(store);
  if (!tx.active()) return fail(QStringLiteral("İşlem başlatılamadı."));
  Result<store::Backup> folder =
      store::createBackupFolder(store.root(), Rollover::backupStamp(QDateTime::currentDateTime()));
  if (!folder) return fail(folder.error());
  backup = folder.value();
  // The export fills the empty folder and marks it last, after its check.
  const Result<store::FolderFigures> copied = store::exportFolder(store, backup.folder);
  if (!copied) {
    backup.folder.clear();  // the export took away what it had written
    return fail(copied.error());
  }
  result.backupStamp = backup.stamp;
  reached(QStringLiteral("backup-marked"));
  if (hooks.progress) hooks.progress(QStringLiteral("Yeni eğitim öğretim yılı hazırlanıyor..."));
  Status s;
  for (const QString& table : tablesLeftBehind(result.bankKept)) {
    s = store.run(QStringLiteral("DELETE FROM %1").arg(table));
    if (!s) break;
  }
  for (store::StoreKind kind : {store::StoreKind::Question, store::StoreKind::Test}) {
    if (!s || result.bankKept) break;
    s = store.run(QStringLiteral("DELETE FROM %1")
                      .arg(store::ContentStores::tableRef(kind, store::kFirstStore)));
  }
  // The bank's sounds and videos are named by question number: kept, the new
  // year's first question would play the old first question's sound. The backup
  // above holds them.
  for (const QString& folder : {QStringLiteral("Sesler"), QStringLiteral("Videolar")}) {
    if (!s || result.bankKept) break;
    s = store::FolderFiles(store).removeFolder(folder);
  }
  if (s) s = newYearChanges(store.db(), result.label, serverDate);
  if (!s) return fail(s.error());
  reached(QStringLiteral("new-filled"));
  store.changed(store::Change::Students | store::Change::Lists | store::Change::Institution |
                store::Change::Questions | store::Change::Tests | store::Change::Runs);
  if (Status c = tx.commit(); !c) return fail(c.error());
  if (Status r = store.reloadInstitution(); !r)
    store.log(QStringLiteral("Sınıf atlatma: kurum bilgileri okunamadı: ") + r.error());
  result.outcome = Rollover::Outcome::Done;
  result.message = Rollover::doneMessage();
  return result;
}

}  // namespace

const QStringList& Rollover::carriedTables() {
  static const QStringList tables{
      QStringLiteral("TABLEAYAR"),           QStringLiteral("TABLEESLESME"),
      QStringLiteral("TABLEKART"),           QStringLiteral("TABLEKULLANICIBILGILERI"),
      QStringLiteral("TABLEKUMANDA"),        QStringLiteral("TABLEOGRENCI"),
      QStringLiteral("TABLEOKUL"),           QStringLiteral("TABLEPARAMETRE"),
      QStringLiteral("TABLESLISTESUTUNADI"), QStringLiteral("TABLESLISTESUTUNBILGILERI"),
      QStringLiteral("TABLESOZLESME")};
  return tables;
}

const QStringList& Rollover::bankTables() {
  static const QStringList tables{QStringLiteral("TABLESORU"), QStringLiteral("TABLETANIMLAMALAR"),
                                  QStringLiteral("TABLETEST"), QStringLiteral("TABLETESTSORU"),
                                  QStringLiteral("TABLEINTERNETTEST")};
  return tables;
}

QString Rollover::SinifNumarasiArttir(const QString& name) { return raised(name, 32767); }

QString Rollover::SeviyeArttir(const QString& level) { return raised(level, 12); }

QString Rollover::schoolYearLabel(const QDate& date) { return store::schoolYearLabel(date); }

QString Rollover::backupStamp(const QDateTime& when) {
  const QDate d = when.date();
  const QTime t = when.time();
  return QStringLiteral("%1.%2.%3-%4.%5.%6")
      .arg(d.year())
      .arg(d.month())
      .arg(d.day())
      .arg(t.hour())
      .arg(t.minute())
      .arg(t.second());
}

QString Rollover::firstQuestion() {
  return QStringList{
      QStringLiteral("Yeni eğitim öğretim yılı için program ayarlansın mı?"),
      QString(),
      QStringLiteral("- Öğrenciler bir üst sınıfa geçirilecek (5-A → 6-A; seviyeler de bir "
                     "artar)."),
      QStringLiteral("- Bu tahtada kalanlar: öğrenciler, sınıflar, kumandalar ve eşleştirmeler, "
                     "kullanıcılar, kurum bilgileri ve ayarlar."),
      QStringLiteral("- Yedeğe taşınanlar: bu yılın bütün uygulamaları, cevapları ve sonuçları; "
                     "soru bankası (sorular, üniteler, konular, kazanımlar) ve testler de, \"") +
          keepBankChoice() + QStringLiteral("\" seçilmedikçe."),
      QStringLiteral("- Önce her şey Yedek klasörüne kopyalanır; eski yılın raporları Raporlar "
                     "bölümünde \"Geçmiş Yıllar\" ile okunabilir."),
      QString(),
      QStringLiteral("Bu işlemi sonra yapmak isterseniz sol üstteki menüden Sınıf Atlatma seçeneği "
                     "ile yapabilirsiniz")}
      .join(QStringLiteral("\r\n"));
}

QString Rollover::confirmYearQuestion(const QString& label) {
  return QStringLiteral("İçinde bulunduğumuz eğitim öğretim yılının ") + label +
         QStringLiteral(" olduğunu doğruluyor musunuz?");
}

QString Rollover::againQuestion(const QString& date) {
  return QStringLiteral("Bu eğitim-öğretim yılı için sınıf atlatma ") + date +
         QStringLiteral(" tarihinde yapıldı. Yeniden yapılsın mı?");
}

Result<QString> Rollover::completedOn(const store::Store& store, const QString& label) {
  const Result<QString> stored = store::ParametreAl(store, kCompletedParameter);
  if (!stored) return stored;
  const QStringList parts = stored->split(QLatin1Char('|'));
  if (parts.size() != 2 || parts.first() != label) return QString();
  return parts.last().left(10);
}

void Rollover::tell(Messages& messages, const Report& report) {
  if (report.outcome == Outcome::Done)
    messages.info(report.message, QStringLiteral("Sınıf Atlatma"));
  else if (report.outcome == Outcome::Failed)
    messages.error(report.message);
}

Rollover::Report Rollover::offer(store::Store& store, const Hooks& hooks) {
  const QDateTime now = hooks.now ? hooks.now() : QDateTime::currentDateTime();
  const QString label = schoolYearLabel(now.date());
  const Result<bool> due = store::rolloverDue(store, label);
  if (!due) return {Outcome::Failed, due.error(), label, {}};
  if (!due.value()) return {Outcome::NotOffered, {}, label, {}};
  return SinifAtlatmaUygula(store, hooks);
}

Rollover::Report Rollover::SinifAtlatmaUygula(store::Store& store, const Hooks& hooks) {
  auto now = [&hooks]() { return hooks.now ? hooks.now() : QDateTime::currentDateTime(); };
  auto say = [&hooks](const QString& text) {
    if (hooks.progress) hooks.progress(text);
  };
  auto reached = [&hooks](const QString& step) {
    if (hooks.stepReached) hooks.stepReached(step);
  };
  // Every question leads to a step that cannot be taken back: Enter never answers "Evet".
  auto ask = [&hooks](const QString& question) {
    return hooks.messages &&
           hooks.messages->ask(question, QStringLiteral("Sınıf Atlatma"), Messages::Answer::No);
  };
  Report result;
  // 1. Never with three-button remotes.
  if (store.institution().threeButton()) {
    result.outcome = Outcome::NotAllowed;
    return result;
  }
  // 2. Recorded whatever the answers: start-up does not ask again this year.
  result.label = schoolYearLabel(now().date());
  if (Status s = store::recordSchoolYear(store, result.label); !s) {
    result.outcome = Outcome::Failed;
    result.message = s.error();
    return result;
  }
  reached(QStringLiteral("label-recorded"));
  // 3. The teacher chooses here whether the bank stays.
  bool keepBank = hooks.keepBank;
  const bool go = hooks.askStart ? hooks.askStart(firstQuestion(), keepBank) : ask(firstQuestion());
  if (!go) {
    result.outcome = Outcome::Declined;
    return result;
  }
  result.bankKept = keepBank;
  // 4-5. The date comes from the local clock; there is no fast gateway to trust
  // it, so the teacher always confirms the year.
  const QDateTime serverDate = now();
  if (!serverDate.isValid()) {
    result.outcome = Outcome::Declined;
    return result;
  }
  result.label = schoolYearLabel(serverDate.date());
  if (!ask(confirmYearQuestion(result.label))) {
    result.outcome = Outcome::Declined;
    return result;
  }
  // A second run in one school year would raise every class twice: only on request.
  const Result<QString> done = completedOn(store, result.label);
  if (!done) {
    result.outcome = Outcome::Failed;
    result.message = done.error();
    return result;
  }
  if (!done->isEmpty()) {
    const bool again =
        hooks.askAgain ? hooks.askAgain(againQuestion(*done)) : ask(againQuestion(*done));
    if (!again) {
      result.outcome = Outcome::AlreadyDone;
      result.message = againQuestion(*done);
      return result;
    }
  }
  // 6.
  if (hooks.closeScreens) hooks.closeScreens();
  if (store.onServer()) return rolloverOnServer(store, hooks, result, *done, serverDate);
  store::ExclusiveDataLock lock(store.root(), hooks.lockWaitMs);
  if (!lock.held()) {
    result.outcome = Outcome::Failed;
    result.message =
        QStringLiteral("Sınıf atlatma yapılamadı: ") + store::DataLock::folderInUseMessage();
    return result;
  }
  reached(QStringLiteral("locked"));
  store::Backup backup;
  auto fail = [&](const QString& why) {
    if (!backup.folder.isEmpty()) QDir(backup.folder).removeRecursively();
    removeWithSidecars(store::stagedMainPath(store.root()));
    if (Result<store::CheckReport> reopened = store.open(); !reopened)
      store.log(QStringLiteral("Sınıf atlatma: veritabanı yeniden açılamadı: ") + reopened.error());
    result.outcome = Outcome::Failed;
    result.backupStamp.clear();
    result.message = QStringLiteral(
                         "Sınıf atlatma yapılamadı: %1\nHiçbir veri değiştirilmedi, eski dosyalar "
                         "kullanılmaya devam ediyor.")
                         .arg(why);
    return result;
  };
  say(QStringLiteral("Veritabanı yedekleniyor..."));
  store.close();
  // A half-built file of an earlier run never counted (it had no journal).
  removeWithSidecars(store::stagedMainPath(store.root()));
  // 7. A folder of its own per run, even for two runs in one second.
  Result<store::Backup> folder =
      store::createBackupFolder(store.root(), backupStamp(QDateTime::currentDateTime()));
  if (!folder) return fail(folder.error());
  backup = folder.value();
  result.backupStamp = backup.stamp;
  reached(QStringLiteral("backup-folder-created"));
  // 8. Copy, then check each copy against its original; the folder's marker last.
  const QString mainFile = store.mainFile();
  if (!QFileInfo::exists(mainFile)) return fail(QStringLiteral("Ana veritabanı bulunamadı."));
  QString backupMain;
  for (const QString& file : databaseFiles(store)) {
    const QString name = QFileInfo(file).fileName();
    if (Status s = checkpoint(file); !s) return fail(name + QStringLiteral(": ") + s.error());
    if (Status s = store::copyIntoBackup(file, backup); !s) return fail(s.error());
    const QString copy = QDir(backup.folder).filePath(name);
    if (file == mainFile) backupMain = copy;
    const QString live = QStringLiteral("Kullanılan veritabanı dosyası %1").arg(name);
    const auto copied =
        rowCounts(copy, QStringLiteral("Yedek/%1/%2 yedeği").arg(backup.stamp, name), true);
    // A bad copy of a bad file: the file in use is the one to name.
    const auto original = rowCounts(file, live, !copied);
    if (!original) return fail(original.error());
    if (!copied) return fail(copied.error());
    if (original.value() != copied.value())
      return fail(QStringLiteral("%1 yedeği aslıyla aynı değil.").arg(name));
    reached(QStringLiteral("backup-copied:") + name);
  }
  if (Status s = store::markBackupComplete(backup); !s) return fail(s.error());
  reached(QStringLiteral("backup-marked"));
  // 9-16. The new main database, built beside the old one.
  say(QStringLiteral("Yeni eğitim öğretim yılı hazırlanıyor..."));
  if (Status s = buildNewMain(store::stagedMainPath(store.root()), backupMain, result.label,
                              serverDate, keepBank, reached);
      !s)
    return fail(s.error());
  reached(QStringLiteral("new-built"));
  // The commit point: from here on the new year stands, even after a kill.
  if (Status s = store::writeSwapJournal(store.root(), backup, keepBank); !s)
    return fail(s.error());
  reached(QStringLiteral("journal-written"));
  if (Status s = store::finishSwap(store.root(), reached); !s) {
    // The journal stays: the next start finishes the swap before opening anything.
    result.outcome = Outcome::Failed;
    result.message = QStringLiteral(
                         "Sınıf atlatma tamamlanamadı: %1\nDerslik'i kapatıp yeniden açınız; "
                         "yarım kalan iş açılışta tamamlanır.")
                         .arg(s.error());
    return result;
  }
  Result<store::CheckReport> reopened = store.open();
  if (!reopened) {
    result.outcome = Outcome::Failed;
    result.message = reopened.error();
    return result;
  }
  reached(QStringLiteral("reopened"));
  result.outcome = Outcome::Done;
  result.message = doneMessage();
  return result;
}

}  // namespace school
