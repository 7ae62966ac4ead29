#pragma once

#include "receiver/TileBoard.h"

namespace shell {

// A screen whose remote tiles are marked at once when a press arrives
// (attendance `frmYoklama`: the "KumandalarTest" tiles).
class TileScreen {
 public:
  virtual ~TileScreen() = default;
  // nullptr while the screen shows no tiles.
  virtual receiver::TileBoard* remoteTiles() = 0;
};

}  // namespace shell
