// The device database as records: create, read back, find and remove devices, and the driver-key
// numbering.
#include "qv/sim/device_database.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qv/sim/host_state.h"
#include "qv/testing/golden.h"
#include "qv/testing/temp_machine.h"

namespace qv::sim {
namespace {

using qv::testing::TempMachine;

constexpr char16_t kPort1[] = u"PCI\\VEN_5A5A&DEV_0005&SUBSYS_00015A5A&REV_01\\4&3A5A5A00&0&0010";
constexpr char16_t kInterface[] = u"{0D0E0F00-0000-4000-8000-00000000ABCD}";

DeviceRecord VirtualAdapter(std::u16string_view id = u"ROOT\\QVTEST\\0000",
                            std::u16string_view guid = u"{7EA00001-0000-4000-8000-00000000000A}",
                            std::u16string_view name = u"Team A") {
    DeviceRecord r;
    r.instanceId = id;
    r.hardwareIds = {u"ROOT\\QVTEST", u"QVTEST"};
    r.description = u"Test adapter";
    r.friendlyName = name;
    r.service = u"qvteamm";
    r.classGuid = kNetClassGuid;
    r.className = u"Net";
    r.manufacturer = u"Quorvex";
    r.configFlags = 0;
    r.netCfgInstanceId = guid;
    r.driverValues.values = {RegValue::String(u"ProviderName", u"Quorvex"),
                             RegValue::Dword(u"Characteristics", 1)};
    r.connectionName = name;
    r.mediaSubType = 1;
    r.state.present = 1;
    r.state.disabled = 0;
    r.state.permanentAddress = u"02AABBCCDDEE";
    r.interfaceClasses = {kInterface};
    return r;
}

TEST(HostState, RandomGuidsAreVersion4AndPathsJoinWithOneBackslash) {
    const Guid a = NewRandomGuid(), b = NewRandomGuid();
    for (const Guid& g : {a, b}) {
        EXPECT_EQ(g.data3 & 0xF000, 0x4000);
        EXPECT_EQ(g.data4[0] & 0xC0, 0x80);
    }
    EXPECT_FALSE(GuidEqual(a, b));
    EXPECT_EQ(JoinPath(kClassPath, u"{X}\\0001"), u"SYSTEM\\CurrentControlSet\\Control\\Class\\{X}\\0001");
    EXPECT_EQ(JoinPath(u"", u"a"), u"\\a");
}

TEST(DeviceDatabase, CreatedDeviceReadsBackAndIsFound) {
    TempMachine machine;
    DeviceRecord made = VirtualAdapter();
    ASSERT_EQ(CreateDevice(&made), kErrorSuccess);
    // The default inventory's five adapters hold 0000 to 0004.
    EXPECT_EQ(made.driverKey, std::u16string(kNetClassGuid) + u"\\0005");

    LStatus status = kErrorGenFailure;
    const auto read = ReadDevice(u"root\\qvtest\\0000", &status);
    ASSERT_TRUE(read) << status;
    EXPECT_EQ(status, kErrorSuccess);
    EXPECT_EQ(read->hardwareIds, made.hardwareIds);
    EXPECT_EQ(read->friendlyName, u"Team A");
    EXPECT_EQ(read->service, u"qvteamm");
    EXPECT_EQ(read->driverKey, made.driverKey);
    EXPECT_EQ(read->netCfgInstanceId, made.netCfgInstanceId);
    EXPECT_EQ(read->driverValues.String(u"providername"), u"Quorvex");
    EXPECT_EQ(read->driverValues.Dword(u"Characteristics"), 1u);
    EXPECT_EQ(read->connectionName, u"Team A");
    EXPECT_EQ(read->mediaSubType, 1u);
    EXPECT_EQ(read->state.permanentAddress, u"02AABBCCDDEE");
    EXPECT_EQ(read->state.present, 1u);
    EXPECT_EQ(read->interfaceClasses, std::vector<std::u16string>{kInterface});

    EXPECT_EQ(FindDeviceByNetCfgInstanceId(u"{7ea00001-0000-4000-8000-00000000000a}"), u"ROOT\\QVTEST\\0000");
    EXPECT_EQ(FindDeviceByConnectionName(u"TEAM a"), u"ROOT\\QVTEST\\0000");
    EXPECT_EQ(FindDeviceByConnectionName(u"Local Area Connection 2"), kPort1);
    EXPECT_EQ(FindDeviceByConnectionName(u"Team"), std::nullopt);
    EXPECT_EQ(FindDeviceByNetCfgInstanceId(u"{00000000-0000-0000-0000-000000000000}"), std::nullopt);

    const struct {
        std::u16string_view enumerator, classGuid;
        size_t count;
    } lists[] = {{u"", u"", 8},
                 {u"", kNetClassGuid, 6},
                 {u"ROOT", u"", 3},
                 {u"root", kNetClassGuid, 1},
                 {u"PCI", kSystemClassGuid, 0},
                 {u"ROOT", kSystemClassGuid, 2}};
    for (const auto& l : lists) {
        SCOPED_TRACE(std::string(l.enumerator.begin(), l.enumerator.end()));
        EXPECT_EQ(ListDevices(l.enumerator, l.classGuid, &status).size(), l.count);
        EXPECT_EQ(status, kErrorSuccess);
    }
}

TEST(DeviceDatabase, RemovalLeavesTheRegistryAsItWas) {
    TempMachine machine;
    const std::string before = qv::testing::ExportRegistry();
    DeviceRecord made = VirtualAdapter();
    ASSERT_EQ(CreateDevice(&made), kErrorSuccess);
    DeviceRecord second =
        VirtualAdapter(u"ROOT\\QVTEST\\0001", u"{7EA00002-0000-4000-8000-00000000000B}", u"Team B");
    ASSERT_EQ(CreateDevice(&second), kErrorSuccess);
    EXPECT_EQ(second.driverKey, std::u16string(kNetClassGuid) + u"\\0006");

    ASSERT_EQ(RemoveDevice(u"ROOT\\QVTEST\\0001"), kErrorSuccess);
    // The device key stays while it holds another instance.
    EXPECT_TRUE(ReadDevice(u"ROOT\\QVTEST\\0000"));
    EXPECT_EQ(ReadDevice(u"ROOT\\QVTEST\\0001"), std::nullopt);
    ASSERT_EQ(RemoveDevice(u"ROOT\\QVTEST\\0000"), kErrorSuccess);
    EXPECT_TRUE(qv::testing::SameText(before, qv::testing::ExportRegistry(), "export"));

    LStatus status = kErrorSuccess;
    EXPECT_EQ(ReadDevice(u"ROOT\\QVTEST\\0000", &status), std::nullopt);
    EXPECT_EQ(status, kErrorFileNotFound);
    EXPECT_EQ(RemoveDevice(u"ROOT\\QVTEST\\0000"), kErrorFileNotFound);
    EXPECT_EQ(FindDeviceByConnectionName(u"Team A"), std::nullopt);
}

TEST(DeviceDatabase, ExistingNodeIsRefusedAndFreedDriverKeysAreReused) {
    TempMachine machine;
    const std::string before = qv::testing::ExportRegistry();
    DeviceRecord again = VirtualAdapter(kPort1, u"{7EA00001-0000-4000-8000-00000000000A}", u"Other");
    EXPECT_EQ(CreateDevice(&again), kDeviceExists);
    EXPECT_TRUE(qv::testing::SameText(before, qv::testing::ExportRegistry(), "export"));
    DeviceRecord unnamed;
    EXPECT_EQ(CreateDevice(&unnamed), kErrorInvalidParameter);

    // The second port holds 0001; once it is gone a new adapter takes that number.
    ASSERT_EQ(RemoveDevice(kPort1), kErrorSuccess);
    EXPECT_EQ(FindDeviceByNetCfgInstanceId(u"{5A5A0005-0000-4000-8000-000000000002}"), std::nullopt);
    LStatus status = kErrorGenFailure;
    EXPECT_EQ(FreeDriverKey(kNetClassGuid, &status), std::u16string(kNetClassGuid) + u"\\0001");
    EXPECT_EQ(status, kErrorSuccess);
    DeviceRecord made = VirtualAdapter();
    ASSERT_EQ(CreateDevice(&made), kErrorSuccess);
    EXPECT_EQ(made.driverKey, std::u16string(kNetClassGuid) + u"\\0001");
    // A class without driver keys starts at 0000.
    EXPECT_EQ(FreeDriverKey(u"{00000000-0000-4000-8000-000000000001}", &status),
              u"{00000000-0000-4000-8000-000000000001}\\0000");
}

TEST(DeviceDatabase, DefaultBusDriverReadsBackWithItsInterface) {
    TempMachine machine;
    const auto bus = ReadDevice(u"ROOT\\QVVBD\\0001");
    ASSERT_TRUE(bus);
    EXPECT_EQ(bus->driverKey, std::u16string(kSystemClassGuid) + u"\\0001");
    EXPECT_EQ(bus->interfaceClasses, std::vector<std::u16string>{std::u16string(kBusDriverInterfaceGuid)});
    EXPECT_EQ(bus->state.card, 1u);
    EXPECT_EQ(bus->state.present, 1u);
    EXPECT_TRUE(bus->netCfgInstanceId.empty());
    EXPECT_TRUE(bus->connectionName.empty());
}

}  // namespace
}  // namespace qv::sim
