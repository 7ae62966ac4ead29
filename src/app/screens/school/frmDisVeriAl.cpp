#include "screens/school/frmDisVeriAl.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "Messages.h"
#include "framework/FileDialogs.h"
#include "framework/ScreenHelpers.h"
#include "framework/frmIslem.h"
#include "school/StudentRules.h"
#include "school/Students.h"

frmDisVeriAl::frmDisVeriAl(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_import(std::in_place, context.store) {
  setObjectName(QStringLiteral("frmDisVeriAl"));
  setWindowTitle(QStringLiteral("Excel'den Öğrenci Aktarımı"));

  auto* root = new QVBoxLayout(this);
  QFont big = font();
  big.setPointSizeF(big.pointSizeF() * 1.15);

  // 1. The workbook and its sheet.
  auto* gDosya = new QGroupBox(QStringLiteral("1. Dosya ve Sayfa"), this);
  auto* fd = new QFormLayout(gDosya);
  auto* row = new QHBoxLayout;
  m_txtDosya = new QLineEdit(gDosya);
  m_txtDosya->setObjectName(QStringLiteral("txtDosya"));
  m_txtDosya->setReadOnly(true);
  m_txtDosya->setMinimumHeight(40);
  m_txtDosya->setPlaceholderText(
      QStringLiteral("Excel, Calc (.xls, .xlsx, .ods) veya .csv dosyası seçiniz"));
  auto* cmdGozat =
      framework::button(QStringLiteral("cmdGozat"), QStringLiteral("Gözat..."), gDosya);
  row->addWidget(m_txtDosya, 1);
  row->addWidget(cmdGozat);
  fd->addRow(QStringLiteral("Dosya:"), row);
  m_cmbSheet = new QComboBox(gDosya);
  m_cmbSheet->setObjectName(QStringLiteral("cmbSheet"));
  m_cmbSheet->setMinimumHeight(40);
  fd->addRow(QStringLiteral("Sayfa:"), m_cmbSheet);
  root->addWidget(gDosya);

  // 2. Which spreadsheet column is which student field.
  auto* gEs = new QGroupBox(QStringLiteral("2. Sütun Eşleştirme"), this);
  auto* el = new QVBoxLayout(gEs);
  auto* pick = new QHBoxLayout;
  m_cmbExcelSutunu = new QComboBox(gEs);
  m_cmbExcelSutunu->setObjectName(QStringLiteral("cmbExcelSutunu"));
  m_cmbExcelSutunu->setMinimumSize(260, 40);
  m_cmbRehberSutunu = new QComboBox(gEs);
  m_cmbRehberSutunu->setObjectName(QStringLiteral("cmbRehberSutunu"));
  m_cmbRehberSutunu->setMinimumSize(200, 40);
  for (const auto& f : school::StudentImport::fields()) m_cmbRehberSutunu->addItem(f.caption);
  auto* cmdEkle = framework::button(QStringLiteral("cmdEkle"), QStringLiteral("Eşleştir"), gEs);
  pick->addWidget(new QLabel(QStringLiteral("Excel sütunu:"), gEs));
  pick->addWidget(m_cmbExcelSutunu, 1);
  pick->addWidget(new QLabel(QStringLiteral("=>  Öğrenci bilgisi:"), gEs));
  pick->addWidget(m_cmbRehberSutunu);
  pick->addWidget(cmdEkle);
  el->addLayout(pick);
  auto* listRow = new QHBoxLayout;
  m_lstEslesme = new QListWidget(gEs);
  m_lstEslesme->setObjectName(QStringLiteral("lstEslesme"));
  m_lstEslesme->setFont(big);
  listRow->addWidget(m_lstEslesme, 1);
  auto* side = new QVBoxLayout;
  m_cmdEOkulListesi = framework::button(QStringLiteral("cmdEOkulListesi"),
                                        QStringLiteral("e-Okul Sınıf Listesi"), gEs);
  m_cmdEOkulListesi->setToolTip(QStringLiteral(
      "e-Okul'dan alınan sınıf listesinin sütunlarını kendiliğinden eşleştirir (başlık "
      "satırı \"S.No\" ile başlar)"));
  auto* cmdSil =
      framework::button(QStringLiteral("cmdSil"), QStringLiteral("Seçili Eşleşmeyi Sil"), gEs);
  auto* cmdTemizle =
      framework::button(QStringLiteral("cmdTemizle"), QStringLiteral("Listeyi Temizle"), gEs);
  for (QPushButton* b : {m_cmdEOkulListesi, cmdSil, cmdTemizle}) b->setMinimumWidth(190);
  side->addWidget(m_cmdEOkulListesi);
  side->addWidget(cmdSil);
  side->addWidget(cmdTemizle);
  side->addStretch();
  listRow->addLayout(side);
  el->addLayout(listRow, 1);
  m_middle = new QStackedWidget(this);
  m_middle->addWidget(gEs);

  // The result sheet: every row of the list and what became of it.
  auto* gSonuc = new QGroupBox(QStringLiteral("Aktarım Sonucu"), this);
  auto* sl = new QVBoxLayout(gSonuc);
  m_tblSonuc = new QTableWidget(0, 7, gSonuc);
  m_tblSonuc->setObjectName(QStringLiteral("tblSonuc"));
  m_tblSonuc->setHorizontalHeaderLabels({QStringLiteral("Satır"), QStringLiteral("Adı"),
                                         QStringLiteral("Soyadı"), QStringLiteral("Numarası"),
                                         QStringLiteral("Sınıfı"), QStringLiteral("Sonuç"),
                                         QStringLiteral("Açıklama")});
  m_tblSonuc->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_tblSonuc->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_tblSonuc->verticalHeader()->hide();
  m_tblSonuc->horizontalHeader()->setStretchLastSection(true);
  m_tblSonuc->setFont(big);
  sl->addWidget(m_tblSonuc, 1);
  auto* resultRow = new QHBoxLayout;
  m_cmdSonucAc =
      framework::button(QStringLiteral("cmdSonucAc"), QStringLiteral("Sonuç Dosyasını Aç"), gSonuc);
  m_cmdSonucAc->setToolTip(QStringLiteral("Aynı sonucu hesap tablosu olarak açar"));
  m_cmdSonucAc->setMinimumWidth(m_cmdSonucAc->sizeHint().width() + 24);
  resultRow->addStretch();
  resultRow->addWidget(m_cmdSonucAc);
  sl->addLayout(resultRow);
  m_middle->addWidget(gSonuc);
  root->addWidget(m_middle, 1);

  // 3. Class, level and the import.
  auto* gKay = new QGroupBox(QStringLiteral("3. Sınıf, Seviye ve Aktarım"), this);
  auto* kl = new QHBoxLayout(gKay);
  m_cmbSinifi = new QComboBox(gKay);
  m_cmbSinifi->setObjectName(QStringLiteral("cmbSinifi"));
  m_cmbSinifi->setEditable(true);  // a class not offered yet is typed in
  m_cmbSinifi->setInsertPolicy(QComboBox::NoInsert);
  m_cmbSinifi->setMinimumSize(140, 40);
  m_cmbSinifi->lineEdit()->setPlaceholderText(QStringLiteral("Yeni sınıf"));
  m_cmbSinifi->setToolTip(QStringLiteral(
      "Sınıf sütunu eşleştirilmemiş ya da boş olan öğrencilerin sınıfı. Listenin başlığında "
      "\"7. Sınıf / A Şubesi\" gibi bir satır varsa kendiliğinden dolar."));
  m_cmbSeviye = new QComboBox(gKay);
  m_cmbSeviye->setObjectName(QStringLiteral("cmbSeviye"));
  m_cmbSeviye->setMinimumSize(160, 40);
  m_cmbSeviye->addItems(m_import->levels());
  m_cmdKaydet = framework::button(QStringLiteral("cmdKaydet"), m_kaydetCaption, gKay);
  m_cmdKaydet->setMinimumWidth(200);
  m_lblDurum = new QLabel(gKay);
  m_lblDurum->setObjectName(QStringLiteral("lblDurum"));
  m_lblDurum->setWordWrap(true);
  kl->addWidget(new QLabel(QStringLiteral("Sınıfı:"), gKay));
  kl->addWidget(m_cmbSinifi);
  kl->addSpacing(12);
  kl->addWidget(new QLabel(QStringLiteral("Yeni öğrencilerin seviyesi:"), gKay));
  kl->addWidget(m_cmbSeviye);
  kl->addWidget(m_lblDurum, 1);
  kl->addWidget(m_cmdKaydet);
  root->addWidget(gKay);

  connect(cmdGozat, &QPushButton::clicked, this, &frmDisVeriAl::gozat);
  connect(m_cmbSheet, &QComboBox::currentIndexChanged, this, &frmDisVeriAl::sayfaSec);
  // The class chosen or typed brings the level its grade names ("7-A" -> "7. SINIF"),
  // the rule a student added by hand follows, so a 7th-grade list does not land in
  // 1st grade; a class without a grade leaves the teacher's choice.
  connect(m_cmbSinifi, &QComboBox::currentTextChanged, this, [this](const QString& sinifi) {
    const QString level = school::studentLevel({}, sinifi, m_import->levels());
    if (const int i = m_cmbSeviye->findText(level); !level.isEmpty() && i >= 0)
      m_cmbSeviye->setCurrentIndex(i);
  });
  connect(cmdEkle, &QPushButton::clicked, this, [this] {
    eslesmeEkle(m_cmbExcelSutunu->currentIndex(), m_cmbRehberSutunu->currentText());
  });
  connect(m_cmdEOkulListesi, &QPushButton::clicked, this, &frmDisVeriAl::eOkulListesi);
  connect(cmdSil, &QPushButton::clicked, this, [this] {
    const int row = m_lstEslesme->currentRow();
    if (row < 0) return;
    m_import->removePair(row);
    refreshPairs();
  });
  connect(cmdTemizle, &QPushButton::clicked, this, [this] {
    m_import->clearPairs();
    refreshPairs();
  });
  connect(m_cmdKaydet, &QPushButton::clicked, this, &frmDisVeriAl::kaydet);
  connect(m_cmdSonucAc, &QPushButton::clicked, this, [this] {
    if (!m_resultFile.isEmpty()) framework::openFile(m_context.messages, m_resultFile);
  });
  refreshClasses();
  refreshColumns();
}

frmDisVeriAl::~frmDisVeriAl() = default;

void frmDisVeriAl::gozat() {
  const QString path = filedialogs::openFile(
      this, QStringLiteral("OgrenciListesi"), QStringLiteral("Aktarılacak Dosya"),
      QStringLiteral("MS Excel Dosyaları (*.xls *.xlsx *.ods *.csv)"));
  if (!path.isEmpty()) dosyaAc(path);
}

bool frmDisVeriAl::dosyaAc(const QString& path) {
  if (m_done) startOver();  // a new list after a result: the result goes
  const Status s = m_import->openFile(path);
  if (!s) {
    m_context.messages.warning(s.error());
    return false;
  }
  m_txtDosya->setText(QDir::toNativeSeparators(path));
  m_cmbSheet->blockSignals(true);
  m_cmbSheet->clear();
  m_cmbSheet->addItems(m_import->sheetNames());
  m_cmbSheet->blockSignals(false);
  sayfaSec(0);
  return true;
}

void frmDisVeriAl::sayfaSec(int index) {
  if (index < 0) return;
  if (m_cmbSheet->currentIndex() != index) {
    m_cmbSheet->setCurrentIndex(index);
    return;
  }
  if (Status s = m_import->chooseSheet(index); !s) m_context.messages.warning(s.error());
  // The class the list's title names (its level follows the class).
  if (!m_import->suggestedClass().isEmpty()) m_cmbSinifi->setCurrentText(m_import->className());
  refreshColumns();
  refreshPairs();
  m_lblDurum->setText(
      m_import->presetApplied()
          ? QStringLiteral("e-Okul sınıf listesi tanındı: sütunlar kendiliğinden eşleştirildi.")
          : QString());
}

void frmDisVeriAl::refreshClasses() {
  const QString typed = m_cmbSinifi->currentText();
  m_cmbSinifi->clear();
  m_cmbSinifi->addItems(school::Students(m_context.store).classNames().valueOr({}));
  m_cmbSinifi->setCurrentText(typed);
}

void frmDisVeriAl::startOver() {
  m_import.emplace(m_context.store);
  m_done = false;
  m_txtDosya->clear();
  m_cmbSheet->blockSignals(true);
  m_cmbSheet->clear();
  m_cmbSheet->blockSignals(false);
  m_cmbSinifi->setCurrentText(QString());
  refreshClasses();
  refreshColumns();
  refreshPairs();
  m_lblDurum->clear();
  m_cmdKaydet->setText(m_kaydetCaption);
  m_tblSonuc->setRowCount(0);
  m_resultFile.clear();
  m_middle->setCurrentIndex(0);
}

bool frmDisVeriAl::sonucGosteriliyor() const { return m_middle->currentIndex() == 1; }

void frmDisVeriAl::showResult(const school::StudentImport::Report& report) {
  using Outcome = school::StudentImport::Line::Outcome;
  m_tblSonuc->setRowCount(int(report.lines.size()));
  for (int r = 0; r < report.lines.size(); ++r) {
    const school::StudentImport::Line& line = report.lines.at(r);
    const QString cells[] = {QString::number(line.sheetRow),
                             line.adi,
                             line.soyadi,
                             line.numarasi,
                             line.sinifi,
                             school::StudentImport::outcomeText(line.outcome),
                             line.reason};
    const QColor tint = line.outcome == Outcome::Added     ? QColor(0xe3, 0xf4, 0xe1)
                        : line.outcome == Outcome::Updated ? QColor(0xe4, 0xee, 0xfb)
                                                           : QColor(0xfd, 0xe4, 0xe1);
    for (int c = 0; c < 7; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setBackground(tint);
      m_tblSonuc->setItem(r, c, item);
    }
  }
  m_tblSonuc->resizeColumnsToContents();
  m_resultFile = report.resultPath;
  m_cmdSonucAc->setEnabled(!m_resultFile.isEmpty());
  m_middle->setCurrentIndex(1);
}

void frmDisVeriAl::refreshColumns() {
  m_cmbExcelSutunu->clear();
  m_cmbExcelSutunu->addItems(m_import->columnEntries());
  m_cmdEOkulListesi->setEnabled(m_import->sheet() >= 0 && m_import->isNationalList());
}

void frmDisVeriAl::refreshPairs() {
  m_lstEslesme->clear();
  m_lstEslesme->addItems(m_import->pairTexts());
}

void frmDisVeriAl::eslesmeEkle(int column, const QString& fieldCaption) {
  if (column < 0) return;
  if (Status s = m_import->addPair(column, fieldCaption); !s) m_context.messages.warning(s.error());
  refreshPairs();
}

void frmDisVeriAl::eOkulListesi() {
  if (Status s = m_import->applyNationalPreset(); !s) m_context.messages.warning(s.error());
  refreshPairs();
}

QString frmDisVeriAl::sonuc() const { return m_lblDurum->text(); }

void frmDisVeriAl::kaydet() {
  if (m_done) {
    // "Raporu Kapat": the report was handed to the spreadsheet program; the
    // screen is ready for the next list.
    startOver();
    return;
  }
  m_import->setClassName(m_cmbSinifi->currentText());
  frmIslem wait(this);
  const Result<school::StudentImport::Report> r =
      m_import->run(m_cmbSeviye->currentText(), m_resultPath,
                    [&wait](const QString& text) { wait.showText(text); });
  wait.close();
  if (!r) {
    m_context.messages.warning(r.error());
    return;
  }
  m_done = true;
  m_lblDurum->setText(r->summary());
  m_cmdKaydet->setText(school::StudentImport::closeReportCaption());
  refreshClasses();
  showResult(r.value());
}
