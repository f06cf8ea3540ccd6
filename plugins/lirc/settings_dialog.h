// The dialog that Setup shows: the server's host and port, and "Test connection" with its
// result. Built in code, modal on the caller's thread.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/lirc/lirc_settings.h"

#include <functional>

namespace zaprelay::lirc {

inline constexpr wchar_t kSettingsDialogTitle[] = L"LIRC receiver settings";
inline constexpr int kHostEditId = 1001;
inline constexpr int kPortEditId = 1002;
inline constexpr int kTestButtonId = 1003;
inline constexpr int kResultTextId = 1004;
inline constexpr int kDefaultsButtonId = 1005;

// Shows the dialog filled from settings. OK hands the edited settings to save; when the host
// or the port is not usable, or save returns false, the dialog says so and stays open.
// Returns true when the settings were saved, false for Cancel.
bool ShowSettingsDialog(HINSTANCE module,
                        HWND owner,
                        const TLircSettings& settings,
                        const std::function<bool(const TLircSettings&)>& save);

}  // namespace zaprelay::lirc
