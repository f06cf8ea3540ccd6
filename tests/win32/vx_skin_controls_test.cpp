// The skin-bound check box, radio button and group box on a real form, bound to a skin of the
// test's own whose glyphs have one colour per mark and state: binding, painting from the copy,
// the engine's messages and removal, and the group's frame kept out of its caption.
#include "skin/controls/vx_skin_controls.h"

#include "framework/win32/application.h"
#include "skin/form/window_skin_host.h"
#include "skin/objects/skin_messages.h"
#include "skin/store/skin_classes.h"
#include "tests/win32/control_form_fixture.h"
#include "tests/win32/test_skin.h"

#include <gtest/gtest.h>
#include <string>

namespace zaprelay::skin {
namespace {

using test::kFormColor;
using test::Rgb;

// Glyph colours by mark (row) and skin state (column: normal, hot, focused, disabled).
constexpr TColor kGlyph[2][4] = {{0x0000C0, 0x00C000, 0xC00000, 0x808080}, {0x0040C0, 0x40C000, 0xC04000, 0x404040}};
constexpr TColor kText[3] = {0x00A000A0, 0x00A0A0F0, 0x00F0A0A0};  // normal, hot, focused
constexpr TColor kRadioText = 0x00A0A000;
constexpr TColor kFrame = 0x00206040;
constexpr TColor kCaptionText = 0x00C56931;

// A glyph object showing one row of GLYPHS.bmp: 15 x 15 per state.
std::string Glyph(const char* name, int row) {
    std::string text = std::string("  object ") + name + ": TVxButtonObject\n    Width = 15\n    Height = 15\n";
    const char* links[] = {"Bitmap", "BitmapHot", "BitmapFocused", "BitmapDisabled"};
    for (int state = 0; state < 4; ++state) {
        const std::string link = std::string("    ") + links[state];
        text += link + ".Name = 'GLYPHS.bmp'\n" + link + ".Left = " + std::to_string(state * 15) + "\n" + link +
                ".Top = " + std::to_string(row * 15) + "\n" + link + ".Right = " + std::to_string(state * 15 + 15) +
                "\n" + link + ".Bottom = " + std::to_string(row * 15 + 15) + "\n";
    }
    return text + "  end\n";
}

const std::string kCheckBoxSkin = "object CheckBox: TVxSkinObject\n  Width = 100\n  Height = 20\n" +
                                  Glyph("Unchecked", 0) + Glyph("Checked", 1) +
                                  "  object Text: TVxTextObject\n    Font.Color = " + std::to_string(kText[0]) +
                                  "\n    FontHot.Color = " + std::to_string(kText[1]) +
                                  "\n    FontFocused.Color = " + std::to_string(kText[2]) + "\n  end\nend";
const std::string kRadioSkin =
    "object RadioButton: TVxSkinObject\n  Width = 100\n  Height = 20\n  Font.Color = " + std::to_string(kRadioText) +
    "\n" + Glyph("Unchecked", 0) + Glyph("Checked", 1) + "end";
// A group whose frame is one colour; "MaskedGroup" is the same with a masked frame.
std::string GroupSkin(const char* name, bool masked) {
    const char* flag = masked ? "True" : "False";
    return std::string("object ") + name + ": TVxSkinObject\n  Width = 200\n  Height = 100\n" +
           "  object Frame: TVxBitmapObject\n    Masked = " + flag + "\n    MaskedBorder = " + flag +
           "\n    MaskedAngles = " + flag +
           "\n    Width = 10\n    Height = 10\n    TileStyle = tsStretch\n    Bitmap.Name = 'FRAME.bmp'\n"
           "    Bitmap.Right = 10\n    Bitmap.Bottom = 10\n  end\n"
           "  object Caption: TVxTextObject\n    Color = clNone\n    Font.Color = " +
           std::to_string(kCaptionText) + "\n  end\nend";
}
const std::string kGroupSkin = GroupSkin("GroupBox", false);
const std::string kMaskedGroupSkin = GroupSkin("MaskedGroup", true);

uint32_t Argb(TColor color) {
    return 0xFF000000u | Rgb(color);
}

class VxSkinControlsTest : public test::ControlFormTest {
protected:
    static void SetUpTestSuite() {
        ControlFormTest::SetUpTestSuite();
        InstallSkinObjectServices();
        RegisterSkinClasses();
    }
    static void TearDownTestSuite() { UnregisterSkinClasses(); }

    void SetUp() override {
        ControlFormTest::SetUp();
        veneer = new TVxVeneer(form);
        Fill(*veneer);
    }

