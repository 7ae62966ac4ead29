#include "frmSlisteDuzenle.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "Messages.h"
#include "Sliste.h"

namespace {

enum Col { ColShown = 0, ColCaption, ColName, ColWidth, ColCount };

QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  b->setMinimumHeight(32);
  return b;
}

}  // namespace

frmSlisteDuzenle::frmSlisteDuzenle(Sliste* grid, QWidget* parent) : QDialog(parent), m_grid(grid) {
  setObjectName(QStringLiteral("frmSlisteDuzenle"));
  setWindowTitle(grid->formAdi() + QStringLiteral(" formundaki ") + grid->slisteAdi() +
                 QStringLiteral(" listesinin düzeni"));

  m_list = new QTableWidget(0, ColCount, this);
  m_list->setObjectName(QStringLiteral("lstSutunlar"));
  m_list->setHorizontalHeaderLabels({QStringLiteral("Göster"), QStringLiteral("Başlık"),
                                     QStringLiteral("Alan"), QStringLiteral("Genişlik")});
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->verticalHeader()->hide();
  m_list->horizontalHeader()->setSectionResizeMode(ColShown, QHeaderView::ResizeToContents);
  m_list->horizontalHeader()->setSectionResizeMode(ColCaption, QHeaderView::Stretch);
  m_list->horizontalHeader()->setSectionResizeMode(ColName, QHeaderView::ResizeToContents);
  m_list->horizontalHeader()->setSectionResizeMode(ColWidth, QHeaderView::ResizeToContents);
  m_list->verticalHeader()->setDefaultSectionSize(28);

  auto* up = button(QStringLiteral("cmdYukari"), QStringLiteral("Yukarı"), this);
  auto* down = button(QStringLiteral("cmdAsagi"), QStringLiteral("Aşağı"), this);
  m_toggle =
      button(QStringLiteral("CmdSecimleriBosalt"), QStringLiteral("Tüm Seçimleri Boşalt"), this);
  auto* side = new QVBoxLayout;
  side->addWidget(up);
  side->addWidget(down);
  side->addSpacing(12);
  side->addWidget(m_toggle);
  side->addStretch(1);

  auto* top = new QHBoxLayout;
  top->addWidget(m_list, 1);
  top->addLayout(side);

  auto* edit = new QGroupBox(QStringLiteral("Seçili sütun"), this);
  m_caption = new QLineEdit(edit);
  m_caption->setObjectName(QStringLiteral("txtBaslik"));
  m_width = new QLineEdit(edit);
  m_width->setObjectName(QStringLiteral("txtGenislik"));
  m_width->setValidator(new QIntValidator(0, 999999, m_width));
  m_width->setMaximumWidth(90);
  m_width->setToolTip(QStringLiteral("Twip cinsinden: 1440 twip 2,54 cm eder."));
  auto* apply = button(QStringLiteral("cmdDegistir"), QStringLiteral("Değiştir"), edit);
  auto* editRow = new QHBoxLayout(edit);
  editRow->addWidget(new QLabel(QStringLiteral("Başlık:"), edit));
  editRow->addWidget(m_caption, 1);
  editRow->addWidget(new QLabel(QStringLiteral("Genişlik:"), edit));
  editRow->addWidget(m_width);
  editRow->addWidget(apply);

  auto* look = new QGroupBox(QStringLiteral("Liste görünümü"), this);
  m_fontSize = new QLineEdit(look);
  m_fontSize->setObjectName(QStringLiteral("TxtListeFont"));
  m_fontSize->setValidator(new QIntValidator(6, 48, m_fontSize));
  m_fontSize->setMaximumWidth(60);
  m_rowHeight = new QLineEdit(look);
  m_rowHeight->setObjectName(QStringLiteral("TxtlisteSatirYuk"));
  m_rowHeight->setValidator(new QIntValidator(6, 150, m_rowHeight));
  m_rowHeight->setMaximumWidth(60);
  auto* lookRow = new QHBoxLayout(look);
  lookRow->addWidget(new QLabel(QStringLiteral("Yazı boyu:"), look));
  lookRow->addWidget(m_fontSize);
  lookRow->addSpacing(16);
  lookRow->addWidget(new QLabel(QStringLiteral("Satır yüksekliği:"), look));
  lookRow->addWidget(m_rowHeight);
  lookRow->addStretch(1);

  auto* reset =
      button(QStringLiteral("cmdAyarlariSifirla"), QStringLiteral("Ayarları Sıfırla"), this);
  auto* save = button(QStringLiteral("cmdKaydet"), QStringLiteral("Kaydet"), this);
  auto* close = button(QStringLiteral("cmdKapat"), QStringLiteral("Kapat"), this);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(reset);
  bottom->addStretch(1);
  bottom->addWidget(save);
  bottom->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(edit);
  layout->addWidget(look);
  layout->addLayout(bottom);
  resize(640, 520);

  connect(up, &QPushButton::clicked, this, &frmSlisteDuzenle::cmdYukari_Click);
  connect(down, &QPushButton::clicked, this, &frmSlisteDuzenle::cmdAsagi_Click);
  connect(apply, &QPushButton::clicked, this, &frmSlisteDuzenle::cmdDegistir_Click);
  connect(m_caption, &QLineEdit::returnPressed, this, &frmSlisteDuzenle::cmdDegistir_Click);
  connect(m_width, &QLineEdit::returnPressed, this, &frmSlisteDuzenle::cmdDegistir_Click);
  connect(m_toggle, &QPushButton::clicked, this, &frmSlisteDuzenle::CmdSecimleriBosalt_Click);
  connect(save, &QPushButton::clicked, this, &frmSlisteDuzenle::cmdKaydet_Click);
  connect(reset, &QPushButton::clicked, this, &frmSlisteDuzenle::cmdAyarlariSifirla_Click);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_list, &QTableWidget::itemSelectionChanged, this, &frmSlisteDuzenle::rowChosen);
  connect(m_list, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (item->column() == ColShown) updateToggleCaption();
  });

  QList<lists::LayoutColumn> listed;
  for (const lists::LayoutColumn& c : grid->currentLayout()) {
    if (c.visibility == lists::LayoutColumn::Visibility::Internal)
      m_internal << c;
    else
      listed << c;
  }
  fill(listed);
  const lists::GridAppearance a = grid->currentAppearance();
  m_fontSize->setText(QString::number(a.fontSize));
  m_rowHeight->setText(QString::number(a.rowHeight));
  if (m_list->rowCount() > 0) m_list->selectRow(0);
}

