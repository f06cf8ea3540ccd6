// The form component on multiple-document forms. The system knows nothing of a child that the
// component maximizes (it only sized it to the MDI client), so the component itself keeps the
// parent's caption, the window list and the other children in step with it.
#include "framework/win32/forms.h"
#include "framework/win32/menus.h"
#include "skin/form/vx_custom_form.h"
#include "skin/objects/skin_messages.h"

#include <commctrl.h>

namespace zaprelay::skin {

using win32::TCustomForm;

namespace {

// Not a system message in the headers: the MDI client posts it to itself to recompute its
// scroll bars after a child moved.
constexpr UINT kMdiCalcChildScroll = 0x003F;
constexpr UINT_PTR kMdiClientSubclass = 0x5658;  // "VX"

}  // namespace

TVxCustomForm* TVxCustomForm::FormComponentOf(const TCustomForm* form) {
    if (form == nullptr) {
        return nullptr;
    }
    for (TComponent* component : form->ComponentList()) {
        if (auto* frame = dynamic_cast<TVxCustomForm*>(component)) {
            return frame;
        }
    }
    return nullptr;
}

bool TVxCustomForm::MdiChild() const {
    const TCustomForm* form = OwnerForm();
    return form != nullptr && form->FormStyle() == win32::fsMDIChild;
}

bool TVxCustomForm::MaximizedMdiChild() const {
    return MdiChild() && WindowState() == kwsMaximized;
}

TVxCustomForm* TVxCustomForm::MdiParentComponent() const {
    const TCustomForm* form = OwnerForm();
    return form != nullptr ? FormComponentOf(form->MDIParent()) : nullptr;
}

std::vector<TCustomForm*> TVxCustomForm::ShownMdiChildren() const {
    const TCustomForm* form = OwnerForm();
    std::vector<TCustomForm*> children = form != nullptr ? form->MDIChildren() : std::vector<TCustomForm*>();
    // A closing child is hidden before it goes.
    std::erase_if(children, [](const TCustomForm* child) { return !IsWindowVisible(child->WindowHandle()); });
    return children;
}

TVxCustomForm* TVxCustomForm::MaximizedChild() const {
    for (TCustomForm* child : ShownMdiChildren()) {
        TVxCustomForm* frame = FormComponentOf(child);
        if (frame != nullptr && frame->Active() && frame->MaximizedMdiChild()) {
            return frame;
        }
    }
    return nullptr;
}

std::u16string TVxCustomForm::CaptionSuffix() const {
    const TVxCustomForm* child = MaximizedChild();
    return child != nullptr ? u" - [" + child->Caption() + u"]" : std::u16string();
}

void TVxCustomForm::UpdateMdiParent() {
    if (TVxCustomForm* parent = MdiParentComponent()) {
        parent->RedrawFrame();
        parent->RebuildWindowMenu();
    }
}

void TVxCustomForm::MdiChildStateChanged(bool maximized) {
    if (!MdiChild()) {
        return;
    }
    RecalcFrame();
    if (!maximized && Window() != nullptr) {
        // The client recomputes its scroll range for the child's new place.
        const TRect area = GravitationArea();  // the client's own rectangle, for a child
        PostMessageW(GetParent(Window()), WM_SIZE, SIZE_RESTORED, MAKELPARAM(area.Width(), area.Height()));
    }
    UpdateMdiParent();
}

void TVxCustomForm::FitMaximizedChild() {
    TCustomForm* form = OwnerForm();
    TVxCustomForm* maximized = MaximizedChild();
    TCustomForm* active = form != nullptr && maximized != nullptr ? form->ActiveMDIChild() : nullptr;
    if (active != nullptr) {
        active->SetBoundsRect(maximized->GetMaximizedRect());  // the client's rectangle
    }
}

void TVxCustomForm::WMClose(TMessage& m) {
    // A child's Ctrl+F4 and system menu close it the component's way: the system knows nothing
    // of the states the component keeps, and would minimize it into an icon of its own.
    if (MdiChild()) {
        Close();
        // After closing: the messages closing sends pass through this component too.
        m.Result = 0;
        SetHandled(true);
    }
}

void TVxCustomForm::WMDestroy(TMessage&) {
    // Hidden by now, the child leaves the parent's caption and window list.
    if (MdiChild()) {
        UpdateMdiParent();
    }
}

void TVxCustomForm::WMMDIActivate(TMessage& m) {
    TVxCustomForm* parent = MdiParentComponent();
    if (parent != nullptr && parent->Active()) {
        parent->RebuildWindowMenu();
    }
    if (!MdiChild() || parent == nullptr || parent->MaximizedChild() == nullptr) {
        return;
    }
    parent->RedrawFrame();
    // A newly activated child follows a maximized one.
    const auto deactivated = reinterpret_cast<HWND>(m.WParam);
    if (deactivated != Window() && !MaximizedMdiChild()) {
        PostMessageW(Window(), VXM_MAXIMIZE, 0, 0);
    }
}

// ---------------------------------------------------------------- window list

void TVxCustomForm::SetWindowMenu(win32::TMenuItem* value) {
    if (value == m_windowMenu) {
        return;
    }
    DropWindowItems();
    if (m_windowMenu != nullptr) {
        m_windowMenu->RemoveFreeNotification(this);
    }
    m_windowMenu = value;
    if (value != nullptr) {
        value->FreeNotification(this);
    }
    RebuildWindowMenu();
}

void TVxCustomForm::DropWindowItems() {
    m_windowItems.clear();  // each item leaves its parent as it goes
}

void TVxCustomForm::RebuildWindowMenu() {
    DropWindowItems();
    TCustomForm* form = OwnerForm();
    if (m_windowMenu == nullptr || form == nullptr || form->ClientHandle() == nullptr) {
        return;
    }
    const std::vector<TCustomForm*> children = ShownMdiChildren();
    if (children.empty()) {
        return;
    }
    auto add = [this](const std::u16string& caption) {
        auto& item = m_windowItems.emplace_back(std::make_unique<win32::TMenuItem>(nullptr));
        item->SetCaption(caption);
        m_windowMenu->Add(item.get());
        return item.get();
    };
    add(u"-");
    const TCustomForm* active = form->ActiveMDIChild();
    HWND client = form->ClientHandle();
    for (TCustomForm* child : children) {
        const TVxCustomForm* frame = FormComponentOf(child);
        win32::TMenuItem* item = add(frame != nullptr ? frame->Caption() : child->Text());
        item->SetChecked(child == active);
        // Posted: activating rebuilds this list, and with it the item being clicked.
        HWND window = child->WindowHandle();
        item->OnClick = [client, window](TObject*) { PostMessageW(client, WM_MDIACTIVATE, WPARAM(window), 0); };
    }
}

// ---------------------------------------------------------------- the MDI client window

void TVxCustomForm::WindowHooked() {
    SubclassMdiClient();  // a window made again has made a new MDI client
}

void TVxCustomForm::SubclassMdiClient() {
    TCustomForm* form = OwnerForm();
    HWND client = form != nullptr ? form->ClientHandle() : nullptr;
    if (client == m_mdiClient) {
        return;
    }
    UnsubclassMdiClient();
    if (client == nullptr || !SetWindowSubclass(client, MdiClientProc, kMdiClientSubclass, DWORD_PTR(this))) {
        return;
    }
    m_mdiClient = client;
    // The form's background shows through, from the start on: no sunken edge, no scroll bars
    // (the client would compute them again in the message it no longer gets).
    ShowScrollBar(client, SB_BOTH, FALSE);
    SendMessageW(client, kMdiCalcChildScroll, 0, 0);
}

void TVxCustomForm::UnsubclassMdiClient() {
    if (m_mdiClient != nullptr && IsWindow(m_mdiClient)) {
        RemoveWindowSubclass(m_mdiClient, MdiClientProc, kMdiClientSubclass);
    }
    m_mdiClient = nullptr;
}

LRESULT CALLBACK
TVxCustomForm::MdiClientProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* frame = reinterpret_cast<TVxCustomForm*>(self);
    switch (msg) {
        case WM_PAINT:
            // Nothing of the client's own: the form's background is its picture.
            if (wParam == 0) {
                PAINTSTRUCT paint;
                BeginPaint(window, &paint);
                EndPaint(window, &paint);
            }
            return 0;
        case WM_ERASEBKGND:
            if (frame->MaximizedChild() == nullptr && frame->Window() != nullptr) {
                SendMessageW(frame->Window(), WM_ERASEBKGND, wParam, 0);
            }
            return 0;
        case kMdiCalcChildScroll:
            if ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) {
                SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
                SetWindowPos(window, nullptr, 0, 0, 0, 0,
                             SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            }
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, MdiClientProc, kMdiClientSubclass);
            frame->m_mdiClient = nullptr;
            return DefSubclassProc(window, msg, wParam, lParam);
        case WM_NCHITTEST: {
            const LRESULT code = DefSubclassProc(window, msg, wParam, lParam);
            return code == HTCLIENT ? HTTRANSPARENT : code;
        }
        default:
            return DefSubclassProc(window, msg, wParam, lParam);
    }
}

}  // namespace zaprelay::skin
