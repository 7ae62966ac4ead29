#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"

namespace store {
class Store;
}

namespace lists {

// Which saved layout a grid uses: the screen that holds it, the grid's name and its
// tag, so that one grid can keep several layouts (FORMADI, SLISTEADI, AYRAC). A
// grid is given its identity when it is made: never taken from the window it sits
// in, so that it stays the same inside the main window, alone, or under another
// screen's grid of the same name.
struct GridIdentity {
  QString form;
  QString grid;
  QString tag{};  // AYRAC; most grids have none
};

// One slot of a layout: grid column i shows result column `column` under `caption`.
struct LayoutColumn {
  enum class Visibility { Shown, Hidden, Internal };  // "1", "0", "2"
  QString caption;
  QString column;
  int widthTwips = 1000;
  Visibility visibility = Visibility::Shown;

  bool operator==(const LayoutColumn&) const = default;
};

// Row height and font size of a grid; 0 means "not saved, keep the default".
struct GridAppearance {
  int rowHeight = 0;
  int fontSize = 0;
};

// Layouts in TABLESLISTESUTUNADI: four rows per identity told apart by TUR
// ("C" captions, "D" result columns, "W" widths in twips, "V" visibility), slot
// S1..S100 = grid column 1..100 in display order; the first empty "D" slot ends it.
// Appearance in TABLESLISTESUTUNBILGILERI. Every write is one transaction.
class GridLayout {
 public:
  static constexpr int kSlots = 100;
  static constexpr int kMaxWidthTwips = 32000;
  static constexpr int kDefaultWidthTwips = 1000;

  // The saved slots in display order; empty when the identity has no layout.
  static Result<QList<LayoutColumn>> load(const store::Store& store, const GridIdentity& id);
  static GridAppearance loadAppearance(const store::Store& store, const GridIdentity& id);

  // The layout window's save: replaces the four rows with `columns` in the given
  // order (internal columns should come last) and the appearance row.
  static Status save(store::Store& store, const GridIdentity& id,
                     const QList<LayoutColumn>& columns, const GridAppearance& appearance);

  // The context menu's "save widths". With a layout: each shown column's width goes
  // into the slot that names its result column. Without one: a layout is created
  // from the result columns (caption map, width 1000, "2" for internal columns, "0"
  // for the rest), then the shown columns get their width, caption and "1".
  // `shown` maps result column -> (caption, width in twips).
  struct ShownColumn {
    QString column;
    QString caption;
    int widthTwips = kDefaultWidthTwips;
  };
  static Status saveWidths(store::Store& store, const GridIdentity& id,
                           const QStringList& resultColumns, const QList<ShownColumn>& shown,
                           const QStringList& internalColumns);

  // Deletes the identity's layout rows (the appearance row stays): the grid then
  // shows every result column with its mapped caption.
  static Status reset(store::Store& store, const GridIdentity& id);

  static Result<bool> exists(const store::Store& store, const GridIdentity& id);

  // The width a shipped column gets from its saved width (pixels): never so
  // narrow that its caption or a short value is cut ("Numaras", "SER…"), since
  // the widths the program shipped were set for another font. Values wider than
  // kShortValuePixels may be cut as saved; 0 (a collapsed column) stays 0.
  static constexpr int kShortValuePixels = 140;
  static int fittedWidth(int savedPixels, int captionPixels, int widestValuePixels);
  // Whether `widthTwips` is the width a shipped layout of this grid gave the
  // column (any version of the factory layouts): such a width is fitted, one the
  // teacher saved stays as it is.
  static bool isShippedWidth(const GridIdentity& id, const QString& column, int widthTwips);

  // twips <-> pixels at a given dots-per-inch (1440 twips to the inch).
  static int twipsToPixels(int twips, double dpi);
  static int pixelsToTwips(int pixels, double dpi);
};

}  // namespace lists
