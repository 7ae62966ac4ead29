#include "screens/authoring/frmKirpmaMenu.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "Messages.h"
#include "framework/ScreenHelpers.h"
#include "framework/frmKirpma.h"

frmKirpmaMenu::frmKirpmaMenu(const ScreenContext& context, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      m_context(context),
      m_session(context.store) {
  setObjectName(QStringLiteral("frmKirpmaMenu"));
  setWindowTitle(QStringLiteral("Soru Kırpma"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* v = new QVBoxLayout(this);
  m_cmdKirp = framework::button(QStringLiteral("cmdKirp"), QString(), this);
  m_lblDurum = new QLabel(this);
  m_lblDurum->setObjectName(QStringLiteral("lblDurum"));
  m_lblDurum->setWordWrap(true);
  auto* cmdBitir = framework::button(QStringLiteral("cmdBitir"), QStringLiteral("Bitir"), this);
  v->addWidget(m_cmdKirp);
  v->addWidget(m_lblDurum);
  v->addWidget(cmdBitir);
  connect(m_cmdKirp, &QPushButton::clicked, this, &frmKirpmaMenu::kirp);
  connect(cmdBitir, &QPushButton::clicked, this, &QWidget::close);
  paint();
}

Status frmKirpmaMenu::startForTest(const QString& testNo) {
  Status s = m_session.startForTest(testNo);
  paint();
  return s;
}

void frmKirpmaMenu::startFree() {
  m_session.startFree();
  paint();
}

void frmKirpmaMenu::paint() {
  m_cmdKirp->setText(m_session.nextCaption());
  m_lblDurum->setText(m_added == 0 ? QStringLiteral("Soruyu ekranda gösterin, sonra düğmeye basın.")
                                   : QStringLiteral("%1 soru eklendi.").arg(m_added));
  adjustSize();
}

void frmKirpmaMenu::kirp() {
  // The window itself must not be in the picture: hide, let the desktop repaint.
  hide();
  QTimer::singleShot(frmKirpma::grabDelayMs(m_grabber), this, &frmKirpmaMenu::capture);
}

void frmKirpmaMenu::capture() {
  m_surface = frmKirpma::overScreen(this, m_context.messages, frmKirpma::Mode::Letter, m_grabber);
  if (!m_surface) return show();
  connect(m_surface, &frmKirpma::chosen, this, &frmKirpmaMenu::kirpimiKaydet);
  connect(m_surface, &frmKirpma::cancelled, this, &QWidget::show);
}

void frmKirpmaMenu::kirpimiKaydet(const QImage& clip, const QString& letter) {
  show();
  const Result<QString> key = m_session.add(clip, letter);
  if (!key) {
    m_context.messages.warning(key.error());
    return;
  }
  ++m_added;
  paint();
  emit questionAdded(key.value());
}
