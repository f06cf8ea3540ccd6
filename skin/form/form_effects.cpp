// Translucency, drop shadow and show animation without layered windows: the screen pixels
// behind the window are captured, and the window's own pixels are composed over them.
#include "framework/graphics/pixel.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/scoped_value.h"
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/gdi_canvas.h"
#include "skin/form/transition.h"
#include "skin/form/vx_custom_form.h"
#include "skin/form/vx_timer.h"

#include <algorithm>
#include <random>

namespace zaprelay::skin {
namespace {

constexpr TPixel kShadowColour = 0x003F3F3F;
constexpr uint8_t kShadowAlpha = 0x80;
// The alphas of the first rows (or columns) of a shadow strip, so its end fades in.
constexpr uint8_t kShadowFade[] = {20, 70, 120, 120};

TPixel WithAlpha(TPixel pixel, uint8_t alpha) {
    return (pixel & 0x00FFFFFFu) | (static_cast<TPixel>(alpha) << 24);
}

}  // namespace

bool TVxCustomForm::EffectsEnabled() const {
    return m_blending.Enabled() || m_shadow.Enabled();
}

void TVxCustomForm::GrabBackground(const TRect& rect) {
    if (Target() == nullptr || rect == m_backgroundRect || m_recalcRunning || rect.IsEmpty()) {
        return;
    }
    // A maximized window has nothing of the screen around it to show; once it has been
    // restored, the next change captures again.
    if (!m_blending.Enabled() && (m_states.State() == kwsMaximized || m_states.PreviousState() == kwsMaximized)) {
        if (m_states.PreviousState() == kwsMaximized) {
            m_states.SetPreviousState(kwsNormal);
        }
        return;
    }
    auto fresh = std::make_unique<TVxBitmap>();
    fresh->SetSize(rect.Width(), rect.Height());
    win32::TWindowDC screen(nullptr);
    if (screen.Get() == nullptr || fresh->DC() == nullptr) {
        return;
    }
    BitBlt(win32::BitmapDC(*fresh), 0, 0, rect.Width(), rect.Height(), screen.Get(), rect.Left, rect.Top, SRCCOPY);
    // Where the old and new rectangles overlap the screen shows the window itself: those pixels
    // come from the earlier capture.
    const TRect overlap = m_background ? Intersect(rect, m_backgroundRect) : TRect();
    if (!overlap.IsEmpty()) {
        BitBlt(win32::BitmapDC(*fresh), overlap.Left - rect.Left, overlap.Top - rect.Top, overlap.Width(),
               overlap.Height(), win32::BitmapDC(*m_background), overlap.Left - m_backgroundRect.Left,
               overlap.Top - m_backgroundRect.Top, SRCCOPY);
    }
    m_background = std::move(fresh);
    m_backgroundRect = rect;
}

void TVxCustomForm::ComposeOverBackground(TVxBitmap& target, const TRect& area, TPoint offset) {
    if (!m_background) {
        return;
    }
    // target's pixel (x, y) lies over the background's (x + offset.X, y + offset.Y).
    const TRect inside =
        Intersect(Intersect(area, target.BoundsRect()), m_background->BoundsRect().Offset(-offset.X, -offset.Y));
    for (int32_t y = inside.Top; y < inside.Bottom; ++y) {
        TPixel* row = target.PixelPtr(0, y);
        const TPixel* back = m_background->PixelPtr(0, y + offset.Y) + offset.X;
        for (int32_t x = inside.Left; x < inside.Right; ++x) {
            row[x] = BlendPixel(row[x], back[x]) | 0xFF000000u;
        }
    }
}

void TVxCustomForm::PaintShadow(TVxBitmap& target) {
    const int32_t s = m_shadow.Size();
    const TPoint form = m_formSize;
    const TPoint full = m_fullSize;
    const TPixel shade = WithAlpha(kShadowColour, kShadowAlpha);
    // The shadow copy under the form's top and left bands shows where the form's shape has
    // cut-outs (rounded corners).
    const TRect underBands[] = {{s, s, form.X, std::min(form.Y, GetClientArea().Top + s)},
                                {s, s, std::min(form.X, GetClientArea().Left + s), form.Y}};
    for (const TRect& r : underBands) {
        target.FillRect(r, shade);
        ComposeOverBackground(target, r, {0, 0});
    }
    // The margin's corners outside the offset copy are not part of the window.
    target.FillRect({form.X, 0, full.X, s}, TransparentColor);
    target.FillRect({0, form.Y, s, full.Y}, TransparentColor);
    // The strips right of and below the form, their starts fading in.
    const TRect right{form.X, s, full.X, full.Y};
    const TRect below{s, form.Y, form.X, full.Y};
    target.FillRect(right, shade);
    target.FillRect(below, shade);
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(kShadowFade)); ++i) {
        const TPixel fade = WithAlpha(kShadowColour, kShadowFade[i]);
        // A diagonal run: the fade row of the right strip and the fade column of the strip below
        // grow by one pixel per step.
        target.FillRect({form.X, s + i, std::min(full.X, form.X + i + 1), s + i + 1}, fade);
        target.FillRect({s + i, form.Y, s + i + 1, std::min(full.Y, form.Y + i + 1)}, fade);
    }
    ComposeOverBackground(target, right, {0, 0});
    ComposeOverBackground(target, below, {0, 0});
}

