// Published-property reflection: each class declares its properties once, in a table of
// names, kinds, defaults and accessors, and the component stream reads and writes objects
// through that table. Events are bound by handler name to methods of the root being read.
#pragma once

#include "framework/rtl/accessor.h"
#include "framework/rtl/strings.h"

#include <any>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <utility>
#include <vector>

namespace zaprelay {

class TObject;
class TPersistent;
class TComponent;
class TStrings;
class TCollection;

enum TPropKind {
    pkInteger,  // 32-bit signed
    pkEnum,     // stored by identifier name
    pkBoolean,
    pkSet,         // bit i set = element i
    pkString,      // 8-bit (ANSI) text
    pkWideString,  // UTF-16 text
    pkColor,       // integer or a colour identifier
    pkCharset,     // integer or a character-set identifier
    pkObject,      // a persistent sub-object, streamed as "Name.Property"
    pkComponent,   // a reference to another component, by name
    pkEvent,       // a handler bound by method name
    pkStrings,     // the lines of a TStrings, streamed as a list of strings
    pkCollection,  // the items of a TCollection, each streamed with its own properties
};

// Identifier names of an enumeration, by ordinal value; also the element names of a set.
// Made only by MakeEnumInfo, which checks the count of names against the enumeration.
class TEnumInfo {
public:
    std::string TypeName;
    std::vector<std::string> Names;

    // The ordinal value of a name, matched ignoring ASCII letter case; -1 when unknown.
    int IndexOf(std::string_view name) const;

private:
    TEnumInfo(std::string typeName, std::vector<std::string> names)
        : TypeName(std::move(typeName)), Names(std::move(names)) {}

    template <auto Last, std::size_t N>
    friend TEnumInfo MakeEnumInfo(std::string typeName, const char* const (&names)[N]);
};

// The names of the values 0..Last of an enumeration, one per value: a table that misses or
// adds a name does not compile.
template <auto Last, std::size_t N>
TEnumInfo MakeEnumInfo(std::string typeName, const char* const (&names)[N]) {
    static_assert(std::is_enum_v<decltype(Last)>, "Last is the enumeration's last value");
    static_assert(static_cast<long long>(Last) >= 0 && N == static_cast<std::size_t>(Last) + 1,
                  "one name for each value from 0 to Last");
    return TEnumInfo(std::move(typeName), std::vector<std::string>(names, names + N));
}

// An event: a handler, and the method name it was bound by when read from a stream.
template <typename Signature>
class TEvent;

template <typename R, typename... Args>
class TEvent<R(Args...)> {
public:
    using Signature = R(Args...);
    using Handler = std::function<R(Args...)>;

    TEvent() = default;
    TEvent& operator=(Handler handler) {
        m_handler = std::move(handler);
        m_name.clear();
        return *this;
    }
    void Bind(std::string name, Handler handler) {
        m_name = std::move(name);
        m_handler = std::move(handler);
    }
    void Clear() {
        m_handler = nullptr;
        m_name.clear();
    }
    explicit operator bool() const { return static_cast<bool>(m_handler); }
    R operator()(Args... args) const { return m_handler(std::forward<Args>(args)...); }
    const std::string& HandlerName() const { return m_name; }

private:
    Handler m_handler;
    std::string m_name;
};

using TNotifyEvent = TEvent<void(TObject* sender)>;

// A method that events can be bound to by name. MakeHandler returns, inside std::any, a
// std::function of the method's signature bound to the given root object.
struct TMethodInfo {
    std::string Name;
    std::type_index Signature = typeid(void);
    TAccessor<std::any(TComponent& root)> MakeHandler;
};

struct TPropInfo {
    std::string Name;
    TPropKind Kind = pkInteger;
    std::optional<int64_t> Default;  // ordinal kinds: skipped by the writer when equal
    bool Stored = true;              // false: read, never written
    // When set, the property is written only while it answers true (a font that follows
    // its parent's is not written, say).
    TAccessor<bool(const TPersistent&)> StoredWhen;
    // pkInteger: identifiers for some values (a cursor's crHandPoint), read and written
    // in place of the number.
    bool (*IntToIdent)(int32_t value, std::string& name) = nullptr;
    bool (*IdentToInt)(std::string_view name, int32_t& value) = nullptr;
    const TEnumInfo* Enum = nullptr;  // pkEnum: value names; pkSet: element names

