// The form component the program's windows carry. Without a skin it draws the default look of
// TVxCustomForm. It is the form its window's skin objects act on: a caption button of the skin
// finds it with VXM_GETSKINFORM and calls the state operations through TVxSkinFormActions.
#pragma once

#include "skin/form/vx_custom_form.h"
#include "skin/objects/skin_host.h"

namespace zaprelay::skin {

// A skin button with a custom action was clicked; skinObject is the button.
using TCustomActionEvent = TEvent<void(TObject* sender, TVxSkinObject* skinObject)>;

class TVxSkinForm : public TVxCustomForm, public TVxSkinFormActions {
public:
    using TVxCustomForm::TVxCustomForm;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // ---- what the skin's caption buttons do
    TVxBorderIcons BorderIcons() const override { return TVxCustomForm::BorderIcons(); }
    void Close() override { TVxCustomForm::Close(); }
    void ContextHelp() override { TVxCustomForm::ContextHelp(); }
    void Minimize() override { TVxCustomForm::Minimize(); }
    void Maximize() override { TVxCustomForm::Maximize(); }
    void Restore() override { TVxCustomForm::Restore(); }
    void Rollup() override { TVxCustomForm::Rollup(); }
    void MinToTray() override { TVxCustomForm::MinToTray(); }
    void ShowSystemMenu() override { TVxCustomForm::ShowSystemMenu(); }
    void CustomAction(TVxSkinObject& button) override;

    TCustomActionEvent OnCustomAction;

private:
    void VXMGetSkinForm(TMessage& m);
};

}  // namespace zaprelay::skin
