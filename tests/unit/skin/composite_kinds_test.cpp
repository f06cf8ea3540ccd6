#include "skin/objects/composite_kinds.h"

#include "framework/graphics/pixel.h"
#include "framework/graphics/raster_canvas.h"
#include "skin/objects/active_skin_object.h"
#include "skin/objects/bitmap_box_object.h"
#include "skin/objects/bitmap_skin_object.h"
#include "skin/objects/color_button_object.h"
#include "skin/objects/link_skin_object.h"
#include "skin/objects/roll_panel_object.h"
#include "skin/objects/skin_object_io.h"
#include "skin/objects/sys_button_skin_object.h"
#include "tests/support/skin_tree.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zaprelay::skin {
namespace {

using Surface = test::TTestSurface;
using test::Find;

constexpr TPixel kA = 0xFF102030;
constexpr TPixel kB = 0xFF405060;
constexpr TPixel kC = 0xFF708090;
constexpr TPixel kD = 0xFFA0B0C0;
constexpr TPixel kE = 0xFF20C040;
constexpr TPixel kF = 0xFFC02040;

int Count(const Surface& s, const TRect& rect, TPixel pixel) {
    int count = 0;
    for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
        for (int32_t x = rect.Left; x < rect.Right; ++x) {
            count += s.At(x, y) == pixel ? 1 : 0;
        }
    }
    return count;
}

// What an object paints at one point of a fresh surface.
TPixel PaintedAt(TVxSkinObject& object, TPoint point, int32_t size = 20) {
    Surface s(size, size);
    object.Draw(s.Canvas());
    return s.At(point.X, point.Y);
}

// A raster canvas whose painting fails, to see swaps undone on the way out.
class TFailingCanvas : public TRasterCanvas {
public:
    using TRasterCanvas::TRasterCanvas;
    std::optional<TPixelSurface> PixelSurface() override { throw std::runtime_error("no surface"); }
    void FillRect(const TRect&, TColor) override { throw std::runtime_error("no fill"); }
};

class CompositeKindsTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnregisterSkinObjectClasses();
        RegisterSkinObjectClass(TVxSkinObject::StaticClassInfo());
        RegisterCompositeSkinObjectKinds();
        for (auto [name, pixel] : {std::pair{"A", kA}, {"C", kC}, {"D", kD}, {"E", kE}, {"F", kF}}) {
            Images.Add(test::SolidBitmap(name, 10, 10, pixel));
        }
        Images.Add(test::SolidBitmap("B", 15, 15, kB));
        auto tile = test::SolidBitmap("Tile", 10, 10, kA);  // column 0 marks the seams
        tile->FillRect({0, 0, 1, 10}, kB);
        Images.Add(std::move(tile));
        // Key pixels in the four corners and in the top band's middle.
        auto keyed = test::SolidBitmap("Keyed", 10, 10, kA);
        for (TPoint p : {TPoint{0, 0}, TPoint{9, 0}, TPoint{0, 9}, TPoint{9, 9}, TPoint{5, 0}}) {
            *keyed->PixelPtr(p.X, p.Y) = TransparentColor;
        }
        Images.Add(std::move(keyed));
    }
    void TearDown() override { UnregisterSkinObjectClasses(); }

    // Reads a tree written with ';' for line breaks and "Link @ Image" for a link to a whole
    // image, and resolves its links as the skin loader does.
    test::OwnedSkinObject Load(std::string_view compact) {
        std::string text;
        for (std::size_t start = 0; start < compact.size();) {
            std::size_t end = std::min(compact.find(';', start), compact.size());
            std::string line(compact.substr(start, end - start));
            start = end + 1;
            const std::size_t at = line.find(" @ ");
            if (at == std::string::npos) {
                text += line + "\n";
                continue;
            }
            const std::string link = line.substr(0, at), image = line.substr(at + 3);
            int32_t width = 10, height = 10;
            for (int i = 0; i < Images.Count(); ++i) {
                if (Images.GetBitmap(i)->Name() == image) {
                    width = Images.GetBitmap(i)->Width();
                    height = Images.GetBitmap(i)->Height();
                }
            }
            text += link + ".Name = '" + image + "'\n" + link + ".Right = " + std::to_string(width) + "\n" + link +
                    ".Bottom = " + std::to_string(height) + "\n";
        }
        test::OwnedSkinObject tree = test::TreeFromText(text);
        tree->SetBitmapList(&Images);
        tree->LinkBitmaps();
        return tree;
    }

    TVxBitmapList Images;
};

