#include "Sliste.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "Messages.h"
#include "framework/TouchSupport.h"
#include "frmSlisteDuzenle.h"
#include "lists/RowFilter.h"
#include "lists/SutunBaslik.h"
#include "store/Store.h"

namespace {

QString key(const QString& column) { return column.trimmed().toUpper(); }

// The wait cursor for as long as a scope runs.
struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

constexpr int kMinAutoWidth = 48;
constexpr int kMaxAutoWidth = 360;
constexpr int kWaitThreshold = 20000;  // rows from which refiltering shows the wait label

}  // namespace

Sliste::Sliste(const ScreenContext& context, const lists::GridIdentity& identity, QWidget* parent)
    : QWidget(parent), m_context(context), m_identity(identity) {
  setObjectName(identity.grid);
  m_model = new lists::TableModel(this);
  m_proxy = new lists::FilterProxy(this);
  m_proxy->setTableModel(m_model);

  m_filterBar = new QWidget(this);
  m_filterBar->setObjectName(QStringLiteral("filtreSatiri"));
  m_selectAll = new QCheckBox(m_filterBar);
  m_selectAll->setObjectName(QStringLiteral("chkTumunuSec"));
  m_selectAll->setToolTip(QStringLiteral("Tümünü Seç"));
  m_filterClip = new QWidget(m_filterBar);

  m_view = new QTableView(this);
  m_view->setObjectName(QStringLiteral("fpSpread1"));
  m_view->setModel(m_proxy);
  m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_view->setAlternatingRowColors(true);
  m_view->setCornerButtonEnabled(false);
  m_view->setWordWrap(false);
  m_view->setTextElideMode(Qt::ElideRight);
  m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  m_view->setContextMenuPolicy(Qt::CustomContextMenu);
  QHeaderView* header = m_view->horizontalHeader();
  header->setSectionsMovable(false);
  header->setHighlightSections(false);
  header->setSortIndicatorShown(false);
  header->setSectionsClickable(true);
  header->setMinimumSectionSize(0);
  QHeaderView* rows = m_view->verticalHeader();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
  rows->setMinimumWidth(m_selectAll->sizeHint().width() + 8);

  m_wait = new QLabel(QStringLiteral("Lütfen bekleyiniz..."), this);
  m_wait->setObjectName(QStringLiteral("lblBekleyin"));
  m_wait->setAlignment(Qt::AlignCenter);
  m_wait->setStyleSheet(
      QStringLiteral("QLabel { background: #fff8d0; border: 1px solid #b09030; padding: 12px 24px; "
                     "font-weight: bold; }"));
  m_wait->hide();

  m_filterTimer = new QTimer(this);
  m_filterTimer->setObjectName(QStringLiteral("TimerFiltre"));
  m_filterTimer->setSingleShot(true);
  m_filterTimer->setInterval(250);
  connect(m_filterTimer, &QTimer::timeout, this, &Sliste::applyFilter);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  layout->addWidget(m_filterBar);
  layout->addWidget(m_view, 1);
  m_filterBar->setFixedHeight(QLineEdit().sizeHint().height() + 2);

  connect(header, &QHeaderView::sectionResized, this, &Sliste::placeFilterBoxes);
  connect(header, &QHeaderView::geometriesChanged, this, &Sliste::placeFilterBoxes);
  connect(header, &QHeaderView::sectionCountChanged, this, &Sliste::placeFilterBoxes);
  connect(rows, &QHeaderView::geometriesChanged, this, &Sliste::placeFilterBoxes);
  connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, this,
          &Sliste::placeFilterBoxes);
  connect(header, &QHeaderView::sectionClicked, this, &Sliste::headerClicked);
  connect(m_view, &QWidget::customContextMenuRequested, this, &Sliste::showContextMenu);
  connect(m_selectAll, &QCheckBox::clicked, this, [this](bool checked) {
    if (checked)
      TumunuSec();
    else
      SecimiBosalt();
  });
  connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &Sliste::selectionChanged);
  connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            emit aktifKayitDegisti(current.isValid() ? m_proxy->sourceRow(current.row()) : -1);
          });
  connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) emit kayitCiftTiklandi(m_proxy->sourceRow(index.row()));
  });
  // Ctrl+F: to the filter box of the current column (or the first shown one).
  auto* find =
      new QShortcut(QKeySequence::Find, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
  connect(find, &QShortcut::activated, this, [this] {
    const int current = m_view->currentIndex().isValid() ? m_view->currentIndex().column() : -1;
    QLineEdit* box = m_filterBoxes.value(current);
    for (int i = 0; (!box || !box->isVisible()) && i < m_filterBoxes.size(); ++i)
      box = m_filterBoxes.at(i);
    if (box && box->isVisible()) {
      box->setFocus();
      box->selectAll();
    }
  });
  m_baseFont = m_view->font();
  if (const framework::TouchSupport* touch = framework::TouchSupport::instance())
    connect(touch, &framework::TouchSupport::boardChanged, this,
            [this] { setSatirYuksekligi(m_rowHeight); });
  setOperationMode(OperationMode::CokSatir);
  setSatirYuksekligi(0);
  updateSelectAll();
}

