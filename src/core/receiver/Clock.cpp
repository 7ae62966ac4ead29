#include "receiver/Clock.h"

namespace receiver {

SteadyClock& SteadyClock::instance() {
  static SteadyClock clock;
  return clock;
}

}  // namespace receiver
