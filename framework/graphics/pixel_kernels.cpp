// The public pixel kernels: the same results as the reference kernels, faster. Rows are
// handled as spans; SSE2 (always there on x86-64, required by the 32-bit Windows build)
// does four pixels at a time, and other targets take the scalar span loops.
#include "framework/graphics/pixel_kernels.h"

#include "framework/graphics/pixel_kernels_internal.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#define ZR_PIXEL_SSE2 1
#else
#define ZR_PIXEL_SSE2 0
#endif

namespace zaprelay {

using namespace pixel_detail;

namespace {

std::atomic<bool> g_forceReference{false};

bool UseReference() {
    return g_forceReference.load(std::memory_order_relaxed);
}

// Destination columns whose source columns are worked out together (stack arrays of this size).
constexpr int64_t kBand = 512;

TKernelLevel DetectLevel() {
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && Avx2BlendSpans().Over != nullptr) {
        return TKernelLevel::Avx2;
    }
    if (__builtin_cpu_supports("sse4.1") && Sse41BlendSpans().Over != nullptr) {
        return TKernelLevel::Sse41;
    }
#endif
    return TKernelLevel::Sse2;
}

// Set once before main; the level in use may be lowered (tests) but never raised past it.
// Until then (another file's static initialisation) the level reads as zero, Sse2.
const TKernelLevel g_processorLevel = DetectLevel();
std::atomic<TKernelLevel> g_level{g_processorLevel};
const TBlendSpans g_sse41Spans = Sse41BlendSpans();
const TBlendSpans g_avx2Spans = Avx2BlendSpans();
const THueSpan g_sse41Hue = Sse41HueSpan();
const THueSpan g_avx2Hue = Avx2HueSpan();

std::size_t SurfacePixels(TConstPixelSurface s) {
    return PixelCount(s.Width, s.Height);
}

// Source and destination in the same memory: the fast kernels may visit pixels in another
// order than the reference, so such calls go to the reference, whose order defines them.
bool SharesMemory(TConstPixelSurface a, TConstPixelSurface b) {
    auto a0 = reinterpret_cast<std::uintptr_t>(a.Bits);
    auto b0 = reinterpret_cast<std::uintptr_t>(b.Bits);
    auto a1 = a0 + SurfacePixels(a) * sizeof(TPixel);
    auto b1 = b0 + SurfacePixels(b) * sizeof(TPixel);
    return a0 < b1 && b0 < a1;
}

#if ZR_PIXEL_SSE2

inline __m128i Load4(const TPixel* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void Store4(TPixel* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

inline __m128i Splat(TPixel p) {
    return _mm_set1_epi32(static_cast<int32_t>(p));
}

// mask ? a : b, per bit.
inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

inline int Lanes(__m128i mask) {
    return _mm_movemask_ps(_mm_castsi128_ps(mask));
}

// Per pixel, all ones where the alpha is 255, and where it is 0.
inline void AlphaMasks(__m128i px, __m128i& opaque, __m128i& clear) {
    const __m128i alphaBits = Splat(0xFF000000u);
    __m128i a = _mm_and_si128(px, alphaBits);
    opaque = _mm_cmpeq_epi32(a, alphaBits);
    clear = _mm_cmpeq_epi32(a, _mm_setzero_si128());
}

// Each channel's alpha, spread over the four 16-bit channels of its pixel (two pixels).
inline __m128i SpreadAlpha(__m128i channels) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(channels, 0xFF), 0xFF);
}

// ((a * f + 128) >> 8) + (((255 - a) * b + 128) >> 8) on 16-bit channels. Every product
// plus 128 is below 0x10000, so the low half of the multiplication is exact.
inline __m128i Mix(__m128i f, __m128i b, __m128i a) {
    const __m128i half = _mm_set1_epi16(128);
    const __m128i full = _mm_set1_epi16(255);
    __m128i front = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(f, a), half), 8);
    __m128i back = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(b, _mm_sub_epi16(full, a)), half), 8);
    return _mm_add_epi16(front, back);
}

