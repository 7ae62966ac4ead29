#pragma once

#include <QString>

#include "Result.h"

namespace store {

// Where a school's shared database lives: postgresql://KULLANICI@MAKINE[:PORT]/VERITABANI.
// The password is never part of it: it comes from --password-stdin, the board's
// settings file, or libpq's own ~/.pgpass / PGPASSFILE.
struct ServerAddress {
  QString user;
  QString host;
  int port = 5432;
  QString database;

  // Refuses anything but the form above with a Turkish sentence. A URL holding a
  // password ("kullanici:sifre@") is refused without repeating it.
  static Result<ServerAddress> parse(const QString& url);
  // The address as the user wrote it (never with a password).
  QString url() const;
  // "MAKINE:PORT" for messages about reaching the server.
  QString hostAndPort() const;
};

// An address and the password to log in with (empty: libpq looks in ~/.pgpass).
// Only the connection itself ever reads `password`.
struct ServerLogin {
  ServerAddress address;
  QString password;
};

}  // namespace store
