#include "school/StudentImport.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDriver>
#include <QSqlQuery>

#include <array>
#include <optional>

#include <sqlite3.h>

#include "curriculum/OfferedValues.h"
#include "formats/XlsxWriter.h"
#include "lists/TurkishText.h"
#include "school/StudentRules.h"
#include "school/Students.h"
#include "store/Dialect.h"
#include "store/Numbers.h"
#include "store/Parameters.h"
#include "store/SchoolNumber.h"
#include "store/ServerConnection.h"
#include "store/Store.h"

namespace school {

namespace {

using R = Result<StudentImport::Report>;
constexpr int kMaxCell = 255;
// Title lines of a national list take a few rows; the header is among these.
constexpr int kHeaderSearchRows = 30;

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

// The first header of a national class list: "S.No", also written "S. No" or "Sıra No".
bool isSerialHeader(const QString& cell) {
  const QString n = normalized(cell);
  return n == QStringLiteral("sno") || n == QStringLiteral("sırano");
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
  m_sheet = -1;
  if (m_book.sheetCount() > 0) (void)chooseSheet(0);
}

Status StudentImport::chooseSheet(int index) {
  if (index < 0 || index >= m_book.sheetCount())
    return Status::failure(QStringLiteral("Sayfa bulunamadı."));
  m_sheet = index;
  m_pairs.clear();
  findHeaderRow();
  if (const QString named = suggestedClass(); !named.isEmpty()) m_class = named;
  // A national list is paired as soon as it is recognised; the teacher may still
  // change the pairs.
  m_presetApplied = isNationalList() && applyNationalPreset().ok();
  return {};
}

void StudentImport::findHeaderRow() {
  m_headerRow = 0;
  const int rows = std::min<int>(kHeaderSearchRows, m_book.rowCount(m_sheet));
  for (int r = 0; r < rows; ++r) {
    const QStringList cells = m_book.row(m_sheet, r);
    int known = 0;
    for (const QString& c : cells) {
      if (isSerialHeader(c)) known += 2;
      if (!fieldForHeader(c).isEmpty()) ++known;
    }
    if (known >= 2) {
      m_headerRow = r;
      return;
    }
  }
}

QString StudentImport::classFromText(const QString& text) {
  // "7. Sınıf / A Şubesi", "7.SINIF A ŞUBESİ", "Sınıfı/Şubesi: 7/A", "Sınıf - Şube : 11-B"
  static const QRegularExpression numberFirst(
      QStringLiteral("(\\d{1,2})\\s*\\.?\\s*sınıf\\w*\\s*[/,\\-]?\\s*\\(?([a-zçğıöşü])\\)?\\s*"
                     "şube"),
      QRegularExpression::UseUnicodePropertiesOption);
  static const QRegularExpression labelFirst(
      QStringLiteral(
          "sınıf\\w*\\s*(?:/|-|ve)\\s*şube\\w*\\s*:?\\s*(\\d{1,2})\\s*\\.?\\s*[/\\-]?\\s*"
          "([a-zçğıöşü])(?![a-zçğıöşü])"),
      QRegularExpression::UseUnicodePropertiesOption);
  const QString lower = lists::turkishLower(text.simplified());
  for (const QRegularExpression* re : {&numberFirst, &labelFirst}) {
    const QRegularExpressionMatch m = re->match(lower);
    if (m.hasMatch()) return m.captured(1) + QLatin1Char('-') + lists::turkishUpper(m.captured(2));
  }
  return {};
}

QString StudentImport::suggestedClass() const {
  if (m_sheet < 0) return {};
  for (int r = 0; r < m_headerRow; ++r)
    for (const QString& c : m_book.row(m_sheet, r))
      if (const QString named = classFromText(c); !named.isEmpty()) return named;
  return classFromText(m_book.sheet(m_sheet).name);
}

QString StudentImport::columnHeader(int column) const {
  return m_book.cell(m_sheet, m_headerRow, column);
}

QStringList StudentImport::columnEntries() const {
  QStringList entries;
  const int n = m_book.columnCount(m_sheet);
  for (int c = 0; c < n; ++c)
    entries << QStringLiteral("%1. Sütun (%2)").arg(c + 1).arg(columnHeader(c));
  return entries;
}

bool StudentImport::isNationalList() const {
  return isSerialHeader(m_book.cell(m_sheet, m_headerRow, 0));
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
    if (p.column == column)
      return Status::failure(QStringLiteral("%1. sütun zaten eşleştirilmiş.").arg(column + 1));
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

namespace {

// The fields a row carries, in a fixed order (no per-row hash: a list can have
// hundreds of thousands of rows).
enum Field { kAdi, kSoyadi, kNumarasi, kSinifi, kTcKimlik, kSeviye, kFieldCount };

int fieldIndex(const QString& key) {
  if (key == QStringLiteral("ADI") || key == QStringLiteral("ADISOYADI")) return kAdi;
  if (key == QStringLiteral("SOYADI")) return kSoyadi;
  if (key == QStringLiteral("NUMARASI")) return kNumarasi;
  if (key == QStringLiteral("SINIFI")) return kSinifi;
  if (key == QStringLiteral("TCKIMLIK")) return kTcKimlik;
  return kSeviye;
}

const char* const kColumnNames[kFieldCount] = {"ADI",    "SOYADI",   "NUMARASI",
                                               "SINIFI", "TCKIMLIK", "SEVIYE"};

// A cell as a student field: line breaks, tabs and runs of spaces become one
// space (a name typed over two lines in a cell is one name). Most cells need
// nothing and are kept as they are.
QString cleanCell(const QString& text) {
  bool previousSpace = true;  // a space at the start needs cleaning too
  for (QChar c : text) {
    const bool space = c.isSpace();
    if (space && (previousSpace || c != QLatin1Char(' '))) return text.simplified();
    previousSpace = space;
  }
  return previousSpace ? text.simplified() : text;
}

struct ImportRow {
  int sheetRow = 0;  // 1-based
  int number = 0;    // data row number (1 = first row under the header)
  std::array<QString, kFieldCount> values;
  bool update = false;
  QString reason;  // how its student was found, or the number it was added under
};

// One statement prepared once on the store's connection and run for every row.
// On a board's own database it goes straight through SQLite: a list of 200,000
// rows would otherwise spend most of its time building and clearing QVariants. A
// school's server takes it as any prepared statement; the network costs more
// than the QVariants there.
class Prepared {
 public:
  Prepared(const QSqlDatabase& db, const QString& sql) {
    const QVariant handle = db.isOpen() ? db.driver()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
      m_db = *static_cast<sqlite3* const*>(handle.constData());
      const QByteArray text = sql.toUtf8();
      if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr) !=
          SQLITE_OK)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    } else if (db.isOpen()) {
      m_query.emplace(db);
      m_query->setForwardOnly(true);
      if (!m_query->prepare(store::dialectOf(db).prepare(sql))) {
        m_error = store::queryErrorText(*m_query);
        m_query.reset();
      }
    }
  }
  ~Prepared() { sqlite3_finalize(m_stmt); }
  Prepared(const Prepared&) = delete;
  Prepared& operator=(const Prepared&) = delete;

