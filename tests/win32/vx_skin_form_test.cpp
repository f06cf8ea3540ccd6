// The skin-bound form on real windows: binding to Plum and to a small skin of the test's own,
// the frame's shape, client area, hit test and paint from the skin, caption buttons driven by
// real mouse input, and falling back to the default look when the skin goes.
#include "skin/form/vx_skin_form.h"

#include "framework/graphics/raster_canvas.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/class_registry.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/streams.h"
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/edit.h"
#include "framework/win32/forms.h"
#include "framework/win32/timer.h"
#include "skin/form/tray_icon.h"
#include "skin/form/window_skin_announcer.h"
#include "skin/form/window_skin_host.h"
#include "skin/objects/skin_messages.h"
#include "skin/objects/skin_object_io.h"
#include "skin/objects/skin_object_text.h"
#include "skin/objects/sys_button_skin_object.h"
#include "skin/store/skin_classes.h"
#include "skin/store/vx_veneer.h"
#include "tests/win32/input.h"
#include "tests/win32/skin_form_fixture.h"
#include "tests/win32/test_skin.h"
#include "tests/win32/test_support.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

using test::Centre;
using test::g_shell;
using test::IconsShown;
using test::PumpUntil;
using test::RecordShell;
using test::ScreenParam;
using test::WindowBounds;

// A frame of plain colours: caption with title and three buttons, borders, a client area with
// a place for an edit box; a fixed-size form without a client; a tool window.
constexpr char kFrameSkin[] = R"(object Form: TVxSkinObject
  Color = 8421376
  Kind = skForm
  Left = 0
  Top = 0
  Height = 150
  Width = 200
  object Caption: TVxSkinObject
    Align = saTop
    Color = 8388608
    Kind = skCaption
    Height = 24
    Width = 200
    object Corner: TVxBitmapObject
      Align = saLeft
      Kind = skCaption
      Height = 24
      Width = 6
      Bitmap.Name = 'CORNER.bmp'
      Bitmap.Right = 6
      Bitmap.Bottom = 24
    end
    object Buttons: TVxSkinObject
      Align = saRight
      Color = 8388608
      Kind = skCaption
      Masked = False
      Height = 24
      Width = 80
      object Close: TVxSysButtonSkinObject
        Align = saRight
        Kind = skSysButton
        Height = 24
        Width = 20
        Action = sbaClose
      end
      object Tray: TVxSysButtonSkinObject
        Align = saRight
        Kind = skSysButton
        Height = 24
        Width = 20
        Action = sbaTray
      end
      object Custom: TVxSysButtonSkinObject
        Align = saRight
        Kind = skSysButton
        Height = 24
        Width = 20
        Action = sbaCustom
      end
      object Roll: TVxSysButtonSkinObject
        Align = saRight
        Kind = skSysButton
        Height = 24
        Width = 20
        Action = sbaRollPanel
        RollPanel = 'Drawer'
      end
    end
    object Title: TVxSkinObject
      Align = saClient
      Color = 8388608
      Kind = skTitle
      Height = 24
      Width = 114
    end
  end
  object LeftEdge: TVxSkinObject
    Align = saLeft
    Color = 128
    Kind = skLeft
    Width = 4
    Height = 126
  end
  object RightEdge: TVxSkinObject
    Align = saRight
    Color = 128
    Kind = skRight
    Width = 4
    Height = 126
  end
  object BottomEdge: TVxSkinObject
    Align = saBottom
    Color = 128
    Kind = skBottom
    Width = 200
    Height = 4
  end
  object Client: TVxSkinObject
    Align = saClient
    Color = 4227072
    DrawIfOwner = True
    Kind = skClient
    Masked = False
    Left = 4
    Top = 24
    Height = 122
    Width = 192
    object EditPlace: TVxLinkSkinObject
      Left = 14
      Top = 34
      Height = 20
      Width = 100
      LinkControl = 'edit1'
    end
    object Drawer: TVxRollPanelObject
      Color = 255
      Kind = skNone
      Left = 130
      Top = 34
      Height = 40
      Width = 60
      RollKind = rkTop
      RollValue = 10
    end
  end
