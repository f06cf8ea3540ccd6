#include "skin/objects/basic_kinds.h"

#include "framework/graphics/pixel.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/exceptions.h"
#include "skin/objects/active_object.h"
#include "skin/objects/bitmap_object.h"
#include "skin/objects/button_object.h"
#include "skin/objects/skin_object_io.h"
#include "skin/objects/system_button.h"
#include "skin/objects/text_object.h"
#include "tests/support/skin_tree.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

using test::TProbeObject;
using test::TTestSurface;
template <typename T>
using Owned = std::unique_ptr<T, test::SkinObjectDeleter>;
constexpr TPixel kBack = TTestSurface::kBackground;

template <typename T>
Owned<T> Make(const TRect& bounds) {
    Owned<T> object(new T(nullptr));
    object->SetBounds(bounds);
    return object;
}

void SetLink(TVxBitmapLink& link, const std::string& name, const TRect& rect = {0, 0, 2, 2}) {
    link.SetName(name);
    link.SetRect(rect);
}

// Every pixel of a gradient tells where it came from.
constexpr TPixel Pix(int32_t x, int32_t y) {
    return 0xFF000011u | (static_cast<uint32_t>(x) << 16) | (static_cast<uint32_t>(y) << 8);
}

std::unique_ptr<TVxBitmap> Gradient(const std::string& name, int32_t width, int32_t height) {
    auto bitmap = test::SolidBitmap(name, width, height, 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            *bitmap->PixelPtr(x, y) = Pix(x, y);
        }
    }
    return bitmap;
}

// Draws the object on a fresh w x h surface; the first pixel that differs from expected, as
// text, or empty.
std::string Mismatch(TVxSkinObject& o, int32_t w, int32_t h, const std::function<TPixel(int32_t, int32_t)>& expected) {
    TTestSurface s(w, h);
    o.Draw(s.Canvas());
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (s.At(x, y) != expected(x, y)) {
                return "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " + std::to_string(s.At(x, y));
            }
        }
    }
    return {};
}

// The pixel at (x, y) after drawing the object on a fresh surface.
TPixel DrawnAt(TVxSkinObject& o, int32_t x = 0, int32_t y = 0) {
    TTestSurface s(24, 24);
    o.Draw(s.Canvas());
    return s.At(x, y);
}

class BasicKindsTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnregisterSkinObjectClasses();
        RegisterBasicSkinObjectKinds();
        for (uint32_t i = 1; i <= 8; ++i) {
            m_list.Add(test::SolidBitmap("S" + std::to_string(i) + ".bmp", 2, 2, 0xFF000000 | i));
        }
    }
    void TearDown() override { UnregisterSkinObjectClasses(); }

    // As the skin loader does once everything is read.
    void Link(TVxSkinObject& root) {
        root.SetBitmapList(&m_list);
        root.LinkBitmaps();
    }

    TVxBitmapList m_list;  // "S1.bmp" .. "S8.bmp": 2 x 2 of pixel 0xFF00000n
};

TEST_F(BasicKindsTest, NinePartBoxTilesCentreAndBandsAndKeepsCornersUnscaled) {
    m_list.Add(Gradient("SKIN.bmp", 20, 49));
    auto box = Make<TVxBitmapObject>(Bounds(3, 2, 100, 40));
    box->SetColor(clRed);  // never filled
    for (auto set : {&TVxSkinObject::SetMarginLeft, &TVxSkinObject::SetMarginTop, &TVxSkinObject::SetMarginRight,
                     &TVxSkinObject::SetMarginBottom}) {
        (box.get()->*set)(5);
    }
    SetLink(box->Bitmap(), "skin.bmp", {0, 29, 20, 49});
    Link(*box);
    // Along each axis: 5 pixels from the start, 5 from the end, the middle 10 repeated.
    auto src = [](int32_t d, int32_t size) {
        return d < 5 ? d : d >= size - 5 ? 15 + d - (size - 5) : 5 + (d - 5) % 10;
    };
    EXPECT_EQ(Mismatch(*box, 110, 50,
                       [&](int32_t x, int32_t y) {
                           const bool inside = x >= 3 && x < 103 && y >= 2 && y < 42;
                           return inside ? Pix(src(x - 3, 100), 29 + src(y - 2, 40)) : kBack;
                       }),
              "");

    // A centre without height and side bands without width are left out.
    auto bands = Make<TVxBitmapObject>(Bounds(0, 0, 30, 40));
    bands->SetMarginTop(10);
    bands->SetMarginBottom(10);
    SetLink(bands->Bitmap(), "SKIN.bmp", {0, 0, 10, 20});
    Link(*bands);
    EXPECT_EQ(Mismatch(*bands, 30, 40,
                       [](int32_t x, int32_t y) {
                           return y < 10 ? Pix(x % 10, y) : y >= 30 ? Pix(x % 10, y - 20) : kBack;
                       }),
              "");
}

