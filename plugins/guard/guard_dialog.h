// The guard's own dialog: which receiver it runs, and how that receiver is doing (running,
// waiting to start again after a failure, or turned off, with the last failure). Shown by
// Setup when no receiver runs (or with Ctrl held), modal on the caller's thread.
#pragma once

#include "framework/win32/platform.h"

#include <functional>
#include <string>

namespace zaprelay::guard {

inline constexpr wchar_t kGuardDialogTitle[] = L"Zaprelay receiver guard";
inline constexpr int kReceiverEditId = 1001;
inline constexpr int kBrowseButtonId = 1002;
inline constexpr int kStateTextId = 1003;
inline constexpr int kStartOverButtonId = 1004;
inline constexpr int kMessageTextId = 1005;

struct TGuardDialogCalls {
    std::function<std::wstring()> StateText;            // asked again while the dialog shows
    std::function<bool(const std::string&)> Save;       // the receiver as typed; false: not saved
    std::function<void(const std::string&)> StartOver;  // after a save: run that receiver afresh
};

// receiver: as the settings file holds it; folder: the guard's, for browsing and relative names.
void ShowGuardDialog(HINSTANCE module,
                     HWND owner,
                     const std::string& receiver,
                     const std::string& folder,
                     const TGuardDialogCalls& calls);

}  // namespace zaprelay::guard
