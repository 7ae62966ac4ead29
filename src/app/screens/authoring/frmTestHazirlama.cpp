#include "screens/authoring/frmTestHazirlama.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "Messages.h"
#include "authoring/QuestionBank.h"
#include "authoring/QuestionForm.h"
#include "authoring/TestSearchChoices.h"
#include "framework/CurriculumFilters.h"
#include "framework/ExchangeImport.h"
#include "framework/FileDialogs.h"
#include "framework/FilterListFill.h"
#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "framework/TestPreview.h"
#include "lists/FilterLists.h"
#include "screens/authoring/AnswerKeyDialog.h"
#include "screens/authoring/AuthoringScreens.h"
#include "screens/authoring/AutoSelectionDialog.h"
#include "screens/authoring/BookletDialog.h"
#include "screens/authoring/PictureBox.h"
#include "screens/authoring/QuestionPickerDialog.h"
#include "users/Session.h"

using authoring::TestForm;
using authoringui::combo;
using authoringui::comboText;
using authoringui::lineEdit;
using authoringui::setComboText;
using framework::button;
using namespace framework::exchangeimport;

namespace {

const QString kScreen = QStringLiteral("frmTestHazirlama");
const QString kBulkDelete = QStringLiteral("TopluTestSil");
constexpr Kind kTests = Kind::Tests;

// A label that reports double-clicks (lblTestNo renumbers).
class ClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> onDoubleClick;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    QLabel::mouseDoubleClickEvent(event);
    if (onDoubleClick) onDoubleClick();
  }
};

}  // namespace

frmTestHazirlama::frmTestHazirlama(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_form(context.store) {
  setObjectName(kScreen);
  setWindowTitle(QStringLiteral("Test Hazırlama"));
  auto* root = new QVBoxLayout(this);
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("SSTab1"));
  m_tabs->setStyleSheet(QStringLiteral("QTabBar::tab { min-height: 36px; padding: 4px 18px; }"));
  m_tabs->addTab(buildInfo(), QStringLiteral("Teste Ait Bilgiler"));
  m_tabs->addTab(buildQuestions(), QStringLiteral("Testin Sorularını Oluştur"));
  m_tabs->addTab(buildSearch(), QStringLiteral("Mevcut Testler"));
  m_cmdOnizleme = button(QStringLiteral("cmdOnizleme"), QStringLiteral("Testi Önizle"), this);
  auto* top = new QHBoxLayout;
  top->addStretch(1);
  top->addWidget(m_cmdOnizleme);
  root->addLayout(top);
  root->addWidget(m_tabs, 1);
  connect(m_cmdOnizleme, &QPushButton::clicked, this, &frmTestHazirlama::onizleme);
  connect(&context.store, &store::Store::dataChanged, this, &frmTestHazirlama::dataChanged);
  connect(&m_context.session, &users::Session::rightsChanged, this, &frmTestHazirlama::paint);

  m_painting = true;
  m_curriculum->fillAll();
  m_searchCurriculum->fillAll();
  filtre::HazirlayanDoldur(m_searchLists[5], context.store);
  filtre::fillCombo(m_searchLists[6], authoring::TestSearchChoices::appliedEntries());
  // The search choices of the last search, from the top so the lists cascade.
  const authoring::TestSearchChoices saved =
      authoring::TestSearchChoices::load(context.store).valueOr({});
  const curriculum::CurriculumFilter& c = saved.curriculum;
  const QString entries[] = {c.level,   c.course,     c.unit,       c.topic,
                             c.outcome, saved.author, saved.applied};
  // An entry no longer in its list leaves the list where it is.
  for (size_t i = 0; i < m_searchLists.size(); ++i)
    if (const int at = m_searchLists.at(i)->findText(entries[i]); at >= 0)
      m_searchLists.at(i)->setCurrentIndex(at);
  m_txtTestAdiAra->setText(saved.name);
  m_painting = false;

  report(m_form.open());
  paint();
  testleriBul();  // shows the tests the saved choices find
}

// ---------------------------------------------------------------------------------
// Building

