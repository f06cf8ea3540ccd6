// The roots of the class library: TObject (class identity through its reflection table)
// and TPersistent (copying and extra binary properties for the component stream).
#pragma once

#include "framework/rtl/reflection.h"

#include <functional>
#include <string>
#include <vector>

namespace zaprelay {

class TStream;

class TObject {
public:
    virtual ~TObject() = default;

    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
    const std::string& ClassName() const { return ClassInfo().Name(); }
    bool InheritsFrom(const TClassInfo& info) const { return ClassInfo().InheritsFrom(info); }
};

// A binary property that a class declares beside its published ones (a skin object's
// children, the engine's skin data). The reader gets a stream over exactly the stored bytes.
struct TDefinedProperty {
    std::string Name;
    std::function<void(TStream&)> Reader;
    std::function<void(TStream&)> Writer;
    bool HasData = false;  // the writer runs, and the property is written, only when true
};

class TPropertyDeclarations {
public:
    void DefineBinaryProperty(std::string name,
                              std::function<void(TStream&)> reader,
                              std::function<void(TStream&)> writer,
                              bool hasData) {
        m_properties.push_back({std::move(name), std::move(reader), std::move(writer), hasData});
    }
    const std::vector<TDefinedProperty>& Properties() const { return m_properties; }
    const TDefinedProperty* Find(std::string_view name) const;

private:
    std::vector<TDefinedProperty> m_properties;
};

// Runs body between object.BeginUpdate() and object.EndUpdate(); an error inside still ends
// the update (and then goes on).
template <typename T, typename Body>
void WithinUpdate(T& object, Body&& body) {
    object.BeginUpdate();
    try {
        body();
    } catch (...) {
        object.EndUpdate();
        throw;
    }
    object.EndUpdate();
}

class TPersistent : public TObject {
public:
    static const TClassInfo& StaticClassInfo();
    const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

    // Copies the source's values in. The base asks the source to copy itself here
    // (CopyTo), which by default raises EConvertError
    // "Cannot assign a <source class> to a <this class>".
    virtual void CopyFrom(const TPersistent& source);
    // Copies this object's values into target, for targets that do not know this class.
    virtual void CopyTo(TPersistent& target) const;

    // Declares the extra binary properties this object streams after its published ones.
    virtual void DeclareProperties(TPropertyDeclarations& declarations);
};

}  // namespace zaprelay
