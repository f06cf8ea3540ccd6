// The settings dialog that Setup shows: the keys reported to the program, a field that adds
// the next key pressed in it, Remove and Defaults. Built in code, modal on the caller's thread.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/keys/key_settings.h"

#include <functional>

namespace zaprelay::keys {

inline constexpr wchar_t kSettingsDialogTitle[] = L"Keyboard remote settings";
inline constexpr int kCaptureEditId = 1000;
inline constexpr int kKeyListId = 1001;
inline constexpr int kRemoveButtonId = 1002;
inline constexpr int kDefaultsButtonId = 1003;

// Shows the dialog filled from settings. OK hands the edited settings to save; when save
// returns false the dialog says so and stays open. True when the settings were saved.
bool ShowSettingsDialog(HINSTANCE module,
                        HWND owner,
                        const TKeySettings& settings,
                        const std::function<bool(const TKeySettings&)>& save);

}  // namespace zaprelay::keys
