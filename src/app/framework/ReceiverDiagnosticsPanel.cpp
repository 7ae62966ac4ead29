#include "framework/ReceiverDiagnosticsPanel.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/ReceiverController.h"
#include "receiver/ReceiverLink.h"

namespace framework {

ReceiverDiagnosticsPanel::ReceiverDiagnosticsPanel(ReceiverController* controller, QWidget* parent)
    : QDialog(parent), m_controller(controller) {
  setObjectName(QStringLiteral("AliciTanilama"));
  setWindowTitle(QStringLiteral("Alıcı Tanılama"));
  resize(560, 520);
  const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  m_device = new QLabel(this);
  m_device->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_tUSBRx = new QLineEdit(this);
  m_tUSBRx->setObjectName(QStringLiteral("tUSBRx"));
  m_tUSBRx->setReadOnly(true);
  m_tUSBRx->setFont(mono);
  m_List1 = new QListWidget(this);
  m_List1->setObjectName(QStringLiteral("List1"));
  m_List1->setFont(mono);
  m_state = new QLabel(this);
  auto* close = new QPushButton(QStringLiteral("Kapat"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::close);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Aygıt:"), m_device);
  form->addRow(QStringLiteral("Son rapor:"), m_tUSBRx);
  auto* box = new QVBoxLayout(this);
  box->addLayout(form);
  box->addWidget(new QLabel(QStringLiteral("Son raporlar:"), this));
  box->addWidget(m_List1, 1);
  box->addWidget(m_state);
  box->addWidget(close, 0, Qt::AlignRight);

  connect(&controller->diagnostics(), &receiver::ReportDiagnostics::changed, this,
          &ReceiverDiagnosticsPanel::refresh);
  connect(controller, &ReceiverController::receiverChanged, this,
          &ReceiverDiagnosticsPanel::refresh);
  refresh();
}

void ReceiverDiagnosticsPanel::refresh() {
  const receiver::ReportDiagnostics& d = m_controller->diagnostics();
  const receiver::DeviceInfo info =
      m_controller->link() ? m_controller->link()->receiverInfo() : receiver::DeviceInfo{};
  m_device->setText(info.node.isEmpty() ? QStringLiteral("Alıcı bulunamadı")
                                        : QStringLiteral("%1 — %2 %3, seri no %4")
                                              .arg(info.node, info.vendorName, info.productName,
                                                   info.serialNumber));
  m_tUSBRx->setText(d.lastReport());
  const QStringList& recent = d.recent();
  // The list only grows or starts again; append what is new.
  if (m_List1->count() > recent.size()) m_List1->clear();
  for (qsizetype i = m_List1->count(); i < recent.size(); ++i) m_List1->addItem(recent[i]);
  if (m_List1->count() > 0) m_List1->setCurrentRow(m_List1->count() - 1);
  m_state->setText(QStringLiteral("Rapor sayısı: %1   Son düğme: %2 %3   Tekrar penceresi: %4")
                       .arg(d.reportCount())
                       .arg(m_controller->decoder().currentAddress(),
                            m_controller->decoder().currentLetter(),
                            m_controller->pipeline().repeatWindow().SonSinyal().isEmpty()
                                ? QStringLiteral("boş")
                                : m_controller->pipeline().repeatWindow().SonSinyal()));
}

}  // namespace framework
