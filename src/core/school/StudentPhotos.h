#pragma once

#include <QByteArray>
#include <QString>

#include "Result.h"

namespace store {
class Store;
class FolderChange;
}  // namespace store

namespace school {

// Student photos: Fotograflar/<KAYITNO>.jpg beside the databases (in the data
// folder, or on the school's server: store::FolderFiles); a student without one
// shows ResimYok.jpg from the board's data folder.
class StudentPhotos {
 public:
  explicit StudentPhotos(const store::Store& store) : m_store(store) {}

  static QString relativePath(const QString& kayitNo);  // "Fotograflar/5.jpg"
  // The photo as a file a picture opens, or empty when the student has none.
  QString path(const QString& kayitNo) const;
  // The photo, or ResimYok.jpg (written when it is missing).
  QString displayPath(const QString& kayitNo) const;
  bool has(const QString& kayitNo) const;
  // The JPEG a chosen file becomes: its own bytes when it is one, converted
  // when it is any other picture; a file that is no picture is refused.
  static Result<QByteArray> jpeg(const QString& sourceFile);
  // Inside the student's transaction (see store::FolderChange).
  Status set(store::FolderChange& change, const QString& kayitNo, const QByteArray& jpeg) const;
  Status remove(store::FolderChange& change, const QString& kayitNo) const;
  QString placeholderPath() const;

 private:
  const store::Store& m_store;
};

}  // namespace school
