// The skinned push button on real forms: the kinds, the glyph strip's image count, tracking
// with the real mouse, a dialog read from a layout answering Enter and Escape, and the glyph's
// disabled greys read back from a DIB.
#include "skin/controls/vx_button.h"

#include "framework/graphics/pixel.h"
#include "framework/rtl/class_registry.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/streams.h"
#include "framework/win32/actions.h"
#include "framework/win32/edit.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/image_list.h"
#include "tests/win32/control_form_fixture.h"
#include "tests/win32/input.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace zaprelay::skin {
namespace {

using test::Rgb;

class VxButtonTest : public test::ControlFormTest {};

TEST_F(VxButtonTest, KindsSetCaptionResultGlyphAndDefaultAndCustomKeepsThem) {
    const std::tuple<TVxButtonKind, std::u16string, int32_t, bool> kinds[] = {
        {bkOK, u"OK", 1, true},        {bkCancel, u"Cancel", 2, false}, {bkHelp, u"&Help", 0, false},
        {bkYes, u"&Yes", 6, true},     {bkNo, u"&No", 7, false},        {bkClose, u"&Close", 0, false},
        {bkAbort, u"Abort", 3, false}, {bkRetry, u"&Retry", 4, false},  {bkIgnore, u"&Ignore", 5, false},
        {bkAll, u"&All", 8, false},
    };
    for (const auto& [kind, caption, result, isDefault] : kinds) {
        auto* button = Place<TVxCustomButton>(form, {10, 10, 85, 35});
        button->SetKind(kind);
        EXPECT_EQ(button->Caption(), caption);
        EXPECT_EQ(button->ModalResult(), result) << int(kind);
        EXPECT_EQ(button->Default(), isDefault) << int(kind);
        EXPECT_EQ(button->NumGlyphs(), 2);
        EXPECT_EQ(button->GlyphSize(), (TPoint{18, 18})) << "the kind's glyph resource, kind " << int(kind);
        button->SetKind(bkCustom);
        EXPECT_EQ(button->Caption(), caption);
        EXPECT_EQ(button->ModalResult(), result);
        EXPECT_EQ(button->Default(), isDefault);
        EXPECT_EQ(button->GlyphSize(), (TPoint{18, 18}));
        button->Free();
    }
}

TEST_F(VxButtonTest, AStripOfSquareImagesSetsTheImageCountBelowFive) {
    auto* button = Place<TVxCustomButton>(form, {10, 10, 85, 35});
    button->SetNumGlyphs(3);
    const std::tuple<int32_t, int32_t> strips[] = {{64, 4}, {80, 1}, {50, 1}, {32, 2}, {50, 2}};
    for (const auto& [width, expected] : strips) {
        TVxBitmap glyph;
        glyph.SetSize(width, 16);
        button->SetGlyph(glyph);
        EXPECT_EQ(button->NumGlyphs(), expected) << width << " x 16";
    }
}

TEST_F(VxButtonTest, AReleaseOffTheButtonClicksNothingAndBackOnItClicksOnce) {
    Activate();
    auto* button = Place<TVxCustomButton>(form, {20, 20, 120, 50}, "button");
    test::ProcessPendingMessages();
    const POINT on = OnScreen(*button, {50, 15});
    const POINT off = OnScreen(*button, {150, 15});
    test::DragWithMouse(on, off);
    test::ProcessPendingMessages();
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(button->State(), kbsNormal);
    test::DragWithMouse(on, on, [&] {
        test::MoveMouseTo(off.x, off.y);
        Pump([&] { return button->State() == kbsNormal; });
        test::MoveMouseTo(on.x, on.y);
        Pump([&] { return button->State() == kbsPressed; });
    });
    EXPECT_TRUE(Pump([&] { return clicks.size() == 1; }));
}

constexpr char kDialog[] = R"(object Dialog: TForm
  Left = 200
  Top = 150
  ClientWidth = 320
  ClientHeight = 120
  Caption = 'Dialog'
  object Name: TEdit
    Left = 10
    Top = 10
    Width = 200
    Height = 21
    TabOrder = 0
  end
  object Ok: TVxCustomButton
    Left = 10
    Top = 80
    Kind = bkOK
    TabOrder = 1
  end
  object Stop: TVxCustomButton
    Left = 90
    Top = 80
    Kind = bkCancel
    Cancel = True
    TabOrder = 2
  end
  object Later: TVxCustomButton
    Left = 170
    Top = 80
    Caption = 'Later'
    ModalResult = 42
    TabOrder = 3
  end
end)";

