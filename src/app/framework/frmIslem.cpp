#include "framework/frmIslem.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

frmIslem::frmIslem(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_label(new QLabel(this)) {
  setObjectName(QStringLiteral("frmIslem"));
  setWindowTitle(QStringLiteral("Lütfen bekleyiniz"));
  setModal(false);
  auto* title = new QLabel(QStringLiteral("Lütfen bekleyiniz..."), this);
  QFont f = title->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.2);
  title->setFont(f);
  m_label->setObjectName(QStringLiteral("lblIslem"));
  auto* busy = new QProgressBar(this);
  busy->setRange(0, 0);  // indeterminate
  busy->setTextVisible(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 18, 24, 18);
  layout->addWidget(title);
  layout->addWidget(m_label);
  layout->addWidget(busy);
  setStyleSheet(QStringLiteral(
      "frmIslem { background: #ffffff; border: 2px solid #3465a4; border-radius: 6px; }"));
  setFixedWidth(380);
}

void frmIslem::showText(const QString& text) {
  m_label->setText(text);
  if (!isVisible()) show();
  raise();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString frmIslem::text() const { return m_label->text(); }
