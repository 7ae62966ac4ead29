#include "screens/delivery/QuestionMediaPlayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

QuestionMediaPlayer::QuestionMediaPlayer(QWidget* videoParent, QObject* parent)
    : QObject(parent), m_videoParent(videoParent) {}

QuestionMediaPlayer::~QuestionMediaPlayer() {
  if (m_player) m_player->stop();
}

void QuestionMediaPlayer::ensure() {
  if (m_player) return;
  m_player = new QMediaPlayer(this);
  m_audio = new QAudioOutput(this);
  m_player->setAudioOutput(m_audio);
  videoWidget();
  m_player->setVideoOutput(m_video);
  connect(m_player, &QMediaPlayer::hasVideoChanged, this, [this](bool video) {
    emit videoShown(video && m_player->playbackState() == QMediaPlayer::PlayingState);
  });
  connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
    if (s == QMediaPlayer::EndOfMedia || s == QMediaPlayer::InvalidMedia) emit videoShown(false);
  });
  connect(m_player, &QMediaPlayer::errorOccurred, this,
          [this](QMediaPlayer::Error, const QString& text) {
            emit videoShown(false);
            emit failed(QStringLiteral("Ses/video oynatılamadı (%1)").arg(text));
          });
}

QWidget* QuestionMediaPlayer::videoWidget() {
  if (!m_video) {
    m_video = new QVideoWidget(m_videoParent);
    m_video->setObjectName(QStringLiteral("videoSoru"));
    m_video->hide();
  }
  return m_video;
}

void QuestionMediaPlayer::play(const QString& file) {
  if (file.isEmpty()) return stop();
  ensure();
  m_player->stop();
  m_player->setSource(QUrl::fromLocalFile(file));
  m_player->play();
}

void QuestionMediaPlayer::stop() {
  if (!m_player) return;
  m_player->stop();
  emit videoShown(false);
}