TEST_F(CompositeKindsTest, StreamCloneAndTheButtonsOwnKindDefault) {
    test::OwnedSkinObject tree = Load(
        "object Form: TVxSkinObject; Width = 300; Height = 40"
        ";object Pic: TVxFormBitmapSkinObject; Width = 10; Height = 10; TileStyle = tsStretch"
        ";  Bitmap @ A; InactiveBitmap @ C; end"
        ";object Btn: TVxSysButtonSkinObject; Action = sbaRollPanel; RollPanel = 'Panel'; BitmapDown @ D; end"
        ";object Cell: TVxColorButtonObject; HotColor = clRed; DisabledFont.Name = 'Tahoma'; end"
        ";object Look: TVxActiveSkinObject; ActiveColor = clBlue; ActiveFont.Name = 'Tahoma'; end"
        ";object Box: TVxButtonBitmapBoxObject; BorderTileStyle = tsCenter; PressedBitmap @ D; end"
        ";object Panel: TVxRollPanelObject; Left = 100; Width = 200; RollKind = rkBottom; RollValue = 20; end"
        ";object Where: TVxLinkSkinObject; LinkControl = 'Edit1'; end"
        ";end");
    auto& panel = Find<TVxRollPanelObject>(*tree, "Panel");
    panel.SetRollKind(rkLeft);
    panel.Roll();
    ASSERT_EQ(panel.RestoreSize, 200);
    Find<TVxSysButtonSkinObject>(*tree, "Btn").MouseDown(mbLeft, 0, 0);

    const std::string text = test::TreeToText(*tree);
    EXPECT_EQ(test::TreeToText(*test::TreeFromText(text)), text);
    test::OwnedSkinObject copy(CloneSkinObject(*tree, nullptr));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(test::TreeToText(*copy), text);
    std::string children;  // in the text form, so the values read as written
    for (int i = 0; i < copy->ChildCount(); ++i) {
        children += test::TreeToText(*copy->GetChild(i));
    }
    for (const char* value : {"clRed", "'Tahoma'", "tsCenter", "sbaRollPanel", "RollValue = 20", "'Edit1'", "clBlue"}) {
        EXPECT_NE(children.find(value), std::string::npos) << value;
    }
    EXPECT_EQ(Find<TVxRollPanelObject>(*copy, "Panel").RestoreSize, 0);
    EXPECT_EQ(Find<TVxSysButtonSkinObject>(*copy, "Btn").ButtonState(), sbsNormal);
    // The copy's links are resolved already: it paints without LinkBitmaps.
    EXPECT_EQ(PaintedAt(Find(*copy, "Pic"), {5, 5}), kC);

    // The button's Kind keeps the base's stream position but has a default of its own.
    auto kindAt = [](const TClassInfo& info) {
        const auto all = info.Properties();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i]->Name == "Kind") {
                return std::pair{i, all[i]->Default};
            }
        }
        return std::pair{all.size(), std::optional<int64_t>()};
    };
    EXPECT_EQ(kindAt(TVxSysButtonSkinObject::StaticClassInfo()),
              std::pair(kindAt(TVxSkinObject::StaticClassInfo()).first, std::optional<int64_t>(skSysButton)));
    TVxSkinObject& button = Find(*tree, "Btn");
    EXPECT_EQ(button.Kind(), skSysButton);
    EXPECT_EQ(test::TreeToText(button).find("Kind"), std::string::npos);
    button.SetKind(skNone);
    EXPECT_NE(test::TreeToText(button).find("Kind = skNone"), std::string::npos);
}

