#include "framework/win32/forms.h"

#include "framework/rtl/exceptions.h"
#include "framework/rtl/object_stream.h"
#include "framework/rtl/scoped_value.h"
#include "framework/rtl/streams.h"
#include "framework/win32/application.h"
#include "framework/win32/control_props.h"
#include "framework/win32/layout_resource.h"
#include "framework/win32/menus.h"
#include "framework/win32/screen.h"

#include <algorithm>
#include <vector>

namespace zaprelay::win32 {

const TEnumInfo kFormBorderStyleNames =
    MakeEnumInfo<bsSizeToolWin>("TFormBorderStyle",
                                {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
const TEnumInfo kBorderIconNames =
    MakeEnumInfo<biHelp>("TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
const TEnumInfo kFormStyleNames =
    MakeEnumInfo<fsStayOnTop>("TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
const TEnumInfo kPositionNames =
    MakeEnumInfo<poOwnerFormCenter>("TPosition",
                                    {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                     "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"});
const TEnumInfo kWindowStateNames =
    MakeEnumInfo<wsMaximized>("TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"});

namespace {

constexpr char kCannotFocus[] = "Cannot focus a disabled or invisible window";
constexpr char kVisibleModal[] = "Cannot make a visible window modal";
constexpr char kNoMDIForm[] = "Cannot create form. No MDI forms are currently active";
constexpr char kHideMDIChild[] = "Cannot hide an MDI Child Form";
// The system numbers the children's items in a window menu from here; the framework gives it
// no menu, but the client wants a first identifier.
constexpr UINT kFirstMDIChildId = 0xFF00;

// Menu items are written inside their menu, not beside it.
BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

TRect WorkAreaOf(HWND window) {
    return Screen() != nullptr ? Screen()->MonitorWorkArea(window) : TRect{0, 0, 640, 480};
}

}  // namespace

// ---------------------------------------------------------------- class info

const TClassInfo& TCustomForm::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TCustomForm, TCustomControl>("TCustomForm");
    return info;
}

const TMessageTable& TCustomForm::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::For<TCustomForm, TCustomControl>()
                                           .On<&TCustomForm::WMClose>(WM_CLOSE)
                                           .On<&TCustomForm::WMActivate>(WM_ACTIVATE)
                                           .On<&TCustomForm::WMSysCommand>(WM_SYSCOMMAND)
                                           .On<&TCustomForm::WMGetMinMaxInfo>(WM_GETMINMAXINFO)
                                           .On<&TCustomForm::WMSize>(WM_SIZE)
                                           .On<&TCustomForm::WMHScroll>(WM_HSCROLL)
                                           .On<&TCustomForm::WMVScroll>(WM_VSCROLL)
                                           .On<&TCustomForm::CMShowingChanged>(CM_SHOWINGCHANGED)
                                           .On<&TCustomForm::WMWindowPosChanged>(WM_WINDOWPOSCHANGED)
                                           .On<&TCustomForm::CMDialogKey>(CM_DIALOGKEY)
                                           .On<&TCustomForm::CMRelease>(CM_RELEASE)
                                           .On<&TCustomForm::CMControlListChange>(CM_CONTROLLISTCHANGE)
                                           .On<&TCustomForm::CMActivate>(CM_ACTIVATE)
                                           .On<&TCustomForm::WMMDIActivate>(WM_MDIACTIVATE);
    return table;
}

const TClassInfo& TForm::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TForm, TCustomForm>("TForm");
        TClassBuilder<TForm> b(i);
        // The window's size is stored as its client size.
        b.Integer("Width", &TControl::Width, &TControl::SetWidth).NotStored();
        b.Integer("Height", &TControl::Height, &TControl::SetHeight).NotStored();
        b.Set("BorderIcons", kBorderIconNames, &TForm::BorderIcons, &TForm::SetBorderIcons, 0x7);
        b.Enum("BorderStyle", kFormBorderStyleNames, &TForm::BorderStyle, &TForm::SetBorderStyle, bsSizeable);
        publish::Caption(b);
        b.Integer("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight);
        b.Integer("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth);
        publish::Color(b, clBtnFace);
        publish::Constraints(b);
        publish::Font(b);
        b.Enum("FormStyle", kFormStyleNames, &TForm::FormStyle, &TForm::SetFormStyle, fsNormal);
        b.Object("Icon", [](TForm& f) -> TPersistent* { return f.Icon(); });
        b.Boolean("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview, false);
        b.Boolean("OldCreateOrder", &TForm::OldCreateOrder, &TForm::SetOldCreateOrder, std::nullopt);
        b.Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, false);
        publish::PopupMenu(b);
        b.Enum("Position", kPositionNames, &TForm::Position, &TForm::SetPosition, poDesigned);
        publish::ShowHint(b);
        b.Boolean("AutoScroll", &TForm::AutoScroll, &TForm::SetAutoScroll, false);
        b.Boolean("Visible", &TControl::Visible, &TControl::SetVisible, false);
        b.Enum("WindowState", kWindowStateNames, &TForm::WindowState, &TForm::SetWindowState, wsNormal);
        b.Event("OnActivate", publish::Member<TForm>(&TForm::OnActivate));
        b.Event("OnClick", publish::Member<TForm>(&TForm::OnClick));
        b.Event("OnClose", publish::Member<TForm>(&TForm::OnClose));
        b.Event("OnCloseQuery", publish::Member<TForm>(&TForm::OnCloseQuery));
        b.Event("OnCreate", publish::Member<TForm>(&TForm::OnCreate));
        b.Event("OnDeactivate", publish::Member<TForm>(&TForm::OnDeactivate));
        b.Event("OnDestroy", publish::Member<TForm>(&TForm::OnDestroy));
        b.Event("OnHide", publish::Member<TForm>(&TForm::OnHide));
        publish::KeyEvents(b);
        publish::MouseEvents(b);
        b.Event("OnPaint", publish::Member<TForm>(&TForm::OnPaint));
        b.Event("OnResize", publish::Member<TForm>(&TForm::OnResize));
        b.Event("OnShortCut", publish::Member<TForm>(&TForm::OnShortCut));
        b.Event("OnShow", publish::Member<TForm>(&TForm::OnShow));
        b.Integer("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch);
        b.Integer("TextHeight", &TForm::TextHeight, &TForm::SetTextHeight);
        return i;
    }();
    return info;
}

// ---------------------------------------------------------------- life

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
    TControl::SetVisible(false);
    SetColor(clBtnFace);
    SetParentColor(false);
    SetParentFont(false);
    m_icon.OnChange = [this] { UpdateIcon(); };
    if (Screen() != nullptr) {
        Screen()->AddForm(this);
    }
}

TCustomForm::~TCustomForm() {
    if (Screen() != nullptr) {
        Screen()->RemoveForm(this);
    }
    if (Application() != nullptr) {
        Application()->FormDestroyed(this);
    }
}

void TCustomForm::MissingComponent(std::string_view name) {
    throw EComponentError(Format("Component %s not found", {name}));
}

void TCustomForm::InitializeForm(const std::function<void()>& bind) {
    std::vector<uint8_t> layout = LoadLayoutResource(GetModuleHandleW(nullptr), ClassName());
    TBytesStream stream(layout);
    m_readingLayout = true;
    try {
        ReadObjectStream(stream, *this);
    } catch (...) {
        m_readingLayout = false;
        throw;
    }
    m_readingLayout = false;
    if (bind) {
        bind();
    }
    DoCreate();
    if (Visible()) {
        UpdateShowing();
    }
}

void TCustomForm::SetName(const std::string& name) {
    if (m_readingLayout && Owner() != nullptr && Name().empty()) {
        std::string unique = name;
        for (int n = 1; Owner()->FindComponent(unique) != nullptr; ++n) {
            unique = name + "_" + std::to_string(n);
        }
        TCustomControl::SetName(unique);
        return;
    }
    TCustomControl::SetName(name);
}

void TCustomForm::BeforeDestruction() {
    TCustomControl::BeforeDestruction();
    if (!m_destroyRaised) {
        m_destroyRaised = true;
        if (OnDestroy) {
            OnDestroy(this);
        }
    }
    // The windows go now, while the handlers that their last messages may reach still
    // belong to a whole form.
    DestroyHandle();
}

void TCustomForm::AfterRead() {
    TCustomControl::AfterRead();
}

void TCustomForm::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    TCustomControl::GetChildren(proc, root);
    for (TComponent* c : std::vector<TComponent*>(ComponentList())) {
        if (dynamic_cast<TControl*>(c) == nullptr && c->Owner() == root && !c->HasParent()) {
            proc(c);
        }
    }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == opRemove) {
        if (component == m_activeControl) {
            m_activeControl = nullptr;
        }
        if (component == m_focusedControl) {
            m_focusedControl = nullptr;
        }
    }
}

