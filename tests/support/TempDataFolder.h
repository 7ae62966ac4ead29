#pragma once

#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>

#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Parameters.h"
#include "store/Schema.h"

// A data folder of one test function's own: a temporary directory made the data
// folder, with its own per-user settings file, and (unless asked not to) a fresh
// main database with the shared connection open. Closes the connection when done.
class TempDataFolder {
 public:
  explicit TempDataFolder(bool withDatabase = true) {
    m_ok = m_dir.isValid();
    if (!m_ok) return;
    store::DataFolder::setRoot(m_dir.path());
    store::UserSettings::setFile(m_dir.filePath(QStringLiteral("ayar.ini")));
    if (withDatabase) m_ok = store::VeritabaniKontrol().ok();
  }
  ~TempDataFolder() { store::BaglantiKapat(); }
  TempDataFolder(const TempDataFolder&) = delete;

  // Gives a test function a folder of its own: the previous folder goes first
  // (its destructor closes the shared connection), then the new one is made.
  [[nodiscard]] static bool renew(std::unique_ptr<TempDataFolder>& folder,
                                  bool withDatabase = true) {
    folder.reset();
    folder = std::make_unique<TempDataFolder>(withDatabase);
    return folder->ok();
  }
  TempDataFolder& operator=(const TempDataFolder&) = delete;

  bool ok() const { return m_ok; }
  // A new database offers the common levels, courses and factory grid layouts;
  // tests that count list rows or layout rows start from empty ones instead.
  bool emptySeededLists() {
    for (const char* table : {"TABLEPARAMETRE", "TABLETANIMLAMALAR", "TABLESLISTESUTUNADI",
                              "TABLESLISTESUTUNBILGILERI"}) {
      QSqlQuery q(store::connection());
      if (!q.exec(QStringLiteral("DELETE FROM ") + QString::fromLatin1(table))) return false;
    }
    return true;
  }
  QString path() const { return m_dir.path(); }
  QString filePath(const QString& name) const { return m_dir.filePath(name); }

 private:
  QTemporaryDir m_dir;
  bool m_ok = false;
};
