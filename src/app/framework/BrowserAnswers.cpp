#include "framework/BrowserAnswers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "Messages.h"
#include "framework/JoinPanel.h"
#include "framework/RunTilesView.h"
#include "store/Store.h"
#include "web/BrowserSettings.h"

namespace framework {

namespace {
QList<QPointer<BrowserAnswers>>& all() {
  static QList<QPointer<BrowserAnswers>> list;
  return list;
}

// On a board with one screen the teacher's screen is the projected one, so the
// teacher's code is not on it by itself: a button beside the join panel shows
// it for a few seconds, when the teacher chooses a moment the class is not
// copying it.
class TeacherCodeOffer : public QPushButton {
 public:
  static constexpr int kShownMs = 10000;

  TeacherCodeOffer(JoinPanel* panel, QString code)
      : QPushButton(panel->parentWidget()), m_panel(panel), m_code(std::move(code)) {
    setObjectName(QStringLiteral("cmdOgretmenKodu"));
    setToolTip(QStringLiteral(
        "Telefonunuzdan dersi yönetmek için öğretmen kodunu birkaç saniye gösterir"));
    // Pressed by a finger at the board.
    setMinimumHeight(44);
    QFont large = font();
    large.setPointSizeF(large.pointSizeF() * 1.3);
    setFont(large);
    m_hide.setSingleShot(true);
    m_hide.setInterval(kShownMs);
    connect(&m_hide, &QTimer::timeout, this, [this] { reveal(false); });
    connect(this, &QPushButton::clicked, this, [this] { reveal(!m_hide.isActive()); });
    reveal(false);
    panel->installEventFilter(this);
    follow();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == m_panel && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                               event->type() == QEvent::Show || event->type() == QEvent::Hide))
      follow();
    return QPushButton::eventFilter(watched, event);
  }

 private:
  void reveal(bool shown) {
    setText(shown ? QStringLiteral("Öğretmen kodu: %1").arg(m_code)
                  : QStringLiteral("Öğretmen Kodu"));
    if (shown)
      m_hide.start();
    else
      m_hide.stop();
    follow();
  }
  // Below the panel where the window has room (the start page's large panel),
  // else above it (the corner); its right edge with the panel's.
  void follow() {
    if (!m_panel) return;
    setVisible(m_panel->isVisibleTo(m_panel->parentWidget()));
    adjustSize();
    const QRect p = m_panel->geometry();
    constexpr int kGap = 6;
    const bool below = p.bottom() + kGap + height() < parentWidget()->height();
    move(p.right() - width() + 1,
         below ? p.bottom() + kGap : std::max(0, p.top() - height() - kGap));
    raise();
  }

  QPointer<JoinPanel> m_panel;
  QString m_code;
  QTimer m_hide;
};
}  // namespace

BrowserAnswersNotifier& BrowserAnswersNotifier::instance() {
  static BrowserAnswersNotifier notifier;
  return notifier;
}

BrowserAnswers::BrowserAnswers(activity::PressPipeline& pipeline, QList<web::RosterEntry> roster,
                               QString screen)
    : m_roster(roster), m_screen(std::move(screen)) {
  m_server = std::make_unique<web::AnswerServer>(pipeline, m_view, std::move(roster));
}

BrowserAnswers::~BrowserAnswers() { stop(); }

QCheckBox* BrowserAnswers::checkBox(const ScreenContext& context, const QString& screen,
                                    QWidget* parent) {
  auto* box = new QCheckBox(QStringLiteral("Tarayıcıdan cevaplansın"), parent);
  box->setObjectName(QStringLiteral("chkTarayicidanCevaplansin"));
  box->setToolTip(
      QStringLiteral("Öğrenciler okulun ağındaki telefon, tablet ya da bilgisayarlarının "
                     "tarayıcısından da cevap verir."));
  box->setChecked(wanted(context, screen));
  QObject::connect(box, &QCheckBox::clicked, box,
                   [&store = context.store, &messages = context.messages, box, screen](bool on) {
                     if (const Status s = web::BrowserSettings::setWanted(store.db(), screen, on);
                         !s) {
                       box->setChecked(!on);
                       messages.error(s.error());
                     }
                   });
  return box;
}

