#include "skin/form/vx_custom_form.h"

#include "framework/graphics/vx_bitmap.h"
#include "framework/rtl/scoped_value.h"
#include "framework/win32/application.h"
#include "framework/win32/forms.h"
#include "framework/win32/menus.h"
#include "framework/win32/screen.h"
#include "skin/form/frame_geometry.h"
#include "skin/form/frame_metrics.h"
#include "skin/form/window_theme.h"
#include "skin/objects/skin_messages.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace zaprelay::skin {

using win32::Application;
using win32::TCustomForm;
using win32::TPopupMenu;

const TClassInfo& TVxCustomForm::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TVxCustomForm, TVxHook>("TVxCustomForm");
        using T = TVxCustomForm;
        TClassBuilder<T>(i)
            .Boolean("Active", &T::Active, &T::SetActive, true)
            .Object("Animation", [](T& f) -> TPersistent* { return f.Animation(); })
            .Object("Blending", [](T& f) -> TPersistent* { return f.Blending(); })
            .Set("BorderIcons", kVxBorderIconNames, &T::BorderIcons, &T::SetBorderIcons)
            .Enum("BorderStyle", kVxBorderStyleNames, &T::BorderStyle, &T::SetBorderStyle)
            .WideString("Caption", &T::Caption, &T::SetCaption)
            .Object("Dragging", [](T& f) -> TPersistent* { return f.Dragging(); })
            .Object("Gravitation", [](T& f) -> TPersistent* { return f.Gravitation(); })
            .Object("Constraints", [](T& f) -> TPersistent* { return f.Constraints(); })
            .Component(
                "WindowMenu", [](const T& f) -> TComponent* { return f.WindowMenu(); },
                [](T& f, TComponent* c) { f.SetWindowMenu(dynamic_cast<win32::TMenuItem*>(c)); })
            .Object("SystemMenuOptions", [](T& f) -> TPersistent* { return f.SystemMenuOptions(); })
            .Component(
                "SystemMenuLink", [](const T& f) -> TComponent* { return f.SystemMenuLink(); },
                [](T& f, TComponent* c) { f.SetSystemMenuLink(dynamic_cast<TPopupMenu*>(c)); })
            .Object("TrayMenuOptions", [](T& f) -> TPersistent* { return f.TrayMenuOptions(); })
            .Component(
                "TrayMenuLink", [](const T& f) -> TComponent* { return f.TrayMenuLink(); },
                [](T& f, TComponent* c) { f.SetTrayMenuLink(dynamic_cast<TPopupMenu*>(c)); })
            .Boolean("MinimizeApplication", &T::MinimizeApplication, &T::SetMinimizeApplication, true)
            .Enum("Performance", kVxFormPerformanceNames, &T::Performance, &T::SetPerformance)
            .Object("Shadow", [](T& f) -> TPersistent* { return f.Shadow(); })
            .Boolean("StayOnTop", &T::StayOnTop, &T::SetStayOnTop)
            .Boolean("StretchBackground", &T::StretchBackground, &T::SetStretchBackground)
            .Enum("WindowState", kVxWindowStateNames, &T::WindowState, &T::SetWindowState)
            .Event("OnClose", &T::OnClose)
            .Event("OnCreate", &T::OnCreate)
            .Event("OnMaximize", &T::OnMaximize)
            .Event("OnMinimize", &T::OnMinimize)
            .Event("OnMinToTray", &T::OnMinToTray)
            .Event("OnPaint", &T::OnPaint)
            .Event("OnResize", &T::OnResize)
            .Event("OnRollup", &T::OnRollup);
        return i;
    }();
    return info;
}

