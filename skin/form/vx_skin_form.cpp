// The skin-bound form's life: its published settings, binding to the engine's skin, the skin
// library's messages and the hover timer.
#include "skin/form/vx_skin_form.h"

#include "framework/rtl/scoped_value.h"
#include "framework/win32/application.h"
#include "framework/win32/forms.h"
#include "framework/win32/timer.h"
#include "skin/form/window_skin_host.h"
#include "skin/objects/skin_messages.h"
#include "skin/objects/skin_object.h"
#include "skin/objects/skin_object_io.h"
#include "skin/store/vx_veneer.h"

namespace zaprelay::skin {

const TClassInfo& TVxSkinForm::StaticClassInfo() {
    static const TClassInfo info = [] {
        using T = TVxSkinForm;
        TClassInfo i = NewClassInfo<T, TVxCustomForm>("TVxSkinForm");
        TClassBuilder<T> b(i);
        PublishSkinBinding(b);
        b.Event("OnCustomAction", &T::OnCustomAction).Creatable();
        return i;
    }();
    return info;
}

const TMessageTable& TVxSkinForm::StaticMessageTable() {
    using T = TVxSkinForm;
    static const TMessageTable table = TMessageTable::For<T, TVxCustomForm>()
                                           .On<&T::VXMSkinChanged>(VXM_SKINCHANGED)
                                           .On<&T::VXMSkinChanging>(VXM_SKINCHANGING)
                                           .On<&T::VXMSkinObjectChanged>(VXM_SKINOBJECTCHANGED)
                                           .On<&T::VXMGetSkinForm>(VXM_GETSKINFORM);
    return table;
}

TVxSkinForm::TVxSkinForm(TComponent* owner) : TVxCustomForm(owner), m_hoverTimer(new win32::TTimer(nullptr)) {
    m_hoverTimer->SetEnabled(false);
    m_hoverTimer->SetInterval(kHoverInterval);
    m_hoverTimer->SetOnTimer([this](TObject*) { HoverTick(); });
}

TVxSkinForm::~TVxSkinForm() {
    // The copy's objects call back into the window while they go: unhook first.
    m_hoverTimer.reset();
    SetTarget(nullptr);
    DropFormObject();
    if (m_veneer != nullptr) {
        m_veneer->RemoveFreeNotification(this);
    }
}

// ---------------------------------------------------------------- state

bool TVxSkinForm::Skinned() const {
    return !HasState(csLoading) && !HasState(csDestroying) && m_formObject && SkinLoaded(m_veneer);
}

TVxWindowSkinHost* TVxSkinForm::Host() {
    if (!m_host) {
        if (auto* control = dynamic_cast<win32::TControl*>(Owner())) {
            m_host = std::make_unique<TVxWindowSkinHost>(*control);
        }
    }
    return m_host.get();
}

void TVxSkinForm::CustomAction(TVxSkinObject& button) {
    if (OnCustomAction) {
        OnCustomAction(this, &button);
    }
}

// ---------------------------------------------------------------- binding

void TVxSkinForm::SetVeneer(TVxVeneer* value) {
    ReplaceReference(this, m_veneer, value);
    // A layout's reference arrives while reading: the binding after reading is the one used.
    if (!Loading()) {
        Bind();
    }
}

void TVxSkinForm::DropFormObject() {
    m_hotObject = nullptr;
    m_pressedObject = nullptr;
    m_clientObject = nullptr;
    m_titleObject = nullptr;
    m_formObject.reset();
}

void TVxSkinForm::Bind() {
    auto* form = dynamic_cast<win32::TCustomForm*>(Owner());
    if (SkinLoaded(m_veneer)) {
        TVxSkinSource* source = &m_veneer->SkinSource();
        DropFormObject();
        TVxSkinObject* chosen = source->GetObjectByName(m_skinObject);
        // "Form" in that very spelling means the skin's form object, whatever it is named.
        if (m_skinObject == "Form" || chosen == nullptr) {
            if (TVxSkinObject* formObject = source->GetFormObject()) {
                chosen = formObject;
            }
        }
        if (chosen != nullptr) {
            m_formObject.reset(CloneSkinObject(*chosen, nullptr));
        }
        if (m_formObject) {
            m_formObject->SetControl(Host());
            m_titleObject = m_formObject->FindObjectByKind(skTitle);
            m_clientObject = m_formObject->FindObjectByKind(skClient);
            if (form != nullptr) {
                form->Font()->CopyFrom(m_formObject->CaptionFont());
                form->SetColor(m_formObject->Color());
            }
            // The client area comes from the copy's layout at the window's size.
            if (m_clientObject != nullptr && FormSize().X > 0 && FormSize().Y > 0) {
                m_formObject->SetBounds(0, 0, FormSize().X, FormSize().Y);
            }
        }
    } else {
        DropFormObject();
        if (form != nullptr) {
            form->SetColor(clBtnFace);
        }
    }
    // A skin without a client object is a picture of fixed size.
    if (Skinned() && m_clientObject == nullptr && Target() != nullptr) {
        Target()->SetBounds(Target()->Left(), Target()->Top(), m_formObject->Width(), m_formObject->Height());
    }
    UpdateHoverTimer();
    RecalcFrame();
}

void TVxSkinForm::AfterRead() {
    if (BorderStyle() == kbsToolWindow) {
        m_skinObject = "ToolWindow";
    }
    TVxCustomForm::AfterRead();
    // Bound again now that the window is hooked: the frame, the shape and a fixed size follow
    // the skin from the first paint.
    Bind();
    NotifyControls();
}

void TVxSkinForm::NotifyControls() {
    TComponent* owner = Owner();
    if (owner == nullptr) {
        return;
    }
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        if (auto* control = dynamic_cast<win32::TControl*>(owner->Components(i))) {
            SendSkinMessage(*control, VXM_SKINOBJECTCHANGED, 0, 0);
        }
    }
}

