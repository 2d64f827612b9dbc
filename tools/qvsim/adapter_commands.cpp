#include "commands.h"

namespace qvsim {
std::span<const Command> AdapterCommands() { return {}; }
}  // namespace qvsim
