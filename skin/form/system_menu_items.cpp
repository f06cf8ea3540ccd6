#include "skin/form/system_menu_items.h"

namespace zaprelay::skin {
namespace {

// The menu's items, each with the states it shows in.
struct TEntry {
    const char* Caption;
    int Image;
    TVxBorderIcon Icon;  // the caption button that must be present; kbiSystemMenu for none
    TVxWindowState Operation;
    bool Close;
    bool (*ShownIn)(TVxWindowState);
};

const TEntry kEntries[] = {
    {kMenuRestore, kfiRestore, kbiSystemMenu, kwsNormal, false, [](TVxWindowState s) { return s != kwsNormal; }},
    {kMenuMinimize, kfiMinimize, kbiMinimize, kwsMinimized, false,
     [](TVxWindowState s) { return s == kwsNormal || s == kwsMaximized || s == kwsRollup; }},
    {kMenuMaximize, kfiMaximize, kbiMaximize, kwsMaximized, false,
     [](TVxWindowState s) { return s == kwsNormal || s == kwsRollup; }},
    {kMenuRollup, kfiRollup, kbiRollup, kwsRollup, false,
     [](TVxWindowState s) { return s == kwsNormal || s == kwsMaximized; }},
    {kMenuTray, kfiTray, kbiTray, kwsTray, false,
     [](TVxWindowState s) { return s == kwsNormal || s == kwsMaximized || s == kwsRollup; }},
};

}  // namespace

std::vector<TSystemMenuItem> SystemMenuItems(TVxWindowState state, TVxBorderIcons icons) {
    std::vector<TSystemMenuItem> items;
    for (const TEntry& entry : kEntries) {
        const bool needsButton = entry.Icon != kbiSystemMenu;
        if (entry.ShownIn(state) && (!needsButton || HasBorderIcon(icons, entry.Icon))) {
            items.push_back({entry.Caption, entry.Image, "", false, entry.Operation});
        }
    }
    if (HasBorderIcon(icons, kbiClose)) {
        if (!items.empty()) {
            items.push_back({"-", -1, "", false, kwsNormal});
        }
        items.push_back({kMenuClose, kfiClose, "Alt+F4", true, kwsNormal});
    }
    return items;
}

std::optional<TSystemMenuItem> SystemMenuItemFor(const std::string& caption) {
    for (const TEntry& entry : kEntries) {
        if (caption == entry.Caption) {
            return TSystemMenuItem{entry.Caption, entry.Image, "", false, entry.Operation};
        }
    }
    if (caption == kMenuClose) {
        return TSystemMenuItem{kMenuClose, kfiClose, "Alt+F4", true, kwsNormal};
    }
    return std::nullopt;
}

}  // namespace zaprelay::skin
