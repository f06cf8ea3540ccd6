#include "tests/win32/demo/mdi_forms.h"

#include "framework/rtl/class_registry.h"
#include "framework/win32/application.h"
#include "skin/store/vx_veneer.h"

namespace zaprelay::test {

const TClassInfo& TMdiParentForm::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TMdiParentForm, TForm>("TMdiParentForm");
    return info;
}

const TClassInfo& TMdiChildForm::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TMdiChildForm, TForm>("TMdiChildForm");
    return info;
}

void TMdiParentForm::RegisterClasses() {
    for (const TClassInfo* c : {&win32::TLabel::StaticClassInfo(), &win32::TPopupMenu::StaticClassInfo(),
                                &win32::TMenuItem::StaticClassInfo(), &skin::TVxSkinForm::StaticClassInfo()}) {
        zaprelay::RegisterClass(*c);
    }
}

TMdiParentForm::TMdiParentForm(TComponent* owner) : TForm(owner) {
    InitializeForm([this] {
        Bind(Frame, "Frame");
        Bind(WindowPopup, "WindowPopup");
        Bind(CascadeItem, "CascadeItem");
        Bind(NewItem, "NewItem");
    });
    Frame->SetWindowMenu(WindowPopup->Items());
    CascadeItem->OnClick = [this](TObject*) { Cascade(); };
    NewItem->OnClick = [this](TObject*) { NewChild(u"Document " + std::u16string(1, u'1' + m_made % 9)); };
}

void TMdiParentForm::SetVeneer(skin::TVxVeneer* veneer) {
    m_veneer = veneer;
    Frame->SetVeneer(veneer);
}

TMdiChildForm* TMdiParentForm::NewChild(const std::u16string& caption) {
    auto* child = new TMdiChildForm(win32::Application());
    ++m_made;
    child->SetCaption(caption);
    child->Note->SetCaption(caption + u": a skinned MDI child.");
    child->Frame->SetVeneer(m_veneer);
    child->Show();
    return child;
}

void TMdiParentForm::Cascade() {
    // The system's cascade only moves windows: a child the skin keeps maximized comes back first.
    for (win32::TCustomForm* child : MDIChildren()) {
        if (auto* frame = skin::TVxCustomForm::FormComponentOf(child);
            frame != nullptr && frame->WindowState() != skin::kwsNormal) {
            frame->Restore();
        }
    }
    win32::TForm::Cascade();
}

TMdiChildForm::TMdiChildForm(TComponent* owner) : TForm(owner) {
    InitializeForm([this] {
        Bind(Frame, "Frame");
        Bind(Note, "Note");
    });
}

}  // namespace zaprelay::test
