#pragma once

#include <QString>

namespace store {

// The folder that holds every file Derslik keeps: the databases, Log.txt, Sesler,
// Videolar, Fotograflar, Yedek, Sonuclar, NetFile ... It stands where the old
// program used its own installation folder.
class DataFolder {
 public:
  // ~/.local/share/derslik unless DERSLIK_VERI names another folder.
  static QString defaultRoot();
  // Process-wide; set once at start-up (and by tests for a temporary folder).
  static void setRoot(const QString& folder);
  static QString root();
  // A path inside the data folder; `relative` may name a sub-folder ("Yedek/x.db").
  static QString path(const QString& relative);
  // The sub-folder's path, created when it is missing.
  static QString subFolder(const QString& name);
};

}  // namespace store
