#include "screens/authoring/frmSoruHazirlama.h"

#include <QAudioDevice>
#include <QAudioInput>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMediaFormat>
#include <QMediaRecorder>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "Messages.h"
#include "authoring/QuestionBank.h"
#include "authoring/QuestionStrip.h"
#include "curriculum/CurriculumLists.h"
#include "framework/CurriculumFilters.h"
#include "framework/ExchangeImport.h"
#include "framework/FileDialogs.h"
#include "framework/FilterListFill.h"
#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "framework/TestPreview.h"
#include "lists/FilterLists.h"
#include "screens/authoring/AuthoringScreens.h"
#include "screens/authoring/PictureBox.h"
#include "screens/authoring/TypedQuestionDialog.h"
#include "users/Session.h"

using authoring::QuestionForm;
using authoringui::combo;
using authoringui::comboText;
using authoringui::lineEdit;
using authoringui::setComboText;
using framework::button;
using namespace framework::exchangeimport;

namespace {

const QString kScreen = QStringLiteral("frmSoruHazirlama");
// The action right of deleting many questions at once.
const QString kBulkDelete = QStringLiteral("TopluSoruSil");
constexpr Kind kQuestions = Kind::Questions;

// "Soru İçeriği" of a question that has no text (a picture question): the top
// of its picture, read once per size.
class StripDelegate : public QStyledItemDelegate {
 public:
  StripDelegate(Sliste* list, store::Store& store)
      : QStyledItemDelegate(list), m_list(list), m_store(store) {}
  void forget() { m_strips.clear(); }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    if (m_list->sutunAdi(index.column()) != QLatin1String("SORUICERIK") ||
        !index.data().toString().trimmed().isEmpty())
      return;
    const QString key =
        m_list->deger(m_list->proxy()->sourceRow(index.row()), QStringLiteral("SORUNUMARASI"));
    const QRect room = option.rect.adjusted(4, 2, -4, -2);
    const QImage strip = stripOf(key, room.size());
    if (!strip.isNull()) painter->drawImage(room.topLeft(), strip);
  }

 private:
  QImage stripOf(const QString& key, const QSize& size) const {
    const QString id = QStringLiteral("%1|%2x%3").arg(key).arg(size.width()).arg(size.height());
    auto it = m_strips.constFind(id);
    if (it == m_strips.cend()) {
      const QByteArray bytes = authoring::QuestionBank(m_store).pictures(key).valueOr({}).question;
      it = m_strips.insert(id, authoring::questionStrip(QImage::fromData(bytes), size));
    }
    return *it;
  }

  Sliste* m_list;
  store::Store& m_store;
  mutable QHash<QString, QImage> m_strips;
};

QLabel* caption(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setWordWrap(true);
  return l;
}

}  // namespace

