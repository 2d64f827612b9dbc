// qvsim export and import: the machine's registry as a .reg file.
#include <fstream>
#include <sstream>
#include <string>

#include "machine_commands.h"
#include "machine_support.h"
#include "qv/sim/regfile.h"

namespace qvsim {

int RunExport(std::span<char* const> args) {
    if (args.size() != 1) return Fail(kExitUsage, "export: expected FILE.reg");
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
    std::ifstream in(args[0], std::ios::binary);
    if (!in) return Fail(kExitFailure, "import: cannot read " + std::string(args[0]));
    std::ostringstream content;
    content << in.rdbuf();
    std::string error;
    if (!qv::sim::ImportRegFile(content.str(), &error)) {
        return Fail(kExitFailure, "import: " + std::string(args[0]) + ": " + error);
    }
    return kExitOk;
}

}  // namespace qvsim
