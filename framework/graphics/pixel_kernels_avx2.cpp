// Blending spans for processors with AVX2 (this file alone is compiled for it; the kernels
// call it only after checking the processor): the SSE4.1 method on eight pixels at a time.
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

}  // namespace

TBlendSpans Avx2BlendSpans() {
    return {&OverSpan, &UnderSpan};
}

#else

TBlendSpans Avx2BlendSpans() {
    return {nullptr, nullptr};
}

#endif

}  // namespace zaprelay::pixel_detail
