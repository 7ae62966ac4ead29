#include "framework/CameraFeed.h"

#include <QCamera>
#include <QCameraDevice>
#include <QImageReader>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>

namespace framework {

QList<CameraFeed::Camera> CameraFeed::cameras() {
  QList<Camera> out;
  const QCameraDevice preferred = QMediaDevices::defaultVideoInput();
  for (const QCameraDevice& d : QMediaDevices::videoInputs()) {
    const Camera c{QString::fromUtf8(d.id()), d.description()};
    if (d == preferred)
      out.prepend(c);
    else
      out.append(c);
  }
  return out;
}

CameraFeed::CameraFeed(QObject* parent) : QObject(parent) {
  m_stillTimer.setInterval(kStillIntervalMs);
  connect(&m_stillTimer, &QTimer::timeout, this, [this] { emit picture(m_still); });
}

CameraFeed::~CameraFeed() { stop(); }

QString CameraFeed::startCamera(const QString& id) {
  stop();
  const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
  if (devices.isEmpty()) return QStringLiteral("Bu bilgisayarda kamera bulunamadı.");
  QCameraDevice device = QMediaDevices::defaultVideoInput();
  if (!id.isEmpty()) {
    device = {};
    for (const QCameraDevice& d : devices)
      if (QString::fromUtf8(d.id()) == id) device = d;
    if (device.isNull())
      return QStringLiteral("Seçilen kamera takılı değil; kurulumdan başka bir kamera seçiniz.");
  }
  m_camera = std::make_unique<QCamera>(device);
  m_session = std::make_unique<QMediaCaptureSession>();
  m_sink = std::make_unique<QVideoSink>();
  m_session->setCamera(m_camera.get());
  m_session->setVideoSink(m_sink.get());
  connect(m_sink.get(), &QVideoSink::videoFrameChanged, this, &CameraFeed::videoFrame);
  connect(m_camera.get(), &QCamera::errorOccurred, this,
          [this](QCamera::Error error, const QString& detail) {
            if (error == QCamera::NoError) return;
            // The library's own words only as a detail, after ours.
            emit failed(QStringLiteral("Kamera çalışmıyor (%1).").arg(detail));
          });
  m_camera->start();
  if (m_camera->error() != QCamera::NoError) {
    const QString detail = m_camera->errorString();
    stop();
    return QStringLiteral("Kamera açılamadı (%1).").arg(detail);
  }
  return {};
}

QString CameraFeed::startStill(const QString& path) {
  stop();
  const QImage image = readStill(path);
  if (image.isNull())
    return QStringLiteral("Resim açılamadı: %1\nDosya bir resim (JPEG, PNG) olmalıdır.").arg(path);
  m_still = image;
  m_stillTimer.start();
  emit picture(m_still);
  return {};
}

QImage CameraFeed::readStill(const QString& path) {
  QImageReader reader(path);
  reader.setAutoTransform(true);
  return reader.read();
}

void CameraFeed::stop() {
  m_stillTimer.stop();
  if (m_camera) m_camera->stop();
  m_session.reset();
  m_camera.reset();
  m_sink.reset();
}

}  // namespace framework
