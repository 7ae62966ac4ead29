#include "screens/school/frmTanimlamalar.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Messages.h"
#include "cards/CardNumbers.h"
#include "cards/CardSheets.h"
#include "curriculum/Units.h"
#include "exchange/StudentPackage.h"
#include "framework/FileDialogs.h"
#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "framework/frmIslem.h"
#include "lists/FilterLists.h"
#include "school/BulkChange.h"
#include "school/Students.h"
#include "school/ValueLists.h"
#include "screens/school/SchoolScreens.h"

using curriculum::OfferedValues;
using curriculum::Units;
using school::BulkChange;

namespace {

const QString kScreen = QStringLiteral("frmTanimlamalar");

QLineEdit* field(const QString& name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setMinimumHeight(38);
  return e;
}

QComboBox* combo(const QString& name, QWidget* parent, bool editable = false) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setMinimumHeight(38);
  c->setMinimumWidth(150);
  c->setEditable(editable);
  return c;
}

void setItems(QComboBox* c, const QStringList& items) {
  const QString keep = c->currentText();
  c->blockSignals(true);
  c->clear();
  c->addItems(items);
  const int at = c->findText(keep);
  if (at >= 0)
    c->setCurrentIndex(at);
  else if (c->isEditable())
    c->setEditText(keep);
  else
    c->setCurrentIndex(-1);  // shows what was there: nothing, not the first entry
  c->blockSignals(false);
}

}  // namespace

frmTanimlamalar::frmTanimlamalar(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_form(context.store) {
  setObjectName(kScreen);
  setWindowTitle(QStringLiteral("Sınıf ve Öğrenci Tanımlamaları"));
  auto* root = new QVBoxLayout(this);
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("tabTanimlamalar"));
  QFont tabFont = m_tabs->tabBar()->font();
  tabFont.setPointSizeF(tabFont.pointSizeF() * 1.2);
  m_tabs->tabBar()->setFont(tabFont);
  m_tabs->setStyleSheet(QStringLiteral("QTabBar::tab { min-height: 38px; padding: 4px 18px; }"));
  m_tabs->addTab(buildStudents(), QStringLiteral("Öğrenciler"));
  m_tabs->addTab(buildOffered(OfferedValues::Kind::Level), QStringLiteral("Seviye Tanımlamaları"));
  m_tabs->addTab(buildOffered(OfferedValues::Kind::Course), QStringLiteral("Ders Tanımlamaları"));
  m_tabs->addTab(buildUnits(), QStringLiteral("Üniteler"));
  m_tabs->addTab(buildLists(), QStringLiteral("Listeler ve Toplu Değişiklik"));
  root->addWidget(m_tabs);

  connect(&context.store, &store::Store::dataChanged, this, &frmTanimlamalar::dataChanged);

  fillLevelCombos();
  ogrencileriListele();
  refreshOffered(OfferedValues::Kind::Level);
  refreshOffered(OfferedValues::Kind::Course);
  refreshUnits();
  listeSec(m_cmbListe->currentText());
  setEditing(false);
}

void frmTanimlamalar::dataChanged(store::Changes what) {
  using store::Change;
  const bool students = what.testFlag(Change::Students);
  const bool lists = what.testFlag(Change::Lists);
  // Where a level or course is used decides whether it may be hidden.
  const bool usage =
      students || lists || what.testFlag(Change::Questions) || what.testFlag(Change::Tests);
  if (students) ogrencileriListele();
  if (students || lists) fillLevelCombos();
  if (usage) {
    refreshOffered(Kind::Level);
    refreshOffered(Kind::Course);
  }
  if (lists) refreshUnits();
  if (usage) refreshBulk();
}

// ---------------------------------------------------------------------------------
// Students