    static void Fill(TVxVeneer& engine) {
        auto glyphs = std::make_unique<TVxBitmap>();
        glyphs->SetName("GLYPHS.bmp");
        glyphs->SetSize(60, 30);
        for (int32_t y = 0; y < 30; ++y) {
            for (int32_t x = 0; x < 60; ++x) {
                *glyphs->PixelPtr(x, y) = Argb(kGlyph[y / 15][x / 15]);
            }
        }
        auto frame = std::make_unique<TVxBitmap>();
        frame->SetName("FRAME.bmp");
        frame->SetSize(10, 10);
        frame->Fill(Argb(kFrame));
        std::vector<std::unique_ptr<TVxBitmap>> pictures;
        pictures.push_back(std::move(glyphs));
        pictures.push_back(std::move(frame));
        test::FillSkin(engine.SkinSource(),
                       {kCheckBoxSkin.c_str(), kRadioSkin.c_str(), kGroupSkin.c_str(), kMaskedGroupSkin.c_str()},
                       std::move(pictures));
    }

    template <typename C>
    C* Bound(win32::TWinControl* parent, const TRect& bounds) {
        C* c = Place<C>(parent, bounds);
        c->SetTransparent(false);
        c->SetColor(kFormColor);
        c->SetVeneer(veneer);
        return c;
    }

    // Pixels of colour in the 15 x 15 glyph at the left, centred in a control 20 high.
    static int GlyphPixels(const std::vector<uint32_t>& pixels, int32_t width, TColor colour) {
        return Count(pixels, width, {0, 2, 15, 17}, colour);
    }

