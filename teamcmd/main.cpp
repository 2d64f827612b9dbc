// Entry point of QvTeamCmd: hands the arguments to the run as UTF-16 and ends with its 32-bit
// status (a Linux shell sees its low byte).
#include <string>
#include <vector>

#include "qv/teamlib/text.h"
#include "run.h"

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    }
    return static_cast<int>(qv::teamcmd::RunQvTeamCmd(args));
}
#else
int main(int argc, char** argv) {
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(qv::FromUtf8(argv[i]));
    }
    return static_cast<int>(qv::teamcmd::RunQvTeamCmd(args));
}
#endif
