// NDIS queries on network adapters of the simulated host: which device paths open, the answer
// bytes of every OID for the three kinds of adapter, counters, buffer sizes and refused requests.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "qv/platform/deviceio.h"
#include "qv/sim/device_database.h"
#include "qv/sim/host_state.h"
#include "qv/sim/ndis_adapter.h"
#include "qv/testing/temp_machine.h"

namespace qv {
namespace {

constexpr const char* kN5First = "\\\\.\\{5A5A0005-0000-4000-8000-000000000001}";
constexpr const char* kN5Second = "\\\\.\\{5A5A0005-0000-4000-8000-000000000002}";
constexpr const char* kNorthwind = "\\\\.\\{6E770001-0000-4000-8000-000000000001}";
constexpr const char* kTeam = "\\\\.\\{7EA00001-0000-4000-8000-0000000000AA}";

using Bytes = std::vector<uint8_t>;

struct Answer {
    bool ok = false;
    Win32Error error = kErrorSuccess;
    Bytes bytes;
};

class NdisQueryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A team adapter as the teaming library leaves it: its miniport wrote its address.
        sim::DeviceRecord team;
        team.instanceId = u"ROOT\\QVTEAMMP\\0000";
        team.hardwareIds = {u"QV_QVTEAMMP"};
        team.service = u"qvteamm";
        team.classGuid = sim::kNetClassGuid;
        team.netCfgInstanceId = u"{7EA00001-0000-4000-8000-0000000000AA}";
        team.driverValues.values = {sim::RegValue::String(u"NetworkAddress", u"027EA0000001")};
        team.connectionName = u"Team A";
        ASSERT_EQ(sim::CreateDevice(&team), kErrorSuccess);
    }

    static Answer Query(const char* path, uint32_t oid, uint32_t outSize) {
        Answer answer;
        const HDevice device = io::CreateFileA(path, 0, 3, kOpenExisting, 0);
        EXPECT_NE(device, kInvalidDevice) << path;
        answer.bytes.assign(outSize, 0xEE);
        uint32_t returned = 0;
        answer.ok = io::DeviceIoControl(device, sim::kIoctlNdisQueryGlobalStats, &oid, sizeof oid,
                                        answer.bytes.data(), outSize, &returned);
        answer.error = answer.ok ? kErrorSuccess : GetLastError();
        answer.bytes.resize(answer.ok ? returned : 0);
        io::CloseHandle(device);
        return answer;
    }
    static uint32_t Word(const Bytes& b, size_t at) {
        uint32_t v = 0;
        std::memcpy(&v, b.data() + at, 4);
        return v;
    }

    testing::TempMachine machine_{testing::MachineOptions::Inventory()};
};

TEST_F(NdisQueryTest, OnlyPresentEnabledNetworkAdaptersOpen) {
    ASSERT_TRUE(sim::WriteDeviceState(*sim::FindDeviceByConnectionName(u"Local Area Connection 2"),
                                      sim::kStateDisabled, 1));
    ASSERT_TRUE(sim::WriteDeviceState(*sim::FindDeviceByConnectionName(u"Local Area Connection 3"),
                                      sim::kStatePresent, 0));
    const struct {
        const char* path;
        Win32Error error;  // kErrorSuccess: it opens
    } cases[] = {
        {kN5First, kErrorSuccess},
        {"\\\\.\\{5a5a0005-0000-4000-8000-000000000001}", kErrorSuccess},
        {kNorthwind, kErrorSuccess},
        {kTeam, kErrorSuccess},
        {kN5Second, kErrorFileNotFound},                                        // disabled
        {"\\\\.\\{5A5A0005-0000-4000-8000-000000000003}", kErrorFileNotFound},  // absent
        {"\\\\.\\{5A5A0005-0000-4000-8000-0000000000FF}", kErrorFileNotFound},  // unknown
        {"\\\\.\\{5A5A0005-0000-4000-8000-00000000000}", kErrorFileNotFound},   // not a GUID
        {"\\\\.\\", kErrorFileNotFound},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        const HDevice device = io::CreateFileA(c.path, 0, 3, kOpenExisting, 0);
        EXPECT_EQ(device != kInvalidDevice, c.error == kErrorSuccess) << c.path;
        if (device == kInvalidDevice) {
            EXPECT_EQ(GetLastError(), c.error) << c.path;
        } else {
            EXPECT_TRUE(io::CloseHandle(device));
        }
    }
}