TEST_F(BasicKindsTest, PlainImageFollowsItsStyleKeysByTheLinkAndPaintsCaptionAndChildrenOverIt) {
    m_list.Add(Gradient("G.bmp", 4, 2));
    auto plain = Make<TVxBitmapObject>(Bounds(0, 0, 10, 5));
    SetLink(plain->Bitmap(), "G.bmp", {0, 0, 4, 2});
    Link(*plain);
    EXPECT_EQ(Mismatch(*plain, 10, 5, [](int32_t x, int32_t y) { return Pix(x % 4, y % 2); }), "");
    plain->SetTileStyle(tsStretch);
    plain->SetBounds(Bounds(0, 0, 8, 4));
    EXPECT_EQ(Mismatch(*plain, 8, 4, [](int32_t x, int32_t y) { return Pix(x / 2, y / 2); }), "");
    plain->SetTileStyle(tsCenter);
    plain->SetBounds(Bounds(0, 0, 9, 5));  // at (9 - 4) div 2, (5 - 2) div 2
    EXPECT_EQ(
        Mismatch(*plain, 9, 5,
                 [](int32_t x, int32_t y) { return x >= 2 && x < 6 && y >= 1 && y < 3 ? Pix(x - 2, y - 1) : kBack; }),
        "");

    // A key pixel is skipped when the link found it, and copied as it is when the link's
    // rectangle changed after the scan: drawing never scans pixels itself.
    auto keyed = test::SolidBitmap("K.bmp", 4, 4, 0xFF00FF00);
    *keyed->PixelPtr(1, 1) = TransparentColor;
    m_list.Add(std::move(keyed));
    auto glass = Make<TVxBitmapObject>(Bounds(0, 0, 4, 4));
    SetLink(glass->Bitmap(), "K.bmp", {0, 0, 4, 4});
    Link(*glass);
    EXPECT_EQ(DrawnAt(*glass, 1, 1), kBack);
    SetLink(glass->Bitmap(), "K.bmp", {2, 2, 4, 4});
    Link(*glass);
    glass->Bitmap().SetRect({0, 0, 4, 4});
    EXPECT_EQ(DrawnAt(*glass, 1, 1), TransparentColor);

    // Added after the bounds were set, so only the Draw's realignment places it.
    auto* client = new TVxSkinObject(glass.get());
    client->SetAlign(saClient);
    client->SetColor(clBlue);
    EXPECT_EQ(DrawnAt(*glass, 3, 3), ColorToPixel(clBlue));
    client->Visible = false;
    glass->Text = u"-";  // a separator in the caption font's colour on row 4 div 2 - 1
    glass->Font().SetColor(clRed);
    glass->SetBounds(Bounds(0, 0, 8, 4));
    EXPECT_EQ(DrawnAt(*glass, 3, 1), ColorToPixel(clRed));
    EXPECT_EQ(DrawnAt(*glass, 3, 2), 0xFF00FF00u);
}

