#pragma once

#include <QCryptographicHash>
#include <QFile>

// The SHA-256 of a file's bytes (empty when it cannot be read): "not one byte changed".
inline QByteArray fileHash(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}