// BlendPixel(front, back) on four pixels, given front's alpha masks.
inline __m128i Blend4(__m128i front, __m128i back, __m128i opaque, __m128i clear) {
    const __m128i zero = _mm_setzero_si128();
    __m128i fl = _mm_unpacklo_epi8(front, zero);
    __m128i fh = _mm_unpackhi_epi8(front, zero);
    __m128i lo = Mix(fl, _mm_unpacklo_epi8(back, zero), SpreadAlpha(fl));
    __m128i hi = Mix(fh, _mm_unpackhi_epi8(back, zero), SpreadAlpha(fh));
    __m128i mixed = _mm_packus_epi16(lo, hi);
    // The formula is one off at both ends (255 over 255 gives 254), so those are exact copies.
    return Select(opaque, front, Select(clear, back, mixed));
}

#endif  // ZR_PIXEL_SSE2

inline void CopySpan(TPixel* d, const TPixel* s, std::size_t n) {
#if ZR_PIXEL_SSE2
    // Tiles are short rows: a library call per row would cost more than the copy.
    if (n < 32 && n >= 4) {
        std::size_t i = 0;
        for (; i + 4 <= n; i += 4) {
            Store4(d + i, Load4(s + i));
        }
        if (i < n) {
            Store4(d + n - 4, Load4(s + n - 4));
        }
        return;
    }
#endif
    std::memcpy(d, s, n * sizeof(TPixel));
}

// Rows of exactly N pixels: fixed-size moves with no loop over the row.
template <std::size_t N>
void CopyRowsOf(TPixel* d, std::size_t dstride, const TPixel* s, std::size_t sstride, std::size_t rows) {
    for (; rows > 0; --rows, d += dstride, s += sstride) {
        std::memcpy(d, s, N * sizeof(TPixel));
    }
}

using TCopyRows = void (*)(TPixel*, std::size_t, const TPixel*, std::size_t, std::size_t);

template <std::size_t... N>
constexpr std::array<TCopyRows, sizeof...(N)> CopyRowsTable(std::index_sequence<N...>) {
    return {&CopyRowsOf<N>...};
}

// Short rows are what tiles are made of; a call per row to the library's memcpy would cost
// more than the copy, and so would a loop with a tail.
constexpr std::size_t kShortRow = 16;
constexpr auto kCopyShortRows = CopyRowsTable(std::make_index_sequence<kShortRow + 1>());

void CopyRect(TPixel* d, std::size_t dstride, const TPixel* s, std::size_t sstride, std::size_t n, std::size_t rows) {
    if (n <= kShortRow) {
        kCopyShortRows[n](d, dstride, s, sstride, rows);
        return;
    }
    for (; rows > 0; --rows, d += dstride, s += sstride) {
        CopySpan(d, s, n);
    }
}

// Key pixels of s leave d alone. Key pixels come in areas (the cut-out parts of a skin), so
// most groups of four are all key or all not: those neither read nor write d, or copy.
void KeyedSpan(TPixel* d, const TPixel* s, std::size_t n) {
    std::size_t i = 0;
#if ZR_PIXEL_SSE2
    const __m128i low24 = Splat(0x00FFFFFF);
    const __m128i key = Splat(TransparentColor);
    for (; i + 4 <= n; i += 4) {
        __m128i sv = Load4(s + i);
        __m128i isKey = _mm_cmpeq_epi32(_mm_and_si128(sv, low24), key);
        int keys = Lanes(isKey);
        if (keys == 0) {
            Store4(d + i, sv);
        } else if (keys != 0xF) {
            Store4(d + i, Select(isKey, Load4(d + i), sv));
        }
    }
#endif
    for (; i < n; ++i) {
        d[i] = IsKeyPixel(s[i]) ? d[i] : s[i];
    }
}

// d := BlendPixel(s, d).
void BlendSpanSse2(TPixel* d, const TPixel* s, std::size_t n) {
    std::size_t i = 0;
#if ZR_PIXEL_SSE2
    for (; i + 4 <= n; i += 4) {
        __m128i sv = Load4(s + i);
        __m128i opaque, clear;
        AlphaMasks(sv, opaque, clear);
        if (Lanes(clear) == 0xF) {
            continue;
        }
        if (Lanes(opaque) == 0xF) {
            Store4(d + i, sv);
            continue;
        }
        Store4(d + i, Blend4(sv, Load4(d + i), opaque, clear));
    }
#endif
    for (; i < n; ++i) {
        d[i] = BlendPixel(s[i], d[i]);
    }
}

