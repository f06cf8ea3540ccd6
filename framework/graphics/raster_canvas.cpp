#include "framework/graphics/raster_canvas.h"

#include "framework/graphics/vx_bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace zaprelay {
namespace {

constexpr int32_t kMinCoord = std::numeric_limits<int32_t>::min();
constexpr int32_t kMaxCoord = std::numeric_limits<int32_t>::max();
// A limit that limits nothing.
constexpr TRect kNoLimit = {kMinCoord, kMinCoord, kMaxCoord, kMaxCoord};
constexpr int32_t kTabStopChars = 8;

int32_t Clamp32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, kMinCoord, kMaxCoord));
}

TRect Rect64(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return {Clamp32(left), Clamp32(top), Clamp32(right), Clamp32(bottom)};
}

int Sign(int64_t v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// round(i * m / n), halves up, for 0 <= i, m <= n < 2^34: the products are split so that
// nothing overflows 64 bits, which keeps lines exact even between far-off device points.
uint64_t RoundedStep(uint64_t i, uint64_t m, uint64_t n) {
    const uint64_t d = 2 * n;
    const uint64_t high = (i >> 20) * m;
    const uint64_t low = (i & 0xFFFFF) * m;
    const uint64_t rest = ((high % d) << 20) + low;
    return ((high / d) << 21) + (2 * rest + n) / d;
}

bool IsBreakSpace(char32_t c) {
    return c == u' ' || c == u'\t';
}

bool IsLineBreak(char32_t c) {
    return c == u'\r' || c == u'\n';
}

}  // namespace

TRasterCanvas::TRasterCanvas(TPixelSurface surface) : m_surface(surface) {
    m_state.Font = DefaultFontData();
    if (m_surface.Valid()) {
        m_state.Clip.push_back({0, 0, m_surface.Width, m_surface.Height});
    }
}

TRasterCanvas::TRasterCanvas(TVxBitmap& bitmap) : TRasterCanvas(bitmap.Surface()) {}

void TRasterCanvas::Save() {
    m_saved.push_back(m_state);
}

void TRasterCanvas::Restore() {
    if (!m_saved.empty()) {
        m_state = std::move(m_saved.back());
        m_saved.pop_back();
    }
}

TRect TRasterCanvas::ToDevice(const TRect& rect) const {
    const int64_t ox = m_state.Origin.X;
    const int64_t oy = m_state.Origin.Y;
    return Rect64(rect.Left - ox, rect.Top - oy, rect.Right - ox, rect.Bottom - oy);
}

void TRasterCanvas::ExcludeClipRect(const TRect& rect) {
    const TRect hole = ToDevice(rect);
    std::vector<TRect> result;
    for (const TRect& c : m_state.Clip) {
        const TRect cut = Intersect(c, hole);
        if (cut.IsEmpty()) {
            result.push_back(c);
            continue;
        }
        // What is left of c: full-width bands above and below, and the two sides between.
        const TRect pieces[] = {{c.Left, c.Top, c.Right, cut.Top},
                                {c.Left, cut.Bottom, c.Right, c.Bottom},
                                {c.Left, cut.Top, cut.Left, cut.Bottom},
                                {cut.Right, cut.Top, c.Right, cut.Bottom}};
        for (const TRect& piece : pieces) {
            if (!piece.IsEmpty()) {
                result.push_back(piece);
            }
        }
    }
    m_state.Clip = std::move(result);
}

void TRasterCanvas::IntersectClipRect(const TRect& rect) {
    const TRect keep = ToDevice(rect);
    std::vector<TRect> result;
    for (const TRect& c : m_state.Clip) {
        const TRect piece = Intersect(c, keep);
        if (!piece.IsEmpty()) {
            result.push_back(piece);
        }
    }
    m_state.Clip = std::move(result);
}

TRect TRasterCanvas::ClipBounds() const {
    if (m_state.Clip.empty()) {
        return {};
    }
    TRect bounds = m_state.Clip.front();
    for (const TRect& c : m_state.Clip) {
        bounds = {std::min(bounds.Left, c.Left), std::min(bounds.Top, c.Top), std::max(bounds.Right, c.Right),
                  std::max(bounds.Bottom, c.Bottom)};
    }
    return bounds;
}

