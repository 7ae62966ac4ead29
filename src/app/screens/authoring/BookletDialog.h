#pragma once

#include <QDialog>
#include <QList>

#include <array>

#include "authoring/BookletOrders.h"
#include "framework/ScreenContext.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
namespace authoring {
class TestForm;
}

// The booklet panel (frameKitapcik, "Kitapçık Ayarları"): which booklets, the
// answer key, the header and its placement; writes one document per booklet or
// prints them. The save and print buttons follow the booklet rights.
class BookletDialog : public QDialog {
  Q_OBJECT
 public:
  BookletDialog(const ScreenContext& context, authoring::TestForm& form, QWidget* parent = nullptr);

  // cmdKitapcikWord with the file name chosen: one file per booklet chosen.
  void kaydet(const QString& path);
  void yazdir();  // cmdKitapcikYazdir
  QCheckBox* bookletBox(int booklet) const { return m_booklets.at(size_t(booklet)); }

 private:
  void readOptions();
  void chooseHeader();
  ScreenContext m_context;
  authoring::TestForm& m_form;
  std::array<QCheckBox*, 4> m_booklets{};
  std::array<bool, 4> m_bookletExists{};  // A always; B to D when the test has their order
  // The booklets ticked that the test has.
  QList<authoring::Booklet> chosenBooklets() const;
  QCheckBox* m_key = nullptr;
  std::array<QRadioButton*, 3> m_placement{};
  QLabel* m_header = nullptr;
};