// d := BlendPixel(d, s): the target stays in front.
void UnderSpanSse2(TPixel* d, const TPixel* s, std::size_t n) {
    std::size_t i = 0;
#if ZR_PIXEL_SSE2
    for (; i + 4 <= n; i += 4) {
        __m128i dv = Load4(d + i);
        __m128i opaque, clear;
        AlphaMasks(dv, opaque, clear);
        if (Lanes(opaque) == 0xF) {
            continue;
        }
        if (Lanes(clear) == 0xF) {
            Store4(d + i, Load4(s + i));
            continue;
        }
        Store4(d + i, Blend4(dv, Load4(s + i), opaque, clear));
    }
#endif
    for (; i < n; ++i) {
        d[i] = BlendPixel(d[i], s[i]);
    }
}

void BlendSpan(TPixel* d, const TPixel* s, std::size_t n) {
    switch (g_level.load(std::memory_order_relaxed)) {
        case TKernelLevel::Avx2:
            g_avx2Spans.Over(d, s, n);
            return;
        case TKernelLevel::Sse41:
            g_sse41Spans.Over(d, s, n);
            return;
        case TKernelLevel::Sse2:
            BlendSpanSse2(d, s, n);
            return;
    }
}

void UnderSpan(TPixel* d, const TPixel* s, std::size_t n) {
    switch (g_level.load(std::memory_order_relaxed)) {
        case TKernelLevel::Avx2:
            g_avx2Spans.Under(d, s, n);
            return;
        case TKernelLevel::Sse41:
            g_sse41Spans.Under(d, s, n);
            return;
        case TKernelLevel::Sse2:
            UnderSpanSse2(d, s, n);
            return;
    }
}

// The vector hue rotation for the level in use; null at the SSE2 level (no floor instruction).
THueSpan HueSpanAtLevel() {
    switch (g_level.load(std::memory_order_relaxed)) {
        case TKernelLevel::Avx2:
            return g_avx2Hue;
        case TKernelLevel::Sse41:
            return g_sse41Hue;
        case TKernelLevel::Sse2:
            break;
    }
    return nullptr;
}

// ShiftHue depends on red, green and blue only, and skin images repeat few colours: a small
// direct-mapped cache of results saves most of the floating-point work of the scalar code.
void CachedHueSpan(TPixel* d, std::size_t n, int delta) {
    constexpr std::size_t kSlots = 1024;
    constexpr uint32_t kEmpty = 0xFFFFFFFF;  // no colour has bits above the low 24
    uint32_t keys[kSlots];
    TPixel values[kSlots];
    std::fill_n(keys, kSlots, kEmpty);
    for (std::size_t i = 0; i < n; ++i) {
        TPixel p = d[i];
        if (AlphaOf(p) == 0) {
            continue;
        }
        uint32_t rgb = p & 0x00FFFFFF;
        std::size_t slot = (rgb * 0x9E3779B1u) >> 22;
        if (keys[slot] != rgb) {
            keys[slot] = rgb;
            values[slot] = ShiftHue(p, delta);
        }
        d[i] = values[slot];
    }
}

// n copies of p; short runs are what an enlarged image is made of.
inline void FillRun(TPixel* d, std::size_t n, TPixel p) {
#if ZR_PIXEL_SSE2
    if (n >= 4) {
        __m128i v = Splat(p);
        std::size_t i = 0;
        for (; i + 4 <= n; i += 4) {
            Store4(d + i, v);
        }
        if (i < n) {
            Store4(d + n - 4, v);
        }
        return;
    }
#endif
    for (std::size_t i = 0; i < n; ++i) {
        d[i] = p;
    }
}

// d := BlendPixel(p, d) for a pixel whose alpha is neither 0 nor 255.
void BlendFillSpan(TPixel* d, std::size_t n, TPixel p) {
    std::size_t i = 0;
#if ZR_PIXEL_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(128);
    uint32_t a = p >> 24;
    // The source half of the formula is the same for every pixel.
    __m128i front = _mm_unpacklo_epi8(Splat(p), zero);
    front = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(front, _mm_set1_epi16(static_cast<int16_t>(a))), half), 8);
    const __m128i inverse = _mm_set1_epi16(static_cast<int16_t>(255 - a));
    for (; i + 4 <= n; i += 4) {
        __m128i dv = Load4(d + i);
        __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), inverse);
        __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), inverse);
        lo = _mm_add_epi16(front, _mm_srli_epi16(_mm_add_epi16(lo, half), 8));
        hi = _mm_add_epi16(front, _mm_srli_epi16(_mm_add_epi16(hi, half), 8));
        Store4(d + i, _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < n; ++i) {
        d[i] = BlendPixel(p, d[i]);
    }
}