TEST_F(CompositeKindsTest, BitmapCentresTilesAndStretchesButDrawsNoChildren) {
    auto centred = [&](const std::string& image) {
        test::OwnedSkinObject o = Load(
            "object O: TVxBitmapSkinObject; Left = 5; Top = 5; Width = 40; Height = 40"
            ";TileStyle = tsCenter; Bitmap @ " +
            image + ";end");
        Surface s(50, 50);
        o->Draw(s.Canvas());
        return s;
    };
    Surface ten = centred("A");
    EXPECT_EQ(Count(ten, Bounds(20, 20, 10, 10), kA), 100);
    EXPECT_EQ(Count(ten, {0, 0, 50, 50}, kA), 100);
    Surface fifteen = centred("B");
    EXPECT_EQ(Count(fifteen, Bounds(17, 17, 15, 15), kB), 225);
    EXPECT_EQ(Count(fifteen, {0, 0, 50, 50}, kB), 225);

    test::OwnedSkinObject o = Load(
        "object O: TVxBitmapSkinObject; Width = 40; Height = 20; Bitmap @ Tile"
        ";object Child: TVxSkinObject; Width = 40; Height = 20; Color = clBlue; end;end");
    Surface tiled(40, 20);
    o->Draw(tiled.Canvas());
    EXPECT_EQ(tiled.At(10, 15), kB);  // a seam of the tiles
    EXPECT_EQ(tiled.At(2, 15), kA);
    EXPECT_EQ(tiled.Count({0, 0, 40, 20}, clBlue), 0);
    static_cast<TVxBitmapSkinObject&>(*o).SetTileStyle(tsStretch);
    Surface stretched(40, 20);
    o->Draw(stretched.Canvas());
    EXPECT_EQ(stretched.At(2, 15), kB);  // column 0 widened four times
    EXPECT_EQ(stretched.At(10, 15), kA);
    // Stored bounds may hold billions of tiles; those on the surface keep their phase.
    o->SetBounds(-2000000005, -2000000000, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max());
    static_cast<TVxBitmapSkinObject&>(*o).SetTileStyle(tsTile);
    EXPECT_EQ(PaintedAt(*o, {5, 3}), kB);
    EXPECT_EQ(PaintedAt(*o, {6, 3}), kA);

    test::OwnedSkinObject unresolved = Load("object O: TVxBitmapSkinObject; Width = 10; Height = 10; Bitmap @ No;end");
    EXPECT_EQ(PaintedAt(*unresolved, {5, 5}), Surface::kBackground);
    EXPECT_FALSE(unresolved->CreateRegion().has_value());
}

TEST_F(CompositeKindsTest, BitmapRegionLeavesKeyPixelsOutExceptForTheClient) {
    test::OwnedSkinObject o = Load(
        "object O: TVxBitmapSkinObject; Left = 20; Top = 30; Width = 10; Height = 10; Masked = False"
        ";Bitmap @ Keyed; end");
    std::optional<TRegion> shape = o->CreateRegion();
    ASSERT_TRUE(shape.has_value());
    EXPECT_FALSE(shape->Contains({20, 30}));
    EXPECT_FALSE(shape->Contains({29, 39}));
    EXPECT_TRUE(shape->Contains({21, 30}));
    EXPECT_EQ(o->BoundsRect(), Bounds(20, 30, 10, 10));
    o->SetKind(skClient);
    EXPECT_EQ(o->CreateRegion(), TRegion(Bounds(20, 30, 10, 10)));
}

TEST_F(CompositeKindsTest, FormBitmapShowsTheInactiveImageOnlyWhileInactive) {
    test::OwnedSkinObject o =
        Load("object O: TVxFormBitmapSkinObject; Width = 10; Height = 10; Bitmap @ A; InactiveBitmap @ C; end");
    EXPECT_EQ(PaintedAt(*o, {5, 5}), kC);
    o->SetActive(true);
    EXPECT_EQ(PaintedAt(*o, {5, 5}), kA);
    auto& form = static_cast<TVxFormBitmapSkinObject&>(*o);
    form.SetInactiveBitmap(TVxBitmapLink());
    o->SetActive(false);
    EXPECT_EQ(PaintedAt(*o, {5, 5}), kA);
    // The inactive image never stands in for a missing Bitmap.
    form.SetInactiveBitmap(*Images.FindLink("C", {0, 0, 10, 10}));
    form.SetBitmap(TVxBitmapLink());
    EXPECT_EQ(PaintedAt(*o, {5, 5}), Surface::kBackground);
}

