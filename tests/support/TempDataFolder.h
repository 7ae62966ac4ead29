#pragma once

#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>
#include <optional>

#include "Messages.h"
#include "TestBackend.h"
#include "store/Parameters.h"
#include "store/Store.h"
#include "users/RightFlags.h"
#include "users/Session.h"

// A data folder of one test function's own: a temporary directory with its store,
// its own per-user settings file, and (unless asked not to) a fresh main database,
// open. Everything the test builds gets store() (and messages(), which records
// every message and answers as told).
class TempDataFolder {
 public:
  explicit TempDataFolder(bool withDatabase = true) {
    m_session.setFlags(users::initialRights(false, 0));
    m_ok = m_dir.isValid();
    if (!m_ok) return;
    m_store = std::make_unique<store::Store>(m_dir.path());
    store::UserSettings::setFile(m_dir.filePath(QStringLiteral("ayar.ini")));
    // On the server the database lives beside the folder, which keeps the rest.
    if (testbackend::onServer()) {
      const Result<store::ServerLogin> login = testbackend::freshDatabase(withDatabase);
      if (!login) qWarning("%s", qPrintable(login.error()));
      m_ok = login.ok();
      if (!m_ok) return;
      m_store->useServer(login.value());
      m_login = login.value();
    }
    if (withDatabase) {
      const Result<store::CheckReport> opened = m_store->open();
      if (!opened) qWarning("%s", qPrintable(opened.error()));
      m_ok = opened.ok();
    }
  }
  TempDataFolder(const TempDataFolder&) = delete;
  TempDataFolder& operator=(const TempDataFolder&) = delete;

  // Gives a test function a folder of its own: the previous folder goes first
  // (its store closes), then the new one is made.
  [[nodiscard]] static bool renew(std::unique_ptr<TempDataFolder>& folder,
                                  bool withDatabase = true) {
    folder.reset();
    folder = std::make_unique<TempDataFolder>(withDatabase);
    return folder->ok();
  }

  bool ok() const { return m_ok; }
  store::Store& store() { return *m_store; }
  RecordedMessages& messages() { return m_messages; }
  // The rights screens ask: those of the program without the advanced mode.
  users::Session& session() { return m_session; }
  // A new database offers the common levels, courses and factory grid layouts;
  // tests that count list rows or layout rows start from empty ones instead.
  bool emptySeededLists() {
    for (const char* table : {"TABLEPARAMETRE", "TABLETANIMLAMALAR", "TABLESLISTESUTUNADI",
                              "TABLESLISTESUTUNBILGILERI"}) {
      if (!m_store->run(QStringLiteral("DELETE FROM ") + QString::fromLatin1(table))) return false;
    }
    return true;
  }
  QString path() const { return m_dir.path(); }
  // Another board of the same school, not open yet: on a server a board with its
  // own data folder `ownFolder`; otherwise a second store on this same folder.
  // Open and use it in one thread (a connection belongs to the thread that opens it).
  std::unique_ptr<store::Store> otherBoard(const QString& ownFolder) const {
    auto board = std::make_unique<store::Store>(m_login ? ownFolder : m_dir.path());
    if (m_login) board->useServer(*m_login);
    return board;
  }
  QString filePath(const QString& name) const { return m_dir.filePath(name); }

 private:
  QTemporaryDir m_dir;
  std::unique_ptr<store::Store> m_store;
  std::optional<store::ServerLogin> m_login;
  RecordedMessages m_messages;
  users::Session m_session;
  bool m_ok = false;
};