void TVxCustomForm::BlendFrameBands(TVxBitmap& target) {
    const TRect area = GetClientArea();
    const TPoint form = m_formSize;
    const TRect bands[] = {{0, 0, form.X, area.Top},
                           {0, area.Bottom, form.X, form.Y},
                           {0, area.Top, area.Left, area.Bottom},
                           {area.Right, area.Top, form.X, area.Bottom}};
    for (const TRect& band : bands) {
        target.SetAlphaRect(static_cast<uint8_t>(m_blending.Value()), band);
        ComposeOverBackground(target, band, {0, 0});
    }
}

void TVxCustomForm::BlendClient(TVxBitmap& target, const TRect& part) {
    const TRect area = GetClientArea();
    target.SetAlphaRect(static_cast<uint8_t>(m_blending.Value()), part);
    ComposeOverBackground(target, part, {area.Left, area.Top});
}

void TVxCustomForm::PlayShowAnimation() {
    HWND window = Window();
    if (!m_animation.Enabled() || ControlHook() == nullptr || window == nullptr || m_animating) {
        return;
    }
    if (win32::Application() != nullptr) {
        win32::Application()->ProcessMessages();
    }
    RECT r;
    GetWindowRect(window, &r);
    const TRect screenRect{r.left, r.top, r.right, r.bottom};
    if (screenRect.IsEmpty()) {
        return;
    }
    // The picture, the running flag and the active look last for the animation only.
    TScopedValue<std::unique_ptr<TVxBitmap>> picture(m_animationBitmap, std::make_unique<TVxBitmap>());
    m_animationBitmap->SetSize(screenRect.Width(), screenRect.Height());
    TScopedValue<bool> animating(m_animating, true);
    TScopedValue<bool> active(m_frameActive, true);
    m_backgroundRect = TRect();
    m_background.reset();
    GrabBackground(screenRect);
    // Both land in the animation bitmap while it runs.
    RedrawFrame();
    SendMessageW(window, WM_ERASEBKGND, 0, 0);
    DrawChildrenInto(*m_animationBitmap);
    GdiFlush();  // the pixels are worked on directly from here
    MaskOutsideShape(*m_animationBitmap);
    if (m_background) {
        TTransitionSettings settings;
        std::mt19937 random(std::random_device{}());
        settings.Effect = ResolveEffect(m_animation.Effect(), [&random] { return static_cast<uint32_t>(random()); });
        settings.Direction = m_animation.Direction();
        settings.Resolution = m_animation.Resolution();
        settings.TileCount = m_animation.TileCount();
        win32::TWindowDC screen(nullptr);
        TVxTimer clock;
        clock.Start();
        const TVxBitmap& last = *m_animationBitmap;
        RunTransition(
            *m_background, last, settings, m_animation.Time(),
            [&](const TVxBitmap& frame) {
                if (&frame == &last) {
                    win32::TGdiCanvas canvas(screen.Get());
                    frame.Draw(canvas, screenRect.Left, screenRect.Top, true);
                } else {
                    BitBlt(screen.Get(), screenRect.Left, screenRect.Top, frame.Width(), frame.Height(),
                           win32::BitmapDC(frame), 0, 0, SRCCOPY);
                }
            },
            [&clock] { return clock.Elapsed() * 1000.0; });
    }
}

void TVxCustomForm::DrawChildrenInto(TVxBitmap& target) {
    win32::TWinControl* owner = Target();
    HDC dc = win32::BitmapDC(target);
    if (owner == nullptr || dc == nullptr) {
        return;
    }
    const TRect area = GetClientArea();
    const int saved = SaveDC(dc);
    OffsetWindowOrgEx(dc, -area.Left, -area.Top, nullptr);
    owner->PaintControls(dc, nullptr);
    for (int i = 0; i < owner->ControlCount(); ++i) {
        auto* child = dynamic_cast<win32::TWinControl*>(owner->Controls(i));
        if (child == nullptr || !child->Visible() || !child->HandleAllocated()) {
            continue;
        }
        // Each child prints into a picture of its own at the origin: controls clip to their
        // rectangle in device units and would clip everything away under a moved origin.
        const TRect bounds = child->BoundsRect();
        TVxBitmap picture;
        picture.SetSize(bounds.Width(), bounds.Height());
        if (picture.DC() == nullptr) {
            continue;
        }
        SendMessageW(child->WindowHandle(), WM_PRINT, reinterpret_cast<WPARAM>(win32::BitmapDC(picture)),
                     PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
        BitBlt(dc, bounds.Left, bounds.Top, bounds.Width(), bounds.Height(), win32::BitmapDC(picture), 0, 0, SRCCOPY);
    }
    RestoreDC(dc, saved);
}

void TVxCustomForm::MaskOutsideShape(TVxBitmap& target) {
    target.SetAlpha(255);
    target.ReplaceColor(TransparentColor);
    win32::TRegionHandle shape = CreateRegion();
    const int32_t s = m_shadow.Enabled() && m_states.State() != kwsMaximized ? m_shadow.Size() : 0;
    if (s > 0 && shape) {
        win32::TRegionHandle copy = CreateRegion();
        if (copy) {
            OffsetRgn(copy.Get(), s, s);
            CombineRgn(shape.Get(), shape.Get(), copy.Get(), RGN_OR);
        }
    }
    if (!shape) {
        return;
    }
    // Only the margin strips can lie outside the shape's rectangle.
    const TPoint form = m_formSize;
    for (int32_t y = 0; y < target.Height(); ++y) {
        TPixel* row = target.PixelPtr(0, y);
        const bool marginRow = y <= s || y >= form.Y;
        for (int32_t x = 0; x < target.Width(); ++x) {
            if ((marginRow || x <= s || x >= form.X) && !PtInRegion(shape.Get(), x, y)) {
                row[x] = TransparentColor;
            }
        }
    }
}

}  // namespace zaprelay::skin
