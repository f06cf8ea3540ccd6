// Translucency and drop shadow of the form component over a known backdrop: the screen shows the
// shadow colour composed over the backdrop with its fading start, and the frame bands composed
// with the blending alpha; the shadow makes the window larger than the form and shapes it.
#include "framework/graphics/pixel.h"
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/forms.h"
#include "skin/form/vx_custom_form.h"
#include "skin/objects/skin_messages.h"
#include "tests/win32/skin_form_fixture.h"
#include "tests/win32/test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace zaprelay::skin {
namespace {

using test::TSurface;
using test::WindowBounds;
using win32::TApplication;
using win32::TForm;

constexpr TColor kBackdrop = 0x000000C0;  // dark red as a COLORREF
constexpr TPixel kBackdropPixel = 0x00C00000;
constexpr TPixel kShade = 0x803F3F3F;

// One channel within `tolerance` of another: rounding differs between blend routes.
bool Near(TPixel a, TPixel b, int tolerance = 3) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

TPixel ScreenPixel(int x, int y) {
    win32::TWindowDC screen(nullptr);
    const COLORREF c = GetPixel(screen.Get(), x, y);
    return (static_cast<TPixel>(GetRValue(c)) << 16) | (static_cast<TPixel>(GetGValue(c)) << 8) | GetBValue(c);
}

class FormEffectsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { win32::InstallWin32Graphics(); }

    void SetUp() override {
        m_app = std::make_unique<TApplication>();
        // A plain window of one colour under the form: the screen the effects compose over.
        backdrop = new TForm(m_app.get());
        backdrop->SetBorderStyle(win32::bsNone);
        backdrop->SetColor(kBackdrop);
        backdrop->SetBounds(60, 60, 600, 500);
        backdrop->Show();
        test::ProcessPendingMessages();
    }

    void TearDown() override {
        m_app.reset();
        test::ProcessPendingMessages();
    }

    // The form over the backdrop, with settings applied before it is shown.
    void ShowForm(const std::function<void(TVxCustomForm&)>& settings) {
        form = new TForm(m_app.get());
        form->SetText(u"Effects");
        form->SetBounds(120, 100, 400, 300);
        vx = new TVxCustomForm(form);
        vx->SetMinimizeApplication(false);
        settings(*vx);
        vx->AfterRead();
        form->Show();
        window = vx->Window();
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
        test::ProcessPendingMessages();
    }

    TForm* backdrop = nullptr;
    TForm* form = nullptr;
    TVxCustomForm* vx = nullptr;
    HWND window = nullptr;

private:
    std::unique_ptr<TApplication> m_app;
};

TEST_F(FormEffectsTest, ShadowMakesTheWindowLargerShapesItAndShadesTheBackdropWithAFadingStart) {
    ShowForm([](TVxCustomForm& f) {
        f.Shadow()->SetEnabled(true);
        f.Shadow()->SetSize(8);
    });
    const TRect bounds = WindowBounds(window);
    EXPECT_EQ(vx->FormSize().X, bounds.Width() - 8);
    EXPECT_EQ(vx->FormSize().Y, bounds.Height() - 8);
    // The shape: the form and its copy 8 pixels down and right, not the margin's far corners.
    win32::TRegionHandle shape(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(window, shape.Get()), ERROR);
    const TPoint fs = vx->FormSize();
    EXPECT_TRUE(PtInRegion(shape.Get(), fs.X + 4, fs.Y / 2));
    EXPECT_TRUE(PtInRegion(shape.Get(), fs.X / 2, fs.Y + 4));
    EXPECT_FALSE(PtInRegion(shape.Get(), fs.X + 4, 2));
    EXPECT_FALSE(PtInRegion(shape.Get(), 2, fs.Y + 4));

    // Deep in the strip the shadow colour lies over the backdrop at half strength.
    const TPixel shaded = BlendPixel(kShade, kBackdropPixel);
    EXPECT_TRUE(Near(ScreenPixel(bounds.Left + fs.X + 4, bounds.Top + fs.Y / 2), shaded))
        << std::hex << ScreenPixel(bounds.Left + fs.X + 4, bounds.Top + fs.Y / 2);
    EXPECT_TRUE(Near(ScreenPixel(bounds.Left + fs.X / 2, bounds.Top + fs.Y + 4), shaded));
    // Its start fades in: the first row of the right strip is lighter than the next ones.
    const TPixel first = ScreenPixel(bounds.Left + fs.X, bounds.Top + 8);
    EXPECT_TRUE(Near(first, BlendPixel(0x143F3F3F, kBackdropPixel))) << std::hex << first;
    EXPECT_TRUE(Near(ScreenPixel(bounds.Left + fs.X + 1, bounds.Top + 9), BlendPixel(0x463F3F3F, kBackdropPixel)));
}

TEST_F(FormEffectsTest, BlendedFrameBandsLetTheBackdropThroughAtTheBlendingAlpha) {
    ShowForm([](TVxCustomForm& f) {
        f.Blending()->SetEnabled(true);
        f.Blending()->SetValue(128);
    });
    // The frame as drawn without blending, through the paint message.
    const TPoint size = vx->FormSize();
    TSurface opaque(size, 0);
    ASSERT_EQ(SendMessageW(window, VXM_PAINTTODC, 0, reinterpret_cast<LPARAM>(opaque.DC())), 1);
    const std::vector<uint32_t> pixels = opaque.Pixels();
    const TRect bounds = WindowBounds(window);
    const TRect area = vx->GetClientArea();
    // A point in the caption band away from the text and buttons, and one in the left band.
    for (const TPoint p : {TPoint{size.X / 2, area.Top - 3}, TPoint{area.Left / 2, size.Y / 2}}) {
        const TPixel drawn = pixels[static_cast<std::size_t>(p.Y) * size.X + p.X];
        const TPixel expected = BlendPixel(0x80000000u | drawn, kBackdropPixel);
        EXPECT_TRUE(Near(ScreenPixel(bounds.Left + p.X, bounds.Top + p.Y), expected))
            << p.X << "," << p.Y << " " << std::hex << ScreenPixel(bounds.Left + p.X, bounds.Top + p.Y) << " "
            << expected;
    }
}

}  // namespace
}  // namespace zaprelay::skin
