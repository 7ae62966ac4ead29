#pragma once

#include <QDialog>

#include "framework/ScreenContext.h"

class PictureBox;
class QComboBox;
class QuestionFilterBox;
class Sliste;
namespace authoring {
class TestForm;
}

// The question picker of the test screen (frameSoruSec): the live questions not
// yet in the test, with the number of tests using each, found by the criteria;
// the picked ones are appended to the test in the order picked.
class QuestionPickerDialog : public QDialog {
  Q_OBJECT
 public:
  QuestionPickerDialog(const ScreenContext& context, authoring::TestForm& form,
                       QWidget* parent = nullptr);

  void bul();       // cmdSorulariBul
  void soruEkle();  // cmdSoruEkle
  // cmdDetaydanEkle: the current row with the time chosen beside its picture.
  void detaydanEkle();
  Sliste* grid() const { return m_grid; }

 private:
  void showDetail();
  QString currentKey() const;
  ScreenContext m_context;
  authoring::TestForm& m_form;
  QuestionFilterBox* m_filters = nullptr;
  Sliste* m_grid = nullptr;
  PictureBox* m_picture = nullptr;
  QComboBox* m_time = nullptr;
};
