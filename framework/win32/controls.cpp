#include "framework/win32/controls.h"

#include "framework/win32/application.h"
#include "framework/win32/forms.h"
#include "framework/win32/menus.h"
#include "framework/win32/win_control.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zaprelay::win32 {

const TEnumInfo kBiDiModeNames = MakeEnumInfo<bdRightToLeftReadingOnly>(
    "TBiDiMode",
    {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"});
const TEnumInfo kAlignmentNames = MakeEnumInfo<taCenter>("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
const TEnumInfo kDragModeNames = MakeEnumInfo<dmAutomatic>("TDragMode", {"dmManual", "dmAutomatic"});
const TEnumInfo kDragKindNames = MakeEnumInfo<dkDock>("TDragKind", {"dkDrag", "dkDock"});

namespace {

constexpr std::array<std::pair<int32_t, const char*>, 17> kCursorNames = {{
    {-12, "crDrag"},
    {crDefault, "crDefault"},
    {crNone, "crNone"},
    {crArrow, "crArrow"},
    {crCross, "crCross"},
    {crIBeam, "crIBeam"},
    {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},
    {crSizeNWSE, "crSizeNWSE"},
    {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},
    {crHourGlass, "crHourGlass"},
    {crNo, "crNo"},
    {crAppStart, "crAppStart"},
    {crHelp, "crHelp"},
    {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
}};

// The control that holds the mouse while a button is down on it.
TControl* g_captureControl = nullptr;

void SetCaptureControl(TControl* control) {
    g_captureControl = control;
    if (control == nullptr) {
        ReleaseCapture();
        return;
    }
    TWinControl* window = dynamic_cast<TWinControl*>(control);
    if (window == nullptr) {
        window = control->Parent();
    }
    if (window != nullptr && window->HandleAllocated()) {
        SetCapture(window->WindowHandle());
    }
}

}  // namespace

TControl* CaptureControl() {
    return g_captureControl;
}

void ForgetCaptureControl(TControl* control) {
    if (g_captureControl == control) {
        g_captureControl = nullptr;
    }
}

bool CursorToIdent(int32_t cursor, std::string& name) {
    for (const auto& [value, ident] : kCursorNames) {
        if (value == cursor) {
            name = ident;
            return true;
        }
    }
    return false;
}

bool IdentToCursor(std::string_view name, int32_t& cursor) {
    for (const auto& [value, ident] : kCursorNames) {
        if (SameText(ident, name)) {
            cursor = value;
            return true;
        }
    }
    return false;
}

TShiftState MouseShiftState(uintptr_t wParam) {
    TShiftState s = 0;
    if (wParam & MK_SHIFT) {
        s |= ssShift;
    }
    if (wParam & MK_CONTROL) {
        s |= ssCtrl;
    }
    if (wParam & MK_LBUTTON) {
        s |= ssLeft;
    }
    if (wParam & MK_RBUTTON) {
        s |= ssRight;
    }
    if (wParam & MK_MBUTTON) {
        s |= ssMiddle;
    }
    if (GetKeyState(VK_MENU) < 0) {
        s |= ssAlt;
    }
    return s;
}

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        s |= ssShift;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        s |= ssCtrl;
    }
    if (GetKeyState(VK_MENU) < 0) {
        s |= ssAlt;
    }
    return s;
}

std::u16string WideFromWindow(const wchar_t* text) {
    return text == nullptr ? std::u16string() : std::u16string(reinterpret_cast<const char16_t*>(text));
}

// ---------------------------------------------------------------- TSizeConstraints

const TClassInfo& TSizeConstraints::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TSizeConstraints, TPersistent>("TSizeConstraints");
        TClassBuilder<TSizeConstraints>(i)
            .Integer("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0)
            .Integer("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0)
            .Integer("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0)
            .Integer("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0);
        return i;
    }();
    return info;
}

void TSizeConstraints::CopyFrom(const TPersistent& source) {
    if (auto* other = dynamic_cast<const TSizeConstraints*>(&source)) {
        m_maxHeight = other->m_maxHeight;
        m_maxWidth = other->m_maxWidth;
        m_minHeight = other->m_minHeight;
        m_minWidth = other->m_minWidth;
        Changed();
        return;
    }
    TPersistent::CopyFrom(source);
}

void TSizeConstraints::SetMaxHeight(int32_t value) {
    value = std::max(value, 0);
    if (value != m_maxHeight) {
        m_maxHeight = value;
        if (value > 0 && value < m_minHeight) {
            m_minHeight = value;
        }
        Changed();
    }
}

void TSizeConstraints::SetMaxWidth(int32_t value) {
    value = std::max(value, 0);
    if (value != m_maxWidth) {
        m_maxWidth = value;
        if (value > 0 && value < m_minWidth) {
            m_minWidth = value;
        }
        Changed();
    }
}

void TSizeConstraints::SetMinHeight(int32_t value) {
    value = std::max(value, 0);
    if (value != m_minHeight) {
        m_minHeight = value;
        if (m_maxHeight > 0 && value > m_maxHeight) {
            m_maxHeight = value;
        }
        Changed();
    }
}

void TSizeConstraints::SetMinWidth(int32_t value) {
    value = std::max(value, 0);
    if (value != m_minWidth) {
        m_minWidth = value;
        if (m_maxWidth > 0 && value > m_maxWidth) {
            m_maxWidth = value;
        }
        Changed();
    }
}

void TSizeConstraints::Apply(int32_t& width, int32_t& height) const {
    if (m_minWidth > 0 && width < m_minWidth) {
        width = m_minWidth;
    }
    if (m_maxWidth > 0 && width > m_maxWidth) {
        width = m_maxWidth;
    }
    if (m_minHeight > 0 && height < m_minHeight) {
        height = m_minHeight;
    }
    if (m_maxHeight > 0 && height > m_maxHeight) {
        height = m_maxHeight;
    }
}

void TSizeConstraints::Changed() {
    if (OnChange) {
        OnChange();
    }
}

// ---------------------------------------------------------------- TControl

const TClassInfo& TControl::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TControl, TComponent>("TControl");
        TClassBuilder<TControl>(i)
            .Integer("Left", &TControl::Left, &TControl::SetLeft)
            .Integer("Top", &TControl::Top, &TControl::SetTop)
            .Integer("Width", &TControl::Width, &TControl::SetWidth)
            .Integer("Height", &TControl::Height, &TControl::SetHeight)
            .Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault)
            .Idents(&CursorToIdent, &IdentToCursor)
            .WideString("Hint", &TControl::Hint, &TControl::SetHint);
        return i;
    }();
    return info;
}

const TMessageTable& TControl::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::Root()
                                           .On<&TControl::WMLButtonDown>(WM_LBUTTONDOWN)
                                           .On<&TControl::WMLButtonDblClk>(WM_LBUTTONDBLCLK)
                                           .On<&TControl::WMLButtonUp>(WM_LBUTTONUP)
                                           .On<&TControl::WMRButtonDown>(WM_RBUTTONDOWN)
                                           .On<&TControl::WMRButtonUp>(WM_RBUTTONUP)
                                           .On<&TControl::WMMButtonDown>(WM_MBUTTONDOWN)
                                           .On<&TControl::WMMButtonUp>(WM_MBUTTONUP)
                                           .On<&TControl::WMMouseMove>(WM_MOUSEMOVE)
                                           .On<&TControl::WMContextMenu>(WM_CONTEXTMENU)
                                           .On<&TControl::CMEnabledChanged>(CM_ENABLEDCHANGED)
                                           .On<&TControl::CMVisibleChanged>(CM_VISIBLECHANGED)
                                           .On<&TControl::CMFontChanged>(CM_FONTCHANGED)
                                           .On<&TControl::CMColorChanged>(CM_COLORCHANGED)
                                           .On<&TControl::CMParentFontChanged>(CM_PARENTFONTCHANGED)
                                           .On<&TControl::CMParentColorChanged>(CM_PARENTCOLORCHANGED)
                                           .On<&TControl::CMParentShowHintChanged>(CM_PARENTSHOWHINTCHANGED)
                                           .On<&TControl::CMParentBiDiModeChanged>(CM_PARENTBIDIMODECHANGED)
                                           .On<&TControl::CMSysColorChange>(CM_SYSCOLORCHANGE)
                                           .On<&TControl::CMTextChanged>(CM_TEXTCHANGED)
                                           .On<&TControl::CMMouseEnter>(CM_MOUSEENTER)
                                           .On<&TControl::CMMouseLeave>(CM_MOUSELEAVE)
                                           .On<&TControl::CMHitTest>(CM_HITTEST);
    return table;
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
    m_font.OnChange = [this](TFont& font) { FontChanged(font); };
    m_constraints.OnChange = [this] { SetBounds(m_left, m_top, m_width, m_height); };
}