QWidget* frmTanimlamalar::buildStudents() {
  auto* page = new QWidget(this);
  auto* h = new QHBoxLayout(page);

  auto* left = new QVBoxLayout;
  m_slisteOgrenciler = new Sliste(m_context, {kScreen, QStringLiteral("SlisteOgrenciler")}, page);
  left->addWidget(m_slisteOgrenciler, 1);
  auto* files = new QHBoxLayout;
  auto* cmdDisVeriAl = framework::button(QStringLiteral("cmdDisVeriAl"),
                                         QStringLiteral("Excel'den Öğrenci Aktar"), page);
  auto* cmdKayitVer = framework::button(QStringLiteral("cmdKayitVer"),
                                        QStringLiteral("Seçili Kayıtları Dosyaya Ver"), page);
  auto* cmdKayitAl =
      framework::button(QStringLiteral("cmdKayitAl"), QStringLiteral("Dosyadan Kayıt Al"), page);
  auto* cmdSil =
      framework::button(QStringLiteral("cmdSil"), QStringLiteral("Seçili Öğrencileri Sil"), page);
  files->addWidget(cmdDisVeriAl);
  files->addWidget(cmdKayitVer);
  files->addWidget(cmdKayitAl);
  auto* cmdKartYazdir =
      framework::button(QStringLiteral("cmdKartYazdir"), QStringLiteral("Kartları Yazdır"), page);
  files->addWidget(cmdKartYazdir);
  files->addStretch();
  files->addWidget(cmdSil);
  left->addLayout(files);
  h->addLayout(left, 3);

  auto* card = new QGroupBox(QStringLiteral("Öğrenci Bilgileri"), page);
  card->setMinimumWidth(340);
  card->setMaximumWidth(460);
  auto* cl = new QVBoxLayout(card);
  m_lblFoto = new QLabel(card);
  m_lblFoto->setObjectName(QStringLiteral("imgFoto"));
  m_lblFoto->setFixedSize(150, 180);
  m_lblFoto->setFrameShape(QFrame::StyledPanel);
  m_lblFoto->setAlignment(Qt::AlignCenter);
  auto* photoRow = new QHBoxLayout;
  auto* photoButtons = new QVBoxLayout;
  m_cmdFoto =
      framework::button(QStringLiteral("cmdFotograf"), QStringLiteral("Fotoğraf Seç"), card);
  m_cmdFotoSil =
      framework::button(QStringLiteral("cmdFotografSil"), QStringLiteral("Fotoğrafı Kaldır"), card);
  m_lblKayitNo = new QLabel(card);
  m_lblKayitNo->setObjectName(QStringLiteral("lblKayitNo"));
  QFont bold = m_lblKayitNo->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.2);
  m_lblKayitNo->setFont(bold);
  photoButtons->addWidget(m_lblKayitNo);
  photoButtons->addStretch();
  photoButtons->addWidget(m_cmdFoto);
  photoButtons->addWidget(m_cmdFotoSil);
  photoRow->addWidget(m_lblFoto);
  photoRow->addLayout(photoButtons);
  cl->addLayout(photoRow);

  auto* form = new QFormLayout;
  m_txtAdi = field(QStringLiteral("txtAdi"), card);
  m_txtSoyadi = field(QStringLiteral("txtSoyadi"), card);
  m_txtNumarasi = field(QStringLiteral("txtNumarasi"), card);
  m_txtTCKimlik = field(QStringLiteral("txtTCKimlik"), card);
  m_txtTCKimlik->setMaxLength(11);
  m_txtTCKimlik->setPlaceholderText(QStringLiteral("İsteğe bağlı, 11 hane"));
  m_cmbSinifi = combo(QStringLiteral("cmbSinifi"), card, true);
  m_cmbSeviye = combo(QStringLiteral("cmbSeviye"), card);
  m_cmbSeviye->setPlaceholderText(QStringLiteral("Seviye seçiniz"));
  form->addRow(QStringLiteral("Adı:"), m_txtAdi);
  form->addRow(QStringLiteral("Soyadı:"), m_txtSoyadi);
  form->addRow(QStringLiteral("Numarası:"), m_txtNumarasi);
  form->addRow(QStringLiteral("Sınıfı:"), m_cmbSinifi);
  form->addRow(QStringLiteral("Seviyesi:"), m_cmbSeviye);
  form->addRow(QStringLiteral("T.C. Kimlik No:"), m_txtTCKimlik);
  cl->addLayout(form);
  cl->addStretch();
  auto* buttons = new QHBoxLayout;
  auto* cmdYeni =
      framework::button(QStringLiteral("cmdYeniKayit"), QStringLiteral("Yeni Kayıt"), card);
  m_cmdKaydet = framework::button(QStringLiteral("cmdKaydet"), QStringLiteral("Ekle"), card);
  m_cmdVazgec = framework::button(QStringLiteral("cmdVazgec"), QStringLiteral("Vazgeç"), card);
  buttons->addWidget(cmdYeni);
  buttons->addWidget(m_cmdKaydet);
  buttons->addWidget(m_cmdVazgec);
  cl->addLayout(buttons);
  auto* cmdYeniKart =
      framework::button(QStringLiteral("cmdYeniKart"), QStringLiteral("Yeni Kart"), card);
  cl->addWidget(cmdYeniKart, 0, Qt::AlignRight);
  h->addWidget(card, 1);

  connect(m_slisteOgrenciler, &Sliste::aktifKayitDegisti, this, [this](int record) {
    if (record < 0 || m_loading) return;
    ogrenciSec(m_slisteOgrenciler->deger(record, school::Students::kKayitNo));
  });
  connect(cmdYeni, &QPushButton::clicked, this, &frmTanimlamalar::yeniKayit);
  connect(m_cmdKaydet, &QPushButton::clicked, this, &frmTanimlamalar::kaydet);
  connect(m_cmdVazgec, &QPushButton::clicked, this, &frmTanimlamalar::vazgec);
  connect(cmdSil, &QPushButton::clicked, this, &frmTanimlamalar::sil);
  connect(m_cmdFoto, &QPushButton::clicked, this, [this] {
    const QString f =
        filedialogs::openFile(this, QStringLiteral("Fotograf"), QStringLiteral("Fotoğraf Seç"),
                              QStringLiteral("Resimler (*.jpg *.jpeg *.png *.bmp)"));
    if (!f.isEmpty()) fotografSec(f);
  });
  connect(m_cmdFotoSil, &QPushButton::clicked, this, &frmTanimlamalar::fotografKaldir);
  connect(cmdDisVeriAl, &QPushButton::clicked, this,
          [this] { schoolui::openStudentImport(m_context); });
  connect(cmdKayitVer, &QPushButton::clicked, this, [this] {
    const QString path = filedialogs::saveFile(
        this, QStringLiteral("KayitDosyasi"), QStringLiteral("Kayıtların Verileceği Dosya"),
        QStringLiteral("Kayit.ckk"), QStringLiteral("Kayıt Dosyası (*.ckk)"),
        QStringLiteral("ckk"));
    if (!path.isEmpty()) kayitVer(path);
  });
  connect(cmdKayitAl, &QPushButton::clicked, this, [this] {
    const QString path = filedialogs::openFile(this, QStringLiteral("KayitDosyasi"),
                                               QStringLiteral("Kayıtların Alınacağı Dosya"),
                                               QStringLiteral("Kayıt Dosyası (*.ckk)"));
    if (!path.isEmpty()) kayitAl(path);
  });
  connect(cmdKartYazdir, &QPushButton::clicked, this, [this] {
    const QString sinifi = m_form.student().sinifi.trimmed();
    if (sinifi.isEmpty()) {
      m_context.messages.warning(
          QStringLiteral("Kartları yazdırılacak sınıfın bir öğrencisini listeden seçiniz."));
      return;
    }
    const QString path = filedialogs::saveFile(
        this, QStringLiteral("Kartlar"), QStringLiteral("Kartların Yazılacağı Dosya"),
        QStringLiteral("Kartlar_%1.pdf").arg(sinifi), QStringLiteral("PDF (*.pdf)"),
        QStringLiteral("pdf"));
    if (path.isEmpty()) return;
    const auto printed =
        cards::printClassCards(m_context.store, sinifi, path, cards::SheetSize::A5);
    if (printed)
      m_context.messages.info(QStringLiteral("%1 kart yazıldı: %2").arg(printed->size()).arg(path));
    else
      m_context.messages.error(printed.error());
  });
  connect(cmdYeniKart, &QPushButton::clicked, this, [this] {
    const school::Student& s = m_form.student();
    if (s.kayitNo.isEmpty()) {
      m_context.messages.warning(QStringLiteral("Yeni kart verilecek öğrenciyi listeden seçiniz."));
      return;
    }
    if (!m_context.messages.ask(
            QStringLiteral(
                "%1 %2 için yeni bir kart numarası verilsin mi? Eski kart artık okunmaz.")
                .arg(s.adi, s.soyadi)))
      return;
    const Result<int> card = cards::CardNumbers(m_context.store).newCard(s.kayitNo);
    if (card)
      m_context.messages.info(
          QStringLiteral("Yeni kart numarası: %1. Kartı \"Kartları Yazdır\" ile basabilirsiniz.")
              .arg(card.value()));
    else
      m_context.messages.error(card.error());
  });
  connect(m_txtAdi, &QLineEdit::textEdited, this, &frmTanimlamalar::fieldEdited);
  connect(m_txtSoyadi, &QLineEdit::textEdited, this, &frmTanimlamalar::fieldEdited);
  connect(m_cmbSinifi, &QComboBox::currentTextChanged, this, &frmTanimlamalar::fieldEdited);
  return page;
}