void frmSlisteDuzenle::fill(const QList<lists::LayoutColumn>& columns) {
  const QSignalBlocker block(m_list);
  m_list->setRowCount(int(columns.size()));
  for (int r = 0; r < columns.size(); ++r) {
    const lists::LayoutColumn& c = columns.at(r);
    auto* shown = new QTableWidgetItem;
    shown->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    shown->setCheckState(c.visibility == lists::LayoutColumn::Visibility::Shown ? Qt::Checked
                                                                                : Qt::Unchecked);
    m_list->setItem(r, ColShown, shown);
    m_list->setItem(r, ColCaption, new QTableWidgetItem(c.caption));
    m_list->setItem(r, ColName, new QTableWidgetItem(c.column));
    auto* width = new QTableWidgetItem(QString::number(c.widthTwips));
    width->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_list->setItem(r, ColWidth, width);
  }
  updateToggleCaption();
}

QList<lists::LayoutColumn> frmSlisteDuzenle::listedColumns() const {
  QList<lists::LayoutColumn> out;
  for (int r = 0; r < m_list->rowCount(); ++r) {
    lists::LayoutColumn c;
    c.visibility = m_list->item(r, ColShown)->checkState() == Qt::Checked
                       ? lists::LayoutColumn::Visibility::Shown
                       : lists::LayoutColumn::Visibility::Hidden;
    c.caption = m_list->item(r, ColCaption)->text();
    c.column = m_list->item(r, ColName)->text();
    c.widthTwips = m_list->item(r, ColWidth)->text().toInt();
    out << c;
  }
  return out;
}

