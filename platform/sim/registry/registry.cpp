// The registry port on the simulated host, over the machine's registry database.
#include "qv/platform/registry.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "database.h"
#include "qv/sim/handle_table.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/reg_names.h"
#include "qv/sim/registry_store.h"
#include "qv/sim/text_out.h"

namespace qv {
namespace reg {
namespace {

namespace regdb = qv::sim::regdb;
namespace regnames = qv::sim::regnames;

using regdb::Query;
using regdb::Stmt;
using regdb::Transaction;

// What a key handle refers to: the key's row id and the access granted when it was opened.
struct KeyRef {
    int64_t id = 0;
    uint32_t access = 0;
    bool underSystem = false;  // the key is HKEY_LOCAL_MACHINE\SYSTEM or lies below it
};

// A key handle's object in the handle table; the handle is tied to the machine it was opened on.
struct OpenKey : sim::HandleObject {
    static constexpr sim::HandleKind kKind = sim::HandleKind::kRegistryKey;
    explicit OpenKey(const KeyRef& opened) : ref(opened) {}
    KeyRef ref;
};

// The key rights a requested access grants, with generic rights mapped as Windows maps them.
uint32_t GrantedAccess(uint32_t sam) {
    if (sam & (kGenericAll | kMaximumAllowed)) return kKeyAllAccess;
    uint32_t access = sam & kKeyAllAccess;
    if (sam & (kGenericRead | kGenericExecute)) access |= kKeyRead;
    if (sam & kGenericWrite) access |= kKeyWrite;
    return access;
}

LStatus Resolve(HKey key, KeyRef* ref) {
    if (key == kHkeyLocalMachine) {
        *ref = {regdb::kRootKeyId, kKeyAllAccess, false};
        return kErrorSuccess;
    }
    const OpenKey* open = sim::Find<OpenKey>(key, regdb::Generation());
    if (open == nullptr) return kErrorInvalidHandle;
    *ref = open->ref;
    return kErrorSuccess;
}

LStatus ResolveFor(HKey key, uint32_t needed, KeyRef* ref) {
    const LStatus status = Resolve(key, ref);
    if (status != kErrorSuccess) return status;
    return (ref->access & needed) == needed ? kErrorSuccess : kErrorAccessDenied;
}

std::u16string_view View(const char16_t* text) {
    return text ? std::u16string_view(text) : u"";
}

// Splits a subkey path into its names. A leading backslash is refused; repeated and trailing
// backslashes separate like one, as on Windows.
LStatus SplitPath(const char16_t* subKey, std::vector<std::u16string_view>* names) {
    names->clear();
    const std::u16string_view path = View(subKey);
    if (!path.empty() && path.front() == u'\\') return kErrorBadPathname;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        const std::u16string_view name = path.substr(start, end - start);
        if (name.size() > kMaxKeyNameLength) return kErrorInvalidParameter;
        if (!name.empty()) names->push_back(name);
        start = end + 1;
    }
    return kErrorSuccess;
}

// Runs a statement whose one parameter is a key id; *row tells whether it returned a row.
LStatus RunOnKey(Stmt which, int64_t id, bool* row = nullptr) {
    Query q(which);
    q.Bind(1, id);
    bool ignored = false;
    return q.Step(row ? row : &ignored);
}

// kErrorKeyDeleted when key id has been deleted meanwhile (a handle to it may still be open).
LStatus RequireKey(int64_t id) {
    bool exists = false;
    const LStatus status = RunOnKey(Stmt::kKeyExists, id, &exists);
    return status != kErrorSuccess || exists ? status : kErrorKeyDeleted;
}

// The status for "not found" under key id: the key itself may have been deleted meanwhile.
LStatus Missing(int64_t id, LStatus otherwise) {
    const LStatus status = RequireKey(id);
    return status == kErrorSuccess ? otherwise : status;
}

// Lookups by name under a key, remembered while the connection's view stays the same (see
// sim::RegistryViewSerial): key paths share their first levels and callers ask for a value's size
// before its data, so most lookups of a process are answered here, not by the database.
template <typename Found, size_t kMaxEntries = 4096>
class SnapshotCache {
  public:
    const Found* Find(int64_t parent, std::string_view fold) {
        MakeKey(parent, fold);
        const auto it = entries_.find(key_);
        return it == entries_.end() ? nullptr : &it->second;
    }
    // Remembers what the last Find looked up.
    const Found* Remember(Found found) {
        if (entries_.size() >= kMaxEntries) entries_.clear();
        return &entries_.insert_or_assign(key_, std::move(found)).first->second;
    }
    // Remembers an answer that was learnt on the way (without a Find of its own).
    const Found* Put(int64_t parent, std::string_view fold, Found found) {
        MakeKey(parent, fold);
        return Remember(std::move(found));
    }

