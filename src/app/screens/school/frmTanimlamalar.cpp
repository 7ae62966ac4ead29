#include "screens/school/frmTanimlamalar.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "exchange/StudentPackage.h"
#include "school/BulkChange.h"
#include "school/Pairing.h"
#include "school/StudentImport.h"
#include "school/Students.h"
#include "school/Units.h"
#include "school/ValueLists.h"
#include "screens/school/SchoolScreens.h"
#include "screens/school/frmDisVeriAl.h"
#include "shell/frmIslem.h"
#include "shell/frmMesaj.h"
#include "widgets/FileDialogs.h"
#include "widgets/Sliste.h"

using school::OfferedValues;

namespace {

QGroupBox* boxed(const QString& title, QWidget* content, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* l = new QVBoxLayout(box);
  l->setContentsMargins(6, 6, 6, 6);
  l->addWidget(content);
  return box;
}

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

frmTanimlamalar::frmTanimlamalar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmTanimlamalar"));
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

  // Each section reads the database again when shown: another section may have changed it.
  connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
    switch (index) {
      case 0:
        fillLevelCombos();
        break;
      case 1:
        refreshOffered(OfferedValues::Kind::Level);
        break;
      case 2:
        refreshOffered(OfferedValues::Kind::Course);
        break;
      case 3:
        fillLevelCombos();
        refreshUnits();
        break;
      default:
        refreshBulk();
        break;
    }
  });

  fillLevelCombos();
  ogrencileriListele();
  refreshOffered(OfferedValues::Kind::Level);
  refreshOffered(OfferedValues::Kind::Course);
  refreshUnits();
  listeSec(m_cmbListe->currentText());
  setEditing(false);
}

// ---------------------------------------------------------------------------------
// Students

