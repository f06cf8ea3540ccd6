// Published-property reflection: each class declares its properties once, in a table of
// names, kinds, defaults and accessors; the component stream, CopyFrom and the form loader
// all work from that table. Events are bound by handler name to methods of a root class.
#pragma once

#include "framework/rtl/strings.h"

#include <any>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

namespace zaprelay {

class TObject;
class TPersistent;
class TComponent;

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
};

// Identifier names of an enumeration, by ordinal value. Also the element names of a set.
struct TEnumInfo {
    std::string TypeName;
    std::vector<std::string> Names;

    // The ordinal value of a name, matched ignoring ASCII letter case; -1 when unknown.
    int IndexOf(std::string_view name) const;
};

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
    std::function<std::any(TComponent& root)> MakeHandler;
};

struct TPropInfo {
    std::string Name;
    TPropKind Kind = pkInteger;
    std::optional<int64_t> Default;   // ordinal kinds: skipped by the writer when equal
    bool Stored = true;               // false: read and copied, never written
    const TEnumInfo* Enum = nullptr;  // pkEnum: value names; pkSet: element names

    std::function<int64_t(const TPersistent&)> GetOrd;
    std::function<void(TPersistent&, int64_t)> SetOrd;
    std::function<std::string(const TPersistent&)> GetString;
    std::function<void(TPersistent&, const std::string&)> SetString;
    std::function<std::u16string(const TPersistent&)> GetWide;
    std::function<void(TPersistent&, const std::u16string&)> SetWide;
    std::function<TPersistent*(TPersistent&)> GetObject;
    std::function<TComponent*(const TPersistent&)> GetComponent;
    std::function<void(TPersistent&, TComponent*)> SetComponent;
    std::type_index EventSignature = typeid(void);
    std::function<std::string(const TPersistent&)> GetHandlerName;
    // False when the handler's signature is not the event's.
    std::function<bool(TPersistent&, const std::string& name, const std::any& handler)> BindEvent;
    std::function<void(TPersistent&)> ClearEvent;

    bool IsOrdinal() const {
        return Kind == pkInteger || Kind == pkEnum || Kind == pkBoolean || Kind == pkSet || Kind == pkColor ||
               Kind == pkCharset;
    }
};

class TClassInfo {
public:
    TClassInfo(std::string name, const TClassInfo* parent) : m_name(std::move(name)), m_parent(parent) {}

    const std::string& Name() const { return m_name; }
    const TClassInfo* Parent() const { return m_parent; }
    bool InheritsFrom(const TClassInfo& other) const;

    // Own properties in declaration order.
    const std::vector<TPropInfo>& OwnProperties() const { return m_properties; }
    // All properties, ancestors' first, each in declaration order.
    std::vector<const TPropInfo*> Properties() const;
    // By name, ignoring ASCII letter case; a class's own declaration hides an ancestor's.
    const TPropInfo* FindProperty(std::string_view name) const;
    const TMethodInfo* FindMethod(std::string_view name) const;

    // Creates a component of this class; empty for classes that are not components or
    // cannot be created by name.
    std::function<TComponent*(TComponent* owner)> Create;

    void AddProperty(TPropInfo info) { m_properties.push_back(std::move(info)); }
    TPropInfo& LastProperty() { return m_properties.back(); }
    void AddMethod(TMethodInfo info) { m_methods.push_back(std::move(info)); }

private:
    std::string m_name;
    const TClassInfo* m_parent;
    std::vector<TPropInfo> m_properties;
    std::vector<TMethodInfo> m_methods;
};

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

// Fills a class's table. Accessors are anything std::invoke takes with the object:
// member functions, data members or lambdas.
template <typename T>
class TClassBuilder {
public:
    explicit TClassBuilder(TClassInfo& info) : m_info(info) {}

