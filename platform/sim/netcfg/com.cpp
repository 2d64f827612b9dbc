// CoInitialize counts per thread: the first call answers S_OK, every further one S_FALSE, and each
// CoUninitialize takes one back. Task memory is the C heap.
#include "com.h"

#include <cstdlib>

#include "qv/platform/netcfg.h"
#include "qv/sim/text_out.h"

namespace qv {
namespace {

thread_local unsigned t_comInitCount = 0;

}  // namespace

namespace sim::netcfg {

bool ComInitializedOnThisThread() {
    return t_comInitCount > 0;
}

char16_t* CoTaskString(std::u16string_view text) {
    auto* copy = static_cast<char16_t*>(std::malloc(NeededSize(text) * sizeof(char16_t)));
    if (copy != nullptr) CopyText(text, copy, NeededSize(text));
    return copy;
}

}  // namespace sim::netcfg

namespace netcfg {

HResult CoInitialize() {
    return ++t_comInitCount == 1 ? kSOk : kSFalse;
}

void CoUninitialize() {
    if (t_comInitCount > 0) --t_comInitCount;
}

void CoTaskMemFree(void* memory) {
    std::free(memory);
}

}  // namespace netcfg
}  // namespace qv
