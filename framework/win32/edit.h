// A single-line text box over the system's edit window.
#pragma once

#include "framework/win32/win_control.h"

namespace zaprelay::win32 {

enum TBorderStyle { bsNoBorder, bsSingleBorder };
extern const TEnumInfo kBorderStyleNames;  // streamed as bsNone, bsSingle
enum TImeMode {
    imDisable,
    imClose,
    imOpen,
    imDontCare,
    imSAlpha,
    imAlpha,
    imHira,
    imSKata,
    imKata,
    imChinese,
    imSHanguel,
    imHanguel
};
extern const TEnumInfo kImeModeNames;
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
extern const TEnumInfo kEditCharCaseNames;

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool value) { m_autoSelect = value; }
    // The height follows the font.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TEditCharCase CharCase() const { return m_charCase; }
    void SetCharCase(TEditCharCase value);
    // False: a flat single-line border instead of the sunken one.
    bool Ctl3D() const { return m_ctl3D; }
    void SetCtl3D(bool value);
    bool HideSelection() const { return m_hideSelection; }
    void SetHideSelection(bool value);
    TImeMode ImeMode() const { return m_imeMode; }
    void SetImeMode(TImeMode value);
    int32_t MaxLength() const { return m_maxLength; }
    void SetMaxLength(int32_t value);
    char16_t PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(char16_t value);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value);

    void SelectAll();
    int32_t SelStart() const;
    int32_t SelLength() const;
    void SetSelection(int32_t start, int32_t length);

    void AfterRead() override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    virtual void Change();
    void AdjustHeight();
    void CNCommand(TMessage& m);
    void CMEnter(TMessage& m);
    void CMFontChanged(TMessage& m);

private:
    bool m_autoSelect = true;
    bool m_autoSize = true;
    TBorderStyle m_borderStyle = bsSingleBorder;
    TEditCharCase m_charCase = ecNormal;
    bool m_ctl3D = true;
    bool m_hideSelection = true;
    TImeMode m_imeMode = imDontCare;
    int32_t m_maxLength = 0;
    char16_t m_passwordChar = 0;
    bool m_readOnly = false;
    bool m_creating = false;
};

}  // namespace zaprelay::win32