TEST_F(BasicKindsTest, RegionIsTheDrawnShapeTheBoundsOrNone) {
    auto image = test::SolidBitmap("R.bmp", 4, 4, 0xFF00FF00);
    for (int32_t y = 0; y < 4; ++y) {
        *image->PixelPtr(0, y) = TransparentColor;
    }
    m_list.Add(std::move(image));
    m_list.Add(test::SolidBitmap("Clear.bmp", 4, 4, TransparentColor));
    auto object = Make<TVxBitmapObject>(Bounds(10, 20, 4, 4));
    SetLink(object->Bitmap(), "R.bmp", {0, 0, 4, 4});
    Link(*object);
    std::optional<TRegion> shape = object->CreateRegion();
    ASSERT_TRUE(shape.has_value());
    EXPECT_EQ(shape->Bounds(), (TRect{11, 20, 14, 24}));
    EXPECT_EQ(object->BoundsRect(), (TRect{10, 20, 14, 24}));  // put back
    object->SetMasked(false);
    EXPECT_EQ(object->CreateRegion(), TRegion(object->BoundsRect()));
    object->SetMasked(true);
    object->SetKind(skClient);
    EXPECT_EQ(object->CreateRegion(), TRegion(object->BoundsRect()));

    // A shape that shows nothing is still a shape; no image or no area gives none.
    SetLink(object->Bitmap(), "Clear.bmp", {0, 0, 4, 4});
    object->SetKind(skNone);
    Link(*object);
    shape = object->CreateRegion();
    ASSERT_TRUE(shape.has_value());
    EXPECT_TRUE(shape->IsEmpty());
    object->SetWidth(0);
    EXPECT_FALSE(object->CreateRegion().has_value());
    object->SetWidth(4);
    SetLink(object->Bitmap(), "Missing.bmp", {0, 0, 4, 4});
    object->Bitmap().SetImage(nullptr);
    object->Text = u"-";
    (new TVxSkinObject(object.get()))->SetBounds(object->BoundsRect());
    Link(*object);
    EXPECT_FALSE(object->CreateRegion().has_value());
    EXPECT_EQ(Mismatch(*object, 16, 26, [](int32_t, int32_t) { return kBack; }), "");  // nor caption nor children
}

TEST_F(BasicKindsTest, LinkBitmapsResolvesEveryLinkByNameIgnoringCaseWithTheMargins) {
    auto image = test::SolidBitmap("Frame.BMP", 10, 10, 0xFF00FF00);
    *image->PixelPtr(0, 0) = TransparentColor;
    m_list.Add(std::move(image));
    test::OwnedSkinObject tree = test::TreeFromText(
        "object Frame: TVxActiveBitmap\r\n  MarginLeft = 3\r\n  MarginRight = 3\r\n  MarginTop = 3\r\n"
        "  MarginBottom = 3\r\n  Bitmap.Name = 'frame.bmp'\r\n  Bitmap.Right = 10\r\n  Bitmap.Bottom = 10\r\n"
        "  ActiveBitmap.Name = 'Missing.bmp'\r\n  ActiveBitmap.Right = 10\r\n  ActiveBitmap.Bottom = 10\r\n"
        "  object Close: TVxSystemButton\r\n    BitmapHot.Name = 'FRAME.BMP'\r\n    BitmapHot.Right = 10\r\n"
        "    BitmapHot.Bottom = 10\r\n    BitmapPressed.Name = 'frame.bmp'\r\n    BitmapPressed.Left = 5\r\n"
        "    BitmapPressed.Right = 10\r\n    BitmapPressed.Bottom = 10\r\n"
        "    object Glyph: TVxButtonObject\r\n      BitmapFocused.Name = 'frame.bmp'\r\n"
        "      BitmapFocused.Right = 2\r\n      BitmapFocused.Bottom = 2\r\n    end\r\n  end\r\nend\r\n");
    Link(*tree);
    TVxBitmap* bitmap = m_list.GetBitmap(8);
    auto& frame = test::Find<TVxActiveBitmap>(*tree, "Frame");
    EXPECT_EQ(frame.Bitmap().Image(), bitmap);
    // The key pixel lies in the corner square the margins cut off.
    EXPECT_TRUE(frame.Bitmap().MaskedAngles());
    EXPECT_FALSE(frame.Bitmap().MaskedBorder() || frame.Bitmap().Masked());
    EXPECT_EQ(frame.ActiveBitmap().Image(), nullptr);
    EXPECT_EQ(frame.ActiveBitmap().Name(), "Missing.bmp");
    auto& close = test::Find<TVxSystemButton>(*tree, "Close");
    EXPECT_TRUE(close.BitmapHot().Masked());  // without margins anywhere counts
    EXPECT_EQ(close.BitmapPressed().Image(), bitmap);
    EXPECT_FALSE(close.BitmapPressed().Masked());
    EXPECT_TRUE(test::Find<TVxButtonObject>(*tree, "Glyph").BitmapFocused().Masked());

    auto lone = Make<TVxBitmapObject>(Bounds(0, 0, 4, 4));  // no list: nothing changes
    SetLink(lone->Bitmap(), "S1.bmp");
    lone->LinkBitmaps();
    EXPECT_EQ(lone->Bitmap().Image(), nullptr);
}

