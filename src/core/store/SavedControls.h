#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

#include "Result.h"

namespace store {

// The saved choices of a screen in TABLEAYAR, kept in the layout the stored data
// has always had: one row per control (FORMADI, KONTROLADI, INDEKS "-" or the
// index in a control array, DEGER, TABINDEX), with the value as the control kind
// stores it:
//   check box      "0", "1" or "2" (unchecked, checked, greyed)
//   drop-down list the entry's text; the zero-based position ("-1" when nothing
//                  is selected) for a fixed list whose order is its meaning
//                  (durations, reports), and for any list from an older Derslik
//   option button  "True" or "False", one row per button of the array
//   typed combo    the text
//
// This is the one place that reads and writes those rows. A screen's choices are a
// typed value in core (delivery::RunSettings ...) whose load() and save() name the
// controls through this class; the screen binds its widgets to the value, and no
// other code, core or screen, names a stored control.
class SavedControls {
 public:
  static Result<SavedControls> load(const QSqlDatabase& db, const QString& screen);
  // A list's choice is kept as its entry's text: a list grows and shrinks, and a
  // place would come to mean another entry. An older Derslik kept the place. The
  // place `stored` holds, unless it is itself one of `entries` (a class may be
  // called "12"); nothing for an entry's text.
  static std::optional<int> oldPosition(const QString& stored, const QStringList& entries = {});
  // The entry `stored` means in `entries`, the list the screen fills: itself, or
  // the entry at an old place (`pastEnd` for a place the list no longer has).
  static QString entry(const QString& stored, const QStringList& entries, const QString& pastEnd);

  explicit SavedControls(QString screen = {}) : m_screen(std::move(screen)) {}

  const QString& screen() const { return m_screen; }
  bool has(const QString& control) const;

  // Readers: `fallback` when the control has no row or its value does not read.
  bool checked(const QString& control, bool fallback) const;
  int position(const QString& control, int fallback) const;
  // The index of the option button of the array that is "True".
  int selectedOption(const QString& control, int fallback) const;
  QString text(const QString& control, const QString& fallback = {}) const;

  // Writers; `tab` is the TABINDEX a new row gets (a stored row keeps its own).
  void setChecked(const QString& control, bool on, int tab);
  void setPosition(const QString& control, int position, int tab);
  // Writes every button of the array: "True" for `selected`, "False" for the
  // others; button i gets tab position firstTab + i.
  void selectOption(const QString& control, int selected, int count, int firstTab);
  void setText(const QString& control, const QString& text, int tab);

  // Replaces what is stored for the screen with these rows, in one transaction
  // (rows loaded and not written again are kept as they were).
  Status save(const QSqlDatabase& db) const;

 private:
  struct Row {
    QString control;
    QString index;
    QString value;
    QString tab;
  };
  const Row* find(const QString& control, const QString& index) const;
  void set(const QString& control, const QString& index, const QString& value, int tab);

  QString m_screen;
  QList<Row> m_rows;
};

}  // namespace store
