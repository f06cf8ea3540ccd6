#include "framework/win32/image_list.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/streams.h"
#include "framework/win32/dib_storage.h"
#include "framework/win32/win_control.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace zaprelay::win32 {
namespace {

constexpr char kInvalidImageSize[] = "Invalid image size";
constexpr char kInvalidBitmap[] = "Invalid bitmap";
constexpr char kInvalidIcon[] = "Invalid icon";
constexpr char kOutOfResources[] = "Out of system resources";
constexpr char kDataNotValid[] = "Image list data is not valid";
constexpr char kDataTruncated[] = "Image list data is truncated";
constexpr char kDataBadSize[] = "Image list data has an invalid image size";
constexpr char kDataTrailing[] = "Image list data has bytes after the last image";

constexpr uint8_t kTag[4] = {'Z', 'I', 'L', '1'};
constexpr std::size_t kHeaderSize = 20;
constexpr uint32_t kFlagMasks = 1;

bool ValidSize(int64_t size) {
    return size >= kMinImageSize && size <= kMaxImageSize;
}

uint32_t Read32(std::span<const uint8_t> b, std::size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

void Write32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

// The pixels of any bitmap as top-down 0xAARRGGBB (a monochrome one reads black and white).
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int& width, int& height) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) != sizeof(info) || info.bmWidth <= 0 ||
        info.bmHeight == 0) {
        throw EInvalidOperation(kInvalidBitmap);
    }
    width = info.bmWidth;
    height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    BITMAPINFO header = TopDownDibInfo(width, height);
    TWindowDC screen(nullptr);
    if (GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &header, DIB_RGB_COLORS) !=
        height) {
        throw EInvalidOperation(kInvalidBitmap);
    }
    return pixels;
}

