// Window messages as the class library sees them: the message record, and per-class handler
// tables keyed by message number whose lookups fall through to the base class's table.
#pragma once

#include "framework/rtl/persistent.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

namespace zaprelay {

struct TMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

inline uint16_t LoWord(uintptr_t value) {
    return static_cast<uint16_t>(value & 0xFFFF);
}
inline uint16_t HiWord(uintptr_t value) {
    return static_cast<uint16_t>((value >> 16) & 0xFFFF);
}
// The signed halves of a packed point (mouse positions may be negative).
inline int32_t PointX(intptr_t value) {
    return static_cast<int16_t>(value & 0xFFFF);
}
inline int32_t PointY(intptr_t value) {
    return static_cast<int16_t>((value >> 16) & 0xFFFF);
}
inline intptr_t MakePointParam(int32_t x, int32_t y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}

// The handlers of one class. A class's table names its base class's table as parent, so a
// message without a handler here is looked up there. Build it once, in a function-local
// static, with For<Class, Base>():
//
//   const TMessageTable& TButton::StaticMessageTable() {
//       static const TMessageTable table =
//           TMessageTable::For<TButton, TWinControl>().On<&TButton::CNCommand>(CN_COMMAND);
//       return table;
//   }
class TMessageTable {
public:
    using Handler = void (*)(TObject&, TMessage&);

    // A table of Class whose lookups fall through to Base's. Class must declare its own
    // MessageTable override, so a forgotten one cannot compile.
    template <typename Class, typename Base>
    static TMessageTable For() {
        static_assert(std::is_base_of_v<Base, Class> && !std::is_same_v<Base, Class>);
        static_assert(std::is_same_v<decltype(&Class::MessageTable), const TMessageTable& (Class::*)() const>,
                      "the class must override MessageTable()");
        return TMessageTable(&Base::StaticMessageTable());
    }
    // The root table of a hierarchy.
    static TMessageTable Root() { return TMessageTable(nullptr); }

    // Method is a member function void (C::*)(TMessage&) of a class C derived from TObject.
    template <auto Method>
    TMessageTable&& On(uint32_t msg) && {
        Add(msg, &Call<Method>);
        return std::move(*this);
    }

    // The handler for msg in this table or the nearest ancestor's; none when there is none.
    Handler Find(uint32_t msg) const {
        for (const TMessageTable* t = this; t != nullptr; t = t->m_parent) {
            auto it = std::lower_bound(t->m_entries.begin(), t->m_entries.end(), msg,
                                       [](const Entry& e, uint32_t m) { return e.Msg < m; });
            if (it != t->m_entries.end() && it->Msg == msg) {
                return it->Function;
            }
        }
        return nullptr;
    }
    const TMessageTable* Parent() const { return m_parent; }

private:
    struct Entry {
        uint32_t Msg;
        Handler Function;
    };

    explicit TMessageTable(const TMessageTable* parent) : m_parent(parent) {}

    template <typename M>
    struct MethodTraits;
    template <typename C>
    struct MethodTraits<void (C::*)(TMessage&)> {
        using Class = C;
    };

    // Tables are only searched from their own class down, so the object is a Class.
    template <auto Method>
    static void Call(TObject& object, TMessage& message) {
        using Class = typename MethodTraits<decltype(Method)>::Class;
        (static_cast<Class&>(object).*Method)(message);
    }

    void Add(uint32_t msg, Handler function) {
        auto it = std::lower_bound(m_entries.begin(), m_entries.end(), msg,
                                   [](const Entry& e, uint32_t m) { return e.Msg < m; });
        if (it != m_entries.end() && it->Msg == msg) {
            it->Function = function;
        } else {
            m_entries.insert(it, Entry{msg, function});
        }
    }

    const TMessageTable* m_parent;
    std::vector<Entry> m_entries;
};

}  // namespace zaprelay
