#pragma once

#include <QDialog>

#include "framework/ScreenContext.h"

class QLabel;
class QLineEdit;

// Institution code and name, asked on first start (and whenever the code is empty).
class frmKurumBilgileri : public QDialog {
  Q_OBJECT
 public:
  explicit frmKurumBilgileri(const ScreenContext& context, QWidget* parent = nullptr);
  // Reads the stored values again.
  void yenile();
  static QString digitsOnlyText() {
    return QStringLiteral("Kurum kodu yalnızca rakamlardan oluşur");
  }

 signals:
  void saved();

 private:
  void kaydet();
  // Says at once when the code holds anything but digits.
  void checkCode();
  ScreenContext m_context;
  QLineEdit* m_kod;
  QLineEdit* m_ad;
  QLabel* m_kodUyari;
};
