// The standard properties a control class may publish, one function each, so each concrete
// class lists exactly the ones it shows, in its own stream order.
#pragma once

#include "framework/win32/menus.h"
#include "framework/win32/win_control.h"

namespace zaprelay::win32::publish {

// A base class's member as a member of T, as the builder takes T's members.
template <typename T, typename E, typename C>
E T::*Member(E C::*member) {
    return member;
}

template <typename T>
void Caption(TClassBuilder<T>& b) {
    b.WideString("Caption", &TControl::Caption, &TControl::SetCaption);
}
template <typename T>
void Text(TClassBuilder<T>& b) {
    b.WideString("Text", &TControl::Text, &TControl::SetText);
}
template <typename T>
void Color(TClassBuilder<T>& b, TColor def) {
    b.Color("Color", &TControl::Color, &TControl::SetColor, def).StoredWhen([](const TControl& c) {
        return !c.ParentColor();
    });
}
template <typename T>
void Font(TClassBuilder<T>& b) {
    b.Object("Font", [](TControl& c) -> TPersistent* { return c.Font(); }).StoredWhen([](const TControl& c) {
        return !c.ParentFont();
    });
}
template <typename T>
void ParentColor(TClassBuilder<T>& b, bool def = true) {
    b.Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, def);
}
template <typename T>
void ParentFont(TClassBuilder<T>& b) {
    b.Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true);
}
template <typename T>
void ParentShowHint(TClassBuilder<T>& b) {
    b.Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true);
}
template <typename T>
void ShowHint(TClassBuilder<T>& b) {
    b.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false);
}
template <typename T>
void Visible(TClassBuilder<T>& b) {
    b.Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true);
}
template <typename T>
void Enabled(TClassBuilder<T>& b) {
    b.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true);
}
template <typename T>
void BiDiMode(TClassBuilder<T>& b) {
    b.Enum("BiDiMode", kBiDiModeNames, &TControl::BiDiMode, &TControl::SetBiDiMode, bdLeftToRight);
    b.Boolean("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode, true);
}
template <typename T>
void Constraints(TClassBuilder<T>& b) {
    b.Object("Constraints", [](TControl& c) -> TPersistent* { return c.Constraints(); });
}
template <typename T>
void Drag(TClassBuilder<T>& b) {
    b.Integer("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor, -12)
        .Idents(&CursorToIdent, &IdentToCursor);
    b.Enum("DragKind", kDragKindNames, &TControl::DragKind, &TControl::SetDragKind, dkDrag);
    b.Enum("DragMode", kDragModeNames, &TControl::DragMode, &TControl::SetDragMode, dmManual);
}
template <typename T>
void PopupMenu(TClassBuilder<T>& b) {
    b.Component(
        "PopupMenu", [](const TControl& c) -> TComponent* { return c.PopupMenu(); },
        [](TControl& c, TComponent* menu) { c.SetPopupMenu(dynamic_cast<TPopupMenu*>(menu)); });
}
// ParentFont, ParentShowHint, PopupMenu and ShowHint, which stand together in every
// control's stream order.
template <typename T>
void ParentsPopupHint(TClassBuilder<T>& b) {
    ParentFont(b);
    ParentShowHint(b);
    PopupMenu(b);
    ShowHint(b);
}
template <typename T>
void TabOrder(TClassBuilder<T>& b) {
    b.Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1);
}
template <typename T>
void TabStop(TClassBuilder<T>& b, bool def) {
    b.Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, def);
}
template <typename T>
void MouseEvents(TClassBuilder<T>& b) {
    b.Event("OnMouseDown", Member<T>(&T::OnMouseDown));
    b.Event("OnMouseEnter", Member<T>(&T::OnMouseEnter));
    b.Event("OnMouseLeave", Member<T>(&T::OnMouseLeave));
    b.Event("OnMouseMove", Member<T>(&T::OnMouseMove));
    b.Event("OnMouseUp", Member<T>(&T::OnMouseUp));
}
template <typename T>
void KeyEvents(TClassBuilder<T>& b) {
    b.Event("OnEnter", Member<T>(&T::OnEnter));
    b.Event("OnExit", Member<T>(&T::OnExit));
    b.Event("OnKeyDown", Member<T>(&T::OnKeyDown));
    b.Event("OnKeyPress", Member<T>(&T::OnKeyPress));
    b.Event("OnKeyUp", Member<T>(&T::OnKeyUp));
}

}  // namespace zaprelay::win32::publish