void TVxSkinForm::Notification(TComponent* component, TOperation operation) {
    TVxCustomForm::Notification(component, operation);
    if (operation != opRemove || component == nullptr || component != m_veneer) {
        return;
    }
    // The copy draws from the engine's bitmaps, which go with it.
    m_veneer = nullptr;
    if (!HasState(csDestroying)) {
        Bind();
    }
}

// ---------------------------------------------------------------- messages

void TVxSkinForm::VXMSkinChanged(TMessage& m) {
    if (m_veneer == nullptr || m.LParam != reinterpret_cast<intptr_t>(m_veneer)) {
        return;
    }
    Bind();
    if (WindowState() == kwsMaximized && Target() != nullptr) {
        Target()->SetBoundsRect(GetMaximizedRect());
    }
}

void TVxSkinForm::VXMSkinChanging(TMessage& m) {
    if (m_veneer == nullptr || m.LParam != reinterpret_cast<intptr_t>(m_veneer)) {
        return;
    }
    m_hoverTimer->SetEnabled(false);
    // Repaints already asked for still see the old copy; those asked for after see none.
    if (win32::TApplication* application = win32::Application()) {
        application->ProcessMessages();
    }
    DropFormObject();
    if (win32::TApplication* application = win32::Application()) {
        application->ProcessMessages();
    }
}

void TVxSkinForm::VXMSkinObjectChanged(TMessage& m) {
    auto* object = reinterpret_cast<TVxSkinObject*>(m.LParam);
    if (!Skinned() || (object != nullptr && object->Kind() == skClient)) {
        return;
    }
    if (MaximizedMdiChild()) {
        // Only the client area of a maximized child is drawn by its skin.
        if (object == nullptr || m_clientObject == nullptr || m_clientObject->FindObject(object->Name()) == nullptr) {
            return;
        }
    }
    RedrawFrame();
}

// The answer is the actions interface, which is what a skin object's host turns it back into.
void TVxSkinForm::VXMGetSkinForm(TMessage& m) {
    m.Result = reinterpret_cast<intptr_t>(static_cast<TVxSkinFormActions*>(this));
    SetHandled(true);
}

// ---------------------------------------------------------------- hover

void TVxSkinForm::UpdateHoverTimer() {
    if (m_hoverTimer) {
        m_hoverTimer->SetEnabled(m_formObject != nullptr && !HasState(csLoading) && !HasState(csDestroying));
    }
}

void TVxSkinForm::HoverTick() {
    if (!FrameActive() || !Skinned() || Window() == nullptr) {
        return;
    }
    POINT cursor;
    if (!GetCursorPos(&cursor)) {
        return;
    }
    const TPoint point = ScreenToWindowPoint({cursor.x, cursor.y});
    TVxSkinObject* object = m_formObject->ObjectAtPoint(point);
    if (object == nullptr) {
        if (TVxSkinObject* hot = std::exchange(m_hotObject, nullptr)) {
            hot->MouseLeave();
        }
        return;
    }
    if (object == m_hotObject || !object->Visible) {
        return;
    }
    if (TVxSkinObject* hot = std::exchange(m_hotObject, object)) {
        hot->MouseLeave();
    }
    // A leave handler may have rebound the skin.
    if (m_hotObject == object && (m_pressedObject == nullptr || m_pressedObject == object)) {
        object->MouseEnter();
    }
}

}  // namespace zaprelay::skin
