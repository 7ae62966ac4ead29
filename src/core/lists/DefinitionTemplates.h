#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include "Result.h"

namespace lists {

// Where a definition list lives: a column of a table, restricted by fixed
// conditions "COLUMN=value" separated by ",". The conditions are the program's own
// constants, never user input.
struct DefinitionSource {
  QString table;
  QString field;
  QString fixedConditions;
  QString separator = QStringLiteral("|");

  // Reads a source given as entries "key<separator>value" with the keys
  // "AlınacakTablo", "AlınacakField", "WhereParametresiSabit" and "Ayrac".
  // An entry without the separator is refused ("Combonun ayracı düzgün yazılmamış").
  static Result<DefinitionSource> fromEntries(const QStringList& entries, const QString& separator);
};

// The editor's statements. They are written with the markers "@@@YENI" (the new
// name) and "@@@ESKI" (the old name), the language hosts write their own templates
// in; bind() turns every marker into a bound parameter, so a name such as
// "Türkiye'nin" is stored as typed and can never change the statement.
struct DefinitionTemplates {
  QString select;
  QString insert;
  QString update;
  QString remove;
  QString duplicate;

  // The templates of a table source (BilgileriAl). The duplicate check compares
  // without regard to Turkish case, as the definitions are kept in capitals.
  static Result<DefinitionTemplates> fromSource(const DefinitionSource& source);
};

struct BoundSql {
  QString sql;
  QVariantList params;
};

// Replaces each marker by "?" (also inside a quoted literal: '@@@YENI' becomes ?,
// 'x@@@YENIy' becomes ('x' || ? || 'y')) and lists the values in order. A Jet
// "DELETE * FROM" is read as "DELETE FROM".
BoundSql bindMarkers(const QString& templ, const QString& yeni, const QString& eski);

}  // namespace lists
