#include "school/Rollover.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStringList>

#include "Messages.h"
#include "delivery/RunSettings.h"
#include "store/Database.h"
#include "store/Institution.h"
#include "store/Schema.h"
#include "store/SchemaTables.h"
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

// Writes a file's WAL back into it, so that copying the file copies everything.
Status checkpoint(const QString& file) {
  Status s;
  {
    Result<QSqlDatabase> db = store::openFile(kCheckConnection, file);
    if (!db) return Status::failure(db.error());
    s = store::run(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), {}, db.value());
  }
  store::closeFile(kCheckConnection);
  return s;
}

// Table name -> row count of a database file; empty on failure.
Result<QList<QPair<QString, qint64>>> rowCounts(const QString& file, bool integrity) {
  using R = Result<QList<QPair<QString, qint64>>>;
  QList<QPair<QString, qint64>> counts;
  QString error;
  {
    Result<QSqlDatabase> db = store::openFile(kCheckConnection, file);
    if (!db) return R::failure(db.error());
    if (integrity) {
      const Result<QVariant> check =
          store::scalar(QStringLiteral("PRAGMA integrity_check"), {}, db.value());
      const QString text = check ? check->toString() : check.error();
      if (text != QStringLiteral("ok"))
        error = QStringLiteral("%1 bozuk (%2)").arg(QFileInfo(file).fileName(), text);
    }
    if (error.isEmpty()) {
      const Result<QStringList> tables =
          store::column(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name "
                                       "NOT LIKE 'sqlite_%' ORDER BY name"),
                        {}, db.value());
      if (!tables) error = tables.error();
      for (const QString& t : tables.valueOr({})) {
        const Result<QVariant> n =
            store::scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(t), {}, db.value());
        if (!n || !n->isValid()) {
          error = QStringLiteral("%1 içindeki %2 okunamadı").arg(QFileInfo(file).fileName(), t);
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

// Builds the new main database at `target` from the checked backup copy.
Status buildNewMain(const QString& target, const QString& backupMain, const QString& label) {
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
      for (const QString& table : Rollover::carriedTables()) {
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
        result = run(QStringLiteral(
            "INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI) SELECT DISTINCT "
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
        Result<delivery::RunSetupChoices> choices = delivery::RunSetupChoices::load(db);
        if (!choices) {
          result = Status::failure(choices.error());
        } else {
          choices.value().resetForNewYear();
          result = choices.value().save(db);
        }
      }
      if (result) result = run(QStringLiteral("UPDATE TABLEOKUL SET SONSORUINDIRMEZAMANI=''"));
      if (result) result = run(QStringLiteral("UPDATE TABLEOKUL SET SINIFATLATMADONEM=?"), {label});
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
    if (result) result = run(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
  }
  store::closeFile(kNewConnection);
  if (!result) removeWithSidecars(target);
  return result;
}

}  // namespace

const QStringList& Rollover::carriedTables() {
  static const QStringList tables{QStringLiteral("TABLEAYAR"),
                                  QStringLiteral("TABLEESLESME"),
                                  QStringLiteral("TABLEKULLANICIBILGILERI"),
                                  QStringLiteral("TABLEKUMANDA"),
                                  QStringLiteral("TABLEOGRENCI"),
                                  QStringLiteral("TABLEOKUL"),
                                  QStringLiteral("TABLEPARAMETRE"),
                                  QStringLiteral("TABLESLISTESUTUNADI"),
                                  QStringLiteral("TABLESLISTESUTUNBILGILERI"),
                                  QStringLiteral("TABLESOZLESME")};
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
      QStringLiteral("- Öğrenciler bir üst sınıfa geçirilecek"),
      QStringLiteral("- Yeni sınıfa ait sorular internetten indirilecek"),
      QString(),
      QStringLiteral("Bu işlemi sonra yapmak isterseniz sol üstteki menüden Sınıf Atlatma seçeneği "
                     "ile yapabilirsiniz")}
      .join(QStringLiteral("\r\n"));
}

QString Rollover::confirmYearQuestion(const QString& label) {
  return QStringLiteral("İçinde bulunduğumuz eğitim öğretim yılının ") + label +
         QStringLiteral(" olduğunu doğruluyor musunuz?");
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
  Report result;
  auto ask = [&hooks](const QString& question) {
    return hooks.messages && hooks.messages->ask(question, QStringLiteral("Sınıf Atlatma"));
  };
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
  // 3.
  if (!ask(firstQuestion())) {
    result.outcome = Outcome::Declined;
    return result;
  }
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
  // 6.
  if (hooks.closeScreens) hooks.closeScreens();
  auto fail = [&](const QString& why, const QStringList& copies) {
    for (const QString& c : copies) QFile::remove(c);
    if (Result<store::CheckReport> reopened = store.open(); !reopened)
      store.log(QStringLiteral("Sınıf atlatma: veritabanı yeniden açılamadı: ") + reopened.error());
    result.outcome = Outcome::Failed;
    result.message = QStringLiteral(
                         "Sınıf atlatma yapılamadı: %1\nHiçbir veri değiştirilmedi, eski dosyalar "
                         "kullanılmaya devam ediyor.")
                         .arg(why);
    return result;
  };
  say(QStringLiteral("Veritabanı yedekleniyor..."));
  // Best effort: the checkpoint of each file below is the one that counts.
  (void)store.run(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
  store.close();
  // 7.
  result.backupStamp = backupStamp(QDateTime::currentDateTime());
  const QString backupFolder = store.subFolder(QStringLiteral("Yedek"));
  if (!QFileInfo(backupFolder).isDir())
    return fail(QStringLiteral("Yedek klasörü oluşturulamadı."), {});
  // 8. Copy, then check each copy against its original.
  const QStringList files = databaseFiles(store);
  QStringList copies;
  QString backupMain;
  for (const QString& file : files) {
    if (Status s = checkpoint(file); !s)
      return fail(QFileInfo(file).fileName() + QStringLiteral(": ") + s.error(), copies);
    const QString copy = backupFolder + QLatin1Char('/') + result.backupStamp + QLatin1Char('-') +
                         QFileInfo(file).fileName();
    if (QFile::exists(copy)) return fail(QStringLiteral("%1 zaten var.").arg(copy), copies);
    if (!QFile::copy(file, copy))
      return fail(QStringLiteral("%1 kopyalanamadı.").arg(QFileInfo(file).fileName()), copies);
    copies << copy;
    if (file == store.mainFile()) backupMain = copy;
    const auto original = rowCounts(file, false);
    const auto copied = rowCounts(copy, true);
    if (!original) return fail(original.error(), copies);
    if (!copied) return fail(copied.error(), copies);
    if (original.value() != copied.value())
      return fail(QStringLiteral("%1 yedeği aslıyla aynı değil.").arg(QFileInfo(file).fileName()),
                  copies);
  }
  if (backupMain.isEmpty()) return fail(QStringLiteral("Ana veritabanı bulunamadı."), copies);
  // 9-16. The new main database, built beside the old one.
  say(QStringLiteral("Yeni eğitim öğretim yılı hazırlanıyor..."));
  const QString mainFile = store.mainFile();
  const QString staged = store.path(QStringLiteral("DERSLIK.yeni.db"));
  if (Status s = buildNewMain(staged, backupMain, result.label); !s) return fail(s.error(), copies);
  const QString retired = store.path(QStringLiteral("DERSLIK.eski.db"));
  removeWithSidecars(retired);
  if (!QFile::rename(mainFile, retired)) {
    removeWithSidecars(staged);
    return fail(QStringLiteral("Ana veritabanı değiştirilemedi."), copies);
  }
  if (!QFile::rename(staged, mainFile)) {
    QFile::rename(retired, mainFile);
    removeWithSidecars(staged);
    return fail(QStringLiteral("Yeni veritabanı yerine konamadı."), copies);
  }
  removeWithSidecars(retired);
  QFile::remove(mainFile + QStringLiteral("-wal"));
  QFile::remove(mainFile + QStringLiteral("-shm"));
  // The content stores start empty; their contents live on in Yedek.
  for (const QString& file : files)
    if (file != mainFile) removeWithSidecars(file);
  Result<store::CheckReport> reopened = store.open();
  if (!reopened) {
    result.outcome = Outcome::Failed;
    result.message = reopened.error();
    return result;
  }
  result.outcome = Outcome::Done;
  result.message = doneMessage();
  return result;
}

}  // namespace school
