#include "screens/school/frmKumandaTanimlama.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "Messages.h"
#include "framework/FileDialogs.h"
#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "framework/frmIslem.h"
#include "lists/FilterLists.h"
#include "school/Pairing.h"
#include "school/SchoolExports.h"
#include "school/Students.h"

namespace {

// Icon 1: heard once (amber); icon 3: heard again (green, the remote answers reliably);
// icon 0: listed but not heard (an empty place, so the addresses stay aligned).
QIcon hearingIcon(int icon) {
  QPixmap pm(28, 28);
  pm.fill(Qt::transparent);
  if (icon <= 0) return QIcon(pm);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(icon >= 3 ? QColor(46, 160, 67) : QColor(230, 162, 30));
  p.drawEllipse(3, 3, 22, 22);
  p.setPen(QPen(Qt::white, 3));
  if (icon >= 3) {
    p.drawLine(9, 14, 13, 19);
    p.drawLine(13, 19, 20, 9);
  } else {
    p.drawPoint(14, 14);
  }
  return QIcon(pm);
}

const QString kScreen = QStringLiteral("frmKumandaTanimlama");

using framework::group;

}  // namespace

frmKumandaTanimlama::frmKumandaTanimlama(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_registration(context.store) {
  setObjectName(kScreen);
  setWindowTitle(QStringLiteral("Kumanda Tanımlama ve Eşleştirme"));

  auto* root = new QVBoxLayout(this);

  // Class filter and the register's actions.
  auto* top = new QHBoxLayout;
  auto* lblSinif = new QLabel(QStringLiteral("Sınıf:"), this);
  QFont big = lblSinif->font();
  big.setPointSizeF(big.pointSizeF() * 1.25);
  lblSinif->setFont(big);
  m_cmbSinifi = new QComboBox(this);
  m_cmbSinifi->setObjectName(QStringLiteral("cmbSinifi"));
  m_cmbSinifi->setMinimumSize(180, 44);
  m_cmbSinifi->setFont(big);
  m_cmdYeniKayit = framework::button(QStringLiteral("cmdYeniKayit"),
                                     QStringLiteral("Yeni Kumandaları Kaydet"), this);
  m_cmdYeniAlici =
      framework::button(QStringLiteral("cmdYeniAlici"), QStringLiteral("Yeni Alıcıya Tanıt"), this);
  auto* cmdSil =
      framework::button(QStringLiteral("cmdSil"), QStringLiteral("Seçili Kumandaları Sil"), this);
  m_chkKumandasiz = new QCheckBox(QStringLiteral("Kumandası olmayanlar"), this);
  m_chkKumandasiz->setObjectName(QStringLiteral("chkKumandasiz"));
  m_chkKumandasiz->setToolTip(
      QStringLiteral("Seçili sınıfın henüz kumandası olmayan öğrencilerini listeler"));
  top->addWidget(lblSinif);
  top->addWidget(m_cmbSinifi);
  top->addWidget(m_chkKumandasiz);
  top->addStretch();
  top->addWidget(m_cmdYeniKayit);
  top->addWidget(m_cmdYeniAlici);
  top->addWidget(cmdSil);
  root->addLayout(top);

  auto* split = new QSplitter(Qt::Horizontal, this);

  // Left: the remotes.
  auto* left = new QWidget(split);
  auto* ll = new QVBoxLayout(left);
  ll->setContentsMargins(0, 0, 0, 0);
  m_ogretmen = new Sliste(context, {kScreen, QStringLiteral("SlisteKumandalarOgretmen")}, left);
  m_kumandalar = new Sliste(context, {kScreen, QStringLiteral("SlisteKumandalar")}, left);
  auto* gOgretmen = group(QStringLiteral("Öğretmen Kumandaları"), m_ogretmen, left);
  gOgretmen->setMaximumHeight(200);
  ll->addWidget(gOgretmen);
  ll->addWidget(group(QStringLiteral("Öğrenci Kumandaları"), m_kumandalar, left), 1);
  auto* cmdOtomatik =
      framework::button(QStringLiteral("cmdOtomatikEslestir"),
                        QStringLiteral("Seçili Kumandaları Otomatik Eşleştir"), left);
  ll->addWidget(cmdOtomatik);

  // Middle: the students of the picked remote.
  auto* mid = new QWidget(split);
  auto* ml = new QVBoxLayout(mid);
  ml->setContentsMargins(0, 0, 0, 0);
  m_lblKumandaNo = new QLabel(mid);
  m_lblKumandaNo->setObjectName(QStringLiteral("lblKumandaNo"));
  QFont huge = big;
  huge.setBold(true);
  m_lblKumandaNo->setFont(huge);
  m_lblKumandaNo->setMinimumHeight(36);
  ml->addWidget(m_lblKumandaNo);
  m_eslesme = new Sliste(context, {kScreen, QStringLiteral("SlisteEslesme")}, mid);
  ml->addWidget(group(QStringLiteral("Bu Kumandayla Eşleşmiş Öğrenciler"), m_eslesme, mid), 1);
  auto* moves = new QHBoxLayout;
  auto* cmdEkle = framework::button(QStringLiteral("cmdEkle"),
                                    QStringLiteral("▲ Seçili Öğrencileri Eşleştir"), mid);
  auto* cmdCikart =
      framework::button(QStringLiteral("cmdCikart"), QStringLiteral("▼ Eşleşmeden Çıkart"), mid);
  moves->addWidget(cmdEkle);
  moves->addWidget(cmdCikart);
  ml->addLayout(moves);
  m_ogrenciler = new Sliste(context, {kScreen, QStringLiteral("SlisteOgrenciler")}, mid);
  m_gOgrenciler = group(QStringLiteral("Eşleştirilebilecek Öğrenciler"), m_ogrenciler, mid);
  ml->addWidget(m_gOgrenciler, 1);

  // Right: the registration panel, shown only while registering.
  m_frameKumanda = new QFrame(split);
  m_frameKumanda->setObjectName(QStringLiteral("frameKumanda"));
  m_frameKumanda->setFrameShape(QFrame::StyledPanel);
  m_frameKumanda->setProperty("Tag", QString());
  auto* fl = new QVBoxLayout(m_frameKumanda);
  m_lblOgretmenKumandasi = new QLabel(m_frameKumanda);
  m_lblOgretmenKumandasi->setObjectName(QStringLiteral("lblOgretmenKumandasi"));
  m_lblOgretmenKumandasi->setWordWrap(true);
  m_lvKumanda = new QListWidget(m_frameKumanda);
  m_lvKumanda->setObjectName(QStringLiteral("LVKumanda"));
  m_lvKumanda->setIconSize(QSize(28, 28));
  m_lvKumanda->setFont(big);
  auto* countRow = new QHBoxLayout;
  m_lblAliciYok = new QLabel(m_frameKumanda);
  m_lblAliciYok->setObjectName(QStringLiteral("lblAliciYok"));
  m_lblAliciYok->setWordWrap(true);
  m_lblAliciYok->setStyleSheet(
      QStringLiteral("color: #8a1c1c; background: #fdecea; border: 1px solid #e6a29b; "
                     "border-radius: 4px; padding: 6px;"));
  m_lblAliciYok->hide();
  m_lblSayi = new QLabel(m_frameKumanda);
  m_lblSayi->setObjectName(QStringLiteral("lblSayi"));
  m_lblKumandaEtiketiYazdir = new QLabel(QStringLiteral("0"), m_frameKumanda);
  m_lblKumandaEtiketiYazdir->setObjectName(QStringLiteral("lblKumandaEtiketiYazdir"));
  m_lblKumandaEtiketiYazdir->setFont(huge);
  m_lblKumandaEtiketiYazdir->setToolTip(
      QStringLiteral("Kumanda numarası etiketleri için çift tıklayınız"));
  m_lblKumandaEtiketiYazdir->installEventFilter(this);
  // The labels of the numbers also by a button: a board has no double-click.
  auto* cmdNumaraEtiketleri = framework::button(
      QStringLiteral("cmdNumaraEtiketleri"), QStringLiteral("Numara Etiketleri"), m_frameKumanda);
  connect(cmdNumaraEtiketleri, &QPushButton::clicked, this, [this] {
    const QString path = school::SchoolExports(m_context.store).remoteNumberLabelsPath();
    afterExport(kumandaEtiketiYaz(path), path);
  });
  countRow->addWidget(m_lblSayi);
  countRow->addWidget(m_lblKumandaEtiketiYazdir);
  countRow->addStretch();
  countRow->addWidget(cmdNumaraEtiketleri);
  auto* cmdBitir =
      framework::button(QStringLiteral("cmdBitir"), QStringLiteral("Bitir"), m_frameKumanda);
  fl->addWidget(m_lblOgretmenKumandasi);
  fl->addWidget(m_lblAliciYok);
  fl->addWidget(m_lvKumanda, 1);
  fl->addLayout(countRow);
  fl->addWidget(cmdBitir);
  m_frameKumanda->hide();

  split->setStretchFactor(0, 2);
  split->setStretchFactor(1, 3);
  split->setStretchFactor(2, 2);
  // The remote grid needs room for its three counts; the panel for the addresses.
  split->setSizes({430, 520, 300});
  root->addWidget(split, 1);

  // Exports.
  auto* bottom = new QHBoxLayout;
  auto* cmdEslesmeListesi = framework::button(QStringLiteral("cmdEslesmeListesi"),
                                              QStringLiteral("Sınıf Eşleşme Listesi"), this);
  auto* cmdEtiket =
      framework::button(QStringLiteral("cmdEtiket"), QStringLiteral("Sınıf Etiketleri"), this);
  auto* cmdEslesmeExcel = framework::button(QStringLiteral("cmdEslesmeExcel"),
                                            QStringLiteral("Birden Çok Sınıfın Etiketleri"), this);
  bottom->addWidget(new QLabel(QStringLiteral("Excel'e aktar:"), this));
  bottom->addWidget(cmdEslesmeListesi);
  bottom->addWidget(cmdEtiket);
  bottom->addWidget(cmdEslesmeExcel);
  bottom->addStretch();
  root->addLayout(bottom);

  connect(m_cmbSinifi, &QComboBox::currentTextChanged, this, [this](const QString& c) {
    if (!m_refreshing) sinifSec(c);
  });
  connect(m_chkKumandasiz, &QCheckBox::toggled, this, [this] { refreshStudents(); });
  connect(m_ogretmen, &Sliste::secimDegisti, this, [this] { remoteSelectionChanged(m_ogretmen); });
  connect(m_kumandalar, &Sliste::secimDegisti, this,
          [this] { remoteSelectionChanged(m_kumandalar); });
  connect(cmdEkle, &QPushButton::clicked, this, &frmKumandaTanimlama::ekle);
  connect(cmdCikart, &QPushButton::clicked, this, &frmKumandaTanimlama::cikart);
  connect(cmdOtomatik, &QPushButton::clicked, this, &frmKumandaTanimlama::otomatikEslestir);
  connect(cmdSil, &QPushButton::clicked, this, &frmKumandaTanimlama::sil);
  connect(m_cmdYeniKayit, &QPushButton::clicked, this, &frmKumandaTanimlama::yeniKayit);
  connect(m_cmdYeniAlici, &QPushButton::clicked, this, &frmKumandaTanimlama::yeniAlici);
  connect(cmdBitir, &QPushButton::clicked, this,
          [this] { framework::check(m_context.messages, bitir()); });
  connect(cmdEslesmeListesi, &QPushButton::clicked, this, [this] {
    exportTo(sinifi() + QStringLiteral(" Eşleşme Listesi"),
             [this](const QString& p) { return eslesmeListesiYaz(p); });
  });
  connect(cmdEtiket, &QPushButton::clicked, this, [this] {
    exportTo(sinifi() + QStringLiteral(" Etiket"),
             [this](const QString& p) { return etiketYaz(p); });
  });
  connect(cmdEslesmeExcel, &QPushButton::clicked, this,
          &frmKumandaTanimlama::chooseClassesForLabels);
  connect(m_lvKumanda, &QListWidget::itemChanged, this, &frmKumandaTanimlama::panelItemChanged);

  connect(&m_registration, &school::RemoteRegistration::itemsChanged, this,
          &frmKumandaTanimlama::refreshPanel);
  connect(&context.store, &store::Store::dataChanged, this, &frmKumandaTanimlama::dataChanged);

  listeleriYenile();
}

frmKumandaTanimlama::~frmKumandaTanimlama() {
  // A screen torn down without a close event still writes what was heard.
  if (m_registration.isOpen()) (void)m_registration.finish();
}

QString frmKumandaTanimlama::frameKumandaTag() const {
  return m_frameKumanda->property("Tag").toString();
}

QString frmKumandaTanimlama::sinifi() const {
  const QString c = m_cmbSinifi->currentText();
  return c.isEmpty() ? lists::kTumu : c;
}

void frmKumandaTanimlama::dataChanged(store::Changes what) {
  using store::Change;
  if (!(what &
        (store::Changes(Change::Remotes) | Change::Pairings | Change::Students | Change::Lists)))
    return;
  // The remote being looked at stays picked across the refill.
  const QString keep = m_address;
  listeleriYenile();
  if (!keep.isEmpty()) kumandaSec(keep);
}

void frmKumandaTanimlama::listeleriYenile() {
  const QString keep = m_cmbSinifi->currentText();
  m_refreshing = true;
  m_cmbSinifi->clear();
  m_cmbSinifi->addItems(
      school::Pairing(m_context.store).classFilterEntries().valueOr({lists::kTumu}));
  const int at = m_cmbSinifi->findText(keep);
  m_cmbSinifi->setCurrentIndex(at >= 0 ? at : 0);
  (void)m_ogretmen->ListeDoldurYeni(school::Pairing::teacherRemotesQuery());
  (void)m_kumandalar->ListeDoldurYeni(school::Pairing::studentRemotesQuery(sinifi()));
  m_refreshing = false;
  refreshStudents();
}

void frmKumandaTanimlama::sinifSec(const QString& sinifi) {
  const int at = m_cmbSinifi->findText(sinifi);
  if (at >= 0 && at != m_cmbSinifi->currentIndex()) {
    m_cmbSinifi->setCurrentIndex(at);  // comes back here through the signal
    return;
  }
  m_refreshing = true;
  (void)m_kumandalar->ListeDoldurYeni(school::Pairing::studentRemotesQuery(this->sinifi()));
  m_refreshing = false;
  refreshStudents();
}

void frmKumandaTanimlama::kumandaSec(const QString& address) {
  m_address = address;
  refreshStudents();
}

void frmKumandaTanimlama::remoteSelectionChanged(Sliste* grid) {
  if (m_refreshing) return;
  const QStringList picked = grid->SeciliKayitDegerleriniVer(school::Pairing::kAddress);
  if (!picked.isEmpty()) {
    // One remote at a time is shown: a pick in one grid drops the other's.
    Sliste* other = grid == m_ogretmen ? m_kumandalar : m_ogretmen;
    m_refreshing = true;
    other->SecimiBosalt();
    m_refreshing = false;
  }
  m_address = picked.isEmpty() ? QString() : picked.last();
  refreshStudents();
}

void frmKumandaTanimlama::refreshStudents() {
  m_lblKumandaNo->setText(m_address.isEmpty() ? QString()
                                              : QStringLiteral("Kumanda No: ") + m_address);
  const bool without = m_chkKumandasiz->isChecked();
  m_gOgrenciler->setTitle(without ? QStringLiteral("Kumandası Olmayan Öğrenciler")
                                  : QStringLiteral("Eşleştirilebilecek Öğrenciler"));
  if (without) (void)m_ogrenciler->ListeDoldurYeni(school::Pairing::withoutRemoteQuery(sinifi()));
  if (m_address.isEmpty()) {
    (void)m_eslesme->ListeDoldurYeni(school::Pairing::noStudentsQuery());
    if (!without) (void)m_ogrenciler->ListeDoldurYeni(school::Pairing::noStudentsQuery());
    return;
  }
  (void)m_eslesme->ListeDoldurYeni(school::Pairing::pairedStudentsQuery(m_address, sinifi()));
  if (!without)
    (void)m_ogrenciler->ListeDoldurYeni(
        school::Pairing::availableStudentsQuery(m_address, sinifi()));
}

void frmKumandaTanimlama::ekle() {
  const QStringList picked = m_ogrenciler->SeciliKayitDegerleriniVer(school::Pairing::kKayitNo);
  if (m_address.isEmpty() || picked.isEmpty()) return;
  framework::check(m_context.messages, school::Pairing(m_context.store).pair(m_address, picked));
}

void frmKumandaTanimlama::cikart() {
  const QStringList picked = m_eslesme->SeciliKayitDegerleriniVer(school::Pairing::kKayitNo);
  if (m_address.isEmpty() || picked.isEmpty()) return;
  framework::check(m_context.messages, school::Pairing(m_context.store).unpair(m_address, picked));
}

void frmKumandaTanimlama::otomatikEslestir() {
  const QStringList addresses = m_kumandalar->SeciliKayitDegerleriniVer(school::Pairing::kAddress);
  if (addresses.isEmpty()) {
    m_context.messages.warning(school::Pairing::noRemotesChosenMessage(),
                               QStringLiteral("Otomatik Eşleştirme"));
    return;
  }
  if (sinifi() == lists::kTumu) {
    m_context.messages.warning(
        QStringLiteral("Otomatik eşleştirme için lütfen listeden bir sınıf seçiniz."));
    return;
  }
  const Result<QString> shared =
      school::Pairing(m_context.store).sharedRemotesQuestion(addresses, sinifi());
  if (!shared) {
    m_context.messages.error(shared.error());
    return;
  }
  if (!shared->isEmpty() &&
      !m_context.messages.ask(shared.value(), QStringLiteral("Otomatik Eşleştirme")))
    return;
  frmIslem wait(this);
  wait.showText(school::Pairing::waitText());
  const Result<int> made = school::Pairing(m_context.store).autoPair(addresses, sinifi());
  wait.close();
  if (!made) {
    m_context.messages.error(made.error());
    return;
  }
  m_context.messages.info(school::Pairing(m_context.store).autoPairSummary(*made, sinifi()),
                          QStringLiteral("Otomatik Eşleştirme"));
}

void frmKumandaTanimlama::sil() {
  QStringList addresses = m_ogretmen->SeciliKayitDegerleriniVer(school::Pairing::kAddress);
  addresses += m_kumandalar->SeciliKayitDegerleriniVer(school::Pairing::kAddress);
  if (addresses.isEmpty()) return;
  if (!m_context.messages.ask(school::Pairing::deleteQuestion(addresses))) return;
  m_address.clear();
  framework::check(m_context.messages, school::Pairing(m_context.store).removeRemotes(addresses));
}

void frmKumandaTanimlama::yeniKayit() { m_registration.startNewRemotes(); }

void frmKumandaTanimlama::yeniAlici() { m_registration.startNewReceiver(); }

Status frmKumandaTanimlama::bitir() {
  const Status s = m_registration.finish();
  refreshPanel();
  return s;
}

bool frmKumandaTanimlama::capturingNewRemotes() const {
  return m_registration.mode() == school::RemoteRegistration::Mode::NewRemotes;
}

void frmKumandaTanimlama::yeniKumandaYakalandi(const QString& address) {
  m_registration.heard(address);
}

void frmKumandaTanimlama::refreshPanel() {
  const bool open = m_registration.isOpen();
  m_frameKumanda->setProperty("Tag", m_registration.tag());
  m_frameKumanda->setVisible(open);
  m_cmdYeniKayit->setEnabled(!open);
  m_cmdYeniAlici->setEnabled(!open);
  m_lblOgretmenKumandasi->setText(m_registration.instructionText());
  const bool checkable = m_registration.mode() == school::RemoteRegistration::Mode::NewRemotes;
  m_lvKumanda->blockSignals(true);
  m_lvKumanda->clear();
  for (const auto& it : m_registration.items()) {
    auto* item = new QListWidgetItem(hearingIcon(it.icon), it.address, m_lvKumanda);
    item->setData(Qt::UserRole, it.icon);
    item->setFlags(checkable ? (Qt::ItemIsEnabled | Qt::ItemIsUserCheckable) : Qt::ItemIsEnabled);
    item->setCheckState(it.teacher ? Qt::Checked : Qt::Unchecked);
  }
  m_lvKumanda->scrollToBottom();
  m_lvKumanda->blockSignals(false);
  m_lblKumandaEtiketiYazdir->setText(QString::number(m_registration.count()));
  m_lblSayi->setText(m_registration.countCaption());
  const QString noReceiver = m_registration.noReceiverText();
  m_lblAliciYok->setText(noReceiver);
  m_lblAliciYok->setVisible(!noReceiver.isEmpty());
}

void frmKumandaTanimlama::setReceiverPresent(bool present) {
  m_registration.setReceiverPresent(present);
}

void frmKumandaTanimlama::panelItemChanged(QListWidgetItem* item) {
  m_registration.setTeacher(item->text(), item->checkState() == Qt::Checked);
}

void frmKumandaTanimlama::closeEvent(QCloseEvent* event) {
  if (m_registration.isOpen()) framework::check(m_context.messages, bitir());
  QWidget::closeEvent(event);
}

bool frmKumandaTanimlama::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_lblKumandaEtiketiYazdir && event->type() == QEvent::MouseButtonDblClick) {
    const QString path = school::SchoolExports(m_context.store).remoteNumberLabelsPath();
    afterExport(kumandaEtiketiYaz(path), path);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

Status frmKumandaTanimlama::eslesmeListesiYaz(const QString& path) {
  return school::SchoolExports(m_context.store).pairingList(sinifi(), path);
}

Status frmKumandaTanimlama::etiketYaz(const QString& path) {
  return school::SchoolExports(m_context.store).classLabels(sinifi(), path);
}

Status frmKumandaTanimlama::topluEtiketYaz(const QStringList& classes, const QString& path) {
  return school::SchoolExports(m_context.store).multiClassLabels(classes, path);
}

Status frmKumandaTanimlama::kumandaEtiketiYaz(const QString& path) {
  QStringList addresses;
  for (const auto& it : m_registration.items()) addresses << it.address;
  return school::SchoolExports(m_context.store).remoteNumberLabels(addresses, path);
}

void frmKumandaTanimlama::exportTo(const QString& suggestedName,
                                   const std::function<Status(const QString&)>& write) {
  const QString path =
      filedialogs::saveFile(this, QStringLiteral("Excel"), QStringLiteral("Kaydet"),
                            school::SchoolExports::proposedFileName(suggestedName),
                            school::SchoolExports::fileFilter(), QStringLiteral("xlsx"));
  if (!path.isEmpty()) afterExport(write(path), path);
}

void frmKumandaTanimlama::afterExport(const Status& status, const QString& path) {
  if (!framework::check(m_context.messages, status)) return;
  if (m_context.messages.ask(school::SchoolExports::openQuestion(), QStringLiteral("Bilgi")))
    framework::openFile(m_context.messages, path);
}

void frmKumandaTanimlama::chooseClassesForLabels() {
  QDialog dlg(this);
  dlg.setWindowTitle(QStringLiteral("Etiketi Hazırlanacak Sınıflar"));
  auto* l = new QVBoxLayout(&dlg);
  l->addWidget(
      new QLabel(QStringLiteral("Etiketleri hazırlanacak sınıfları işaretleyiniz:"), &dlg));
  auto* list = new QListWidget(&dlg);
  for (const QString& c : school::Students(m_context.store).classNames().valueOr({})) {
    auto* item = new QListWidgetItem(c, list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(c == sinifi() ? Qt::Checked : Qt::Unchecked);
  }
  l->addWidget(list);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Tamam"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Vazgeç"));
  connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  l->addWidget(buttons);
  dlg.resize(360, 420);
  if (dlg.exec() != QDialog::Accepted) return;
  QStringList classes;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->checkState() == Qt::Checked) classes << list->item(i)->text();
  if (classes.isEmpty()) return;
  exportTo(QStringLiteral("Toplu Etiket"),
           [this, classes](const QString& p) { return topluEtiketYaz(classes, p); });
}
