// Keys typed as a person types them: xdotool on the X display, into the X window behind a Wine
// window. For modal loops that read the keyboard themselves (the file dialogs).
#pragma once

#include "framework/win32/platform.h"

#include <string>

namespace zaprelay::test {

// Gives the X input focus to the window's own X window first (Wine keeps its id in a window
// property): left on the virtual desktop's window, keys go through the desktop process, which
// now and then holds them back until some later event. Keys are xdotool key names.
bool TypeKeys(HWND window, const std::string& keys);

// xdotool key names that type text made of letters, digits, blanks and path marks.
std::string KeysFor(const std::string& text);

}  // namespace zaprelay::test
