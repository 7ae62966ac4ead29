#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "Result.h"
#include "formats/Workbook.h"

namespace store {
class Store;
}

namespace school {

// The spreadsheet import of frmDisVeriAl: pick a workbook and a sheet, pair
// spreadsheet columns with student fields, choose a level and a class, run.
// A row finds its stored student by identity number, or (without one) by school
// number in the same class, or (without a number) by first name and surname in
// the same class; a found student is updated, the others are added under new
// registration numbers (largest + data row number), so importing a list again
// adds nothing. The header row is never a student; lines above it (titles of a
// national list) are no students either. The whole import is one transaction.
class StudentImport {
 public:
  struct Field {
    QString caption;  // "Adı", "Soyadı", "Adı Soyadı", ...
    QString key;      // ADI, SOYADI, ADISOYADI (full name, lands in ADI), NUMARASI, ...
  };
  struct Pair {
    int column = 0;  // 0-based spreadsheet column
    QString key;     // Field::key
  };
  // One row of the list and what became of it, for the result sheet on screen.
  struct Line {
    enum class Outcome { Added, Updated, Refused };
    int sheetRow = 0;  // 1-based
    QString adi, soyadi, numarasi, sinifi;
    Outcome outcome = Outcome::Added;
    QString reason;  // "Yeni kayıt no 41", "T.C. kimlik numarası kayıtlı", "Adı boş"
  };
  struct Report {
    int added = 0;
    int updated = 0;
    QList<int> skippedRows;  // 1-based sheet rows without a name
    QString resultPath;      // the result workbook (sheet "XLSONUC")
    QList<Line> lines;       // every student row in the list's order, refused ones too
    // "3 öğrenci eklendi, 1 öğrenci güncellendi, 1 satır alınmadı."
    QString summary() const;
  };
  static QString outcomeText(Line::Outcome outcome);  // "Eklendi", "Güncellendi", "Alınmadı"

  explicit StudentImport(store::Store& store) : m_store(store) {}

  // Student fields offered in cmbRehberSutunu.
  static const QList<Field>& fields();
  static QString fieldKey(const QString& captionOrKey);  // empty when unknown

  // cmdDisVeriAl refuses to open the window while no level is offered.
  bool canOpen() const;
  static QString openRefusal() {
    return QStringLiteral(
        "Aktarım yapabilmek için önce seviye ekleyiniz.\n"
        "Seviye eklemek için 'Seviye Tanımlamaları' kısmını kullanabilirsiniz.");
  }
  static QString fileFilter() {
    return QStringLiteral("MS Excel Dosyaları (*.xls *.xlsx *.ods *.csv)");
  }
  static QString closeReportCaption() { return QStringLiteral("Raporu Kapat"); }
  // Offered levels for the level list.
  QStringList levels() const;

  // cmdGozat. "Lütfen geçerli bir MS Excel dosyası seçiniz" for another kind of
  // file; a reader's error text for a malformed one.
  Status openFile(const QString& path);
  // A workbook already read (tests, other callers).
  void setWorkbook(const formats::Workbook& book, const QString& path = {});
  QStringList sheetNames() const { return m_book.sheetNames(); }
  // cmbSheet: chooses the sheet, empties the pairing list and takes the class
  // its title lines name (when they name one).
  Status chooseSheet(int index);
  int sheet() const { return m_sheet; }
  // "1. Sütun (S.No)", "2. Sütun (Öğrenci No)", ...
  QStringList columnEntries() const;

  // The row holding the column headers: the first one (of the first few) that
  // holds "S.No" or two known field names, else the first row. Rows above it
  // are title lines.
  int headerRow() const { return m_headerRow; }
  // cmdEOkulListesi: the header row starts with "S.No" (or "Sıra No"). Choosing
  // a sheet with that layout pairs its columns at once (applyNationalPreset).
  bool isNationalList() const;
  // Whether choosing the sheet paired the national list's columns by itself.
  bool presetApplied() const { return m_presetApplied; }
  // The class named by the sheet's title lines or its name ("7. Sınıf / A Şubesi"
  // -> "7-A"); empty when none names one.
  QString suggestedClass() const;
  // "7-A" for a text naming a class and its section, else empty.
  static QString classFromText(const QString& text);
  // The class given to rows without a class of their own (a mapped class column
  // wins when the row has a value there). chooseSheet() sets the suggestion.
  void setClassName(const QString& sinifi) { m_class = sinifi.simplified(); }
  const QString& className() const { return m_class; }
  // Fills the pairing list by matching the national list's headers by name.
  Status applyNationalPreset();

  // cmdEkle / cmdSil / cmdTemizle of the pairing list.
  // A column is paired once, and a field once.
  Status addPair(int column, const QString& fieldCaptionOrKey);
  void removePair(int index);
  void clearPairs() { m_pairs.clear(); }
  const QList<Pair>& pairs() const { return m_pairs; }
  // "3. Sütun (Adı) => Adı"
  QStringList pairTexts() const;

  // cmdKaydet. `progress` gets "Excel Dosyasına Bağlanılıyor...", "Bilgiler
  // Kaydediliyor...", "Rapor Hazırlanıyor...". The result sheet is written to
  // `resultPath` (default: Sonuclar/OgrenciAktarimi.xlsx in the data folder).
  // A new student without a mapped level gets `level`, or when that is empty the
  // level of its class's grade (studentLevel, as a student added by hand); a row
  // that has neither stops the import before anything is written.
  Result<Report> run(const QString& level, const QString& resultPath = {},
                     const std::function<void(const QString&)>& progress = {});

 private:
  QString columnHeader(int column) const;
  void findHeaderRow();
  store::Store& m_store;
  formats::Workbook m_book;
  QString m_path;
  int m_sheet = -1;
  int m_headerRow = 0;
  bool m_presetApplied = false;
  QString m_class;
  QList<Pair> m_pairs;
};

}  // namespace school
