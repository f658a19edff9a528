#include "engine/memo.h"

#include <algorithm>

namespace korvane {

const std::uint64_t* Memo::find(const Key& key, std::size_t hash) const {
    if (tags_.empty()) return nullptr;
    const std::uint64_t tag = static_cast<std::uint64_t>(hash) | 1u;
    const std::size_t mask = tags_.size() - 1;
    for (std::size_t at = (tag >> 1) & mask;; at = (at + 1) & mask) {
        if (tags_[at] == 0) return nullptr;
        if (tags_[at] == tag && holds(entries_[at], key)) return &entries_[at].value;
    }
}

void Memo::insert(std::uint64_t tag, const Entry& entry) {
    const std::size_t mask = tags_.size() - 1;
    std::size_t at = (tag >> 1) & mask; // where find() starts: the tag keeps every bit of the hash but the lowest
    while (tags_[at] != 0) at = (at + 1) & mask;
    tags_[at] = tag;
    entries_[at] = entry;
    ++used_;
}

void Memo::store(const Key& key, std::size_t hash, std::uint64_t value) {
    if (4 * (used_ + 1) > 3 * tags_.size()) { // keep a quarter free, so that probes stay short
        if (tags_.size() >= kLimit) {
            std::fill(tags_.begin(), tags_.end(), 0); // full: start again empty, in place
            words_.clear();
            used_ = 0;
        } else {
            if (tags_.empty()) words_.reserve(16 * 8); // room for the first table's keys, of a few words each
            std::vector<std::uint64_t> oldTags(tags_.empty() ? 16 : 2 * tags_.size(), 0);
            std::vector<Entry> oldEntries(oldTags.size());
            oldTags.swap(tags_);
            oldEntries.swap(entries_);
            used_ = 0;
            for (std::size_t n = 0; n < oldTags.size(); ++n)
                if (oldTags[n] != 0) insert(oldTags[n], oldEntries[n]);
        }
    }
    // One probe: the key's place if it is known, else the first free one, which find() would reach.
    const std::uint64_t tag = static_cast<std::uint64_t>(hash) | 1u;
    const std::size_t mask = tags_.size() - 1;
    std::size_t at = (tag >> 1) & mask;
    for (; tags_[at] != 0; at = (at + 1) & mask)
        if (tags_[at] == tag && holds(entries_[at], key)) {
            entries_[at].value = value;
            return;
        }
    tags_[at] = tag;
    entries_[at] = Entry{static_cast<std::uint32_t>(words_.size()), static_cast<std::uint32_t>(key.size), value};
    words_.insert(words_.end(), key.words.begin(), key.words.begin() + static_cast<std::ptrdiff_t>(key.size));
    ++used_;
}

} // namespace korvane
