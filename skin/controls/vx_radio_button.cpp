#include "skin/controls/vx_radio_button.h"

#include "skin/form/window_theme.h"

#include <algorithm>

namespace zaprelay::skin {

const TClassInfo& TVxCustomRadioButton::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxCustomRadioButton, TVxCustomControl>("TVxCustomRadioButton");
        using T = TVxCustomRadioButton;
        TClassBuilder<T> b(i);
        PublishCheckable(b);
        b.Boolean("Checked", &T::Checked, &T::SetChecked, false);
        b.Integer(
            "GroupIndex", &T::GroupIndex,
            [](T& c, int64_t value) { c.SetGroupIndex(static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255))); }, 0);
        b.Boolean("ItemTabStop", &T::ItemTabStop, &T::SetItemTabStop, true);
        win32::publish::TabStop(b, false);
        return i;
    }();
    return info;
}

TVxCustomRadioButton::TVxCustomRadioButton(TComponent* owner)
    : TCheckableControl(owner, {kBpRadioButton, DFCS_BUTTONRADIO}, u"RadioButton") {}

void TVxCustomRadioButton::SetChecked(bool value) {
    if (value == m_checked) {
        return;
    }
    SetTabStop(value);
    m_checked = value;
    if (value) {
        UncheckSiblings();
        Click();
    }
    Invalidate();
}

void TVxCustomRadioButton::UncheckSiblings() {
    win32::TWinControl* parent = Parent();
    if (parent == nullptr) {
        return;
    }
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* sibling = dynamic_cast<TVxCustomRadioButton*>(parent->Controls(i));
        if (sibling != nullptr && sibling != this && sibling->m_groupIndex == m_groupIndex) {
            sibling->SetChecked(false);
        }
    }
}

void TVxCustomRadioButton::DoFocusEnter() {
    TCheckableControl::DoFocusEnter();
    SetChecked(true);
}

}  // namespace zaprelay::skin