TControl::~TControl() {
    ForgetCaptureControl(this);
    if (Application() != nullptr) {
        Application()->ControlDestroyed(this);
    }
    if (m_parent != nullptr) {
        m_parent->RemoveControl(this);
    }
}

void TControl::WndProc(TMessage& message) {
    Dispatch(message);
}

void TControl::Dispatch(TMessage& message) {
    if (TMessageTable::Handler h = MessageTable().Find(message.Msg)) {
        h(*this, message);
    } else {
        DefaultHandler(message);
    }
}

void TControl::DefaultHandler(TMessage&) {}

intptr_t TControl::Perform(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    TMessage m = MakeMessage(msg, wParam, lParam);
    WndProc(m);
    return m.Result;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == m_parent) {
        return;
    }
    if (parent == this) {
        throw EInvalidOperation("A control cannot have itself as its parent");
    }
    if (m_parent != nullptr) {
        m_parent->RemoveControl(this);
    }
    if (parent != nullptr) {
        parent->InsertControl(this);
    }
}

void TControl::SetParentComponent(TComponent* parent) {
    if (auto* window = dynamic_cast<TWinControl*>(parent)) {
        SetParent(window);
    }
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    m_constraints.Apply(width, height);
    if (left == m_left && top == m_top && width == m_width && height == m_height) {
        return;
    }
    bool resized = width != m_width || height != m_height;
    bool windowless = dynamic_cast<TWinControl*>(this) == nullptr;
    if (windowless) {
        InvalidateControl(m_visible, false);
    }
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    BoundsChanged();
    if (windowless) {
        Invalidate();
    }
    if (resized && !HasState(csLoading)) {
        Resize();
    }
}

