#include "skin/form/transition.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace zaprelay::skin {

namespace {

constexpr int kEffectCount = keSmoothRectOut;  // the real effects are 1..kEffectCount

int ClampPercent(int percent) {
    return std::clamp(percent, 0, 100);
}

uint8_t ClampValue(int64_t value) {
    return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
}

// The distance of cell i from the middle of n cells, doubled so it stays an integer.
int64_t Doubled(int32_t i, int32_t n) {
    return std::abs(int64_t{2} * i - (n - 1));
}

uint32_t ClockSeed(const void* salt) {
    auto ticks = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    ticks ^= static_cast<uint64_t>(reinterpret_cast<uintptr_t>(salt));
    return static_cast<uint32_t>(ticks ^ (ticks >> 32));
}

void FillRows(TTransitionMask& mask, int32_t first, int32_t last, uint8_t value) {
    for (int32_t y = std::max(first, 0); y < std::min(last, mask.Height()); ++y) {
        std::memset(mask.Row(y), value, static_cast<std::size_t>(mask.Width()));
    }
}

// Rows counted from the middle outwards: doubled distance * 100 below p * h.
bool MiddleRow(int32_t y, int32_t h, int p) {
    return Doubled(y, h) * 100 < int64_t{p} * h;
}

void Down(TTransitionMask& mask, int p, uint8_t v) {
    int64_t rows = (int64_t{p} * mask.Height() + 99) / 100;
    FillRows(mask, 0, static_cast<int32_t>(rows), v);
}

void InOut(TTransitionMask& mask, int p, uint8_t v, bool in) {
    const int32_t h = mask.Height();
    for (int32_t y = 0; y < h; ++y) {
        // In is the complement of Out at 100 - p, so the two sweeps mirror each other exactly.
        bool set = in ? !MiddleRow(y, h, 100 - p) : MiddleRow(y, h, p);
        if (set) {
            std::memset(mask.Row(y), v, static_cast<std::size_t>(mask.Width()));
        }
    }
}

// Squares about the middle whose side is p % of the larger side, clipped to the mask; set
// cells get value, or with invert the cells outside get it.
void Rect(TTransitionMask& mask, int p, uint8_t value, bool invert) {
    const int32_t w = mask.Width();
    const int32_t h = mask.Height();
    const int64_t limit = int64_t{p} * std::max(w, h);
    // The inside columns form one run about the middle.
    int32_t x0 = w;
    int32_t x1 = w;
    for (int32_t x = 0; x < w; ++x) {
        if (Doubled(x, w) * 100 < limit) {
            x0 = x;
            x1 = w - x;
            break;
        }
    }
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = mask.Row(y);
        bool rowIn = Doubled(y, h) * 100 < limit;
        if (!invert) {
            if (rowIn && x0 < x1) {
                std::memset(row + x0, value, static_cast<std::size_t>(x1 - x0));
            }
        } else if (!rowIn || x0 >= x1) {
            std::memset(row, value, static_cast<std::size_t>(w));
        } else {
            std::memset(row, value, static_cast<std::size_t>(x0));
            std::memset(row + x1, value, static_cast<std::size_t>(w - x1));
        }
    }
}

// Line t joins (0, t * h / M) to (t * w / M, 0), M the larger side: the sweep from the
// top-left corner keeps the mask's proportions, and line 2M passes beyond the far corner.
void DiagonalLine(TTransitionMask& mask, int64_t t, uint8_t value) {
    const int64_t m = std::max(mask.Width(), mask.Height());
    DrawMaskLine(mask, 0, static_cast<int32_t>(t * mask.Height() / m), static_cast<int32_t>(t * mask.Width() / m), 0,
                 value);
}

void Diagonal(TTransitionMask& mask, int p, uint8_t v) {
    const int64_t m = std::max(mask.Width(), mask.Height());
    const int64_t last = (2 * m * p + 99) / 100;
    for (int64_t t = 0; t <= last; ++t) {
        DiagonalLine(mask, t, v);
    }
}

