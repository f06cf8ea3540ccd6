#include "framework/rtl/object_stream.h"

#include "framework/rtl/ansi_text.h"
#include "framework/rtl/class_registry.h"
#include "framework/rtl/collection.h"
#include "framework/rtl/exceptions.h"
#include "framework/rtl/ident_tables.h"
#include "framework/rtl/stream_value.h"
#include "framework/rtl/string_list.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace zaprelay {
namespace {

// An error already named after its object and property; outer properties pass it on
// unchanged so the message stays that of the first error.
class EPropertyReadError : public EReadError {
public:
    using EReadError::EReadError;
};

[[noreturn]] void InvalidValue() {
    throw EReadError(msg::kInvalidPropertyValue);
}

// ---------------------------------------------------------------- writing

class ObjectWriter {
public:
    ObjectWriter(TStream& stream, TComponent& root) : m_writer(stream), m_root(root) {}

    void WriteComponent(TComponent& component) {
        m_writer.WriteShortString(component.ClassName());
        m_writer.WriteShortString(component.Name());
        component.IncludeState(csWriting);
        WriteProperties(component, "");
        component.ExcludeState(csWriting);
        m_writer.WriteListEnd();
        component.GetChildren([this](TComponent* child) { WriteComponent(*child); }, &m_root);
        m_writer.WriteListEnd();
    }

private:
    void WriteProperties(TPersistent& object, const std::string& prefix) {
        for (const TPropInfo* p : object.ClassInfo().Properties()) {
            if (p->Stored && (!p->StoredWhen || p->StoredWhen(object))) {
                WriteProperty(object, *p, prefix);
            }
        }
        TPropertyDeclarations declarations;
        object.DeclareProperties(declarations);
        for (const TDefinedProperty& defined : declarations.Properties()) {
            if (!defined.HasData) {
                continue;
            }
            TMemoryStream buffer;
            defined.Writer(buffer);
            TStreamValue value;
            value.Type = vaBinary;
            value.Bytes = buffer.Bytes();
            Put(prefix + defined.Name, value);
        }
    }

    void WriteProperty(TPersistent& object, const TPropInfo& p, const std::string& prefix) {
        const std::string path = prefix + p.Name;
        if (p.IsOrdinal()) {
            int64_t ord = p.GetOrd(object);
            if (p.Default && *p.Default == ord) {
                return;
            }
            Put(path, OrdinalValue(p, ord));
            return;
        }
        switch (p.Kind) {
            case pkString: {
                std::string text = p.GetString(object);
                if (!text.empty()) {
                    Put(path, AnsiStringValue(text));
                }
                break;
            }
            case pkWideString: {
                std::u16string text = p.GetWide(object);
                if (!text.empty()) {
                    Put(path, WideStringValue(text));
                }
                break;
            }
            case pkStrings: {
                TStrings* lines = p.GetStrings(object);
                if (lines != nullptr && lines->Count() > 0) {
                    TStreamValue list;
                    list.Type = vaList;
                    for (int i = 0, count = lines->Count(); i < count; ++i) {
                        list.List.push_back(WideStringValue(lines->Get(i)));
                    }
                    Put(path, list);
                }
                break;
            }
            case pkCollection:
                // Written even when empty ("<>"), as the classic layouts have it.
                if (TCollection* collection = p.GetCollection(object)) {
                    WriteCollection(*collection, path);
                }
                break;
            case pkObject:
                if (TPersistent* sub = p.GetObject(object)) {
                    WriteProperties(*sub, path + ".");
                }
                break;
            case pkComponent:
                if (TComponent* target = p.GetComponent(object)) {
                    Put(path, TStreamValue::Ident(ReferenceName(*target)));
                }
                break;
            case pkEvent: {
                std::string handler = p.GetHandlerName(object);
                if (!handler.empty()) {
                    Put(path, TStreamValue::Ident(handler));
                }
                break;
            }
            default:
                break;
        }
    }

