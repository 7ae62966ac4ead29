#include "screens/authoring/QuestionPickerDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Messages.h"
#include "authoring/QuestionBank.h"
#include "authoring/TestForm.h"
#include "framework/FilterListFill.h"
#include "framework/ScreenHelpers.h"
#include "framework/Sliste.h"
#include "lists/FilterLists.h"
#include "screens/authoring/AuthoringScreens.h"
#include "screens/authoring/PictureBox.h"
#include "screens/authoring/QuestionFilterBox.h"

QuestionPickerDialog::QuestionPickerDialog(const ScreenContext& context, authoring::TestForm& form,
                                           QWidget* parent)
    : QDialog(parent), m_context(context), m_form(form) {
  setObjectName(QStringLiteral("frameSoruSec"));
  setWindowTitle(QStringLiteral("Mevcut Sorulardan Seçerek Ekle"));
  auto* v = new QVBoxLayout(this);
  m_filters = new QuestionFilterBox(context, QStringLiteral("Soru Arama"),
                                    QStringLiteral("AraSoru"), {}, this);
  v->addWidget(m_filters);
  m_grid = new Sliste(
      context, {QStringLiteral("frmTestHazirlama"), QStringLiteral("SlisteMevcutSorular")}, this);
  auto* middle = new QHBoxLayout;
  middle->addWidget(m_grid, 3);
  // The detail of the current row (cmdSoruDetayi): its picture, and adding it
  // with a time of its own in this test.
  auto* detail = new QGroupBox(QStringLiteral("Soru Ayrıntısı"), this);
  auto* dv = new QVBoxLayout(detail);
  m_picture = new PictureBox(QStringLiteral("picSoruDetay"), detail);
  m_picture->setAcceptDrops(false);
  m_picture->setToolTip(QString());
  m_picture->setMinimumSize(260, 200);
  dv->addWidget(m_picture, 1);
  m_time = authoringui::combo(QStringLiteral("cmbSureDetay"), detail);
  filtre::fillCombo(m_time, authoringui::withoutAll(lists::SureDoldur()));
  auto* timeRow = new QHBoxLayout;
  timeRow->addWidget(new QLabel(QStringLiteral("Bu testteki süresi (sn)"), detail));
  timeRow->addWidget(m_time, 1);
  dv->addLayout(timeRow);
  auto* cmdDetay = framework::button(QStringLiteral("cmdDetaydanEkle"),
                                     QStringLiteral("Bu Soruyu Bu Süreyle Ekle"), detail);
  dv->addWidget(cmdDetay);
  middle->addWidget(detail, 2);
  v->addLayout(middle, 1);
  auto* buttons = new QHBoxLayout;
  auto* cmdBul = framework::button(QStringLiteral("cmdSorulariBul"), QStringLiteral("Bul"), this);
  auto* cmdEkle = framework::button(QStringLiteral("cmdSoruEkle"),
                                    QStringLiteral("Seçilenleri Teste Ekle"), this);
  auto* cmdKapat =
      framework::button(QStringLiteral("cmdSoruSecIptal"), QStringLiteral("Kapat"), this);
  buttons->addWidget(cmdBul);
  buttons->addStretch(1);
  buttons->addWidget(cmdEkle);
  buttons->addWidget(cmdKapat);
  v->addLayout(buttons);
  connect(cmdBul, &QPushButton::clicked, this, &QuestionPickerDialog::bul);
  connect(m_filters, &QuestionFilterBox::searchRequested, this, &QuestionPickerDialog::bul);
  connect(cmdEkle, &QPushButton::clicked, this, &QuestionPickerDialog::soruEkle);
  connect(cmdKapat, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdDetay, &QPushButton::clicked, this, &QuestionPickerDialog::detaydanEkle);
  connect(m_grid, &Sliste::aktifKayitDegisti, this, &QuestionPickerDialog::showDetail);
  resize(1180, 740);
  bul();
}

void QuestionPickerDialog::bul() {
  if (Status s = m_filters->fill(m_form.picker()); !s) {
    m_context.messages.warning(s.error());
    return;
  }
  (void)m_grid->ListeDoldurYeni(m_form.pickerQuery());
}

void QuestionPickerDialog::soruEkle() {
  const QStringList keys = m_grid->SeciliKayitDegerleriniVer(QStringLiteral("SORUNUMARASI"));
  if (keys.isEmpty()) {
    m_context.messages.warning(QStringLiteral("Lütfen eklenecek soruları seçiniz."));
    return;
  }
  if (Status s = m_form.addChosen(keys); !s) {
    m_context.messages.warning(s.error());
    return;
  }
  accept();
}

QString QuestionPickerDialog::currentKey() const {
  const int record = m_grid->aktifKayit();
  return record < 0 ? QString() : m_grid->deger(record, QStringLiteral("SORUNUMARASI"));
}

void QuestionPickerDialog::showDetail() {
  const QString key = currentKey();
  if (key.isEmpty()) {
    m_picture->showBytes({});
    return;
  }
  m_picture->showBytes(authoring::QuestionBank(m_context.store).pictures(key).valueOr({}).question);
  authoringui::setComboText(m_time, m_grid->deger(m_grid->aktifKayit(), QStringLiteral("SURE")));
}

void QuestionPickerDialog::detaydanEkle() {
  const QString key = currentKey();
  if (key.isEmpty()) return;
  if (Status s = m_form.addFromDetail(key, m_time->currentText()); !s) {
    m_context.messages.warning(s.error());
    return;
  }
  accept();
}
