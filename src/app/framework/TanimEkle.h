#pragma once

#include <QString>
#include <QWidget>

#include "Result.h"
#include "ScreenContext.h"
#include "lists/Definitions.h"

class QLabel;
class QLineEdit;
class QPushButton;
class Sliste;

// Keeps one list of names (definitions) in one column of a table: lists them, adds,
// renames (every row of the name, within the fixed conditions) and deletes one or
// several, with a duplicate check that ignores Turkish case. Names are stored in
// Turkish capitals (i -> İ, ı -> I). Enter in the text box saves.
//
// Configure with BilgileriAl(source) for a table column, or setTemplates() with
// statements written with the markers "@@@YENI" / "@@@ESKI" (bound, never pasted).
// cmdCikis emits kapandi(GelenKontrolAdi()) so the host refills its lists keeping
// the current choice, then closes the window holding the editor.
class TanimEkle : public QWidget {
  Q_OBJECT
 public:
  // `form` is the screen the editor sits on: its list keeps its layout under it.
  TanimEkle(const ScreenContext& context, const QString& form, QWidget* parent = nullptr);

  Status BilgileriAl(const lists::DefinitionSource& source);
  void setTemplates(const lists::DefinitionTemplates& templates);
  const lists::DefinitionTemplates& templates() const { return m_definitions.templates(); }

  void setFieldAdi(const QString& column) { m_field = column; }
  QString FieldAdi() const { return m_field; }
  void setUstTekiAciklama(const QString& text);
  QString UstTekiAciklama() const;
  // Only digits, and no leading zero.
  void setSadeSayi(bool on);
  bool SadeSayi() const { return m_sadeSayi; }
  void setGelenKontrolAdi(const QString& name) { m_gelenKontrolAdi = name; }
  QString GelenKontrolAdi() const { return m_gelenKontrolAdi; }
  QString TextTanim() const;
  void setTextTanim(const QString& text);
  Sliste* TanimSliste() const { return m_list; }
  QString durum() const;  // the status line
  bool duzeltmeModu() const { return m_renaming; }

  void ListeyiDoldur();
  // The buttons; the bool results say whether anything was written.
  void cmdYeniKayit_Click();
  bool cmdKaydet_Click();
  bool cmdSil_Click();
  void cmdCikis_Click();

 signals:
  void tanimlarDegisti();
  void kapandi(const QString& gelenKontrolAdi);

 private:
  // After a save or a delete: the error, or the list refilled and the host told.
  bool afterChange(const Status& s);
  void rowsPicked();
  void upperCaseText();
  void digitsEdited(const QString& text);
  void setStatus(const QString& text);

  ScreenContext m_context;
  lists::Definitions m_definitions;
  QString m_field;
  QString m_gelenKontrolAdi;
  QString m_oldName;
  bool m_renaming = false;
  bool m_sadeSayi = false;
  QLabel* m_caption = nullptr;
  Sliste* m_list = nullptr;
  QLineEdit* m_text = nullptr;
  QLabel* m_status = nullptr;
  QPushButton* m_save = nullptr;
};
