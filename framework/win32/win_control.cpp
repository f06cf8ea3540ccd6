#include "framework/win32/win_control.h"

#include "framework/graphics/pixel.h"
#include "framework/rtl/exceptions.h"
#include "framework/win32/application.h"
#include "framework/win32/font_cache.h"
#include "framework/win32/forms.h"
#include "framework/win32/gdi_canvas.h"
#include "framework/win32/menus.h"
#include "framework/win32/screen.h"

#include <algorithm>
#include <utility>

namespace zaprelay::win32 {
namespace {

// The window property that leads from a window to its control.
const wchar_t* ControlProperty() {
    static ATOM atom = AddAtomW(L"ZaprelayControl");
    return MAKEINTATOM(atom);
}

// The control whose window is being made: its first message binds it.
TWinControl* g_creating = nullptr;

struct RegisteredClass {
    std::u16string Name;
    WNDPROC DefaultProc;
};

std::vector<RegisteredClass>& RegisteredClasses() {
    static std::vector<RegisteredClass> classes;
    return classes;
}

bool IsMouseMessage(uint32_t msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL;
}

TWinControl* ReflectTarget(HWND window) {
    return window != nullptr ? TWinControl::FromHandle(window) : nullptr;
}

}  // namespace

LRESULT CALLBACK FrameworkWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(GetPropW(window, ControlProperty()));
    if (control == nullptr) {
        if (g_creating == nullptr) {
            return DefWindowProcW(window, msg, wParam, lParam);
        }
        control = g_creating;
        g_creating = nullptr;
        control->m_handle = window;
        SetPropW(window, ControlProperty(), control);
    }
    TMessage m = MakeMessage(msg, wParam, lParam);
    try {
        control->WndProc(m);
    } catch (...) {
        HandleCurrentException(control);
    }
    return m.Result;
}

// ---------------------------------------------------------------- class info

const TClassInfo& TWinControl::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TWinControl, TControl>("TWinControl");
    return info;
}

const TMessageTable& TWinControl::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::For<TWinControl, TControl>()
                                           .On<&TWinControl::WMPaint>(WM_PAINT)
                                           .On<&TWinControl::WMEraseBkgnd>(WM_ERASEBKGND)
                                           .On<&TWinControl::WMCommand>(WM_COMMAND)
                                           .On<&TWinControl::WMNotify>(WM_NOTIFY)
                                           .On<&TWinControl::WMCtlColor>(WM_CTLCOLOREDIT)
                                           .On<&TWinControl::WMCtlColor>(WM_CTLCOLORLISTBOX)
                                           .On<&TWinControl::WMCtlColor>(WM_CTLCOLORBTN)
                                           .On<&TWinControl::WMCtlColor>(WM_CTLCOLORSTATIC)
                                           .On<&TWinControl::WMDrawItem>(WM_DRAWITEM)
                                           .On<&TWinControl::WMMeasureItem>(WM_MEASUREITEM)
                                           .On<&TWinControl::WMSetCursor>(WM_SETCURSOR)
                                           .On<&TWinControl::WMSetFocus>(WM_SETFOCUS)
                                           .On<&TWinControl::WMKillFocus>(WM_KILLFOCUS)
                                           .On<&TWinControl::WMKeyDown>(WM_KEYDOWN)
                                           .On<&TWinControl::WMKeyUp>(WM_KEYUP)
                                           .On<&TWinControl::WMChar>(WM_CHAR)
                                           .On<&TWinControl::WMSysKeyDown>(WM_SYSKEYDOWN)
                                           .On<&TWinControl::WMWindowPosChanged>(WM_WINDOWPOSCHANGED)
                                           .On<&TWinControl::WMSize>(WM_SIZE)
                                           .On<&TWinControl::WMSetText>(WM_SETTEXT)
                                           .On<&TWinControl::WMNCDestroy>(WM_NCDESTROY)
                                           .On<&TWinControl::WMSysColorChange>(WM_SYSCOLORCHANGE)
                                           .On<&TWinControl::CMEnter>(CM_ENTER)
                                           .On<&TWinControl::CMExit>(CM_EXIT)
                                           .On<&TWinControl::CMDialogKey>(CM_DIALOGKEY)
                                           .On<&TWinControl::CMDialogChar>(CM_DIALOGCHAR)
                                           .On<&TWinControl::CMFocusChanged>(CM_FOCUSCHANGED)
                                           .On<&TWinControl::CMEnabledChanged>(CM_ENABLEDCHANGED)
                                           .On<&TWinControl::CMVisibleChanged>(CM_VISIBLECHANGED)
                                           .On<&TWinControl::CMShowingChanged>(CM_SHOWINGCHANGED)
                                           .On<&TWinControl::CMFontChanged>(CM_FONTCHANGED)
                                           .On<&TWinControl::CMColorChanged>(CM_COLORCHANGED)
                                           .On<&TWinControl::CMSysColorChange>(CM_SYSCOLORCHANGE)
                                           .On<&TWinControl::CMShowHintChanged>(CM_SHOWHINTCHANGED)
                                           .On<&TWinControl::CMBiDiModeChanged>(CM_BIDIMODECHANGED)
                                           .On<&TWinControl::CMRecreateWnd>(CM_RECREATEWND)
                                           .On<&TWinControl::CNKeyDown>(CN_KEYDOWN)
                                           .On<&TWinControl::CNChar>(CN_CHAR)
                                           .On<&TWinControl::CNCtlColor>(CN_CTLCOLOREDIT)
                                           .On<&TWinControl::CNCtlColor>(CN_CTLCOLORLISTBOX)
                                           .On<&TWinControl::CNCtlColor>(CN_CTLCOLORBTN)
                                           .On<&TWinControl::CNCtlColor>(CN_CTLCOLORSTATIC);
    return table;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    IncludeState(csDestroying);
    if (m_parent != nullptr) {
        m_parent->RemoveControl(this);
    }
    // A parent frees its children; each one leaves this list as it goes.
    while (!m_controls.empty()) {
        TControl* child = m_controls.back();
        RemoveControl(child);
        child->Free();
    }
    DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return window != nullptr ? static_cast<TWinControl*>(GetPropW(window, ControlProperty())) : nullptr;
}

