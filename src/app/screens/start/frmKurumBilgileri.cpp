#include "screens/start/frmKurumBilgileri.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Messages.h"
#include "store/Institution.h"
#include "store/Parameters.h"
#include "store/Store.h"

frmKurumBilgileri::frmKurumBilgileri(const ScreenContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_kod(new QLineEdit(this)), m_ad(new QLineEdit(this)) {
  setObjectName(QStringLiteral("frmKurumBilgileri"));
  setWindowTitle(QStringLiteral("Kurum Bilgileri"));
  setModal(true);
  setMinimumWidth(520);

  auto* intro = new QLabel(
      QStringLiteral("Derslik'i kullanacak kurumun bilgilerini giriniz. Kurum kodu, okulunuzun "
                     "Millî Eğitim Bakanlığı kurum kodudur (yalnızca rakam)."),
      this);
  intro->setWordWrap(true);
  m_kod->setObjectName(QStringLiteral("txtKurumKodu"));
  // Whatever is typed stays in the field (a letter silently dropped looks like a
  // broken keyboard); a code that is not all digits is said at once and refused.
  m_kod->setMaxLength(12);
  m_kodUyari = new QLabel(digitsOnlyText(), this);
  m_kodUyari->setObjectName(QStringLiteral("lblKurumKoduUyari"));
  m_kodUyari->setStyleSheet(QStringLiteral("color: #b00020;"));
  m_kodUyari->hide();
  connect(m_kod, &QLineEdit::textChanged, this, &frmKurumBilgileri::checkCode);
  m_kod->setPlaceholderText(QStringLiteral("örnek: 123456"));
  m_ad->setObjectName(QStringLiteral("txtKurumAdi"));
  m_ad->setMaxLength(255);
  m_ad->setPlaceholderText(QStringLiteral("örnek: Atatürk Ortaokulu"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Kurum Kodu:"), m_kod);
  form->addRow(QString(), m_kodUyari);
  form->addRow(QStringLiteral("Kurum Adı:"), m_ad);

  auto* kaydet = new QPushButton(QStringLiteral("Kaydet"), this);
  kaydet->setObjectName(QStringLiteral("cmdKaydet"));
  kaydet->setDefault(true);
  kaydet->setMinimumSize(130, 40);
  auto* kapat = new QPushButton(QStringLiteral("Kapat"), this);
  kapat->setObjectName(QStringLiteral("cmdKapat"));
  kapat->setMinimumSize(130, 40);
  connect(kaydet, &QPushButton::clicked, this, &frmKurumBilgileri::kaydet);
  connect(kapat, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(kapat);
  buttons->addWidget(kaydet);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addLayout(form);
  layout->addLayout(buttons);
  yenile();
}

void frmKurumBilgileri::yenile() {
  const store::Institution& institution = m_context.store.institution();
  m_kod->setText(institution.code.trimmed());
  // The name of this data folder's school only: never another folder's.
  m_ad->setText(institution.name.trimmed());
}

namespace {
bool isDigits(const QString& text) {
  for (const QChar c : text)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  return true;
}
}  // namespace

void frmKurumBilgileri::checkCode() { m_kodUyari->setVisible(!isDigits(m_kod->text().trimmed())); }

void frmKurumBilgileri::kaydet() {
  const QString kod = m_kod->text().trimmed();
  const QString ad = m_ad->text().simplified();
  if (kod.isEmpty()) {
    m_context.messages.warning(QStringLiteral("Lütfen kurum kodunu giriniz."));
    m_kod->setFocus();
    return;
  }
  if (!isDigits(kod)) {
    m_context.messages.warning(digitsOnlyText());
    m_kod->setFocus();
    return;
  }
  if (ad.isEmpty()) {
    m_context.messages.warning(QStringLiteral("Lütfen kurum adını giriniz."));
    m_ad->setFocus();
    return;
  }
  if (Status s = store::saveInstitution(m_context.store, kod, ad); !s) {
    m_context.messages.error(QStringLiteral("Kurum bilgileri kaydedilemedi: ") + s.error());
    return;
  }
  emit saved();
  accept();
}
