#pragma once

#include <QList>
#include <QString>

#include "Result.h"

namespace store {

// Saved states of a screen's input controls (TABLEAYAR): one row per control, an
// index for members of a control array ("-" for a single control), the value as
// text and the control's tab position, which is the order of restoring.
struct ControlState {
  QString control;   // KONTROLADI
  QString index;     // INDEKS: "-" or the array index
  QString value;     // DEGER
  QString tabIndex;  // TABINDEX
};

// Replaces everything saved for the screen with `states`, in one transaction.
Status saveScreenState(const QString& screen, const QList<ControlState>& states);
// The saved rows of the screen in ascending numeric tab position.
QList<ControlState> loadScreenState(const QString& screen);
// The test-run screen's factory rows, inserted when the three-button setting is
// numerically 0 and its report choice has never been saved.
Status ensureTestRunFactoryRows(const QString& threeButtonSetting);

}  // namespace store