void SetAlphaSpan(TPixel* d, std::size_t n, uint8_t alpha) {
    std::size_t i = 0;
    TPixel high = static_cast<TPixel>(alpha) << 24;
#if ZR_PIXEL_SSE2
    const __m128i low24 = Splat(0x00FFFFFF);
    const __m128i highv = Splat(high);
    for (; i + 4 <= n; i += 4) {
        Store4(d + i, _mm_or_si128(_mm_and_si128(Load4(d + i), low24), highv));
    }
#endif
    for (; i < n; ++i) {
        d[i] = (d[i] & 0x00FFFFFF) | high;
    }
}

bool NearColor(TPixel a, TPixel b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int x = static_cast<int>((a >> shift) & 0xFF);
        int y = static_cast<int>((b >> shift) & 0xFF);
        if (x - y >= 6 || y - x >= 6) {
            return false;
        }
    }
    return true;
}

void ReplaceColorSpan(TPixel* d, std::size_t n, TPixel p) {
    std::size_t i = 0;
#if ZR_PIXEL_SSE2
    const __m128i target = Splat(p);
    const __m128i low24 = Splat(0x00FFFFFF);
    const __m128i five = _mm_set1_epi8(5);
    const __m128i key = Splat(TransparentColor);
    for (; i + 4 <= n; i += 4) {
        __m128i v = Load4(d + i);
        __m128i distance = _mm_or_si128(_mm_subs_epu8(v, target), _mm_subs_epu8(target, v));
        // A channel is near when its distance is at most 5; alpha does not count.
        __m128i excess = _mm_and_si128(_mm_subs_epu8(distance, five), low24);
        __m128i isNear = _mm_cmpeq_epi32(excess, _mm_setzero_si128());
        Store4(d + i, Select(isNear, key, v));
    }
#endif
    for (; i < n; ++i) {
        if (NearColor(d[i], p)) {
            d[i] = TransparentColor;
        }
    }
}

// Four source pixels picked by column offsets, as one vector.
#if ZR_PIXEL_SSE2
inline __m128i Gather4(const TPixel* row, const int32_t* cols) {
    return _mm_setr_epi32(static_cast<int32_t>(row[cols[0]]), static_cast<int32_t>(row[cols[1]]),
                          static_cast<int32_t>(row[cols[2]]), static_cast<int32_t>(row[cols[3]]));
}
#endif

void GatherCopy(TPixel* d, const TPixel* row, const int32_t* cols, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        d[i] = row[cols[i]];
    }
}

void GatherKeyed(TPixel* d, const TPixel* row, const int32_t* cols, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        TPixel s = row[cols[i]];
        d[i] = IsKeyPixel(s) ? d[i] : s;
    }
}

void GatherBlend(TPixel* d, const TPixel* row, const int32_t* cols, std::size_t n) {
    std::size_t i = 0;
#if ZR_PIXEL_SSE2
    for (; i + 4 <= n; i += 4) {
        __m128i sv = Gather4(row, cols + i);
        __m128i opaque, clear;
        AlphaMasks(sv, opaque, clear);
        if (Lanes(clear) == 0xF) {
            continue;
        }
        Store4(d + i, Blend4(sv, Load4(d + i), opaque, clear));
    }
#endif
    for (; i < n; ++i) {
        d[i] = BlendPixel(row[cols[i]], d[i]);
    }
}

// Calls span(d, s) for each destination row of the clip, with s the start of the source
// row it reads (at column `left`).
template <typename Span>
inline void ForEachRow(TPixelSurface dst, TConstPixelSurface src, const TStretchPlan& plan, int64_t left, Span span) {
    TPixel* d = PixelAt(dst, plan.Clip.Left, plan.Clip.Top);
    auto dstride = static_cast<std::size_t>(dst.Width);
    if (plan.StepY == 0x10000) {
        const TPixel* s = PixelAt(src, left, plan.SrcTop + (plan.StartY >> 16));
        auto sstride = static_cast<std::size_t>(src.Width);
        for (int64_t y = plan.Clip.Top; y < plan.Clip.Bottom; ++y, d += dstride, s += sstride) {
            span(d, s);
        }
        return;
    }
    int64_t fy = plan.StartY;
    for (int64_t y = plan.Clip.Top; y < plan.Clip.Bottom; ++y, d += dstride, fy += plan.StepY) {
        span(d, PixelAt(src, left, plan.SrcTop + (fy >> 16)));
    }
}

