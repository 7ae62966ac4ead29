#pragma once

#include <QString>

#include "Result.h"

namespace school {

// Student photos: Fotograflar/<KAYITNO>.jpg in the data folder; a student without
// one shows ResimYok.jpg from the data folder.
class StudentPhotos {
 public:
  static QString path(const QString& kayitNo);
  // The photo, or ResimYok.jpg (written when it is missing).
  static QString displayPath(const QString& kayitNo);
  static bool has(const QString& kayitNo);
  // Copies (JPEG) or converts (any other picture) the chosen file.
  static Status set(const QString& kayitNo, const QString& sourceFile);
  static void remove(const QString& kayitNo);
  static QString placeholderPath();
};

}  // namespace school
