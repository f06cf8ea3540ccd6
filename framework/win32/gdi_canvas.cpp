#include "framework/win32/gdi_canvas.h"

#include "framework/graphics/pixel.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/font_cache.h"

#include <cstdlib>
#include <string>

namespace zaprelay::win32 {

COLORREF ToColorRef(TColor color) {
    return static_cast<COLORREF>(ResolveColor(color)) & 0x00FFFFFF;
}

void DrawEngravedText(HDC dc, std::u16string_view text, const RECT& r, UINT format) {
    TSavedDC saved(dc);
    SetBkMode(dc, TRANSPARENT);
    const auto* chars = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    RECT light = r;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, chars, length, &light, format);
    RECT shadow = r;
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextW(dc, chars, length, &shadow, format);
}

namespace {

RECT ToRECT(const TRect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

const wchar_t* Wide(std::u16string_view text) {
    return reinterpret_cast<const wchar_t*>(text.data());
}

}  // namespace

TGdiCanvas::TGdiCanvas(HDC dc) : m_dc(dc), m_initialState(SaveDC(dc)) {
    m_font = DefaultFontData();
}

TGdiCanvas::~TGdiCanvas() {
    if (m_initialState != 0) {
        RestoreDC(m_dc, m_initialState);  // also selects our font back out
    }
}

std::optional<TPixelSurface> TGdiCanvas::PixelSurface() {
    HGDIOBJ selected = GetCurrentObject(m_dc, OBJ_BITMAP);
    DIBSECTION dib{};
    if (selected == nullptr || GetObjectW(selected, sizeof dib, &dib) != sizeof dib) {
        return std::nullopt;  // not a DIB section
    }
    // Only top-down 32-bit sections: rows of a bottom-up one run the other way.
    const bool topDown = dib.dsBmih.biHeight < 0 || IsBitmapStorage(static_cast<HBITMAP>(selected));
    if (dib.dsBm.bmBits == nullptr || dib.dsBmih.biBitCount != 32 || !topDown) {
        return std::nullopt;
    }
    return TPixelSurface{static_cast<TPixel*>(dib.dsBm.bmBits), dib.dsBm.bmWidth, std::abs(dib.dsBm.bmHeight)};
}

// Both origins count: a parent asked to paint its background into a child's buffer finds the
// viewport moved by the child's position.
TPoint TGdiCanvas::Origin() const {
    POINT window{};
    POINT viewport{};
    GetWindowOrgEx(m_dc, &window);
    GetViewportOrgEx(m_dc, &viewport);
    return {window.x - viewport.x, window.y - viewport.y};
}

void TGdiCanvas::SetOrigin(TPoint origin) {
    POINT viewport{};
    GetViewportOrgEx(m_dc, &viewport);
    SetWindowOrgEx(m_dc, origin.X + viewport.x, origin.Y + viewport.y, nullptr);
}

void TGdiCanvas::Save() {
    m_savedStates.push_back(SaveDC(m_dc));
    m_savedFonts.push_back(m_font);
}

void TGdiCanvas::Restore() {
    if (m_savedStates.empty()) {
        return;
    }
    RestoreDC(m_dc, m_savedStates.back());
    m_savedStates.pop_back();
    m_font = m_savedFonts.back();
    m_savedFonts.pop_back();
}

void TGdiCanvas::ExcludeClipRect(const TRect& rect) {
    ::ExcludeClipRect(m_dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TGdiCanvas::IntersectClipRect(const TRect& rect) {
    ::IntersectClipRect(m_dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TGdiCanvas::FillRect(const TRect& rect, TColor color) {
    if (color == clNone) {
        return;
    }
    TBrushHandle brush(CreateSolidBrush(ToColorRef(color)));
    RECT r = ToRECT(rect);
    ::FillRect(m_dc, &r, brush.Get());
}

void TGdiCanvas::FrameRect(const TRect& rect, TColor color) {
    TBrushHandle brush(CreateSolidBrush(ToColorRef(color)));
    RECT r = ToRECT(rect);
    ::FrameRect(m_dc, &r, brush.Get());
}

void TGdiCanvas::DrawFocusRect(const TRect& rect) {
    RECT r = ToRECT(rect);
    ::DrawFocusRect(m_dc, &r);
}

void TGdiCanvas::Polyline(std::span<const TPoint> points, TColor color) {
    if (points.size() < 2) {
        return;
    }
    TPenHandle pen(CreatePen(PS_SOLID, 1, ToColorRef(color)));
    TSelectObject select(m_dc, pen.Get());
    std::vector<POINT> converted;
    converted.reserve(points.size());
    for (const TPoint& p : points) {
        converted.push_back({p.X, p.Y});
    }
    ::Polyline(m_dc, converted.data(), static_cast<int>(converted.size()));
}

void TGdiCanvas::SetFont(const TFontData& font) {
    m_font = font;
}

void TGdiCanvas::UseFont() {
    HFONT font = CachedFont(m_font);
    SelectObject(m_dc, font);
    SetTextColor(m_dc, ToColorRef(m_font.Color));
    SetBkMode(m_dc, TRANSPARENT);
}

TPoint TGdiCanvas::TextExtent(std::u16string_view text) {
    UseFont();
    SIZE size{};
    GetTextExtentPoint32W(m_dc, Wide(text), static_cast<int>(text.size()), &size);
    return {size.cx, size.cy};
}

void TGdiCanvas::TextOut(int32_t x, int32_t y, std::u16string_view text) {
    UseFont();
    TextOutW(m_dc, x, y, Wide(text), static_cast<int>(text.size()));
}

int32_t TGdiCanvas::DrawText(std::u16string_view text, TRect& rect, uint32_t flags) {
    UseFont();
    RECT r = ToRECT(rect);
    std::u16string copy(text);  // DrawTextW may write to the text with some flags
    int height = DrawTextW(m_dc, reinterpret_cast<wchar_t*>(copy.data()), static_cast<int>(copy.size()), &r, flags);
    rect = {r.left, r.top, r.right, r.bottom};
    return height;
}

void TGdiCanvas::StretchCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) {
    if (source.Empty()) {
        return;
    }
    if (HDC from = static_cast<HDC>(source.DC())) {
        StretchBlt(m_dc, dest.Left, dest.Top, dest.Width(), dest.Height(), from, src.Left, src.Top, src.Width(),
                   src.Height(), SRCCOPY);
        return;
    }
    // A bitmap in plain memory (before InstallWin32Graphics) goes through the DIB call.
    BITMAPINFO info = TopDownDibInfo(source.Width(), source.Height());
    StretchDIBits(m_dc, dest.Left, dest.Top, dest.Width(), dest.Height(), src.Left,
                  source.Height() - src.Bottom,  // DIB source rows count from the bottom
                  src.Width(), src.Height(), source.Bits(), &info, DIB_RGB_COLORS, SRCCOPY);
}

bool TGdiCanvas::TransparentCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) {
    TTransparentBltProc blit = TransparentBltEntry();
    HDC from = static_cast<HDC>(source.DC());
    if (blit == nullptr || from == nullptr) {
        return false;
    }
    blit(m_dc, dest.Left, dest.Top, dest.Width(), dest.Height(), from, src.Left, src.Top, src.Width(), src.Height(),
         TransparentColor);
    return true;
}

void TGdiCanvas::ReadArea(const TRect& area, TVxBitmap& target) {
    if (target.Empty()) {
        return;
    }
    if (HDC to = static_cast<HDC>(target.DC())) {
        BitBlt(to, 0, 0, area.Width(), area.Height(), m_dc, area.Left, area.Top, SRCCOPY);
        return;
    }
    // Into plain memory: through a temporary screen-compatible bitmap and GetDIBits.
    TBitmapHandle copy(CreateCompatibleBitmap(m_dc, target.Width(), target.Height()));
    TMemoryDC dc(CreateCompatibleDC(m_dc));
    {
        TSelectObject select(dc.Get(), copy.Get());
        BitBlt(dc.Get(), 0, 0, area.Width(), area.Height(), m_dc, area.Left, area.Top, SRCCOPY);
    }
    BITMAPINFO info = TopDownDibInfo(target.Width(), target.Height());
    GetDIBits(dc.Get(), copy.Get(), 0, static_cast<UINT>(target.Height()), target.Bits(), &info, DIB_RGB_COLORS);
}

}  // namespace zaprelay::win32
