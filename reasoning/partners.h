// Which items can share a slot, for each pair of categories: what the explanation finds across the
// solutions, what the deduction leaves open, and the logic grid the explanation window draws.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/model.h"

namespace korvane {

// For each pair of categories, which choices can share a slot: bit (b - 1) of at(c1, a, c2) is set when
// item (c1, a) and item (c2, b) share a slot in at least one solution.
class PartnerTable {
public:
    std::uint8_t at(int category1, int choice, int category2) const { return masks_[index(category1, choice, category2)]; }
    std::uint8_t& at(int category1, int choice, int category2) { return masks_[index(category1, choice, category2)]; }

    friend bool operator==(const PartnerTable&, const PartnerTable&) = default;

private:
    static std::size_t index(int c1, int choice, int c2) {
        return static_cast<std::size_t>(((c1 - 1) * kCategories + (c2 - 1)) * kChoices + (choice - 1));
    }
    std::array<std::uint8_t, kCategories * kCategories * kChoices> masks_{};
};

} // namespace korvane