QWidget* frmTestHazirlama::buildInfo() {
  auto* page = new QWidget(this);
  auto* h = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  auto* f = new QFormLayout;
  auto* number = new ClickLabel(page);
  number->setObjectName(QStringLiteral("lblTestNo"));
  number->setToolTip(QStringLiteral("Test numarasını değiştirmek için çift tıklayın"));
  QFont big = number->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  big.setBold(true);
  number->setFont(big);
  auto renumber = [this] {
    if (!m_form.savedTestShown()) return;
    bool ok = false;
    const QString answer =
        QInputDialog::getText(this, QStringLiteral("Test Numarası"),
                              authoring::TestRenumbering::prompt() + QLatin1Char('\n') +
                                  authoring::TestRenumbering::promptDetail(),
                              QLineEdit::Normal, QString(), &ok);
    if (ok && !answer.trimmed().isEmpty()) numaraDegistir(answer.trimmed());
  };
  number->onDoubleClick = renumber;
  auto* cmdNumara = new QPushButton(QStringLiteral("Numarayı Değiştir"), page);
  cmdNumara->setObjectName(QStringLiteral("cmdTestNoDegistir"));
  connect(cmdNumara, &QPushButton::clicked, this, renumber);
  m_lblTestNo = number;
  m_txtTestAdi = lineEdit(QStringLiteral("txtTestAdi"), page);
  m_cmbHazirlayan = combo(QStringLiteral("cmbHazirlayan"), page, true);
  const char* const kNames[] = {"cmbSeviye", "cmbDers", "cmbUnite", "cmbKonu", "cmbKazanim"};
  const char* const kCaptions[] = {"Seviye", "Ders", "Ünite", "Konu", "Kazanım"};
  auto* numberRow = new QHBoxLayout;
  numberRow->addWidget(m_lblTestNo);
  numberRow->addStretch(1);
  numberRow->addWidget(cmdNumara);
  f->addRow(QStringLiteral("Test No"), numberRow);
  f->addRow(QStringLiteral("Test Adı"), m_txtTestAdi);
  f->addRow(QStringLiteral("Hazırlayan"), m_cmbHazirlayan);
  for (int i = 0; i < 5; ++i) {
    m_curriculumLists.at(size_t(i)) = combo(QString::fromLatin1(kNames[i]), page);
    f->addRow(QString::fromUtf8(kCaptions[i]), m_curriculumLists.at(size_t(i)));
  }
  m_cmbSoruSayilariniGoster = combo(QStringLiteral("cmbSoruSayilariniGoster"), page);
  m_cmbTestBaslangicGoster = combo(QStringLiteral("cmbTestBaslangicGoster"), page);
  m_cmbSoruSayilariniGoster->addItems(TestForm::showHideEntries());
  m_cmbTestBaslangicGoster->addItems(TestForm::showHideEntries());
  f->addRow(QStringLiteral("Test Başlangıcında Soru Sayıları"), m_cmbSoruSayilariniGoster);
  f->addRow(QStringLiteral("Test Başlangıç Ekranı"), m_cmbTestBaslangicGoster);
  m_lblSoruSayisi = new QLabel(page);
  m_lblSoruSayisi->setObjectName(QStringLiteral("lblSoruSayisi"));
  m_lblSure = new QLabel(page);
  m_lblSure->setObjectName(QStringLiteral("lblSure"));
  auto* counts = new QHBoxLayout;
  counts->addWidget(m_lblSoruSayisi);
  counts->addWidget(m_lblSure);
  counts->addStretch(1);
  f->addRow(QStringLiteral("Sorular"), counts);
  left->addLayout(f);
  left->addStretch(1);

  auto* record = new QGridLayout;
  auto* cmdYeni = button(QStringLiteral("cmdYeniKayit"), QStringLiteral("Yeni Test"), page);
  m_cmdKaydet = button(QStringLiteral("cmdKaydet"), QString(), page);
  m_cmdSil = button(QStringLiteral("cmdSil"), QString(), page);
  auto* cmdTestler =
      button(QStringLiteral("cmdTestleriGoster"), QStringLiteral("Mevcut Testler"), page);
  m_cmdKitapcik = button(QStringLiteral("cmdKitapcik"), QStringLiteral("Kitapçık"), page);
  record->addWidget(cmdYeni, 0, 0);
  record->addWidget(m_cmdKaydet, 0, 1);
  record->addWidget(m_cmdSil, 0, 2);
  record->addWidget(cmdTestler, 1, 0);
  record->addWidget(m_cmdKitapcik, 1, 1);
  m_cmdTestVer = button(QStringLiteral("cmdTestVer"), QStringLiteral("Test Ver"), page);
  m_cmdTestAl = button(QStringLiteral("cmdTestAl"), QStringLiteral("Test Al"), page);
  m_cmdTestVer->setToolTip(
      QStringLiteral("Mevcut Testler listesinde seçilen testleri, seçilen yoksa açık testi "
                     "sorularıyla birlikte bir test dosyasına yazar"));
  m_cmdTestAl->setToolTip(QStringLiteral("Test dosyalarındaki testleri sorularıyla ekler"));
  record->addWidget(m_cmdTestVer, 2, 0);
  record->addWidget(m_cmdTestAl, 2, 1);
  left->addLayout(record);
  h->addLayout(left, 1);

  auto* right = new QVBoxLayout;
  auto* startRow = new QHBoxLayout;
  startRow->addWidget(new QLabel(QStringLiteral("Test Başlangıç Ekranı"), page), 1);
  auto* cmdBaslangic = new QPushButton(QStringLiteral("Resim Seç"), page);
  cmdBaslangic->setObjectName(QStringLiteral("cmdBaslangicResmi"));
  startRow->addWidget(cmdBaslangic);
  right->addLayout(startRow);
  m_baslangic = new PictureBox(QStringLiteral("picBaslangicEkrani"), page);
  right->addWidget(m_baslangic, 1);
  h->addLayout(right, 1);

  m_curriculum =
      new CurriculumFilters(m_context.store,
                            {m_curriculumLists[0], m_curriculumLists[1], m_curriculumLists[2],
                             m_curriculumLists[3], m_curriculumLists[4]},
                            this);
  filtre::HazirlayanDoldur(m_cmbHazirlayan, m_context.store);
  m_cmbHazirlayan->removeItem(m_cmbHazirlayan->findText(lists::kTumu));

  for (QComboBox* c : m_curriculumLists)
    connect(c, &QComboBox::currentTextChanged, this, &frmTestHazirlama::fieldEdited);
  for (QComboBox* c : {m_cmbHazirlayan, m_cmbSoruSayilariniGoster, m_cmbTestBaslangicGoster})
    connect(c, &QComboBox::currentTextChanged, this, &frmTestHazirlama::fieldEdited);
  connect(m_txtTestAdi, &QLineEdit::textEdited, this, &frmTestHazirlama::fieldEdited);
  connect(cmdYeni, &QPushButton::clicked, this, &frmTestHazirlama::yeniKayit);
  connect(m_cmdKaydet, &QPushButton::clicked, this, &frmTestHazirlama::kaydet);
  connect(m_cmdSil, &QPushButton::clicked, this, &frmTestHazirlama::sil);
  connect(cmdTestler, &QPushButton::clicked, this, [this] { m_tabs->setCurrentIndex(2); });
  connect(m_cmdKitapcik, &QPushButton::clicked, this, &frmTestHazirlama::kitapcik);
  connect(m_cmdTestVer, &QPushButton::clicked, this, &frmTestHazirlama::testVer);
  connect(m_cmdTestAl, &QPushButton::clicked, this, &frmTestHazirlama::testAl);
  auto pickStart = [this] {
    const QString file = filedialogs::openFile(
        this, QStringLiteral("Fotograf"), QStringLiteral("Resim Dosyanızı Seçiniz"),
        QStringLiteral("Resim Dosyaları (*.jpg *.jpeg *.png)"));
    if (!file.isEmpty()) baslangicResmi(file);
  };
  connect(m_baslangic, &PictureBox::doubleClicked, this, pickStart);
  connect(findChild<QPushButton*>(QStringLiteral("cmdBaslangicResmi")), &QPushButton::clicked, this,
          pickStart);
  connect(m_baslangic, &PictureBox::fileDropped, this, &frmTestHazirlama::baslangicResmi);
  connect(m_baslangic, &PictureBox::imageGiven, this, [this](const QImage& image) {
    report(m_form.setStartScreen(image));
    paint();
  });
  return page;
}

