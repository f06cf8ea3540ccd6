// The items of a form's built-in system menu for its state and caption buttons, and the
// operation an item's caption stands for.
#pragma once

#include "skin/form/form_types.h"

#include <optional>
#include <string>
#include <vector>

namespace zaprelay::skin {

// What choosing an item does; kwsNormal stands for Restore.
struct TSystemMenuItem {
    std::string Caption;   // "-" for a separator
    int ImageIndex = -1;   // in FormImages(); -1 for none
    std::string ShortCut;  // shown at the right, e.g. "Alt+F4"
    bool Close = false;
    TVxWindowState Operation = kwsNormal;  // when not Close
};

inline constexpr char kMenuRestore[] = "&Restore";
inline constexpr char kMenuMinimize[] = "Mi&nimize";
inline constexpr char kMenuMaximize[] = "Ma&ximize";
inline constexpr char kMenuRollup[] = "Ro&llup";
inline constexpr char kMenuTray[] = "Minimize to &Tray";
inline constexpr char kMenuClose[] = "&Close";

std::vector<TSystemMenuItem> SystemMenuItems(TVxWindowState state, TVxBorderIcons icons);

// The item a clicked caption names, or none (a separator, an unknown text).
std::optional<TSystemMenuItem> SystemMenuItemFor(const std::string& caption);

}  // namespace zaprelay::skin
