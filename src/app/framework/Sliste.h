#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QWidget>

#include <vector>

#include "Result.h"
#include "ScreenContext.h"
#include "lists/FilterProxy.h"
#include "lists/GridLayout.h"
#include "lists/TableModel.h"
#include "store/Sql.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;
class QTimer;

// The list of every screen that shows database rows.
//
// Identity: a grid is made with the name of its screen and its own name (and,
// optionally, a tag), which pick its saved layout; the grid's objectName is its
// own name. The identity never follows the window the grid happens to sit in:
//
//   m_list = new Sliste(context, {QStringLiteral("frmTanimlamalar"),
//                                 QStringLiteral("SlisteOgrenciler")}, page);
//
// Filling: ListeDoldurYeni(query) runs one statement with bound parameters on the
// store's main connection and keeps every row in memory; filtering and sorting
// never ask the database again. Call it again whenever the screen's search
// conditions change; the texts typed into the filter boxes stay and apply again.
//
// Layout: the columns, captions, widths (stored in twips) and visibility come from
// TABLESLISTESUTUNADI for the identity (FORMADI, SLISTEADI, AYRAC). Without a
// saved layout every result column is shown under its caption from
// lists::sutunBaslik(). Internal
// columns (ID, SORUNUMARASI, SILINDIMI, AKTARILDI2 and FillOptions::internalColumns)
// are never shown: read them with deger().
//
// Filter boxes: one over each column (Ctrl+F goes there, Escape empties one,
// Down returns to the list). A burst of typing refilters once when
// TimerFiltre fires: text columns match every typed word in any order without
// regard to Turkish case, date columns one day, number columns their value.
//
// Picking: the picked rows are the selected rows; SeciliKayitlariVer() gives their
// record positions (row numbers of the result, stable until the next fill) in the
// order shown. secimDegisti() is emitted once per change of the picked set.
// Filtering and sorting keep the picks of the rows that stay visible.
class Sliste : public QWidget {
  Q_OBJECT
 public:
  enum class OperationMode {
    TekSatir,      // one row at a time
    CokSatir,      // several rows: Ctrl/Shift with the mouse or keyboard
    DokunarakSec,  // several rows: each click or touch toggles one row
  };

  struct FillOptions {
    // Overrides the column kind found from the data (number when the database
    // returns numbers, date when every value is dd.MM.yyyy, text otherwise).
    QHash<QString, lists::ColumnKind> columnKinds;
    // Further columns to keep out of sight and out of the layout window.
    QStringList internalColumns;
  };

  Sliste(const ScreenContext& context, const lists::GridIdentity& identity,
         QWidget* parent = nullptr);
  ~Sliste() override;

  // --- identity of the saved layout -------------------------------------------
  QString formAdi() const { return m_identity.form; }
  QString slisteAdi() const { return m_identity.grid; }
  QString ayrac() const { return m_identity.tag; }
  const lists::GridIdentity& identity() const { return m_identity; }
  const ScreenContext& context() const { return m_context; }

  // --- members the screens call -----------------------------------------------
  // Runs the statement and shows its rows. An empty statement is refused with the
  // message the user is shown; a database error is shown as "Hata" and returned.
  Status ListeDoldurYeni(const QString& sql, const QVariantList& params = {},
                         const FillOptions& options = {});
  Status ListeDoldurYeni(const store::Query& query, const FillOptions& options = {}) {
    return ListeDoldurYeni(query.sql, query.params, options);
  }
  // Record positions of the picked rows, in the order shown.
  QList<int> SeciliKayitlariVer() const;
  // The column's value in every picked row, in the order shown.
  QStringList SeciliKayitDegerleriniVer(const QString& column) const;
  // The same as one text for display and for old callers: 'a','b' (apostrophes
  // inside doubled); empty when nothing is picked. SQL takes the values as bound
  // parameters instead: store::inList(SeciliKayitDegerleriniVer(column)).
  QString SeciliKayitDegerleriniVerString(const QString& column) const;
  void TumunuSec();
  void SecimiBosalt();
  // Hide / show the grid column of a result column; false when the grid has none.
  // The choice holds across fills until changed.
  bool SutunGizleSutunAdiIle(const QString& column);
  bool SutunGosterSutunAdiIle(const QString& column);
  // The layout window saved or reset the layout: show the rows with it again.
  void DuzenKaydedeBasildi();
  // Context menu entries.
  void Tabloyuduzenle();
  void TabloDuzeniniKaydet();

