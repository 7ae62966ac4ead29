#include "TanimEkle.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "Messages.h"
#include "Sliste.h"
#include "lists/TurkishText.h"

namespace {
QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  b->setMinimumHeight(34);
  return b;
}
}  // namespace

TanimEkle::TanimEkle(const ScreenContext& context, const QString& form, QWidget* parent)
    : QWidget(parent), m_context(context), m_definitions(context.store) {
  setObjectName(QStringLiteral("TanimEkle1"));
  m_caption = new QLabel(this);
  m_caption->setObjectName(QStringLiteral("lblUstTekiAciklama"));
  m_caption->setWordWrap(true);
  QFont bold = m_caption->font();
  bold.setBold(true);
  m_caption->setFont(bold);
  m_list = new Sliste(context, {form, QStringLiteral("TanimSliste")}, this);
  m_list->setSagMenuOlmasin(true);
  m_list->setSonSutunuGenislet(true);
  m_text = new QLineEdit(this);
  m_text->setObjectName(QStringLiteral("txtTanim"));
  m_status = new QLabel(this);
  m_status->setObjectName(QStringLiteral("lblDurum"));
  m_status->setMinimumHeight(m_status->fontMetrics().height() + 6);
  auto* add = button(QStringLiteral("cmdYeniKayit"), QStringLiteral("Yeni Kayıt"), this);
  m_save = button(QStringLiteral("cmdKaydet"), QStringLiteral("Ekle"), this);
  auto* remove = button(QStringLiteral("cmdSil"), QStringLiteral("Sil"), this);
  auto* close = button(QStringLiteral("cmdCikis"), QStringLiteral("Çıkış"), this);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(m_save);
  buttons->addWidget(remove);
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_caption);
  layout->addWidget(m_list, 1);
  layout->addWidget(m_text);
  layout->addWidget(m_status);
  layout->addLayout(buttons);

  connect(add, &QPushButton::clicked, this, &TanimEkle::cmdYeniKayit_Click);
  connect(m_save, &QPushButton::clicked, this, &TanimEkle::cmdKaydet_Click);
  connect(remove, &QPushButton::clicked, this, &TanimEkle::cmdSil_Click);
  connect(close, &QPushButton::clicked, this, &TanimEkle::cmdCikis_Click);
  connect(m_text, &QLineEdit::returnPressed, this, &TanimEkle::cmdKaydet_Click);
  connect(m_text, &QLineEdit::editingFinished, this, &TanimEkle::upperCaseText);
  connect(m_text, &QLineEdit::textEdited, this, &TanimEkle::digitsEdited);
  connect(m_list, &Sliste::secimDegisti, this, &TanimEkle::rowsPicked);
  cmdYeniKayit_Click();
}

Status TanimEkle::BilgileriAl(const lists::DefinitionSource& source) {
  Result<lists::DefinitionTemplates> t = lists::DefinitionTemplates::fromSource(source);
  if (!t) {
    m_context.messages.warning(t.error());
    return Status::failure(t.error());
  }
  m_field = source.field;
  setTemplates(*t);
  return {};
}

void TanimEkle::setTemplates(const lists::DefinitionTemplates& templates) {
  m_definitions.setTemplates(templates);
  ListeyiDoldur();
}

void TanimEkle::setUstTekiAciklama(const QString& text) { m_caption->setText(text); }
QString TanimEkle::UstTekiAciklama() const { return m_caption->text(); }
QString TanimEkle::TextTanim() const { return m_text->text(); }
void TanimEkle::setTextTanim(const QString& text) { m_text->setText(text); }
QString TanimEkle::durum() const { return m_status->text(); }
void TanimEkle::setStatus(const QString& text) { m_status->setText(text); }

void TanimEkle::setSadeSayi(bool on) {
  m_sadeSayi = on;
  static const QRegularExpression digits(QStringLiteral("[0-9]*"));
  m_text->setValidator(on ? new QRegularExpressionValidator(digits, m_text) : nullptr);
}

void TanimEkle::ListeyiDoldur() {
  if (m_definitions.templates().select.isEmpty()) return;
  const lists::BoundSql b = lists::bindMarkers(m_definitions.templates().select, {}, {});
  (void)m_list->ListeDoldurYeni(b.sql, b.params);
  m_list->SecimiBosalt();
}

void TanimEkle::cmdYeniKayit_Click() {
  m_renaming = false;
  m_oldName.clear();
  m_text->clear();
  m_save->setText(QStringLiteral("Ekle"));
  setStatus(QStringLiteral("Yeni Bir Kayıt Eklemek Üzeresiniz. "));
  m_text->setFocus();
}

