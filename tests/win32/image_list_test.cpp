// The image list: images added from bitmaps and icons drawn through the system list onto
// real pixels, the "Bitmap" property's round trip, and its refusal of damaged bytes.
#include "framework/win32/image_list.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/streams.h"
#include "framework/win32/dib_storage.h"
#include "tests/win32/test_support.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zaprelay::win32 {
namespace {

constexpr uint32_t kRed = 0x00FF0000;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kBlue = 0x000000FF;
constexpr uint32_t kMagenta = 0x00FF00FF;
constexpr uint32_t kWhite = 0x00FFFFFF;

TBitmapHandle MakeBitmap(int width, int height, const std::function<uint32_t(int x, int y)>& pixel) {
    BITMAPINFO info = TopDownDibInfo(width, height);
    void* bits = nullptr;
    TBitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[y * width + x] = pixel(x, y);
        }
    }
    return bitmap;
}

// A 32-bit top-down surface in a memory context, filled with one colour.
class Target {
public:
    Target(int width, int height, uint32_t fill) : m_width(width), m_dc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = TopDownDibInfo(width, height);
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<uint32_t*>(bits);
        std::fill(m_bits, m_bits + width * height, fill);
        m_old = SelectObject(m_dc.Get(), m_bitmap.Get());
    }
    ~Target() { SelectObject(m_dc.Get(), m_old); }
    HDC Dc() const { return m_dc.Get(); }
    uint32_t Pixel(int x, int y) const {
        GdiFlush();
        return m_bits[y * m_width + x] & 0xFFFFFF;
    }

private:
    int m_width;
    TMemoryDC m_dc;
    TBitmapHandle m_bitmap;
    uint32_t* m_bits = nullptr;
    HGDIOBJ m_old = nullptr;
};

class ImageListTest : public ::testing::Test {
protected:
    ImageListTest() {
        list.SetWidth(4);
        list.SetHeight(4);
    }

    // Two 4x4 images side by side, red then green, each with its left column transparent.
    void AddRedAndGreen() {
        TBitmapHandle strip = MakeBitmap(8, 4, [](int x, int) { return x < 4 ? kRed : kGreen; });
        TBitmapHandle mask = MakeBitmap(8, 4, [](int x, int) { return x % 4 == 0 ? kWhite : 0; });
        ASSERT_EQ(list.Add(strip.Get(), mask.Get()), 0);
    }

    TImageList list{nullptr};
};

