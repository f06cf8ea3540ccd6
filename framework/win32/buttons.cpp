#include "framework/win32/buttons.h"

#include "framework/win32/control_props.h"
#include "framework/win32/font_cache.h"
#include "framework/win32/gdi_canvas.h"
#include "framework/win32/gdi_handles.h"

#include <algorithm>
#include <string_view>

namespace zaprelay::win32 {

const TEnumInfo kCheckBoxStateNames =
    MakeEnumInfo<cbGrayed>("TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"});

// ---------------------------------------------------------------- push button drawing

namespace {

// How a push button looks at one moment.
struct TPushButtonLook {
    bool Default = false;  // framed as the button Enter clicks
    bool Pushed = false;
    bool Focused = false;  // shows the focus rectangle
    bool Enabled = true;
    bool WordWrap = false;
    bool HidePrefix = false;  // keyboard cues are off: no underlined accelerator
};

// The raised edge takes two pixels and the focus rectangle sits one pixel inside it; lines
// wrap one more pixel in, so they never touch the dotted line at the sides.
constexpr int kEdge = 2;
constexpr int kFocusInset = 3;
constexpr int kCaptionInsetX = 4;
constexpr int kCaptionInsetY = 3;

RECT FaceRect(const RECT& client, const TPushButtonLook& look) {
    RECT face = client;
    if (look.Default) {
        InflateRect(&face, -1, -1);
    }
    return face;
}

UINT CaptionFormat(const TPushButtonLook& look) {
    UINT format = DT_CENTER | (look.WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    return look.HidePrefix ? format | DT_HIDEPREFIX : format;
}

// Where the caption goes, in the font selected into the context: centred, wrapped at the
// button's width when the look says so.
RECT PushButtonCaptionRect(HDC dc, const RECT& client, std::u16string_view caption, const TPushButtonLook& look) {
    RECT area = FaceRect(client, look);
    InflateRect(&area, -kCaptionInsetX, -kCaptionInsetY);
    // Measured at the very width it is drawn at: a line measured wide enough to fit may
    // otherwise wrap once more when drawn in a rectangle as narrow as its measured width.
    RECT measured{area.left, 0, std::max(area.left, area.right), 0};
    if (!caption.empty()) {
        DrawTextW(dc, reinterpret_cast<const wchar_t*>(caption.data()), static_cast<int>(caption.size()), &measured,
                  CaptionFormat(look) | DT_CALCRECT);
    }
    int height = measured.bottom - measured.top;
    int top = area.top + (area.bottom - area.top - height) / 2;
    RECT r{area.left, top, std::max(area.left, area.right), top + height};
    if (look.Pushed) {
        OffsetRect(&r, 1, 1);
    }
    return r;
}

// The whole button in the system's colours, in the font selected into the context.
void DrawPushButton(HDC dc, const RECT& client, std::u16string_view caption, const TPushButtonLook& look) {
    TSavedDC saved(dc);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    RECT face = FaceRect(client, look);
    if (look.Default) {
        FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
    if (look.Pushed && look.Default) {
        // A pressed default button sinks flat inside its black frame.
        FrameRect(dc, &face, GetSysColorBrush(COLOR_BTNSHADOW));
        RECT inner = face;
        InflateRect(&inner, -1, -1);
        FillRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
    } else {
        RECT edge = face;
        DrawFrameControl(dc, &edge, DFC_BUTTON, DFCS_BUTTONPUSH | (look.Pushed ? DFCS_PUSHED : 0));
    }
    if (!caption.empty()) {
        TSavedDC captionState(dc);
        // A caption too tall for the button is cut by the raised edge, never drawn over it.
        IntersectClipRect(dc, face.left + kEdge, face.top + kEdge, face.right - kEdge, face.bottom - kEdge);
        SetBkMode(dc, TRANSPARENT);
        RECT r = PushButtonCaptionRect(dc, client, caption, look);
        UINT format = CaptionFormat(look);
        if (look.Enabled) {
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(dc, reinterpret_cast<const wchar_t*>(caption.data()), static_cast<int>(caption.size()), &r,
                      format);
        } else {
            DrawEngravedText(dc, caption, r, format);
        }
    }
    if (look.Focused) {
        RECT focus = face;
        InflateRect(&focus, -kFocusInset, -kFocusInset);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace

// ---------------------------------------------------------------- TButton

const TClassInfo& TButton::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TButton, TWinControl>("TButton");
        TClassBuilder<TButton> b(i);
        publish::BiDiMode(b);
        b.Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel, false);
        publish::Caption(b);
        publish::Constraints(b);
        b.Boolean("Default", &TButton::Default, &TButton::SetDefault, false);
        publish::Drag(b);
        publish::Enabled(b);
        publish::Font(b);
        b.Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, mrNone);
        publish::ParentsPopupHint(b);
        publish::TabOrder(b);
        publish::TabStop(b, true);
        publish::Visible(b);
        b.Boolean("WordWrap", &TButton::WordWrap, &TButton::SetWordWrap, false);
        b.Event("OnClick", publish::Member<TButton>(&TButton::OnClick));
        publish::KeyEvents(b);
        publish::MouseEvents(b);
        b.Creatable();
        return i;
    }();
    return info;
}

const TMessageTable& TButton::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::For<TButton, TWinControl>()
                                           .On<&TButton::CNCommand>(CN_COMMAND)
                                           .On<&TButton::CNDrawItem>(CN_DRAWITEM)
                                           .On<&TButton::BMSetStyle>(BM_SETSTYLE)
                                           .On<&TButton::WMGetDlgCode>(WM_GETDLGCODE)
                                           .On<&TButton::CMDialogKey>(CM_DIALOGKEY)
                                           .On<&TButton::CMDialogChar>(CM_DIALOGCHAR)
                                           .On<&TButton::CMFocusChanged>(CM_FOCUSCHANGED);
    return table;
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    SetControlStyle((ControlStyle() & ~static_cast<uint32_t>(csClickEvents | csCaptureMouse)) | csDoubleClicks);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClass = L"BUTTON";
    // The system's own caption drawing is not to be trusted everywhere: some systems wrap a
    // multi-line caption narrower than they measured it, or cut the last letter of a disabled
    // one. Drawing the button here shows the caption the same on every system.
    params.Style |= BS_OWNERDRAW;
    if (m_wordWrap) {
        params.Style |= BS_MULTILINE;
    }
}

