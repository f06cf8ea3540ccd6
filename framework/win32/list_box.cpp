#include "framework/win32/list_box.h"

#include "framework/rtl/exceptions.h"
#include "framework/win32/control_props.h"

#include <algorithm>

namespace zaprelay::win32 {

const TEnumInfo kListBoxStyleNames =
    MakeEnumInfo<lbOwnerDrawVariable>("TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"});

// ---------------------------------------------------------------- TListBoxStrings

const TClassInfo& TListBoxStrings::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TListBoxStrings, TStrings>("TListBoxStrings");
    return info;
}

int TListBoxStrings::Count() const {
    if (!m_listBox.HandleAllocated()) {
        return m_listBox.m_saved.Count();
    }
    return static_cast<int>(SendMessageW(m_listBox.WindowHandle(), LB_GETCOUNT, 0, 0));
}

std::u16string TListBoxStrings::Get(int index) const {
    if (!m_listBox.HandleAllocated()) {
        return m_listBox.m_saved.Get(index);
    }
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    HWND window = m_listBox.WindowHandle();
    auto length = SendMessageW(window, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    std::u16string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, u'\0');
    auto got = SendMessageW(window, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
    return text;
}

void TListBoxStrings::Put(int index, const std::u16string& text) {
    if (!m_listBox.HandleAllocated()) {
        m_listBox.m_saved.Put(index, text);
        return;
    }
    int selected = m_listBox.ItemIndex();
    Delete(index);
    Insert(index, text);
    m_listBox.SetItemIndex(selected);
}

void TListBoxStrings::Insert(int index, const std::u16string& text) {
    if (!m_listBox.HandleAllocated()) {
        m_listBox.m_saved.Insert(index, text);
        return;
    }
    if (index < 0 || index > Count()) {
        IndexError(index);
    }
    HWND window = m_listBox.WindowHandle();
    LRESULT result = m_listBox.Sorted() ? SendMessageW(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()))
                                        : SendMessageW(window, LB_INSERTSTRING, static_cast<WPARAM>(index),
                                                       reinterpret_cast<LPARAM>(text.c_str()));
    if (result < 0) {
        throw EOutOfResources("Out of system resources");
    }
}

