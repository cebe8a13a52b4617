#pragma once

// What the core uses from C++20 and the web build's standard library (libc++ 13, Debian's
// emscripten) does not have yet, given to every file of that build with -include. Nothing here
// takes effect with a standard library that has them.
#include <version>

#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 14000
#include <algorithm>
#include <iterator>
#include <type_traits>

namespace std {

template <class To, class From>
requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> && is_trivially_copyable_v<From>) constexpr To
    bit_cast(const From& from) noexcept
{
    return __builtin_bit_cast(To, from);
}

namespace ranges {
inline constexpr struct {
    template <class Range, class Predicate>
    constexpr bool operator()(Range&& range, Predicate predicate) const
    {
        return std::all_of(std::begin(range), std::end(range), predicate);
    }
} all_of{};
}  // namespace ranges

}  // namespace std
#endif