void TControl::SetClientSize(int32_t width, int32_t height) {
    TRect client = ClientRect();
    SetBounds(m_left, m_top, m_width - client.Width() + width, m_height - client.Height() + height);
}

TPoint TControl::ClientOrigin() const {
    if (m_parent == nullptr) {
        return {m_left, m_top};
    }
    TPoint p = m_parent->ClientOrigin();
    return {p.X + m_left, p.Y + m_top};
}

TPoint TControl::ClientToScreen(TPoint p) const {
    TPoint origin = ClientOrigin();
    return {p.X + origin.X, p.Y + origin.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
    TPoint origin = ClientOrigin();
    return {p.X - origin.X, p.Y - origin.Y};
}

void TControl::SetVisible(bool value) {
    if (value == m_visible) {
        return;
    }
    bool windowless = dynamic_cast<TWinControl*>(this) == nullptr;
    if (windowless) {
        InvalidateControl(true, false);
    }
    m_visible = value;
    Perform(CM_VISIBLECHANGED, value ? 1 : 0);
}

bool TControl::Showing() const {
    return m_visible && m_parent != nullptr && m_parent->Showing();
}

void TControl::SetEnabled(bool value) {
    if (value != m_enabled) {
        m_enabled = value;
        Perform(CM_ENABLEDCHANGED);
    }
}

void TControl::SetText(const std::u16string& text) {
    if (text != m_text) {
        m_text = text;
        Perform(CM_TEXTCHANGED);
    }
}

void TControl::SetColor(TColor value) {
    if (value != m_color) {
        m_color = value;
        m_parentColor = false;
        Perform(CM_COLORCHANGED);
    }
}

void TControl::SetParentColor(bool value) {
    if (value != m_parentColor) {
        m_parentColor = value;
        if (m_parent != nullptr && !HasState(csReading)) {
            Perform(CM_PARENTCOLORCHANGED);
        }
    }
}

void TControl::FontChanged(TFont&) {
    if (!m_settingParentFont) {
        m_parentFont = false;
    }
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
    if (value != m_parentFont) {
        m_parentFont = value;
        if (m_parent != nullptr && !HasState(csReading)) {
            Perform(CM_PARENTFONTCHANGED);
        }
    }
}

void TControl::SetCursor(TCursor value) {
    if (value != m_cursor) {
        m_cursor = value;
        Perform(CM_CURSORCHANGED);
    }
}

void TControl::SetShowHint(bool value) {
    if (value != m_showHint) {
        m_showHint = value;
        m_parentShowHint = false;
        Perform(CM_SHOWHINTCHANGED);
    }
}

void TControl::SetParentShowHint(bool value) {
    if (value != m_parentShowHint) {
        m_parentShowHint = value;
        if (m_parent != nullptr && !HasState(csReading)) {
            Perform(CM_PARENTSHOWHINTCHANGED);
        }
    }
}

void TControl::SetBiDiMode(TBiDiMode value) {
    if (value != m_biDiMode) {
        m_biDiMode = value;
        m_parentBiDiMode = false;
        Perform(CM_BIDIMODECHANGED);
    }
}

void TControl::SetParentBiDiMode(bool value) {
    if (value != m_parentBiDiMode) {
        m_parentBiDiMode = value;
        if (m_parent != nullptr && !HasState(csReading)) {
            Perform(CM_PARENTBIDIMODECHANGED);
        }
    }
}

uint32_t TControl::DrawTextBiDiModeFlags(uint32_t flags) const {
    if (UseRightToLeftAlignment()) {
        if ((flags & DT_RIGHT) == DT_RIGHT) {
            flags &= ~static_cast<uint32_t>(DT_RIGHT);
        } else if ((flags & DT_CENTER) == 0) {
            flags |= DT_RIGHT;
        }
    }
    if (UseRightToLeftReading()) {
        flags |= DT_RTLREADING;
    }
    return flags;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    ReplaceReference<TPopupMenu>(this, m_popupMenu, menu);
}

void TControl::Invalidate() {
    InvalidateControl(m_visible, (m_controlStyle & csOpaque) != 0);
}

void TControl::InvalidateControl(bool wasVisible, bool isOpaque) {
    if ((wasVisible || m_visible) && m_parent != nullptr && m_parent->HandleAllocated()) {
        RECT r{m_left, m_top, m_left + m_width, m_top + m_height};
        InvalidateRect(m_parent->WindowHandle(), &r, isOpaque ? FALSE : TRUE);
    }
}

void TControl::Update() {
    if (m_parent != nullptr) {
        m_parent->Update();
    }
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

TCustomForm* TControl::GetParentForm() const {
    const TControl* c = this;
    while (c->m_parent != nullptr) {
        c = c->m_parent;
    }
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::BringToFront() {
    if (m_parent == nullptr) {
        if (auto* w = dynamic_cast<TWinControl*>(this); w != nullptr && w->HandleAllocated()) {
            SetWindowPos(w->WindowHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
        return;
    }
    auto& list = m_parent->m_controls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        w->UpdateControlState();
    } else {
        Invalidate();
    }
}

void TControl::SendToBack() {
    if (m_parent == nullptr) {
        return;
    }
    auto& list = m_parent->m_controls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        w->UpdateControlState();
    } else {
        Invalidate();
    }
}

bool TControl::IsAccel(char16_t key, const std::u16string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') {
            continue;
        }
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        auto upper = [](char16_t c) {
            return static_cast<char16_t>(reinterpret_cast<uintptr_t>(CharUpperW(reinterpret_cast<LPWSTR>(c))));
        };
        return upper(caption[i + 1]) == upper(key);
    }
    return false;
}

void TControl::AfterRead() {
    if (m_parent != nullptr) {
        Perform(CM_PARENTCOLORCHANGED);
        Perform(CM_PARENTFONTCHANGED);
        Perform(CM_PARENTSHOWHINTCHANGED);
        Perform(CM_PARENTBIDIMODECHANGED);
    }
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_popupMenu) {
        m_popupMenu = nullptr;
    }
}

