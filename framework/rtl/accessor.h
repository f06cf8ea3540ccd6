// A callable of one signature for the property tables: a plain function given the callable's
// stored copy. The tables hold thousands of accessors, each a lambda of its own type; unlike
// std::function this makes no copy, destroy and type-information functions for each of them,
// only the call. What it holds must be small and trivially copyable (member and function
// pointers, lambdas capturing them), which the compiler checks.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace zaprelay {

template <typename Signature>
class TAccessor;

template <typename R, typename... Args>
class TAccessor<R(Args...)> {
public:
    TAccessor() = default;

    template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, TAccessor>>>
    TAccessor(F f) {  // NOLINT(google-explicit-constructor): assigned from lambdas as std::function is
        static_assert(std::is_trivially_copyable_v<F> && std::is_trivially_destructible_v<F>,
                      "an accessor holds only trivially copyable callables");
        static_assert(sizeof(F) <= kCapacity && alignof(F) <= kAlignment,
                      "the callable is larger than an accessor holds");
        ::new (static_cast<void*>(m_state)) F(f);
        m_call = [](const void* state, Args... args) -> R {
            return (*std::launder(static_cast<const F*>(state)))(std::forward<Args>(args)...);
        };
    }

    R operator()(Args... args) const { return m_call(m_state, std::forward<Args>(args)...); }
    explicit operator bool() const { return m_call != nullptr; }

private:
    // Two member-function pointers on any common ABI.
    static constexpr std::size_t kCapacity = 4 * sizeof(void*);
    // Not max_align_t: the toolchain's headers disagree about it between files.
    static constexpr std::size_t kAlignment = 8;

    R (*m_call)(const void*, Args...) = nullptr;
    alignas(kAlignment) unsigned char m_state[kCapacity] = {};
};

}  // namespace zaprelay
