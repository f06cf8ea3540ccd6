#include "plugins/guard/guard_settings.h"

#include "plugins/kit/ini_text.h"

#include <algorithm>

namespace zaprelay::guard {
namespace {

bool IsAbsolute(std::string_view path) {
    bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                 path[1] == ':' && path[2] == '\\';
    return drive || path.starts_with("\\\\");
}

}  // namespace

std::string ReceiverOf(std::string_view iniText) {
    return dcd::FindIniValue(iniText, kGuardSection, kReceiverKey).value_or(std::string());
}

std::string WithReceiver(std::string_view iniText, std::string_view receiver) {
    return dcd::UpdateIniText(iniText, kGuardSection, {{kReceiverKey, std::string(receiver)}});
}

std::string ReceiverPath(std::string_view receiver, std::string_view guardFolder) {
    if (receiver.empty()) {
        return {};
    }
    std::string path(receiver);
    std::replace(path.begin(), path.end(), '/', '\\');
    if (!IsAbsolute(path)) {
        std::string folder(guardFolder);
        std::replace(folder.begin(), folder.end(), '/', '\\');
        if (!folder.empty() && folder.back() != '\\') {
            folder.push_back('\\');  // tolerate a folder given without its separator
        }
        path.insert(0, folder);
    }
    return path;
}

}  // namespace zaprelay::guard
