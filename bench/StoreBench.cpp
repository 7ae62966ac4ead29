#include "Bench.h"

namespace bench {

void storeBenchmarks() {}

}  // namespace bench
