#include "framework/win32/menus.h"

#include "framework/win32/gdi_handles.h"
#include "framework/win32/utility_window.h"

#include <algorithm>
#include <utility>

namespace zaprelay::win32 {

const TEnumInfo kPopupAlignmentNames = MakeEnumInfo<paCenter>("TPopupAlignment", {"paLeft", "paRight", "paCenter"});

namespace {

HMENU g_showingMenu = nullptr;

std::u16string KeyName(uint16_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        return std::u16string(1, static_cast<char16_t>(key));
    }
    switch (key) {
        case VK_RETURN:
            return u"Enter";
        case VK_ESCAPE:
            return u"Esc";
        case VK_SPACE:
            return u"Space";
        case VK_DELETE:
            return u"Del";
        case VK_INSERT:
            return u"Ins";
        case VK_BACK:
            return u"BkSp";
        case VK_TAB:
            return u"Tab";
        case VK_HOME:
            return u"Home";
        case VK_END:
            return u"End";
        case VK_PRIOR:
            return u"PgUp";
        case VK_NEXT:
            return u"PgDn";
        case VK_LEFT:
            return u"Left";
        case VK_RIGHT:
            return u"Right";
        case VK_UP:
            return u"Up";
        case VK_DOWN:
            return u"Down";
        default:
            return {};
    }
}

std::u16string Number(int value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// Where the shown menu's items and pictures are, for its owner window; none while no menu
// shows (a thread shows one pop-up at a time).
struct TBuiltMenu {
    std::vector<TMenuItem*> Ids;  // command identifier - 1
    HIMAGELIST Images = nullptr;
};
const TBuiltMenu* g_builtMenu = nullptr;

TPopupMenu::TPopupCalls g_popupCalls{&SetForegroundWindow, &TrackPopupMenuEx, &PostMessageW};

// Room beside a picture, so the caption does not touch it.
constexpr int kPictureMargin = 3;

bool PictureSize(HIMAGELIST images, int& width, int& height) {
    return images != nullptr && ImageList_GetIconSize(images, &width, &height) && width > 0 && height > 0;
}

int PictureIndex(const TBuiltMenu& built, UINT id) {
    if (built.Images == nullptr || id == 0 || id > built.Ids.size()) {
        return -1;
    }
    const int index = built.Ids[id - 1]->ImageIndex();
    return index >= 0 && index < ImageList_GetImageCount(built.Images) ? index : -1;
}

// The window a pop-up belongs to when no window of the program is active, or when the menu must
// take the foreground (the tray's): hidden and top-level, made on first use.
HWND HiddenMenuOwner() {
    static HWND handle = nullptr;
    static TUtilityWindow owner(
        [](TMessage& m) {
            LRESULT result = 0;
            m.Result = MenuPictureMessage(m.Msg, m.LParam, result) ? result
                                                                   : DefWindowProcW(handle, m.Msg, m.WParam, m.LParam);
        },
        true);
    handle = owner.Handle();
    return handle;
}

void BuildMenu(HMENU menu, const TMenuItem& parent, TBuiltMenu& built) {
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (!item->Visible()) {
            continue;
        }
        if (item->IsLine()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::u16string text = item->Caption();
        if (std::u16string keys = ShortCutToText(item->ShortCut()); !keys.empty()) {
            text += u"\t" + keys;
        }
        UINT flags = MF_STRING | (item->Enabled() ? 0 : MF_GRAYED) | (item->Checked() ? MF_CHECKED : 0);
        if (item->Count() > 0) {
            HMENU sub = CreatePopupMenu();
            BuildMenu(sub, *item, built);
            AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), WidePtr(text));
            continue;
        }
        built.Ids.push_back(item);
        UINT id = static_cast<UINT>(built.Ids.size());
        AppendMenuW(menu, flags, id, WidePtr(text));
        if (PictureIndex(built, id) >= 0) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_BITMAP;
            info.hbmpItem = HBMMENU_CALLBACK;
            SetMenuItemInfoW(menu, id, FALSE, &info);
        }
        if (item->RadioItem()) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_STRING | MFT_RADIOCHECK;
            SetMenuItemInfoW(menu, id, FALSE, &info);
        }
        if (item->Default()) {
            SetMenuDefaultItem(menu, id, FALSE);
        }
    }
}

}  // namespace

