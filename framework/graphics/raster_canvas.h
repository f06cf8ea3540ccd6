// TRasterCanvas: the software canvas backend. It draws into a 32-bit pixel surface (a
// TVxBitmap's or any other) with the built-in bitmap font, so the same calls give the same
// pixels on every build, with or without a platform to draw on.
#pragma once

#include "framework/graphics/canvas.h"
#include "framework/graphics/raster_font.h"

#include <cstdint>
#include <vector>

namespace zaprelay {

class TRasterCanvas : public TCanvas {
public:
    // The canvas borrows the pixels: the surface (or the bitmap's storage, taken as it is
    // now) must outlive it and keep its size.
    explicit TRasterCanvas(TPixelSurface surface);
    explicit TRasterCanvas(TVxBitmap& bitmap);

    std::optional<TPixelSurface> PixelSurface() override { return m_surface; }

    TPoint Origin() const override { return m_state.Origin; }
    void SetOrigin(TPoint origin) override { m_state.Origin = origin; }

    // Restore without a matching Save changes nothing.
    void Save() override;
    void Restore() override;
    void ExcludeClipRect(const TRect& rect) override;
    void IntersectClipRect(const TRect& rect) override;
    // The clip in device coordinates: disjoint rectangles inside the surface.
    const std::vector<TRect>& ClipRects() const { return m_state.Clip; }

    // clNone draws nothing.
    void FillRect(const TRect& rect, TColor color) override;
    void FrameRect(const TRect& rect, TColor color) override;
    // Inverts red, green and blue of the outline pixels whose device x + y is even.
    void DrawFocusRect(const TRect& rect) override;
    void Polyline(std::span<const TPoint> points, TColor color) override;

    void SetFont(const TFontData& font) override { m_state.Font = font; }
    const TFontData& Font() const override { return m_state.Font; }
    TPoint TextExtent(std::u16string_view text) override;
    // (x, y) is the top-left corner of the text cell; no prefix or tab processing.
    void TextOut(int32_t x, int32_t y, std::u16string_view text) override;
    // Vertical centring and bottom alignment apply to single lines, as on the platform;
    // RtlReading is accepted, the text still runs left to right. A word wider than the
    // rectangle keeps a line of its own.
    int32_t DrawText(std::u16string_view text, TRect& rect, uint32_t flags) override;

    // Kept for completeness: a raster canvas always has a surface, so bitmaps draw straight
    // into it. Like that direct path these ignore the clip.
    void StretchCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) override;
    bool TransparentCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) override;
    // Pixels of the area that lie outside the surface leave target's pixels as they are.
    void ReadArea(const TRect& area, TVxBitmap& target) override;

private:
    struct TState {
        TPoint Origin;
        std::vector<TRect> Clip;
        TFontData Font;
    };
    // One character of laid-out text: Accel marks an '&'-prefixed (underlined) one.
    struct TTextChar {
        char32_t Code = 0;
        bool Accel = false;
    };
    struct TTextRun {
        std::size_t Begin = 0;
        std::size_t End = 0;
    };

    TRect ToDevice(const TRect& rect) const;
    TRect ClipBounds() const;
    // Device rectangle, clipped to the clip and to limit.
    void FillDevice(const TRect& rect, const TRect& limit, TPixel pixel);
    bool Visible(int64_t x, int64_t y) const;
    // Only for a visible point.
    TPixel& PixelAt(int64_t x, int64_t y);
    // From a towards b, b itself not drawn.
    void DrawSegment(int64_t ax, int64_t ay, int64_t bx, int64_t by, TPixel pixel);

    // Text with the '&' prefixes resolved when prefix is set.
    static std::vector<TTextChar> Decode(std::u16string_view text, bool prefix);
    // x: the pen position from the start of the line, for tab stops.
    static int64_t CharWidth(const TRasterFont& font, const TTextChar& ch, int64_t x, bool expandTabs);
    static int64_t RunWidth(const TRasterFont& font,
                            const std::vector<TTextChar>& chars,
                            TTextRun run,
                            bool expandTabs);
    static std::vector<TTextRun> BreakLines(const TRasterFont& font,
                                            const std::vector<TTextChar>& chars,
                                            uint32_t flags,
                                            int64_t width);
    // (x, y): device position of the run's cell; limit: a further clip in device coordinates.
    void DrawRun(const TRasterFont& font,
                 const std::vector<TTextChar>& chars,
                 TTextRun run,
                 int64_t x,
                 int64_t y,
                 const TRect& limit,
                 bool expandTabs);
    void DrawGlyph(const TRasterFont& font, char32_t code, int64_t x, int64_t y, const TRect& limit);

    TPixelSurface m_surface;
    TState m_state;
    std::vector<TState> m_saved;
};

}  // namespace zaprelay
