// A fixture for the skinned controls' tests: a framework application with one shown form to
// place controls on; exceptions reaching the application fail the test.
#pragma once

#include "framework/win32/application.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi_canvas.h"
#include "tests/win32/skin_form_fixture.h"
#include "tests/win32/test_support.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace zaprelay::test {

inline constexpr TColor kFormColor = 0x00408020;  // COLORREF order: blue 0x40, green 0x80, red 0x20

// A DIB pixel (0xRRGGBB) of a colour.
inline uint32_t Rgb(TColor color) {
    const COLORREF c = win32::ToColorRef(color);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

class ControlFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { win32::InstallWin32Graphics(); }

    void SetUp() override {
        m_app = std::make_unique<win32::TApplication>();
        m_app->OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
        form = new win32::TForm(m_app.get());
        form->SetBounds(100, 100, 300, 200);
        form->SetColor(kFormColor);
        form->Show();
        ProcessPendingMessages();
    }

    void TearDown() override {
        m_app.reset();
        ProcessPendingMessages();
        EXPECT_TRUE(errors.empty()) << errors.front();
    }

    // The control's WM_PAINT into a fresh surface of its size.
    static std::vector<uint32_t> Painted(win32::TControl& control, uint32_t fill = 0x00ABCDEF) {
        TSurface surface({std::max(control.Width(), 1), std::max(control.Height(), 1)}, fill);
        control.Perform(WM_PAINT, reinterpret_cast<uintptr_t>(surface.DC()), 0);
        return surface.Pixels();
    }

    // The form active, so that clicks and keys reach its controls.
    void Activate() {
        SetForegroundWindow(form->Handle());
        ASSERT_TRUE(Pump([this] { return GetActiveWindow() == form->WindowHandle(); }));
    }

    static bool Pump(const std::function<bool()>& done) {
        return PumpUntil(done, 5000, [] { win32::Application()->ProcessMessages(); });
    }

    // A control on parent whose clicks are logged under name.
    template <typename C>
    C* Place(win32::TWinControl* parent, const TRect& bounds, const std::string& name = "") {
        auto* c = new C(form);
        c->SetParent(parent);
        c->SetBoundsRect(bounds);
        c->OnClick = [this, name](TObject*) { clicks.push_back(name); };
        return c;
    }

    static POINT OnScreen(win32::TControl& c, TPoint p) {
        const TPoint s = c.ClientToScreen(p);
        return {s.X, s.Y};
    }

    // The window opts out of visual styles, so the classic look is drawn even where they are on.
    static void WithoutVisualStyles(win32::TWinControl& control) {
        using TSetWindowTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
        HMODULE module = GetModuleHandleA("uxtheme.dll");
        auto set = reinterpret_cast<TSetWindowTheme>(
            reinterpret_cast<void*>(module != nullptr ? GetProcAddress(module, "SetWindowTheme") : nullptr));
        if (set != nullptr) {
            set(control.Handle(), L" ", L" ");
        }
    }

    // Pixels of colour inside area of a picture width pixels wide.
    static int Count(const std::vector<uint32_t>& pixels, int32_t width, const TRect& area, TColor color) {
        int n = 0;
        for (int32_t y = area.Top; y < area.Bottom; ++y) {
            for (int32_t x = area.Left; x < area.Right; ++x) {
                n += pixels[static_cast<std::size_t>(y * width + x)] == Rgb(color) ? 1 : 0;
            }
        }
        return n;
    }

    win32::TForm* form = nullptr;
    std::vector<std::string> errors;
    std::vector<std::string> clicks;

private:
    std::unique_ptr<win32::TApplication> m_app;
};

}  // namespace zaprelay::test
