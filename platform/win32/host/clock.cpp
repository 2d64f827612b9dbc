// The clock port on Windows.
#include "qv/platform/clock.h"

#include <windows.h>

#include <atomic>

#include "qv/platform/tick_extension.h"

namespace qv::clk {
namespace {

using GetTickCount64Fn = ULONGLONG(WINAPI*)();

// GetTickCount64 exists from Vista on; Windows XP and Server 2003 have only the 32-bit count, which
// wraps after 49.7 days. There the 64-bit tick is the 32-bit one extended by the wraps seen since
// the last call: exact as long as two calls lie less than 49.7 days apart, which holds for every
// bounded wait of the programs.
uint64_t ExtendedTickCount() {
    static std::atomic<uint64_t> last{0};
    uint64_t seen = last.load();
    for (;;) {
        const uint64_t now = ExtendTickCount(seen, GetTickCount());
        if (now == seen || last.compare_exchange_weak(seen, now)) return now;
    }
}

GetTickCount64Fn ResolveGetTickCount64() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel == nullptr ? nullptr
                             : reinterpret_cast<GetTickCount64Fn>(
                                   reinterpret_cast<void*>(GetProcAddress(kernel, "GetTickCount64")));
}

}  // namespace

void Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}
uint64_t TickCount() {
    static const GetTickCount64Fn getTickCount64 = ResolveGetTickCount64();
    return getTickCount64 != nullptr ? getTickCount64() : ExtendedTickCount();
}

}  // namespace qv::clk