QWidget* BrowserAnswers::setupRow(const ScreenContext& context, const QString& screen,
                                  QWidget* parent) {
  auto* row = new QWidget(parent);
  row->setObjectName(QStringLiteral("browserAnswersRow"));
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  QCheckBox* box = checkBox(context, screen, row);
  auto* status = new QLabel(row);
  status->setObjectName(QStringLiteral("lblTarayiciDurum"));
  status->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A long address never widens the set-up screen: what does not fit is in the tip.
  status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  layout->addWidget(box);
  layout->addWidget(status, 1);

  const auto show = [status](BrowserAnswers* answers) {
    status->setText(answers->teacherText());
    status->setToolTip(answers->teacherText());
    QObject::connect(answers, &QObject::destroyed, status, [status] {
      status->clear();
      status->setToolTip({});
    });
  };
  if (BrowserAnswers* now = running(screen)) show(now);
  QObject::connect(&BrowserAnswersNotifier::instance(), &BrowserAnswersNotifier::opened, status,
                   [show, screen](BrowserAnswers* answers) {
                     if (answers->screen() == screen) show(answers);
                   });
  return row;
}

QWidget* BrowserAnswers::settingsBox(QWidget* parent) {
  auto* box = new QGroupBox(QStringLiteral("Tarayıcıdan Cevaplama"), parent);
  box->setObjectName(QStringLiteral("grpTarayici"));
  auto* port = new QSpinBox(box);
  port->setObjectName(QStringLiteral("txtTarayiciPort"));
  // Below 1024 a port needs the administrator.
  port->setRange(1024, 65535);
  auto* network = new QComboBox(box);
  network->setObjectName(QStringLiteral("cmbTarayiciArayuz"));
  const web::BrowserSettings saved = web::BrowserSettings::load();
  port->setValue(saved.port);
  network->addItem(web::BrowserSettings::allInterfacesCaption(), QString());
  for (const web::BrowserSettings::Interface& i : web::BrowserSettings::interfaces())
    network->addItem(i.caption(), i.name);
  int at = network->findData(saved.interfaceName);
  if (at < 0) {  // chosen once, down now: kept, and said so
    network->addItem(QStringLiteral("%1 (bağlı değil)").arg(saved.interfaceName),
                     saved.interfaceName);
    at = network->count() - 1;
  }
  network->setCurrentIndex(at);
  const auto save = [port, network] {
    web::BrowserSettings s;
    s.port = quint16(port->value());
    s.interfaceName = network->currentData().toString();
    s.save();
  };
  QObject::connect(port, &QSpinBox::valueChanged, box, save);
  QObject::connect(network, &QComboBox::currentIndexChanged, box, save);
  auto* form = new QFormLayout(box);
  form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
  network->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  port->setMinimumWidth(120);
  form->addRow(QStringLiteral("Bağlantı noktası (port):"), port);
  form->addRow(QStringLiteral("Ağ arayüzü:"), network);
  auto* hint = new QLabel(QStringLiteral("Öğrencilerin cihazları tahtaya bu arayüzün adresiyle "
                                         "bağlanır; \"Tümü\" ilk ağ bağlantısının adresini "
                                         "gösterir. Port doluysa sıradaki boş port kullanılır."),
                          box);
  hint->setWordWrap(true);
  form->addRow(hint);
  return box;
}

bool BrowserAnswers::wanted(const ScreenContext& context, const QString& screen) {
  return web::BrowserSettings::wanted(context.store.db(), screen);
}

