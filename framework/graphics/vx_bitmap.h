// TVxBitmap: the skin library's 32-bit raster image and off-screen buffer. Pixels are
// 0xAARRGGBB, straight alpha, rows top-down without padding. The storage is a plain buffer
// natively; the Win32 layer installs storage that is a DIB section selected into a memory
// device context, so GDI can draw into the same pixels.
#pragma once

#include "framework/graphics/canvas.h"
#include "framework/graphics/geometry.h"
#include "framework/graphics/pixel.h"
#include "framework/graphics/pixel_kernels.h"
#include "framework/rtl/font.h"
#include "framework/rtl/persistent.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zaprelay {

class TStream;
class TVxBitmapLink;

// Pixel memory of one bitmap, all zero when made.
class TBitmapStorage {
public:
    virtual ~TBitmapStorage() = default;
    virtual TPixel* Bits() = 0;
    // The memory device context holding the pixels (an HDC on Win32); none natively.
    virtual void* NativeDC() { return nullptr; }
};

namespace msg {
inline constexpr char kCantAllocateDib[] = "Can't allocate the DIB handle";
inline constexpr char kCantCreateDC[] = "Can't create compatible DC";
inline constexpr char kCantSelectObject[] = "Can't select an object into DC";
}  // namespace msg

// Makes storage of the given positive size or raises Exception with one of the texts above.
using TBitmapStorageFactory = std::unique_ptr<TBitmapStorage> (*)(int32_t width, int32_t height);
void SetBitmapStorageFactory(TBitmapStorageFactory factory);  // null restores the plain buffer

class TVxBitmap : public TPersistent {
public:
    TVxBitmap();
    ~TVxBitmap() override;
    TVxBitmap(const TVxBitmap&) = delete;
    TVxBitmap& operator=(const TVxBitmap&) = delete;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Negative sizes count as their absolute value; a zero size or the current size
    // changes nothing. New storage is all zero. A failure leaves the bitmap empty.
    void SetSize(int32_t width, int32_t height);
    bool Empty() const { return m_storage == nullptr; }
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    TPixel* Bits() { return m_bits; }
    const TPixel* Bits() const { return m_bits; }
    TPixel* PixelPtr(int32_t x, int32_t y) { return m_bits + x + static_cast<intptr_t>(y) * m_width; }
    // NoPixel outside the bitmap or while it is empty.
    TPixel GetPixel(int32_t x, int32_t y) const;
    TPixelSurface Surface() { return {m_bits, m_width, m_height}; }
    TConstPixelSurface Surface() const { return {m_bits, m_width, m_height}; }
    TRect BoundsRect() const { return {0, 0, m_width, m_height}; }
    void* DC() const { return m_storage ? m_storage->NativeDC() : nullptr; }

    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    bool AlphaBlend() const { return m_alphaBlend; }
    void SetAlphaBlend(bool value) { m_alphaBlend = value; }
    TFont& Font() { return m_font; }
    void SetFont(const TFont& font) { m_font.CopyFrom(font); }

    void Fill(TPixel pixel);
    // Clipped to the bitmap; blends instead of copying while AlphaBlend is set.
    void FillRect(const TRect& rect, TPixel pixel);
    void SetAlpha(uint8_t alpha);
    void SetAlphaRect(uint8_t alpha, const TRect& rect);
    void ReplaceColor(TPixel pixel);
    void ChangeHue(int delta);

    // Onto a canvas; transparent skips key pixels. Every form ends in StretchDraw.
    void Draw(TCanvas& canvas, int32_t x, int32_t y, bool transparent) const;
    void Draw(TCanvas& canvas, int32_t x, int32_t y, const TRect& srcRect, bool transparent) const;
    void StretchDraw(TCanvas& canvas, const TRect& destRect, const TRect& srcRect, bool transparent) const;
    void TileDraw(TCanvas& canvas, const TRect& destRect, const TRect& srcRect, bool transparent) const;

    // This bitmap's srcRect scaled into target's destRect; by alpha while AlphaBlend is set.
    void DrawTo(TVxBitmap& target, const TRect& destRect, const TRect& srcRect) const;
    // Source's pixels behind this bitmap's, at (x, y).
    void MergeUnder(const TVxBitmap& source, int32_t x, int32_t y, const TRect& srcRect);

    // The record: int32 name length, name, int32 width, int32 height, pixels.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

    // A new resolved link to rect of this bitmap; the caller owns it.
    std::unique_ptr<TVxBitmapLink> GetLink(const TRect& rect);

    // From another TVxBitmap nothing happens; other sources are the platform's images
    // (see the Win32 layer) or raise the assignment error.
    void CopyFrom(const TPersistent& source) override;
    // Into the platform's images (see the Win32 layer); others raise the assignment error.
    void CopyTo(TPersistent& target) const override;

private:
    void Release();

    std::unique_ptr<TBitmapStorage> m_storage;
    TPixel* m_bits = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::string m_name;
    bool m_alphaBlend = false;
    TFont m_font;
};

// Conversions from and to the platform's own image classes, installed by the platform
// layer: each returns true when it handled the other object.
using TBitmapImportHook = bool (*)(TVxBitmap& target, const TPersistent& source);
using TBitmapExportHook = bool (*)(const TVxBitmap& source, TPersistent& target);
void SetBitmapConversionHooks(TBitmapImportHook import, TBitmapExportHook exportTo);

}  // namespace zaprelay
