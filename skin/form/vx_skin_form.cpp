#include "skin/form/vx_skin_form.h"

namespace zaprelay::skin {

const TClassInfo& TVxSkinForm::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxSkinForm, TVxCustomForm>("TVxSkinForm");
        TClassBuilder<TVxSkinForm>(i).Creatable();
        return i;
    }();
    return info;
}

}  // namespace zaprelay::skin
