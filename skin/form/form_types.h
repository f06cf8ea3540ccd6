// The form component's enumerations: frame regions, caption buttons, border styles, window
// states, frame buffering, and the vetoable action event.
#pragma once

#include "framework/rtl/reflection.h"
#include "skin/objects/skin_host.h"

#include <cstdint>

namespace zaprelay::skin {

// What a window point of the frame is (the form's hit test).
enum TVxFormRegion : uint8_t {
    khrNone,
    khrCaption,
    khrLeft,
    khrTop,
    khrRight,
    khrBottom,
    khrBorder,
    khrTopLeft,
    khrTopRight,
    khrBottomLeft,
    khrBottomRight,
    khrClose,
    khrHelp,
    khrMinimize,
    khrMaximize,
    khrRollup,
    khrTray,
    khrSysMenu,
    khrSkinButton,
};

inline constexpr TVxBorderIcons kDefaultBorderIcons =
    BorderIconSet({kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiRollup, kbiTray});

enum TVxBorderStyle : uint8_t { kbsNone, kbsStandard, kbsToolWindow };

enum TVxWindowState : uint8_t { kwsNormal, kwsMaximized, kwsMinimized, kwsRollup, kwsTray };

// Where the frame is painted: Performance only stores the choice.
enum TVxFormPerformance : uint8_t { ksfpNoBuffer, ksfpSharedBuffer, ksfpPersistentBuffer, ksfpDoubleBuffer };

// Glyph indexes of the system menu's image list (FormImages()).
enum TFormImage { kfiClose, kfiMinimize, kfiMaximize, kfiRestore, kfiRollup, kfiTray };

// A state change or close about to happen; a handler that clears callDefault cancels it.
using TVxFormActionEvent = TEvent<void(TObject* sender, bool& callDefault)>;

extern const TEnumInfo kVxBorderIconNames;
extern const TEnumInfo kVxBorderStyleNames;
extern const TEnumInfo kVxWindowStateNames;
extern const TEnumInfo kVxFormPerformanceNames;

}  // namespace zaprelay::skin
