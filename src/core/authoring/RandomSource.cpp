#include "authoring/RandomSource.h"

#include <algorithm>
#include <numeric>

namespace authoring {

RandomSource::RandomSource() {
  std::random_device device;
  std::seed_seq seed{device(), device(), device(), device()};
  m_engine.seed(seed);
}

qsizetype RandomSource::below(qsizetype n) {
  std::uniform_int_distribution<qsizetype> pick(0, n - 1);
  return pick(m_engine);
}

QList<int> RandomSource::permutation(int n) {
  QList<int> order(n);
  std::iota(order.begin(), order.end(), 1);
  std::shuffle(order.begin(), order.end(), m_engine);
  return order;
}

}  // namespace authoring
