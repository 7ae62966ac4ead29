#pragma once

#include <QString>
#include <QTime>

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

// A press that came through the press pipeline (activity::PressPipeline): not a
// repeat, teacher told apart, the three-button rule applied.
struct AdmittedPress {
  DugmeSinyali press;
  bool teacher = false;
  QTime at;  // when it was pressed (the time a tile shows for the answer)
};

}  // namespace receiver
