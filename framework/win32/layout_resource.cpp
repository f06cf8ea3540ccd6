#include "framework/win32/layout_resource.h"

namespace zaprelay::win32 {

std::vector<uint8_t> LoadLayoutResource(HMODULE module, const std::string& name) {
    // A name starting with '#' would ask for a numbered resource, and one holding a null
    // character for a shorter name: neither is a layout.
    bool plainName = !name.empty() && name[0] != '#' && name.find('\0') == std::string::npos;
    HRSRC found = plainName ? FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10)) : nullptr;  // RT_RCDATA
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        throw EResNotFound(Format(msg::kResNotFound, {name}));
    }
    const uint8_t* first = static_cast<const uint8_t*>(bytes);
    return std::vector<uint8_t>(first, first + SizeofResource(module, found));
}

}  // namespace zaprelay::win32
