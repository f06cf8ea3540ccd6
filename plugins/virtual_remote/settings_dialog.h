// The settings dialog that Setup shows: which buttons repeat while held, the delay before
// the first repeat and the interval between repeats. Built in code, modal on the caller's
// thread.
#pragma once

#include "framework/win32/platform.h"
#include "plugins/virtual_remote/remote_settings.h"

#include <functional>

namespace zaprelay::remote {

inline constexpr wchar_t kSettingsDialogTitle[] = L"Virtual remote settings";
// Check box of button i: kRepeatCheckId + i.
inline constexpr int kRepeatCheckId = 1000;
inline constexpr int kDelayEditId = 1100;
inline constexpr int kIntervalEditId = 1101;
inline constexpr int kDefaultsButtonId = 1102;
inline constexpr int kMessageTextId = 1103;

// Shows the dialog filled from settings. OK hands the edited settings to save; when a delay
// is out of its range, or save returns false, the dialog says so and stays open. Returns true
// when the settings were saved, false for Cancel.
bool ShowSettingsDialog(HINSTANCE module,
                        HWND owner,
                        const TRemoteSettings& settings,
                        const std::function<bool(const TRemoteSettings&)>& save);

}  // namespace zaprelay::remote
