#include "lists/RowFilter.h"

#include <QRegularExpression>

#include "lists/TurkishText.h"
#include "store/SqlFunctions.h"

namespace lists {

QString RowFilter::cleanText(const QString& text) {
  QString t = text;
  t.remove(QLatin1Char('\''));
  t.remove(QLatin1Char('%'));
  return t;
}

RowFilter::RowFilter(const TableModel& model, const QList<Box>& boxes) : m_model(model) {
  for (const Box& box : boxes) {
    const QString text = cleanText(box.text).trimmed();
    if (text.isEmpty() || box.column < 0 || box.column >= model.columns()) continue;
    Term term;
    term.column = box.column;
    term.kind = model.kind(box.column);
    switch (term.kind) {
      case ColumnKind::Text: {
        term.folded = &model.folded(box.column);
        const QStringList words = turkishFold(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& w : words) {
          term.word = w;
          m_terms.push_back(term);
        }
        break;
      }
      case ColumnKind::Date:
        term.day = parseDay(text);
        if (term.day) m_terms.push_back(term);
        break;
      case ColumnKind::Number:
        if (store::jetIsNumeric(text)) {
          bool ok = false;
          term.number = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
          if (ok) m_terms.push_back(term);
        }
        break;
    }
  }
}

bool RowFilter::accepts(int row) const {
  for (const Term& t : m_terms) {
    switch (t.kind) {
      case ColumnKind::Text:
        if (!(*t.folded)[size_t(row)].contains(t.word)) return false;
        break;
      case ColumnKind::Date:
        if (m_model.day(row, t.column) != t.day) return false;
        break;
      case ColumnKind::Number:
        if (!(m_model.number(row, t.column) == t.number)) return false;
        break;
    }
  }
  return true;
}

}  // namespace lists
