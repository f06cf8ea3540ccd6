#include "skin/objects/basic_kinds.h"

#include "skin/objects/active_object.h"
#include "skin/objects/bitmap_object.h"
#include "skin/objects/button_object.h"
#include "skin/objects/skin_object_io.h"
#include "skin/objects/system_button.h"
#include "skin/objects/text_object.h"

namespace zaprelay::skin {

void RegisterBasicSkinObjectKinds() {
    RegisterSkinObjectClass(TVxSkinObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxActiveObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxBitmapObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxActiveBitmap::StaticClassInfo());
    RegisterSkinObjectClass(TVxSystemButton::StaticClassInfo());
    RegisterSkinObjectClass(TVxButtonObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxTextObject::StaticClassInfo());
}

}  // namespace zaprelay::skin
