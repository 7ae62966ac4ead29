#include "framework/ReceiverController.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

#include "framework/ReceiverDiagnosticsPanel.h"
#include "receiver/Colors.h"
#include "receiver/HidrawReceiver.h"
#include "receiver/ReportDecoder.h"
#include "receiver/SimulatedReceiver.h"
#include "store/Parameters.h"

Q_LOGGING_CATEGORY(lcPress, "derslik.press", QtInfoMsg)

namespace framework {

namespace {

const QString kSection = QStringLiteral("USBDurum");
const QString kKey = QStringLiteral("USBDurum");

// The indicator pictures: a filled disc for the receiver, a ring for reception.
QPixmap indicator(const QColor& color, bool ring) {
  QPixmap pm(18, 18);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  if (ring) {
    p.setPen(QPen(color, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2.5, 2.5, 13, 13));
  } else {
    p.setPen(QPen(color.darker(140), 1));
    p.setBrush(color);
    p.drawEllipse(QRectF(1.5, 1.5, 15, 15));
  }
  return pm;
}

QLabel* picture(QWidget* parent, const QString& name, const QColor& color, bool ring,
                const QString& toolTip) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  l->setPixmap(indicator(color, ring));
  l->setToolTip(toolTip);
  return l;
}

}  // namespace

ReceiverController::ReceiverController(QMdiArea* mdi, QObject* parent)
    : QObject(parent), m_mdi(mdi), m_router(mdi) {
  m_timerConnect.setSingleShot(true);
  m_timerConnect.setInterval(100);
  connect(&m_timerConnect, &QTimer::timeout, this, &ReceiverController::timerConnectToHID_Timer);
  m_timerRepeat.setSingleShot(true);
  m_timerRepeat.setInterval(int(receiver::RepeatWindow::kWindowMs));
  // The window itself is decided by the clock; the tick only shows in the
  // diagnostics that it has run out.
  connect(&m_timerRepeat, &QTimer::timeout, &m_diagnostics, &receiver::ReportDiagnostics::changed);
  m_pipeline.setTarget([this] { return m_router.activeConsumer(); });
  connect(
      &m_pipeline, &activity::PressPipeline::admitted, this,
      [this](const receiver::AdmittedPress& p) {
        qCDebug(lcPress).noquote()
            << QStringLiteral("Düğme Basıldı - %1-%2").arg(p.press.KumandaAdresi, p.press.Dugme);
        m_timerRepeat.start();
        m_held = true;
        emit pressAccepted(p.press.KumandaAdresi, p.press.Dugme, p.teacher);
      });

  buildStatusWidget();
  setLink(std::make_unique<receiver::HidrawReceiver>());

  if (m_mdi && m_mdi->window()) {
    // Technicians open the hidden diagnostics with Ctrl+Alt+Shift+D.
    auto* shortcut =
        new QShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+Shift+D")), m_mdi->window());
    connect(shortcut, &QShortcut::activated, this, &ReceiverController::showDiagnostics);
  }
}

ReceiverController::~ReceiverController() {
  if (m_link) m_link->disconnect(this);
  if (m_status && !m_status->parent()) delete m_status;
  delete m_panel;
}

