#include "framework/ServerUnreachableBar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTcpSocket>

#include "store/ServerAddress.h"
#include "store/ServerLink.h"
#include "store/Store.h"

namespace framework {

ServerUnreachableBar::ServerUnreachableBar(store::Store& store, QWidget* parent)
    : QFrame(parent),
      m_store(store),
      m_text(new QLabel(QStringLiteral("Sunucuya ulaşılamıyor"), this)),
      m_retry(new QPushButton(QStringLiteral("Yeniden Dene"), this)) {
  setObjectName(QStringLiteral("ServerUnreachableBar"));
  m_text->setObjectName(QStringLiteral("lblSunucuYok"));
  m_retry->setObjectName(QStringLiteral("cmdYenidenDene"));
  setAutoFillBackground(true);
  setStyleSheet(
      QStringLiteral("#ServerUnreachableBar { background: #FFF3C4; border-bottom: 1px "
                     "solid #D9B400; } #lblSunucuYok { font-weight: bold; }"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(12, 4, 12, 4);
  row->addWidget(m_text, 1);
  row->addWidget(m_retry);
  m_timer.setInterval(kRetryMs);
  connect(&m_timer, &QTimer::timeout, this, &ServerUnreachableBar::knock);
  connect(m_retry, &QPushButton::clicked, this, &ServerUnreachableBar::retryNow);
  store::ServerLink& link = store::ServerLink::of(m_store);
  connect(&link, &store::ServerLink::reachableChanged, this, &ServerUnreachableBar::follow);
  follow(link.reachable());
}

ServerUnreachableBar::~ServerUnreachableBar() = default;

void ServerUnreachableBar::follow(bool reachable) {
  setVisible(!reachable);
  if (reachable) {
    m_timer.stop();
    if (m_knock) m_knock->abort();
  } else if (!m_timer.isActive()) {
    m_timer.start();
  }
}

void ServerUnreachableBar::retryNow() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const Status back = store::ServerLink::of(m_store).reconnect();
  QApplication::restoreOverrideCursor();
  // The reason (which the log keeps too) for whoever looks closer.
  m_text->setToolTip(back ? QString() : back.error());
  if (back) follow(true);
}

void ServerUnreachableBar::knock() {
  const Result<store::ServerAddress> address = store::ServerAddress::parse(m_store.serverUrl());
  if (!address) return;
  if (!m_knock) {
    m_knock = new QTcpSocket(this);
    connect(m_knock, &QTcpSocket::connected, this, [this] {
      m_knock->abort();
      if (!store::ServerLink::of(m_store).reachable()) retryNow();
    });
  }
  // A knock still unanswered from the last time is given up.
  m_knock->abort();
  m_knock->connectToHost(address->host, quint16(address->port));
}

}  // namespace framework
