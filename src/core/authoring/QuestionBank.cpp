#include "authoring/QuestionBank.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QSqlQuery>

#include "authoring/QuestionKeys.h"
#include "authoring/QuestionMedia.h"
#include "authoring/QuestionRules.h"
#include "authoring/TestQuestions.h"
#include "curriculum/CurriculumFilter.h"
#include "exchange/PackageQuestions.h"
#include "store/ContentStores.h"
#include "store/Store.h"

namespace authoring {

namespace {

constexpr qsizetype kChunk = 500;

const QString kRowColumns = QStringLiteral(
    "SORUNO,NZ(SEVIYE),NZ(DERS),NZ(UNITE),NZ(KONU),NZ(KAZANIM),NZ(SORUICERIK),NZ(DOGRUSIK),"
    "NZ(TURU),NZ(ZORLUK),NZ(PUAN),NZ(SURE),NZ(SESDOSYASI),NZ(ACIKLAMA),NZ(ANKETSORUSUMU),"
    "NZ(COZUMVIDEO),NZ(SILINDIMI)");

Question rowToQuestion(const QSqlQuery& r) {
  Question q;
  q.soruNo = r.value(0).toString();
  q.seviye = r.value(1).toString();
  q.ders = r.value(2).toString();
  q.unite = r.value(3).toString();
  q.konu = r.value(4).toString();
  q.kazanim = r.value(5).toString();
  q.soruIcerik = r.value(6).toString();
  q.dogruSik = r.value(7).toString();
  q.turu = r.value(8).toString();
  q.zorluk = r.value(9).toString();
  q.puan = r.value(10).toString();
  q.sure = r.value(11).toString();
  q.sesDosyasi = r.value(12).toString();
  q.aciklama = r.value(13).toString();
  q.anket = r.value(14).toString().compare(texts::kTrue, Qt::CaseInsensitive) == 0;
  q.cozumVideo = r.value(15).toString();
  q.silindimi = r.value(16).toString();
  return q;
}

// Only the header (and the picture's size in it) is read: a 2 MB photo is not
// decoded to be saved.
Status checkPicture(const QByteArray& bytes, const QString& what) {
  if (bytes.isEmpty()) return {};
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  if (!reader.canRead() || !reader.size().isValid())
    return Status::failure(QStringLiteral("%1 bir resim değil ya da okunamadı.").arg(what));
  return {};
}

Status checkPictures(const QuestionPictures& p) {
  if (Status s = checkPicture(p.question, QStringLiteral("Soru resmi")); !s) return s;
  return checkPicture(p.solution, QStringLiteral("Çözüm resmi"));
}

}  // namespace

Question normalized(Question q) {
  if (q.anket) {
    q.ders.clear();
    q.konu.clear();
    q.kazanim.clear();
    q.dogruSik.clear();
    q.turu.clear();
    q.zorluk.clear();
    q.puan.clear();
  }
  if (q.sure.isEmpty()) q.sure = texts::kSuresiz;
  return q;
}

// Files chosen for a save, copied in before the transaction.
struct QuestionBank::Staging {
  std::optional<QuestionMedia::Staged> sound;
  std::optional<QuestionMedia::Staged> video;
  bool removeSound = false;
  bool removeVideo = false;

  void discard(const QuestionMedia& media) const {
    if (sound) media.discard(*sound);
    if (video) media.discard(*video);
  }
  // The stored values the row gets.
  QString storedSound(const QString& key, const QString& current) const {
    if (sound) return QuestionMedia::storedPath(key, QuestionMedia::Kind::Sound, sound->suffix);
    return removeSound ? QString() : current;
  }
  QString storedVideo(const QString& key, const QString& current) const {
    if (video) return QuestionMedia::storedPath(key, QuestionMedia::Kind::Video, video->suffix);
    return removeVideo ? QString() : current;
  }
  // Inside the transaction: the copies take their places, removed files go
  // (on a data folder when the change settles after the commit).
  Status record(const QuestionMedia& media, store::FolderChange& change, const QString& key) const {
    if (sound) {
      if (Status s = media.place(change, *sound, key); !s) return s;
    } else if (removeSound) {
      if (Status s = media.remove(change, key, QuestionMedia::Kind::Sound); !s) return s;
    }
    if (video) return media.place(change, *video, key);
    if (removeVideo) return media.remove(change, key, QuestionMedia::Kind::Video);
    return {};
  }
};

Result<QuestionBank::Staging> QuestionBank::stageMedia(const Question& current,
                                                       const MediaChange& media) {
  const QuestionMedia files(m_store);
  Staging staging;
  auto one = [&](const std::optional<QString>& change, const QString& currentStored,
                 QuestionMedia::Kind kind, std::optional<QuestionMedia::Staged>& staged,
                 bool& remove) -> Status {
    if (!change) return {};
    const QString path = change->trimmed();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
      remove = !currentStored.isEmpty() || !files.stored(current.soruNo, kind).isEmpty();
      return {};
    }
    const QString existing = files.absolute(currentStored);
    if (!existing.isEmpty() && QFileInfo(existing) == QFileInfo(path)) return {};
    Result<QuestionMedia::Staged> s = files.stage(path, kind);
    if (!s) return Status::failure(s.error());
    staged = s.value();
    return {};
  };
  if (Status s = one(media.sound, current.sesDosyasi, QuestionMedia::Kind::Sound, staging.sound,
                     staging.removeSound);
      !s)
    return Result<Staging>::failure(s.error());
  if (Status s = one(media.video, current.cozumVideo, QuestionMedia::Kind::Video, staging.video,
                     staging.removeVideo);
      !s) {
    staging.discard(files);
    return Result<Staging>::failure(s.error());
  }
  return staging;
}

