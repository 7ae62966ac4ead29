#include "exchange/PackageQuestions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <unistd.h>

#include "authoring/QuestionKeys.h"
#include "authoring/QuestionRules.h"
#include "curriculum/OfferedValues.h"
#include "exchange/PackageDatabase.h"
#include "store/ContentStores.h"
#include "store/Dialect.h"
#include "store/Numbers.h"
#include "store/ServerConnection.h"
#include "store/Sql.h"
#include "store/SqlErrors.h"
#include "store/Store.h"

namespace exchange {

namespace {

using authoring::QuestionMedia;

// The TABLESORU columns a package carries into the bank. SESDOSYASI and
// COZUMVIDEO name files of the writing installation: they are set from the
// files that arrive. SILINDIMI is not carried (a question arrives live).
QStringList rowColumns() {
  static const QStringList columns = carriedColumns(
      QStringLiteral("TABLESORU"), {QStringLiteral("SORUNO"), QStringLiteral("SESDOSYASI"),
                                    QStringLiteral("COZUMVIDEO"), QStringLiteral("SILINDIMI")});
  return columns;
}

const QString kAll = QStringLiteral("TÜMÜ");

bool defines(const QString& part) { return !part.trimmed().isEmpty() && part != kAll; }

QString baseName(const QString& member) {
  QString n = member;
  n.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return n.mid(n.lastIndexOf(QLatin1Char('/')) + 1);
}

}  // namespace

// --- writing ---

Status PackageQuestions::writeTable(PackageWriter& package, const QStringList& keys) {
  Result<QString> pictures = package.store().contents().unionSql(store::StoreKind::Question);
  if (!pictures) return Status::failure(pictures.error());
  const store::InList in = store::inList(keys);
  // A question without pictures travels too (LEFT JOIN).
  return package.copy(QStringLiteral("TABLESORU"),
                      QStringLiteral("SELECT Q.*,AA.SORU AS SORU,AA.COZUM AS COZUM,Q.SORUNO AS "
                                     "DISTABLOSORUNO FROM TABLESORU Q LEFT JOIN %1 AA ON "
                                     "AA.SORUNO=Q.SORUNO WHERE Q.SORUNO IN (%2) ORDER BY "
                                     "VAL(Q.SORUNO)")
                          .arg(pictures.value(), in.placeholders),
                      in.values);
}

Result<QList<formats::ZipMember>> PackageQuestions::mediaMembers(const store::Store& store,
                                                                 const QStringList& keys) {
  using R = Result<QList<formats::ZipMember>>;
  const QuestionMedia media(store);
  const store::FolderFiles folderFiles(store);
  QList<formats::ZipMember> out;
  WorkFolder work(store);
  if (!work.isValid()) return R::failure(QStringLiteral("Geçici klasör oluşturulamadı."));
  for (const auto& [kind, name] : {std::pair{QuestionMedia::Kind::Sound, kSounds},
                                   std::pair{QuestionMedia::Kind::Video, kVideos}}) {
    QList<formats::ZipMember> files;
    for (const QString& key : keys)
      for (const QString& stored : media.stored(key, kind)) {
        const QString name = QFileInfo(stored).fileName();
        const Result<QByteArray> content = folderFiles.read(stored);
        if (!content) return R::failure(QStringLiteral("%1 okunamadı.").arg(name));
        files.append({name, content.value()});
      }
    if (files.isEmpty()) continue;
    const QString inner = work.filePath(name);
    if (Status s = formats::ZipArchive::write(inner, files); !s) return R::failure(s.error());
    QFile f(inner);
    if (!f.open(QIODevice::ReadOnly)) return R::failure(QStringLiteral("%1 okunamadı.").arg(name));
    out.append({name, f.readAll()});
  }
  return out;
}

bool PackageQuestions::isMediaArchive(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^(sslr|vdlr)\\.(zip|rar)$"),
                                          QRegularExpression::CaseInsensitiveOption);
  return pattern.match(baseName(name)).hasMatch();
}

// --- reading ---

