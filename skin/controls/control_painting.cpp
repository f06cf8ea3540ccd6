#include "skin/controls/control_painting.h"

#include "framework/graphics/pixel.h"
#include "framework/rtl/scoped_value.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi_handles.h"
#include "skin/form/background_request.h"
#include "skin/form/vx_custom_form.h"

#include <algorithm>

namespace zaprelay::skin {

using win32::TControl;
using win32::TCustomForm;
using win32::TGraphicControl;
using win32::TSavedDC;
using win32::TWinControl;

namespace {

// Room beyond the screen for controls that reach past its edge.
constexpr int32_t kSharedBufferMargin = 500;

void PrepareSharedBuffer(TPoint size) {
    TVxBitmap& shared = SharedBuffer();
    if (!shared.Empty() && shared.Width() >= size.X && shared.Height() >= size.Y) {
        return;
    }
    // A control larger than the screen grows it; nothing ever shrinks it.
    shared.SetSize(std::max({GetSystemMetrics(SM_CXSCREEN) + kSharedBufferMargin, size.X, shared.Width()}),
                   std::max({GetSystemMetrics(SM_CYSCREEN) + kSharedBufferMargin, size.Y, shared.Height()}));
}

// The first active form component among those the control's outermost form owns.
TVxCustomForm* ActiveFormComponent(const TControl& control) {
    TCustomForm* form = control.GetParentForm();
    while (form != nullptr && form->Parent() != nullptr && form->Parent()->GetParentForm() != nullptr) {
        form = form->Parent()->GetParentForm();
    }
    if (form == nullptr) {
        return nullptr;
    }
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* component = dynamic_cast<TVxCustomForm*>(form->Components(i));
        if (component != nullptr && component->Active()) {
            return component;
        }
    }
    return nullptr;
}

void AskParent(TWinControl& parent, HDC dc, const TAskedBackground& asked) {
    const auto wParam = reinterpret_cast<uintptr_t>(dc);
    const intptr_t lParam = asked.LParam();
    if (dynamic_cast<TCustomForm*>(&parent) != nullptr) {
        // Through the window, so that a form component hooked on it answers.
        SendMessageW(parent.Handle(), WM_ERASEBKGND, wParam, lParam);
    } else {
        parent.Perform(WM_ERASEBKGND, wParam, lParam);
    }
}

// dc's origin is at the parent's client origin.
void PaintGraphicSiblings(const TControl& control, HDC dc) {
    // A blended sibling would paint this control again behind itself, and so on without end:
    // the siblings' own backgrounds go without siblings.
    static bool painting = false;
    if (painting) {
        return;
    }
    TScopedValue<bool> guard(painting, true);
    TWinControl* parent = control.Parent();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* sibling = parent->Controls(i);
        if (sibling == &control || !sibling->Visible() || dynamic_cast<TGraphicControl*>(sibling) == nullptr) {
            continue;
        }
        TSavedDC saved(dc);
        OffsetViewportOrgEx(dc, sibling->Left(), sibling->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, sibling->Width(), sibling->Height());
        sibling->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0);
    }
}

}  // namespace

TVxBitmap& SharedBuffer() {
    static TVxBitmap shared;
    return shared;
}

TPaintBuffer::TPaintBuffer(TVxPerformance mode, TPoint size, bool fill) : m_size(size) {
    if (mode == kspSharedBuffer) {
        PrepareSharedBuffer(size);
        m_bitmap = &SharedBuffer();
    } else if (mode == kspDoubleBuffer) {
        m_own = std::make_unique<TVxBitmap>();
        m_own->SetSize(size.X, size.Y);
        m_bitmap = m_own.get();
    }
    if (m_bitmap != nullptr && m_bitmap->Empty()) {
        m_bitmap = nullptr;  // out of memory: paint on the target
    }
    if (m_bitmap != nullptr && fill) {
        m_bitmap->FillRect({0, 0, size.X, size.Y}, TransparentColor);
    }
}

void TPaintBuffer::BlendOver(TVxBitmap& background, uint8_t alpha) {
    if (m_bitmap == nullptr) {
        return;
    }
    GdiFlush();  // the painting reaches the pixels before they are read
    m_bitmap->SetAlphaRect(alpha, {0, 0, m_size.X, m_size.Y});
    m_bitmap->MergeUnder(background, 0, 0, {0, 0, m_size.X, m_size.Y});
}

