#include "web/BrowserSettings.h"

#include <QNetworkInterface>

#include "store/Parameters.h"
#include "store/SavedControls.h"

namespace web {

namespace {
const QString kSection = QStringLiteral("Tarayici");
const QString kPortKey = QStringLiteral("Port");
const QString kInterfaceKey = QStringLiteral("Arayuz");
const QString kCheckBox = QStringLiteral("chkTarayicidanCevaplansin");
// After the screens' own rows.
constexpr int kCheckBoxTab = 90;
}  // namespace

QString BrowserSettings::Interface::caption() const {
  return QStringLiteral("%1 (%2)").arg(name, address.toString());
}

QList<BrowserSettings::Interface> BrowserSettings::interfaces() {
  QList<Interface> out;
  QList<Interface> loopback;
  for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
    if (!i.flags().testFlag(QNetworkInterface::IsUp)) continue;
    for (const QNetworkAddressEntry& e : i.addressEntries()) {
      if (e.ip().protocol() != QAbstractSocket::IPv4Protocol) continue;
      (e.ip().isLoopback() ? loopback : out).append({i.name(), e.ip()});
      break;
    }
  }
  return out + loopback;
}

BrowserSettings BrowserSettings::load() {
  BrowserSettings s;
  bool number = false;
  const int port = store::UserSettings::get(kSection, kPortKey).toInt(&number);
  if (number && port > 0 && port <= 65535) s.port = quint16(port);
  s.interfaceName = store::UserSettings::get(kSection, kInterfaceKey).trimmed();
  return s;
}

void BrowserSettings::save() const {
  store::UserSettings::set(kSection, kPortKey, QString::number(port));
  store::UserSettings::set(kSection, kInterfaceKey, interfaceName);
}

AnswerServer::Options BrowserSettings::serverOptions() const {
  return serverOptions(*this, interfaces());
}

AnswerServer::Options BrowserSettings::serverOptions(const BrowserSettings& settings,
                                                     const QList<Interface>& up) {
  AnswerServer::Options o;
  o.port = settings.port;
  o.bind = QHostAddress::AnyIPv4;
  if (settings.interfaceName.isEmpty()) return o;
  for (const Interface& i : up)
    if (i.name == settings.interfaceName) o.bind = i.address;
  return o;
}

bool BrowserSettings::wanted(const QSqlDatabase& db, const QString& screen) {
  Result<store::SavedControls> saved = store::SavedControls::load(db, screen);
  return saved && saved->checked(kCheckBox, false);
}

Status BrowserSettings::setWanted(const QSqlDatabase& db, const QString& screen, bool on) {
  Result<store::SavedControls> saved = store::SavedControls::load(db, screen);
  if (!saved) return Status::failure(saved.error());
  store::SavedControls& c = saved.value();
  c.setChecked(kCheckBox, on, kCheckBoxTab);
  return c.save(db);
}

QString joinUrl(const AnswerServer& server) {
  return server.url() + QStringLiteral("?kod=") + server.joinCode();
}

}  // namespace web