Status PackageQuestions::load(PackageDatabase& package) {
  Result<PackageTable> table = PackageTable::open(
      package, QStringLiteral("TABLESORU"),
      {QStringLiteral("SORUNO"), QStringLiteral("SEVIYE"), QStringLiteral("DERS")});
  if (!table) return Status::failure(table.error());
  m_currentLayout = table->has(QStringLiteral("UNITE"));
  if (!m_currentLayout && !table->has(QStringLiteral("KONU")))
    return Status::failure(QStringLiteral("Dosyadaki TABLESORU tablosunda UNITE sütunu yok."));
  m_hasPictures = table->has(QStringLiteral("SORU")) || table->has(QStringLiteral("COZUM"));
  Result<QList<PackageRecord>> records =
      table->read(QStringLiteral("SORUNO"), rowColumns(), kMaxQuestions);
  if (!records) return Status::failure(records.error());
  QSet<QString> seen;
  for (const PackageRecord& r : records.value()) {
    if (seen.contains(r.key))
      return Status::failure(QStringLiteral("Dosyada %1 numaralı soru iki kez var.").arg(r.key));
    seen.insert(r.key);
    // The rules of the question screen: a file from elsewhere adds no question
    // that the screen would refuse.
    authoring::Question q;
    q.dogruSik = r.value(QStringLiteral("DOGRUSIK"));
    q.turu = r.value(QStringLiteral("TURU"));
    q.zorluk = r.value(QStringLiteral("ZORLUK"));
    q.puan = r.value(QStringLiteral("PUAN"));
    q.sure = r.value(QStringLiteral("SURE"));
    q.anket = r.value(QStringLiteral("ANKETSORUSUMU"))
                  .compare(authoring::texts::kTrue, Qt::CaseInsensitive) == 0;
    if (Status s = authoring::checkQuestion(q); !s)
      return Status::failure(
          QStringLiteral("Dosyadaki %1 numaralı soru: %2").arg(r.key, s.error()));
  }
  m_records = std::move(records.value());
  return {};
}

QString PackageQuestions::numberingText(int index, int count) {
  return QStringLiteral("Sorular Numaralandırılıyor : %1/%2").arg(index).arg(count);
}

bool PackageQuestions::isDistributed(const QString& packageKey) const {
  return m_keepDistributed && authoring::keys::isDistributed(packageKey);
}

Status PackageQuestions::assignKeys(bool keepDistributed) {
  m_keepDistributed = keepDistributed;
  const Result<qint64> next = authoring::keys::nextQuestionNumber(m_store);
  if (!next) return Status::failure(next.error());
  if (Status s = store::checkNumbers(next.value(), m_records.size()); !s) return s;
  qint64 number = next.value();
  qint64 free = 0;
  if (m_keepFree) {
    const Result<QString> first = authoring::keys::nextFreeQuestionKey(m_store);
    if (!first) return Status::failure(first.error());
    free = first->mid(1).toLongLong();
  }
  m_keys.clear();
  for (const PackageRecord& r : m_records) {
    if (isDistributed(r.key))
      m_keys.insert(r.key, r.key);
    else if (m_keepFree && authoring::keys::isFreeQuestionKey(r.key))
      m_keys.insert(r.key, QStringLiteral("S%1").arg(free++));
    else
      m_keys.insert(r.key, QString::number(number++));
  }
  return {};
}

Status PackageQuestions::stageArchive(const QString& archive, QuestionMedia::Kind kind) {
  static const QRegularExpression safeSuffix(QStringLiteral("^(\\.[A-Za-z0-9]{1,8})?$"));
  formats::ArchiveReader reader(archive, PackageFile::limits());
  QSet<QString> done;
  while (reader.next()) {
    const QString name = baseName(reader.name());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString key = dot < 0 ? name : name.left(dot);
    const QString suffix = dot < 0 ? QString() : name.mid(dot);
    // A question has one file of each kind; a second one, or one of a question
    // the package does not hold, is left in the archive.
    if (!m_keys.contains(key) || done.contains(key) || !safeSuffix.match(suffix).hasMatch())
      continue;
    const QuestionMedia::Staged staged{
        kind, m_stageFolder->filePath(QString::number(m_staged.size())), suffix.toLower()};
    {
      QFile out(staged.temp);
      if (!out.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("Geçici dosya yazılamadı."));
      m_staged.append({staged, m_keys.value(key)});
      if (Status s = reader.copyTo(out); !s) return s;
      // On the disk before the commit that names it.
      if (!out.flush() || ::fsync(out.handle()) != 0)
        return Status::failure(QStringLiteral("Geçici dosya yazılamadı."));
    }
    done.insert(key);
  }
  if (!reader.error().isEmpty()) return Status::failure(reader.error());
  return {};
}

