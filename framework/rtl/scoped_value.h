// Gives a variable a value for a scope and puts the old one back on the way out, exceptions
// included: re-entrancy flags, the canvas being painted on, a state shown for one paint.
#pragma once

#include <utility>

namespace zaprelay {

template <typename T>
class TScopedValue {
public:
    TScopedValue(T& variable, T value) : m_variable(variable), m_old(std::exchange(variable, std::move(value))) {}
    ~TScopedValue() { m_variable = std::move(m_old); }
    TScopedValue(const TScopedValue&) = delete;
    TScopedValue& operator=(const TScopedValue&) = delete;

private:
    T& m_variable;
    T m_old;
};

}  // namespace zaprelay
