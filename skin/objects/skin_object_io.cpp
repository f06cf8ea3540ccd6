#include "skin/objects/skin_object_io.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/streams.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zaprelay::skin {
namespace {

constexpr char kClassNotRegistered[] = "Skin object class %s is not registered";
constexpr char kTooDeep[] = "Skin objects are nested deeper than %d levels";
constexpr char kBadSize[] = "Invalid skin object record size %d";
constexpr char kBadCount[] = "Invalid skin object count %d";
constexpr char kBadString[] = "Invalid skin string length %d";
// The smallest record: an empty class name's length and a size (or text length).
constexpr int64_t kMinRecordSize = 8;

std::vector<const TClassInfo*>& Registry() {
    static std::vector<const TClassInfo*> classes;
    return classes;
}

// Counts the records being read on this thread, so a crafted nesting ends in an error
// rather than a stack overflow.
thread_local int t_depth = 0;

class DepthGuard {
public:
    DepthGuard() {
        if (t_depth >= kMaxSkinObjectDepth) {
            throw EReadError(Format(kTooDeep, {std::to_string(kMaxSkinObjectDepth)}));
        }
        ++t_depth;
    }
    ~DepthGuard() { --t_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

TVxSkinObject* Create(const TClassInfo& info, TVxSkinObject* parent) {
    TComponent* component = info.Create(parent);
    auto* object = dynamic_cast<TVxSkinObject*>(component);
    if (object == nullptr) {
        // Registration checks the class, so this is a class that lies about itself.
        component->Free();
        throw EClassNotFound(Format(kClassNotRegistered, {info.Name()}));
    }
    return object;
}

// Creates the object of a record whose class name has been read, and fills it from body.
// A failing top-level object is freed; a child stays with its parent.
TVxSkinObject* ReadBody(const TClassInfo& info,
                        TVxSkinObject* parent,
                        const std::function<void(TVxSkinObject&)>& body) {
    TVxSkinObject* object = Create(info, parent);
    try {
        body(*object);
    } catch (...) {
        if (parent == nullptr) {
            object->Free();
        }
        throw;
    }
    object->SetCharset(DEFAULT_CHARSET);
    return object;
}

// The class of a record; none for an unregistered top-level class, whose body stays
// unread. Under a parent the tree cannot go on without it.
const TClassInfo* RecordClass(TStream& stream, TVxSkinObject* parent) {
    std::string className = ReadSkinString(stream);
    const TClassInfo* info = FindSkinObjectClass(className);
    if (info == nullptr && parent != nullptr) {
        throw EClassNotFound(Format(kClassNotRegistered, {className}));
    }
    return info;
}

void ReadBinaryBody(TStream& stream, TVxSkinObject& object) {
    int32_t size = stream.ReadInt32();
    if (size < 0 || size > stream.Remaining()) {
        throw EReadError(Format(kBadSize, {std::to_string(size)}));
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    stream.ReadBuffer(bytes.data(), size);
    TBytesStream body(bytes);
    ReadObjectStream(body, object);
}

void ReadTextBody(TStream& stream, TVxSkinObject& object) {
    std::vector<uint8_t> bytes = TextToBinary(ReadSkinString(stream));
    TBytesStream body(bytes);
    ReadObjectStream(body, object);
}

}  // namespace

void RegisterSkinObjectClass(const TClassInfo& info) {
    if (!info.InheritsFrom(TVxSkinObject::StaticClassInfo()) || !info.Create) {
        throw std::logic_error(info.Name() + " is not a creatable skin object class");
    }
    auto& classes = Registry();
    if (std::find(classes.begin(), classes.end(), &info) == classes.end()) {
        classes.push_back(&info);
    }
}

const TClassInfo* FindSkinObjectClass(std::string_view name) {
    for (const TClassInfo* info : Registry()) {
        if (info->Name() == name) {
            return info;
        }
    }
    return nullptr;
}

void UnregisterSkinObjectClasses() {
    Registry().clear();
}

std::string ReadSkinString(TStream& stream) {
    int32_t length = stream.ReadInt32();
    if (length < 0 || length > stream.Remaining()) {
        throw EReadError(Format(kBadString, {std::to_string(length)}));
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    stream.ReadBuffer(text.data(), length);
    return text;
}

void WriteSkinString(TStream& stream, std::string_view text) {
    stream.WriteInt32(static_cast<int32_t>(text.size()));
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

TVxSkinObject* ReadSkinObject(TStream& stream, TVxSkinObject* parent) {
    DepthGuard depth;
    const TClassInfo* info = RecordClass(stream, parent);
    if (info == nullptr) {
        return nullptr;
    }
    return ReadBody(*info, parent, [&stream](TVxSkinObject& object) { ReadTextBody(stream, object); });
}

TVxSkinObject* ReadSkinObjectBinary(TStream& stream, TVxSkinObject* parent) {
    DepthGuard depth;
    const TClassInfo* info = RecordClass(stream, parent);
    if (info == nullptr) {
        return nullptr;
    }
    return ReadBody(*info, parent, [&stream](TVxSkinObject& object) { ReadBinaryBody(stream, object); });
}

void WriteSkinObject(TStream& stream, TVxSkinObject& object) {
    TMemoryStream binary;
    WriteObjectStream(binary, object);
    WriteSkinString(stream, object.ClassName());
    WriteSkinString(stream, BinaryToText(binary.Bytes()));
}

void WriteSkinObjectBinary(TStream& stream, TVxSkinObject& object) {
    TMemoryStream binary;
    WriteObjectStream(binary, object);
    WriteSkinString(stream, object.ClassName());
    stream.WriteInt32(static_cast<int32_t>(binary.Size()));
    stream.WriteBuffer(binary.Bytes().data(), binary.Size());
}

void ReadSkinObjectChildren(TStream& stream, TVxSkinObject& parent) {
    const int32_t word = stream.ReadInt32();
    const bool binary = (word & kChildFormatFlag) == kChildFormatFlag;
    const int32_t count = binary ? (word & ~kChildFormatFlag) : word;
    if (count < 0 || count > stream.Remaining() / kMinRecordSize) {
        throw EReadError(Format(kBadCount, {std::to_string(count)}));
    }
    for (int32_t i = 0; i < count; ++i) {
        if (binary) {
            ReadSkinObjectBinary(stream, &parent);
        } else {
            ReadSkinObject(stream, &parent);
        }
    }
}

void WriteSkinObjectChildren(TStream& stream, TVxSkinObject& parent) {
    const std::vector<TVxSkinObject*> children = parent.Children();
    stream.WriteInt32(static_cast<int32_t>(children.size()) | kChildFormatFlag);
    for (TVxSkinObject* child : children) {
        WriteSkinObjectBinary(stream, *child);
    }
}

TVxSkinObject* CloneSkinObject(const TVxSkinObject& object, TVxSkinObject* owner) {
    const TClassInfo* info = FindSkinObjectClass(object.ClassName());
    if (info == nullptr) {
        return nullptr;
    }
    TVxSkinObject* copy = Create(*info, owner);
    try {
        copy->CopyFrom(object);
    } catch (...) {
        copy->Free();
        throw;
    }
    return copy;
}

}  // namespace zaprelay::skin