QWidget* frmTestHazirlama::buildQuestions() {
  auto* page = new QWidget(this);
  auto* h = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  m_lblOzet = new QLabel(page);
  m_lblOzet->setObjectName(QStringLiteral("lblTestAdi2"));
  QFont bold = m_lblOzet->font();
  bold.setBold(true);
  m_lblOzet->setFont(bold);
  left->addWidget(m_lblOzet);
  m_slisteSorular = new Sliste(m_context, {kScreen, QStringLiteral("SlisteTesttekiSorular")}, page);
  m_slisteSorular->setBasligaTiklayincaSirala(false);
  left->addWidget(m_slisteSorular, 1);

  auto* add = new QHBoxLayout;
  auto* cmdSec =
      button(QStringLiteral("cmdSorulariGoster"), QStringLiteral("Sorulardan Seçerek Ekle"), page);
  auto* cmdOto =
      button(QStringLiteral("cmdOtomatikSoruSec"), QStringLiteral("Otomatik Soru Seç"), page);
  m_txtSoruNo = lineEdit(QStringLiteral("txtSoruNo"), page);
  m_txtSoruNo->setPlaceholderText(QStringLiteral("Soru No"));
  m_txtSoruNo->setMaximumWidth(110);
  auto* cmdNo = button(QStringLiteral("cmdSoruNoSec"), QStringLiteral("Numarayla Ekle"), page);
  auto* cmdKirp =
      button(QStringLiteral("cmdKirp"), QStringLiteral("Soruları Fotoğraf Çekerek Ekle"), page);
  add->addWidget(cmdKirp);
  add->addWidget(cmdSec);
  add->addWidget(cmdOto);
  add->addStretch(1);
  add->addWidget(m_txtSoruNo);
  add->addWidget(cmdNo);
  left->addLayout(add);

  auto* edit = new QHBoxLayout;
  auto* cmdSil = button(QStringLiteral("cmdSoruSil"), QStringLiteral("Testten Çıkar"), page);
  auto* cmdYukari = button(QStringLiteral("cmdYukari"), QStringLiteral("Yukarı"), page);
  auto* cmdAsagi = button(QStringLiteral("cmdAsagi"), QStringLiteral("Aşağı"), page);
  auto* cmdKaristir = button(QStringLiteral("cmdKaristir"), QStringLiteral("Karıştır"), page);
  m_cmbBolum = combo(QStringLiteral("cmbBolum"), page, true);
  m_cmbBolum->lineEdit()->setPlaceholderText(QStringLiteral("Bölüm adı"));
  auto* cmdBolum = button(QStringLiteral("cmdBolumAta"), QStringLiteral("Bölüm Ata"), page);
  for (QWidget* w : {static_cast<QWidget*>(cmdSil), static_cast<QWidget*>(cmdYukari),
                     static_cast<QWidget*>(cmdAsagi), static_cast<QWidget*>(cmdBolum)})
    m_needsPick << w;
  edit->addWidget(cmdSil);
  edit->addWidget(cmdYukari);
  edit->addWidget(cmdAsagi);
  edit->addWidget(cmdKaristir);
  edit->addWidget(m_cmbBolum, 1);
  edit->addWidget(cmdBolum);
  left->addLayout(edit);

  auto* more = new QHBoxLayout;
  auto* cmdKey = button(QStringLiteral("cmdCevapAnahtariKitapcik"),
                        QStringLiteral("Cevap Anahtarı ve Kitapçıklar"), page);
  auto* cmdStat =
      button(QStringLiteral("cmdSoruSayisiAyrinti"), QStringLiteral("Soru İstatistiği"), page);
  more->addWidget(cmdKey);
  more->addWidget(cmdStat);
  more->addStretch(1);
  left->addLayout(more);
  h->addLayout(left, 3);

  auto* detail = new QGroupBox(QStringLiteral("Seçili Soru"), page);
  auto* dv = new QVBoxLayout(detail);
  m_lblDetay = new QLabel(detail);
  m_lblDetay->setObjectName(QStringLiteral("lblSoruDetay"));
  m_lblDetay->setWordWrap(true);
  m_lblDetay->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  dv->addWidget(m_lblDetay);
  auto* choices = new QHBoxLayout;
  for (int i = 0; i < 5; ++i) {
    auto* b = new QPushButton(authoring::texts::kChoices.at(i), detail);
    b->setObjectName(QStringLiteral("lblABCDE%1").arg(i));
    b->setCheckable(true);
    b->setMinimumSize(44, 40);
    b->setToolTip(QStringLiteral("Doğru şık olarak işaretle"));
    b->setStyleSheet(
        QStringLiteral("QPushButton:checked { background: #80c080; font-weight: bold; }"));
    m_lblABCDE.at(size_t(i)) = b;
    choices->addWidget(b);
    m_needsPick << b;
    connect(b, &QPushButton::clicked, this, [this, i] { dogruSik(i); });
  }
  dv->addLayout(choices);
  auto* time = new QHBoxLayout;
  m_cmbSure = combo(QStringLiteral("cmbSure"), detail);
  filtre::fillCombo(m_cmbSure, authoringui::withoutAll(lists::SureDoldur()));
  m_needsPick << m_cmbSure;
  time->addWidget(new QLabel(QStringLiteral("Bu testteki süresi (sn)"), detail));
  time->addWidget(m_cmbSure, 1);
  dv->addLayout(time);
  m_detayResim = new PictureBox(QStringLiteral("picSoru"), detail);
  m_detayResim->setAcceptDrops(false);
  m_detayResim->setToolTip(QString());
  m_detayResim->setMinimumSize(240, 180);
  dv->addWidget(m_detayResim, 1);
  h->addWidget(detail, 2);

  connect(cmdKirp, &QPushButton::clicked, this,
          [this] { authoringui::openClipping(m_context, m_form.fields().testNo); });
  connect(cmdSec, &QPushButton::clicked, this, &frmTestHazirlama::soruEkle);
  connect(cmdOto, &QPushButton::clicked, this, &frmTestHazirlama::otomatikSec);
  connect(cmdNo, &QPushButton::clicked, this, &frmTestHazirlama::soruNoEkle);
  connect(m_txtSoruNo, &QLineEdit::returnPressed, this, &frmTestHazirlama::soruNoEkle);
  connect(cmdSil, &QPushButton::clicked, this, &frmTestHazirlama::soruSil);
  connect(cmdYukari, &QPushButton::clicked, this, &frmTestHazirlama::yukari);
  connect(cmdAsagi, &QPushButton::clicked, this, &frmTestHazirlama::asagi);
  connect(cmdKaristir, &QPushButton::clicked, this, &frmTestHazirlama::karistir);
  connect(cmdBolum, &QPushButton::clicked, this, &frmTestHazirlama::bolumAta);
  connect(cmdKey, &QPushButton::clicked, this, &frmTestHazirlama::cevapAnahtari);
  connect(cmdStat, &QPushButton::clicked, this, &frmTestHazirlama::istatistik);
  connect(m_cmbSure, &QComboBox::activated, this, [this] { sureAta(m_cmbSure->currentText()); });
  connect(m_slisteSorular, &Sliste::secimDegisti, this, &frmTestHazirlama::selectionChanged);
  return page;
}

