#pragma once

#include <QString>
#include <QVariantList>

namespace school {

// A statement for a grid or list: SQL text with "?" placeholders and the values
// bound to them in order (user values never become SQL text).
struct Query {
  QString sql;
  QVariantList params;
};

}  // namespace school
