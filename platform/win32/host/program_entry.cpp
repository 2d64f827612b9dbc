// The program entry on Windows: wmain receives the arguments as UTF-16 (linked with -municode).
#include "qv/platform/program_entry.h"

#include <vector>

int wmain(int argc, wchar_t** argv) {
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    }
    return qv::ProgramMain(args);
}
