// Mouse buttons and the shift state that comes with pointer events. Portable, so skin
// objects take the same values the window layer reads from its messages.
#pragma once

#include <cstdint>

namespace zaprelay {

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Bit n set = the n-th of shift, alt, ctrl, left, right, middle, double.
using TShiftState = uint32_t;
inline constexpr TShiftState ssShift = 0x01;
inline constexpr TShiftState ssAlt = 0x02;
inline constexpr TShiftState ssCtrl = 0x04;
inline constexpr TShiftState ssLeft = 0x08;
inline constexpr TShiftState ssRight = 0x10;
inline constexpr TShiftState ssMiddle = 0x20;
inline constexpr TShiftState ssDouble = 0x40;

}  // namespace zaprelay
