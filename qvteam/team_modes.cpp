#include "team_modes.h"

#include <array>
#include <string>

#include "qv/platform/utf.h"
#include "qv/teamlib/team_store.h"

namespace qv::qvteam {
namespace {

struct ModeWordRow {
    int32_t teamMode;
    std::string_view word;
};
constexpr std::array kModeWords{
    ModeWordRow{QV_MODE_ACTIVE_BACKUP, "active-backup"},
    ModeWordRow{QV_MODE_TLB, "tlb"},
    ModeWordRow{QV_MODE_LACP, "lacp"},
    ModeWordRow{QV_MODE_FAILBACK, "active-backup-failback"},
};
constexpr std::string_view kUnknownMode = "unknown";

}  // namespace

std::string_view ModeWord(int32_t teamMode) {
    for (const ModeWordRow& row : kModeWords) {
        if (row.teamMode == teamMode) return row.word;
    }
    return kUnknownMode;
}

std::string ModeText(int32_t teamMode) {
    const TeamModeInfo* mode = FindTeamMode(teamMode);
    return mode != nullptr ? ToUtf8(mode->guiName) : std::string(kUnknownMode);
}

std::optional<int32_t> ModeFromWord(std::string_view word) {
    for (const ModeWordRow& row : kModeWords) {
        if (row.word == word) return row.teamMode;
    }
    return std::nullopt;
}

}  // namespace qv::qvteam
