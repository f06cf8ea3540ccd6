// Blending spans and the hue rotation for processors with SSE4.1 (this file alone is compiled
// for it; the kernels call it only after checking the processor). pmulhrsw with the alpha
// pre-shifted by 7 gives (a * c + 128) >> 8 exactly in one instruction, and pblendvb makes the
// alpha 0 and 255 copies one instruction each: about half the work of the SSE2 version. Only
// this file's own functions may be used here, no inline ones shared with other files: the
// linker could keep this file's SSE4.1 copy of those for the whole program.
#include "framework/graphics/pixel_kernels_internal.h"

#if defined(__SSE4_1__)
#include <smmintrin.h>
#endif

namespace zaprelay::pixel_detail {

#if defined(__SSE4_1__)

namespace {

inline __m128i Load4(const TPixel* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void Store4(TPixel* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// ((a * f + 128) >> 8) + (((255 - a) * b + 128) >> 8) on 16-bit channels of two pixels.
// With c <= 255 and k = a << 7 <= 32640, pmulhrsw's (c * k + 0x4000) >> 15 is that rounding.
inline __m128i Mix(__m128i f, __m128i b, __m128i alpha) {
    __m128i k = _mm_slli_epi16(alpha, 7);
    __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255 << 7), k);
    return _mm_add_epi16(_mm_mulhrs_epi16(f, k), _mm_mulhrs_epi16(b, inverse));
}

// BlendPixel(front, back) on four pixels, given which of front's alphas are 255 and 0.
inline __m128i Blend4(__m128i front, __m128i back, __m128i opaque, __m128i clear) {
    const __m128i zero = _mm_setzero_si128();
    // Each pixel's alpha byte into the four 16-bit channels of that pixel.
    const __m128i alphaLow = _mm_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    const __m128i alphaHigh = _mm_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
    __m128i lo = Mix(_mm_unpacklo_epi8(front, zero), _mm_unpacklo_epi8(back, zero), _mm_shuffle_epi8(front, alphaLow));
    __m128i hi = Mix(_mm_unpackhi_epi8(front, zero), _mm_unpackhi_epi8(back, zero), _mm_shuffle_epi8(front, alphaHigh));
    __m128i mixed = _mm_packus_epi16(lo, hi);
    // The formula is one off at the ends (255 over 255 gives 254): those are exact copies.
    return _mm_blendv_epi8(_mm_blendv_epi8(mixed, back, clear), front, opaque);
}

inline void AlphaMasks(__m128i px, __m128i& opaque, __m128i& clear, int& opaqueLanes, int& clearLanes) {
    const __m128i alphaBits = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
    __m128i a = _mm_and_si128(px, alphaBits);
    opaque = _mm_cmpeq_epi32(a, alphaBits);
    clear = _mm_cmpeq_epi32(a, _mm_setzero_si128());
    opaqueLanes = _mm_movemask_ps(_mm_castsi128_ps(opaque));
    clearLanes = _mm_movemask_ps(_mm_castsi128_ps(clear));
}

void OverSpan(TPixel* d, const TPixel* s, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i sv = Load4(s + i);
        __m128i opaque, clear;
        int opaqueLanes, clearLanes;
        AlphaMasks(sv, opaque, clear, opaqueLanes, clearLanes);
        if (clearLanes == 0xF) {
            continue;
        }
        if (opaqueLanes == 0xF) {
            Store4(d + i, sv);
            continue;
        }
        Store4(d + i, Blend4(sv, Load4(d + i), opaque, clear));
    }
    for (; i < n; ++i) {
        d[i] = BlendPixel(s[i], d[i]);
    }
}

void UnderSpan(TPixel* d, const TPixel* s, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i dv = Load4(d + i);
        __m128i opaque, clear;
        int opaqueLanes, clearLanes;
        AlphaMasks(dv, opaque, clear, opaqueLanes, clearLanes);
        if (opaqueLanes == 0xF) {
            continue;
        }
        if (clearLanes == 0xF) {
            Store4(d + i, Load4(s + i));
            continue;
        }
        Store4(d + i, Blend4(dv, Load4(s + i), opaque, clear));
    }
    for (; i < n; ++i) {
        d[i] = BlendPixel(d[i], s[i]);
    }
}

