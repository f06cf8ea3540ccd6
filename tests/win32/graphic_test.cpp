// The skin bitmap converts from and to the framework's own images: device-dependent
// bitmaps, other graphics, pictures, and the clipboard.
#include "framework/win32/graphic.h"

#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/font.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/gdi_canvas.h"

#include <gtest/gtest.h>

namespace zaprelay::test {
namespace {

using namespace zaprelay::win32;

// A graphic that is not a bitmap: a solid colour at any size.
class TSolidGraphic : public TGraphic {
public:
    TSolidGraphic(int32_t w, int32_t h, COLORREF color) : m_w(w), m_h(h), m_color(color) {}
    int32_t Width() const override { return m_w; }
    int32_t Height() const override { return m_h; }
    void Draw(TGdiCanvas& canvas, const TRect& rect) override {
        TBrushHandle brush(CreateSolidBrush(m_color));
        RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
        ::FillRect(canvas.Handle(), &r, brush.Get());
    }

private:
    int32_t m_w, m_h;
    COLORREF m_color;
};

class BitmapConversionTest : public ::testing::Test {
protected:
    void SetUp() override { InstallWin32Graphics(); }
};

void Paint(TBitmap& bitmap, COLORREF color) {
    TBrushHandle brush(CreateSolidBrush(color));
    RECT all{0, 0, bitmap.Width(), bitmap.Height()};
    ::FillRect(bitmap.DC(), &all, brush.Get());
}

TEST_F(BitmapConversionTest, FromADeviceDependentBitmapTakesSizeAndPixelsOpaque) {
    TBitmap source;
    source.SetSize(6, 4);
    Paint(source, RGB(255, 0, 0));
    TVxBitmap bitmap;
    bitmap.CopyFrom(source);
    ASSERT_EQ(bitmap.Width(), 6);
    ASSERT_EQ(bitmap.Height(), 4);
    EXPECT_EQ(bitmap.GetPixel(5, 3), 0xFFFF0000u);
}

TEST_F(BitmapConversionTest, FromOtherGraphicsAndPicturesDrawsThem) {
    TVxBitmap bitmap;
    TSolidGraphic green(3, 2, RGB(0, 255, 0));
    bitmap.CopyFrom(green);
    ASSERT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.GetPixel(2, 1), 0xFF00FF00u);

    TPicture picture;
    picture.SetGraphic(std::make_unique<TSolidGraphic>(5, 5, RGB(0, 0, 255)));
    bitmap.CopyFrom(picture);
    ASSERT_EQ(bitmap.Width(), 5);
    EXPECT_EQ(bitmap.GetPixel(4, 4), 0xFF0000FFu);

    Paint(picture.Bitmap(), RGB(0, 0, 0));  // the picture now holds an empty bitmap
    TVxBitmap other;
    other.CopyFrom(picture);
    EXPECT_TRUE(other.Empty());
}

TEST_F(BitmapConversionTest, ToPicturesBitmapsAndTheClipboardDrawsTheWholeBitmap) {
    TVxBitmap bitmap;
    bitmap.SetSize(4, 3);
    bitmap.Fill(0x00123456);  // alpha 0: drawn opaque all the same
    bitmap.Bits()[0] = TransparentColor;

    TPicture picture;
    picture.CopyFrom(bitmap);
    ASSERT_EQ(picture.Width(), 4);
    EXPECT_EQ(GetPixel(picture.Bitmap().DC(), 3, 2), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(GetPixel(picture.Bitmap().DC(), 0, 0), RGB(0x7F, 0, 0x7F)) << "the key colour is copied, not keyed";

    TBitmap ddb;
    ddb.CopyFrom(bitmap);
    EXPECT_EQ(ddb.Width(), 4);
    EXPECT_EQ(GetPixel(ddb.DC(), 1, 1), RGB(0x12, 0x34, 0x56));

    TClipboard clipboard;
    clipboard.CopyFrom(bitmap);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(BitmapConversionTest, OtherTypesRaiseTheAssignmentError) {
    TVxBitmap bitmap;
    bitmap.SetSize(1, 1);
    TFont font;
    try {
        font.CopyFrom(bitmap);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TVxBitmap to a TFont");
    }
    EXPECT_THROW(bitmap.CopyFrom(font), EConvertError);
}

}  // namespace
}  // namespace zaprelay::test
