// TCanvas over a Win32 device context. Bitmaps draw straight into the pixels when the
// context holds a top-down 32-bit DIB section, and through GDI blits otherwise.
#pragma once

#include "framework/graphics/canvas.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"

#include <string_view>
#include <utility>
#include <vector>

namespace zaprelay::win32 {

// A colour as GDI takes it: system colours resolved, the alpha byte dropped.
COLORREF ToColorRef(TColor color);

// Text in the engraved look of disabled controls, transparent, in the font selected into dc:
// a highlight copy one pixel down and right, the shadow copy on top of it.
void DrawEngravedText(HDC dc, std::u16string_view text, const RECT& r, UINT format);

class TGdiCanvas : public TCanvas {
public:
    // Borrows dc; the canvas leaves it as it found it (objects selected back, state restored).
    explicit TGdiCanvas(HDC dc);
    ~TGdiCanvas() override;
    TGdiCanvas(const TGdiCanvas&) = delete;
    TGdiCanvas& operator=(const TGdiCanvas&) = delete;

    HDC Handle() const { return m_dc; }

    std::optional<TPixelSurface> PixelSurface() override;
    TPoint Origin() const override;
    void SetOrigin(TPoint origin) override;
    void Save() override;
    void Restore() override;
    void ExcludeClipRect(const TRect& rect) override;
    void IntersectClipRect(const TRect& rect) override;
    void FillRect(const TRect& rect, TColor color) override;
    void FrameRect(const TRect& rect, TColor color) override;
    void DrawFocusRect(const TRect& rect) override;
    void Polyline(std::span<const TPoint> points, TColor color) override;
    void SetFont(const TFontData& font) override;
    const TFontData& Font() const override { return m_font; }
    TPoint TextExtent(std::u16string_view text) override;
    void TextOut(int32_t x, int32_t y, std::u16string_view text) override;
    int32_t DrawText(std::u16string_view text, TRect& rect, uint32_t flags) override;
    void StretchCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) override;
    bool TransparentCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) override;
    void ReadArea(const TRect& area, TVxBitmap& target) override;

private:
    // Selects the process's font object for the current font data.
    void UseFont();

    HDC m_dc;
    int m_initialState;
    TFontData m_font;
    std::vector<int> m_savedStates;
    std::vector<TFontData> m_savedFonts;
};

}  // namespace zaprelay::win32
