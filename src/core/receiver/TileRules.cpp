#include "receiver/TileRules.h"

#include "receiver/Colors.h"

namespace receiver::TileRules {

QString tileTag(const QString& letter, const QTime& time) {
  return letter + QLatin1Char('|') + time.toString(QStringLiteral("HH:mm:ss"));
}

int markTestTiles(TileBoard& board, const DugmeSinyali& press, const QTime& time,
                  bool withToolTip) {
  int marked = 0;
  const int n = board.tileCount();
  QString tag;
  for (int i = 0; i < n; ++i) {
    if (board.tileAddress(i) != press.KumandaAdresi) continue;
    if (tag.isEmpty()) tag = tileTag(press.Dugme, time);
    const bool blank = press.Dugme == QLatin1String("X");
    board.setTile(i, tag, blank ? colors::kNotAnswered : colors::kAnswered);
    if (withToolTip) board.setTileToolTip(i, press.SinyalKodu);
    ++marked;
  }
  return marked;
}

TileCounts markFreeTiles(TileBoard& board, const DugmeSinyali& press, const QTime& time) {
  const int n = board.tileCount();
  const bool blank = press.Dugme == QLatin1String("X");
  QString tag;
  for (int i = 0; i < n; ++i) {
    if (board.tileAddress(i) != press.KumandaAdresi) continue;
    if (board.tileColor(i) == colors::kAnswered && !blank) continue;
    if (tag.isEmpty()) tag = tileTag(press.Dugme, time);
    board.setTile(i, tag, blank ? colors::kWhite : colors::kAnswered);
  }
  return count(board);
}

TileCounts count(const TileBoard& board) {
  TileCounts c;
  const int n = board.tileCount();
  for (int i = 0; i < n; ++i) {
    switch (board.tileColor(i)) {
      case colors::kAnswered:
        ++c.answered;
        break;
      case colors::kWhite:
        ++c.blank;
        break;
      case colors::kNotAnswered:
        ++c.notAnswered;
        break;
      default:
        break;
    }
  }
  return c;
}

bool allAnswered(const TileBoard& board) {
  const int n = board.tileCount();
  for (int i = 0; i < n; ++i)
    if (board.tileTag(i).startsWith(QLatin1Char('|'))) return false;
  return true;
}

}  // namespace receiver::TileRules