void TanimEkle::rowsPicked() {
  const QStringList names = m_list->SeciliKayitDegerleriniVer(m_field);
  if (names.isEmpty()) {
    if (m_renaming) {
      m_renaming = false;
      m_oldName.clear();
      m_text->clear();
      m_save->setText(QStringLiteral("Ekle"));
    }
    setStatus(QStringLiteral("Seçim Yapmanız Bekleniyor."));
    return;
  }
  // With several rows picked the current one is the one a rename would change.
  QString name = names.first();
  const int current = m_list->aktifKayit();
  if (current >= 0 && m_list->SeciliKayitlariVer().contains(current))
    name = m_list->deger(current, m_field);
  m_renaming = true;
  m_oldName = name;
  m_text->setText(name);
  m_save->setText(QStringLiteral("Düzelt"));
  setStatus(name + QStringLiteral(" İsimli Tanım Üzerinde İşlem Yapmaktasınız."));
}

void TanimEkle::upperCaseText() {
  if (m_sadeSayi) return;
  const QString upper = lists::turkishUpper(m_text->text());
  if (upper != m_text->text()) m_text->setText(upper);
}

void TanimEkle::digitsEdited(const QString& text) {
  if (!m_sadeSayi || !text.startsWith(QLatin1Char('0'))) return;
  QString t = text;
  while (t.startsWith(QLatin1Char('0'))) t.remove(0, 1);
  m_text->setText(t);
  m_context.messages.warning(QStringLiteral("Sıfırdan farklı bir sayı giriniz"));
}

bool TanimEkle::cmdKaydet_Click() {
  upperCaseText();
  const QString name = m_text->text().trimmed();
  if (name.isEmpty()) {
    m_context.messages.warning(
        QStringLiteral("Boş bir tanımlama yapamazsınız. Lütfen kontrol edip tekrar deneyiniz."));
    m_text->setFocus();
    m_text->selectAll();
    return false;
  }
  if (m_definitions.templates().duplicate.trimmed().isEmpty()) {
    m_context.messages.warning(QStringLiteral("sqlTekrarlananKayıtKontrol sql tanımı yapılmamış"));
    return false;
  }
  // Changing only the case of a name is a rename of the same definition, not a copy.
  const bool sameName = m_renaming && lists::turkishUpper(m_oldName) == lists::turkishUpper(name);
  if (!sameName) {
    const Result<bool> exists = m_definitions.exists(name, m_oldName);
    if (!exists) {
      m_context.messages.error(exists.error());
      return false;
    }
    if (*exists) {
      m_context.messages.warning(
          QStringLiteral("Eklemeye çalıştığınız ") + name +
              QStringLiteral(
                  " isimli tanım daha önceden programa eklenmiş. Lütfen kontrol edip tekrar "
                  "deneyiniz."),
          QStringLiteral("Uyarı!"));
      m_text->setFocus();
      m_text->selectAll();
      return false;
    }
  }
  return afterChange(m_renaming ? m_definitions.rename(m_oldName, name) : m_definitions.add(name));
}

bool TanimEkle::cmdSil_Click() {
  QStringList names = m_list->SeciliKayitDegerleriniVer(m_field);
  if (names.isEmpty()) {
    setStatus(QStringLiteral("Seçim Yapmanız Bekleniyor."));
    return false;
  }
  if (names.size() == m_list->gorunenKayitSayisi() && names.size() > 1)
    setStatus(QStringLiteral("Şu an tüm kayıtları silmek için seçtiniz."));
  const QString question =
      names.size() == 1
          ? names.first() +
                QStringLiteral(" isimli kayıt silinecektir. Devam etmek istediğinize emin misiniz?")
          : QString::number(names.size()) +
                QStringLiteral(" adet kayıt silinecektir. Devam etmek istediğinize emin misiniz?");
  if (!m_context.messages.ask(question, QStringLiteral("Uyarı"))) return false;
  names.removeDuplicates();
  return afterChange(m_definitions.remove(names));
}

bool TanimEkle::afterChange(const Status& s) {
  if (!s) {
    m_context.messages.error(s.error());
    return false;
  }
  ListeyiDoldur();
  cmdYeniKayit_Click();
  emit tanimlarDegisti();
  return true;
}

void TanimEkle::cmdCikis_Click() {
  emit kapandi(m_gelenKontrolAdi);
  if (window() && window() != this) window()->close();
}
