#include "Bench.h"

namespace bench {

void receiverBenchmarks() {}

}  // namespace bench