// ---------------------------------------------------------------- the window

HWND TWinControl::Handle() {
    HandleNeeded();
    return m_handle;
}

void TWinControl::HandleNeeded() {
    if (m_handle != nullptr) {
        return;
    }
    if (m_parent != nullptr) {
        m_parent->HandleNeeded();
    }
    CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = m_text;
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (m_tabStop) {
        params.Style |= WS_TABSTOP;
    }
    if (!Enabled()) {
        params.Style |= WS_DISABLED;
    }
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WndParent = m_parent != nullptr ? m_parent->Handle() : m_parentWindow;
    const std::string& name = ClassName();
    params.WinClassName.assign(name.begin(), name.end());
}

void TWinControl::RegisterWindowClass(const TCreateParams& params, WNDPROC& defaultProc) {
    for (const RegisteredClass& c : RegisteredClasses()) {
        if (c.Name == params.WinClassName) {
            defaultProc = c.DefaultProc;
            return;
        }
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (params.SystemClass != nullptr) {
        if (!GetClassInfoExW(nullptr, params.SystemClass, &wc)) {
            throw EInvalidOperation("Cannot find the window class of a standard control");
        }
        defaultProc = wc.lpfnWndProc;
        wc.style |= CS_DBLCLKS;
    } else {
        defaultProc = DefWindowProcW;
        wc.style = params.ClassStyle;
        wc.hCursor = params.ClassCursor != nullptr ? params.ClassCursor : LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = nullptr;
    }
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FrameworkWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = WidePtr(params.WinClassName);
    wc.hIconSm = nullptr;
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw EInvalidOperation("Cannot register a window class");
    }
    RegisteredClasses().push_back({params.WinClassName, defaultProc});
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
    // Child windows get identifiers of their own, so owner-drawn items can be told apart.
    static uintptr_t nextId = 100;
    HMENU id = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(nextId++ & 0xFFFF) : nullptr;
    CreateWindowExW(params.ExStyle, WidePtr(params.WinClassName), WidePtr(params.Caption), params.Style, params.X,
                    params.Y, params.Width, params.Height, params.WndParent, id, GetModuleHandleW(nullptr), nullptr);
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && params.WndParent == nullptr) {
        throw EInvalidOperation(Format("Control '%s' has no parent window", {Name()}));
    }
    RegisterWindowClass(params, m_defWndProc);
    g_creating = this;
    try {
        CreateWindowHandle(params);
    } catch (...) {
        g_creating = nullptr;
        throw;
    }
    g_creating = nullptr;
    if (m_handle == nullptr) {
        throw EInvalidOperation("Error creating window");
    }
    SendMessageW(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(CachedFont(Font()->Data())), 0);
}