    template <typename Getter, typename Setter>
    TClassBuilder& Integer(std::string name, Getter get, Setter set, std::optional<int64_t> def = std::nullopt) {
        return Ordinal(std::move(name), pkInteger, nullptr, get, set, def);
    }
    template <typename Getter, typename Setter>
    TClassBuilder& Color(std::string name, Getter get, Setter set, std::optional<int64_t> def = std::nullopt) {
        return Ordinal(std::move(name), pkColor, nullptr, get, set, def);
    }
    template <typename Getter, typename Setter>
    TClassBuilder& Charset(std::string name, Getter get, Setter set, std::optional<int64_t> def = std::nullopt) {
        return Ordinal(std::move(name), pkCharset, nullptr, get, set, def);
    }
    template <typename Getter, typename Setter>
    TClassBuilder& Boolean(std::string name, Getter get, Setter set, std::optional<bool> def = std::nullopt) {
        std::optional<int64_t> ord;
        if (def) {
            ord = *def ? 1 : 0;
        }
        return Ordinal(std::move(name), pkBoolean, nullptr, get, set, ord);
    }
    template <typename Getter, typename Setter>
    TClassBuilder& Enum(std::string name, const TEnumInfo& names, Getter get, Setter set) {
        return Ordinal(std::move(name), pkEnum, &names, get, set, std::nullopt);
    }
    template <typename Getter, typename Setter, typename E>
    TClassBuilder& Enum(std::string name, const TEnumInfo& names, Getter get, Setter set, E def) {
        return Ordinal(std::move(name), pkEnum, &names, get, set, static_cast<int64_t>(def));
    }
    // get returns the element bits as an unsigned integer.
    template <typename Getter, typename Setter>
    TClassBuilder& Set(std::string name,
                       const TEnumInfo& elements,
                       Getter get,
                       Setter set,
                       std::optional<int64_t> def = std::nullopt) {
        return Ordinal(std::move(name), pkSet, &elements, get, set, def);
    }

    template <typename Getter, typename Setter>
    TClassBuilder& String(std::string name, Getter get, Setter set) {
        TPropInfo p = Base(std::move(name), pkString);
        p.GetString = [get](const TPersistent& o) { return std::string(std::invoke(get, Cast(o))); };
        p.SetString = [set](TPersistent& o, const std::string& v) { std::invoke(set, Cast(o), v); };
        return Add(std::move(p));
    }
    template <typename Getter, typename Setter>
    TClassBuilder& WideString(std::string name, Getter get, Setter set) {
        TPropInfo p = Base(std::move(name), pkWideString);
        p.GetWide = [get](const TPersistent& o) { return std::u16string(std::invoke(get, Cast(o))); };
        p.SetWide = [set](TPersistent& o, const std::u16string& v) { std::invoke(set, Cast(o), v); };
        return Add(std::move(p));
    }
    // get returns a pointer to a persistent sub-object owned by the object.
    template <typename Getter>
    TClassBuilder& Object(std::string name, Getter get) {
        TPropInfo p = Base(std::move(name), pkObject);
        p.GetObject = [get](TPersistent& o) -> TPersistent* { return std::invoke(get, Cast(o)); };
        return Add(std::move(p));
    }
    template <typename Getter, typename Setter>
    TClassBuilder& Component(std::string name, Getter get, Setter set) {
        TPropInfo p = Base(std::move(name), pkComponent);
        p.GetComponent = [get](const TPersistent& o) -> TComponent* { return std::invoke(get, Cast(o)); };
        p.SetComponent = [set](TPersistent& o, TComponent* c) { std::invoke(set, Cast(o), c); };
        return Add(std::move(p));
    }
    template <typename Signature>
    TClassBuilder& Event(std::string name, TEvent<Signature> T::*member) {
        using Handler = typename TEvent<Signature>::Handler;
        TPropInfo p = Base(std::move(name), pkEvent);
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
        return Add(std::move(p));
    }
    // A method of T that events read with T as the root can name.
    template <typename Signature, typename MethodPtr>
    TClassBuilder& Method(std::string name, MethodPtr method) {
        TMethodInfo m;
        m.Name = std::move(name);
        m.Signature = typeid(Signature);
        m.MakeHandler = [method](TComponent& root) -> std::any {
            return std::any(detail::MethodBinder<Signature>::Bind(static_cast<T&>(root), method));
        };
        m_info.AddMethod(std::move(m));
        return *this;
    }
    // Marks the last declared property as never written.
    TClassBuilder& NotStored() {
        m_info.LastProperty().Stored = false;
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

    static TPropInfo Base(std::string name, TPropKind kind) {
        TPropInfo p;
        p.Name = std::move(name);
        p.Kind = kind;
        return p;
    }

    template <typename Getter, typename Setter>
    TClassBuilder& Ordinal(std::string name,
                           TPropKind kind,
                           const TEnumInfo* names,
                           Getter get,
                           Setter set,
                           std::optional<int64_t> def) {
        TPropInfo p = Base(std::move(name), kind);
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
        return Add(std::move(p));
    }

    // The parameter type of a setter member function.
    template <typename C, typename A>
    static A ArgOf(void (C::*)(A));

    TClassBuilder& Add(TPropInfo p) {
        m_info.AddProperty(std::move(p));
        return *this;
    }

    TClassInfo& m_info;
};

}  // namespace zaprelay
