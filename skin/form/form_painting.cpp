// Painting of the frame and the client background in the four buffering modes, and the
// window's shape.
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/scoped_value.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/forms.h"
#include "skin/form/default_frame_painter.h"
#include "skin/form/frame_metrics.h"
#include "skin/form/vx_custom_form.h"
#include "skin/form/window_theme.h"

#include <algorithm>

namespace zaprelay::skin {
namespace {

// One bitmap for every form of the process that asks for the shared buffer; it only grows.
TVxBitmap& SharedBuffer(TPoint size) {
    static TVxBitmap buffer;
    if (buffer.Width() < size.X || buffer.Height() < size.Y) {
        buffer.SetSize(std::max(buffer.Width(), size.X), std::max(buffer.Height(), size.Y));
    }
    return buffer;
}

// Moves a context's drawing by (dx, dy) for the object's life.
class TOriginShift {
public:
    TOriginShift(HDC dc, int dx, int dy) : m_dc(dc) { OffsetWindowOrgEx(dc, -dx, -dy, &m_old); }
    ~TOriginShift() { SetWindowOrgEx(m_dc, m_old.x, m_old.y, nullptr); }
    TOriginShift(const TOriginShift&) = delete;
    TOriginShift& operator=(const TOriginShift&) = delete;

private:
    HDC m_dc;
    POINT m_old{};
};

}  // namespace

TVxBitmap* TVxCustomForm::PaintBuffer(TPoint size, bool unbufferedNeedsOne, std::unique_ptr<TVxBitmap>& temporary) {
    switch (m_performance) {
        case ksfpNoBuffer:
            if (!unbufferedNeedsOne) {
                return nullptr;
            }
            break;
        case ksfpSharedBuffer:
            return &SharedBuffer(size);
        case ksfpPersistentBuffer:
            if (!m_persistentBuffer) {
                m_persistentBuffer = std::make_unique<TVxBitmap>();
            }
            if (m_persistentBuffer->Width() < size.X || m_persistentBuffer->Height() < size.Y) {
                m_persistentBuffer->SetSize(std::max(m_persistentBuffer->Width(), size.X),
                                            std::max(m_persistentBuffer->Height(), size.Y));
            }
            return m_persistentBuffer.get();
        case ksfpDoubleBuffer:
            break;
    }
    temporary = std::make_unique<TVxBitmap>();
    temporary->SetSize(size.X, size.Y);
    return temporary.get();
}

void TVxCustomForm::CopyFrameBands(const TVxBitmap& buffer) {
    win32::TWindowDC window(Window(), true);
    if (window.Get() == nullptr) {
        return;
    }
    const TRect area = GetClientArea();
    const TPoint full = m_fullSize;
    const TRect bands[] = {
        {0, 0, full.X, area.Top},
        {0, area.Bottom, full.X, full.Y},
        {0, area.Top, area.Left, area.Bottom},
        {area.Right, area.Top, full.X, area.Bottom},
    };
    for (const TRect& band : bands) {
        if (!band.IsEmpty()) {
            BitBlt(window.Get(), band.Left, band.Top, band.Width(), band.Height(), win32::BitmapDC(buffer), band.Left,
                   band.Top, SRCCOPY);
        }
    }
}

void TVxCustomForm::RedrawFrame() {
    HWND window = Window();
    if (window == nullptr || !m_paintingEnabled || m_fullSize.X <= 0 || m_fullSize.Y <= 0) {
        return;
    }
    // A maximized MDI child has no frame: it fills the parent's client.
    const TRect area = GetClientArea();
    if (MaximizedMdiChild() || (area.Left == 0 && area.Top == 0 && !m_shadow.Enabled())) {
        return;
    }
    std::unique_ptr<TVxBitmap> temporary;
    // A running animation draws into its own picture; shadow and blending need a bitmap to
    // compose in even without buffering.
    TVxBitmap* buffer = m_animating && m_animationBitmap ? m_animationBitmap.get()
                                                         : PaintBuffer(m_fullSize, EffectsEnabled(), temporary);
    std::optional<win32::TWindowDC> direct;
    HDC target = nullptr;
    if (buffer != nullptr) {
        target = win32::BitmapDC(*buffer);
    } else {
        direct.emplace(window, true);
        target = direct->Get();
    }
    if (target == nullptr) {
        return;
    }
    {
        win32::TSavedDC saved(target);
        if (buffer != nullptr && m_shadow.Enabled() && m_states.State() != kwsMaximized) {
            PaintShadow(*buffer);
        }
        ExcludeClipRect(target, area.Left, area.Top, area.Right, area.Bottom);
        win32::TGdiCanvas canvas(target);
        TScopedValue<win32::TGdiCanvas*> painting(m_canvas, &canvas);
        PaintFrame(canvas);
    }
    if (buffer != nullptr && m_blending.Enabled()) {
        GdiFlush();
        BlendFrameBands(*buffer);
    }
    // A running animation shows its bitmap itself.
    if (buffer != nullptr && !m_animating) {
        CopyFrameBands(*buffer);
    }
}

void TVxCustomForm::PaintClient(win32::TGdiCanvas& canvas) {
    TScopedValue<win32::TGdiCanvas*> painting(m_canvas, &canvas);
    if (OnPaint && !Loading()) {
        OnPaint(this);
    } else {
        PaintBackground(canvas);
    }
}

void TVxCustomForm::EraseBackground(HDC dc, const TRect* part) {
    HWND window = Window();
    if (window == nullptr || !m_paintingEnabled) {
        return;
    }
    std::optional<win32::TWindowDC> own;
    if (dc == nullptr) {
        own.emplace(window, false);
        dc = own->Get();
        if (dc == nullptr) {
            return;
        }
    }
    const TRect area = GetClientArea();
    const TRect client{0, 0, area.Width(), area.Height()};
    const TRect copied = part != nullptr ? Intersect(*part, client) : client;
    if (copied.IsEmpty()) {
        return;
    }
    if (m_animating && m_animationBitmap) {
        HDC picture = win32::BitmapDC(*m_animationBitmap);
        const int saved = SaveDC(picture);
        OffsetWindowOrgEx(picture, -area.Left, -area.Top, nullptr);
        IntersectClipRect(picture, 0, 0, client.Width(), client.Height());
        {
            win32::TGdiCanvas canvas(picture);
            PaintClient(canvas);
        }
        RestoreDC(picture, saved);
        if (m_blending.Enabled()) {
            GdiFlush();
            m_animationBitmap->SetAlphaRect(static_cast<uint8_t>(m_blending.Value()), area);
            ComposeOverBackground(*m_animationBitmap, area, {0, 0});
        }
        return;
    }
    std::unique_ptr<TVxBitmap> temporary;
    // Blending needs a bitmap to compose in even without buffering.
    TVxBitmap* buffer = PaintBuffer({client.Width(), client.Height()}, m_blending.Enabled(), temporary);
    HDC target = buffer != nullptr ? win32::BitmapDC(*buffer) : dc;
    if (target == nullptr) {
        return;
    }
    {
        const int saved = SaveDC(target);
        if (part != nullptr && buffer == nullptr) {
            IntersectClipRect(target, copied.Left, copied.Top, copied.Right, copied.Bottom);
        }
        win32::TGdiCanvas canvas(target);
        try {
            PaintClient(canvas);
        } catch (...) {
            RestoreDC(target, saved);
            throw;
        }
        RestoreDC(target, saved);
    }
    if (buffer != nullptr) {
        if (m_blending.Enabled()) {
            GdiFlush();
            BlendClient(*buffer, copied);
        }
        BitBlt(dc, copied.Left, copied.Top, copied.Width(), copied.Height(), target, copied.Left, copied.Top, SRCCOPY);
    }
}

void TVxCustomForm::PaintBackground(win32::TGdiCanvas& canvas) {
    const TRect area = GetClientArea();
    const TColor color = Target() != nullptr ? Target()->Color() : clBtnFace;
    canvas.FillRect({0, 0, area.Width(), area.Height()}, color);
}

void TVxCustomForm::PaintFrame(win32::TGdiCanvas& canvas) {
    TDefaultFrame frame;
    frame.FormSize = m_formSize;
    frame.Style = m_borderStyle;
    frame.Icons = m_borderIcons;
    frame.State = m_states.State();
    frame.Active = m_frameActive;
    frame.Themed = VisualStylesActive();
    frame.HotRegion = m_hotRegion;
    frame.PressedRegion = m_pressedRegion;
    frame.Caption = m_caption + CaptionSuffix();
    frame.RightToLeftReading = Target() != nullptr && Target()->UseRightToLeftReading();
    frame.SmallIcon = FormIcon();
    frame.Performance = m_performance;
    frame.Metrics = FrameMetrics();
    PaintDefaultFrame(canvas.Handle(), frame);
}

void TVxCustomForm::VXMPaintToDC(TMessage& m) {
    auto* dc = reinterpret_cast<HDC>(m.LParam);
    if (dc == nullptr) {
        m.Result = 0;
        return;
    }
    SetHandled(true);
    const int x = static_cast<int16_t>(m.WParam & 0xFFFF);
    const int y = static_cast<int16_t>((m.WParam >> 16) & 0xFFFF);
    TScopedValue<bool> active(m_frameActive, true);
    {
        TOriginShift shift(dc, x, y);
        win32::TGdiCanvas canvas(dc);
        TScopedValue<win32::TGdiCanvas*> painting(m_canvas, &canvas);
        PaintFrame(canvas);
    }
    const TRect area = GetClientArea();
    TOriginShift shift(dc, x + area.Left, y + area.Top);
    win32::TGdiCanvas canvas(dc);
    PaintClient(canvas);
    m.Result = 1;
}

void TVxCustomForm::UpdateRegion() {
    HWND window = Window();
    // The persistent buffer follows the window's size (it is made on the first paint).
    if (m_persistentBuffer && m_fullSize.X > 0 && m_fullSize.Y > 0) {
        m_persistentBuffer->SetSize(m_fullSize.X, m_fullSize.Y);
    }
    if (window != nullptr) {
        m_paintingEnabled = false;
        try {
            win32::TRegionHandle region = CreateRegion();
            // The shadow is the form's own shape again, offset down and right.
            if (region && m_shadow.Enabled() && m_states.State() != kwsMaximized) {
                win32::TRegionHandle copy = CreateRegion();
                if (copy) {
                    OffsetRgn(copy.Get(), m_shadow.Size(), m_shadow.Size());
                    CombineRgn(region.Get(), region.Get(), copy.Get(), RGN_OR);
                }
            }
            if (SetWindowRgn(window, region.Get(), TRUE) != 0) {
                region.Detach();  // the window owns it now
            }
        } catch (...) {
            m_paintingEnabled = true;
            throw;
        }
        m_paintingEnabled = true;
    }
    if (OnResize) {
        OnResize(this);
    }
}

win32::TRegionHandle TVxCustomForm::CreateRegion() {
    const TRect whole{0, 0, m_formSize.X, m_formSize.Y};
    if (m_borderStyle != kbsNone && VisualStylesActive()) {
        TWindowTheme theme;
        const int part = m_borderStyle == kbsToolWindow ? kWpSmallCaption : kWpCaption;
        win32::TRegionHandle region =
            theme.BackgroundRegion(part, m_frameActive ? kFrameStateActive : kFrameStateInactive, whole);
        if (region) {
            return region;
        }
    }
    return win32::TRegionHandle(CreateRectRgn(whole.Left, whole.Top, whole.Right, whole.Bottom));
}

}  // namespace zaprelay::skin
