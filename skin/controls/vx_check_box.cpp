#include "skin/controls/vx_check_box.h"

#include "skin/form/window_theme.h"

namespace zaprelay::skin {

const TClassInfo& TVxCustomCheckBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxCustomCheckBox, TVxCustomControl>("TVxCustomCheckBox");
        using T = TVxCustomCheckBox;
        TClassBuilder<T> b(i);
        PublishCheckable(b);
        b.Boolean("AllowGrayed", &T::AllowGrayed, &T::SetAllowGrayed, false);
        // State carries the value; Checked only mirrors it.
        b.Boolean("Checked", &T::Checked, &T::SetChecked, false).NotStored();
        b.Enum("State", win32::kCheckBoxStateNames, &T::State, &T::SetState, cbUnchecked);
        win32::publish::TabStop(b, true);
        return i;
    }();
    return info;
}

TVxCustomCheckBox::TVxCustomCheckBox(TComponent* owner)
    : TCheckableControl(owner, {kBpCheckBox, DFCS_BUTTONCHECK}, u"CheckBox") {
    SetTabStop(true);
}

void TVxCustomCheckBox::SetState(TCheckBoxState value) {
    if (value == m_state || value > cbGrayed) {
        return;
    }
    m_state = value;
    Click();
    Invalidate();
}

void TVxCustomCheckBox::Toggle() {
    if (m_state == cbUnchecked) {
        SetState(m_allowGrayed ? cbGrayed : cbChecked);
    } else {
        SetState(m_state == cbChecked ? cbUnchecked : cbChecked);
    }
}

}  // namespace zaprelay::skin
