// Form layouts embedded in a module as RCDATA resources by the build (cmake/ZaprelayLayouts.cmake):
// the binary component stream of "TDemoForm.layout.txt" is the resource "TDEMOFORM".
#pragma once

#include "framework/rtl/exceptions.h"
#include "framework/win32/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zaprelay::msg {
inline constexpr char kResNotFound[] = "Resource %s not found";
}  // namespace zaprelay::msg

namespace zaprelay::win32 {

class EResNotFound : public Exception {
    using Exception::Exception;
};

// A copy of the RCDATA resource name in module (null for the program's own), found whatever
// the case of name. Raises EResNotFound when the module has no such resource.
std::vector<uint8_t> LoadLayoutResource(HMODULE module, const std::string& name);

}  // namespace zaprelay::win32
