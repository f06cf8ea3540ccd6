// The window framework's own images: a graphic base, the device-dependent bitmap, the
// picture container and the clipboard, as far as the skin bitmap converts from and to them.
#pragma once

#include "framework/graphics/geometry.h"
#include "framework/rtl/persistent.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"

#include <cstdint>
#include <memory>

namespace zaprelay::win32 {

class TGdiCanvas;

class TGraphic : public TPersistent {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // Draws the image scaled into rect.
    virtual void Draw(TGdiCanvas& canvas, const TRect& rect) = 0;
};

// A bitmap in the screen's format, in its own memory device context.
class TBitmap : public TGraphic {
public:
    TBitmap() = default;
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    int32_t Width() const override { return m_width; }
    int32_t Height() const override { return m_height; }
    // New contents are white; a zero size empties the bitmap.
    void SetSize(int32_t width, int32_t height);
    HDC DC() const { return m_dc.Get(); }
    HBITMAP Handle() const { return m_bitmap.Get(); }
    void Draw(TGdiCanvas& canvas, const TRect& rect) override;

private:
    void Release();

    TBitmapHandle m_bitmap;
    TMemoryDC m_dc;
    HGDIOBJ m_old = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
};

// Holds one graphic of any kind.
class TPicture : public TPersistent {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TGraphic* Graphic() const { return m_graphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic) { m_graphic = std::move(graphic); }
    // The graphic as a bitmap; another kind of graphic is replaced by an empty bitmap.
    TBitmap& Bitmap();
    int32_t Width() const { return m_graphic ? m_graphic->Width() : 0; }
    int32_t Height() const { return m_graphic ? m_graphic->Height() : 0; }

private:
    std::unique_ptr<TGraphic> m_graphic;
};

// The system clipboard, as a target for images.
class TClipboard : public TPersistent {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    // Puts a copy of the bitmap on the clipboard; false when the clipboard cannot be opened.
    bool SetBitmap(const TBitmap& bitmap);
};

// Lets TVxBitmap convert from and to the classes above (InstallWin32Graphics calls it).
void InstallBitmapConversions();

}  // namespace zaprelay::win32
