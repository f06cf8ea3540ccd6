// The Win32 side of the graphics core: DIB-section bitmaps, the GDI canvas and its three
// paths for bitmaps (direct into DIB pixels, GDI blits, software transparent fallback),
// clipping, window regions and the handle wrappers.
#include "framework/graphics/region.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/gdi_canvas.h"
#include "framework/win32/gdi_handles.h"

#include <gtest/gtest.h>

namespace zaprelay::test {
namespace {

using namespace zaprelay::win32;

constexpr TPixel kRed = 0xFFFF0000;
constexpr TPixel kGreen = 0xFF00FF00;
constexpr COLORREF kBlueRef = RGB(0, 0, 255);

class Win32GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override { InstallWin32Graphics(); }
    void TearDown() override {
        InstallWin32Graphics();  // undoes OverrideTransparentBlt
    }
};

// A screen-compatible (device-dependent) bitmap in a memory context: the platform path.
class TScreenTarget {
public:
    TScreenTarget(int w, int h) {
        TWindowDC screen(nullptr);
        m_dc.Reset(CreateCompatibleDC(screen.Get()));
        m_bitmap.Reset(CreateCompatibleBitmap(screen.Get(), w, h));
        m_old = SelectObject(m_dc.Get(), m_bitmap.Get());
        RECT all{0, 0, w, h};
        TBrushHandle blue(CreateSolidBrush(kBlueRef));
        ::FillRect(m_dc.Get(), &all, blue.Get());
    }
    ~TScreenTarget() { SelectObject(m_dc.Get(), m_old); }
    HDC DC() const { return m_dc.Get(); }
    COLORREF At(int x, int y) const { return GetPixel(m_dc.Get(), x, y); }

private:
    TMemoryDC m_dc;
    TBitmapHandle m_bitmap;
    HGDIOBJ m_old = nullptr;
};

TVxBitmap& KeyedSource(TVxBitmap& bitmap) {
    bitmap.SetSize(2, 1);
    bitmap.Bits()[0] = kRed;
    bitmap.Bits()[1] = TransparentColor;
    return bitmap;
}

TEST_F(Win32GraphicsTest, BitmapStorageIsATopDownDibSectionInAMemoryContext) {
    TVxBitmap bitmap;
    bitmap.SetSize(7, 3);
    HDC dc = static_cast<HDC>(bitmap.DC());
    ASSERT_NE(dc, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmBits, bitmap.Bits());
    EXPECT_EQ(dib.dsBmih.biBitCount, 32);
    EXPECT_EQ(std::abs(dib.dsBmih.biHeight), 3);
    EXPECT_TRUE(IsBitmapStorage(static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP))));

    TGdiCanvas canvas(dc);
    std::optional<TPixelSurface> surface = canvas.PixelSurface();
    ASSERT_TRUE(surface.has_value());
    EXPECT_EQ(surface->Bits, bitmap.Bits());
    EXPECT_EQ(surface->Width, 7);
    EXPECT_EQ(surface->Height, 3);

    canvas.FillRect({1, 1, 2, 2}, clRed);  // GDI writes the same pixels the program reads
    EXPECT_EQ(bitmap.GetPixel(1, 1) & 0x00FFFFFF, 0x00FF0000u);
}

TEST_F(Win32GraphicsTest, BottomUpDibSectionIsNoPixelSurface) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;  // bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    TBitmapHandle dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    TMemoryDC dc(CreateCompatibleDC(nullptr));
    TSelectObject select(dc.Get(), dib.Get());
    TGdiCanvas canvas(dc.Get());
    EXPECT_FALSE(canvas.PixelSurface().has_value()) << "drawing top-down into it would flip the image";
}