    // Each item is a list of its own properties, named from the item.
    void WriteCollection(TCollection& collection, const std::string& path) {
        m_writer.WriteShortString(path);
        TStream& stream = m_writer.Stream();
        stream.WriteByte(vaCollection);
        for (int i = 0, count = collection.Count(); i < count; ++i) {
            stream.WriteByte(vaList);
            WriteProperties(*collection.Items(i), "");
            m_writer.WriteListEnd();
        }
        m_writer.WriteListEnd();
    }

    static TStreamValue OrdinalValue(const TPropInfo& p, int64_t ord) {
        std::string name;
        switch (p.Kind) {
            case pkBoolean: {
                TStreamValue v;
                v.Type = ord != 0 ? vaTrue : vaFalse;
                return v;
            }
            case pkEnum:
                if (ord >= 0 && ord < static_cast<int64_t>(p.Enum->Names.size())) {
                    TStreamValue v;
                    v.Type = vaIdent;
                    v.Text = p.Enum->Names[static_cast<std::size_t>(ord)];
                    return v;
                }
                return TStreamValue::Integer(ord);
            case pkSet: {
                TStreamValue v;
                v.Type = vaSet;
                for (std::size_t bit = 0; bit < p.Enum->Names.size() && bit < 64; ++bit) {
                    if ((static_cast<uint64_t>(ord) >> bit) & 1u) {
                        v.Set.push_back(p.Enum->Names[bit]);
                    }
                }
                return v;
            }
            case pkColor:
                if (ColorToIdent(static_cast<TColor>(ord), name)) {
                    return TStreamValue::Ident(name);
                }
                return TStreamValue::Integer(ord);
            case pkCharset:
                if (CharsetToIdent(static_cast<int32_t>(ord), name)) {
                    return TStreamValue::Ident(name);
                }
                return TStreamValue::Integer(ord);
            default:
                if (p.IntToIdent != nullptr && p.IntToIdent(static_cast<int32_t>(ord), name)) {
                    return TStreamValue::Ident(name);
                }
                return TStreamValue::Integer(ord);
        }
    }

    // A component of the root is named plainly; one elsewhere by its owner's name too.
    std::string ReferenceName(TComponent& target) const {
        if (&target == &m_root || target.Owner() == &m_root || target.Owner() == nullptr) {
            return target.Name();
        }
        return target.Owner()->Name() + "." + target.Name();
    }

    void Put(const std::string& path, const TStreamValue& value) {
        m_writer.WriteShortString(path);
        m_writer.WriteValue(value);
    }

    TBinaryWriter m_writer;
    TComponent& m_root;
};

// ---------------------------------------------------------------- reading

// A collection item being read into, and its collection.
struct ItemPlace {
    const TCollection* Collection;
    const TCollectionItem* Item;
};

struct PendingReference {
    TComponent* Holder;   // the component whose property is set; watched for removal
    TPersistent* Target;  // the object holding the property (the holder, a sub-object or an item)
    const TPropInfo* Property;
    std::string Name;
    std::string ErrorPath;
    std::vector<ItemPlace> Items;  // the items Target lies in, outermost first
};

class ObjectReader {
public:
    ObjectReader(TStream& stream, TComponent& root) : m_reader(stream), m_root(root) {}

    void ReadRoot() {
        m_reader.ReadSignature();
        uint8_t flags = 0;
        int32_t position = 0;
        m_reader.ReadPrefix(flags, position);
        m_reader.ReadShortString();  // the class name: the object already exists
        std::string name = m_reader.ReadShortString();
        m_root.SetName(name);
        Track(m_root);
        try {
            ReadBody(m_root, 0);
        } catch (...) {
            ClearLoadingState();
            throw;
        }
        Finish();
    }

private:
    void Track(TComponent& component) {
        component.IncludeState(csLoading | csReading);
        m_loaded.push_back(&component);
    }