TEST_F(CompositeKindsTest, BoxKeysEveryPartByTheLinksOwnFlag) {
    test::OwnedSkinObject o = Load(
        "object O: TVxBitmapBoxObject; Width = 20; Height = 20; Masked = False; Bitmap @ Keyed"
        ";MarginLeft = 3; MarginTop = 3; MarginRight = 3; MarginBottom = 3; end");
    Surface s(20, 20);
    o->Draw(s.Canvas());
    for (TPoint corner : {TPoint{0, 0}, TPoint{19, 0}, TPoint{0, 19}, TPoint{19, 19}}) {
        EXPECT_EQ(s.At(corner.X, corner.Y), Surface::kBackground) << corner.X << "," << corner.Y;
    }
    // The top band tiles source columns 3..6 from x = 3: the key at column 5 repeats every 4.
    EXPECT_EQ(s.At(5, 0), Surface::kBackground);
    EXPECT_EQ(s.At(9, 0), Surface::kBackground);
    EXPECT_EQ(s.At(6, 0), kA);
    EXPECT_EQ(Count(s, {1, 1, 19, 19}, kA), 18 * 18);

    // Without margins it is a plain bitmap; absurd margins from a file stay harmless.
    auto& box = static_cast<TVxBitmapBoxObject&>(*o);
    box.SetMarginLeft(0);
    box.SetMarginTop(0);
    box.SetMarginRight(0);
    box.SetMarginBottom(0);
    box.SetTileStyle(tsCenter);
    EXPECT_EQ(PaintedAt(box, {5, 5}), Surface::kBackground);
    EXPECT_EQ(PaintedAt(box, {6, 5}), kA);
    box.SetMarginLeft(std::numeric_limits<int32_t>::max());
    box.SetMarginBottom(std::numeric_limits<int32_t>::min());
    PaintedAt(box, {0, 0});
}

TEST_F(CompositeKindsTest, BoxKindsPickTheStateImage) {
    test::OwnedSkinObject tree = Load(
        "object Form: TVxSkinObject"
        ";object Active: TVxActiveBitmapBoxObject; Width = 10; Height = 10; Bitmap @ A; FocusedBitmap @ C; end"
        ";object Button: TVxButtonBitmapBoxObject; Left = 10; Width = 10; Height = 10; Bitmap @ A"
        ";  HotBitmap @ C; PressedBitmap @ D; FocusedBitmap @ E; DisabledBitmap @ F; end"
        ";end");
    auto paints = [&](uint8_t state) {
        tree->SetState(state);
        return std::pair{PaintedAt(Find(*tree, "Active"), {5, 5}), PaintedAt(Find(*tree, "Button"), {15, 5})};
    };
    EXPECT_EQ(paints(0), std::pair(kA, kA));
    EXPECT_EQ(paints(5), std::pair(kC, kC));
    EXPECT_EQ(paints(6), std::pair(kA, kD));
    EXPECT_EQ(paints(7), std::pair(kC, kE));
    EXPECT_EQ(paints(8), std::pair(kA, kF));

    // An unresolved Bitmap draws nothing, however resolved the state's image is.
    Find<TVxButtonBitmapBoxObject>(*tree, "Button").SetBitmap(TVxBitmapLink());
    EXPECT_EQ(paints(5).second, Surface::kBackground);
}

TEST_F(CompositeKindsTest, SysButtonPaintsHoverAndDownAndActsOnItsForm) {
    test::OwnedSkinObject b = Load(
        "object B: TVxSysButtonSkinObject; Width = 16; Height = 16; Action = sbaClose"
        ";Bitmap @ A; BitmapHover @ C; BitmapDown @ D; end");
    auto& button = static_cast<TVxSysButtonSkinObject&>(*b);
    test::TFakeSkinHost host;
    test::TFakeFormActions form;
    host.Form = &form;
    button.SetControl(&host);
    EXPECT_EQ(PaintedAt(button, {5, 5}), kA);
    button.MouseEnter();
    EXPECT_EQ(PaintedAt(button, {5, 5}), kC);
    button.MouseDown(mbLeft, 1, 1);
    EXPECT_EQ(PaintedAt(button, {5, 5}), kD);
    button.SetActive(true);  // the active window changes nothing
    EXPECT_EQ(PaintedAt(button, {5, 5}), kD);
    button.MouseUp(mbLeft, 1, 1);
    EXPECT_EQ(form.Calls, std::vector<std::string>{"Close"});
    EXPECT_EQ(PaintedAt(button, {5, 5}), kC);
    button.MouseLeave();
    EXPECT_EQ(PaintedAt(button, {5, 5}), kA);
    EXPECT_EQ(host.Changed.size(), 4u);

    form.Icons = BorderIconSet({kbiMinimize});
    button.SetState(0);
    EXPECT_FALSE(button.Visible);
    button.SetBitmap(TVxBitmapLink());  // the pointer's images never stand in for Bitmap
    button.MouseEnter();
    EXPECT_EQ(PaintedAt(button, {5, 5}), Surface::kBackground);
    button.SetAction(sbaSysMenu);
    host.IsForm = true;
    EXPECT_EQ(PaintedAt(button, {5, 5}), ColorToPixel(host.IconColor));
}