void TControl::Click() {
    if (OnClick) {
        OnClick(this);
    }
}

void TControl::DblClick() {
    if (OnDblClick) {
        OnDblClick(this);
    }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) {
        OnMouseDown(this, button, shift, x, y);
    }
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) {
        OnMouseMove(this, shift, x, y);
    }
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) {
        OnMouseUp(this, button, shift, x, y);
    }
}

void TControl::Resize() {
    if (OnResize) {
        OnResize(this);
    }
}

void TControl::Changed() {
    Invalidate();
}

void TControl::MouseButtonDown(TMessage& m, TMouseButton button, TShiftState extra) {
    if (button == mbLeft) {
        if (m_controlStyle & csCaptureMouse) {
            SetCaptureControl(this);
        }
        if (m_controlStyle & csClickEvents) {
            m_controlState |= csClicked;
        }
        m_controlState |= csLButtonDown;
    }
    if ((m_controlStyle & csNoStdEvents) == 0) {
        MouseDown(button, MouseShiftState(m.WParam) | extra, PointX(m.LParam), PointY(m.LParam));
    }
}

void TControl::MouseButtonUp(TMessage& m, TMouseButton button) {
    int x = PointX(m.LParam);
    int y = PointY(m.LParam);
    if (button == mbLeft) {
        if (g_captureControl == this) {
            SetCaptureControl(nullptr);
        }
        m_controlState &= ~static_cast<uint32_t>(csLButtonDown);
        if (m_controlState & csClicked) {
            m_controlState &= ~static_cast<uint32_t>(csClicked);
            if (ClientRect().Contains({x, y})) {
                Click();
            }
        }
    }
    if ((m_controlStyle & csNoStdEvents) == 0) {
        MouseUp(button, MouseShiftState(m.WParam), x, y);
    }
}