  // --- reading the rows -----------------------------------------------------------
  int kayitSayisi() const { return m_model->rows(); }  // rows of the result
  int gorunenKayitSayisi() const;                      // rows passing the filter
  // Value of a result column (also an internal one) in a record; '' when absent.
  QString deger(int record, const QString& column) const;
  // The result column a grid column shows; empty when none.
  QString sutunAdi(int gridColumn) const { return m_gridNames.value(gridColumn); }
  // The record of the current row, -1 when none.
  int aktifKayit() const;
  // Sets a filter box by result column name and refilters at once (as if typed).
  void setFiltreMetni(const QString& column, const QString& text);
  QString filtreMetni(const QString& column) const;
  // Delay of TimerFiltre.
  void setFiltreGecikmesi(int ms);

  // --- design-time properties ---------------------------------------------------
  void setBasligaTiklayincaSirala(bool on);
  bool basligaTiklayincaSirala() const { return m_sortOnHeaderClick; }
  void setSagMenuOlmasin(bool on) { m_noContextMenu = on; }
  // The last column takes the room left on the right (single-column lists).
  void setSonSutunuGenislet(bool on);
  void setOperationMode(OperationMode mode);
  OperationMode operationMode() const { return m_mode; }
  void setSatirYuksekligi(int pixels);
  void setFontIcerik(const QFont& font);
  void setRenkYazi(const QColor& c);
  void setRenkZemin(const QColor& c);
  void setRenkAltSatir(const QColor& c);
  void setRenkSecililer(const QColor& c);
  void setRenkSeciliYazi(const QColor& c);
  void setRenkFiltre(const QColor& c);

  // --- for the layout window and tests -------------------------------------------
  QTableView* tablo() const { return m_view; }
  lists::TableModel* tableModel() const { return m_model; }
  lists::FilterProxy* proxy() const { return m_proxy; }
  QLineEdit* filtreKutusu(const QString& column) const;
  // The grid's columns as the layout window lists them (current widths in twips,
  // hidden ones with "0"), followed by the internal columns with "2".
  QList<lists::LayoutColumn> currentLayout() const;
  lists::GridAppearance currentAppearance() const;
  double dpi() const;

 signals:
  void secimDegisti();
  void aktifKayitDegisti(int record);
  void kayitCiftTiklandi(int record);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void applyLayout();
  QList<lists::LayoutColumn> defaultLayout() const;
  bool isInternal(const QString& column) const;
  void rebuildFilterBoxes();
  void placeFilterBoxes();
  void filterEdited(int gridColumn);
  void applyFilter();
  void headerClicked(int gridColumn);
  void showContextMenu(const QPoint& pos);
  void updateSelectAll();
  void selectionChanged();
  std::vector<char> pickedMask() const;
  void restorePicks(const std::vector<char>& mask, bool all);
  QList<int> pickedProxyRows() const;
  void showWait(bool on);
  int gridColumnOf(const QString& column) const;
  void applyAppearance(const lists::GridAppearance& a);

  lists::TableModel* m_model = nullptr;
  lists::FilterProxy* m_proxy = nullptr;
  QTableView* m_view = nullptr;
  QWidget* m_filterBar = nullptr;
  QWidget* m_filterClip = nullptr;
  QCheckBox* m_selectAll = nullptr;
  QLabel* m_wait = nullptr;
  QTimer* m_filterTimer = nullptr;
  QList<QLineEdit*> m_filterBoxes;
  QPointer<QLineEdit> m_lastEdited;

  ScreenContext m_context;
  lists::GridIdentity m_identity;
  FillOptions m_options;
  QList<lists::LayoutColumn> m_layout;     // slots in display order (internal ones too)
  QStringList m_gridNames;                 // result column of each grid column
  QHash<QString, QString> m_filterTexts;   // folded column name -> text
  QHash<QString, bool> m_columnOverrides;  // folded column name -> shown
  bool m_sortOnHeaderClick = true;
  bool m_noContextMenu = false;
  OperationMode m_mode = OperationMode::CokSatir;
  int m_rowHeight = 0;  // 0 = from the font
  QFont m_baseFont;
  bool m_quiet = false;
  bool m_allPicked = false;  // "select all" was chosen: a refilter picks every row shown  //
                             // selection changes of our own: one signal at the end
};