TEST_F(CompositeKindsTest, SysButtonRollsOnlyARollPanelOfItsTree) {
    test::OwnedSkinObject tree = Load(
        "object Form: TVxSkinObject; Width = 400; Height = 50"
        ";object Panel: TVxRollPanelObject; Left = 100; Width = 200; Height = 50; RollValue = 20; end"
        ";object Plain: TVxSkinObject; end"
        ";object Caption: TVxSkinObject"
        ";  object Roll: TVxSysButtonSkinObject; Action = sbaRollPanel; RollPanel = 'panel'; end"
        ";end;end");
    auto& button = Find<TVxSysButtonSkinObject>(*tree, "Roll");
    auto& panel = Find<TVxRollPanelObject>(*tree, "Panel");
    test::TFakeSkinHost host;
    test::TFakeFormActions form;
    tree->SetControl(&host);
    auto click = [&] {
        button.MouseDown(mbLeft, 0, 0);
        button.MouseUp(mbLeft, 0, 0);
        return std::pair{panel.Left(), panel.Width()};
    };
    EXPECT_EQ(click(), std::pair(100, 200));  // no form: nothing
    host.Form = &form;
    EXPECT_EQ(click(), std::pair(280, 20));
    EXPECT_EQ(host.MessageRuns, 1);
    EXPECT_EQ(click(), std::pair(100, 200));
    for (const char* name : {"Plain", "Missing", ""}) {
        button.SetRollPanel(name);
        EXPECT_EQ(click(), std::pair(100, 200)) << name;
    }
    EXPECT_TRUE(form.Calls.empty());
}

// A skin change among the messages a roll lets run frees the host's copy of the tree while
// its button is still clicking; AddressSanitizer catches any touch after that.
TEST_F(CompositeKindsTest, ClickSurvivesARollWhoseMessagesFreeTheTree) {
    struct TSkinChangingHost : test::TFakeSkinHost {
        test::OwnedSkinObject* Copy = nullptr;
        void ProcessMessages() override { Copy->reset(); }
    };
    test::OwnedSkinObject tree = Load(
        "object Form: TVxSkinObject; Width = 400; Height = 50"
        ";object Panel: TVxRollPanelObject; Width = 200; Height = 50; RollValue = 20; end"
        ";object Roll: TVxSysButtonSkinObject; Action = sbaRollPanel; RollPanel = 'Panel'; end;end");
    auto& button = Find<TVxSysButtonSkinObject>(*tree, "Roll");
    TSkinChangingHost host;
    test::TFakeFormActions form;
    host.Form = &form;
    host.Copy = &tree;
    tree->SetControl(&host);
    button.MouseDown(mbLeft, 0, 0);
    button.MouseUp(mbLeft, 0, 0);
    EXPECT_EQ(tree, nullptr);
}