TEST_F(BasicKindsTest, StateImagesFontsAndColoursFallBackAsTheirKindSays) {
    auto button = Make<TVxButtonObject>(Bounds(0, 0, 2, 2));
    SetLink(button->Bitmap(), "S1.bmp");
    SetLink(button->BitmapHot(), "S5.bmp");
    SetLink(button->BitmapPressed(), "S6.bmp");
    SetLink(button->BitmapFocused(), "S7.bmp");
    SetLink(button->BitmapDisabled(), "S8.bmp");
    Link(*button);
    for (uint8_t state : {0, 4, 5, 6, 7, 8, 0}) {
        button->State = state;
        EXPECT_EQ(DrawnAt(*button), state >= 5 ? 0xFF000000u | state : 0xFF000001u) << int{state};
    }
    button->BitmapHot().SetImage(nullptr);
    button->State = 5;
    EXPECT_EQ(DrawnAt(*button), 0xFF000001u);
    button->Bitmap().SetImage(nullptr);
    button->State = 6;
    EXPECT_EQ(DrawnAt(*button), kBack);

    auto frame = Make<TVxActiveBitmap>(Bounds(0, 0, 2, 2));
    SetLink(frame->Bitmap(), "S1.bmp");
    SetLink(frame->ActiveBitmap(), "S2.bmp");
    Link(*frame);
    // By (Active, State): active, hot or focused show the active image; pressed does not.
    for (auto [active, state, pixel] : {std::tuple{false, 0, 1u},
                                        {true, 0, 2u},
                                        {false, 7, 2u},
                                        {false, 5, 2u},
                                        {false, 6, 1u},
                                        {true, 6, 2u},
                                        {false, 0, 1u}}) {
        frame->Active = active;
        frame->State = static_cast<uint8_t>(state);
        EXPECT_EQ(DrawnAt(*frame), 0xFF000000u | pixel) << active << state;
        EXPECT_EQ(&frame->CaptionFont(), state == 5 || state == 7 ? &frame->ActiveFont() : &frame->Font());
    }

    // The separator caption shows which font painted.
    auto area = Make<TVxActiveObject>(Bounds(0, 0, 20, 20));
    area->SetColor(clBlue);
    area->SetActiveColor(clLime);
    area->Font().SetColor(clWhite);
    area->ActiveFont().SetColor(clRed);
    area->Text = u"-";
    for (auto [active, state, look] : {std::tuple{false, 0, false},
                                       {false, 5, true},
                                       {false, 6, true},
                                       {false, 7, true},
                                       {true, 0, true},
                                       {false, 8, false}}) {
        area->Active = active;
        area->State = static_cast<uint8_t>(state);
        EXPECT_EQ(DrawnAt(*area), ColorToPixel(look ? clLime : clBlue)) << active << state;
        EXPECT_EQ(DrawnAt(*area, 5, 9), ColorToPixel(look ? clRed : clWhite)) << active << state;
        EXPECT_EQ(&area->CaptionFont(), state >= 5 && state <= 7 ? &area->ActiveFont() : &area->Font());
    }
    EXPECT_EQ(area->Color(), clBlue);

    auto text = Make<TVxTextObject>(Bounds(0, 0, 20, 20));
    text->Text = u"WW";  // real glyphs: the separator would take CaptionFont anyway
    text->Font().SetColor(0x000001);
    for (auto [font, state] : {std::pair{&text->FontHot(), 5},
                               {&text->FontPressed(), 6},
                               {&text->FontFocused(), 7},
                               {&text->FontDisabled(), 8}}) {
        font->SetColor(static_cast<TColor>(state));
    }
    for (uint8_t state : {0, 2, 5, 6, 7, 8}) {
        text->State = state;
        const TColor expected = state >= 5 ? state : 0x000001;
        EXPECT_EQ(text->CaptionFont().Color(), expected);
        TTestSurface s(20, 20);
        text->Draw(s.Canvas());
        EXPECT_GT(s.Count(Bounds(0, 0, 20, 20), expected), 0) << int{state};
    }
    EXPECT_EQ(text->Font().Color(), 0x000001);
}

