#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

struct sqlite3;

namespace store {

// SQL functions with the meanings the stored data was written for (every value is
// text; numbers and dates are converted inside the queries). Registered on every
// connection Derslik opens, here and nowhere else:
//
//   VAL(x)        leading number of a text: VAL('12abc') = 12, VAL('') = 0,
//                 VAL(NULL) = 0, VAL(' -3.5x') = -3.5; a comma ends the number.
//   ISNUMERIC(x)  1 when the whole trimmed text is a number ("12", "-1.5", "1,5"), else 0.
//   CDATE(x)      a number that orders dates and times: days since 30.12.1899
//                 plus the fraction of the day. Reads "dd.MM.yyyy", "dd.MM.yyyy HH:mm:ss",
//                 "HH:mm:ss", "H:mm" and ISO "yyyy-MM-dd"; NULL when unreadable.
//   CDBL(x)       number of a text that may use "," as decimal separator; 0 when not a number.
//   NZ(x, d)      x, or d (default '') when x is NULL: the old "'' & x" idiom.
//   MID(s, i[, n])  1-based substring. LEFT and RIGHT are join keywords to SQLite:
//                 write substr(s, 1, n) and substr(s, -n).
//   TRUPPER(s), TRLOWER(s)   Turkish case mapping (i -> İ, I -> ı).
//   TRFOLD(s)     the text searches compare: lists::turkishFold ("Hâlâ" -> "hala").
// and the school's rules, with the C++ functions that decide them:
//   OGRETMENMI(flag)          1 for a teacher remote's OGRETMENKUMANDASI
//                             (store::isTeacherFlag).
//   TARAYICIOGRENCISI(address)  the KAYITNO a browser or card address stands for,
//                             '' for any other (store::ownAddressKayitNo).
//   OKULNO(code, class, kayitNo, name, surname)   the automatic school number of
//                             three-button mode (store::SchoolNumber::automatic).
//   OKULNOTEMIZLE(number)     "/", "\" and "-" become "." (store::SchoolNumber::cleanUp).
// Collation TURKCE orders text by Turkish rules: ORDER BY ADI COLLATE TURKCE.
// Collation KUMANDA orders remote addresses by their two numbers ("23-229" before
// "108-88"): ORDER BY KUMANDAADRESI COLLATE KUMANDA.
void registerSqlFunctions(QSqlDatabase& db);
// The same on a connection opened with SQLite's own interface.
void registerSqlFunctions(sqlite3* handle);

// The order of the KUMANDA collation: negative, zero or positive. Texts that are
// no address come after the addresses, in plain text order.
int compareRemoteAddresses(const QString& a, const QString& b);

// The same conversions for C++ callers, so code and SQL agree.
double jetVal(const QString& text);
bool jetIsNumeric(const QString& text);
QVariant jetCDate(const QString& text);  // double, or null QVariant

}  // namespace store
