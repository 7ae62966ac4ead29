#include "receiver/HidrawReceiver.h"

#include "receiver/ReportDescriptor.h"

#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace receiver {

namespace {

QString text(const char* s) { return s ? QString::fromUtf8(s).trimmed() : QString(); }

}  // namespace

HidrawReceiver::HidrawReceiver(QObject* parent) : ReceiverLink(parent) {}

HidrawReceiver::~HidrawReceiver() { Disconnect(); }

bool HidrawReceiver::Connect() {
  if (m_connected) return true;
  m_udev = udev_new();
  if (!m_udev) {
    emit problem(QStringLiteral("udev açılamadı; alıcı aranamıyor."));
    return false;
  }
  m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
  if (m_monitor &&
      udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) >= 0 &&
      udev_monitor_enable_receiving(m_monitor) >= 0) {
    m_monitorNotifier =
        new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
    connect(m_monitorNotifier, &QSocketNotifier::activated, this, &HidrawReceiver::monitorReadable);
  } else {
    // Without the monitor, plugging in later is not noticed; what is present still works.
    emit problem(QStringLiteral("USB takılıp çıkarma izlenemiyor."));
    if (m_monitor) udev_monitor_unref(m_monitor);
    m_monitor = nullptr;
  }
  m_connected = true;
  // Present devices are reported from the event loop, like any later event.
  QTimer::singleShot(0, this, [this] {
    if (m_connected) enumerate();
  });
  return true;
}

void HidrawReceiver::Disconnect() {
  if (!m_connected && m_fd < 0) return;
  m_connected = false;
  delete m_monitorNotifier;
  m_monitorNotifier = nullptr;
  if (m_monitor) udev_monitor_unref(m_monitor);
  m_monitor = nullptr;
  if (m_udev) udev_unref(m_udev);
  m_udev = nullptr;
  closeDevice();
  m_known.clear();
}

DeviceInfo HidrawReceiver::infoFor(udev_device* dev) {
  DeviceInfo info;
  info.node = text(udev_device_get_devnode(dev));
  if (udev_device* hid = udev_device_get_parent_with_subsystem_devtype(dev, "hid", nullptr)) {
    // HID_ID is "bus:vendor:product" in hexadecimal.
    const QStringList id =
        text(udev_device_get_property_value(hid, "HID_ID")).split(QLatin1Char(':'));
    if (id.size() == 3) {
      info.vendorId = id[1].toInt(nullptr, 16);
      info.productId = id[2].toInt(nullptr, 16);
    }
    info.productName = text(udev_device_get_property_value(hid, "HID_NAME"));
    info.serialNumber = text(udev_device_get_property_value(hid, "HID_UNIQ"));
  }
  if (udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device")) {
    const QString vendor = text(udev_device_get_sysattr_value(usb, "manufacturer"));
    const QString product = text(udev_device_get_sysattr_value(usb, "product"));
    const QString serial = text(udev_device_get_sysattr_value(usb, "serial"));
    if (!vendor.isEmpty()) info.vendorName = vendor;
    if (!product.isEmpty()) info.productName = product;
    if (!serial.isEmpty()) info.serialNumber = serial;
  }
  return info;
}

void HidrawReceiver::enumerate() {
  if (!m_udev) return;
  udev_enumerate* en = udev_enumerate_new(m_udev);
  if (!en) return;
  udev_enumerate_add_match_subsystem(en, "hidraw");
  udev_enumerate_scan_devices(en);
  QList<DeviceInfo> found;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en)) {
    udev_device* dev = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
    if (!dev) continue;
    const DeviceInfo info = infoFor(dev);
    udev_device_unref(dev);
    if (!info.node.isEmpty()) found.append(info);
  }
  udev_enumerate_unref(en);
  for (const DeviceInfo& info : found) {
    if (!m_connected) return;
    added(info);
  }
  if (m_connected) emit deviceListChanged();
}

void HidrawReceiver::monitorReadable() {
  if (!m_monitor) return;
  udev_device* dev = udev_monitor_receive_device(m_monitor);
  if (!dev) return;
  const QString action = text(udev_device_get_action(dev));
  const QString node = text(udev_device_get_devnode(dev));
  if (action == QLatin1String("add")) {
    const DeviceInfo info = infoFor(dev);
    udev_device_unref(dev);
    if (info.node.isEmpty()) return;
    added(info);
  } else if (action == QLatin1String("remove")) {
    udev_device_unref(dev);
    removed(node);
  } else {
    udev_device_unref(dev);
    return;
  }
  if (m_connected) emit deviceListChanged();
}

