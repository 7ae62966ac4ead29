#include "screens/users/frmOturumAc.h"

#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include "Messages.h"
#include "users/Session.h"

frmOturumAc::frmOturumAc(const ScreenContext& context, users::Session* session, QWidget* parent)
    : QWidget(parent), m_context(context), m_session(session) {
  setObjectName(QStringLiteral("frmOturumAc"));
  setWindowTitle(QStringLiteral("Oturum Aç"));

  auto* card = new QFrame(this);
  card->setObjectName(QStringLiteral("kart"));
  card->setFrameShape(QFrame::StyledPanel);
  card->setFixedWidth(480);
  card->setStyleSheet(
      QStringLiteral("#kart { background: #ffffff; border: 1px solid #c3ccd9; border-radius: 8px; }"
                     "#kart QLabel, #kart QLineEdit, #kart QPushButton { font-size: 12pt; }"
                     "#kart QLabel#baslik { font-size: 18pt; font-weight: bold; }"));

  auto* title = new QLabel(QStringLiteral("Oturum Aç"), card);
  title->setObjectName(QStringLiteral("baslik"));

  m_lblDurum = new QLabel(card);
  m_lblDurum->setObjectName(QStringLiteral("lblDurum"));
  m_lblDurum->setWordWrap(true);

  m_loginPart = new QWidget(card);
  m_txtKullaniciAdi = new QLineEdit(m_loginPart);
  m_txtKullaniciAdi->setObjectName(QStringLiteral("txtKullaniciAdi"));
  m_txtSifre = new QLineEdit(m_loginPart);
  m_txtSifre->setObjectName(QStringLiteral("txtSifre"));
  m_txtSifre->setEchoMode(QLineEdit::Password);
  m_cmdKaydet = new QPushButton(QStringLiteral("Oturum Aç"), m_loginPart);
  m_cmdKaydet->setObjectName(QStringLiteral("cmdKaydet"));
  m_cmdKaydet->setDefault(true);
  auto* form = new QFormLayout(m_loginPart);
  form->setContentsMargins(0, 0, 0, 0);
  form->setSpacing(12);
  form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  form->addRow(QStringLiteral("Kullanıcı Adı"), m_txtKullaniciAdi);
  form->addRow(QStringLiteral("Şifre"), m_txtSifre);
  form->addRow(QString(), m_cmdKaydet);

  m_cmdOturumKapat = new QPushButton(QStringLiteral("Oturumu Kapat"), card);
  m_cmdOturumKapat->setObjectName(QStringLiteral("cmdOturumKapat"));
  // Large enough to hit with a finger on a classroom board.
  for (QWidget* w : std::initializer_list<QWidget*>{m_txtKullaniciAdi, m_txtSifre, m_cmdKaydet,
                                                    m_cmdOturumKapat})
    w->setMinimumHeight(44);

  auto* cardLayout = new QVBoxLayout(card);
  cardLayout->setContentsMargins(28, 24, 28, 28);
  cardLayout->setSpacing(16);
  cardLayout->addWidget(title);
  cardLayout->addWidget(m_lblDurum);
  cardLayout->addWidget(m_loginPart);
  cardLayout->addWidget(m_cmdOturumKapat);

  auto* outer = new QVBoxLayout(this);
  outer->addStretch(1);
  outer->addWidget(card, 0, Qt::AlignHCenter);
  outer->addStretch(2);

  connect(m_cmdKaydet, &QPushButton::clicked, this, &frmOturumAc::cmdKaydet_Click);
  connect(m_txtKullaniciAdi, &QLineEdit::returnPressed, m_txtSifre,
          qOverload<>(&QWidget::setFocus));
  connect(m_txtSifre, &QLineEdit::returnPressed, this, &frmOturumAc::cmdKaydet_Click);
  connect(m_cmdOturumKapat, &QPushButton::clicked, this, &frmOturumAc::cmdOturumKapat_Click);
  showState();
  setFocusProxy(m_session->loggedIn() ? static_cast<QWidget*>(m_cmdOturumKapat)
                                      : m_txtKullaniciAdi);
}

void frmOturumAc::showState() {
  const bool in = m_session->loggedIn();
  m_loginPart->setVisible(!in);
  m_cmdOturumKapat->setVisible(in);
  m_lblDurum->setText(in ? QStringLiteral("Oturum açık: %1").arg(m_session->userName())
                         : QStringLiteral("Kullanıcı adınızı ve şifrenizi yazınız."));
}

void frmOturumAc::cmdKaydet_Click() {
  const Status s = m_session->logIn(m_context.store, m_txtKullaniciAdi->text(), m_txtSifre->text());
  if (!s) {
    m_context.messages.warning(s.error());
    m_txtSifre->clear();
    m_txtSifre->setFocus();
    return;
  }
  m_txtSifre->clear();
  emit oturumAcildi(m_session->userName());
  m_context.messages.info(QStringLiteral("Oturumunuz açılmıştır"));
  closeScreen();
}

void frmOturumAc::cmdOturumKapat_Click() {
  m_session->logOut();
  emit oturumKapandi();
  m_context.messages.info(QStringLiteral("Oturumunuz Kapatılmıştır"));
  showState();
  setFocusProxy(m_txtKullaniciAdi);
  m_txtKullaniciAdi->setFocus();
}

void frmOturumAc::closeScreen() {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
    sub->close();
  else
    close();
}