void TControl::WMLButtonDown(TMessage& m) {
    DefaultHandler(m);
    MouseButtonDown(m, mbLeft, 0);
}

void TControl::WMLButtonDblClk(TMessage& m) {
    DefaultHandler(m);
    if (m_controlStyle & csDoubleClicks) {
        DblClick();
    }
    MouseButtonDown(m, mbLeft, ssDouble);
}

void TControl::WMLButtonUp(TMessage& m) {
    DefaultHandler(m);
    MouseButtonUp(m, mbLeft);
}

void TControl::WMRButtonDown(TMessage& m) {
    DefaultHandler(m);
    MouseButtonDown(m, mbRight, 0);
}

void TControl::WMRButtonUp(TMessage& m) {
    DefaultHandler(m);
    MouseButtonUp(m, mbRight);
}

void TControl::WMMButtonDown(TMessage& m) {
    DefaultHandler(m);
    MouseButtonDown(m, mbMiddle, 0);
}

void TControl::WMMButtonUp(TMessage& m) {
    DefaultHandler(m);
    MouseButtonUp(m, mbMiddle);
}

void TControl::WMMouseMove(TMessage& m) {
    DefaultHandler(m);
    if ((m_controlStyle & csNoStdEvents) == 0) {
        MouseMove(MouseShiftState(m.WParam), PointX(m.LParam), PointY(m.LParam));
    }
}

void TControl::WMContextMenu(TMessage& m) {
    if (m_popupMenu != nullptr && m_popupMenu->AutoPopup()) {
        TPoint at{PointX(m.LParam), PointY(m.LParam)};
        if (at.X == -1 && at.Y == -1) {  // from the keyboard: at the control's corner
            at = ClientToScreen({0, 0});
        }
        m_popupMenu->SetPopupComponent(this);
        m_popupMenu->Popup(at.X, at.Y);
        m.Result = 1;
        return;
    }
    DefaultHandler(m);
}

void TControl::CMEnabledChanged(TMessage&) {
    Invalidate();
}

void TControl::CMVisibleChanged(TMessage&) {
    if (m_visible) {
        Invalidate();
    }
}

void TControl::CMFontChanged(TMessage&) {
    Invalidate();
}

void TControl::CMColorChanged(TMessage&) {
    Invalidate();
}

void TControl::CMParentFontChanged(TMessage&) {
    if (m_parentFont && m_parent != nullptr) {
        m_settingParentFont = true;
        m_font.CopyFrom(*m_parent->Font());
        m_settingParentFont = false;
    }
}

void TControl::CMParentColorChanged(TMessage&) {
    if (m_parentColor && m_parent != nullptr && m_parent->Color() != m_color) {
        m_color = m_parent->Color();
        Perform(CM_COLORCHANGED);
    }
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (m_parentShowHint && m_parent != nullptr) {
        m_showHint = m_parent->ShowHint();
    }
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
    if (m_parentBiDiMode && m_parent != nullptr && m_parent->BiDiMode() != m_biDiMode) {
        m_biDiMode = m_parent->BiDiMode();
        Perform(CM_BIDIMODECHANGED);
    }
}

void TControl::CMSysColorChange(TMessage&) {
    Invalidate();
}

void TControl::CMTextChanged(TMessage&) {
    Invalidate();
}

void TControl::CMMouseEnter(TMessage&) {
    m_controlState |= csMouseInside;
    if (OnMouseEnter) {
        OnMouseEnter(this);
    }
}

void TControl::CMMouseLeave(TMessage&) {
    m_controlState &= ~static_cast<uint32_t>(csMouseInside);
    if (OnMouseLeave) {
        OnMouseLeave(this);
    }
}

void TControl::CMHitTest(TMessage& m) {
    m.Result = HTCLIENT;
}

}  // namespace zaprelay::win32