// The hue rotation, two groups of 4 pixels at a time. Every step is the scalar ShiftHue's
// single precision operation in the same order (divisions stay divisions, no reciprocals, no
// fused multiply-adds) and branches become selections, so the results are bit-identical. The
// steps form a long chain (five divisions deep); doing each for two groups side by side lets
// one group's work fill the other's waits.
struct TFloats {
    __m128 v[2];
};

struct TInts {
    __m128i v[2];
};

inline TFloats Splat(float v) {
    __m128 s = _mm_set1_ps(v);
    return {{s, s}};
}

inline TInts SplatInt(int32_t v) {
    __m128i s = _mm_set1_epi32(v);
    return {{s, s}};
}

inline TFloats operator+(TFloats x, TFloats y) {
    return {{_mm_add_ps(x.v[0], y.v[0]), _mm_add_ps(x.v[1], y.v[1])}};
}

inline TFloats operator-(TFloats x, TFloats y) {
    return {{_mm_sub_ps(x.v[0], y.v[0]), _mm_sub_ps(x.v[1], y.v[1])}};
}

inline TFloats operator*(TFloats x, TFloats y) {
    return {{_mm_mul_ps(x.v[0], y.v[0]), _mm_mul_ps(x.v[1], y.v[1])}};
}

inline TFloats operator/(TFloats x, TFloats y) {
    return {{_mm_div_ps(x.v[0], y.v[0]), _mm_div_ps(x.v[1], y.v[1])}};
}

inline TFloats Max(TFloats x, TFloats y) {
    return {{_mm_max_ps(x.v[0], y.v[0]), _mm_max_ps(x.v[1], y.v[1])}};
}

inline TFloats Min(TFloats x, TFloats y) {
    return {{_mm_min_ps(x.v[0], y.v[0]), _mm_min_ps(x.v[1], y.v[1])}};
}

// Comparisons give all ones where true; a NaN compares unequal and nothing else.
inline TFloats Less(TFloats x, TFloats y) {
    return {{_mm_cmplt_ps(x.v[0], y.v[0]), _mm_cmplt_ps(x.v[1], y.v[1])}};
}

inline TFloats Equal(TFloats x, TFloats y) {
    return {{_mm_cmpeq_ps(x.v[0], y.v[0]), _mm_cmpeq_ps(x.v[1], y.v[1])}};
}

inline TFloats NotEqual(TFloats x, TFloats y) {
    return {{_mm_cmpneq_ps(x.v[0], y.v[0]), _mm_cmpneq_ps(x.v[1], y.v[1])}};
}

inline TFloats Select(TFloats mask, TFloats yes, TFloats no) {
    return {{_mm_blendv_ps(no.v[0], yes.v[0], mask.v[0]), _mm_blendv_ps(no.v[1], yes.v[1], mask.v[1])}};
}

inline TFloats Floor(TFloats x) {
    return {{_mm_floor_ps(x.v[0]), _mm_floor_ps(x.v[1])}};
}

inline TFloats ToFloats(TInts x) {
    return {{_mm_cvtepi32_ps(x.v[0]), _mm_cvtepi32_ps(x.v[1])}};
}

// Rounds in the current rounding mode, which is what the scalar code's adding and taking away
// of 2^23 does for |x| < 2^23: to nearest, ties to even. NaN and overflow give INT32_MIN.
inline TInts Round(TFloats x) {
    return {{_mm_cvtps_epi32(x.v[0]), _mm_cvtps_epi32(x.v[1])}};
}

inline TInts operator+(TInts x, TInts y) {
    return {{_mm_add_epi32(x.v[0], y.v[0]), _mm_add_epi32(x.v[1], y.v[1])}};
}

inline TInts operator-(TInts x, TInts y) {
    return {{_mm_sub_epi32(x.v[0], y.v[0]), _mm_sub_epi32(x.v[1], y.v[1])}};
}

inline TInts operator&(TInts x, TInts y) {
    return {{_mm_and_si128(x.v[0], y.v[0]), _mm_and_si128(x.v[1], y.v[1])}};
}

inline TInts operator>>(TInts x, int n) {
    return {{_mm_srli_epi32(x.v[0], n), _mm_srli_epi32(x.v[1], n)}};
}

