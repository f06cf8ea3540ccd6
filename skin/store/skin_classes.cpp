#include "skin/store/skin_classes.h"

#include "skin/objects/basic_kinds.h"
#include "skin/objects/composite_kinds.h"
#include "skin/objects/skin_object_io.h"
#include "skin/store/skin_filters.h"

namespace zaprelay::skin {

void RegisterSkinClasses() {
    RegisterBasicSkinObjectKinds();
    RegisterCompositeSkinObjectKinds();
    RegisterStandardSkinFilters();
}

void UnregisterSkinClasses() {
    UnregisterStandardSkinFilters();
    UnregisterSkinObjectClasses();
}

}  // namespace zaprelay::skin
