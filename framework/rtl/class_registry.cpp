#include "framework/rtl/class_registry.h"

#include <algorithm>
#include <vector>

namespace zaprelay {
namespace {

std::vector<const TClassInfo*>& Registry() {
    static std::vector<const TClassInfo*> classes;
    return classes;
}

}  // namespace

void RegisterClass(const TClassInfo& info) {
    auto& classes = Registry();
    if (std::find(classes.begin(), classes.end(), &info) == classes.end()) {
        classes.push_back(&info);
    }
}

void UnregisterClass(const TClassInfo& info) {
    auto& classes = Registry();
    classes.erase(std::remove(classes.begin(), classes.end(), &info), classes.end());
}

const TClassInfo* FindClass(std::string_view name) {
    for (const TClassInfo* info : Registry()) {
        if (info->Name() == name) {
            return info;
        }
    }
    return nullptr;
}

std::vector<const TClassInfo*> RegisteredClasses() {
    return Registry();
}

void UnregisterAllClasses() {
    Registry().clear();
}

}  // namespace zaprelay
