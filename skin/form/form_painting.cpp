// Painting of the frame and the client background in the four buffering modes, and the
// window's shape.
#include "framework/graphics/vx_bitmap.h"
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

HDC BitmapDC(const TVxBitmap& bitmap) {
    return static_cast<HDC>(bitmap.DC());
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

TVxBitmap* TVxCustomForm::FrameBuffer(std::unique_ptr<TVxBitmap>& temporary) {
    if (m_animating && m_animationBitmap) {
        return m_animationBitmap.get();
    }
    const bool effects = EffectsEnabled();
    switch (m_performance) {
        case ksfpNoBuffer:
            if (!effects) {
                return nullptr;
            }
            break;
        case ksfpSharedBuffer:
            return &SharedBuffer(m_fullSize);
        case ksfpPersistentBuffer:
            if (!m_persistentBuffer) {
                m_persistentBuffer = std::make_unique<TVxBitmap>();
            }
            if (m_persistentBuffer->Width() != m_fullSize.X || m_persistentBuffer->Height() != m_fullSize.Y) {
                m_persistentBuffer->SetSize(m_fullSize.X, m_fullSize.Y);
            }
            return m_persistentBuffer.get();
        case ksfpDoubleBuffer:
            break;
    }
    temporary = std::make_unique<TVxBitmap>();
    temporary->SetSize(m_fullSize.X, m_fullSize.Y);
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
            BitBlt(window.Get(), band.Left, band.Top, band.Width(), band.Height(), BitmapDC(buffer), band.Left,
                   band.Top, SRCCOPY);
        }
    }
}

void TVxCustomForm::RedrawFrame() {
    HWND window = Window();
    if (window == nullptr || !m_paintingEnabled || m_fullSize.X <= 0 || m_fullSize.Y <= 0) {
        return;
    }
    const TRect area = GetClientArea();
    if (area.Left == 0 && area.Top == 0 && !m_shadow.Enabled()) {
        return;
    }
    std::unique_ptr<TVxBitmap> temporary;
    TVxBitmap* buffer = FrameBuffer(temporary);
    std::optional<win32::TWindowDC> direct;
    HDC target = nullptr;
    if (buffer != nullptr) {
        target = BitmapDC(*buffer);
    } else {
        direct.emplace(window, true);
        target = direct->Get();
    }
    if (target == nullptr) {
        return;
    }
    const int saved = SaveDC(target);
    if (buffer != nullptr && m_shadow.Enabled() && m_states.State() != kwsMaximized) {
        PaintShadow(*buffer);
    }
    ExcludeClipRect(target, area.Left, area.Top, area.Right, area.Bottom);
    {
        win32::TGdiCanvas canvas(target);
        win32::TGdiCanvas* outer = std::exchange(m_canvas, &canvas);
        try {
            PaintFrame(canvas);
        } catch (...) {
            m_canvas = outer;
            RestoreDC(target, saved);
            throw;
        }
        m_canvas = outer;
    }
    RestoreDC(target, saved);
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
    win32::TGdiCanvas* outer = std::exchange(m_canvas, &canvas);
    try {
        if (OnPaint && !Loading()) {
            OnPaint(this);
        } else {
            PaintBackground(canvas);
        }
    } catch (...) {
        m_canvas = outer;
        throw;
    }
    m_canvas = outer;
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
        HDC picture = BitmapDC(*m_animationBitmap);
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
    TVxBitmap* buffer = nullptr;
    switch (m_performance) {
        case ksfpNoBuffer:
            if (m_blending.Enabled()) {
                temporary = std::make_unique<TVxBitmap>();
                temporary->SetSize(client.Width(), client.Height());
                buffer = temporary.get();
            }
            break;
        case ksfpSharedBuffer:
            buffer = &SharedBuffer({client.Width(), client.Height()});
            break;
        case ksfpPersistentBuffer:
            if (!m_persistentBuffer) {
                m_persistentBuffer = std::make_unique<TVxBitmap>();
            }
            if (m_persistentBuffer->Width() < client.Width() || m_persistentBuffer->Height() < client.Height()) {
                m_persistentBuffer->SetSize(std::max(m_fullSize.X, client.Width()),
                                            std::max(m_fullSize.Y, client.Height()));
            }
            buffer = m_persistentBuffer.get();
            break;
        case ksfpDoubleBuffer:
            temporary = std::make_unique<TVxBitmap>();
            temporary->SetSize(client.Width(), client.Height());
            buffer = temporary.get();
            break;
    }
    HDC target = buffer != nullptr ? BitmapDC(*buffer) : dc;
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
    frame.Caption = m_caption;
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
    const bool wasActive = std::exchange(m_frameActive, true);
    try {
        {
            TOriginShift shift(dc, x, y);
            win32::TGdiCanvas canvas(dc);
            win32::TGdiCanvas* outer = std::exchange(m_canvas, &canvas);
            try {
                PaintFrame(canvas);
            } catch (...) {
                m_canvas = outer;
                throw;
            }
            m_canvas = outer;
        }
        const TRect area = GetClientArea();
        TOriginShift shift(dc, x + area.Left, y + area.Top);
        win32::TGdiCanvas canvas(dc);
        PaintClient(canvas);
    } catch (...) {
        m_frameActive = wasActive;
        throw;
    }
    m_frameActive = wasActive;
    m.Result = 1;
}

void TVxCustomForm::UpdateRegion() {
    HWND window = Window();
    if (m_performance == ksfpPersistentBuffer && m_fullSize.X > 0 && m_fullSize.Y > 0) {
        if (!m_persistentBuffer) {
            m_persistentBuffer = std::make_unique<TVxBitmap>();
        }
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