void TButton::SetButtonStyle(bool isDefault) {
    if (isDefault == m_active) {
        return;
    }
    m_active = isDefault;
    if (HandleAllocated()) {
        InvalidateRect(WindowHandle(), nullptr, FALSE);
    }
}

void TButton::DefaultHandler(TMessage& message) {
    // The system takes a double click on an owner-drawn button as a notice only; a push button
    // presses again, so two quick clicks click twice.
    if (message.Msg == WM_LBUTTONDBLCLK) {
        TMessage press = message;
        press.Msg = WM_LBUTTONDOWN;
        TWinControl::DefaultHandler(press);
        message.Result = press.Result;
        return;
    }
    TWinControl::DefaultHandler(message);
}

void TButton::CNDrawItem(TMessage& m) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    if (item == nullptr) {
        return;
    }
    TPushButtonLook look;
    look.Default = m_active;
    look.Pushed = (item->itemState & ODS_SELECTED) != 0;
    look.Focused = (item->itemState & ODS_FOCUS) != 0 && (item->itemState & ODS_NOFOCUSRECT) == 0;
    look.Enabled = (item->itemState & ODS_DISABLED) == 0;
    look.WordWrap = m_wordWrap;
    look.HidePrefix = (item->itemState & ODS_NOACCEL) != 0;
    TSelectObject font(item->hDC, CachedFont(Font()->Data()));
    DrawPushButton(item->hDC, item->rcItem, Caption(), look);
    m.Result = 1;
}