// The width x height block at column left of a top-down surface that is stride pixels wide.
std::vector<uint32_t> Block(const std::vector<uint32_t>& pixels, int stride, int left, int width, int height) {
    std::vector<uint32_t> block(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * stride + left;
        std::copy(row, row + width, block.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }
    return block;
}

// The images of a strip: bitmap width / w of them from the left, the top h rows of each.
std::vector<TImageListImage> Strip(HBITMAP image, HBITMAP mask, int w, int h) {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels = BitmapPixels(image, width, height);
    if (width < w || height < h) {
        throw EInvalidOperation(kInvalidImageSize);
    }
    const int count = width / w;
    std::vector<uint32_t> maskPixels;
    int maskWidth = 0;
    if (mask != nullptr) {
        int maskHeight = 0;
        maskPixels = BitmapPixels(mask, maskWidth, maskHeight);
        if (maskWidth < count * w || maskHeight < h) {
            throw EInvalidOperation(kInvalidImageSize);
        }
    }
    std::vector<TImageListImage> images(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        TImageListImage& item = images[static_cast<std::size_t>(i)];
        item.Pixels = Block(pixels, width, i * w, w, h);
        item.Mask.assign(item.Pixels.size(), 0);
        if (mask != nullptr) {
            std::vector<uint32_t> bits = Block(maskPixels, maskWidth, i * w, w, h);
            std::transform(bits.begin(), bits.end(), item.Mask.begin(),
                           [](uint32_t bit) -> uint8_t { return (bit & 0xFFFFFF) != 0 ? 1 : 0; });
        }
    }
    return images;
}

TBitmapHandle ColorBitmap(const std::vector<uint32_t>& pixels, int width, int height) {
    BITMAPINFO header = TopDownDibInfo(width, height);
    void* bits = nullptr;
    TBitmapHandle bitmap(CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) {
        throw EOutOfResources(kOutOfResources);
    }
    std::memcpy(bits, pixels.data(), pixels.size() * sizeof(uint32_t));
    GdiFlush();
    return bitmap;
}

// One bit per pixel, set where transparent; rows padded to 16 bits as CreateBitmap wants.
TBitmapHandle MaskBitmap(const std::vector<uint8_t>& mask, int width, int height) {
    std::size_t stride = (static_cast<std::size_t>(width) + 15) / 16 * 2;
    std::vector<uint8_t> bits(stride * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (mask[static_cast<std::size_t>(y) * width + x] != 0) {
                bits[y * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    TBitmapHandle bitmap(CreateBitmap(width, height, 1, 1, bits.data()));
    if (!bitmap) {
        throw EOutOfResources(kOutOfResources);
    }
    return bitmap;
}

// Light grey of the pixel's lightness, alpha kept: how a disabled glyph looks.
uint32_t Greyed(uint32_t pixel) {
    uint32_t r = (pixel >> 16) & 0xFF;
    uint32_t g = (pixel >> 8) & 0xFF;
    uint32_t b = pixel & 0xFF;
    uint32_t grey = 128 + ((r * 77 + g * 150 + b * 29) >> 9);
    return (pixel & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
}

COLORREF SystemColorRef(TColor color) {
    if (color == clNone) {
        return CLR_NONE;
    }
    if (color == clDefault) {
        return CLR_DEFAULT;
    }
    if (IsSystemColor(color)) {
        return GetSysColor(color & 0xFF);
    }
    return static_cast<COLORREF>(color) & 0xFFFFFF;
}

// Adds one image to a system list. With masks, the transparent pixels go in black, which the
// masked blit needs.
void AddToSystemList(HIMAGELIST list, const TImageListImage& image, int width, int height, bool masked, bool greyed) {
    std::vector<uint32_t> pixels = image.Pixels;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (masked && image.Mask[i] != 0) {
            pixels[i] = 0;
        } else if (greyed) {
            pixels[i] = Greyed(pixels[i]);
        }
    }
    TBitmapHandle color = ColorBitmap(pixels, width, height);
    // An unmasked list is given no mask: some systems would still turn it into transparency.
    TBitmapHandle mask = masked ? MaskBitmap(image.Mask, width, height) : TBitmapHandle();
    if (ImageList_Add(list, color.Get(), mask.Get()) < 0) {
        throw EOutOfResources(kOutOfResources);
    }
}

}  // namespace

std::vector<uint8_t> WriteImageListData(const TImageListData& data) {
    bool masks = std::any_of(data.Images.begin(), data.Images.end(), [](const TImageListImage& image) {
        return std::any_of(image.Mask.begin(), image.Mask.end(), [](uint8_t m) { return m != 0; });
    });
    std::size_t pixels = static_cast<std::size_t>(data.Width) * static_cast<std::size_t>(data.Height);
    std::vector<uint8_t> out;
    out.reserve(kHeaderSize + data.Images.size() * pixels * (masks ? 5 : 4));
    for (uint8_t b : kTag) {
        out.push_back(b);
    }
    Write32(out, static_cast<uint32_t>(data.Images.size()));
    Write32(out, static_cast<uint32_t>(data.Width));
    Write32(out, static_cast<uint32_t>(data.Height));
    Write32(out, masks ? kFlagMasks : 0);
    for (const TImageListImage& image : data.Images) {
        for (uint32_t p : image.Pixels) {
            Write32(out, p);
        }
        if (masks) {
            for (uint8_t m : image.Mask) {
                out.push_back(m != 0 ? 1 : 0);
            }
        }
    }
    return out;
}

TImageListData ReadImageListData(std::span<const uint8_t> bytes) {
    if (bytes.size() < kHeaderSize) {
        throw EReadError(kDataTruncated);
    }
    if (!std::equal(std::begin(kTag), std::end(kTag), bytes.begin())) {
        throw EReadError(kDataNotValid);
    }
    uint32_t count = Read32(bytes, 4);
    uint32_t width = Read32(bytes, 8);
    uint32_t height = Read32(bytes, 12);
    uint32_t flags = Read32(bytes, 16);
    if ((flags & ~kFlagMasks) != 0) {
        throw EReadError(kDataNotValid);
    }
    if (!ValidSize(width) || !ValidSize(height)) {
        throw EReadError(kDataBadSize);
    }
    const bool masks = (flags & kFlagMasks) != 0;
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    const std::size_t perImage = pixels * (masks ? 5 : 4);
    const std::size_t left = bytes.size() - kHeaderSize;
    if (count > left / perImage) {
        throw EReadError(kDataTruncated);
    }
    if (static_cast<std::size_t>(count) * perImage != left) {
        throw EReadError(kDataTrailing);
    }

    TImageListData data;
    data.Width = static_cast<int32_t>(width);
    data.Height = static_cast<int32_t>(height);
    data.Images.resize(count);
    std::size_t at = kHeaderSize;
    for (TImageListImage& image : data.Images) {
        image.Pixels.resize(pixels);
        for (uint32_t& p : image.Pixels) {
            p = Read32(bytes, at);
            at += 4;
        }
        image.Mask.assign(pixels, 0);
        if (masks) {
            for (uint8_t& m : image.Mask) {
                m = bytes[at++] != 0 ? 1 : 0;
            }
        }
    }
    return data;
}

// ---------------------------------------------------------------- TImageList

const TClassInfo& TImageList::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TImageList, TComponent>("TImageList");
        TClassBuilder<TImageList>(i)
            .Color("BkColor", &TImageList::BkColor, &TImageList::SetBkColor, clNone)
            .Integer("Height", &TImageList::Height, &TImageList::SetHeight, 16)
            .Boolean("Masked", &TImageList::Masked, &TImageList::SetMasked, true)
            .Integer("Width", &TImageList::Width, &TImageList::SetWidth, 16)
            .Event("OnChange", &TImageList::OnChange)
            .Creatable();
        return i;
    }();
    return info;
}

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

TImageList::~TImageList() = default;

void TImageList::CopyFrom(const TPersistent& source) {
    if (auto* other = dynamic_cast<const TImageList*>(&source)) {
        if (other != this) {
            m_masked = other->m_masked;
            m_bkColor = other->m_bkColor;
            ReplaceData(other->m_data);
        }
        return;
    }
    TComponent::CopyFrom(source);
}

void TImageList::DeclareProperties(TPropertyDeclarations& declarations) {
    TComponent::DeclareProperties(declarations);
    declarations.DefineBinaryProperty(
        "Bitmap",
        [this](TStream& stream) {
            std::vector<uint8_t> bytes(static_cast<std::size_t>(stream.Remaining()));
            stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
            ReplaceData(ReadImageListData(bytes));
        },
        [this](TStream& stream) {
            std::vector<uint8_t> bytes = WriteImageListData(m_data);
            stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        },
        !m_data.Images.empty());
}

void TImageList::SetWidth(int32_t value) {
    if (!ValidSize(value)) {
        throw EInvalidOperation(kInvalidImageSize);
    }
    if (value != m_data.Width) {
        m_data.Width = value;
        m_data.Images.clear();
        InvalidateHandles();
        Changed();
    }
}

void TImageList::SetHeight(int32_t value) {
    if (!ValidSize(value)) {
        throw EInvalidOperation(kInvalidImageSize);
    }
    if (value != m_data.Height) {
        m_data.Height = value;
        m_data.Images.clear();
        InvalidateHandles();
        Changed();
    }
}

void TImageList::SetMasked(bool value) {
    if (value != m_masked) {
        m_masked = value;
        InvalidateHandles();
        Changed();
    }
}

void TImageList::SetBkColor(TColor value) {
    if (value != m_bkColor) {
        m_bkColor = value;
        InvalidateHandles();
        Changed();
    }
}

const TImageListImage& TImageList::Image(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(Format(msg::kListIndexError, {std::to_string(index)}));
    }
    return m_data.Images[static_cast<std::size_t>(index)];
}

