// qvsim export and import: the machine's registry as a .reg file.
#include <fstream>
#include <sstream>
#include <string>

#include "machine_commands.h"
#include "machine_support.h"
#include "qv/sim/machine.h"
#include "qv/sim/regfile.h"

namespace qvsim {

int RunExport(std::span<char* const> args) {
    if (args.size() != 1) return Fail(kExitUsage, "export: expected FILE.reg");
    // Writing over the registry's own files would destroy the machine being exported.
    if (qv::sim::IsMachineRegistryFile(args[0])) {
        return Fail(kExitFailure, "export: " + std::string(args[0]) + " is a file of the machine's registry");
    }
    std::ostringstream text;
    std::string error;
    if (!qv::sim::ExportRegFile(text, &error)) return Fail(kExitFailure, "export: " + error);
    std::ofstream out(args[0], std::ios::binary | std::ios::trunc);
    out << text.str();
    out.close();
    if (!out) return Fail(kExitFailure, "export: cannot write " + std::string(args[0]));
    return kExitOk;
}

int RunImport(std::span<char* const> args) {
    if (args.size() != 1) return Fail(kExitUsage, "import: expected FILE.reg");
    std::string content, error;
    if (!qv::sim::LoadRegFile(args[0], &content, &error)) return Fail(kExitFailure, "import: " + error);
    // A machine that does not exist yet starts empty, so that importing an exported machine gives
    // a copy of it rather than the default inventory with the file merged in.
    const auto dir = qv::sim::MachineDir();
    if (!qv::sim::MachineExists(dir) && !qv::sim::CreateEmptyMachine(dir, false, &error)) {
        return Fail(kExitFailure, "import: " + error);
    }
    if (!qv::sim::ImportRegFile(content, &error)) {
        return Fail(kExitFailure, "import: " + std::string(args[0]) + ": " + error);
    }
    return kExitOk;
}

}  // namespace qvsim
