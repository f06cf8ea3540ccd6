#include "framework/win32/icon.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/streams.h"
#include "framework/win32/gdi_canvas.h"

namespace zaprelay::win32 {
namespace {

constexpr char kInvalidIcon[] = "Icon image is not valid";

uint16_t Read16(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
uint32_t Read32(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

}  // namespace

int ChooseIconImage(const std::vector<uint8_t>& bytes, int cx, int cy, uint32_t& offset, uint32_t& size) {
    constexpr std::size_t kHeader = 6;
    constexpr std::size_t kEntry = 16;
    if (bytes.size() < kHeader || Read16(bytes, 0) != 0 || Read16(bytes, 2) != 1) {
        return -1;
    }
    std::size_t count = Read16(bytes, 4);
    if (count == 0 || bytes.size() < kHeader + count * kEntry) {
        return -1;
    }
    int best = -1;
    int bestScore = -1;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t e = kHeader + i * kEntry;
        int w = bytes[e] == 0 ? 256 : bytes[e];
        int h = bytes[e + 1] == 0 ? 256 : bytes[e + 1];
        uint32_t bits = Read16(bytes, e + 6);
        uint32_t length = Read32(bytes, e + 8);
        uint32_t start = Read32(bytes, e + 12);
        if (length == 0 || start > bytes.size() || length > bytes.size() - start) {
            return -1;
        }
        // Exact size first, then more colours; otherwise the bigger image.
        int score = (w == cx && h == cy) ? 1'000'000 + static_cast<int>(bits) : w * h;
        if (score > bestScore) {
            bestScore = score;
            best = static_cast<int>(i);
            offset = start;
            size = length;
        }
    }
    return best;
}

const TClassInfo& TIcon::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TIcon, TGraphic>("TIcon");
    return info;
}

void TIcon::CopyFrom(const TPersistent& source) {
    if (auto* other = dynamic_cast<const TIcon*>(&source)) {
        m_bytes = other->m_bytes;
        m_module = other->m_module;
        m_resource = other->m_resource;
        m_large.Reset();
        m_small.Reset();
        Changed();
        return;
    }
    TGraphic::CopyFrom(source);
}

void TIcon::DeclareProperties(TPropertyDeclarations& declarations) {
    declarations.DefineBinaryProperty(
        "Data",
        [this](TStream& stream) {
            std::vector<uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
            stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
            LoadFromBytes(bytes);
        },
        [this](TStream& stream) { stream.WriteBuffer(m_bytes.data(), static_cast<int64_t>(m_bytes.size())); },
        !m_bytes.empty());
}

int32_t TIcon::Width() const {
    return (m_bytes.empty() && m_resource.empty()) ? 0 : GetSystemMetrics(SM_CXICON);
}

int32_t TIcon::Height() const {
    return (m_bytes.empty() && m_resource.empty()) ? 0 : GetSystemMetrics(SM_CYICON);
}

void TIcon::Draw(TGdiCanvas& canvas, const TRect& rect) {
    HICON icon = rect.Width() <= GetSystemMetrics(SM_CXSMICON) ? SmallHandle() : LargeHandle();
    if (icon != nullptr) {
        DrawIconEx(canvas.Handle(), rect.Left, rect.Top, icon, rect.Width(), rect.Height(), 0, nullptr, DI_NORMAL);
    }
}

void TIcon::LoadFromBytes(const std::vector<uint8_t>& bytes) {
    uint32_t offset = 0;
    uint32_t size = 0;
    if (ChooseIconImage(bytes, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), offset, size) < 0) {
        throw EInvalidGraphic(kInvalidIcon);
    }
    std::vector<uint8_t> image(bytes.begin() + offset, bytes.begin() + offset + size);
    TIconHandle probe(CreateIconFromResourceEx(image.data(), size, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
    if (!probe) {
        throw EInvalidGraphic(kInvalidIcon);
    }
    m_bytes = bytes;
    m_module = nullptr;
    m_resource.clear();
    m_large.Reset();
    m_small.Reset();
    Changed();
}

void TIcon::LoadFromResource(HMODULE module, const wchar_t* name) {
    TIconHandle probe(static_cast<HICON>(LoadImageW(module, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    if (!probe) {
        throw EInvalidGraphic(kInvalidIcon);
    }
    m_bytes.clear();
    m_module = module;
    m_resource = IS_INTRESOURCE(name) ? std::wstring(L"#") + std::to_wstring(reinterpret_cast<uintptr_t>(name))
                                      : std::wstring(name);
    m_large.Reset();
    m_small.Reset();
    Changed();
}

void TIcon::Clear() {
    m_bytes.clear();
    m_resource.clear();
    m_module = nullptr;
    m_large.Reset();
    m_small.Reset();
    Changed();
}

HICON TIcon::LargeHandle() const {
    return Realise(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), m_large);
}

HICON TIcon::SmallHandle() const {
    int cx = GetSystemMetrics(SM_CXSMICON);
    int cy = GetSystemMetrics(SM_CYSMICON);
    if (cx <= 0 || cy <= 0) {
        cx = GetSystemMetrics(SM_CXSIZE);
        cy = GetSystemMetrics(SM_CYSIZE);
    }
    return Realise(cx, cy, m_small);
}

HICON TIcon::Realise(int cx, int cy, TIconHandle& slot) const {
    if (slot) {
        return slot.Get();
    }
    if (!m_resource.empty()) {
        slot.Reset(static_cast<HICON>(LoadImageW(m_module, m_resource.c_str(), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR)));
    } else if (!m_bytes.empty()) {
        uint32_t offset = 0;
        uint32_t size = 0;
        if (ChooseIconImage(m_bytes, cx, cy, offset, size) >= 0) {
            std::vector<uint8_t> image(m_bytes.begin() + offset, m_bytes.begin() + offset + size);
            slot.Reset(CreateIconFromResourceEx(image.data(), size, TRUE, 0x00030000, cx, cy, LR_DEFAULTCOLOR));
        }
    }
    return slot.Get();
}

void TIcon::Changed() {
    if (OnChange) {
        OnChange();
    }
}

}  // namespace zaprelay::win32
