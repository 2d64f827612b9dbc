// The simulator's statistics layout against the tool's report tables: every counter the tool prints
// lies where the simulator keeps the field of that name (the first line of a name), with the same
// width, and the simulator names no field the tool does not print. A wrong offset on either side
// fails here.
#include "qv/sim/n5/statistics_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "qv/qvtool/reports/report_tables.h"

namespace {

namespace n5 = qv::sim::n5;
namespace tool = qv::qvtool;

TEST(StatisticsLayoutTest, EveryNamedFieldIsWhereTheToolPrintsIt) {
    const struct {
        const char* record;
        std::span<const tool::CounterLine> lines;
        std::span<const n5::StatsField> fields;
    } kRecords[] = {
        {"mac", tool::MacCounterLines(), n5::kMacStatsFields},
        {"qs", tool::QsetCounterLines(), n5::kQsetStatsFields},
        {"intr", tool::IntrCounterLines(), n5::kInterruptStatsFields},
        {"ip", tool::IpCounterLines(), n5::kIpStatsFields},
        {"tcp", tool::TcpCounterLines(), n5::kTcpStatsFields},
        {"toe", tool::OffloadCounterLines(), n5::kOffloadStatsFields},
    };
    for (const auto& r : kRecords) {
        std::set<std::string> printed;
        for (const tool::CounterLine& line : r.lines) {
            if (line.format == tool::FieldFormat::kHeading) continue;
            const std::string name(tool::CounterName(line.label));
            if (!printed.insert(name).second) continue;  // a later line of the same name
            const n5::StatsField* field = n5::FindStatsField(r.fields, name);
            ASSERT_NE(field, nullptr) << r.record << " " << name;
            EXPECT_EQ(field->offset, line.offset) << r.record << " " << name;
            EXPECT_EQ(field->width, tool::FieldWidth(line.format)) << r.record << " " << name;
        }
        EXPECT_EQ(r.fields.size(), printed.size())
            << r.record << ": the simulator names a field the tool does not print";
    }
}

TEST(StatisticsLayoutTest, PipelineCountersAreNamedAsTheToolPrintsThem) {
    const auto labels = tool::PipelineCounterLabels();
    const auto names = n5::kPipelineCounterNames;
    ASSERT_EQ(names.size(), labels.size());
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(names[i], tool::CounterName(labels[i])) << i;
}

}  // namespace
