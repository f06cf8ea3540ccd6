// The frame and caption a form shows when no skin draws them: the classic look, or the
// desktop's visual style where one is active. Plain GDI, so it draws into any device context.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/win32/platform.h"
#include "skin/form/form_types.h"
#include "skin/form/frame_geometry.h"

#include <string>

namespace zaprelay::skin {

struct TDefaultFrame {
    TPoint FormSize;
    TVxBorderStyle Style = kbsStandard;
    TVxBorderIcons Icons = kDefaultBorderIcons;
    TVxWindowState State = kwsNormal;
    bool Active = true;
    // Asks for the visual style; the classic look is drawn when the theme library cannot serve.
    bool Themed = false;
    TVxFormRegion HotRegion = khrNone;
    TVxFormRegion PressedRegion = khrNone;
    std::u16string Caption;
    // Borrowed; none shows the system's default application icon.
    HICON SmallIcon = nullptr;
    bool RightToLeftReading = false;
    // ksfpNoBuffer draws the caption band through a band-sized bitmap (the target is then the
    // screen); the other modes already draw into a bitmap, so the band is drawn in place.
    TVxFormPerformance Performance = ksfpNoBuffer;
    TFrameMetrics Metrics;
};

// Draws the frame into dc, whose origin is the window's top-left corner. The caller has
// excluded the client area from the clip; nothing is drawn for kbsNone.
void PaintDefaultFrame(HDC dc, const TDefaultFrame& frame);

// The layout the painter places its buttons and text by (its Themed flag is the one in effect).
TCaptionLayout DefaultFrameLayout(const TDefaultFrame& frame);

// Where the caption text goes: after the system-menu icon, before the first other button.
TRect CaptionTextRect(const TCaptionLayout& layout);

}  // namespace zaprelay::skin
