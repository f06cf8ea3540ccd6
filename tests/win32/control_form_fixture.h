// A fixture for the skinned controls' tests: a framework application with one shown form to
// place controls on; exceptions reaching the application fail the test.
#pragma once

#include "framework/win32/application.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi_canvas.h"
#include "tests/win32/skin_form_fixture.h"
#include "tests/win32/test_support.h"

#include <algorithm>
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

    win32::TForm* form = nullptr;
    std::vector<std::string> errors;

private:
    std::unique_ptr<win32::TApplication> m_app;
};

}  // namespace zaprelay::test