// A unit, topic or outcome typed for a question of a level and course is offered
// in the lists from then on, as if it had been defined first.
Status QuestionBank::definePlace(const Question& q) {
  using curriculum::CurriculumFilter;
  if (q.anket || CurriculumFilter::isAll(q.seviye) || CurriculumFilter::isAll(q.ders) ||
      CurriculumFilter::isAll(q.unite))
    return {};
  QString name = QStringLiteral("UNITELER");
  QString sql = QStringLiteral("SEVIYE=? AND DERS=? AND UNITE=?");
  QVariantList params{q.seviye, q.ders, q.unite};
  if (!CurriculumFilter::isAll(q.konu)) {
    name = QStringLiteral("KONULAR");
    sql += QStringLiteral(" AND KONU=?");
    params << q.konu;
    if (!CurriculumFilter::isAll(q.kazanim)) {
      name = QStringLiteral("KAZANIMLAR");
      sql += QStringLiteral(" AND KAZANIM=?");
      params << q.kazanim;
    }
  }
  const Result<QVariant> known = m_store.scalar(
      QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLETANIMLAMALAR WHERE TANIMADI=? AND %1)")
          .arg(sql),
      QVariantList{name} + params);
  if (!known) return Status::failure(known.error());
  if (known->toInt() == 1) return {};
  return exchange::addDefinitions(m_store, {{q.seviye, q.ders, q.unite, q.konu, q.kazanim}});
}

Status QuestionBank::writeRow(const Question& q, bool isNew) {
  if (Status s = definePlace(q); !s) return s;
  QVariantList values;
  for (const QString& v : {q.seviye, q.ders, q.unite, q.konu, q.kazanim, q.soruIcerik, q.dogruSik,
                           q.turu, q.zorluk, q.puan, q.sure, q.sesDosyasi, q.aciklama,
                           q.anket ? texts::kTrue : texts::kFalse, q.cozumVideo})
    values << stored(v);
  if (isNew)
    return m_store.run(
        QStringLiteral("INSERT INTO TABLESORU (SEVIYE,DERS,UNITE,KONU,KAZANIM,SORUICERIK,DOGRUSIK,"
                       "TURU,ZORLUK,PUAN,SURE,SESDOSYASI,ACIKLAMA,ANKETSORUSUMU,COZUMVIDEO,SORUNO,"
                       "SILINDIMI) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
        values + QVariantList{q.soruNo, stored(q.silindimi)});
  return m_store.run(
      QStringLiteral("UPDATE TABLESORU SET SEVIYE=?,DERS=?,UNITE=?,KONU=?,KAZANIM=?,SORUICERIK=?,"
                     "DOGRUSIK=?,TURU=?,ZORLUK=?,PUAN=?,SURE=?,SESDOSYASI=?,ACIKLAMA=?,"
                     "ANKETSORUSUMU=?,COZUMVIDEO=? WHERE SORUNO=?"),
      values + QVariantList{q.soruNo});
}

Result<Question> QuestionBank::load(const QString& key) const {
  Result<QSqlQuery> q =
      m_store.exec(QStringLiteral("SELECT %1 FROM TABLESORU WHERE SORUNO=? ORDER BY ID LIMIT 1")
                       .arg(kRowColumns),
                   {key});
  if (!q) return Result<Question>::failure(q.error());
  if (!q.value().next()) return Result<Question>::failure(notFoundMessage());
  return rowToQuestion(q.value());
}

Result<bool> QuestionBank::isLive(const QString& key) const {
  const Result<QVariant> n =
      m_store.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLESORU WHERE SORUNO=? AND "
                                    "NZ(SILINDIMI)<>'1')"),
                     {key});
  if (!n) return Result<bool>::failure(n.error());
  return n->toInt() == 1;
}

