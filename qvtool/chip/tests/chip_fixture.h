// The suites of -q, -Q, -t and -u cim_*: whole runs on nic0, each test starting from the
// adapter's power-on chip state (contexts, descriptors, tables, CIM words) whatever the one
// before it changed.
#pragma once

#include <string>

#include "qv/testing/golden.h"
#include "test_support.h"

namespace qv::qvtool::test {

class ChipTest : public Nic0Test {
  protected:
    void SetUp() override {
        Nic0Test::SetUp();
        sim::n5::PowerOnChip(&adapter_->state().chip, adapter_->state().cim);
    }
    sim::n5::ChipState& chip() { return adapter_->state().chip; }
    uint64_t Requests(uint32_t function) const {
        return adapter_->state().counters.functionRequests[function];
    }

    static constexpr const char* kGoldenDir = "qvtool/chip/tests/golden/";
    static std::string Golden(const char* name) { return std::string(kGoldenDir) + name; }
};

}  // namespace qv::qvtool::test
