// The form component the program's windows carry. Without a skin it draws the default look of
// TVxCustomForm.
#pragma once

#include "skin/form/vx_custom_form.h"

namespace zaprelay::skin {

class TVxSkinForm : public TVxCustomForm {
public:
    using TVxCustomForm::TVxCustomForm;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable() { return TVxCustomForm::StaticMessageTable(); }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }
};

}  // namespace zaprelay::skin