Result<QuestionPictures> QuestionBank::pictures(const QString& key) const {
  Result<store::StoreContent> c = m_store.contents().read(store::StoreKind::Question, key);
  if (!c) return Result<QuestionPictures>::failure(c.error());
  return QuestionPictures{c->first, c->second};
}

Result<QString> QuestionBank::add(Question question, const QuestionPictures& pictures,
                                  const MediaChange& media, KeyKind kind) {
  Question q = normalized(std::move(question));
  // A free question is asked before anybody knows its answer: the report screen
  // or the class's majority gives it one later. A bank question never goes
  // without it.
  if (Status s = checkQuestion(q, kind == KeyKind::Free); !s)
    return Result<QString>::failure(s.error());
  if (Status s = checkPictures(pictures); !s) return Result<QString>::failure(s.error());
  q.soruNo.clear();
  Result<Staging> staging = stageMedia(q, media);
  if (!staging) return Result<QString>::failure(staging.error());
  const QuestionMedia files(m_store);
  store::FolderChange change(m_store);
  auto fail = [&](const QString& error) {
    staging->discard(files);
    return Result<QString>::failure(error);
  };
  {
    store::Transaction tx(m_store);
    if (kind == KeyKind::Free) {
      const Result<QString> key = keys::nextFreeQuestionKey(m_store);
      if (!key) return fail(key.error());
      q.soruNo = key.value();
      q.silindimi = QStringLiteral("1");
    } else {
      const Result<qint64> next = keys::nextQuestionNumber(m_store);
      if (!next) return fail(next.error());
      q.soruNo = QString::number(next.value());
      q.silindimi.clear();
    }
    q.sesDosyasi = staging->storedSound(q.soruNo, {});
    q.cozumVideo = staging->storedVideo(q.soruNo, {});
    if (Status s = writeRow(q, true); !s) return fail(s.error());
    if (Status s = m_store.contents().write(store::StoreKind::Question, q.soruNo, pictures.question,
                                            pictures.solution);
        !s)
      return fail(s.error());
    if (Status s = staging->record(files, change, q.soruNo); !s) return fail(s.error());
    m_store.changed(store::Change::Questions);
    if (Status s = tx.commit(); !s) return fail(s.error());
  }
  if (Status s = change.settle(); !s)
    return Result<QString>::failure(
        QStringLiteral("Soru %1 numarasıyla kaydedildi, ancak: %2").arg(q.soruNo, s.error()));
  return q.soruNo;
}

Status QuestionBank::update(Question question, const std::optional<QuestionPictures>& pictures,
                            const MediaChange& media) {
  Question q = normalized(std::move(question));
  if (Status s = checkQuestion(q); !s) return s;
  if (pictures) {
    if (Status s = checkPictures(*pictures); !s) return s;
  }
  const Result<Question> current = load(q.soruNo);
  if (!current) return Status::failure(current.error());
  Result<Staging> staging = stageMedia(current.value(), media);
  if (!staging) return Status::failure(staging.error());
  const QuestionMedia files(m_store);
  store::FolderChange change(m_store);
  auto fail = [&](const QString& error) {
    staging->discard(files);
    return Status::failure(error);
  };
  {
    store::Transaction tx(m_store);
    q.sesDosyasi = staging->storedSound(q.soruNo, current->sesDosyasi);
    q.cozumVideo = staging->storedVideo(q.soruNo, current->cozumVideo);
    if (Status s = writeRow(q, false); !s) return fail(s.error());
    if (pictures) {
      if (Status s = m_store.contents().write(store::StoreKind::Question, q.soruNo,
                                              pictures->question, pictures->solution);
          !s)
        return fail(s.error());
    }
    if (Status s = staging->record(files, change, q.soruNo); !s) return fail(s.error());
    m_store.changed(store::Change::Questions | store::Change::Tests);
    if (Status s = tx.commit(); !s) return fail(s.error());
  }
  return change.settle();
}

