// Any bytes as a BMP file. The decoder may refuse with its error, never otherwise; a picture
// it accepts must encode as 16 bits and decode back to the same size.
#include "framework/rtl/exceptions.h"
#include "skin/store/bmp_codec.h"

#include <cstdint>
#include <cstdlib>
#include <span>

using namespace zaprelay;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TVxBitmap bitmap;
    try {
        DecodeBmp(std::span<const uint8_t>(data, size), bitmap);
    } catch (const Exception&) {
        return 0;
    }
    TVxBitmap back;
    DecodeBmp(EncodeBmp565(bitmap), back);
    if (back.Width() != bitmap.Width() || back.Height() != bitmap.Height()) {
        std::abort();
    }
    return 0;
}