TEST_F(BasicKindsTest, ActiveBitmapPaintsItsCaptionInTheFontItIsMeasuredWith) {
    auto frame = Make<TVxActiveBitmap>(Bounds(0, 0, 20, 20));
    SetLink(frame->Bitmap(), "S1.bmp");
    SetLink(frame->ActiveBitmap(), "S2.bmp");
    Link(*frame);
    frame->Text = u"WW";
    frame->Font().SetColor(clRed);
    frame->ActiveFont().SetColor(clLime);
    for (auto [active, state] : {std::pair{false, 0}, {true, 0}, {false, 5}, {false, 6}, {false, 7}}) {
        frame->Active = active;
        frame->State = static_cast<uint8_t>(state);
        const TColor ink = frame->CaptionFont().Color();
        TTestSurface s(20, 20);
        frame->Draw(s.Canvas());
        EXPECT_GT(s.Count(Bounds(0, 0, 20, 20), ink), 0) << active << state;
        EXPECT_EQ(s.Count(Bounds(0, 0, 20, 20), ink == clRed ? clLime : clRed), 0) << active << state;
    }
    EXPECT_EQ(frame->Font().Color(), clRed);
}

// The status bar's grip: a repaint must not move it again after the resize that placed it.
TEST_F(BasicKindsTest, RepaintingLeavesCornerChildrenWhereTheResizePutThem) {
    auto bar = Make<TVxBitmapObject>(Bounds(0, 0, 100, 20));
    SetLink(bar->Bitmap(), "S1.bmp");
    Link(*bar);
    std::vector<TVxSkinObject*> corners;
    for (auto [align, bounds] : {std::pair{saTopRight, Bounds(90, 0, 10, 5)},
                                 {saBottomLeft, Bounds(0, 15, 10, 5)},
                                 {saBottomRight, Bounds(90, 15, 10, 5)}}) {
        corners.push_back(new TVxSkinObject(bar.get()));
        corners.back()->SetAlign(align);
        corners.back()->SetBounds(bounds);
        corners.back()->SetColor(clBlue);
    }
    bar->SetBounds(Bounds(0, 0, 120, 30));
    const std::vector<TRect> placed = {Bounds(110, 0, 10, 5), Bounds(0, 25, 10, 5), Bounds(110, 25, 10, 5)};
    TTestSurface once(130, 40);
    bar->Draw(once.Canvas());
    EXPECT_EQ(Mismatch(*bar, 130, 40, [&](int32_t x, int32_t y) { return once.At(x, y); }), "");
    for (std::size_t i = 0; i < corners.size(); ++i) {
        EXPECT_EQ(corners[i]->BoundsRect(), placed[i]) << i;
    }
}

TEST_F(BasicKindsTest, SwapsAreUndoneWhenDrawingThrows) {
    auto frame = Make<TVxActiveBitmap>(Bounds(0, 0, 4, 4));
    SetLink(frame->Bitmap(), "S1.bmp");
    SetLink(frame->ActiveBitmap(), "S2.bmp");
    auto* probe = new TProbeObject(frame.get());
    probe->SetBounds(Bounds(0, 0, 1, 1));
    probe->Throws = true;
    Link(*frame);
    frame->Active = true;
    EXPECT_THROW(DrawnAt(*frame), std::runtime_error);
    probe->Throws = false;
    frame->Active = false;
    EXPECT_EQ(DrawnAt(*frame, 3, 3), 0xFF000001u);

    auto area = Make<TVxActiveObject>(Bounds(0, 0, 4, 4));
    auto text = Make<TVxTextObject>(Bounds(0, 0, 4, 4));
    for (TVxSkinObject* o : {static_cast<TVxSkinObject*>(area.get()), static_cast<TVxSkinObject*>(text.get())}) {
        o->SetColor(clBlue);
        o->Font().SetColor(clWhite);
        o->State = 5;
        auto* thrower = new TProbeObject(o);
        thrower->SetBounds(Bounds(0, 0, 1, 1));
        thrower->Throws = true;
        EXPECT_THROW(DrawnAt(*o), std::runtime_error);
        EXPECT_EQ(o->Color(), clBlue);
        EXPECT_EQ(o->Font().Color(), clWhite);
    }
    EXPECT_NE(&area->Font(), &area->ActiveFont());
    EXPECT_NE(&text->Font(), &text->FontHot());
}

