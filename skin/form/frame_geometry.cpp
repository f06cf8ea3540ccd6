#include "skin/form/frame_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace zaprelay::skin {
namespace {

constexpr int32_t kButtonGap = 2;
// How far from the window's corner an edge still sizes diagonally.
constexpr int32_t kCornerReach = 20;

using TButtonRects = std::array<TRect, kBorderIconCount>;

TButtonRects LayoutButtons(const TCaptionLayout& layout) {
    TButtonRects rects{};
    const TRect band = CaptionBand(layout);
    if (band.IsEmpty()) {
        return rects;
    }
    const int32_t bandHeight = band.Height();
    const bool toolWindow = layout.Style == kbsToolWindow;
    const bool minimized = layout.State == kwsMinimized;
    auto wanted = [&](TVxBorderIcon icon) { return HasBorderIcon(layout.Icons, icon); };

    // A tool window's caption is too small for an icon, as the system's own tool windows show.
    if (wanted(kbiSystemMenu) && !toolWindow) {
        rects[kbiSystemMenu] = Bounds(band.Left, band.Top, bandHeight, bandHeight);
    }

    const int32_t width = layout.Themed ? bandHeight - 4 : bandHeight - 2;
    const int32_t height = bandHeight - 4;
    // The whole themed row sits a pixel higher, not only its first button: one straight row.
    const int32_t top = band.Top + (layout.Themed ? 1 : 2);
    // Classic buttons keep the themed right margin too (the system's classic caption has it).
    int32_t right = band.Right - (toolWindow ? 0 : kButtonGap);
    // Gaps follow placed buttons only: an absent button leaves no hole in the row.
    auto place = [&](TVxBorderIcon icon) {
        rects[icon] = {right - width, top, right, top + height};
        right -= width;
    };

    [&] {
        if (wanted(kbiClose)) {
            place(kbiClose);
            right -= kButtonGap;
        }
        if (toolWindow) {
            return;
        }
        if (wanted(kbiMaximize) && !minimized) {
            place(kbiMaximize);
            right -= layout.Themed ? kButtonGap : 0;
        }
        if (wanted(kbiMinimize)) {
            place(kbiMinimize);
            right -= layout.Themed ? kButtonGap : 0;
        }
        // Themed captions have no glyphs for roll-up and tray: the row ends where they would go.
        if (wanted(kbiRollup) && !minimized) {
            if (layout.Themed) {
                return;
            }
            right -= kButtonGap;
            place(kbiRollup);
        }
        if (wanted(kbiTray) && !minimized) {
            if (layout.Themed) {
                return;
            }
            place(kbiTray);
        }
        if (wanted(kbiHelp) && !minimized && layout.State != kwsRollup) {
            right -= kButtonGap;
            place(kbiHelp);
        }
    }();

    for (TRect& rect : rects) {
        if (rect.IsEmpty()) {
            rect = {};
        }
    }
    return rects;
}

// `low` near the start, `high` near the end of a side `length` long, else `middle`.
TVxFormRegion ByCorner(int32_t position, int32_t length, TVxFormRegion low, TVxFormRegion high, TVxFormRegion middle) {
    if (position < kCornerReach) {
        return low;
    }
    if (position > length - kCornerReach) {
        return high;
    }
    return middle;
}

}  // namespace

TRect DefaultClientArea(TVxBorderStyle style, TPoint formSize, const TFrameMetrics& metrics) {
    const int32_t width = std::max(formSize.X, 0);
    const int32_t height = std::max(formSize.Y, 0);
    if (style == kbsNone) {
        return {0, 0, width, height};
    }
    const int32_t frame = std::max(metrics.FrameWidth, 0);
    const int32_t caption = std::max(style == kbsToolWindow ? metrics.ToolCaptionHeight : metrics.CaptionHeight, 0);
    TRect area{frame, frame + caption, width - frame, height - frame};
    area.Right = std::max(area.Right, area.Left);
    area.Bottom = std::max(area.Bottom, area.Top);
    return area;
}