  // Binds the values and steps once: true while a row is there.
  Result<bool> run(const QStringList& params) {
    if (m_query) {
      for (int i = 0; i < params.size(); ++i) m_query->bindValue(i, params.at(i));
      if (!m_query->exec()) return Result<bool>::failure(store::queryErrorText(*m_query));
      return step();
    }
    if (!m_stmt)
      return Result<bool>::failure(m_error.isEmpty() ? QStringLiteral("Veritabanı açık değil.")
                                                     : m_error);
    sqlite3_reset(m_stmt);
    for (int i = 0; i < params.size(); ++i) {
      const QByteArray utf8 = params.at(i).toUtf8();
      sqlite3_bind_text(m_stmt, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    return step();
  }
  // A finished statement is reset at once, so that none is left running when
  // the import's transaction commits.
  Result<bool> step() {
    if (m_query) {
      if (m_query->next()) return true;
      m_query->finish();
      return false;
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    sqlite3_reset(m_stmt);
    if (rc == SQLITE_DONE) return false;
    return Result<bool>::failure(QString::fromUtf8(sqlite3_errmsg(m_db)));
  }
  QString text(int column) const {
    if (m_query) return m_query->value(column).toString();
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)),
                             sqlite3_column_bytes(m_stmt, column));
  }
  // The first row's first two columns, empty when there is none.
  QStringList first(const QStringList& params) {
    const Result<bool> row = run(params);
    if (!row || !row.value()) return {};
    QStringList cells{text(0), text(1)};
    if (m_query)
      m_query->finish();
    else
      sqlite3_reset(m_stmt);
    return cells;
  }