TVxCustomForm::TVxCustomForm(TComponent* owner)
    : TVxHook(owner),
      m_notifyWindow([this](TMessage& m) { NotifyWindowMessage(m); }, true),
      m_trayIcon(m_notifyWindow.Handle(), VXM_TRAYNOTIFY) {
    // The frame sizes are the system's from the first form on (then on theme changes).
    static const bool metricsRead = [] {
        RefreshFrameMetrics();
        return true;
    }();
    (void)metricsRead;
    m_blending.OnChange = [this](TObject* sender) { OptionChanged(sender); };
    m_shadow.OnChange = [this](TObject* sender) { OptionChanged(sender); };
    m_constraints.OnChange = [this] { ConstraintsChanged(); };
    if (auto* form = dynamic_cast<TCustomForm*>(owner)) {
        m_caption = form->Text();
        // The system's frame goes: the window keeps a sizing frame and a caption only so that
        // it stays a normal top-level window, and the component draws over both.
        form->SetBorderStyle(win32::bsSizeable);
        form->SetBorderIcons(1u << win32::biMinimize);
        form->SetAutoScroll(false);
        if (form->FormStyle() == win32::fsMDIChild) {
            m_minimizeApplication = false;
            m_gravitation.SetSize(9);
            m_borderIcons = BorderIconSet({kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiRollup});
        }
        m_constraints.CopyFrom(*form->Constraints());
    }
    UpdateTrayIcon();
    m_paintingEnabled = true;
}

TVxCustomForm::~TVxCustomForm() {
    UnsubclassMdiClient();
    DropWindowItems();
    SetTarget(nullptr);
    RestoreApplicationHandlers();
    m_trayIcon.Remove();
}

win32::TCustomForm* TVxCustomForm::OwnerForm() const {
    return dynamic_cast<TCustomForm*>(Target());
}

HWND TVxCustomForm::Window() const {
    return Target() != nullptr ? Target()->WindowHandle() : nullptr;
}

// ---------------------------------------------------------------- settings

void TVxCustomForm::SetBorderIcons(TVxBorderIcons value) {
    value &= BorderIconSet({kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray});
    if (value != m_borderIcons) {
        m_borderIcons = value;
        if (!Loading()) {
            RecalcFrame();
        }
    }
}

void TVxCustomForm::SetBorderStyle(TVxBorderStyle value) {
    if (value != m_borderStyle) {
        m_borderStyle = value;
        if (!Loading()) {
            RecalcFrame();
        }
    }
}

void TVxCustomForm::SetCaption(const std::u16string& value) {
    if (value == m_caption) {
        return;
    }
    m_caption = value;
    // The window's own text follows only once attached: while the layout is read the two differ.
    if (ControlHook() != nullptr && Target() != nullptr && Target()->Text() != value) {
        Target()->SetText(value);
    } else {
        RedrawFrame();
    }
}

void TVxCustomForm::SetSystemMenuLink(TPopupMenu* value) {
    ReplaceReference(this, m_systemMenuLink, value);
}

void TVxCustomForm::SetTrayMenuLink(TPopupMenu* value) {
    ReplaceReference(this, m_trayMenuLink, value);
}