    TVxVeneer* veneer = nullptr;
};

TEST_F(VxSkinControlsTest, GlyphAndCaptionFontFollowTheMarkAndTheSkinState) {
    auto* box = Bound<TVxSkinCheckBox>(form, {10, 10, 110, 30});
    auto* radio = Bound<TVxSkinRadioButton>(form, {10, 40, 110, 60});
    auto* other = Place<TVxCustomCheckBox>(form, {10, 70, 110, 90});
    Activate();
    ASSERT_TRUE(box->SkinUsable());
    EXPECT_NE(box->SkinObjectCopy(), veneer->SkinSource().GetObjectByName("CheckBox"));  // a private copy
    EXPECT_EQ(box->GetGlyphSize(), (TPoint{15, 15}));
    EXPECT_EQ(box->Font()->Color(), kText[0]);  // taken from "Text" when bound
    test::ProcessPendingMessages();

    const std::pair<const char*, std::function<void(TCheckableControl&)>> states[] = {
        {"normal", [](TCheckableControl&) {}},
        {"hot", [](TCheckableControl& c) { c.Perform(win32::CM_MOUSEENTER); }},
        {"focused", [](TCheckableControl& c) { c.SetFocus(); }},
        {"disabled", [](TCheckableControl& c) { c.SetEnabled(false); }},
    };
    for (int column = 0; column < 4; ++column) {
        const auto& [name, enter] = states[column];
        for (const int mark : {0, 1}) {
            for (TCheckableControl* c :
                 {static_cast<TCheckableControl*>(box), static_cast<TCheckableControl*>(radio)}) {
                box->SetChecked(mark == 1);
                radio->SetChecked(mark == 1);
                enter(*c);
                const int shown = c == radio && column == 2 ? 1 : mark;  // focus checks a radio button
                const std::vector<uint32_t> pixels = Painted(*c);
                EXPECT_EQ(GlyphPixels(pixels, 100, kGlyph[shown][column]), 15 * 15) << name << " mark " << mark;
                // The skin's font for the caption; a disabled one is embossed in the system's colours.
                const TColor text = column == 3 ? clBtnShadow : c == box ? kText[column] : kRadioText;
                EXPECT_GT(Count(pixels, 100, {20, 0, 100, 20}, text), 0) << name << " caption";
                c->Perform(win32::CM_MOUSELEAVE);
                c->SetEnabled(true);
                other->SetFocus();
            }
        }
    }
}

TEST_F(VxSkinControlsTest, BindingFollowsTheEngineAndItsMessages) {
    auto* box = Bound<TVxSkinCheckBox>(form, {10, 10, 110, 30});
    auto* radio = Bound<TVxSkinRadioButton>(form, {10, 40, 110, 60});
    auto* group = Bound<TVxSkinGroupBox>(form, {120, 10, 280, 150});
    const auto skinned = [&] { return GlyphPixels(Painted(*box), 100, kGlyph[0][0]) == 15 * 15; };
    ASSERT_TRUE(skinned());

    // A new name takes effect only at the next binding; an unknown one binds nothing, quietly.
    box->SetSkinObject("Missing");
    EXPECT_NE(box->SkinObjectCopy(), nullptr);
    box->SetVeneer(veneer);
    EXPECT_EQ(box->SkinObjectCopy(), nullptr);
    EXPECT_EQ(box->GetGlyphSize(), (TPoint{13, 13}));
    EXPECT_FALSE(skinned());
    box->SetSkinObject("CheckBox");
    box->SetVeneer(veneer);

    // Another engine's announcements are not this control's business.
    TVxVeneer* stranger = new TVxVeneer(form);
    SendSkinMessage(*box, VXM_SKINCHANGING, 0, reinterpret_cast<intptr_t>(stranger));
    EXPECT_NE(box->SkinObjectCopy(), nullptr);
    SendSkinMessage(*box, VXM_SKINCHANGING, 0, reinterpret_cast<intptr_t>(veneer));
    EXPECT_EQ(box->SkinObjectCopy(), nullptr);
    EXPECT_FALSE(skinned());
    SendSkinMessage(*box, VXM_SKINCHANGED, 0, reinterpret_cast<intptr_t>(veneer));
    EXPECT_TRUE(skinned());

    EXPECT_EQ(TVxSkinCheckBox::StaticClassInfo().FindProperty("Version")->GetString(*box), "3.3.1");
    EXPECT_FALSE(TVxSkinCheckBox::StaticClassInfo().FindProperty("Version")->Stored);

    // The engine goes: every control forgets it and its copy, and paints its custom look.
    veneer->Free();
    for (auto* c : {static_cast<win32::TControl*>(box), static_cast<win32::TControl*>(radio),
                    static_cast<win32::TControl*>(group)}) {
        EXPECT_FALSE(Painted(*c).empty());
    }
    EXPECT_EQ(box->Veneer(), nullptr);
    EXPECT_EQ(box->SkinObjectCopy(), nullptr);
    EXPECT_EQ(radio->SkinObjectCopy(), nullptr);
    EXPECT_EQ(group->SkinObjectCopy(), nullptr);
    EXPECT_FALSE(skinned());
}

TEST_F(VxSkinControlsTest, GroupFrameComesFromTheSkinAndStaysOutOfTheCaption) {
    auto* group = Bound<TVxSkinGroupBox>(form, {10, 10, 210, 110});
    EXPECT_FALSE(group->Transparent()) << "an unmasked frame leaves Transparent as it was";
    group->SetSkinObject("MaskedGroup");
    group->SetVeneer(veneer);
    EXPECT_TRUE(group->Transparent()) << "a masked frame shows what lies under it";
    group->SetTransparent(false);

    group->SetCaption(u"Mode");
    const std::vector<uint32_t> pixels = Painted(*group);
    const TRect frame = group->GetFrameRect();
    EXPECT_GT(Count(pixels, 200, {frame.Left, frame.Top + 10, frame.Right, frame.Bottom}, kFrame),
              frame.Width() * (frame.Height() - 10) * 9 / 10);
    // The caption's place: the caption font's text, and none of the frame.
    const TRect caption{12, frame.Top, 40, frame.Top + 2};
    EXPECT_EQ(Count(pixels, 200, caption, kFrame), 0);
    EXPECT_GT(Count(pixels, 200, {12, 0, 60, 20}, kCaptionText), 0);

    group->SetUseCheckBox(true);
    auto* captionBox = dynamic_cast<TVxSkinCheckBox*>(group->CheckBox());
    ASSERT_NE(captionBox, nullptr);
    EXPECT_EQ(captionBox->Veneer(), veneer);
    EXPECT_TRUE(captionBox->SkinUsable());
}

TEST_F(VxSkinControlsTest, TransparentRadioButtonInsideAGroupShowsTheGroupsLook) {
    auto* group = Bound<TVxSkinGroupBox>(form, {10, 10, 210, 110});
    auto* radio = Bound<TVxSkinRadioButton>(group, {20, 40, 120, 60});
    radio->SetTransparent(true);
    radio->SetCaption(u"");
    test::ProcessPendingMessages();
    const std::vector<uint32_t> pixels = Painted(*radio, 0);
    EXPECT_EQ(GlyphPixels(pixels, 100, kGlyph[0][0]), 15 * 15);
    EXPECT_EQ(Count(pixels, 100, {20, 0, 100, 20}, kFrame), 80 * 20);  // the group's frame behind
}

}  // namespace
}  // namespace zaprelay::skin
