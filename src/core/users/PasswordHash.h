#pragma once

#include <QString>

#include "Result.h"

namespace users {

// Passwords are kept as salted Argon2id hashes in libsodium's string form
// ("$argon2id$v=19$m=...,t=...,p=1$salt$hash"); what the user typed is never stored.
Result<QString> hashPassword(const QString& password);

// True when `typed` is the password `stored` was made from. A stored value that
// is not a hash is a password of an older installation kept as typed: it is
// compared exactly (the caller re-hashes it after a successful log-in).
bool verifyPassword(const QString& stored, const QString& typed);

bool isPasswordHash(const QString& stored);

}  // namespace users
