#include "screens/authoring/AutoSelectionDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "Messages.h"
#include "authoring/TestForm.h"
#include "framework/ScreenHelpers.h"
#include "screens/authoring/AuthoringScreens.h"
#include "screens/authoring/QuestionFilterBox.h"

using authoring::AutoSelection;

AutoSelectionDialog::AutoSelectionDialog(const ScreenContext& context, authoring::TestForm& form,
                                         QWidget* parent)
    : QDialog(parent), m_context(context), m_form(form) {
  setObjectName(QStringLiteral("frameOtomatikSoru"));
  setWindowTitle(AutoSelection::title());
  auto* v = new QVBoxLayout(this);
  QuestionFilterBox::Parts parts;
  parts.correctChoice = false;
  parts.points = true;
  parts.testNo = false;
  parts.lastAdded = false;
  m_filters = new QuestionFilterBox(context, QStringLiteral("Ölçütler"), QStringLiteral("Otomatik"),
                                    parts, this);
  v->addWidget(m_filters);

  auto* countRow = new QHBoxLayout;
  m_count = authoringui::lineEdit(QStringLiteral("txtEklenecekSoruSayisi"), this);
  m_count->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[1-9][0-9]{0,3}")), this));
  m_count->setMaximumWidth(120);
  countRow->addWidget(new QLabel(QStringLiteral("Eklenecek Soru Sayısı"), this));
  countRow->addWidget(m_count);
  auto* cmdSatir = framework::button(QStringLiteral("cmdOlcutSatiriEkle"),
                                     QStringLiteral("Ölçüt Satırı Ekle"), this);
  countRow->addWidget(cmdSatir);
  countRow->addStretch(1);
  v->addLayout(countRow);

  v->addWidget(new QLabel(
      QStringLiteral("Belirtke tablosu (her satır kendi sayısıyla; boşsa yukarıdaki ölçütler):"),
      this));
  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("lstOlcutSatirlari"));
  v->addWidget(m_list, 1);

  auto* buttons = new QHBoxLayout;
  auto* cmdTemizle = framework::button(QStringLiteral("cmdSatirlariTemizle"),
                                       QStringLiteral("Satırları Temizle"), this);
  auto* cmdEkle = framework::button(QStringLiteral("cmdOtomatikSoruEkle"),
                                    QStringLiteral("Soruları Ekle"), this);
  auto* cmdIptal =
      framework::button(QStringLiteral("cmdOtomatikIptal"), QStringLiteral("Kapat"), this);
  buttons->addWidget(cmdTemizle);
  buttons->addStretch(1);
  buttons->addWidget(cmdEkle);
  buttons->addWidget(cmdIptal);
  v->addLayout(buttons);
  connect(cmdSatir, &QPushButton::clicked, this, &AutoSelectionDialog::satirEkle);
  connect(cmdTemizle, &QPushButton::clicked, this, [this] {
    m_rows.clear();
    m_list->clear();
  });
  connect(cmdEkle, &QPushButton::clicked, this, &AutoSelectionDialog::ekle);
  connect(cmdIptal, &QPushButton::clicked, this, &QDialog::reject);
  resize(900, 600);
}

bool AutoSelectionDialog::readRow(authoring::SelectionRow& row) {
  const Result<int> count = AutoSelection::parseCount(m_count->text());
  if (!count) {
    m_context.messages.warning(count.error());
    return false;
  }
  if (Status s = m_filters->fill(row.criteria); !s) {
    m_context.messages.warning(s.error());
    return false;
  }
  row.count = count.value();
  return true;
}

void AutoSelectionDialog::satirEkle() {
  authoring::SelectionRow row;
  if (!readRow(row)) return;
  m_rows << row;
  m_list->addItem(QStringLiteral("%1 soru — %2").arg(row.count).arg(m_filters->summary()));
}

void AutoSelectionDialog::ekle() {
  QList<authoring::SelectionRow> rows = m_rows;
  if (rows.isEmpty()) {
    authoring::SelectionRow row;
    if (!readRow(row)) return;
    rows << row;
  }
  QProgressDialog progress(QString(), QString(), 0, 0, this);
  progress.setWindowTitle(AutoSelection::title());
  progress.setMinimumDuration(300);
  const auto step = [&progress](int i, int k) {
    progress.setMaximum(k);
    progress.setValue(i);
    progress.setLabelText(AutoSelection::progressText(i, k));
  };
  const Result<authoring::SelectionReport> report =
      rows.size() == 1 ? m_form.autoSelect(rows.first(), step) : m_form.autoSelect(rows, step);
  progress.close();
  if (!report) {
    m_context.messages.warning(report.error());
    return;
  }
  m_context.messages.info(report->message());
  accept();
}
