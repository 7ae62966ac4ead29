#include "store/SqlFunctions.h"

#include <QCollator>
#include <QCryptographicHash>
#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QTime>

#include <sqlite3.h>

#include <cmath>
#include <optional>
#include <utility>

#include "lists/TurkishText.h"
#include "store/BrowserAddress.h"
#include "store/SchoolNumber.h"
#include "store/TeacherFlag.h"

namespace store {

namespace {

QString argText(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_NULL) return {};
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return QString::fromUtf8(text, sqlite3_value_bytes(v));
}

void resultText(sqlite3_context* ctx, const QString& s) {
  const QByteArray utf8 = s.toUtf8();
  sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void resultNumber(sqlite3_context* ctx, double d) {
  if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.0e15)
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
  else
    sqlite3_result_double(ctx, d);
}

void fnVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_INTEGER) return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
  if (type == SQLITE_FLOAT) return sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
  resultNumber(ctx, jetVal(argText(argv[0])));
}

void fnIsNumeric(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) return sqlite3_result_int(ctx, 1);
  sqlite3_result_int(ctx, jetIsNumeric(argText(argv[0])) ? 1 : 0);
}

// The two forms Derslik itself stores, "dd.MM.yyyy" and "H:mm:ss" / "HH:mm:ss",
// read straight from the bytes: sorting 200,000 results by date must not parse
// a format string per row. Anything else goes the long way (same values).
std::optional<QVariant> storedDateOrTime(const char* t, int n) {
  const auto digit = [t](int i) { return t[i] >= '0' && t[i] <= '9'; };
  const auto number = [t](int from, int to) {
    int v = 0;
    for (int i = from; i < to; ++i) v = v * 10 + (t[i] - '0');
    return v;
  };
  if (n == 10 && t[2] == '.' && t[5] == '.') {
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
      if (!digit(i)) return std::nullopt;
    const QDate date(number(6, 10), number(3, 5), number(0, 2));
    if (!date.isValid()) return QVariant();
    static const qint64 epoch = QDate(1899, 12, 30).toJulianDay();
    return QVariant(double(date.toJulianDay() - epoch));
  }
  if ((n == 8 || n == 7) && t[n - 3] == ':' && t[n - 6] == ':') {
    const int h = n - 6;
    for (int i = 0; i < n; ++i)
      if (i != h && i != n - 3 && !digit(i)) return std::nullopt;
    const int hours = number(0, h), minutes = number(h + 1, h + 3), seconds = number(n - 2, n);
    if (hours > 23 || minutes > 59 || seconds > 59) return QVariant();
    return QVariant((hours * 3600 + minutes * 60 + seconds) / 86400.0);
  }
  return std::nullopt;
}

void fnCDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    if (const std::optional<QVariant> fast = storedDateOrTime(text, sqlite3_value_bytes(argv[0]))) {
      if (fast->isNull()) return sqlite3_result_null(ctx);
      return sqlite3_result_double(ctx, fast->toDouble());
    }
  }
  const QVariant d = jetCDate(argText(argv[0]));
  if (d.isNull()) return sqlite3_result_null(ctx);
  sqlite3_result_double(ctx, d.toDouble());
}

void fnCDbl(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT)
    return sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
  QString t = argText(argv[0]).trimmed();
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double d = t.toDouble(&ok);
  sqlite3_result_double(ctx, ok ? d : 0.0);
}

void fnNz(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) != SQLITE_NULL) return sqlite3_result_value(ctx, argv[0]);
  if (argc > 1) return sqlite3_result_value(ctx, argv[1]);
  sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
}

void fnMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const QString s = argText(argv[0]);
  const qsizetype start = std::max<sqlite3_int64>(1, sqlite3_value_int64(argv[1])) - 1;
  const qsizetype len = argc > 2 ? std::max<sqlite3_int64>(0, sqlite3_value_int64(argv[2])) : -1;
  resultText(ctx, s.mid(start, len));
}

const QLocale& turkish() {
  static const QLocale locale(QLocale::Turkish, QLocale::Turkey);
  return locale;
}

void fnUpper(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  resultText(ctx, turkish().toUpper(argText(argv[0])));
}

void fnLower(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  resultText(ctx, turkish().toLower(argText(argv[0])));
}

void fnFold(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  resultText(ctx, lists::turkishFold(argText(argv[0])));
}

// The school's own rules, so that SQL never keeps a copy of them.
void fnTeacher(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_result_int(ctx, isTeacherFlag(argText(argv[0])) ? 1 : 0);
}

void fnBrowserStudent(sqlite3_context* ctx, int, sqlite3_value** argv) {
  resultText(ctx, store::ownAddressKayitNo(argText(argv[0])));
}

void fnSchoolNumber(sqlite3_context* ctx, int, sqlite3_value** argv) {
  resultText(ctx, SchoolNumber::automatic(argText(argv[0]), argText(argv[1]), argText(argv[2]),
                                          argText(argv[3]), argText(argv[4])));
}

// ICERIKOZETI(x): the lower-case hex SHA-256 of the value's bytes; NULL for NULL.
void fnDigest(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const QByteArray bytes(static_cast<const char*>(sqlite3_value_blob(argv[0])),
                         sqlite3_value_bytes(argv[0]));
  const QByteArray hex = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
  sqlite3_result_text(ctx, hex.constData(), int(hex.size()), SQLITE_TRANSIENT);
}