TRect CaptionBand(const TCaptionLayout& layout) {
    if (layout.Style == kbsNone) {
        return {};
    }
    const TRect band{layout.ClientArea.Left, layout.Metrics.FrameWidth + 1, layout.ClientArea.Right,
                     layout.ClientArea.Top};
    return band.IsEmpty() ? TRect{} : band;
}

TRect DefaultButtonRect(const TCaptionLayout& layout, TVxBorderIcon button) {
    if (button >= kBorderIconCount) {
        return {};
    }
    return LayoutButtons(layout)[button];
}

THitTestFrame DefaultHitTestFrame(const TCaptionLayout& layout, TPoint formSize) {
    THitTestFrame frame;
    frame.FormSize = formSize;
    frame.ClientArea = layout.ClientArea;
    frame.CaptionTop = layout.Style == kbsNone ? 0 : layout.Metrics.FrameWidth + 1;
    frame.State = layout.State;
    frame.Buttons = LayoutButtons(layout);
    return frame;
}

TVxFormRegion DefaultHitTest(const THitTestFrame& frame, TPoint point) {
    const int32_t width = frame.FormSize.X;
    const int32_t height = frame.FormSize.Y;
    // The shadow margin lies outside the form: it neither moves nor sizes it.
    if (!TRect{0, 0, width, height}.Contains(point)) {
        return khrNone;
    }
    const TRect& area = frame.ClientArea;
    TVxFormRegion region = point.Y < area.Top ? khrCaption : khrNone;

    static constexpr TVxFormRegion kButtonRegions[kBorderIconCount] = {khrClose, khrSysMenu, khrMinimize, khrMaximize,
                                                                       khrHelp,  khrRollup,  khrTray};
    for (int icon = 0; icon < kBorderIconCount; ++icon) {
        if (frame.Buttons[icon].Contains(point)) {
            region = kButtonRegions[icon];
        }
    }

    if (frame.State == kwsNormal || frame.State == kwsTray) {
        if (point.Y < std::min(frame.CaptionTop, area.Top)) {
            region = ByCorner(point.X, width, khrTopLeft, khrTopRight, khrTop);
        } else if (point.Y >= area.Bottom) {
            region = ByCorner(point.X, width, khrBottomLeft, khrBottomRight, khrBottom);
        } else if (point.X < area.Left) {
            region = ByCorner(point.Y, height, khrTopLeft, khrBottomLeft, khrLeft);
        } else if (point.X >= area.Right) {
            region = ByCorner(point.Y, height, khrTopRight, khrBottomRight, khrRight);
        }
    }

    if (frame.SizeGrip.Contains(point)) {
        region = khrBottomRight;
    }
    return region;
}

int32_t SystemHitTestCode(uint32_t region, const THitTestRules& rules) {
    const bool sizeable = rules.Sizeable && !rules.Maximized;
    auto sizing = [&](int32_t code) { return sizeable ? code : kHtClient; };
    switch (region & 0x7F) {
        case khrCaption:
            return rules.Moveable ? kHtCaption : kHtClient;
        case khrLeft:
            return sizing(kHtLeft);
        case khrTop:
            return sizing(kHtTop);
        case khrRight:
            return sizing(kHtRight);
        case khrBottom:
            return sizing(kHtBottom);
        case khrTopLeft:
            return sizing(kHtTopLeft);
        case khrTopRight:
            return sizing(kHtTopRight);
        case khrBottomLeft:
            return sizing(kHtBottomLeft);
        case khrBottomRight:
            return sizing(kHtBottomRight);
        // The system has no codes for these; a border keeps it from treating them as client.
        case khrBorder:
        case khrRollup:
        case khrTray:
        case khrSysMenu:
        case khrSkinButton:
            return kHtBorder;
        case khrClose:
            return kHtClose;
        case khrHelp:
            return kHtHelp;
        case khrMinimize:
            return kHtMinButton;
        case khrMaximize:
            return kHtMaxButton;
        default:
            return kHtClient;
    }
}

