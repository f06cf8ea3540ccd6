// The skinned control bases on real framework forms: setters' rules, the frame's geometry,
// painting in every buffering mode read back from a DIB, transparency over plain and skinned
// forms and over another skinned control, and mouse and focus tracking.
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/forms.h"
#include "skin/controls/vx_custom_control.h"
#include "skin/controls/vx_graphic_control.h"
#include "skin/form/background_request.h"
#include "skin/form/vx_custom_form.h"
#include "tests/win32/control_form_fixture.h"
#include "tests/win32/skin_form_fixture.h"
#include "tests/win32/test_support.h"

#include <array>
#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace zaprelay::skin {
namespace {

using test::kFormColor;
constexpr TColor kControlColor = 0x00102030;
constexpr TColor kMarkColor = 0x000000F0;
constexpr TColor kStripeColors[2] = {0x00C00000, 0x0000C000};
constexpr std::array<TVxPerformance, 3> kModes{kspNoBuffer, kspSharedBuffer, kspDoubleBuffer};

using test::Rgb;

// Marks a square of its client so that a lost or shifted content shows, and counts paints and
// the background requests it receives from children.
class TProbe : public TVxCustomControl {
public:
    using TVxCustomControl::DoMouseEnter;
    // The bevels as drawn, not the visual style's frame.
    explicit TProbe(TComponent* owner) : TVxCustomControl(owner) { SetThemedFrame(false); }

    void WndProc(TMessage& message) override {
        if (message.Msg == WM_ERASEBKGND && ReadBackgroundRequest(message.LParam) != nullptr) {
            ++Requests;
        }
        TVxCustomControl::WndProc(message);
    }
    int ClientPaints = 0;
    int Requests = 0;
    bool Mark = true;

protected:
    void PaintClient() override {
        ++ClientPaints;
        TVxCustomControl::PaintClient();
        if (Mark) {
            PaintCanvas().FillRect({4, 4, 10, 10}, kMarkColor);
        }
    }
};

class TGraphicProbe : public TVxGraphicControl {
public:
    using TVxGraphicControl::TVxGraphicControl;
};

class VxControlsTest : public test::ControlFormTest {
protected:
    template <typename C>
    C* Place(win32::TWinControl* parent, const TRect& bounds) {
        auto* c = new C(form);
        c->SetParent(parent);
        c->SetBoundsRect(bounds);
        c->SetColor(kControlColor);
        return c;
    }

