#pragma once

#include <QSqlError>
#include <QString>

namespace store {

// A database error as the user reads it: Turkish words first ("Dosya bozuk"), the
// library's own English text at most in parentheses after them.
QString sqlErrorText(const QSqlError& error);
// The same from SQLite's result code (primary or extended) and its message.
QString sqliteErrorText(int code, const QString& libraryText);

}  // namespace store
