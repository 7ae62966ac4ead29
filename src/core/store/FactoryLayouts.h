#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include "Result.h"

namespace store {

// One grid's factory column layout: four rows of TABLESLISTESUTUNADI (captions,
// data columns, widths in twips, visibility) for (form, grid, AYRAC).
struct GridColumn {
  QString caption;
  QString field;
  QString width;
  QString visibility;
};

struct GridLayout {
  QString form;
  QString grid;
  QString variant;  // AYRAC
  QList<GridColumn> columns;
};

// The layouts every saved layout was once replaced with.
QList<GridLayout> factoryLayouts();
// The later test-list layouts of the test composition and test run screens.
QList<GridLayout> testListLayouts();
// The later test-list layout of the report selection screen.
GridLayout reportMenuTestLayout();
// The relative report grid.
GridLayout relativeReportLayout();
// The factory layouts with the later replacements applied: what a new database gets.
QList<GridLayout> currentFactoryLayouts();

// Deletes the layout rows of (form, grid, AYRAC) and inserts the four rows anew.
Status replaceLayout(const GridLayout& layout, const QSqlDatabase& db);
// Inserts the four rows (no delete).
Status insertLayout(const GridLayout& layout, const QSqlDatabase& db);

}  // namespace store