QWidget* frmTestHazirlama::buildSearch() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("frameTestSec"));
  auto* v = new QVBoxLayout(page);
  auto* filters = new QGroupBox(QStringLiteral("Test Arama"), page);
  auto* g = new QGridLayout(filters);
  const char* const kNames[] = {"cmbSeviyeAra",  "cmbDersAra",       "cmbUniteAra", "cmbKonuAra",
                                "cmbKazanimAra", "cmbHazirlayanAra", "cmbUygulanma"};
  const char* const kCaptions[] = {"Seviye",  "Ders",       "Ünite",    "Konu",
                                   "Kazanım", "Hazırlayan", "Uygulanma"};
  for (int i = 0; i < 7; ++i) {
    m_searchLists.at(size_t(i)) = combo(QString::fromLatin1(kNames[i]), filters);
    g->addWidget(new QLabel(QString::fromUtf8(kCaptions[i]), filters), i % 4, (i / 4) * 2);
    g->addWidget(m_searchLists.at(size_t(i)), i % 4, (i / 4) * 2 + 1);
  }
  m_txtTestAdiAra = lineEdit(QStringLiteral("txtTestAdiAra"), filters);
  g->addWidget(new QLabel(QStringLiteral("Test Adı"), filters), 3, 2);
  g->addWidget(m_txtTestAdiAra, 3, 3);
  auto* cmdBul = button(QStringLiteral("cmdBul"), QStringLiteral("Bul"), filters);
  g->addWidget(cmdBul, 3, 4);
  m_txtTestNoAra = lineEdit(QStringLiteral("txtTestNoAra"), filters);
  m_txtTestNoAra->setPlaceholderText(QStringLiteral("Test No"));
  auto* cmdNo = button(QStringLiteral("cmdTestNoSec"), QStringLiteral("Numarayla Aç"), filters);
  g->addWidget(m_txtTestNoAra, 0, 4);
  g->addWidget(cmdNo, 1, 4);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  v->addWidget(filters);
  m_slisteTestler = new Sliste(m_context, {kScreen, QStringLiteral("SlisteTestler")}, page);
  v->addWidget(m_slisteTestler, 1);
  auto* buttons = new QHBoxLayout;
  auto* cmdSec = button(QStringLiteral("cmdTestSec"), QStringLiteral("Testi Aç"), page);
  m_cmdSecilileriSil =
      button(QStringLiteral("cmdSecilileriSil"), QStringLiteral("Seçilenleri Sil"), page);
  buttons->addWidget(cmdSec);
  buttons->addWidget(m_cmdSecilileriSil);
  buttons->addStretch(1);
  v->addLayout(buttons);
  m_searchCurriculum = new CurriculumFilters(
      m_context.store,
      {m_searchLists[0], m_searchLists[1], m_searchLists[2], m_searchLists[3], m_searchLists[4]},
      this);
  connect(cmdBul, &QPushButton::clicked, this, &frmTestHazirlama::testleriBul);
  connect(m_txtTestAdiAra, &QLineEdit::returnPressed, this, &frmTestHazirlama::testleriBul);
  connect(cmdNo, &QPushButton::clicked, this, &frmTestHazirlama::testNoSec);
  connect(m_txtTestNoAra, &QLineEdit::returnPressed, this, &frmTestHazirlama::testNoSec);
  connect(cmdSec, &QPushButton::clicked, this, &frmTestHazirlama::testSec);
  connect(m_slisteTestler, &Sliste::kayitCiftTiklandi, this, &frmTestHazirlama::testSec);
  connect(m_slisteTestler, &Sliste::secimDegisti, this, &frmTestHazirlama::paint);
  connect(m_cmdSecilileriSil, &QPushButton::clicked, this, &frmTestHazirlama::secilileriSil);
  return page;
}