end)";

constexpr char kFixedSkin[] = R"(object Badge: TVxSkinObject
  Color = 32768
  Kind = skForm
  Height = 90
  Width = 180
  object Grip: TVxSkinObject
    Align = saTop
    Color = 8388608
    Kind = skCaption
    Height = 20
    Width = 180
  end
end)";

constexpr char kToolSkin[] = R"(object ToolWindow: TVxSkinObject
  Color = 8421376
  Kind = skForm
  Height = 100
  Width = 120
  object Caption: TVxSkinObject
    Align = saTop
    Color = 32896
    Kind = skCaption
    Height = 14
    Width = 120
  end
  object Client: TVxSkinObject
    Align = saClient
    Kind = skClient
    Masked = False
    Top = 14
    Left = 2
    Height = 84
    Width = 116
  end
end)";

class VxSkinFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        win32::InstallWin32Graphics();
        InstallSkinObjectServices();
        InstallWindowSkinAnnouncer();
        RegisterSkinClasses();
    }
    static void TearDownTestSuite() { UnregisterSkinClasses(); }

    void SetUp() override {
        g_shell.clear();
        m_previousNotify = TTrayIcon::SetNotify(&RecordShell);
        m_app = std::make_unique<win32::TApplication>();
        m_app->OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
    }

    void TearDown() override {
        m_app.reset();
        test::ProcessPendingMessages();
        TTrayIcon::SetNotify(m_previousNotify);
        EXPECT_TRUE(errors.empty()) << errors.front();
    }

    // A shown form with an engine holding `objects` (or Plum when none) and the component bound
    // to it as the layout reader would bind them.
    void Open(std::vector<const char*> objects = {},
              const std::string& skinObject = "Form",
              TVxBorderStyle style = kbsStandard) {
        if (form != nullptr) {
            form->Free();
            test::ProcessPendingMessages();
        }
        form = new win32::TForm(m_app.get());
        form->SetText(u"");
        form->SetBounds(120, 100, 400, 300);
        edit = new win32::TEdit(form);
        edit->SetName("Edit1");
        edit->SetParent(form);
        veneer = new TVxVeneer(form);
        if (objects.empty()) {
            veneer->SetSkinFile(ZR_PLUM_SKIN);
        } else {
            FillSkin(veneer->SkinSource(), objects);
        }
        vx = new TVxSkinForm(form);
        vx->SetMinimizeApplication(false);
        vx->SetSkinObject(skinObject);
        vx->SetBorderStyle(style);
        vx->SetVeneer(veneer);
        vx->AfterRead();
        form->Show();
        window = vx->Window();
        test::ProcessPendingMessages();
    }

    // The objects read from their texts, with one picture: a navy caption corner whose three
    // corner pixels are see-through.
    static void FillSkin(TVxSkinSource& source, const std::vector<const char*>& objects) {
        auto corner = std::make_unique<TVxBitmap>();
        corner->SetName("CORNER.bmp");
        corner->SetSize(6, 24);
        corner->Fill(0xFF000080);
        for (TPoint p : {TPoint{0, 0}, TPoint{1, 0}, TPoint{0, 1}}) {
            *corner->PixelPtr(p.X, p.Y) = TransparentColor;
        }
        std::vector<std::unique_ptr<TVxBitmap>> pictures;
        pictures.push_back(std::move(corner));
        test::FillSkin(source, objects, std::move(pictures));
    }

    TRect Bounds() const { return WindowBounds(window); }
    int32_t HitAt(TPoint point) const {
        return static_cast<int32_t>(SendMessageW(window, WM_NCHITTEST, 0, ScreenParam(window, point)));
    }
    // The centre of a skin object on the screen.
    POINT ScreenCentre(const char* name) const {
        TVxSkinObject* object = vx->FormObject()->FindObject(name);
        const TPoint centre = Centre(object->BoundsRect());
        return {Bounds().Left + centre.X, Bounds().Top + centre.Y};
    }
    TVxSysButtonSkinObject& Button(const char* name) const {
        return dynamic_cast<TVxSysButtonSkinObject&>(*vx->FormObject()->FindObject(name));
    }

    std::unique_ptr<win32::TApplication> m_app;
    TTrayIcon::TNotify m_previousNotify = nullptr;
    std::vector<std::string> errors;
    win32::TForm* form = nullptr;
    win32::TEdit* edit = nullptr;
    TVxVeneer* veneer = nullptr;
    TVxSkinForm* vx = nullptr;
    HWND window = nullptr;
};

