#include "screens/authoring/QuestionPickerDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "Messages.h"
#include "authoring/TestForm.h"
#include "screens/authoring/QuestionFilterBox.h"
#include "screens/school/SchoolScreens.h"
#include "widgets/Sliste.h"

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
  v->addWidget(m_grid, 1);
  auto* buttons = new QHBoxLayout;
  auto* cmdBul = schoolui::button(QStringLiteral("cmdSorulariBul"), QStringLiteral("Bul"), this);
  auto* cmdEkle = schoolui::button(QStringLiteral("cmdSoruEkle"),
                                   QStringLiteral("Seçilenleri Teste Ekle"), this);
  auto* cmdKapat =
      schoolui::button(QStringLiteral("cmdSoruSecIptal"), QStringLiteral("Kapat"), this);
  buttons->addWidget(cmdBul);
  buttons->addStretch(1);
  buttons->addWidget(cmdEkle);
  buttons->addWidget(cmdKapat);
  v->addLayout(buttons);
  connect(cmdBul, &QPushButton::clicked, this, &QuestionPickerDialog::bul);
  connect(m_filters, &QuestionFilterBox::searchRequested, this, &QuestionPickerDialog::bul);
  connect(cmdEkle, &QPushButton::clicked, this, &QuestionPickerDialog::soruEkle);
  connect(cmdKapat, &QPushButton::clicked, this, &QDialog::reject);
  resize(1100, 720);
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