void TListBoxStrings::Delete(int index) {
    if (!m_listBox.HandleAllocated()) {
        m_listBox.m_saved.Delete(index);
        return;
    }
    if (index < 0 || index >= Count()) {
        IndexError(index);
    }
    SendMessageW(m_listBox.WindowHandle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TListBoxStrings::Clear() {
    if (!m_listBox.HandleAllocated()) {
        m_listBox.m_saved.Clear();
        m_listBox.m_savedIndex = -1;
        return;
    }
    SendMessageW(m_listBox.WindowHandle(), LB_RESETCONTENT, 0, 0);
}

void TListBoxStrings::SetUpdateState(bool updating) {
    if (m_listBox.HandleAllocated()) {
        SendMessageW(m_listBox.WindowHandle(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
        if (!updating) {
            InvalidateRect(m_listBox.WindowHandle(), nullptr, TRUE);
        }
    }
}

// ---------------------------------------------------------------- TListBox

const TClassInfo& TListBox::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TListBox, TWinControl>("TListBox");
        TClassBuilder<TListBox> b(i);
        publish::BiDiMode(b);
        publish::Color(b, clWindow);
        publish::Constraints(b);
        publish::Drag(b);
        publish::Enabled(b);
        publish::Font(b);
        b.Boolean("IntegralHeight", &TListBox::IntegralHeight, &TListBox::SetIntegralHeight, false);
        b.Integer("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight, 16);
        b.Object("Items", [](TListBox& l) -> TPersistent* { return l.Items(); });
        b.Boolean("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect, false);
        publish::ParentColor(b, false);
        publish::ParentsPopupHint(b);
        b.Boolean("Sorted", &TListBox::Sorted, &TListBox::SetSorted, false);
        b.Enum("Style", kListBoxStyleNames, &TListBox::Style, &TListBox::SetStyle, lbStandard);
        publish::TabOrder(b);
        publish::TabStop(b, true);
        publish::Visible(b);
        b.Event("OnClick", publish::Member<TListBox>(&TListBox::OnClick));
        b.Event("OnDblClick", publish::Member<TListBox>(&TListBox::OnDblClick));
        b.Event("OnDrawItem", &TListBox::OnDrawItem);
        publish::KeyEvents(b);
        publish::MouseEvents(b);
        b.Creatable();
        return i;
    }();
    return info;
}

const TMessageTable& TListBox::StaticMessageTable() {
    static const TMessageTable table = TMessageTable::For<TListBox, TWinControl>()
                                           .On<&TListBox::CNCommand>(CN_COMMAND)
                                           .On<&TListBox::CNDrawItem>(CN_DRAWITEM)
                                           .On<&TListBox::CNMeasureItem>(CN_MEASUREITEM)
                                           .On<&TListBox::CMFontChanged>(CM_FONTCHANGED);
    return table;
}

TListBox::TListBox(TComponent* owner) : TWinControl(owner), m_items(*this) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    // A click selects through the window; the selection change raises OnClick.
    SetControlStyle(ControlStyle() & ~static_cast<uint32_t>(csClickEvents));
}

TListBox::~TListBox() {
    DestroyHandle();
}

void TListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.SystemClass = L"LISTBOX";
    params.Style |= LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
    if (!m_integralHeight) {
        params.Style |= LBS_NOINTEGRALHEIGHT;
    }
    if (m_multiSelect) {
        params.Style |= LBS_EXTENDEDSEL;
    }
    if (m_sorted) {
        params.Style |= LBS_SORT;
    }
    if (m_style == lbOwnerDrawFixed) {
        params.Style |= LBS_OWNERDRAWFIXED;
    } else if (m_style == lbOwnerDrawVariable) {
        params.Style |= LBS_OWNERDRAWVARIABLE;
    }
}

void TListBox::CreateWnd() {
    TWinControl::CreateWnd();
    HWND window = WindowHandle();
    if (m_style != lbOwnerDrawVariable) {
        SendMessageW(window, LB_SETITEMHEIGHT, 0, m_itemHeight);
    }
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < m_saved.Count(); ++i) {
        std::u16string row = m_saved.Get(i);
        SendMessageW(window, m_sorted ? LB_ADDSTRING : LB_INSERTSTRING, m_sorted ? 0 : static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(row.c_str()));
    }
    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    m_saved.Clear();
    SetItemIndex(m_savedIndex);
    m_savedIndex = -1;
}

void TListBox::DestroyWnd() {
    if (HandleAllocated()) {
        // Keep the rows and the selection for the next window.
        TStringList rows;
        for (int i = 0; i < m_items.Count(); ++i) {
            rows.Add(m_items.Get(i));
        }
        int index = ItemIndex();
        TWinControl::DestroyWnd();
        m_saved.CopyFrom(rows);
        m_savedIndex = index;
        return;
    }
    TWinControl::DestroyWnd();
}

int TListBox::ItemIndex() const {
    if (!HandleAllocated()) {
        return m_savedIndex;
    }
    if (m_multiSelect) {
        return static_cast<int>(SendMessageW(WindowHandle(), LB_GETCARETINDEX, 0, 0));
    }
    return static_cast<int>(SendMessageW(WindowHandle(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index) {
    if (!HandleAllocated()) {
        m_savedIndex = index < m_saved.Count() ? index : -1;
        return;
    }
    if (m_multiSelect) {
        SendMessageW(WindowHandle(), LB_SETSEL, FALSE, -1);
        if (index >= 0) {
            SendMessageW(WindowHandle(), LB_SETSEL, TRUE, index);
            SendMessageW(WindowHandle(), LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
        }
        return;
    }
    SendMessageW(WindowHandle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TListBox::SetItemHeight(int32_t value) {
    if (value > 0 && value != m_itemHeight) {
        m_itemHeight = value;
        if (HandleAllocated() && m_style != lbOwnerDrawVariable) {
            SendMessageW(WindowHandle(), LB_SETITEMHEIGHT, 0, value);
            Invalidate();
        }
    }
}

void TListBox::SetIntegralHeight(bool value) {
    if (value != m_integralHeight) {
        m_integralHeight = value;
        RecreateWnd();
    }
}

void TListBox::SetMultiSelect(bool value) {
    if (value != m_multiSelect) {
        m_multiSelect = value;
        RecreateWnd();
    }
}

void TListBox::SetSorted(bool value) {
    if (value != m_sorted) {
        m_sorted = value;
        RecreateWnd();
    }
}

void TListBox::SetStyle(TListBoxStyle value) {
    if (value != m_style) {
        m_style = value;
        RecreateWnd();
    }
}

bool TListBox::Selected(int index) const {
    if (!HandleAllocated()) {
        return index == m_savedIndex;
    }
    if (index < 0 || index >= m_items.Count()) {
        throw EListError(Format("List index out of bounds (%d)", {std::to_string(index)}));
    }
    return SendMessageW(WindowHandle(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TListBox::SetSelected(int index, bool value) {
    if (m_multiSelect) {
        if (HandleAllocated()) {
            SendMessageW(WindowHandle(), LB_SETSEL, value ? TRUE : FALSE, index);
        }
    } else if (value) {
        SetItemIndex(index);
    } else if (ItemIndex() == index) {
        SetItemIndex(-1);
    }
}

int TListBox::TopIndex() const {
    return HandleAllocated() ? static_cast<int>(SendMessageW(WindowHandle(), LB_GETTOPINDEX, 0, 0)) : 0;
}

void TListBox::SetTopIndex(int index) {
    if (HandleAllocated()) {
        SendMessageW(WindowHandle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    }
}

int TListBox::ItemAtPos(TPoint pos) const {
    if (!HandleAllocated()) {
        return -1;
    }
    LRESULT hit = SendMessageW(WindowHandle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(pos.X, pos.Y));
    if (HiWord(static_cast<uintptr_t>(hit)) != 0) {
        return -1;  // outside every row
    }
    return LoWord(static_cast<uintptr_t>(hit));
}

void TListBox::CNCommand(TMessage& m) {
    if (HiWord(m.WParam) == LBN_SELCHANGE) {
        Click();
    }
}

void TListBox::CNDrawItem(TMessage& m) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    if (OnDrawItem && item->itemID != static_cast<UINT>(-1)) {
        OnDrawItem(this, static_cast<int>(item->itemID), item->rcItem, item->itemState);
    } else if (item->itemID != static_cast<UINT>(-1)) {
        bool selected = (item->itemState & ODS_SELECTED) != 0;
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        SetBkMode(item->hDC, TRANSPARENT);
        std::u16string text = m_items.Get(static_cast<int>(item->itemID));
        RECT r = item->rcItem;
        r.left += 2;
        DrawTextW(item->hDC, WidePtr(text), static_cast<int>(text.size()), &r,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (item->itemState & ODS_FOCUS) {
        DrawFocusRect(item->hDC, &item->rcItem);
    }
    m.Result = 1;
}

void TListBox::CNMeasureItem(TMessage& m) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    item->itemHeight = static_cast<UINT>(m_itemHeight);
    m.Result = 1;
}

void TListBox::CMFontChanged(TMessage& m) {
    Inherited<TListBox>(m);
    Invalidate();
}

}  // namespace zaprelay::win32