void SmoothDiagonal(TTransitionMask& mask, int p) {
    const double w = mask.Width();
    const double h = mask.Height();
    const int64_t m = std::max(mask.Width(), mask.Height());
    const double full = 2.5 * std::sqrt(w * w + h * h);
    const double reach = full * p / 100;
    // Line 2M is past the far corner; the ramp is what is left of the full sweep after it, so
    // at 100 % even that corner is 255.
    const double ramp = full - 2.0 * static_cast<double>(m);
    const int64_t last = std::min<int64_t>(2 * m, static_cast<int64_t>(reach));
    // Far lines first: where neighbours share a cell the nearer, brighter one wins.
    for (int64_t t = last; t >= 0; --t) {
        double value = 255.0 * (reach - static_cast<double>(t)) / ramp;
        uint8_t cell = ClampValue(static_cast<int64_t>(value));
        if (cell != 0) {
            DiagonalLine(mask, t, cell);
        }
    }
}

// Diamonds about the middle: doubled distance d2 = |2x - (w-1)| + |2y - (h-1)|; the extent is
// 2.5 M p %, and the values fall over 1.5 M from the extent's edge inwards.
void DiamondOut(TTransitionMask& mask, int p, bool invert) {
    const int32_t w = mask.Width();
    const int32_t h = mask.Height();
    const int64_t m = std::max(w, h);
    const int64_t maxDistance = int64_t{w - 1} + (h - 1);
    std::vector<uint8_t> byDistance(static_cast<std::size_t>(maxDistance + 1));
    for (int64_t d = 0; d <= maxDistance; ++d) {
        uint8_t value = ClampValue(255 * (5 * m * p - 100 * d) / (300 * m));
        byDistance[static_cast<std::size_t>(d)] = invert ? static_cast<uint8_t>(~value) : value;
    }
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = mask.Row(y);
        int64_t dy = Doubled(y, h);
        for (int32_t x = 0; x < w; ++x) {
            row[x] = byDistance[static_cast<std::size_t>(dy + Doubled(x, w))];
        }
    }
}

// Rectangles of the mask's proportions; with D = max(|2x-(w-1)| h, |2y-(h-1)| w) the
// distance in larger sides is D / 2wh. The extent is 1.6 M p %, the values fall over 1.1 M
// (what is left of the full extent beyond the edge), so 100 % is 255 everywhere.
void SmoothRect(TTransitionMask& mask, int p, bool invert) {
    const int32_t w = mask.Width();
    const int32_t h = mask.Height();
    const int64_t area = int64_t{w} * h;
    auto value = [&](int64_t d) { return ClampValue(255 * (32 * p * area - 1000 * d) / (2200 * area)); };
    std::vector<uint8_t> byColumn(static_cast<std::size_t>(w));
    for (int32_t x = 0; x < w; ++x) {
        byColumn[static_cast<std::size_t>(x)] = value(Doubled(x, w) * h);
    }
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = mask.Row(y);
        // The value falls with D, so the larger of the two distances gives the smaller value.
        uint8_t rowValue = value(Doubled(y, h) * w);
        for (int32_t x = 0; x < w; ++x) {
            uint8_t cell = std::min(rowValue, byColumn[static_cast<std::size_t>(x)]);
            row[x] = invert ? static_cast<uint8_t>(~cell) : cell;
        }
    }
}

// The same seed every frame: the first k cells of one shuffle, so each frame keeps the cells
// of the one before and adds to them.
void Pixel(TTransitionMask& mask, int p) {
    const std::size_t count = mask.Cells().size();
    const std::size_t wanted = (count * static_cast<std::size_t>(p) + 99) / 100;
    if (wanted == 0) {
        return;
    }
    TMaskRandom random(static_cast<uint32_t>(count));
    std::vector<uint32_t> order(count);
    for (std::size_t i = 0; i < count; ++i) {
        order[i] = static_cast<uint32_t>(i);
    }
    uint8_t* cells = mask.Cells().data();
    for (std::size_t i = 0; i < wanted; ++i) {
        std::size_t j = i + random.Below(static_cast<uint32_t>(count - i));
        std::swap(order[i], order[j]);
        cells[order[i]] = 255;
    }
}

