// The skinned group box: a frame line with the caption set into its top edge, or a check box
// in the caption's place that enables and disables everything inside. Unlike the framework's
// group box it passes its enabled state on to every child, so skinned children show their
// disabled look.
#pragma once

#include "skin/controls/vx_check_box.h"
#include "skin/controls/vx_custom_control.h"

#include <cstdint>

namespace zaprelay::skin {

class TWindowTheme;

class TVxCustomGroupBox : public TVxCustomControl {
public:
    explicit TVxCustomGroupBox(TComponent* owner);
    ~TVxCustomGroupBox() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // Pixels from the left edge to the caption.
    int32_t CaptionMargin() const { return m_captionMargin; }
    void SetCaptionMargin(int32_t value);
    // True only while the caption check box exists.
    bool UseCheckBox() const { return m_useCheckBox && m_checkBox != nullptr; }
    void SetUseCheckBox(bool value);
    // The caption check box; none without UseCheckBox.
    TVxCustomCheckBox* CheckBox() const { return m_checkBox; }
    TVxLeftRight CheckBoxAlignment() const;
    void SetCheckBoxAlignment(TVxLeftRight value);
    bool Checked() const { return m_checked; }
    // With UseCheckBox: the check box follows, and the children are enabled as it says.
    void SetChecked(bool value);
    TNotifyEvent OnCheckBoxClick;

    // Own state, or always true with the check box (it decides for the children then).
    bool Enabled() const override;
    void SetEnabled(bool value) override;

    // Below the caption or the check box: what the children have.
    TRect ClientRect() const override;
    // The frame's rectangle: from half the caption's height down to the bottom.
    virtual TRect GetFrameRect() const;
    // Places the check box at CaptionMargin, as wide as its caption needs but inside the group.
    void LayoutCheckBox();

    void AfterRead() override;

protected:
    // The caption check box was clicked: the group's OnClick, Checked, then OnCheckBoxClick.
    virtual void CheckBoxClick();
    virtual TVxCustomCheckBox* CreateCheckBox();
    void PaintClient() override;
    // The caption's place on the top edge, widened by 3 pixels on each side unless empty; while
    // painting, measured in the canvas's font.
    TRect CaptionRect();
    // The check box's height, else the caption's in PaintFont.
    int32_t CaptionHeight() const;

private:
    void PaintThemed(const TWindowTheme& theme, const TRect& frame, const TRect& caption);
    void PaintEtched(const TRect& frame, const TRect& caption);

    void CMDialogChar(TMessage& m);
    void CMEnabledChanged(TMessage& m);
    void CMTextChanged(TMessage& m);
    void WMSize(TMessage& m);

    int32_t m_captionMargin = 12;
    bool m_ownEnabled = true;
    bool m_useCheckBox = false;
    TVxLeftRight m_checkBoxAlignment = ktaLeftJustify;
    bool m_checked = true;
    TVxCustomCheckBox* m_checkBox = nullptr;  // owned as a component
};

}  // namespace zaprelay::skin