 private:
  sqlite3* m_db = nullptr;
  sqlite3_stmt* m_stmt = nullptr;
  std::optional<QSqlQuery> m_query;
  QString m_error;
};

// Finds the stored student a row stands for. Identity and school numbers
// identify a student; a name does not, so a student found by name is not
// found again in the same import (two pupils of one name stay two).
class StudentMatcher {
 public:
  explicit StudentMatcher(const QSqlDatabase& db)
      : m_byTc(db, QStringLiteral("SELECT KAYITNO, SINIFI FROM TABLEOGRENCI WHERE TCKIMLIK=? AND "
                                  "NZ(SILINDIMI)='' ORDER BY VAL(KAYITNO) LIMIT 1")),
        m_byNumber(db, QStringLiteral(
                           "SELECT KAYITNO, SINIFI FROM TABLEOGRENCI WHERE SINIFI=? AND "
                           "NUMARASI=? AND NZ(SILINDIMI)='' AND (NZ(TCKIMLIK)='' OR TCKIMLIK=?) "
                           "ORDER BY VAL(KAYITNO) LIMIT 1")),
        m_byClass(
            db, QStringLiteral("SELECT KAYITNO, ADI, SOYADI, NZ(TCKIMLIK) FROM TABLEOGRENCI WHERE "
                               "SINIFI=? AND NZ(SILINDIMI)='' ORDER BY VAL(KAYITNO)")) {}

  struct Match {
    QString kayitNo;
    QString sinifi;
    QString by;  // the rule that found it, for the result sheet
  };

  Match find(const ImportRow& row, bool useNumber) {
    const QString& tc = row.values[kTcKimlik];
    const QString& sinifi = row.values[kSinifi];
    Match m;
    if (!tc.isEmpty()) {
      m = toMatch(m_byTc.first({tc}));
      m.by = QStringLiteral("T.C. kimlik numarası kayıtlı");
    }
    // A row whose identity number is new may still be a stored student who was
    // imported without one.
    if (m.kayitNo.isEmpty() && useNumber && !row.values[kNumarasi].isEmpty()) {
      m = toMatch(m_byNumber.first({sinifi, row.values[kNumarasi], tc}));
      m.by = QStringLiteral("Sınıfta bu okul numarası kayıtlı");
    }
    if (m.kayitNo.isEmpty() && (!useNumber || row.values[kNumarasi].isEmpty())) {
      m = byName(sinifi, row.values[kAdi], row.values[kSoyadi], tc);
      m.by = QStringLiteral("Sınıfta bu ad ve soyad kayıtlı");
    }
    if (!m.kayitNo.isEmpty()) m_taken.insert(m.kayitNo);
    return m;
  }

 private:
  struct Named {
    QString kayitNo;
    QString tc;
  };
  static Match toMatch(const QStringList& cells) {
    return cells.isEmpty() ? Match{} : Match{cells.at(0), cells.at(1), {}};
  }
  static QString nameKey(const QString& adi, const QString& soyadi) {
    return lists::turkishFold(adi.simplified()) + QChar(0x1F) +
           lists::turkishFold(soyadi.simplified());
  }
  Match byName(const QString& sinifi, const QString& adi, const QString& soyadi,
               const QString& tc) {
    auto cls = m_classes.find(sinifi);
    if (cls == m_classes.end()) {
      // The class's students are read once; later rows of the class look them up.
      QHash<QString, QList<Named>> names;
      for (Result<bool> row = m_byClass.run({sinifi}); row && row.value(); row = m_byClass.step())
        names[nameKey(m_byClass.text(1), m_byClass.text(2))].append(
            Named{m_byClass.text(0), m_byClass.text(3)});
      cls = m_classes.insert(sinifi, names);
    }
    for (const Named& n : cls->value(nameKey(adi, soyadi))) {
      if (m_taken.contains(n.kayitNo)) continue;
      if (!tc.isEmpty() && !n.tc.isEmpty() && n.tc != tc) continue;
      return {n.kayitNo, sinifi, {}};
    }
    return {};
  }