void TWinControl::CreateHandle() {
    if (m_handle != nullptr) {
        return;
    }
    IncludeControlState(csCreating);
    try {
        CreateWnd();
    } catch (...) {
        ExcludeControlState(csCreating);
        throw;
    }
    ExcludeControlState(csCreating);
    // The children's windows follow in z-order, so they stack as the list says.
    for (TControl* child : std::vector<TControl*>(m_controls)) {
        if (auto* w = dynamic_cast<TWinControl*>(child)) {
            w->CreateHandle();
        }
    }
    UpdateControlState();
}

void TWinControl::DestroyWnd() {
    if (m_handle == nullptr) {
        return;
    }
    m_text = Text();
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    DestroyWindow(m_handle);
}

void TWinControl::DestroyHandle() {
    if (m_handle == nullptr) {
        return;
    }
    IncludeControlState(csDestroyingHandle);
    for (TControl* child : m_controls) {
        if (auto* w = dynamic_cast<TWinControl*>(child)) {
            w->DestroyHandle();
        }
    }
    DestroyWnd();
    ExcludeControlState(csDestroyingHandle);
    m_handle = nullptr;
    m_showing = false;
}

void TWinControl::RecreateWnd() {
    if (m_handle == nullptr) {
        return;
    }
    bool hadFocus = Focused();
    IncludeControlState(csRecreating);
    DestroyHandle();
    ExcludeControlState(csRecreating);
    UpdateShowing();
    if (hadFocus && m_handle != nullptr) {
        ::SetFocus(m_handle);
    }
}

void TWinControl::SetParentWindow(HWND window) {
    if (m_parent == nullptr && window != m_parentWindow) {
        bool had = m_handle != nullptr;
        DestroyHandle();
        m_parentWindow = window;
        if (had || window != nullptr) {
            UpdateShowing();
        }
    }
}

void TWinControl::WndProc(TMessage& message) {
    if (IsMouseMessage(message.Msg) && IsControlMouseMsg(message)) {
        return;
    }
    if (Application() != nullptr) {
        if (message.Msg == WM_MOUSEMOVE || message.Msg == WM_NCMOUSEMOVE) {
            Application()->TrackMouse(this, message);
        } else if (message.Msg == WM_MOUSELEAVE || message.Msg == WM_NCMOUSELEAVE) {
            Application()->MouseLeft(this);
        }
    }
    TControl::WndProc(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (m_handle == nullptr) {
        return;
    }
    WNDPROC proc = m_defWndProc != nullptr ? m_defWndProc : DefWindowProcW;
    message.Result = CallWindowProcW(proc, m_handle, message.Msg, message.WParam, message.LParam);
}

// ---------------------------------------------------------------- children

void TWinControl::InsertControl(TControl* control) {
    m_controls.push_back(control);
    control->m_parent = this;
    auto* window = dynamic_cast<TWinControl*>(control);
    if (window != nullptr) {
        m_tabList.push_back(window);
    }
    if (!control->HasState(csReading)) {
        control->Perform(CM_PARENTCOLORCHANGED);
        control->Perform(CM_PARENTFONTCHANGED);
        control->Perform(CM_PARENTSHOWHINTCHANGED);
        control->Perform(CM_PARENTBIDIMODECHANGED);
    }
    if (window != nullptr) {
        if (m_handle != nullptr) {
            window->UpdateShowing();
        }
    } else {
        control->Invalidate();
    }
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<uintptr_t>(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(m_controls.begin(), m_controls.end(), control);
    if (it == m_controls.end()) {
        return;
    }
    if (Application() != nullptr) {
        Application()->ControlDestroyed(control);
    }
    ForgetCaptureControl(control);
    bool windowless = std::find_if(m_tabList.begin(), m_tabList.end(), [control](TWinControl* w) {
                          return static_cast<TControl*>(w) == control;
                      }) == m_tabList.end();
    if (windowless) {
        control->InvalidateControl(control->Visible(), false);
    } else {
        auto* window = static_cast<TWinControl*>(control);
        window->DestroyHandle();
        m_tabList.erase(std::remove(m_tabList.begin(), m_tabList.end(), window), m_tabList.end());
    }
    m_controls.erase(std::find(m_controls.begin(), m_controls.end(), control));
    control->m_parent = nullptr;
    if (!HasState(csDestroying)) {
        Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<uintptr_t>(control), 0);
    }
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c != nullptr; c = c->Parent()) {
        if (c == this) {
            return true;
        }
    }
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) const {
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        TControl* c = *it;
        if (!allowWinControls && dynamic_cast<TWinControl*>(c) != nullptr) {
            continue;
        }
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) {
            continue;
        }
        TPoint local{pos.X - c->Left(), pos.Y - c->Top()};
        if (c->BoundsRect().Contains(pos) && c->Perform(CM_HITTEST, 0, MakePointParam(local.X, local.Y)) != 0) {
            return c;
        }
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
    for (TControl* c : std::vector<TControl*>(m_controls)) {
        c->WndProc(message);
        if (message.Result != 0) {
            return;
        }
    }
}

