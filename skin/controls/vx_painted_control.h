// What both skinned control bases publish and track over their framework base (windowed or
// window-less): Blending, Performance and Transparent with their rules, the paint font and
// the mouse-in-control flag.
#pragma once

#include "framework/win32/custom_control.h"
#include "framework/win32/messages.h"
#include "skin/controls/control_painting.h"
#include "skin/controls/control_types.h"
#include "skin/form/form_options.h"

namespace zaprelay::skin {

template <typename Base>
class TVxPaintedControl : public Base {
public:
    explicit TVxPaintedControl(TComponent* owner) : Base(owner) {
        this->SetColor(clBtnFace);
        // Every pixel is painted here: the parent need not paint under the control.
        this->SetControlStyle(this->ControlStyle() | win32::csOpaque);
        this->SetBounds(0, 0, 100, 30);
        m_paint.PaintFont().CopyFrom(*this->Font());
    }

    static const TMessageTable& StaticMessageTable() {
        using T = TVxPaintedControl;
        static const TMessageTable table = TMessageTable::For<T, Base>()
                                               .template On<&T::CMMouseEnter>(win32::CM_MOUSEENTER)
                                               .template On<&T::CMMouseLeave>(win32::CM_MOUSELEAVE);
        return table;
    }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    TVxBlending* Blending() { return &m_paint.Blending(); }
    // Copies the options in; blending on an unbuffered control switches it to kspDoubleBuffer.
    void SetBlending(const TVxBlending& value) {
        m_paint.Blending().CopyFrom(value);
        m_paint.BlendingChanged();
        if (!this->HasState(csLoading)) {
            this->Invalidate();
        }
    }
    TVxPerformance Performance() const { return m_paint.Performance(); }
    // kspNoBuffer is refused while blending: blending composes in a buffer.
    void SetPerformance(TVxPerformance value) {
        if (m_paint.SetPerformance(value)) {
            this->Invalidate();
        }
    }
    bool Transparent() const { return m_paint.Transparent(); }
    void SetTransparent(bool value) {
        if (m_paint.SetTransparent(value)) {
            this->Invalidate();
        }
    }

    bool MouseInControl() const { return m_mouseInControl; }
    // The font painting uses: Font's copy, which descendants may replace from the skin.
    TFont& PaintFont() { return m_paint.PaintFont(); }
    const TFont& PaintFont() const { return m_paint.PaintFont(); }

protected:
    virtual void DoMouseEnter() {
        m_mouseInControl = true;
        if (this->OnMouseEnter) {
            this->OnMouseEnter(this);
        }
    }
    virtual void DoMouseLeave() {
        m_mouseInControl = false;
        if (this->OnMouseLeave) {
            this->OnMouseLeave(this);
        }
    }

    // The canvas as bound for painting (the target, a buffer or a child's request).
    win32::TGdiCanvas& PaintCanvas() { return this->Canvas().Canvas(); }
    TPaintSettings& Painting() { return m_paint; }

private:
    // The framework's handling is its mouse-inside flag and the event; the event comes from
    // DoMouseEnter here, once, after MouseInControl is set.
    void CMMouseEnter(TMessage&) {
        this->IncludeControlState(win32::csMouseInside);
        DoMouseEnter();
    }
    void CMMouseLeave(TMessage&) {
        this->ExcludeControlState(win32::csMouseInside);
        DoMouseLeave();
    }

    TPaintSettings m_paint;
    bool m_mouseInControl = false;
};

}  // namespace zaprelay::skin
