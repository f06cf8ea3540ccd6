// Writes files for other tools to check into FOLDER (made when missing): the sample skin in
// every container (sample.uskn, .qskn, .xskn, .mskn), a 16-bit picture from the BMP codec
// (pattern.bmp) and the 8-bit RGB rows, top-down, that the codec reads back from it
// (pattern.rgb).
#include "framework/rtl/exceptions.h"
#include "skin/store/bmp_codec.h"
#include "skin/store/skin_classes.h"
#include "tests/unit/store/store_samples.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace zaprelay;
using namespace zaprelay::skin;

namespace {

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw Exception("cannot write " + path);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[1]);
        const std::string dir = std::string(argv[1]) + "/";
        RegisterSkinClasses();
        TVxSkinSource source(nullptr);
        test::FillSampleSkin(source);
        for (const TVxSkinFilterClass* filter :
             {&TVxSkinFilterUncompressed::Class(), &TVxSkinFilterCompressed::Class(),
              &TVxSkinFilterUltraCompressed::Class(), &TVxSkinFilterMaxCompression::Class()}) {
            Write(dir + "sample." + std::string(filter->Extension()), test::SaveWith(source, *filter));
        }

        // Odd width (padded rows), primaries, grey steps and the key colour.
        TVxBitmap pattern;
        pattern.SetSize(5, 3);
        const TPixel pixels[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000,
                                 0xFF804020, 0xFF7F007F, 0x00FF00FF, 0xFF102030, 0xFFC0C0C0,
                                 0xFF08FC04, 0xFF3F3F3F, 0xFFFFFF00, 0xFF00FFFF, 0xFFAA5511};
        std::copy(std::begin(pixels), std::end(pixels), pattern.Bits());
        const std::vector<uint8_t> bmp = EncodeBmp565(pattern);
        Write(dir + "pattern.bmp", bmp);
        TVxBitmap back;
        DecodeBmp(bmp, back);
        std::vector<uint8_t> rgb;
        for (int32_t y = 0; y < back.Height(); ++y) {
            for (int32_t x = 0; x < back.Width(); ++x) {
                const TPixel p = back.GetPixel(x, y);
                rgb.insert(rgb.end(),
                           {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)});
            }
        }
        Write(dir + "pattern.rgb", rgb);
        UnregisterSkinClasses();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "interop_writer: %s\n", e.what());
        return 1;
    }
    return 0;
}
