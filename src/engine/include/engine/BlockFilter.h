#pragma once
// The block-name filter of INSERT entities ("DOOR*, WIN?") and the per-file tally of exported
// block references.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quarrow {

// Returns true when name matches pattern: "*" any sequence, "?" one character, letters a-z
// compared without case; once the name is used up, the rest of the pattern must be empty or
// exactly one "*". Runs in time proportional to the product of the two lengths.
bool MatchBlockPattern(std::string_view name, std::string_view pattern);

// Returns true when name passes the comma-separated filter (an empty last item passes all).
bool MatchBlockFilter(std::string_view filter, std::string_view name);

// A filter text split once per run, for the per-entity test.
class BlockNameFilter {
public:
    explicit BlockNameFilter(std::string_view filter);
    // Returns true when the filter text was empty: no filter applies.
    bool Empty() const noexcept { return empty_; }
    // Returns true when name passes (see MatchBlockFilter).
    bool Passes(std::string_view name) const;

private:
    std::vector<std::string> items_;  // every item but the last, trimmed
    std::string last_;                // the text after the last comma, trimmed
    bool empty_;
};

// Exported references per block name, in order of first appearance; names compare without
// letter case (a-z) and keep the spelling of their first occurrence.
class BlockTally {
public:
    void Add(std::string_view name);
    // Adds count references to name at once (a later part of the file's tally).
    void Add(std::string_view name, std::int32_t count);
    void Clear();
    const std::vector<std::pair<std::string, std::int32_t>>& Entries() const noexcept {
        return entries_;
    }

private:
    std::vector<std::pair<std::string, std::int32_t>> entries_;
    std::unordered_map<std::string, std::size_t> byKey_;  // upper-cased name -> entry
};

}  // namespace quarrow
