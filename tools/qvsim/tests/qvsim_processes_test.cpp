// qvsim processes and qvsim broadcast against programs running on the machine.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "qv/host/broadcasts.h"
#include "qv/platform/process.h"
#include "qv/sim/machine.h"
#include "qv/testing/machine_processes.h"
#include "qvsim_run.h"

namespace qvsim::testing {
namespace {

TEST(QvsimProcesses, ListsTheMachinesProgramsAndBroadcastsToThem) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--cards", "0"}).status, 0);
    qv::sim::SelectMachine(box.machine());
    EXPECT_EQ(box.Run({"processes"}).out, "");
    qv::testing::MachineProcesses programs;
    const pid_t probe = programs.Start("QvProbe.exe");
    EXPECT_EQ(box.Run({"processes"}).out, std::to_string(probe) + " QvProbe.exe\n");

    std::string error;
    ASSERT_TRUE(qv::host::ListenForBroadcasts(&error)) << error;
    const Result sent = box.Run({"broadcast", "termqvtray", "5", "0x10"});
    ASSERT_EQ(sent.status, 0) << sent.err;
    char number[16];
    std::snprintf(number, sizeof number, "0x%04X\n", qv::proc::RegisterWindowMessage(u"TermQvTray"));
    EXPECT_EQ(sent.out, number);
    qv::host::BroadcastMessage message{};
    ASSERT_TRUE(qv::host::WaitForBroadcast(60000, &message));  // the bound only guards against a hang
    EXPECT_EQ(message.message, qv::proc::RegisterWindowMessage(u"TermQvTray"));
    EXPECT_EQ(message.wParam, 5u);
    EXPECT_EQ(message.lParam, 16);
    qv::host::StopListening();

    for (const auto& args :
         std::initializer_list<std::initializer_list<std::string>>{{"processes", "x"},
                                                                   {"broadcast"},
                                                                   {"broadcast", "a", "1", "2", "3"},
                                                                   {"broadcast", "a", "0x100000000"}}) {
        const Result result = box.Run(args);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(result.err.starts_with("qvsim: ")) << result.err;
    }
    EXPECT_EQ(box.Run({"broadcast", std::string(256, 'n')}).status, 1);  // no such message name
}

}  // namespace
}  // namespace qvsim::testing
