#pragma once

#include <QColor>
#include <QtGlobal>

namespace receiver {

// Tile colours are kept as the colour numbers the screens have always stored
// (blue in the high byte, red in the low byte). They are turned into QColor only here.
namespace colors {
inline constexpr quint32 kAnswered = 8421631;     // #FF8080
inline constexpr quint32 kNotAnswered = 8454143;  // #FFFF80
inline constexpr quint32 kWhite = 16777215;       // blank in free questioning
inline constexpr quint32 kGreen = 65280;          // a free question is open
inline constexpr quint32 kRed = 255;              // receiver not connected
}  // namespace colors

inline QColor colorFromColorRef(quint32 bgr) {
  return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline quint32 colorRefFromColor(const QColor& c) {
  return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

}  // namespace receiver