// Each cell is chosen with chance p %; a chosen cell's value falls from the left edge and
// reaches the right edge at 50 %, all 255 at 100 %.
void PixelLine(TTransitionMask& mask, int p, TMaskRandom& random) {
    const int32_t w = mask.Width();
    if (p == 0) {
        return;
    }
    std::vector<uint8_t> ramp(static_cast<std::size_t>(w));
    for (int32_t x = 0; x < w; ++x) {
        ramp[static_cast<std::size_t>(x)] =
            ClampValue(255 * (2 * int64_t{p} * w - 100 * int64_t{x}) / (100 * int64_t{w}));
    }
    // Four choices from each random number, one byte each: a byte below p * 2.56 is chosen
    // (all of them at 100 %).
    const uint32_t threshold = static_cast<uint32_t>((p * 256 + 50) / 100);
    uint32_t bits = 0;
    int left = 0;  // bytes of bits not used yet
    for (int32_t y = 0; y < mask.Height(); ++y) {
        uint8_t* row = mask.Row(y);
        for (int32_t x = 0; x < w; ++x) {
            if (left == 0) {
                bits = random.Next();
                left = 4;
            }
            if ((bits & 0xFF) < threshold) {
                row[x] = ramp[static_cast<std::size_t>(x)];
            }
            bits >>= 8;
            --left;
        }
    }
}

}  // namespace

void TTransitionMask::SetSize(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == 0 || height == 0) {
        width = 0;
        height = 0;
    }
    m_width = width;
    m_height = height;
    m_cells.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
}

void TTransitionMask::Clear() {
    std::fill(m_cells.begin(), m_cells.end(), uint8_t{0});
}

uint8_t TTransitionMask::At(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return 0;
    }
    return Row(y)[x];
}

void TTransitionMask::Set(int32_t x, int32_t y, uint8_t value) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return;
    }
    Row(y)[x] = value;
}

void TMaskRandom::Seed(uint32_t seed) {
    // One splitmix step spreads close seeds apart; xorshift must not start at zero.
    uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    m_state = static_cast<uint32_t>(z ^ (z >> 32));
    if (m_state == 0) {
        m_state = 0x6D2B79F5u;
    }
}

uint32_t TMaskRandom::Next() {
    uint32_t x = m_state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    m_state = x;
    return x;
}

TkeEffect ResolveEffect(TkeEffect effect, const std::function<uint32_t()>& random) {
    if (effect == keRandomSelect) {
        uint32_t pick = random ? random() : 0;
        return static_cast<TkeEffect>(1 + pick % kEffectCount);
    }
    if (effect > kEffectCount) {
        return keFade;
    }
    return effect;
}