int TImageList::Add(HBITMAP image, HBITMAP mask) {
    return AddImages(Strip(image, mask, m_data.Width, m_data.Height));
}

int TImageList::AddMasked(HBITMAP image, COLORREF maskColor) {
    std::vector<TImageListImage> images = Strip(image, nullptr, m_data.Width, m_data.Height);
    const uint32_t key = (GetRValue(maskColor) << 16) | (GetGValue(maskColor) << 8) | GetBValue(maskColor);
    for (TImageListImage& item : images) {
        for (std::size_t p = 0; p < item.Pixels.size(); ++p) {
            if ((item.Pixels[p] & 0xFFFFFF) == key) {
                item.Mask[p] = 1;
            }
        }
    }
    return AddImages(std::move(images));
}

int TImageList::AddIcon(HICON icon) {
    const int w = m_data.Width;
    const int h = m_data.Height;
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        throw EInvalidOperation(kInvalidIcon);
    }
    TBitmapHandle color(info.hbmColor);
    TBitmapHandle mask(info.hbmMask);
    BITMAP maskInfo{};
    GetObjectW(mask.Get(), sizeof(maskInfo), &maskInfo);
    const int iconHeight = color ? maskInfo.bmHeight : maskInfo.bmHeight / 2;
    TIconHandle scaled;
    if (maskInfo.bmWidth != w || iconHeight != h) {
        scaled.Reset(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, w, h, 0)));
        ICONINFO scaledInfo{};
        if (!scaled || !GetIconInfo(scaled.Get(), &scaledInfo)) {
            throw EInvalidOperation(kInvalidIcon);
        }
        color.Reset(scaledInfo.hbmColor);
        mask.Reset(scaledInfo.hbmMask);
    }
    int width = 0;
    int height = 0;
    std::vector<uint32_t> maskPixels = BitmapPixels(mask.Get(), width, height);
    if (width < w || height < h) {
        throw EInvalidOperation(kInvalidIcon);
    }
    TImageListImage item;
    std::vector<uint32_t> maskBlock = Block(maskPixels, width, 0, w, h);
    item.Mask.resize(maskBlock.size());
    std::transform(maskBlock.begin(), maskBlock.end(), item.Mask.begin(),
                   [](uint32_t bit) -> uint8_t { return (bit & 0xFFFFFF) != 0 ? 1 : 0; });
    if (color) {
        std::vector<uint32_t> pixels = BitmapPixels(color.Get(), width, height);
        if (width < w || height < h) {
            throw EInvalidOperation(kInvalidIcon);
        }
        item.Pixels = Block(pixels, width, 0, w, h);
    } else {
        // A monochrome icon keeps its image under the mask, in the lower half.
        if (height < 2 * h) {
            throw EInvalidOperation(kInvalidIcon);
        }
        std::vector<uint32_t> lower(maskPixels.begin() + static_cast<std::ptrdiff_t>(h) * width, maskPixels.end());
        item.Pixels = Block(lower, width, 0, w, h);
    }
    std::vector<TImageListImage> images;
    images.push_back(std::move(item));
    return AddImages(std::move(images));
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= Count()) {
        throw EListError(Format(msg::kListIndexError, {std::to_string(index)}));
    }
    m_data.Images.erase(m_data.Images.begin() + index);
    if (m_handle && !ImageList_Remove(m_handle.Get(), index)) {
        m_handle.Reset();
    }
    m_disabled.Reset();
    Changed();
}

