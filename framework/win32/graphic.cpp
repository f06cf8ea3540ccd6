#include "framework/win32/graphic.h"

#include "framework/graphics/vx_bitmap.h"
#include "framework/win32/gdi_canvas.h"

namespace zaprelay::win32 {

const TClassInfo& TGraphic::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TGraphic, TPersistent>("TGraphic");
    return info;
}

const TClassInfo& TBitmap::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TBitmap, TGraphic>("TBitmap");
    return info;
}

TBitmap::~TBitmap() {
    Release();
}

void TBitmap::Release() {
    if (m_dc && m_old != nullptr) {
        SelectObject(m_dc.Get(), m_old);  // the bitmap leaves the context before both go
    }
    m_old = nullptr;
    m_dc.Reset();
    m_bitmap.Reset();
    m_width = m_height = 0;
}

void TBitmap::SetSize(int32_t width, int32_t height) {
    Release();
    if (width <= 0 || height <= 0) {
        return;
    }
    TWindowDC screen(nullptr);
    TBitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    TMemoryDC dc(CreateCompatibleDC(screen.Get()));
    if (!bitmap || !dc) {
        return;
    }
    m_old = SelectObject(dc.Get(), bitmap.Get());
    m_bitmap = std::move(bitmap);
    m_dc = std::move(dc);
    m_width = width;
    m_height = height;
    PatBlt(m_dc.Get(), 0, 0, width, height, WHITENESS);
}

void TBitmap::Draw(TGdiCanvas& canvas, const TRect& rect) {
    if (!Empty()) {
        StretchBlt(canvas.Handle(), rect.Left, rect.Top, rect.Width(), rect.Height(), m_dc.Get(), 0, 0, m_width,
                   m_height, SRCCOPY);
    }
}

const TClassInfo& TPicture::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TPicture, TPersistent>("TPicture");
    return info;
}

TBitmap& TPicture::Bitmap() {
    auto* bitmap = dynamic_cast<TBitmap*>(m_graphic.get());
    if (bitmap == nullptr) {
        m_graphic = std::make_unique<TBitmap>();
        bitmap = static_cast<TBitmap*>(m_graphic.get());
    }
    return *bitmap;
}

const TClassInfo& TClipboard::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TClipboard, TPersistent>("TClipboard");
    return info;
}

bool TClipboard::SetBitmap(const TBitmap& bitmap) {
    if (bitmap.Empty() || !OpenClipboard(nullptr)) {
        return false;
    }
    EmptyClipboard();
    // The clipboard owns what it is given: hand it a copy.
    TWindowDC screen(nullptr);
    TBitmapHandle copy(CreateCompatibleBitmap(screen.Get(), bitmap.Width(), bitmap.Height()));
    TMemoryDC dc(CreateCompatibleDC(screen.Get()));
    {
        TSelectObject select(dc.Get(), copy.Get());
        BitBlt(dc.Get(), 0, 0, bitmap.Width(), bitmap.Height(), bitmap.DC(), 0, 0, SRCCOPY);
    }
    bool placed = SetClipboardData(CF_BITMAP, copy.Get()) != nullptr;
    if (placed) {
        copy.Detach();
    }
    CloseClipboard();
    return placed;
}

namespace {

void ImportBitmap(TVxBitmap& target, const TBitmap& source) {
    target.SetSize(source.Width(), source.Height());
    if (target.Empty()) {
        return;
    }
    BitBlt(static_cast<HDC>(target.DC()), 0, 0, target.Width(), target.Height(), source.DC(), 0, 0, SRCCOPY);
    target.SetAlpha(255);
}

void ImportGraphic(TVxBitmap& target, TGraphic& source, const TRect& rect) {
    target.SetSize(source.Width(), source.Height());
    if (target.Empty()) {
        return;
    }
    TGdiCanvas canvas(static_cast<HDC>(target.DC()));
    source.Draw(canvas, rect);
    target.SetAlpha(255);
}

bool Import(TVxBitmap& target, const TPersistent& source) {
    if (source.InheritsFrom(TBitmap::StaticClassInfo())) {
        ImportBitmap(target, static_cast<const TBitmap&>(source));
        return true;
    }
    if (source.InheritsFrom(TGraphic::StaticClassInfo())) {
        auto& graphic = const_cast<TGraphic&>(static_cast<const TGraphic&>(source));
        ImportGraphic(target, graphic, {0, 0, graphic.Width(), graphic.Height()});
        return true;
    }
    if (source.InheritsFrom(TPicture::StaticClassInfo())) {
        const auto& picture = static_cast<const TPicture&>(source);
        if (TGraphic* graphic = picture.Graphic()) {
            if (graphic->InheritsFrom(TBitmap::StaticClassInfo())) {
                ImportBitmap(target, static_cast<const TBitmap&>(*graphic));
            } else {
                ImportGraphic(target, *graphic, {0, 0, picture.Width(), picture.Height()});
            }
        }
        return true;
    }
    return false;
}

// The whole skin bitmap drawn opaque at (0, 0) of a device-dependent bitmap of its size.
void Fill(TBitmap& target, const TVxBitmap& source) {
    target.SetSize(source.Width(), source.Height());
    if (target.Empty()) {
        return;
    }
    TGdiCanvas canvas(target.DC());
    source.Draw(canvas, 0, 0, false);
}

bool Export(const TVxBitmap& source, TPersistent& target) {
    if (target.InheritsFrom(TBitmap::StaticClassInfo())) {
        Fill(static_cast<TBitmap&>(target), source);
        return true;
    }
    if (target.InheritsFrom(TPicture::StaticClassInfo())) {
        Fill(static_cast<TPicture&>(target).Bitmap(), source);
        return true;
    }
    if (target.InheritsFrom(TClipboard::StaticClassInfo())) {
        TBitmap temporary;
        Fill(temporary, source);
        static_cast<TClipboard&>(target).SetBitmap(temporary);
        return true;
    }
    return false;
}

}  // namespace

void InstallBitmapConversions() {
    SetBitmapConversionHooks(&Import, &Export);
}

}  // namespace zaprelay::win32
