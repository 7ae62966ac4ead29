#include "formats/ZipArchive.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <cerrno>

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

QString libraryText(archive* a) {
  const char* text = archive_error_string(a);
  return text ? QString::fromLocal8Bit(text) : QString();
}

// "Dosya bozuk (ZIP decompression failed)": Turkish words first, the library's
// own at most in parentheses.
QString withDetail(const QString& words, const QString& detail) {
  return detail.isEmpty() ? words + QLatin1Char('.')
                          : QStringLiteral("%1 (%2).").arg(words, detail);
}

QString entryName(archive_entry* entry) {
  if (const char* utf8 = archive_entry_pathname_utf8(entry)) return QString::fromUtf8(utf8);
  if (const char* raw = archive_entry_pathname(entry)) return QString::fromLocal8Bit(raw);
  return {};
}

// libarchive reports a file it does not recognise with EILSEQ on this platform
// (its ARCHIVE_ERRNO_FILE_FORMAT).
bool formatError(archive* a) { return archive_errno(a) == EILSEQ; }

QString megabytes(qint64 bytes) { return QString::number(bytes / ArchiveLimits::kMiB); }

}  // namespace

struct ArchiveReader::State {
  Utf8Locale utf8;  // held while libarchive converts names
  archive* handle = nullptr;
  archive_entry* entry = nullptr;
  ~State() {
    if (handle) archive_read_free(handle);
  }
};

ArchiveReader::ArchiveReader(const QString& path, ArchiveLimits limits)
    : m_limits(limits), m_path(path) {}

ArchiveReader::~ArchiveReader() = default;

bool ArchiveReader::fail(const QString& text) {
  m_error = text;
  m_pending = false;
  return false;
}

bool ArchiveReader::next() {
  if (!m_error.isEmpty()) return false;
  if (!m_opened) {
    m_opened = true;
    if (!QFileInfo(m_path).isFile())
      return fail(QStringLiteral("Dosya bulunamadı: %1").arg(m_path));
    m_state = std::make_unique<State>();
    m_state->handle = archive_read_new();
    archive_read_support_format_zip(m_state->handle);
    if (m_limits.rar) {
      archive_read_support_format_rar(m_state->handle);
      archive_read_support_format_rar5(m_state->handle);
    }
    const QByteArray encoded = QFile::encodeName(m_path);
    if (archive_read_open_filename(m_state->handle, encoded.constData(), 64 * 1024) != ARCHIVE_OK)
      return fail(withDetail(formatError(m_state->handle) ? QStringLiteral("Dosya tanınmadı")
                                                          : QStringLiteral("Dosya açılamadı"),
                             libraryText(m_state->handle)));
  }
  if (!m_state) return false;
  archive* a = m_state->handle;
  for (;;) {
    if (m_pending && archive_read_data_skip(a) < ARCHIVE_WARN)
      return fail(withDetail(QStringLiteral("Dosya bozuk"), libraryText(a)));
    m_pending = false;
    const int rc = archive_read_next_header(a, &m_state->entry);
    if (rc == ARCHIVE_EOF) {
      if (m_members == 0 && archive_format(a) == 0) return fail(QStringLiteral("Dosya tanınmadı."));
      return false;
    }
    if (rc < ARCHIVE_WARN) {  // ARCHIVE_WARN is only a warning (e.g. a name conversion)
      const QString words = m_members == 0 && formatError(a) ? QStringLiteral("Dosya tanınmadı")
                                                             : QStringLiteral("Dosya bozuk");
      return fail(withDetail(words, libraryText(a)));
    }
    if (++m_members > m_limits.maxMembers)
      return fail(
          QStringLiteral("Dosya çok fazla parça içeriyor (en çok %1).").arg(m_limits.maxMembers));
    archive_entry* e = m_state->entry;
    const QString name = entryName(e);
    if (!ZipArchive::safeMemberName(name))
      return fail(QStringLiteral("Dosyada güvenli olmayan bir parça adı var: %1").arg(name));
    const auto type = archive_entry_filetype(e);
    if (type == AE_IFDIR) continue;
    if (type != AE_IFREG || archive_entry_hardlink(e) || archive_entry_symlink(e))
      return fail(QStringLiteral("Dosyada bağlantı ya da aygıt parçası var: %1 (kabul edilmez).")
                      .arg(name));
    if (archive_entry_is_encrypted(e))
      return fail(QStringLiteral("Dosya şifreli; şifreli parçalar okunamaz: %1").arg(name));
    if (archive_entry_size_is_set(e) && archive_entry_size(e) > m_limits.memberBytes)
      return fail(QStringLiteral("Dosya çok büyük: \"%1\" açıldığında %2 MB'ı geçiyor.")
                      .arg(name, megabytes(m_limits.memberBytes)));
    m_name = name;
    m_pending = true;
    m_unpacked = 0;
    m_warnings = 0;
    m_packedStart = archive_filter_bytes(a, -1);
    return true;
  }
}

