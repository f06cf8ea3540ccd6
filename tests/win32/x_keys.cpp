#include "tests/win32/x_keys.h"

#include "tests/win32/test_support.h"

namespace zaprelay::test {
namespace {

bool RunXdotool(const std::string& arguments) {
    return StartHostProgram("/usr/bin/xdotool " + arguments);
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
