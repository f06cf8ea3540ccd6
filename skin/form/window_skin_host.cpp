#include "skin/form/window_skin_host.h"

#include "framework/graphics/vx_bitmap.h"
#include "framework/win32/application.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi_canvas.h"
#include "framework/win32/gdi_handles.h"
#include "skin/objects/skin_messages.h"
#include "skin/objects/skin_object.h"

#include <windows.h>

namespace zaprelay::skin {

namespace {

int32_t ScreenMeasure(const TFontData& font, std::u16string_view text) {
    return ScreenTextExtent(font, text).X;
}

// The icon's pixels over what the canvas holds there: directly on a device context, else
// through a small bitmap that starts as a copy of the canvas's pixels.
void DrawIconOn(TCanvas& canvas, HICON icon, TPoint point, int size) {
    if (auto* gdi = dynamic_cast<win32::TGdiCanvas*>(&canvas)) {
        DrawIconEx(gdi->Handle(), point.X, point.Y, icon, size, size, 0, nullptr, DI_NORMAL);
        return;
    }
    TVxBitmap patch;
    patch.SetSize(size, size);
    HDC dc = win32::BitmapDC(patch);
    if (dc == nullptr) {
        return;
    }
    canvas.ReadArea(Bounds(point.X, point.Y, size, size), patch);
    GdiFlush();
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    patch.Draw(canvas, point.X, point.Y, false);
}

}  // namespace

intptr_t SendSkinMessage(win32::TControl& control, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (auto* window = dynamic_cast<win32::TWinControl*>(&control); window != nullptr && window->HandleAllocated()) {
        return SendMessageW(window->WindowHandle(), msg, wParam, lParam);
    }
    return control.Perform(msg, wParam, lParam);
}

void TVxWindowSkinHost::SkinObjectChanged(TVxSkinObject& object) {
    SendSkinMessage(m_control, VXM_SKINOBJECTCHANGED, 0, reinterpret_cast<intptr_t>(&object));
}

TVxSkinFormActions* TVxWindowSkinHost::GetSkinForm() {
    return reinterpret_cast<TVxSkinFormActions*>(SendSkinMessage(m_control, VXM_GETSKINFORM, 0, 0));
}

uint8_t TVxWindowSkinHost::ReadingOrder() const {
    return static_cast<uint8_t>(m_control.BiDiMode());
}

uint32_t TVxWindowSkinHost::DrawTextBiDiModeFlags(uint32_t flags) const {
    return m_control.DrawTextBiDiModeFlags(flags);
}

TPoint TVxWindowSkinHost::ClientToScreen(TPoint point) const {
    return m_control.ClientToScreen(point);
}

void TVxWindowSkinHost::ActivateHint(TPoint screenPoint) {
    if (win32::TApplication* application = win32::Application()) {
        application->ActivateHint(screenPoint);
    }
}

bool TVxWindowSkinHost::DrawWindowIcon(TCanvas& canvas, TPoint point) {
    auto* form = dynamic_cast<win32::TCustomForm*>(&m_control);
    if (form == nullptr) {
        return false;
    }
    int size = GetSystemMetrics(SM_CXSMICON);
    if (size == 0) {
        size = GetSystemMetrics(SM_CXSIZE);
    }
    HICON icon = form->Icon()->SmallHandle();
    if (icon == nullptr && win32::Application() != nullptr) {
        icon = win32::Application()->Icon()->SmallHandle();
    }
    if (icon == nullptr) {
        icon = LoadIconW(nullptr, IDI_APPLICATION);  // shared: not destroyed
    }
    DrawIconOn(canvas, icon, point, size);
    return true;
}

void TVxWindowSkinHost::ProcessMessages() {
    if (win32::TApplication* application = win32::Application()) {
        application->ProcessMessages();
    }
}

TPoint ScreenTextExtent(const TFontData& font, std::u16string_view text) {
    win32::TWindowDC screen(nullptr);
    win32::TGdiCanvas canvas(screen.Get());
    canvas.SetFont(font);
    return canvas.TextExtent(text);
}

void InstallSkinObjectServices() {
    SetSkinTextMeasure(&ScreenMeasure);
    // The system says so when it runs with right-to-left (Arabic, Hebrew) support enabled.
    SetSystemReadsRightToLeft(GetSystemMetrics(SM_MIDEASTENABLED) != 0);
}

}  // namespace zaprelay::skin
