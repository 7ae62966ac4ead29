#include "authoring/QuestionMedia.h"

#include <QDir>
#include <QFileInfo>

namespace authoring {

QString QuestionMedia::folderName(Kind kind) {
  return kind == Kind::Sound ? QStringLiteral("Sesler") : QStringLiteral("Videolar");
}

QStringList QuestionMedia::stored(const QString& key, Kind kind) const {
  return m_files.named(folderName(kind), key);
}

QString QuestionMedia::find(const QString& key, Kind kind) const {
  const QString first = stored(key, kind).value(0);
  return first.isEmpty() ? QString() : m_files.localPath(first);
}

QString QuestionMedia::storedPath(const QString& key, Kind kind, const QString& suffix) {
  return folderName(kind) + QLatin1Char('/') + key + suffix;
}

QString QuestionMedia::absolute(const QString& stored) const {
  if (stored.isEmpty()) return {};
  if (QDir::isAbsolutePath(stored)) return stored;
  return m_files.localPath(stored);
}

Result<QuestionMedia::Staged> QuestionMedia::stage(const QString& source, Kind kind) const {
  const QFileInfo info(source);
  if (!info.isFile()) return Result<Staged>::failure(QStringLiteral("Dosya bulunamadı: ") + source);
  const Result<store::FolderFiles::Staged> staged = m_files.stage(source, folderName(kind));
  if (!staged) return Result<Staged>::failure(staged.error());
  return Staged{kind, staged->file,
                info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix().toLower(),
                staged->temporary};
}

void QuestionMedia::discard(const Staged& staged) const {
  store::FolderFiles::discard({staged.temp, staged.temporary});
}

Status QuestionMedia::place(store::FolderChange& change, const Staged& staged,
                            const QString& key) const {
  return change.replace(folderName(staged.kind), key, {staged.temp, staged.temporary},
                        staged.suffix);
}

Status QuestionMedia::remove(store::FolderChange& change, const QString& key, Kind kind) const {
  return change.removeNamed(folderName(kind), key);
}

Status QuestionMedia::removeAll(store::FolderChange& change, const QString& key) const {
  if (Status s = remove(change, key, Kind::Sound); !s) return s;
  return remove(change, key, Kind::Video);
}

QList<QuestionMedia::Rename> QuestionMedia::renames(
    const QList<QPair<QString, QString>>& oldToNew) const {
  QList<Rename> out;
  for (const auto& [from, to] : oldToNew) {
    for (Kind kind : {Kind::Sound, Kind::Video}) {
      const QString prefix = folderName(kind) + QLatin1Char('/');
      for (const QString& f : stored(from, kind))
        out << Rename{f, prefix + to + f.mid(prefix.size() + from.size())};
    }
  }
  return out;
}

Status QuestionMedia::apply(const QList<Rename>& renames) const { return m_files.rename(renames); }

}  // namespace authoring