frmSoruHazirlama::frmSoruHazirlama(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_form(context.store) {
  setObjectName(kScreen);
  setWindowTitle(QStringLiteral("Soru Hazırlama"));
  auto* root = new QVBoxLayout(this);
  m_pages = new QStackedWidget(this);
  m_pages->addWidget(buildEditor());
  m_pages->addWidget(buildSearch());
  root->addWidget(m_pages);

  m_painting = true;
  m_editCurriculum->fillAll();
  m_searchCurriculum->fillAll();
  // The search panel's last choices, set from the top so the curriculum lists
  // cascade; an entry no longer in its list leaves the list where it is.
  const QStringList chosen = m_form.searchChoices();
  for (size_t i = 0; i < m_searchLists.size(); ++i) {
    QComboBox* c = m_searchLists.at(i);
    if (const int at = c->findText(chosen.value(qsizetype(i))); at >= 0) c->setCurrentIndex(at);
  }
  m_painting = false;

  connect(&context.store, &store::Store::dataChanged, this, &frmSoruHazirlama::dataChanged);
  connect(&m_context.session, &users::Session::rightsChanged, this, &frmSoruHazirlama::paint);
  report(m_form.open());
  paint();
}

QWidget* frmSoruHazirlama::buildEditor() {
  auto* page = new QWidget(this);
  auto* h = new QHBoxLayout(page);

  // Left: number, picture, media.
  auto* left = new QVBoxLayout;
  auto* top = new QHBoxLayout;
  m_lblSoruNo = new QLabel(page);
  m_lblSoruNo->setObjectName(QStringLiteral("lblSoruNo"));
  QFont big = m_lblSoruNo->font();
  big.setPointSizeF(big.pointSizeF() * 1.5);
  big.setBold(true);
  m_lblSoruNo->setFont(big);
  m_lblGorunum = new QLabel(page);
  m_lblGorunum->setObjectName(QStringLiteral("lblGorunum"));
  m_cmdSoruCevapGoster = button(QStringLiteral("cmdSoruCevapGoster"), QString(), page);
  m_cmdSoruYaz =
      button(QStringLiteral("cmdSoruYaz"), QStringLiteral("Soruyu Yazarak Hazırla"), page);
  auto* cmdResim = button(QStringLiteral("cmdResimSec"), QStringLiteral("Resim Seç"), page);
  top->addWidget(m_lblSoruNo);
  top->addWidget(m_lblGorunum, 1);
  top->addWidget(cmdResim);
  top->addWidget(m_cmdSoruYaz);
  top->addWidget(m_cmdSoruCevapGoster);
  left->addLayout(top);

  m_picture = new PictureBox(QStringLiteral("Picture1"), page);
  left->addWidget(m_picture, 1);

  auto* media = new QHBoxLayout;
  m_lblMedya = new QLabel(page);
  m_lblMedya->setObjectName(QStringLiteral("lblMedya"));
  m_txtMedya = lineEdit(QStringLiteral("txtSesDosyasi"), page);
  m_txtMedya->setReadOnly(true);
  m_txtMedya->setClearButtonEnabled(true);
  auto* cmdSesSec = button(QStringLiteral("cmdSesSec"), QStringLiteral("Dosya Seç"), page);
  auto* cmdMedyaSil = button(QStringLiteral("cmdMedyaSil"), QStringLiteral("Kaldır"), page);
  m_cmdSesKayit = button(QStringLiteral("cmdSesKayit"), QuestionForm::recordCaption(false), page);
  left->addWidget(m_lblMedya);
  media->addWidget(m_txtMedya, 1);
  media->addWidget(cmdSesSec);
  media->addWidget(cmdMedyaSil);
  media->addWidget(m_cmdSesKayit);
  left->addLayout(media);
  h->addLayout(left, 3);

  // Right: the fields of a test question or of a survey question.
  auto* right = new QVBoxLayout;
  m_cmdTestAnket = button(QStringLiteral("cmdTestAnket"), QString(), page);
  m_cmdTestAnket->setCheckable(true);
  right->addWidget(m_cmdTestAnket);
  m_sstab1 = new QStackedWidget(page);
  m_sstab1->setObjectName(QStringLiteral("SSTab1"));

  auto* testPage = new QWidget(m_sstab1);
  auto* tf = new QFormLayout(testPage);
  tf->setContentsMargins(0, 0, 0, 0);
  m_cmbSeviye = combo(QStringLiteral("cmbSeviye"), testPage);
  m_cmbDers = combo(QStringLiteral("cmbDers"), testPage);
  m_cmbUnite = combo(QStringLiteral("cmbUnite"), testPage);
  m_cmbKonu = combo(QStringLiteral("cmbKonu"), testPage);
  m_cmbKazanim = combo(QStringLiteral("cmbKazanim"), testPage);
  m_cmbDogruSik = combo(QStringLiteral("cmbDogruSik"), testPage);
  m_cmbSoruTuru = combo(QStringLiteral("cmbSoruTuru"), testPage);
  m_cmbZorluk = combo(QStringLiteral("cmbZorluk"), testPage);
  m_cmbPuan = combo(QStringLiteral("cmbPuan"), testPage);
  m_cmbSure = combo(QStringLiteral("cmbSure"), testPage);
  m_txtAciklama = lineEdit(QStringLiteral("txtAciklama"), testPage);
  tf->addRow(QStringLiteral("Seviye"), m_cmbSeviye);
  tf->addRow(QStringLiteral("Ders"), m_cmbDers);
  tf->addRow(QStringLiteral("Ünite"), m_cmbUnite);
  tf->addRow(QStringLiteral("Konu"), m_cmbKonu);
  tf->addRow(QStringLiteral("Kazanım"), m_cmbKazanim);
  tf->addRow(QStringLiteral("Doğru Şık"), m_cmbDogruSik);
  tf->addRow(QStringLiteral("Soru Türü"), m_cmbSoruTuru);
  tf->addRow(QStringLiteral("Zorluk"), m_cmbZorluk);
  tf->addRow(QStringLiteral("Puan"), m_cmbPuan);
  tf->addRow(QStringLiteral("Süre (sn)"), m_cmbSure);
  tf->addRow(QStringLiteral("Açıklama"), m_txtAciklama);
  m_sstab1->addWidget(testPage);

  auto* surveyPage = new QWidget(m_sstab1);
  auto* sf = new QFormLayout(surveyPage);
  sf->setContentsMargins(0, 0, 0, 0);
  m_cmbSeviyeAnket = combo(QStringLiteral("cmbSeviyeAnket"), surveyPage);
  m_cmbKonuAnket = combo(QStringLiteral("cmbKonuAnket"), surveyPage, true);
  m_cmbSureAnket = combo(QStringLiteral("cmbSureAnket"), surveyPage);
  m_txtAciklamaAnket = lineEdit(QStringLiteral("txtAciklamaAnket"), surveyPage);
  sf->addRow(QStringLiteral("Seviye"), m_cmbSeviyeAnket);
  sf->addRow(QStringLiteral("Anket Konusu"), m_cmbKonuAnket);
  sf->addRow(QStringLiteral("Süre (sn)"), m_cmbSureAnket);
  sf->addRow(QStringLiteral("Açıklama"), m_txtAciklamaAnket);
  m_sstab1->addWidget(surveyPage);
  right->addWidget(m_sstab1);
  right->addStretch(1);

  // Record buttons, then navigation.
  auto* record = new QGridLayout;
  auto* cmdYeni = button(QStringLiteral("cmdYeniKayit"), QStringLiteral("Yeni"), page);
  m_cmdKaydet = button(QStringLiteral("cmdKaydet"), QString(), page);
  m_cmdSil = button(QStringLiteral("cmdSil"), QString(), page);
  m_cmdSoruyuCogalt = button(QStringLiteral("cmdSoruyuCogalt"), QStringLiteral("Çoğalt"), page);
  auto* cmdOnizleme = button(QStringLiteral("cmdOnizleme"), QStringLiteral("Önizleme"), page);
  auto* cmdAra = button(QStringLiteral("cmdSorulariGoster"), QStringLiteral("Soruları Bul"), page);
  record->addWidget(cmdYeni, 0, 0);
  record->addWidget(m_cmdKaydet, 0, 1);
  record->addWidget(m_cmdSil, 0, 2);
  record->addWidget(m_cmdSoruyuCogalt, 1, 0);
  record->addWidget(cmdOnizleme, 1, 1);
  record->addWidget(cmdAra, 1, 2);
  right->addLayout(record);
  m_lblDurum = new QLabel(page);
  m_lblDurum->setObjectName(QStringLiteral("lblDurum"));
  m_lblDurum->setStyleSheet(QStringLiteral("color: #1a6b1a; font-weight: bold;"));
  m_durumTimer = new QTimer(this);
  m_durumTimer->setSingleShot(true);
  m_durumTimer->setInterval(6000);
  connect(m_durumTimer, &QTimer::timeout, m_lblDurum, &QLabel::clear);
  right->addWidget(m_lblDurum);

  auto* nav = new QHBoxLayout;
  const char* const kNav[] = {"|<", "<", ">", ">|", "<<20", "20>>"};
  const char* const kNavTips[] = {"İlk soru", "Önceki soru",  "Sonraki soru",
                                  "Son soru", "20 soru geri", "20 soru ileri"};
  const int kNavOrder[] = {0, 4, 1, 2, 5, 3};
  for (int i = 0; i < 6; ++i) {
    auto* b = new QPushButton(QString::fromLatin1(kNav[i]), page);
    b->setObjectName(QStringLiteral("cmdNav%1").arg(i));
    b->setToolTip(QString::fromUtf8(kNavTips[i]));
    b->setMinimumHeight(40);
    b->setMinimumWidth(44);
    b->setAutoDefault(false);
    m_cmdNav.at(size_t(i)) = b;
    connect(b, &QPushButton::clicked, this, [this, i] { gezin(Nav(i)); });
  }
  for (int i : kNavOrder) {
    nav->addWidget(m_cmdNav.at(size_t(i)));
    if (i == 1) {
      m_lblSoruSayac = new QLabel(page);
      m_lblSoruSayac->setObjectName(QStringLiteral("lblSoruSayac"));
      m_lblSoruSayac->setAlignment(Qt::AlignCenter);
      m_lblSoruSayac->setMinimumWidth(70);
      nav->addWidget(m_lblSoruSayac, 1);
    }
  }
  right->addLayout(nav);
  h->addLayout(right, 2);

  // Lists: the values a question takes, never "TÜMÜ" (that is a search's word
  // for "any"); a list left unchosen saves nothing.
  for (const auto& [c, entries] :
       {std::pair{m_cmbSoruTuru, lists::SoruTuruDoldur()},
        std::pair{m_cmbZorluk, lists::ZorlukDoldur()}, std::pair{m_cmbPuan, lists::PuanDoldur()}}) {
    filtre::fillCombo(c, authoringui::withoutAll(entries));
    c->setCurrentIndex(-1);
  }
  filtre::fillCombo(m_cmbDogruSik, authoringui::withoutAll(lists::CevapDoldur()), false);
  const QStringList times = authoringui::withoutAll(lists::SureDoldur());
  filtre::fillCombo(m_cmbSure, times);
  filtre::fillCombo(m_cmbSureAnket, times);
  surveyLevels(m_cmbSeviyeAnket);
  m_editCurriculum = new CurriculumFilters(
      m_context.store, {m_cmbSeviye, m_cmbDers, m_cmbUnite, m_cmbKonu, m_cmbKazanim}, this,
      CurriculumFilters::Use::Values);

  for (QComboBox* c :
       {m_cmbSeviye, m_cmbDers, m_cmbUnite, m_cmbKonu, m_cmbKazanim, m_cmbDogruSik, m_cmbSoruTuru,
        m_cmbZorluk, m_cmbPuan, m_cmbSure, m_cmbSeviyeAnket, m_cmbKonuAnket, m_cmbSureAnket})
    connect(c, &QComboBox::currentTextChanged, this, &frmSoruHazirlama::fieldEdited);
  for (QLineEdit* e : {m_txtAciklama, m_txtAciklamaAnket})
    connect(e, &QLineEdit::textEdited, this, &frmSoruHazirlama::fieldEdited);

  connect(cmdYeni, &QPushButton::clicked, this, &frmSoruHazirlama::yeniKayit);
  connect(m_cmdKaydet, &QPushButton::clicked, this, &frmSoruHazirlama::kaydet);
  connect(m_cmdSil, &QPushButton::clicked, this, &frmSoruHazirlama::sil);
  connect(m_cmdSoruyuCogalt, &QPushButton::clicked, this, &frmSoruHazirlama::cogalt);
  connect(cmdOnizleme, &QPushButton::clicked, this, &frmSoruHazirlama::onizleme);
  connect(cmdAra, &QPushButton::clicked, this, &frmSoruHazirlama::sorulariGoster);
  connect(m_cmdTestAnket, &QPushButton::clicked, this, &frmSoruHazirlama::testAnket);
  connect(m_cmdSoruCevapGoster, &QPushButton::clicked, this, &frmSoruHazirlama::soruCevapGoster);
  connect(m_cmdSoruYaz, &QPushButton::clicked, this, &frmSoruHazirlama::yaziliSoru);
  connect(cmdResim, &QPushButton::clicked, this, &frmSoruHazirlama::pickPicture);
  connect(m_picture, &PictureBox::doubleClicked, this, &frmSoruHazirlama::pickPicture);
  connect(m_picture, &PictureBox::fileDropped, this, &frmSoruHazirlama::resimDosyasi);
  connect(m_picture, &PictureBox::imageGiven, this, &frmSoruHazirlama::resimVer);
  connect(cmdSesSec, &QPushButton::clicked, this, &frmSoruHazirlama::pickMedia);
  connect(cmdMedyaSil, &QPushButton::clicked, this, [this] { medyaDosyasi(QString()); });
  connect(m_cmdSesKayit, &QPushButton::clicked, this, &frmSoruHazirlama::sesKayit);
  return page;
}

QWidget* frmSoruHazirlama::buildSearch() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("frameSoruSec"));
  auto* v = new QVBoxLayout(page);
  auto* filters = new QGroupBox(QStringLiteral("Soru Arama"), page);
  auto* g = new QGridLayout(filters);
  const char* const kNames[] = {"cmbSeviyeAra",  "cmbDersAra",     "cmbUniteAra",    "cmbKonuAra",
                                "cmbKazanimAra", "cmbDogruSikAra", "cmbSoruTuruAra", "cmbZorlukAra",
                                "cmbPuanAra",    "cmbSureAra"};
  const char* const kCaptions[] = {"Seviye",    "Ders",      "Ünite",  "Konu", "Kazanım",
                                   "Doğru Şık", "Soru Türü", "Zorluk", "Puan", "Süre"};
  for (int i = 0; i < 10; ++i) {
    QComboBox* c = combo(QString::fromLatin1(kNames[i]), filters);
    m_searchLists.at(size_t(i)) = c;
    g->addWidget(caption(QString::fromUtf8(kCaptions[i]), filters), (i % 5), (i / 5) * 2);
    g->addWidget(c, i % 5, (i / 5) * 2 + 1);
  }
  m_txtAciklamaAra = lineEdit(QStringLiteral("txtAciklamaAra"), filters);
  m_txtTestNoAra = lineEdit(QStringLiteral("txtTestNoAra"), filters);
  m_txtSonEklenen = lineEdit(QStringLiteral("txtSonEklenen"), filters);
  m_txtAciklamaAra->setPlaceholderText(QStringLiteral("Açıklamada ya da soru metninde"));
  g->addWidget(caption(QStringLiteral("Açıklama"), filters), 0, 4);
  g->addWidget(m_txtAciklamaAra, 0, 5);
  g->addWidget(caption(QStringLiteral("Test No"), filters), 1, 4);
  g->addWidget(m_txtTestNoAra, 1, 5);
  g->addWidget(caption(QStringLiteral("Son Eklenen"), filters), 2, 4);
  g->addWidget(m_txtSonEklenen, 2, 5);
  auto* cmdBul = button(QStringLiteral("cmdBul"), QStringLiteral("Bul"), filters);
  g->addWidget(cmdBul, 4, 5);
  for (int c : {1, 3, 5}) g->setColumnStretch(c, 1);
  v->addWidget(filters);

  m_sliste1 = new Sliste(m_context, {kScreen, QStringLiteral("Sliste1")}, page);
  // Rows tall enough for the first line of a picture question.
  m_sliste1->setSatirYuksekligi(48);
  m_strips = new StripDelegate(m_sliste1, m_context.store);
  m_sliste1->tablo()->setItemDelegate(m_strips);
  v->addWidget(m_sliste1, 1);
  m_lblSonuc = new QLabel(page);
  m_lblSonuc->setObjectName(QStringLiteral("lblSonuc"));

  auto* buttons = new QHBoxLayout;
  m_cmdSoruSec = button(QStringLiteral("cmdSoruSec"), QStringLiteral("Seçilenleri Göster"), page);
  auto* cmdIptal = button(QStringLiteral("cmdSoruSecIptal"), QStringLiteral("Kapat"), page);
  m_cmdSecilileriSil =
      button(QStringLiteral("cmdSecilileriSil"), QStringLiteral("Seçilenleri Sil"), page);
  m_cmdSoruVer = button(QStringLiteral("cmdSoruVer"), QStringLiteral("Soru Ver"), page);
  m_cmdSoruAl = button(QStringLiteral("cmdSoruAl"), QStringLiteral("Soru Al"), page);
  m_cmdSoruVer->setToolTip(QStringLiteral("Seçilen soruları bir soru dosyasına yazar"));
  m_cmdSoruAl->setToolTip(QStringLiteral("Soru dosyalarındaki soruları bankaya ekler"));
  buttons->addWidget(m_cmdSoruSec);
  buttons->addWidget(m_cmdSecilileriSil);
  buttons->addWidget(m_cmdSoruVer);
  buttons->addWidget(m_cmdSoruAl);
  buttons->addWidget(m_lblSonuc);
  buttons->addStretch(1);
  buttons->addWidget(cmdIptal);
  v->addLayout(buttons);

  // Lists: the same values as the editing lists, "TÜMÜ" first.
  filtre::CevapDoldur(m_searchLists[5]);
  filtre::SoruTuruDoldur(m_searchLists[6]);
  filtre::ZorlukDoldur(m_searchLists[7]);
  filtre::PuanDoldur(m_searchLists[8]);
  filtre::SureDoldur(m_searchLists[9]);
  for (size_t i = 5; i < 10; ++i) m_searchLists.at(i)->setCurrentIndex(0);
  m_searchCurriculum = new CurriculumFilters(
      m_context.store,
      {m_searchLists[0], m_searchLists[1], m_searchLists[2], m_searchLists[3], m_searchLists[4]},
      this);

  connect(cmdBul, &QPushButton::clicked, this, &frmSoruHazirlama::bul);
  connect(m_txtSonEklenen, &QLineEdit::returnPressed, this, &frmSoruHazirlama::bul);
  connect(m_txtAciklamaAra, &QLineEdit::returnPressed, this, &frmSoruHazirlama::bul);
  connect(m_txtTestNoAra, &QLineEdit::returnPressed, this, &frmSoruHazirlama::bul);
  connect(m_cmdSoruSec, &QPushButton::clicked, this, &frmSoruHazirlama::soruSec);
  connect(m_sliste1, &Sliste::kayitCiftTiklandi, this, &frmSoruHazirlama::soruSec);
  connect(cmdIptal, &QPushButton::clicked, this, &frmSoruHazirlama::aramaKapat);
  connect(m_cmdSecilileriSil, &QPushButton::clicked, this, &frmSoruHazirlama::secilileriSil);
  connect(m_cmdSoruVer, &QPushButton::clicked, this, &frmSoruHazirlama::soruVer);
  connect(m_cmdSoruAl, &QPushButton::clicked, this, &frmSoruHazirlama::soruAl);
  connect(m_sliste1, &Sliste::secimDegisti, this, &frmSoruHazirlama::paint);
  return page;
}

