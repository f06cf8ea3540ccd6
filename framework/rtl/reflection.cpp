#include "framework/rtl/reflection.h"

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

std::vector<const TPropInfo*> TClassInfo::Properties() const {
    std::vector<const TPropInfo*> all = m_parent != nullptr ? m_parent->Properties() : std::vector<const TPropInfo*>{};
    for (const TPropInfo& p : m_properties) {
        all.push_back(&p);
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