Result<QString> QuestionBank::duplicate(const QString& key) {
  store::Transaction tx(m_store);
  const Result<Question> original = load(key);
  if (!original) return Result<QString>::failure(original.error());
  const Result<qint64> next = keys::nextQuestionNumber(m_store);
  if (!next) return Result<QString>::failure(next.error());
  const QString copy = QString::number(next.value());
  if (Status s = m_store.run(
          QStringLiteral(
              "INSERT INTO TABLESORU (SORUNO,SEVIYE,DERS,UNITE,SORUICERIK,DOGRUSIK,TURU,ZORLUK,"
              "PUAN,SURE,ACIKLAMA,ANKETSORUSUMU,KONU,KAZANIM,COZUMVIDEO,SESDOSYASI,SILINDIMI) "
              "SELECT ?,SEVIYE,DERS,UNITE,SORUICERIK,DOGRUSIK,TURU,ZORLUK,PUAN,SURE,ACIKLAMA,"
              "ANKETSORUSUMU,KONU,KAZANIM,'','','' FROM TABLESORU WHERE SORUNO=? ORDER BY ID "
              "LIMIT 1"),
          {copy, key});
      !s)
    return Result<QString>::failure(s.error());
  if (Status s = m_store.contents().copy(store::StoreKind::Question, key, copy); !s)
    return Result<QString>::failure(s.error());
  m_store.changed(store::Change::Questions);
  if (Status s = tx.commit(); !s) return Result<QString>::failure(s.error());
  return copy;
}

Result<QuestionBank::Removal> QuestionBank::remove(const QStringList& requested,
                                                   const Progress& progress) {
  QStringList keyList = requested;
  keyList.removeDuplicates();
  keyList.removeAll(QString());
  Removal removal;
  if (keyList.isEmpty()) return removal;
  QStringList tests;
  const QuestionMedia files(m_store);
  store::FolderChange change(m_store);
  {
    store::Transaction tx(m_store);
    auto fail = [](const QString& e) { return Result<Removal>::failure(e); };
    for (qsizetype at = 0; at < keyList.size(); at += kChunk) {
      const store::InList in = store::inList(keyList.mid(at, kChunk));
      const Result<QStringList> used = m_store.column(
          QStringLiteral("SELECT DISTINCT SORUNO FROM TABLESORU WHERE SORUNO IN (%1) AND EXISTS "
                         "(SELECT 1 FROM TABLEUYGULAMA U WHERE U.SORUNO=TABLESORU.SORUNO)")
              .arg(in.placeholders),
          in.values);
      const Result<QStringList> unused = m_store.column(
          QStringLiteral("SELECT DISTINCT SORUNO FROM TABLESORU WHERE SORUNO IN (%1) AND NOT "
                         "EXISTS (SELECT 1 FROM TABLEUYGULAMA U WHERE U.SORUNO=TABLESORU.SORUNO)")
              .arg(in.placeholders),
          in.values);
      const Result<QStringList> inTests = m_store.column(
          QStringLiteral("SELECT DISTINCT TESTNO FROM TABLETESTSORU WHERE SORUNO IN (%1)")
              .arg(in.placeholders),
          in.values);
      if (!used) return fail(used.error());
      if (!unused) return fail(unused.error());
      if (!inTests) return fail(inTests.error());
      removal.marked << used.value();
      removal.deleted << unused.value();
      tests << inTests.value();
      for (const QString& sql :
           {QStringLiteral("DELETE FROM TABLESORU WHERE SORUNO IN (%1) AND NOT EXISTS (SELECT 1 "
                           "FROM TABLEUYGULAMA U WHERE U.SORUNO=TABLESORU.SORUNO)"),
            QStringLiteral("UPDATE TABLESORU SET SILINDIMI='1' WHERE SORUNO IN (%1) AND EXISTS "
                           "(SELECT 1 FROM TABLEUYGULAMA U WHERE U.SORUNO=TABLESORU.SORUNO)"),
            QStringLiteral("DELETE FROM TABLETESTSORU WHERE SORUNO IN (%1)")}) {
        if (Status s = m_store.run(sql.arg(in.placeholders), in.values); !s) return fail(s.error());
      }
    }
    const int total = int(removal.deleted.size());
    for (int i = 0; i < total; ++i) {
      if (Status s = m_store.contents().remove(store::StoreKind::Question, removal.deleted.at(i));
          !s)
        return fail(s.error());
      if (Status s = files.removeAll(change, removal.deleted.at(i)); !s) return fail(s.error());
      if (progress) progress(i + 1, total);
    }
    tests.removeDuplicates();
    for (const QString& test : tests)
      if (Status s = TestQuestions(m_store).compact(test); !s) return fail(s.error());
    m_store.changed(store::Change::Questions | store::Change::Tests);
    if (Status s = tx.commit(); !s) return fail(s.error());
  }
  (void)change.settle();
  return removal;
}

Status QuestionBank::setCorrectChoice(const QString& key, const QString& letter) {
  if (!isValidChoice(letter)) return Status::failure(invalidChoiceMessage(letter));
  store::Transaction tx(m_store);
  if (Status s = m_store.run(QStringLiteral("UPDATE TABLESORU SET DOGRUSIK=? WHERE SORUNO=?"),
                             {letter, key});
      !s)
    return s;
  m_store.changed(store::Change::Questions | store::Change::Tests);
  return tx.commit();
}

}  // namespace authoring
