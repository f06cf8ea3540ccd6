#include "framework/rtl/exceptions.h"

namespace zaprelay {

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            char kind = pattern[i + 1];
            if (kind == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (kind == 's' || kind == 'd') {
                if (next != args.end()) {
                    out += *next++;
                }
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace zaprelay