QComboBox* frmSoruHazirlama::list(const QString& name) const { return findChild<QComboBox*>(name); }

QLineEdit* frmSoruHazirlama::text(const QString& name) const { return findChild<QLineEdit*>(name); }

bool frmSoruHazirlama::searchShown() const { return m_pages->currentIndex() == 1; }

bool frmSoruHazirlama::report(const Status& status) {
  return authoringui::report(m_context.messages, status);
}

void frmSoruHazirlama::dataChanged(store::Changes what) {
  if (what.testFlag(store::Change::Lists)) {
    m_painting = true;
    filtre::reloadKeepingChoice(m_cmbSeviyeAnket, [this](QComboBox* c) { surveyLevels(c); });
    m_painting = false;
  }
  if (!what.testFlag(store::Change::Questions) && !what.testFlag(store::Change::Tests)) return;
  static_cast<StripDelegate*>(m_strips)->forget();
  report(m_form.refresh());
  paint();
  if (searchShown()) (void)m_sliste1->ListeDoldurYeni(m_form.searchQuery());
}

void frmSoruHazirlama::surveyLevels(QComboBox* c) {
  filtre::fillCombo(c, authoringui::withoutAll(curriculum::SeviyeDoldur(m_context.store)), false);
}

// ---------------------------------------------------------------------------------
// Painting the form's state