qint64 ArchiveReader::readSome(char* out, qint64 max) {
  if (!m_pending) return m_error.isEmpty() ? 0 : -1;
  archive* a = m_state->handle;
  for (;;) {
    const la_ssize_t n = archive_read_data(a, out, static_cast<size_t>(max));
    if (n == 0) {
      m_pending = false;
      return 0;
    }
    if (n < 0) {
      // A warning is no failure, but a member that only warns is never read on forever.
      if (n < ARCHIVE_WARN || ++m_warnings > 100) {
        fail(withDetail(QStringLiteral("Dosya bozuk"), libraryText(a)));
        return -1;
      }
      continue;
    }
    m_unpacked += n;
    m_total += n;
    const qint64 packed = std::max<qint64>(1, archive_filter_bytes(a, -1) - m_packedStart);
    if (m_unpacked > m_limits.memberBytes || m_total > m_limits.totalBytes) {
      fail(QStringLiteral("Dosya çok büyük: \"%1\" açıldığında %2 MB'ı geçiyor.")
               .arg(m_name, megabytes(std::min(m_limits.memberBytes, m_limits.totalBytes))));
      return -1;
    }
    if (m_unpacked > m_limits.ratioFloor && m_unpacked / packed > m_limits.ratio) {
      fail(QStringLiteral("Dosya bozuk ya da zararlı: \"%1\" sıkıştırılmış hâlinin %2 katından "
                          "büyük açılıyor.")
               .arg(m_name)
               .arg(m_limits.ratio));
      return -1;
    }
    return n;
  }
}

Status ArchiveReader::stream(const std::function<bool(const char*, qsizetype)>& sink) {
  if (!m_pending)
    return Status::failure(m_error.isEmpty() ? QStringLiteral("Parça okunamadı.") : m_error);
  char buffer[64 * 1024];
  for (;;) {
    const qint64 n = readSome(buffer, sizeof buffer);
    if (n < 0) return Status::failure(m_error);
    if (n == 0) return {};
    if (!sink(buffer, static_cast<qsizetype>(n))) {
      fail(QStringLiteral("Geçici dosya yazılamadı."));
      return Status::failure(m_error);
    }
  }
}

class ArchiveReader::MemberDevice : public QIODevice {
 public:
  // Unbuffered: a sequential device's buffer would take the first chunk for
  // the whole stream.
  explicit MemberDevice(ArchiveReader& reader) : m_reader(reader) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  }
  bool isSequential() const override { return true; }
  bool atEnd() const override { return !m_reader.m_pending; }

 protected:
  qint64 readData(char* data, qint64 max) override {
    const qint64 n = m_reader.readSome(data, std::min<qint64>(max, 64 * 1024));
    // The end of the member and a failure both end the stream; the reader's
    // error() tells them apart.
    return n < 0 ? 0 : n;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  ArchiveReader& m_reader;
};

std::unique_ptr<QIODevice> ArchiveReader::device() { return std::make_unique<MemberDevice>(*this); }