void TVxCustomForm::SetStayOnTop(bool value) {
    if (value == m_stayOnTop) {
        return;
    }
    m_stayOnTop = value;
    if (!Loading() && OwnerForm() != nullptr && Window() != nullptr) {
        SetWindowPos(Window(), value ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
}

TVxWindowState TVxCustomForm::WindowState() const {
    return m_states.PendingState().value_or(m_states.State());
}

void TVxCustomForm::SetWindowState(TVxWindowState value) {
    if (Loading()) {
        m_states.SetPendingState(value == kwsNormal ? std::nullopt : std::optional(value));
        return;
    }
    m_states.SetState(value);
}

void TVxCustomForm::OptionChanged(TObject*) {
    if (!Loading()) {
        RecalcFrame();
    }
}

void TVxCustomForm::ConstraintsChanged() {
    if (Loading()) {
        return;
    }
    // A window below the new minimum grows to it at once.
    if (Target() != nullptr) {
        const int32_t width = std::max(Target()->Width(), m_constraints.MinWidth());
        const int32_t height = std::max(Target()->Height(), m_constraints.MinHeight());
        if (width != Target()->Width() || height != Target()->Height()) {
            Target()->SetBounds(Target()->Left(), Target()->Top(), width, height);
        }
    }
    RecalcFrame();
}

void TVxCustomForm::Notification(TComponent* component, TOperation operation) {
    TVxHook::Notification(component, operation);
    if (operation != opRemove) {
        return;
    }
    if (component == m_systemMenuLink) {
        m_systemMenuLink = nullptr;
    }
    if (component == m_trayMenuLink) {
        m_trayMenuLink = nullptr;
    }
    if (component == m_windowMenu) {
        // Its items went with it: they only leave their parent item as they go.
        m_windowMenu = nullptr;
        DropWindowItems();
    }
}

// ---------------------------------------------------------------- lifecycle

void TVxCustomForm::ReadOwnerSize() {
    if (Target() == nullptr) {
        return;
    }
    TPoint size{Target()->Width(), Target()->Height()};
    if (HWND window = Window()) {
        RECT r;
        GetWindowRect(window, &r);
        size = {r.right - r.left, r.bottom - r.top};
    }
    m_fullSize = size;
    m_formSize = size;
    if (m_shadow.Enabled() && m_states.State() != kwsMaximized) {
        m_formSize = {size.X - m_shadow.Size(), size.Y - m_shadow.Size()};
    }
}

void TVxCustomForm::AfterRead() {
    TVxHook::AfterRead();
    if (auto* owner = dynamic_cast<win32::TWinControl*>(Owner())) {
        SetTarget(owner);
    }
    ReadOwnerSize();
    m_lastText = Target() != nullptr ? Target()->Text() : std::u16string();
    SubclassMdiClient();
    UpdateTrayIcon();
    std::optional<TVxWindowState> pending = m_states.PendingState();
    if (pending && Window() != nullptr) {
        if (*pending != kwsRollup) {
            m_states.SetNormalBounds(OwnerBounds());
            // Out of sight until the state is applied: a form that starts in the tray never
            // flashes on the screen.
            const TRect& bounds = m_states.NormalBounds();
            SetWindowPos(Window(), nullptr, 0, GetSystemMetrics(SM_CYSCREEN), bounds.Width(), bounds.Height(),
                         SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        PostMessageW(Window(), VXM_INITSTATE, *pending, 0);
    }
    if (!pending && Target() != nullptr) {
        // The frame settles without the owner hearing of a resize.
        TScopedValue<TNotifyEvent> quiet(Target()->OnResize, TNotifyEvent());
        RecalcFrame();
    }
    if (OnCreate) {
        OnCreate(this);
    }
    if (m_stayOnTop && Window() != nullptr) {
        SetWindowPos(Window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
}

void TVxCustomForm::RecalcFrame() {
    TCustomForm* form = OwnerForm();
    if (form == nullptr || ControlHook() == nullptr || Window() == nullptr) {
        return;
    }
    TScopedValue<bool> running(m_recalcRunning, true);
    RECT client;
    GetClientRect(Window(), &client);
    const int32_t width = form->Width();
    const int32_t height = form->Height();
    // Resizing by one pixel and back makes the system ask for the frame again.
    form->SetBounds(form->Left(), form->Top(), width, height + 1);
    form->SetBounds(form->Left(), form->Top(), width, height);
    RECT now;
    GetClientRect(Window(), &now);
    const int32_t dx = client.right - now.right;
    const int32_t dy = client.bottom - now.bottom;
    if (dx != 0 || dy != 0) {
        form->SetBounds(form->Left(), form->Top(), width + dx, height + dy);
    }
    const RECT all{0, 0, m_formSize.X, m_formSize.Y};
    InvalidateRect(Window(), &all, TRUE);
}

// ---------------------------------------------------------------- the states' window side

bool TVxCustomForm::Allow(TFormAction action) {
    const TVxFormActionEvent* event = nullptr;
    switch (action) {
        case TFormAction::Close:
            event = &OnClose;
            break;
        case TFormAction::Minimize:
            event = &OnMinimize;
            break;
        case TFormAction::Maximize:
            event = &OnMaximize;
            break;
        case TFormAction::Rollup:
            event = &OnRollup;
            break;
        case TFormAction::MinToTray:
            event = &OnMinToTray;
            break;
    }
    bool callDefault = true;
    if (event != nullptr && *event) {
        (*event)(this, callDefault);
    }
    return callDefault;
}

bool TVxCustomForm::OwnerModal() const {
    TCustomForm* form = OwnerForm();
    return form != nullptr && form->Modal();
}

bool TVxCustomForm::HasOwnerWindow() const {
    return Window() != nullptr && GetWindowLongPtrW(Window(), GWLP_HWNDPARENT) != 0;
}

TRect TVxCustomForm::OwnerBounds() const {
    return Target() != nullptr ? Target()->BoundsRect() : TRect();
}

void TVxCustomForm::SetFormBounds(const TRect& bounds) {
    if (Target() == nullptr) {
        return;
    }
    Target()->SetBoundsRect(bounds);
    if (HWND window = Window()) {
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

TRect TVxCustomForm::MaximizedRect() const {
    return const_cast<TVxCustomForm*>(this)->GetMaximizedRect();
}

TRect TVxCustomForm::MinimizedRect() const {
    return const_cast<TVxCustomForm*>(this)->GetMinimizedRect();
}

TRect TVxCustomForm::RollupRect() const {
    return const_cast<TVxCustomForm*>(this)->GetRollupRect();
}

void TVxCustomForm::RepaintOwner() {
    if (Target() != nullptr) {
        Target()->Repaint();
    }
}

void TVxCustomForm::PostSystemMinimize() {
    if (HWND window = Window()) {
        PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
}

void TVxCustomForm::MinimizeApp() {
    if (Application() != nullptr) {
        Application()->Minimize();
    }
}

std::u16string TVxCustomForm::ApplicationTitle() const {
    return Application() != nullptr ? Application()->Title() : std::u16string();
}

std::u16string TVxCustomForm::OwnerCaption() const {
    return Target() != nullptr ? Target()->Text() : std::u16string();
}

namespace {

// The application's window in the task bar: its main form's (the framework's own application
// window never shows).
HWND ApplicationMainWindow() {
    TCustomForm* main = Application() != nullptr ? Application()->MainForm() : nullptr;
    return main != nullptr && main->HandleAllocated() ? main->WindowHandle() : nullptr;
}

}  // namespace

void TVxCustomForm::HideForTray(bool application) {
    if (application) {
        MinimizeApp();
        if (HWND main = ApplicationMainWindow()) {
            ShowWindow(main, SW_HIDE);
        }
    }
    if (HWND window = Window()) {
        ShowWindow(window, SW_HIDE);
    }
}

void TVxCustomForm::ShowFromTray(bool application) {
    HWND window = application ? ApplicationMainWindow() : Window();
    if (application && Application() != nullptr) {
        Application()->Restore();
    }
    if (window == nullptr) {
        window = Window();
    }
    if (window != nullptr) {
        ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
    }
    if (Window() != nullptr && Window() != window) {
        ShowWindow(Window(), SW_RESTORE);
    }
}

void TVxCustomForm::AddTrayIcon(const std::u16string& tip) {
    m_trayIcon.SetTip(tip);
    if (!m_trayIcon.Add()) {
        // The shell's notification area is busy or not there yet (the program started with the
        // session): without the icon the window could not be brought back, so ask again.
        SetTimer(m_notifyWindow.Handle(), kTrayRetryTimer, kTrayRetryMs, nullptr);
    }
}

void TVxCustomForm::RemoveTrayIcon() {
    KillTimer(m_notifyWindow.Handle(), kTrayRetryTimer);
    m_trayIcon.Remove();
}

HICON TVxCustomForm::FormIcon() const {
    // Before attaching (while the layout is read) the owner is the form to be.
    auto* form = OwnerForm() != nullptr ? OwnerForm() : dynamic_cast<TCustomForm*>(Owner());
    if (form != nullptr) {
        if (HICON icon = form->Icon()->SmallHandle()) {
            return icon;
        }
    }
    if (Application() != nullptr) {
        if (HICON icon = Application()->Icon()->SmallHandle()) {
            return icon;
        }
    }
    return LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
}

void TVxCustomForm::UpdateTrayIcon() {
    m_trayIcon.SetIcon(FormIcon());
    m_trayIcon.Modify();
}

// ---------------------------------------------------------------- closing and help

void TVxCustomForm::Close() {
    MarkHotRegionStale();
    if (!Allow(TFormAction::Close)) {
        return;
    }
    TCustomForm* form = OwnerForm();
    if (form == nullptr) {
        return;
    }
    // The form's own closing asks OnCloseQuery and OnClose, cancels a modal loop and ends the
    // program for the main form.
    if (!MdiChild() || form->Modal()) {
        form->Close();
        return;
    }
    // A child minimizes the component's way, and only with its minimize button.
    win32::TCloseAction action = HasBorderIcon(m_borderIcons, kbiMinimize) ? win32::caMinimize : win32::caNone;
    if (!form->AskToClose(action)) {
        return;
    }
    if (action == win32::caMinimize) {
        Minimize();
    } else if (action == win32::caFree) {
        form->Release();
    } else {
        form->Hide();
    }
}

void TVxCustomForm::ContextHelp() {
    if (HWND window = Window()) {
        SendMessageW(window, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
    }
}

// ---------------------------------------------------------------- application minimize

namespace {

// The forms that act on the application's minimize and restore, in order of installing, and
// the application's handlers from before the first. One handler of the application walks the
// list, so the forms may go in any order.
struct TApplicationChain {
    std::vector<TVxCustomForm*> Forms;
    TNotifyEvent PreviousOnMinimize;
    TNotifyEvent PreviousOnRestore;

    bool Holds(const TVxCustomForm* form) const { return std::find(Forms.begin(), Forms.end(), form) != Forms.end(); }
};

TApplicationChain& ApplicationChain() {
    static TApplicationChain chain;
    return chain;
}

}  // namespace

void TVxCustomForm::InstallApplicationHandlers() {
    TApplicationChain& chain = ApplicationChain();
    if (Application() == nullptr || chain.Holds(this)) {
        return;
    }
    if (chain.Forms.empty()) {
        chain.PreviousOnMinimize = Application()->OnMinimize;
        chain.PreviousOnRestore = Application()->OnRestore;
        Application()->OnMinimize = [](TObject* sender) { ApplicationEvent(sender, true); };
        Application()->OnRestore = [](TObject* sender) { ApplicationEvent(sender, false); };
    }
    chain.Forms.push_back(this);
}

void TVxCustomForm::RestoreApplicationHandlers() {
    TApplicationChain& chain = ApplicationChain();
    if (!chain.Holds(this)) {
        return;
    }
    chain.Forms.erase(std::find(chain.Forms.begin(), chain.Forms.end(), this));
    if (chain.Forms.empty() && Application() != nullptr) {
        Application()->OnMinimize = std::exchange(chain.PreviousOnMinimize, TNotifyEvent());
        Application()->OnRestore = std::exchange(chain.PreviousOnRestore, TNotifyEvent());
    }
}

void TVxCustomForm::ApplicationEvent(TObject* sender, bool minimized) {
    TApplicationChain& chain = ApplicationChain();
    // Copies: a form's handler may free forms, the last of them giving the handlers back.
    const TNotifyEvent previous = minimized ? chain.PreviousOnMinimize : chain.PreviousOnRestore;
    const std::vector<TVxCustomForm*> forms = chain.Forms;
    for (auto form = forms.rbegin(); form != forms.rend(); ++form) {
        if (!chain.Holds(*form)) {
            continue;
        }
        if (minimized) {
            (*form)->ApplicationMinimized();
        } else {
            (*form)->ApplicationRestored();
        }
    }
    if (previous) {
        previous(sender);
    }
}

void TVxCustomForm::ApplicationMinimized() {
    // The state operations minimize the application themselves: no second round.
    if (!m_inApplicationHandler && m_minimizeApplication && m_states.State() != kwsMinimized &&
        m_states.State() != kwsTray) {
        TScopedValue<bool> inside(m_inApplicationHandler, true);
        Minimize();
    }
}

void TVxCustomForm::ApplicationRestored() {
    if (!m_inApplicationHandler && m_minimizeApplication && m_states.State() == kwsMinimized) {
        TScopedValue<bool> inside(m_inApplicationHandler, true);
        Restore();
        RedrawFrame();
    }
}

// ---------------------------------------------------------------- geometry

TCaptionLayout TVxCustomForm::DefaultLayout() {
    TCaptionLayout layout;
    layout.ClientArea = GetClientArea();
    layout.Metrics = FrameMetrics();
    layout.Style = m_borderStyle;
    layout.Themed = VisualStylesActive() && ThemeLibraryComplete();
    layout.State = m_states.State();
    layout.Icons = m_borderIcons;
    return layout;
}

TRect TVxCustomForm::GetButtonRect(TVxBorderIcon button) {
    return DefaultButtonRect(DefaultLayout(), button);
}

TRect TVxCustomForm::GetClientArea() {
    if (MaximizedMdiChild()) {
        return {0, 0, m_formSize.X, m_formSize.Y};
    }
    return DefaultClientArea(m_borderStyle, m_formSize, FrameMetrics());
}

TRect TVxCustomForm::GetRollupRect() {
    const TRect bounds = OwnerBounds();
    return skin::RollupRect({bounds.Left, bounds.Top}, m_formSize, GetClientArea());
}

namespace {

// The monitor's work area, or all of it for a window that stays on top of the task bar.
TRect MonitorArea(HWND window, bool wholeMonitor) {
    return wholeMonitor ? win32::TScreen::MonitorRect(window) : win32::TScreen::MonitorWorkArea(window);
}

}  // namespace

TRect TVxCustomForm::GravitationArea() const {
    HWND window = Window();
    if (window != nullptr && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0) {
        RECT client;
        GetClientRect(GetParent(window), &client);
        return {client.left, client.top, client.right, client.bottom};
    }
    return MonitorArea(window, m_stayOnTop);
}

TRect TVxCustomForm::GetMinimizedRect() {
    const TRect client = GetClientArea();
    return skin::MinimizedRect(GetSystemMetrics(SM_CXMINIMIZED), m_formSize.Y - client.Height(), GravitationArea());
}

TRect TVxCustomForm::GetMaximizedRect() {
    if (MdiChild()) {
        // The parent's MDI client (a child's gravitation area), in the coordinates the child is
        // placed in; the screen without one.
        return OwnerForm()->MDIParent() != nullptr
                   ? GravitationArea()
                   : TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return skin::MaximizedRect(win32::TScreen::MonitorWorkArea(Window()), win32::TScreen::MonitorRect(Window()),
                               m_stayOnTop, GetClientArea());
}

TPoint TVxCustomForm::GetMaxSize() {
    return MaxFormSize(GetMaximizedRect(), m_constraints.MaxWidth(), m_constraints.MaxHeight());
}

TPoint TVxCustomForm::GetMinSize() {
    return MinFormSize(m_constraints.MinWidth(), m_constraints.MinHeight());
}

TPoint TVxCustomForm::ScreenToWindowPoint(TPoint screen) const {
    HWND window = Window();
    if (window == nullptr) {
        return screen;
    }
    RECT r;
    GetWindowRect(window, &r);
    return {screen.X - r.left, screen.Y - r.top};
}

}  // namespace zaprelay::skin
