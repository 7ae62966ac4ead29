#include "screens/delivery/ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

}  // namespace

bool ScreenSaverInhibitor::inhibit(const QString& reason) {
  if (m_cookie != 0) return true;
  QDBusConnection bus = QDBusConnection::sessionBus();
  // Asking an absent service would make the bus try to start it and wait.
  if (!bus.isConnected() || !bus.interface() ||
      !bus.interface()->isServiceRegistered(kService).value())
    return false;
  QDBusInterface saver(kService, kPath, kService, bus);
  saver.setTimeout(1000);
  const QDBusReply<quint32> reply =
      saver.call(QStringLiteral("Inhibit"), QStringLiteral("Derslik"), reason);
  if (!reply.isValid()) return false;
  m_cookie = reply.value();
  return m_cookie != 0;
}

void ScreenSaverInhibitor::release() {
  if (m_cookie == 0) return;
  const quint32 cookie = m_cookie;
  m_cookie = 0;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  QDBusInterface saver(kService, kPath, kService, bus);
  saver.setTimeout(1000);
  saver.call(QDBus::NoBlock, QStringLiteral("UnInhibit"), cookie);
}