    void ReadBody(TComponent& component, int depth) {
        while (!m_reader.EndOfList()) {
            ReadProperty(component);
        }
        m_reader.ReadListEnd();
        component.ExcludeState(csReading);
        while (!m_reader.EndOfList()) {
            ReadChild(component, depth + 1);
        }
        m_reader.ReadListEnd();
    }

    void ReadChild(TComponent& parent, int depth) {
        if (depth > kMaxNesting) {
            throw EReadError(msg::kInvalidStreamFormat);
        }
        uint8_t flags = 0;
        int32_t position = 0;
        m_reader.ReadPrefix(flags, position);
        std::string className = m_reader.ReadShortString();
        std::string name = m_reader.ReadShortString();
        const TClassInfo* info = FindClass(className);
        if (info == nullptr || !info->Create) {
            throw EClassNotFound(Format(msg::kClassNotFound, {className}));
        }
        TComponent* child = info->Create(&m_root);
        child->SetName(name);
        child->SetParentComponent(&parent);
        Track(*child);
        ReadBody(*child, depth);
    }

    void ReadProperty(TComponent& component) {
        std::string path = m_reader.ReadShortString();
        try {
            TStreamValue value = m_reader.ReadValue();
            Assign(component, component, path, value, path);
        } catch (const EPropertyReadError&) {
            throw;
        } catch (const Exception& e) {
            const std::string& owner = component.Name().empty() ? component.ClassName() : component.Name();
            throw EPropertyReadError(Format(msg::kErrorReading, {owner, ".", path, e.Message()}));
        }
    }

    // Sets the property at path (relative to object) of holder's; errorPath is the path
    // from the holder that errors name.
    void Assign(TComponent& holder,
                TPersistent& object,
                const std::string& path,
                const TStreamValue& value,
                const std::string& errorPath) {
        TPersistent* target = &object;
        std::size_t start = 0;
        for (std::size_t dot = path.find('.'); dot != std::string::npos; dot = path.find('.', start)) {
            const TPropInfo* p = target->ClassInfo().FindProperty(std::string_view(path).substr(start, dot - start));
            if (p == nullptr || p->Kind != pkObject || (target = p->GetObject(*target)) == nullptr) {
                throw EReadError(msg::kInvalidPropertyPath);
            }
            start = dot + 1;
        }
        std::string_view last = std::string_view(path).substr(start);
        if (const TPropInfo* p = target->ClassInfo().FindProperty(last)) {
            AssignProperty(holder, *target, *p, value, errorPath);
            return;
        }
        TPropertyDeclarations declarations;
        target->DeclareProperties(declarations);
        if (const TDefinedProperty* defined = declarations.Find(last)) {
            if (value.Type != vaBinary) {
                InvalidValue();
            }
            TBytesStream bytes(value.Bytes);
            defined->Reader(bytes);
            return;
        }
        throw EReadError(Format(msg::kUnknownProperty, {last}));
    }

    void AssignProperty(TComponent& holder,
                        TPersistent& target,
                        const TPropInfo& p,
                        const TStreamValue& value,
                        const std::string& path) {
        switch (p.Kind) {
            case pkString:
                p.SetString(target, StringOf(value));
                return;
            case pkWideString:
                p.SetWide(target, WideOf(value));
                return;
            case pkObject:
                InvalidValue();
            case pkComponent:
                if (value.Type == vaNil) {
                    p.SetComponent(target, nullptr);
                } else if (value.Type == vaIdent) {
                    m_references.push_back({&holder, &target, &p, value.Text, path, m_items});
                } else {
                    InvalidValue();
                }
                return;
            case pkEvent:
                BindEvent(target, p, value);
                return;
            case pkStrings:
                ReadStrings(target, p, value);
                return;
            case pkCollection:
                ReadCollection(holder, target, p, value, path);
                return;
            default:
                p.SetOrd(target, OrdinalOf(p, value));
                return;
        }
    }

