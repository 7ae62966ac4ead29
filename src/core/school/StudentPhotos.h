#pragma once

#include <QString>

#include "Result.h"

namespace store {
class Store;
}

namespace school {

// Student photos: Fotograflar/<KAYITNO>.jpg in the data folder; a student without
// one shows ResimYok.jpg from the data folder.
class StudentPhotos {
 public:
  explicit StudentPhotos(const store::Store& store) : m_store(store) {}

  QString path(const QString& kayitNo) const;
  // The photo, or ResimYok.jpg (written when it is missing).
  QString displayPath(const QString& kayitNo) const;
  bool has(const QString& kayitNo) const;
  // Copies (JPEG) or converts (any other picture) the chosen file.
  Status set(const QString& kayitNo, const QString& sourceFile) const;
  void remove(const QString& kayitNo) const;
  QString placeholderPath() const;

 private:
  const store::Store& m_store;
};

}  // namespace school