TEST_F(VxSkinFormTest, BindsACopyAndTakesItsColoursAreaAndLinkedControls) {
    Open({kFrameSkin});
    ASSERT_TRUE(vx->Skinned());
    EXPECT_NE(vx->FormObject(), veneer->SkinSource().GetFormObject());  // a private copy
    EXPECT_EQ(form->Color(), TColor{8421376});
    // Client object realigned to the window: borders 4, caption 24.
    TPoint size = vx->FormSize();
    EXPECT_EQ(vx->GetClientArea(), (TRect{4, 24, size.X - 4, size.Y - 4}));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, size.X - 8);
    EXPECT_EQ(client.bottom, size.Y - 28);
    // The link object's rectangle in client coordinates.
    EXPECT_EQ(edit->BoundsRect(), (TRect{10, 10, 110, 30}));
    EXPECT_EQ(vx->GetButtonRect(kbiClose), TRect());
    // The shape follows the masks: the corner's see-through pixels are outside the window.
    win32::TRegionHandle shape(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(window, shape.Get()), ERROR);
    EXPECT_FALSE(PtInRegion(shape.Get(), 0, 0));
    EXPECT_FALSE(PtInRegion(shape.Get(), 0, 1));
    EXPECT_TRUE(PtInRegion(shape.Get(), 1, 1));
    EXPECT_TRUE(PtInRegion(shape.Get(), size.X - 1, 0));

    EXPECT_EQ(HitAt({50, 10}), HTCAPTION);
    EXPECT_EQ(HitAt(Centre(vx->FormObject()->FindObject("Close")->BoundsRect())), HTBORDER);
    EXPECT_EQ(HitAt({200, 150}), HTCLIENT);
    // Sizing edges follow the object kinds where sizing is allowed.
    EXPECT_EQ(HitAt({1, 150}), HTLEFT);
    EXPECT_EQ(HitAt({size.X - 2, 150}), HTRIGHT);
    EXPECT_EQ(HitAt({200, size.Y - 2}), HTBOTTOM);

    // An unknown object name takes the skin's form object; a tool window its own object.
    Open({kFrameSkin, kToolSkin}, "Nothing");
    EXPECT_EQ(vx->FormObject()->Name(), "Form");
    Open({kFrameSkin, kToolSkin}, "Form", kbsToolWindow);
    EXPECT_EQ(vx->FormObject()->Name(), "ToolWindow");
    size = vx->FormSize();
    EXPECT_EQ(vx->GetClientArea(), (TRect{0, 14, size.X, size.Y}));
}

