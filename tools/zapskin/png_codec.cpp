#include "tools/zapskin/png_codec.h"

#include "framework/rtl/exceptions.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <memory>
#include <string>

// The stb codecs are compiled into this file only.
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#define STB_IMAGE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>

namespace zaprelay::zapskin {
namespace {

struct TStbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

TRgbaImage DecodePngRgba(std::span<const uint8_t> bytes) {
    constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < sizeof kSignature || !std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin())) {
        throw Exception("Not a PNG image");
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        throw Exception("PNG image too large");
    }
    const int length = static_cast<int>(bytes.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    if (stbi_info_from_memory(bytes.data(), length, &width, &height, &channels) == 0) {
        throw Exception(std::string("Invalid PNG image: ") + stbi_failure_reason());
    }
    if (stbi_is_16_bit_from_memory(bytes.data(), length) != 0) {
        throw Exception("16-bit PNG images are not supported; save it with 8 bits per channel");
    }
    if (width < 1 || height < 1 || width > kMaxPngSide || height > kMaxPngSide) {
        throw Exception("PNG image of " + std::to_string(width) + "x" + std::to_string(height) +
                        " pixels; each side must be 1 to " + std::to_string(kMaxPngSide));
    }
    std::unique_ptr<stbi_uc, TStbFree> rgba(stbi_load_from_memory(bytes.data(), length, &width, &height, &channels, 4));
    if (rgba == nullptr) {
        throw Exception(std::string("Invalid PNG image: ") + stbi_failure_reason());
    }
    TRgbaImage image{width, height, {}};
    image.Rgba.assign(rgba.get(), rgba.get() + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    return image;
}

void DecodePng(std::span<const uint8_t> bytes, TVxBitmap& target) {
    const TRgbaImage image = DecodePngRgba(bytes);
    target.SetSize(image.Width, image.Height);
    if (target.Width() != image.Width || target.Height() != image.Height) {
        throw Exception("Out of memory for a " + std::to_string(image.Width) + "x" + std::to_string(image.Height) +
                        " bitmap");
    }
    const uint8_t* source = image.Rgba.data();
    TPixel* pixel = target.Bits();
    const std::size_t count = image.Rgba.size() / 4;
    for (std::size_t i = 0; i < count; ++i, source += 4) {
        pixel[i] = (TPixel{source[3]} << 24) | (TPixel{source[0]} << 16) | (TPixel{source[1]} << 8) | TPixel{source[2]};
    }
}

std::vector<uint8_t> EncodePng(int32_t width, int32_t height, std::span<const uint8_t> rgba) {
    if (width < 1 || height < 1 || width > kMaxPngSide || height > kMaxPngSide ||
        rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
        throw Exception("Cannot encode a " + std::to_string(width) + "x" + std::to_string(height) + " PNG image");
    }
    std::vector<uint8_t> out;
    if (stbi_write_png_to_func(AppendBytes, &out, width, height, 4, rgba.data(), width * 4) == 0) {
        throw Exception("Cannot encode a PNG image");
    }
    return out;
}

}  // namespace zaprelay::zapskin