void DrawMaskLine(TTransitionMask& mask, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t value) {
    if (mask.Empty()) {
        return;
    }
    const int64_t w = mask.Width();
    const int64_t h = mask.Height();
    int64_t ax = x0;
    int64_t ay = y0;
    int64_t bx = x1;
    int64_t by = y1;
    // Far-away ends are first cut to a box one cell round the mask, so the stepping below stays
    // exact in 64 bits; the effects never come near this.
    constexpr int64_t kExact = int64_t{1} << 24;
    if (std::max({std::abs(ax), std::abs(ay), std::abs(bx), std::abs(by)}) > kExact) {
        double t0 = 0;
        double t1 = 1;
        const double dx = static_cast<double>(bx - ax);
        const double dy = static_cast<double>(by - ay);
        auto clip = [&](double p, double q) {
            if (p == 0) {
                return q >= 0;
            }
            double r = q / p;
            if (p < 0) {
                t0 = std::max(t0, r);
            } else {
                t1 = std::min(t1, r);
            }
            return t0 <= t1;
        };
        if (!clip(-dx, static_cast<double>(ax + 1)) || !clip(dx, static_cast<double>(w - ax)) ||
            !clip(-dy, static_cast<double>(ay + 1)) || !clip(dy, static_cast<double>(h - ay))) {
            return;
        }
        int64_t cx0 = ax + std::llround(t0 * dx);
        int64_t cy0 = ay + std::llround(t0 * dy);
        bx = ax + std::llround(t1 * dx);
        by = ay + std::llround(t1 * dy);
        ax = cx0;
        ay = cy0;
    }
    // Step along the longer axis; the other coordinate is the exact rounded one at each step.
    const bool xMajor = std::abs(bx - ax) >= std::abs(by - ay);
    const int64_t majorStart = xMajor ? ax : ay;
    const int64_t minorStart = xMajor ? ay : ax;
    const int64_t majorDelta = xMajor ? bx - ax : by - ay;
    const int64_t minorDelta = xMajor ? by - ay : bx - ax;
    const int64_t majorSize = xMajor ? w : h;
    const int64_t minorSize = xMajor ? h : w;
    const int64_t steps = std::abs(majorDelta);
    const int64_t rise = std::abs(minorDelta);
    const int64_t majorSign = majorDelta < 0 ? -1 : 1;
    const int64_t minorSign = minorDelta < 0 ? -1 : 1;
    // Only the steps whose major coordinate lies inside the mask.
    int64_t first = majorSign > 0 ? -majorStart : majorStart - (majorSize - 1);
    int64_t last = majorSign > 0 ? majorSize - 1 - majorStart : majorStart;
    first = std::max<int64_t>(first, 0);
    last = std::min(last, steps);
    if (first > last) {
        return;
    }
    // minor offset at step i = round(i * rise / steps), carried forward as quotient and
    // remainder of (2 i rise + steps) / (2 steps); rise <= steps, so it moves at most one a step.
    const int64_t denominator = 2 * std::max<int64_t>(steps, 1);
    int64_t numerator = 2 * first * rise + steps;
    int64_t offset = numerator / denominator;
    int64_t remainder = numerator % denominator;
    bool entered = false;
    for (int64_t i = first; i <= last; ++i) {
        int64_t minor = minorStart + minorSign * offset;
        if (minor >= 0 && minor < minorSize) {
            int64_t major = majorStart + majorSign * i;
            int64_t x = xMajor ? major : minor;
            int64_t y = xMajor ? minor : major;
            mask.Row(static_cast<int32_t>(y))[x] = value;
            entered = true;
        } else if (entered) {
            return;  // both coordinates move one way only: once out, the line stays out
        }
        remainder += 2 * rise;
        if (remainder >= denominator) {
            remainder -= denominator;
            ++offset;
        }
    }
}

void GenerateMask(TkeEffect effect, int percent, TTransitionMask& mask, TMaskRandom& random) {
    mask.Clear();
    if (mask.Empty()) {
        return;
    }
    const int p = ClampPercent(percent);
    const auto v = static_cast<uint8_t>(p * 255 / 100);
    switch (effect) {
        case keDiagonal:
            if (v != 0) {
                Diagonal(mask, p, v);
            }
            break;
        case keDown:
            Down(mask, p, v);
            break;
        case keIn:
            InOut(mask, p, v, true);
            break;
        case keOut:
            InOut(mask, p, v, false);
            break;
        case keRectIn:
            Rect(mask, 100 - p, v, true);
            break;
        case keRectOut:
            Rect(mask, p, v, false);
            break;
        case kePixel:
            Pixel(mask, p);
            break;
        case kePixelLine:
            PixelLine(mask, p, random);
            break;
        case keDiamondIn:
            DiamondOut(mask, 100 - p, true);
            break;
        case keDiamondOut:
            DiamondOut(mask, p, false);
            break;
        case keSmoothDiagonal:
            SmoothDiagonal(mask, p);
            break;
        case keSmoothRectIn:
            SmoothRect(mask, 100 - p, true);
            break;
        case keSmoothRectOut:
            SmoothRect(mask, p, false);
            break;
        case keFade:
        case keRandomSelect:
        default:
            std::fill(mask.Cells().begin(), mask.Cells().end(), static_cast<uint8_t>((p * 255 + 50) / 100));
            break;
    }
}