void TWinControl::NotifyControls(uint32_t msg) {
    for (TControl* c : std::vector<TControl*>(m_controls)) {
        c->Perform(msg);
    }
}

bool TWinControl::IsControlMouseMsg(TMessage& message) {
    TControl* target = nullptr;
    TControl* capture = CaptureControl();
    if (capture != nullptr) {
        if (capture->Parent() == this && dynamic_cast<TWinControl*>(capture) == nullptr) {
            target = capture;
        }
    } else {
        target = ControlAtPos({PointX(message.LParam), PointY(message.LParam)}, false);
    }
    if (target == nullptr) {
        return false;
    }
    if (Application() != nullptr && message.Msg == WM_MOUSEMOVE) {
        Application()->TrackMouse(this, message);
    }
    TMessage local = message;
    local.LParam = MakePointParam(PointX(message.LParam) - target->Left(), PointY(message.LParam) - target->Top());
    target->WndProc(local);
    message.Result = local.Result;
    return true;
}

// ---------------------------------------------------------------- focus and tab order

int32_t TWinControl::TabOrder() const {
    if (m_parent == nullptr) {
        return -1;
    }
    const auto& list = m_parent->m_tabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int32_t>(it - list.begin());
}

void TWinControl::SetTabOrder(int32_t value) {
    if (HasState(csReading)) {
        m_readTabOrder = value;
        return;
    }
    if (m_parent == nullptr || value < 0) {
        return;
    }
    auto& list = m_parent->m_tabList;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    std::size_t index = std::min(static_cast<std::size_t>(value), list.size());
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), this);
}

void TWinControl::SetTabStop(bool value) {
    if (value == m_tabStop) {
        return;
    }
    m_tabStop = value;
    if (m_handle != nullptr) {
        LONG style = GetWindowLongW(m_handle, GWL_STYLE);
        SetWindowLongW(m_handle, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED);
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c != nullptr; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) {
            return false;
        }
    }
    return true;
}

bool TWinControl::Focused() const {
    return m_handle != nullptr && GetFocus() == m_handle;
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm(); form != nullptr && form != this) {
        form->FocusControl(this);
    } else if (Showing() && Enabled()) {
        ::SetFocus(Handle());
    } else {
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    }
}

std::vector<TWinControl*> TWinControl::TabList() const {
    return m_tabList;
}

TWinControl* TWinControl::FindNextControl(TWinControl* current,
                                          bool forward,
                                          bool checkTabStop,
                                          bool checkParent) const {
    // Every windowed descendant in tab order, depth first.
    std::vector<TWinControl*> all;
    auto collect = [&all](const TWinControl* parent, auto& self) -> void {
        for (TWinControl* w : parent->m_tabList) {
            all.push_back(w);
            self(w, self);
        }
    };
    collect(this, collect);
    if (all.empty()) {
        return nullptr;
    }
    std::ptrdiff_t count = static_cast<std::ptrdiff_t>(all.size());
    std::ptrdiff_t start = std::find(all.begin(), all.end(), current) - all.begin();
    if (start == count) {
        start = forward ? count - 1 : 0;
    }
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        std::ptrdiff_t i = forward ? (start + step) % count : (start - step % count + count) % count;
        TWinControl* w = all[static_cast<std::size_t>(i)];
        if (w == current) {
            continue;
        }
        if ((!checkTabStop || w->TabStop()) && (!checkParent || w->Parent() == this) && w->CanFocus()) {
            return w;
        }
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, forward, checkTabStop, !checkTabStop)) {
        next->SetFocus();
    }
}