Result<QByteArray> ArchiveReader::read() {
  QByteArray data;
  const Status s = stream([&data](const char* bytes, qsizetype n) {
    data.append(bytes, n);
    return true;
  });
  if (!s) return Result<QByteArray>::failure(s.error());
  return data;
}

Status ArchiveReader::copyTo(QIODevice& out) {
  return stream([&out](const char* bytes, qsizetype n) { return out.write(bytes, n) == n; });
}

bool ZipArchive::safeMemberName(const QString& name) {
  if (name.isEmpty()) return false;
  QString n = name;
  n.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (n.startsWith(QLatin1Char('/'))) return false;
  if (n.size() >= 2 && n.at(1) == QLatin1Char(':')) return false;  // C:...
  for (QChar c : n)
    if (c.unicode() < 0x20) return false;  // control characters hide what a name says
  const QStringList parts = n.split(QLatin1Char('/'));
  for (const QString& part : parts)
    if (part == QStringLiteral("..")) return false;
  return true;
}

Result<QList<ZipMember>> ZipArchive::readAll(const QString& archivePath,
                                             const std::function<bool(const QString&)>& wanted,
                                             const ArchiveLimits& limits) {
  using R = Result<QList<ZipMember>>;
  ArchiveReader reader(archivePath, limits);
  QList<ZipMember> members;
  while (reader.next()) {
    if (wanted && !wanted(reader.name())) continue;
    Result<QByteArray> data = reader.read();
    if (!data) return R::failure(data.error());
    members.append({reader.name(), std::move(data.value())});
  }
  if (!reader.error().isEmpty()) return R::failure(reader.error());
  return members;
}

Result<QByteArray> ZipArchive::readMember(const QString& archivePath, const QString& name) {
  Result<QList<ZipMember>> found =
      readAll(archivePath, [&name](const QString& member) { return member == name; });
  if (!found) return Result<QByteArray>::failure(found.error());
  if (found->isEmpty())
    return Result<QByteArray>::failure(QStringLiteral("Dosyada %1 bulunamadı.").arg(name));
  return found->first().data;
}

namespace {

la_ssize_t writeToDevice(archive*, void* device, const void* bytes, size_t n) {
  const qint64 written = static_cast<QIODevice*>(device)->write(static_cast<const char*>(bytes),
                                                                static_cast<qint64>(n));
  return written < 0 ? -1 : static_cast<la_ssize_t>(written);
}

}  // namespace

Status ZipArchive::write(const QString& archivePath, const QList<ZipMember>& members) {
  for (const ZipMember& m : members)
    if (!safeMemberName(m.name))
      return Status::failure(QStringLiteral("Geçersiz dosya adı: %1").arg(m.name));
  // QSaveFile replaces the target only on commit; a failure leaves the old file.
  QSaveFile out(archivePath);
  if (!out.open(QIODevice::WriteOnly))
    return Status::failure(withDetail(QStringLiteral("Dosya yazılamadı"), out.errorString()));
  Utf8Locale utf8;
  archive* a = archive_write_new();
  archive_write_set_format_zip(a);
  archive_write_set_bytes_in_last_block(a, 1);  // no padding after the archive
  QString failure;
  if (archive_write_open(a, &out, nullptr, writeToDevice, nullptr) != ARCHIVE_OK) {
    failure = libraryText(a);
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
        failure = libraryText(a);
        archive_entry_free(entry);
        break;
      }
      archive_entry_free(entry);
    }
    if (archive_write_close(a) != ARCHIVE_OK && failure.isEmpty()) failure = libraryText(a);
  }
  archive_write_free(a);
  if (!failure.isEmpty()) {
    out.cancelWriting();
    return Status::failure(withDetail(QStringLiteral("Dosya yazılamadı"), failure));
  }
  if (!out.commit())
    return Status::failure(withDetail(QStringLiteral("Dosya yazılamadı"), out.errorString()));
  return {};
}

}  // namespace formats