// ---------------------------------------------------------------- window

DWORD TCustomForm::WindowStyle() const {
    DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (m_formStyle == fsMDIChild) {
        style |= WS_CHILD;
    }
    switch (m_borderStyle) {
        case bsNone:
            return m_formStyle == fsMDIChild ? style : style | WS_POPUP;
        case bsSingle:
        case bsToolWindow:
            style |= WS_CAPTION;
            break;
        case bsSizeable:
        case bsSizeToolWin:
            style |= WS_CAPTION | WS_THICKFRAME;
            break;
        case bsDialog:
            style |= (m_formStyle == fsMDIChild ? 0 : WS_POPUP) | WS_CAPTION;
            break;
    }
    if (m_borderIcons & (1u << biSystemMenu)) {
        style |= WS_SYSMENU;
        bool boxes = m_borderStyle != bsDialog && m_borderStyle != bsToolWindow && m_borderStyle != bsSizeToolWin;
        if (boxes && (m_borderIcons & (1u << biMinimize))) {
            style |= WS_MINIMIZEBOX;
        }
        if (boxes && (m_borderIcons & (1u << biMaximize))) {
            style |= WS_MAXIMIZEBOX;
        }
    }
    return style;
}

DWORD TCustomForm::WindowExStyle() const {
    DWORD ex = 0;
    if (m_borderStyle == bsDialog) {
        ex |= WS_EX_DLGMODALFRAME;
    }
    if (m_borderStyle == bsToolWindow || m_borderStyle == bsSizeToolWin) {
        ex |= WS_EX_TOOLWINDOW;
    }
    if ((m_borderIcons & (1u << biHelp)) &&
        (m_borderStyle == bsDialog || !(WindowStyle() & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))) {
        ex |= WS_EX_CONTEXTHELP;
    }
    if (m_formStyle == fsStayOnTop) {
        ex |= WS_EX_TOPMOST;
    }
    if (m_formStyle == fsMDIChild) {
        return ex | WS_EX_MDICHILD;
    }
    // The forms are owned by the hidden application window, which has no task bar button.
    if (Application() != nullptr && Application()->MainForm() == this) {
        ex |= WS_EX_APPWINDOW;
    }
    return ex;
}

