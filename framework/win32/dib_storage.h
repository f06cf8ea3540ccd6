// The Win32 side of the skin bitmap and canvas: DIB-section storage with a memory device
// context, the system colours, the run-time transparent blit, and window regions.
#pragma once

#include "framework/graphics/region.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"

namespace zaprelay::win32 {

// Makes every TVxBitmap keep its pixels in a top-down 32-bit DIB section selected into a
// memory context compatible with the screen, resolves system colours with GetSysColor, and
// looks up "TransparentBlt" in msimg32.dll on NT 5 and later, and lets TVxBitmap convert
// from and to the framework's images. Call once at start-up.
void InstallWin32Graphics();

// The entry point of msimg32's TransparentBlt, or none where the platform lacks it (then
// transparent drawing to devices that are not DIB sections takes the software path).
using TTransparentBltProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
TTransparentBltProc TransparentBltEntry();
// Tests use this to take the software path on purpose.
void OverrideTransparentBlt(TTransparentBltProc proc);

// True for the DIB sections of TVxBitmap storage, which are top-down. (GetObject does not
// tell the row order everywhere: some platforms report a positive height for them.)
bool IsBitmapStorage(HBITMAP bitmap);

// The memory context a bitmap's pixels are selected into (storage installed above); none for
// an empty bitmap.
inline HDC BitmapDC(const TVxBitmap& bitmap) {
    return static_cast<HDC>(bitmap.DC());
}

// The header of a top-down 32-bit DIB of the given size, as bitmap storage uses.
BITMAPINFO TopDownDibInfo(int32_t width, int32_t height);

// A window region holding the rectangles of region: an empty region gives a region that
// exists and holds nothing (a window shaped so is invisible); a window without a shape gets
// no region at all, which is the caller's choice, not this function's.
TRegionHandle CreateWindowRegion(const TRegion& region);

}  // namespace zaprelay::win32
