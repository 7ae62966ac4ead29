#include "CliCommand.h"

namespace cli {

QList<CliCommand> receiverCommands() { return {}; }

}  // namespace cli
