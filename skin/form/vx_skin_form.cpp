#include "skin/form/vx_skin_form.h"

#include "skin/objects/skin_messages.h"

namespace zaprelay::skin {

const TClassInfo& TVxSkinForm::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxSkinForm;
        TClassInfo i = NewClassInfo<T, TVxCustomForm>("TVxSkinForm");
        TClassBuilder<T>(i).Event("OnCustomAction", &T::OnCustomAction).Creatable();
        return i;
    }();
    return info;
}

const TMessageTable& TVxSkinForm::StaticMessageTable() {
    using T = TVxSkinForm;
    static const TMessageTable table = TMessageTable::For<T, TVxCustomForm>().On<&T::VXMGetSkinForm>(VXM_GETSKINFORM);
    return table;
}

void TVxSkinForm::CustomAction(TVxSkinObject& button) {
    if (OnCustomAction) {
        OnCustomAction(this, &button);
    }
}

// The answer is the actions interface, which is what a skin object's host turns it back into.
void TVxSkinForm::VXMGetSkinForm(TMessage& m) {
    m.Result = reinterpret_cast<intptr_t>(static_cast<TVxSkinFormActions*>(this));
    SetHandled(true);
}

}  // namespace zaprelay::skin
