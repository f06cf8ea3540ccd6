#include "skin/store/skin_filters.h"

#include "framework/graphics/pixel.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/strings.h"
#include "skin/objects/skin_object_io.h"
#include "skin/store/bmp_codec.h"
#include "skin/store/skin_source.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace zaprelay::skin {
namespace {

constexpr char kClassNotRegistered[] = "Skin object class %s is not registered";
constexpr char kPayloadTooLarge[] = "Skin data is larger than %d bytes";
// Raw skin pixels near this magenta become see-through.
constexpr TPixel kMagentaKey = 0x00FF00FF;
constexpr int64_t kInflateChunk = 1 << 16;

std::vector<const TVxSkinFilterClass*>& Registry() {
    static std::vector<const TVxSkinFilterClass*> classes;
    return classes;
}

template <typename T>
const TVxSkinFilterClass& DescribeFilter() {
    static const TVxSkinFilterClass info{&T::Extension, &T::Description,
                                         []() -> std::unique_ptr<TVxSkinFilter> { return std::make_unique<T>(); }};
    return info;
}

void ReadHeader(TStream& stream, TVxSkinSource& source) {
    source.SetSkinName(ReadSkinString(stream));
    source.SetSkinVersion(ReadSkinString(stream));
    source.SetAuthor(ReadSkinString(stream));
    source.SetAuthorEMail(ReadSkinString(stream));
    source.SetAuthorURL(ReadSkinString(stream));
}

void WriteHeader(TStream& stream, const TVxSkinSource& source) {
    WriteSkinString(stream, source.SkinName());
    WriteSkinString(stream, source.SkinVersion());
    WriteSkinString(stream, source.Author());
    WriteSkinString(stream, source.AuthorEMail());
    WriteSkinString(stream, source.AuthorURL());
}

// A bitmap record of the standard payload: name, width, height, then the pixels when the
// bitmap takes exactly the stored size. Negative sizes still size the bitmap (by their
// absolute values) but carry no pixels. The size is held to what the stream has left
// before anything is allocated, whether or not pixels follow.
std::unique_ptr<TVxBitmap> ReadBitmapRecord(TStream& stream) {
    auto bitmap = std::make_unique<TVxBitmap>();
    bitmap->SetName(ReadSkinString(stream));
    const int32_t width = stream.ReadInt32();
    const int32_t height = stream.ReadInt32();
    const int64_t pixels = std::llabs(int64_t{width}) * std::llabs(int64_t{height});  // below 2^62
    if (pixels > stream.Remaining() / 4) {
        throw EReadError(msg::kStreamReadError);
    }
    bitmap->SetSize(width, height);
    if (!bitmap->Empty() && bitmap->Width() == width && bitmap->Height() == height) {
        stream.ReadBuffer(bitmap->Bits(), pixels * 4);
    }
    return bitmap;
}

// A top-level object record. The record reader gives none for a class it does not know,
// without reading further; the skin cannot go on without the object, so the whole
// container is refused, naming the class.
TVxSkinObject* ReadTopLevelObject(TStream& stream, bool binary) {
    const int64_t start = stream.Position();
    TVxSkinObject* object = binary ? ReadSkinObjectBinary(stream, nullptr) : ReadSkinObject(stream, nullptr);
    if (object == nullptr) {
        stream.SetPosition(start);
        throw EClassNotFound(Format(kClassNotRegistered, {ReadSkinString(stream)}));
    }
    return object;
}

void WriteObjects(TStream& stream, const TVxSkinSource& source, bool binary) {
    stream.WriteInt32(source.Count());
    for (const TSkinObjectPtr& object : source.ObjectList()) {
        if (binary) {
            WriteSkinObjectBinary(stream, *object);
        } else {
            WriteSkinObject(stream, *object);
        }
    }
}

}  // namespace

// ---- TVxSkinFilter

const TClassInfo& TVxSkinFilter::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TVxSkinFilter, TPersistent>("TVxSkinFilter");
    return info;
}

void TVxSkinFilter::AddObject(TVxSkinObject* object) {
    m_source->AddObject(TSkinObjectPtr(object));
    object->SetBitmapList(&m_source->Bitmaps());
    object->LinkBitmaps();
}

void TVxSkinFilter::ReadSkin(TStream& stream) {
    if (m_source == nullptr) {
        return;
    }
    m_source->Clear();
    ReadHeader(stream, *m_source);
    // A negative count reads no records.
    const int32_t bitmapCount = stream.ReadInt32();
    for (int32_t i = 0; i < bitmapCount; ++i) {
        std::unique_ptr<TVxBitmap> bitmap = ReadBitmapRecord(stream);
        bitmap->ReplaceColor(kMagentaKey);
        m_source->Bitmaps().Add(std::move(bitmap));
    }
    const int32_t objectCount = stream.ReadInt32();
    for (int32_t i = 0; i < objectCount; ++i) {
        AddObject(ReadTopLevelObject(stream, false));
    }
}