void frmSoruHazirlama::paint() {
  const bool selected = m_form.mode() == QuestionForm::Mode::Selected;
  const bool survey = m_form.fields().anket;
  m_lblSoruNo->setText(QStringLiteral("Soru No: %1").arg(m_form.keyText()));
  m_lblSoruSayac->setText(m_form.counterText());
  m_cmdKaydet->setText(m_form.saveCaption());
  m_cmdSil->setText(m_form.deleteCaption());
  m_cmdSoruyuCogalt->setEnabled(selected);
  for (int i = 0; i < 6; ++i) m_cmdNav.at(size_t(i))->setEnabled(m_form.canNavigate(Nav(i)));
  m_cmdTestAnket->setChecked(survey);
  m_cmdTestAnket->setText(survey ? QStringLiteral("Anket Sorusu (test sorusuna çevir)")
                                 : QStringLiteral("Test Sorusu (anket sorusuna çevir)"));
  m_sstab1->setCurrentIndex(survey ? 1 : 0);

  const bool question = m_form.view() == QuestionForm::View::Question;
  m_lblGorunum->setText(question ? QStringLiteral("Soru") : QStringLiteral("Çözüm"));
  m_cmdSoruCevapGoster->setText(question ? QStringLiteral("Çözümü Göster")
                                         : QStringLiteral("Soruyu Göster"));
  m_cmdSoruYaz->setEnabled(question);
  m_picture->showFile(m_form.pictureToShow());
  m_lblMedya->setText(m_form.mediaLabel());
  m_txtMedya->setObjectName(question ? QStringLiteral("txtSesDosyasi")
                                     : QStringLiteral("txtVideoDosyasi"));
  m_txtMedya->setText(m_form.mediaPath());
  m_cmdSesKayit->setEnabled(m_form.recordEnabled());
  paintFields();

  const int picks = int(m_sliste1->SeciliKayitlariVer().size());
  const bool picked = picks > 0;
  m_lblSonuc->setText(
      QStringLiteral("%1 soru bulundu, %2 seçili").arg(m_sliste1->gorunenKayitSayisi()).arg(picks));
  m_cmdSoruSec->setEnabled(picked);
  m_cmdSecilileriSil->setEnabled(picked && authoringui::allowed(m_context, kBulkDelete, false));
  m_cmdSoruVer->setEnabled(picked &&
                           authoringui::allowed(m_context, writeRightKey(kQuestions), false));
  m_cmdSoruAl->setEnabled(authoringui::allowed(m_context, rightKey(kQuestions), false));
}

