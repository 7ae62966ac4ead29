#pragma once

#include <QList>

#include <random>

namespace authoring {

// The one random engine of a screen or a command: seeded once when it is made
// and drawn from ever after (a generator reseeded from the clock before every
// draw repeats itself within one clock tick). Shuffles and automatic selection
// take it by reference; tests give it a fixed seed.
class RandomSource {
 public:
  RandomSource();  // seeded from std::random_device
  explicit RandomSource(quint64 seed) : m_engine(seed) {}

  // A uniform whole number in [0, n); n > 0.
  qsizetype below(qsizetype n);
  // A uniform random order of 1..n (every one of the n! orders equally likely).
  QList<int> permutation(int n);
  std::mt19937_64& engine() { return m_engine; }

 private:
  std::mt19937_64 m_engine;
};

}  // namespace authoring