RECT TCustomForm::Frame() const {
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, WindowStyle(), FALSE, WindowExStyle());
    return {-r.left, -r.top, r.right, r.bottom};
}

void TCustomForm::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style = WindowStyle();
    params.ExStyle = WindowExStyle();
    params.WndParent = Parent() != nullptr ? Parent()->Handle() : ParentWindow();
    if (m_formStyle == fsMDIChild) {
        params.WndParent = MDIClientForChild();
        // The client places (and sizes) a child where asked to choose: each new one cascades.
        if (m_position == poDefault || m_position == poDefaultPosOnly) {
            params.X = CW_USEDEFAULT;
            params.Y = CW_USEDEFAULT;
        }
        if (m_position == poDefault || m_position == poDefaultSizeOnly) {
            params.Width = CW_USEDEFAULT;
            params.Height = CW_USEDEFAULT;
        }
    } else if (Parent() == nullptr && params.WndParent == nullptr && Application() != nullptr) {
        params.WndParent = Application()->Handle();
    }
    if (m_clientWidth >= 0) {
        RECT frame = Frame();
        params.Width = m_clientWidth + frame.left + frame.right;
        params.Height = m_clientHeight + frame.top + frame.bottom;
    }
}

void TCustomForm::CreateWnd() {
    TCustomControl::CreateWnd();
    m_clientWidth = -1;
    m_clientHeight = -1;
    if (m_formStyle == fsMDIForm) {
        CreateMDIClient();
    }
    if (m_formStyle == fsMDIChild) {
        TakeWindowBounds();  // where the client put it
    }
    UpdateIcon();
    UpdateScrollRange();
}

void TCustomForm::DestroyWnd() {
    // The children's windows go with the client window: their forms let go of them first.
    for (TCustomForm* child : MDIChildren()) {
        child->DestroyHandle();
    }
    m_clientHandle = nullptr;
    TCustomControl::DestroyWnd();
}