  Prepared m_byTc;
  Prepared m_byNumber;
  Prepared m_byClass;
  QHash<QString, QHash<QString, QList<Named>>> m_classes;
  QSet<QString> m_taken;
};

// The result sheet "XLSONUC": the mapped cells of every row as the list had
// them, the class when it came from the class field, the level and the outcome;
// added rows first, then updated ones.
Status writeResult(const formats::Workbook& book, int sheet, int headerRow,
                   const QList<StudentImport::Pair>& pairs, bool classColumn,
                   const QList<ImportRow>& data, const QString& path) {
  // Row by row: a list can have hundreds of thousands of rows.
  formats::XlsxWriter w(path, formats::XlsxWriter::Memory::RowByRow);
  w.addSheet(QStringLiteral("XLSONUC"));
  int c = 0;
  for (const StudentImport::Pair& p : pairs) {
    const QString header = book.cell(sheet, headerRow, p.column);
    w.write(0, c++, header.isEmpty() ? captionOf(p.key) : header,
            formats::XlsxWriter::Style::Header);
  }
  QStringList tail;
  if (classColumn) tail << QStringLiteral("Sınıfı");
  tail << QStringLiteral("Seviye") << QStringLiteral("Sonuç");
  for (const QString& t : tail) w.write(0, c++, t, formats::XlsxWriter::Style::Header);
  int out = 1;
  for (bool updated : {false, true}) {
    for (const ImportRow& row : data) {
      if (row.update != updated) continue;
      int col = 0;
      for (const StudentImport::Pair& p : pairs)
        w.write(out, col++, book.cell(sheet, row.sheetRow - 1, p.column));
      if (classColumn) w.write(out, col++, row.values[kSinifi]);
      w.write(out, col++, row.values[kSeviye]);
      w.write(out, col, updated ? QStringLiteral("Güncellendi") : QStringLiteral("Eklendi"));
      ++out;
    }
  }
  return w.close();
}

}  // namespace