TEST_F(NdisQueryTest, EachOidAnswersItsBytes) {
    const struct {
        const char* path;
        uint32_t oid;
        Bytes bytes;
    } cases[] = {
        {kN5First, sim::kOidCurrentAddress, {0x02, 0x5A, 0x5A, 0x00, 0x00, 0x00}},
        {kN5Second, sim::kOidPermanentAddress, {0x02, 0x5A, 0x5A, 0x00, 0x00, 0x01}},
        {kN5First, sim::kOidLinkSpeed, {0x00, 0xE1, 0xF5, 0x05}},   // 100 000 000: 10 Gb/s
        {kN5First, sim::kOidMediaConnectStatus, {0, 0, 0, 0}},      // connected
        {kN5First, sim::kOidMaximumFrameSize, {0xEA, 0x05, 0, 0}},  // 1514
        {kN5First, sim::kOidConnectionOffload6, {0xA7, 1, 20,   0,    2, 0, 0, 0, 0x41, 0,
                                                 0,    0, 0x00, 0x04, 0, 0, 0, 0, 0,    0}},
        {kNorthwind, sim::kOidCurrentAddress, {0x02, 0x6E, 0x77, 0x00, 0x00, 0x01}},
        {kNorthwind, sim::kOidLinkSpeed, {0x80, 0x96, 0x98, 0x00}},  // 10 000 000: 1 Gb/s
        {kTeam, sim::kOidCurrentAddress, {0x02, 0x7E, 0xA0, 0x00, 0x00, 0x01}},
        {kTeam, sim::kOidPermanentAddress, {0x02, 0x7E, 0xA0, 0x00, 0x00, 0x01}},
        {kTeam, sim::kOidLinkSpeed, {0x80, 0x96, 0x98, 0x00}},
        {kTeam, sim::kOidConnectionOffload6, {0xA7, 1, 20, 0, 0, 0, 0, 0, 0, 0,
                                              0,    0, 0,  0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const Answer a = Query(c.path, c.oid, 216);
        ASSERT_TRUE(a.ok) << c.path << " " << std::hex << c.oid << " error " << a.error;
        EXPECT_EQ(a.bytes, c.bytes) << c.path << " " << std::hex << c.oid;
    }
}

TEST_F(NdisQueryTest, Ndis6OffloadRecordFields) {
    const Answer a = Query(kN5First, sim::kOidTaskOffload6, 112);
    ASSERT_EQ(a.bytes.size(), 112u);
    EXPECT_EQ(Word(a.bytes, 0), 0x007001A7u);  // type 0xA7, revision 1, size 112
    // IEEE 802.3 in the four checksum parts and the three large send parts; no IPsec, no flags.
    for (const size_t at : {4, 12, 20, 28, 36, 80, 92}) EXPECT_EQ(Word(a.bytes, at), 2u) << at;
    for (const size_t at : {52, 76, 108}) EXPECT_EQ(Word(a.bytes, at), 0u) << at;
    EXPECT_EQ(Word(a.bytes, 8), 0x155u);  // IPv4 transmit: five fields supported
    EXPECT_EQ(Word(a.bytes, 32), 0x55u);  // IPv6 receive: four
    EXPECT_EQ(Word(a.bytes, 84), 65536u);
}

TEST_F(NdisQueryTest, Ndis5TaskOffloadWalksToEachTask) {
    ASSERT_TRUE(sim::WriteNdisFact(u"{5A5A0005-0000-4000-8000-000000000001}", sim::kNdisOffloadForm, 5));
    const struct {
        const char* path;
        std::vector<uint32_t> tasks;
    } cases[] = {{kNorthwind, {0, 2}}, {kN5First, {0, 2, 3}}};
    for (const auto& c : cases) {
        const Answer a = Query(c.path, sim::kOidTaskOffload5, 216);
        ASSERT_TRUE(a.ok) << c.path;
        EXPECT_EQ(Word(a.bytes, 0), 1u);
        EXPECT_EQ(Word(a.bytes, 4), 28u);
        EXPECT_EQ(Word(a.bytes, 16), 2u);  // IEEE 802.3
        std::vector<uint32_t> tasks;
        size_t at = Word(a.bytes, 12);
        while (at != 0 && at + 20 <= a.bytes.size() && tasks.size() < 8) {
            const uint32_t number = Word(a.bytes, at + 8);
            tasks.push_back(number);
            if (number == 0) {
                EXPECT_EQ(Word(a.bytes, at + 20), 0x1Fu) << c.path;
            } else if (number == 2) {
                EXPECT_EQ(Word(a.bytes, at + 24), 65536u) << c.path;
            }
            const uint32_t next = Word(a.bytes, at + 12);
            at = next == 0 ? 0 : at + next;
        }
        EXPECT_EQ(tasks, c.tasks) << c.path;
        EXPECT_EQ(a.bytes.size(), c.tasks.size() == 3 ? 120u : 100u) << c.path;
    }
}

TEST_F(NdisQueryTest, CountersAnswerTheirValueThenAdvanceByTheirStep) {
    for (size_t row = 0; row < 21; ++row) {
        const uint32_t oid = sim::kStatisticsOids[row];
        for (uint64_t query = 0; query < 3; ++query) {
            const Answer a = Query(kN5First, oid, 8);
            ASSERT_TRUE(a.ok);
            uint64_t value = 0;
            std::memcpy(&value, a.bytes.data(), 8);
            EXPECT_EQ(value, query * (row + 1)) << std::hex << oid;
        }
    }
    // Counters are per adapter.
    const Answer other = Query(kN5Second, sim::kStatisticsOids[0], 8);
    EXPECT_EQ(other.bytes, Bytes(8, 0));
}

TEST_F(NdisQueryTest, RefusedRequests) {
    ASSERT_TRUE(
        sim::WriteNdisCounter(u"{5A5A0005-0000-4000-8000-000000000001}", 0x00020101, 0x1122334455667788));
    const struct {
        const char* path;
        uint32_t oid;
        uint32_t outSize;
        Win32Error error;
    } cases[] = {
        {kN5First, sim::kOidCurrentAddress, 5, kErrorInsufficientBuffer},
        {kN5First, sim::kOidLinkSpeed, 3, kErrorInsufficientBuffer},
        {kN5First, sim::kOidTaskOffload6, 111, kErrorInsufficientBuffer},
        {kN5First, sim::kOidConnectionOffload6, 19, kErrorInsufficientBuffer},
        {kN5First, 0x00020101, 7, kErrorInsufficientBuffer},
        {kNorthwind, sim::kOidTaskOffload5, 99, kErrorInsufficientBuffer},
        {kN5First, sim::kOidTaskOffload5, 216, kErrorNotSupported},
        {kNorthwind, sim::kOidTaskOffload6, 112, kErrorNotSupported},
        {kNorthwind, sim::kOidConnectionOffload6, 20, kErrorNotSupported},
        {kN5First, 0x00010101, 64, kErrorNotSupported},
        {kN5First, 0, 64, kErrorNotSupported},
    };
    for (const auto& c : cases) {
        const Answer a = Query(c.path, c.oid, c.outSize);
        EXPECT_FALSE(a.ok) << c.path << " " << std::hex << c.oid;
        EXPECT_EQ(a.error, c.error) << c.path << " " << std::hex << c.oid;
    }
    // The short-buffer query did not move the counter.
    EXPECT_EQ(Query(kN5First, 0x00020101, 8).bytes, (Bytes{0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}));

    const HDevice device = io::CreateFileA(kN5First, 0, 3, kOpenExisting, 0);
    ASSERT_NE(device, kInvalidDevice);
    uint8_t out[8];
    uint32_t oid = sim::kOidLinkSpeed;
    EXPECT_FALSE(io::DeviceIoControl(device, 0x00170006, &oid, 4, out, 8, nullptr));
    EXPECT_EQ(GetLastError(), kErrorInvalidFunction);
    EXPECT_FALSE(io::DeviceIoControl(device, sim::kIoctlNdisQueryGlobalStats, &oid, 2, out, 8, nullptr));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_FALSE(io::DeviceIoControl(device, sim::kIoctlNdisQueryGlobalStats, nullptr, 4, out, 8, nullptr));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_TRUE(io::CloseHandle(device));
    EXPECT_FALSE(io::DeviceIoControl(device, sim::kIoctlNdisQueryGlobalStats, &oid, 4, out, 8, nullptr));
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
}

}  // namespace
}  // namespace qv
