#include "school/RemoteRegistration.h"

#include <QSqlQuery>

#include "school/Pairing.h"
#include "school/Remotes.h"
#include "store/Store.h"

namespace school {

RemoteRegistration::RemoteRegistration(store::Store& store, QObject* parent)
    : QObject(parent), m_store(store) {
  m_timer.setInterval(kIntervalMs);
  connect(&m_timer, &QTimer::timeout, this, [this] { emit registrationModeRequested(true); });
}

QString RemoteRegistration::tag() const {
  switch (m_mode) {
    case Mode::NewRemotes:
      return QStringLiteral("YeniKumanda");
    case Mode::NewReceiver:
      return QStringLiteral("YeniAlici");
    case Mode::Closed:
      break;
  }
  return {};
}

QString RemoteRegistration::instructionText() const {
  const QString hold = QStringLiteral("Tüm kumandaların A tuşuna 10 saniye basık tutunuz.");
  if (m_mode == Mode::NewRemotes)
    return QStringLiteral(
               "Öğretmen Kumandası yapmak istediğiniz kumandanın yanındaki kutucuğu "
               "işaretleyiniz.\n") +
           hold;
  return hold;
}

QString RemoteRegistration::countCaption() const {
  return m_mode == Mode::NewReceiver ? QStringLiteral("Kayıtlı kumanda sayısı:")
                                     : QStringLiteral("Duyulan kumanda sayısı:");
}

void RemoteRegistration::setReceiverPresent(bool present) {
  if (present == m_receiverPresent) return;
  m_receiverPresent = present;
  emit itemsChanged();
}

QString RemoteRegistration::noReceiverText() const {
  if (m_receiverPresent || m_mode == Mode::Closed) return {};
  return QStringLiteral(
      "Alıcı bağlı değil: kumandalar duyulamaz.\n"
      "Alıcıyı bilgisayarın bir USB girişine takınız; alt çubukta \"Alıcı Bağlı\" yazısı "
      "görününce kumandaların A tuşuna basınız.\n"
      "Alıcı olmadan denemek için Derslik'i \"derslik --simulasyon 40\" komutuyla başlatınız.");
}

void RemoteRegistration::open(Mode mode) {
  m_mode = mode;
  m_timer.start();
  emit opened();
  emit itemsChanged();
}

void RemoteRegistration::startNewRemotes() {
  m_items.clear();
  open(Mode::NewRemotes);
}

void RemoteRegistration::startNewReceiver() {
  m_items.clear();
  Result<QSqlQuery> q =
      m_store.exec(QStringLiteral("SELECT KUMANDAADRESI,NZ(OGRETMENKUMANDASI) FROM TABLEKUMANDA "
                                  "ORDER BY KUMANDAADRESI COLLATE KUMANDA"));
  if (q) {
    while (q.value().next())
      m_items.append({q.value().value(0).toString(), 0,
                      remotes::isTeacherFlag(q.value().value(1).toString())});
  }
  open(Mode::NewReceiver);
}

void RemoteRegistration::heard(const QString& address) {
  if (m_mode != Mode::NewRemotes || address.isEmpty()) return;
  bool found = false;
  for (Item& item : m_items) {
    if (item.address != address) continue;
    found = true;
    if (item.icon < 3) item.icon += 2;
    break;
  }
  if (!found) m_items.append({address, 1, false});
  emit itemsChanged();
  emit registrationModeRequested(true);
}

void RemoteRegistration::setTeacher(const QString& address, bool teacher) {
  for (Item& item : m_items)
    if (item.address == address) item.teacher = teacher;
  emit itemsChanged();
}

Status RemoteRegistration::finish() {
  if (m_mode == Mode::Closed) return {};
  const Mode was = m_mode;
  m_timer.stop();
  m_mode = Mode::Closed;
  emit registrationModeRequested(false);
  Status result;
  if (was == Mode::NewRemotes) {
    Pairing pairing(m_store);
    store::Transaction tx(m_store);
    for (const Item& item : m_items) {
      result = pairing.registerRemote(item.address, item.teacher);
      if (!result) break;
    }
    if (result) result = tx.commit();
  }
  emit closed();
  return result;
}

}  // namespace school
