// A skin of a test's own: objects read from their texts over pictures made in the test.
#pragma once

#include "framework/graphics/vx_bitmap.h"
#include "skin/objects/skin_object_text.h"
#include "skin/store/skin_source.h"

#include <memory>
#include <vector>

namespace zaprelay::test {

inline void FillSkin(skin::TVxSkinSource& source,
                     const std::vector<const char*>& objects,
                     std::vector<std::unique_ptr<TVxBitmap>> pictures) {
    source.Clear();
    for (auto& picture : pictures) {
        source.Bitmaps().Add(std::move(picture));
    }
    for (const char* text : objects) {
        skin::TSkinObjectPtr object(skin::SkinObjectFromText(text, nullptr));
        object->SetBitmapList(&source.Bitmaps());
        object->LinkBitmaps();
        source.AddObject(std::move(object));
    }
    source.AfterLoad();
}

}  // namespace zaprelay::test