TEST_F(BasicKindsTest, CloneDrawsTheSamePixelsWithoutLinking) {
    auto image = Gradient("Skin.bmp", 12, 12);
    *image->PixelPtr(0, 0) = TransparentColor;
    *image->PixelPtr(6, 6) = TransparentColor;
    m_list.Add(std::move(image));
    auto box = Make<TVxBitmapObject>(Bounds(1, 1, 22, 20));
    box->SetMarginLeft(2);
    box->SetMarginBottom(3);
    box->SetBorderTileStyle(tsStretch);
    SetLink(box->Bitmap(), "Skin.bmp", {0, 0, 12, 12});
    auto* glyph = new TVxButtonObject(box.get());
    glyph->SetBounds(Bounds(0, 0, 4, 4));
    glyph->SetAlign(saCenter);
    SetLink(glyph->Bitmap(), "skin.bmp", {4, 4, 8, 8});
    SetLink(glyph->BitmapHot(), "skin.bmp", {0, 0, 4, 4});
    Link(*box);
    Owned<TVxSkinObject> copy(CloneSkinObject(*box, nullptr));
    ASSERT_NE(copy, nullptr);
    box->SetState(5);
    copy->SetState(5);
    TTestSurface original(24, 24);
    box->Draw(original.Canvas());
    EXPECT_EQ(Mismatch(*copy, 24, 24, [&](int32_t x, int32_t y) { return original.At(x, y); }), "");
    EXPECT_EQ(original.At(11, 10), Pix(1, 1));  // the hot glyph, centred
    EXPECT_EQ(original.At(1, 1), kBack);
}

TEST_F(BasicKindsTest, PublishedValuesStreamInOrderAndCopyBetweenRelatedKinds) {
    for (const char* kind : {"TVxActiveObject", "TVxBitmapObject", "TVxActiveBitmap", "TVxSystemButton",
                             "TVxButtonObject", "TVxTextObject"}) {
        const std::string text =
            test::TreeToText(*test::TreeFromText(std::string("object X: ") + kind + "\r\nend\r\n"));
        for (const char* name :
             {"ActiveColor", "TileStyle", "Masked", "Action", "Kind", "Bitmap.Name", "BitmapHot.Name"}) {
            EXPECT_EQ(text.find(name), std::string::npos) << kind << " writes a default " << name;
        }
    }
    auto source = Make<TVxSystemButton>(Bounds(1, 2, 3, 4));
    source->SetName("Button");
    source->SetKind(skNone);
    source->SetBorderTileStyle(tsStretch);
    source->SetMaskedBorder(false);
    source->SetMaskedAngles(false);
    source->SetTileStyle(tsCenter);
    source->SetAction(sbaTray);
    SetLink(source->Bitmap(), "a.bmp");
    SetLink(source->ActiveBitmap(), "b.bmp");
    SetLink(source->BitmapHot(), "c.bmp");
    SetLink(source->BitmapPressed(), "d.bmp");
    source->ActiveFont().SetColor(clRed);
    const std::string text = test::TreeToText(*source);
    std::size_t at = 0;
    for (const char* value :
         {"Kind = skNone", "Bitmap.Name = 'a.bmp'", "BorderTileStyle = tsStretch", "MaskedBorder = False",
          "MaskedAngles = False", "TileStyle = tsCenter", "ActiveBitmap.Name = 'b.bmp'", "ActiveFont.Color = clRed",
          "Action = sbaTray", "BitmapHot.Name = 'c.bmp'", "BitmapPressed.Name = 'd.bmp'"}) {
        at = text.find(value, at);
        ASSERT_NE(at, std::string::npos) << value << " in order in\n" << text;
    }
    EXPECT_EQ(test::TreeToText(*test::TreeFromText(text)), text);
    EXPECT_EQ(test::TreeToText(*Owned<TVxSkinObject>(CloneSkinObject(*source, nullptr))), text);

    // From an unrelated kind only the base's values come over; from a descendant also
    // what the two share.
    auto box = Make<TVxBitmapObject>(Bounds(0, 0, 1, 1));
    SetLink(box->Bitmap(), "own.bmp");
    box->CopyFrom(*Make<TVxTextObject>(Bounds(0, 0, 7, 7)));
    EXPECT_EQ(box->Bitmap().Name(), "own.bmp");
    EXPECT_EQ(box->Width(), 7);
    box->CopyFrom(*source);
    EXPECT_EQ(box->Bitmap().Name(), "a.bmp");
    EXPECT_EQ(box->TileStyle(), tsCenter);
}

