// A skin object tree bound to a real window: its requests arrive as the skin library's
// messages, the form component answers as the form, and the window's icon and reading order
// reach the objects.
#include "skin/form/window_skin_host.h"

#include "framework/graphics/raster_canvas.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi_canvas.h"
#include "framework/win32/label.h"
#include "skin/form/vx_hook.h"
#include "skin/form/vx_skin_form.h"
#include "skin/objects/skin_messages.h"
#include "skin/objects/skin_object.h"
#include "skin/objects/system_button.h"
#include "tests/win32/skin_form_fixture.h"
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace zaprelay::skin {
namespace {

using win32::TApplication;
using win32::TForm;

// Sees what reaches the window before the window does.
class TRecorderHook : public TVxHook {
public:
    using TVxHook::TVxHook;
    static const TClassInfo& StaticClassInfo() {
        static const TClassInfo info = NewClassInfo<TRecorderHook, TVxHook>("TRecorderHook");
        return info;
    }
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable() {
        static const TMessageTable table =
            TMessageTable::For<TRecorderHook, TVxHook>().On<&TRecorderHook::Changed>(VXM_SKINOBJECTCHANGED);
        return table;
    }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    std::vector<intptr_t> Objects;

private:
    void Changed(TMessage& m) {
        Objects.push_back(m.LParam);
        SetHandled(true);
    }
};

class WindowSkinHostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { win32::InstallWin32Graphics(); }
    void SetUp() override {
        m_app = std::make_unique<TApplication>();
        form = new TForm(m_app.get());
        form->SetBounds(100, 100, 300, 200);
        form->Show();
        test::ProcessPendingMessages();
    }
    void TearDown() override {
        m_app.reset();
        test::ProcessPendingMessages();
    }

    std::unique_ptr<TApplication> m_app;
    TForm* form = nullptr;
};

TEST_F(WindowSkinHostTest, RequestsArriveAsMessagesAndTheFormComponentAnswers) {
    TVxWindowSkinHost host(*form);
    EXPECT_EQ(host.GetSkinForm(), nullptr);  // a window without the component

    auto* vx = new TVxSkinForm(form);
    vx->SetMinimizeApplication(false);
    vx->AfterRead();
    EXPECT_EQ(host.GetSkinForm(), static_cast<TVxSkinFormActions*>(vx));

    auto* recorder = new TRecorderHook(form);
    recorder->SetTarget(form);
    TVxSkinObject object(nullptr);
    object.SetName("Caption");
    object.SetControl(&host);
    object.Invalidate();  // sent: handled before Invalidate returns
    ASSERT_EQ(recorder->Objects.size(), 1u);
    EXPECT_EQ(recorder->Objects[0], reinterpret_cast<intptr_t>(&object));

    // The component acts as the form for the objects' buttons.
    std::vector<TVxSkinObject*> custom;
    vx->OnCustomAction = [&](TObject*, TVxSkinObject* button) { custom.push_back(button); };
    object.GetForm()->CustomAction(object);
    EXPECT_EQ(custom, std::vector<TVxSkinObject*>{&object});
    EXPECT_TRUE(HasBorderIcon(object.GetForm()->BorderIcons(), kbiClose));
    object.GetForm()->Close();
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(form->WindowHandle()); }));
}

// A caption button of a bound tree, pressed and released, reaches the form component through
// the window and hides itself where the form has no such button.
TEST_F(WindowSkinHostTest, CaptionButtonActsOnTheFormThroughItsWindow) {
    auto* vx = new TVxSkinForm(form);
    vx->SetMinimizeApplication(false);
    vx->SetBorderIcons(BorderIconSet({kbiClose, kbiSystemMenu, kbiRollup}));
    vx->AfterRead();
    TVxWindowSkinHost host(*form);

    TVxSkinObject caption(nullptr);
    auto* rollup = new TVxSystemButton(&caption);
    rollup->SetAction(sbaRollUp);
    auto* maximize = new TVxSystemButton(&caption);
    maximize->SetAction(sbaMaximize);
    caption.SetControl(&host);
    caption.SetState(0);
    EXPECT_TRUE(rollup->Visible);
    EXPECT_FALSE(maximize->Visible);  // the form shows no maximize button

    const int32_t height = vx->FormSize().Y;
    rollup->MouseDown(mbLeft, 1, 1);
    rollup->MouseUp(mbLeft, 1, 1);
    EXPECT_EQ(vx->WindowState(), kwsRollup);
    EXPECT_LT(vx->FormSize().Y, height);
}

TEST_F(WindowSkinHostTest, ReadingOrderAndScreenPointsAreTheControls) {
    form->SetBiDiMode(win32::bdRightToLeft);
    TVxWindowSkinHost host(*form);
    TVxSkinObject object(nullptr);
    object.SetControl(&host);
    EXPECT_EQ(object.BiDiMode, 1);
    EXPECT_EQ(host.DrawTextBiDiModeFlags(0x24), form->DrawTextBiDiModeFlags(0x24));
    EXPECT_EQ(host.ClientToScreen({5, 7}), form->ClientToScreen({5, 7}));
}

TEST_F(WindowSkinHostTest, OnlyAFormHasAnIconToDraw) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    constexpr TPixel kPaper = 0xFF123456;
    auto inked = [&](TVxBitmap& bitmap) {
        int changed = 0;
        for (int32_t y = 0; y < bitmap.Height(); ++y) {
            for (int32_t x = 0; x < bitmap.Width(); ++x) {
                const bool inside = x >= 4 && y >= 6 && x < 4 + size && y < 6 + size;
                if (bitmap.GetPixel(x, y) != kPaper) {
                    EXPECT_TRUE(inside) << x << "," << y;
                    ++changed;
                }
            }
        }
        return changed;
    };

    TVxWindowSkinHost host(*form);
    TVxBitmap target;
    target.SetSize(40, 40);
    target.Fill(kPaper);
    {
        TRasterCanvas canvas(target);
        EXPECT_TRUE(host.DrawWindowIcon(canvas, {4, 6}));
    }
    EXPECT_GT(inked(target), 0);

    target.Fill(kPaper);
    {
        win32::TGdiCanvas canvas(win32::BitmapDC(target));
        EXPECT_TRUE(host.DrawWindowIcon(canvas, {4, 6}));
        GdiFlush();
    }
    EXPECT_GT(inked(target), 0);

    auto* label = new win32::TLabel(form);
    label->SetParent(form);
    TVxWindowSkinHost labelHost(*label);
    target.Fill(kPaper);
    TRasterCanvas canvas(target);
    EXPECT_FALSE(labelHost.DrawWindowIcon(canvas, {4, 6}));
    EXPECT_EQ(inked(target), 0);
}

}  // namespace
}  // namespace zaprelay::skin