    // The form component with a client background of vertical stripes 3 pixels wide, so that
    // a background taken from the wrong place shows.
    TVxCustomForm* SkinForm() {
        auto* vx = new TVxCustomForm(form);
        vx->SetMinimizeApplication(false);
        vx->OnPaint = [vx](TObject*) {
            const TRect area = vx->GetClientArea();
            for (int32_t x = 0; x < area.Width(); x += 3) {
                vx->Canvas()->FillRect({x, 0, x + 3, area.Height()}, kStripeColors[(x / 3) % 2]);
            }
        };
        vx->AfterRead();
        test::ProcessPendingMessages();
        return vx;
    }
    static uint32_t Stripe(int32_t formX) { return Rgb(kStripeColors[(formX / 3) % 2]); }
};

TEST_F(VxControlsTest, PublishedPropertiesStartAtTheirStreamDefaults) {
    auto* windowed = new TProbe(form);
    auto* windowless = new TGraphicProbe(form);
    const std::pair<win32::TControl*, const TClassInfo*> controls[] = {
        {windowed, &TVxCustomControl::StaticClassInfo()},
        {windowless, &TVxGraphicControl::StaticClassInfo()},
    };
    for (auto [control, info] : controls) {
        for (const char* name : {"Performance", "Transparent"}) {
            const TPropInfo* prop = info->FindProperty(name);
            ASSERT_NE(prop, nullptr) << info->Name() << "." << name;
            EXPECT_EQ(prop->GetOrd(*control), prop->Default) << info->Name() << "." << name;
        }
        const TPropInfo* blending = info->FindProperty("Blending");
        ASSERT_NE(blending, nullptr) << info->Name();
        const auto* options = static_cast<TVxBlending*>(blending->GetObject(*control));
        EXPECT_FALSE(options->Enabled()) << info->Name();
        EXPECT_EQ(options->Value(), 150) << info->Name();
        EXPECT_EQ(control->Color(), clBtnFace) << info->Name();
        EXPECT_EQ(control->BoundsRect(), (TRect{0, 0, 100, 30})) << info->Name();
    }
    // The stream's setter keeps the rule too.
    windowed->Blending()->SetEnabled(true);
    TVxCustomControl::StaticClassInfo().FindProperty("Performance")->SetOrd(*windowed, kspNoBuffer);
    EXPECT_EQ(windowed->Performance(), kspDoubleBuffer);
}

TEST_F(VxControlsTest, ZeroSizePaintsNothingAndAsksNoBackground) {
    auto* parent = Place<TProbe>(form, {10, 10, 200, 150});
    parent->Mark = false;
    for (TPoint size : {TPoint{0, 30}, TPoint{100, 0}}) {
        for (TVxPerformance mode : kModes) {
            auto* child = Place<TProbe>(parent, {5, 5, 5 + size.X, 5 + size.Y});
            child->SetTransparent(true);
            child->SetPerformance(mode);
            parent->Requests = 0;
            const std::vector<uint32_t> pixels = Painted(*child);
            EXPECT_EQ(child->ClientPaints, 0) << size.X << "x" << size.Y << " mode " << int(mode);
            EXPECT_EQ(parent->Requests, 0) << size.X << "x" << size.Y << " mode " << int(mode);
            EXPECT_EQ(pixels[0], 0xABCDEFu);
            child->Free();
        }
    }
}

TEST_F(VxControlsTest, BlendingForcesABufferAndKeepsIt) {
    TVxBlending enabled;
    enabled.SetEnabled(true);
    auto* windowed = Place<TProbe>(form, {0, 0, 50, 20});
    auto* windowless = Place<TGraphicProbe>(form, {0, 30, 50, 50});
    // Through the owned object's own notice and through the property's copy.
    windowed->Blending()->SetEnabled(true);
    windowless->SetBlending(enabled);
    EXPECT_EQ(windowed->Performance(), kspDoubleBuffer);
    EXPECT_EQ(windowless->Performance(), kspDoubleBuffer);

    windowed->SetPerformance(kspNoBuffer);
    windowless->SetPerformance(kspNoBuffer);
    EXPECT_EQ(windowed->Performance(), kspDoubleBuffer);
    EXPECT_EQ(windowless->Performance(), kspDoubleBuffer);

    windowed->SetPerformance(kspSharedBuffer);
    windowed->SetBlending(enabled);
    EXPECT_EQ(windowed->Performance(), kspSharedBuffer);  // a buffer already: kept

    windowed->Blending()->SetEnabled(false);
    windowed->SetPerformance(kspNoBuffer);
    EXPECT_EQ(windowed->Performance(), kspNoBuffer);
}

TEST_F(VxControlsTest, BlendingLaysTheImageOverTheParentAtItsAlpha) {
    auto channel = [](uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); };
    for (bool graphic : {false, true}) {
        for (TVxPerformance mode : {kspSharedBuffer, kspDoubleBuffer}) {
            TVxBlending half;
            half.SetEnabled(true);
            half.SetValue(100);
            win32::TControl* control = nullptr;
            if (graphic) {
                auto* g = Place<TGraphicProbe>(form, {20, 20, 60, 40});
                g->SetPerformance(mode);
                g->SetBlending(half);
                control = g;
            } else {
                auto* w = Place<TProbe>(form, {20, 20, 60, 40});
                w->SetPerformance(mode);
                w->SetBlending(half);
                control = w;
            }
            const uint32_t pixel = Painted(*control)[15 * 40 + 30];
            const uint32_t front = Rgb(kControlColor);
            const uint32_t back = Rgb(kFormColor);
            for (int shift : {0, 8, 16}) {
                const int expected = (channel(front, shift) * 100 + channel(back, shift) * 155) / 255;
                EXPECT_NEAR(channel(pixel, shift), expected, 2)
                    << (graphic ? "window-less" : "windowed") << " mode " << int(mode) << " shift " << shift;
            }
            control->Free();
        }
    }
}

