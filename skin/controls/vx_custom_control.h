// The base of every windowed skinned control: buffered painting in a fixed order of steps,
// transparency over the parent's background, blending, a frame of border and bevels (or the
// visual style's), built-in scroll bars, mouse and focus tracking, and the answer to its own
// children's requests for its background.
#pragma once

#include "framework/win32/custom_control.h"
#include "skin/controls/control_types.h"
#include "skin/controls/vx_painted_control.h"

#include <cstdint>

namespace zaprelay::skin {

class TVxScrollBar;

enum TVxScrollBarKind : uint8_t { ksbHorizontal, ksbVertical };

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
    // With visual styles on, the frame is the "Edit" class's text box instead of bevels and border.
    void SetThemedFrame(bool value);
    // 0 none, 1 horizontal, 2 vertical, 3 both. A change builds the bars anew.
    uint8_t ScrollBarMode() const { return m_scrollBarMode; }
    void SetScrollBarMode(uint8_t value);
    // The built-in scroll bars, owned and parented by this control; made anew with each window
    // of a control that has a parent, so their range is set up again after that. Their scroll
    // events arrive as WM_HSCROLL and WM_VSCROLL (no bar handle), and like the system's window
    // bars they stay where they are unless that handling moves them.
    TVxScrollBar* HorzScrollBar() const { return m_horzBar; }
    TVxScrollBar* VertScrollBar() const { return m_vertBar; }
    // The built-in bars' thickness.
    virtual int32_t ScrollBarSize() const;

    // ---- state the descendants' looks follow
    bool HasFocus() const { return m_hasFocus; }

    // The full rectangle less the border on every side and the bevels on their sides.
    virtual TRect GetInnerRect() const;
    // GetInnerRect less the built-in scroll bars.
    TRect ClientRect() const override;

    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void AfterRead() override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    // A new bar of kind for the built-in ones, owned by this control.
    virtual TVxScrollBar* CreateScrollBar(TVxScrollBarKind kind);

    void CreateParams(win32::TCreateParams& params) override;
    void CreateWnd() override;
    void Paint() override;
    // Background and content. Base: unless Transparent, the inner rectangle in Color.
    virtual void PaintClient();
    // The ring between the full rectangle and GetInnerRect.
    virtual void PaintFrame();
    // After any frame property changed.
    virtual void FrameChanged() {}
    virtual void DoFocusEnter();
    virtual void DoFocusExit();
    // A frame shows hot: repainted as the mouse comes and goes.
    void DoMouseEnter() override;
    void DoMouseLeave() override;

private:
    void FrameSet();
    // Only a control with a frame looks any different hot.
    void InvalidateFrame();
    void RebuildScrollBars();
    TVxScrollBar* MakeScrollBar(TVxScrollBarKind kind);
    // Places the built-in bars for a window of this size.
    void LayoutScrollBars(int32_t width, int32_t height);
    void BarScrolled(const TVxScrollBar& bar, int32_t code, int32_t& position);
    // The "Edit" text box part in state over rect; false where no visual style draws it.
    bool DrawThemedFrame(int state, const TRect& rect);
    // The frame, the client clip and PaintClient, on the canvas as bound now.
    void PaintLook();
    void PaintBevel(TRect& ring, TVxBevelCut cut, bool inner);

    void CMFocusEnter(TMessage& m);
    void CMFocusExit(TMessage& m);
    void WMEraseBkgnd(TMessage& m);
    void WMThemeChanged(TMessage& m);
    void WMWindowPosChanging(TMessage& m);

    bool m_hasFocus = false;
    TVxScrollBar* m_horzBar = nullptr;
    TVxScrollBar* m_vertBar = nullptr;
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
