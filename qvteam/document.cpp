#include "document.h"

#include <algorithm>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

#include "qv/platform/utf.h"
#include "qv/teamlib/text.h"
#include "team_modes.h"

namespace qv::qvteam {
namespace {

using Json = nlohmann::json;

constexpr int kMaxDepth = 16;

// A fault found while the text is parsed (a key given twice, nesting too deep).
struct ParseFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A key as a JSON pointer writes it.
std::string Escaped(std::string_view key) {
    std::string out;
    for (const char c : key) {
        if (c == '~') {
            out += "~0";
        } else if (c == '/') {
            out += "~1";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Child(const std::string& pointer, std::string_view key) {
    return pointer + "/" + Escaped(key);
}

std::string Child(const std::string& pointer, size_t index) {
    return pointer + "/" + std::to_string(index);
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// "00-07-43-12-34-56" or with colons, any case: the upper-case form with hyphens, or none.
std::optional<std::string> NormalMac(std::string_view text) {
    if (text.size() != 17) return std::nullopt;
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i % 3 == 2) {
            if (c != '-' && c != ':') return std::nullopt;
            out += '-';
        } else {
            if (!IsHex(c)) return std::nullopt;
            out += Upper(c);
        }
    }
    return out;
}

// "{8-4-4-4-12 hex digits}": the upper-case form, or none.
std::optional<std::string> NormalGuid(std::string_view text) {
    static constexpr std::string_view kShape = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (text.size() != kShape.size()) return std::nullopt;
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] == 'x' ? !IsHex(text[i]) : text[i] != kShape[i]) return std::nullopt;
        out += Upper(text[i]);
    }
    return out;
}

bool HasControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// The checks of the schema, field by field; the first fault ends the reading.
class Reader {
  public:
    explicit Reader(DocumentFault* fault) : fault_(fault) {}

    bool Read(const Json& root, Document* document) {
        if (!Fields(root, "", {"schema", "version", "teams", "adapterVlans"})) return false;
        if (root["schema"] != "qvteam-state") return Fail("/schema", "must be \"qvteam-state\"");
        const Json& version = root["version"];
        if (!version.is_number_integer()) return Fail("/version", "must be a whole number");
        if (version != 1)
            return Fail("/version",
                        "version " + version.dump() + " is not known: this qvteam reads version 1");
        return Teams(root["teams"], "/teams", &document->teams) &&
               AdapterVlans(root["adapterVlans"], "/adapterVlans", &document->adapterVlans);
    }

  private:
    // A fault of the whole document says so, since it has no pointer to stand before it.
    bool Fail(std::string pointer, std::string message) {
        if (pointer.empty()) message = "the document " + message;
        *fault_ = DocumentFault{std::move(pointer), std::move(message)};
        return false;
    }

    // An object with exactly these fields.
    bool Fields(const Json& value, const std::string& at, std::initializer_list<std::string_view> fields) {
        if (!value.is_object()) return Fail(at, "must be an object");
        for (const auto& item : value.items()) {
            if (std::find(fields.begin(), fields.end(), item.key()) == fields.end()) {
                return Fail(Child(at, item.key()), "is not a field of this object");
            }
        }
        for (const std::string_view field : fields) {
            if (!value.contains(field)) return Fail(at, "needs the field \"" + std::string(field) + "\"");
        }
        return true;
    }

    bool Array(const Json& value, const std::string& at, size_t least, size_t most, const char* what) {
        if (!value.is_array()) return Fail(at, "must be an array");
        if (value.size() < least) return Fail(at, "needs at least " + std::to_string(least) + " " + what);
        if (value.size() > most) return Fail(at, "holds more than " + std::to_string(most) + " " + what);
        return true;
    }

    bool Text(const Json& value, const std::string& at, size_t maxUnits, std::string* out) {
        if (!value.is_string()) return Fail(at, "must be a string");
        const auto& text = value.get_ref<const std::string&>();
        if (text.empty()) return Fail(at, "must not be empty");
        if (FromUtf8(text).size() > maxUnits) {
            return Fail(at, "is longer than " + std::to_string(maxUnits) + " characters");
        }
        if (HasControl(text)) return Fail(at, "must not hold control characters");
        *out = text;
        return true;
    }

