#pragma once

#include <QByteArray>
#include <QFile>

// The most memory this process held (resident) since the last reset, so that one
// step of a test is measured alone. The kernel's high-water mark is reset by
// writing "5" to /proc/self/clear_refs.
class PeakMemory {
 public:
  // AddressSanitizer pads every allocation and keeps freed memory aside: under
  // it a bound on memory is this many times looser.
#if defined(__SANITIZE_ADDRESS__)
  static constexpr double kSanitizerFactor = 3.0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  static constexpr double kSanitizerFactor = 3.0;
#else
  static constexpr double kSanitizerFactor = 1.0;
#endif
#else
  static constexpr double kSanitizerFactor = 1.0;
#endif

  PeakMemory() {
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (reset.open(QIODevice::WriteOnly)) reset.write("5");
    m_start = field("VmRSS:");
  }
  // Growth of the resident size over the start, at its highest, in megabytes.
  double grownMb() const { return double(field("VmHWM:") - m_start) / 1024.0; }
  // The highest resident size of the whole process since the start, in megabytes.
  static double peakMb() { return double(field("VmHWM:")) / 1024.0; }

 private:
  // A "VmXXX:   1234 kB" line of /proc/self/status, in kilobytes.
  static qint64 field(const char* name) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
      if (line.startsWith(name))
        return line.mid(qstrlen(name)).trimmed().split(' ').value(0).toLongLong();
    return 0;
  }
  qint64 m_start = 0;
};