Sliste::~Sliste() = default;

// ---------------------------------------------------------------------------------
// Filling and layout

Status Sliste::ListeDoldurYeni(const QString& sql, const QVariantList& params,
                               const FillOptions& options) {
  if (sql.trimmed().isEmpty()) {
    const QString text =
        QStringLiteral("Güncellenecek sql gelmemiş lütfen program satıcınız ile temasa geçin.");
    m_context.messages.warning(text);
    return Status::failure(text);
  }
  WaitCursor wait;
  showWait(true);
  m_options = options;
  m_allPicked = false;
  m_quiet = true;
  const Status loaded = m_model->load(m_context.store.db(), sql, params, options.columnKinds);
  applyLayout();
  m_quiet = false;
  showWait(false);
  if (!loaded) {
    m_context.messages.error(loaded.error());
    return loaded;
  }
  if (m_proxy->rowCount() > 0)
    m_view->selectionModel()->setCurrentIndex(m_proxy->index(0, 0), QItemSelectionModel::NoUpdate);
  updateSelectAll();
  emit secimDegisti();
  return {};
}

bool Sliste::isInternal(const QString& column) const {
  return lists::icSutunMu(column) ||
         m_options.internalColumns.contains(column.trimmed(), Qt::CaseInsensitive);
}

QList<lists::LayoutColumn> Sliste::defaultLayout() const {
  QList<lists::LayoutColumn> out;
  const QFontMetrics headerMetrics(m_view->horizontalHeader()->font());
  const QFontMetrics cellMetrics(m_view->font());
  const int sample = std::min(m_model->rows(), 200);
  for (int c = 0; c < m_model->columns(); ++c) {
    lists::LayoutColumn col;
    col.column = m_model->columnNames().at(c);
    col.caption = lists::sutunBaslik(col.column);
    int width = headerMetrics.horizontalAdvance(col.caption) + 28;
    for (int r = 0; r < sample; ++r)
      width = std::max(width, cellMetrics.horizontalAdvance(m_model->text(r, c)) + 16);
    col.widthTwips =
        lists::GridLayout::pixelsToTwips(std::clamp(width, kMinAutoWidth, kMaxAutoWidth), dpi());
    col.visibility = isInternal(col.column) ? lists::LayoutColumn::Visibility::Internal
                                            : lists::LayoutColumn::Visibility::Shown;
    out << col;
  }
  return out;
}

