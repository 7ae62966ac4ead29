#pragma once

#include <QWidget>

#include <array>

#include "authoring/QuestionForm.h"
#include "framework/ScreenContext.h"
#include "store/Store.h"

class CurriculumFilters;
class PictureBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMediaRecorder;
class QPushButton;
class QStackedWidget;
class QStyledItemDelegate;
class QTimer;
class Sliste;

// The question bank ("Soru Hazırlama"): binds its widgets to an
// authoring::QuestionForm, paints its state and turns clicks into its calls.
// The search panel (frameSoruSec) takes the place of the editor while open.
class frmSoruHazirlama : public QWidget {
  Q_OBJECT
 public:
  using Nav = authoring::QuestionForm::Nav;

  explicit frmSoruHazirlama(const ScreenContext& context, QWidget* parent = nullptr);

  authoring::QuestionForm& form() { return m_form; }

  // The buttons and boxes, as their events call them.
  void yeniKayit();                        // cmdYeniKayit
  void kaydet();                           // cmdKaydet
  void sil();                              // cmdSil ("Sil" / "İptal")
  void cogalt();                           // cmdSoruyuCogalt
  void gezin(Nav nav);                     // cmdNav(0..5)
  void testAnket();                        // cmdTestAnket
  void soruCevapGoster();                  // cmdSoruCevapGoster
  void resimDosyasi(const QString& file);  // a file chosen or dropped on Picture1
  void resimVer(const QImage& image);      // pasted or dropped image data
  void medyaDosyasi(const QString& file);  // the file cmdSesSec chose
  void sesKayit();                         // cmdSesKayit: start / stop
  void onizleme();                         // cmdOnizleme
  void yaziliSoru();                       // cmdSoruYaz: the typed-question editor
  void sorulariGoster();                   // cmdSorulariGoster
  void bul();                              // cmdBul
  void soruSec();                          // cmdSoruSec
  void aramaKapat();                       // cmdSoruSecIptal
  void secilileriSil();                    // cmdSecilileriSil
  void soruVer();                          // cmdSoruVer: the chosen questions into a file
  void soruAl();                           // cmdSoruAl: question files into the bank

  bool searchShown() const;
  Sliste* sliste1() const { return m_sliste1; }
  QComboBox* list(const QString& name) const;
  QLineEdit* text(const QString& name) const;
  PictureBox* picture() const { return m_picture; }

 private:
  QWidget* buildEditor();
  QWidget* buildSearch();
  void dataChanged(store::Changes what);
  void paint();
  void paintFields();
  void readFields();
  void fieldEdited();
  void pickPicture();
  void pickMedia();
  bool report(const Status& status);
  // The survey's level list: the offered levels, without "TÜMÜ".
  void surveyLevels(QComboBox* c);
  // A line under the buttons that goes after a few seconds ("Soru 12 kaydedildi.").
  void tell(const QString& text);

  ScreenContext m_context;
  authoring::QuestionForm m_form;
  bool m_painting = false;

  QStackedWidget* m_pages = nullptr;
  QLabel* m_lblSoruNo = nullptr;
  QLabel* m_lblSoruSayac = nullptr;
  QLabel* m_lblMedya = nullptr;
  QLabel* m_lblGorunum = nullptr;
  PictureBox* m_picture = nullptr;
  QStackedWidget* m_sstab1 = nullptr;
  QComboBox* m_cmbSeviye = nullptr;
  QComboBox* m_cmbDers = nullptr;
  QComboBox* m_cmbUnite = nullptr;
  QComboBox* m_cmbKonu = nullptr;
  QComboBox* m_cmbKazanim = nullptr;
  QComboBox* m_cmbDogruSik = nullptr;
  QComboBox* m_cmbSoruTuru = nullptr;
  QComboBox* m_cmbZorluk = nullptr;
  QComboBox* m_cmbPuan = nullptr;
  QComboBox* m_cmbSure = nullptr;
  QLineEdit* m_txtAciklama = nullptr;
  QComboBox* m_cmbSeviyeAnket = nullptr;
  QComboBox* m_cmbKonuAnket = nullptr;
  QComboBox* m_cmbSureAnket = nullptr;
  QLineEdit* m_txtAciklamaAnket = nullptr;
  QLineEdit* m_txtMedya = nullptr;
  QPushButton* m_cmdKaydet = nullptr;
  QPushButton* m_cmdSil = nullptr;
  QPushButton* m_cmdTestAnket = nullptr;
  QPushButton* m_cmdSoruCevapGoster = nullptr;
  QPushButton* m_cmdSesKayit = nullptr;
  QMediaRecorder* m_recorder = nullptr;
  QPushButton* m_cmdSoruyuCogalt = nullptr;
  QPushButton* m_cmdSoruYaz = nullptr;
  std::array<QPushButton*, 6> m_cmdNav{};
  QLabel* m_lblDurum = nullptr;
  QTimer* m_durumTimer = nullptr;
  CurriculumFilters* m_editCurriculum = nullptr;

  // The search panel: its ten lists in the order their positions are saved.
  std::array<QComboBox*, 10> m_searchLists{};
  CurriculumFilters* m_searchCurriculum = nullptr;
  QLineEdit* m_txtAciklamaAra = nullptr;
  QLineEdit* m_txtTestNoAra = nullptr;
  QLineEdit* m_txtSonEklenen = nullptr;
  Sliste* m_sliste1 = nullptr;
  QStyledItemDelegate* m_strips = nullptr;
  QLabel* m_lblSonuc = nullptr;
  QPushButton* m_cmdSoruSec = nullptr;
  QPushButton* m_cmdSecilileriSil = nullptr;
  QPushButton* m_cmdSoruVer = nullptr;
  QPushButton* m_cmdSoruAl = nullptr;
};