void frmSoruHazirlama::paintFields() {
  const authoring::Question& q = m_form.fields();
  m_painting = true;
  if (q.anket) {
    setComboText(m_cmbSeviyeAnket, q.seviye);
    setComboText(m_cmbKonuAnket, q.unite);
    setComboText(m_cmbSureAnket, q.sure);
    m_txtAciklamaAnket->setText(q.aciklama);
  } else {
    // From the top, so that each list offers what belongs under the one above.
    setComboText(m_cmbSeviye, q.seviye);
    setComboText(m_cmbDers, q.ders);
    setComboText(m_cmbUnite, q.unite);
    setComboText(m_cmbKonu, q.konu);
    setComboText(m_cmbKazanim, q.kazanim);
    setComboText(m_cmbDogruSik, q.dogruSik);
    setComboText(m_cmbSoruTuru, q.turu);
    setComboText(m_cmbZorluk, q.zorluk);
    setComboText(m_cmbPuan, q.puan);
    setComboText(m_cmbSure, q.sure);
    m_txtAciklama->setText(q.aciklama);
  }
  m_painting = false;
}

void frmSoruHazirlama::readFields() {
  authoring::Question& q = m_form.fields();
  if (q.anket) {
    q.seviye = comboText(m_cmbSeviyeAnket);
    q.unite = m_cmbKonuAnket->currentText().trimmed();
    q.sure = comboText(m_cmbSureAnket);
    q.aciklama = m_txtAciklamaAnket->text();
    return;
  }
  q.seviye = comboText(m_cmbSeviye);
  q.ders = comboText(m_cmbDers);
  q.unite = comboText(m_cmbUnite);
  q.konu = comboText(m_cmbKonu);
  q.kazanim = comboText(m_cmbKazanim);
  q.dogruSik = comboText(m_cmbDogruSik);
  q.turu = comboText(m_cmbSoruTuru);
  q.zorluk = comboText(m_cmbZorluk);
  q.puan = comboText(m_cmbPuan);
  q.sure = comboText(m_cmbSure);
  q.aciklama = m_txtAciklama->text();
}

