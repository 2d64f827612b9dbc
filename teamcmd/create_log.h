// The log of a create (-f): the opening burst, the one-line failure texts and the closing summary.
// Each writes one burst (open, write, close); false when the log cannot be opened, which ends the
// run with QV_LOG_FILE_UNAVAILABLE.
#pragma once

#include <cstdint>

#include "command_record.h"
#include "qv/teamlib/inventory.h"

namespace qv::teamcmd {

// The header and "Creating team \n".
bool LogCreateStart(const CommandRecord& record);

// One narrow text as it is.
bool LogCreateLine(const CommandRecord& record, const char* text);

// What the run did. numNics: members counted by the selection; teamNumber: the number written, 0
// when the run stopped before; teamAdaptersBefore: the team adapters present at the start (the
// new team's adapter is the one not among them).
struct CreateSummary {
    int numNics;
    int32_t teamNumber;
    uint32_t status;
};
bool LogCreateSummary(const CommandRecord& record, const CreateSummary& summary,
                      const AdapterTable& teamAdaptersBefore);

}  // namespace qv::teamcmd