    // Every element is checked before the list changes, so a bad one leaves the lines as
    // they were.
    static void ReadStrings(TPersistent& target, const TPropInfo& p, const TStreamValue& value) {
        if (value.Type != vaList) {
            InvalidValue();
        }
        for (const TStreamValue& line : value.List) {
            if (!line.IsString()) {
                InvalidValue();
            }
        }
        TStrings* lines = p.GetStrings(target);
        if (lines == nullptr) {
            InvalidValue();
        }
        WithinUpdate(*lines, [&] {
            lines->Clear();
            for (const TStreamValue& line : value.List) {
                lines->Add(line.AsWide());
            }
        });
    }

    void ReadCollection(TComponent& holder,
                        TPersistent& target,
                        const TPropInfo& p,
                        const TStreamValue& value,
                        const std::string& path) {
        TCollection* collection = p.GetCollection(target);
        if (value.Type != vaCollection || collection == nullptr) {
            InvalidValue();
        }
        ForgetReferencesInto(*collection);
        WithinUpdate(*collection, [&] {
            collection->Clear();
            for (const TStreamCollectionItem& stored : value.Items) {
                TCollectionItem* item = collection->Add();
                m_items.push_back({collection, item});
                try {
                    for (const TStreamProperty& property : stored.Properties) {
                        Assign(holder, *item, property.Name, property.Value, path);
                    }
                } catch (...) {
                    m_items.pop_back();
                    throw;
                }
                m_items.pop_back();
            }
        });
    }

    // The items of a collection about to be cleared take their pending references with them
    // (a later item might even reuse an address).
    void ForgetReferencesInto(const TCollection& collection) {
        std::erase_if(m_references, [&collection](const PendingReference& ref) {
            return std::any_of(ref.Items.begin(), ref.Items.end(),
                               [&collection](const ItemPlace& place) { return place.Collection == &collection; });
        });
    }

    // The holder is still there, and so is each item on the way to the target (a setter may
    // have removed one). Each collection is checked only once the item holding it is known
    // to be there.
    bool Reachable(const PendingReference& ref) const {
        if (Gone(ref.Holder)) {
            return false;
        }
        for (const ItemPlace& place : ref.Items) {
            if (place.Collection->IndexOf(place.Item) < 0) {
                return false;
            }
        }
        return true;
    }

    void BindEvent(TPersistent& target, const TPropInfo& p, const TStreamValue& value) {
        if (value.Type == vaNil) {
            p.ClearEvent(target);
            return;
        }
        if (value.Type != vaIdent) {
            InvalidValue();
        }
        const TMethodInfo* method = m_root.ClassInfo().FindMethod(value.Text);
        if (method == nullptr || method->Signature != p.EventSignature ||
            !p.BindEvent(target, value.Text, method->MakeHandler(m_root))) {
            InvalidValue();
        }
    }