// Horizontal step of exactly one pixel: each row is a contiguous source span.
void StretchRows(TPixelSurface dst, TConstPixelSurface src, const TStretchPlan& plan, TStretchMode mode) {
    int64_t left = plan.SrcLeft + (plan.StartX >> 16);
    auto n = static_cast<std::size_t>(plan.Clip.Width());
    switch (mode) {
        case smCopy:
            if (plan.StepY == 0x10000 && n == static_cast<std::size_t>(dst.Width) &&
                n == static_cast<std::size_t>(src.Width)) {
                // Whole rows on both sides, one after another: one block.
                CopySpan(PixelAt(dst, 0, plan.Clip.Top), PixelAt(src, 0, plan.SrcTop + (plan.StartY >> 16)),
                         n * static_cast<std::size_t>(plan.Clip.Height()));
                return;
            }
            ForEachRow(dst, src, plan, left, [n](TPixel* d, const TPixel* s) { CopySpan(d, s, n); });
            return;
        case smKeyed:
            ForEachRow(dst, src, plan, left, [n](TPixel* d, const TPixel* s) { KeyedSpan(d, s, n); });
            return;
        case smBlend:
            ForEachRow(dst, src, plan, left, [n](TPixel* d, const TPixel* s) { BlendSpan(d, s, n); });
            return;
    }
}

// Enlarging by two or more: a row is runs of one source pixel each, worked out once per band
// of destination columns and filled for every row of the band.
void StretchRuns(TPixelSurface dst,
                 TConstPixelSurface src,
                 const TStretchPlan& plan,
                 TStretchMode mode,
                 int64_t x0,
                 int64_t n) {
    int32_t cols[kBand];
    int32_t lengths[kBand];
    std::size_t runs = 0;
    int64_t fx = plan.StartX + (x0 - plan.Clip.Left) * plan.StepX;
    for (int64_t i = 0; i < n; ++i, fx += plan.StepX) {
        auto col = static_cast<int32_t>(fx >> 16);
        if (runs > 0 && cols[runs - 1] == col) {
            ++lengths[runs - 1];
        } else {
            cols[runs] = col;
            lengths[runs] = 1;
            ++runs;
        }
    }
    TStretchPlan band = plan;
    band.Clip.Left = x0;
    switch (mode) {
        case smCopy:
            ForEachRow(dst, src, band, plan.SrcLeft, [&](TPixel* d, const TPixel* s) {
                for (std::size_t r = 0; r < runs; ++r) {
                    FillRun(d, static_cast<std::size_t>(lengths[r]), s[cols[r]]);
                    d += lengths[r];
                }
            });
            return;
        case smKeyed:
            ForEachRow(dst, src, band, plan.SrcLeft, [&](TPixel* d, const TPixel* s) {
                for (std::size_t r = 0; r < runs; ++r) {
                    TPixel p = s[cols[r]];
                    if (!IsKeyPixel(p)) {
                        FillRun(d, static_cast<std::size_t>(lengths[r]), p);
                    }
                    d += lengths[r];
                }
            });
            return;
        case smBlend:
            ForEachRow(dst, src, band, plan.SrcLeft, [&](TPixel* d, const TPixel* s) {
                for (std::size_t r = 0; r < runs; ++r) {
                    TPixel p = s[cols[r]];
                    auto length = static_cast<std::size_t>(lengths[r]);
                    if (AlphaOf(p) == 255) {
                        FillRun(d, length, p);
                    } else if (AlphaOf(p) != 0) {
                        BlendFillSpan(d, length, p);
                    }
                    d += lengths[r];
                }
            });
            return;
    }
}

