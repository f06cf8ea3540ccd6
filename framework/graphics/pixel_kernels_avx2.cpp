// Blending spans and the hue rotation for processors with AVX2 (this file alone is compiled
// for it; the kernels call it only after checking the processor): the SSE4.1 methods on eight
// pixels at a time.
// Only this file's own functions may be used here, no inline ones shared with other files:
// the linker could keep this file's AVX2 copy of those for the whole program.
#include "framework/graphics/pixel_kernels_internal.h"

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace zaprelay::pixel_detail {

#if defined(__AVX2__)

namespace {

inline __m256i Load8(const TPixel* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

inline void Store8(TPixel* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// ((a * f + 128) >> 8) + (((255 - a) * b + 128) >> 8) on 16-bit channels; see the SSE4.1 file.
inline __m256i Mix(__m256i f, __m256i b, __m256i alpha) {
    __m256i k = _mm256_slli_epi16(alpha, 7);
    __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(255 << 7), k);
    return _mm256_add_epi16(_mm256_mulhrs_epi16(f, k), _mm256_mulhrs_epi16(b, inverse));
}

// BlendPixel(front, back) on eight pixels. Unpacking, shuffling and packing all stay inside
// each 128-bit half, so the halves come back in order.
inline __m256i Blend8(__m256i front, __m256i back, __m256i opaque, __m256i clear) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaLow = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1, 3, -1, 3, -1, 3,
                                              -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    const __m256i alphaHigh = _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1, 11, -1,
                                               11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
    __m256i lo =
        Mix(_mm256_unpacklo_epi8(front, zero), _mm256_unpacklo_epi8(back, zero), _mm256_shuffle_epi8(front, alphaLow));
    __m256i hi =
        Mix(_mm256_unpackhi_epi8(front, zero), _mm256_unpackhi_epi8(back, zero), _mm256_shuffle_epi8(front, alphaHigh));
    __m256i mixed = _mm256_packus_epi16(lo, hi);
    // The formula is one off at the ends (255 over 255 gives 254): those are exact copies.
    return _mm256_blendv_epi8(_mm256_blendv_epi8(mixed, back, clear), front, opaque);
}

inline void AlphaMasks(__m256i px, __m256i& opaque, __m256i& clear, int& opaqueLanes, int& clearLanes) {
    const __m256i alphaBits = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
    __m256i a = _mm256_and_si256(px, alphaBits);
    opaque = _mm256_cmpeq_epi32(a, alphaBits);
    clear = _mm256_cmpeq_epi32(a, _mm256_setzero_si256());
    opaqueLanes = _mm256_movemask_ps(_mm256_castsi256_ps(opaque));
    clearLanes = _mm256_movemask_ps(_mm256_castsi256_ps(clear));
}

void OverSpan(TPixel* d, const TPixel* s, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i sv = Load8(s + i);
        __m256i opaque, clear;
        int opaqueLanes, clearLanes;
        AlphaMasks(sv, opaque, clear, opaqueLanes, clearLanes);
        if (clearLanes == 0xFF) {
            continue;
        }
        if (opaqueLanes == 0xFF) {
            Store8(d + i, sv);
            continue;
        }
        Store8(d + i, Blend8(sv, Load8(d + i), opaque, clear));
    }
    for (; i < n; ++i) {
        d[i] = BlendPixel(s[i], d[i]);
    }
}

void UnderSpan(TPixel* d, const TPixel* s, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i dv = Load8(d + i);
        __m256i opaque, clear;
        int opaqueLanes, clearLanes;
        AlphaMasks(dv, opaque, clear, opaqueLanes, clearLanes);
        if (opaqueLanes == 0xFF) {
            continue;
        }
        if (clearLanes == 0xFF) {
            Store8(d + i, Load8(s + i));
            continue;
        }
        Store8(d + i, Blend8(dv, Load8(s + i), opaque, clear));
    }
    for (; i < n; ++i) {
        d[i] = BlendPixel(d[i], s[i]);
    }
}

// The hue rotation, two groups of 8 pixels at a time. Every step is the scalar ShiftHue's
// single precision operation in the same order (divisions stay divisions, no reciprocals, no
// fused multiply-adds) and branches become selections, so the results are bit-identical. The
// steps form a long chain (five divisions deep); doing each for two groups side by side lets
// one group's work fill the other's waits.
struct TFloats {
    __m256 v[2];
};