void HidrawReceiver::added(const DeviceInfo& info) {
  m_known.insert(info.node, info);
  if (info.isReceiver() && m_fd < 0) openDevice(info);
  emit plugged(info);
}

void HidrawReceiver::removed(const QString& node) {
  DeviceInfo info = m_known.take(node);
  if (info.node.isEmpty()) info.node = node;
  if (!node.isEmpty() && node == m_receiver.node) {
    info = m_receiver;
    closeDevice();
  }
  emit unplugged(info);
}

bool HidrawReceiver::openDevice(const DeviceInfo& info) {
  const QByteArray path = info.node.toLocal8Bit();
  const int fd = ::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    emit problem(error == EACCES || error == EPERM
                     ? QStringLiteral("%1 açılamadı: erişim izni yok (udev kuralı kurulmalı).")
                           .arg(info.node)
                     : QStringLiteral("%1 açılamadı: %2")
                           .arg(info.node, QString::fromLocal8Bit(std::strerror(error))));
    m_receiver = info;  // present, but unreadable
    return false;
  }
  m_fd = fd;
  m_ownsFd = true;
  m_receiver = info;
  int descriptorSize = 0;
  hidraw_report_descriptor descriptor{};
  if (::ioctl(fd, HIDIOCGRDESCSIZE, &descriptorSize) == 0 && descriptorSize > 0 &&
      descriptorSize <= HID_MAX_DESCRIPTOR_SIZE) {
    descriptor.size = quint32(descriptorSize);
    if (::ioctl(fd, HIDIOCGRDESC, &descriptor) == 0)
      m_outputLength = outputReportLength(
          QByteArrayView(reinterpret_cast<const char*>(descriptor.value), descriptorSize));
  }
  m_readNotify = false;  // switched on by the next device-list change only
  m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
  m_readNotifier->setEnabled(false);
  connect(m_readNotifier, &QSocketNotifier::activated, this, &HidrawReceiver::deviceReadable);
  return true;
}

void HidrawReceiver::attachDescriptor(int fd, const DeviceInfo& info, bool owned) {
  closeDevice();
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  m_connected = true;
  m_fd = fd;
  m_ownsFd = owned;
  m_receiver = info;
  m_readNotify = false;
  m_known.insert(info.node, info);
  m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
  m_readNotifier->setEnabled(false);
  connect(m_readNotifier, &QSocketNotifier::activated, this, &HidrawReceiver::deviceReadable);
  emit plugged(info);
  emit deviceListChanged();
}

void HidrawReceiver::closeDevice() {
  delete m_readNotifier;
  m_readNotifier = nullptr;
  if (m_fd >= 0 && m_ownsFd) ::close(m_fd);
  m_fd = -1;
  m_readNotify = false;
  m_outputLength = 0;
  m_queue.clear();
  m_receiver = DeviceInfo{};
}

void HidrawReceiver::deviceLost() {
  // The node vanished under us (unplugged before udev said so): same as a remove.
  const QString node = m_receiver.node;
  removed(node);
  if (m_connected) emit deviceListChanged();
}

void HidrawReceiver::SetReadNotify(bool on) {
  m_readNotify = on;
  if (m_readNotifier) m_readNotifier->setEnabled(on);
}

void HidrawReceiver::deviceReadable() {
  // Drain what is waiting now; each report becomes one readable event.
  int got = 0;
  char buffer[64];
  while (m_fd >= 0) {
    const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
    if (n > 0) {
      if (m_queue.size() >= kQueueLimit) m_queue.dequeue();
      m_queue.enqueue(QByteArray(buffer, qsizetype(n)));
      ++got;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    deviceLost();  // end of file or a device error
    break;
  }
  for (int i = 0; i < got && m_readNotify; ++i) emit reportReadable();
}

std::optional<QByteArray> HidrawReceiver::Read() {
  if (m_queue.isEmpty()) return std::nullopt;
  return m_queue.dequeue();
}

bool HidrawReceiver::writeOutputReport(const QByteArray& report) {
  if (m_fd < 0) return false;
  // Byte 0 is the report number; the rest is padded to the declared length.
  QByteArray data = report;
  if (data.size() < 1 + m_outputLength) data.append(1 + m_outputLength - data.size(), '\0');
  ssize_t n;
  do {
    n = ::write(m_fd, data.constData(), size_t(data.size()));
  } while (n < 0 && errno == EINTR);
  return n == data.size();
}

}  // namespace receiver
