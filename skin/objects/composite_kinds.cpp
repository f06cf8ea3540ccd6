#include "skin/objects/composite_kinds.h"

#include "skin/objects/active_skin_object.h"
#include "skin/objects/bitmap_box_object.h"
#include "skin/objects/bitmap_skin_object.h"
#include "skin/objects/color_button_object.h"
#include "skin/objects/link_skin_object.h"
#include "skin/objects/roll_panel_object.h"
#include "skin/objects/skin_object_io.h"
#include "skin/objects/sys_button_skin_object.h"

namespace zaprelay::skin {

void RegisterCompositeSkinObjectKinds() {
    RegisterSkinObjectClass(TVxLinkSkinObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxBitmapSkinObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxFormBitmapSkinObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxSysButtonSkinObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxActiveSkinObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxColorButtonObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxBitmapBoxObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxActiveBitmapBoxObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxButtonBitmapBoxObject::StaticClassInfo());
    RegisterSkinObjectClass(TVxRollPanelObject::StaticClassInfo());
}

}  // namespace zaprelay::skin