void frmSlisteDuzenle::rowChosen() {
  const int r = m_list->currentRow();
  if (r < 0) return;
  m_caption->setText(m_list->item(r, ColCaption)->text());
  m_width->setText(m_list->item(r, ColWidth)->text());
}

void frmSlisteDuzenle::moveRow(int from, int to) {
  if (from < 0 || to < 0 || from >= m_list->rowCount() || to >= m_list->rowCount()) return;
  QList<lists::LayoutColumn> columns = listedColumns();
  columns.move(from, to);
  fill(columns);
  m_list->selectRow(to);
}

void frmSlisteDuzenle::cmdYukari_Click() {
  moveRow(m_list->currentRow(), m_list->currentRow() - 1);
}

void frmSlisteDuzenle::cmdAsagi_Click() { moveRow(m_list->currentRow(), m_list->currentRow() + 1); }

bool frmSlisteDuzenle::cmdDegistir_Click() {
  const int r = m_list->currentRow();
  if (r < 0) return false;
  if (m_caption->text().trimmed().isEmpty()) {
    m_grid->context().messages.warning(
        QStringLiteral("Sütun adı boş olamaz. Lütfen kontrol edip tekrar deneyiniz."));
    m_caption->setFocus();
    m_caption->selectAll();
    return false;
  }
  bool ok = false;
  const int width = m_width->text().trimmed().toInt(&ok);
  if (!ok || width < 0 || width > lists::GridLayout::kMaxWidthTwips) {
    m_grid->context().messages.warning(QStringLiteral(
        "Sütun genişlik değeri 32000'den büyük olmaz. Lütfen kontrol edip tekrar deneyiniz."));
    m_width->setFocus();
    m_width->selectAll();
    return false;
  }
  m_list->item(r, ColCaption)->setText(m_caption->text().trimmed());
  m_list->item(r, ColWidth)->setText(QString::number(width));
  return true;
}

bool frmSlisteDuzenle::allShown() const {
  bool all = m_list->rowCount() > 0;
  for (int r = 0; r < m_list->rowCount() && all; ++r)
    all = m_list->item(r, ColShown)->checkState() == Qt::Checked;
  return all;
}

void frmSlisteDuzenle::updateToggleCaption() {
  m_toggle->setText(allShown() ? QStringLiteral("Tüm Seçimleri Boşalt")
                               : QStringLiteral("Tümünü Seç"));
}

void frmSlisteDuzenle::CmdSecimleriBosalt_Click() {
  // The boxes decide, not the caption: every column ticked empties them all.
  const bool check = !allShown();
  {
    const QSignalBlocker block(m_list);
    for (int r = 0; r < m_list->rowCount(); ++r)
      m_list->item(r, ColShown)->setCheckState(check ? Qt::Checked : Qt::Unchecked);
  }
  updateToggleCaption();
}

bool frmSlisteDuzenle::cmdKaydet_Click() {
  QList<lists::LayoutColumn> columns = listedColumns();
  columns << m_internal;
  lists::GridAppearance a;
  a.fontSize = m_fontSize->text().toInt();
  a.rowHeight = m_rowHeight->text().toInt();
  return applied(lists::GridLayout::save(m_grid->context().store, m_grid->identity(), columns, a));
}

bool frmSlisteDuzenle::cmdAyarlariSifirla_Click() {
  const QString question = QStringLiteral(
      "Bu uyarıya Evet dediğinizde listenizin başlıkları,\ngenişlikleri ve görünürlükleri "
      "yazılımın ilk haline "
      "dönecektir.\nDevam etmek istediğinize emin misiniz?");
  if (!m_grid->context().messages.ask(question, QStringLiteral("ÖNEMLİ"))) return false;
  return applied(lists::GridLayout::reset(m_grid->context().store, m_grid->identity()));
}

bool frmSlisteDuzenle::applied(const Status& s) {
  if (!s) {
    m_grid->context().messages.error(s.error());
    return false;
  }
  m_grid->DuzenKaydedeBasildi();
  accept();
  return true;
}
