// The skinned check box: unchecked, checked and (with AllowGrayed) grayed, cycled by Toggle.
#pragma once

#include "skin/controls/checkable_control.h"

namespace zaprelay::skin {

class TVxCustomCheckBox : public TCheckableControl {
public:
    explicit TVxCustomCheckBox(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    bool AllowGrayed() const { return m_allowGrayed; }
    void SetAllowGrayed(bool value) { m_allowGrayed = value; }
    TCheckBoxState State() const { return m_state; }
    // A change clicks (unless loading) and repaints.
    void SetState(TCheckBoxState value);
    bool Checked() const { return m_state == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }

    // Unchecked to checked (or to grayed with AllowGrayed), checked to unchecked, grayed to
    // checked.
    virtual void Toggle();

protected:
    void Pick() override { Toggle(); }
    TCheckBoxState Mark() const override { return m_state; }

private:
    bool m_allowGrayed = false;
    TCheckBoxState m_state = cbUnchecked;
};

}  // namespace zaprelay::skin
