#include "qv/testing/machine_processes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "qv/sim/process_table.h"

namespace qv::testing {

pid_t MachineProcesses::Start(std::string_view imageName) {
    Child& child = children_.emplace_back([name = std::string(imageName)](int report) {
        std::string error;
        ReportLine(report, sim::RegisterProcess(name, &error) ? "listed" : "not listed: " + error);
        for (;;) pause();
    });
    if (child.pid() > 0 && child.Line() == "listed") return child.pid();
    ADD_FAILURE() << "the child could not enter the machine's process table";
    children_.pop_back();
    return -1;
}

void MachineProcesses::Kill(pid_t pid) {
    children_.remove_if([pid](const Child& child) { return child.pid() == pid; });
}

}  // namespace qv::testing
