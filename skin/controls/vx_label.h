// The skinned label: text painted on the parent's window, transparent by default, sized to its
// text, and an accelerator that moves the focus to the control it names.
#pragma once

#include "framework/win32/label.h"
#include "skin/controls/vx_graphic_control.h"

#include <cstdint>
#include <string>

namespace zaprelay::skin {

using win32::TAlignment;
using win32::TTextLayout;

class TVxCustomLabel : public TVxGraphicControl {
public:
    explicit TVxCustomLabel(TComponent* owner);
    ~TVxCustomLabel() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return m_autoSize; }
    virtual void SetAutoSize(bool value);
    // Not owned; forgotten when it is freed.
    win32::TWinControl* FocusControl() const { return m_focusControl; }
    void SetFocusControl(win32::TWinControl* value);
    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout value);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool value);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);

    void AfterRead() override;

protected:
    // What is drawn: the caption here.
    virtual std::u16string GetLabelText() const;
    // Fits the size to the text (AutoSize); a right-aligned label keeps its right edge.
    void AdjustBounds();
    // Draws the text into r in Font, embossed when disabled; with DT_CALCRECT only measures it
    // (on a screen context outside painting). Nothing without a parent.
    void DoDrawText(TRect& r, uint32_t flags);
    void PaintClient() override;

private:
    void CMDialogChar(TMessage& m);
    void CMFontChanged(TMessage& m);
    void CMTextChanged(TMessage& m);

    TAlignment m_alignment = win32::taLeftJustify;
    bool m_autoSize = true;
    win32::TWinControl* m_focusControl = nullptr;
    TTextLayout m_layout = win32::tlTop;
    bool m_showAccelChar = true;
    bool m_wordWrap = false;
};

}  // namespace zaprelay::skin
