#include "lists/GridLayout.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cmath>

#include "lists/SutunBaslik.h"
#include "store/FactoryLayouts.h"
#include "store/Store.h"

namespace lists {

namespace {

const QString kWhere = QStringLiteral(" WHERE FORMADI=? AND SLISTEADI=? AND AYRAC=?");

// A grid without a tag is stored (and looked up) with an empty AYRAC, as the
// factory layouts are: never with NULL, which no comparison finds again.
QVariantList keyParams(const GridIdentity& id) {
  return {id.form, id.grid, id.tag.isNull() ? QStringLiteral("") : id.tag};
}

QString visibilityText(LayoutColumn::Visibility v) {
  switch (v) {
    case LayoutColumn::Visibility::Shown:
      return QStringLiteral("1");
    case LayoutColumn::Visibility::Hidden:
      return QStringLiteral("0");
    case LayoutColumn::Visibility::Internal:
      return QStringLiteral("2");
  }
  return QStringLiteral("1");
}

LayoutColumn::Visibility visibilityFrom(const QString& text) {
  const QString t = text.trimmed();
  if (t == QLatin1String("0")) return LayoutColumn::Visibility::Hidden;
  if (t == QLatin1String("2")) return LayoutColumn::Visibility::Internal;
  return LayoutColumn::Visibility::Shown;
}

// Slot texts of one layout row, in slot order (S1..S100).
using SlotRow = QStringList;

Status insertRow(store::Store& store, const GridIdentity& id, const QString& tur,
                 const SlotRow& slotTexts) {
  QStringList names{QStringLiteral("FORMADI"), QStringLiteral("SLISTEADI"), QStringLiteral("AYRAC"),
                    QStringLiteral("TUR")};
  QStringList marks(4, QStringLiteral("?"));
  QVariantList params = keyParams(id);
  params << tur;
  for (int i = 0; i < GridLayout::kSlots; ++i) {
    names << QStringLiteral("S%1").arg(i + 1);
    marks << QStringLiteral("?");
    params << (i < slotTexts.size() ? slotTexts.at(i) : QString());
  }
  return store.run(QStringLiteral("INSERT INTO TABLESLISTESUTUNADI (%1) VALUES (%2)")
                       .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                   params);
}

Status insertRows(store::Store& store, const GridIdentity& id, const QList<LayoutColumn>& columns) {
  SlotRow c, d, w, v;
  for (const LayoutColumn& col : columns.mid(0, GridLayout::kSlots)) {
    c << col.caption;
    d << col.column;
    w << QString::number(col.widthTwips);
    v << visibilityText(col.visibility);
  }
  for (const auto& [tur, row] :
       {std::pair{QStringLiteral("C"), &c}, std::pair{QStringLiteral("D"), &d},
        std::pair{QStringLiteral("W"), &w}, std::pair{QStringLiteral("V"), &v}}) {
    if (Status s = insertRow(store, id, tur, *row); !s) return s;
  }
  return {};
}

// TUR -> slot texts of the identity's rows (the first row of each kind).
Result<QHash<QString, SlotRow>> readRows(const store::Store& store, const GridIdentity& id) {
  Result<QSqlQuery> q = store.exec(QStringLiteral("SELECT * FROM TABLESLISTESUTUNADI") + kWhere +
                                       QStringLiteral(" ORDER BY TUR ASC"),
                                   keyParams(id));
  if (!q) return Result<QHash<QString, SlotRow>>::failure(q.error());
  QHash<QString, SlotRow> rows;
  while (q.value().next()) {
    const QSqlRecord rec = q.value().record();
    const QString tur = rec.value(QStringLiteral("TUR")).toString().trimmed().toUpper();
    if (rows.contains(tur)) continue;
    SlotRow slotTexts;
    for (int i = 1; i <= GridLayout::kSlots; ++i) {
      const int idx = rec.indexOf(QStringLiteral("S%1").arg(i));
      slotTexts << (idx >= 0 ? rec.value(idx).toString() : QString());
    }
    rows.insert(tur, slotTexts);
  }
  return rows;
}

}  // namespace

Result<QList<LayoutColumn>> GridLayout::load(const store::Store& store, const GridIdentity& id) {
  Result<QHash<QString, SlotRow>> rows = readRows(store, id);
  if (!rows) return Result<QList<LayoutColumn>>::failure(rows.error());
  QList<LayoutColumn> out;
  const SlotRow d = rows->value(QStringLiteral("D"));
  const SlotRow c = rows->value(QStringLiteral("C"));
  const SlotRow w = rows->value(QStringLiteral("W"));
  const SlotRow v = rows->value(QStringLiteral("V"));
  for (int i = 0; i < d.size(); ++i) {
    const QString column = d.at(i).trimmed();
    if (column.isEmpty()) break;  // an empty slot ends the layout
    LayoutColumn col;
    col.column = column;
    col.caption = i < c.size() && !c.at(i).isEmpty() ? c.at(i) : sutunBaslik(column);
    bool ok = false;
    const int width = i < w.size() ? w.at(i).trimmed().toInt(&ok) : 0;
    col.widthTwips = ok ? std::clamp(width, 0, kMaxWidthTwips) : kDefaultWidthTwips;
    col.visibility = i < v.size() ? visibilityFrom(v.at(i)) : LayoutColumn::Visibility::Shown;
    if (icSutunMu(column)) col.visibility = LayoutColumn::Visibility::Internal;
    out << col;
  }
  return out;
}

GridAppearance GridLayout::loadAppearance(const store::Store& store, const GridIdentity& id) {
  GridAppearance a;
  Result<QSqlQuery> q = store.exec(
      QStringLiteral("SELECT SATIRYUKSELIGI, FONTBOYU FROM TABLESLISTESUTUNBILGILERI") + kWhere,
      keyParams(id));
  if (q && q.value().next()) {
    a.rowHeight = std::max(0, q.value().value(0).toString().trimmed().toInt());
    a.fontSize = std::max(0, q.value().value(1).toString().trimmed().toInt());
  }
  return a;
}

Result<bool> GridLayout::exists(const store::Store& store, const GridIdentity& id) {
  const Result<QVariant> n =
      store.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESLISTESUTUNADI") + kWhere +
                       QStringLiteral(" AND TUR='D'"),
                   keyParams(id));
  if (!n) return Result<bool>::failure(n.error());
  return n->toInt() > 0;
}