TEST_F(CompositeKindsTest, RollPanelKeepsTheFarEdgeAndRemembersItsSize) {
    test::OwnedSkinObject tree = Load(
        "object Form: TVxSkinObject"
        ";object Panel: TVxRollPanelObject; Left = 100; Top = 50; Width = 200; Height = 80; RollValue = 20"
        ";  object Fill: TVxSkinObject; Align = saClient; end"
        ";end;end");
    auto& panel = Find<TVxRollPanelObject>(*tree, "Panel");
    auto roll = [&](TVxRollKind kind) {
        panel.SetRollKind(kind);
        panel.Roll();
        return panel.BoundsRect();
    };
    EXPECT_EQ(roll(rkLeft), Bounds(280, 50, 20, 80));
    EXPECT_EQ(Find(*tree, "Fill").BoundsRect(), Bounds(280, 50, 20, 80));  // realigned
    EXPECT_EQ(roll(rkLeft), Bounds(100, 50, 200, 80));
    EXPECT_EQ(roll(rkTop), Bounds(100, 110, 200, 20));
    EXPECT_EQ(roll(rkTop), Bounds(100, 50, 200, 80));
    EXPECT_EQ(roll(rkRight), Bounds(100, 50, 20, 80));
    EXPECT_EQ(roll(rkBottom), Bounds(100, 50, 20, 20));
    EXPECT_EQ(roll(rkBottom), Bounds(100, 50, 20, 80));

    // Already at RollValue before the first roll: it rolls out to a RestoreSize of 0.
    test::TFakeSkinHost host;
    auto* fresh = new TVxRollPanelObject(tree.get());
    fresh->SetControl(&host);
    fresh->SetBounds(10, 10, 20, 30);
    fresh->SetRollValue(20);
    fresh->Roll();
    EXPECT_EQ(fresh->BoundsRect(), Bounds(30, 10, 0, 30));
    EXPECT_EQ(host.FormRequests, 1);
    EXPECT_EQ(host.MessageRuns, 1);

    test::OwnedSkinObject alone(new TVxRollPanelObject(nullptr));  // no tree: nothing
    alone->SetBounds(0, 0, 200, 10);
    static_cast<TVxRollPanelObject&>(*alone).Roll();
    EXPECT_EQ(alone->Width(), 200);
}

// Whether the object paints its bounds' corner in fill and its caption in ink.
bool Looks(TVxSkinObject& object, TColor fill, TColor ink) {
    Surface s(30, 10);
    object.Draw(s.Canvas());
    return s.At(29, 9) == ColorToPixel(fill) && s.Count({0, 0, 30, 10}, ink) > 0;
}

TEST_F(CompositeKindsTest, ActiveObjectTakesItsLookWhileHotOrFocused) {
    test::OwnedSkinObject o = Load(
        "object O: TVxActiveSkinObject; Width = 30; Height = 10; Color = clRed; Font.Color = clYellow"
        ";ActiveColor = clBlue; ActiveFont.Color = clLime; end");
    auto& object = static_cast<TVxActiveSkinObject&>(*o);
    object.Text = u"Hi";
    test::TFakeSkinHost host;
    object.SetControl(&host);
    EXPECT_TRUE(Looks(object, clRed, clYellow));
    object.MouseEnter();
    EXPECT_EQ(object.State, 5);
    EXPECT_TRUE(Looks(object, clBlue, clLime));
    EXPECT_EQ(&object.CaptionFont(), &object.ActiveFont());  // measured as painted
    object.MouseLeave();
    EXPECT_TRUE(Looks(object, clRed, clYellow));
    EXPECT_EQ(host.Changed.size(), 2u);
    object.SetState(7);
    EXPECT_TRUE(Looks(object, clBlue, clLime));
    object.SetState(6);
    object.SetActive(true);
    EXPECT_TRUE(Looks(object, clRed, clYellow));

    object.ChangeHue(40);
    EXPECT_NE(object.ActiveColor(), clBlue);
    EXPECT_NE(object.ActiveFont().Color(), clLime);
    object.SetActiveColor(clNone);
    object.ChangeHue(40);
    EXPECT_EQ(object.ActiveColor(), clNone);
}

TEST_F(CompositeKindsTest, ColorButtonTakesEachStatesLookAndPutsItBack) {
    test::OwnedSkinObject o = Load(
        "object O: TVxColorButtonObject; Width = 30; Height = 10; Color = clWhite; Font.Color = clBlack"
        ";HotColor = clRed; HotFont.Color = clYellow; PressedColor = clBlue; PressedFont.Color = clLime"
        ";FocusedColor = clGreen; FocusedFont.Color = clAqua; DisabledColor = clGray"
        ";DisabledFont.Color = clFuchsia; end");
    o->Text = u"Hi";
    const TFontData font = o->Font().Data();
    const std::pair<TColor, TColor> looks[] = {
        {clWhite, clBlack}, {clRed, clYellow}, {clBlue, clLime}, {clGreen, clAqua}, {clGray, clFuchsia}};
    for (uint8_t state : {0, 5, 6, 7, 8}) {
        o->SetState(state);
        EXPECT_TRUE(Looks(*o, looks[state == 0 ? 0 : state - 4].first, looks[state == 0 ? 0 : state - 4].second))
            << int(state);
        EXPECT_EQ(o->Color(), clWhite);
        EXPECT_EQ(o->Font().Data(), font);
    }
}