void TImageList::Clear() {
    if (m_data.Images.empty()) {
        return;
    }
    m_data.Images.clear();
    InvalidateHandles();
    Changed();
}

void TImageList::Draw(HDC dc, int x, int y, int index, bool enabled) {
    if (index < 0 || index >= Count()) {
        return;
    }
    HIMAGELIST list = nullptr;
    try {
        list = enabled ? Handle() : DisabledHandle();
    } catch (const Exception&) {
        return;  // out of system resources: nothing to draw with
    }
    ImageList_Draw(list, index, dc, x, y, ILD_NORMAL);
}

HIMAGELIST TImageList::Handle() {
    if (!m_handle) {
        m_handle = BuildHandle(false);
    }
    return m_handle.Get();
}

HIMAGELIST TImageList::DisabledHandle() {
    if (!m_disabled) {
        m_disabled = BuildHandle(true);
    }
    return m_disabled.Get();
}

TImageListHandle TImageList::BuildHandle(bool greyed) const {
    const int w = m_data.Width;
    const int h = m_data.Height;
    TImageListHandle list(ImageList_Create(w, h, ILC_COLOR32 | (m_masked ? ILC_MASK : 0), Count(), 4));
    if (!list) {
        throw EOutOfResources(kOutOfResources);
    }
    ImageList_SetBkColor(list.Get(), SystemColorRef(m_bkColor));
    for (const TImageListImage& image : m_data.Images) {
        AddToSystemList(list.Get(), image, w, h, m_masked, greyed);
    }
    return list;
}

int TImageList::AddImages(std::vector<TImageListImage> images) {
    const int first = Count();
    if (images.empty()) {
        return first;
    }
    m_data.Images.reserve(m_data.Images.size() + images.size());
    for (TImageListImage& image : images) {
        m_data.Images.push_back(std::move(image));
    }
    // The pixels are what counts; a system list that cannot take them is made again on demand.
    if (m_handle) {
        try {
            for (std::size_t i = static_cast<std::size_t>(first); i < m_data.Images.size(); ++i) {
                AddToSystemList(m_handle.Get(), m_data.Images[i], m_data.Width, m_data.Height, m_masked, false);
            }
        } catch (const Exception&) {
            m_handle.Reset();
        }
    }
    m_disabled.Reset();
    Changed();
    return first;
}

void TImageList::ReplaceData(TImageListData data) {
    m_data = std::move(data);
    InvalidateHandles();
    Changed();
}

void TImageList::InvalidateHandles() {
    m_handle.Reset();
    m_disabled.Reset();
}

void TImageList::Changed() {
    if (OnChange) {
        OnChange(this);
    }
}

}  // namespace zaprelay::win32
