// The image list component: equal-sized images (toolbar and menu glyphs, tray states) kept as
// pixels, streamed with the layout, and drawn through a system image list made from them.
#pragma once

#include "framework/rtl/component.h"
#include "framework/rtl/ident_tables.h"
#include "framework/win32/gdi_handles.h"
#include "framework/win32/platform.h"

#include <commctrl.h>
#include <cstdint>
#include <span>
#include <vector>

namespace zaprelay::win32 {

// One image: Width x Height pixels, top-down rows, 0xAARRGGBB; Mask has one byte per pixel,
// non-zero where the image is transparent.
struct TImageListImage {
    std::vector<uint32_t> Pixels;
    std::vector<uint8_t> Mask;
};

struct TImageListData {
    int32_t Width = 16;
    int32_t Height = 16;
    std::vector<TImageListImage> Images;
};

// The sizes an image list accepts, in pixels, for either side.
inline constexpr int32_t kMinImageSize = 1;
inline constexpr int32_t kMaxImageSize = 1024;

// The "Bitmap" property's bytes, all numbers little-endian:
//   "ZIL1", uint32 count, uint32 width, uint32 height, uint32 flags (bit 0: masks follow),
//   then per image width * height pixels of 4 bytes (B, G, R, A; top row first) and, with
//   bit 0, width * height mask bytes (0 drawn, 1 transparent).
// The reader checks the tag, the sizes against kMin/kMaxImageSize and every length against
// the bytes left, and takes no trailing bytes; else it raises EReadError naming the fault.
std::vector<uint8_t> WriteImageListData(const TImageListData& data);
TImageListData ReadImageListData(std::span<const uint8_t> bytes);

namespace detail {
inline void DestroyImageList(HIMAGELIST list) {
    ImageList_Destroy(list);
}
}  // namespace detail
using TImageListHandle = TOwnedHandle<HIMAGELIST, &detail::DestroyImageList>;

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner);
    ~TImageList() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    // Another image list's size, settings and images.
    void CopyFrom(const TPersistent& source) override;
    void DeclareProperties(TPropertyDeclarations& declarations) override;

    // A new size empties the list (its images no longer fit). A size outside
    // kMin/kMaxImageSize raises EInvalidOperation "Invalid image size" and changes nothing.
    int32_t Width() const { return m_data.Width; }
    void SetWidth(int32_t value);
    int32_t Height() const { return m_data.Height; }
    void SetHeight(int32_t value);
    // False: images are drawn whole, masks ignored (they are kept and streamed all the same).
    bool Masked() const { return m_masked; }
    void SetMasked(bool value);
    // Painted under the transparent pixels; clNone leaves them transparent.
    TColor BkColor() const { return m_bkColor; }
    void SetBkColor(TColor value);

    int Count() const { return static_cast<int>(m_data.Images.size()); }
    const TImageListImage& Image(int index) const;

    // The bitmaps are copied, not kept. image holds one image, or a strip of them side by side
    // (its width / Width images, from the left, top rows); mask (none: all drawn) is
    // non-black where the image is transparent. Returns the index of the first image added.
    // Raises EInvalidOperation "Invalid image size" for a bitmap smaller than one image and
    // EInvalidOperation "Invalid bitmap" for a handle that is not a bitmap.
    int Add(HBITMAP image, HBITMAP mask);
    // The same, with the pixels of maskColor (0x00BBGGRR) transparent.
    int AddMasked(HBITMAP image, COLORREF maskColor);
    // The icon at the list's size (scaled when it has another); raises EInvalidOperation
    // "Invalid icon" for a handle that is not an icon.
    int AddIcon(HICON icon);
    // index 0..Count()-1, else EListError "List index out of bounds (index)".
    void Delete(int index);
    void Clear();

    // Draws an image with its top left at x, y: as it is, or in light grey when !enabled.
    // An index outside the list draws nothing (painting code must not fail).
    void Draw(HDC dc, int x, int y, int index, bool enabled = true);

    // The system image list for the images, made on demand; the component keeps ownership.
    HIMAGELIST Handle();

    TNotifyEvent OnChange;

private:
    int AddImages(std::vector<TImageListImage> images);
    void ReplaceData(TImageListData data);
    HIMAGELIST DisabledHandle();
    TImageListHandle BuildHandle(bool greyed) const;
    void InvalidateHandles();
    void Changed();

    TImageListData m_data;
    bool m_masked = true;
    TColor m_bkColor = clNone;
    TImageListHandle m_handle;
    TImageListHandle m_disabled;  // grey copies for Draw(..., false), made on first use
};

}  // namespace zaprelay::win32
