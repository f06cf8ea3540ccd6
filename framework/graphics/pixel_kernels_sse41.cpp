// Blending spans for processors with SSE4.1 (this file alone is compiled for it; the kernels
// call it only after checking the processor). pmulhrsw with the alpha pre-shifted by 7 gives
// (a * c + 128) >> 8 exactly in one instruction, and pblendvb makes the alpha 0 and 255
// copies one instruction each: about half the work of the SSE2 version. Only this file's
// own functions may be used here, no inline ones shared with other files: the linker could
// keep this file's SSE4.1 copy of those for the whole program.
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

}  // namespace

TBlendSpans Sse41BlendSpans() {
    return {&OverSpan, &UnderSpan};
}

#else

TBlendSpans Sse41BlendSpans() {
    return {nullptr, nullptr};
}

#endif

}  // namespace zaprelay::pixel_detail
