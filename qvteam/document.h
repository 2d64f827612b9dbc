// The desired-state document (docs/qvteam-state.schema.json): read from JSON text and checked
// field by field, so that a fault is named by its JSON pointer before anything is planned.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::qvteam {

// Documents larger than this are refused unread.
inline constexpr size_t kMaxDocumentBytes = 1 << 20;
// Names of VLANs and adapters, in UTF-16 units, as the teaming commands take them; a team's name
// is shorter, since the removal of a team takes it in at most 259 bytes.
inline constexpr size_t kMaxNameUnits = 259;
inline constexpr size_t kMaxTeamNameUnits = 129;
// The teams a machine can have: the team store tells at most this many apart.
inline constexpr size_t kMaxDocumentTeams = 4;
inline constexpr size_t kMinTeamMembers = 2;
inline constexpr size_t kMaxTeamMembersInDocument = 8;
inline constexpr size_t kMaxVlansPerParent = 64;
inline constexpr uint32_t kMaxVlanId = 4095;

// How a document names an adapter: by exactly one of these facts.
enum class AdapterKey { kConnectionName, kPermanentMac, kDescription, kGuid };

struct AdapterSelector {
    AdapterKey key = AdapterKey::kConnectionName;
    std::string value;
    std::string pointer;  // where the selector stands in the document
};

struct DesiredVlan {
    std::string name;
    uint32_t id = 0;
    std::string pointer;
};

struct DesiredTeam {
    std::string name;
    int32_t teamMode = 0;                  // as stored (see team_modes.h)
    std::vector<AdapterSelector> members;  // by preference: the first is the primary
    std::vector<DesiredVlan> vlans;
    std::string pointer;
};

struct DesiredAdapterVlans {
    AdapterSelector adapter;
    std::vector<DesiredVlan> vlans;
};

struct Document {
    std::vector<DesiredTeam> teams;
    std::vector<DesiredAdapterVlans> adapterVlans;
};

// A refused document: the JSON pointer of the fault ("" for the whole document) and why.
struct DocumentFault {
    std::string pointer;
    std::string message;
};

// Reads and checks text; none with *fault set when the text is not a document of the schema.
std::optional<Document> ReadDocument(std::string_view text, DocumentFault* fault);

// The name of a selector's key as the document writes it ("connectionName", ...).
std::string_view AdapterKeyName(AdapterKey key);

}  // namespace qv::qvteam