void Sliste::applyLayout() {
  const std::vector<char> picked = pickedMask();
  const Result<QList<lists::LayoutColumn>> saved =
      lists::GridLayout::load(m_context.store, identity());
  const bool layoutSaved = saved && !saved->isEmpty();
  m_layout = layoutSaved ? *saved : defaultLayout();
  applyAppearance(lists::GridLayout::loadAppearance(m_context.store, identity()));

  QList<lists::FilterProxy::GridColumn> columns;
  QList<const lists::LayoutColumn*> shown;
  m_gridNames.clear();
  for (const lists::LayoutColumn& col : m_layout) {
    if (col.visibility == lists::LayoutColumn::Visibility::Internal || isInternal(col.column))
      continue;
    columns.append({m_model->columnIndex(col.column), col.caption});
    m_gridNames << col.column;
    shown << &col;
  }
  m_proxy->setColumns(columns);
  m_view->horizontalHeader()->setSortIndicatorShown(false);
  const QFontMetrics cellMetrics(m_view->font());
  const int sample = std::min(m_model->rows(), 200);
  for (int i = 0; i < shown.size(); ++i) {
    const int savedPixels = lists::GridLayout::twipsToPixels(shown[i]->widthTwips, dpi());
    int width = savedPixels;
    // A width the program shipped is fitted to this font; the teacher's own stays.
    if (!layoutSaved ||
        lists::GridLayout::isShippedWidth(identity(), shown[i]->column, shown[i]->widthTwips)) {
      int widest = 0;
      const int source = m_model->columnIndex(shown[i]->column);
      for (int r = 0; source >= 0 && r < sample; ++r)
        widest = std::max(widest, cellMetrics.horizontalAdvance(m_model->text(r, source)) + 16);
      width = lists::GridLayout::fittedWidth(
          savedPixels, m_view->horizontalHeader()->sectionSizeHint(i), widest);
    }
    m_view->horizontalHeader()->resizeSection(i, width);
    bool visible = shown[i]->visibility == lists::LayoutColumn::Visibility::Shown;
    const auto over = m_columnOverrides.constFind(key(shown[i]->column));
    if (over != m_columnOverrides.cend()) visible = over.value();
    m_view->setColumnHidden(i, !visible);
  }
  rebuildFilterBoxes();
  QStringList texts;
  bool any = false;
  for (const QString& name : m_gridNames) {
    texts << m_filterTexts.value(key(name));
    any = any || !texts.last().trimmed().isEmpty();
  }
  m_proxy->setFilterTexts(texts);
  if (any) m_proxy->refilter();
  restorePicks(picked, false);
  placeFilterBoxes();
}

void Sliste::applyAppearance(const lists::GridAppearance& a) {
  QFont f = m_baseFont;
  if (a.fontSize > 0) f.setPointSize(std::clamp(a.fontSize, 6, 48));
  m_view->setFont(f);
  int height = m_rowHeight;
  if (a.rowHeight > 0) height = int(a.rowHeight * dpi() / 72.0 + 0.5);
  if (height <= 0) height = QFontMetrics(f).height() + 10;
  // On a board a row, a column's filter box and the box that picks every row
  // are a finger's targets like any button (a row's grid line is not).
  const framework::TouchSupport* touch = framework::TouchSupport::instance();
  const int target = touch && touch->touchBoard() ? touch->targetPixels() : 0;
  height = std::max(height, target + 1);
  m_view->horizontalHeader()->setMinimumSectionSize(target);
  m_view->verticalHeader()->setMinimumWidth(std::max(m_selectAll->sizeHint().width() + 8, target));
  m_filterBar->setFixedHeight(std::max(QLineEdit().sizeHint().height(), target) + 2);
  m_view->verticalHeader()->setMinimumSectionSize(std::min(height, 12));
  m_view->verticalHeader()->setDefaultSectionSize(std::clamp(height, 12, 200));
}

void Sliste::DuzenKaydedeBasildi() {
  WaitCursor wait;
  m_quiet = true;
  applyLayout();
  m_quiet = false;
  updateSelectAll();
  emit secimDegisti();
}

double Sliste::dpi() const { return logicalDpiX() > 0 ? logicalDpiX() : 96.0; }

