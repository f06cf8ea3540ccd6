// A caption drawn on the parent's window: no window of its own, transparent on request, and
// an accelerator that moves the focus to the control it names.
#pragma once

#include "framework/win32/custom_control.h"

namespace zaprelay::win32 {

enum TTextLayout { tlTop, tlCenter, tlBottom };
extern const TEnumInfo kTextLayoutNames;

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    TWinControl* FocusControl() const { return m_focusControl; }
    void SetFocusControl(TWinControl* control);
    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout value);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool value);
    bool Transparent() const { return (ControlStyle() & csOpaque) == 0; }
    void SetTransparent(bool value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);

    void AfterRead() override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    void Paint() override;
    // Fits the bounds to the caption (AutoSize).
    void AdjustBounds();
    uint32_t TextFlags() const;
    void CMTextChanged(TMessage& m);
    void CMFontChanged(TMessage& m);
    void CMDialogChar(TMessage& m);

private:
    TAlignment m_alignment = taLeftJustify;
    bool m_autoSize = true;
    TWinControl* m_focusControl = nullptr;
    TTextLayout m_layout = tlTop;
    bool m_showAccelChar = true;
    bool m_wordWrap = false;
};

}  // namespace zaprelay::win32
