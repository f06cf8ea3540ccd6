#include "tests/support/skin_tree.h"

#include "framework/rtl/streams.h"
#include "skin/objects/skin_object_io.h"
#include "skin/objects/skin_object_text.h"

#include <stdexcept>

namespace zaprelay::skin::test {

OwnedSkinObject TreeFromText(std::string_view text) {
    return OwnedSkinObject(SkinObjectFromText(text, nullptr));
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
