#include "framework/graphics/vx_bitmap.h"

#include "framework/graphics/bitmap_link.h"
#include "framework/graphics/pixel_kernels_internal.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/streams.h"

#include <cstdlib>
#include <limits>
#include <vector>

namespace zaprelay {
namespace {

class BufferStorage : public TBitmapStorage {
public:
    explicit BufferStorage(std::size_t count) : m_pixels(count, 0) {}
    TPixel* Bits() override { return m_pixels.data(); }

private:
    std::vector<TPixel> m_pixels;
};

std::unique_ptr<TBitmapStorage> MakeBufferStorage(int32_t width, int32_t height) {
    try {
        return std::make_unique<BufferStorage>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        throw Exception(msg::kCantAllocateDib);
    }
}

TBitmapStorageFactory g_storageFactory = &MakeBufferStorage;
TBitmapImportHook g_importHook = nullptr;
TBitmapExportHook g_exportHook = nullptr;

}  // namespace

void SetBitmapStorageFactory(TBitmapStorageFactory factory) {
    g_storageFactory = factory != nullptr ? factory : &MakeBufferStorage;
}

void SetBitmapConversionHooks(TBitmapImportHook import, TBitmapExportHook exportTo) {
    g_importHook = import;
    g_exportHook = exportTo;
}

TVxBitmap::TVxBitmap() = default;

TVxBitmap::~TVxBitmap() = default;

const TClassInfo& TVxBitmap::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TVxBitmap, TPersistent>("TVxBitmap");
    return info;
}

void TVxBitmap::Release() {
    m_storage.reset();
    m_bits = nullptr;
    m_width = 0;
    m_height = 0;
}

void TVxBitmap::SetSize(int32_t width, int32_t height) {
    // The absolute value of INT32_MIN does not fit; no bitmap can be that large anyway.
    int64_t w = std::llabs(static_cast<int64_t>(width));
    int64_t h = std::llabs(static_cast<int64_t>(height));
    if (w == 0 || h == 0 || (w == m_width && h == m_height)) {
        return;
    }
    Release();
    // The byte count of a DIB section is a 32-bit signed value on the platform.
    if (w * h > std::numeric_limits<int32_t>::max() / 4) {
        throw Exception(msg::kCantAllocateDib);
    }
    std::unique_ptr<TBitmapStorage> storage = g_storageFactory(static_cast<int32_t>(w), static_cast<int32_t>(h));
    if (storage == nullptr || storage->Bits() == nullptr) {
        throw Exception(msg::kCantAllocateDib);
    }
    m_storage = std::move(storage);
    m_bits = m_storage->Bits();
    m_width = static_cast<int32_t>(w);
    m_height = static_cast<int32_t>(h);
}

TPixel TVxBitmap::GetPixel(int32_t x, int32_t y) const {
    if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return NoPixel;
    }
    return m_bits[x + static_cast<intptr_t>(y) * m_width];
}

void TVxBitmap::Fill(TPixel pixel) {
    FillPixels(Surface(), BoundsRect(), pixel);
}

void TVxBitmap::FillRect(const TRect& rect, TPixel pixel) {
    if (m_alphaBlend) {
        BlendFillPixels(Surface(), rect, pixel);
    } else {
        FillPixels(Surface(), rect, pixel);
    }
}

void TVxBitmap::SetAlpha(uint8_t alpha) {
    SetAlphaPixels(Surface(), BoundsRect(), alpha);
}

void TVxBitmap::SetAlphaRect(uint8_t alpha, const TRect& rect) {
    if (rect.Width() == 0 || rect.Height() == 0) {
        return;
    }
    SetAlphaPixels(Surface(), rect, alpha);
}

void TVxBitmap::ReplaceColor(TPixel pixel) {
    ReplaceColorPixels(Surface(), pixel);
}

void TVxBitmap::ChangeHue(int delta) {
    ChangeHuePixels(Surface(), delta);
}

void TVxBitmap::Draw(TCanvas& canvas, int32_t x, int32_t y, bool transparent) const {
    StretchDraw(canvas, Bounds(x, y, m_width, m_height), BoundsRect(), transparent);
}

void TVxBitmap::Draw(TCanvas& canvas, int32_t x, int32_t y, const TRect& srcRect, bool transparent) const {
    StretchDraw(canvas, Bounds(x, y, srcRect.Width(), srcRect.Height()), srcRect, transparent);
}