TEST_F(VxControlsTest, BlendedWindowlessSiblingsShowEachOtherOnce) {
    TVxBlending half;
    half.SetEnabled(true);
    half.SetValue(128);
    auto* left = Place<TGraphicProbe>(form, {10, 10, 50, 30});
    auto* right = Place<TGraphicProbe>(form, {30, 10, 70, 30});
    for (TGraphicProbe* c : {left, right}) {
        c->SetTransparent(true);
        c->SetBlending(half);
    }
    right->SetColor(kMarkColor);
    right->SetTransparent(false);
    // left's background carries right's look where they overlap, and nothing recurses.
    const std::vector<uint32_t> pixels = Painted(*left);
    EXPECT_NE(pixels[10 * 40 + 30], pixels[10 * 40 + 5]);
    EXPECT_EQ(pixels[10 * 40 + 5], Rgb(kFormColor));
}

TEST_F(VxControlsTest, EveryBufferingModePaintsTheSameImage) {
    auto* skinned = SkinForm();
    (void)skinned;
    struct Case {
        const char* name;
        bool transparent;
        bool graphic;
    };
    for (const Case& c : {Case{"opaque", false, false}, Case{"transparent", true, false},
                          Case{"window-less opaque", false, true}, Case{"window-less transparent", true, true}}) {
        std::vector<std::vector<uint32_t>> images;
        for (TVxPerformance mode : kModes) {
            win32::TControl* control = nullptr;
            if (c.graphic) {
                auto* g = Place<TGraphicProbe>(form, {31, 17, 91, 57});
                g->SetTransparent(c.transparent);
                g->SetPerformance(mode);
                control = g;
            } else {
                auto* w = Place<TProbe>(form, {31, 17, 91, 57});
                w->SetTransparent(c.transparent);
                w->SetPerformance(mode);
                w->SetBevelKind(kbkSingle);
                w->SetBevelWidth(1);
                w->SetBorderWidth(1);
                control = w;
            }
            images.push_back(Painted(*control));
            control->Free();
        }
        EXPECT_EQ(images[1], images[0]) << c.name << ": shared buffer";
        EXPECT_EQ(images[2], images[0]) << c.name << ": double buffer";
        // Inside the frame: the control's colour, or the stripe under it on the form.
        const uint32_t inside = images[0][12 * 60 + 20];
        EXPECT_EQ(inside, c.transparent ? Stripe(31 + 20) : Rgb(kControlColor)) << c.name;
        if (!c.graphic) {
            EXPECT_EQ(images[0][0], Rgb(static_cast<TColor>(clBtnShadow))) << c.name << ": outer bevel";
            EXPECT_EQ(images[0][5 * 60 + 5], Rgb(kMarkColor)) << c.name << ": content";
        }
    }
}

TEST_F(VxControlsTest, TransparentControlShowsTheFormBackground) {
    for (bool skinnedForm : {false, true}) {
        if (skinnedForm) {
            SkinForm();
        }
        for (TVxPerformance mode : kModes) {
            auto* control = Place<TProbe>(form, {40, 25, 70, 45});
            control->SetTransparent(true);
            control->SetPerformance(mode);
            control->Mark = false;
            const std::vector<uint32_t> pixels = Painted(*control);
            for (int32_t x : {0, 1, 2, 3, 29}) {
                const uint32_t expected = skinnedForm ? Stripe(40 + x) : Rgb(kFormColor);
                EXPECT_EQ(pixels[10 * 30 + x], expected)
                    << "skinned " << skinnedForm << " mode " << int(mode) << " x " << x;
            }
            control->Free();
        }
    }
}

