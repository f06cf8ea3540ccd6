// The fonts of the default look's caption text: one pair for the process, taken from the
// system's non-client settings and made again when the theme changes.
#pragma once

#include "framework/win32/platform.h"

namespace zaprelay::skin {

// The caption font of standard frames; made on first use. Never delete it.
HFONT CaptionFont();
// The caption font of tool windows; made on first use. Never delete it.
HFONT SmallCaptionFont();

// Makes both fonts again from the system's current settings (WM_THEMECHANGED). Handles
// returned before stay valid until this call only.
void RefreshCaptionFonts();

}  // namespace zaprelay::skin
