// A list of text rows over the system's list box window; its rows live in the window while
// there is one and are kept by the control while there is none.
#pragma once

#include "framework/rtl/string_list.h"
#include "framework/win32/win_control.h"

#include <memory>

namespace zaprelay::win32 {

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
extern const TEnumInfo kListBoxStyleNames;

class TListBox;

// The rows of a list box: the window's when it exists, else a list kept for it.
class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TListBox& owner) : m_listBox(owner) {}

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    int Count() const override;
    std::u16string Get(int index) const override;
    void Put(int index, const std::u16string& text) override;
    void Insert(int index, const std::u16string& text) override;
    void Delete(int index) override;
    void Clear() override;

protected:
    void SetUpdateState(bool updating) override;

private:
    TListBox& m_listBox;
};

using TDrawItemEvent = TEvent<void(TObject* sender, int index, const RECT& rect, UINT state)>;

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
    static const TMessageTable& StaticMessageTable();
    const TMessageTable& MessageTable() const override { return StaticMessageTable(); }

    TStrings* Items() { return &m_items; }
    // The selected row, or -1. Setting it does not raise OnClick.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int32_t ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int32_t value);
    bool IntegralHeight() const { return m_integralHeight; }
    void SetIntegralHeight(bool value);
    bool MultiSelect() const { return m_multiSelect; }
    void SetMultiSelect(bool value);
    bool Sorted() const { return m_sorted; }
    void SetSorted(bool value);
    TListBoxStyle Style() const { return m_style; }
    void SetStyle(TListBoxStyle value);
    bool Selected(int index) const;
    void SetSelected(int index, bool value);
    int TopIndex() const;
    void SetTopIndex(int index);
    // The row at a client point, or -1.
    int ItemAtPos(TPoint pos) const;
    void Clear() { m_items.Clear(); }

    TDrawItemEvent OnDrawItem;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void CNCommand(TMessage& m);
    void CNDrawItem(TMessage& m);
    void CNMeasureItem(TMessage& m);
    void CMFontChanged(TMessage& m);

private:
    friend class TListBoxStrings;
    TListBoxStrings m_items;
    TStringList m_saved;  // the rows while there is no window
    int m_savedIndex = -1;
    int32_t m_itemHeight = 16;
    bool m_integralHeight = false;
    bool m_multiSelect = false;
    bool m_sorted = false;
    TListBoxStyle m_style = lbStandard;
};

}  // namespace zaprelay::win32
