#pragma once

#include <QDialog>
#include <QString>

class QLabel;

// The message window every screen uses: a title, a (multi-line) text and a set of
// buttons; returns the button pressed with the codes the screens test for.
class frmMesaj : public QDialog {
  Q_OBJECT
 public:
  enum Button { Tamam = 1, Iptal = 2, Evet = 6, Hayir = 7 };
  // YesNoDefaultNo: for questions whose "Evet" cannot be taken back; Enter answers "Hayır".
  enum class Buttons { Ok, YesNo, YesNoDefaultNo, OkCancel, YesNoCancel };
  enum class Kind { Info, Warning, Error, Question };

  // Shows the window modally and returns the pressed button (Iptal/Hayir when closed).
  static int Mesaj(QWidget* parent, const QString& title, const QString& text,
                   Buttons buttons = Buttons::Ok, Kind kind = Kind::Info);
  // Short forms: "Uyarı" for warnings, "Hata" for errors.
  static void uyari(QWidget* parent, const QString& text);
  static void hata(QWidget* parent, const QString& text);
  static bool soru(QWidget* parent, const QString& text,
                   const QString& title = QStringLiteral("Soru"));

  // Tests answer the next windows without showing them: each entry is returned in turn.
  static void setAutoAnswers(QList<int> answers);
  // Texts of the windows shown (or answered automatically) since the last call.
  static QStringList takeShownTexts();

 private:
  frmMesaj(QWidget* parent, const QString& title, const QString& text, Buttons buttons, Kind kind);
  int m_result = Iptal;
};
