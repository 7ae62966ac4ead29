#include "CliCommand.h"

namespace cli {

QList<CliCommand> userCommands() { return {}; }

}  // namespace cli
