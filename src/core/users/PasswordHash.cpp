#include "users/PasswordHash.h"

#include <sodium.h>

namespace users {

namespace {

bool sodiumReady() {
  static const bool ready = sodium_init() >= 0;
  return ready;
}

}  // namespace

Result<QString> hashPassword(const QString& password) {
  if (!sodiumReady())
    return Result<QString>::failure(QStringLiteral("Şifreleme kitaplığı başlatılamadı."));
  const QByteArray bytes = password.toUtf8();
  char out[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(out, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                            crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                            crypto_pwhash_ALG_ARGON2ID13) != 0)
    return Result<QString>::failure(QStringLiteral("Şifre saklanamadı: bellek yetersiz."));
  return QString::fromLatin1(out);
}

bool isPasswordHash(const QString& stored) {
  return stored.startsWith(QLatin1String("$argon2id$"));
}

bool verifyPassword(const QString& stored, const QString& typed) {
  const QByteArray password = typed.toUtf8();
  if (isPasswordHash(stored)) {
    if (!sodiumReady()) return false;
    const QByteArray hash = stored.toLatin1();
    return crypto_pwhash_str_verify(hash.constData(), password.constData(),
                                    static_cast<unsigned long long>(password.size())) == 0;
  }
  const QByteArray plain = stored.toUtf8();
  if (plain.size() != password.size() || !sodiumReady()) return false;
  return plain.isEmpty() || sodium_memcmp(plain.constData(), password.constData(),
                                          static_cast<size_t>(plain.size())) == 0;
}

}  // namespace users