void TRasterCanvas::FillDevice(const TRect& rect, const TRect& limit, TPixel pixel) {
    const TRect area = Intersect(rect, limit);
    if (area.IsEmpty()) {
        return;
    }
    for (const TRect& c : m_state.Clip) {
        const TRect part = Intersect(area, c);
        if (!part.IsEmpty()) {
            FillPixels(m_surface, part, pixel);
        }
    }
}

bool TRasterCanvas::Visible(int64_t x, int64_t y) const {
    return std::any_of(m_state.Clip.begin(), m_state.Clip.end(),
                       [&](const TRect& c) { return x >= c.Left && x < c.Right && y >= c.Top && y < c.Bottom; });
}

TPixel& TRasterCanvas::PixelAt(int64_t x, int64_t y) {
    return m_surface.Bits[static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * m_surface.Width];
}

void TRasterCanvas::FillRect(const TRect& rect, TColor color) {
    if (color != clNone) {
        FillDevice(ToDevice(rect), kNoLimit, ColorToPixel(color));
    }
}

void TRasterCanvas::FrameRect(const TRect& rect, TColor color) {
    const TRect r = ToDevice(rect);
    if (color == clNone || r.IsEmpty()) {
        return;
    }
    const TPixel pixel = ColorToPixel(color);
    FillDevice({r.Left, r.Top, r.Right, r.Top + 1}, kNoLimit, pixel);
    FillDevice({r.Left, r.Bottom - 1, r.Right, r.Bottom}, kNoLimit, pixel);
    FillDevice({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, kNoLimit, pixel);
    FillDevice({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, kNoLimit, pixel);
}

void TRasterCanvas::DrawFocusRect(const TRect& rect) {
    const TRect r = ToDevice(rect);
    const TRect bounds = ClipBounds();
    if (r.IsEmpty() || Intersect(r, bounds).IsEmpty()) {
        return;
    }
    // Each outline pixel is visited once, so thin rectangles invert nothing twice.
    auto invert = [&](int64_t x, int64_t y) {
        if (((x + y) & 1) == 0 && Visible(x, y)) {
            PixelAt(x, y) ^= 0x00FFFFFF;
        }
    };
    const int64_t left = std::max<int64_t>(r.Left, bounds.Left);
    const int64_t right = std::min<int64_t>(r.Right, bounds.Right);
    const int64_t top = std::max<int64_t>(int64_t{r.Top} + 1, bounds.Top);
    const int64_t bottom = std::min<int64_t>(int64_t{r.Bottom} - 1, bounds.Bottom);
    for (int64_t x = left; x < right; ++x) {
        invert(x, r.Top);
        if (r.Bottom - 1 > r.Top) {
            invert(x, int64_t{r.Bottom} - 1);
        }
    }
    for (int64_t y = top; y < bottom; ++y) {
        invert(r.Left, y);
        if (r.Right - 1 > r.Left) {
            invert(int64_t{r.Right} - 1, y);
        }
    }
}

void TRasterCanvas::DrawSegment(int64_t ax, int64_t ay, int64_t bx, int64_t by, TPixel pixel) {
    const int64_t dx = bx - ax;
    const int64_t dy = by - ay;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int64_t n = std::max(std::abs(dx), std::abs(dy));
    const TRect bounds = ClipBounds();
    if (n == 0 || bounds.IsEmpty()) {
        return;
    }
    // Step along the major axis; only the steps whose major coordinate is inside the clip
    // are walked, so a long line costs no more than a short one.
    const int64_t major0 = xMajor ? ax : ay;
    const int64_t minor0 = xMajor ? ay : ax;
    const int majorSign = Sign(xMajor ? dx : dy);
    const int minorSign = Sign(xMajor ? dy : dx);
    const auto minorSpan = static_cast<uint64_t>(std::abs(xMajor ? dy : dx));
    const int64_t lo = xMajor ? bounds.Left : bounds.Top;
    const int64_t hi = xMajor ? bounds.Right : bounds.Bottom;
    int64_t first = majorSign > 0 ? lo - major0 : major0 - hi + 1;
    int64_t last = majorSign > 0 ? hi - major0 : major0 - lo + 1;
    first = std::max<int64_t>(first, 0);
    last = std::min(last, n);
    for (int64_t i = first; i < last; ++i) {
        const int64_t major = major0 + majorSign * i;
        const int64_t minor = minor0 + minorSign * static_cast<int64_t>(RoundedStep(static_cast<uint64_t>(i), minorSpan,
                                                                                    static_cast<uint64_t>(n)));
        const int64_t x = xMajor ? major : minor;
        const int64_t y = xMajor ? minor : major;
        if (Visible(x, y)) {
            PixelAt(x, y) = pixel;
        }
    }
}

void TRasterCanvas::Polyline(std::span<const TPoint> points, TColor color) {
    if (color == clNone) {
        return;
    }
    const TPixel pixel = ColorToPixel(color);
    const int64_t ox = m_state.Origin.X;
    const int64_t oy = m_state.Origin.Y;
    for (std::size_t i = 1; i < points.size(); ++i) {
        DrawSegment(points[i - 1].X - ox, points[i - 1].Y - oy, points[i].X - ox, points[i].Y - oy, pixel);
    }
}

std::vector<TRasterCanvas::TTextChar> TRasterCanvas::Decode(std::u16string_view text, bool prefix) {
    std::vector<TTextChar> chars;
    chars.reserve(text.size());
    bool accel = false;
    for (std::size_t i = 0; i < text.size();) {
        const char32_t code = NextCodePoint(text, i);
        if (prefix && code == u'&') {
            // "&&" is a literal '&'; a single one marks the next character, and a last one
            // is dropped.
            if (i < text.size() && text[i] == u'&') {
                ++i;
                chars.push_back({u'&', false});
            } else {
                accel = true;
            }
            continue;
        }
        chars.push_back({code, accel});
        accel = false;
    }
    return chars;
}

int64_t TRasterCanvas::CharWidth(const TRasterFont& font, const TTextChar& ch, int64_t x, bool expandTabs) {
    if (expandTabs && ch.Code == u'\t') {
        const int64_t stop = int64_t{kTabStopChars} * font.AverageWidth();
        return stop - x % stop;
    }
    return font.Advance();
}

int64_t TRasterCanvas::RunWidth(const TRasterFont& font,
                                const std::vector<TTextChar>& chars,
                                TTextRun run,
                                bool expandTabs) {
    int64_t x = 0;
    for (std::size_t i = run.Begin; i < run.End; ++i) {
        x += CharWidth(font, chars[i], x, expandTabs);
    }
    return x;
}

void TRasterCanvas::DrawGlyph(const TRasterFont& font, char32_t code, int64_t x, int64_t y, const TRect& limit) {
    const TRect bounds = Intersect(ClipBounds(), limit);
    const TGlyphRows& rows = RasterGlyph(code);
    const int32_t scale = font.Scale();
    const int64_t bold = font.Bold() ? 1 : 0;
    const int64_t firstRow = std::max<int64_t>(0, bounds.Top - y);
    const int64_t endRow = std::min<int64_t>(font.Height(), bounds.Bottom - y);
    for (int64_t dy = firstRow; dy < endRow; ++dy) {
        const uint8_t bits = rows[static_cast<std::size_t>(dy / scale)];
        const int64_t left = x + (font.Italic() ? font.ItalicShift(static_cast<int32_t>(dy)) : 0);
        // Runs of set columns become spans; bold widens each span by a pixel, which is the
        // glyph drawn twice one pixel apart.
        for (int32_t col = 0; col < kGlyphColumns;) {
            if (((bits >> (kGlyphColumns - 1 - col)) & 1) == 0) {
                ++col;
                continue;
            }
            const int32_t start = col;
            while (col < kGlyphColumns && ((bits >> (kGlyphColumns - 1 - col)) & 1) != 0) {
                ++col;
            }
            FillDevice(Rect64(left + int64_t{start} * scale, y + dy, left + int64_t{col} * scale + bold, y + dy + 1),
                       limit, font.Color());
        }
    }
}

void TRasterCanvas::DrawRun(const TRasterFont& font,
                            const std::vector<TTextChar>& chars,
                            TTextRun run,
                            int64_t x,
                            int64_t y,
                            const TRect& limit,
                            bool expandTabs) {
    const TRect bounds = Intersect(ClipBounds(), limit);
    if (bounds.IsEmpty() || y >= bounds.Bottom || y + font.Height() <= bounds.Top) {
        return;
    }
    const int64_t scale = font.Scale();
    const int64_t overhang = font.Italic() ? font.ItalicShift(0) : 0;
    auto line = [&](int32_t row, int64_t from, int64_t to) {
        FillDevice(Rect64(from, y + row * scale, to, y + (row + 1) * scale), limit, font.Color());
    };
    int64_t cx = x;
    for (std::size_t i = run.Begin; i < run.End && cx < bounds.Right; ++i) {
        const TTextChar& ch = chars[i];
        const int64_t width = CharWidth(font, ch, cx - x, expandTabs);
        const bool tab = expandTabs && ch.Code == u'\t';
        if (!tab && cx + width + overhang > bounds.Left) {
            DrawGlyph(font, ch.Code, cx, y, limit);
        }
        if (ch.Accel) {
            line(kUnderlineRow, cx, cx + kGlyphColumns * scale + (font.Bold() ? 1 : 0));
        }
        cx += width;
    }
    // Past the right edge cx already covers everything visible.
    if (font.Underline()) {
        line(kUnderlineRow, x, cx);
    }
    if (font.StrikeOut()) {
        line(kStrikeOutRow, x, cx);
    }
}

std::vector<TRasterCanvas::TTextRun> TRasterCanvas::BreakLines(const TRasterFont& font,
                                                               const std::vector<TTextChar>& chars,
                                                               uint32_t flags,
                                                               int64_t width) {
    std::vector<TTextRun> lines;
    const std::size_t n = chars.size();
    if (n == 0) {
        return lines;
    }
    if ((flags & TextFormat::SingleLine) != 0) {
        lines.push_back({0, n});
        return lines;
    }
    const bool wrap = (flags & TextFormat::WordBreak) != 0;
    const bool tabs = (flags & TextFormat::ExpandTabs) != 0;
    auto wrapParagraph = [&](std::size_t begin, std::size_t end) {
        if (!wrap || begin == end) {
            lines.push_back({begin, end});
            return;
        }
        std::size_t start = begin;
        while (start < end) {
            // Take words while they fit; the first word of a line is taken even when it
            // does not. The spaces where the line breaks belong to neither line.
            std::size_t pos = start;
            std::size_t lineEnd = start;
            int64_t x = 0;
            bool any = false;
            while (pos < end) {
                std::size_t wordEnd = pos;
                int64_t wordX = x;
                while (wordEnd < end && !IsBreakSpace(chars[wordEnd].Code)) {
                    wordX += CharWidth(font, chars[wordEnd], wordX, tabs);
                    ++wordEnd;
                }
                if (any && wordX > width) {
                    break;
                }
                any = true;
                lineEnd = wordEnd;
                x = wordX;
                pos = wordEnd;
                while (pos < end && IsBreakSpace(chars[pos].Code)) {
                    x += CharWidth(font, chars[pos], x, tabs);
                    ++pos;
                }
            }
            lines.push_back({start, lineEnd});
            start = pos;
        }
    };
    std::size_t begin = 0;
    while (true) {
        std::size_t end = begin;
        while (end < n && !IsLineBreak(chars[end].Code)) {
            ++end;
        }
        wrapParagraph(begin, end);
        if (end == n) {
            break;
        }
        // CR LF, CR and LF each end a line.
        begin = end + ((chars[end].Code == u'\r' && end + 1 < n && chars[end + 1].Code == u'\n') ? 2 : 1);
    }
    return lines;
}

TPoint TRasterCanvas::TextExtent(std::u16string_view text) {
    const TRasterFont font(m_state.Font);
    const std::vector<TTextChar> chars = Decode(text, false);
    return {Clamp32(RunWidth(font, chars, {0, chars.size()}, false)), font.Height()};
}

void TRasterCanvas::TextOut(int32_t x, int32_t y, std::u16string_view text) {
    const TRasterFont font(m_state.Font);
    const std::vector<TTextChar> chars = Decode(text, false);
    DrawRun(font, chars, {0, chars.size()}, int64_t{x} - m_state.Origin.X, int64_t{y} - m_state.Origin.Y, kNoLimit,
            false);
}

int32_t TRasterCanvas::DrawText(std::u16string_view text, TRect& rect, uint32_t flags) {
    const TRasterFont font(m_state.Font);
    const bool tabs = (flags & TextFormat::ExpandTabs) != 0;
    const bool single = (flags & TextFormat::SingleLine) != 0;
    const std::vector<TTextChar> chars = Decode(text, (flags & TextFormat::NoPrefix) == 0);
    const int64_t rectWidth = int64_t{rect.Right} - rect.Left;
    const int64_t rectHeight = int64_t{rect.Bottom} - rect.Top;
    const std::vector<TTextRun> lines = BreakLines(font, chars, flags, rectWidth);
    const int64_t lineHeight = font.Height();
    const int64_t height = static_cast<int64_t>(lines.size()) * lineHeight;

    std::vector<int64_t> widths;
    widths.reserve(lines.size());
    for (const TTextRun& line : lines) {
        widths.push_back(RunWidth(font, chars, line, tabs));
    }
    if ((flags & TextFormat::CalcRect) != 0) {
        const int64_t widest = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
        rect.Right = Clamp32(rect.Left + widest);
        rect.Bottom = Clamp32(rect.Top + height);
        return Clamp32(height);
    }

    int64_t y = rect.Top;
    if (single && (flags & TextFormat::VCenter) != 0) {
        y += (rectHeight - height) / 2;
    } else if (single && (flags & TextFormat::Bottom) != 0) {
        y = rect.Bottom - height;
    }
    const TRect limit = (flags & TextFormat::NoClip) != 0 ? kNoLimit : ToDevice(rect);
    const int64_t ox = m_state.Origin.X;
    const int64_t oy = m_state.Origin.Y;
    const int64_t bottom = ClipBounds().Bottom + oy;
    for (std::size_t i = 0; i < lines.size() && y < bottom; ++i, y += lineHeight) {
        int64_t x = rect.Left;
        if ((flags & TextFormat::Center) != 0) {
            x += (rectWidth - widths[i]) / 2;
        } else if ((flags & TextFormat::Right) != 0) {
            x = rect.Right - widths[i];
        }
        DrawRun(font, chars, lines[i], x - ox, y - oy, limit, tabs);
    }
    return Clamp32(height);
}

void TRasterCanvas::StretchCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) {
    StretchPixels(m_surface, ToDevice(dest), source.Surface(), src, smCopy);
}

bool TRasterCanvas::TransparentCopy(const TVxBitmap& source, const TRect& dest, const TRect& src) {
    StretchPixels(m_surface, ToDevice(dest), source.Surface(), src, smKeyed);
    return true;
}

void TRasterCanvas::ReadArea(const TRect& area, TVxBitmap& target) {
    if (target.Empty() || !m_surface.Valid()) {
        return;
    }
    const TRect from = ToDevice(area);
    // Target pixel (tx, ty) takes device pixel (from.Left + tx, from.Top + ty).
    const int64_t width = std::min<int64_t>(int64_t{from.Right} - from.Left, target.Width());
    const int64_t height = std::min<int64_t>(int64_t{from.Bottom} - from.Top, target.Height());
    const int64_t tx0 = std::max<int64_t>(0, -int64_t{from.Left});
    const int64_t tx1 = std::min<int64_t>(width, int64_t{m_surface.Width} - from.Left);
    const int64_t ty0 = std::max<int64_t>(0, -int64_t{from.Top});
    const int64_t ty1 = std::min<int64_t>(height, int64_t{m_surface.Height} - from.Top);
    for (int64_t ty = ty0; ty < ty1 && tx0 < tx1; ++ty) {
        std::memcpy(target.PixelPtr(static_cast<int32_t>(tx0), static_cast<int32_t>(ty)),
                    &PixelAt(from.Left + tx0, from.Top + ty), static_cast<std::size_t>(tx1 - tx0) * sizeof(TPixel));
    }
}

}  // namespace zaprelay