struct TInts {
    __m256i v[2];
};

inline TFloats Splat(float v) {
    __m256 s = _mm256_set1_ps(v);
    return {{s, s}};
}

inline TInts SplatInt(int32_t v) {
    __m256i s = _mm256_set1_epi32(v);
    return {{s, s}};
}

inline TFloats operator+(TFloats x, TFloats y) {
    return {{_mm256_add_ps(x.v[0], y.v[0]), _mm256_add_ps(x.v[1], y.v[1])}};
}

inline TFloats operator-(TFloats x, TFloats y) {
    return {{_mm256_sub_ps(x.v[0], y.v[0]), _mm256_sub_ps(x.v[1], y.v[1])}};
}

inline TFloats operator*(TFloats x, TFloats y) {
    return {{_mm256_mul_ps(x.v[0], y.v[0]), _mm256_mul_ps(x.v[1], y.v[1])}};
}

inline TFloats operator/(TFloats x, TFloats y) {
    return {{_mm256_div_ps(x.v[0], y.v[0]), _mm256_div_ps(x.v[1], y.v[1])}};
}

inline TFloats Max(TFloats x, TFloats y) {
    return {{_mm256_max_ps(x.v[0], y.v[0]), _mm256_max_ps(x.v[1], y.v[1])}};
}

inline TFloats Min(TFloats x, TFloats y) {
    return {{_mm256_min_ps(x.v[0], y.v[0]), _mm256_min_ps(x.v[1], y.v[1])}};
}

// Comparisons give all ones where true; a NaN compares unequal and nothing else.
inline TFloats Less(TFloats x, TFloats y) {
    return {{_mm256_cmp_ps(x.v[0], y.v[0], _CMP_LT_OQ), _mm256_cmp_ps(x.v[1], y.v[1], _CMP_LT_OQ)}};
}

inline TFloats Equal(TFloats x, TFloats y) {
    return {{_mm256_cmp_ps(x.v[0], y.v[0], _CMP_EQ_OQ), _mm256_cmp_ps(x.v[1], y.v[1], _CMP_EQ_OQ)}};
}

inline TFloats NotEqual(TFloats x, TFloats y) {
    return {{_mm256_cmp_ps(x.v[0], y.v[0], _CMP_NEQ_UQ), _mm256_cmp_ps(x.v[1], y.v[1], _CMP_NEQ_UQ)}};
}

inline TFloats Select(TFloats mask, TFloats yes, TFloats no) {
    return {{_mm256_blendv_ps(no.v[0], yes.v[0], mask.v[0]), _mm256_blendv_ps(no.v[1], yes.v[1], mask.v[1])}};
}

inline TFloats Floor(TFloats x) {
    return {{_mm256_floor_ps(x.v[0]), _mm256_floor_ps(x.v[1])}};
}

inline TFloats ToFloats(TInts x) {
    return {{_mm256_cvtepi32_ps(x.v[0]), _mm256_cvtepi32_ps(x.v[1])}};
}

// Rounds in the current rounding mode, which is what the scalar code's adding and taking away
// of 2^23 does for |x| < 2^23: to nearest, ties to even. NaN and overflow give INT32_MIN.
inline TInts Round(TFloats x) {
    return {{_mm256_cvtps_epi32(x.v[0]), _mm256_cvtps_epi32(x.v[1])}};
}

inline TInts operator+(TInts x, TInts y) {
    return {{_mm256_add_epi32(x.v[0], y.v[0]), _mm256_add_epi32(x.v[1], y.v[1])}};
}

inline TInts operator-(TInts x, TInts y) {
    return {{_mm256_sub_epi32(x.v[0], y.v[0]), _mm256_sub_epi32(x.v[1], y.v[1])}};
}

inline TInts operator&(TInts x, TInts y) {
    return {{_mm256_and_si256(x.v[0], y.v[0]), _mm256_and_si256(x.v[1], y.v[1])}};
}

inline TInts operator>>(TInts x, int n) {
    return {{_mm256_srli_epi32(x.v[0], n), _mm256_srli_epi32(x.v[1], n)}};
}

inline TInts Greater(TInts x, TInts y) {
    return {{_mm256_cmpgt_epi32(x.v[0], y.v[0]), _mm256_cmpgt_epi32(x.v[1], y.v[1])}};
}

