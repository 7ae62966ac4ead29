#include "authoring/QuestionMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include "store/Store.h"

namespace authoring {

namespace {

const QString kStagePrefix = QStringLiteral(".yukleniyor-");

// Undoes steps that were applied one after the other, last first.
void undo(const QList<QuestionMedia::Rename>& steps) {
  for (qsizetype i = steps.size() - 1; i >= 0; --i)
    (void)QFile::rename(steps.at(i).to, steps.at(i).from);
}

QString tempName(const QString& path) {
  return QFileInfo(path).dir().filePath(kStagePrefix + QUuid::createUuid().toString(QUuid::Id128));
}

}  // namespace

QString QuestionMedia::folderName(Kind kind) {
  return kind == Kind::Sound ? QStringLiteral("Sesler") : QStringLiteral("Videolar");
}

QStringList QuestionMedia::files(const QString& key, Kind kind) const {
  if (key.isEmpty()) return {};
  const QDir dir(m_store.path(folderName(kind)));
  QStringList out;
  // The pattern <SORUNO>.* would also match "12.5" for key "12": compare the base name.
  for (const QFileInfo& f : dir.entryInfoList({key + QStringLiteral(".*")}, QDir::Files)) {
    if (f.fileName().startsWith(kStagePrefix)) continue;
    if (f.fileName().left(f.fileName().lastIndexOf(QLatin1Char('.'))) == key)
      out << f.absoluteFilePath();
  }
  return out;
}

QString QuestionMedia::find(const QString& key, Kind kind) const {
  return files(key, kind).value(0);
}

QString QuestionMedia::storedPath(const QString& key, Kind kind, const QString& suffix) {
  return folderName(kind) + QLatin1Char('/') + key + suffix;
}

QString QuestionMedia::absolute(const QString& stored) const {
  if (stored.isEmpty()) return {};
  if (QDir::isAbsolutePath(stored)) return stored;
  return m_store.path(stored);
}

Result<QuestionMedia::Staged> QuestionMedia::stage(const QString& source, Kind kind) const {
  const QFileInfo info(source);
  if (!info.isFile()) return Result<Staged>::failure(QStringLiteral("Dosya bulunamadı: ") + source);
  const QString folder = m_store.subFolder(folderName(kind));
  Staged staged{kind, tempName(QDir(folder).filePath(info.fileName())),
                info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix().toLower()};
  if (!QFile::copy(source, staged.temp))
    return Result<Staged>::failure(
        QStringLiteral("Dosya %1 klasörüne kopyalanamadı: %2").arg(folderName(kind), source));
  return staged;
}

Result<QString> QuestionMedia::place(const Staged& staged, const QString& key) const {
  remove(key, staged.kind);
  const QString stored = storedPath(key, staged.kind, staged.suffix);
  if (!QFile::rename(staged.temp, m_store.path(stored))) {
    discard(staged);
    return Result<QString>::failure(QStringLiteral("Dosya yerine konamadı: ") +
                                    m_store.path(stored));
  }
  return stored;
}

void QuestionMedia::discard(const Staged& staged) const {
  if (!staged.temp.isEmpty()) QFile::remove(staged.temp);
}

void QuestionMedia::remove(const QString& key, Kind kind) const {
  for (const QString& f : files(key, kind)) QFile::remove(f);
}

void QuestionMedia::removeAll(const QString& key) const {
  remove(key, Kind::Sound);
  remove(key, Kind::Video);
}

QList<QuestionMedia::Rename> QuestionMedia::renames(
    const QList<QPair<QString, QString>>& oldToNew) const {
  QList<Rename> out;
  for (const auto& [from, to] : oldToNew) {
    for (Kind kind : {Kind::Sound, Kind::Video}) {
      for (const QString& f : files(from, kind)) {
        const QFileInfo info(f);
        const QString suffix = f.mid(info.absolutePath().size() + 1 + from.size());
        out << Rename{f, info.dir().filePath(to + suffix)};
      }
    }
  }
  return out;
}

Status QuestionMedia::apply(const QList<Rename>& renames) {
  // First every file to a temporary name, then to its new name: a key may take
  // the name another key gives up in the same renumbering.
  QList<Rename> toTemp;
  QList<Rename> toFinal;
  auto fail = [&](const QString& path) {
    undo(toFinal);
    undo(toTemp);
    return Status::failure(QStringLiteral("Dosyanın adı değiştirilemedi: ") + path);
  };
  for (const Rename& r : renames) {
    const Rename step{r.from, tempName(r.from)};
    if (!QFile::rename(step.from, step.to)) return fail(r.from);
    toTemp << step;
  }
  for (qsizetype i = 0; i < renames.size(); ++i) {
    const Rename step{toTemp.at(i).to, renames.at(i).to};
    if (QFile::exists(step.to) || !QFile::rename(step.from, step.to)) return fail(step.to);
    toFinal << step;
  }
  return {};
}

QList<QuestionMedia::Rename> QuestionMedia::inverse(const QList<Rename>& renames) {
  QList<Rename> out;
  for (const Rename& r : renames) out << Rename{r.to, r.from};
  return out;
}

}  // namespace authoring
