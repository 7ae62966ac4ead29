#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QCamera;
class QMediaCaptureSession;
class QVideoFrame;
class QVideoSink;

namespace framework {

// Where the frames of answer cards come from: a camera through Qt Multimedia,
// or a still picture (a photo of the class taken with a phone) shown again and
// again, as a camera that never moves would, so that the steadiness rule sees it.
class CameraFeed : public QObject {
  Q_OBJECT
 public:
  struct Camera {
    QString id;
    QString caption;
  };
  // The cameras the system offers now, the default one first.
  static QList<Camera> cameras();

  explicit CameraFeed(QObject* parent = nullptr);
  ~CameraFeed() override;

  // Empty when the frames come; otherwise why not, in Turkish. `id` empty: the
  // default camera.
  QString startCamera(const QString& id);
  QString startStill(const QString& path);
  // A photo file as it was held when taken (the phone's turn applied); null
  // when it is no picture.
  static QImage readStill(const QString& path);
  void stop();

  // A still picture is given again this often.
  static constexpr int kStillIntervalMs = 200;

 signals:
  void videoFrame(const QVideoFrame& frame);
  void picture(const QImage& picture);
  // The camera stopped working after it had started (unplugged, taken by
  // another program): a Turkish text.
  void failed(const QString& text);

 private:
  std::unique_ptr<QCamera> m_camera;
  std::unique_ptr<QMediaCaptureSession> m_session;
  std::unique_ptr<QVideoSink> m_sink;
  QImage m_still;
  QTimer m_stillTimer;
};

}  // namespace framework