  private:
    // Forgets what an earlier view saw and makes the entry key of (parent, fold).
    void MakeKey(int64_t parent, std::string_view fold) {
        const uint64_t serial = sim::RegistryViewSerial();
        if (serial != serial_) {
            entries_.clear();
            serial_ = serial;
        }
        key_.assign(reinterpret_cast<const char*>(&parent), sizeof parent);
        key_ += fold;
    }
    std::unordered_map<std::string, Found> entries_;
    std::string key_;
    uint64_t serial_ = 0;
};

struct StoredValue {
    uint32_t type;
    std::string data;
};
// Values larger than this are read from the database each time, so the cache stays small.
constexpr size_t kMaxCachedValueSize = 1024;

// Stands for "all subkeys" in the cache of lists: folds of names have an even byte count.
constexpr std::string_view kWholeSet = "\x01";

// The subkey names of a key in enumeration order, read with one query when a process first
// enumerates the key in a snapshot. Keys with more subkeys than this are enumerated row by row.
constexpr int64_t kMaxListedChildren = 256;
struct ChildList {
    std::vector<std::u16string> names;
    bool tooMany = false;  // more than kMaxListedChildren: enumerated row by row
};

// Where the last enumeration of this process stopped, so that asking for the next index continues
// from there instead of counting from the start. Valid only while the database is unchanged.
struct EnumCursor {
    int64_t key = 0;
    uint32_t index = 0;
    std::string position;  // subkeys: fold of the last name returned
    int64_t lastId = 0;    // values: row id of the last value returned
    regdb::ChangeToken token;
    bool valid = false;
};

// The process's lookup caches and enumeration cursors, made on first use.
struct Caches {
    SnapshotCache<int64_t> paths;     // keys by whole subkey paths, spelt as given to OpenKeyEx
    SnapshotCache<int64_t> children;  // keys by one name under their parent
    SnapshotCache<StoredValue> values;
    SnapshotCache<ChildList, 256> lists;
    EnumCursor keyCursor;
    EnumCursor valueCursor;
};

inline Caches& C() {
    static Caches caches;
    return caches;
}

// The subkeys of parent, from the cache or one query; *list stays null when parent has too many
// to list at once. The ids read on the way answer the lookups of the subkeys that usually follow.
LStatus ListChildren(int64_t parent, const ChildList** list) {
    *list = nullptr;
    SnapshotCache<ChildList, 256>& lists = C().lists;
    if (const ChildList* known = lists.Find(parent, kWholeSet)) {
        if (!known->tooMany) *list = known;
        return kErrorSuccess;
    }
    Query q(Stmt::kChildren);
    q.Bind(1, parent);
    q.Bind(2, kMaxListedChildren + 1);
    ChildList found;
    std::vector<std::pair<std::string, int64_t>> ids;
    for (bool row = true;;) {
        const LStatus status = q.Step(&row);
        if (status != kErrorSuccess) return status;
        if (!row) break;
        if (static_cast<int64_t>(found.names.size()) == kMaxListedChildren) {
            lists.Put(parent, kWholeSet, ChildList{{}, true});  // not read again in this snapshot
            return kErrorSuccess;
        }
        found.names.push_back(regnames::FromStored(q.Bytes(0)));
        ids.emplace_back(std::string(q.Bytes(1)), q.Int(2));
    }
    for (auto& [fold, id] : ids) C().children.Put(parent, fold, id);
    *list = lists.Put(parent, kWholeSet, std::move(found));
    return kErrorSuccess;
}

LStatus FindChild(int64_t parent, std::u16string_view name, int64_t* child, bool* found) {
    const std::string fold = regnames::FoldKey(name);
    SnapshotCache<int64_t>& cache = C().children;
    if (const int64_t* known = cache.Find(parent, fold)) {
        *child = *known;
        *found = true;
        return kErrorSuccess;
    }
    Query q(Stmt::kFindChild);
    q.Bind(1, parent);
    q.BindBytes(2, fold);
    const LStatus status = q.Step(found);
    if (status != kErrorSuccess || !*found) return status;
    *child = q.Int(0);
    cache.Remember(*child);
    return status;
}

// Follows names from id; *id ends at the last key found, *walked counts the names followed.
LStatus Walk(const std::vector<std::u16string_view>& names, int64_t* id, size_t* walked) {
    *walked = 0;
    for (const auto& name : names) {
        bool found = false;
        int64_t child = 0;
        const LStatus status = FindChild(*id, name, &child, &found);
        if (status != kErrorSuccess) return status;
        if (!found) return kErrorSuccess;
        *id = child;
        ++*walked;
    }
    return kErrorSuccess;
}

// The key a subkey path starts from and the names along it. A name too long for a key is
// refused with badName: a lookup answers "not found" (no such name can exist), a create refuses
// the parameter.
LStatus ResolveSubKey(HKey key, const char16_t* subKey, LStatus badName, KeyRef* parent,
                      std::vector<std::u16string_view>* names) {
    LStatus status = Resolve(key, parent);
    if (status != kErrorSuccess) return status;
    status = SplitPath(subKey, names);
    return status == kErrorInvalidParameter ? badName : status;
}

// Follows every name from parent inside an open transaction; kErrorFileNotFound when one is
// missing, kErrorKeyDeleted when parent itself has gone meanwhile.
LStatus FindKey(int64_t parent, const std::vector<std::u16string_view>& names, int64_t* id) {
    *id = parent;
    size_t walked = 0;
    const LStatus status = Walk(names, id, &walked);
    if (status != kErrorSuccess) return status;
    if (walked < names.size()) return walked == 0 ? Missing(parent, kErrorFileNotFound) : kErrorFileNotFound;
    return kErrorSuccess;
}

HKey NewHandle(int64_t id, uint32_t sam, bool underSystem) {
    const KeyRef opened{id, GrantedAccess(sam), underSystem};
    return sim::NewHandle<OpenKey, HKey>(std::make_unique<OpenKey>(opened), regdb::Generation());
}

// Whether the key reached from parent by path is HKEY_LOCAL_MACHINE\SYSTEM or lies below it.
bool UnderSystem(const KeyRef& parent, std::u16string_view path) {
    if (parent.underSystem) return true;
    if (parent.id != regdb::kRootKeyId) return false;
    const std::u16string_view first = path.substr(0, path.find(u'\\'));
    // No other unit folds to an ASCII letter, so an ASCII comparison is the registry's own.
    return sim::EqualsIgnoreCase(first, u"SYSTEM");
}

// Standard rights that change a key (winnt.h's DELETE, WRITE_DAC, WRITE_OWNER) and KEY_CREATE_LINK.
constexpr uint32_t kDelete = 0x00010000;
constexpr uint32_t kWriteDac = 0x00040000;
constexpr uint32_t kWriteOwner = 0x00080000;
constexpr uint32_t kKeyCreateLink = 0x0020;
// Every right that changes a key, its values or its security.
constexpr uint32_t kWriteRights =
    kKeySetValue | kKeyCreateSubKey | kKeyCreateLink | kDelete | kWriteDac | kWriteOwner;

// Whether the machine's Host value Administrator is 0. Called inside a transaction.
LStatus ReadRestrictedUser(bool* restricted) {
    *restricted = false;
    int64_t host = 0;
    const std::vector<std::u16string_view> names = {u"SOFTWARE", u"QvSim", u"Host"};
    LStatus status = FindKey(regdb::kRootKeyId, names, &host);
    if (status == kErrorFileNotFound) return kErrorSuccess;
    if (status != kErrorSuccess) return status;
    Query q(Stmt::kFindValue);
    q.Bind(1, host);
    q.BindBytes(2, regnames::FoldKey(u"Administrator"));
    bool found = false;
    status = q.Step(&found);
    if (status != kErrorSuccess || !found) return status;
    const std::string_view bytes = q.Bytes(1);
    *restricted =
        q.Int(0) == kRegDword && bytes.size() == 4 && bytes.find_first_not_of('\0') == std::string_view::npos;
    return kErrorSuccess;
}

// Whether this thread's calls act as a user who is no administrator: the Host value Administrator
// is 0 and no SystemAccessScope is alive. The value is read once per snapshot: every open for
// writing under SYSTEM asks.
LStatus RestrictedUser(bool* restricted) {
    *restricted = false;
    if (sim::SystemAccessScope::Active()) return kErrorSuccess;
    static uint64_t serial = 0;
    static bool known = false;
    static bool answer = false;
    if (!known || serial != sim::RegistryViewSerial()) {
        const LStatus status = ReadRestrictedUser(&answer);
        if (status != kErrorSuccess) return status;
        serial = sim::RegistryViewSerial();
        known = true;
    }
    *restricted = answer;
    return kErrorSuccess;
}

// The answer to a user who is no administrator asking for write access (or, with create, for a new
// key) under HKEY_LOCAL_MACHINE\SYSTEM: kErrorAccessDenied. MAXIMUM_ALLOWED gets what the user
// may have, read access (*sam is changed to that). Anything else passes.
LStatus CheckSystemAccess(bool underSystem, uint32_t* sam, bool create) {
    if (!underSystem || ((GrantedAccess(*sam) & kWriteRights) == 0 && !create)) return kErrorSuccess;
    bool restricted = false;
    const LStatus status = RestrictedUser(&restricted);
    if (status != kErrorSuccess || !restricted) return status;
    if (*sam & kMaximumAllowed) *sam = (*sam & ~kMaximumAllowed) | kKeyRead;
    return (GrantedAccess(*sam) & kWriteRights) == 0 && !create ? kErrorSuccess : kErrorAccessDenied;
}

// Copies a stored value out with the size protocol of RegQueryValueExW.
LStatus CopyData(uint32_t storedType, std::string_view bytes, uint32_t* type, uint8_t* data,
                 uint32_t* dataSize) {
    if (type) *type = storedType;
    if (!dataSize) return kErrorSuccess;
    const auto size = static_cast<uint32_t>(bytes.size());
    if (data && *dataSize < size) {
        *dataSize = size;
        return kErrorMoreData;
    }
    if (data && size) std::memcpy(data, bytes.data(), size);
    *dataSize = size;
    return kErrorSuccess;
}

bool Continues(const EnumCursor& cursor, int64_t key, uint32_t index, const regdb::ChangeToken& token) {
    return cursor.valid && cursor.key == key && index == cursor.index + 1 && cursor.token == token &&
           token.dataVersion != 0;
}

// Copies a name out with the size protocol of RegEnumKeyExW: capacity counts the terminator.
LStatus CopyName(const std::u16string& name, char16_t* out, uint32_t* length) {
    if (!sim::CopyText(name, out, *length)) return kErrorMoreData;
    *length = static_cast<uint32_t>(name.size());
    return kErrorSuccess;
}

}  // namespace

LStatus CreateKeyEx(HKey key, const char16_t* subKey, uint32_t /*options*/, uint32_t sam, HKey* result,
                    uint32_t* disposition) {
    std::lock_guard lock(regdb::Mutex());
    if (!result) return kErrorInvalidParameter;
    KeyRef parent;
    std::vector<std::u16string_view> names;
    LStatus status = ResolveSubKey(key, subKey, kErrorInvalidParameter, &parent, &names);
    if (status != kErrorSuccess) return status;

    Transaction txn(Transaction::Kind::kWrite);
    if (txn.status() != kErrorSuccess) return txn.status();
    status = RequireKey(parent.id);
    if (status != kErrorSuccess) return status;
    int64_t id = parent.id;
    size_t walked = 0;
    status = Walk(names, &id, &walked);
    if (status != kErrorSuccess) return status;
    const bool underSystem = UnderSystem(parent, View(subKey));
    status = CheckSystemAccess(underSystem, &sam, walked < names.size());
    if (status != kErrorSuccess) return status;
    if (walked < names.size()) {
        size_t depth = 0;
        status = regdb::KeyDepth(parent.id, &depth);
        if (status != kErrorSuccess) return status;
        if (depth + names.size() > sim::kMaxRegistryKeyDepth) return kErrorInvalidParameter;
    }
    for (size_t i = walked; i < names.size(); ++i) {
        Query insert(Stmt::kInsertKey);
        insert.Bind(1, id);
        insert.BindBytes(2, regnames::ToStored(names[i]));
        insert.BindBytes(3, regnames::FoldKey(names[i]));
        status = insert.Run();
        if (status != kErrorSuccess) return status;
        id = regdb::LastInsertId();
    }
    status = txn.Commit();
    if (status != kErrorSuccess) return status;
    *result = NewHandle(id, sam, underSystem);
    if (disposition) *disposition = walked < names.size() ? kRegCreatedNewKey : kRegOpenedExistingKey;
    return kErrorSuccess;
}

LStatus OpenKeyEx(HKey key, const char16_t* subKey, uint32_t sam, HKey* result) {
    std::lock_guard lock(regdb::Mutex());
    if (!result) return kErrorInvalidParameter;
    KeyRef parent;
    LStatus status = Resolve(key, &parent);
    if (status != kErrorSuccess) return status;

    Transaction txn(Transaction::Kind::kRead);
    if (txn.status() != kErrorSuccess) return txn.status();
    // A path opened before in this snapshot is not walked again. The cache holds paths as spelt
    // (a copy costs less than folding): a path spelt otherwise is walked, and the walk folds case.
    const std::u16string_view path = View(subKey);
    const std::string_view pathKey(reinterpret_cast<const char*>(path.data()), path.size() * sizeof(char16_t));
    SnapshotCache<int64_t>& paths = C().paths;
    int64_t id = 0;
    if (const int64_t* known = path.empty() ? nullptr : paths.Find(parent.id, pathKey)) {
        id = *known;
    } else {
        std::vector<std::u16string_view> names;
        status = SplitPath(subKey, &names);
        if (status != kErrorSuccess) return status == kErrorInvalidParameter ? kErrorFileNotFound : status;
        status = FindKey(parent.id, names, &id);
        if (status != kErrorSuccess) return status;
        if (!path.empty()) paths.Put(parent.id, pathKey, id);
    }
    if (path.empty()) {
        status = RequireKey(id);
        if (status != kErrorSuccess) return status;
    }
    const bool underSystem = UnderSystem(parent, path);
    status = CheckSystemAccess(underSystem, &sam, false);
    if (status != kErrorSuccess) return status;
    status = txn.Commit();
    if (status != kErrorSuccess) return status;
    *result = NewHandle(id, sam, underSystem);
    return kErrorSuccess;
}

LStatus CloseKey(HKey key) {
    std::lock_guard lock(regdb::Mutex());
    if (key == kHkeyLocalMachine) return kErrorSuccess;
    return sim::Close<OpenKey>(key) ? kErrorSuccess : kErrorInvalidHandle;
}

LStatus QueryValueEx(HKey key, const char16_t* valueName, uint32_t* type, uint8_t* data, uint32_t* dataSize) {
    std::lock_guard lock(regdb::Mutex());
    KeyRef ref;
    LStatus status = ResolveFor(key, kKeyQueryValue, &ref);
    if (status != kErrorSuccess) return status;
    if (data && !dataSize) return kErrorInvalidParameter;

    Transaction txn(Transaction::Kind::kRead);
    if (txn.status() != kErrorSuccess) return txn.status();
    const std::string fold = regnames::FoldKey(View(valueName));
    SnapshotCache<StoredValue>& cache = C().values;
    if (const StoredValue* known = cache.Find(ref.id, fold)) {
        return CopyData(known->type, known->data, type, data, dataSize);
    }
    Query q(Stmt::kFindValue);
    q.Bind(1, ref.id);
    q.BindBytes(2, fold);
    bool found = false;
    status = q.Step(&found);
    if (status != kErrorSuccess) return status;
    if (!found) return Missing(ref.id, kErrorFileNotFound);
    const auto storedType = static_cast<uint32_t>(q.Int(0));
    const std::string_view bytes = q.Bytes(1);
    if (bytes.size() <= kMaxCachedValueSize) cache.Remember({storedType, std::string(bytes)});
    return CopyData(storedType, bytes, type, data, dataSize);
}

LStatus SetValueEx(HKey key, const char16_t* valueName, uint32_t type, const uint8_t* data,
                   uint32_t dataSize) {
    std::lock_guard lock(regdb::Mutex());
    KeyRef ref;
    LStatus status = ResolveFor(key, kKeySetValue, &ref);
    if (status != kErrorSuccess) return status;
    const std::u16string_view name = View(valueName);
    if (name.size() > kMaxValueNameLength || (!data && dataSize)) return kErrorInvalidParameter;

    Transaction txn(Transaction::Kind::kWrite);
    if (txn.status() != kErrorSuccess) return txn.status();
    status = RequireKey(ref.id);
    if (status != kErrorSuccess) return status;
    Query q(Stmt::kUpsertValue);
    q.Bind(1, ref.id);
    q.BindBytes(2, regnames::ToStored(name));
    q.BindBytes(3, regnames::FoldKey(name));
    q.Bind(4, type);
    q.BindBytes(5, std::string_view(reinterpret_cast<const char*>(data), data ? dataSize : 0));
    status = q.Run();
    if (status != kErrorSuccess) return status;
    return txn.Commit();
}

LStatus DeleteValue(HKey key, const char16_t* valueName) {
    std::lock_guard lock(regdb::Mutex());
    KeyRef ref;
    LStatus status = ResolveFor(key, kKeySetValue, &ref);
    if (status != kErrorSuccess) return status;

    Transaction txn(Transaction::Kind::kWrite);
    if (txn.status() != kErrorSuccess) return txn.status();
    Query q(Stmt::kDeleteValue);
    q.Bind(1, ref.id);
    q.BindBytes(2, regnames::FoldKey(View(valueName)));
    status = q.Run();
    if (status != kErrorSuccess) return status;
    if (regdb::Changes() == 0) return Missing(ref.id, kErrorFileNotFound);
    return txn.Commit();
}

LStatus DeleteKey(HKey key, const char16_t* subKey) {
    std::lock_guard lock(regdb::Mutex());
    KeyRef parent;
    std::vector<std::u16string_view> names;
    LStatus status = ResolveSubKey(key, subKey, kErrorFileNotFound, &parent, &names);
    if (status != kErrorSuccess) return status;

    Transaction txn(Transaction::Kind::kWrite);
    if (txn.status() != kErrorSuccess) return txn.status();
    int64_t id = 0;
    status = FindKey(parent.id, names, &id);
    if (status != kErrorSuccess) return status;
    if (id == regdb::kRootKeyId) return kErrorAccessDenied;
    uint32_t deleteAccess = kDelete;
    status = CheckSystemAccess(UnderSystem(parent, View(subKey)), &deleteAccess, false);
    if (status != kErrorSuccess) return status;
    bool hasChild = false;
    status = RunOnKey(Stmt::kHasChild, id, &hasChild);
    if (status != kErrorSuccess) return status;
    if (hasChild) return kErrorAccessDenied;
    status = RunOnKey(Stmt::kDeleteKeyValues, id);
    if (status == kErrorSuccess) status = RunOnKey(Stmt::kDeleteKeyRow, id);
    if (status != kErrorSuccess) return status;
    if (regdb::Changes() == 0) return kErrorKeyDeleted;
    return txn.Commit();
}

LStatus EnumKeyEx(HKey key, uint32_t index, char16_t* name, uint32_t* nameLength) {
    std::lock_guard lock(regdb::Mutex());
    KeyRef ref;
    LStatus status = ResolveFor(key, kKeyEnumerateSubKeys, &ref);
    if (status != kErrorSuccess) return status;
    if (!name || !nameLength) return kErrorInvalidParameter;

    Transaction txn(Transaction::Kind::kRead);
    if (txn.status() != kErrorSuccess) return txn.status();
    const ChildList* list = nullptr;
    status = ListChildren(ref.id, &list);
    if (status != kErrorSuccess) return status;
    if (list) {
        if (index >= list->names.size()) return Missing(ref.id, kErrorNoMoreItems);
        return CopyName(list->names[index], name, nameLength);
    }
    const regdb::ChangeToken token = regdb::CurrentChangeToken();
    EnumCursor& cursor = C().keyCursor;
    const bool next = Continues(cursor, ref.id, index, token);
    Query q(next ? Stmt::kNextChild : Stmt::kNthChild);
    q.Bind(1, ref.id);
    if (next) {
        q.BindBytes(2, cursor.position);
    } else {
        q.Bind(2, index);
    }
    bool found = false;
    status = q.Step(&found);
    if (status != kErrorSuccess) return status;
    if (!found) return Missing(ref.id, kErrorNoMoreItems);
    cursor = {ref.id, index, std::string(q.Bytes(1)), 0, token, true};
    return CopyName(regnames::FromStored(q.Bytes(0)), name, nameLength);
}

LStatus EnumValue(HKey key, uint32_t index, char16_t* name, uint32_t* nameLength, uint32_t* type,
                  uint8_t* data, uint32_t* dataSize) {
    std::lock_guard lock(regdb::Mutex());
    KeyRef ref;
    LStatus status = ResolveFor(key, kKeyQueryValue, &ref);
    if (status != kErrorSuccess) return status;
    if (!name || !nameLength || (data && !dataSize)) return kErrorInvalidParameter;

    Transaction txn(Transaction::Kind::kRead);
    if (txn.status() != kErrorSuccess) return txn.status();
    const regdb::ChangeToken token = regdb::CurrentChangeToken();
    EnumCursor& cursor = C().valueCursor;
    const bool next = Continues(cursor, ref.id, index, token);
    Query q(next ? Stmt::kNextValue : Stmt::kNthValue);
    q.Bind(1, ref.id);
    q.Bind(2, next ? cursor.lastId : index);
    bool found = false;
    status = q.Step(&found);
    if (status != kErrorSuccess) return status;
    if (!found) return Missing(ref.id, kErrorNoMoreItems);
    cursor = {ref.id, index, {}, q.Int(3), token, true};
    status = CopyName(regnames::FromStored(q.Bytes(0)), name, nameLength);
    if (status != kErrorSuccess) return status;
    return CopyData(static_cast<uint32_t>(q.Int(1)), q.Bytes(2), type, data, dataSize);
}

}  // namespace reg
}  // namespace qv
