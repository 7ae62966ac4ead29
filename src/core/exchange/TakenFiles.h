#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

#include "Result.h"

namespace store {
class Store;
}

namespace exchange {

// When a file with these bytes was read before, and under which name.
struct TakenFile {
  QString fileName;
  QString date;  // dd.MM.yyyy
  QString time;  // HH:mm:ss
};

// The question and test files already taken in, remembered by the SHA-256 of
// their bytes (TABLEALINANDOSYA) with the name they had and when they were read,
// so that the same file read again is known whatever it is called now and
// wherever it lies. Reading it again would add its tests and questions a second
// time under new numbers: the screens ask first, derslik-cli refuses unless told
// --again.
class TakenFiles {
 public:
  explicit TakenFiles(store::Store& store) : m_store(store) {}

  // Hex SHA-256 of the file's bytes; an error text when it cannot be read.
  static Result<QByteArray> contentHash(const QString& path);
  // The last reading of a file with the same bytes as `path`; nullopt when none
  // (or when the file cannot be read: reading it will say why).
  Result<std::optional<TakenFile>> find(const QString& path) const;
  // Inside the reading's transaction, before anything is written: fails with
  // takenText() when a file with these bytes was taken already. Two boards of a
  // school's server reading the same file at once: the second finds the first's
  // record here, after the first committed, and adds nothing.
  Status refuseTaken(const QByteArray& hash, const QString& path) const;
  // Inside the reading's transaction, so a refused file is not remembered.
  Status remember(const QByteArray& hash, const QString& path, const QDateTime& when);

  // "Kesirler.ckp dosyası daha önce alınmıştı (07.12.2026, 13:25:27, Test.ckp adıyla)."
  static QString takenText(const QString& path, const TakenFile& taken);
  // The screens' question before reading such a file again.
  static QString againQuestion(const QString& path, const TakenFile& taken);

 private:
  Result<std::optional<TakenFile>> findHash(const QByteArray& hash) const;
  store::Store& m_store;
};

// Decides about a file read before: true reads it again.
using ReadAgain = std::function<bool(const QString& path, const TakenFile& taken)>;

}  // namespace exchange
