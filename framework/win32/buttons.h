// Push button, check box and radio button over the system's button window.
#pragma once

#include "framework/win32/forms.h"
#include "framework/win32/win_control.h"

namespace zaprelay::win32 {

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // Enter clicks the default button unless another button has the focus.
    bool Default() const { return m_default; }
    void SetDefault(bool value);
    // Escape clicks the cancel button.
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool value) { m_cancel = value; }
    // Clicking sets the form's modal result to this value (when it is not mrNone).
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult value) { m_modalResult = value; }
    // The caption breaks into lines to fit the button.
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);

    void Click() override;
    void DefaultHandler(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void SetButtonStyle(bool isDefault);
    void CNCommand(TMessage& m);
    void CNDrawItem(TMessage& m);
    void BMSetStyle(TMessage& m);
    void WMGetDlgCode(TMessage& m);
    void CMDialogKey(TMessage& m);
    void CMDialogChar(TMessage& m);
    void CMFocusChanged(TMessage& m);

private:
    bool m_default = false;
    bool m_cancel = false;
    bool m_active = false;  // draws and acts as the default now
    TModalResult m_modalResult = mrNone;
    bool m_wordWrap = false;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
extern const TEnumInfo kCheckBoxStateNames;

// The common part of check boxes and radio buttons: a caption beside a glyph.
class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // The side of the glyph the caption is on: taRightJustify (the default) puts it right.
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);

protected:
    void CreateParams(TCreateParams& params) override;
    // The button was clicked (mouse, space bar, accelerator).
    virtual void Toggle() = 0;
    void CNCommand(TMessage& m);
    void CMDialogChar(TMessage& m);

private:
    TAlignment m_alignment = taRightJustify;
    bool m_wordWrap = false;
};

class TCheckBox : public TButtonControl {
public:
    explicit TCheckBox(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable() { return TButtonControl::StaticMessageTable(); }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    bool AllowGrayed() const { return m_allowGrayed; }
    void SetAllowGrayed(bool value) { m_allowGrayed = value; }
    TCheckBoxState State() const { return m_state; }
    // Raises OnClick when the state changes (not while the layout is read).
    void SetState(TCheckBoxState value);
    bool Checked() const { return m_state == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Toggle() override;

private:
    bool m_allowGrayed = false;
    TCheckBoxState m_state = cbUnchecked;
};

class TRadioButton : public TButtonControl {
public:
    explicit TRadioButton(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    bool Checked() const { return m_checked; }
    // Checking clears the other radio buttons of the same parent and raises OnClick (not
    // while the layout is read); the checked button is the group's tab stop.
    void SetChecked(bool value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Toggle() override;
    // Reaching a radio button by the arrow keys checks it, as in every dialog.
    void WMSetFocus(TMessage& m);

private:
    bool m_checked = false;
};

}  // namespace zaprelay::win32
