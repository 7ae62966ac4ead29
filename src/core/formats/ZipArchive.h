#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

#include "Result.h"

class QIODevice;

namespace formats {

struct ZipMember {
  QString name;  // path inside the archive, '/' separated
  QByteArray data;
};

// What one archive may cost, checked while unpacking (a member's declared size
// is checked before, but nothing trusts it).
struct ArchiveLimits {
  static constexpr qint64 kMiB = 1024 * 1024;
  qint64 memberBytes = 256 * kMiB;  // one member unpacked
  qint64 totalBytes = 512 * kMiB;   // every member read from one archive
  // A member that unpacks to more than `ratio` times its packed size is refused
  // once it passes `ratioFloor` (small members compress well and harm nothing).
  int ratio = 200;
  qint64 ratioFloor = kMiB;
  int maxMembers = 10000;
  // RAR is read too (exchange files made by older installations); everything
  // else only takes ZIP.
  bool rar = false;
};

// The one place where archives from outside are opened (spreadsheets, exchange
// packages). Members are read one at a time, never all at once; each is counted
// while it unpacks, against an absolute size and against its packed size, so a
// small bomb stops after a few megabytes. Every member name is checked even when
// the member is skipped: an absolute path, "..", a link, a device or an
// encrypted member refuses the whole archive. Names are read under a C.UTF-8
// locale so that Turkish names survive. Failures are Turkish texts with the
// library's words at most in parentheses.
class ArchiveReader {
 public:
  explicit ArchiveReader(const QString& path, ArchiveLimits limits = {});
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // Moves to the next regular member (folders are passed over). False at the end
  // and on a refusal; error() tells which.
  bool next();
  const QString& name() const { return m_name; }
  // The current member, whole, within the limits.
  Result<QByteArray> read();
  // The current member streamed to `out` within the limits.
  Status copyTo(QIODevice& out);
  // The current member as a sequential device that unpacks as it is read (a
  // parser pulls a part of any size through a 64 KB buffer). A failure, the
  // limits' included, ends it early with error() set. Valid until next().
  std::unique_ptr<QIODevice> device();
  // Empty unless opening, a header or a member's data failed.
  const QString& error() const { return m_error; }

 private:
  class MemberDevice;
  Status stream(const std::function<bool(const char*, qsizetype)>& sink);
  // Up to `max` more bytes of the current member; 0 at its end, -1 on a failure.
  qint64 readSome(char* out, qint64 max);
  bool fail(const QString& text);
  struct State;
  std::unique_ptr<State> m_state;
  ArchiveLimits m_limits;
  QString m_path;
  QString m_name;
  QString m_error;
  qint64 m_total = 0;
  int m_members = 0;
  bool m_opened = false;
  bool m_pending = false;  // the current member's data was not read to its end yet
  qint64 m_unpacked = 0;   // of the current member
  qint64 m_packedStart = 0;
  int m_warnings = 0;
};

// ZIP archives: reading whole members (through ArchiveReader) and writing.
class ZipArchive {
 public:
  // The regular members `wanted` accepts (every one when empty), in archive
  // order; the others are checked and skipped without unpacking.
  static Result<QList<ZipMember>> readAll(const QString& archivePath,
                                          const std::function<bool(const QString&)>& wanted = {},
                                          const ArchiveLimits& limits = {});
  // One member by name (case-sensitive); an error when it is missing.
  static Result<QByteArray> readMember(const QString& archivePath, const QString& name);
  // Writes a new ZIP archive; `archivePath` is replaced only when everything
  // was written.
  static Status write(const QString& archivePath, const QList<ZipMember>& members);
  // True for a member name that stays inside the folder it is unpacked into.
  static bool safeMemberName(const QString& name);
};

}  // namespace formats
