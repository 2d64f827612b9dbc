// The simulator's copies of the tool's tables against the originals: the JTAG device models row by
// row (names, profiles and order, so lookups find the same row) and the queue-set parameter names.
#include <gtest/gtest.h>

#include <string>

#include "qv/qvtool/jtag/known_devices.h"
#include "qv/qvtool/qset_params.h"
#include "qv/sim/n5/adapter_info_state.h"
#include "qv/sim/n5/jtag_devices.h"

namespace {

namespace n5 = qv::sim::n5;
namespace tool = qv::qvtool;

TEST(ToolTablesTest, JtagDeviceModelsAreTheToolsKnownDevices) {
    const auto models = n5::JtagDeviceModels();
    const auto known = tool::KnownJtagDevices();
    ASSERT_EQ(models.size(), known.size());
    for (size_t i = 0; i < models.size(); ++i) {
        const n5::JtagDeviceModel& m = models[i];
        const tool::JtagDevice& d = known[i];
        SCOPED_TRACE(d.name);
        EXPECT_EQ(std::string(m.name), d.name) << i;
        EXPECT_EQ(m.profile.idcode, d.idcode) << i;
        EXPECT_EQ(m.profile.irLength, d.irLength) << i;
        EXPECT_EQ(m.profile.idcodeInstruction, d.idcodeInstruction) << i;
        EXPECT_EQ(m.profile.configureInstruction, d.configureInstruction) << i;
        EXPECT_EQ(m.profile.configBits, d.configBits) << i;
        EXPECT_EQ(n5::FindJtagDeviceModel(m.profile.idcode) - models.data(),
                  tool::FindJtagDevice(d.idcode) - known.data());
        EXPECT_EQ(n5::FindJtagDeviceModelByName(m.name) - models.data(),
                  tool::FindJtagDeviceByName(d.name) - known.data());
    }
    EXPECT_EQ(n5::FindJtagDeviceModel(n5::kJtagUnknownIdcode), nullptr);
    EXPECT_EQ(tool::FindJtagDevice(n5::kJtagUnknownIdcode), nullptr);
}

TEST(ToolTablesTest, QsetParametersAreNamedAsTheToolNamesThem) {
    ASSERT_EQ(static_cast<int>(n5::kQsetParamCount), tool::kQsetParamCount);
    for (uint32_t i = 0; i < n5::kQsetParamCount; ++i) {
        EXPECT_STREQ(n5::kQsetParamNames[i], tool::kQsetParamNames[i]) << i;
    }
}

}  // namespace
