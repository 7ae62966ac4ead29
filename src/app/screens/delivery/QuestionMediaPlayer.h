#pragma once

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;
class QWidget;

// Plays a question's sound or video (Sesler/<SORUNO>.*). Made on first use, so a
// run without media never loads a media back end. A machine without sound output
// or without a decoder stays silent: failures go to the log, never to the class.
class QuestionMediaPlayer : public QObject {
  Q_OBJECT
 public:
  // `videoParent` receives the video picture (hidden until a video plays).
  QuestionMediaPlayer(QWidget* videoParent, QObject* parent = nullptr);
  ~QuestionMediaPlayer() override;

  void play(const QString& file);
  void stop();
  QWidget* videoWidget();

 signals:
  // A video is being shown (true) or is over (false): the window swaps the
  // question picture and the video.
  void videoShown(bool on);
  void failed(const QString& text);

 private:
  void ensure();

  QWidget* m_videoParent;
  QMediaPlayer* m_player = nullptr;
  QAudioOutput* m_audio = nullptr;
  QVideoWidget* m_video = nullptr;
};
