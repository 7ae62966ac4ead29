#include "store/SqlErrors.h"

#include <sqlite3.h>

#include "store/ServerConnection.h"

namespace store {

namespace {

// SQLITE_ERROR covers many faults; its message tells which.
QString genericErrorWords(const QString& text) {
  struct Known {
    const char* english;
    const char* turkish;
  };
  static const Known known[] = {
      {"no such table", "Tablo bulunamadı"},
      {"no such column", "Sütun bulunamadı"},
      {"no such function", "Bilinmeyen işlev"},
      {"syntax error", "Sorgu yazımı hatalı"},
      {"incomplete input", "Sorgu yarım kalmış"},
      {"ambiguous column", "Sütun adı birden çok tabloda var"},
      {"too many attached", "Başka veritabanı bağlanamaz"},
      {"not authorized", "Bu işleme izin verilmiyor"},
      {"already exists", "Bu ad zaten kullanılıyor"},
      {"malformed", "Dosya bozuk"},
      {"not a database", "Dosya bir veritabanı değil"},
      {"multiple statements", "Yalnızca bir sorgu çalıştırılabilir"},
  };
  for (const Known& k : known)
    if (text.contains(QLatin1String(k.english), Qt::CaseInsensitive))
      return QString::fromUtf8(k.turkish);
  return QStringLiteral("Veritabanı hatası");
}

QString wordsFor(int code, const QString& text) {
  switch (code & 0xff) {
    case SQLITE_OK:  // drivers report "not an error" for faults of their own
    case SQLITE_ERROR:
      return genericErrorWords(text);
    case SQLITE_INTERNAL:
      return QStringLiteral("Veritabanı kitaplığında iç hata");
    case SQLITE_PERM:
      return QStringLiteral("Dosyaya erişim izni yok");
    case SQLITE_ABORT:
      return QStringLiteral("İşlem yarıda kesildi");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return QStringLiteral("Veritabanı başka bir işlem tarafından kullanılıyor");
    case SQLITE_NOMEM:
      return QStringLiteral("Bellek yetersiz");
    case SQLITE_READONLY:
      return QStringLiteral("Veritabanına yazılamıyor (salt okunur)");
    case SQLITE_INTERRUPT:
      return QStringLiteral("İşlem süre sınırında durduruldu");
    case SQLITE_IOERR:
      return QStringLiteral("Disk okuma/yazma hatası");
    case SQLITE_CORRUPT:
      return QStringLiteral("Dosya bozuk");
    case SQLITE_FULL:
      return QStringLiteral("Disk dolu");
    case SQLITE_CANTOPEN:
      return QStringLiteral("Veritabanı dosyası açılamadı");
    case SQLITE_TOOBIG:
      return QStringLiteral("Değer ya da sonuç çok büyük");
    case SQLITE_CONSTRAINT:
      return QStringLiteral("Kayıt, tablonun kurallarına uymuyor");
    case SQLITE_MISMATCH:
      return QStringLiteral("Veri türü uyuşmuyor");
    case SQLITE_MISUSE:
      return QStringLiteral("Veritabanı yanlış kullanıldı");
    case SQLITE_AUTH:
      return QStringLiteral("Bu işleme izin verilmiyor");
    case SQLITE_RANGE:
      return QStringLiteral("Sorgu değişkeni yanlış");
    case SQLITE_NOTADB:
      return QStringLiteral("Dosya bir veritabanı değil");
    default:
      return genericErrorWords(text);
  }
}

}  // namespace

QString sqliteErrorText(int code, const QString& libraryText) {
  const QString words = wordsFor(code, libraryText);
  const QString library = libraryText.trimmed();
  if (library.isEmpty() || library == QLatin1String("not an error")) return words;
  return words + QStringLiteral(" (") + library + QLatin1Char(')');
}

QString sqlErrorText(const QSqlError& error) {
  if (connectionClassError(error)) return serverAwayMessage();
  // The driver's own sentence ("Unable to fetch row") is English as well; only
  // the database's text is kept, and the driver's when there is nothing else.
  QString library = error.databaseText();
  if (library.trimmed().isEmpty() || library == QLatin1String("not an error"))
    library = error.driverText();
  const QString code = error.nativeErrorCode();
  // The server's codes are five-character SQLSTATEs; SQLite's are numbers of
  // at most four digits.
  if (code.size() == 5) {
    const int alike = code == QLatin1String("57014") ? SQLITE_INTERRUPT  // statement timeout
                      : code.startsWith(QLatin1String("23")) ? SQLITE_CONSTRAINT
                                                             : SQLITE_ERROR;
    return sqliteErrorText(alike, library);
  }
  bool numeric = false;
  const int sqliteCode = code.toInt(&numeric);
  return sqliteErrorText(numeric ? sqliteCode : SQLITE_ERROR, library);
}

}  // namespace store
