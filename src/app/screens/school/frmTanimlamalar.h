#pragma once

#include <QWidget>

#include "curriculum/OfferedValues.h"
#include "framework/ScreenContext.h"
#include "school/StudentForm.h"
#include "store/Store.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class Sliste;

// Classes, students and the vocabulary the other screens pick from: students,
// offered levels and courses, units, value lists and bulk changes. Every section
// follows the store's changes (also those made by the import or another screen).
class frmTanimlamalar : public QWidget {
  Q_OBJECT
 public:
  using Kind = curriculum::OfferedValues::Kind;

  explicit frmTanimlamalar(const ScreenContext& context, QWidget* parent = nullptr);

  // --- students -------------------------------------------------------------------
  void ogrencileriListele();
  void yeniKayit();
  void ogrenciSec(const QString& kayitNo);
  void kaydet();
  void vazgec();
  void sil();
  void fotografSec(const QString& file);
  void fotografKaldir();
  // Student record files with the chosen file name.
  void kayitVer(const QString& path);
  void kayitAl(const QString& path);
  // --- levels and courses ---------------------------------------------------------
  void degerleriGoster(Kind kind, const QStringList& values);
  void degerleriGizle(Kind kind, const QStringList& values);
  // --- units ------------------------------------------------------------------------
  void uniteKaydet();
  void uniteSil();
  // --- value lists and bulk change ----------------------------------------------------
  void listeSec(const QString& caption);
  void tanimKaydet();
  void tanimDuzelt();
  void tanimSil();
  void topluUygula();

  QTabWidget* sekmeler() const { return m_tabs; }
  Sliste* ogrenciListesi() const { return m_slisteOgrenciler; }
  Sliste* konuListesi() const { return m_slisteKonu; }
  Sliste* sliste1() const { return m_sliste1; }
  Sliste* sliste2() const { return m_sliste2; }
  Sliste* gizliListe(Kind kind) const;
  Sliste* acikListe(Kind kind) const;
  const school::StudentForm& form() const { return m_form; }
  QLineEdit* txtAdi() const { return m_txtAdi; }
  QLineEdit* txtSoyadi() const { return m_txtSoyadi; }
  QLineEdit* txtNumarasi() const { return m_txtNumarasi; }
  QLineEdit* txtTCKimlik() const { return m_txtTCKimlik; }
  QComboBox* cmbSinifi() const { return m_cmbSinifi; }
  QComboBox* cmbSeviye() const { return m_cmbSeviye; }
  QLineEdit* txtUnite() const { return m_txtUnite; }
  QComboBox* cmbUniteSeviye() const { return m_cmbUniteSeviye; }
  QComboBox* cmbUniteDers() const { return m_cmbUniteDers; }
  QLineEdit* txtTanim() const { return m_txtTanim; }

 protected:
  // Unsaved student fields are offered for saving; "İptal" keeps the screen open.
  void closeEvent(QCloseEvent* event) override;

 private:
  void dataChanged(store::Changes what);
  QWidget* buildStudents();
  QWidget* buildOffered(Kind kind);
  QWidget* buildUnits();
  QWidget* buildLists();
  void formToFields();
  void fieldsToForm();
  void fieldEdited();
  void setEditing(bool on);
  void showPhoto(const QString& path);
  void fillLevelCombos();
  void refreshOffered(Kind kind);
  void refreshUnits();
  void refreshBulk();
  QWidget* fieldWidget(school::StudentForm::Field field) const;

  ScreenContext m_context;
  school::StudentForm m_form;
  bool m_loading = false;

  QTabWidget* m_tabs = nullptr;
  Sliste* m_slisteOgrenciler = nullptr;
  QLabel* m_lblKayitNo = nullptr;
  QLabel* m_lblFoto = nullptr;
  QLineEdit* m_txtAdi = nullptr;
  QLineEdit* m_txtSoyadi = nullptr;
  QLineEdit* m_txtNumarasi = nullptr;
  QLineEdit* m_txtTCKimlik = nullptr;
  QComboBox* m_cmbSinifi = nullptr;
  QComboBox* m_cmbSeviye = nullptr;
  QPushButton* m_cmdKaydet = nullptr;
  QPushButton* m_cmdVazgec = nullptr;
  QPushButton* m_cmdFoto = nullptr;
  QPushButton* m_cmdFotoSil = nullptr;

  Sliste* m_seviyeGizli = nullptr;
  Sliste* m_seviyeAcik = nullptr;
  Sliste* m_dersGizli = nullptr;
  Sliste* m_dersAcik = nullptr;

  QComboBox* m_cmbUniteSeviye = nullptr;
  QComboBox* m_cmbUniteDers = nullptr;
  Sliste* m_slisteKonu = nullptr;
  QLineEdit* m_txtUnite = nullptr;

  QComboBox* m_cmbListe = nullptr;
  Sliste* m_sliste1 = nullptr;
  Sliste* m_sliste2 = nullptr;
  QLineEdit* m_txtTanim = nullptr;
};