void GenerateMask(TkeEffect effect, int percent, TTransitionMask& mask) {
    thread_local TMaskRandom random(ClockSeed(&random));
    GenerateMask(effect, percent, mask, random);
}

namespace {

TTransitionSettings Normalized(const TTransitionSettings& settings) {
    TTransitionSettings s = settings;
    s.Resolution = std::clamp(s.Resolution, 1, TVxAnimation::kMaxResolution);
    s.TileCount = std::clamp(s.TileCount, 1, TVxAnimation::kMaxTileCount);
    if (s.Direction > kdRotate270) {
        s.Direction = kdNone;
    }
    return s;
}

bool QuarterTurn(TVxDirection direction) {
    return direction == kdRotate90 || direction == kdRotate270;
}

// One row: the old pixels first, then the new ones with the mask as their alpha blended over
// them by the shared blending kernel (alpha 0 keeps the old pixel, 255 copies the new one).
// Key pixels of the new picture get alpha 0, so the old picture shows through them.
void ComposeRow(const TPixel* from,
                const TPixel* to,
                const uint8_t* alpha,
                TPixel* source,
                TPixel* out,
                int32_t count) {
    for (int32_t x = 0; x < count; ++x) {
        TPixel b = to[x];
        TPixel colour = b & 0x00FFFFFF;
        source[x] = IsKeyPixel(b) ? colour : colour | (TPixel{alpha[x]} << 24);
    }
    std::memcpy(out, from, static_cast<std::size_t>(count) * sizeof(TPixel));
    const TRect row{0, 0, count, 1};
    StretchPixels(TPixelSurface{out, count, 1}, row, TConstPixelSurface{source, count, 1}, row, smBlend);
}

}  // namespace

void TransitionMaskSize(int32_t width,
                        int32_t height,
                        const TTransitionSettings& settings,
                        int32_t& maskWidth,
                        int32_t& maskHeight) {
    TTransitionSettings s = Normalized(settings);
    int32_t step = s.Resolution * s.TileCount;
    maskWidth = std::max(width, 0) / step + 1;
    maskHeight = std::max(height, 0) / step + 1;
    if (QuarterTurn(s.Direction)) {
        std::swap(maskWidth, maskHeight);
    }
}

