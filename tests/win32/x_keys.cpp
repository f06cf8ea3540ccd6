#include "tests/win32/x_keys.h"

#include "framework/win32/gdi_handles.h"

namespace zaprelay::test {
namespace {

// Starts xdotool on the host. Wine runs a program named by a Unix path as a host process and
// hands back no handles for it, so there is nothing to wait for.
bool RunXdotool(const std::string& arguments) {
    std::wstring command = L"/usr/bin/xdotool " + std::wstring(arguments.begin(), arguments.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    win32::TKernelHandle thread(process.hThread);
    win32::TKernelHandle child(process.hProcess);
    return true;
}

const char* KeyName(char c) {
    switch (c) {
        case '.':
            return "period";
        case '-':
            return "minus";
        case '_':
            return "underscore";
        case ':':
            return "colon";
        case '\\':
            return "backslash";
        case ' ':
            return "space";
        case '"':
            return "quotedbl";
        default:
            return nullptr;
    }
}

}  // namespace

bool TypeKeys(HWND window, const std::string& keys) {
    auto xWindow = reinterpret_cast<uintptr_t>(GetPropW(window, L"__wine_x11_whole_window"));
    std::string focus = xWindow != 0 ? "windowfocus --sync " + std::to_string(xWindow) + " " : "";
    return RunXdotool(focus + "key --delay 30 " + keys);
}

std::string KeysFor(const std::string& text) {
    std::string keys;
    for (char c : text) {
        keys += keys.empty() ? "" : " ";
        const char* name = KeyName(c);
        keys += name != nullptr ? std::string(name) : std::string(1, c);
    }
    return keys;
}

}  // namespace zaprelay::test
