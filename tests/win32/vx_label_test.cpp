// The skinned label on a real form: sizing to its text and the edge a resize keeps, alignment
// and layout read back from a DIB, the embossed disabled look and the accelerator by real keys.
#include "skin/controls/vx_label.h"

#include "skin/controls/vx_check_box.h"
#include "skin/form/window_skin_host.h"
#include "tests/win32/control_form_fixture.h"
#include "tests/win32/input.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace zaprelay::skin {
namespace {

using namespace win32;  // the alignment, layout and reading-order values
constexpr TColor kTextColor = 0x000000C0;

class VxLabelTest : public test::ControlFormTest {
protected:
    TVxCustomLabel* MakeLabel(const std::u16string& caption, const TRect& bounds = {10, 10, 75, 27}) {
        auto* label = Place<TVxCustomLabel>(form, bounds);
        label->Font()->SetColor(kTextColor);
        label->SetCaption(caption);
        return label;
    }
    static TPoint SizeOf(const TControl& c) { return {c.Width(), c.Height()}; }
    static TPoint Extent(TVxCustomLabel& label, const std::u16string& text) {
        return ScreenTextExtent(label.Font()->Data(), text);
    }
    // Left and top of the pixels that are not the form's colour.
    static TPoint InkCorner(const std::vector<uint32_t>& pixels, int32_t width) {
        TPoint corner{width, static_cast<int32_t>(pixels.size())};
        for (int32_t i = 0; i < static_cast<int32_t>(pixels.size()); ++i) {
            if (pixels[i] != test::Rgb(test::kFormColor)) {
                corner = {std::min(corner.X, i % width), std::min(corner.Y, i / width)};
            }
        }
        return corner;
    }
};

TEST_F(VxLabelTest, StartsAtTheStreamDefaults) {
    auto* label = new TVxCustomLabel(form);
    EXPECT_EQ(label->BoundsRect(), (TRect{0, 0, 65, 17}));
    for (const TPropInfo* prop : TVxCustomLabel::StaticClassInfo().Properties()) {
        if (prop->IsOrdinal() && prop->Default && prop->GetOrd) {
            EXPECT_EQ(prop->GetOrd(*label), *prop->Default) << prop->Name;
        }
    }
}

TEST_F(VxLabelTest, AutoSizeFitsTheTextAsDrawnAndOneLineWhenEmpty) {
    const std::tuple<std::u16string, bool, std::u16string> cases[] = {
        {u"", true, u" "},         {u"&", true, u" "},          {u"&", false, u"&"},
        {u"&Name", true, u"Name"}, {u"&Name", false, u"&Name"},
    };
    for (const auto& [caption, showAccelChar, measured] : cases) {
        TVxCustomLabel* label = MakeLabel(u"x");
        label->SetShowAccelChar(showAccelChar);
        label->SetCaption(caption);
        EXPECT_EQ(SizeOf(*label), Extent(*label, measured))
            << std::string(caption.begin(), caption.end()) << " prefix " << showAccelChar;
        label->Free();
    }
    // A new font measures again; without AutoSize nothing follows the text.
    TVxCustomLabel* label = MakeLabel(u"Text");
    label->Font()->SetSize(24);
    EXPECT_EQ(SizeOf(*label), Extent(*label, u"Text"));
    label->SetAutoSize(false);
    label->SetCaption(u"A longer text");
    EXPECT_EQ(SizeOf(*label), Extent(*label, u"Text"));
}

TEST_F(VxLabelTest, AutoSizeKeepsTheEdgeTheAlignmentHolds) {
    const std::tuple<TAlignment, TBiDiMode, bool> cases[] = {
        {taLeftJustify, bdLeftToRight, false},  {taRightJustify, bdLeftToRight, true},
        {taCenter, bdLeftToRight, false},       {taLeftJustify, bdRightToLeft, true},  // mirrored
        {taRightJustify, bdRightToLeft, false},
    };
    for (const auto& [alignment, biDiMode, keepsRight] : cases) {
        TVxCustomLabel* label = MakeLabel(u"Start", {100, 20, 160, 40});
        label->SetBiDiMode(biDiMode);
        label->SetAlignment(alignment);
        const auto edge = [&] { return keepsRight ? label->BoundsRect().Right : label->Left(); };
        const int32_t kept = edge();
        for (const std::u16string text : {u"A much longer caption", u"Mi"}) {
            label->SetCaption(text);
            EXPECT_EQ(SizeOf(*label), Extent(*label, text)) << "align " << alignment << " bidi " << biDiMode;
            EXPECT_EQ(edge(), kept) << "align " << alignment << " bidi " << biDiMode;
        }
        label->Free();
    }
}

TEST_F(VxLabelTest, AlignmentAndLayoutPlaceTheTextInTheBounds) {
    // Halves of the room beside and below the text that lie before it.
    const std::tuple<TAlignment, TTextLayout, int, int> cases[] = {
        {taRightJustify, tlTop, 2, 0}, {taCenter, tlCenter, 1, 1},       {taLeftJustify, tlBottom, 0, 2},
        {taCenter, tlTop, 1, 0},       {taRightJustify, tlBottom, 2, 2},
    };
    TVxCustomLabel* label = MakeLabel(u"Mm");
    const TPoint text = SizeOf(*label);
    const TPoint home = InkCorner(Painted(*label), text.X);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 81, 45);
    for (const auto& [alignment, layout, columns, rows] : cases) {
        label->SetAlignment(alignment);
        label->SetLayout(layout);
        const TPoint ink = InkCorner(Painted(*label), 81);
        // DrawText may round a centred line's start either way.
        EXPECT_NEAR(ink.X, home.X + (81 - text.X) * columns / 2, 1) << "align " << alignment << " layout " << layout;
        EXPECT_EQ(ink.Y, home.Y + (45 - text.Y) * rows / 2) << "align " << alignment << " layout " << layout;
    }
}

TEST_F(VxLabelTest, AcceleratorFocusesTheFocusControlOnlyWhenEnabledAndShownAndDisabledIsEmbossed) {
    Activate();
    auto* other = Place<TVxCustomCheckBox>(form, {10, 60, 108, 80});
    auto* target = Place<TVxCustomCheckBox>(form, {10, 90, 108, 110});
    TVxCustomLabel* label = MakeLabel(u"&MMMM");
    label->SetFocusControl(target);
    const TRect all{0, 0, label->Width(), label->Height()};
    const std::pair<bool, bool> steps[] = {{false, true}, {true, false}, {true, true}};
    for (const auto& [enabled, showAccelChar] : steps) {
        other->SetFocus();
        ASSERT_TRUE(Pump([&] { return other->Focused(); }));
        label->SetEnabled(enabled);
        label->SetShowAccelChar(showAccelChar);
        test::PressKey('M', {VK_MENU});
        EXPECT_EQ(target->Focused(), enabled && showAccelChar) << "enabled " << enabled << " prefix " << showAccelChar;
        EXPECT_FALSE(target->Checked()) << "focus only";
        const std::vector<uint32_t> pixels = Painted(*label);
        EXPECT_EQ(Count(pixels, all.Right, all, kTextColor) > 0, enabled);
        EXPECT_EQ(Count(pixels, all.Right, all, clBtnHighlight) > 0, !enabled);
        EXPECT_EQ(Count(pixels, all.Right, all, clBtnShadow) > 0, !enabled);
    }
    other->SetFocus();
    target->Free();
    EXPECT_EQ(label->FocusControl(), nullptr);
    test::PressKey('M', {VK_MENU});
    EXPECT_TRUE(other->Focused());
}

}  // namespace
}  // namespace zaprelay::skin
