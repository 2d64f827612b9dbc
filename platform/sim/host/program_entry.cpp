// The program entry on Linux: main receives the arguments as UTF-8 and hands them on as UTF-16,
// what wmain receives on Windows (invalid sequences become U+FFFD).
#include "qv/platform/program_entry.h"

#include <vector>

#include "qv/platform/utf.h"

int main(int argc, char** argv) {
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(qv::ToUtf16(argv[i]));
    }
    return qv::ProgramMain(args);
}
