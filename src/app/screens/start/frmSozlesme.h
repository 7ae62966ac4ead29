#pragma once

#include <QDialog>

#include "framework/ScreenContext.h"

// The terms of use, shown once before anything else on a new installation. Accepting
// records the date and the program version; refusing ends the program.
class frmSozlesme : public QDialog {
  Q_OBJECT
 public:
  explicit frmSozlesme(const ScreenContext& context, QWidget* parent = nullptr);
  static QString termsText();
  // Said before the program ends after "Kabul Etmiyorum".
  static QString refusedMessage() {
    return QStringLiteral(
        "Derslik, kullanım koşulları kabul edilmeden kullanılamaz. Program kapatılacak.");
  }

 private:
  void kabulEt();
  ScreenContext m_context;
};
