#pragma once

#include <QDialog>
#include <QList>

#include "authoring/AutoSelection.h"
#include "framework/ScreenContext.h"

class QLineEdit;
class QListWidget;
class QuestionFilterBox;
namespace authoring {
class TestForm;
}

// Automatic selection ("Otomatik Soru Seçme"): K questions drawn by criteria, or a
// blueprint of several criteria rows with their own counts, applied at once.
class AutoSelectionDialog : public QDialog {
  Q_OBJECT
 public:
  AutoSelectionDialog(const ScreenContext& context, authoring::TestForm& form,
                      QWidget* parent = nullptr);

  // "Ölçüt Satırı Ekle": the criteria and count shown become a blueprint row.
  void satirEkle();
  // cmdOtomatikSoruEkle: the blueprint, or the criteria shown when it is empty.
  void ekle();
  QLineEdit* countBox() const { return m_count; }
  const QList<authoring::SelectionRow>& blueprint() const { return m_rows; }

 private:
  bool readRow(authoring::SelectionRow& row);
  ScreenContext m_context;
  authoring::TestForm& m_form;
  QuestionFilterBox* m_filters = nullptr;
  QLineEdit* m_count = nullptr;
  QListWidget* m_list = nullptr;
  QList<authoring::SelectionRow> m_rows;
};
