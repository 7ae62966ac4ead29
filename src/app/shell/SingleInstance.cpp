#include "shell/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace shell {

namespace {
const QByteArray kRequest = QByteArrayLiteral("goster\n");
constexpr int kWaitMs = 1000;
}  // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent),
      m_name(serverName(dataFolder)),
      m_lock(QDir(dataFolder).filePath(QStringLiteral("derslik.lock"))) {
  // A lock left by a program that no longer runs is taken over at once.
  m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
  if (m_server) m_server->close();
}

QString SingleInstance::serverName(const QString& dataFolder) {
  const QFileInfo info(dataFolder);
  const QString path = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
  const QByteArray hash =
      QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  // Per user as well: two teachers' sessions on one computer do not meet.
  return QStringLiteral("derslik-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

QString SingleInstance::fileForRunningMessage(const QString& file) {
  return unreachableMessage() + QStringLiteral("\n\nDosyayı açık olan Derslik'ten alınız: ") +
         QFileInfo(file).fileName();
}

SingleInstance::Outcome SingleInstance::claim() {
  QDir().mkpath(QFileInfo(m_lock.fileName()).absolutePath());
  if (m_lock.tryLock(100)) {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a crashed program would keep the name taken.
    QLocalServer::removeServer(m_name);
    m_server->listen(m_name);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
    return Outcome::First;
  }
  QLocalSocket socket;
  socket.connectToServer(m_name);
  if (!socket.waitForConnected(kWaitMs)) return Outcome::OtherUnreachable;
  socket.write(kRequest);
  const bool sent = socket.waitForBytesWritten(kWaitMs);
  socket.disconnectFromServer();
  return sent ? Outcome::OtherBroughtUp : Outcome::OtherUnreachable;
}

void SingleInstance::answer() {
  while (QLocalSocket* socket = m_server->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (socket->readAll().contains(kRequest.trimmed())) emit bringToFrontRequested();
    });
  }
}

}  // namespace shell