    bool Selector(const Json& value, const std::string& at, AdapterSelector* selector) {
        static constexpr AdapterKey kKeys[] = {AdapterKey::kConnectionName, AdapterKey::kPermanentMac,
                                               AdapterKey::kDescription, AdapterKey::kGuid};
        if (!value.is_object() || value.size() != 1) {
            return Fail(at,
                        "must name the adapter by one of connectionName, permanentMac, description or guid");
        }
        // The object's own iterator: a binding to *items().begin() would refer to a proxy that ends
        // with the statement.
        const auto only = value.begin();
        const std::string& key = only.key();
        const Json& fact = only.value();
        const auto* known = std::find_if(std::begin(kKeys), std::end(kKeys),
                                         [&](AdapterKey k) { return AdapterKeyName(k) == key; });
        if (known == std::end(kKeys)) return Fail(Child(at, key), "is not a way to name an adapter");
        selector->key = *known;
        selector->pointer = Child(at, key);
        if (!Text(fact, selector->pointer, kMaxNameUnits, &selector->value)) return false;
        std::optional<std::string> normal = selector->value;
        if (*known == AdapterKey::kPermanentMac) normal = NormalMac(selector->value);
        if (*known == AdapterKey::kGuid) normal = NormalGuid(selector->value);
        if (!normal) {
            return Fail(selector->pointer, *known == AdapterKey::kGuid
                                               ? "must be a GUID in braces"
                                               : "must be six hex bytes like 00-07-43-12-34-56");
        }
        selector->value = *normal;
        return true;
    }

    // The VLANs over one parent: names and ids differ from each other, as the teaming commands need.
    bool Vlans(const Json& value, const std::string& at, std::vector<DesiredVlan>* vlans) {
        if (!Array(value, at, 0, kMaxVlansPerParent, "VLANs")) return false;
        for (size_t i = 0; i < value.size(); ++i) {
            const Json& item = value[i];
            DesiredVlan vlan;
            vlan.pointer = Child(at, i);
            if (!Fields(item, vlan.pointer, {"name", "id"}) ||
                !Text(item["name"], Child(vlan.pointer, "name"), kMaxNameUnits, &vlan.name)) {
                return false;
            }
            const Json& id = item["id"];
            if (!id.is_number_integer() || id < 1 || id > kMaxVlanId) {
                return Fail(Child(vlan.pointer, "id"), "must be a whole number from 1 to 4095");
            }
            vlan.id = id.get<uint32_t>();
            for (const DesiredVlan& before : *vlans) {
                if (U16EqualNoCase(FromUtf8(before.name), FromUtf8(vlan.name))) {
                    return Fail(Child(vlan.pointer, "name"),
                                "is the name of another VLAN over the same parent");
                }
                if (before.id == vlan.id) {
                    return Fail(Child(vlan.pointer, "id"), "is the id of another VLAN over the same parent");
                }
            }
            vlans->push_back(std::move(vlan));
        }
        return true;
    }

    bool Team(const Json& value, const std::string& at, DesiredTeam* team) {
        team->pointer = at;
        if (!Fields(value, at, {"name", "mode", "members", "vlans"}) ||
            !Text(value["name"], Child(at, "name"), kMaxTeamNameUnits, &team->name)) {
            return false;
        }
        const Json& mode = value["mode"];
        const std::optional<int32_t> teamMode =
            mode.is_string() ? ModeFromWord(mode.get_ref<const std::string&>()) : std::nullopt;
        if (!teamMode) {
            return Fail(Child(at, "mode"), "must be one of active-backup, tlb, lacp, active-backup-failback");
        }
        team->teamMode = *teamMode;
        const Json& members = value["members"];
        const std::string membersAt = Child(at, "members");
        if (!Array(members, membersAt, kMinTeamMembers, kMaxTeamMembersInDocument, "members")) return false;
        const bool activeBackup = mode == "active-backup" || mode == "active-backup-failback";
        if (activeBackup && (members.size() == 3 || members.size() == 4)) {
            return Fail(membersAt, "an active-backup team takes 2 or 5 to 8 members, not 3 or 4");
        }
        for (size_t i = 0; i < members.size(); ++i) {
            if (!Selector(members[i], Child(membersAt, i), &team->members.emplace_back())) return false;
        }
        return Vlans(value["vlans"], Child(at, "vlans"), &team->vlans);
    }

