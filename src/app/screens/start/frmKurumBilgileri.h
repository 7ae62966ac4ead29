#pragma once

#include <QDialog>

#include "widgets/ScreenContext.h"

class QLineEdit;

// Institution code and name, asked on first start (and whenever the code is empty).
class frmKurumBilgileri : public QDialog {
  Q_OBJECT
 public:
  explicit frmKurumBilgileri(const ScreenContext& context, QWidget* parent = nullptr);
  // Reads the stored values again.
  void yenile();

 signals:
  void saved();

 private:
  void kaydet();
  ScreenContext m_context;
  QLineEdit* m_kod;
  QLineEdit* m_ad;
};
