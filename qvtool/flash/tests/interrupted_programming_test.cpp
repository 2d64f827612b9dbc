// A -p of a boot image killed (the simulated adapter's kill switch) at request after request, each
// followed by a -p of firmware as the engineer runs it next: that run programs the firmware or
// refuses before erasing; it never erases into a flash still busy or in the middle of a command.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "image_fixtures.h"
#include "qv/qvtool/flash/flash_ops.h"
#include "qv/testing/program_run.h"
#include "test_support.h"

namespace qv::qvtool {
namespace {

namespace fs = std::filesystem;

std::vector<uint32_t> FirmwareWords(size_t count, uint32_t step) {
    std::vector<uint32_t> body(count - 1);
    for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<uint32_t>((i + 1) * step);
    return test::SummedFirmware(body);
}

TEST(InterruptedProgramming, AfterAKillAtAnyRequestTheNextRunProgramsOrRefusesBeforeErasing) {
    test::TempMachine machine(test::MachineOptions::OnFirstUse());
    const std::unique_ptr<sim::n5::Adapter> adapter = test::OpenSimulatedAdapter(0);
    ASSERT_NE(adapter, nullptr);
    sim::n5::SerialFlash& flash = adapter->state().flash;
    const fs::path home = fs::current_path();
    fs::current_path(machine.scratch().path());  // where the runs save their backups
    const std::vector<uint8_t> rom = test::BootModule(0xF000);
    ASSERT_TRUE(qv::testing::WriteFile("boot.rom", std::string(rom.begin(), rom.end())));
    const std::vector<uint32_t> firmware = FirmwareWords(0x180, 0x9E3779B9);
    ASSERT_TRUE(qv::testing::WriteFile("fw.bin", test::BigEndianFile(firmware)));
    const auto run = [&machine](const char* file, uint64_t killAt) {
        const std::string kill = "QV_SIM_KILL_AFTER_REQUESTS=" + std::to_string(killAt);
        const qv::testing::Exited r =
            qv::testing::RunProgram("qvtool", machine.dir(), {"-d", "nic0", "-p", file}, {kill});
        for (const auto& entry : fs::directory_iterator(".")) {
            if (entry.path().filename().string().rfind("nic0-", 0) == 0) fs::remove(entry.path());
        }
        return r;
    };
    // An older firmware in its area: an erase skipped would leave its bits under the new one.
    const auto powerOn = [&flash] {
        sim::n5::PowerOnSerialFlash(&flash);
        const std::vector<uint32_t> old = FirmwareWords(0x300, 0x01000193);
        std::memcpy(flash.memory + kFlashFirmwareAddress, old.data(), 4 * old.size());
        std::memcpy(flash.memory + kFlashVersionAddress, &old[old.size() - 2], 4);
    };
    powerOn();
    const uint64_t start = adapter->state().counters.requests;
    ASSERT_EQ(run("boot.rom", 0).status, 0);
    const uint64_t whole = adapter->state().counters.requests - start;

    // Every thousandth request, and each one around the erase (after the identification and the
    // backup's three requests per word), whose busy cycle is short.
    std::vector<uint64_t> kills;
    for (uint64_t k = 1000; k < whole; k += 1000) kills.push_back(k);
    for (uint64_t k = 3 * kFlashSectorBytes / 4; k < 3 * kFlashSectorBytes / 4 + 60; ++k) kills.push_back(k);
    int leftBusy = 0, leftSelected = 0;
    const uint32_t version = firmware[firmware.size() - 2];
    for (const uint64_t k : kills) {
        SCOPED_TRACE("killed at request " + std::to_string(k));
        powerOn();
        ASSERT_EQ(run("boot.rom", k).status, -1) << "not killed";
        leftBusy += flash.busyPolls != 0;
        leftSelected += flash.selected != 0;
        const std::string out = run("fw.bin", 0).output;
        if (out.find("nothing was erased") != std::string::npos) {
            ADD_FAILURE() << "refused: the simulated part always recovers once waited for\n" << out;
            EXPECT_EQ(out.find("Erasing"), std::string::npos) << out;
            continue;
        }
        EXPECT_NE(out.find("Comparison was successful.\n"), std::string::npos) << out;
        EXPECT_EQ(std::memcmp(flash.memory + kFlashFirmwareAddress, firmware.data(), 4 * firmware.size()), 0);
        EXPECT_EQ(std::memcmp(flash.memory + kFlashVersionAddress, &version, 4), 0);
    }
    // The kills reached the states that matter: a cycle running and a command left open.
    EXPECT_GT(leftBusy, 0);
    EXPECT_GT(leftSelected, 0);
    fs::current_path(home);
}

}  // namespace
}  // namespace qv::qvtool
