#include "create_log.h"

#include <algorithm>
#include <memory>

#include "log_file.h"
#include "qv/platform/guid.h"
#include "qv/teamlib/text.h"

namespace qv::teamcmd {
namespace {

constexpr int kMaxMembers = 8;
constexpr int kMinMembers = 2;

// The mode line of each mode number, and the member counts after which the log adds a warning.
struct ModeLogLine {
    int modeNumber;
    const char* text;
    int warnFrom;  // "Invalid Number of Argument" when warnFrom <= numNics <= 4; 0: never
};
constexpr ModeLogLine kModeLines[] = {
    {1, "Selected Mode is: ACTIVE BACKUP \n", 3},
    {2, "Selected Mode is: Tx LOAD BALANCING \n", 0},
    {3, "Selected Mode is: 802.3ad LACP \n", 0},
    {4, "Selected Mode is: FAILBACK WITH ACTIVE BACKUP \n", 4},
};

int Count(const AdapterTable& table) {
    return std::clamp(table.count, 0, kAdapterTableCapacity);
}

bool WasPresent(const AdapterTable& before, const char16_t* connectionName) {
    for (int i = 0; i < Count(before); ++i) {
        if (U16EqualNoCase(before.connectionNames[i], connectionName)) return true;
    }
    return false;
}

void WriteSummary(std::FILE* log, const CommandRecord& record, const CreateSummary& summary,
                  const AdapterTable& teamAdaptersBefore) {
    LogPrint(log, "Number Of Nics Selected is %d \n", summary.numNics);
    LogPrint(log, "Team Number is: 0x%x \n", static_cast<unsigned>(summary.teamNumber));
    for (const ModeLogLine& line : kModeLines) {
        if (line.modeNumber != record.teamModeNumber) continue;
        LogPrint(log, "%s", line.text);
        if (line.warnFrom != 0 && summary.numNics >= line.warnFrom && summary.numNics <= 4) {
            LogPrint(log, "Invalid Number of Argument \n");
        }
    }
    if (summary.numNics > kMaxMembers) {
        LogPrintWide(log, u"Selected nic items are more than %d\n", kMaxMembers);
    } else if (summary.numNics < kMinMembers) {
        LogPrintWide(log, u"Selected nic items are less than %d\n", kMinMembers);
    }
    LogPrintWide(log, u"Selected NICs are \n");
    for (int k = 0; k < std::min(summary.numNics, kMaxCommandNames); ++k) {
        LogPrintWide(log, u" %s \n", record.names[k]);
    }
    auto after = std::make_unique<AdapterTable>();
    QueryAdapters(QV_POPULATE, kGuidDevClassNet, QV_KIND_TEAM_ADAPTERS, after.get());
    LogPrintWide(log, u"Virtual Adapter is \n");
    for (int i = 0; i < Count(*after); ++i) {
        if (!WasPresent(teamAdaptersBefore, after->connectionNames[i])) {
            LogPrintWide(log, u" %s \n", after->connectionNames[i]);
        }
    }
    LogPrintWide(log, summary.status == 0 ? u"Team Created Successfully \n" : u"Creating Team Failed \n");
}

}  // namespace

bool LogCreateStart(const CommandRecord& record) {
    std::FILE* log = OpenLogFile(record);
    if (log == nullptr) return false;
    WriteLogHeader(log);
    LogPrint(log, "Creating team \n");
    CloseLogFile(log);
    return true;
}

bool LogCreateLine(const CommandRecord& record, const char* text) {
    std::FILE* log = OpenLogFile(record);
    if (log == nullptr) return false;
    LogPrint(log, "%s", text);
    CloseLogFile(log);
    return true;
}

bool LogCreateSummary(const CommandRecord& record, const CreateSummary& summary,
                      const AdapterTable& teamAdaptersBefore) {
    std::FILE* log = OpenLogFile(record);
    if (log == nullptr) return false;
    WriteSummary(log, record, summary, teamAdaptersBefore);
    CloseLogFile(log);
    return true;
}

}  // namespace qv::teamcmd
