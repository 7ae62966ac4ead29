#pragma once

#include <QString>

class QWidget;

// Saving and restoring a screen's input controls (check boxes, drop-down lists,
// option buttons and auto-complete combos) in TABLEAYAR.
//
// Control arrays: several widgets sharing one objectName, told apart by the
// integer property "indeks" (see setControlIndex). The tab position saved for each
// control is its place in the screen's focus chain; restoring follows it, so an
// upper filter list is set (and its dependants refilled) before its dependants.
// Like the screens always did, both ignore every error: a control that cannot take
// a saved value keeps its current one.

void AyarKaydet(QWidget* screen);
// `threeButtonSetting` is the main window's three-button setting; it decides the
// factory rows of the test-run screen.
void AyarYukle(QWidget* screen, const QString& threeButtonSetting = QStringLiteral("0"));

// Marks a widget as element `index` of the control array named by its objectName.
void setControlIndex(QWidget* widget, int index);
