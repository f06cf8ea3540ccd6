#include "framework/rtl/persistent.h"

#include "framework/rtl/exceptions.h"

namespace zaprelay {

const TClassInfo& TObject::StaticClassInfo() {
    static const TClassInfo info("TObject", nullptr);
    return info;
}

const TDefinedProperty* TPropertyDeclarations::Find(std::string_view name) const {
    for (const TDefinedProperty& property : m_properties) {
        if (SameText(property.Name, name)) {
            return &property;
        }
    }
    return nullptr;
}

const TClassInfo& TPersistent::StaticClassInfo() {
    static const TClassInfo info("TPersistent", &TObject::StaticClassInfo());
    return info;
}

void TPersistent::CopyFrom(const TPersistent& source) {
    source.CopyTo(*this);
}

void TPersistent::CopyTo(TPersistent& target) const {
    throw EConvertError(Format(msg::kAssignError, {ClassName(), target.ClassName()}));
}

void TPersistent::DeclareProperties(TPropertyDeclarations&) {}

void TPersistent::CopyPublishedFrom(const TPersistent& source) {
    if (!source.InheritsFrom(ClassInfo())) {
        TPersistent::CopyFrom(source);
    }
    auto& from = const_cast<TPersistent&>(source);  // sub-object getters are not const
    for (const TPropInfo* p : ClassInfo().Properties()) {
        switch (p->Kind) {
            case pkString:
                p->SetString(*this, p->GetString(source));
                break;
            case pkWideString:
                p->SetWide(*this, p->GetWide(source));
                break;
            case pkObject: {
                TPersistent* target = p->GetObject(*this);
                TPersistent* value = p->GetObject(from);
                if (target != nullptr && value != nullptr) {
                    target->CopyFrom(*value);
                }
                break;
            }
            case pkComponent:
                p->SetComponent(*this, p->GetComponent(source));
                break;
            case pkEvent:
                break;  // handlers belong to their root; a copy starts unbound
            default:
                p->SetOrd(*this, p->GetOrd(source));
                break;
        }
    }
}

}  // namespace zaprelay