    TAccessor<int64_t(const TPersistent&)> GetOrd;
    TAccessor<void(TPersistent&, int64_t)> SetOrd;
    TAccessor<std::string(const TPersistent&)> GetString;
    TAccessor<void(TPersistent&, const std::string&)> SetString;
    TAccessor<std::u16string(const TPersistent&)> GetWide;
    TAccessor<void(TPersistent&, const std::u16string&)> SetWide;
    TAccessor<TPersistent*(TPersistent&)> GetObject;
    TAccessor<TComponent*(const TPersistent&)> GetComponent;
    TAccessor<void(TPersistent&, TComponent*)> SetComponent;
    std::type_index EventSignature = typeid(void);
    TAccessor<std::string(const TPersistent&)> GetHandlerName;
    // False when the handler's signature is not the event's.
    TAccessor<bool(TPersistent&, const std::string& name, const std::any& handler)> BindEvent;
    TAccessor<void(TPersistent&)> ClearEvent;
    TAccessor<TStrings*(TPersistent&)> GetStrings;
    TAccessor<TCollection*(TPersistent&)> GetCollection;

    bool IsOrdinal() const {
        return Kind == pkInteger || Kind == pkEnum || Kind == pkBoolean || Kind == pkSet || Kind == pkColor ||
               Kind == pkCharset;
    }
};

// A class's table. Only NewClassInfo makes a new one, checking at compile time that the
// class declares its own ClassInfo and StaticClassInfo and that the parent is a C++ base of it.
class TClassInfo {
public:
    const std::string& Name() const { return m_name; }
    const TClassInfo* Parent() const { return m_parent; }
    // The C++ class the table was made for.
    std::type_index Type() const { return m_type; }
    bool InheritsFrom(const TClassInfo& other) const;

    // Own properties in declaration order.
    const std::vector<TPropInfo>& OwnProperties() const { return m_properties; }
    // All properties, ancestors' first, each in declaration order. A property declared again
    // by a descendant (same name, ignoring ASCII letter case) keeps the ancestor's position
    // and takes the descendant's declaration.
    std::vector<const TPropInfo*> Properties() const;
    // By name, ignoring ASCII letter case; a class's own declaration hides an ancestor's.
    const TPropInfo* FindProperty(std::string_view name) const;
    const TMethodInfo* FindMethod(std::string_view name) const;

    // Creates a component of this class; empty unless the class declared itself Creatable.
    TAccessor<TComponent*(TComponent* owner)> Create;

    // A new property or method at the end, to be filled in. Out of line: the tables' builders
    // are instantiated for every class and property, and should hold only what differs.
    TPropInfo& NewProperty(std::string_view name, TPropKind kind);
    TMethodInfo& NewMethod(std::string_view name);
    TPropInfo& LastProperty() { return m_properties.back(); }

private:
    TClassInfo(std::string name, const TClassInfo* parent, std::type_index type)
        : m_name(std::move(name)), m_parent(parent), m_type(type) {}

    template <typename T, typename B>
    friend TClassInfo NewClassInfo(std::string name);
    template <typename T>
    friend TClassInfo NewClassInfo(std::string name);

    std::string m_name;
    const TClassInfo* m_parent;
    std::type_index m_type;
    std::vector<TPropInfo> m_properties;
    std::vector<TMethodInfo> m_methods;
};

namespace detail {

// &T::ClassInfo has this type only when T itself declares ClassInfo; an inherited one is a
// member of the class that declares it.
template <typename T>
inline constexpr bool kDeclaresClassInfo = std::is_same_v<decltype(&T::ClassInfo), const TClassInfo& (T::*)() const>;

// A static member found from T is B's own function when T declares none.
template <typename T, typename B>
inline constexpr bool kDeclaresStaticClassInfo = &T::StaticClassInfo != &B::StaticClassInfo;

}  // namespace detail

// The table of class T, whose parent is the table of its C++ base B. Without these checks a
// class that forgot its overrides would be written under its parent's name and read back as
// the parent.
template <typename T, typename B>
TClassInfo NewClassInfo(std::string name) {
    static_assert(std::is_base_of_v<B, T> && !std::is_same_v<B, T>, "B must be a base class of T");
    static_assert(detail::kDeclaresClassInfo<T>, "T must override ClassInfo()");
    static_assert(detail::kDeclaresStaticClassInfo<T, B>, "T must declare its own StaticClassInfo()");
    return TClassInfo(std::move(name), &B::StaticClassInfo(), typeid(T));
}

// The root's table (TObject only: every other class names its base).
template <typename T>
TClassInfo NewClassInfo(std::string name) {
    static_assert(std::is_same_v<T, TObject>, "only TObject has no parent; name T's base class");
    static_assert(detail::kDeclaresClassInfo<T>, "T must declare ClassInfo()");
    return TClassInfo(std::move(name), nullptr, typeid(T));
}

namespace detail {

template <typename Signature>
struct MethodBinder;

template <typename R, typename... Args>
struct MethodBinder<R(Args...)> {
    template <typename T, typename Method>
    static std::function<R(Args...)> Bind(T& self, Method method) {
        return [&self, method](Args... args) -> R { return (self.*method)(std::forward<Args>(args)...); };
    }
};

}  // namespace detail

// Fills the table of class T. Getters are member functions, data members or callables taking
// the object; setters are member functions or callables taking the object and the value.
template <typename T>
class TClassBuilder {
    static_assert(detail::kDeclaresClassInfo<T>, "T must override ClassInfo()");

public:
    // Raises std::logic_error when info was made for another class: the accessors would
    // cast objects of that class to T.
    explicit TClassBuilder(TClassInfo& info) : m_info(info) {
        if (info.Type() != typeid(T)) {
            throw std::logic_error("TClassBuilder<T> given the table of " + info.Name());
        }
    }