void ComposeTransitionFrame(const TVxBitmap& from,
                            const TVxBitmap& to,
                            const TTransitionMask& mask,
                            const TTransitionSettings& settings,
                            TVxBitmap& frame) {
    if (to.Empty()) {
        return;
    }
    const int32_t w = to.Width();
    const int32_t h = to.Height();
    frame.SetSize(w, h);
    if (frame.Empty()) {
        return;
    }
    if (from.Empty() || from.Width() != w || from.Height() != h) {
        std::memcpy(frame.Bits(), to.Bits(),
                    static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * sizeof(TPixel));
        return;
    }
    const TTransitionSettings s = Normalized(settings);
    const int32_t r = s.Resolution;
    const int32_t n = s.TileCount;
    // Cells across and down one tile as the picture sees them, before any turn.
    const int32_t cellsAcross = w / r / n + 1;
    const int32_t cellsDown = h / r / n + 1;
    const int32_t tileWidth = w / n + 1;
    const int32_t tileHeight = h / n + 1;
    const int64_t maskWidth = mask.Width();
    const int64_t maskHeight = mask.Height();
    const uint8_t* cells = mask.Cells().data();

    // Each mask offset is a column part (from the pixel's cell column) plus a row part (from
    // its cell row); -1 marks a part that falls outside a mask too small for the settings.
    auto columnPart = [&](int32_t cx) -> int64_t {
        switch (s.Direction) {
            case kdRotate180:
                return cellsAcross - 1 - cx < maskWidth ? cellsAcross - 1 - cx : -1;
            case kdRotate270:
                return cx < maskHeight ? cx * maskWidth : -1;
            case kdRotate90:
                return cellsAcross - 1 - cx < maskHeight ? (cellsAcross - 1 - cx) * maskWidth : -1;
            default:
                return cx < maskWidth ? cx : -1;
        }
    };
    auto rowPart = [&](int32_t cy) -> int64_t {
        switch (s.Direction) {
            case kdRotate180:
                return cellsDown - 1 - cy < maskHeight ? (cellsDown - 1 - cy) * maskWidth : -1;
            case kdRotate270:
            case kdRotate90:
                return cy < maskWidth ? cy : -1;
            default:
                return cy < maskHeight ? cy * maskWidth : -1;
        }
    };

    std::vector<int64_t> columns(static_cast<std::size_t>(w));
    for (int32_t x = 0; x < w; ++x) {
        int32_t cx = (x % tileWidth) / r;
        columns[static_cast<std::size_t>(x)] = columnPart(cx);
    }
    std::vector<uint8_t> alpha(static_cast<std::size_t>(w));
    std::vector<TPixel> source(static_cast<std::size_t>(w));
    int32_t alphaRow = -1;
    bool rowClear = true;
    for (int32_t y = 0; y < h; ++y) {
        int32_t cy = (y % tileHeight) / r;
        if (cy != alphaRow) {
            // Rows of one cell row (in every tile) share their mask values.
            alphaRow = cy;
            int64_t base = rowPart(cy);
            rowClear = true;
            for (int32_t x = 0; x < w; ++x) {
                int64_t column = columns[static_cast<std::size_t>(x)];
                uint8_t a = base < 0 || column < 0 ? 0 : cells[base + column];
                alpha[static_cast<std::size_t>(x)] = a;
                rowClear = rowClear && a == 0;
            }
        }
        const TPixel* fromRow = from.Bits() + static_cast<std::size_t>(y) * w;
        TPixel* outRow = frame.PixelPtr(0, y);
        if (rowClear) {
            std::memcpy(outRow, fromRow, static_cast<std::size_t>(w) * sizeof(TPixel));
        } else {
            ComposeRow(fromRow, to.Bits() + static_cast<std::size_t>(y) * w, alpha.data(), source.data(), outRow, w);
        }
    }
}

TTransition::TTransition(const TVxBitmap& from, const TVxBitmap& to, const TTransitionSettings& settings)
    : m_from(from), m_to(to), m_settings(Normalized(settings)), m_random(ClockSeed(this)) {
    m_settings.Effect = ResolveEffect(m_settings.Effect, [this] { return m_random.Next(); });
    int32_t maskWidth = 0;
    int32_t maskHeight = 0;
    TransitionMaskSize(to.Width(), to.Height(), m_settings, maskWidth, maskHeight);
    m_mask.SetSize(maskWidth, maskHeight);
}

const TVxBitmap& TTransition::Frame(int percent) {
    GenerateMask(m_settings.Effect, percent, m_mask, m_random);
    ComposeTransitionFrame(m_from, m_to, m_mask, m_settings, m_frame);
    return m_frame;
}

int RunTransition(const TVxBitmap& from,
                  const TVxBitmap& to,
                  const TTransitionSettings& settings,
                  int32_t timeMs,
                  const TPresentFrame& present,
                  const TElapsedMs& elapsedMs) {
    int frames = 0;
    timeMs = std::min(timeMs, TVxAnimation::kMaxTime);
    if (timeMs > 0 && elapsedMs) {
        TTransition transition(from, to, settings);
        // A clock that never moves would otherwise hold the caller for good; real frames take
        // well over half a millisecond each.
        const int maxFrames = 2 * timeMs + 100;
        const double start = elapsedMs();
        double elapsed = 0;
        while (elapsed < timeMs && frames < maxFrames) {
            auto percent = static_cast<int>(std::lround(elapsed / timeMs * 100));
            const TVxBitmap& frame = transition.Frame(std::min(percent, 100));
            if (present) {
                present(frame);
            }
            ++frames;
            elapsed = elapsedMs() - start;
            if (!(elapsed >= 0)) {
                elapsed = 0;  // a clock that went back, or no number at all
            }
        }
    }
    if (present) {
        present(to);
    }
    return frames;
}

}  // namespace zaprelay::skin