TEST_F(VxSkinFormTest, ALayoutBindsAfterReadingAndWritesTheSkinSettings) {
    RegisterClass(TVxVeneer::StaticClassInfo());
    RegisterClass(TVxSkinForm::StaticClassInfo());
    form = new win32::TForm(m_app.get());
    form->SetText(u"Owner's text");
    const std::string layout = std::string(R"(object Probe: TForm
  Left = 120
  Top = 100
  Width = 400
  Height = 300
  object Veneer1: TVxVeneer
    SkinFile = ')") + ZR_PLUM_SKIN +
                               R"('
  end
  object Skin1: TVxSkinForm
    Caption = 'Caption of the layout'
    Veneer = Veneer1
    SkinObject = 'Nothing'
  end
end)";
    TMemoryStream stream(TextToBinary(layout));
    ReadObjectStream(stream, *form);
    auto* bound = dynamic_cast<TVxSkinForm*>(form->FindComponent("Skin1"));
    ASSERT_NE(bound, nullptr);
    EXPECT_TRUE(bound->Skinned());
    EXPECT_EQ(bound->FormObject()->Name(), "Form");  // the unknown name fell back
    EXPECT_EQ(form->Text(), u"Owner's text");
    EXPECT_EQ(bound->TitleObject(), bound->FormObject()->FindObjectByKind(skTitle));

    TMemoryStream written;
    WriteObjectStream(written, *form);
    const std::string text = BinaryToText(written.Bytes());
    EXPECT_NE(text.find("Veneer = Veneer1"), std::string::npos) << text;
    EXPECT_NE(text.find("SkinObject = 'Nothing'"), std::string::npos);
    // The engine's version is written, the form component's never.
    EXPECT_EQ(text.find("Version"), text.rfind("Version")) << text;
}

TEST_F(VxSkinFormTest, ASkinWithoutClientObjectFixesTheSizeAndIsAllClient) {
    Open({kFixedSkin});
    EXPECT_EQ(Bounds().Width(), 180);
    EXPECT_EQ(Bounds().Height(), 90);
    EXPECT_EQ(vx->GetClientArea(), (TRect{0, 0, 180, 90}));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 180);
    EXPECT_EQ(client.bottom, 90);
}

TEST_F(VxSkinFormTest, CaptionButtonsActOnRealClicksAndAReleaseElsewhereClicksNeither) {
    Open({kFrameSkin});
    int custom = 0;
    vx->OnCustomAction = [&](TObject*, TVxSkinObject* button) {
        EXPECT_EQ(button->Name(), "Custom");
        ++custom;
    };
    // The pointer over a button makes it hot within the hover timer's period.
    test::MoveMouseTo(ScreenCentre("Close").x, ScreenCentre("Close").y);
    EXPECT_TRUE(PumpUntil([&] { return Button("Close").ButtonState() == sbsHot; }));

    // Pressed on one button and released over another: neither acts.
    test::DragWithMouse(ScreenCentre("Custom"), ScreenCentre("Close"));
    test::ProcessPendingMessages();
    EXPECT_EQ(custom, 0);
    EXPECT_TRUE(IsWindowVisible(window));

    test::ClickAt(ScreenCentre("Custom").x, ScreenCentre("Custom").y);
    EXPECT_TRUE(PumpUntil([&] { return custom == 1; }));
    // A press whose capture is lost (another window took the mouse) ends without a click.
    test::DragWithMouse(ScreenCentre("Custom"), ScreenCentre("Custom"), [] { ReleaseCapture(); });
    test::ProcessPendingMessages();
    EXPECT_EQ(custom, 1);

    // The roll button rolls its panel in, and back out.
    TVxSkinObject* drawer = vx->FormObject()->FindObject("Drawer");
    test::ClickAt(ScreenCentre("Roll").x, ScreenCentre("Roll").y);
    EXPECT_TRUE(PumpUntil([&] { return drawer->Height() == 10; }));
    test::ClickAt(ScreenCentre("Client").x, ScreenCentre("Client").y);  // no double click next
    test::ClickAt(ScreenCentre("Roll").x, ScreenCentre("Roll").y);
    EXPECT_TRUE(PumpUntil([&] { return drawer->Height() == 40; }));

    bool veto = true;
    vx->OnClose = [&](TObject*, bool& callDefault) { callDefault = !veto; };
    test::ClickAt(ScreenCentre("Close").x, ScreenCentre("Close").y);
    test::ProcessPendingMessages();
    EXPECT_TRUE(IsWindowVisible(window));
    veto = false;
    test::ClickAt(ScreenCentre("Client").x, ScreenCentre("Client").y);  // no double click next
    test::ClickAt(ScreenCentre("Close").x, ScreenCentre("Close").y);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }));

    Open({kFrameSkin});
    test::ClickAt(ScreenCentre("Tray").x, ScreenCentre("Tray").y);
    EXPECT_TRUE(PumpUntil([&] { return vx->WindowState() == kwsTray; }));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(IconsShown(), 1);
}

