// Pictures of what the screen shows: a window's pixels as the user sees them, compared with a
// committed picture (docs/images) with a small tolerance, or written there when asked.
#pragma once

#include "framework/win32/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zaprelay::e2e {

struct TScreenPicture {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;  // top-down rows of 0x00RRGGBB
};

// The screen's pixels in rect.
TScreenPicture CaptureScreen(const RECT& rect);
TScreenPicture CaptureWindow(HWND window);

// Pixels whose colour differs by more than a little in any channel.
int DifferingPixels(const TScreenPicture& a, const TScreenPicture& b);

// Writes the picture as docs/images/<name>.png.
void WriteScreenPicture(const TScreenPicture& picture, const std::string& name);

// Compares the window, once its painting has settled, with the committed picture <name>.png,
// leaving out what the ignored windows show (texts that differ from run to run); with
// ZAPRELAY_UPDATE_PICTURES set in the environment it writes the picture instead.
void ExpectLooksLike(HWND window, const std::string& name, const std::vector<HWND>& ignored = {});
// The same for a window whose client area may be taller than the picture's (more rows at its
// foot, the frame alike): the rows above the extra ones and the frame's bottom edge are compared.
void ExpectLooksLikeWithTallerClient(HWND window, const std::string& name, const std::vector<HWND>& ignored = {});

}  // namespace zaprelay::e2e
