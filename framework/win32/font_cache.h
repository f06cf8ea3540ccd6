// Fonts realised once per process: every control and canvas that shows the same font data
// shares one font object, which lives until the process ends.
#pragma once

#include "framework/rtl/font.h"
#include "framework/win32/platform.h"

namespace zaprelay::win32 {

// The font object for the data, made on first use. Never delete it.
HFONT CachedFont(const TFontData& data);
// The number of font objects made so far (tests check that it stays flat).
std::size_t CachedFontCount();

}  // namespace zaprelay::win32
