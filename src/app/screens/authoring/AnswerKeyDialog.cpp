#include "screens/authoring/AnswerKeyDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "Messages.h"
#include "authoring/Question.h"
#include "framework/ScreenHelpers.h"

using authoring::AnswerKeyForm;
using authoring::Booklet;

namespace {

const Booklet kBooklets[] = {Booklet::B, Booklet::C, Booklet::D};
const QColor kMarked(0x80, 0xc0, 0x80);

QTableWidgetItem* cell(const QString& text, bool editable) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(Qt::AlignCenter);
  if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

}  // namespace

AnswerKeyDialog::AnswerKeyDialog(const ScreenContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_form(context.store) {
  setObjectName(QStringLiteral("frameCevapAnahtari"));
  setWindowTitle(AnswerKeyForm::title());
  auto* v = new QVBoxLayout(this);
  auto* h = new QHBoxLayout;

  m_key = new QTableWidget(0, 5, this);
  m_key->setObjectName(QStringLiteral("tblCevapAnahtari"));
  m_key->setHorizontalHeaderLabels(authoring::texts::kChoices);
  m_key->setSelectionMode(QAbstractItemView::NoSelection);
  m_key->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_key->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_key->horizontalHeader()->setDefaultSectionSize(48);
  m_key->setMinimumWidth(5 * 48 + 80);
  h->addWidget(m_key);
  connect(m_key, &QTableWidget::cellClicked, this, [this](int row, int column) {
    m_form.mark(row, authoring::texts::kChoices.at(column));
    paintKey();
    for (Booklet b : kBooklets) paintBooklet(b);
  });

  for (Booklet b : kBooklets) {
    auto* col = new QVBoxLayout;
    const QString letter = authoring::booklets::letter(b);
    auto* box = new QCheckBox(QStringLiteral("%1 Kitapçığı").arg(letter), this);
    box->setObjectName(QStringLiteral("chk%1Kitapcigi").arg(letter));
    auto* grid = new QTableWidget(0, 2, this);
    grid->setObjectName(QStringLiteral("fpSpread%1").arg(int(b)));
    grid->setHorizontalHeaderLabels(
        {AnswerKeyForm::positionCaption(), AnswerKeyForm::answerCaption()});
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto* shuffleRow = new QHBoxLayout;
    auto* shuffle = framework::button(QStringLiteral("cmdKaristir%1").arg(letter),
                                      AnswerKeyForm::shuffleCaption(), this);
    shuffle->setToolTip(QStringLiteral("%1 kitapçığının sırasını rastgele yapar").arg(letter));
    auto* seed = new QLineEdit(this);
    seed->setObjectName(QStringLiteral("txtAnahtar%1").arg(letter));
    seed->setValidator(new QIntValidator(1, 99999, seed));
    // Five digits whole, whatever the font.
    seed->setFixedWidth(seed->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    seed->setToolTip(QStringLiteral(
        "Karıştırmanın anahtarı: aynı anahtar aynı sırayı verir. Not ettiğiniz bir anahtarı "
        "yazıp Enter'a basınca o sıra yeniden yapılır."));
    shuffleRow->addWidget(shuffle);
    shuffleRow->addWidget(new QLabel(AnswerKeyForm::seedCaption(), this));
    shuffleRow->addWidget(seed);
    m_boxes.at(size_t(b) - 1) = box;
    m_grids.at(size_t(b) - 1) = grid;
    m_shuffles.at(size_t(b) - 1) = shuffle;
    m_seeds.at(size_t(b) - 1) = seed;
    col->addWidget(box);
    col->addLayout(shuffleRow);
    col->addWidget(grid, 1);
    h->addLayout(col, 1);
    connect(shuffle, &QPushButton::clicked, this, [this, b] { karistir(b); });
    connect(seed, &QLineEdit::returnPressed, this, [this, b] { anahtarGirildi(b); });
    connect(box, &QCheckBox::toggled, this, [this, b](bool on) {
      if (m_painting) return;
      m_form.setBookletOn(b, on);
      paintBooklet(b);
    });
    connect(grid, &QTableWidget::cellChanged, this, [this, b, grid](int row, int column) {
      if (m_painting || column != 0) return;
      m_form.setCell(b, row, grid->item(row, 0)->text().trimmed());
      paintBooklet(b);
    });
  }
  v->addLayout(h, 1);

  auto* buttons = new QHBoxLayout;
  auto* cmdTamam =
      framework::button(QStringLiteral("cmdCevapAnahtariTamam"), QStringLiteral("Tamam"), this);
  auto* cmdIptal =
      framework::button(QStringLiteral("CevapAnahtariIptal"), QStringLiteral("Vazgeç"), this);
  buttons->addStretch(1);
  buttons->addWidget(cmdTamam);
  buttons->addWidget(cmdIptal);
  v->addLayout(buttons);
  connect(cmdTamam, &QPushButton::clicked, this, &AnswerKeyDialog::tamam);
  connect(cmdIptal, &QPushButton::clicked, this, &QDialog::reject);
  resize(1000, 640);
}

Status AnswerKeyDialog::open(const QString& testNo) {
  if (Status s = m_form.open(testNo); !s) return s;
  paintKey();
  for (Booklet b : kBooklets) paintBooklet(b);
  return {};
}

void AnswerKeyDialog::paintKey() {
  m_key->setRowCount(m_form.rowCount());
  QStringList labels;
  for (int row = 0; row < m_form.rowCount(); ++row) {
    labels << QString::number(row + 1);
    for (int c = 0; c < 5; ++c) {
      const QString letter = authoring::texts::kChoices.at(c);
      QTableWidgetItem* item = cell(letter, false);
      const bool marked = m_form.letter(row) == letter;
      if (marked) {
        item->setBackground(kMarked);
        QFont f = item->font();
        f.setBold(true);
        item->setFont(f);
      }
      m_key->setItem(row, c, item);
    }
  }
  m_key->setVerticalHeaderLabels(labels);
}

void AnswerKeyDialog::karistir(Booklet b) {
  m_form.shuffle(b, authoring::booklets::newSeed());
  paintBooklet(b);
}

void AnswerKeyDialog::anahtarGirildi(Booklet b) {
  bool ok = false;
  const uint seed = seedBox(b)->text().toUInt(&ok);
  if (!ok || seed == 0) return;
  m_form.shuffle(b, seed);
  paintBooklet(b);
}

void AnswerKeyDialog::paintBooklet(Booklet b) {
  QTableWidget* grid = bookletTable(b);
  const bool on = m_form.bookletOn(b);
  m_painting = true;
  bookletBox(b)->setChecked(on);
  const quint32 seed = m_form.seed(b);
  seedBox(b)->setText(seed > 0 ? QString::number(seed) : QString());
  grid->setRowCount(m_form.rowCount());
  for (int row = 0; row < m_form.rowCount(); ++row) {
    grid->setItem(row, 0, cell(m_form.cell(b, row), on));
    grid->setItem(row, 1, cell(m_form.answer(b, row), false));
  }
  grid->setEnabled(on);
  m_painting = false;
}

void AnswerKeyDialog::tamam() {
  if (Status s = m_form.accept(); !s) {
    m_context.messages.warning(s.error());
    return;
  }
  accept();
}
