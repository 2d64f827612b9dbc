#include "machine_support.h"

#include <cstdio>

#include "qv/platform/devinst.h"
#include "qv/platform/registry.h"
#include "qv/platform/utf.h"
#include "qv/sim/host_state.h"

namespace qvsim {
namespace {

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    const auto fold = [](char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; };
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

std::optional<std::u16string> ReadString(qv::HKey key, const char16_t* name) {
    char16_t buffer[512] = {};
    uint32_t size = sizeof buffer - 2;
    if (qv::reg::QueryValueEx(key, name, nullptr, reinterpret_cast<uint8_t*>(buffer), &size) !=
        qv::kErrorSuccess) {
        return std::nullopt;
    }
    return std::u16string(buffer);
}

}  // namespace

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "qvsim: %s\n", message.c_str());
    return status;
}

std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t min, uint32_t max) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value < min || value > max) return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::optional<std::u16string> FindAdapterByConnectionName(std::u16string_view name) {
    qv::HDevInfo set = qv::dev::GetClassDevs(&qv::kGuidDevClassNet, nullptr, nullptr, 0);
    if (set == qv::kInvalidDevInfo) return std::nullopt;
    std::optional<std::u16string> found;
    qv::DevInfoData device;
    for (uint32_t i = 0; !found && qv::dev::EnumDeviceInfo(set, i, &device); ++i) {
        qv::HKey drv =
            qv::dev::OpenDevRegKey(set, &device, qv::kDicsFlagGlobal, 0, qv::kDiregDrv, qv::kKeyRead);
        if (drv == qv::kInvalidHKey) continue;
        const auto guid = ReadString(drv, u"NetCfgInstanceId");
        qv::reg::CloseKey(drv);
        if (!guid) continue;
        const std::u16string path = std::u16string(qv::sim::kNetworkPath) + u'\\' +
                                    std::u16string(qv::sim::kNetClassGuid) + u'\\' + *guid + u"\\Connection";
        qv::HKey connection = nullptr;
        if (qv::reg::OpenKeyEx(qv::kHkeyLocalMachine, path.c_str(), qv::kKeyRead, &connection) !=
            qv::kErrorSuccess) {
            continue;
        }
        const auto connectionName = ReadString(connection, u"Name");
        qv::reg::CloseKey(connection);
        if (connectionName && SameIgnoringCase(*connectionName, name)) {
            char16_t id[qv::kMaxDeviceIdLength];
            if (qv::dev::GetDeviceId(device.devInst, id, qv::kMaxDeviceIdLength, 0) == qv::kCrSuccess)
                found = id;
        }
    }
    qv::dev::DestroyDeviceInfoList(set);
    return found;
}

}  // namespace qvsim