// Any other horizontal step: the source column of each destination column of a band is
// worked out once and used for every row of the band.
void StretchGather(TPixelSurface dst,
                   TConstPixelSurface src,
                   const TStretchPlan& plan,
                   TStretchMode mode,
                   int64_t x0,
                   int64_t n) {
    int32_t cols[kBand];
    // The reference adds the step once per column; the product is the same sum.
    int64_t fx = plan.StartX + (x0 - plan.Clip.Left) * plan.StepX;
    for (int64_t i = 0; i < n; ++i, fx += plan.StepX) {
        cols[i] = static_cast<int32_t>(fx >> 16);
    }
    TStretchPlan band = plan;
    band.Clip.Left = x0;
    auto count = static_cast<std::size_t>(n);
    switch (mode) {
        case smCopy:
            ForEachRow(dst, src, band, plan.SrcLeft,
                       [&](TPixel* d, const TPixel* s) { GatherCopy(d, s, cols, count); });
            return;
        case smKeyed:
            ForEachRow(dst, src, band, plan.SrcLeft,
                       [&](TPixel* d, const TPixel* s) { GatherKeyed(d, s, cols, count); });
            return;
        case smBlend:
            ForEachRow(dst, src, band, plan.SrcLeft,
                       [&](TPixel* d, const TPixel* s) { GatherBlend(d, s, cols, count); });
            return;
    }
}

void StretchScaled(TPixelSurface dst, TConstPixelSurface src, const TStretchPlan& plan, TStretchMode mode) {
    for (int64_t x0 = plan.Clip.Left; x0 < plan.Clip.Right; x0 += kBand) {
        int64_t n = std::min(kBand, plan.Clip.Right - x0);
        if (plan.StepX <= 0x8000) {
            StretchRuns(dst, src, plan, mode, x0, n);
        } else {
            StretchGather(dst, src, plan, mode, x0, n);
        }
    }
}

// Runs fn(row, width) over the clipped rectangle, as one span when it covers whole rows.
template <typename Fn>
void ForEachSpan(TPixelSurface dst, const TBox& clip, Fn fn) {
    auto width = static_cast<std::size_t>(clip.Width());
    if (width == static_cast<std::size_t>(dst.Width)) {
        fn(PixelAt(dst, 0, clip.Top), width * static_cast<std::size_t>(clip.Height()));
        return;
    }
    for (int64_t y = clip.Top; y < clip.Bottom; ++y) {
        fn(PixelAt(dst, clip.Left, y), width);
    }
}

// 0 <= lo < hi <= size for a positive size, in unsigned arithmetic that cannot overflow: a
// negative lo wraps above size, and so does hi - lo - 1 for any hi outside (lo, size].
inline bool SpanInside(int32_t lo, int32_t hi, int32_t size) {
    auto l = static_cast<uint32_t>(lo);
    auto n = static_cast<uint32_t>(size);
    return l < n && static_cast<uint32_t>(hi) - l - 1 < n - l;
}

void KeyedRect(TPixel* d, std::size_t dstride, const TPixel* s, std::size_t sstride, std::size_t n, std::size_t rows) {
    for (; rows > 0; --rows, d += dstride, s += sstride) {
        KeyedSpan(d, s, n);
    }
}

void BlendRect(TPixel* d, std::size_t dstride, const TPixel* s, std::size_t sstride, std::size_t n, std::size_t rows) {
    for (; rows > 0; --rows, d += dstride, s += sstride) {
        BlendSpan(d, s, n);
    }
}

// 1:1 with both rectangles inside their surfaces, the way tiles and most bitmap draws come:
// no clipping and no fixed point, the source origin is srcRect's own. Kept small, apart from
// the general path, so that a small tile pays for little more than its pixels. False when
// the call is not of this kind.
bool StretchInside(TPixelSurface dst,
                   const TRect& destRect,
                   TConstPixelSurface src,
                   const TRect& srcRect,
                   TStretchMode mode) {
    if (!dst.Valid() || !src.Valid() || !SpanInside(destRect.Left, destRect.Right, dst.Width) ||
        !SpanInside(destRect.Top, destRect.Bottom, dst.Height) || !SpanInside(srcRect.Left, srcRect.Right, src.Width) ||
        !SpanInside(srcRect.Top, srcRect.Bottom, src.Height) ||
        srcRect.Right - srcRect.Left != destRect.Right - destRect.Left ||
        srcRect.Bottom - srcRect.Top != destRect.Bottom - destRect.Top || SharesMemory(dst, src)) {
        return false;
    }
    TPixel* d = PixelAt(dst, destRect.Left, destRect.Top);
    const TPixel* s = PixelAt(src, srcRect.Left, srcRect.Top);
    auto n = static_cast<std::size_t>(destRect.Right - destRect.Left);
    auto rows = static_cast<std::size_t>(destRect.Bottom - destRect.Top);
    auto dstride = static_cast<std::size_t>(dst.Width);
    auto sstride = static_cast<std::size_t>(src.Width);
    switch (mode) {
        case smCopy:
            if (n == dstride && n == sstride) {
                CopySpan(d, s, n * rows);  // whole rows on both sides: one block
            } else {
                CopyRect(d, dstride, s, sstride, n, rows);
            }
            break;
        case smKeyed:
            KeyedRect(d, dstride, s, sstride, n, rows);
            break;
        case smBlend:
            BlendRect(d, dstride, s, sstride, n, rows);
            break;
    }
    return true;
}