void frmTanimlamalar::ogrencileriListele() {
  m_loading = true;
  (void)m_slisteOgrenciler->ListeDoldurYeni(school::Students::activeListQuery());
  m_loading = false;
}

void frmTanimlamalar::fillLevelCombos() {
  const QStringList levels =
      OfferedValues(m_context.store, Kind::Level).offeredValues().valueOr({});
  setItems(m_cmbSeviye, levels);
  setItems(m_cmbSinifi, school::Students(m_context.store).classNames().valueOr({}));
  if (m_cmbUniteSeviye) {
    setItems(m_cmbUniteSeviye, levels);
    setItems(m_cmbUniteDers,
             OfferedValues(m_context.store, Kind::Course).offeredValues().valueOr({}));
  }
}

void frmTanimlamalar::formToFields() {
  m_loading = true;
  const school::Student& s = m_form.student();
  m_lblKayitNo->setText(s.kayitNo.isEmpty() ? QString() : QStringLiteral("Kayıt No: ") + s.kayitNo);
  m_txtAdi->setText(s.adi);
  m_txtSoyadi->setText(s.soyadi);
  m_txtNumarasi->setText(s.numarasi);
  m_txtTCKimlik->setText(s.tcKimlik);
  fillLevelCombos();  // a loaded student's level may have been offered just now
  m_cmbSinifi->setEditText(s.sinifi);
  const int lv = m_cmbSeviye->findText(s.seviye);
  m_cmbSeviye->setCurrentIndex(lv);
  showPhoto(m_form.photoToShow());
  m_loading = false;
}

