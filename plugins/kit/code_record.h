// The record a receiver plug-in hands the program for one button.
#pragma once

#include "plugins/include/dcd_plugin.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace zaprelay::dcd {

using TCodeRecord = std::array<uint8_t, kCodeRecordSize>;

// The plug-in's bytes zeroed, the text from byte 64: zero-terminated when shorter than the
// field, filling it whole when exactly as long (the program reads to the end of the record).
// A longer text is cut; callers whose codes may be longer drop them before they get here.
void FillCodeRecord(TCodeRecord& record, std::string_view text);

}  // namespace zaprelay::dcd
