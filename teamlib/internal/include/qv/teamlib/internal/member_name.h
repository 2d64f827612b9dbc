// The friendly name of a team member. While an adapter is a member, its friendly name is
// "<team name>:<its own name>"; when it leaves the team it gets its own name back.
#pragma once

#include <cstdint>
#include <string_view>

#include "qv/platform/devinst.h"

namespace qv {

// Team members' friendly names are read and written in at most this many bytes.
constexpr uint32_t kMemberNameBytes = 512;

// When the adapter's friendly name (else description, read as nameBytes bytes) begins with
// teamName (case-sensitive) and goes on after it, sets the friendly name to the text after the
// team name and one more character (the ":"), formatted into 256 units and stored in at most
// nameBytes bytes (at most 520). A name that is only the team name, or an empty team name, is left alone.
// caller names the operation in trace lines. True when the name was rewritten.
bool RestoreMemberName(HDevInfo set, DevInfoData* device, std::u16string_view teamName, uint32_t nameBytes,
                       const char16_t* caller);

}  // namespace qv