    static int64_t OrdinalOf(const TPropInfo& p, const TStreamValue& value) {
        switch (p.Kind) {
            case pkBoolean:
                if (value.Type == vaFalse || value.Type == vaTrue) {
                    return value.Type == vaTrue ? 1 : 0;
                }
                if (value.Type == vaIdent && (SameText(value.Text, "False") || SameText(value.Text, "True"))) {
                    return SameText(value.Text, "True") ? 1 : 0;
                }
                InvalidValue();
            case pkEnum: {
                int index = value.Type == vaIdent ? p.Enum->IndexOf(value.Text) : -1;
                if (index < 0) {
                    InvalidValue();
                }
                return index;
            }
            case pkSet: {
                if (value.Type != vaSet) {
                    InvalidValue();
                }
                uint64_t bits = 0;
                for (const std::string& name : value.Set) {
                    int index = p.Enum->IndexOf(name);
                    if (index < 0 || index >= 64) {
                        InvalidValue();
                    }
                    bits |= uint64_t{1} << index;
                }
                return static_cast<int64_t>(bits);
            }
            case pkColor: {
                TColor color = 0;
                if (value.Type == vaIdent && IdentToColor(value.Text, color)) {
                    return color;
                }
                // A colour is a 32-bit pattern: $FF00000F (written as a 64-bit number,
                // being above the signed range) is the system colour 15.
                if (value.IsInteger() && value.Int > std::numeric_limits<int32_t>::max() &&
                    value.Int <= std::numeric_limits<uint32_t>::max()) {
                    return static_cast<TColor>(static_cast<uint32_t>(value.Int));
                }
                return Int32Of(value);
            }
            case pkCharset: {
                int32_t charset = 0;
                if (value.Type == vaIdent && IdentToCharset(value.Text, charset)) {
                    return charset;
                }
                int32_t number = Int32Of(value);
                if (number < 0 || number > 255) {
                    InvalidValue();
                }
                return number;
            }
            default: {
                int32_t number = 0;
                if (value.Type == vaIdent && p.IdentToInt != nullptr && p.IdentToInt(value.Text, number)) {
                    return number;
                }
                return Int32Of(value);
            }
        }
    }

    static int32_t Int32Of(const TStreamValue& value) {
        if (!value.IsInteger() || value.Int < std::numeric_limits<int32_t>::min() ||
            value.Int > std::numeric_limits<int32_t>::max()) {
            InvalidValue();
        }
        return static_cast<int32_t>(value.Int);
    }

    static std::string StringOf(const TStreamValue& value) {
        if (value.Type == vaString || value.Type == vaLString) {
            return value.Text;
        }
        if (!value.IsString()) {
            InvalidValue();
        }
        return WideToAnsi(value.AsWide());
    }

    static std::u16string WideOf(const TStreamValue& value) {
        if (!value.IsString()) {
            InvalidValue();
        }
        return value.AsWide();
    }

    // References resolve against the root and its components, once everything is read;
    // then every component read gets its after-read step, in reading order.
    void Finish() {
        for (const PendingReference& ref : m_references) {
            if (!Reachable(ref)) {
                continue;
            }
            TComponent* found = SameText(ref.Name, m_root.Name()) ? &m_root : m_root.FindComponent(ref.Name);
            if (found == nullptr) {
                const std::string& owner = ref.Holder->Name().empty() ? ref.Holder->ClassName() : ref.Holder->Name();
                throw EReadError(Format(msg::kErrorReading, {owner, ".", ref.ErrorPath, msg::kInvalidPropertyValue}));
            }
            ref.Property->SetComponent(*ref.Target, found);
        }
        ClearLoadingState();
        std::vector<TComponent*> loaded = m_loaded;
        for (TComponent* c : loaded) {
            if (!Gone(c)) {
                c->AfterRead();
            }
        }
    }

    void ClearLoadingState() {
        for (TComponent* c : m_loaded) {
            if (!Gone(c)) {
                c->ExcludeState(csLoading | csReading);
            }
        }
    }

    // A component destroyed while reading (by a setter, say) is no longer owned by the root.
    bool Gone(TComponent* c) const {
        if (c == &m_root) {
            return false;
        }
        for (TComponent* owned : m_root.ComponentList()) {
            if (owned == c) {
                return false;
            }
        }
        return true;
    }

    TBinaryReader m_reader;
    TComponent& m_root;
    std::vector<TComponent*> m_loaded;
    std::vector<PendingReference> m_references;
    std::vector<ItemPlace> m_items;  // the items being read into, outermost first
};

}  // namespace

void WriteObjectStream(TStream& stream, TComponent& object) {
    TBinaryWriter writer(stream);
    writer.WriteSignature();
    ObjectWriter(stream, object).WriteComponent(object);
}

void ReadObjectStream(TStream& stream, TComponent& object) {
    ObjectReader(stream, object).ReadRoot();
}

}  // namespace zaprelay