void TButton::BMSetStyle(TMessage& m) {
    // Whoever asks for a (default) push button gets the drawn one in that role.
    auto type = static_cast<UINT>(m.WParam) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        SetButtonStyle(type == BS_DEFPUSHBUTTON);
        m.WParam = (m.WParam & ~static_cast<uintptr_t>(BS_TYPEMASK)) | BS_OWNERDRAW;
    }
    DefaultHandler(m);
}

void TButton::WMGetDlgCode(TMessage& m) {
    m.Result = DLGC_BUTTON | (m_active ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

void TButton::SetDefault(bool value) {
    if (value == m_default) {
        return;
    }
    m_default = value;
    if (TCustomForm* form = GetParentForm(); form != nullptr && form->ActiveControl() != nullptr) {
        TMessage m = MakeMessage(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(form->ActiveControl()));
        CMFocusChanged(m);
    } else {
        SetButtonStyle(value);
    }
}

void TButton::SetWordWrap(bool value) {
    if (value != m_wordWrap) {
        m_wordWrap = value;
        RecreateWnd();
    }
}

void TButton::Click() {
    if (m_modalResult != mrNone) {
        if (TCustomForm* form = GetParentForm()) {
            form->SetModalResult(m_modalResult);
        }
    }
    TWinControl::Click();
}

void TButton::CNCommand(TMessage& m) {
    if (HiWord(m.WParam) == BN_CLICKED) {
        Click();
    }
}

void TButton::CMDialogKey(TMessage& m) {
    auto key = static_cast<uint16_t>(m.WParam);
    bool fits = (key == VK_RETURN && m_active) || (key == VK_ESCAPE && m_cancel);
    if (fits && (KeyboardShiftState() & (ssAlt | ssCtrl)) == 0 && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    Inherited<TButton>(m);
}

void TButton::CMDialogChar(TMessage& m) {
    if (IsAccel(static_cast<char16_t>(m.WParam), Caption()) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    Inherited<TButton>(m);
}

void TButton::CMFocusChanged(TMessage& m) {
    auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
    bool isDefault = focused == this || (m_default && dynamic_cast<TButton*>(focused) == nullptr);
    SetButtonStyle(isDefault);
    Inherited<TButton>(m);
}

// ---------------------------------------------------------------- TButtonControl

const TClassInfo& TButtonControl::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TButtonControl, TWinControl>("TButtonControl");
    return info;
}

const TMessageTable& TButtonControl::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::For<TButtonControl, TWinControl>()
                                           .On<&TButtonControl::CNCommand>(CN_COMMAND)
                                           .On<&TButtonControl::CMDialogChar>(CM_DIALOGCHAR);
    return table;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(ControlStyle() & ~static_cast<uint32_t>(csClickEvents | csCaptureMouse | csDoubleClicks));
}

void TButtonControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClass = L"BUTTON";
    if (m_alignment == taLeftJustify) {
        params.Style |= BS_LEFTTEXT;
    }
    if (m_wordWrap) {
        params.Style |= BS_MULTILINE;
    }
}

void TButtonControl::SetAlignment(TAlignment value) {
    if (value != m_alignment) {
        m_alignment = value;
        RecreateWnd();
    }
}

void TButtonControl::SetWordWrap(bool value) {
    if (value != m_wordWrap) {
        m_wordWrap = value;
        RecreateWnd();
    }
}

void TButtonControl::CNCommand(TMessage& m) {
    if (HiWord(m.WParam) == BN_CLICKED) {
        Toggle();
    }
}

void TButtonControl::CMDialogChar(TMessage& m) {
    if (IsAccel(static_cast<char16_t>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) {
            Toggle();
        }
        m.Result = 1;
        return;
    }
    Inherited<TButtonControl>(m);
}

// The properties check boxes and radio buttons both publish, in stream order.
template <typename T>
static void PublishButtonControl(TClassBuilder<T>& b) {
    b.Enum("Alignment", kAlignmentNames, &TButtonControl::Alignment, &TButtonControl::SetAlignment, taRightJustify);
}

template <typename T>
static void PublishButtonControlTail(TClassBuilder<T>& b) {
    publish::Color(b, clBtnFace);
    publish::Constraints(b);
    publish::Drag(b);
    publish::Enabled(b);
    publish::Font(b);
    publish::ParentColor(b);
    publish::ParentsPopupHint(b);
    publish::TabOrder(b);
}

template <typename T>
static void PublishButtonControlEnd(TClassBuilder<T>& b) {
    publish::Visible(b);
    b.Boolean("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap, false);
    b.Event("OnClick", publish::Member<T>(&T::OnClick));
    publish::KeyEvents(b);
    publish::MouseEvents(b);
    b.Creatable();
}

// ---------------------------------------------------------------- TCheckBox

const TClassInfo& TCheckBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TCheckBox, TButtonControl>("TCheckBox");
        TClassBuilder<TCheckBox> b(i);
        PublishButtonControl(b);
        b.Boolean("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed, false);
        publish::BiDiMode(b);
        publish::Caption(b);
        b.Boolean("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked, false);
        PublishButtonControlTail(b);
        b.Enum("State", kCheckBoxStateNames, &TCheckBox::State, &TCheckBox::SetState, cbUnchecked);
        publish::TabStop(b, true);
        PublishButtonControlEnd(b);
        return i;
    }();
    return info;
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCheckBox::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= m_allowGrayed ? BS_3STATE : BS_CHECKBOX;
}

void TCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageW(WindowHandle(), BM_SETCHECK, static_cast<WPARAM>(m_state), 0);
}

void TCheckBox::SetState(TCheckBoxState value) {
    if (value == m_state) {
        return;
    }
    m_state = value;
    if (HandleAllocated()) {
        SendMessageW(WindowHandle(), BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
    if (!HasState(csLoading)) {
        Click();
    }
}

void TCheckBox::Toggle() {
    switch (m_state) {
        case cbUnchecked:
            SetState(m_allowGrayed ? cbGrayed : cbChecked);
            break;
        case cbChecked:
            SetState(cbUnchecked);
            break;
        case cbGrayed:
            SetState(cbChecked);
            break;
    }
}

// ---------------------------------------------------------------- TRadioButton

const TClassInfo& TRadioButton::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TRadioButton, TButtonControl>("TRadioButton");
        TClassBuilder<TRadioButton> b(i);
        PublishButtonControl(b);
        publish::BiDiMode(b);
        publish::Caption(b);
        b.Boolean("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, false);
        PublishButtonControlTail(b);
        publish::TabStop(b, false);
        PublishButtonControlEnd(b);
        return i;
    }();
    return info;
}

const TMessageTable& TRadioButton::StaticMessageTable() {
    static const TMessageTable table =
        TMessageTable::For<TRadioButton, TButtonControl>().On<&TRadioButton::WMSetFocus>(WM_SETFOCUS);
    return table;
}

void TRadioButton::WMSetFocus(TMessage& m) {
    Inherited<TRadioButton>(m);
    // A click focuses the button too, and checks it through the click itself.
    if (!m_checked && GetKeyState(VK_LBUTTON) >= 0 && (KeyboardShiftState() & ssAlt) == 0) {
        SetChecked(true);
    }
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageW(WindowHandle(), BM_SETCHECK, m_checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool value) {
    if (value == m_checked) {
        return;
    }
    m_checked = value;
    SetTabStop(value);
    if (HandleAllocated()) {
        SendMessageW(WindowHandle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (!value) {
        return;
    }
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
                sibling != nullptr && sibling != this) {
                sibling->SetChecked(false);
            }
        }
    }
    if (!HasState(csLoading)) {
        Click();
    }
}

void TRadioButton::Toggle() {
    SetChecked(true);
}

}  // namespace zaprelay::win32