    template <typename Getter, typename Setter>
    TClassBuilder& Integer(std::string_view name, Getter get, Setter set, std::optional<int64_t> def = std::nullopt) {
        return Ordinal(name, pkInteger, nullptr, get, set, def);
    }
    template <typename Getter, typename Setter>
    TClassBuilder& Color(std::string_view name, Getter get, Setter set, std::optional<int64_t> def = std::nullopt) {
        return Ordinal(name, pkColor, nullptr, get, set, def);
    }
    template <typename Getter, typename Setter>
    TClassBuilder& Charset(std::string_view name, Getter get, Setter set, std::optional<int64_t> def = std::nullopt) {
        return Ordinal(name, pkCharset, nullptr, get, set, def);
    }
    template <typename Getter, typename Setter>
    TClassBuilder& Boolean(std::string_view name, Getter get, Setter set, std::optional<bool> def = std::nullopt) {
        std::optional<int64_t> ord;
        if (def) {
            ord = *def ? 1 : 0;
        }
        return Ordinal(name, pkBoolean, nullptr, get, set, ord);
    }
    template <typename Getter, typename Setter>
    TClassBuilder& Enum(std::string_view name, const TEnumInfo& names, Getter get, Setter set) {
        return Ordinal(name, pkEnum, &names, get, set, std::nullopt);
    }
    template <typename Getter, typename Setter, typename E>
    TClassBuilder& Enum(std::string_view name, const TEnumInfo& names, Getter get, Setter set, E def) {
        return Ordinal(name, pkEnum, &names, get, set, static_cast<int64_t>(def));
    }
    // get returns the element bits as an unsigned integer.
    template <typename Getter, typename Setter>
    TClassBuilder& Set(std::string_view name,
                       const TEnumInfo& elements,
                       Getter get,
                       Setter set,
                       std::optional<int64_t> def = std::nullopt) {
        return Ordinal(name, pkSet, &elements, get, set, def);
    }

