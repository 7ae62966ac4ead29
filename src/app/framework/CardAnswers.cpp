#include "framework/CardAnswers.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QVideoFrame>

#include "Messages.h"
#include "cards/CardSettings.h"
#include "delivery/RunSession.h"
#include "framework/CameraFeed.h"
#include "framework/CardPreview.h"
#include "framework/FileDialogs.h"
#include "receiver/Clock.h"
#include "store/Store.h"

namespace framework {

// Reads frames on its own thread, with a reader of its own: a reader serves
// one thread.
class CardAnswers::Worker : public QObject {
 public:
  cards::CardReader reader{2.0f, 2};
};

namespace {
QList<QPointer<CardAnswers>>& all() {
  static QList<QPointer<CardAnswers>> list;
  return list;
}

// The camera list's entry that asks for a picture file instead.
const QString kChoosePicture = QStringLiteral("::resim");
}  // namespace

CardAnswers::CardAnswers(activity::PressPipeline& pipeline, const QList<cards::CardHolder>& holders,
                         QString screen, const receiver::Clock* clock)
    : m_clock(clock ? clock : &receiver::SteadyClock::instance()),
      m_source(pipeline, m_clock),
      m_screen(std::move(screen)) {
  m_source.setClass(holders);
  m_worker = new Worker;
  m_worker->moveToThread(&m_thread);
  connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
  m_thread.setObjectName(QStringLiteral("kartOkuma"));
  m_thread.start();
  all().removeAll(nullptr);
  all().append(this);
}

CardAnswers::~CardAnswers() {
  // The worker's last read finishes before anything it reports to is gone.
  m_thread.quit();
  m_thread.wait();
  stop();
}

bool CardAnswers::wanted(const ScreenContext& context, const QString& screen) {
  const Result<cards::CardSettings> s = cards::CardSettings::load(context.store.db(), screen);
  return s && s->wanted;
}

QWidget* CardAnswers::setupRow(const ScreenContext& context, const QString& screen, QWidget* parent,
                               bool stacked) {
  auto* row = new QWidget(parent);
  row->setObjectName(QStringLiteral("cardAnswersRow"));
  auto* grid = new QGridLayout(row);
  grid->setContentsMargins(0, 0, 0, 0);
  auto* box = new QCheckBox(QStringLiteral("Kartlarla cevaplansın"), row);
  box->setObjectName(QStringLiteral("chkKartlarlaCevaplansin"));
  box->setToolTip(
      QStringLiteral("Öğrenciler basılı kartlarını cevaplarının harfi üstte olacak şekilde "
                     "kaldırır; kamera kartları okur."));
  auto* cameraLabel = new QLabel(QStringLiteral("Kamera:"), row);
  auto* camera = new QComboBox(row);
  camera->setObjectName(QStringLiteral("cmbKamera"));
  // A long camera name never widens the set-up screen: the open list shows it whole.
  camera->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  camera->setMinimumContentsLength(8);
  cameraLabel->setBuddy(camera);
  // Short, on the same line: the set-up must still fit a laptop's 768 lines.
  auto* hint = new QLabel(QStringLiteral("(yalnız A–D)"), row);
  hint->setObjectName(QStringLiteral("lblKartUyari"));
  hint->setToolTip(onlyAtoDText());
  grid->addWidget(box, 0, 0);
  grid->addWidget(hint, 0, 1);
  if (stacked) {
    grid->setVerticalSpacing(2);
    auto* cameraLine = new QHBoxLayout;
    cameraLine->addWidget(cameraLabel);
    cameraLine->addWidget(camera, 1);
    grid->addLayout(cameraLine, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
  } else {
    grid->addWidget(cameraLabel, 0, 2);
    grid->addWidget(camera, 0, 3);
    grid->setColumnStretch(3, 1);
  }

  const Result<cards::CardSettings> loaded = cards::CardSettings::load(context.store.db(), screen);
  const cards::CardSettings saved = loaded ? loaded.value() : cards::CardSettings{};
  box->setChecked(saved.wanted);
  hint->setVisible(saved.wanted);
  const QList<CameraFeed::Camera> cameras = CameraFeed::cameras();
  for (const CameraFeed::Camera& c : cameras) camera->addItem(c.caption, c.id);
  int at = 0;
  if (!saved.stillPicture.isEmpty()) {
    camera->addItem(QStringLiteral("Resim: %1").arg(QFileInfo(saved.stillPicture).fileName()),
                    QStringLiteral("::dosya:") + saved.stillPicture);
    at = camera->count() - 1;
  } else if (!saved.camera.isEmpty()) {
    at = camera->findData(saved.camera);
    if (at < 0) {  // chosen once, unplugged now: kept, and said so
      camera->addItem(QStringLiteral("%1 (takılı değil)").arg(saved.camera), saved.camera);
      at = camera->count() - 1;
    }
  } else if (cameras.isEmpty()) {
    camera->addItem(QStringLiteral("(kamera bulunamadı)"), QString());
  }
  camera->addItem(QStringLiteral("Resim dosyasından…"), kChoosePicture);
  camera->setCurrentIndex(at);

  const auto save = [&store = context.store, &messages = context.messages, screen, box, camera] {
    cards::CardSettings s;
    s.wanted = box->isChecked();
    const QString data = camera->currentData().toString();
    if (data.startsWith(QLatin1String("::dosya:")))
      s.stillPicture = data.mid(8);
    else
      s.camera = data;
    if (const Status st = s.save(store.db(), screen); !st) messages.error(st.error());
  };
  QObject::connect(box, &QCheckBox::toggled, row, [save, hint](bool on) {
    hint->setVisible(on);
    save();
  });
  auto last = std::make_shared<int>(at);
  QObject::connect(camera, &QComboBox::activated, row, [camera, save, last, row](int index) {
    if (camera->itemData(index).toString() == kChoosePicture) {
      const QString path = filedialogs::openFile(
          row, QStringLiteral("Fotograf"), QStringLiteral("Sınıfın Fotoğrafı"),
          QStringLiteral("Resimler (*.jpg *.jpeg *.png *.bmp);;Tüm dosyalar (*)"));
      if (path.isEmpty()) {
        camera->setCurrentIndex(*last);
        return;
      }
      camera->insertItem(index, QStringLiteral("Resim: %1").arg(QFileInfo(path).fileName()),
                         QStringLiteral("::dosya:") + path);
      camera->setCurrentIndex(index);
    }
    *last = camera->currentIndex();
    save();
  });
  return row;
}

CardAnswers* CardAnswers::openWithoutCamera(activity::PressPipeline& pipeline,
                                            const QList<cards::CardHolder>& holders,
                                            const QString& screen, const receiver::Clock* clock) {
  return new CardAnswers(pipeline, holders, screen, clock);
}

CardAnswers* CardAnswers::open(const ScreenContext& context, activity::PressPipeline& pipeline,
                               const QList<cards::CardHolder>& holders, const QString& screen,
                               const receiver::Clock* clock) {
  const auto cannot = [&context](const QString& why) {
    context.messages.warning(
        QStringLiteral("Kartlarla cevaplama başlatılamadı: %1\n\nEtkinlik diğer cevap yollarıyla "
                       "sürüyor.")
            .arg(why));
  };
  const Result<cards::CardSettings> settings =
      cards::CardSettings::load(context.store.db(), screen);
  if (!settings) {
    cannot(settings.error());
    return nullptr;
  }
  bool anyCard = false;
  for (const cards::CardHolder& h : holders) anyCard = anyCard || h.card > 0;
  if (!anyCard) {
    cannot(
        QStringLiteral("Bu sınıfın öğrencilerine kart verilmemiş (Tanımlamalar, "
                       "\"Kartları Yazdır\")."));
    return nullptr;
  }
  auto* answers = new CardAnswers(pipeline, holders, screen, clock);
  answers->m_feed = new CameraFeed(answers);
  connect(answers->m_feed, &CameraFeed::videoFrame, answers, &CardAnswers::videoFrameArrived);
  connect(answers->m_feed, &CameraFeed::picture, answers, &CardAnswers::frameArrived);
  connect(answers->m_feed, &CameraFeed::failed, answers, [answers](const QString& text) {
    if (answers->m_preview)
      answers->m_preview->setNotice(text + QStringLiteral("\nCevaplar diğer yollarla alınıyor."));
  });
  const QString failed = settings->stillPicture.isEmpty()
                             ? answers->m_feed->startCamera(settings->camera)
                             : answers->m_feed->startStill(settings->stillPicture);
  if (!failed.isEmpty()) {
    delete answers;
    cannot(failed);
    return nullptr;
  }
  return answers;
}

CardAnswers* CardAnswers::running(const QString& screen) {
  for (const QPointer<CardAnswers>& a : std::as_const(all()))
    if (a && a->screen() == screen && !a->m_stopped) return a;
  return nullptr;
}

CardAnswers::State CardAnswers::ofRun(const delivery::RunSession& run) {
  using Page = delivery::RunSession::Page;
  State s;
  s.answering =
      run.page() == Page::RemoteTest || (run.page() == Page::Question && run.votingOpen());
  s.question = run.page() == Page::RemoteTest ? -1 : run.position();
  return s;
}

void CardAnswers::followRun(const delivery::RunSession& run) {
  follow(&run, &delivery::RunSession::changed, [&run] { return ofRun(run); });
}

CardPreview* CardAnswers::preview() const { return m_preview.data(); }

void CardAnswers::showOn(QWidget* window) {
  m_preview = new CardPreview(window);
  m_preview->setCount(m_source.cardsCounted(), m_source.cardsOfClass());
  m_preview->place();
  m_preview->setVisible(m_now.answering);
  m_preview->raise();
  connect(window, &QObject::destroyed, this, &CardAnswers::windowGone);
  connect(m_preview, &CardPreview::openPictureRequested, this, &CardAnswers::openPicture);
  connect(m_preview, &CardPreview::pasteRequested, this, &CardAnswers::pastePicture);
}

void CardAnswers::activityChanged() {
  const State now = m_state ? m_state() : State{true, 0};
  if (now.question != m_now.question) m_source.newQuestion();
  m_now = now;
  if (m_preview) {
    m_preview->setCount(m_source.cardsCounted(), m_source.cardsOfClass());
    if (m_preview->isVisible() != now.answering) {
      m_preview->setVisible(now.answering);
      if (now.answering) m_preview->raise();
    }
  }
}

bool CardAnswers::videoFrameArrived(const QVideoFrame& frame) {
  // Turned into a picture only when it will be read: most frames are dropped.
  if (m_reading || m_stopped || !m_now.answering) return false;
  return frameArrived(frame.toImage());
}

bool CardAnswers::accepts(const QImage& frame) const {
  return !m_stopped && m_now.answering && !frame.isNull();
}

bool CardAnswers::frameArrived(const QImage& frame) {
  if (m_reading || !accepts(frame)) return false;
  m_reading = true;
  read(frame, false);
  return true;
}

bool CardAnswers::stillArrived(const QImage& picture) {
  if (!accepts(picture)) return false;
  read(picture, true);
  return true;
}

void CardAnswers::read(const QImage& frame, bool still) {
  // The frame's time is when it came, not when its read is done.
  const qint64 at = m_clock->msecs();
  const int question = m_now.question;
  Worker* worker = m_worker;
  QMetaObject::invokeMethod(worker, [this, worker, frame, at, question, still] {
    const QList<cards::Sighting> sightings = worker->reader.read(frame);
    QMetaObject::invokeMethod(
        this,
        [this, frame, sightings, at, question, still] {
          takeRead(frame, sightings, at, question, still);
        },
        Qt::QueuedConnection);
  });
}

void CardAnswers::openPicture() {
  QWidget* over = m_preview ? m_preview->window() : nullptr;
  const QString path = filedialogs::openFile(
      over, QStringLiteral("Fotograf"), QStringLiteral("Sınıfın Fotoğrafı"),
      QStringLiteral("Resimler (*.jpg *.jpeg *.png *.bmp);;Tüm dosyalar (*)"));
  if (path.isEmpty()) return;
  const QImage picture = CameraFeed::readStill(path);
  if (picture.isNull())
    stillFailed(QStringLiteral("%1 bir resim olarak açılamadı.").arg(QFileInfo(path).fileName()));
  else if (!stillArrived(picture))
    stillFailed(QStringLiteral("Şu anda kartla cevap alınmıyor."));
}

void CardAnswers::pastePicture() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  QImage picture;
  if (data && data->hasImage()) picture = qvariant_cast<QImage>(data->imageData());
  // A photo file copied in the file manager comes as its address.
  if (picture.isNull() && data && data->hasUrls())
    for (const QUrl& url : data->urls()) {
      if (url.isLocalFile()) picture = CameraFeed::readStill(url.toLocalFile());
      if (!picture.isNull()) break;
    }
  if (picture.isNull())
    stillFailed(QStringLiteral("Panoda resim yok: fotoğrafı kopyalayıp yeniden yapıştırınız."));
  else if (!stillArrived(picture))
    stillFailed(QStringLiteral("Şu anda kartla cevap alınmıyor."));
}

void CardAnswers::stillFailed(const QString& text) {
  if (!m_preview) return;
  m_preview->setNotice(text);
  // Said for a while, then the camera's picture is free again.
  QTimer::singleShot(kStillNoticeMs, m_preview, [preview = m_preview, text] {
    if (preview->notice() == text) preview->setNotice({});
  });
}

void CardAnswers::takeRead(const QImage& frame, const QList<cards::Sighting>& sightings,
                           qint64 atMs, int question, bool still) {
  if (!still) m_reading = false;
  // The activity may have moved on without saying so (its window closing).
  if (!m_stopped && m_state) activityChanged();
  // Read for a question the activity has left, or after it closed: not pressed.
  if (m_stopped || !m_now.answering || question != m_now.question) {
    emit frameRead();
    return;
  }
  const cards::CardSource::Frame read =
      still ? m_source.takeStill(sightings, atMs) : m_source.take(sightings, atMs);
  if (still && m_preview) m_preview->setNotice({});
  if (m_preview) {
    QList<CardPreview::Outline> outlines;
    for (const cards::CardSource::Seen& s : read.known)
      outlines << CardPreview::Outline{
          s.sighting.corners,
          (s.holder.student.name + QLatin1Char(' ') + s.holder.student.surname).trimmed()};
    m_preview->setFrame(frame, outlines);
    m_preview->setCount(m_source.cardsCounted(), m_source.cardsOfClass());
  }
  emit frameRead();
}

void CardAnswers::stop() {
  m_stopped = true;
  // The activity may be gone already: nothing of it is asked again.
  disconnect(m_followed);
  m_state = {};
  if (m_feed) m_feed->stop();
  if (m_preview) m_preview->hide();
}

void CardAnswers::windowGone() {
  stop();
  deleteLater();
}

}  // namespace framework
