#include "CliCommand.h"

namespace cli {

QList<CliCommand> schoolCommands() { return {}; }

}  // namespace cli