void TCustomForm::DestroyWindowHandle() {
    HWND client = m_formStyle == fsMDIChild ? GetParent(WindowHandle()) : nullptr;
    if (client != nullptr) {
        SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(WindowHandle()), 0);
    }
    if (IsWindow(WindowHandle())) {
        TCustomControl::DestroyWindowHandle();
    }
}

void TCustomForm::DefaultHandler(TMessage& message) {
    if (!HandleAllocated()) {
        return;
    }
    if (m_formStyle == fsMDIChild) {
        message.Result = DefMDIChildProcW(WindowHandle(), message.Msg, message.WParam, message.LParam);
    } else if (m_clientHandle != nullptr) {
        message.Result = DefFrameProcW(WindowHandle(), m_clientHandle, message.Msg, message.WParam, message.LParam);
    } else {
        TCustomControl::DefaultHandler(message);
    }
}

// ---------------------------------------------------------------- multiple documents

void TCustomForm::CreateMDIClient() {
    CLIENTCREATESTRUCT client{nullptr, kFirstMDIChildId};
    RECT area{};
    GetClientRect(WindowHandle(), &area);
    m_clientHandle = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL | MDIS_ALLCHILDSTYLES, 0, 0,
        area.right, area.bottom, WindowHandle(), nullptr, GetModuleHandleW(nullptr), &client);
    if (m_clientHandle == nullptr) {
        throw EInvalidOperation("Error creating window");
    }
}

HWND TCustomForm::MDIClientForChild() const {
    // The owner when it is an MDI form, else the application's main form.
    auto* parent = dynamic_cast<TCustomForm*>(Owner());
    if ((parent == nullptr || parent->m_formStyle != fsMDIForm) && Application() != nullptr) {
        parent = Application()->MainForm();
    }
    if (parent == nullptr || parent->m_formStyle != fsMDIForm || parent == this) {
        throw EInvalidOperation(kNoMDIForm);
    }
    parent->HandleNeeded();
    return parent->m_clientHandle;
}

TCustomForm* TCustomForm::MDIParent() const {
    if (m_formStyle != fsMDIChild || !HandleAllocated()) {
        return nullptr;
    }
    HWND client = GetParent(WindowHandle());
    auto* parent = dynamic_cast<TCustomForm*>(FromHandle(client != nullptr ? GetParent(client) : nullptr));
    return parent != nullptr && parent->m_clientHandle == client ? parent : nullptr;
}