void frmTanimlamalar::fieldsToForm() {
  school::Student& s = m_form.student();
  s.adi = m_txtAdi->text().trimmed();
  s.soyadi = m_txtSoyadi->text().trimmed();
  s.numarasi = m_txtNumarasi->text().trimmed();
  s.tcKimlik = m_txtTCKimlik->text().trimmed();
  s.sinifi = m_cmbSinifi->currentText().trimmed();
  s.seviye = m_cmbSeviye->currentText();
}

void frmTanimlamalar::fieldEdited() {
  if (m_loading || m_form.mode() != school::StudentForm::Mode::Adding) return;
  fieldsToForm();
  if (m_form.fieldsChanged()) m_txtNumarasi->setText(m_form.student().numarasi);
}

void frmTanimlamalar::setEditing(bool on) {
  m_cmdKaydet->setText(m_form.saveButtonCaption());
  m_cmdKaydet->setEnabled(on);
  m_cmdVazgec->setEnabled(on);
  m_cmdFoto->setEnabled(on);
  m_cmdFotoSil->setEnabled(on);
  for (QWidget* w : {static_cast<QWidget*>(m_txtAdi), static_cast<QWidget*>(m_txtSoyadi),
                     static_cast<QWidget*>(m_txtNumarasi), static_cast<QWidget*>(m_txtTCKimlik),
                     static_cast<QWidget*>(m_cmbSinifi), static_cast<QWidget*>(m_cmbSeviye)})
    w->setEnabled(on);
}