    template <typename Getter, typename Setter>
    TClassBuilder& String(std::string_view name, Getter get, Setter set) {
        TPropInfo& p = m_info.NewProperty(name, pkString);
        p.GetString = [get](const TPersistent& o) { return std::string(std::invoke(get, Cast(o))); };
        p.SetString = [set](TPersistent& o, const std::string& v) { std::invoke(set, Cast(o), v); };
        return *this;
    }
    template <typename Getter, typename Setter>
    TClassBuilder& WideString(std::string_view name, Getter get, Setter set) {
        TPropInfo& p = m_info.NewProperty(name, pkWideString);
        p.GetWide = [get](const TPersistent& o) { return std::u16string(std::invoke(get, Cast(o))); };
        p.SetWide = [set](TPersistent& o, const std::u16string& v) { std::invoke(set, Cast(o), v); };
        return *this;
    }
    // get returns a pointer to a persistent sub-object owned by the object.
    template <typename Getter>
    TClassBuilder& Object(std::string_view name, Getter get) {
        TPropInfo& p = m_info.NewProperty(name, pkObject);
        p.GetObject = [get](TPersistent& o) -> TPersistent* { return std::invoke(get, Cast(o)); };
        return *this;
    }
    template <typename Getter, typename Setter>
    TClassBuilder& Component(std::string_view name, Getter get, Setter set) {
        TPropInfo& p = m_info.NewProperty(name, pkComponent);
        p.GetComponent = [get](const TPersistent& o) -> TComponent* { return std::invoke(get, Cast(o)); };
        p.SetComponent = [set](TPersistent& o, TComponent* c) { std::invoke(set, Cast(o), c); };
        return *this;
    }
    // get returns the TStrings whose lines the property holds.
    template <typename Getter>
    TClassBuilder& Strings(std::string_view name, Getter get) {
        TPropInfo& p = m_info.NewProperty(name, pkStrings);
        p.GetStrings = [get](TPersistent& o) -> TStrings* { return std::invoke(get, Cast(o)); };
        return *this;
    }
    // get returns the TCollection owned by the object.
    template <typename Getter>
    TClassBuilder& Collection(std::string_view name, Getter get) {
        TPropInfo& p = m_info.NewProperty(name, pkCollection);
        p.GetCollection = [get](TPersistent& o) -> TCollection* { return std::invoke(get, Cast(o)); };
        return *this;
    }
    template <typename Signature>
    TClassBuilder& Event(std::string_view name, TEvent<Signature> T::*member) {
        using Handler = typename TEvent<Signature>::Handler;
        TPropInfo& p = m_info.NewProperty(name, pkEvent);
        p.EventSignature = typeid(Signature);
        p.GetHandlerName = [member](const TPersistent& o) { return (Cast(o).*member).HandlerName(); };
        p.BindEvent = [member](TPersistent& o, const std::string& method, const std::any& handler) {
            const Handler* bound = std::any_cast<Handler>(&handler);
            if (bound == nullptr) {
                return false;
            }
            (Cast(o).*member).Bind(method, *bound);
            return true;
        };
        p.ClearEvent = [member](TPersistent& o) { (Cast(o).*member).Clear(); };
        return *this;
    }
    // A method of T that events read with T as the root can name.
    template <typename Signature, typename MethodPtr>
    TClassBuilder& Method(std::string_view name, MethodPtr method) {
        TMethodInfo& m = m_info.NewMethod(name);
        m.Signature = typeid(Signature);
        m.MakeHandler = [method](TComponent& root) -> std::any {
            return std::any(detail::MethodBinder<Signature>::Bind(static_cast<T&>(root), method));
        };
        return *this;
    }
    // Marks the last declared property as never written.
    TClassBuilder& NotStored() {
        m_info.LastProperty().Stored = false;
        return *this;
    }
    // The last declared property is written only while stored(object) is true.
    template <typename Predicate>
    TClassBuilder& StoredWhen(Predicate stored) {
        m_info.LastProperty().StoredWhen = [stored](const TPersistent& o) { return std::invoke(stored, Cast(o)); };
        return *this;
    }
    // The last declared integer property takes identifiers for some of its values.
    TClassBuilder& Idents(bool (*toIdent)(int32_t, std::string&), bool (*fromIdent)(std::string_view, int32_t&)) {
        m_info.LastProperty().IntToIdent = toIdent;
        m_info.LastProperty().IdentToInt = fromIdent;
        return *this;
    }
    // The class can be created by name (components only).
    TClassBuilder& Creatable() {
        m_info.Create = [](TComponent* owner) -> TComponent* { return new T(owner); };
        return *this;
    }

private:
    static const T& Cast(const TPersistent& o) { return static_cast<const T&>(o); }
    static T& Cast(TPersistent& o) { return static_cast<T&>(o); }

    template <typename Getter, typename Setter>
    TClassBuilder& Ordinal(std::string_view name,
                           TPropKind kind,
                           const TEnumInfo* names,
                           Getter get,
                           Setter set,
                           std::optional<int64_t> def) {
        TPropInfo& p = m_info.NewProperty(name, kind);
        p.Enum = names;
        p.Default = def;
        p.GetOrd = [get](const TPersistent& o) { return static_cast<int64_t>(std::invoke(get, Cast(o))); };
        p.SetOrd = [set](TPersistent& o, int64_t v) {
            if constexpr (std::is_member_function_pointer_v<Setter>) {
                using Arg = std::remove_cvref_t<decltype(ArgOf(set))>;
                std::invoke(set, Cast(o), static_cast<Arg>(v));
            } else {
                std::invoke(set, Cast(o), v);
            }
        };
        return *this;
    }

    // The parameter type of a setter member function.
    template <typename C, typename A>
    static A ArgOf(void (C::*)(A));

    TClassInfo& m_info;
};

}  // namespace zaprelay