inline TInts Equal(TInts x, TInts y) {
    return {{_mm256_cmpeq_epi32(x.v[0], y.v[0]), _mm256_cmpeq_epi32(x.v[1], y.v[1])}};
}

inline TInts Select(TInts mask, TInts yes, TInts no) {
    return {{_mm256_blendv_epi8(no.v[0], yes.v[0], mask.v[0]), _mm256_blendv_epi8(no.v[1], yes.v[1], mask.v[1])}};
}

// Opaque pixels from rounded channels, each clamped to 0..255 by saturation.
inline TInts Pack(TInts red, TInts green, TInts blue) {
    const __m256i alpha = _mm256_set1_epi32(255);
    // From b0..b3 g0..g3 r0..r3 a0..a3 (in each 128-bit half) to b0 g0 r0 a0 b1 ...
    const __m256i order = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 0, 4, 8, 12, 1, 5, 9,
                                           13, 2, 6, 10, 14, 3, 7, 11, 15);
    return {{_mm256_shuffle_epi8(
                 _mm256_packus_epi16(_mm256_packs_epi32(blue.v[0], green.v[0]), _mm256_packs_epi32(red.v[0], alpha)),
                 order),
             _mm256_shuffle_epi8(
                 _mm256_packus_epi16(_mm256_packs_epi32(blue.v[1], green.v[1]), _mm256_packs_epi32(red.v[1], alpha)),
                 order)}};
}

// Channel, ShiftHue and their helpers, compiled here as this file's own.
#include "framework/graphics/pixel_hue_lanes.inc"

void HueSpan(TPixel* d, std::size_t n, int32_t delta) {
    constexpr std::size_t kGroups = 2;
    constexpr std::size_t kStep = kGroups * 8;
    const TInts shift = SplatInt(delta);
    const __m256i alphas = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
    // Skin art repeats colours in runs: a group equal to the last one worked out gives the
    // same result, and a group with every alpha 0 stays as it is.
    __m256i lastIn = _mm256_setzero_si256();
    __m256i lastOut = lastIn;
    std::size_t i = 0;
    for (; i + kStep <= n; i += kStep) {
        TInts px;
        bool same[kGroups];
        bool clear[kGroups];
        bool known = true;
        for (std::size_t j = 0; j < kGroups; ++j) {
            px.v[j] = Load8(d + i + j * 8);
            same[j] = _mm256_movemask_epi8(_mm256_cmpeq_epi32(px.v[j], lastIn)) == -1;
            clear[j] = _mm256_testz_si256(px.v[j], alphas) != 0;
            known = known && (same[j] || clear[j]);
        }
        if (known) {
            for (std::size_t j = 0; j < kGroups; ++j) {
                if (same[j]) {
                    Store8(d + i + j * 8, lastOut);
                }
            }
            continue;
        }
        TInts out = ShiftHue(px, shift);
        for (std::size_t j = 0; j < kGroups; ++j) {
            Store8(d + i + j * 8, out.v[j]);
            if (!clear[j]) {
                lastIn = px.v[j];
                lastOut = out.v[j];
            }
        }
    }
    if (i < n) {
        // The rest through a zeroed block: alpha 0 is left alone.
        alignas(32) TPixel tail[kStep] = {};
        std::size_t rest = n - i;
        for (std::size_t j = 0; j < rest; ++j) {
            tail[j] = d[i + j];
        }
        TInts px;
        for (std::size_t j = 0; j < kGroups; ++j) {
            px.v[j] = Load8(tail + j * 8);
        }
        TInts out = ShiftHue(px, shift);
        for (std::size_t j = 0; j < kGroups; ++j) {
            Store8(tail + j * 8, out.v[j]);
        }
        for (std::size_t j = 0; j < rest; ++j) {
            d[i + j] = tail[j];
        }
    }
}

}  // namespace

TBlendSpans Avx2BlendSpans() {
    return {&OverSpan, &UnderSpan};
}

THueSpan Avx2HueSpan() {
    return &HueSpan;
}

#else

TBlendSpans Avx2BlendSpans() {
    return {nullptr, nullptr};
}

THueSpan Avx2HueSpan() {
    return nullptr;
}

#endif

}  // namespace zaprelay::pixel_detail
