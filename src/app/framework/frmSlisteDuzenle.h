#pragma once

#include <QDialog>
#include <QList>

#include "lists/GridLayout.h"

class QLineEdit;
class QPushButton;
class QTableWidget;
class Sliste;

// The layout window of a grid: order, captions, widths (twips) and visibility of
// its columns, font size and row height. Internal columns are not listed; they are
// kept at the end of the saved layout. Saving or resetting tells the grid
// (DuzenKaydedeBasildi) and closes the window.
class frmSlisteDuzenle : public QDialog {
  Q_OBJECT
 public:
  explicit frmSlisteDuzenle(Sliste* grid, QWidget* parent = nullptr);

  // The columns as listed now (for tests and for saving).
  QList<lists::LayoutColumn> listedColumns() const;

  // The buttons' actions.
  void cmdYukari_Click();
  void cmdAsagi_Click();
  bool cmdDegistir_Click();
  void CmdSecimleriBosalt_Click();
  bool cmdKaydet_Click();
  bool cmdAyarlariSifirla_Click();

  QTableWidget* list() const { return m_list; }
  QLineEdit* captionBox() const { return m_caption; }
  QLineEdit* widthBox() const { return m_width; }

 private:
  // After saving or resetting: the error, or the grid shown with its new layout.
  bool applied(const Status& s);
  void fill(const QList<lists::LayoutColumn>& columns);
  void rowChosen();
  void moveRow(int from, int to);
  void updateToggleCaption();
  // Every column ticked as shown.
  bool allShown() const;

  Sliste* m_grid;
  QList<lists::LayoutColumn> m_internal;
  QTableWidget* m_list = nullptr;
  QLineEdit* m_caption = nullptr;
  QLineEdit* m_width = nullptr;
  QLineEdit* m_fontSize = nullptr;
  QLineEdit* m_rowHeight = nullptr;
  QPushButton* m_toggle = nullptr;
};
