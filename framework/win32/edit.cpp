#include "framework/win32/edit.h"

#include "framework/win32/control_props.h"
#include "framework/win32/font_cache.h"
#include "framework/win32/gdi_handles.h"

#include <algorithm>
#include <imm.h>

namespace zaprelay::win32 {

const TEnumInfo kBorderStyleNames = MakeEnumInfo<bsSingleBorder>("TBorderStyle", {"bsNone", "bsSingle"});
const TEnumInfo kImeModeNames =
    MakeEnumInfo<imHanguel>("TImeMode",
                            {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira", "imSKata",
                             "imKata", "imChinese", "imSHanguel", "imHanguel"});
const TEnumInfo kEditCharCaseNames =
    MakeEnumInfo<ecLowerCase>("TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"});

const TClassInfo& TEdit::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TEdit, TWinControl>("TEdit");
        TClassBuilder<TEdit> b(i);
        b.Boolean("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect, true);
        b.Boolean("AutoSize", &TEdit::AutoSize, &TEdit::SetAutoSize, true);
        publish::BiDiMode(b);
        b.Enum("BorderStyle", kBorderStyleNames, &TEdit::BorderStyle, &TEdit::SetBorderStyle, bsSingleBorder);
        b.Enum("CharCase", kEditCharCaseNames, &TEdit::CharCase, &TEdit::SetCharCase, ecNormal);
        publish::Color(b, clWindow);
        publish::Constraints(b);
        b.Boolean("Ctl3D", &TEdit::Ctl3D, &TEdit::SetCtl3D, true);
        publish::Drag(b);
        publish::Enabled(b);
        publish::Font(b);
        b.Boolean("HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection, true);
        b.Enum("ImeMode", kImeModeNames, &TEdit::ImeMode, &TEdit::SetImeMode, imDontCare);
        b.Integer("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength, 0);
        publish::ParentColor(b, false);
        publish::ParentFont(b);
        publish::ParentShowHint(b);
        b.Integer("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar, 0);
        publish::PopupMenu(b);
        b.Boolean("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly, false);
        publish::ShowHint(b);
        publish::TabOrder(b);
        publish::TabStop(b, true);
        publish::Text(b);
        publish::Visible(b);
        b.Event("OnChange", &TEdit::OnChange);
        b.Event("OnClick", publish::Member<TEdit>(&TEdit::OnClick));
        b.Event("OnDblClick", publish::Member<TEdit>(&TEdit::OnDblClick));
        publish::KeyEvents(b);
        publish::MouseEvents(b);
        b.Creatable();
        return i;
    }();
    return info;
}

const TMessageTable& TEdit::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::For<TEdit, TWinControl>()
                                           .On<&TEdit::CNCommand>(CN_COMMAND)
                                           .On<&TEdit::CMEnter>(CM_ENTER)
                                           .On<&TEdit::CMFontChanged>(CM_FONTCHANGED);
    return table;
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 121, 25);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClass = L"EDIT";
    params.Style |= ES_AUTOHSCROLL | ES_LEFT;
    if (m_readOnly) {
        params.Style |= ES_READONLY;
    }
    if (!m_hideSelection) {
        params.Style |= ES_NOHIDESEL;
    }
    if (m_passwordChar != 0) {
        params.Style |= ES_PASSWORD;
    }
    if (m_charCase == ecUpperCase) {
        params.Style |= ES_UPPERCASE;
    } else if (m_charCase == ecLowerCase) {
        params.Style |= ES_LOWERCASE;
    }
    if (m_borderStyle == bsSingleBorder) {
        if (m_ctl3D) {
            params.ExStyle |= WS_EX_CLIENTEDGE;
        } else {
            params.Style |= WS_BORDER;
        }
    }
    if (UseRightToLeftReading()) {
        params.ExStyle |= WS_EX_RTLREADING;
    }
}

void TEdit::CreateWnd() {
    m_creating = true;
    TWinControl::CreateWnd();
    m_creating = false;
    HWND window = WindowHandle();
    SendMessageW(window, EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
    if (m_passwordChar != 0) {
        SendMessageW(window, EM_SETPASSWORDCHAR, m_passwordChar, 0);
    }
    if (m_imeMode == imDisable) {
        ImmAssociateContext(window, nullptr);
    }
    AdjustHeight();
}

void TEdit::AfterRead() {
    TWinControl::AfterRead();
    AdjustHeight();
}

void TEdit::AdjustHeight() {
    if (!m_autoSize || HasState(csLoading)) {
        return;
    }
    TWindowDC screen(nullptr);
    TSelectObject font(screen.Get(), CachedFont(Font()->Data()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Get(), &metrics);
    // Room for the border and a little space above and below the text.
    int32_t frame = m_borderStyle == bsNoBorder ? 2 : (m_ctl3D ? 8 : 6);
    SetBounds(Left(), Top(), Width(), metrics.tmHeight + frame);
}

void TEdit::SetAutoSize(bool value) {
    if (value != m_autoSize) {
        m_autoSize = value;
        AdjustHeight();
    }
}

void TEdit::SetBorderStyle(TBorderStyle value) {
    if (value != m_borderStyle) {
        m_borderStyle = value;
        RecreateWnd();
        AdjustHeight();
    }
}

void TEdit::SetCharCase(TEditCharCase value) {
    if (value != m_charCase) {
        m_charCase = value;
        RecreateWnd();
    }
}

void TEdit::SetCtl3D(bool value) {
    if (value != m_ctl3D) {
        m_ctl3D = value;
        RecreateWnd();
        AdjustHeight();
    }
}

void TEdit::SetHideSelection(bool value) {
    if (value != m_hideSelection) {
        m_hideSelection = value;
        RecreateWnd();
    }
}

void TEdit::SetImeMode(TImeMode value) {
    m_imeMode = value;
    if (HandleAllocated() && value == imDisable) {
        ImmAssociateContext(WindowHandle(), nullptr);
    }
}

void TEdit::SetMaxLength(int32_t value) {
    m_maxLength = std::max(value, 0);
    if (HandleAllocated()) {
        SendMessageW(WindowHandle(), EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
    }
}

void TEdit::SetPasswordChar(char16_t value) {
    if (value != m_passwordChar) {
        m_passwordChar = value;
        RecreateWnd();
    }
}

void TEdit::SetReadOnly(bool value) {
    if (value != m_readOnly) {
        m_readOnly = value;
        if (HandleAllocated()) {
            SendMessageW(WindowHandle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
        }
    }
}

void TEdit::SelectAll() {
    if (HandleAllocated()) {
        SendMessageW(WindowHandle(), EM_SETSEL, 0, -1);
    }
}

int32_t TEdit::SelStart() const {
    DWORD start = 0;
    if (HandleAllocated()) {
        SendMessageW(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    }
    return static_cast<int32_t>(start);
}

int32_t TEdit::SelLength() const {
    DWORD start = 0;
    DWORD end = 0;
    if (HandleAllocated()) {
        SendMessageW(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    }
    return static_cast<int32_t>(end - start);
}

void TEdit::SetSelection(int32_t start, int32_t length) {
    if (HandleAllocated()) {
        SendMessageW(WindowHandle(), EM_SETSEL, static_cast<WPARAM>(start), start + length);
    }
}

void TEdit::Change() {
    if (OnChange) {
        OnChange(this);
    }
}

void TEdit::CNCommand(TMessage& m) {
    if (HiWord(m.WParam) == EN_CHANGE && !m_creating) {
        Change();
    }
}

void TEdit::CMEnter(TMessage& m) {
    if (m_autoSelect && (ControlState() & csLButtonDown) == 0 && GetKeyState(VK_LBUTTON) >= 0) {
        SelectAll();
    }
    Inherited<TEdit>(m);
}

void TEdit::CMFontChanged(TMessage& m) {
    Inherited<TEdit>(m);
    AdjustHeight();
}

}  // namespace zaprelay::win32
