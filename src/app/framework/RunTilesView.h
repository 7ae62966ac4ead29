#pragma once

#include <QSize>
#include <QStringList>
#include <QWidget>

#include "activity/RemoteTiles.h"

// The remotes of a run as tiles filling the frame (frameKumandalar): one per
// remote, the student's name as large as fits (a long name elides, never
// overlaps), the state by colour and also by a mark, so that a pale projector or
// a colour-blind student still tells them apart: answered ✓, blank –, waiting
// nothing. A tile never shows which letter was chosen. It only paints what the
// run holds; the "0-0" tile of the virtual remote is not drawn.
class RunTilesView : public QWidget {
  Q_OBJECT
 public:
  explicit RunTilesView(QWidget* parent = nullptr);

  // The tiles and their names stay owned by the run and must outlive the view.
  void setTiles(const activity::RemoteTiles* tiles, const QStringList* names);
  // Repaints one tile (a press).
  void tileChanged(int index);

  // How many columns `count` tiles of about `aspect` (width/height) take to be as
  // large as possible in `area`.
  static int columnsFor(int count, const QSize& area, double aspect = 2.6);
  // Where tile `index` of `count` is drawn in `area`.
  static QRect tileRect(int index, int count, const QRect& area);
  // The background of a state: the school's colours.
  static QColor colorOf(activity::RemoteTiles::State state);
  // The mark of a state: "✓", "–" or nothing.
  static QString markOf(activity::RemoteTiles::State state);
  // The address of the tile drawn at `point`; empty between tiles.
  QString addressAt(const QPoint& point) const;

 signals:
  // The tile's menu was asked for (right click, or a long press on a board).
  void tileMenuRequested(const QString& address, const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void connectNotify(const QMetaMethod& signal) override;

 private:
  QList<int> shownIndexes() const;
  int fontPixelsFor(const QRect& tile, const QList<int>& shown) const;
  static QRect markRect(const QRect& tile);
  static QRect textRect(const QRect& tile);

  // The names' size is worked out again only when the tiles' size or names change.
  mutable QSize m_fontForSize;
  mutable QStringList m_fontForNames;
  mutable int m_fontPixels = 0;

  const activity::RemoteTiles* m_tiles = nullptr;
  const QStringList* m_names = nullptr;
};
