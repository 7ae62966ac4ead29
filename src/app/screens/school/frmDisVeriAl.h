#pragma once

#include <QWidget>

#include <optional>

#include "Result.h"
#include "framework/ScreenContext.h"
#include "school/StudentImport.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTableWidget;

// Loading a class list from a workbook: file, sheet, column pairs (an e-Okul list
// pairs itself), class, level, import; then the result sheet takes the place of
// the pairs: every row of the list, added, updated or refused, and why. The
// result workbook opens on request, and the save button becomes "Raporu
// Kapat", which brings the screen back to its start for the next list.
class frmDisVeriAl : public QWidget {
  Q_OBJECT
 public:
  explicit frmDisVeriAl(const ScreenContext& context, QWidget* parent = nullptr);
  ~frmDisVeriAl() override;

  // cmdGozat after the file dialog: reads the workbook and lists its sheets.
  bool dosyaAc(const QString& path);
  void sayfaSec(int index);
  // cmdEkle with the chosen column (0-based) and field caption.
  void eslesmeEkle(int column, const QString& fieldCaption);
  void eOkulListesi();
  // cmdKaydet: the import, or after the report ("Raporu Kapat") back to the start.
  void kaydet();
  void setResultPath(const QString& path) { m_resultPath = path; }

  school::StudentImport& import() { return *m_import; }
  QComboBox* sayfaListesi() const { return m_cmbSheet; }
  QComboBox* sutunListesi() const { return m_cmbExcelSutunu; }
  QComboBox* seviyeListesi() const { return m_cmbSeviye; }
  QComboBox* sinifListesi() const { return m_cmbSinifi; }
  QLineEdit* dosyaKutusu() const { return m_txtDosya; }
  QListWidget* eslesmeListesi() const { return m_lstEslesme; }
  QTableWidget* sonucTablosu() const { return m_tblSonuc; }
  bool sonucGosteriliyor() const;
  QPushButton* kaydetButonu() const { return m_cmdKaydet; }
  QString sonuc() const;

 private:
  void gozat();
  void refreshColumns();
  void refreshPairs();
  void refreshClasses();
  // The screen as it opened: no file, no pairs, no class, no result.
  void startOver();
  void showResult(const school::StudentImport::Report& report);

  ScreenContext m_context;
  std::optional<school::StudentImport> m_import;  // made anew for each list
  QString m_resultPath;
  bool m_done = false;
  const QString m_kaydetCaption = QStringLiteral("Öğrencileri Aktar");

  QLineEdit* m_txtDosya = nullptr;
  QComboBox* m_cmbSheet = nullptr;
  QComboBox* m_cmbExcelSutunu = nullptr;
  QComboBox* m_cmbRehberSutunu = nullptr;
  QListWidget* m_lstEslesme = nullptr;
  QComboBox* m_cmbSeviye = nullptr;
  QComboBox* m_cmbSinifi = nullptr;
  QPushButton* m_cmdEOkulListesi = nullptr;
  QPushButton* m_cmdKaydet = nullptr;
  QLabel* m_lblDurum = nullptr;
  QStackedWidget* m_middle = nullptr;  // the pairs, then the result sheet
  QTableWidget* m_tblSonuc = nullptr;
  QPushButton* m_cmdSonucAc = nullptr;
  QString m_resultFile;
};
