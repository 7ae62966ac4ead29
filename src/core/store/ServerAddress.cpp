#include "store/ServerAddress.h"

#include <QUrl>

#include <algorithm>

namespace store {

namespace {

const QString kScheme = QStringLiteral("postgresql://");

QString form() { return QStringLiteral("postgresql://KULLANICI@MAKINE[:PORT]/VERITABANI"); }

Result<ServerAddress> refuse(const QString& why) {
  return Result<ServerAddress>::failure(
      QStringLiteral("Sunucu adresi geçersiz: %1 Beklenen biçim: %2").arg(why, form()));
}

QString decoded(const QString& part) { return QUrl::fromPercentEncoding(part.toUtf8()); }

}  // namespace

Result<ServerAddress> ServerAddress::parse(const QString& input) {
  const QString url = input.trimmed();
  if (url.isEmpty()) return refuse(QStringLiteral("adres boş."));
  if (!url.startsWith(kScheme, Qt::CaseInsensitive))
    return refuse(QStringLiteral("adres \"postgresql://\" ile başlamalı."));
  const QString rest = url.mid(kScheme.size());
  const qsizetype slash = rest.indexOf(QLatin1Char('/'));
  const QString authority = slash < 0 ? rest : rest.left(slash);
  const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
  const QString userPart = at < 0 ? QString() : authority.left(at);
  // Checked before anything is echoed: a password must not reach a message.
  if (userPart.contains(QLatin1Char(':')))
    return Result<ServerAddress>::failure(QStringLiteral(
        "Şifre sunucu adresine yazılmaz: şifreyi --password-stdin ile ya da ~/.pgpass "
        "dosyasıyla verin."));
  ServerAddress a;
  a.user = decoded(userPart);
  if (a.user.isEmpty()) return refuse(QStringLiteral("kullanıcı adı yok."));
  QString hostPort = authority.mid(at + 1);
  QString portText;
  if (hostPort.startsWith(QLatin1Char('['))) {  // [::1]:5432
    const qsizetype close = hostPort.indexOf(QLatin1Char(']'));
    if (close < 0) return refuse(QStringLiteral("makine adı eksik yazılmış."));
    a.host = hostPort.mid(1, close - 1);
    const QString after = hostPort.mid(close + 1);
    if (!after.isEmpty()) {
      if (!after.startsWith(QLatin1Char(':')))
        return refuse(QStringLiteral("makine adından sonra yalnızca :PORT gelebilir."));
      portText = after.mid(1);
      if (portText.isEmpty()) return refuse(QStringLiteral("port numarası yok."));
    }
  } else {
    const qsizetype colon = hostPort.indexOf(QLatin1Char(':'));
    a.host = colon < 0 ? hostPort : hostPort.left(colon);
    if (colon >= 0) {
      portText = hostPort.mid(colon + 1);
      if (portText.isEmpty()) return refuse(QStringLiteral("port numarası yok."));
    }
  }
  if (a.host.isEmpty()) return refuse(QStringLiteral("makine adı yok."));
  if (!portText.isEmpty()) {
    bool ok = false;
    const int port = portText.toInt(&ok);
    const bool digits =
        std::all_of(portText.begin(), portText.end(), [](QChar c) { return c.isDigit(); });
    if (!ok || !digits || port < 1 || port > 65535)
      return refuse(QStringLiteral("port 1 ile 65535 arasında bir sayı olmalı."));
    a.port = port;
  }
  const QString path = slash < 0 ? QString() : rest.mid(slash + 1);
  if (path.contains(QLatin1Char('/')) || path.contains(QLatin1Char('?')) ||
      path.contains(QLatin1Char('#')))
    return refuse(QStringLiteral("veritabanı adından sonra bir şey yazılmaz."));
  a.database = decoded(path);
  if (a.database.isEmpty()) return refuse(QStringLiteral("veritabanı adı yok."));
  return a;
}

QString ServerAddress::url() const {
  const QString hostText =
      host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
  return QStringLiteral("%1%2@%3:%4/%5").arg(kScheme, user, hostText).arg(port).arg(database);
}

QString ServerAddress::hostAndPort() const { return QStringLiteral("%1:%2").arg(host).arg(port); }

}  // namespace store