void ReceiverController::buildStatusWidget() {
  m_status = new QWidget;
  m_status->setObjectName(QStringLiteral("AliciDurumu"));
  auto* box = new QHBoxLayout(m_status);
  box->setContentsMargins(4, 2, 4, 2);
  box->setSpacing(4);
  const QColor green(0, 160, 0);
  const QColor grey(150, 150, 150);
  m_imgON = picture(m_status, QStringLiteral("imgON"), green, false, {});
  m_imgOFF = picture(m_status, QStringLiteral("imgOFF"), grey, false,
                     QStringLiteral("Alıcı takılı değil"));
  m_imgON2 = picture(m_status, QStringLiteral("imgON2"), green, true,
                     QStringLiteral("Kumandalar dinleniyor"));
  m_imgOFF2 =
      picture(m_status, QStringLiteral("imgOFF2"), grey, true, QStringLiteral("Alıcı bekleniyor"));
  m_lblAliciBagli = new QLabel(QStringLiteral("Alıcı Bağlı Değil"), m_status);
  m_lblAliciBagli->setObjectName(QStringLiteral("lblAliciBagli"));
  m_lblUSBOnOff = new QLabel(m_status);
  m_lblUSBOnOff->setObjectName(QStringLiteral("lblUSBOnOff"));
  m_lblUSBOnOff->setToolTip(
      QStringLiteral("Kumanda alımını açmak ya da kapatmak için çift tıklayın"));
  m_lblUSBOnOff->installEventFilter(this);
  // The same switch for a finger (a double-click is no gesture of a board).
  m_cmdUSBOnOff = new QPushButton(m_status);
  m_cmdUSBOnOff->setObjectName(QStringLiteral("cmdUSBOnOff"));
  m_cmdUSBOnOff->setFocusPolicy(Qt::NoFocus);
  connect(m_cmdUSBOnOff, &QPushButton::clicked, this, &ReceiverController::lblUSBOnOff_DblClick);
  for (QWidget* w : {static_cast<QWidget*>(m_imgON), static_cast<QWidget*>(m_imgOFF),
                     static_cast<QWidget*>(m_imgON2), static_cast<QWidget*>(m_imgOFF2),
                     static_cast<QWidget*>(m_lblAliciBagli), static_cast<QWidget*>(m_lblUSBOnOff),
                     static_cast<QWidget*>(m_cmdUSBOnOff)})
    box->addWidget(w);
  showState();

  auto* diag = new QAction(QStringLiteral("Alıcı tanılama..."), m_status);
  connect(diag, &QAction::triggered, this, &ReceiverController::showDiagnostics);
  m_status->addAction(diag);
  m_status->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ReceiverController::showState() {
  // The disc shows the receiver, the ring whether presses are listened to.
  m_imgON->setVisible(m_present);
  m_imgOFF->setVisible(!m_present);
  m_imgON2->setVisible(m_present && m_reception);
  m_imgOFF2->setVisible(!m_present && m_reception);
  m_lblAliciBagli->setText(m_present ? QStringLiteral("Alıcı Bağlı")
                                     : QStringLiteral("Alıcı Bağlı Değil"));
  QPalette pal = m_lblAliciBagli->palette();
  pal.setColor(QPalette::WindowText,
               m_present ? QColor(0, 128, 0) : receiver::colorFromColorRef(receiver::colors::kRed));
  m_lblAliciBagli->setPalette(pal);
  m_lblUSBOnOff->setText(m_reception ? QStringLiteral("Kumanda alımı açık")
                                     : QStringLiteral("Kumanda alımı kapalı"));
  m_cmdUSBOnOff->setText(m_reception ? QStringLiteral("Kapat") : QStringLiteral("Aç"));
}

void ReceiverController::setLink(std::unique_ptr<receiver::ReceiverLink> link) {
  const bool wasConnected = m_link && m_link->isConnected();
  if (m_link) {
    m_link->disconnect(this);
    m_link->Disconnect();
  }
  m_link = std::move(link);
  if (!m_link) return;
  using receiver::ReceiverLink;
  connect(m_link.get(), &ReceiverLink::plugged, this, &ReceiverController::OnPlugged);
  connect(m_link.get(), &ReceiverLink::unplugged, this, &ReceiverController::OnUnplugged);
  connect(m_link.get(), &ReceiverLink::deviceListChanged, this, &ReceiverController::OnChanged);
  connect(m_link.get(), &ReceiverLink::reportReadable, this, &ReceiverController::OnRead);
  connect(m_link.get(), &ReceiverLink::problem, this, [this](const QString& text) {
    m_diagnostics.note(text);
    m_lblAliciBagli->setToolTip(text);
    emit logLine(text);
  });
  if (wasConnected) ConnectToHID();
}

void ReceiverController::setClock(const receiver::Clock* clock) {
  m_clock = clock ? clock : &receiver::SteadyClock::instance();
  m_pipeline.setClock(m_clock);
}

void ReceiverController::useSimulation(int remotes, const QStringList& addresses,
                                       std::function<bool(const QString&)> isTeacher,
                                       std::optional<receiver::SimulationOptions> given) {
  receiver::SimulationOptions options = given.value_or(receiver::SimulationOptions{});
  options.remotes = remotes;
  if (!given) options.seed = quint32(QDateTime::currentMSecsSinceEpoch());
  options.addresses = addresses;
  auto link = std::make_unique<receiver::SimulatedReceiver>(options);
  link->setLeftAlone([this, isTeacher = std::move(isTeacher)](const QString& address) {
    if (isTeacher && isTeacher(address)) return true;
    const activity::PressConsumer* active = m_router.activeConsumer();
    return active && active->teacherRemotes().contains(address);
  });
  setLink(std::move(link));
}

bool ReceiverController::ConnectToHID() { return m_link && m_link->Connect(); }

void ReceiverController::DisconnectFromHID() {
  if (m_link) m_link->Disconnect();
}

void ReceiverController::startDelayedConnect() {
  if (!m_present) DisconnectFromHID();
  m_timerConnect.start();
}

void ReceiverController::timerConnectToHID_Timer() {
  m_timerConnect.stop();
  if (m_closing) return;
  if (store::UserSettings::getBool(kSection, kKey, true))
    ConnectToHID();
  else
    m_reception = false;
  showState();
}

void ReceiverController::lblUSBOnOff_DblClick() {
  m_reception = !m_reception;
  if (m_reception)
    ConnectToHID();
  else
    DisconnectFromHID();
  store::UserSettings::setBool(kSection, kKey, m_reception);
  showState();
}

bool ReceiverController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_lblUSBOnOff && event->type() == QEvent::MouseButtonDblClick) {
    lblUSBOnOff_DblClick();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void ReceiverController::showMainWindow() {
  if (m_closing || !m_mdi) return;
  QWidget* main = m_mdi->window();
  if (main && main->isHidden()) main->show();
}

void ReceiverController::OnPlugged(const receiver::DeviceInfo& device) {
  showMainWindow();
  if (!device.isReceiver()) return;
  const receiver::DeviceInfo info = m_link->receiverInfo();
  m_present = true;
  m_reception = true;
  showState();
  m_imgON->setToolTip(info.serialNumber.isEmpty() ? device.serialNumber : info.serialNumber);
  m_diagnostics.note(QStringLiteral("Alıcı takıldı: %1 %2 (%3)")
                         .arg(device.vendorName, device.productName, device.node));
  emit receiverChanged(true);
}

void ReceiverController::OnUnplugged(const receiver::DeviceInfo& device) {
  showMainWindow();
  if (!device.isReceiver()) return;
  m_present = false;
  m_reception = true;
  showState();
  m_diagnostics.note(QStringLiteral("Alıcı çıkarıldı"));
  emit receiverChanged(false);
}

void ReceiverController::OnChanged() {
  showMainWindow();
  if (m_link) m_link->SetReadNotify(true);
}

void ReceiverController::OnRead() {
  showMainWindow();
  if (!m_link) return;
  const std::optional<QByteArray> bytes = m_link->Read();
  if (!bytes) return;
  const receiver::DecodedReport report = m_radio.read(*bytes);
  m_diagnostics.add(report.wellFormed
                        ? report.text
                        : report.text + QStringLiteral("  (") + report.reason + QLatin1Char(')'));
  emit logLine(QStringLiteral(" OnRead ") + report.text);
}

void ReceiverController::DugmeBasildi(const QString& address, const QString& letter,
                                      const QString& code) {
  (void)m_pipeline.feed({address, letter, -1, code});
}

void ReceiverController::DugmeBirakildi() { m_held = false; }

bool ReceiverController::WriteSomeData(bool on) {
  if (!m_link) return false;
  QByteArray report(4, '\0');
  report[1] = on ? 1 : 0;
  return m_link->writeOutputReport(report);
}

void ReceiverController::setThreeButtonSetting(const QString& value) {
  m_pipeline.setThreeButtonSetting(value);
}

void ReceiverController::setClosing(bool closing) {
  m_closing = closing;
  m_pipeline.setClosed(closing);
  if (!closing) return;
  m_timerConnect.stop();
  m_timerRepeat.stop();
  DisconnectFromHID();
  if (m_panel) m_panel->close();
}

void ReceiverController::showDiagnostics() {
  if (!m_panel) {
    m_panel = new ReceiverDiagnosticsPanel(this, m_mdi ? m_mdi->window() : nullptr);
    m_panel->setAttribute(Qt::WA_DeleteOnClose);
  }
  m_panel->show();
  m_panel->raise();
  m_panel->activateWindow();
}

}  // namespace framework