// ---------------------------------------------------------------- place and text

void TWinControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    TControl::SetBounds(left, top, width, height);
}

void TWinControl::BoundsChanged() {
    if (m_handle != nullptr) {
        SetWindowPos(m_handle, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

TRect TWinControl::ClientRect() const {
    if (m_handle == nullptr) {
        return TControl::ClientRect();
    }
    RECT r{};
    GetClientRect(m_handle, &r);
    return {r.left, r.top, r.right, r.bottom};
}

TPoint TWinControl::ClientOrigin() const {
    if (m_handle == nullptr) {
        return TControl::ClientOrigin();
    }
    POINT p{0, 0};
    ::ClientToScreen(m_handle, &p);
    return {p.x, p.y};
}

bool TWinControl::Showing() const {
    return m_showing;
}

std::u16string TWinControl::Text() const {
    if (m_handle == nullptr) {
        return m_text;
    }
    int length = GetWindowTextLengthW(m_handle);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    int got = GetWindowTextW(m_handle, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void TWinControl::SetText(const std::u16string& text) {
    if (m_handle == nullptr) {
        TControl::SetText(text);
        return;
    }
    if (text != Text()) {
        m_text = text;
        SetWindowTextW(m_handle, WidePtr(text));
    }
}

void TWinControl::AfterRead() {
    TControl::AfterRead();
    if (m_readTabOrder >= 0) {
        int32_t order = m_readTabOrder;
        m_readTabOrder = -1;
        SetTabOrder(order);
    }
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TControl* c : std::vector<TControl*>(m_controls)) {
        if (c->Owner() == root) {
            proc(c);
        }
    }
}

void TWinControl::UpdateShowing() {
    if (HasState(csLoading)) {
        return;  // windows are made once the whole layout is read
    }
    bool showing = Visible() && (m_parent != nullptr ? m_parent->m_showing : IsTopLevel());
    if (showing) {
        HandleNeeded();
    }
    bool changed = showing != m_showing;
    m_showing = showing;
    // Children show before their parent and hide after it, so nothing flickers.
    if (showing) {
        for (TWinControl* w : std::vector<TWinControl*>(m_tabList)) {
            w->UpdateShowing();
        }
    }
    if (changed) {
        try {
            Perform(CM_SHOWINGCHANGED);
        } catch (...) {
            m_showing = !showing;
            throw;
        }
    }
    if (!showing) {
        for (TWinControl* w : std::vector<TWinControl*>(m_tabList)) {
            w->UpdateShowing();
        }
    }
}

void TWinControl::UpdateControlState() {
    if (m_handle == nullptr || m_parent == nullptr || m_parent->m_handle == nullptr) {
        return;
    }
    // Place the window above the windowed sibling that precedes it in the list.
    HWND after = HWND_BOTTOM;
    for (TControl* c : m_parent->m_controls) {
        if (c == this) {
            break;
        }
        if (auto* w = dynamic_cast<TWinControl*>(c); w != nullptr && w->m_handle != nullptr) {
            after = w->m_handle;
        }
    }
    if (after == HWND_BOTTOM) {
        SetWindowPos(m_handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        // HWND_TOP puts it above all; the first in the list belongs at the bottom.
        SetWindowPos(m_handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
        // Windows lists z-order top first; "insert after" means below.
        HWND above = GetWindow(after, GW_HWNDPREV);
        SetWindowPos(m_handle, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

// ---------------------------------------------------------------- painting

void TWinControl::Invalidate() {
    if (m_handle != nullptr) {
        InvalidateRect(m_handle, nullptr, (ControlStyle() & csOpaque) ? FALSE : TRUE);
    }
}

void TWinControl::Update() {
    if (m_handle != nullptr) {
        UpdateWindow(m_handle);
    }
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage m = MakeMessage(WM_PAINT, reinterpret_cast<uintptr_t>(dc));
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    auto it = m_controls.begin();
    if (first != nullptr) {
        it = std::find(m_controls.begin(), m_controls.end(), first);
    }
    RECT clip{};
    GetClipBox(dc, &clip);
    for (; it != m_controls.end(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible()) {
            continue;
        }
        RECT bounds{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
        RECT overlap{};
        if (!IntersectRect(&overlap, &bounds, &clip)) {
            continue;
        }
        TSavedDC saved(dc);
        POINT origin{};
        GetWindowOrgEx(dc, &origin);
        SetWindowOrgEx(dc, origin.x - c->Left(), origin.y - c->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc));
    }
}

void TWinControl::PaintHandler(TMessage& message) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    PAINTSTRUCT ps{};
    if (dc == nullptr) {
        dc = BeginPaint(m_handle, &ps);
    }
    try {
        PaintWindow(dc);
        PaintControls(dc, nullptr);
    } catch (...) {
        if (message.WParam == 0) {
            EndPaint(m_handle, &ps);
        }
        throw;
    }
    if (message.WParam == 0) {
        EndPaint(m_handle, &ps);
    }
    message.Result = 0;
}

HBRUSH TWinControl::Brush() {
    if (!m_brush || m_brushColor != Color()) {
        m_brush = TBrushHandle(CreateSolidBrush(ToColorRef(Color())));
        m_brushColor = Color();
    }
    return m_brush.Get();
}

// ---------------------------------------------------------------- message handlers

void TWinControl::WMPaint(TMessage& m) {
    bool hasWindowless = std::any_of(m_controls.begin(), m_controls.end(),
                                     [](TControl* c) { return dynamic_cast<TWinControl*>(c) == nullptr; });
    if (!hasWindowless && (ControlState() & csCustomPaint) == 0) {
        DefaultHandler(m);
        return;
    }
    PaintHandler(m);
}

void TWinControl::WMEraseBkgnd(TMessage& m) {
    if (m_defWndProc != DefWindowProcW) {
        DefaultHandler(m);
        return;
    }
    RECT r{};
    GetClientRect(m_handle, &r);
    FillRect(reinterpret_cast<HDC>(m.WParam), &r, Brush());
    m.Result = 1;
}

void TWinControl::WMCommand(TMessage& m) {
    if (TWinControl* child = ReflectTarget(reinterpret_cast<HWND>(m.LParam)); child != nullptr && child != this) {
        m.Result = child->Perform(CN_COMMAND, m.WParam, m.LParam);
        return;
    }
    DefaultHandler(m);
}

void TWinControl::WMNotify(TMessage& m) {
    auto* header = reinterpret_cast<NMHDR*>(m.LParam);
    if (TWinControl* child = ReflectTarget(header != nullptr ? header->hwndFrom : nullptr);
        child != nullptr && child != this) {
        m.Result = child->Perform(CN_NOTIFY, m.WParam, m.LParam);
        return;
    }
    DefaultHandler(m);
}

void TWinControl::WMCtlColor(TMessage& m) {
    if (TWinControl* child = ReflectTarget(reinterpret_cast<HWND>(m.LParam)); child != nullptr && child != this) {
        m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
    }
    DefaultHandler(m);
}

void TWinControl::WMDrawItem(TMessage& m) {
    if (LRESULT result = 0; MenuPictureMessage(m.Msg, m.LParam, result)) {
        m.Result = result;
        return;
    }
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    if (item != nullptr && item->CtlType != ODT_MENU) {
        if (TWinControl* child = ReflectTarget(item->hwndItem); child != nullptr && child != this) {
            m.Result = child->Perform(CN_DRAWITEM, m.WParam, m.LParam);
            return;
        }
    }
    DefaultHandler(m);
}

void TWinControl::WMMeasureItem(TMessage& m) {
    if (LRESULT result = 0; MenuPictureMessage(m.Msg, m.LParam, result)) {
        m.Result = result;
        return;
    }
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    if (item != nullptr && item->CtlType != ODT_MENU) {
        // The record names the item's window only by its identifier.
        for (TWinControl* w : m_tabList) {
            if (w->m_handle != nullptr && static_cast<UINT>(GetWindowLongW(w->m_handle, GWL_ID)) == item->CtlID) {
                m.Result = w->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
                return;
            }
        }
    }
    DefaultHandler(m);
}

void TWinControl::WMSetCursor(TMessage& m) {
    if (reinterpret_cast<HWND>(m.WParam) == m_handle && LoWord(static_cast<uintptr_t>(m.LParam)) == HTCLIENT) {
        TCursor cursor = Screen() != nullptr ? Screen()->Cursor() : crDefault;
        if (cursor == crDefault) {
            POINT p{};
            GetCursorPos(&p);
            TPoint local = ScreenToClient({p.x, p.y});
            TControl* under = ControlAtPos(local, false);
            cursor = under != nullptr && under->Cursor() != crDefault ? under->Cursor() : Cursor();
        }
        if (cursor != crDefault && Screen() != nullptr) {
            ::SetCursor(Screen()->Cursors(cursor));
            m.Result = 1;
            return;
        }
    }
    DefaultHandler(m);
}

void TWinControl::WMSetFocus(TMessage& m) {
    DefaultHandler(m);
    if (TCustomForm* form = GetParentForm()) {
        form->SetFocusedControl(this);
    }
    Perform(CM_FOCUSENTER);
}

void TWinControl::WMKillFocus(TMessage& m) {
    DefaultHandler(m);
    Perform(CM_FOCUSEXIT);
}

bool TWinControl::DoKeyDown(TMessage& message) {
    auto key = static_cast<uint16_t>(message.WParam);
    TShiftState shift = KeyboardShiftState();
    TCustomForm* form = GetParentForm();
    if (form != nullptr && form != this && form->KeyPreview()) {
        form->KeyDownPreview(key, shift);
        if (key == 0) {
            return true;
        }
    }
    KeyDown(key, shift);
    message.WParam = key;
    return key == 0;
}

void TWinControl::KeyDown(uint16_t& key, TShiftState shift) {
    if (OnKeyDown) {
        OnKeyDown(this, key, shift);
    }
}

void TWinControl::KeyUp(uint16_t& key, TShiftState shift) {
    if (OnKeyUp) {
        OnKeyUp(this, key, shift);
    }
}

void TWinControl::KeyPress(char16_t& key) {
    if (OnKeyPress) {
        OnKeyPress(this, key);
    }
}

void TWinControl::WMKeyDown(TMessage& m) {
    if (!DoKeyDown(m)) {
        DefaultHandler(m);
    }
}

void TWinControl::WMSysKeyDown(TMessage& m) {
    if (!DoKeyDown(m)) {
        DefaultHandler(m);
    }
}

void TWinControl::WMKeyUp(TMessage& m) {
    auto key = static_cast<uint16_t>(m.WParam);
    KeyUp(key, KeyboardShiftState());
    if (key != 0) {
        m.WParam = key;
        DefaultHandler(m);
    }
}

void TWinControl::WMChar(TMessage& m) {
    auto key = static_cast<char16_t>(m.WParam);
    TCustomForm* form = GetParentForm();
    if (form != nullptr && form != this && form->KeyPreview()) {
        form->KeyPressPreview(key);
    }
    if (key != 0) {
        KeyPress(key);
    }
    if (key != 0) {
        m.WParam = key;
        DefaultHandler(m);
    }
}

void TWinControl::WMWindowPosChanged(TMessage& m) {
    DefaultHandler(m);
    auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
    if (pos == nullptr || (pos->flags & SWP_NOMOVE && pos->flags & SWP_NOSIZE)) {
        return;
    }
    // The system may have placed the window otherwise than asked; take what it did.
    TakeWindowBounds();
}

void TWinControl::TakeWindowBounds() {
    RECT r{};
    GetWindowRect(m_handle, &r);
    HWND parent = GetParent(m_handle);
    if (GetWindowLongW(m_handle, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    int32_t width = r.right - r.left;
    int32_t height = r.bottom - r.top;
    bool resized = width != Width() || height != Height();
    m_left = r.left;
    m_top = r.top;
    m_width = width;
    m_height = height;
    if (resized && !HasState(csLoading)) {
        Resize();
    }
}

void TWinControl::WMSize(TMessage& m) {
    DefaultHandler(m);
}

void TWinControl::WMSetText(TMessage& m) {
    DefaultHandler(m);
    Perform(CM_TEXTCHANGED);
}

void TWinControl::WMNCDestroy(TMessage& m) {
    DefaultHandler(m);
    RemovePropW(m_handle, ControlProperty());
    m_handle = nullptr;
    m_showing = false;
}

void TWinControl::WMSysColorChange(TMessage& m) {
    DefaultHandler(m);
    Perform(CM_SYSCOLORCHANGE);
}

void TWinControl::CMEnter(TMessage&) {
    DoEnter();
}

void TWinControl::CMExit(TMessage&) {
    DoExit();
}

void TWinControl::DoEnter() {
    if (OnEnter) {
        OnEnter(this);
    }
}

void TWinControl::DoExit() {
    if (OnExit) {
        OnExit(this);
    }
}

void TWinControl::CMDialogKey(TMessage& m) {
    Broadcast(m);
}

void TWinControl::CMDialogChar(TMessage& m) {
    Broadcast(m);
}

void TWinControl::CMFocusChanged(TMessage& m) {
    Broadcast(m);
}

void TWinControl::CMEnabledChanged(TMessage& m) {
    if (!Enabled() && Focused()) {
        if (TCustomForm* form = GetParentForm()) {
            form->DefocusControl(this);
        }
    }
    if (m_handle != nullptr) {
        EnableWindow(m_handle, Enabled() ? TRUE : FALSE);
    }
    Inherited<TWinControl>(m);
}

void TWinControl::CMVisibleChanged(TMessage& m) {
    if (m_parent != nullptr || IsTopLevel()) {
        UpdateShowing();
    }
    Inherited<TWinControl>(m);
}

void TWinControl::CMShowingChanged(TMessage&) {
    if (m_handle != nullptr) {
        SetWindowPos(
            m_handle, nullptr, 0, 0, 0, 0,
            SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (m_showing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    }
}

void TWinControl::CMFontChanged(TMessage& m) {
    if (m_handle != nullptr) {
        SendMessageW(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(CachedFont(Font()->Data())), TRUE);
    }
    Inherited<TWinControl>(m);
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& m) {
    Inherited<TWinControl>(m);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMSysColorChange(TMessage& m) {
    m_brush = TBrushHandle();
    Inherited<TWinControl>(m);
    NotifyControls(CM_SYSCOLORCHANGE);
}

void TWinControl::CMShowHintChanged(TMessage&) {
    NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

void TWinControl::CMBiDiModeChanged(TMessage&) {
    Invalidate();
    NotifyControls(CM_PARENTBIDIMODECHANGED);
}

void TWinControl::CMRecreateWnd(TMessage&) {
    RecreateWnd();
}

void TWinControl::CNKeyDown(TMessage& m) {
    m.Result = 0;
    auto key = static_cast<uint16_t>(m.WParam);
    LRESULT wanted = 0;
    switch (key) {
        case VK_TAB:
            wanted = DLGC_WANTTAB;
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            wanted = DLGC_WANTARROWS;
            break;
        case VK_RETURN:
        case VK_EXECUTE:
        case VK_ESCAPE:
        case VK_CANCEL:
            wanted = DLGC_WANTALLKEYS;
            break;
        default:
            return;
    }
    if (Perform(CM_WANTSPECIALKEY, key) != 0) {
        return;
    }
    if (m_handle != nullptr && (Perform(WM_GETDLGCODE) & (wanted | DLGC_WANTMESSAGE)) != 0) {
        return;
    }
    if (TCustomForm* form = GetParentForm()) {
        if (form->Perform(CM_DIALOGKEY, key, m.LParam) != 0) {
            m.Result = 1;
        }
    }
}

void TWinControl::CNChar(TMessage& m) {
    m.Result = 0;
    if (m_handle != nullptr && (Perform(WM_GETDLGCODE) & (DLGC_WANTCHARS | DLGC_HASSETSEL)) != 0) {
        return;
    }
    if (TCustomForm* form = GetParentForm()) {
        if (form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) {
            m.Result = 1;
        }
    }
}

void TWinControl::CNCtlColor(TMessage& m) {
    auto dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ToColorRef(Font()->Color()));
    SetBkColor(dc, ToColorRef(Color()));
    m.Result = reinterpret_cast<intptr_t>(Brush());
}

}  // namespace zaprelay::win32
