// The system menu's glyphs come from the program's resources, one list for every form, drawn
// with the mask colour left out.
#include "skin/form/form_images.h"

#include "framework/win32/gdi_handles.h"

#include <gtest/gtest.h>

namespace zaprelay::skin {
namespace {

// Draws one glyph over white into a 16 x 16 32-bit bitmap and returns its pixels (0x00RRGGBB).
std::vector<uint32_t> DrawGlyph(int index) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win32::TBitmapHandle target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win32::TMemoryDC dc(CreateCompatibleDC(nullptr));
    win32::TSelectObject select(dc.Get(), target.Get());
    RECT all{0, 0, 16, 16};
    FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FormImages().Draw(dc.Get(), 0, 0, index);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> out(pixels, pixels + 256);
    for (uint32_t& p : out) {
        p &= 0xFFFFFF;
    }
    return out;
}

TEST(FormImages, SixMaskedGlyphsInMenuOrder) {
    EXPECT_EQ(FormImages().Count(), 6);
    EXPECT_EQ(&FormImages(), &FormImages());
    for (int index = kfiClose; index <= kfiTray; ++index) {
        std::vector<uint32_t> pixels = DrawGlyph(index);
        int ink = 0;
        for (uint32_t p : pixels) {
            EXPECT_TRUE(p == 0xFFFFFF || p == 0) << "glyph " << index << " shows its mask colour";
            ink += p == 0 ? 1 : 0;
        }
        EXPECT_GT(ink, 8) << "glyph " << index;
        EXPECT_LT(ink, 128) << "glyph " << index;
    }
    // The close glyph is a cross: its centre is inked, its corners are not.
    std::vector<uint32_t> close = DrawGlyph(kfiClose);
    EXPECT_EQ(close[7 * 16 + 8], 0u);
    EXPECT_EQ(close[0], 0xFFFFFFu);
}

}  // namespace
}  // namespace zaprelay::skin
