#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <functional>
#include <memory>

#include "cards/CardNumbers.h"
#include "cards/CardSource.h"
#include "framework/ScreenContext.h"

class CardPreview;
class QCheckBox;
class QVideoFrame;

namespace activity {
class PressPipeline;
}
namespace delivery {
class RunSession;
}
namespace receiver {
class Clock;
}

namespace framework {

class CameraFeed;

// Answering with printed cards in an activity, the same for every screen that
// starts one taking presses (a test run, free questions, the homework check, a
// lesson, attendance): the set-up's "Kartlarla cevaplansın" and "Kamera", the
// camera while the activity's window is open, its frames read off the window's
// thread into the activity's press pipeline, and the preview on the window.
//
//   row = CardAnswers::setupRow(context, QStringLiteral("frmDersUygula"), this);
//   ...when the activity opens:
//   if (auto* c = CardAnswers::open(context, pipeline, holders, screen)) {
//     c->follow(&session, &RunSession::changed, [&session] { return state(session); });
//     c->showOn(window);
//   }
class CardAnswers : public QObject {
  Q_OBJECT
 public:
  ~CardAnswers() override;

  // The set-up screen's row: the check box, the camera list with the choice of
  // a still picture, and what cards cannot give. Everything remembered for `screen`.
  // `stacked`: the camera on a second line, for a narrow place.
  static QWidget* setupRow(const ScreenContext& context, const QString& screen, QWidget* parent,
                           bool stacked = false);
  static bool wanted(const ScreenContext& context, const QString& screen);
  // What the set-up says while cards are chosen.
  static QString onlyAtoDText() {
    return QStringLiteral(
        "Kartlar yalnızca A, B, C, D cevaplarını verir; E şıkkı kartla seçilemez.");
  }

  // Reads the cards of `holders` into `pipeline` from the camera or the picture
  // the set-up of `screen` chose; null after a Turkish message when it cannot
  // (the activity goes on with its other sources).
  static CardAnswers* open(const ScreenContext& context, activity::PressPipeline& pipeline,
                           const QList<cards::CardHolder>& holders, const QString& screen,
                           const receiver::Clock* clock = nullptr);
  // Without a camera: frames come only through frameArrived() and stillArrived().
  static CardAnswers* openWithoutCamera(activity::PressPipeline& pipeline,
                                        const QList<cards::CardHolder>& holders,
                                        const QString& screen, const receiver::Clock* clock);
  static CardAnswers* running(const QString& screen);

  // Whether the activity takes answers now, and which question it shows (a new
  // question lets the same letter count again).
  struct State {
    bool answering = false;
    int question = 0;
  };
  template <typename Sender, typename Signal>
  void follow(const Sender* sender, Signal signal, std::function<State()> state) {
    m_state = std::move(state);
    disconnect(m_followed);
    m_followed = connect(sender, signal, this, &CardAnswers::activityChanged);
    activityChanged();
  }
  // A run takes cards on its remote test and while a question is open for answers.
  static State ofRun(const delivery::RunSession& run);
  void followRun(const delivery::RunSession& run);
  // Shows the preview on `window` while answering is open; the camera stops
  // when the window goes.
  void showOn(QWidget* window);
  CardPreview* preview() const;

  // The frame handler: every frame of the camera or picture comes here. It is
  // read on the worker thread; a frame coming while one is read is dropped
  // (false), as is any frame while the activity takes no answers.
  bool frameArrived(const QImage& frame);
  bool videoFrameArrived(const QVideoFrame& frame);
  bool reading() const { return m_reading; }
  // A still picture (a photo of the class taken with a phone, opened or pasted):
  // read on the worker thread like a frame, never dropped for a frame being read,
  // and its cards count at once (one clear picture is one read). False while
  // the activity takes no answers.
  bool stillArrived(const QImage& picture);
  // The preview's "Resim Aç" and "Yapıştır": the picture of a file, or the one
  // on the clipboard (or the picture file copied there), read as a still; what
  // is wrong with it is said on the preview.
  void openPicture();
  void pastePicture();
  static constexpr int kStillNoticeMs = 6000;

  // The activity is over: no more frames are read.
  void stop();

  const QString& screen() const { return m_screen; }
  int cardsCounted() const { return m_source.cardsCounted(); }
  int cardsOfClass() const { return m_source.cardsOfClass(); }

 signals:
  // A frame's read is done: its cards went through to the pipeline, unless the
  // activity moved on meanwhile.
  void frameRead();

 private:
  class Worker;
  CardAnswers(activity::PressPipeline& pipeline, const QList<cards::CardHolder>& holders,
              QString screen, const receiver::Clock* clock);
  void activityChanged();
  bool accepts(const QImage& frame) const;
  void read(const QImage& frame, bool still);
  void takeRead(const QImage& frame, const QList<cards::Sighting>& sightings, qint64 atMs,
                int question, bool still);
  void stillFailed(const QString& text);
  void windowGone();

  const receiver::Clock* m_clock;
  cards::CardSource m_source;
  QString m_screen;
  QThread m_thread;
  Worker* m_worker = nullptr;
  bool m_reading = false;
  bool m_stopped = false;
  CameraFeed* m_feed = nullptr;
  QPointer<CardPreview> m_preview;
  std::function<State()> m_state;
  State m_now;
  QMetaObject::Connection m_followed;
};

}  // namespace framework
