// The names qvteam gives the team modes: the documents' stable words and the human texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace qv::qvteam {

// The word of a stored TeamMode in documents ("active-backup", "tlb", "lacp",
// "active-backup-failback"); "unknown" for any other value.
std::string_view ModeWord(int32_t teamMode);

// The human name of a stored TeamMode (as the GUI names it); "unknown" for any other value.
std::string ModeText(int32_t teamMode);

// The TeamMode a document word stands for.
std::optional<int32_t> ModeFromWord(std::string_view word);

}  // namespace qv::qvteam
