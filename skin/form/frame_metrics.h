// The frame sizes the default look reads from the system: one copy for the
// process, refreshed at start-up and whenever the theme changes.
#pragma once

#include "skin/form/frame_geometry.h"

namespace zaprelay::skin {

// The current copy; the initial values until RefreshFrameMetrics first runs.
const TFrameMetrics& FrameMetrics();

// Re-reads the copy from the system (start-up, WM_THEMECHANGED); returns it.
const TFrameMetrics& RefreshFrameMetrics();

// The system's values now, without touching the copy.
TFrameMetrics ReadSystemFrameMetrics();

}  // namespace zaprelay::skin
