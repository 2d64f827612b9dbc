// qvsim ndis: each change shows in the answer of the adapter's NDIS query, and bad arguments are
// usage errors that change nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "qv/platform/deviceio.h"
#include "qv/sim/machine.h"
#include "qv/sim/ndis_adapter.h"
#include "qvsim_run.h"

namespace qvsim::testing {
namespace {

constexpr const char* kFirstN5 = "\\\\.\\{5A5A0005-0000-4000-8000-000000000001}";

// The answer of one query in this process on the sandbox's machine; empty when it fails.
std::vector<uint8_t> Query(const Sandbox& box, const char* path, uint32_t oid) {
    qv::sim::SelectMachine(box.machine());
    const qv::HDevice device = qv::io::CreateFileA(path, 0, 3, qv::kOpenExisting, 0);
    if (device == qv::kInvalidDevice) return {};
    std::vector<uint8_t> out(216);
    uint32_t returned = 0;
    const bool ok = qv::io::DeviceIoControl(device, qv::sim::kIoctlNdisQueryGlobalStats, &oid, sizeof oid,
                                            out.data(), static_cast<uint32_t>(out.size()), &returned);
    qv::io::CloseHandle(device);
    out.resize(ok ? returned : 0);
    return out;
}

TEST(QvsimNdis, ChangesShowInTheQueries) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--cards", "1"}).status, 0);
    using Bytes = std::vector<uint8_t>;
    const struct {
        std::initializer_list<std::string> args;
        uint32_t oid;
        Bytes answer;  // empty: the query fails
    } steps[] = {
        {{"ndis", "Local Area Connection", "link", "disconnected"},
         qv::sim::kOidMediaConnectStatus,
         {1, 0, 0, 0}},
        {{"ndis", "Local Area Connection", "link", "connected"},
         qv::sim::kOidMediaConnectStatus,
         {0, 0, 0, 0}},
        {{"ndis", "{5a5a0005-0000-4000-8000-000000000001}", "speed", "1000000"},
         qv::sim::kOidLinkSpeed,
         {0x40, 0x42, 0x0F, 0}},
        {{"ndis", "Local Area Connection", "mtu", "9014"}, qv::sim::kOidMaximumFrameSize, {0x36, 0x23, 0, 0}},
        {{"ndis", "Local Area Connection", "toe", "off"},
         qv::sim::kOidConnectionOffload6,
         {0xA7, 1, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {{"ndis", "Local Area Connection", "offload", "ndis5"}, qv::sim::kOidTaskOffload6, {}},
        {{"ndis", "Local Area Connection", "counter", "0x0002020D", "4294967296"},
         0x0002020D,
         {0, 0, 0, 0, 1, 0, 0, 0}},
    };
    for (const auto& step : steps) {
        const Result result = box.Run(step.args);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(Query(box, kFirstN5, step.oid), step.answer) << *std::next(step.args.begin(), 2);
    }
    EXPECT_EQ(Query(box, kFirstN5, qv::sim::kOidTaskOffload5).size(), 100u);  // no TOE task any more
}

TEST(QvsimNdis, BadArgumentsAreUsageErrors) {
    Sandbox box;
    ASSERT_EQ(box.Run({"init", "--cards", "1"}).status, 0);
    const std::initializer_list<std::string> bad[] = {
        {"ndis", "Local Area Connection", "link", "up"},
        {"ndis", "Local Area Connection", "speed", "0"},
        {"ndis", "Local Area Connection", "speed", "-1"},
        {"ndis", "Local Area Connection", "offload", "ndis4"},
        {"ndis", "Local Area Connection", "toe", "yes", "no"},
        {"ndis", "Local Area Connection", "counter", "0x00010107", "1"},  // not a counter
        {"ndis", "Local Area Connection", "counter", "0x00020101"},
        {"ndis", "Local Area Connection", "colour", "blue"},
        {"ndis", "Local Area Connection"},
    };
    for (const auto& args : bad) EXPECT_EQ(box.Run(args).status, 2) << *std::next(args.begin(), 2);
    const Result unknown = box.Run({"ndis", "No Such Connection", "link", "connected"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "qvsim: ndis: no network adapter 'No Such Connection'\n");
    EXPECT_EQ(Query(box, kFirstN5, qv::sim::kOidLinkSpeed), (std::vector<uint8_t>{0x00, 0xE1, 0xF5, 0x05}));
}

}  // namespace
}  // namespace qvsim::testing