    bool Teams(const Json& value, const std::string& at, std::vector<DesiredTeam>* teams) {
        if (!Array(value, at, 0, kMaxDocumentTeams, "teams")) return false;
        for (size_t i = 0; i < value.size(); ++i) {
            DesiredTeam& team = teams->emplace_back();
            if (!Team(value[i], Child(at, i), &team)) return false;
            for (size_t j = 0; j + 1 < teams->size(); ++j) {
                if (U16EqualNoCase(FromUtf8((*teams)[j].name), FromUtf8(team.name))) {
                    return Fail(Child(team.pointer, "name"), "is the name of another team");
                }
            }
        }
        return true;
    }

    bool AdapterVlans(const Json& value, const std::string& at, std::vector<DesiredAdapterVlans>* out) {
        if (!value.is_array()) return Fail(at, "must be an array");
        for (size_t i = 0; i < value.size(); ++i) {
            const std::string itemAt = Child(at, i);
            DesiredAdapterVlans& entry = out->emplace_back();
            if (!Fields(value[i], itemAt, {"adapter", "vlans"}) ||
                !Selector(value[i]["adapter"], Child(itemAt, "adapter"), &entry.adapter) ||
                !Vlans(value[i]["vlans"], Child(itemAt, "vlans"), &entry.vlans)) {
                return false;
            }
        }
        return true;
    }

    DocumentFault* fault_;
};

// Parses text, refusing a key given twice in one object (the parser would keep the last) and
// nesting deeper than any document needs.
Json Parse(std::string_view text) {
    std::vector<std::set<std::string>> keys;
    const Json::parser_callback_t check = [&](int depth, Json::parse_event_t event, Json& parsed) {
        if (depth > kMaxDepth)
            throw ParseFault("nested deeper than " + std::to_string(kMaxDepth) + " levels");
        if (event == Json::parse_event_t::object_start) keys.emplace_back();
        if (event == Json::parse_event_t::object_end && !keys.empty()) keys.pop_back();
        if (event == Json::parse_event_t::key && !keys.empty() &&
            !keys.back().insert(parsed.get<std::string>()).second) {
            throw ParseFault("the field \"" + parsed.get<std::string>() + "\" is given twice in one object");
        }
        return true;
    };
    return Json::parse(text, check);
}

}  // namespace

std::string_view AdapterKeyName(AdapterKey key) {
    switch (key) {
        case AdapterKey::kConnectionName:
            return "connectionName";
        case AdapterKey::kPermanentMac:
            return "permanentMac";
        case AdapterKey::kDescription:
            return "description";
        case AdapterKey::kGuid:
            return "guid";
    }
    return "";
}

std::optional<Document> ReadDocument(std::string_view text, DocumentFault* fault) {
    if (text.size() > kMaxDocumentBytes) {
        *fault = DocumentFault{"", "the file is larger than 1 MiB"};
        return std::nullopt;
    }
    Json root;
    try {
        root = Parse(text);
    } catch (const Json::exception& error) {
        // A syntax error or a number too large for a double: "[json.exception.parse_error.101] parse
        // error at line 2, column 3: ..." or "[json.exception.out_of_range.406] number overflow
        // parsing '1e999'", the part after "] ".
        const std::string what = error.what();
        const size_t start = what.find("] ");
        *fault =
            DocumentFault{"", "not JSON: " + (start == std::string::npos ? what : what.substr(start + 2))};
        return std::nullopt;
    } catch (const ParseFault& error) {
        *fault = DocumentFault{"", std::string("not a document: ") + error.what()};
        return std::nullopt;
    }
    Document document;
    if (!Reader(fault).Read(root, &document)) return std::nullopt;
    return document;
}

}  // namespace qv::qvteam