TShortCut ShortCut(uint16_t key, TShiftState shift) {
    TShortCut s = static_cast<TShortCut>(key & 0xFF);
    if (shift & ssShift) {
        s |= scShift;
    }
    if (shift & ssCtrl) {
        s |= scCtrl;
    }
    if (shift & ssAlt) {
        s |= scAlt;
    }
    return s;
}

std::u16string ShortCutToText(TShortCut shortCut) {
    auto key = static_cast<uint16_t>(shortCut & 0xFF);
    std::u16string name = key >= VK_F1 && key <= VK_F24 ? u"F" + Number(key - VK_F1 + 1) : KeyName(key);
    if (name.empty()) {
        return {};
    }
    std::u16string text;
    if (shortCut & scShift) {
        text += u"Shift+";
    }
    if (shortCut & scCtrl) {
        text += u"Ctrl+";
    }
    if (shortCut & scAlt) {
        text += u"Alt+";
    }
    return text + name;
}

// ---------------------------------------------------------------- TMenuItem

const TClassInfo& TMenuItem::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TMenuItem, TComponent>("TMenuItem");
        TClassBuilder<TMenuItem>(i)
            .Boolean("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck, false)
            .WideString("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
            .Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
            .Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault, false)
            .Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
            .Integer("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0)
            .WideString("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
            .Integer("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1)
            .Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem, false)
            .Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0)
            .Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
            .Event("OnClick", &TMenuItem::OnClick)
            .Creatable();
        return i;
    }();
    return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    for (TMenuItem* item : m_items) {
        item->m_parentItem = nullptr;
    }
    if (m_parentItem != nullptr) {
        m_parentItem->Remove(this);
    }
}

void TMenuItem::SetChecked(bool value) {
    m_checked = value;
    // A checked radio item clears the other radio items of its group.
    if (value && m_radioItem && m_parentItem != nullptr) {
        for (TMenuItem* sibling : m_parentItem->m_items) {
            if (sibling != this && sibling->m_radioItem && sibling->m_groupIndex == m_groupIndex) {
                sibling->m_checked = false;
            }
        }
    }
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item->m_parentItem != nullptr) {
        item->m_parentItem->Remove(item);
    }
    index = std::clamp(index, 0, Count());
    m_items.insert(m_items.begin() + index, item);
    item->m_parentItem = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    m_items.erase(std::remove(m_items.begin(), m_items.end(), item), m_items.end());
    if (item->m_parentItem == this) {
        item->m_parentItem = nullptr;
    }
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) {
    for (TMenuItem* item : m_items) {
        if (!item->m_visible || !item->m_enabled) {
            continue;
        }
        if (item->m_shortCut == shortCut && item->m_items.empty()) {
            return item;
        }
        if (TMenuItem* found = item->FindShortCut(shortCut)) {
            return found;
        }
    }
    return nullptr;
}

void TMenuItem::Click() {
    if (m_autoCheck) {
        SetChecked(!m_checked);
    }
    if (OnClick) {
        OnClick(this);
    }
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) {
    for (TMenuItem* item : std::vector<TMenuItem*>(m_items)) {
        proc(item);
    }
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (auto* menu = dynamic_cast<TPopupMenu*>(parent)) {
        menu->Items()->Add(this);
    } else if (auto* item = dynamic_cast<TMenuItem*>(parent)) {
        item->Add(this);
    }
}

// ---------------------------------------------------------------- TPopupMenu