void frmSoruHazirlama::fieldEdited() {
  if (!m_painting) readFields();
}

// ---------------------------------------------------------------------------------
// Record buttons and navigation

void frmSoruHazirlama::yeniKayit() {
  report(m_form.beginNew());
  paint();
}

void frmSoruHazirlama::kaydet() {
  readFields();
  m_cmdKaydet->setEnabled(false);
  if (report(m_form.save())) tell(QuestionForm::savedMessage(m_form.keyText()));
  m_cmdKaydet->setEnabled(true);
  paint();
}

void frmSoruHazirlama::tell(const QString& text) {
  m_lblDurum->setText(text);
  m_durumTimer->start();
}

void frmSoruHazirlama::sil() {
  report(m_form.remove(m_context.messages));
  paint();
}

void frmSoruHazirlama::cogalt() {
  const QString original = m_form.keyText();
  if (report(m_form.duplicate())) tell(QuestionForm::duplicatedMessage(original, m_form.keyText()));
  paint();
}

void frmSoruHazirlama::gezin(Nav nav) {
  report(m_form.navigate(nav));
  paint();
}

void frmSoruHazirlama::testAnket() {
  readFields();
  m_form.setSurvey(!m_form.fields().anket);
  paint();
}

void frmSoruHazirlama::soruCevapGoster() {
  m_form.toggleView();
  paint();
}

