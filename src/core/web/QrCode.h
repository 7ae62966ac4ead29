#pragma once

#include <QList>
#include <QString>

#include "Result.h"

namespace web {

// The modules of a QR code, row by row, without its quiet zone: what a screen
// paints (a dark square per true module) and a phone's camera reads back.
struct QrMatrix {
  int size = 0;  // modules per side
  QList<bool> modules;

  bool dark(int x, int y) const { return modules.at(y * size + x); }
};

// The QR code of `text` (an address a phone opens), with medium error
// correction so that a projector's glare or a smudge on the board still reads.
Result<QrMatrix> qrMatrix(const QString& text);

}  // namespace web
