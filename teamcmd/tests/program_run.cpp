#include "program_run.h"

namespace qv::teamcmd {

Exited RunProgram(const std::filesystem::path& machine, const std::vector<std::string>& args,
                  const std::vector<std::string>& extraEnv) {
    return qv::testing::RunProgram("QvTeamCmd", machine, args, extraEnv);
}

}  // namespace qv::teamcmd