void frmSoruHazirlama::pickPicture() {
  const QString file =
      filedialogs::openFile(this, QStringLiteral("Fotograf"), QuestionForm::pictureDialogTitle(),
                            QuestionForm::pictureFilter());
  if (!file.isEmpty()) resimDosyasi(file);
}

void frmSoruHazirlama::resimDosyasi(const QString& file) {
  report(m_form.choosePicture(file));
  paint();
}

void frmSoruHazirlama::resimVer(const QImage& image) {
  report(m_form.setPicture(image));
  paint();
}

void frmSoruHazirlama::pickMedia() {
  const QString file = filedialogs::openFile(this, QStringLiteral("SesVideo"),
                                             m_form.mediaDialogTitle(), m_form.mediaFilter());
  if (!file.isEmpty()) medyaDosyasi(file);
}

void frmSoruHazirlama::medyaDosyasi(const QString& file) {
  m_form.setMediaPath(file);
  paint();
}

void frmSoruHazirlama::sesKayit() {
  if (m_recorder && m_recorder->recorderState() != QMediaRecorder::StoppedState) {
    m_recorder->stop();  // the path goes into the box once the file is closed
    return;
  }
  // A machine without a microphone (or without a sound server) says so.
  if (QMediaDevices::audioInputs().isEmpty()) {
    m_context.messages.info(QuestionForm::noMicrophoneMessage());
    return;
  }
  if (!m_recorder) {
    auto* session = new QMediaCaptureSession(this);
    session->setAudioInput(new QAudioInput(session));
    m_recorder = new QMediaRecorder(session);
    session->setRecorder(m_recorder);
    connect(m_recorder, &QMediaRecorder::recorderStateChanged, this,
            [this](QMediaRecorder::RecorderState state) {
              m_cmdSesKayit->setText(
                  QuestionForm::recordCaption(state != QMediaRecorder::StoppedState));
              if (state != QMediaRecorder::StoppedState) return;
              const QString file = m_recorder->actualLocation().toLocalFile();
              if (!file.isEmpty() && QFileInfo::exists(file)) medyaDosyasi(file);
            });
    connect(m_recorder, &QMediaRecorder::errorOccurred, this,
            [this](QMediaRecorder::Error, const QString& text) {
              m_context.messages.warning(QStringLiteral("Ses kaydı yapılamadı (%1).").arg(text));
            });
  }
  QMediaFormat format(QMediaFormat::Wave);
  format.setAudioCodec(QMediaFormat::AudioCodec::Wave);
  m_recorder->setMediaFormat(format);
  // Always inside the data folder, under the question's number.
  m_recorder->setOutputLocation(QUrl::fromLocalFile(m_form.recordingPath()));
  m_recorder->record();
}