const TClassInfo& TPopupMenu::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassInfo i = NewClassInfo<TPopupMenu, TComponent>("TPopupMenu");
        TClassBuilder<TPopupMenu>(i)
            .Enum("Alignment", kPopupAlignmentNames, &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, paLeft)
            .Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
            .Event("OnPopup", &TPopupMenu::OnPopup)
            .Creatable();
        return i;
    }();
    return info;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), m_items(new TMenuItem(nullptr)) {}

TPopupMenu::~TPopupMenu() {
    delete m_items;
}

HMENU TPopupMenu::ShowingMenu() {
    return g_showingMenu;
}

// The pictures are drawn on request (HBMMENU_CALLBACK) through the list's mask, over whatever
// the menu drew behind them: a bitmap with alpha shows black where a menu ignores alpha (Wine's
// does), and a bitmap's own width leaves no room before the caption. False for any other
// message.
bool MenuPictureMessage(UINT msg, LPARAM lParam, LRESULT& result) {
    const TBuiltMenu* built = g_builtMenu;
    int width = 0;
    int height = 0;
    if (built == nullptr || !PictureSize(built->Images, width, height)) {
        return false;
    }
    if (msg == WM_MEASUREITEM) {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType != ODT_MENU) {
            return false;
        }
        measure->itemWidth = static_cast<UINT>(width + 2 * kPictureMargin);
        measure->itemHeight = static_cast<UINT>(height);
    } else if (msg == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (draw->CtlType != ODT_MENU) {
            return false;
        }
        const RECT& r = draw->rcItem;
        const int index = PictureIndex(*built, draw->itemID);
        if (index >= 0) {
            ImageList_Draw(built->Images, index, draw->hDC, r.left + (r.right - r.left - width) / 2,
                           r.top + (r.bottom - r.top - height) / 2, ILD_TRANSPARENT);
        }
    } else {
        return false;
    }
    result = TRUE;
    return true;
}

TPopupMenu::TPopupCalls TPopupMenu::SetPopupCalls(const TPopupCalls& calls) {
    return std::exchange(g_popupCalls, calls);
}

TMenuItem* TPopupMenu::Popup(int x, int y) {
    if (OnPopup) {
        OnPopup(this);
    }
    TMenuHandle menu(CreatePopupMenu());
    TBuiltMenu built;
    built.Images = m_images;
    BuildMenu(menu.Get(), *m_items, built);
    HWND active = GetActiveWindow();
    HWND owner = m_foregroundPopup || active == nullptr ? HiddenMenuOwner() : active;
    // Without the foreground the menu would not close when the user clicks elsewhere
    // (the tray menu's case).
    if (m_foregroundPopup) {
        g_popupCalls.SetForeground(owner);
    }
    UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON |
                 (m_alignment == paRight    ? TPM_RIGHTALIGN
                  : m_alignment == paCenter ? TPM_CENTERALIGN
                                            : TPM_LEFTALIGN);
    g_showingMenu = menu.Get();
    g_builtMenu = &built;
    int chosen = static_cast<int>(g_popupCalls.Track(menu.Get(), flags, x, y, owner, nullptr));
    g_builtMenu = nullptr;
    g_showingMenu = nullptr;
    // Without a message to the owner after the menu, the next one shown from the tray closes at once.
    g_popupCalls.Post(owner, WM_NULL, 0, 0);
    if (chosen <= 0 || chosen > static_cast<int>(built.Ids.size())) {
        return nullptr;
    }
    TMenuItem* item = built.Ids[static_cast<std::size_t>(chosen - 1)];
    item->Click();
    return item;
}

bool TPopupMenu::IsShortCut(const TMessage& keyMessage) {
    TShortCut shortCut = ShortCut(static_cast<uint16_t>(keyMessage.WParam), KeyboardShiftState());
    if ((shortCut & 0xFF) == 0) {
        return false;
    }
    if (TMenuItem* item = m_items->FindShortCut(shortCut)) {
        item->Click();
        return true;
    }
    return false;
}

void TPopupMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    m_items->GetChildren(proc, root);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_popupComponent) {
        m_popupComponent = nullptr;
    }
}

}  // namespace zaprelay::win32
