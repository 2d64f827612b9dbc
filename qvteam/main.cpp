// Entry point of qvteam: the arguments arrive as UTF-16 from the platform's program entry; the
// run's outputs go to the console as UTF-8 text.
#include <cstdio>
#include <string>
#include <vector>

#include "cli.h"
#include "qv/platform/console.h"
#include "qv/platform/program_entry.h"
#include "qv/platform/utf.h"

int qv::ProgramMain(std::span<const std::u16string> args) {
    std::vector<std::string> utf8;
    for (const std::u16string& arg : args) utf8.push_back(ToUtf8(arg));
    qv::qvteam::RunOutput output;
    const int status = qv::qvteam::RunQvteam(utf8, &output);
    console::WriteText(stdout, output.out);
    console::WriteText(stderr, output.err);
    return status;
}