void frmSoruHazirlama::onizleme() {
  const Result<QString> key = m_form.previewKey();
  if (!key) {
    m_context.messages.warning(key.error());
    return;
  }
  TestPreview::previewQuestion(m_context, key.value(), window());
}

void frmSoruHazirlama::yaziliSoru() {
  TypedQuestionDialog dialog(m_context.messages, this);
  if (const auto typed = m_form.typed()) dialog.setQuestion(*typed);
  if (dialog.exec() != QDialog::Accepted) return;
  report(m_form.setTyped(dialog.question()));
  paint();
}

// ---------------------------------------------------------------------------------
// The search panel

void frmSoruHazirlama::sorulariGoster() {
  m_pages->setCurrentIndex(1);
  bul();
}

void frmSoruHazirlama::aramaKapat() {
  m_pages->setCurrentIndex(0);
  paint();
}

void frmSoruHazirlama::bul() {
  const Result<int> last = authoring::QuestionSearch::parseLastAdded(m_txtSonEklenen->text());
  if (!last) {
    m_context.messages.warning(last.error());
    return;
  }
  QStringList chosen;
  for (QComboBox* c : m_searchLists) chosen << c->currentText();
  QuestionForm::saveSearchChoices(chosen);

  authoring::QuestionSearch& s = m_form.search();
  s.curriculum = m_searchCurriculum->filter();
  s.dogruSik = m_searchLists[5]->currentText();
  s.turu = m_searchLists[6]->currentText();
  s.zorluk = m_searchLists[7]->currentText();
  s.puan = m_searchLists[8]->currentText();
  s.sure = m_searchLists[9]->currentText();
  s.text = m_txtAciklamaAra->text().trimmed();
  s.testNo = m_txtTestNoAra->text().trimmed();
  s.lastAdded = last.value();
  (void)m_sliste1->ListeDoldurYeni(m_form.searchQuery());
  paint();
}

void frmSoruHazirlama::soruSec() {
  const QStringList keys = m_sliste1->SeciliKayitDegerleriniVer(QStringLiteral("SORUNUMARASI"));
  if (keys.isEmpty()) return;
  if (!report(m_form.choose(keys))) return;
  aramaKapat();
}

void frmSoruHazirlama::secilileriSil() {
  if (!authoringui::allowed(m_context, kBulkDelete, true)) return;
  const QStringList keys = m_sliste1->SeciliKayitDegerleriniVer(QStringLiteral("SORUNUMARASI"));
  if (keys.isEmpty()) return;
  QProgressDialog progress(QStringLiteral("Sorular siliniyor..."), QString(), 0, int(keys.size()),
                           this);
  progress.setWindowTitle(QStringLiteral("Soru Silme"));
  progress.setMinimumDuration(500);
  report(m_form.removeMany(keys, m_context.messages, [&progress](int done, int total) {
    progress.setMaximum(total);
    progress.setValue(done);
  }));
  (void)m_sliste1->ListeDoldurYeni(m_form.searchQuery());
  paint();
}

void frmSoruHazirlama::soruVer() {
  if (!authoringui::allowed(m_context, writeRightKey(kQuestions), true)) return;
  const QStringList keys = m_sliste1->SeciliKayitDegerleriniVer(QStringLiteral("SORUNUMARASI"));
  if (!keys.isEmpty()) exportFile(this, m_context, kQuestions, keys);
}

void frmSoruHazirlama::soruAl() {
  if (!authoringui::allowed(m_context, rightKey(kQuestions), true)) return;
  const QStringList paths = chooseFiles(this, kQuestions, Origin::Screen);
  if (!paths.isEmpty()) importFiles(this, m_context, kQuestions, paths, Origin::Screen);
}