void TVxSkinFilter::WriteSkin(TStream& stream) {
    if (m_source == nullptr) {
        return;
    }
    WriteHeader(stream, *m_source);
    const TVxBitmapList& bitmaps = m_source->Bitmaps();
    stream.WriteInt32(bitmaps.Count());
    for (int i = 0; i < bitmaps.Count(); ++i) {
        bitmaps.GetBitmap(i)->SaveToStream(stream);
    }
    WriteObjects(stream, *m_source, false);
}

void TVxSkinFilter::LoadSkin(TStream&) {}

void TVxSkinFilter::SaveSkin(TStream&) {}

void TVxSkinFilter::LoadEnveloped(TStream& stream) {
    uint8_t magic[4];
    stream.ReadBuffer(magic, sizeof magic);
    // Inflated straight into one buffer, left uninitialised until written: no chunk is copied
    // twice. Skins inflate to about ten times their size, so a first guess that most skins fit
    // spares the regrowths and their copies.
    int64_t capacity = std::clamp<int64_t>(stream.Remaining() * 12, 4 * kInflateChunk, kMaxSkinPayload);
    std::unique_ptr<uint8_t[]> payload(new uint8_t[static_cast<std::size_t>(capacity)]);
    int64_t size = 0;
    {
        TDecompressionStream inflater(stream);
        for (;;) {
            if (capacity - size < kInflateChunk) {
                const int64_t grown = std::min(capacity * 2, kMaxSkinPayload + kInflateChunk);
                std::unique_ptr<uint8_t[]> larger(new uint8_t[static_cast<std::size_t>(grown)]);
                std::copy_n(payload.get(), size, larger.get());
                payload = std::move(larger);
                capacity = grown;
            }
            const int64_t got = inflater.Read(payload.get() + size, capacity - size);
            if (got == 0) {
                break;
            }
            size += got;
            if (size > kMaxSkinPayload) {
                throw EReadError(Format(kPayloadTooLarge, {std::to_string(kMaxSkinPayload)}));
            }
        }
        // Without its trailer the data may be cut anywhere; it is not a skin.
        if (!inflater.Ended()) {
            throw EReadError(msg::kStreamReadError);
        }
    }
    TBytesStream data(std::span<const uint8_t>(payload.get(), static_cast<std::size_t>(size)));
    ReadSkin(data);
}

void TVxSkinFilter::SaveEnveloped(TStream& stream, TCompressionLevel level) {
    stream.WriteBuffer(kSkinMagic, 4);
    TCompressionStream deflater(level, stream);
    WriteSkin(deflater);
    deflater.Finish();
}

// ---- the four filters

const TClassInfo& TVxSkinFilterUncompressed::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TVxSkinFilterUncompressed, TVxSkinFilter>("TVxSkinFilterUncompressed");
    return info;
}
const TVxSkinFilterClass& TVxSkinFilterUncompressed::Class() {
    return DescribeFilter<TVxSkinFilterUncompressed>();
}
void TVxSkinFilterUncompressed::LoadSkin(TStream& stream) {
    ReadSkin(stream);
}
void TVxSkinFilterUncompressed::SaveSkin(TStream& stream) {
    WriteSkin(stream);
}

const TClassInfo& TVxSkinFilterCompressed::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TVxSkinFilterCompressed, TVxSkinFilter>("TVxSkinFilterCompressed");
    return info;
}
const TVxSkinFilterClass& TVxSkinFilterCompressed::Class() {
    return DescribeFilter<TVxSkinFilterCompressed>();
}
void TVxSkinFilterCompressed::LoadSkin(TStream& stream) {
    LoadEnveloped(stream);
}
void TVxSkinFilterCompressed::SaveSkin(TStream& stream) {
    SaveEnveloped(stream, TCompressionLevel::Fastest);
}

const TClassInfo& TVxSkinFilterUltraCompressed::StaticClassInfo() {
    static const TClassInfo info =
        NewClassInfo<TVxSkinFilterUltraCompressed, TVxSkinFilter>("TVxSkinFilterUltraCompressed");
    return info;
}
const TVxSkinFilterClass& TVxSkinFilterUltraCompressed::Class() {
    return DescribeFilter<TVxSkinFilterUltraCompressed>();
}
void TVxSkinFilterUltraCompressed::LoadSkin(TStream& stream) {
    LoadEnveloped(stream);
}
void TVxSkinFilterUltraCompressed::SaveSkin(TStream& stream) {
    SaveEnveloped(stream, TCompressionLevel::Max);
}