QWidget* frmTanimlamalar::buildStudents() {
  auto* page = new QWidget(this);
  auto* h = new QHBoxLayout(page);

  auto* left = new QVBoxLayout;
  m_slisteOgrenciler = new Sliste(page);
  m_slisteOgrenciler->setObjectName(QStringLiteral("SlisteOgrenciler"));
  m_slisteOgrenciler->setFormAdi(objectName());
  left->addWidget(m_slisteOgrenciler, 1);
  auto* files = new QHBoxLayout;
  auto* cmdDisVeriAl = schoolui::button(QStringLiteral("cmdDisVeriAl"),
                                        QStringLiteral("Excel'den Öğrenci Aktar"), page);
  auto* cmdKayitVer = schoolui::button(QStringLiteral("cmdKayitVer"),
                                       QStringLiteral("Seçili Kayıtları Dosyaya Ver"), page);
  auto* cmdKayitAl =
      schoolui::button(QStringLiteral("cmdKayitAl"), QStringLiteral("Dosyadan Kayıt Al"), page);
  auto* cmdSil =
      schoolui::button(QStringLiteral("cmdSil"), QStringLiteral("Seçili Öğrencileri Sil"), page);
  files->addWidget(cmdDisVeriAl);
  files->addWidget(cmdKayitVer);
  files->addWidget(cmdKayitAl);
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
  m_cmdFoto = schoolui::button(QStringLiteral("cmdFotograf"), QStringLiteral("Fotoğraf Seç"), card);
  m_cmdFotoSil =
      schoolui::button(QStringLiteral("cmdFotografSil"), QStringLiteral("Fotoğrafı Kaldır"), card);
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
      schoolui::button(QStringLiteral("cmdYeniKayit"), QStringLiteral("Yeni Kayıt"), card);
  m_cmdKaydet = schoolui::button(QStringLiteral("cmdKaydet"), QStringLiteral("Ekle"), card);
  m_cmdVazgec = schoolui::button(QStringLiteral("cmdVazgec"), QStringLiteral("Vazgeç"), card);
  buttons->addWidget(cmdYeni);
  buttons->addWidget(m_cmdKaydet);
  buttons->addWidget(m_cmdVazgec);
  cl->addLayout(buttons);
  h->addWidget(card, 1);

  connect(m_slisteOgrenciler, &Sliste::aktifKayitDegisti, this, [this](int record) {
    if (record < 0 || m_loading) return;
    ogrenciSec(m_slisteOgrenciler->deger(record, QStringLiteral("KAYITNO")));
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
  connect(cmdDisVeriAl, &QPushButton::clicked, this, &frmTanimlamalar::disVeriAl);
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
  connect(m_txtAdi, &QLineEdit::textEdited, this, &frmTanimlamalar::fieldEdited);
  connect(m_txtSoyadi, &QLineEdit::textEdited, this, &frmTanimlamalar::fieldEdited);
  connect(m_cmbSinifi, &QComboBox::currentTextChanged, this, &frmTanimlamalar::fieldEdited);
  return page;
}

void frmTanimlamalar::ogrencileriListele() {
  m_loading = true;
  schoolui::fill(m_slisteOgrenciler, school::Students::activeListQuery());
  m_loading = false;
}

void frmTanimlamalar::fillLevelCombos() {
  const QStringList levels = OfferedValues(OfferedValues::Kind::Level).offeredValues();
  setItems(m_cmbSeviye, levels);
  setItems(m_cmbSinifi, school::Students::classNames());
  if (m_cmbUniteSeviye) {
    setItems(m_cmbUniteSeviye, levels);
    setItems(m_cmbUniteDers, OfferedValues(OfferedValues::Kind::Course).offeredValues());
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
  m_form.beginNew();
  formToFields();
  setEditing(true);
  m_txtAdi->setFocus();
}

void frmTanimlamalar::ogrenciSec(const QString& kayitNo) {
  if (kayitNo.isEmpty()) return;
  if (!schoolui::check(this, m_form.edit(kayitNo))) return;
  formToFields();
  setEditing(true);
}

void frmTanimlamalar::kaydet() {
  fieldsToForm();
  const Status s = m_form.save(schoolui::asker(this));
  if (!s) {
    if (!s.error().isEmpty()) {
      if (m_form.errorIsHata())
        frmMesaj::hata(this, s.error());
      else
        frmMesaj::uyari(this, s.error());
    }
    if (m_form.focusField() == QStringLiteral("txtTCKimlik"))
      m_txtTCKimlik->setFocus();
    else if (m_form.focusField() == QStringLiteral("txtAdi"))
      m_txtAdi->setFocus();
    else if (m_form.focusField() == QStringLiteral("cmbSeviye"))
      m_cmbSeviye->setFocus();
    if (m_form.mode() != school::StudentForm::Mode::Idle) return;
  }
  ogrencileriListele();
  fillLevelCombos();
  setEditing(false);
}

void frmTanimlamalar::closeEvent(QCloseEvent* event) {
  fieldsToForm();
  if (m_form.hasChanges()) {
    const int answer =
        frmMesaj::Mesaj(this, QStringLiteral("Uyarı"),
                        QStringLiteral("Öğrenci bilgilerindeki değişiklikler kaydedilmedi.\n"
                                       "Kaydetmek istiyor musunuz?"),
                        frmMesaj::Buttons::YesNoCancel, frmMesaj::Kind::Question);
    if (answer == frmMesaj::Evet) kaydet();
    // Cancelled, or the save was refused (its message has been shown): stay open.
    if (answer == frmMesaj::Iptal ||
        (answer == frmMesaj::Evet && m_form.mode() != school::StudentForm::Mode::Idle)) {
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
      m_slisteOgrenciler->SeciliKayitDegerleriniVer(QStringLiteral("KAYITNO"));
  if (picked.isEmpty()) {
    frmMesaj::uyari(this,
                    QStringLiteral("Lütfen silmek istediğiniz öğrencileri listeden seçiniz."));
    return;
  }
  if (!schoolui::asker(this)(school::Students::deleteQuestion(picked))) return;
  const Result<int> r = school::Students::remove(picked);
  if (!r) frmMesaj::hata(this, r.error());
  m_form.cancel();
  formToFields();
  setEditing(false);
  ogrencileriListele();
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
      m_slisteOgrenciler->SeciliKayitDegerleriniVer(QStringLiteral("KAYITNO"));
  if (picked.isEmpty()) {
    frmMesaj::uyari(this, QStringLiteral("Lütfen dosyaya verilecek öğrencileri listeden seçiniz."));
    return;
  }
  const Status s = exchange::StudentPackage::write(picked, path);
  if (s)
    frmMesaj::Mesaj(this, QStringLiteral("Bilgi"), exchange::StudentPackage::writtenMessage());
  else
    frmMesaj::hata(
        this, exchange::StudentPackage::writeFailedMessage() + QStringLiteral("\n") + s.error());
}

void frmTanimlamalar::kayitAl(const QString& path) {
  const Result<int> r = exchange::StudentPackage::read(path);
  if (r)
    frmMesaj::Mesaj(this, QStringLiteral("Bilgi"), exchange::StudentPackage::addedMessage(*r));
  else
    frmMesaj::hata(
        this, exchange::StudentPackage::readFailedMessage() + QStringLiteral("\n") + r.error());
  ogrencileriListele();
  fillLevelCombos();
}

void frmTanimlamalar::disVeriAl() {
  if (!school::StudentImport::canOpen()) {
    frmMesaj::uyari(this, school::StudentImport::openRefusal());
    return;
  }
  if (isSignalConnected(QMetaMethod::fromSignal(&frmTanimlamalar::disVeriAlIstendi))) {
    emit disVeriAlIstendi();
    return;
  }
  auto* w = new frmDisVeriAl(nullptr);
  w->setAttribute(Qt::WA_DeleteOnClose);
  connect(w, &frmDisVeriAl::ogrencilerDegisti, this, [this] {
    ogrencileriListele();
    fillLevelCombos();
  });
  w->resize(1000, 700);
  w->show();
}

// ---------------------------------------------------------------------------------
// Levels and courses

Sliste* frmTanimlamalar::gizliListe(OfferedValues::Kind kind) const {
  return kind == OfferedValues::Kind::Level ? m_seviyeGizli : m_dersGizli;
}

Sliste* frmTanimlamalar::acikListe(OfferedValues::Kind kind) const {
  return kind == OfferedValues::Kind::Level ? m_seviyeAcik : m_dersAcik;
}

QWidget* frmTanimlamalar::buildOffered(OfferedValues::Kind kind) {
  const bool level = kind == OfferedValues::Kind::Level;
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
  auto* hidden = new Sliste(page);
  hidden->setObjectName(level ? QStringLiteral("SlisteSeviyelerButun")
                              : QStringLiteral("SlisteDerslerButun"));
  auto* offered = new Sliste(page);
  offered->setObjectName(level ? QStringLiteral("SlisteSeviyelerSecilen")
                               : QStringLiteral("SlisteDerslerSecilen"));
  (level ? m_seviyeGizli : m_dersGizli) = hidden;
  (level ? m_seviyeAcik : m_dersAcik) = offered;
  h->addWidget(boxed(QStringLiteral("Gizli ") + what, hidden, page), 1);
  auto* mid = new QVBoxLayout;
  auto* cmdGoster =
      schoolui::button(level ? QStringLiteral("cmdSeviyeGoster") : QStringLiteral("cmdDersGoster"),
                       QStringLiteral("Listelerde Göster  ▶"), page);
  auto* cmdGizle =
      schoolui::button(level ? QStringLiteral("cmdSeviyeGizle") : QStringLiteral("cmdDersGizle"),
                       QStringLiteral("◀  Gizle"), page);
  mid->addStretch();
  mid->addWidget(cmdGoster);
  mid->addWidget(cmdGizle);
  mid->addStretch();
  h->addLayout(mid);
  h->addWidget(boxed(QStringLiteral("Listelerde Görünen ") + what, offered, page), 1);
  v->addLayout(h, 1);
  auto* add = new QHBoxLayout;
  auto* txt = field(level ? QStringLiteral("txtYeniSeviye") : QStringLiteral("txtYeniDers"), page);
  txt->setPlaceholderText(level ? QStringLiteral("Yeni seviye") : QStringLiteral("Yeni ders"));
  auto* cmdYeni =
      schoolui::button(level ? QStringLiteral("cmdSeviyeEkle") : QStringLiteral("cmdDersEkle"),
                       QStringLiteral("Ekle"), page);
  add->addWidget(txt, 1);
  add->addWidget(cmdYeni);
  add->addStretch(1);
  v->addLayout(add);

  const QString column = OfferedValues(kind).parameterName();
  connect(cmdGoster, &QPushButton::clicked, this, [this, kind, hidden, column] {
    degerleriGoster(kind, hidden->SeciliKayitDegerleriniVer(column));
  });
  connect(cmdGizle, &QPushButton::clicked, this, [this, kind, offered, column] {
    degerleriGizle(kind, offered->SeciliKayitDegerleriniVer(column));
  });
  connect(cmdYeni, &QPushButton::clicked, this, [this, kind, txt] {
    if (schoolui::check(this, OfferedValues(kind).add(txt->text().trimmed()))) txt->clear();
    refreshOffered(kind);
  });
  return page;
}

void frmTanimlamalar::refreshOffered(OfferedValues::Kind kind) {
  const OfferedValues ov(kind);
  schoolui::fill(gizliListe(kind), ov.hiddenQuery());
  schoolui::fill(acikListe(kind), ov.offeredQuery());
}

void frmTanimlamalar::degerleriGoster(OfferedValues::Kind kind, const QStringList& values) {
  if (values.isEmpty()) return;
  schoolui::check(this, OfferedValues(kind).offer(values));
  refreshOffered(kind);
  fillLevelCombos();
}

void frmTanimlamalar::degerleriGizle(OfferedValues::Kind kind, const QStringList& values) {
  if (values.isEmpty()) return;
  // Values still in use stay offered without a word: the flags in the grid tell why.
  const Result<QStringList> r = OfferedValues(kind).hide(values);
  if (!r) frmMesaj::hata(this, r.error());
  refreshOffered(kind);
  fillLevelCombos();
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
  m_slisteKonu = new Sliste(page);
  m_slisteKonu->setObjectName(QStringLiteral("SlisteKonu"));
  m_slisteKonu->setOperationMode(Sliste::OperationMode::TekSatir);
  v->addWidget(boxed(QStringLiteral("Üniteler"), m_slisteKonu, page), 1);
  auto* edit = new QHBoxLayout;
  m_txtUnite = field(QStringLiteral("txtUnite"), page);
  m_txtUnite->setPlaceholderText(QStringLiteral("Ünite adı"));
  auto* cmdYeni =
      schoolui::button(QStringLiteral("cmdYeniKonu"), QStringLiteral("Yeni Ünite"), page);
  auto* cmdKaydet =
      schoolui::button(QStringLiteral("cmdKaydetKonu"), QStringLiteral("Kaydet"), page);
  auto* cmdSil = schoolui::button(QStringLiteral("cmdSilKonu"), QStringLiteral("Sil"), page);
  edit->addWidget(new QLabel(QStringLiteral("Ünite:"), page));
  edit->addWidget(m_txtUnite, 1);
  edit->addWidget(cmdYeni);
  edit->addWidget(cmdKaydet);
  edit->addWidget(cmdSil);
  v->addLayout(edit);

  connect(m_cmbUniteSeviye, &QComboBox::currentTextChanged, this, &frmTanimlamalar::refreshUnits);
  connect(m_cmbUniteDers, &QComboBox::currentTextChanged, this, &frmTanimlamalar::refreshUnits);
  connect(m_slisteKonu, &Sliste::aktifKayitDegisti, this, [this](int record) {
    if (record >= 0) m_txtUnite->setText(m_slisteKonu->deger(record, QStringLiteral("UNITE")));
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
  schoolui::fill(m_slisteKonu, school::Units::listQuery(m_cmbUniteSeviye->currentText(),
                                                        m_cmbUniteDers->currentText()));
}

void frmTanimlamalar::uniteKaydet() {
  const school::Units::Key to{m_cmbUniteSeviye->currentText(), m_cmbUniteDers->currentText(),
                              m_txtUnite->text().trimmed()};
  const QList<int> picked = m_slisteKonu->SeciliKayitlariVer();
  Status s;
  if (picked.isEmpty()) {
    s = school::Units::add(to);
  } else {
    const int r = picked.first();
    const school::Units::Key from{m_slisteKonu->deger(r, QStringLiteral("SEVIYE")),
                                  m_slisteKonu->deger(r, QStringLiteral("DERS")),
                                  m_slisteKonu->deger(r, QStringLiteral("UNITE"))};
    s = to.unite.isEmpty() ? Status::failure(QStringLiteral("Ünite bilgisi boş bırakılamaz"))
                           : school::Units::rename(from, to);
  }
  if (!s) {
    frmMesaj::uyari(this, s.error());
    return;
  }
  m_txtUnite->clear();
  refreshUnits();
}

void frmTanimlamalar::uniteSil() {
  const QList<int> picked = m_slisteKonu->SeciliKayitlariVer();
  if (picked.isEmpty()) return;
  const int r = picked.first();
  const school::Units::Key key{m_slisteKonu->deger(r, QStringLiteral("SEVIYE")),
                               m_slisteKonu->deger(r, QStringLiteral("DERS")),
                               m_slisteKonu->deger(r, QStringLiteral("UNITE"))};
  if (!schoolui::asker(this)(school::Units::deleteQuestion(key.unite))) return;
  schoolui::check(this, school::Units::remove(key));
  m_txtUnite->clear();
  refreshUnits();
}

// ---------------------------------------------------------------------------------
// Value lists and bulk change

QWidget* frmTanimlamalar::buildLists() {
  auto* page = new QWidget(this);
  auto* v = new QVBoxLayout(page);
  auto* pick = new QHBoxLayout;
  m_cmbListe = combo(QStringLiteral("cmbListe"), page);
  m_cmbListe->setMinimumWidth(220);
  for (const auto& t : school::BulkChange::targets()) m_cmbListe->addItem(t.caption);
  pick->addWidget(new QLabel(QStringLiteral("Liste:"), page));
  pick->addWidget(m_cmbListe);
  pick->addStretch();
  v->addLayout(pick);

  auto* h = new QHBoxLayout;
  m_sliste1 = new Sliste(page);
  m_sliste1->setObjectName(QStringLiteral("Sliste1"));
  m_sliste2 = new Sliste(page);
  m_sliste2->setObjectName(QStringLiteral("Sliste2"));
  h->addWidget(boxed(QStringLiteral("Değeri Değiştirilecek Kayıtlar"), m_sliste1, page), 3);

  auto* right = new QVBoxLayout;
  right->addWidget(boxed(QStringLiteral("Değerler"), m_sliste2, page), 1);
  m_txtTanim = field(QStringLiteral("txtTanim"), page);
  m_txtTanim->setPlaceholderText(QStringLiteral("Yeni değer veya yeni ad"));
  right->addWidget(m_txtTanim);
  auto* defs = new QHBoxLayout;
  auto* cmdTanimKaydet =
      schoolui::button(QStringLiteral("cmdTanimKaydet"), QStringLiteral("Ekle"), page);
  auto* cmdTanimDuzelt =
      schoolui::button(QStringLiteral("cmdTanimDuzelt"), QStringLiteral("Adını Değiştir"), page);
  auto* cmdTanimSil = schoolui::button(QStringLiteral("cmdTanimSil"), QStringLiteral("Sil"), page);
  defs->addWidget(cmdTanimKaydet);
  defs->addWidget(cmdTanimDuzelt);
  defs->addWidget(cmdTanimSil);
  right->addLayout(defs);
  auto* cmdUygula = schoolui::button(QStringLiteral("cmdUygula"),
                                     QStringLiteral("◀  Seçili Değeri Seçili Kayıtlara Ver"), page);
  right->addWidget(cmdUygula);
  h->addLayout(right, 2);
  v->addLayout(h, 1);

  connect(m_cmbListe, &QComboBox::currentTextChanged, this, &frmTanimlamalar::listeSec);
  connect(m_sliste2, &Sliste::aktifKayitDegisti, this, [this](int record) {
    const QString value =
        record >= 0 ? m_sliste2->deger(record, QStringLiteral("PARAMETREDEGERI")) : QString();
    if (value != school::Pairing::kAllClasses) m_txtTanim->setText(value);
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
  const auto* target = school::BulkChange::target(m_cmbListe->currentText());
  if (!target) return;
  schoolui::fill(m_sliste1, school::BulkChange::rowsQuery(*target));
  schoolui::fill(m_sliste2, school::BulkChange::valuesQuery(*target));
}

namespace {
// The value list behind the chosen list, or a warning when its values come from
// the curriculum definitions instead.
QString editableList(QWidget* parent, const QString& caption) {
  const auto* target = school::BulkChange::target(caption);
  if (!target) return {};
  if (target->parameter.isEmpty())
    frmMesaj::uyari(
        parent, QStringLiteral("Bu listenin değerleri ünite, konu ve kazanım tanımlarından gelir; "
                               "onları tanımlamalardan düzenleyiniz."));
  return target->parameter;
}

QString pickedValue(Sliste* grid) {
  const QStringList v = grid->SeciliKayitDegerleriniVer(QStringLiteral("PARAMETREDEGERI"));
  if (v.isEmpty() || v.first() == school::Pairing::kAllClasses) return {};
  return v.first();
}
}  // namespace

void frmTanimlamalar::tanimKaydet() {
  const QString list = editableList(this, m_cmbListe->currentText());
  if (list.isEmpty()) return;
  const Status s = school::ValueLists::add(list, m_txtTanim->text().trimmed());
  if (!s) {
    frmMesaj::uyari(this, s.error());
    return;
  }
  m_txtTanim->clear();
  refreshBulk();
  fillLevelCombos();
}

void frmTanimlamalar::tanimDuzelt() {
  const QString list = editableList(this, m_cmbListe->currentText());
  const QString old = pickedValue(m_sliste2);
  if (list.isEmpty() || old.isEmpty()) return;
  const Status s = school::ValueLists::rename(list, old, m_txtTanim->text().trimmed());
  if (!s) {
    frmMesaj::uyari(this, s.error());
    return;
  }
  refreshBulk();
  fillLevelCombos();
}

void frmTanimlamalar::tanimSil() {
  const QString list = editableList(this, m_cmbListe->currentText());
  const QString value = pickedValue(m_sliste2);
  if (list.isEmpty() || value.isEmpty()) return;
  if (!schoolui::asker(this)(school::ValueLists::deleteQuestion(value))) return;
  schoolui::check(this, school::ValueLists::remove(list, value));
  m_txtTanim->clear();
  refreshBulk();
  fillLevelCombos();
}

void frmTanimlamalar::topluUygula() {
  const auto* target = school::BulkChange::target(m_cmbListe->currentText());
  if (!target) return;
  const QString value = pickedValue(m_sliste2);
  if (value.isEmpty()) {
    frmMesaj::uyari(this, QStringLiteral("Lütfen sağdaki listeden verilecek değeri seçiniz."));
    return;
  }
  const QStringList keys = m_sliste1->SeciliKayitDegerleriniVer(
      target->students() ? QStringLiteral("KAYITNO") : QStringLiteral("TESTNO"));
  if (keys.isEmpty()) {
    frmMesaj::uyari(this, QStringLiteral("Lütfen değeri değiştirilecek kayıtları seçiniz."));
    return;
  }
  frmIslem wait(this);
  wait.showText(school::BulkChange::waitText());
  const Status s = school::BulkChange::apply(*target, value, keys);
  wait.close();
  schoolui::check(this, s);
  refreshBulk();
  ogrencileriListele();
}