std::vector<TCustomForm*> TCustomForm::MDIChildren() const {
    std::vector<TCustomForm*> children;
    if (m_clientHandle == nullptr) {
        return children;
    }
    for (HWND w = GetWindow(m_clientHandle, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        auto* child = dynamic_cast<TCustomForm*>(FromHandle(w));
        if (child != nullptr && child->m_formStyle == fsMDIChild) {
            children.push_back(child);
        }
    }
    // Child windows are numbered as they are made.
    std::stable_sort(children.begin(), children.end(), [](const TCustomForm* a, const TCustomForm* b) {
        return GetWindowLongPtrW(a->WindowHandle(), GWLP_ID) < GetWindowLongPtrW(b->WindowHandle(), GWLP_ID);
    });
    return children;
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
    if (m_clientHandle == nullptr) {
        return nullptr;
    }
    auto active = reinterpret_cast<HWND>(SendMessageW(m_clientHandle, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TCustomForm*>(FromHandle(active));
}

void TCustomForm::Cascade() {
    if (m_clientHandle != nullptr) {
        SendMessageW(m_clientHandle, WM_MDICASCADE, 0, 0);
    }
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
    if (value != m_borderStyle) {
        m_borderStyle = value;
        RecreateWnd();
    }
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
    value &= 0xF;
    if (value != m_borderIcons) {
        m_borderIcons = value;
        RecreateWnd();
    }
}

void TCustomForm::SetFormStyle(TFormStyle value) {
    if (value == m_formStyle) {
        return;
    }
    m_formStyle = value;
    if (HandleAllocated()) {
        SetWindowPos(WindowHandle(), value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

TWindowState TCustomForm::WindowState() const {
    if (HandleAllocated() && Showing()) {
        if (IsIconic(WindowHandle())) {
            return wsMinimized;
        }
        if (IsZoomed(WindowHandle())) {
            return wsMaximized;
        }
        return wsNormal;
    }
    return m_windowState;
}

void TCustomForm::SetWindowState(TWindowState value) {
    m_windowState = value;
    if (HandleAllocated() && Showing()) {
        ShowWindow(WindowHandle(), value == wsMinimized   ? SW_MINIMIZE
                                   : value == wsMaximized ? SW_MAXIMIZE
                                                          : SW_RESTORE);
    }
}

void TCustomForm::SetClientSize(int32_t width, int32_t height) {
    if (HandleAllocated()) {
        TCustomControl::SetClientSize(width, height);
        return;
    }
    m_clientWidth = width;
    m_clientHeight = height;
    RECT frame = Frame();
    SetBounds(Left(), Top(), width + frame.left + frame.right, height + frame.top + frame.bottom);
}

TRect TCustomForm::ClientRect() const {
    if (HandleAllocated()) {
        return TCustomControl::ClientRect();
    }
    if (m_clientWidth >= 0) {
        return {0, 0, m_clientWidth, m_clientHeight};
    }
    RECT frame = Frame();
    return {0, 0, std::max<int32_t>(0, Width() - frame.left - frame.right),
            std::max<int32_t>(0, Height() - frame.top - frame.bottom)};
}

TPoint TCustomForm::ClientOrigin() const {
    if (HandleAllocated()) {
        return TCustomControl::ClientOrigin();
    }
    RECT frame = Frame();
    return {Left() + frame.left, Top() + frame.top};
}

void TCustomForm::UpdateIcon() {
    if (!HandleAllocated()) {
        return;
    }
    const TIcon* icon = &m_icon;
    if (icon->Bytes().empty() && icon->LargeHandle() == nullptr && Application() != nullptr) {
        icon = Application()->Icon();
    }
    SendMessageW(WindowHandle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon->LargeHandle()));
    SendMessageW(WindowHandle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon->SmallHandle()));
}

void TCustomForm::Paint() {
    if (OnPaint) {
        OnPaint(this);
    }
}

// ---------------------------------------------------------------- showing and closing

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide() {
    if (m_formStyle == fsMDIChild) {
        throw EInvalidOperation(kHideMDIChild);
    }
    SetVisible(false);
}

void TCustomForm::ApplyPosition() {
    if (m_positioned) {
        return;
    }
    m_positioned = true;
    TRect area = WorkAreaOf(HandleAllocated() ? WindowHandle() : nullptr);
    const TCustomForm* relative = nullptr;
    switch (m_position) {
        case poScreenCenter:
        case poDesktopCenter:
            break;
        case poMainFormCenter:
            relative = Application() != nullptr ? Application()->MainForm() : nullptr;
            break;
        case poOwnerFormCenter:
            relative = dynamic_cast<const TCustomForm*>(Owner());
            break;
        default:
            return;
    }
    TRect around = area;
    if (relative != nullptr && relative != this && relative->Showing()) {
        around = relative->BoundsRect();
    }
    int32_t x = around.Left + (around.Width() - Width()) / 2;
    int32_t y = around.Top + (around.Height() - Height()) / 2;
    x = std::max(area.Left, std::min(x, area.Right - Width()));
    y = std::max(area.Top, std::min(y, area.Bottom - Height()));
    SetBounds(x, y, Width(), Height());
}

void TCustomForm::CMShowingChanged(TMessage&) {
    HWND window = WindowHandle();
    if (Showing()) {
        TScopedValue<bool> byVisible(m_showingByVisible, true);
        ApplyPosition();
        DoShow();
        int show = m_windowState == wsMaximized   ? SW_SHOWMAXIMIZED
                   : m_windowState == wsMinimized ? SW_SHOWMINIMIZED
                                                  : SW_SHOWNORMAL;
        ShowWindow(window, show);
        if (m_formStyle == fsStayOnTop) {
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    } else {
        DoHide();
        if (m_focusedControl != nullptr && ContainsControl(m_focusedControl)) {
            m_focusedControl = nullptr;
        }
        ShowWindow(window, SW_HIDE);
    }
}

void TCustomForm::WMWindowPosChanged(TMessage& m) {
    Inherited<TCustomForm>(m);
    // Shown by a ShowWindow or SetWindowPos of other code than Visible.
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
    if (pos != nullptr && (pos->flags & SWP_SHOWWINDOW) != 0 && !m_showingByVisible) {
        DoShow();
    }
}

void TCustomForm::DoCreate() {
    // A failing creation handler is reported; the form is still made.
    if (OnCreate) {
        try {
            OnCreate(this);
        } catch (...) {
            HandleCurrentException(this);
        }
    }
}

void TCustomForm::DoShow() {
    if (OnShow) {
        OnShow(this);
    }
}

void TCustomForm::DoHide() {
    if (OnHide) {
        OnHide(this);
    }
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) {
        OnClose(this, action);
    }
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) {
        OnCloseQuery(this, canClose);
    }
    return canClose;
}

void TCustomForm::Close() {
    if (m_modal) {
        m_modalResult = mrCancel;
        return;
    }
    // An MDI child cannot hide: it minimizes, or stays when it cannot.
    TCloseAction action = m_formStyle != fsMDIChild                   ? caHide
                          : (m_borderIcons & (1u << biMinimize)) != 0 ? caMinimize
                                                                      : caNone;
    if (!AskToClose(action)) {
        return;
    }
    if (Application() != nullptr && Application()->MainForm() == this) {
        Application()->Terminate();
    } else if (action == caHide) {
        Hide();
    } else if (action == caMinimize) {
        SetWindowState(wsMinimized);
    } else {
        Release();
    }
}

bool TCustomForm::AskToClose(TCloseAction& action) {
    if (!CloseQuery()) {
        return false;
    }
    DoClose(action);
    return action != caNone;
}

void TCustomForm::Release() {
    PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CMRelease(TMessage&) {
    Free();
}

TModalResult TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || m_modal) {
        throw EInvalidOperation(kVisibleModal);
    }
    if (HWND capture = GetCapture()) {
        SendMessageW(capture, WM_CANCELMODE, 0, 0);
    }
    ReleaseCapture();
    HWND activeBefore = GetActiveWindow();
    // Every other window of the program is disabled while the form is up.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND window : disabled) {
        EnableWindow(window, FALSE);
    }
    m_modal = true;
    m_modalResult = mrNone;
    auto restore = [&] {
        for (HWND window : disabled) {
            if (IsWindow(window)) {
                EnableWindow(window, TRUE);
            }
        }
        m_modal = false;
        TControl::SetVisible(false);
        if (activeBefore != nullptr && IsWindow(activeBefore)) {
            SetActiveWindow(activeBefore);
        }
    };
    try {
        TControl::SetVisible(true);
        if (HandleAllocated()) {
            SetForegroundWindow(WindowHandle());
        }
        while (m_modalResult == mrNone) {
            Application()->HandleMessage();
            if (Application()->Terminated()) {
                m_modalResult = mrCancel;
            } else if (m_modalResult != mrNone) {
                TCloseAction action = caHide;
                if (!CloseQuery()) {
                    action = caNone;
                } else {
                    DoClose(action);
                }
                if (action == caNone) {
                    m_modalResult = mrNone;
                }
            }
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return m_modalResult;
}

void TCustomForm::WMClose(TMessage&) {
    Close();
}

// ---------------------------------------------------------------- focus

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == m_activeControl) {
        return;
    }
    if (control != nullptr && !HasState(csLoading) && (!control->CanFocus() || control->GetParentForm() != this)) {
        throw EInvalidOperation(kCannotFocus);
    }
    ReplaceReference<TWinControl>(this, m_activeControl, control);
    if (control != nullptr && !HasState(csLoading) && Showing() && m_active) {
        ::SetFocus(control->Handle());
    }
}

void TCustomForm::FocusControl(TWinControl* control) {
    if (control == nullptr || control->GetParentForm() != this) {
        throw EInvalidOperation(kCannotFocus);
    }
    if (!Showing()) {
        // Remembered, and focused when the form is next activated.
        ReplaceReference<TWinControl>(this, m_activeControl, control);
        return;
    }
    if (!control->CanFocus()) {
        throw EInvalidOperation(kCannotFocus);
    }
    ::SetFocus(control->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
    if (control == this) {
        return;
    }
    TWinControl* old = m_focusedControl;
    if (control == old) {
        return;
    }
    m_focusedControl = control;
    ReplaceReference<TWinControl>(this, m_activeControl, control);
    if (Screen() != nullptr) {
        Screen()->SetActiveControl(control, this);
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(control));
    // Leave the controls that do not also contain the new one, innermost first; enter the
    // new ones outermost first.
    TWinControl* common = old;
    while (common != nullptr && common != this && !common->ContainsControl(control)) {
        TWinControl* parent = common->Parent();
        common->Perform(CM_EXIT);
        common = parent;
    }
    std::vector<TWinControl*> entered;
    for (TWinControl* c = control; c != nullptr && c != this && c != common; c = c->Parent()) {
        entered.push_back(c);
    }
    for (auto it = entered.rbegin(); it != entered.rend(); ++it) {
        if (m_focusedControl != control) {
            break;  // an OnEnter handler moved the focus on
        }
        (*it)->Perform(CM_ENTER);
    }
}

void TCustomForm::DefocusControl(TWinControl* control) {
    if (control == nullptr) {
        return;
    }
    if (m_activeControl != nullptr && control->ContainsControl(m_activeControl)) {
        ReplaceReference<TWinControl>(this, m_activeControl, static_cast<TWinControl*>(nullptr));
    }
    if (m_focusedControl != nullptr && control->ContainsControl(m_focusedControl)) {
        m_focusedControl = nullptr;
        if (HandleAllocated()) {
            ::SetFocus(WindowHandle());
        }
    }
}

void TCustomForm::WMActivate(TMessage& m) {
    if (Activated(LoWord(m.WParam) != WA_INACTIVE, HiWord(m.WParam) != 0)) {
        m.Result = 0;
        return;
    }
    DefaultHandler(m);
}

void TCustomForm::WMMDIActivate(TMessage& m) {
    if (m_formStyle == fsMDIChild) {
        const auto activated = reinterpret_cast<HWND>(m.LParam);
        const auto deactivated = reinterpret_cast<HWND>(m.WParam);
        if (activated == WindowHandle() || deactivated == WindowHandle()) {
            Activated(activated == WindowHandle(), false);
        }
    }
    DefaultHandler(m);
}

bool TCustomForm::Activated(bool active, bool minimized) {
    m_active = active;
    if (!active) {
        if (OnDeactivate) {
            OnDeactivate(this);
        }
        return false;
    }
    if (Screen() != nullptr) {
        Screen()->SetActiveForm(this);
    }
    if (OnActivate) {
        OnActivate(this);
    }
    // An MDI form's focus belongs to its active child; the system's frame procedure gives it.
    if (m_clientHandle != nullptr && ActiveMDIChild() != nullptr) {
        return false;
    }
    TWinControl* target = m_activeControl;
    if (target == nullptr || !target->CanFocus() || !target->Showing()) {
        target = FindNextControl(nullptr, true, true, false);
    }
    if (target != nullptr && target->CanFocus() && !minimized) {
        ::SetFocus(target->Handle());
        return true;
    }
    return false;
}

void TCustomForm::CMActivate(TMessage&) {
    if (HandleAllocated()) {
        SetActiveWindow(WindowHandle());
    }
}

// ---------------------------------------------------------------- keyboard

void TCustomForm::KeyDownPreview(uint16_t& key, TShiftState shift) {
    if (OnKeyDown) {
        OnKeyDown(this, key, shift);
    }
}

void TCustomForm::KeyPressPreview(char16_t& key) {
    if (OnKeyPress) {
        OnKeyPress(this, key);
    }
}

bool TCustomForm::IsShortCut(TMessage& message) {
    bool handled = false;
    if (OnShortCut) {
        OnShortCut(message, handled);
    }
    return handled;
}

void TCustomForm::CMDialogKey(TMessage& m) {
    auto key = static_cast<uint16_t>(m.WParam);
    TShiftState shift = KeyboardShiftState();
    if (key == VK_TAB && (shift & (ssCtrl | ssAlt)) == 0) {
        SelectNext(m_activeControl, (shift & ssShift) == 0, true);
        m.Result = 1;
        return;
    }
    if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && m_activeControl != nullptr &&
        m_activeControl->Parent() != nullptr) {
        m_activeControl->Parent()->SelectNext(m_activeControl, key == VK_RIGHT || key == VK_DOWN, false);
        m.Result = 1;
        return;
    }
    Inherited<TCustomForm>(m);
}

// ---------------------------------------------------------------- system commands and size

void TCustomForm::WMSysCommand(TMessage& m) {
    uintptr_t command = m.WParam & 0xFFF0;
    TApplication* app = Application();
    if (app != nullptr && app->MainForm() == this) {
        if (command == SC_MINIMIZE) {
            app->Minimize();
            m.Result = 0;
            return;
        }
        if (command == SC_RESTORE && app->Minimized()) {
            app->Restore();
            m.Result = 0;
            return;
        }
    }
    DefaultHandler(m);
}

void TCustomForm::WMGetMinMaxInfo(TMessage& m) {
    DefaultHandler(m);
    auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
    TSizeConstraints* c = Constraints();
    if (c->MinWidth() > 0) {
        info->ptMinTrackSize.x = c->MinWidth();
    }
    if (c->MinHeight() > 0) {
        info->ptMinTrackSize.y = c->MinHeight();
    }
    if (c->MaxWidth() > 0) {
        info->ptMaxTrackSize.x = c->MaxWidth();
    }
    if (c->MaxHeight() > 0) {
        info->ptMaxTrackSize.y = c->MaxHeight();
    }
}

void TCustomForm::WMSize(TMessage& m) {
    DefaultHandler(m);
    UpdateScrollRange();
}

void TCustomForm::CMControlListChange(TMessage&) {
    UpdateScrollRange();
}

void TCustomForm::SetAutoScroll(bool value) {
    if (value != m_autoScroll) {
        m_autoScroll = value;
        UpdateScrollRange();
    }
}

void TCustomForm::UpdateScrollRange() {
    if (!HandleAllocated()) {
        return;
    }
    RECT client{};
    GetClientRect(WindowHandle(), &client);
    int32_t right = 0;
    int32_t bottom = 0;
    if (m_autoScroll) {
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            if (c->Visible()) {
                right = std::max(right, c->Left() + c->Width() + m_scroll.X);
                bottom = std::max(bottom, c->Top() + c->Height() + m_scroll.Y);
            }
        }
    }
    auto apply = [this](int bar, int32_t range, int32_t page, int32_t& pos) {
        if (range <= page) {
            if (pos != 0) {
                ScrollBy(bar, SB_TOP, 0);
            }
            ShowScrollBar(WindowHandle(), bar, FALSE);
            return;
        }
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = 0;
        info.nMax = range - 1;
        info.nPage = static_cast<UINT>(page);
        info.nPos = pos;
        ShowScrollBar(WindowHandle(), bar, TRUE);
        SetScrollInfo(WindowHandle(), bar, &info, TRUE);
    };
    apply(SB_HORZ, right, client.right, m_scroll.X);
    apply(SB_VERT, bottom, client.bottom, m_scroll.Y);
}