// ---------------------------------------------------------------------------------
// Painting

bool frmTestHazirlama::report(const Status& status) {
  return authoringui::report(m_context.messages, status);
}

void frmTestHazirlama::dataChanged(store::Changes what) {
  if (!what.testFlag(store::Change::Tests) && !what.testFlag(store::Change::Questions)) return;
  report(m_form.refresh());
  paint();
  fillQuestions();
  if (what.testFlag(store::Change::Tests)) listTests();
}

void frmTestHazirlama::paint() {
  const bool saved = m_form.savedTestShown();
  const authoring::Test& t = m_form.fields();
  m_painting = true;
  m_lblTestNo->setText(t.testNo);
  if (m_txtTestAdi->text() != t.testAdi) m_txtTestAdi->setText(t.testAdi);
  m_cmbHazirlayan->setEditText(t.hazirlayan);
  const QString values[] = {t.seviye, t.ders, t.unite, t.konu, t.kazanim};
  for (size_t i = 0; i < 5; ++i) setComboText(m_curriculumLists.at(i), values[i]);
  m_cmbSoruSayilariniGoster->setCurrentIndex(t.soruSayilariniGoster == QLatin1String("1") ? 1 : 0);
  m_cmbTestBaslangicGoster->setCurrentIndex(t.baslangicEkraniGoster == QLatin1String("1") ? 1 : 0);
  m_painting = false;
  m_lblSoruSayisi->setText(m_form.questionsText());
  m_lblSure->setText(m_form.timeText());
  m_baslangic->showFile(m_form.startScreenPicture());
  m_cmdKaydet->setText(m_form.saveCaption());
  m_cmdSil->setText(m_form.deleteCaption());
  m_tabs->setTabEnabled(1, saved);
  m_cmdOnizleme->setEnabled(saved);
  m_cmdKitapcik->setEnabled(saved);
  m_lblOzet->setText(QStringLiteral("Test %1: %2 — %3, %4")
                         .arg(t.testNo, t.testAdi, m_form.questionsText(), m_form.timeText()));
  m_cmdSecilileriSil->setEnabled(!m_slisteTestler->SeciliKayitlariVer().isEmpty() &&
                                 authoringui::allowed(m_context, kBulkDelete, false));
  m_cmdTestVer->setEnabled(!testsToWrite().isEmpty() &&
                           authoringui::allowed(m_context, writeRightKey(kTests), false));
  m_cmdTestAl->setEnabled(authoringui::allowed(m_context, rightKey(kTests), false));
}