QList<lists::LayoutColumn> Sliste::currentLayout() const {
  QList<lists::LayoutColumn> out;
  QList<lists::LayoutColumn> internal;
  for (const lists::LayoutColumn& col : m_layout) {
    if (col.visibility == lists::LayoutColumn::Visibility::Internal || isInternal(col.column)) {
      lists::LayoutColumn c = col;
      c.visibility = lists::LayoutColumn::Visibility::Internal;
      internal << c;
      continue;
    }
    lists::LayoutColumn c = col;
    const int grid = m_gridNames.indexOf(col.column);
    if (grid >= 0) {
      c.caption = m_proxy->headerData(grid, Qt::Horizontal).toString();
      const bool hidden = m_view->isColumnHidden(grid);
      c.visibility =
          hidden ? lists::LayoutColumn::Visibility::Hidden : lists::LayoutColumn::Visibility::Shown;
      if (!hidden)
        c.widthTwips =
            lists::GridLayout::pixelsToTwips(m_view->horizontalHeader()->sectionSize(grid), dpi());
    }
    out << c;
  }
  return out + internal;
}

lists::GridAppearance Sliste::currentAppearance() const {
  lists::GridAppearance a;
  a.fontSize = m_view->font().pointSize();
  a.rowHeight = int(m_view->verticalHeader()->defaultSectionSize() * 72.0 / dpi() + 0.5);
  return a;
}

void Sliste::TabloDuzeniniKaydet() {
  QList<lists::GridLayout::ShownColumn> shown;
  for (int i = 0; i < m_gridNames.size(); ++i) {
    if (m_view->isColumnHidden(i)) continue;
    shown.append(
        {m_gridNames.at(i), m_proxy->headerData(i, Qt::Horizontal).toString(),
         lists::GridLayout::pixelsToTwips(m_view->horizontalHeader()->sectionSize(i), dpi())});
  }
  const Status s = lists::GridLayout::saveWidths(
      m_context.store, identity(), m_model->columnNames(), shown, m_options.internalColumns);
  if (!s) {
    m_context.messages.error(s.error());
    return;
  }
  const Result<QList<lists::LayoutColumn>> saved =
      lists::GridLayout::load(m_context.store, identity());
  if (saved && !saved->isEmpty()) m_layout = *saved;
  m_context.messages.warning(QStringLiteral("Tablo Düzeni Kaydedildi"), QStringLiteral("Uyarı!"));
}

void Sliste::Tabloyuduzenle() {
  frmSlisteDuzenle window(this, this);
  window.exec();
}

void Sliste::showContextMenu(const QPoint& pos) {
  if (m_noContextMenu) return;
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("SlisteDuzenlemeMenusu"));
  QAction* edit = menu.addAction(QStringLiteral("Tabloyu Düzenle..."));
  edit->setObjectName(QStringLiteral("Tabloyuduzenle"));
  QAction* save = menu.addAction(QStringLiteral("Tablo Düzenini Kaydet"));
  save->setObjectName(QStringLiteral("TabloDuzeniniKaydet"));
  QAction* chosen = menu.exec(m_view->viewport()->mapToGlobal(pos));
  if (chosen == edit)
    Tabloyuduzenle();
  else if (chosen == save)
    TabloDuzeniniKaydet();
}

// ---------------------------------------------------------------------------------
// Filter boxes

void Sliste::rebuildFilterBoxes() {
  qDeleteAll(m_filterBoxes);
  m_filterBoxes.clear();
  for (int i = 0; i < m_gridNames.size(); ++i) {
    auto* box = new QLineEdit(m_filterClip);
    box->setObjectName(QStringLiteral("txtFiltre"));
    box->setProperty("index", i);
    box->setProperty("sutun", m_gridNames.at(i));
    box->setClearButtonEnabled(false);
    box->setPlaceholderText(QStringLiteral("Ara"));
    box->setToolTip(m_proxy->headerData(i, Qt::Horizontal).toString() +
                    QStringLiteral(" içinde ara"));
    box->setText(m_filterTexts.value(key(m_gridNames.at(i))));
    box->installEventFilter(this);
    connect(box, &QLineEdit::textEdited, this, [this, i] { filterEdited(i); });
    m_filterBoxes << box;
    box->show();
  }
}