void TCustomForm::ScrollBy(int bar, int code, int thumb) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(WindowHandle(), bar, &info);
    int32_t& pos = bar == SB_HORZ ? m_scroll.X : m_scroll.Y;
    int32_t page = static_cast<int32_t>(info.nPage);
    int32_t limit = std::max(0, info.nMax - page + 1);
    int32_t target = pos;
    switch (code) {
        case SB_LINEUP:
            target -= 8;
            break;
        case SB_LINEDOWN:
            target += 8;
            break;
        case SB_PAGEUP:
            target -= page;
            break;
        case SB_PAGEDOWN:
            target += page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            target = thumb;
            break;
        case SB_TOP:
            target = 0;
            break;
        case SB_BOTTOM:
            target = limit;
            break;
        default:
            return;
    }
    target = std::clamp(target, 0, limit);
    int32_t delta = pos - target;
    if (delta == 0) {
        return;
    }
    pos = target;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (bar == SB_HORZ) {
            c->SetBounds(c->Left() + delta, c->Top(), c->Width(), c->Height());
        } else {
            c->SetBounds(c->Left(), c->Top() + delta, c->Width(), c->Height());
        }
    }
    SetScrollPos(WindowHandle(), bar, pos, TRUE);
    Invalidate();
}

void TCustomForm::WMHScroll(TMessage& m) {
    if (m.LParam != 0) {
        Inherited<TCustomForm>(m);
        return;
    }
    ScrollBy(SB_HORZ, LoWord(m.WParam), static_cast<int16_t>(HiWord(m.WParam)));
}

void TCustomForm::WMVScroll(TMessage& m) {
    if (m.LParam != 0) {
        Inherited<TCustomForm>(m);
        return;
    }
    ScrollBy(SB_VERT, LoWord(m.WParam), static_cast<int16_t>(HiWord(m.WParam)));
}

}  // namespace zaprelay::win32
