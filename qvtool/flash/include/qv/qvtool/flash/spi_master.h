// The serial-flash master: one SPI transfer per bus-driver request (functions 5 and 6). Each
// returns kStatusSuccess or kStatusFailure (the request failed, or a count outside 1 to 4).
#pragma once

#include <cstdint>

#include "qv/platform/deviceio.h"

namespace qv::qvtool {

// Sends count bytes (1 to 4) of data, the least significant byte first. With keepSelected the
// flash stays selected, so that the next transfer continues the same command.
int SpiWrite(HDevice device, uint32_t count, bool keepSelected, uint32_t data);
// Receives count bytes (1 to 4) into *data, the first in the least significant byte; the flash is
// deselected afterwards. *data is 0 when the request fails.
int SpiRead(HDevice device, uint32_t count, uint32_t* data);

}  // namespace qv::qvtool
