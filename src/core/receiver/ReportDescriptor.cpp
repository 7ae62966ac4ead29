#include "receiver/ReportDescriptor.h"

#include <QHash>

#include <algorithm>

namespace receiver {

int outputReportLength(QByteArrayView d) {
  // Short items only: a prefix byte (tag, type, size 0/1/2/4) and its data.
  quint32 reportSize = 0, reportCount = 0, reportId = 0;
  QHash<quint32, quint64> bitsById;  // output bits per report id
  struct Globals {
    quint32 size, count, id;
  };
  QList<Globals> stack;
  qsizetype i = 0;
  while (i < d.size()) {
    const quint8 prefix = quint8(d[i]);
    if (prefix == 0xFE) {  // long item: data size in the next byte
      if (i + 1 >= d.size()) break;
      i += 3 + quint8(d[i + 1]);
      continue;
    }
    const int size = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (i + 1 + size > d.size()) break;
    quint32 value = 0;
    for (int k = 0; k < size; ++k) value |= quint32(quint8(d[i + 1 + k])) << (8 * k);
    const int type = (prefix >> 2) & 3;
    const int tag = prefix >> 4;
    if (type == 1) {  // global
      if (tag == 7)
        reportSize = value;
      else if (tag == 8)
        reportId = value;
      else if (tag == 9)
        reportCount = value;
      else if (tag == 10)
        stack.append({reportSize, reportCount, reportId});
      else if (tag == 11 && !stack.isEmpty()) {
        const Globals g = stack.takeLast();
        reportSize = g.size;
        reportCount = g.count;
        reportId = g.id;
      }
    } else if (type == 0 && tag == 9) {  // main: Output
      bitsById[reportId] += quint64(reportSize) * reportCount;
    }
    i += 1 + size;
  }
  quint64 longest = 0;
  for (auto it = bitsById.cbegin(); it != bitsById.cend(); ++it)
    longest = std::max(longest, it.value());
  return int(std::min<quint64>((longest + 7) / 8, 4096));
}

}  // namespace receiver
