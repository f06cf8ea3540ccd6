// The base of every windowed skinned control: buffered painting in a fixed order of steps,
// transparency over the parent's background, blending, a frame of border and bevels, mouse and
// focus tracking, and the answer to its own children's requests for its background.
#pragma once

#include "framework/win32/custom_control.h"
#include "skin/controls/control_types.h"
#include "skin/controls/vx_painted_control.h"

#include <cstdint>

namespace zaprelay::skin {

class TVxCustomControl : public TVxPaintedControl<win32::TCustomControl> {
public:
    explicit TVxCustomControl(TComponent* owner);
    ~TVxCustomControl() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // ---- frame
    int32_t BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int32_t value);
    TVxBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TVxBevelCut value);
    TVxBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TVxBevelCut value);
    TVxBevelKind BevelKind() const { return m_bevelKind; }
    // A kind other than kbkNone sets both cuts.
    void SetBevelKind(TVxBevelKind value);
    TVxBevelSides BevelSides() const { return m_bevelSides; }
    void SetBevelSides(TVxBevelSides value);
    int32_t BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int32_t value);
    bool ThemedFrame() const { return m_themedFrame; }
    void SetThemedFrame(bool value) { m_themedFrame = value; }
    // 0 none, 1 horizontal, 2 vertical, 3 both.
    uint8_t ScrollBarMode() const { return m_scrollBarMode; }
    void SetScrollBarMode(uint8_t value);

    // ---- state the descendants' looks follow
    bool HasFocus() const { return m_hasFocus; }

    // The full rectangle less the border on every side and the bevels on their sides.
    virtual TRect GetInnerRect() const;

protected:
    void CreateParams(win32::TCreateParams& params) override;
    void Paint() override;
    // Background and content. Base: unless Transparent, the inner rectangle in Color.
    virtual void PaintClient();
    // The ring between the full rectangle and GetInnerRect.
    virtual void PaintFrame();
    // After any frame property changed.
    virtual void FrameChanged() {}
    virtual void DoFocusEnter();
    virtual void DoFocusExit();

private:
    void FrameSet();
    // The frame, the client clip and PaintClient, on the canvas as bound now.
    void PaintLook();
    void PaintBevel(TRect& ring, TVxBevelCut cut, bool inner);

    void CMFocusEnter(TMessage& m);
    void CMFocusExit(TMessage& m);
    void WMEraseBkgnd(TMessage& m);
    void WMThemeChanged(TMessage& m);

    bool m_hasFocus = false;
    uint8_t m_scrollBarMode = 0;
    int32_t m_borderWidth = 0;
    TVxBevelCut m_bevelInner = kbvLowered;
    TVxBevelCut m_bevelOuter = kbvLowered;
    TVxBevelKind m_bevelKind = kbkNone;
    TVxBevelSides m_bevelSides = kAllBevelSides;
    int32_t m_bevelWidth = 0;
    bool m_themedFrame = true;
};

}  // namespace zaprelay::skin
