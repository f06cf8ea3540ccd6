#include "skin/form/form_images.h"

#include "framework/rtl/exceptions.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/layout_resource.h"

#include <memory>

namespace zaprelay::skin {
namespace {

// In TFormImage order. VX_FORM_MOVE and VX_FORM_SIZE are in the resources too, unused here.
constexpr const wchar_t* kGlyphs[] = {L"VX_FORM_CLOSE",   L"VX_FORM_MINIMIZE", L"VX_FORM_MAXIMIZE",
                                      L"VX_FORM_RESTORE", L"VX_FORM_ROLLUP",   L"VX_FORM_TRAY"};
constexpr COLORREF kMaskColour = RGB(255, 0, 255);
constexpr int kGlyphSize = 16;

std::unique_ptr<win32::TImageList> LoadFormImages() {
    auto images = std::make_unique<win32::TImageList>(nullptr);
    images->SetWidth(kGlyphSize);
    images->SetHeight(kGlyphSize);
    images->SetMasked(true);
    for (const wchar_t* name : kGlyphs) {
        win32::TBitmapHandle glyph(
            static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        if (!glyph) {
            std::wstring wide(name);
            throw win32::EResNotFound(Format(msg::kResNotFound, {std::string(wide.begin(), wide.end())}));
        }
        images->AddMasked(glyph.Get(), kMaskColour);
    }
    return images;
}

}  // namespace

win32::TImageList& FormImages() {
    static std::unique_ptr<win32::TImageList> images = LoadFormImages();
    return *images;
}

}  // namespace zaprelay::skin
