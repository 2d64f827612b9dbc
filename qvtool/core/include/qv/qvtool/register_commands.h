// The raw access commands: -r, -i, -l, -c and -n, each as the step the runner calls with the open
// adapter. Reads print their result line; writes print nothing of their own.
#pragma once

#include <cstdio>

#include "qv/platform/deviceio.h"
#include "qv/qvtool/options.h"

namespace qv::qvtool {

// -r read: the plain "0x%08X" read, or the block decoders when -f or a block selection is given.
void RunRegisterRead(const RegisterRequest& reg, bool expandFields, HDevice device, std::FILE* out);
void RunRegisterWrite(const RegisterRequest& reg, HDevice device);
// -i: read, then write.
void RunConfigAccess(const AccessRequest& config, HDevice device, std::FILE* out);
// -l: read, then write.
void RunMdioAccess(const MdioRequest& mdio, HDevice device, std::FILE* out);
// -c: read, then write.
void RunCimControlAccess(const AccessRequest& cim, HDevice device, std::FILE* out);
// -n: write, then read.
void RunCimQueueAccess(const AccessRequest& cim, HDevice device, std::FILE* out);

}  // namespace qv::qvtool