void TVxBitmap::StretchDraw(TCanvas& canvas, const TRect& destRect, const TRect& srcRect, bool transparent) const {
    if (Empty()) {
        return;
    }
    if (std::optional<TPixelSurface> target = canvas.PixelSurface()) {
        TPoint origin = canvas.Origin();
        StretchPixels(*target, destRect.Offset(-origin.X, -origin.Y), Surface(), srcRect,
                      transparent ? smKeyed : smCopy);
        return;
    }
    if (!transparent) {
        canvas.StretchCopy(*this, destRect, srcRect);
        return;
    }
    if (canvas.TransparentCopy(*this, destRect, srcRect)) {
        return;
    }
    // No transparent blit on this platform: compose over a copy of what is there.
    if (Intersect(srcRect, BoundsRect()).IsEmpty() || destRect.IsEmpty()) {
        return;
    }
    TVxBitmap under;
    under.SetSize(destRect.Width(), destRect.Height());
    canvas.ReadArea(destRect, under);
    StretchPixels(under.Surface(), under.BoundsRect(), Surface(), srcRect, smKeyed);
    canvas.StretchCopy(under, destRect, under.BoundsRect());
}

void TVxBitmap::TileDraw(TCanvas& canvas, const TRect& destRect, const TRect& srcRect, bool transparent) const {
    if (Empty()) {
        return;
    }
    // Into pixels the tiles go row by row; the result is that of drawing each tile in turn.
    if (std::optional<TPixelSurface> target = canvas.PixelSurface()) {
        TPoint origin = canvas.Origin();
        TilePixels(*target, destRect.Offset(-origin.X, -origin.Y), Surface(), srcRect, transparent ? smKeyed : smCopy);
        return;
    }
    pixel_detail::ForEachTile(
        destRect, srcRect, [&](const TRect& tile, const TRect& part) { StretchDraw(canvas, tile, part, transparent); });
}

void TVxBitmap::DrawTo(TVxBitmap& target, const TRect& destRect, const TRect& srcRect) const {
    if (Empty() || target.Empty()) {
        return;
    }
    StretchPixels(target.Surface(), destRect, Surface(), srcRect, m_alphaBlend ? smBlend : smCopy);
}

void TVxBitmap::MergeUnder(const TVxBitmap& source, int32_t x, int32_t y, const TRect& srcRect) {
    if (Empty() || source.Empty()) {
        return;
    }
    MergeUnderPixels(Surface(), x, y, source.Surface(), srcRect);
}

void TVxBitmap::LoadFromStream(TStream& stream) {
    int32_t nameLength = stream.ReadInt32();
    if (nameLength < 0 || nameLength > stream.Remaining()) {
        throw EReadError(msg::kStreamReadError);
    }
    std::string name(static_cast<std::size_t>(nameLength), '\0');
    stream.ReadBuffer(name.data(), nameLength);
    m_name = std::move(name);
    int32_t width = stream.ReadInt32();
    int32_t height = stream.ReadInt32();
    // Sizes are checked against what the stream holds before anything is allocated.
    // Divided rather than multiplied: the product of two stored sizes can overflow.
    if (width < 0 || height < 0 || (width > 0 && height > stream.Remaining() / 4 / width)) {
        throw EReadError(msg::kStreamReadError);
    }
    SetSize(width, height);
    if (m_width == width && m_height == height && !Empty()) {
        stream.ReadBuffer(m_bits, static_cast<int64_t>(width) * height * 4);
    }
}

void TVxBitmap::SaveToStream(TStream& stream) const {
    stream.WriteInt32(static_cast<int32_t>(m_name.size()));
    stream.WriteBuffer(m_name.data(), static_cast<int64_t>(m_name.size()));
    stream.WriteInt32(m_width);
    stream.WriteInt32(m_height);
    if (!Empty()) {
        stream.WriteBuffer(m_bits, static_cast<int64_t>(m_width) * m_height * 4);
    }
}

std::unique_ptr<TVxBitmapLink> TVxBitmap::GetLink(const TRect& rect) {
    auto link = std::make_unique<TVxBitmapLink>();
    link->SetImage(this);
    link->SetName(m_name);
    link->SetRect(rect);
    return link;
}

void TVxBitmap::CopyFrom(const TPersistent& source) {
    if (source.InheritsFrom(TVxBitmap::StaticClassInfo())) {
        return;
    }
    if (g_importHook != nullptr && g_importHook(*this, source)) {
        return;
    }
    TPersistent::CopyFrom(source);
}

void TVxBitmap::CopyTo(TPersistent& target) const {
    if (g_exportHook != nullptr && g_exportHook(*this, target)) {
        return;
    }
    TPersistent::CopyTo(target);
}

}  // namespace zaprelay