TEST_F(VxControlsTest, TransparentControlShowsTheSkinnedParentLookRecursively) {
    SkinForm();
    // A transparent parent with a raised bevel over the stripes, a transparent child inside it
    // at (1, 1): the child shows the parent's inner bevel ring, then the stripes.
    auto* parent = Place<TProbe>(form, {30, 20, 130, 80});
    parent->Mark = false;
    parent->SetTransparent(true);
    parent->SetBevelOuter(kbvRaised);
    parent->SetBevelInner(kbvRaised);
    parent->SetBevelWidth(1);
    for (TVxPerformance mode : kModes) {
        auto* child = Place<TProbe>(parent, {1, 1, 41, 21});
        child->Mark = false;
        child->SetTransparent(true);
        child->SetPerformance(mode);
        const std::vector<uint32_t> pixels = Painted(*child);
        EXPECT_EQ(pixels[0], Rgb(static_cast<TColor>(clBtnShadow))) << "mode " << int(mode);
        EXPECT_EQ(pixels[5 * 40 + 10], Stripe(30 + 1 + 10)) << "mode " << int(mode);
        child->Free();
    }
}

TEST_F(VxControlsTest, ChildAsksItsParentAlsoInsideAMessageFromAnotherThread) {
    // As when the shell's tray notification, sent from its own process, restores the window.
    SkinForm();
    auto* parent = Place<TProbe>(form, {30, 20, 130, 80});
    parent->Mark = false;
    parent->SetTransparent(true);
    auto* child = Place<TProbe>(parent, {10, 10, 50, 30});
    child->Mark = false;
    child->SetTransparent(true);
    child->SetPerformance(kspDoubleBuffer);
    test::TSurface surface({40, 20}, 0x00ABCDEF);
    HWND window = child->Handle();
    HDC dc = surface.DC();
    std::atomic<bool> done{false};
    std::thread sender([&] {
        SendMessageW(window, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        done = true;
    });
    EXPECT_TRUE(test::PumpUntil([&] { return done.load(); }, 5000));
    sender.join();
    EXPECT_EQ(surface.Pixels()[5 * 40 + 5], Stripe(30 + 10 + 5));
    // An address no request of ours is being asked at is not taken for one.
    const BackgroundRequest stale{};
    EXPECT_EQ(ReadBackgroundRequest(reinterpret_cast<intptr_t>(&stale)), nullptr);
}

TEST_F(VxControlsTest, FormComponentPaintsOnlyTheRequestedPart) {
    TVxCustomForm* vx = SkinForm();
    const TRect area = vx->GetClientArea();
    // Unbuffered the form clips to the part; buffered it copies only the part out.
    for (TVxFormPerformance performance : {ksfpNoBuffer, ksfpDoubleBuffer}) {
        vx->SetPerformance(performance);
        test::TSurface surface({area.Width(), area.Height()}, 0x00ABCDEF);
        const TAskedBackground request({10, 5, 20, 9}, true);
        SendMessageW(vx->Window(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(surface.DC()), request.LParam());
        const std::vector<uint32_t> pixels = surface.Pixels();
        auto at = [&](int32_t x, int32_t y) { return pixels[static_cast<std::size_t>(y * area.Width() + x)]; };
        EXPECT_EQ(at(10, 5), Stripe(10)) << "form mode " << int(performance);
        EXPECT_EQ(at(19, 8), Stripe(19)) << "form mode " << int(performance);
        for (TPoint outside : {TPoint{9, 5}, TPoint{20, 8}, TPoint{10, 4}, TPoint{19, 9}}) {
            EXPECT_EQ(at(outside.X, outside.Y), 0xABCDEFu)
                << "form mode " << int(performance) << " at " << outside.X << "," << outside.Y;
        }
    }
}

TEST_F(VxControlsTest, InnerRectFollowsBorderBevelsAndSides) {
    constexpr TVxBevelSides kLeftTop = (1u << kbsLeft) | (1u << kbsTop);
    struct Case {
        int32_t border;
        int32_t bevelWidth;
        TVxBevelCut inner;
        TVxBevelCut outer;
        TVxBevelSides sides;
        TRect expected;
    };
    const Case cases[] = {
        {0, 0, kbvLowered, kbvLowered, kAllBevelSides, {0, 0, 100, 30}},
        {2, 0, kbvLowered, kbvLowered, kAllBevelSides, {2, 2, 98, 28}},
        {0, 3, kbvLowered, kbvLowered, kAllBevelSides, {6, 6, 94, 24}},
        {0, 3, kbvNone, kbvRaised, kAllBevelSides, {3, 3, 97, 27}},
        {0, 3, kbvNone, kbvNone, kAllBevelSides, {0, 0, 100, 30}},
        {1, 2, kbvSpace, kbvLowered, kLeftTop, {5, 5, 99, 29}},
        {1, 2, kbvSpace, kbvLowered, 0, {1, 1, 99, 29}},
    };
    auto* control = Place<TProbe>(form, {0, 0, 100, 30});
    for (const Case& c : cases) {
        control->SetBorderWidth(c.border);
        control->SetBevelWidth(c.bevelWidth);
        control->SetBevelInner(c.inner);
        control->SetBevelOuter(c.outer);
        control->SetBevelSides(c.sides);
        const TRect r = control->GetInnerRect();
        EXPECT_EQ(r, c.expected) << "border " << c.border << " bevel " << c.bevelWidth << " cuts " << int(c.inner)
                                 << "/" << int(c.outer) << " sides " << c.sides << ": got " << r.Left << "," << r.Top
                                 << "," << r.Right << "," << r.Bottom;
    }
}

TEST_F(VxControlsTest, BevelKindPresetsBothCutsAndACutResetsTheKind) {
    const std::pair<TVxBevelKind, TVxBevelCut> presets[] = {
        {kbkSingle, kbvLowered}, {kbkTile, kbvLowered},    {kbkSoft, kbvLowered},
        {kbkBorder, kbvBorder},  {kbkFlat, kbvFlatBorder},
    };
    auto* control = Place<TProbe>(form, {0, 0, 100, 30});
    for (auto [kind, cut] : presets) {
        control->SetBevelInner(kbvRaised);
        control->SetBevelOuter(kbvSpace);
        control->SetBevelKind(kind);
        EXPECT_EQ(control->BevelInner(), cut) << int(kind);
        EXPECT_EQ(control->BevelOuter(), cut) << int(kind);
        control->SetBevelOuter(kbvRaised);
        EXPECT_EQ(control->BevelKind(), kbkNone) << int(kind);
        EXPECT_EQ(control->BevelInner(), cut) << int(kind);
    }
}

TEST_F(VxControlsTest, MouseAndFocusFlagsFollowTheControl) {
    auto* first = Place<TProbe>(form, {10, 10, 60, 30});
    auto* second = Place<TProbe>(form, {10, 40, 60, 60});
    std::vector<std::string> seen;
    first->OnMouseEnter = [&](TObject*) { seen.push_back(first->MouseInControl() ? "enter in" : "enter out"); };
    first->OnMouseLeave = [&](TObject*) { seen.push_back(first->MouseInControl() ? "leave in" : "leave out"); };
    first->Perform(win32::CM_MOUSEENTER);
    EXPECT_TRUE(first->MouseInControl());
    EXPECT_TRUE(first->MouseInside());
    first->Perform(win32::CM_MOUSELEAVE);
    EXPECT_FALSE(first->MouseInControl());
    EXPECT_EQ(seen, (std::vector<std::string>{"enter in", "leave out"}));

    SetForegroundWindow(form->Handle());
    ::SetFocus(first->Handle());
    EXPECT_TRUE(first->HasFocus());
    ::SetFocus(second->Handle());
    EXPECT_FALSE(first->HasFocus());
    EXPECT_TRUE(second->HasFocus());
}

}  // namespace
}  // namespace zaprelay::skin