TEST_F(VxSkinFormTest, PlumPaintsTheFrameAsItsRender) {
    Open();
    ASSERT_TRUE(vx->Skinned());
    // Plum's frame is masked as a whole rectangle.
    win32::TRegionHandle shape(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(window, shape.Get()), ERROR);
    EXPECT_TRUE(PtInRegion(shape.Get(), 0, 0));
    EXPECT_TRUE(PtInRegion(shape.Get(), vx->FormSize().X - 1, vx->FormSize().Y - 1));

    // The same object drawn by the software canvas at the window's size and state.
    const TPoint size = vx->FormSize();
    TSkinObjectPtr copy(CloneSkinObject(*veneer->SkinSource().GetFormObject(), nullptr));
    // Bound to the same window, so the same buttons show for its border icons.
    TVxWindowSkinHost host(*form);
    copy->SetControl(&host);
    copy->SetBounds(0, 0, size.X, size.Y);
    copy->SetState(0);
    copy->SetActive(true);
    TVxBitmap render;
    render.SetSize(size.X, size.Y);
    render.Fill(TransparentColor);
    {
        TRasterCanvas canvas(render);
        copy->Draw(canvas);
    }
    test::TSurface painted(size, 0x00010203);
    SendMessageW(window, VXM_PAINTTODC, 0, reinterpret_cast<LPARAM>(painted.DC()));
    const std::vector<uint32_t> pixels = painted.Pixels();
    const TRect client = vx->GetClientArea();
    int compared = 0;
    int differing = 0;
    for (int32_t y = 0; y < size.Y; ++y) {
        for (int32_t x = 0; x < size.X; ++x) {
            const TPixel expected = render.GetPixel(x, y);
            if (client.Contains({x, y}) || IsKeyPixel(expected)) {
                continue;
            }
            ++compared;
            differing += pixels[static_cast<std::size_t>(y * size.X + x)] != (expected & 0xFFFFFF) ? 1 : 0;
        }
    }
    EXPECT_GT(compared, 1000);
    EXPECT_EQ(differing, 0);
}

TEST_F(VxSkinFormTest, SkinChangesRebindAndAMissingSkinOrEngineFallsBack) {
    Open({kFrameSkin});
    test::ScratchFolder folder;
    const std::string file = folder.Path() + "fixed.qskn";
    {
        TVxSkinSource other(nullptr);
        FillSkin(other, {kFixedSkin});
        other.SaveToFile(file);
    }
    veneer->SetSkinFile(file);
    test::ProcessPendingMessages();
    ASSERT_TRUE(vx->Skinned());
    EXPECT_EQ(vx->FormObject()->Name(), "Badge");
    EXPECT_EQ(Bounds().Width(), 180);

    veneer->SetSkinFile(folder.Path() + "missing.qskn");
    test::ProcessPendingMessages();
    EXPECT_FALSE(vx->Skinned());
    EXPECT_EQ(vx->FormObject(), nullptr);
    EXPECT_EQ(form->Color(), clBtnFace);
    EXPECT_EQ(vx->GetClientArea(), vx->TVxCustomForm::GetClientArea());

    // The engine going takes the copy with it (its pictures were the engine's).
    Open({kFrameSkin});
    veneer->Free();
    EXPECT_EQ(vx->Veneer(), nullptr);
    EXPECT_FALSE(vx->Skinned());
    EXPECT_EQ(vx->FormObject(), nullptr);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace
}  // namespace zaprelay::skin