TEST_F(BasicKindsTest, HueAndCharsetReachEveryFont) {
    auto area = Make<TVxActiveObject>(Bounds(0, 0, 1, 1));
    auto text = Make<TVxTextObject>(Bounds(0, 0, 1, 1));
    area->SetActiveColor(clNone);
    area->ActiveFont().SetColor(clRed);
    text->FontHot().SetColor(clNone);  // state fonts shift whatever their colour
    area->ChangeHue(60);
    text->ChangeHue(60);
    EXPECT_EQ(area->ActiveColor(), clNone);
    EXPECT_EQ(area->ActiveFont().Color(), HueShiftedColor(clRed, 60));
    EXPECT_NE(area->ActiveFont().Color(), clRed);
    EXPECT_NE(text->FontHot().Color(), clNone);
    area->SetActiveColor(clBtnFace);
    area->ChangeHue(30);
    EXPECT_EQ(area->ActiveColor(), HueShiftedColor(clBtnFace, 30));
    EXPECT_EQ(ResolveColor(area->ActiveColor()), area->ActiveColor());

    // Reading leaves the default character set in every font, which SetCharset then reaches.
    test::OwnedSkinObject tree = test::TreeFromText(
        "object Text: TVxTextObject\r\n  FontFocused.Charset = RUSSIAN_CHARSET\r\n"
        "  object Area: TVxActiveObject\r\n    ActiveFont.Charset = RUSSIAN_CHARSET\r\n  end\r\n"
        "  object Frame: TVxActiveBitmap\r\n    ActiveFont.Charset = RUSSIAN_CHARSET\r\n  end\r\nend\r\n");
    auto& root = test::Find<TVxTextObject>(*tree, "Text");
    const std::vector<TFont*> fonts = {&root.FontHot(),
                                       &root.FontFocused(),
                                       &root.FontPressed(),
                                       &root.FontDisabled(),
                                       &test::Find<TVxActiveObject>(*tree, "Area").ActiveFont(),
                                       &test::Find<TVxActiveBitmap>(*tree, "Frame").ActiveFont()};
    for (TFont* font : fonts) {
        EXPECT_EQ(font->Charset(), DEFAULT_CHARSET);
    }
    tree->SetCharset(RUSSIAN_CHARSET);
    for (TFont* font : fonts) {
        EXPECT_EQ(font->Charset(), RUSSIAN_CHARSET);
    }
}

TEST_F(BasicKindsTest, AbsurdMarginsAndBoundsFromAFileAreHarmless) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    for (const TRect& m :
         {TRect{kMax, 1, kMax, kMin}, TRect{kMin, kMin, kMax, 1}, TRect{-5, 1, -5, 5}, TRect{7, 7, 7, 7}}) {
        for (TVxTileStyle style : {tsTile, tsStretch, tsCenter}) {
            auto box = Make<TVxBitmapObject>(Bounds(0, 0, 6, 6));
            box->SetMarginLeft(m.Left);
            box->SetMarginTop(m.Top);
            box->SetMarginRight(m.Right);
            box->SetMarginBottom(m.Bottom);
            box->SetTileStyle(style);
            box->SetBorderTileStyle(style);
            SetLink(box->Bitmap(), "S1.bmp", {0, 0, 2, 2});
            Link(*box);
            DrawnAt(*box);
            EXPECT_TRUE(box->CreateRegion().has_value());
        }
    }
    Owned<TVxBitmapObject> far(new TVxBitmapObject(nullptr));
    far->SetBounds(kMax - 2, kMax - 2, kMax, kMax);
    SetLink(far->Bitmap(), "S1.bmp", {kMin, 0, kMax, 2});
    Link(*far);
    EXPECT_EQ(DrawnAt(*far), kBack);
    // No bitmap can hold its shape: the error passes, the object stays where it was.
    EXPECT_ANY_THROW(far->CreateRegion());
    EXPECT_EQ(far->Left(), kMax - 2);
    EXPECT_EQ(far->Width(), kMax);
    // A shape wider than any picture is refused before its bitmap is made.
    auto wide = Make<TVxBitmapObject>(Bounds(5, 6, kMaxDrawnSide + 1, 2));
    SetLink(wide->Bitmap(), "S1.bmp");
    Link(*wide);
    try {
        wide->CreateRegion();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), msg::kCantAllocateDib);
    }
    EXPECT_EQ(wide->BoundsRect(), Bounds(5, 6, kMaxDrawnSide + 1, 2));
}

}  // namespace
}  // namespace zaprelay::skin
