#include "screens/start/frmSozlesme.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "Messages.h"
#include "Version.h"
#include "store/Institution.h"
#include "store/Store.h"

QString frmSozlesme::termsText() {
  return QStringLiteral(
      "<h2>Derslik Kullanım Koşulları</h2>"
      "<p>Derslik özgür bir yazılımdır. Onu Özgür Yazılım Vakfı'nın yayımladığı <b>GNU Genel Kamu "
      "Lisansı</b>'nın 3. sürümü ya da (tercihinize bağlı olarak) daha sonraki bir sürümü altında "
      "kullanabilir, kopyalayabilir, dağıtabilir ve değiştirebilirsiniz.</p>"
      "<ul>"
      "<li>Programı her amaçla, istediğiniz kadar bilgisayarda ücretsiz çalıştırabilirsiniz.</li>"
      "<li>Programı ve kaynak kodunu başkalarıyla paylaşabilirsiniz; paylaşırken bu lisansı ve "
      "telif bildirimlerini korumanız gerekir.</li>"
      "<li>Programda değişiklik yapıp dağıtırsanız, değiştirdiğiniz sürümü de aynı lisansla ve "
      "kaynak koduyla birlikte sunmalısınız.</li>"
      "</ul>"
      "<p><b>Garanti yoktur.</b> Derslik yararlı olması umuduyla dağıtılmaktadır; ancak "
      "SATILABİLİRLİK veya BELİRLİ BİR AMACA UYGUNLUK dahil hiçbir garanti verilmez. Ayrıntılar "
      "için programla birlikte gelen LICENSE dosyasındaki lisans metnine bakınız.</p>"
      "<h3>Verileriniz</h3>"
      "<p>Derslik öğrenci, soru ve sınav bilgilerini yalnızca bu bilgisayardaki veri klasöründe "
      "ya da okulun kendi sunucusunda (Okul Sunucusu seçildiyse) saklar ve başka hiçbir yere "
      "göndermez. Öğrencilere ait kişisel verilerin (ad, soyad, T.C. kimlik "
      "numarası, fotoğraf) korunmasından, 6698 sayılı Kişisel Verilerin Korunması Kanunu "
      "çerçevesinde, programı kullanan kurum sorumludur. Veri klasörünün yedeğini düzenli olarak "
      "almanızı öneririz.</p>");
}

frmSozlesme::frmSozlesme(const ScreenContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
  setObjectName(QStringLiteral("frmSozlesme"));
  setWindowTitle(QStringLiteral("Kullanım Sözleşmesi"));
  setModal(true);
  resize(720, 560);

  auto* text = new QTextBrowser(this);
  text->setObjectName(QStringLiteral("txtSozlesme"));
  text->setHtml(termsText());
  text->setOpenExternalLinks(false);

  auto* onay =
      new QCheckBox(QStringLiteral("Kullanım koşullarını okudum ve kabul ediyorum."), this);
  onay->setObjectName(QStringLiteral("chkKabul"));
  auto* kabul = new QPushButton(QStringLiteral("Kabul Ediyorum"), this);
  kabul->setObjectName(QStringLiteral("cmdKabul"));
  kabul->setEnabled(false);
  kabul->setMinimumSize(150, 40);
  auto* red = new QPushButton(QStringLiteral("Kabul Etmiyorum"), this);
  red->setObjectName(QStringLiteral("cmdRed"));
  red->setMinimumSize(150, 40);
  connect(onay, &QCheckBox::toggled, kabul, &QPushButton::setEnabled);
  connect(kabul, &QPushButton::clicked, this, &frmSozlesme::kabulEt);
  connect(red, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(onay, 1);
  buttons->addWidget(red);
  buttons->addWidget(kabul);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text, 1);
  layout->addLayout(buttons);
}

void frmSozlesme::kabulEt() {
  if (Status s =
          store::acceptAgreement(m_context.store, QString::fromLatin1(derslik::kVersionText));
      !s) {
    m_context.messages.error(QStringLiteral("Sözleşme onayı kaydedilemedi: ") + s.error());
    return;
  }
  accept();
}
