#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

#include "Result.h"
#include "authoring/QuestionMedia.h"
#include "exchange/ImportStaging.h"
#include "exchange/PackageFile.h"
#include "exchange/PackageTable.h"
#include "formats/ZipArchive.h"

namespace store {
class Store;
}

namespace exchange {

class PackageDatabase;

// The question part that question files and test files share.
//
// Writing: the package's TABLESORU holds every TABLESORU column of the chosen
// questions, their pictures SORU and COZUM and DISTABLOSORUNO; their sound and
// video files go into the inner archives "sslr.zip" / "vdlr.zip" as members
// named <SORUNO><ext>.
//
// Reading, inside the caller's transaction: every package question gets a new
// key, the next numbers after the largest numeric key of the bank (keys with a
// letter never count, so nothing left over from elsewhere pushes the numbering
// up), in the order of the numbers in the file. With `keepDistributed` a key
// that does not start with a digit is distributed content: it keeps its key and
// replaces the older copy (row, pictures, files). A package without UNITE is the
// older layout whose KONU is the unit. Sound and video files are staged in a
// private work folder of the data folder and moved under their new keys into the
// media folders only by finish(), after the commit; discard() drops them when
// the file was refused. write() leaves the list of moves in the work folder and
// a marker row in the transaction, so a kill between the commit and finish()
// is finished by repairStagedImports() at the next start.
class PackageQuestions {
 public:
  static inline const QString kSounds = QStringLiteral("sslr.zip");
  static inline const QString kVideos = QStringLiteral("vdlr.zip");
  // A school's whole bank (the largest the benchmarks measure).
  static constexpr int kMaxQuestions = 100000;
  // One picture of a question (a screen-sized JPEG or PNG takes well under a
  // megabyte); a package value past it refuses the file. A row of two pictures
  // is held a few times over while it is copied, so this bounds the memory.
  static constexpr int kMaxPictureBytes = 16 * 1024 * 1024;

  explicit PackageQuestions(store::Store& store) : m_store(store) {}
  PackageQuestions(const PackageQuestions&) = delete;
  PackageQuestions& operator=(const PackageQuestions&) = delete;
  ~PackageQuestions() { discard(); }

  // --- writing ---
  // Creates the package's TABLESORU with the questions `keys`.
  static Status writeTable(PackageWriter& package, const QStringList& keys);
  // "sslr.zip" / "vdlr.zip" with the questions' files (only those that exist).
  static Result<QList<formats::ZipMember>> mediaMembers(const store::Store& store,
                                                        const QStringList& keys);
  // True for a member of an exchange file that holds media (also the RAR names
  // older installations wrote).
  static bool isMediaArchive(const QString& name);

  // --- reading ---
  // Reads and checks the package's TABLESORU (nothing is written).
  Status load(PackageDatabase& package);
  // Gives every question its key (see above).
  Status assignKeys(bool keepDistributed);
  // A free question ("S" and digits, made for free questioning) stays one: it
  // gets the next free key here instead of a bank number (a whole data folder
  // brings them with its runs; exchange files carry none).
  void setKeepFreeQuestions(bool keep) { m_keepFree = keep; }
  // Stages the media of the questions from the unpacked inner archives.
  Status stageMedia(const PackageFile::Unpacked& unpacked);
  // Deletes the older copies of distributed questions, writes the rows, the
  // pictures (into a new content store when the package would fill the
  // newest), the missing curriculum definitions, offers levels and courses and
  // records the moves finish() is to make.
  Status write(PackageDatabase& package, qint64 packageBytes);

  // Told "Sorular Numaralandırılıyor : <i>/<n>" every tenth question write() adds.
  void setProgress(Progress progress) { m_progress = std::move(progress); }

  static QString numberingText(int index, int count);

  int count() const { return static_cast<int>(m_records.size()); }
  // Package key -> key in the bank.
  const QHash<QString, QString>& keys() const { return m_keys; }
  bool isDistributed(const QString& packageKey) const;

  // After the commit: old files of the new keys and of replaced questions go,
  // staged files take their places.
  void finish();
  void discard();

 private:
  struct Staged {
    authoring::QuestionMedia::Staged file;
    QString key;  // the new key
  };
  Status stageArchive(const QString& archive, authoring::QuestionMedia::Kind kind);
  Status writePictures(PackageDatabase& package, qint64 packageBytes);
  Status openStageFolder();
  Status recordMoves();

  store::Store& m_store;
  QList<PackageRecord> m_records;
  bool m_currentLayout = true;
  bool m_hasPictures = false;
  bool m_keepDistributed = false;
  bool m_keepFree = false;
  QHash<QString, QString> m_keys;
  QList<Staged> m_staged;
  Progress m_progress;
  std::unique_ptr<WorkFolder> m_stageFolder;
  std::optional<StagingManifest> m_moves;
};

// Streams the key and the two picture columns `first`, `second` of a package
// table (a column the package lacks reads as no picture) to `visit`, skipping
// rows without either; a value that is not binary refuses the file.
Status forEachPicturePair(
    PackageDatabase& package, const QString& table, const QString& keyColumn, const QString& first,
    const QString& second,
    const std::function<Status(const QString& key, const QByteArray&, const QByteArray&)>& visit);

// Every key must name a row of `table`: a mistyped key makes no file rather
// than a file without it.
Status keysExist(store::Store& store, const QString& table, const QString& column,
                 const QStringList& keys);

// Missing curriculum definitions for the records' places: units (UNITELER),
// topics (KONULAR) and outcomes (KAZANIMLAR); empty parts and "TÜMÜ" define
// nothing. Inside the caller's transaction.
struct CurriculumPlace {
  QString level, course, unit, topic, outcome;
};
Status addDefinitions(store::Store& store, const QList<CurriculumPlace>& places);
// Offers the levels and courses in the lists (hidden ones become visible).
Status offerLevelsAndCourses(store::Store& store, const QList<CurriculumPlace>& places);
// The place of a package record; the older layout's KONU is the unit.
CurriculumPlace placeOf(const PackageRecord& record, bool currentLayout);

}  // namespace exchange