TEST_F(VxButtonTest, DialogFromALayoutAnswersEnterAndEscapeByTheFocusedControl) {
    for (const TClassInfo* c : {&win32::TEdit::StaticClassInfo(), &TVxCustomButton::StaticClassInfo()}) {
        RegisterClass(*c);
    }
    const std::pair<const char*, WORD> cases[] = {
        {"Name", VK_RETURN}, {"Later", VK_RETURN}, {"Ok", VK_RETURN}, {"Name", VK_ESCAPE}, {"Later", VK_ESCAPE}};
    const int32_t expected[] = {1, 42, 1, 2, 2};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        auto* dialog = new win32::TForm(form);
        const std::string layout(kDialog);
        TBytesStream text({reinterpret_cast<const uint8_t*>(layout.data()), layout.size()});
        TMemoryStream binary;
        StreamTextToBinary(text, binary);
        binary.SetPosition(0);
        ReadObjectStream(binary, *dialog);
        auto* focused = dynamic_cast<win32::TWinControl*>(dialog->FindComponent(cases[i].first));
        ASSERT_NE(focused, nullptr);
        test::AfterDelay(300, [focused, key = cases[i].second] {
            focused->SetFocus();
            test::QueueKey(key);
        });
        EXPECT_EQ(dialog->ShowModal(), expected[i]) << cases[i].first << " focused, key " << cases[i].second;
        dialog->Free();
    }
}

TEST_F(VxButtonTest, DisabledSingleGlyphIsLightGreyAndASecondImageIsUsedInstead) {
    TVxBitmap strip;
    strip.SetSize(32, 16);
    strip.Fill(0xFFFF00FF);                       // the key colour, at the bottom-left too
    strip.FillRect({4, 4, 12, 12}, 0xFF204080);   // the first image's square
    strip.FillRect({20, 4, 28, 12}, 0xFF00C000);  // the second's
    auto* button = Place<TVxCustomButton>(form, {10, 10, 110, 40});
    button->SetCaption(u"");
    button->SetTransparent(false);
    button->SetEnabled(false);
    button->SetGlyph(strip);
    ASSERT_EQ(button->NumGlyphs(), 2);
    const TRect band = button->GetGlyphRect();
    const TPoint centre{band.Left + band.Width() / 2, band.Top + band.Height() / 2};
    EXPECT_EQ(Painted(*button)[centre.Y * 100 + centre.X], Rgb(0x0000C000));

    TVxBitmap single;
    single.SetSize(16, 16);
    single.Fill(0xFFFF00FF);
    single.FillRect({4, 4, 12, 12}, 0xFF204080);
    button->SetGlyph(single);
    ASSERT_EQ(button->NumGlyphs(), 1);
    const TRect singleBand = button->GetGlyphRect();
    const TPoint middle{singleBand.Left + singleBand.Width() / 2, singleBand.Top + singleBand.Height() / 2};
    const uint32_t grey = Painted(*button)[middle.Y * 100 + middle.X];
    const int l = static_cast<int>(std::lround(PixelToHSL(0xFF204080).L * 50));
    EXPECT_EQ(grey, Rgb(static_cast<TColor>((160 + l) * 0x010101)));
    EXPECT_GE(grey & 0xFF, 160u);
    EXPECT_LE(grey & 0xFF, 210u);

    // Black and white while the mouse is elsewhere: the lightness as a grey.
    button->SetEnabled(true);
    button->SetBlackAndWhiteGlyph(true);
    const int bw = static_cast<int>(std::lround(PixelToHSL(0xFF204080).L * 255));
    EXPECT_EQ(Painted(*button)[middle.Y * 100 + middle.X], Rgb(static_cast<TColor>(bw * 0x010101)));
}