Status PackageQuestions::openStageFolder() {
  if (m_stageFolder) return {};
  // Beside the media folders, on the same disk, so finish() only renames; a
  // reading killed half way leaves its files in this folder and nowhere else.
  m_stageFolder = std::make_unique<WorkFolder>(m_store);
  if (!m_stageFolder->isValid())
    return Status::failure(QStringLiteral("Geçici klasör oluşturulamadı."));
  return {};
}

Status PackageQuestions::recordMoves() {
  if (Status s = openStageFolder(); !s) return s;
  StagingManifest moves;
  moves.marker = QUuid::createUuid().toString(QUuid::WithoutBraces);
  moves.keys = m_keys.values();
  for (const Staged& s : m_staged)
    moves.files.append({s.file.kind, s.key, QFileInfo(s.file.temp).fileName(), s.file.suffix});
  if (Status s = moves.write(m_stageFolder->path()); !s) return s;
  if (Status s = moves.addMarker(m_store); !s) return s;
  // On a server the files are rows of this transaction, written now; on a data
  // folder the list just written moves them after the commit (finish(), or the
  // repair after a kill), so this change is never settled.
  store::FolderChange change(m_store);
  if (Status s = moves.record(m_store, change, m_stageFolder->path()); !s) return s;
  m_moves = std::move(moves);
  return {};
}

Status PackageQuestions::stageMedia(const PackageFile::Unpacked& unpacked) {
  if (Status s = openStageFolder(); !s) return s;
  for (auto it = unpacked.members.cbegin(); it != unpacked.members.cend(); ++it) {
    if (!isMediaArchive(it.key())) continue;
    const auto kind = baseName(it.key()).startsWith(QStringLiteral("sslr"), Qt::CaseInsensitive)
                          ? QuestionMedia::Kind::Sound
                          : QuestionMedia::Kind::Video;
    if (Status s = stageArchive(it.value(), kind); !s) return s;
  }
  return {};
}

Status PackageQuestions::write(PackageDatabase& package, qint64 packageBytes) {
  store::ContentStores& contents = m_store.contents();
  // Distributed questions replace their older copies.
  for (const PackageRecord& r : m_records) {
    if (!isDistributed(r.key)) continue;
    if (Status s = m_store.run(QStringLiteral("DELETE FROM TABLESORU WHERE SORUNO=?"), {r.key}); !s)
      return s;
    if (Status s = contents.remove(store::StoreKind::Question, r.key); !s) return s;
  }
  QHash<QString, QString> soundOf, videoOf;
  for (const Staged& s : m_staged)
    (s.file.kind == QuestionMedia::Kind::Sound ? soundOf : videoOf)
        .insert(s.key, QuestionMedia::storedPath(s.key, s.file.kind, s.file.suffix));

  QStringList columns = rowColumns();
  columns << QStringLiteral("SESDOSYASI") << QStringLiteral("COZUMVIDEO")
          << QStringLiteral("SORUNO");
  QSqlQuery insert(m_store.db());
  if (!insert.prepare(store::dialectOf(m_store.db())
                          .prepare(QStringLiteral("INSERT INTO TABLESORU (%1) VALUES (%2)")
                                       .arg(columns.join(QLatin1Char(',')),
                                            QStringList(columns.size(), QStringLiteral("?"))
                                                .join(QLatin1Char(','))))))
    return Status::failure(store::queryErrorText(insert));
  QList<CurriculumPlace> places;
  int done = 0;
  for (const PackageRecord& r : m_records) {
    if (++done % 10 == 0 && m_progress) m_progress(numberingText(done, count()));
    const QString key = m_keys.value(r.key);
    const CurriculumPlace place = placeOf(r, m_currentLayout);
    places << place;
    int i = 0;
    for (const QString& c : rowColumns()) {
      QString value = r.value(c);
      if (c == QStringLiteral("UNITE")) value = place.unit;
      if (c == QStringLiteral("KONU")) value = place.topic;
      if (c == QStringLiteral("KAZANIM")) value = place.outcome;
      insert.bindValue(i++, value);
    }
    insert.bindValue(i++, soundOf.value(key));
    insert.bindValue(i++, videoOf.value(key));
    insert.bindValue(i++, key);
    if (!insert.exec()) return Status::failure(store::queryErrorText(insert));
  }
  if (Status s = writePictures(package, packageBytes); !s) return s;
  if (Status s = addDefinitions(m_store, places); !s) return s;
  if (Status s = offerLevelsAndCourses(m_store, places); !s) return s;
  if (Status s = recordMoves(); !s) return s;
  m_store.changed(store::Change::Questions);
  return {};
}

