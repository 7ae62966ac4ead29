#include "Bench.h"

namespace bench {

void widgetBenchmarks() {}

}  // namespace bench