void frmTanimlamalar::showPhoto(const QString& path) {
  QPixmap pm(path);
  if (pm.isNull()) {
    m_lblFoto->setPixmap({});
    m_lblFoto->setText(QStringLiteral("Fotoğraf yok"));
    return;
  }
  m_lblFoto->setPixmap(
      pm.scaled(m_lblFoto->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void frmTanimlamalar::yeniKayit() {
  if (!framework::check(m_context.messages, m_form.beginNew())) return;
  formToFields();
  setEditing(true);
  m_txtAdi->setFocus();
}

void frmTanimlamalar::ogrenciSec(const QString& kayitNo) {
  if (kayitNo.isEmpty()) return;
  if (!framework::check(m_context.messages, m_form.edit(kayitNo))) return;
  formToFields();
  setEditing(true);
}

QWidget* frmTanimlamalar::fieldWidget(school::StudentForm::Field field) const {
  using Field = school::StudentForm::Field;
  switch (field) {
    case Field::Adi:
      return m_txtAdi;
    case Field::Soyadi:
      return m_txtSoyadi;
    case Field::Numarasi:
      return m_txtNumarasi;
    case Field::Sinifi:
      return m_cmbSinifi;
    case Field::Seviye:
      return m_cmbSeviye;
    case Field::TcKimlik:
      return m_txtTCKimlik;
    case Field::None:
      break;
  }
  return nullptr;
}

void frmTanimlamalar::kaydet() {
  fieldsToForm();
  const Status s = m_form.save(m_context.messages);
  if (!s) {
    if (!s.error().isEmpty()) {
      if (m_form.errorIsHata())
        m_context.messages.error(s.error());
      else
        m_context.messages.warning(s.error());
    }
    if (QWidget* w = fieldWidget(m_form.focusField())) w->setFocus();
    if (m_form.mode() != school::StudentForm::Mode::Idle) return;
  }
  setEditing(false);
}

void frmTanimlamalar::closeEvent(QCloseEvent* event) {
  fieldsToForm();
  if (m_form.hasChanges()) {
    using Answer = Messages::Answer;
    const Answer answer = m_context.messages.askOrCancel(
        QStringLiteral("Öğrenci bilgilerindeki değişiklikler kaydedilmedi.\n"
                       "Kaydetmek istiyor musunuz?"),
        QStringLiteral("Uyarı"));
    if (answer == Answer::Yes) kaydet();
    // Cancelled, or the save was refused (its message has been shown): stay open.
    if (answer == Answer::Cancel ||
        (answer == Answer::Yes && m_form.mode() != school::StudentForm::Mode::Idle)) {
      event->ignore();
      return;
    }
  }
  QWidget::closeEvent(event);
}

void frmTanimlamalar::vazgec() {
  m_form.cancel();
  formToFields();
  setEditing(false);
}

void frmTanimlamalar::sil() {
  const QStringList picked =
      m_slisteOgrenciler->SeciliKayitDegerleriniVer(school::Students::kKayitNo);
  if (picked.isEmpty()) {
    m_context.messages.warning(
        QStringLiteral("Lütfen silmek istediğiniz öğrencileri listeden seçiniz."));
    return;
  }
  if (!m_context.messages.ask(school::Students::deleteQuestion(picked))) return;
  const Result<int> r = school::Students(m_context.store).remove(picked);
  if (!r) m_context.messages.error(r.error());
  m_form.cancel();
  formToFields();
  setEditing(false);
}

void frmTanimlamalar::fotografSec(const QString& file) {
  m_form.choosePhoto(file);
  showPhoto(m_form.photoToShow());
}

void frmTanimlamalar::fotografKaldir() {
  m_form.removePhoto();
  showPhoto(m_form.photoToShow());
}

void frmTanimlamalar::kayitVer(const QString& path) {
  const QStringList picked =
      m_slisteOgrenciler->SeciliKayitDegerleriniVer(school::Students::kKayitNo);
  if (picked.isEmpty()) {
    m_context.messages.warning(
        QStringLiteral("Lütfen dosyaya verilecek öğrencileri listeden seçiniz."));
    return;
  }
  const Status s = exchange::StudentPackage(m_context.store).write(picked, path);
  if (s)
    m_context.messages.info(exchange::StudentPackage::writtenMessage());
  else
    m_context.messages.error(exchange::StudentPackage::writeFailedMessage() + QStringLiteral("\n") +
                             s.error());
}

void frmTanimlamalar::kayitAl(const QString& path) {
  const Result<int> r = exchange::StudentPackage(m_context.store).read(path);
  if (r)
    m_context.messages.info(exchange::StudentPackage::addedMessage(*r));
  else
    m_context.messages.error(exchange::StudentPackage::readFailedMessage() + QStringLiteral("\n") +
                             r.error());
}

// ---------------------------------------------------------------------------------
// Levels and courses

Sliste* frmTanimlamalar::gizliListe(Kind kind) const {
  return kind == Kind::Level ? m_seviyeGizli : m_dersGizli;
}

Sliste* frmTanimlamalar::acikListe(Kind kind) const {
  return kind == Kind::Level ? m_seviyeAcik : m_dersAcik;
}

QWidget* frmTanimlamalar::buildOffered(Kind kind) {
  const bool level = kind == Kind::Level;
  const QString what = level ? QStringLiteral("Seviyeler") : QStringLiteral("Dersler");
  auto* page = new QWidget(this);
  auto* v = new QVBoxLayout(page);
  auto* info = new QLabel(level ? QStringLiteral("Listelerde görünmesini istediğiniz seviyeleri "
                                                 "sağdaki listeye alınız. Soru, test veya "
                                                 "öğrencide kullanılan seviyeler gizlenemez.")
                                : QStringLiteral("Listelerde görünmesini istediğiniz dersleri "
                                                 "sağdaki listeye alınız. Soru, test veya "
                                                 "ünitede kullanılan dersler gizlenemez."),
                          page);
  info->setWordWrap(true);
  v->addWidget(info);
  auto* h = new QHBoxLayout;
  auto* hidden = new Sliste(m_context,
                            {kScreen, level ? QStringLiteral("SlisteSeviyelerButun")
                                            : QStringLiteral("SlisteDerslerButun")},
                            page);
  auto* offered = new Sliste(m_context,
                             {kScreen, level ? QStringLiteral("SlisteSeviyelerSecilen")
                                             : QStringLiteral("SlisteDerslerSecilen")},
                             page);
  (level ? m_seviyeGizli : m_dersGizli) = hidden;
  (level ? m_seviyeAcik : m_dersAcik) = offered;
  h->addWidget(framework::group(QStringLiteral("Gizli ") + what, hidden, page), 1);
  auto* mid = new QVBoxLayout;
  auto* cmdGoster =
      framework::button(level ? QStringLiteral("cmdSeviyeGoster") : QStringLiteral("cmdDersGoster"),
                        QStringLiteral("Listelerde Göster  ▶"), page);
  auto* cmdGizle =
      framework::button(level ? QStringLiteral("cmdSeviyeGizle") : QStringLiteral("cmdDersGizle"),
                        QStringLiteral("◀  Gizle"), page);
  mid->addStretch();
  mid->addWidget(cmdGoster);
  mid->addWidget(cmdGizle);
  mid->addStretch();
  h->addLayout(mid);
  h->addWidget(framework::group(QStringLiteral("Listelerde Görünen ") + what, offered, page), 1);
  v->addLayout(h, 1);
  auto* add = new QHBoxLayout;
  auto* txt = field(level ? QStringLiteral("txtYeniSeviye") : QStringLiteral("txtYeniDers"), page);
  txt->setPlaceholderText(level ? QStringLiteral("Yeni seviye") : QStringLiteral("Yeni ders"));
  auto* cmdYeni =
      framework::button(level ? QStringLiteral("cmdSeviyeEkle") : QStringLiteral("cmdDersEkle"),
                        QStringLiteral("Ekle"), page);
  add->addWidget(txt, 1);
  add->addWidget(cmdYeni);
  add->addStretch(1);
  v->addLayout(add);

  const QString column = OfferedValues::parameterName(kind);
  connect(cmdGoster, &QPushButton::clicked, this, [this, kind, hidden, column] {
    degerleriGoster(kind, hidden->SeciliKayitDegerleriniVer(column));
  });
  connect(cmdGizle, &QPushButton::clicked, this, [this, kind, offered, column] {
    degerleriGizle(kind, offered->SeciliKayitDegerleriniVer(column));
  });
  connect(cmdYeni, &QPushButton::clicked, this, [this, kind, txt] {
    if (framework::check(m_context.messages,
                         OfferedValues(m_context.store, kind).add(txt->text().trimmed())))
      txt->clear();
  });
  return page;
}

void frmTanimlamalar::refreshOffered(Kind kind) {
  const OfferedValues ov(m_context.store, kind);
  (void)gizliListe(kind)->ListeDoldurYeni(ov.hiddenQuery());
  (void)acikListe(kind)->ListeDoldurYeni(ov.offeredQuery());
}

void frmTanimlamalar::degerleriGoster(Kind kind, const QStringList& values) {
  if (values.isEmpty()) return;
  framework::check(m_context.messages, OfferedValues(m_context.store, kind).offer(values));
}

void frmTanimlamalar::degerleriGizle(Kind kind, const QStringList& values) {
  if (values.isEmpty()) return;
  // Values still in use stay offered without a word: the flags in the grid tell why.
  const Result<QStringList> r = OfferedValues(m_context.store, kind).hide(values);
  if (!r) m_context.messages.error(r.error());
}

// ---------------------------------------------------------------------------------
// Units

QWidget* frmTanimlamalar::buildUnits() {
  auto* page = new QWidget(this);
  auto* v = new QVBoxLayout(page);
  auto* pick = new QHBoxLayout;
  m_cmbUniteSeviye = combo(QStringLiteral("cmbUniteSeviye"), page);
  m_cmbUniteDers = combo(QStringLiteral("cmbUniteDers"), page);
  pick->addWidget(new QLabel(QStringLiteral("Seviye:"), page));
  pick->addWidget(m_cmbUniteSeviye);
  pick->addSpacing(20);
  pick->addWidget(new QLabel(QStringLiteral("Ders:"), page));
  pick->addWidget(m_cmbUniteDers);
  pick->addStretch();
  v->addLayout(pick);
  m_slisteKonu = new Sliste(m_context, {kScreen, QStringLiteral("SlisteKonu")}, page);
  m_slisteKonu->setOperationMode(Sliste::OperationMode::TekSatir);
  v->addWidget(framework::group(QStringLiteral("Üniteler"), m_slisteKonu, page), 1);
  auto* edit = new QHBoxLayout;
  m_txtUnite = field(QStringLiteral("txtUnite"), page);
  m_txtUnite->setPlaceholderText(QStringLiteral("Ünite adı"));
  auto* cmdYeni =
      framework::button(QStringLiteral("cmdYeniKonu"), QStringLiteral("Yeni Ünite"), page);
  auto* cmdKaydet =
      framework::button(QStringLiteral("cmdKaydetKonu"), QStringLiteral("Kaydet"), page);
  auto* cmdSil = framework::button(QStringLiteral("cmdSilKonu"), QStringLiteral("Sil"), page);
  edit->addWidget(new QLabel(QStringLiteral("Ünite:"), page));
  edit->addWidget(m_txtUnite, 1);
  edit->addWidget(cmdYeni);
  edit->addWidget(cmdKaydet);
  edit->addWidget(cmdSil);
  v->addLayout(edit);

  connect(m_cmbUniteSeviye, &QComboBox::currentTextChanged, this, &frmTanimlamalar::refreshUnits);
  connect(m_cmbUniteDers, &QComboBox::currentTextChanged, this, &frmTanimlamalar::refreshUnits);
  connect(m_slisteKonu, &Sliste::aktifKayitDegisti, this, [this](int record) {
    if (record >= 0) m_txtUnite->setText(m_slisteKonu->deger(record, Units::kUnite));
  });
  connect(cmdYeni, &QPushButton::clicked, this, [this] {
    m_slisteKonu->SecimiBosalt();
    m_txtUnite->clear();
    m_txtUnite->setFocus();
  });
  connect(cmdKaydet, &QPushButton::clicked, this, &frmTanimlamalar::uniteKaydet);
  connect(cmdSil, &QPushButton::clicked, this, &frmTanimlamalar::uniteSil);
  return page;
}

void frmTanimlamalar::refreshUnits() {
  if (!m_slisteKonu) return;
  (void)m_slisteKonu->ListeDoldurYeni(
      Units::listQuery(m_cmbUniteSeviye->currentText(), m_cmbUniteDers->currentText()));
}

namespace {
Units::Key unitOf(const Sliste* grid, int record) {
  return {grid->deger(record, Units::kSeviye), grid->deger(record, Units::kDers),
          grid->deger(record, Units::kUnite)};
}
}  // namespace

void frmTanimlamalar::uniteKaydet() {
  const Units::Key to{m_cmbUniteSeviye->currentText(), m_cmbUniteDers->currentText(),
                      m_txtUnite->text().trimmed()};
  const QList<int> picked = m_slisteKonu->SeciliKayitlariVer();
  Units units(m_context.store);
  const Status s =
      picked.isEmpty() ? units.add(to) : units.rename(unitOf(m_slisteKonu, picked.first()), to);
  if (!s) {
    m_context.messages.warning(s.error());
    return;
  }
  m_txtUnite->clear();
}

void frmTanimlamalar::uniteSil() {
  const QList<int> picked = m_slisteKonu->SeciliKayitlariVer();
  if (picked.isEmpty()) return;
  const Units::Key key = unitOf(m_slisteKonu, picked.first());
  if (!m_context.messages.ask(Units::deleteQuestion(key.unite))) return;
  framework::check(m_context.messages, Units(m_context.store).remove(key));
  m_txtUnite->clear();
}

// ---------------------------------------------------------------------------------
// Value lists and bulk change

QWidget* frmTanimlamalar::buildLists() {
  auto* page = new QWidget(this);
  auto* v = new QVBoxLayout(page);
  auto* pick = new QHBoxLayout;
  m_cmbListe = combo(QStringLiteral("cmbListe"), page);
  m_cmbListe->setMinimumWidth(220);
  for (const auto& t : BulkChange::targets()) m_cmbListe->addItem(t.caption);
  pick->addWidget(new QLabel(QStringLiteral("Liste:"), page));
  pick->addWidget(m_cmbListe);
  pick->addStretch();
  v->addLayout(pick);

  auto* h = new QHBoxLayout;
  m_sliste1 = new Sliste(m_context, {kScreen, QStringLiteral("Sliste1")}, page);
  m_sliste2 = new Sliste(m_context, {kScreen, QStringLiteral("Sliste2")}, page);
  h->addWidget(framework::group(QStringLiteral("Değeri Değiştirilecek Kayıtlar"), m_sliste1, page),
               3);

  auto* right = new QVBoxLayout;
  right->addWidget(framework::group(QStringLiteral("Değerler"), m_sliste2, page), 1);
  m_txtTanim = field(QStringLiteral("txtTanim"), page);
  m_txtTanim->setPlaceholderText(QStringLiteral("Yeni değer veya yeni ad"));
  right->addWidget(m_txtTanim);
  auto* defs = new QHBoxLayout;
  auto* cmdTanimKaydet =
      framework::button(QStringLiteral("cmdTanimKaydet"), QStringLiteral("Ekle"), page);
  auto* cmdTanimDuzelt =
      framework::button(QStringLiteral("cmdTanimDuzelt"), QStringLiteral("Adını Değiştir"), page);
  auto* cmdTanimSil = framework::button(QStringLiteral("cmdTanimSil"), QStringLiteral("Sil"), page);
  defs->addWidget(cmdTanimKaydet);
  defs->addWidget(cmdTanimDuzelt);
  defs->addWidget(cmdTanimSil);
  right->addLayout(defs);
  auto* cmdUygula = framework::button(
      QStringLiteral("cmdUygula"), QStringLiteral("◀  Seçili Değeri Seçili Kayıtlara Ver"), page);
  right->addWidget(cmdUygula);
  h->addLayout(right, 2);
  v->addLayout(h, 1);

  connect(m_cmbListe, &QComboBox::currentTextChanged, this, &frmTanimlamalar::listeSec);
  connect(m_sliste2, &Sliste::aktifKayitDegisti, this, [this](int record) {
    const QString value = record >= 0 ? m_sliste2->deger(record, BulkChange::kValue) : QString();
    if (value != lists::kTumu) m_txtTanim->setText(value);
  });
  connect(cmdTanimKaydet, &QPushButton::clicked, this, &frmTanimlamalar::tanimKaydet);
  connect(cmdTanimDuzelt, &QPushButton::clicked, this, &frmTanimlamalar::tanimDuzelt);
  connect(cmdTanimSil, &QPushButton::clicked, this, &frmTanimlamalar::tanimSil);
  connect(cmdUygula, &QPushButton::clicked, this, &frmTanimlamalar::topluUygula);
  return page;
}

void frmTanimlamalar::listeSec(const QString& caption) {
  if (m_cmbListe->currentText() != caption) {
    m_cmbListe->setCurrentText(caption);  // comes back through the signal
    return;
  }
  refreshBulk();
}

void frmTanimlamalar::refreshBulk() {
  const auto* target = BulkChange::target(m_cmbListe->currentText());
  if (!target) return;
  (void)m_sliste1->ListeDoldurYeni(BulkChange::rowsQuery(*target));
  (void)m_sliste2->ListeDoldurYeni(BulkChange::valuesQuery(*target));
}

namespace {
// The value list behind the chosen list, or a warning when its values come from
// the curriculum definitions instead.
QString editableList(Messages& messages, const QString& caption) {
  const auto* target = BulkChange::target(caption);
  if (!target) return {};
  if (target->parameter.isEmpty())
    messages.warning(
        QStringLiteral("Bu listenin değerleri ünite, konu ve kazanım tanımlarından gelir; "
                       "onları tanımlamalardan düzenleyiniz."));
  return target->parameter;
}

QString pickedValue(Sliste* grid) {
  const QStringList v = grid->SeciliKayitDegerleriniVer(BulkChange::kValue);
  if (v.isEmpty() || v.first() == lists::kTumu) return {};
  return v.first();
}
}  // namespace

void frmTanimlamalar::tanimKaydet() {
  const QString list = editableList(m_context.messages, m_cmbListe->currentText());
  if (list.isEmpty()) return;
  const Status s = school::ValueLists(m_context.store).add(list, m_txtTanim->text().trimmed());
  if (!s) {
    m_context.messages.warning(s.error());
    return;
  }
  m_txtTanim->clear();
}

void frmTanimlamalar::tanimDuzelt() {
  const QString list = editableList(m_context.messages, m_cmbListe->currentText());
  const QString old = pickedValue(m_sliste2);
  if (list.isEmpty() || old.isEmpty()) return;
  const Status s =
      school::ValueLists(m_context.store).rename(list, old, m_txtTanim->text().trimmed());
  if (!s) m_context.messages.warning(s.error());
}

void frmTanimlamalar::tanimSil() {
  const QString list = editableList(m_context.messages, m_cmbListe->currentText());
  const QString value = pickedValue(m_sliste2);
  if (list.isEmpty() || value.isEmpty()) return;
  if (!m_context.messages.ask(school::ValueLists::deleteQuestion(value))) return;
  framework::check(m_context.messages, school::ValueLists(m_context.store).remove(list, value));
  m_txtTanim->clear();
}

void frmTanimlamalar::topluUygula() {
  const auto* target = BulkChange::target(m_cmbListe->currentText());
  if (!target) return;
  const QString value = pickedValue(m_sliste2);
  if (value.isEmpty()) {
    m_context.messages.warning(QStringLiteral("Lütfen sağdaki listeden verilecek değeri seçiniz."));
    return;
  }
  const QStringList keys = m_sliste1->SeciliKayitDegerleriniVer(target->key());
  if (keys.isEmpty()) {
    m_context.messages.warning(QStringLiteral("Lütfen değeri değiştirilecek kayıtları seçiniz."));
    return;
  }
  frmIslem wait(this);
  wait.showText(BulkChange::waitText());
  const Status s = BulkChange(m_context.store).apply(*target, value, keys);
  wait.close();
  framework::check(m_context.messages, s);
}
