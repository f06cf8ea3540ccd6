// The contract between the program and a receiver plug-in (DCD.dll): the message a plug-in
// sends for each button press and the record it points to. Portable, so the program's code
// handling and the plug-ins share one definition.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zaprelay::dcd {

// Sent to the window given to Open: WParam = address of the record, LParam = repeat count
// (0 for a fresh press, positive while the button is held; negative values are ignored).
inline constexpr uint32_t kCodeReceived = 0x0401;  // WM_USER + 1

// Bytes 0..63 belong to the plug-in; the code text starts at byte 64 and ends at the first
// zero byte or at the end of the record.
inline constexpr std::size_t kCodeRecordSize = 188;
inline constexpr std::size_t kCodeTextOffset = 64;
inline constexpr std::size_t kCodeTextSize = kCodeRecordSize - kCodeTextOffset;  // 124

}  // namespace zaprelay::dcd
