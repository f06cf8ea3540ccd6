// The skinned radio button: checking it unchecks the radio buttons of the same parent and
// GroupIndex; receiving the focus checks it.
#pragma once

#include "skin/controls/checkable_control.h"

#include <cstdint>

namespace zaprelay::skin {

class TVxCustomRadioButton : public TCheckableControl {
public:
    explicit TVxCustomRadioButton(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    bool Checked() const { return m_checked; }
    // Checking makes the button the tab stop, unchecks its group and clicks (unless loading);
    // unchecking never clicks.
    void SetChecked(bool value);
    uint8_t GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(uint8_t value) { m_groupIndex = value; }
    bool ItemTabStop() const { return m_itemTabStop; }
    void SetItemTabStop(bool value) { m_itemTabStop = value; }

    // Unchecks the other radio buttons of the same parent and GroupIndex.
    void UncheckSiblings();

protected:
    void Pick() override { SetChecked(true); }
    TCheckBoxState Mark() const override { return m_checked ? cbChecked : cbUnchecked; }
    void DoFocusEnter() override;

private:
    bool m_checked = false;
    uint8_t m_groupIndex = 0;
    bool m_itemTabStop = true;
};

}  // namespace zaprelay::skin