Status PackageQuestions::writePictures(PackageDatabase& package, qint64 packageBytes) {
  if (!m_hasPictures || m_records.isEmpty()) return {};
  store::ContentStores& contents = m_store.contents();
  // The package's pictures would not fit beside the newest store's: begin the next.
  const int newest = contents.last(store::StoreKind::Question);
  if (packageBytes + QFileInfo(contents.path(store::StoreKind::Question, newest)).size() >
      contents.sizeLimit())
    if (Result<int> created = contents.create(store::StoreKind::Question); !created)
      return Status::failure(created.error());
  return forEachPicturePair(
      package, QStringLiteral("TABLESORU"), QStringLiteral("SORUNO"), QStringLiteral("SORU"),
      QStringLiteral("COZUM"),
      [&](const QString& packageKey, const QByteArray& soru, const QByteArray& cozum) -> Status {
        const QString key = m_keys.value(packageKey);
        if (key.isEmpty()) return {};
        return contents.write(store::StoreKind::Question, key, soru, cozum);
      });
}

Status forEachPicturePair(
    PackageDatabase& package, const QString& table, const QString& keyColumn, const QString& first,
    const QString& second,
    const std::function<Status(const QString& key, const QByteArray&, const QByteArray&)>& visit) {
  Result<QStringList> columns = package.tableColumns(table);
  if (!columns) return Status::failure(columns.error());
  const auto column = [&columns](const QString& name) {
    return columns->contains(name) ? name : QStringLiteral("NULL");
  };
  return package.forEachRow(
      QStringLiteral("SELECT %1,%2,%3 FROM %4")
          .arg(keyColumn, column(first), column(second), table),
      [&](const QVariantList& row) -> Status {
        const QString key = row.value(0).toString().trimmed();
        const QVariant& a = row.value(1);
        const QVariant& b = row.value(2);
        for (const QVariant* v : {&a, &b})
          if (!v->isNull() && v->typeId() != QMetaType::QByteArray)
            return Status::failure(
                QStringLiteral("Dosyadaki %1 tablosunda %2 numaralı kaydın resmi bozuk.")
                    .arg(table, key));
        if (a.isNull() && b.isNull()) return {};
        return visit(key, a.toByteArray(), b.toByteArray());
      });
}

void PackageQuestions::finish() {
  // The same moves a repair makes after a kill.
  if (m_moves && m_stageFolder) m_moves->complete(m_store, m_stageFolder->path());
  m_moves.reset();
  m_staged.clear();
  m_stageFolder.reset();
}

void PackageQuestions::discard() {
  // The staged files go with the work folder; the marker went with the rollback.
  m_moves.reset();
  m_staged.clear();
  m_stageFolder.reset();
}

