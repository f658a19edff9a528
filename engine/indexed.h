// The engine's arrays, indexed by the integers it computes with: categories, choices, rows, slots and
// constraint numbers take part in arithmetic as ints, sets of slots as unsigned words, and the conversion
// of each to an index is written once, here.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>

namespace korvane {

// A std::array indexed by any integer, converted as it is (an unsigned set of slots costs no sign
// extension).
template <class T, std::size_t N>
struct Indexed : std::array<T, N> {
    template <std::integral I>
    constexpr T& operator[](I i) {
        return std::array<T, N>::operator[](static_cast<std::size_t>(i));
    }
    template <std::integral I>
    constexpr const T& operator[](I i) const {
        return std::array<T, N>::operator[](static_cast<std::size_t>(i));
    }
};

} // namespace korvane
