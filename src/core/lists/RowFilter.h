#pragma once

#include <QList>
#include <QString>

#include <vector>

#include "lists/TableModel.h"

namespace lists {

// The filter of a list: one term per non-empty filter box, all terms must hold.
//   text column   every word of the box occurs in the cell, in any order, without
//                 regard to Turkish case ("iğüşöç" finds "İğüşöç", "ışık" finds "IŞIK");
//   date column   the box holds a valid date and the cell is on that day;
//   number column the box holds a number ("," or "." as decimal mark) equal to the cell.
// A box whose text does not fit its column's kind adds no term, so a malformed
// filter never empties the list.
class RowFilter {
 public:
  struct Box {
    int column = -1;  // result column; -1 = no column (adds no term)
    QString text;
  };

  RowFilter(const TableModel& model, const QList<Box>& boxes);

  bool isEmpty() const { return m_terms.empty(); }
  bool accepts(int row) const;

  // What a filter box keeps of typed text: "'" and "%" are removed.
  static QString cleanText(const QString& text);

 private:
  struct Term {
    int column = -1;
    ColumnKind kind = ColumnKind::Text;
    QString word;  // folded (text columns)
    double number = 0;
    qint64 day = 0;
    const std::vector<QString>* folded = nullptr;
  };
  const TableModel& m_model;
  std::vector<Term> m_terms;
};

}  // namespace lists