void fnSchoolNumberCleanUp(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  resultText(ctx, SchoolNumber::cleanUp(argText(argv[0])));
}

int collateTurkish(void*, int lenA, const void* a, int lenB, const void* b) {
  static const QCollator collator = [] {
    QCollator c(turkish());
    c.setNumericMode(true);
    return c;
  }();
  return collator.compare(QString::fromUtf8(static_cast<const char*>(a), lenA),
                          QString::fromUtf8(static_cast<const char*>(b), lenB));
}

int collateRemoteAddress(void*, int lenA, const void* a, int lenB, const void* b) {
  return compareRemoteAddresses(QString::fromUtf8(static_cast<const char*>(a), lenA),
                                QString::fromUtf8(static_cast<const char*>(b), lenB));
}

// The two numbers of "12-201"; nullopt for any other text.
std::optional<std::pair<int, int>> addressNumbers(const QString& text) {
  const qsizetype dash = text.indexOf(QLatin1Char('-'));
  if (dash <= 0) return std::nullopt;
  bool okHigh = false;
  bool okLow = false;
  const int high = QStringView(text).left(dash).trimmed().toInt(&okHigh);
  const int low = QStringView(text).mid(dash + 1).trimmed().toInt(&okLow);
  if (!okHigh || !okLow) return std::nullopt;
  return std::make_pair(high, low);
}

}  // namespace

int compareRemoteAddresses(const QString& a, const QString& b) {
  const auto x = addressNumbers(a);
  const auto y = addressNumbers(b);
  // Addresses first, by their numbers; anything else after them, as text.
  if (x && y) return *x < *y ? -1 : (*y < *x ? 1 : 0);
  if (x || y) return x ? -1 : 1;
  return a.compare(b);
}

double jetVal(const QString& text) {
  // Leading blanks are skipped, then sign, digits, one '.', digits; anything else ends it.
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && text.at(i).isSpace()) ++i;
  QString number;
  if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
    number += text.at(i++);
  bool dot = false;
  for (; i < n; ++i) {
    const QChar c = text.at(i);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
      number += c;
    } else if (c == QLatin1Char('.') && !dot) {
      dot = true;
      number += c;
    } else if (c == QLatin1Char(' ')) {
      continue;  // "1 234" reads as 1234, as the old engine did
    } else {
      break;
    }
  }
  bool ok = false;
  const double d = number.toDouble(&ok);
  return ok ? d : 0.0;
}

bool jetIsNumeric(const QString& text) {
  static const QRegularExpression re(
      QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)([eE][+-]?\\d+)?$"));
  const QString t = text.trimmed();
  return !t.isEmpty() && re.match(t).hasMatch();
}

QVariant jetCDate(const QString& input) {
  const QString text = input.trimmed();
  if (text.isEmpty()) return {};
  static const QDate epoch(1899, 12, 30);
  QDate date;
  QTime time;
  const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    if (part.contains(QLatin1Char(':'))) {
      for (const char* f : {"H:mm:ss", "H:m:s", "H:mm"}) {
        time = QTime::fromString(part, QString::fromLatin1(f));
        if (time.isValid()) break;
      }
      if (!time.isValid()) return {};
    } else {
      for (const char* f : {"dd.MM.yyyy", "d.M.yyyy", "yyyy-MM-dd", "dd/MM/yyyy", "d/M/yyyy"}) {
        date = QDate::fromString(part, QString::fromLatin1(f));
        if (date.isValid()) break;
      }
      if (!date.isValid()) return {};
    }
  }
  if (!date.isValid() && !time.isValid()) return {};
  double value = date.isValid() ? double(epoch.daysTo(date)) : 0.0;
  if (time.isValid()) value += time.msecsSinceStartOfDay() / 86400000.0;
  return value;
}

void registerSqlFunctions(QSqlDatabase& db) {
  const QVariant handle = db.driver()->handle();
  if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return;
  registerSqlFunctions(*static_cast<sqlite3* const*>(handle.constData()));
}

void registerSqlFunctions(sqlite3* h) {
  if (!h) return;
  constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  struct Fn {
    const char* name;
    int argc;
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
  };
  const Fn functions[] = {
      {"VAL", 1, fnVal},
      {"ISNUMERIC", 1, fnIsNumeric},
      {"CDATE", 1, fnCDate},
      {"CDBL", 1, fnCDbl},
      {"NZ", 1, fnNz},
      {"NZ", 2, fnNz},
      {"MID", 2, fnMid},
      {"MID", 3, fnMid},
      {"TRUPPER", 1, fnUpper},
      {"TRLOWER", 1, fnLower},
      {"TRFOLD", 1, fnFold},
      {"OGRETMENMI", 1, fnTeacher},
      {"TARAYICIOGRENCISI", 1, fnBrowserStudent},
      {"OKULNO", 5, fnSchoolNumber},
      {"OKULNOTEMIZLE", 1, fnSchoolNumberCleanUp},
      {"ICERIKOZETI", 1, fnDigest},
  };
  for (const Fn& f : functions)
    sqlite3_create_function_v2(h, f.name, f.argc, flags, nullptr, f.fn, nullptr, nullptr, nullptr);
  sqlite3_create_collation_v2(h, "TURKCE", SQLITE_UTF8, nullptr, collateTurkish, nullptr);
  sqlite3_create_collation_v2(h, "KUMANDA", SQLITE_UTF8, nullptr, collateRemoteAddress, nullptr);
}

}  // namespace store