const TClassInfo& TVxSkinFilterMaxCompression::StaticClassInfo() {
    static const TClassInfo info =
        NewClassInfo<TVxSkinFilterMaxCompression, TVxSkinFilterUltraCompressed>("TVxSkinFilterMaxCompression");
    return info;
}
const TVxSkinFilterClass& TVxSkinFilterMaxCompression::Class() {
    return DescribeFilter<TVxSkinFilterMaxCompression>();
}

void TVxSkinFilterMaxCompression::ReadSkin(TStream& stream) {
    TVxSkinSource* source = Source();
    if (source == nullptr) {
        return;
    }
    source->Clear();
    ReadHeader(stream, *source);
    const int32_t bitmapCount = stream.ReadInt32();
    for (int32_t i = 0; i < bitmapCount; ++i) {
        std::string name = ReadSkinString(stream);
        const int32_t size = stream.ReadInt32();
        if (size < 0 || size > stream.Remaining()) {
            throw EReadError(msg::kStreamReadError);
        }
        std::vector<uint8_t> image(static_cast<std::size_t>(size));
        stream.ReadBuffer(image.data(), size);
        auto bitmap = std::make_unique<TVxBitmap>();
        // An empty bitmap is stored without an image.
        if (size > 0) {
            DecodeBmp(image, *bitmap);
        }
        // 16 bits per pixel blur the key colour; bring it back exactly.
        bitmap->ReplaceColor(TransparentColor);
        bitmap->SetName(name);
        source->Bitmaps().Add(std::move(bitmap));
    }
    const int32_t objectCount = stream.ReadInt32();
    for (int32_t i = 0; i < objectCount; ++i) {
        AddObject(ReadTopLevelObject(stream, true));
    }
}

void TVxSkinFilterMaxCompression::WriteSkin(TStream& stream) {
    TVxSkinSource* source = Source();
    if (source == nullptr) {
        return;
    }
    WriteHeader(stream, *source);
    const TVxBitmapList& bitmaps = source->Bitmaps();
    stream.WriteInt32(bitmaps.Count());
    for (int i = 0; i < bitmaps.Count(); ++i) {
        const TVxBitmap& bitmap = *bitmaps.GetBitmap(i);
        WriteSkinString(stream, bitmap.Name());
        if (bitmap.Empty()) {
            stream.WriteInt32(0);
            continue;
        }
        std::vector<uint8_t> image = EncodeBmp565(bitmap);
        stream.WriteInt32(static_cast<int32_t>(image.size()));
        stream.WriteBuffer(image.data(), static_cast<int64_t>(image.size()));
    }
    WriteObjects(stream, *source, true);
}

// ---- registry

void RegisterSkinFilter(const TVxSkinFilterClass& filterClass) {
    auto& classes = Registry();
    if (std::find(classes.begin(), classes.end(), &filterClass) == classes.end()) {
        classes.push_back(&filterClass);
    }
}

void UnregisterSkinFilter(const TVxSkinFilterClass& filterClass) {
    auto& classes = Registry();
    classes.erase(std::remove(classes.begin(), classes.end(), &filterClass), classes.end());
}

void RegisterStandardSkinFilters() {
    RegisterSkinFilter(TVxSkinFilterUncompressed::Class());
    RegisterSkinFilter(TVxSkinFilterCompressed::Class());
    RegisterSkinFilter(TVxSkinFilterUltraCompressed::Class());
    RegisterSkinFilter(TVxSkinFilterMaxCompression::Class());
}

void UnregisterStandardSkinFilters() {
    UnregisterSkinFilter(TVxSkinFilterMaxCompression::Class());
    UnregisterSkinFilter(TVxSkinFilterUltraCompressed::Class());
    UnregisterSkinFilter(TVxSkinFilterCompressed::Class());
    UnregisterSkinFilter(TVxSkinFilterUncompressed::Class());
}

const TVxSkinFilterClass* FindSkinFilter(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t separator = fileName.find_last_of("/\\");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) {
        return nullptr;
    }
    const std::string_view extension = fileName.substr(dot + 1);
    for (const TVxSkinFilterClass* filterClass : Registry()) {
        if (SameText(extension, filterClass->Extension())) {
            return filterClass;
        }
    }
    return nullptr;
}

const TVxSkinFilterClass& DefaultSkinFilter() {
    return TVxSkinFilterCompressed::Class();
}

}  // namespace zaprelay::skin
