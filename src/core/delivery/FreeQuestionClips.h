#pragma once

#include <QHash>
#include <QImage>
#include <QString>

#include "Result.h"

namespace store {
class Store;
}

namespace delivery {

class RunSession;

// "Testteki Soruları Kırp ve Kaydet": the part of the board the teacher clipped
// while a free question was asked becomes that question's picture, so that the
// report shows what was asked. The picture is kept when the question is first
// left, in the transaction that stores its answers, as a free question (key
// "S"+n, SILINDIMI "1": never in the bank's lists) with the run's curriculum and
// no key; the report screen or the class's majority gives it one.
//
//   delivery::FreeQuestionClips clips(store);
//   clips.attach(run);                        // run.setFreeQuestionKey(...)
//   clips.set(run.position(), clippedImage);  // while the question is on the board
class FreeQuestionClips {
 public:
  explicit FreeQuestionClips(store::Store& store) : m_store(store) {}

  // Makes `run` keep the clips when it leaves a question (its free-question key).
  void attach(RunSession& run);
  // The clip of the question at `position`; a second clip replaces the first.
  void set(int position, const QImage& clip);
  bool has(int position) const { return m_clips.contains(position); }

  // Stores the clip of `position` for `run` and returns its key; empty without a clip.
  Result<QString> keep(const RunSession& run, int position);

 private:
  store::Store& m_store;
  QHash<int, QImage> m_clips;
};

}  // namespace delivery
