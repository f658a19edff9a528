// The network's memo: what a subproblem holds (its number of solutions, or only that it has one), by a
// key that tells the subproblem exactly (see docs/engine.md), in one flat table with linear probing. It
// grows to a bound, then starts again empty: forgetting only costs time.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/walk.h"

namespace korvane {

class Memo {
public:
    // What a key holds besides the domains: at most this many values read from placed rows.
    static constexpr std::size_t kFeatures = 24;
    // The words in use come first: a subproblem on few categories, with few constraints reading placed
    // rows, is hashed and compared in a few words.
    struct Key {
        std::array<std::uint64_t, 2 * kLevels + 1 + kFeatures / 2> words;
        std::size_t size; // set by Network::keyOf()
        void push(std::uint64_t word) { words[size++] = word; }
        friend bool operator==(const Key& a, const Key& b) {
            return a.size == b.size && std::equal(a.words.begin(), a.words.begin() + static_cast<std::ptrdiff_t>(a.size), b.words.begin());
        }
    };
    static std::size_t HashOf(const Key& k) {
        std::uint64_t h = 0x9E3779B97F4A7C15ull;
        for (std::size_t n = 0; n < k.size; ++n) h = (h ^ k.words[n]) * 0xBF58476D1CE4E5B9ull + (h >> 29);
        return static_cast<std::size_t>(h ^ (h >> 31));
    }
    static constexpr std::uint64_t kSome = ~0ull; // value: at least one solution, count unknown

    const std::uint64_t* find(const Key& key, std::size_t hash) const;
    void store(const Key& key, std::size_t hash, std::uint64_t value);

private:
    // A place of the table: where its key's words lie in words_, and the count.
    struct Entry {
        std::uint32_t from;
        std::uint32_t size;
        std::uint64_t value;
    };
    static constexpr std::size_t kLimit = 1 << 18;
    bool holds(const Entry& e, const Key& key) const {
        return e.size == key.size && std::equal(key.words.begin(), key.words.begin() + static_cast<std::ptrdiff_t>(key.size),
                                                words_.begin() + e.from);
    }
    void insert(std::uint64_t tag, const Entry& entry);
    // Probed first, a word per place: 0 when empty, else the key's hash with its low bit set. Keys are
    // compared only where the tag matches, so a probe seldom leaves this small array. The keys' words lie
    // one after another in words_: most keys are a few words, and the table stays small enough for the
    // caches.
    std::vector<std::uint64_t> tags_;
    std::vector<Entry> entries_;
    std::vector<std::uint64_t> words_;
    std::size_t used_ = 0;
};

} // namespace korvane
