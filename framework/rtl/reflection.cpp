#include "framework/rtl/reflection.h"

#include <algorithm>

namespace zaprelay {

int TEnumInfo::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < Names.size(); ++i) {
        if (SameText(Names[i], name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* c = this; c != nullptr; c = c->m_parent) {
        if (c == &other) {
            return true;
        }
    }
    return false;
}

TPropInfo& TClassInfo::NewProperty(std::string_view name, TPropKind kind) {
    TPropInfo& property = m_properties.emplace_back();
    property.Name = name;
    property.Kind = kind;
    return property;
}

TMethodInfo& TClassInfo::NewMethod(std::string_view name) {
    TMethodInfo& method = m_methods.emplace_back();
    method.Name = name;
    return method;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
    std::vector<const TPropInfo*> all = m_parent != nullptr ? m_parent->Properties() : std::vector<const TPropInfo*>{};
    const std::size_t inherited = all.size();
    for (const TPropInfo& p : m_properties) {
        auto redeclared = std::find_if(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(inherited),
                                       [&p](const TPropInfo* q) { return SameText(q->Name, p.Name); });
        if (redeclared != all.begin() + static_cast<std::ptrdiff_t>(inherited)) {
            *redeclared = &p;
        } else {
            all.push_back(&p);
        }
    }
    return all;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
    for (const TClassInfo* c = this; c != nullptr; c = c->m_parent) {
        for (const TPropInfo& p : c->m_properties) {
            if (SameText(p.Name, name)) {
                return &p;
            }
        }
    }
    return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const {
    for (const TClassInfo* c = this; c != nullptr; c = c->m_parent) {
        for (const TMethodInfo& m : c->m_methods) {
            if (SameText(m.Name, name)) {
                return &m;
            }
        }
    }
    return nullptr;
}

}  // namespace zaprelay
