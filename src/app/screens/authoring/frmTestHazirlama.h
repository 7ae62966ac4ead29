#pragma once

#include <QWidget>

#include <array>

#include "authoring/TestForm.h"
#include "framework/ScreenContext.h"
#include "store/Store.h"

class CurriculumFilters;
class PictureBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class Sliste;

// Test composition ("Test Hazırlama"): binds its widgets to an
// authoring::TestForm. Tab 0 holds the test's fields, tab 1 its questions with
// the detail of the picked one, tab 2 the test search; the picker, automatic
// selection, answer key and booklet panels open as dialogs over it.
class frmTestHazirlama : public QWidget {
  Q_OBJECT
 public:
  explicit frmTestHazirlama(const ScreenContext& context, QWidget* parent = nullptr);

  authoring::TestForm& form() { return m_form; }

  // Tab 0.
  void yeniKayit();
  void kaydet();
  void sil();
  void testYukle(const QString& testNo);
  void numaraDegistir(const QString& newTestNo);  // the answer to the renumber prompt
  void baslangicResmi(const QString& file);
  // Tab 1.
  void soruEkle();     // cmdSorulariGoster: the picker
  void otomatikSec();  // cmdOtomatikSoruSec
  void soruNoEkle();   // txtSoruNo + cmdSoruNoSec
  void soruSil();      // cmdSoruSil
  void yukari();       // cmdYukari
  void asagi();        // cmdAsagi
  void karistir();     // cmdKaristir
  void bolumAta();     // cmdBolumAta
  void sureAta(const QString& time);
  void dogruSik(int choice);  // a click on lblABCDE(choice)
  void cevapAnahtari();       // cmdCevapAnahtariKitapcik
  void istatistik();          // cmdSoruSayisiAyrinti
  void kitapcik();            // cmdKitapcik
  void onizleme();            // cmdMenu(3)
  // Tab 2.
  void testleriBul();
  void testSec();
  void testNoSec();
  void secilileriSil();
  void testVer();  // cmdTestVer: the tests chosen in the list, else the shown one
  void testAl();   // cmdTestAl
  // What cmdTestVer writes.
  QStringList testsToWrite() const;

  QTabWidget* tabs() const { return m_tabs; }
  Sliste* testQuestions() const { return m_slisteSorular; }
  Sliste* tests() const { return m_slisteTestler; }
  // Picks the rows of the question grid by position (1-based), as a click would.
  void pickPositions(const QList<int>& positions);

 private:
  QWidget* buildInfo();
  QWidget* buildQuestions();
  QWidget* buildSearch();
  void dataChanged(store::Changes what);
  void paint();
  void paintDetail();
  void fillQuestions();
  void listTests();
  void readFields();
  void fieldEdited();
  void selectionChanged();
  bool report(const Status& status);
  QString pickedKey() const;

  ScreenContext m_context;
  authoring::TestForm m_form;
  bool m_painting = false;

  QTabWidget* m_tabs = nullptr;
  QPushButton* m_cmdOnizleme = nullptr;
  // Tab 0.
  QLabel* m_lblTestNo = nullptr;
  QLineEdit* m_txtTestAdi = nullptr;
  QComboBox* m_cmbHazirlayan = nullptr;
  std::array<QComboBox*, 5> m_curriculumLists{};
  CurriculumFilters* m_curriculum = nullptr;
  QComboBox* m_cmbSoruSayilariniGoster = nullptr;
  QComboBox* m_cmbTestBaslangicGoster = nullptr;
  PictureBox* m_baslangic = nullptr;
  QLabel* m_lblSoruSayisi = nullptr;
  QLabel* m_lblSure = nullptr;
  QPushButton* m_cmdKaydet = nullptr;
  QPushButton* m_cmdSil = nullptr;
  QPushButton* m_cmdKitapcik = nullptr;
  QPushButton* m_cmdTestVer = nullptr;
  QPushButton* m_cmdTestAl = nullptr;
  // Tab 1.
  QLabel* m_lblOzet = nullptr;
  Sliste* m_slisteSorular = nullptr;
  QLineEdit* m_txtSoruNo = nullptr;
  QComboBox* m_cmbBolum = nullptr;
  QLabel* m_lblDetay = nullptr;
  std::array<QPushButton*, 5> m_lblABCDE{};
  QComboBox* m_cmbSure = nullptr;
  PictureBox* m_detayResim = nullptr;
  QList<QWidget*> m_needsPick;
  // Tab 2.
  std::array<QComboBox*, 7> m_searchLists{};  // curriculum, author, applied
  CurriculumFilters* m_searchCurriculum = nullptr;
  QLineEdit* m_txtTestAdiAra = nullptr;
  QLineEdit* m_txtTestNoAra = nullptr;
  Sliste* m_slisteTestler = nullptr;
  QPushButton* m_cmdSecilileriSil = nullptr;
};
