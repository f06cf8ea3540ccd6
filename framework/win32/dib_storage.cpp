#include "framework/win32/dib_storage.h"

#include "framework/graphics/pixel.h"
#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/exceptions.h"
#include "framework/win32/graphic.h"

#include <algorithm>
#include <vector>

namespace zaprelay::win32 {
namespace {

// The DIB sections alive as bitmap storage; bitmaps live on the user-interface thread only.
std::vector<HBITMAP>& StorageBitmaps() {
    static std::vector<HBITMAP> bitmaps;
    return bitmaps;
}

// A DIB section selected into a memory context for its whole life.
class TDibStorage : public TBitmapStorage {
public:
    TDibStorage(int32_t width, int32_t height) {
        BITMAPINFO info = TopDownDibInfo(width, height);
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!m_bitmap || bits == nullptr) {
            throw Exception(msg::kCantAllocateDib);
        }
        m_dc.Reset(CreateCompatibleDC(nullptr));
        if (!m_dc) {
            throw Exception(msg::kCantCreateDC);  // the bitmap is released with this object
        }
        m_old = SelectObject(m_dc.Get(), m_bitmap.Get());
        if (m_old == nullptr || m_old == HGDI_ERROR) {
            throw Exception(msg::kCantSelectObject);
        }
        m_bits = static_cast<TPixel*>(bits);
        StorageBitmaps().push_back(m_bitmap.Get());
    }

    ~TDibStorage() override {
        auto& all = StorageBitmaps();
        all.erase(std::remove(all.begin(), all.end(), m_bitmap.Get()), all.end());
        // The bitmap leaves the context before either is deleted.
        if (m_dc && m_old != nullptr && m_old != HGDI_ERROR) {
            SelectObject(m_dc.Get(), m_old);
        }
        m_dc.Reset();
        m_bitmap.Reset();
    }

    TPixel* Bits() override { return m_bits; }
    void* NativeDC() override { return m_dc.Get(); }

private:
    TBitmapHandle m_bitmap;
    TMemoryDC m_dc;
    HGDIOBJ m_old = nullptr;
    TPixel* m_bits = nullptr;
};

std::unique_ptr<TBitmapStorage> MakeDibStorage(int32_t width, int32_t height) {
    return std::make_unique<TDibStorage>(width, height);
}

TColor SystemColor(int index) {
    return static_cast<TColor>(GetSysColor(index));
}

TTransparentBltProc g_transparentBlt = nullptr;

TTransparentBltProc LoadTransparentBlt() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion < 5) {
        return nullptr;
    }
    // Kept loaded for the program's life.
    HMODULE library = LoadLibraryA("msimg32.dll");
    if (library == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<TTransparentBltProc>(reinterpret_cast<void*>(GetProcAddress(library, "TransparentBlt")));
}

}  // namespace

void InstallWin32Graphics() {
    SetBitmapStorageFactory(&MakeDibStorage);
    SetSystemColorResolver(&SystemColor);
    g_transparentBlt = LoadTransparentBlt();
    InstallBitmapConversions();
}

BITMAPINFO TopDownDibInfo(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows run top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool IsBitmapStorage(HBITMAP bitmap) {
    const auto& all = StorageBitmaps();
    return std::find(all.begin(), all.end(), bitmap) != all.end();
}

TTransparentBltProc TransparentBltEntry() {
    return g_transparentBlt;
}

void OverrideTransparentBlt(TTransparentBltProc proc) {
    g_transparentBlt = proc;
}

TRegionHandle CreateWindowRegion(const TRegion& region) {
    if (region.IsEmpty()) {
        // A shape with nothing in it: the window shows nothing and takes no clicks.
        return TRegionHandle(CreateRectRgn(0, 0, 0, 0));
    }
    const std::vector<TRect>& rects = region.Rects();
    std::vector<char> block(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(block.data());
    TRect bounds = region.Bounds();
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(rects.size());
    data->rdh.nRgnSize = 0;
    data->rdh.rcBound = {bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
    auto* out = reinterpret_cast<RECT*>(data->Buffer);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        out[i] = {rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom};
    }
    return TRegionHandle(ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), data));
}

}  // namespace zaprelay::win32
