#include "device_table.h"

#include <mutex>
#include <vector>

#include "qv/sim/reg_key.h"

namespace qv::sim {
namespace {

std::mutex g_mutex;
std::vector<std::u16string>& Table() {
    static std::vector<std::u16string> table;
    return table;
}

}  // namespace

uint32_t DevInstFor(std::u16string_view instanceId) {
    std::lock_guard lock(g_mutex);
    auto& table = Table();
    for (size_t i = 0; i < table.size(); ++i) {
        if (EqualsIgnoreCase(table[i], instanceId)) return static_cast<uint32_t>(i + 1);
    }
    table.emplace_back(instanceId);
    return static_cast<uint32_t>(table.size());
}

std::optional<std::u16string> InstanceIdOf(uint32_t devInst) {
    std::lock_guard lock(g_mutex);
    const auto& table = Table();
    if (devInst == 0 || devInst > table.size()) return std::nullopt;
    return table[devInst - 1];
}

}  // namespace qv::sim