TEST_F(ImageListTest, StripAddsOneImagePerWidthAndDrawsThroughItsMask) {
    AddRedAndGreen();
    ASSERT_EQ(list.Count(), 2);
    Target target(8, 4, kBlue);
    list.Draw(target.Dc(), 0, 0, 1);
    EXPECT_EQ(target.Pixel(0, 0), kBlue) << "masked column";
    EXPECT_EQ(target.Pixel(1, 0), kGreen);
    EXPECT_EQ(target.Pixel(3, 3), kGreen);
    EXPECT_EQ(target.Pixel(4, 0), kBlue) << "nothing beyond the image";

    list.Draw(target.Dc(), 4, 0, 2);
    list.Draw(target.Dc(), 4, 0, -1);
    EXPECT_EQ(target.Pixel(5, 0), kBlue) << "an index outside the list draws nothing";

    list.Delete(0);
    ASSERT_EQ(list.Count(), 1);
    list.Draw(target.Dc(), 4, 0, 0);
    EXPECT_EQ(target.Pixel(5, 0), kGreen) << "the green image moved to the front";
    EXPECT_THROW(list.Delete(1), EListError);

    TBitmapHandle blue = MakeBitmap(4, 4, [](int, int) { return kBlue; });
    EXPECT_EQ(list.Add(blue.Get(), nullptr), 1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ImageListTest, KeyColourDisabledLookUnmaskedAndBackgroundColour) {
    TBitmapHandle image = MakeBitmap(4, 4, [](int x, int) { return x == 0 ? kMagenta : kRed; });
    list.AddMasked(image.Get(), RGB(255, 0, 255));
    Target target(12, 4, kBlue);
    list.Draw(target.Dc(), 0, 0, 0);
    EXPECT_EQ(target.Pixel(0, 0), kBlue);
    EXPECT_EQ(target.Pixel(1, 0), kRed);

    list.Draw(target.Dc(), 4, 0, 0, false);
    EXPECT_EQ(target.Pixel(4, 0), kBlue);
    uint32_t grey = target.Pixel(5, 0);
    EXPECT_NE(grey, kRed);
    EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
    EXPECT_EQ(grey & 0xFF, (grey >> 16) & 0xFF);

    list.SetBkColor(clWhite);
    list.Draw(target.Dc(), 8, 0, 0);
    EXPECT_EQ(target.Pixel(8, 0), kWhite);
    list.SetBkColor(clNone);

    list.SetMasked(false);
    list.Draw(target.Dc(), 0, 0, 0);
    EXPECT_EQ(target.Pixel(0, 0), kMagenta) << "drawn whole";
}

TEST_F(ImageListTest, IconsAddAtTheListSizeWithTheirMask) {
    TBitmapHandle color = MakeBitmap(4, 4, [](int, int) { return kGreen; });
    TBitmapHandle mask = MakeBitmap(4, 4, [](int x, int) { return x == 3 ? kWhite : 0; });
    ICONINFO info{TRUE, 0, 0, mask.Get(), color.Get()};
    TIconHandle icon(CreateIconIndirect(&info));
    ASSERT_TRUE(icon);
    ASSERT_EQ(list.AddIcon(icon.Get()), 0);

    TBitmapHandle bigColor = MakeBitmap(8, 8, [](int, int) { return kRed; });
    TBitmapHandle bigMask = MakeBitmap(8, 8, [](int, int) { return 0; });
    ICONINFO bigInfo{TRUE, 0, 0, bigMask.Get(), bigColor.Get()};
    TIconHandle big(CreateIconIndirect(&bigInfo));
    ASSERT_EQ(list.AddIcon(big.Get()), 1);

    Target target(8, 4, kBlue);
    list.Draw(target.Dc(), 0, 0, 0);
    list.Draw(target.Dc(), 4, 0, 1);
    EXPECT_EQ(target.Pixel(0, 0), kGreen);
    EXPECT_EQ(target.Pixel(3, 0), kBlue);
    EXPECT_EQ(target.Pixel(7, 3), kRed) << "scaled to the list's size";
}

TEST_F(ImageListTest, BadHandlesAndSizesAreRefusedAndChangeNothing) {
    AddRedAndGreen();
    TBitmapHandle narrow = MakeBitmap(3, 4, [](int, int) { return kRed; });
    TBitmapHandle wide = MakeBitmap(8, 4, [](int, int) { return kRed; });
    TBitmapHandle shortMask = MakeBitmap(4, 4, [](int, int) { return 0; });
    EXPECT_THROW(list.Add(narrow.Get(), nullptr), EInvalidOperation);
    EXPECT_THROW(list.Add(wide.Get(), shortMask.Get()), EInvalidOperation) << "mask covers one of two";
    EXPECT_THROW(list.Add(nullptr, nullptr), EInvalidOperation);
    EXPECT_THROW(list.AddIcon(nullptr), EInvalidOperation);
    EXPECT_THROW(list.SetWidth(0), EInvalidOperation);
    EXPECT_THROW(list.SetHeight(kMaxImageSize + 1), EInvalidOperation);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Width(), 4);

    list.SetWidth(8);
    EXPECT_EQ(list.Count(), 0) << "images of the old size do not fit";
}