void Sliste::placeFilterBoxes() {
  if (!m_filterBar) return;
  const int left = m_view->frameWidth() +
                   (m_view->verticalHeader()->isVisible() ? m_view->verticalHeader()->width() : 0);
  const int h = m_filterBar->height();
  m_selectAll->setGeometry(0, 0, std::max(left, m_selectAll->sizeHint().width()), h);
  const int clipWidth = std::max(0, m_view->viewport()->width());
  m_filterClip->setGeometry(left, 0, clipWidth, h);
  QHeaderView* header = m_view->horizontalHeader();
  for (int i = 0; i < m_filterBoxes.size(); ++i) {
    QLineEdit* box = m_filterBoxes.at(i);
    if (i >= header->count() || header->isSectionHidden(i) || header->sectionSize(i) < 4) {
      box->hide();
      continue;
    }
    box->setGeometry(header->sectionViewportPosition(i), 1, header->sectionSize(i) - 1, h - 2);
    box->show();
  }
}

void Sliste::filterEdited(int gridColumn) {
  QLineEdit* box = m_filterBoxes.value(gridColumn);
  if (!box) return;
  const QString clean = lists::RowFilter::cleanText(box->text());
  if (clean != box->text()) {
    const int cursor = box->cursorPosition();
    const int removed = int(box->text().size() - clean.size());
    box->setText(clean);
    box->setCursorPosition(std::max(0, cursor - removed));
  }
  m_filterTexts.insert(key(m_gridNames.at(gridColumn)), clean);
  m_lastEdited = box;
  m_filterTimer->start();
}

void Sliste::applyFilter() {
  m_filterTimer->stop();
  WaitCursor wait;
  const bool big = m_model->rows() >= kWaitThreshold;
  if (big) showWait(true);
  const std::vector<char> picked = pickedMask();
  const bool all = m_allPicked;
  QStringList texts;
  for (const QString& name : m_gridNames) texts << m_filterTexts.value(key(name));
  m_quiet = true;
  m_proxy->setFilterTexts(texts);
  m_proxy->refilter();
  restorePicks(picked, all);
  m_quiet = false;
  if (m_proxy->rowCount() > 0)
    m_view->selectionModel()->setCurrentIndex(m_proxy->index(0, 0), QItemSelectionModel::NoUpdate);
  if (big) showWait(false);
  updateSelectAll();
  emit secimDegisti();
  if (m_lastEdited) m_lastEdited->setFocus();
}

void Sliste::setFiltreMetni(const QString& column, const QString& text) {
  const QString clean = lists::RowFilter::cleanText(text);
  m_filterTexts.insert(key(column), clean);
  const int grid = gridColumnOf(column);
  if (grid >= 0) m_filterBoxes.at(grid)->setText(clean);
  applyFilter();
}

QString Sliste::filtreMetni(const QString& column) const {
  return m_filterTexts.value(key(column));
}

void Sliste::setFiltreGecikmesi(int ms) { m_filterTimer->setInterval(std::max(0, ms)); }

QLineEdit* Sliste::filtreKutusu(const QString& column) const {
  const int grid = gridColumnOf(column);
  return grid >= 0 ? m_filterBoxes.value(grid) : nullptr;
}