BrowserAnswers* BrowserAnswers::open(const ScreenContext& context,
                                     activity::PressPipeline& pipeline,
                                     QList<web::RosterEntry> roster, const QString& screen) {
  auto* answers = new BrowserAnswers(pipeline, std::move(roster), screen);
  if (const Status s = answers->server().start(web::BrowserSettings::load().serverOptions()); !s) {
    delete answers;
    context.messages.warning(
        QStringLiteral("Tarayıcıdan cevaplama başlatılamadı: %1\n\nEtkinlik kumandalarla sürüyor.")
            .arg(s.error()));
    return nullptr;
  }
  all().removeAll(nullptr);
  all().append(answers);
  emit BrowserAnswersNotifier::instance().opened(answers);
  return answers;
}

BrowserAnswers* BrowserAnswers::running(const QString& screen) {
  for (const QPointer<BrowserAnswers>& a : std::as_const(all()))
    if (a && a->screen() == screen) return a;
  return nullptr;
}

void BrowserAnswers::showOn(QWidget* window, std::function<bool()> large) {
  auto* panel = new JoinPanel(window);
  if (!panel->setJoin(web::joinUrl(*m_server), shortAddress(), m_server->joinCode()))
    qWarning("Karekod oluşturulamadı: %s", qPrintable(web::joinUrl(*m_server)));
  panel->setLarge(large && large());
  panel->place();
  panel->show();
  if (QGuiApplication::screens().size() < 2) new TeacherCodeOffer(panel, m_server->teacherCode());
  m_shown.append({window, panel, std::move(large)});
  connect(window, &QObject::destroyed, this, &BrowserAnswers::windowGone);
  for (RunTilesView* tiles : window->findChildren<RunTilesView*>())
    connect(tiles, &RunTilesView::tileMenuRequested, this, &BrowserAnswers::tileMenu);
}

QString BrowserAnswers::shortAddress() const {
  QString url = m_server->url();
  if (url.endsWith(QLatin1Char('/'))) url.chop(1);
  return url;
}

QString BrowserAnswers::teacherText() const {
  return QStringLiteral("Katılım: %1  Kod: %2  Öğretmen kodu: %3")
      .arg(shortAddress(), m_server->joinCode(), m_server->teacherCode());
}

QList<JoinPanel*> BrowserAnswers::panels() const {
  QList<JoinPanel*> out;
  for (const Shown& s : m_shown)
    if (s.panel) out << s.panel;
  return out;
}

bool BrowserAnswers::releaseDevice(const QString& address) {
  const QStringList joined = m_server->joined();
  for (const web::RosterEntry& e : std::as_const(m_roster))
    if (e.address == address && joined.contains(e.number)) {
      m_server->release(e.number);
      return true;
    }
  return false;
}

void BrowserAnswers::stop() {
  m_server->stop();
  for (const Shown& s : std::as_const(m_shown)) delete s.panel.data();
}

void BrowserAnswers::activityChanged() {
  m_server->stateChanged();
  for (const Shown& s : std::as_const(m_shown))
    if (s.panel && s.large) s.panel->setLarge(s.large());
}

void BrowserAnswers::windowGone(QObject* gone) {
  // A widget says destroyed() before its QPointers are cleared: compare.
  m_shown.removeIf([gone](const Shown& s) { return !s.window || s.window.data() == gone; });
  if (!m_shown.isEmpty()) return;
  // The last window of the activity closed: the devices' keys die with it now,
  // not when the event loop comes round.
  stop();
  deleteLater();
}

void BrowserAnswers::tileMenu(const QString& address, const QPoint& globalPos) {
  bool joined = false;
  for (const web::RosterEntry& e : std::as_const(m_roster))
    if (e.address == address) joined = m_server->joined().contains(e.number);
  QMenu menu;
  QAction* release = menu.addAction(QStringLiteral("Cihazı Serbest Bırak"));
  release->setObjectName(QStringLiteral("mnuCihaziSerbestBirak"));
  release->setEnabled(joined);
  if (menu.exec(globalPos) == release) releaseDevice(address);
}

}  // namespace framework