// Tiles wholly inside both surfaces, without blending: row by row instead of tile by tile.
// In copy mode a row repeats the row one tile height above it, so most rows are one copy.
bool TileInside(TPixelSurface dst,
                const TRect& destRect,
                TConstPixelSurface src,
                const TRect& srcRect,
                TStretchMode mode) {
    if (mode == smBlend || !dst.Valid() || !src.Valid() || !SpanInside(destRect.Left, destRect.Right, dst.Width) ||
        !SpanInside(destRect.Top, destRect.Bottom, dst.Height) || !SpanInside(srcRect.Left, srcRect.Right, src.Width) ||
        !SpanInside(srcRect.Top, srcRect.Bottom, src.Height) || SharesMemory(dst, src)) {
        return false;
    }
    const auto w = static_cast<std::size_t>(srcRect.Right - srcRect.Left);
    const auto h = static_cast<std::size_t>(srcRect.Bottom - srcRect.Top);
    const auto width = static_cast<std::size_t>(destRect.Right - destRect.Left);
    const auto rows = static_cast<std::size_t>(destRect.Bottom - destRect.Top);
    const auto dstride = static_cast<std::size_t>(dst.Width);
    TPixel* first = PixelAt(dst, destRect.Left, destRect.Top);
    for (std::size_t r = 0; r < rows; ++r) {
        TPixel* d = first + r * dstride;
        if (mode == smCopy && r >= h) {
            CopySpan(d, d - h * dstride, width);
            continue;
        }
        const TPixel* s = PixelAt(src, srcRect.Left, srcRect.Top + static_cast<int64_t>(r % h));
        for (std::size_t x = 0; x < width; x += w) {
            const std::size_t n = std::min(w, width - x);
            if (mode == smCopy) {
                CopySpan(d + x, s, n);
            } else {
                KeyedSpan(d + x, s, n);
            }
        }
    }
    return true;
}

// Everything else: clip, work out the 16.16 steps, and pick the row or column strategy.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
void StretchClipped(TPixelSurface dst, const TRect& destRect, TConstPixelSurface src, const TRect& srcRect,
                    TStretchMode mode) {
    TStretchPlan plan;
    if (!ClipStretch(dst, destRect, src, srcRect, plan)) {
        return;
    }
    if (SharesMemory(dst, src)) {
        reference::StretchPixels(dst, destRect, src, srcRect, mode);
        return;
    }
    // Equal sizes give the step 0x10000 and the start MulDiv(k * w, 0xFFFF, w) = k * 0xFFFF
    // without dividing.
    if (plan.SrcWidth == plan.DestWidth) {
        plan.StepX = 0x10000;
        plan.StartX = plan.SkipX * 0xFFFF;
    } else {
        plan.StepX = (plan.SrcWidth << 16) / plan.DestWidth;
        plan.StartX = MulDivFFFF(plan.SrcWidth * plan.SkipX, plan.DestWidth);
    }
    if (plan.SrcHeight == plan.DestHeight) {
        plan.StepY = 0x10000;
        plan.StartY = plan.SkipY * 0xFFFF;
    } else {
        plan.StepY = (plan.SrcHeight << 16) / plan.DestHeight;
        plan.StartY = MulDivFFFF(plan.SrcHeight * plan.SkipY, plan.DestHeight);
    }
    if (plan.StepX == 0x10000) {
        StretchRows(dst, src, plan, mode);
    } else {
        StretchScaled(dst, src, plan, mode);
    }
}

}  // namespace

void ForceReferenceKernels(bool force) {
    g_forceReference.store(force, std::memory_order_relaxed);
}

bool ReferenceKernelsForced() {
    return UseReference();
}

TKernelLevel ProcessorKernelLevel() {
    return g_processorLevel;
}

void LimitKernelLevel(TKernelLevel level) {
    g_level.store(std::min(level, g_processorLevel), std::memory_order_relaxed);
}

