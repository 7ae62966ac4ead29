#include "formats/ZipArchive.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

namespace formats {

namespace {

// libarchive converts member names through the thread's locale: without a UTF-8
// one, Turkish names come back mangled or fail.
class Utf8Locale {
 public:
  Utf8Locale() {
    m_locale = newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (m_locale) m_previous = uselocale(m_locale);
  }
  ~Utf8Locale() {
    if (m_locale) {
      uselocale(m_previous);
      freelocale(m_locale);
    }
  }
  Utf8Locale(const Utf8Locale&) = delete;
  Utf8Locale& operator=(const Utf8Locale&) = delete;

 private:
  locale_t m_locale = static_cast<locale_t>(nullptr);
  locale_t m_previous = static_cast<locale_t>(nullptr);
};

QString archiveError(archive* a) {
  const char* text = archive_error_string(a);
  return text ? QString::fromLocal8Bit(text) : QStringLiteral("bilinmeyen hata");
}

QString entryName(archive_entry* entry) {
  if (const char* utf8 = archive_entry_pathname_utf8(entry)) return QString::fromUtf8(utf8);
  if (const char* raw = archive_entry_pathname(entry)) return QString::fromLocal8Bit(raw);
  return {};
}

}  // namespace

bool ZipArchive::safeMemberName(const QString& name) {
  if (name.isEmpty()) return false;
  QString n = name;
  n.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (n.startsWith(QLatin1Char('/'))) return false;
  if (n.size() >= 2 && n.at(1) == QLatin1Char(':')) return false;  // C:...
  const QStringList parts = n.split(QLatin1Char('/'));
  for (const QString& part : parts)
    if (part == QStringLiteral("..")) return false;
  return true;
}

Result<QList<ZipMember>> ZipArchive::readAll(const QString& archivePath, qint64 limit) {
  using R = Result<QList<ZipMember>>;
  if (!QFileInfo(archivePath).isFile())
    return R::failure(QStringLiteral("Dosya bulunamadı: %1").arg(archivePath));
  Utf8Locale utf8;
  archive* a = archive_read_new();
  archive_read_support_format_zip(a);
  archive_read_support_filter_all(a);
  const QByteArray encoded = QFile::encodeName(archivePath);
  if (archive_read_open_filename(a, encoded.constData(), 64 * 1024) != ARCHIVE_OK) {
    const QString error = archiveError(a);
    archive_read_free(a);
    return R::failure(QStringLiteral("Arşiv açılamadı (%1).").arg(error));
  }
  QList<ZipMember> members;
  qint64 total = 0;
  QString failure;
  archive_entry* entry = nullptr;
  for (;;) {
    const int rc = archive_read_next_header(a, &entry);
    if (rc == ARCHIVE_EOF) break;
    if (rc < ARCHIVE_WARN) {  // ARCHIVE_WARN is only a warning (e.g. a name conversion)
      failure = QStringLiteral("Arşiv bozuk (%1).").arg(archiveError(a));
      break;
    }
    const QString name = entryName(entry);
    if (!safeMemberName(name)) {
      failure = QStringLiteral("Arşivde güvenli olmayan bir dosya adı var: %1").arg(name);
      break;
    }
    if (archive_entry_filetype(entry) != AE_IFREG) {
      archive_read_data_skip(a);
      continue;
    }
    ZipMember m;
    m.name = name;
    char buffer[64 * 1024];
    for (;;) {
      const la_ssize_t n = archive_read_data(a, buffer, sizeof buffer);
      if (n == 0) break;
      if (n < 0 && n < ARCHIVE_WARN) {
        failure = QStringLiteral("Arşiv bozuk (%1).").arg(archiveError(a));
        break;
      }
      if (n < 0) continue;
      total += n;
      if (total > limit) {
        failure = QStringLiteral("Arşiv beklenenden çok büyük.");
        break;
      }
      m.data.append(buffer, static_cast<qsizetype>(n));
    }
    if (!failure.isEmpty()) break;
    members.append(std::move(m));
  }
  archive_read_free(a);
  if (!failure.isEmpty()) return R::failure(failure);
  return members;
}

Result<QByteArray> ZipArchive::readMember(const QString& archivePath, const QString& name) {
  Result<QList<ZipMember>> all = readAll(archivePath);
  if (!all) return Result<QByteArray>::failure(all.error());
  for (const ZipMember& m : all.value())
    if (m.name == name) return m.data;
  return Result<QByteArray>::failure(QStringLiteral("Arşivde %1 bulunamadı.").arg(name));
}

Status ZipArchive::write(const QString& archivePath, const QList<ZipMember>& members) {
  for (const ZipMember& m : members)
    if (!safeMemberName(m.name))
      return Status::failure(QStringLiteral("Geçersiz dosya adı: %1").arg(m.name));
  const QString temp = archivePath + QStringLiteral(".yaziliyor");
  QFile::remove(temp);
  Utf8Locale utf8;
  archive* a = archive_write_new();
  archive_write_set_format_zip(a);
  const QByteArray encoded = QFile::encodeName(temp);
  QString failure;
  if (archive_write_open_filename(a, encoded.constData()) != ARCHIVE_OK) {
    failure = archiveError(a);
  } else {
    for (const ZipMember& m : members) {
      archive_entry* entry = archive_entry_new();
      const QByteArray name = m.name.toUtf8();
      archive_entry_set_pathname_utf8(entry, name.constData());
      archive_entry_set_filetype(entry, AE_IFREG);
      archive_entry_set_perm(entry, 0644);
      archive_entry_set_size(entry, m.data.size());
      archive_entry_set_mtime(entry, static_cast<time_t>(QDateTime::currentSecsSinceEpoch()), 0);
      if (archive_write_header(a, entry) < ARCHIVE_WARN ||
          archive_write_data(a, m.data.constData(), static_cast<size_t>(m.data.size())) < 0) {
        failure = archiveError(a);
        archive_entry_free(entry);
        break;
      }
      archive_entry_free(entry);
    }
    if (archive_write_close(a) != ARCHIVE_OK && failure.isEmpty()) failure = archiveError(a);
  }
  archive_write_free(a);
  if (!failure.isEmpty()) {
    QFile::remove(temp);
    return Status::failure(QStringLiteral("Arşiv yazılamadı (%1).").arg(failure));
  }
  QFile::remove(archivePath);
  if (!QFile::rename(temp, archivePath)) {
    QFile::remove(temp);
    return Status::failure(QStringLiteral("Dosya yazılamadı: %1").arg(archivePath));
  }
  return {};
}

}  // namespace formats
