#include "skin/objects/skin_object_text.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/object_text.h"
#include "framework/rtl/stream_value.h"
#include "framework/rtl/streams.h"
#include "skin/objects/skin_object_io.h"

#include <algorithm>
#include <vector>

namespace zaprelay::skin {

namespace {

constexpr char kObjects[] = "Objects";

// "TPF0" and the record, its nested records moved into the "Objects" property as binary
// child records behind a flagged count.
std::vector<uint8_t> BinaryBody(TStreamObject object, int depth) {
    if (depth > kMaxSkinObjectDepth) {
        throw EReadError("Skin objects are nested too deeply");
    }
    const bool stored = std::any_of(object.Properties.begin(), object.Properties.end(),
                                    [](const TStreamProperty& p) { return p.Name == kObjects; });
    TMemoryStream children;
    children.WriteInt32(static_cast<int32_t>(object.Children.size()) | kChildFormatFlag);
    for (TStreamObject& child : object.Children) {
        const std::string className = child.ClassName;
        const std::vector<uint8_t> body = BinaryBody(std::move(child), depth + 1);
        WriteSkinString(children, className);
        children.WriteInt32(static_cast<int32_t>(body.size()));
        children.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
    }
    // Children stored the other way, as the "Objects" property itself, are taken as they are.
    if (!object.Children.empty() || !stored) {
        std::erase_if(object.Properties, [](const TStreamProperty& p) { return p.Name == kObjects; });
        TStreamValue value;
        value.Type = vaBinary;
        value.Bytes = children.Bytes();
        object.Properties.push_back({kObjects, std::move(value)});
    }
    object.Children.clear();
    TMemoryStream stream;
    TBinaryWriter writer(stream);
    writer.WriteSignature();
    writer.WriteObject(object);
    return stream.Bytes();
}

// The record of a stored object with its "Objects" property turned into nested records.
TStreamObject NestedRecord(const std::vector<uint8_t>& body) {
    TBytesStream stream(body);
    TBinaryReader reader(stream);
    reader.ReadSignature();
    TStreamObject object = reader.ReadObject();
    auto objects = std::find_if(object.Properties.begin(), object.Properties.end(),
                                [](const TStreamProperty& p) { return p.Name == kObjects; });
    if (objects == object.Properties.end()) {
        return object;
    }
    TBytesStream children(objects->Value.Bytes);
    const int32_t count = children.ReadInt32() & ~kChildFormatFlag;
    for (int32_t i = 0; i < count; ++i) {
        ReadSkinString(children);  // the class name is in the child's own record
        const int32_t size = children.ReadInt32();
        std::vector<uint8_t> childBody(static_cast<std::size_t>(size));
        children.ReadBuffer(childBody.data(), size);
        object.Children.push_back(NestedRecord(childBody));
    }
    object.Properties.erase(objects);
    return object;
}

}  // namespace

std::string SkinObjectToText(TVxSkinObject& object) {
    TMemoryStream body;
    WriteObjectStream(body, object);
    return ObjectToText(NestedRecord(body.Bytes()));
}

TVxSkinObject* SkinObjectFromText(std::string_view text, TVxSkinObject* parent) {
    TStreamObject root = TextToObject(text);
    const std::string className = root.ClassName;
    if (FindSkinObjectClass(className) == nullptr) {
        throw EClassNotFound("Skin object class " + className + " is not registered");
    }
    const std::vector<uint8_t> body = BinaryBody(std::move(root), 1);
    TMemoryStream record;
    WriteSkinString(record, className);
    record.WriteInt32(static_cast<int32_t>(body.size()));
    record.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
    record.SetPosition(0);
    return ReadSkinObjectBinary(record, parent);
}

}  // namespace zaprelay::skin
