#pragma once

#include <QDialog>

#include <array>

#include "authoring/AnswerKeyForm.h"
#include "framework/ScreenContext.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The answer key form (frameCevapAnahtari, "Cevap Anahtarı"): a row of choices
// A-E per question, and the orders of booklets B, C and D, each editable while
// its box is ticked, or made at once by "Karıştır" from a seed shown beside it
// (typing a noted seed makes its order again). Paints an
// authoring::AnswerKeyForm; "Tamam" stores it.
class AnswerKeyDialog : public QDialog {
  Q_OBJECT
 public:
  AnswerKeyDialog(const ScreenContext& context, QWidget* parent = nullptr);

  Status open(const QString& testNo);
  authoring::AnswerKeyForm& form() { return m_form; }
  QTableWidget* keyTable() const { return m_key; }
  QTableWidget* bookletTable(authoring::Booklet b) const { return m_grids.at(size_t(b) - 1); }
  QCheckBox* bookletBox(authoring::Booklet b) const { return m_boxes.at(size_t(b) - 1); }
  QPushButton* shuffleButton(authoring::Booklet b) const { return m_shuffles.at(size_t(b) - 1); }
  QLineEdit* seedBox(authoring::Booklet b) const { return m_seeds.at(size_t(b) - 1); }

  // "Karıştır" with a new seed; the seed typed into the box (Enter) with that one.
  void karistir(authoring::Booklet b);
  void anahtarGirildi(authoring::Booklet b);

  void tamam();  // cmdCevapAnahtariTamam

 private:
  void paintKey();
  void paintBooklet(authoring::Booklet b);
  ScreenContext m_context;
  authoring::AnswerKeyForm m_form;
  bool m_painting = false;
  QTableWidget* m_key = nullptr;
  std::array<QCheckBox*, 3> m_boxes{};
  std::array<QTableWidget*, 3> m_grids{};
  std::array<QPushButton*, 3> m_shuffles{};
  std::array<QLineEdit*, 3> m_seeds{};
};