TEST_F(VxButtonTest, ACustomGlyphTravelsInTheLayoutAndBadGlyphDataIsAnError) {
    RegisterClass(TVxCustomButton::StaticClassInfo());
    auto* source = new win32::TForm(form);
    source->SetName("Source");
    auto* custom = new TVxCustomButton(source);
    custom->SetName("Custom");
    custom->SetParent(source);
    TVxBitmap glyph;
    glyph.SetSize(32, 16);
    for (int32_t x = 0; x < 32; ++x) {
        for (int32_t y = 0; y < 16; ++y) {
            *glyph.PixelPtr(x, y) = 0xFF000000u | static_cast<TPixel>(x * 0x070503 + y * 0x0B0D11);
        }
    }
    custom->SetGlyph(glyph);
    auto* ok = new TVxCustomButton(source);
    ok->SetName("Ok");
    ok->SetParent(source);
    ok->SetKind(bkOK);
    TMemoryStream binary;
    WriteObjectStream(binary, *source);
    binary.SetPosition(0);
    TMemoryStream text;
    StreamBinaryToText(binary, text);
    const std::string layout(text.Bytes().begin(), text.Bytes().end());
    EXPECT_EQ(layout.find("Glyph.Data"), layout.rfind("Glyph.Data")) << "only the custom glyph is stored";

    source->Free();  // the copy takes its name
    auto* copy = new win32::TForm(form);
    binary.SetPosition(0);
    ReadObjectStream(binary, *copy);
    auto* read = dynamic_cast<TVxCustomButton*>(copy->FindComponent("Custom"));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Glyph().Width(), 32);
    EXPECT_TRUE(std::equal(glyph.Bits(), glyph.Bits() + 32 * 16, read->Glyph().Bits()));
    EXPECT_EQ(read->NumGlyphs(), 2);

    // A byte count beyond the data: an error naming the property, nothing allocated for it.
    const std::string bad =
        "object Bad: TForm\n  object B: TVxCustomButton\n    Glyph.Data = {FFFFFF7F424D}\n  end\nend";
    TBytesStream badText({reinterpret_cast<const uint8_t*>(bad.data()), bad.size()});
    TMemoryStream badBinary;
    StreamTextToBinary(badText, badBinary);
    badBinary.SetPosition(0);
    auto* target = new win32::TForm(form);
    try {
        ReadObjectStream(badBinary, *target);
        ADD_FAILURE() << "bad glyph data was read";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("Bitmap image is not valid"), std::string::npos) << e.what();
    }
}

TEST_F(VxButtonTest, AnActionGivesCaptionImageAndClickAndIsForgottenWhenFreed) {
    auto* images = new win32::TImageList(form);
    images->SetWidth(16);
    images->SetHeight(16);
    {
        win32::TWindowDC screen(nullptr);
        win32::TBitmapHandle picture(CreateCompatibleBitmap(screen.Get(), 16, 16));
        win32::TMemoryDC dc(CreateCompatibleDC(screen.Get()));
        win32::TSelectObject select(dc.Get(), picture.Get());
        RECT all{0, 0, 16, 16};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        images->AddMasked(picture.Get(), RGB(255, 255, 255));
    }
    auto* list = new win32::TActionList(form);
    list->SetImages(images);
    auto* save = new win32::TAction(form);
    save->SetActionList(list);
    save->SetCaption(u"&Save");
    save->SetImageIndex(0);
    int executed = 0;
    save->OnExecute = [&](TObject*) { ++executed; };

    auto* button = Place<TVxCustomButton>(form, {10, 10, 110, 40}, "button");
    button->SetAction(save);
    EXPECT_EQ(button->Caption(), u"&Save");
    EXPECT_EQ(button->GlyphSize(), (TPoint{16, 16}));
    EXPECT_TRUE(button->GlyphFromAction());
    button->Click();
    EXPECT_EQ(executed, 1);
    EXPECT_TRUE(clicks.empty()) << "the action's handler runs instead of OnClick";
    save->SetCaption(u"Store");
    EXPECT_EQ(button->Caption(), u"Store");

    save->Free();
    EXPECT_EQ(button->Action(), nullptr);
    button->Click();
    EXPECT_EQ(clicks.size(), 1u);
    EXPECT_EQ(list->ActionCount(), 0);
}

TEST_F(VxButtonTest, ClassicFaceIsRaisedWhenNormalAndFlatWhenPressed) {
    auto* button = Place<TVxCustomButton>(form, {10, 10, 110, 40});
    button->SetCaption(u"");
    WithoutVisualStyles(*button);
    const std::vector<uint32_t> normal = Painted(*button);
    EXPECT_EQ(normal[0], Rgb(clBtnHighlight)) << "lit from the top left";
    EXPECT_EQ(normal[1 * 100 + 1], Rgb(button->Color()));
    EXPECT_EQ(normal[29 * 100 + 50], Rgb(clBlack)) << "dark at the bottom";
    EXPECT_EQ(normal[28 * 100 + 50], Rgb(clBtnShadow));
    button->SetState(kbsPressed);
    const std::vector<uint32_t> pressed = Painted(*button);
    EXPECT_EQ(pressed[0], Rgb(clBtnShadow));
    EXPECT_EQ(pressed[29 * 100 + 50], Rgb(clBtnShadow));
}

}  // namespace
}  // namespace zaprelay::skin