TEST_F(CompositeKindsTest, SwapsAreUndoneWhenPaintingFails) {
    test::OwnedSkinObject tree = Load(
        "object Form: TVxSkinObject"
        ";object Pic: TVxFormBitmapSkinObject; Width = 10; Height = 10; Bitmap @ A; InactiveBitmap @ C; end"
        ";object Btn: TVxSysButtonSkinObject; Width = 10; Height = 10; Bitmap @ A; BitmapHover @ C; end"
        ";object Box: TVxButtonBitmapBoxObject; Width = 10; Height = 10; Bitmap @ A; HotBitmap @ C; end"
        ";object Focus: TVxActiveBitmapBoxObject; Width = 10; Height = 10; Bitmap @ A; FocusedBitmap @ C; end"
        ";object Look: TVxActiveSkinObject; Width = 10; Height = 10; ActiveColor = clBlue"
        ";  ActiveFont.Name = 'Tahoma'; end"
        ";object Cell: TVxColorButtonObject; Width = 10; Height = 10; HotColor = clBlue"
        ";  HotFont.Name = 'Tahoma'; end"
        ";end");
    tree->SetState(5);
    Find<TVxSysButtonSkinObject>(*tree, "Btn").MouseEnter();
    TPixel pixel = 0;
    TFailingCanvas failing(TPixelSurface{&pixel, 1, 1});
    for (const char* name : {"Pic", "Btn", "Box", "Focus", "Look", "Cell"}) {
        TVxSkinObject& o = Find(*tree, name);
        const TColor color = o.Color();
        const TFontData font = o.Font().Data();
        EXPECT_THROW(o.Draw(failing), std::runtime_error) << name;
        EXPECT_EQ(o.Color(), color) << name;
        EXPECT_EQ(o.Font().Data(), font) << name;
        if (auto* bitmap = dynamic_cast<TVxBitmapSkinObject*>(&o)) {
            EXPECT_EQ(bitmap->Bitmap().Name(), "A") << name;
            EXPECT_EQ(PaintedAt(o, {5, 5}), kC) << name;  // the state image is still there to swap in
        }
    }
}

TEST_F(CompositeKindsTest, LinkPlaceholderShowsOnlyInTheDesignState) {
    test::OwnedSkinObject o = Load(
        "object Where: TVxLinkSkinObject; Width = 60; Height = 16; LinkControl = 'Edit1'"
        ";object Child: TVxSkinObject; Width = 60; Height = 16; Color = clBlue; end;end");
    Surface idle(60, 16);
    o->Draw(idle.Canvas());
    EXPECT_EQ(Count(idle, {0, 0, 60, 16}, Surface::kBackground), 60 * 16);  // children neither

    o->SetState(1);
    Surface design(60, 16);
    o->Draw(design.Canvas());
    EXPECT_EQ(design.Count({0, 0, 60, 1}, clBlack) + design.Count({0, 15, 60, 16}, clBlack), 120);
    EXPECT_EQ(design.Count({0, 1, 1, 15}, clBlack) + design.Count({59, 1, 60, 15}, clBlack), 28);
    const int ink = design.Count({1, 1, 59, 15}, clBlack);
    EXPECT_GT(ink, 0);
    EXPECT_EQ(ink + design.Count({1, 1, 59, 15}, clWhite), 58 * 14);  // black on white only
    // Centred: as much free space left of the text as right of it, give or take a pixel.
    int left = 1, right = 58;
    while (left < 59 && design.Count({left, 1, left + 1, 15}, clBlack) == 0) {
        ++left;
    }
    while (right > 0 && design.Count({right, 1, right + 1, 15}, clBlack) == 0) {
        --right;
    }
    EXPECT_LE(std::abs((left - 1) - (58 - right)), 2);
}

}  // namespace
}  // namespace zaprelay::skin
