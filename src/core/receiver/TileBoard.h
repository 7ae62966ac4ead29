#pragma once

#include <QString>
#include <QtGlobal>

namespace receiver {

// The remote tiles a screen shows, one per participating remote, numbered from 0
// here (the screens number their controls from 1). A tile's caption is a remote
// address; its tag is "letter|time" once answered ("|" alone before); its colour
// is a colour number (see Colors.h).
class TileBoard {
 public:
  virtual ~TileBoard() = default;
  virtual int tileCount() const = 0;
  virtual QString tileAddress(int i) const = 0;
  virtual QString tileTag(int i) const = 0;
  virtual quint32 tileColor(int i) const = 0;
  virtual void setTile(int i, const QString& tag, quint32 color) = 0;
  virtual void setTileToolTip(int /*i*/, const QString& /*toolTip*/) {}
};

}  // namespace receiver
