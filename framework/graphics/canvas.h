// The drawing surface skin objects, frames and controls paint through. Two backends: GDI
// on a device context (Win32) and a software raster over a 32-bit pixel surface. When the
// target is a top-down 32-bit surface, bitmaps draw straight into its pixels.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/graphics/pixel_kernels.h"
#include "framework/rtl/font.h"
#include "framework/rtl/ident_tables.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace zaprelay {

class TVxBitmap;

// Text format flags, with the platform's values.
namespace TextFormat {
inline constexpr uint32_t Top = 0x0000;
inline constexpr uint32_t Center = 0x0001;
inline constexpr uint32_t Right = 0x0002;
inline constexpr uint32_t VCenter = 0x0004;
inline constexpr uint32_t Bottom = 0x0008;
inline constexpr uint32_t WordBreak = 0x0010;
inline constexpr uint32_t SingleLine = 0x0020;
inline constexpr uint32_t ExpandTabs = 0x0040;
inline constexpr uint32_t NoClip = 0x0100;
inline constexpr uint32_t CalcRect = 0x0400;
inline constexpr uint32_t NoPrefix = 0x0800;
inline constexpr uint32_t RtlReading = 0x20000;
}  // namespace TextFormat

class TCanvas {
public:
    virtual ~TCanvas() = default;

    // The target's pixels when it is a top-down 32-bit surface (device coordinates, the
    // origin not applied); none otherwise.
    virtual std::optional<TPixelSurface> PixelSurface() = 0;

    // Logical point p is drawn at device point p - Origin().
    virtual TPoint Origin() const = 0;
    virtual void SetOrigin(TPoint origin) = 0;

    // Saves origin, clip, font and colours; Restore brings back the last saved state.
    virtual void Save() = 0;
    virtual void Restore() = 0;
    // Clip changes in logical coordinates; they never affect direct bitmap drawing.
    virtual void ExcludeClipRect(const TRect& rect) = 0;
    virtual void IntersectClipRect(const TRect& rect) = 0;

    virtual void FillRect(const TRect& rect, TColor color) = 0;
    // A one-pixel outline inside rect.
    virtual void FrameRect(const TRect& rect, TColor color) = 0;
    // A dotted outline inside rect, drawn by inverting pixels (a second call undoes it).
    virtual void DrawFocusRect(const TRect& rect) = 0;
    // Lines from point to point, the last point not drawn (as the platform's LineTo).
    virtual void Polyline(std::span<const TPoint> points, TColor color) = 0;

    virtual void SetFont(const TFontData& font) = 0;
    virtual const TFontData& Font() const = 0;
    // Text colour from the font; the background is left as it is.
    virtual TPoint TextExtent(std::u16string_view text) = 0;  // X = width, Y = height
    virtual void TextOut(int32_t x, int32_t y, std::u16string_view text) = 0;
    // Draws (or with CalcRect only measures, adjusting rect) text in rect with TextFormat
    // flags; returns the height of the text drawn.
    virtual int32_t DrawText(std::u16string_view text, TRect& rect, uint32_t flags) = 0;

    // Platform paths for bitmaps when there is no pixel surface (logical coordinates):
    // an opaque stretching copy; a copy that skips key pixels (false when the platform
    // has none); and a 1:1 read of the area at dest into target's pixels.
    virtual void StretchCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) = 0;
    virtual bool TransparentCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) = 0;
    virtual void ReadArea(const TRect& area, TVxBitmap& target) = 0;

    // Convenience over Polyline.
    void Line(TPoint from, TPoint to, TColor color) {
        TPoint points[2] = {from, to};
        Polyline(points, color);
    }
};

}  // namespace zaprelay
