#include "tests/support/skin_tree.h"

#include "framework/rtl/object_text.h"
#include "framework/rtl/stream_value.h"
#include "framework/rtl/streams.h"
#include "skin/objects/skin_object_io.h"

#include <stdexcept>

namespace zaprelay::skin::test {

namespace {

void PutInt32(std::vector<uint8_t>& bytes, int32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
    }
}

// "TPF0" and the record, its nested records moved into the "Objects" property as binary
// child records behind a flagged count.
std::vector<uint8_t> BinaryBody(TStreamObject object) {
    std::vector<uint8_t> children;
    PutInt32(children, static_cast<int32_t>(object.Children.size()) | kChildFormatFlag);
    for (TStreamObject& child : object.Children) {
        const std::string className = child.ClassName;
        const std::vector<uint8_t> body = BinaryBody(std::move(child));
        PutInt32(children, static_cast<int32_t>(className.size()));
        children.insert(children.end(), className.begin(), className.end());
        PutInt32(children, static_cast<int32_t>(body.size()));
        children.insert(children.end(), body.begin(), body.end());
    }
    object.Children.clear();
    TStreamValue value;
    value.Type = vaBinary;
    value.Bytes = std::move(children);
    object.Properties.push_back({"Objects", std::move(value)});
    TMemoryStream stream;
    TBinaryWriter writer(stream);
    writer.WriteSignature();
    writer.WriteObject(object);
    return stream.Bytes();
}

}  // namespace

OwnedSkinObject TreeFromText(std::string_view text) {
    TStreamObject root = TextToObject(text);
    const std::string className = root.ClassName;
    const std::vector<uint8_t> body = BinaryBody(std::move(root));
    TMemoryStream record;
    WriteSkinString(record, className);
    std::vector<uint8_t> size;
    PutInt32(size, static_cast<int32_t>(body.size()));
    record.WriteBuffer(size.data(), size.size());
    record.WriteBuffer(body.data(), body.size());
    record.SetPosition(0);
    OwnedSkinObject tree(ReadSkinObjectBinary(record, nullptr));
    if (!tree) {
        throw std::invalid_argument("the tree's class is not registered: " + className);
    }
    return tree;
}

std::string TreeToText(TVxSkinObject& object) {
    TMemoryStream record;
    WriteSkinObject(record, object);
    record.SetPosition(0);
    ReadSkinString(record);
    return ReadSkinString(record);
}

std::unique_ptr<TVxBitmap> SolidBitmap(const std::string& name, int32_t width, int32_t height, TPixel pixel) {
    auto bitmap = std::make_unique<TVxBitmap>();
    bitmap->SetName(name);
    bitmap->SetSize(width, height);
    bitmap->Fill(pixel);
    return bitmap;
}

}  // namespace zaprelay::skin::test
