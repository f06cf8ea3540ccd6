#include "framework/rtl/persistent.h"

#include "framework/rtl/exceptions.h"

namespace zaprelay {

const TClassInfo& TObject::StaticClassInfo() {
    static const TClassInfo info = NewClassInfo<TObject>("TObject");
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
    static const TClassInfo info = NewClassInfo<TPersistent, TObject>("TPersistent");
    return info;
}

void TPersistent::CopyFrom(const TPersistent& source) {
    source.CopyTo(*this);
}

void TPersistent::CopyTo(TPersistent& target) const {
    throw EConvertError(Format(msg::kAssignError, {ClassName(), target.ClassName()}));
}

void TPersistent::DeclareProperties(TPropertyDeclarations&) {}

}  // namespace zaprelay