TRect RollupRect(TPoint position, TPoint formSize, const TRect& clientArea) {
    const int32_t bands = std::max(formSize.Y - std::max(clientArea.Height(), 0), 0);
    return Bounds(position.X, position.Y, std::max(formSize.X, 0), bands);
}

TRect MinimizedRect(int32_t minimizedWidth, int32_t rollupHeight, const TRect& gravitationArea) {
    const int32_t bottom = gravitationArea.Bottom;
    return {0, bottom - std::max(rollupHeight, 0), std::max(minimizedWidth, 0), bottom};
}

TRect MaximizedRect(const TRect& workArea, const TRect& monitor, bool stayOnTop, const TRect& clientArea) {
    const TRect& base = stayOnTop ? monitor : workArea;
    const int32_t inset = std::max(clientArea.Left, 0);
    return {base.Left - inset, base.Top - inset, base.Right + inset, base.Bottom + inset};
}

TPoint MaxFormSize(const TRect& maximizedRect, int32_t maxWidth, int32_t maxHeight) {
    return {maxWidth > 0 ? maxWidth : maximizedRect.Width(), maxHeight > 0 ? maxHeight : maximizedRect.Height()};
}

TPoint MinFormSize(int32_t minWidth, int32_t minHeight) {
    return {minWidth > 0 ? minWidth : kDefaultMinSize.X, minHeight > 0 ? minHeight : kDefaultMinSize.Y};
}

TRect DragFrame(const TFrameDrag& drag, const TRect& bounds, TPoint fromStart, TPoint fromLast) {
    TRect r = bounds;
    if (drag.Region == khrCaption) {
        if (drag.Moveable && drag.State != kwsMaximized) {
            r = r.Offset(fromStart.X, fromStart.Y);
        }
        return r;
    }
    if (!drag.Sizeable || drag.State == kwsMaximized || drag.State == kwsMinimized || drag.State == kwsRollup) {
        return r;
    }
    const auto left = [&] { r.Left = std::min(r.Left + fromStart.X, r.Right - drag.MinSize.X); };
    const auto top = [&] { r.Top = std::min(r.Top + fromStart.Y, r.Bottom - drag.MinSize.Y); };
    const auto right = [&] { r.Right += fromLast.X; };
    const auto bottom = [&] { r.Bottom += fromLast.Y; };
    switch (drag.Region) {
        case khrLeft:
            left();
            break;
        case khrTop:
            top();
            break;
        case khrRight:
            right();
            break;
        case khrBottom:
            bottom();
            break;
        case khrTopLeft:
            top();
            left();
            break;
        case khrTopRight:
            top();
            right();
            break;
        case khrBottomLeft:
            bottom();
            left();
            break;
        case khrBottomRight:
            bottom();
            right();
            break;
        default:
            break;
    }
    return r;
}

TRect Gravitate(const TRect& proposed, const TRect& area, int32_t distance, int32_t shadowSize) {
    const int32_t margin = std::max(shadowSize, 0);
    const TRect r{proposed.Left, proposed.Top, proposed.Right - margin, proposed.Bottom - margin};
    int32_t dx = 0;
    int32_t dy = 0;
    if (std::abs(r.Left - area.Left) < distance) {
        dx = area.Left - r.Left;
    } else if (std::abs(r.Right - area.Right) < distance) {
        dx = area.Right - r.Right;
    }
    if (std::abs(r.Top - area.Top) < distance) {
        dy = area.Top - r.Top;
    } else if (std::abs(r.Bottom - area.Bottom) < distance) {
        dy = area.Bottom - r.Bottom;
    }
    return proposed.Offset(dx, dy);
}

}  // namespace zaprelay::skin