void frmTestHazirlama::fillQuestions() {
  // A test not saved yet has no rows: the grid shows its columns empty.
  const QList<int> keep = m_form.selection();
  Sliste::FillOptions options;
  options.internalColumns = {QStringLiteral("DOGRUSIK")};
  (void)m_slisteSorular->ListeDoldurYeni(m_form.questionsQuery(), options);
  // The picked rows stay picked (by their row ID) across a move.
  QItemSelectionModel* sel = m_slisteSorular->tablo()->selectionModel();
  lists::FilterProxy* proxy = m_slisteSorular->proxy();
  const int last = proxy->columnCount() - 1;
  QItemSelection items;
  for (int row = 0; row < proxy->rowCount() && last >= 0; ++row) {
    const int id = m_slisteSorular->deger(proxy->sourceRow(row), QStringLiteral("ID")).toInt();
    if (keep.contains(id)) items.select(proxy->index(row, 0), proxy->index(row, last));
  }
  sel->select(items, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  m_form.select(keep);
  filtre::fillCombo(m_cmbBolum, m_form.sections().valueOr({}), false);
  paintDetail();
}

QString frmTestHazirlama::pickedKey() const {
  const QStringList keys =
      m_slisteSorular->SeciliKayitDegerleriniVer(QStringLiteral("SORUNUMARASI"));
  return keys.size() == 1 ? keys.first() : QString();
}

void frmTestHazirlama::paintDetail() {
  const bool picked = !m_form.selection().isEmpty();
  for (QWidget* w : m_needsPick) w->setEnabled(picked);
  const QString key = pickedKey();
  const Result<authoring::Question> q =
      key.isEmpty() ? Result<authoring::Question>::failure(QString()) : m_form.detail(key);
  for (int i = 0; i < 5; ++i) {
    m_lblABCDE.at(size_t(i))->setEnabled(bool(q));
    m_lblABCDE.at(size_t(i))->setChecked(q && q->dogruSik == authoring::texts::kChoices.at(i));
  }
  if (!q) {
    m_lblDetay->setText(picked ? QStringLiteral("%1 soru seçili.").arg(m_form.selection().size())
                               : QStringLiteral("Ayrıntısını görmek için bir soru seçin."));
    m_detayResim->showBytes({});
    return;
  }
  m_lblDetay->setText(
      QStringLiteral("<b>Soru No:</b> %1<br><b>Seviye:</b> %2 &nbsp; <b>Ders:</b> "
                     "%3<br><b>Ünite:</b> %4<br><b>Konu:</b> %5<br><b>Kazanım:</b> "
                     "%6<br><b>Soru Türü:</b> %7 &nbsp; <b>Zorluk:</b> %8 &nbsp; "
                     "<b>Puan:</b> %9")
          .arg(q->soruNo.toHtmlEscaped(), q->seviye.toHtmlEscaped(), q->ders.toHtmlEscaped(),
               q->unite.toHtmlEscaped(), q->konu.toHtmlEscaped(), q->kazanim.toHtmlEscaped(),
               q->turu.toHtmlEscaped(), q->zorluk.toHtmlEscaped(), q->puan.toHtmlEscaped()));
  const int record = m_slisteSorular->SeciliKayitlariVer().value(0, -1);
  setComboText(m_cmbSure, m_slisteSorular->deger(record, QStringLiteral("SURE")));
  m_detayResim->showBytes(
      authoring::QuestionBank(m_context.store).pictures(key).valueOr({}).question);
}

void frmTestHazirlama::selectionChanged() {
  QList<int> ids;
  for (const QString& id : m_slisteSorular->SeciliKayitDegerleriniVer(QStringLiteral("ID")))
    ids << id.toInt();
  m_form.select(ids);
  paintDetail();
}

void frmTestHazirlama::pickPositions(const QList<int>& positions) {
  QList<int> ids;
  for (int r = 0; r < m_slisteSorular->kayitSayisi(); ++r)
    if (positions.contains(m_slisteSorular->deger(r, QStringLiteral("TESTSIRANO")).toInt()))
      ids << m_slisteSorular->deger(r, QStringLiteral("ID")).toInt();
  m_form.select(ids);
  fillQuestions();
}

void frmTestHazirlama::readFields() {
  authoring::Test& t = m_form.fields();
  t.testAdi = m_txtTestAdi->text();
  t.hazirlayan = m_cmbHazirlayan->currentText().trimmed();
  t.seviye = comboText(m_curriculumLists[0]);
  t.ders = comboText(m_curriculumLists[1]);
  t.unite = comboText(m_curriculumLists[2]);
  t.konu = comboText(m_curriculumLists[3]);
  t.kazanim = comboText(m_curriculumLists[4]);
  t.soruSayilariniGoster = QString::number(std::max(0, m_cmbSoruSayilariniGoster->currentIndex()));
  t.baslangicEkraniGoster = QString::number(std::max(0, m_cmbTestBaslangicGoster->currentIndex()));
}

void frmTestHazirlama::fieldEdited() {
  if (!m_painting) readFields();
}

// ---------------------------------------------------------------------------------
// Tab 0

void frmTestHazirlama::yeniKayit() {
  report(m_form.beginNew());
  paint();
  fillQuestions();
  m_tabs->setCurrentIndex(0);
  m_txtTestAdi->setFocus();
}

void frmTestHazirlama::kaydet() {
  readFields();
  report(m_form.save(m_context.messages));
  filtre::reloadKeepingChoice(m_cmbHazirlayan, [this](QComboBox* c) {
    filtre::HazirlayanDoldur(c, m_context.store);
    c->removeItem(c->findText(lists::kTumu));
  });
  paint();
  fillQuestions();
}

void frmTestHazirlama::sil() {
  report(m_form.remove(m_context.messages));
  paint();
  fillQuestions();
}

void frmTestHazirlama::testYukle(const QString& testNo) {
  if (!report(m_form.load(testNo))) return;
  paint();
  fillQuestions();
  m_tabs->setCurrentIndex(0);
}

void frmTestHazirlama::numaraDegistir(const QString& newTestNo) {
  const auto renumbered = m_form.renumber(newTestNo);
  if (!renumbered) {
    report(Status::failure(renumbered.error()));
    return;
  }
  paint();
  fillQuestions();
}

void frmTestHazirlama::baslangicResmi(const QString& file) {
  report(m_form.chooseStartScreen(file));
  paint();
}

// ---------------------------------------------------------------------------------
// Tab 1

void frmTestHazirlama::soruEkle() {
  QuestionPickerDialog picker(m_context, m_form, this);
  picker.exec();
  fillQuestions();
  paint();
}

void frmTestHazirlama::otomatikSec() {
  AutoSelectionDialog dialog(m_context, m_form, this);
  dialog.exec();
  fillQuestions();
  paint();
}

void frmTestHazirlama::soruNoEkle() {
  const QString key = m_txtSoruNo->text().trimmed();
  if (key.isEmpty()) return;
  if (!report(m_form.addByNumber(key))) return;
  m_txtSoruNo->clear();
  fillQuestions();
  paint();
}

void frmTestHazirlama::soruSil() {
  report(m_form.removeSelected());
  fillQuestions();
  paint();
}

void frmTestHazirlama::yukari() {
  report(m_form.moveUp());
  fillQuestions();
}

void frmTestHazirlama::asagi() {
  report(m_form.moveDown());
  fillQuestions();
}

void frmTestHazirlama::karistir() {
  if (!m_context.messages.ask(QStringLiteral("Testin soruları karıştırılsın mı?"),
                              QStringLiteral("Soru"), Messages::Answer::No))
    return;
  report(m_form.shuffle());
  fillQuestions();
}

void frmTestHazirlama::bolumAta() {
  report(m_form.setSection(m_cmbBolum->currentText().trimmed()));
  fillQuestions();
}

void frmTestHazirlama::sureAta(const QString& time) {
  report(m_form.setTime(time));
  fillQuestions();
  paint();
}

void frmTestHazirlama::dogruSik(int choice) {
  const QString key = pickedKey();
  if (key.isEmpty()) return;
  report(m_form.setCorrectChoice(key, authoring::texts::kChoices.at(choice)));
  paintDetail();
}

void frmTestHazirlama::cevapAnahtari() {
  AnswerKeyDialog dialog(m_context, this);
  if (!report(dialog.open(m_form.fields().testNo))) return;
  dialog.exec();
  fillQuestions();
}

void frmTestHazirlama::istatistik() {
  const Result<QString> text = m_form.statistics();
  if (!text) {
    report(Status::failure(text.error()));
    return;
  }
  m_context.messages.info(text.value(), TestForm::statisticsTitle());
}

void frmTestHazirlama::kitapcik() {
  if (!m_form.savedTestShown()) return;
  BookletDialog dialog(m_context, m_form, this);
  dialog.exec();
}

void frmTestHazirlama::onizleme() {
  const Result<QString> test = m_form.previewTest();
  if (!test) {
    m_context.messages.warning(test.error());
    return;
  }
  TestPreview::previewTest(m_context, test.value(), {}, window());
}

// ---------------------------------------------------------------------------------
// Tab 2

void frmTestHazirlama::testleriBul() {
  if (m_painting) return;
  authoring::TestSearch& s = m_form.search();
  s.curriculum = m_searchCurriculum->filter();
  s.hazirlayan = m_searchLists[5]->currentText();
  s.usage = authoring::TestSearch::usageOf(m_searchLists[6]->currentText());
  s.name = m_txtTestAdiAra->text().trimmed();
  authoring::TestSearchChoices choices;
  choices.curriculum = s.curriculum;
  choices.author = s.hazirlayan;
  choices.applied = m_searchLists[6]->currentText();
  choices.name = s.name;
  (void)choices.save(m_context.store.db());
  listTests();
}

void frmTestHazirlama::listTests() {
  (void)m_slisteTestler->ListeDoldurYeni(m_form.searchQuery());
  paint();
}

void frmTestHazirlama::testSec() {
  const QStringList keys = m_slisteTestler->SeciliKayitDegerleriniVer(QStringLiteral("TESTNO"));
  if (keys.isEmpty()) return;
  testYukle(keys.first());
}

void frmTestHazirlama::testNoSec() {
  if (!report(m_form.loadByNumber(m_txtTestNoAra->text()))) return;
  paint();
  fillQuestions();
  m_tabs->setCurrentIndex(0);
}

void frmTestHazirlama::secilileriSil() {
  if (!authoringui::allowed(m_context, kBulkDelete, true)) return;
  report(m_form.removeMany(m_slisteTestler->SeciliKayitDegerleriniVer(QStringLiteral("TESTNO")),
                           m_context.messages));
  listTests();
  fillQuestions();
}

QStringList frmTestHazirlama::testsToWrite() const {
  const QStringList chosen = m_slisteTestler->SeciliKayitDegerleriniVer(QStringLiteral("TESTNO"));
  if (!chosen.isEmpty()) return chosen;
  if (m_form.savedTestShown()) return {m_form.fields().testNo};
  return {};
}

void frmTestHazirlama::testVer() {
  if (!authoringui::allowed(m_context, writeRightKey(kTests), true)) return;
  const QStringList keys = testsToWrite();
  if (!keys.isEmpty()) exportFile(this, m_context, kTests, keys);
}

void frmTestHazirlama::testAl() {
  if (!authoringui::allowed(m_context, rightKey(kTests), true)) return;
  const QStringList paths = chooseFiles(this, kTests, Origin::Screen);
  if (!paths.isEmpty()) importFiles(this, m_context, kTests, paths, Origin::Screen);
}
