// A bitmap object with an image for each state a host shows: hot, focused, pressed and
// disabled (check-box and radio-button marks, the glyphs of caption buttons).
#pragma once

#include "skin/objects/bitmap_object.h"

namespace zaprelay::skin {

class TVxButtonObject : public TVxBitmapObject {
public:
    explicit TVxButtonObject(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    void CopyFrom(const TPersistent& source) override;

    void LinkBitmaps() override;
    // The state's image when it is resolved, else Bitmap; nothing when Bitmap itself is not.
    void Draw(TCanvas& canvas) override;

    TVxBitmapLink& BitmapHot() { return *m_bitmapHot; }
    void SetBitmapHot(const TVxBitmapLink& value) { m_bitmapHot->CopyFrom(value); }
    TVxBitmapLink& BitmapFocused() { return *m_bitmapFocused; }
    void SetBitmapFocused(const TVxBitmapLink& value) { m_bitmapFocused->CopyFrom(value); }
    TVxBitmapLink& BitmapPressed() { return *m_bitmapPressed; }
    void SetBitmapPressed(const TVxBitmapLink& value) { m_bitmapPressed->CopyFrom(value); }
    TVxBitmapLink& BitmapDisabled() { return *m_bitmapDisabled; }
    void SetBitmapDisabled(const TVxBitmapLink& value) { m_bitmapDisabled->CopyFrom(value); }

private:
    TLinkSlot m_bitmapHot;
    TLinkSlot m_bitmapFocused;
    TLinkSlot m_bitmapPressed;
    TLinkSlot m_bitmapDisabled;
};

}  // namespace zaprelay::skin