void TPaintBuffer::CopyTo(HDC target) const {
    if (m_bitmap != nullptr) {
        BitBlt(target, 0, 0, m_size.X, m_size.Y, DC(), 0, 0, SRCCOPY);
    }
}

void PaintParentBackground(TControl& control, HDC dc, TVxPerformance mode, bool blending) {
    TWinControl* parent = control.Parent();
    if (parent == nullptr || control.Width() <= 0 || control.Height() <= 0 || dc == nullptr) {
        return;
    }
    TSavedDC saved(dc);
    const TRect bounds = control.BoundsRect();
    const TAskedBackground request(bounds, mode != kspNoBuffer);
    if (mode != kspNoBuffer) {
        OffsetViewportOrgEx(dc, -bounds.Left, -bounds.Top, nullptr);
        AskParent(*parent, dc, request);
        if (blending) {
            PaintGraphicSiblings(control, dc);
        }
        return;
    }
    // An unbuffered control asks in a bitmap of its own, so that a parent painting more than
    // asked cannot reach outside the control.
    TVxBitmap temporary;
    temporary.SetSize(bounds.Width(), bounds.Height());
    HDC tdc = win32::BitmapDC(temporary);
    if (tdc == nullptr) {
        return;
    }
    {
        TSavedDC tsaved(tdc);
        OffsetViewportOrgEx(tdc, -bounds.Left, -bounds.Top, nullptr);
        if (dynamic_cast<TCustomForm*>(parent) == nullptr) {
            parent->Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(tdc), request.LParam());
        } else if (TVxCustomForm* component = ActiveFormComponent(control)) {
            IntersectClipRect(tdc, bounds.Left, bounds.Top, bounds.Right, bounds.Bottom);
            TMessage m{WM_ERASEBKGND, reinterpret_cast<uintptr_t>(tdc), request.LParam(), 0};
            bool handled = false;
            component->BeforeWndProc(m, handled);
        } else {
            AskParent(*parent, tdc, request);
        }
    }
    BitBlt(dc, 0, 0, bounds.Width(), bounds.Height(), tdc, 0, 0, SRCCOPY);
}

bool TPaintSettings::SetPerformance(TVxPerformance value) {
    if (value > kspDoubleBuffer || (value == kspNoBuffer && m_blending.Enabled()) || value == m_performance) {
        return false;
    }
    m_performance = value;
    return true;
}

bool TPaintSettings::SetTransparent(bool value) {
    if (value == m_transparent) {
        return false;
    }
    m_transparent = value;
    return true;
}

void TPaintSettings::BlendingChanged() {
    if (m_blending.Enabled() && m_performance == kspNoBuffer) {
        m_performance = kspDoubleBuffer;
    }
}

void TPaintSettings::PaintParentBackground(TControl& control, HDC dc) const {
    skin::PaintParentBackground(control, dc, m_performance, m_blending.Enabled());
}

void TPaintSettings::Paint(TControl& control,
                           win32::TControlCanvas& canvas,
                           bool fill,
                           const std::function<void()>& steps) {
    HDC target = canvas.Handle();
    TPaintBuffer buffer(m_performance, {control.Width(), control.Height()}, fill);
    {
        TCanvasRebinding binding(canvas, buffer.DC() != nullptr ? buffer.DC() : target);
        m_paintFont.CopyFrom(*control.Font());
        if (m_transparent) {
            PaintParentBackground(control, canvas.Handle());
        }
        steps();
    }
    if (m_blending.Enabled() && buffer.DC() != nullptr) {
        m_blendBitmap.SetSize(control.Width(), control.Height());
        m_blendBitmap.SetAlpha(255);
        skin::PaintParentBackground(control, win32::BitmapDC(m_blendBitmap), m_performance, true);
        GdiFlush();
        buffer.BlendOver(m_blendBitmap, static_cast<uint8_t>(m_blending.Value()));
    }
    buffer.CopyTo(target);
}

}  // namespace zaprelay::skin
