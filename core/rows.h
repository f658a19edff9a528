// A set of rows of PermutationTable (0..119) as two machine words, and the constant row sets the
// search filters with.
#pragma once

#include <bit>
#include <cstdint>

namespace korvane {

class Rows {
public:
    constexpr Rows() = default;
    static constexpr Rows All() { return Rows(~0ull, (1ull << 56) - 1); }
    // Rows r with first <= r (first in 0..120).
    static constexpr Rows From(int first) {
        if (first <= 0) return All();
        if (first >= 120) return Rows();
        if (first < 64) return Rows(~0ull << first, (1ull << 56) - 1);
        return Rows(0, ((1ull << 56) - 1) & (~0ull << (first - 64)));
    }
    // Rows r with r < end (end in 0..120).
    static constexpr Rows Below(int end) { return All() & ~From(end); }

    constexpr void set(int r) { (r < 64 ? lo_ : hi_) |= 1ull << (r & 63); }
    constexpr bool test(int r) const { return ((r < 64 ? lo_ : hi_) >> (r & 63)) & 1u; }
    constexpr bool empty() const { return (lo_ | hi_) == 0; }
    constexpr int count() const { return std::popcount(lo_) + std::popcount(hi_); }
    // The lowest row, or 120 when empty.
    constexpr int first() const {
        return lo_ ? std::countr_zero(lo_) : hi_ ? 64 + std::countr_zero(hi_) : 120;
    }
    constexpr void removeFirst() {
        if (lo_) lo_ &= lo_ - 1;
        else hi_ &= hi_ - 1;
    }

    constexpr Rows operator&(Rows o) const { return Rows(lo_ & o.lo_, hi_ & o.hi_); }
    constexpr Rows operator|(Rows o) const { return Rows(lo_ | o.lo_, hi_ | o.hi_); }
    constexpr Rows operator^(Rows o) const { return Rows(lo_ ^ o.lo_, hi_ ^ o.hi_); }
    constexpr Rows operator~() const { return Rows(~lo_, ~hi_ & ((1ull << 56) - 1)); }
    constexpr Rows& operator&=(Rows o) { return *this = *this & o; }
    constexpr Rows& operator|=(Rows o) { return *this = *this | o; }
    friend constexpr bool operator==(Rows, Rows) = default;

    constexpr std::uint64_t low() const { return lo_; }   // rows 0..63
    constexpr std::uint64_t high() const { return hi_; }  // rows 64..119

private:
    constexpr Rows(std::uint64_t lo, std::uint64_t hi) : lo_(lo), hi_(hi) {}
    std::uint64_t lo_ = 0;
    std::uint64_t hi_ = 0;
};

} // namespace korvane
