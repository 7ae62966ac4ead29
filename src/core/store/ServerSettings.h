#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

#include "Result.h"
#include "store/ServerAddress.h"

class Messages;

namespace store {

class Store;

// The school server this board is set to use ("Okul Sunucusu"), kept in a file
// of the board's own data folder that only its owner may read (mode 0600): it
// holds the password. Nothing else reads `password`: the connection gets it
// through login(), and no message or log line is built from it.
struct ServerSettings {
  QString host;
  int port = 5432;
  QString database;
  QString user;
  QString password;
  bool useOnThisBoard = false;  // "Bu Tahtada Kullan": taken at the next start

  // The file's name inside the data folder.
  static QString fileName();
  // The settings of the data folder `folder`; a folder without the file gives the
  // defaults (no server). A damaged file is an error, never a silent default.
  static Result<ServerSettings> load(const QString& folder);
  // Writes the whole file at once (a half-written file never replaces the old
  // one), readable and writable by its owner alone whatever it was before.
  Status save(const QString& folder) const;

  // The address the fields describe, or the Turkish sentence of the first field
  // that is missing or wrong.
  Result<ServerAddress> address() const;
  Result<ServerLogin> login() const;
  bool sameAddress(const ServerAddress& other) const;
};

// The password given on standard input (--password-stdin): the whole input with
// its final line break dropped.
QString passwordFromInput(const QByteArray& input);

// The server a board starts on: the address given at start (--sunucu or
// DERSLIK_SUNUCU; an empty `givenUrl` when neither) with the password given with
// it, else the settings' password when they name the same address, else none
// (libpq then reads ~/.pgpass or PGPASSFILE); without a given address, the
// settings when they are to be used on this board. Empty: the data folder.
Result<std::optional<ServerLogin>> boardServerLogin(const QString& givenUrl,
                                                    const QString& givenPassword,
                                                    const ServerSettings& settings);

// What "Bağlantıyı Dene" finds: whether this board could open the school's data
// there now, and a Turkish sentence saying so (the schema's state) or why not.
// Opens a connection of its own and writes nothing.
struct ServerProbe {
  bool usable = false;
  QString message;
};
ServerProbe probeServer(const ServerLogin& login);

// The question a board that cannot open its server asks at start.
QString ownDataQuestion(const QString& reason);

enum class BoardData { Server, OwnFolder, Quit };

// At a board's start, before the data is opened: with a server to use, looks
// whether it can be opened; when it can, the store is set to it. When it cannot,
// the reason is told and the user asked whether to go on with the board's own
// data folder ("Evet") or to end ("Hayır"): a board never switches silently.
// `progress` shows a line while the server is looked for (a server that does not
// answer takes its whole timeout) and is given an empty one when that is over.
BoardData chooseBoardData(Store& store, const std::optional<ServerLogin>& login, Messages& messages,
                          const std::function<void(const QString&)>& progress = {});

}  // namespace store
