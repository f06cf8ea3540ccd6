// The skin library's private window messages, shared by the form, the controls and the engine.
#pragma once

#include <cstdint>

namespace zaprelay::skin {

inline constexpr uint32_t VXM_TRAYNOTIFY = 0x056C;    // tray icon callback, to the notification window
inline constexpr uint32_t VXM_REFRESHFRAME = 0x056D;  // repaint the frame; wParam 13 puts the caption style back
inline constexpr uint32_t VXM_MAXIMIZE = 0x056E;      // maximize the form
inline constexpr uint32_t VXM_INITSTATE = 0x056F;     // apply the window state in wParam
inline constexpr uint32_t VXM_SKINCHANGED = 0x06A6;   // the engine loaded another skin
inline constexpr uint32_t VXM_SKINCHANGING = 0x06A7;  // the engine is about to drop its skin
inline constexpr uint32_t VXM_SKINOBJECTCHANGED = 0x0849;
inline constexpr uint32_t VXM_GETSKINFORM = 0x084A;
inline constexpr uint32_t VXM_REHOOK = 0xB0DE;     // to the hook registry: subclass a re-created window again
inline constexpr uint32_t VXM_FREEHOOK = 0xB0DF;   // to the hook registry: free a window's hook record left empty
inline constexpr uint32_t VXM_PAINTTODC = 0xB1C8;  // paint frame and background into the DC in lParam

}  // namespace zaprelay::skin
