#pragma once
// What "qmtool help COMMAND" says about a command: its usage, what it does and an example.

#include "tools/command.h"

namespace qm::tool {

// The help of `command`: "usage: qmtool NAME USAGE", what it does, and an example call.
QString commandHelp(const Command& command);

}  // namespace qm::tool
