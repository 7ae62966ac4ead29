#pragma once

#include <QTime>

#include "receiver/DugmeSinyali.h"
#include "receiver/TileBoard.h"

namespace receiver {

// Counters of a free question, recounted over every tile after a press.
struct TileCounts {
  int answered = 0;     // lblCevapVeren
  int blank = 0;        // lblBos
  int notAnswered = 0;  // lblCevapVermeyen
};

// Immediate tile feedback of a press, before the press reaches the screen itself.
namespace TileRules {

// "letter|HH:mm:ss"
QString tileTag(const QString& letter, const QTime& time);

// Remote-test grid and attendance tiles: every tile of the address is marked,
// X as not answered, any other letter as answered. The tooltip gets the raw code
// when `withToolTip`. Returns the number of tiles marked.
int markTestTiles(TileBoard& board, const DugmeSinyali& press, const QTime& time, bool withToolTip);

// Free-question tiles: a tile of the address is marked when it has no answer yet
// or the press is X (blank is white). Then the counters are recounted.
TileCounts markFreeTiles(TileBoard& board, const DugmeSinyali& press, const QTime& time);

TileCounts count(const TileBoard& board);

// True when no tile waits for an answer (no tag begins with "|").
bool allAnswered(const TileBoard& board);

}  // namespace TileRules

}  // namespace receiver
