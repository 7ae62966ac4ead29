#include "exchange/QuestionPackage.h"

#include <QFileInfo>

#include "exchange/PackageFile.h"
#include "exchange/PackageQuestions.h"
#include "exchange/TakenFiles.h"
#include "store/Sql.h"
#include "store/Store.h"

namespace exchange {

Status QuestionPackage::write(const QStringList& keys, const QString& archivePath) {
  const auto failed = [](const QString& why) {
    return Status::failure(writeFailedMessage() + QStringLiteral(" (") + why + QLatin1Char(')'));
  };
  if (keys.isEmpty()) return Status::failure(writeFailedMessage());
  if (Status s = keysExist(m_store, QStringLiteral("TABLESORU"), QStringLiteral("SORUNO"), keys);
      !s)
    return failed(s.error());
  Result<QList<formats::ZipMember>> media = PackageQuestions::mediaMembers(m_store, keys);
  if (!media) return failed(media.error());
  return PackageFile(m_store).write(
      archivePath, kMember,
      [&](PackageWriter& package) { return PackageQuestions::writeTable(package, keys); },
      media.value());
}

Result<int> QuestionPackage::read(const QString& archivePath, const Progress& progress,
                                  bool onlyIfNew) {
  // An unreadable file is refused below, with the reason.
  const QByteArray hash = TakenFiles::contentHash(archivePath).valueOr({});
  PackageQuestions questions(m_store);
  questions.setProgress(progress);
  PackageFile::ReadOptions options;
  options.wanted = &PackageQuestions::isMediaArchive;
  options.maxValueBytes = PackageQuestions::kMaxPictureBytes;
  Result<int> added = PackageFile(m_store).read(
      archivePath, kMember,
      [&](PackageDatabase& package, const PackageFile::Unpacked& unpacked) -> Result<int> {
        using R = Result<int>;
        if (onlyIfNew && !hash.isEmpty())
          if (Status s = TakenFiles(m_store).refuseTaken(hash, archivePath); !s)
            return R::failure(s.error());
        if (Status s = questions.load(package); !s) return R::failure(s.error());
        if (questions.count() == 0) return R::failure(QStringLiteral("Dosyada soru yok."));
        // Question files renumber every question, distributed ones too.
        if (Status s = questions.assignKeys(false); !s) return R::failure(s.error());
        if (Status s = questions.stageMedia(unpacked); !s) return R::failure(s.error());
        if (Status s = questions.write(package, unpacked.packageBytes); !s)
          return R::failure(s.error());
        if (!hash.isEmpty())
          if (Status s =
                  TakenFiles(m_store).remember(hash, archivePath, QDateTime::currentDateTime());
              !s)
            return R::failure(s.error());
        return questions.count();
      },
      options);
  if (added)
    questions.finish();
  else
    questions.discard();
  return added;
}

ImportOutcome readFiles(const QStringList& paths,
                        const std::function<Result<int>(const QString&, bool)>& read,
                        const std::function<void(int, int)>& progress, const TakenFiles* taken,
                        const ReadAgain& again) {
  ImportOutcome outcome;
  const int n = static_cast<int>(paths.size());
  for (int i = 0; i < n; ++i) {
    if (progress) progress(i + 1, n);
    bool takenBefore = false;
    if (taken) {
      const Result<std::optional<TakenFile>> before = taken->find(paths.at(i));
      takenBefore = before && before.value();
      if (takenBefore && !(again && again(paths.at(i), *before.value()))) {
        outcome.skipped << TakenFiles::takenText(paths.at(i), *before.value());
        continue;
      }
    }
    const bool onlyIfNew = taken && !takenBefore;
    const Result<int> added = read(paths.at(i), onlyIfNew);
    if (added) {
      outcome.added += added.value();
      continue;
    }
    if (onlyIfNew) {
      const Result<std::optional<TakenFile>> now = taken->find(paths.at(i));
      if (now && now.value()) {
        outcome.skipped << TakenFiles::takenText(paths.at(i), *now.value());
        continue;
      }
    }
    outcome.failures << QStringLiteral("%1: %2").arg(QFileInfo(paths.at(i)).fileName(),
                                                     added.error());
  }
  return outcome;
}

QString fileProgressText(int index, int count) {
  return QStringLiteral("%1/%2 dosya işleniyor...").arg(index).arg(count);
}

}  // namespace exchange
