#pragma once

#include <QColor>
#include <QPixmap>
#include <QScreen>
#include <QtTest>

#include "framework/RunTilesView.h"
#include "screens/delivery/frmOnizleme.h"

// The colour the board really shows in the middle of the left edge of answer
// tile `index`: what reached the window's backing store, not a fresh painting
// (a tile that was never repainted keeps its old colour there).
inline QColor paintedTile(frmOnizleme* window, int index) {
  QTest::qWait(30);
  auto* view = window->findChild<RunTilesView*>(QStringLiteral("frameKumandalar"));
  if (!view) return {};
  const QRect r = RunTilesView::tileRect(index, window->session().tiles().size(), view->rect());
  const QPoint at = view->mapTo(window, QPoint(r.left() + 6, r.center().y()));
  const QPixmap shown = window->screen()->grabWindow(window->winId(), at.x(), at.y(), 1, 1);
  return shown.toImage().pixelColor(0, 0);
}
