// A plain skinned scroll bar: two arrow buttons, a track and a thumb as long as the page is
// against the range, in the visual style or the classic pieces; the windowed skinned controls'
// built-in bars are these.
#pragma once

#include "framework/win32/timer.h"
#include "skin/controls/vx_custom_control.h"

#include <cstdint>
#include <memory>

namespace zaprelay::skin {

class TWindowTheme;

extern const TEnumInfo kVxScrollBarKindNames;

// code is the system's SB_LINEUP .. SB_ENDSCROLL; position is where the bar goes next, which
// the handler may change.
using TVxScrollEvent = TEvent<void(TObject* sender, int32_t code, int32_t& position)>;

class TVxScrollBar : public TVxCustomControl {
public:
    // The pieces along the bar, from its low end (top or left) to its high end.
    enum TPart : uint8_t { spNone, spLowArrow, spLowTrack, spThumb, spHighTrack, spHighArrow };

    explicit TVxScrollBar(TComponent* owner);
    ~TVxScrollBar() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    TVxScrollBarKind Kind() const { return m_kind; }
    // Turns the bar (width and height swap) unless it is being read.
    void SetKind(TVxScrollBarKind value);
    int32_t Min() const { return m_min; }
    // Max follows a Min above it, and Min a Max below it.
    void SetMin(int32_t value);
    int32_t Max() const { return m_max; }
    void SetMax(int32_t value);
    int32_t Position() const { return m_position; }
    // Clamped to Min .. MaxPosition.
    void SetPosition(int32_t value);
    // Positions one view shows; 0 for none (the thumb is then square).
    int32_t PageSize() const { return m_pageSize; }
    void SetPageSize(int32_t value);
    // The arrows' and the track's steps, at least 1.
    int32_t SmallChange() const { return m_smallChange; }
    void SetSmallChange(int32_t value);
    int32_t LargeChange() const { return m_largeChange; }
    void SetLargeChange(int32_t value);

    // The highest position: Max less the page but one, never below Min.
    int32_t MaxPosition() const;
    // Enabled, with somewhere to move; otherwise the bar looks disabled and ignores the mouse.
    bool Scrollable() const;

    // Where a piece lies now (empty when it has no room, as the thumb in a short track).
    TRect PartRect(TPart part) const;
    TPart PartAt(TPoint p) const;

    TVxScrollEvent OnScroll;

protected:
    // OnScroll, then the move to the position it leaves.
    virtual void Scroll(int32_t code, int32_t position);

    void PaintClient() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DoMouseLeave() override;

private:
    // The bar along its length, in the coordinate the kind runs in.
    struct TGeometry {
        TRect Area;
        bool Vertical = false;
        int32_t Begin = 0;
        int32_t TrackBegin = 0;
        int32_t ThumbBegin = 0;
        int32_t ThumbEnd = 0;
        int32_t TrackEnd = 0;
        int32_t End = 0;
        TRect Rect(TPart part) const;
    };
    TGeometry Geometry() const;
    int32_t Along(TPoint p) const { return m_kind == ksbVertical ? p.Y : p.X; }
    int32_t Clamped(int64_t position) const;
    // After Min, Max or PageSize changed: the position back in range.
    void RangeChanged();
    // The position that puts the thumb's low end at thumbBegin.
    int32_t PositionAt(const TGeometry& g, int32_t thumbBegin) const;
    // 0 normal, 1 hot, 2 pressed, 3 disabled.
    int Look(TPart part) const;
    void PaintThemed(const TWindowTheme& theme, HDC dc, const TGeometry& g);
    void PaintClassic(HDC dc, const TGeometry& g);

    // One step of a pressed arrow or track piece, toward the low or the high end.
    void Step(TPart part);
    void StartRepeat();
    void RepeatStep();
    // Ends a press: the thumb's final position, then the end of scrolling.
    void EndPress();
    void WMCaptureChanged(TMessage& m);

    TVxScrollBarKind m_kind = ksbHorizontal;
    int32_t m_min = 0;
    int32_t m_max = 100;
    int32_t m_position = 0;
    int32_t m_pageSize = 0;
    int32_t m_smallChange = 1;
    int32_t m_largeChange = 1;

    TPart m_hot = spNone;
    TPart m_pressed = spNone;
    TPoint m_mouse;
    int32_t m_grip = 0;           // from the thumb's low end to where it was taken
    int32_t m_trackPosition = 0;  // the last position dragging the thumb proposed
    std::unique_ptr<win32::TTimer> m_repeat;
};

}  // namespace zaprelay::skin