Status keysExist(store::Store& store, const QString& table, const QString& column,
                 const QStringList& keys) {
  const store::InList in = store::inList(keys);
  Result<QStringList> found =
      store.column(QStringLiteral("SELECT DISTINCT %2 FROM %1 WHERE %2 IN (%3)")
                       .arg(table, column, in.placeholders),
                   in.values);
  if (!found) return Status::failure(found.error());
  for (const QString& key : keys)
    if (!found->contains(key))
      return Status::failure(QStringLiteral("%1 numaralı kayıt bulunamadı.").arg(key));
  return {};
}

// --- curriculum ---

CurriculumPlace placeOf(const PackageRecord& record, bool currentLayout) {
  CurriculumPlace p{
      record.value(QStringLiteral("SEVIYE")), record.value(QStringLiteral("DERS")), {}, {}, {}};
  if (currentLayout) {
    p.unit = record.value(QStringLiteral("UNITE"));
    p.topic = record.value(QStringLiteral("KONU"));
    p.outcome = record.value(QStringLiteral("KAZANIM"));
  } else {
    p.unit = record.value(QStringLiteral("KONU"));
  }
  return p;
}

Status addDefinitions(store::Store& store, const QList<CurriculumPlace>& places) {
  QSet<QString> done;
  const auto add = [&](const QString& name, const QStringList& values) -> Status {
    static const QStringList kColumns = {QStringLiteral("SEVIYE"), QStringLiteral("DERS"),
                                         QStringLiteral("UNITE"), QStringLiteral("KONU"),
                                         QStringLiteral("KAZANIM")};
    const QString id = name + QChar(0x1f) + values.join(QChar(0x1f));
    if (done.contains(id)) return {};
    done.insert(id);
    const QStringList used = kColumns.mid(0, values.size());
    QStringList conditions;
    for (const QString& c : used) conditions << QStringLiteral("NZ(%1)=?").arg(c);
    QVariantList params{name};
    for (const QString& v : values) params << v;
    params << name;
    for (const QString& v : values) params << v;
    return store.run(
        QStringLiteral("INSERT INTO TABLETANIMLAMALAR (TANIMADI,%1) SELECT ?,%2 "
                       "WHERE NOT EXISTS (SELECT 1 FROM TABLETANIMLAMALAR WHERE "
                       "TANIMADI=? AND %3)")
            .arg(used.join(QLatin1Char(',')),
                 QStringList(values.size(), QStringLiteral("?")).join(QLatin1Char(',')),
                 conditions.join(QStringLiteral(" AND "))),
        params);
  };
  bool any = false;
  for (const CurriculumPlace& p : places) {
    if (!defines(p.unit)) continue;
    any = true;
    if (Status s = add(QStringLiteral("UNITELER"), {p.level, p.course, p.unit}); !s) return s;
    if (!defines(p.topic)) continue;
    if (Status s = add(QStringLiteral("KONULAR"), {p.level, p.course, p.unit, p.topic}); !s)
      return s;
    if (!defines(p.outcome)) continue;
    if (Status s =
            add(QStringLiteral("KAZANIMLAR"), {p.level, p.course, p.unit, p.topic, p.outcome});
        !s)
      return s;
  }
  if (any) store.changed(store::Change::Lists);
  return {};
}

Status offerLevelsAndCourses(store::Store& store, const QList<CurriculumPlace>& places) {
  QSet<QString> levels, courses;
  for (const CurriculumPlace& p : places) {
    if (!p.level.isEmpty()) levels.insert(p.level);
    if (!p.course.isEmpty()) courses.insert(p.course);
  }
  if (!levels.isEmpty())
    if (Status s = curriculum::OfferedValues(store, curriculum::OfferedValues::Kind::Level)
                       .offer(QStringList(levels.begin(), levels.end()));
        !s)
      return s;
  if (!courses.isEmpty())
    if (Status s = curriculum::OfferedValues(store, curriculum::OfferedValues::Kind::Course)
                       .offer(QStringList(courses.begin(), courses.end()));
        !s)
      return s;
  return {};
}

}  // namespace exchange
