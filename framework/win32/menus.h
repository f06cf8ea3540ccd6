// Menus: items with captions, separators ("-"), check marks, shortcuts and sub-items, and
// the pop-up menu that shows them at a point (a control's context menu, the tray menu).
#pragma once

#include "framework/rtl/component.h"
#include "framework/win32/controls.h"
#include "framework/win32/platform.h"

#include <commctrl.h>
#include <string>
#include <vector>

namespace zaprelay::win32 {

// A key with its modifiers: the virtual key in the low byte, then these bits.
using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
TShortCut ShortCut(uint16_t key, TShiftState shift);
// "Ctrl+S", "Shift+F5", "Alt+Enter"; empty for none.
std::u16string ShortCutToText(TShortCut shortCut);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    const std::u16string& Caption() const { return m_caption; }
    void SetCaption(const std::u16string& value) { m_caption = value; }
    bool IsLine() const { return m_caption == u"-"; }
    bool Checked() const { return m_checked; }
    void SetChecked(bool value);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value) { m_enabled = value; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool value) { m_visible = value; }
    bool Default() const { return m_default; }
    void SetDefault(bool value) { m_default = value; }
    bool RadioItem() const { return m_radioItem; }
    void SetRadioItem(bool value) { m_radioItem = value; }
    bool AutoCheck() const { return m_autoCheck; }
    void SetAutoCheck(bool value) { m_autoCheck = value; }
    int32_t GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int32_t value) { m_groupIndex = value; }
    TShortCut ShortCut() const { return m_shortCut; }
    void SetShortCut(TShortCut value) { m_shortCut = value; }
    const std::u16string& Hint() const { return m_hint; }
    void SetHint(const std::u16string& value) { m_hint = value; }
    // The picture beside the caption in the menu's image list; -1 for none.
    int32_t ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int32_t value) { m_imageIndex = value; }

    int Count() const { return static_cast<int>(m_items.size()); }
    TMenuItem* Items(int index) const { return m_items[static_cast<std::size_t>(index)]; }
    TMenuItem* ParentItem() const { return m_parentItem; }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const;
    // The visible, enabled item (here or below) with the shortcut; none when there is none.
    TMenuItem* FindShortCut(TShortCut shortCut);

    // Toggles an auto-check item, then runs OnClick.
    virtual void Click();

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    void SetParentComponent(TComponent* parent) override;
    bool HasParent() const override { return m_parentItem != nullptr; }

    TNotifyEvent OnClick;

private:
    std::u16string m_caption;
    bool m_checked = false;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_default = false;
    bool m_radioItem = false;
    bool m_autoCheck = false;
    int32_t m_groupIndex = 0;
    TShortCut m_shortCut = 0;
    std::u16string m_hint;
    int32_t m_imageIndex = -1;
    std::vector<TMenuItem*> m_items;  // not owned: items belong to their component owner
    TMenuItem* m_parentItem = nullptr;
};

enum TPopupAlignment { paLeft, paRight, paCenter };
extern const TEnumInfo kPopupAlignmentNames;

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    TMenuItem* Items() { return m_items; }
    bool AutoPopup() const { return m_autoPopup; }
    void SetAutoPopup(bool value) { m_autoPopup = value; }
    TPopupAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TPopupAlignment value) { m_alignment = value; }
    // The control whose context menu is showing.
    TComponent* PopupComponent() const { return m_popupComponent; }
    void SetPopupComponent(TComponent* component) { m_popupComponent = component; }
    // The pictures the items' ImageIndex points into (borrowed); none shows no pictures.
    HIMAGELIST Images() const { return m_images; }
    void SetImages(HIMAGELIST value) { m_images = value; }
    // True: the menu's owner takes the foreground before the menu shows, so that a menu of a
    // hidden window (the tray's) closes on a click elsewhere. False: the active window keeps it.
    bool ForegroundPopup() const { return m_foregroundPopup; }
    void SetForegroundPopup(bool value) { m_foregroundPopup = value; }

    // Shows the menu at the screen point and runs the chosen item's Click once the menu
    // has closed. Returns the chosen item, or none.
    virtual TMenuItem* Popup(int x, int y);
    // The system calls a pop-up makes, in this order (the foreground only for ForegroundPopup);
    // tests put recorders in their place.
    struct TPopupCalls {
        BOOL(WINAPI* SetForeground)(HWND window);
        BOOL(WINAPI* Track)(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params);
        BOOL(WINAPI* Post)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    };
    static TPopupCalls SetPopupCalls(const TPopupCalls& calls);  // returns the previous ones
    // Runs the item with the key message's shortcut; true when there was one.
    bool IsShortCut(const TMessage& keyMessage);
    // The menu window while it is shown (tests close it through this); none otherwise.
    static HMENU ShowingMenu();

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    void Notification(TComponent* component, TOperation operation) override;

    TNotifyEvent OnPopup;

private:
    TMenuItem* m_items;  // the root item, owned here
    bool m_autoPopup = true;
    TPopupAlignment m_alignment = paLeft;
    TComponent* m_popupComponent = nullptr;
    HIMAGELIST m_images = nullptr;
    bool m_foregroundPopup = true;
};

// The owner of a showing pop-up menu passes its WM_MEASUREITEM and WM_DRAWITEM here: the
// menu's pictures are measured and drawn on request. False for anything else.
bool MenuPictureMessage(UINT msg, LPARAM lParam, LRESULT& result);

}  // namespace zaprelay::win32