inline TInts Greater(TInts x, TInts y) {
    return {{_mm_cmpgt_epi32(x.v[0], y.v[0]), _mm_cmpgt_epi32(x.v[1], y.v[1])}};
}

inline TInts Equal(TInts x, TInts y) {
    return {{_mm_cmpeq_epi32(x.v[0], y.v[0]), _mm_cmpeq_epi32(x.v[1], y.v[1])}};
}

inline TInts Select(TInts mask, TInts yes, TInts no) {
    return {{_mm_blendv_epi8(no.v[0], yes.v[0], mask.v[0]), _mm_blendv_epi8(no.v[1], yes.v[1], mask.v[1])}};
}

// Opaque pixels from rounded channels, each clamped to 0..255 by saturation.
inline TInts Pack(TInts red, TInts green, TInts blue) {
    const __m128i alpha = _mm_set1_epi32(255);
    // From b0..b3 g0..g3 r0..r3 a0..a3 (in each 128-bit half) to b0 g0 r0 a0 b1 ...
    const __m128i order = _mm_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    return {{_mm_shuffle_epi8(
                 _mm_packus_epi16(_mm_packs_epi32(blue.v[0], green.v[0]), _mm_packs_epi32(red.v[0], alpha)), order),
             _mm_shuffle_epi8(
                 _mm_packus_epi16(_mm_packs_epi32(blue.v[1], green.v[1]), _mm_packs_epi32(red.v[1], alpha)), order)}};
}

// Channel, ShiftHue and their helpers, compiled here as this file's own.
#include "framework/graphics/pixel_hue_lanes.inc"

void HueSpan(TPixel* d, std::size_t n, int32_t delta) {
    constexpr std::size_t kGroups = 2;
    constexpr std::size_t kStep = kGroups * 4;
    const TInts shift = SplatInt(delta);
    const __m128i alphas = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
    // Skin art repeats colours in runs: a group equal to the last one worked out gives the
    // same result, and a group with every alpha 0 stays as it is.
    __m128i lastIn = _mm_setzero_si128();
    __m128i lastOut = lastIn;
    std::size_t i = 0;
    for (; i + kStep <= n; i += kStep) {
        TInts px;
        bool same[kGroups];
        bool clear[kGroups];
        bool known = true;
        for (std::size_t j = 0; j < kGroups; ++j) {
            px.v[j] = Load4(d + i + j * 4);
            same[j] = _mm_movemask_epi8(_mm_cmpeq_epi32(px.v[j], lastIn)) == 0xFFFF;
            clear[j] = _mm_testz_si128(px.v[j], alphas) != 0;
            known = known && (same[j] || clear[j]);
        }
        if (known) {
            for (std::size_t j = 0; j < kGroups; ++j) {
                if (same[j]) {
                    Store4(d + i + j * 4, lastOut);
                }
            }
            continue;
        }
        TInts out = ShiftHue(px, shift);
        for (std::size_t j = 0; j < kGroups; ++j) {
            Store4(d + i + j * 4, out.v[j]);
            if (!clear[j]) {
                lastIn = px.v[j];
                lastOut = out.v[j];
            }
        }
    }
    if (i < n) {
        // The rest through a zeroed block: alpha 0 is left alone.
        alignas(16) TPixel tail[kStep] = {};
        std::size_t rest = n - i;
        for (std::size_t j = 0; j < rest; ++j) {
            tail[j] = d[i + j];
        }
        TInts px;
        for (std::size_t j = 0; j < kGroups; ++j) {
            px.v[j] = Load4(tail + j * 4);
        }
        TInts out = ShiftHue(px, shift);
        for (std::size_t j = 0; j < kGroups; ++j) {
            Store4(tail + j * 4, out.v[j]);
        }
        for (std::size_t j = 0; j < rest; ++j) {
            d[i + j] = tail[j];
        }
    }
}

}  // namespace

TBlendSpans Sse41BlendSpans() {
    return {&OverSpan, &UnderSpan};
}

THueSpan Sse41HueSpan() {
    return &HueSpan;
}

#else

TBlendSpans Sse41BlendSpans() {
    return {nullptr, nullptr};
}

THueSpan Sse41HueSpan() {
    return nullptr;
}

#endif

}  // namespace zaprelay::pixel_detail