TEST_F(Win32GraphicsTest, ScreenCompatibleTargetUsesTheStretchingBlit) {
    TScreenTarget target(8, 4);
    TVxBitmap source;
    source.SetSize(2, 1);
    source.Bits()[0] = kRed;
    source.Bits()[1] = kGreen;
    TGdiCanvas canvas(target.DC());
    EXPECT_FALSE(canvas.PixelSurface().has_value());
    source.StretchDraw(canvas, {0, 0, 4, 2}, {0, 0, 2, 1}, false);
    EXPECT_EQ(target.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(target.At(3, 1), RGB(0, 255, 0));
    EXPECT_EQ(target.At(5, 0), kBlueRef);
}

TEST_F(Win32GraphicsTest, TransparentDrawSkipsKeyPixelsWithAndWithoutThePlatformBlit) {
    for (bool platformBlit : {true, false}) {
        if (!platformBlit) {
            OverrideTransparentBlt(nullptr);
        } else if (TransparentBltEntry() == nullptr) {
            continue;  // a platform without it only has the software path
        }
        TScreenTarget target(4, 2);
        TVxBitmap source;
        TGdiCanvas canvas(target.DC());
        KeyedSource(source).StretchDraw(canvas, {0, 0, 4, 2}, {0, 0, 2, 1}, true);
        EXPECT_EQ(target.At(1, 1), RGB(255, 0, 0)) << "platform blit: " << platformBlit;
        EXPECT_EQ(target.At(2, 0), kBlueRef) << "platform blit: " << platformBlit;
        EXPECT_EQ(target.At(3, 1), kBlueRef) << "platform blit: " << platformBlit;
    }
}

TEST_F(Win32GraphicsTest, ClipIsRespectedOnAScreenContextAndIgnoredOnADibOne) {
    TVxBitmap source;
    source.SetSize(4, 4);
    source.Fill(kRed);

    TScreenTarget screen(4, 4);
    {
        TGdiCanvas canvas(screen.DC());
        canvas.ExcludeClipRect({1, 1, 2, 2});
        source.Draw(canvas, 0, 0, false);
    }
    EXPECT_EQ(screen.At(1, 1), kBlueRef);
    EXPECT_EQ(screen.At(2, 2), RGB(255, 0, 0));

    TVxBitmap buffer;
    buffer.SetSize(4, 4);
    {
        TGdiCanvas canvas(static_cast<HDC>(buffer.DC()));
        canvas.ExcludeClipRect({1, 1, 2, 2});
        source.Draw(canvas, 0, 0, false);
    }
    EXPECT_EQ(buffer.GetPixel(1, 1), kRed) << "the direct path writes through the clip";
}

TEST_F(Win32GraphicsTest, DirectPathHonoursTheWindowAndViewportOrigins) {
    TVxBitmap buffer;
    buffer.SetSize(4, 4);
    TVxBitmap dot;
    dot.SetSize(1, 1);
    dot.Fill(kGreen);
    TGdiCanvas canvas(static_cast<HDC>(buffer.DC()));
    canvas.SetOrigin({-2, -1});
    dot.Draw(canvas, 0, 0, false);
    EXPECT_EQ(buffer.GetPixel(2, 1), kGreen);
    // As for a parent painting its background into a child's buffer.
    canvas.SetOrigin({0, 0});
    OffsetViewportOrgEx(canvas.Handle(), 1, 2, nullptr);
    EXPECT_EQ(canvas.Origin(), (TPoint{-1, -2}));
    dot.Draw(canvas, 0, 0, false);
    EXPECT_EQ(buffer.GetPixel(1, 2), kGreen);
}

TEST_F(Win32GraphicsTest, TextDrawnThroughGdiLandsInTheBitmap) {
    TVxBitmap buffer;
    buffer.SetSize(60, 20);
    buffer.Fill(0xFFFFFFFF);
    TGdiCanvas canvas(static_cast<HDC>(buffer.DC()));
    TFontData font;
    font.Name = "Tahoma";
    font.Color = clBlack;
    canvas.SetFont(font);
    TPoint extent = canvas.TextExtent(u"Zap");
    EXPECT_GT(extent.X, 10);
    EXPECT_GT(extent.Y, 8);
    TRect rect{0, 0, 60, 20};
    canvas.DrawText(u"Zap", rect, TextFormat::SingleLine | TextFormat::VCenter);
    int dark = 0;
    for (int i = 0; i < 60 * 20; ++i) {
        dark += (buffer.Bits()[i] & 0x00FFFFFF) == 0;
    }
    EXPECT_GT(dark, 10);
}

TEST_F(Win32GraphicsTest, WindowRegionHoldsTheNonKeyPixels) {
    TVxBitmap bitmap;
    bitmap.SetSize(5, 1);
    bitmap.Fill(0xFF000000);
    bitmap.Bits()[0] = TransparentColor;
    bitmap.Bits()[3] = TransparentColor;
    TRegionHandle region = CreateWindowRegion(BitmapToRegion(bitmap, 100, 50));
    ASSERT_TRUE(region);
    EXPECT_FALSE(PtInRegion(region.Get(), 100, 50));
    EXPECT_TRUE(PtInRegion(region.Get(), 101, 50));
    EXPECT_TRUE(PtInRegion(region.Get(), 102, 50));
    EXPECT_FALSE(PtInRegion(region.Get(), 103, 50));
    EXPECT_TRUE(PtInRegion(region.Get(), 104, 50));
    // Every pixel key: a shape that exists and holds nothing, not "no shape" (a full window).
    bitmap.Fill(TransparentColor);
    TRegionHandle nothing = CreateWindowRegion(BitmapToRegion(bitmap, 100, 50));
    ASSERT_TRUE(nothing);
    RECT box;
    EXPECT_EQ(GetRgnBox(nothing.Get(), &box), NULLREGION);
}

TEST(GdiHandles, OwnedHandlesAreReleasedOnceAndMoveOwnership) {
    HBRUSH raw = CreateSolidBrush(RGB(1, 2, 3));
    {
        TBrushHandle first(raw);
        TBrushHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get(), raw);
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));
    }
    EXPECT_EQ(GetObjectType(raw), 0u) << "released when the owner went";

    HBRUSH kept = CreateSolidBrush(RGB(4, 5, 6));
    {
        TBrushHandle owner(kept);
        EXPECT_EQ(owner.Detach(), kept);
    }
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BRUSH)) << "a detached handle stays";
    DeleteObject(kept);
}

TEST(GdiHandles, SelectGuardPutsTheOldObjectBack) {
    TWindowDC screen(nullptr);
    TMemoryDC dc(CreateCompatibleDC(screen.Get()));
    HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    TBrushHandle brush(CreateSolidBrush(RGB(9, 9, 9)));
    {
        TSelectObject select(dc.Get(), brush.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), before);
}

}  // namespace
}  // namespace zaprelay::test