Status GridLayout::save(store::Store& store, const GridIdentity& id,
                        const QList<LayoutColumn>& columns, const GridAppearance& appearance) {
  store::Transaction tx(store);
  if (Status s =
          store.run(QStringLiteral("DELETE FROM TABLESLISTESUTUNADI") + kWhere, keyParams(id));
      !s)
    return s;
  if (Status s = insertRows(store, id, columns); !s) return s;
  if (Status s = store.run(QStringLiteral("DELETE FROM TABLESLISTESUTUNBILGILERI") + kWhere,
                           keyParams(id));
      !s)
    return s;
  QVariantList params = keyParams(id);
  params << (appearance.rowHeight > 0 ? QString::number(appearance.rowHeight) : QString())
         << (appearance.fontSize > 0 ? QString::number(appearance.fontSize) : QString());
  if (Status s = store.run(
          QStringLiteral("INSERT INTO TABLESLISTESUTUNBILGILERI "
                         "(FORMADI,SLISTEADI,AYRAC,SATIRYUKSELIGI,FONTBOYU) VALUES (?,?,?,?,?)"),
          params);
      !s)
    return s;
  return tx.commit();
}

Status GridLayout::saveWidths(store::Store& store, const GridIdentity& id,
                              const QStringList& resultColumns, const QList<ShownColumn>& shown,
                              const QStringList& internalColumns) {
  store::Transaction tx(store);
  Result<QHash<QString, SlotRow>> rows = readRows(store, id);
  if (!rows) return Status::failure(rows.error());
  if (rows->contains(QStringLiteral("D"))) {
    const SlotRow d = rows->value(QStringLiteral("D"));
    for (const ShownColumn& s : shown) {
      const qsizetype slot = d.indexOf(s.column);
      if (slot < 0) continue;
      QVariantList params{QString::number(std::clamp(s.widthTwips, 0, kMaxWidthTwips))};
      params << keyParams(id);
      // The slot name is built from a number, never from user text.
      if (Status st =
              store.run(QStringLiteral("UPDATE TABLESLISTESUTUNADI SET S%1=?").arg(slot + 1) +
                            kWhere + QStringLiteral(" AND TUR='W'"),
                        params);
          !st)
        return st;
    }
    return tx.commit();
  }
  QList<LayoutColumn> columns;
  for (const QString& name : resultColumns) {
    LayoutColumn col;
    col.column = name;
    col.caption = sutunBaslik(name);
    col.widthTwips = kDefaultWidthTwips;
    const bool internal = icSutunMu(name) || internalColumns.contains(name, Qt::CaseInsensitive);
    col.visibility =
        internal ? LayoutColumn::Visibility::Internal : LayoutColumn::Visibility::Hidden;
    columns << col;
  }
  for (const ShownColumn& s : shown) {
    for (LayoutColumn& col : columns) {
      if (col.column != s.column || col.visibility == LayoutColumn::Visibility::Internal) continue;
      col.widthTwips = std::clamp(s.widthTwips, 0, kMaxWidthTwips);
      col.caption = s.caption;
      col.visibility = LayoutColumn::Visibility::Shown;
    }
  }
  if (Status s = insertRows(store, id, columns); !s) return s;
  return tx.commit();
}

Status GridLayout::reset(store::Store& store, const GridIdentity& id) {
  store::Transaction tx(store);
  if (Status s =
          store.run(QStringLiteral("DELETE FROM TABLESLISTESUTUNADI") + kWhere, keyParams(id));
      !s)
    return s;
  return tx.commit();
}

int GridLayout::twipsToPixels(int twips, double dpi) {
  return int(std::lround(double(twips) * (dpi > 0 ? dpi : 96.0) / 1440.0));
}

int GridLayout::pixelsToTwips(int pixels, double dpi) {
  return int(std::lround(double(pixels) * 1440.0 / (dpi > 0 ? dpi : 96.0)));
}

bool GridLayout::isShippedWidth(const GridIdentity& id, const QString& column, int widthTwips) {
  static const QHash<QString, QList<int>> shipped = [] {
    QHash<QString, QList<int>> out;
    QList<store::GridLayout> all =
        store::factoryLayouts() + store::testListLayouts() + store::currentFactoryLayouts();
    all << store::reportMenuTestLayout() << store::relativeReportLayout();
    for (const store::GridLayout& l : all)
      for (const store::GridColumn& c : l.columns)
        out[l.form + QChar(0x1f) + l.grid + QChar(0x1f) + l.variant + QChar(0x1f) +
            c.field.toUpper()]
            << c.width.toInt();
    return out;
  }();
  return shipped
      .value(id.form + QChar(0x1f) + id.grid + QChar(0x1f) + id.tag + QChar(0x1f) +
             column.toUpper())
      .contains(widthTwips);
}

int GridLayout::fittedWidth(int savedPixels, int captionPixels, int widestValuePixels) {
  if (savedPixels <= 0) return savedPixels;
  const int shortValue = widestValuePixels <= kShortValuePixels ? widestValuePixels : 0;
  return std::max({savedPixels, captionPixels, shortValue});
}

}  // namespace lists