bool Sliste::eventFilter(QObject* watched, QEvent* event) {
  // Escape empties a filter box; Down moves from the filter row into the list.
  if (event->type() == QEvent::KeyPress) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    const int k = static_cast<QKeyEvent*>(event)->key();
    if (box && k == Qt::Key_Escape && !box->text().isEmpty()) {
      box->clear();
      filterEdited(int(m_filterBoxes.indexOf(box)));
      return true;
    }
    if (box && k == Qt::Key_Down && m_proxy->rowCount() > 0) {
      m_view->setFocus();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void Sliste::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeFilterBoxes();
  if (m_wait->isVisible()) showWait(true);
}

void Sliste::showWait(bool on) {
  if (!on) {
    m_wait->hide();
    return;
  }
  m_wait->adjustSize();
  m_wait->move((width() - m_wait->width()) / 2, (height() - m_wait->height()) / 2);
  m_wait->show();
  m_wait->raise();
  if (isVisible()) m_wait->repaint();
}

// ---------------------------------------------------------------------------------
// Sorting

void Sliste::headerClicked(int gridColumn) {
  QHeaderView* header = m_view->horizontalHeader();
  if (!m_sortOnHeaderClick) return;
  const Qt::SortOrder order =
      m_proxy->sortColumn() == gridColumn && m_proxy->sortOrder() == Qt::AscendingOrder
          ? Qt::DescendingOrder
          : Qt::AscendingOrder;
  WaitCursor wait;
  const std::vector<char> picked = pickedMask();
  const bool all = m_allPicked;
  m_quiet = true;
  m_proxy->sortByColumn(gridColumn, order);
  restorePicks(picked, all);
  m_quiet = false;
  header->setSortIndicatorShown(m_proxy->sortColumn() >= 0);
  header->setSortIndicator(gridColumn, order);
  updateSelectAll();
  emit secimDegisti();
}

void Sliste::setSonSutunuGenislet(bool on) {
  m_view->horizontalHeader()->setStretchLastSection(on);
}

void Sliste::setBasligaTiklayincaSirala(bool on) {
  m_sortOnHeaderClick = on;
  m_view->horizontalHeader()->setSectionsClickable(on);
}

// ---------------------------------------------------------------------------------
// Picking

QList<int> Sliste::pickedProxyRows() const {
  std::vector<std::pair<int, int>> spans;
  for (const QItemSelectionRange& r : m_view->selectionModel()->selection())
    if (r.isValid()) spans.emplace_back(r.top(), r.bottom());
  std::sort(spans.begin(), spans.end());
  QList<int> rows;
  int next = 0;
  for (const auto& [top, bottom] : spans)
    for (int r = std::max(top, next); r <= bottom; ++r) {
      rows << r;
      next = r + 1;
    }
  return rows;
}

std::vector<char> Sliste::pickedMask() const {
  std::vector<char> mask(size_t(m_model->rows()), 0);
  for (int r : pickedProxyRows())
    if (r < m_proxy->rowCount()) mask[size_t(m_proxy->sourceRow(r))] = 1;
  return mask;
}

void Sliste::restorePicks(const std::vector<char>& mask, bool all) {
  const int n = m_proxy->rowCount();
  const int last = m_proxy->columnCount() - 1;
  QItemSelection selection;
  if (n > 0 && last >= 0) {
    if (all) {
      selection.append(QItemSelectionRange(m_proxy->index(0, 0), m_proxy->index(n - 1, last)));
    } else if (!mask.empty()) {
      int start = -1;
      for (int r = 0; r <= n; ++r) {
        const bool on = r < n && size_t(m_proxy->sourceRow(r)) < mask.size() &&
                        mask[size_t(m_proxy->sourceRow(r))];
        if (on && start < 0) start = r;
        if (!on && start >= 0) {
          selection.append(
              QItemSelectionRange(m_proxy->index(start, 0), m_proxy->index(r - 1, last)));
          start = -1;
        }
      }
    }
  }
  m_view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

QList<int> Sliste::SeciliKayitlariVer() const {
  QList<int> out;
  for (int r : pickedProxyRows())
    if (r < m_proxy->rowCount()) out << m_proxy->sourceRow(r);
  return out;
}

QStringList Sliste::SeciliKayitDegerleriniVer(const QString& column) const {
  QStringList out;
  const int c = m_model->columnIndex(column);
  if (c < 0) return out;
  for (int record : SeciliKayitlariVer()) out << m_model->text(record, c);
  return out;
}

QString Sliste::SeciliKayitDegerleriniVerString(const QString& column) const {
  QStringList quoted;
  for (QString v : SeciliKayitDegerleriniVer(column))
    quoted << QLatin1Char('\'') + v.replace(QLatin1Char('\''), QStringLiteral("''")) +
                  QLatin1Char('\'');
  return quoted.join(QLatin1Char(','));
}

void Sliste::TumunuSec() {
  if (m_mode == OperationMode::TekSatir) return;
  m_allPicked = true;
  m_quiet = true;
  restorePicks({}, true);
  m_quiet = false;
  updateSelectAll();
  emit secimDegisti();
}

void Sliste::SecimiBosalt() {
  m_allPicked = false;
  m_quiet = true;
  m_view->selectionModel()->clearSelection();
  m_quiet = false;
  updateSelectAll();
  emit secimDegisti();
}

void Sliste::selectionChanged() {
  if (m_quiet) return;
  m_allPicked = false;  // the user picked or dropped rows by hand
  updateSelectAll();
  emit secimDegisti();
}

void Sliste::updateSelectAll() {
  const int n = m_proxy->rowCount();
  const bool all = n > 0 && pickedProxyRows().size() == n;
  const QSignalBlocker block(m_selectAll);
  m_selectAll->setChecked(all);
  m_selectAll->setEnabled(n > 0 && m_mode != OperationMode::TekSatir);
}

void Sliste::setOperationMode(OperationMode mode) {
  m_mode = mode;
  switch (mode) {
    case OperationMode::TekSatir:
      m_view->setSelectionMode(QAbstractItemView::SingleSelection);
      break;
    case OperationMode::CokSatir:
      m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
      break;
    case OperationMode::DokunarakSec:
      m_view->setSelectionMode(QAbstractItemView::MultiSelection);
      break;
  }
  m_selectAll->setVisible(mode != OperationMode::TekSatir);
  updateSelectAll();
}

// ---------------------------------------------------------------------------------
// Columns and values

int Sliste::gridColumnOf(const QString& column) const {
  for (int i = 0; i < m_gridNames.size(); ++i)
    if (m_gridNames.at(i).compare(column.trimmed(), Qt::CaseInsensitive) == 0) return i;
  return -1;
}

bool Sliste::SutunGizleSutunAdiIle(const QString& column) {
  m_columnOverrides.insert(key(column), false);
  const int grid = gridColumnOf(column);
  if (grid < 0) return false;
  m_view->setColumnHidden(grid, true);
  placeFilterBoxes();
  return true;
}

bool Sliste::SutunGosterSutunAdiIle(const QString& column) {
  m_columnOverrides.insert(key(column), true);
  const int grid = gridColumnOf(column);
  if (grid < 0) return false;
  m_view->setColumnHidden(grid, false);
  if (m_view->horizontalHeader()->sectionSize(grid) < kMinAutoWidth)
    m_view->horizontalHeader()->resizeSection(grid, kMinAutoWidth * 2);
  placeFilterBoxes();
  return true;
}

int Sliste::gorunenKayitSayisi() const { return m_proxy->rowCount(); }

QString Sliste::deger(int record, const QString& column) const {
  const int c = m_model->columnIndex(column);
  if (c < 0 || record < 0 || record >= m_model->rows()) return {};
  return m_model->text(record, c);
}

int Sliste::aktifKayit() const {
  const QModelIndex current = m_view->currentIndex();
  return current.isValid() ? m_proxy->sourceRow(current.row()) : -1;
}

// ---------------------------------------------------------------------------------
// Appearance

void Sliste::setSatirYuksekligi(int pixels) {
  m_rowHeight = std::max(0, pixels);
  applyAppearance(lists::GridAppearance{});
}

void Sliste::setFontIcerik(const QFont& font) {
  m_baseFont = font;
  applyAppearance(lists::GridAppearance{});
}

namespace {
void setRole(QWidget* w, QPalette::ColorRole role, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(role, c);
  w->setPalette(p);
}
}  // namespace

void Sliste::setRenkYazi(const QColor& c) { setRole(m_view, QPalette::Text, c); }
void Sliste::setRenkZemin(const QColor& c) { setRole(m_view, QPalette::Base, c); }
void Sliste::setRenkAltSatir(const QColor& c) { setRole(m_view, QPalette::AlternateBase, c); }
void Sliste::setRenkSecililer(const QColor& c) { setRole(m_view, QPalette::Highlight, c); }
void Sliste::setRenkSeciliYazi(const QColor& c) { setRole(m_view, QPalette::HighlightedText, c); }
void Sliste::setRenkFiltre(const QColor& c) { setRole(m_filterClip, QPalette::Base, c); }