TKernelLevel KernelLevel() {
    return g_level.load(std::memory_order_relaxed);
}

void StretchPixels(TPixelSurface dst,
                   const TRect& destRect,
                   TConstPixelSurface src,
                   const TRect& srcRect,
                   TStretchMode mode) {
    if (UseReference()) {
        reference::StretchPixels(dst, destRect, src, srcRect, mode);
    } else if (!StretchInside(dst, destRect, src, srcRect, mode)) {
        StretchClipped(dst, destRect, src, srcRect, mode);
    }
}

void TilePixels(TPixelSurface dst,
                const TRect& destRect,
                TConstPixelSurface src,
                const TRect& srcRect,
                TStretchMode mode) {
    if (srcRect.IsEmpty()) {
        return;
    }
    if (UseReference()) {
        reference::TilePixels(dst, destRect, src, srcRect, mode);
    } else if (!TileInside(dst, destRect, src, srcRect, mode)) {
        pixel_detail::ForEachTile(
            destRect, srcRect, TRect{0, 0, dst.Width, dst.Height},
            [&](const TRect& tile, const TRect& part) { StretchPixels(dst, tile, src, part, mode); });
    }
}

void MergeUnderPixels(TPixelSurface dst, int32_t x, int32_t y, TConstPixelSurface src, TRect srcRect) {
    TMergePlan plan;
    if (UseReference() || !PlanMerge(dst, x, y, src, srcRect, plan) || SharesMemory(dst, src)) {
        reference::MergeUnderPixels(dst, x, y, src, srcRect);
        return;
    }
    for (int64_t j = 0; j < plan.Height; ++j) {
        UnderSpan(PixelAt(dst, plan.DstLeft, plan.DstTop + j), PixelAt(src, plan.SrcLeft, plan.SrcTop + j),
                  static_cast<std::size_t>(plan.Width));
    }
}

void FillPixels(TPixelSurface dst, const TRect& rect, TPixel pixel) {
    TBox clip;
    if (UseReference() || !ClipToSurface(dst, rect, clip)) {
        reference::FillPixels(dst, rect, pixel);
        return;
    }
    ForEachSpan(dst, clip, [pixel](TPixel* d, std::size_t n) { std::fill_n(d, n, pixel); });
}

void BlendFillPixels(TPixelSurface dst, const TRect& rect, TPixel pixel) {
    TBox clip;
    if (UseReference() || !ClipToSurface(dst, rect, clip)) {
        reference::BlendFillPixels(dst, rect, pixel);
        return;
    }
    switch (AlphaOf(pixel)) {
        case 0:
            return;
        case 255:
            ForEachSpan(dst, clip, [pixel](TPixel* d, std::size_t n) { std::fill_n(d, n, pixel); });
            return;
        default:
            ForEachSpan(dst, clip, [pixel](TPixel* d, std::size_t n) { BlendFillSpan(d, n, pixel); });
    }
}

void SetAlphaPixels(TPixelSurface dst, const TRect& rect, uint8_t alpha) {
    TBox clip;
    if (UseReference() || !ClipToSurface(dst, rect, clip)) {
        reference::SetAlphaPixels(dst, rect, alpha);
        return;
    }
    ForEachSpan(dst, clip, [alpha](TPixel* d, std::size_t n) { SetAlphaSpan(d, n, alpha); });
}

void ReplaceColorPixels(TPixelSurface dst, TPixel pixel) {
    if (UseReference() || !dst.Valid()) {
        reference::ReplaceColorPixels(dst, pixel);
        return;
    }
    ReplaceColorSpan(dst.Bits, SurfacePixels(dst), pixel);
}

void ChangeHuePixels(TPixelSurface dst, int delta) {
    if (UseReference() || !dst.Valid()) {
        reference::ChangeHuePixels(dst, delta);
        return;
    }
    // The vector rotation beats the colour cache even on flat skin art, where it reuses the
    // result of a repeated group; the cache is left for processors without SSE4.1 and for
    // deltas too large for the vector step.
    std::size_t count = SurfacePixels(dst);
    THueSpan span = HueSpanAtLevel();
    if (span != nullptr && delta >= -kHueSpanDelta && delta <= kHueSpanDelta) {
        span(dst.Bits, count, delta);
        return;
    }
    CachedHueSpan(dst.Bits, count, delta);
}

}  // namespace zaprelay
