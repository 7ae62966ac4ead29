#include "Bench.h"

namespace bench {

void contentBenchmarks() {}

}  // namespace bench