Result<StudentImport::Report> StudentImport::run(
    const QString& level, const QString& resultPath,
    const std::function<void(const QString&)>& progress) {
  auto say = [&](const QString& text) {
    if (progress) progress(text);
  };
  if (m_pairs.isEmpty()) {
    // The sentence names the kind of file the teacher chose.
    const QString ext = QFileInfo(m_path).suffix().toLower();
    const QString where = ext == QStringLiteral("ods")   ? QStringLiteral("tablodaki")
                          : ext == QStringLiteral("csv") ? QStringLiteral("dosyadaki")
                                                         : QStringLiteral("exceldeki");
    return R::failure(
        QStringLiteral("Lütfen eşleşme listesine %1 sütunların karşılıklarını belirtiniz")
            .arg(where));
  }
  const QStringList offeredLevels = levels();
  if (offeredLevels.isEmpty())
    return R::failure(QStringLiteral("Kayıt eklemek için lütfen tanımlamalardan seviye ekleyiniz"));
  if (m_sheet < 0) return R::failure(QStringLiteral("Lütfen geçerli bir MS Excel dosyası seçiniz"));
  say(QStringLiteral("Excel Dosyasına Bağlanılıyor..."));

  bool mappedField[kFieldCount] = {};
  bool fullName = false;
  for (const Pair& p : m_pairs) {
    mappedField[fieldIndex(p.key)] = true;
    fullName = fullName || p.key == QStringLiteral("ADISOYADI");
  }
  const int rowCount = m_book.rowCount(m_sheet);

  QList<ImportRow> data;
  data.reserve(std::max(0, rowCount - m_headerRow - 1));
  Report report;
  QList<Line> refused;
  for (int r = m_headerRow + 1; r < rowCount; ++r) {
    const QStringList cells = m_book.row(m_sheet, r);
    ImportRow row;
    row.sheetRow = r + 1;
    row.number = r - m_headerRow;
    bool any = false;
    for (const Pair& p : m_pairs) {
      QString v = cleanCell(cells.value(p.column));
      if (v.size() > kMaxCell)
        return R::failure(
            QStringLiteral("Satır %1, sütun %2: değer çok uzun (en çok %3 karakter olabilir).")
                .arg(r + 1)
                .arg(p.column + 1)
                .arg(kMaxCell));
      any = any || !v.isEmpty();
      row.values[fieldIndex(p.key)] = std::move(v);
    }
    if (!any) continue;
    // A repeated header (a list printed over several pages) is no student.
    if (isSerialHeader(cells.value(0))) continue;
    QString& adi = row.values[kAdi];
    QString& soyadi = row.values[kSoyadi];
    // A full name is split at its last space: "Ali Can Yılmaz" -> "Ali Can" + "Yılmaz".
    // A first name with a space stays whole when the surname has its own column.
    if ((fullName || soyadi.isEmpty()) && adi.contains(QLatin1Char(' '))) {
      const qsizetype cut = adi.lastIndexOf(QLatin1Char(' '));
      if (soyadi.isEmpty()) soyadi = adi.mid(cut + 1);
      adi = adi.left(cut);
    }
    if (adi.isEmpty()) {
      report.skippedRows << r + 1;
      refused.append({r + 1, adi, soyadi, row.values[kNumarasi],
                      row.values[kSinifi].isEmpty() ? m_class : row.values[kSinifi],
                      Line::Outcome::Refused, QStringLiteral("Adı boş")});
      continue;
    }
    if (!mappedField[kSinifi] || row.values[kSinifi].isEmpty()) row.values[kSinifi] = m_class;
    data.append(std::move(row));
  }

  say(QStringLiteral("Bilgiler Kaydediliyor..."));
  const bool threeButton = m_store.institution().threeButton();
  const QString institution = m_store.institution().code;
  Students students(m_store);
  store::Transaction tx(m_store);
  // Added rows are numbered by their place under the header, after the largest number.
  const Result<qint64> next = students.nextRegistrationNumber();
  if (!next) return R::failure(next.error());
  if (Status s = store::checkNumbers(next.value(), data.isEmpty() ? 0 : data.last().number); !s)
    return R::failure(s.error());
  const qint64 m = next.value() - 1;
  // Columns that an update assigns: the mapped ones, and the class when one was
  // chosen for the list.
  bool assigned[kFieldCount] = {};
  for (int f = 0; f < kFieldCount; ++f) assigned[f] = mappedField[f];
  if (fullName) assigned[kSoyadi] = true;
  if (!m_class.isEmpty()) assigned[kSinifi] = true;
  if (threeButton) assigned[kNumarasi] = false;  // generated, never typed
  QStringList sets;
  for (int f = 0; f < kFieldCount; ++f)
    if (assigned[f]) sets << QString::fromLatin1(kColumnNames[f]) + QStringLiteral("=?");
  const QSqlDatabase db = m_store.db();
  Prepared update(db, QStringLiteral("UPDATE TABLEOGRENCI SET %1 WHERE KAYITNO=?")
                          .arg(sets.join(QLatin1Char(','))));
  Prepared insert(
      db, QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE,"
                         "TCKIMLIK) VALUES (?,?,?,?,?,?,?)"));
  StudentMatcher matcher(db);
  for (ImportRow& row : data) {
    auto& v = row.values;
    v[kNumarasi] = store::SchoolNumber::cleanUp(v[kNumarasi]);
    const StudentMatcher::Match found = matcher.find(row, !threeButton);
    if (!found.kayitNo.isEmpty()) {
      row.update = true;
      row.reason = found.by + QStringLiteral(" (kayıt no %1)").arg(found.kayitNo);
      QStringList params;
      for (int f = 0; f < kFieldCount; ++f)
        if (assigned[f]) params << v[f];
      params << found.kayitNo;
      if (assigned[kSinifi] && found.sinifi != v[kSinifi])
        if (Status s = students.releaseConflictingPairings(found.kayitNo, v[kSinifi]); !s)
          return R::failure(s.error());
      if (Result<bool> s = update.run(params); !s)
        return R::failure(QStringLiteral("Satır %1: %2").arg(row.sheetRow).arg(s.error()));
      ++report.updated;
      continue;
    }
    const QString kayitNo = QString::number(m + row.number);
    row.reason = QStringLiteral("Yeni öğrenci (kayıt no %1)").arg(kayitNo);
    if (!mappedField[kSeviye] || v[kSeviye].isEmpty()) {
      v[kSeviye] = studentLevel(level, v[kSinifi], offeredLevels);
      if (v[kSeviye].isEmpty())
        return R::failure(
            v[kSinifi].isEmpty()
                ? QStringLiteral("Satır %1: öğrencinin sınıfı da seviyesi de yok; lütfen "
                                 "seviyeyi seçiniz.")
                      .arg(row.sheetRow)
                : QStringLiteral("Satır %1: %2 sınıfı bir seviye belirtmiyor; lütfen seviyeyi "
                                 "seçiniz.")
                      .arg(row.sheetRow)
                      .arg(v[kSinifi]));
    }
    const QString numarasi =
        threeButton
            ? store::SchoolNumber::automatic(institution, v[kSinifi], kayitNo, v[kAdi], v[kSoyadi])
            : v[kNumarasi];
    if (Result<bool> s = insert.run(
            {kayitNo, numarasi, v[kAdi], v[kSoyadi], v[kSinifi], v[kSeviye], v[kTcKimlik]});
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
  // Every stored number, as the old import did, by the one rule store::SchoolNumber::cleanUp.
  if (Status s =
          m_store.run(QStringLiteral("UPDATE TABLEOGRENCI SET NUMARASI=OKULNOTEMIZLE(NUMARASI) "
                                     "WHERE NUMARASI<>OKULNOTEMIZLE(NUMARASI)"));
      !s)
    return R::failure(s.error());

  say(QStringLiteral("Rapor Hazırlanıyor..."));
  report.resultPath = resultPath.isEmpty() ? m_store.subFolder(QStringLiteral("Sonuclar")) +
                                                 QStringLiteral("/OgrenciAktarimi.xlsx")
                                           : resultPath;
  if (Status s = writeResult(m_book, m_sheet, m_headerRow, m_pairs,
                             !mappedField[kSinifi] && !m_class.isEmpty(), data, report.resultPath);
      !s)
    return R::failure(s.error());
  m_store.changed(store::Change::Students | store::Change::Lists);
  if (Status s = tx.commit(); !s) {
    QFile::remove(report.resultPath);
    return R::failure(s.error());
  }
  store::UserSettings::set(QStringLiteral("Raporlar"), QStringLiteral("DogruYanlisCevap4"),
                           QStringLiteral("0"));
  // The sheet's rows in their order: the students and the rows refused before.
  report.lines.reserve(data.size() + refused.size());
  qsizetype before = 0;
  for (const ImportRow& row : data) {
    while (before < refused.size() && refused.at(before).sheetRow < row.sheetRow)
      report.lines << refused.at(before++);
    const auto& v = row.values;
    report.lines << Line{row.sheetRow, v[kAdi],
                         v[kSoyadi],   v[kNumarasi],
                         v[kSinifi],   row.update ? Line::Outcome::Updated : Line::Outcome::Added,
                         row.reason};
  }
  while (before < refused.size()) report.lines << refused.at(before++);
  return report;
}

QString StudentImport::outcomeText(Line::Outcome outcome) {
  switch (outcome) {
    case Line::Outcome::Added:
      return QStringLiteral("Eklendi");
    case Line::Outcome::Updated:
      return QStringLiteral("Güncellendi");
    case Line::Outcome::Refused:
      return QStringLiteral("Alınmadı");
  }
  return {};
}

QString StudentImport::Report::summary() const {
  QString text =
      QStringLiteral("%1 öğrenci eklendi, %2 öğrenci güncellendi").arg(added).arg(updated);
  if (!skippedRows.isEmpty()) text += QStringLiteral(", %1 satır alınmadı").arg(skippedRows.size());
  return text + QLatin1Char('.');
}

}  // namespace school
