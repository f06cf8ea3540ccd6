// A canvas for bitmap tests: either a plain pixel surface, or a platform-like target that
// records the blits asked of it.
#pragma once

#include "framework/graphics/canvas.h"
#include "framework/graphics/vx_bitmap.h"

#include <vector>

namespace zaprelay::test {

class TFakeCanvas : public TCanvas {
public:
    struct Blit {
        TRect Dest;
        TRect Src;
        bool Transparent;
    };

    // With a surface the bitmap draws straight into it; without, through the blit calls.
    explicit TFakeCanvas(std::optional<TPixelSurface> surface = std::nullopt, bool hasTransparentBlit = true)
        : m_surface(surface), m_hasTransparentBlit(hasTransparentBlit) {}

    std::optional<TPixelSurface> PixelSurface() override { return m_surface; }
    TPoint Origin() const override { return m_origin; }
    void SetOrigin(TPoint origin) override { m_origin = origin; }
    void Save() override {}
    void Restore() override {}
    void ExcludeClipRect(const TRect&) override {}
    void IntersectClipRect(const TRect&) override {}
    void FillRect(const TRect&, TColor) override {}
    void FrameRect(const TRect&, TColor) override {}
    void DrawFocusRect(const TRect&) override {}
    void Polyline(std::span<const TPoint>, TColor) override {}
    void SetFont(const TFontData& font) override { m_font = font; }
    const TFontData& Font() const override { return m_font; }
    TPoint TextExtent(std::u16string_view) override { return {}; }
    void TextOut(int32_t, int32_t, std::u16string_view) override {}
    int32_t DrawText(std::u16string_view, TRect&, uint32_t) override { return 0; }

    void StretchCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) override {
        Blits.push_back({dest, src, false});
        LastCopied.clear();
        for (int32_t y = src.Top; y < src.Bottom; ++y) {
            for (int32_t x = src.Left; x < src.Right; ++x) {
                LastCopied.push_back(source.GetPixel(x, y));
            }
        }
    }
    bool TransparentCopy(const TVxBitmap&, const TRect& dest, const TRect& src) override {
        if (!m_hasTransparentBlit) {
            return false;
        }
        Blits.push_back({dest, src, true});
        return true;
    }
    void ReadArea(const TRect& area, TVxBitmap& target) override {
        ReadAreas.push_back(area);
        target.Fill(Background);
    }

    std::vector<Blit> Blits;
    std::vector<TRect> ReadAreas;
    std::vector<TPixel> LastCopied;  // the pixels of the last opaque copy, row by row
    TPixel Background = 0xFF102030;

private:
    std::optional<TPixelSurface> m_surface;
    bool m_hasTransparentBlit;
    TPoint m_origin;
    TFontData m_font;
};

}  // namespace zaprelay::test