TEST_F(ImageListTest, BitmapPropertyRoundTripsThroughBothStreamForms) {
    AddRedAndGreen();
    list.SetMasked(false);
    list.SetBkColor(clWhite);
    TMemoryStream binary;
    WriteObjectStream(binary, list);
    std::string text = BinaryToText(binary.Bytes());
    EXPECT_NE(text.find("Bitmap = {"), std::string::npos) << text;

    TImageList copy(nullptr);
    std::vector<uint8_t> again = TextToBinary(text);
    TBytesStream in(again);
    ReadObjectStream(in, copy);
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_EQ(copy.Height(), 4);
    EXPECT_FALSE(copy.Masked());
    EXPECT_EQ(copy.BkColor(), clWhite);
    ASSERT_EQ(copy.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(copy.Image(i).Pixels, list.Image(i).Pixels) << i;
        EXPECT_EQ(copy.Image(i).Mask, list.Image(i).Mask) << i;
    }

    TImageList empty(nullptr);
    TMemoryStream none;
    WriteObjectStream(none, empty);
    EXPECT_EQ(BinaryToText(none.Bytes()).find("Bitmap"), std::string::npos);
}

TEST_F(ImageListTest, DamagedBitmapDataIsRefusedAndTheListKeepsItsImages) {
    AddRedAndGreen();
    const std::vector<uint8_t> good = WriteImageListData({4, 4, {list.Image(0), list.Image(1)}});
    auto put32 = [](std::vector<uint8_t> bytes, std::size_t at, uint32_t value) {
        std::memcpy(&bytes[at], &value, 4);
        return bytes;
    };
    struct Case {
        const char* Name;
        std::vector<uint8_t> Bytes;
        const char* Message;
    };
    const Case cases[] = {
        {"one byte short", std::vector<uint8_t>(good.begin(), good.end() - 1), "Image list data is truncated"},
        {"header cut", std::vector<uint8_t>(good.begin(), good.begin() + 10), "Image list data is truncated"},
        {"empty", {}, "Image list data is truncated"},
        {"wrong tag", put32(good, 0, 0x12345678), "Image list data is not valid"},
        {"unknown flag", put32(good, 16, 3), "Image list data is not valid"},
        {"zero width", put32(good, 8, 0), "Image list data has an invalid image size"},
        {"huge height", put32(good, 12, 0x40000000), "Image list data has an invalid image size"},
        {"huge count", put32(good, 4, 0xFFFFFFFF), "Image list data is truncated"},
        {"extra byte",
         [&] {
             std::vector<uint8_t> b = good;
             b.push_back(0);
             return b;
         }(),
         "Image list data has bytes after the last image"},
    };
    TPropertyDeclarations declared;
    list.DeclareProperties(declared);
    const TDefinedProperty* bitmap = declared.Find("Bitmap");
    ASSERT_NE(bitmap, nullptr);
    for (const Case& c : cases) {
        TBytesStream stream(c.Bytes);
        try {
            bitmap->Reader(stream);
            ADD_FAILURE() << c.Name << ": accepted";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), c.Message) << c.Name;
        }
        EXPECT_EQ(list.Count(), 2) << c.Name;
        EXPECT_EQ(list.Width(), 4) << c.Name;
    }
    TBytesStream stream(good);
    bitmap->Reader(stream);
    EXPECT_EQ(list.Count(), 2);
}

TEST_F(ImageListTest, ListsComeAndGoWithoutLeavingGdiObjects) {
    AddRedAndGreen();
    Target target(4, 4, kBlue);
    list.Draw(target.Dc(), 0, 0, 0, false);
    const DWORD before = zaprelay::test::CountGuiObjects(GR_GDIOBJECTS);
    for (int i = 0; i < 200; ++i) {
        TImageList cycle(nullptr);
        cycle.SetWidth(4);
        cycle.SetHeight(4);
        cycle.CopyFrom(list);
        TBitmapHandle more = MakeBitmap(4, 4, [](int, int) { return kRed; });
        cycle.AddMasked(more.Get(), RGB(0, 0, 0));
        cycle.Draw(target.Dc(), 0, 0, 2);
        cycle.Draw(target.Dc(), 0, 0, 0, false);
        cycle.Delete(0);
        cycle.Draw(target.Dc(), 0, 0, 0);
    }
    EXPECT_EQ(zaprelay::test::CountGuiObjects(GR_GDIOBJECTS), before);
}

}  // namespace
}  // namespace zaprelay::win32
