#include "board/InputDevices.h"

#include <QDir>
#include <QFile>

namespace board {

namespace {

// The bits of KEY_Q..KEY_P, KEY_A..KEY_L and KEY_Z..KEY_M in the key bitmap.
bool hasLetterKeys(const QString& keyBitmap) {
  const QStringList words = keyBitmap.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (words.isEmpty()) return false;
  bool ok = false;
  const quint64 low = words.last().toULongLong(&ok, 16);  // the last word holds bits 0..63
  if (!ok) return false;
  auto range = [low](int from, int to) {
    for (int bit = from; bit <= to; ++bit)
      if (!(low & (quint64(1) << bit))) return false;
    return true;
  };
  return range(16, 25) && range(30, 38) && range(44, 50);
}

}  // namespace

bool listsKeyboard(const QString& procInputDevices) {
  const QStringList blocks = procInputDevices.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
  for (const QString& block : blocks) {
    bool repeats = false;
    bool letters = false;
    const QStringList lines = block.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
      if (line.startsWith(QLatin1String("B: EV="))) {
        bool ok = false;
        const quint64 ev = line.mid(6).trimmed().toULongLong(&ok, 16);
        constexpr quint64 kEvKey = quint64(1) << 1;
        constexpr quint64 kEvRep = quint64(1) << 20;
        repeats = ok && (ev & kEvKey) && (ev & kEvRep);
      } else if (line.startsWith(QLatin1String("B: KEY="))) {
        letters = hasLetterKeys(line.mid(7).trimmed());
      }
    }
    if (repeats && letters) return true;
  }
  return false;
}

bool keyboardAttached() {
  QFile file(QStringLiteral("/proc/bus/input/devices"));
  if (!file.open(QIODevice::ReadOnly)) return false;
  return listsKeyboard(QString::fromUtf8(file.readAll()));
}

bool isScreenKeyboardProgram(const QString& processName) {
  static const QStringList kKeyboards = {
      QStringLiteral("onboard"),        QStringLiteral("florence"),  QStringLiteral("squeekboard"),
      QStringLiteral("maliit-server"),
      QStringLiteral("matchbox-keybo"),  // process names are cut at 15 characters
      QStringLiteral("caribou"),        QStringLiteral("eekboard"),  QStringLiteral("kvkbd"),
      QStringLiteral("xvkbd"),          QStringLiteral("cellwriter")};
  return kKeyboards.contains(processName.trimmed());
}

bool systemScreenKeyboardRunning() {
  const QStringList pids =
      QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& pid : pids) {
    if (pid.isEmpty() || !pid.at(0).isDigit()) continue;
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (comm.open(QIODevice::ReadOnly) &&
        isScreenKeyboardProgram(QString::fromUtf8(comm.readAll())))
      return true;
  }
  return false;
}

}  // namespace board
