#pragma once

#include <QString>

namespace receiver {

// One remote press as every screen receives it: the remote's address ("12-201"),
// the button letter ("A".."E", "X" for blank, empty before the first known button)
// and the raw code the receiver sent with it.
struct DugmeSinyali {
  QString KumandaAdresi;
  QString Dugme;
  QString SinyalKodu;

  friend bool operator==(const DugmeSinyali&, const DugmeSinyali&) = default;
};

}  // namespace receiver
