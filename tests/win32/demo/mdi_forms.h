// A multiple-document parent and its children, read from their layouts and skinned by their
// form components: the MDI demo program and the MDI tests share them.
#pragma once

#include "framework/win32/forms.h"
#include "framework/win32/label.h"
#include "framework/win32/menus.h"
#include "skin/form/vx_skin_form.h"

#include <string>

namespace zaprelay::test {

class TMdiChildForm;

class TMdiParentForm : public win32::TForm {
public:
    explicit TMdiParentForm(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable() { return TForm::StaticMessageTable(); }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    // Registers the classes the two layouts name; call once before making a form.
    static void RegisterClasses();

    // The skin of the parent and of every child made from here on; none for the default look.
    void SetVeneer(skin::TVxVeneer* veneer);
    // A new child with the caption, shown and active.
    TMdiChildForm* NewChild(const std::u16string& caption);

    skin::TVxSkinForm* Frame = nullptr;
    win32::TPopupMenu* WindowPopup = nullptr;  // the client area's context menu
    win32::TMenuItem* CascadeItem = nullptr;
    win32::TMenuItem* NewItem = nullptr;

private:
    void Cascade();

    skin::TVxVeneer* m_veneer = nullptr;
    int m_made = 0;
};

class TMdiChildForm : public win32::TForm {
public:
    explicit TMdiChildForm(TComponent* owner);

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable() { return TForm::StaticMessageTable(); }
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    skin::TVxSkinForm* Frame = nullptr;
    win32::TLabel* Note = nullptr;
};

}  // namespace zaprelay::test
