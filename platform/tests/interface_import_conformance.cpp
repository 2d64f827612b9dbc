// A machine's device-interface keys as an export writes them (fixtures/bus_interfaces.reg: the
// registration, its "#" reference key with SymbolicLink and "#\Control" with Linked, and the
// device's Enum key) are what SetupAPI lists: imported into the simulated host, and in the windows
// build imported with regedit into the suite's own throw-away Wine prefix and asked of the real
// SetupAPI through the device I/O port. The linked interface of a present device is listed with
// DIGCF_PRESENT, the unlinked one without an Enum key is not. SetupAPI (Wine's too) takes an
// interface only when its device's Enum key has ClassGUID, which every exported device has.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "qv/platform/deviceio.h"
#include "qv/platform/devinst.h"
#include "qv/platform/guid.h"
#include "suite_machine.h"

#ifndef _WIN32
#include "qv/sim/machine.h"
#include "qv/sim/regfile.h"
#endif

namespace qv {
namespace {

constexpr char kFixture[] = QV_PLATFORM_FIXTURES "/bus_interfaces.reg";

// Imports the fixture into the registry of this backend; false with the reason in *error.
bool ImportFixture(std::string* error) {
#ifdef _WIN32
    // Wine shows the host's root as drive Z:.
    std::string path = std::string("Z:") + kFixture;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    const std::string command = "regedit /s \"" + path + "\"";
    const int status = std::system(command.c_str());
    *error = command + " ended with " + std::to_string(status);
    return status == 0;
#else
    std::ifstream in(kFixture, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in && sim::ImportRegFile(text.str(), error);
#endif
}

// The device paths of the present interfaces of the bus driver's class, in SetupAPI's order.
std::vector<std::string> PresentInterfacePaths() {
    std::vector<std::string> paths;
    const HDevInfo set =
        dev::GetClassDevsA(&kGuidBusDriverInterface, nullptr, nullptr, kDigcfPresent | kDigcfDeviceInterface);
    if (set == kInvalidDevInfo) return {"(no set)"};
    for (uint32_t index = 0;; ++index) {
        DeviceInterfaceData data{};
        data.cbSize = sizeof(data);
        if (!dev::EnumDeviceInterfaces(set, nullptr, &kGuidBusDriverInterface, index, &data)) break;
        uint32_t required = 0;
        dev::GetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr);
        std::vector<uint64_t> buffer(required / sizeof(uint64_t) + 2, 0);  // aligned as the record needs
        auto* detail = reinterpret_cast<DeviceInterfaceDetailDataA*>(buffer.data());
        detail->cbSize = kDeviceInterfaceDetailFixedSize;
        if (required < kDeviceInterfaceDetailFixedSize ||
            !dev::GetDeviceInterfaceDetailA(set, &data, detail, required, &required, nullptr)) {
            paths.push_back("(no detail)");
            continue;
        }
        std::string path = detail->devicePath;
        for (char& c : path) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        paths.push_back(path);
    }
    dev::DestroyDeviceInfoList(set);
    return paths;
}

using InterfaceImport = qv::testing::SuiteOnMachine<qv::testing::SuiteMachineContent::kOnFirstUse>;

TEST_F(InterfaceImport, TheLinkedInterfaceOfThePresentDeviceIsListed) {
#ifndef _WIN32
    ASSERT_TRUE(sim::CreateEmptyMachine(MachineDir(), true, nullptr));
#endif
    std::string error;
    ASSERT_TRUE(ImportFixture(&error)) << error;
    // Windows spells device paths in lower case, the registry value in its own case: compared
    // without case.
    EXPECT_EQ(PresentInterfacePaths(),
              std::vector<std::string>{"\\\\?\\ROOT#QVVBD#0000#{B5C98E43-7483-415C-9308-38065264E10B}"});
}

}  // namespace
}  // namespace qv
