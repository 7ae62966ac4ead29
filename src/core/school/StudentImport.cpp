#include "school/StudentImport.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSqlQuery>

#include "curriculum/OfferedValues.h"
#include "formats/XlsxWriter.h"
#include "school/SchoolNumber.h"
#include "school/Students.h"
#include "store/Parameters.h"
#include "store/Store.h"

namespace school {

namespace {

using R = Result<StudentImport::Report>;
constexpr int kMaxCell = 255;

// Header text reduced for matching: Turkish lower case, letters and digits only.
QString normalized(const QString& text) {
  const QString lower = QLocale(QLocale::Turkish).toLower(text);
  QString out;
  for (QChar c : lower)
    if (c.isLetterOrNumber()) out += c;
  return out;
}

QString fieldForHeader(const QString& header) {
  static const QHash<QString, QString> names{
      {QStringLiteral("adı"), QStringLiteral("ADI")},
      {QStringLiteral("ad"), QStringLiteral("ADI")},
      {QStringLiteral("öğrenciadı"), QStringLiteral("ADI")},
      {QStringLiteral("soyadı"), QStringLiteral("SOYADI")},
      {QStringLiteral("soyad"), QStringLiteral("SOYADI")},
      {QStringLiteral("öğrencisoyadı"), QStringLiteral("SOYADI")},
      {QStringLiteral("adısoyadı"), QStringLiteral("ADISOYADI")},
      {QStringLiteral("adsoyad"), QStringLiteral("ADISOYADI")},
      {QStringLiteral("öğrenciadısoyadı"), QStringLiteral("ADISOYADI")},
      {QStringLiteral("öğrencino"), QStringLiteral("NUMARASI")},
      {QStringLiteral("öğrenciokulno"), QStringLiteral("NUMARASI")},
      {QStringLiteral("okulno"), QStringLiteral("NUMARASI")},
      {QStringLiteral("öğrno"), QStringLiteral("NUMARASI")},
      {QStringLiteral("numarası"), QStringLiteral("NUMARASI")},
      {QStringLiteral("numara"), QStringLiteral("NUMARASI")},
      {QStringLiteral("no"), QStringLiteral("NUMARASI")},
      {QStringLiteral("tckimlikno"), QStringLiteral("TCKIMLIK")},
      {QStringLiteral("tckimliknumarası"), QStringLiteral("TCKIMLIK")},
      {QStringLiteral("kimlikno"), QStringLiteral("TCKIMLIK")},
      {QStringLiteral("tcno"), QStringLiteral("TCKIMLIK")},
      {QStringLiteral("sınıfı"), QStringLiteral("SINIFI")},
      {QStringLiteral("sınıf"), QStringLiteral("SINIFI")},
      {QStringLiteral("sınıfşube"), QStringLiteral("SINIFI")},
      {QStringLiteral("şube"), QStringLiteral("SINIFI")},
      {QStringLiteral("seviye"), QStringLiteral("SEVIYE")},
      {QStringLiteral("seviyesi"), QStringLiteral("SEVIYE")},
  };
  return names.value(normalized(header));
}

QString captionOf(const QString& key) {
  for (const StudentImport::Field& f : StudentImport::fields())
    if (f.key == key) return f.caption;
  return key;
}

}  // namespace

const QList<StudentImport::Field>& StudentImport::fields() {
  static const QList<Field> list{
      {QStringLiteral("Adı"), QStringLiteral("ADI")},
      {QStringLiteral("Soyadı"), QStringLiteral("SOYADI")},
      {QStringLiteral("Adı Soyadı"), QStringLiteral("ADISOYADI")},
      {QStringLiteral("Numarası"), QStringLiteral("NUMARASI")},
      {QStringLiteral("Sınıfı"), QStringLiteral("SINIFI")},
      {QStringLiteral("T.C.Kimlik No"), QStringLiteral("TCKIMLIK")},
      {QStringLiteral("Seviye"), QStringLiteral("SEVIYE")},
  };
  return list;
}

QString StudentImport::fieldKey(const QString& captionOrKey) {
  for (const Field& f : fields())
    if (f.caption == captionOrKey || f.key.compare(captionOrKey, Qt::CaseInsensitive) == 0)
      return f.key;
  return {};
}

bool StudentImport::canOpen() const { return !levels().isEmpty(); }

QStringList StudentImport::levels() const {
  return curriculum::OfferedValues(m_store, curriculum::OfferedValues::Kind::Level)
      .offeredValues()
      .valueOr({});
}

Status StudentImport::openFile(const QString& path) {
  const QString ext = QFileInfo(path).suffix().toLower();
  static const QStringList known{QStringLiteral("xls"), QStringLiteral("xlsx"),
                                 QStringLiteral("xlsm"), QStringLiteral("ods"),
                                 QStringLiteral("csv")};
  if (!known.contains(ext))
    return Status::failure(QStringLiteral("Lütfen geçerli bir MS Excel dosyası seçiniz"));
  Result<formats::Workbook> book = formats::Workbook::open(path);
  if (!book) return Status::failure(book.error());
  setWorkbook(book.value(), path);
  return {};
}

void StudentImport::setWorkbook(const formats::Workbook& book, const QString& path) {
  m_book = book;
  m_path = path;
  m_pairs.clear();
  m_sheet = m_book.sheetCount() > 0 ? 0 : -1;
}

Status StudentImport::chooseSheet(int index) {
  if (index < 0 || index >= m_book.sheetCount())
    return Status::failure(QStringLiteral("Sayfa bulunamadı."));
  m_sheet = index;
  m_pairs.clear();
  return {};
}

QString StudentImport::columnHeader(int column) const { return m_book.cell(m_sheet, 0, column); }

QStringList StudentImport::columnEntries() const {
  QStringList entries;
  const int n = m_book.columnCount(m_sheet);
  for (int c = 0; c < n; ++c)
    entries << QStringLiteral("%1. Sütun (%2)").arg(c + 1).arg(columnHeader(c));
  return entries;
}

bool StudentImport::isNationalList() const {
  return m_book.cell(m_sheet, 0, 0).trimmed() == QStringLiteral("S.No");
}

Status StudentImport::applyNationalPreset() {
  if (!isNationalList())
    return Status::failure(
        QStringLiteral("Seçilen sayfa e-Okul sınıf listesi değil (A1 hücresinde \"S.No\" yok)."));
  m_pairs.clear();
  const int n = m_book.columnCount(m_sheet);
  for (int c = 0; c < n; ++c) {
    const QString key = fieldForHeader(columnHeader(c));
    if (key.isEmpty()) continue;
    bool taken = false;
    for (const Pair& p : m_pairs) taken = taken || p.key == key;
    if (!taken) m_pairs.append({c, key});
  }
  if (m_pairs.isEmpty())
    return Status::failure(QStringLiteral("Listenin başlıklarında öğrenci bilgisi bulunamadı."));
  return {};
}

Status StudentImport::addPair(int column, const QString& fieldCaptionOrKey) {
  const QString key = fieldKey(fieldCaptionOrKey);
  if (key.isEmpty())
    return Status::failure(QStringLiteral("Bilinmeyen öğrenci alanı: %1").arg(fieldCaptionOrKey));
  if (column < 0 || column >= std::max(1, m_book.columnCount(m_sheet)))
    return Status::failure(QStringLiteral("Sayfada %1. sütun yok.").arg(column + 1));
  for (const Pair& p : m_pairs) {
    const bool bothNames = (p.key == QStringLiteral("ADISOYADI") && key == QStringLiteral("ADI")) ||
                           (p.key == QStringLiteral("ADI") && key == QStringLiteral("ADISOYADI"));
    if (p.key == key || bothNames)
      return Status::failure(
          QStringLiteral("\"%1\" alanı zaten eşleştirilmiş.").arg(captionOf(key)));
  }
  m_pairs.append({column, key});
  return {};
}

void StudentImport::removePair(int index) {
  if (index >= 0 && index < m_pairs.size()) m_pairs.removeAt(index);
}

QStringList StudentImport::pairTexts() const {
  QStringList texts;
  for (const Pair& p : m_pairs)
    texts << QStringLiteral("%1. Sütun (%2) => %3")
                 .arg(p.column + 1)
                 .arg(columnHeader(p.column), captionOf(p.key));
  return texts;
}

Result<StudentImport::Report> StudentImport::run(
    const QString& level, const QString& resultPath,
    const std::function<void(const QString&)>& progress) {
  auto say = [&](const QString& text) {
    if (progress) progress(text);
  };
  if (m_pairs.isEmpty())
    return R::failure(
        QStringLiteral("Lütfen eşleşme listesine exceldeki sütunların karşılıklarını belirtiniz"));
  if (level.trimmed().isEmpty())
    return R::failure(QStringLiteral("Kayıt eklemek için lütfen tanımlamalardan seviye ekleyiniz"));
  if (m_sheet < 0) return R::failure(QStringLiteral("Lütfen geçerli bir MS Excel dosyası seçiniz"));
  say(QStringLiteral("Excel Dosyasına Bağlanılıyor..."));

  QHash<QString, int> columnOf;
  for (const Pair& p : m_pairs) columnOf.insert(p.key, p.column);
  const bool fullName = columnOf.contains(QStringLiteral("ADISOYADI"));
  const QList<QStringList>& rows = m_book.sheet(m_sheet).rows;

  struct Row {
    int sheetRow;  // 1-based
    int number;    // data row number (1 = first row under the header)
    QHash<QString, QString> values;
    bool update = false;
  };
  QList<Row> data;
  Report report;
  for (int r = 1; r < rows.size(); ++r) {
    Row row{r + 1, r, {}, false};
    bool any = false;
    for (auto it = columnOf.cbegin(); it != columnOf.cend(); ++it) {
      QString v = rows.at(r).value(it.value()).trimmed();
      if (v.size() > kMaxCell)
        return R::failure(QStringLiteral("Satır %1, sütun %2: değer çok uzun (%3 karakter).")
                              .arg(r + 1)
                              .arg(it.value() + 1)
                              .arg(v.size()));
      any = any || !v.isEmpty();
      row.values.insert(it.key() == QStringLiteral("ADISOYADI") ? QStringLiteral("ADI") : it.key(),
                        v);
    }
    if (!any) continue;
    QString& adi = row.values[QStringLiteral("ADI")];
    QString& soyadi = row.values[QStringLiteral("SOYADI")];
    // A full name is split at its last space: "Ali Can Yılmaz" -> "Ali Can" + "Yılmaz".
    // A first name with a space stays whole when the surname has its own column.
    if ((fullName || soyadi.isEmpty()) && adi.contains(QLatin1Char(' '))) {
      adi = adi.simplified();
      const qsizetype cut = adi.lastIndexOf(QLatin1Char(' '));
      if (soyadi.isEmpty()) soyadi = adi.mid(cut + 1);
      adi = adi.left(cut);
    }
    if (adi.isEmpty()) {
      report.skippedRows << r + 1;
      continue;
    }
    data.append(row);
  }

  say(QStringLiteral("Bilgiler Kaydediliyor..."));
  const bool threeButton = m_store.institution().threeButton();
  const QString institution = m_store.institution().code;
  const bool levelMapped = columnOf.contains(QStringLiteral("SEVIYE"));
  Students students(m_store);
  store::Transaction tx(m_store);
  // Added rows are numbered by their place under the header, after the largest number.
  const Result<int> next = students.nextRegistrationNumber();
  if (!next) return R::failure(next.error());
  const int m = next.value() - 1;
  // Columns that the update assigns: exactly the mapped ones.
  QStringList mapped;
  for (const Pair& p : m_pairs) {
    mapped << (p.key == QStringLiteral("ADISOYADI") ? QStringLiteral("ADI") : p.key);
    if (p.key == QStringLiteral("ADISOYADI")) mapped << QStringLiteral("SOYADI");
  }
  mapped.removeDuplicates();
  for (Row& row : data) {
    const QString tc = row.values.value(QStringLiteral("TCKIMLIK"));
    QString existing;
    if (!tc.isEmpty()) {
      const Result<QVariant> found = m_store.scalar(
          QStringLiteral("SELECT KAYITNO FROM TABLEOGRENCI WHERE TCKIMLIK=? AND NZ(SILINDIMI)='' "
                         "ORDER BY VAL(KAYITNO) LIMIT 1"),
          {tc});
      if (!found) return R::failure(found.error());
      existing = found->toString();
    }
    if (!existing.isEmpty()) {
      row.update = true;
      QStringList sets;
      QVariantList params;
      for (const QString& c : mapped) {
        if (c == QStringLiteral("NUMARASI") && threeButton) continue;
        sets << c + QStringLiteral("=?");
        params << (c == QStringLiteral("NUMARASI") ? SchoolNumber::cleanUp(row.values.value(c))
                                                   : row.values.value(c));
      }
      params << existing;
      const QString sinifi = row.values.value(QStringLiteral("SINIFI"));
      if (columnOf.contains(QStringLiteral("SINIFI")))
        if (Status s = students.releaseConflictingPairings(existing, sinifi); !s)
          return R::failure(s.error());
      if (Status s = m_store.run(QStringLiteral("UPDATE TABLEOGRENCI SET %1 WHERE KAYITNO=?")
                                     .arg(sets.join(QLatin1Char(','))),
                                 params);
          !s)
        return R::failure(QStringLiteral("Satır %1: %2").arg(row.sheetRow).arg(s.error()));
      ++report.updated;
      continue;
    }
    const QString kayitNo = QString::number(m + row.number);
    QString seviye = row.values.value(QStringLiteral("SEVIYE"));
    if (!levelMapped || seviye.isEmpty()) seviye = level;
    row.values.insert(QStringLiteral("SEVIYE"), seviye);
    const QString adi = row.values.value(QStringLiteral("ADI"));
    const QString soyadi = row.values.value(QStringLiteral("SOYADI"));
    const QString sinifi = row.values.value(QStringLiteral("SINIFI"));
    const QString numarasi =
        threeButton ? SchoolNumber::automatic(institution, sinifi, kayitNo, adi, soyadi)
                    : SchoolNumber::cleanUp(row.values.value(QStringLiteral("NUMARASI")));
    if (Status s = m_store.run(
            QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE,"
                           "TCKIMLIK) VALUES (?,?,?,?,?,?,?)"),
            {kayitNo, numarasi, adi, soyadi, sinifi, seviye, tc});
        !s)
      return R::failure(QStringLiteral("Satır %1: %2").arg(row.sheetRow).arg(s.error()));
    ++report.added;
  }
  if (Status s =
          m_store.run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI) "
                                     "SELECT DISTINCT 'SINIFI',SINIFI FROM "
                                     "TABLEOGRENCI WHERE NZ(SINIFI)<>'' AND NZ(SINIFI) NOT IN "
                                     "(SELECT NZ(PARAMETREDEGERI) FROM "
                                     "TABLEPARAMETRE WHERE PARAMETREADI='SINIFI')"));
      !s)
    return R::failure(s.error());
  // Every stored number, as the old import did, by the one rule SchoolNumber::cleanUp.
  if (Status s =
          m_store.run(QStringLiteral("UPDATE TABLEOGRENCI SET NUMARASI=OKULNOTEMIZLE(NUMARASI) "
                                     "WHERE NUMARASI<>OKULNOTEMIZLE(NUMARASI)"));
      !s)
    return R::failure(s.error());

  say(QStringLiteral("Rapor Hazırlanıyor..."));
  report.resultPath = resultPath.isEmpty() ? m_store.subFolder(QStringLiteral("Sonuclar")) +
                                                 QStringLiteral("/OgrenciAktarimi.xlsx")
                                           : resultPath;
  {
    formats::XlsxWriter w(report.resultPath);
    w.addSheet(QStringLiteral("XLSONUC"));
    int c = 0;
    for (const Pair& p : m_pairs) {
      const QString header = columnHeader(p.column);
      w.write(0, c++, header.isEmpty() ? captionOf(p.key) : header,
              formats::XlsxWriter::Style::Header);
    }
    w.write(0, c, QStringLiteral("Seviye"), formats::XlsxWriter::Style::Header);
    w.write(0, c + 1, QStringLiteral("Sonuç"), formats::XlsxWriter::Style::Header);
    int out = 1;
    for (bool updated : {false, true}) {
      for (const Row& row : data) {
        if (row.update != updated) continue;
        int col = 0;
        for (const Pair& p : m_pairs)
          w.write(out, col++, rows.at(row.sheetRow - 1).value(p.column));
        w.write(out, col, row.values.value(QStringLiteral("SEVIYE")));
        w.write(out, col + 1, updated ? QStringLiteral("Güncellendi") : QStringLiteral("Eklendi"));
        ++out;
      }
    }
    if (Status s = w.close(); !s) return R::failure(s.error());
  }
  m_store.changed(store::Change::Students | store::Change::Lists);
  if (Status s = tx.commit(); !s) {
    QFile::remove(report.resultPath);
    return R::failure(s.error());
  }
  store::UserSettings::set(QStringLiteral("Raporlar"), QStringLiteral("DogruYanlisCevap4"),
                           QStringLiteral("0"));
  return report;
}

}  // namespace school
