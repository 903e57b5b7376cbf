#include "engine/BlockFilter.h"

#include <vector>

#include "config/TextUtil.h"
#include "engine/RunSettings.h"

namespace quarrow {
namespace {

constexpr char UpperAscii(char c) noexcept {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

}  // namespace

// The matcher is defined recursively: "?" takes one character, a literal must be equal, and
// "*" tries the rest of the pattern against every suffix of the name, down to the empty one;
// once the name is used up, the rest of the pattern must be empty or exactly one "*".
// Written as that recursion it backtracks exponentially on patterns with many "*" (a
// 255-character filter could hang a run), so this computes the same answers bottom-up over the
// two positions: match[j] holds the answer for the name from position i and the pattern from
// position j, one row of the name at a time.
bool MatchBlockPattern(std::string_view name, std::string_view pattern) {
    const std::size_t n = name.size();
    const std::size_t m = pattern.size();
    std::vector<char> next(m + 1);  // row i + 1
    std::vector<char> row(m + 1);   // row i

    // Name used up: the pattern must be used up too, or be exactly one "*".
    for (std::size_t j = 0; j <= m; ++j)
        row[j] = j == m || (m - j == 1 && pattern[j] == '*');

    for (std::size_t i = n; i-- > 0;) {
        row.swap(next);
        row[m] = false;  // pattern used up before the name
        const char c = UpperAscii(name[i]);
        for (std::size_t j = m; j-- > 0;) {
            const char p = UpperAscii(pattern[j]);
            if (p == '*')
                row[j] = row[j + 1] || next[j];  // "*" matches nothing here, or one more char
            else if (p == '?' || p == c)
                row[j] = next[j + 1];
            else
                row[j] = false;
        }
    }
    return row[0] != 0;
}

BlockNameFilter::BlockNameFilter(std::string_view filter) : empty_(filter.empty()) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = filter.find(',', start);
        if (comma == std::string_view::npos) {
            last_ = std::string(TrimText(filter.substr(start)));
            break;
        }
        const std::string_view item = TrimText(filter.substr(start, comma - start));
        if (!item.empty())  // empty items before the last one are skipped
            items_.emplace_back(item);
        start = comma + 1;
    }
}

bool BlockNameFilter::Passes(std::string_view name) const {
    for (const auto& item : items_)
        if (MatchBlockPattern(name, item))
            return true;
    if (!last_.empty())
        return MatchBlockPattern(name, last_);
    return true;  // an empty last item lets every name pass
}

bool MatchBlockFilter(std::string_view filter, std::string_view name) {
    return BlockNameFilter(filter).Passes(name);
}

void BlockTally::Add(std::string_view name) {
    Add(name, 1);
}

void BlockTally::Add(std::string_view name, std::int32_t count) {
    std::string key(name);
    for (char& c : key)
        c = UpperAscii(c);
    const auto [it, inserted] = byKey_.try_emplace(std::move(key), entries_.size());
    if (inserted) {
        entries_.emplace_back(std::string(name), count);
    } else {
        std::int32_t& total = entries_[it->second].second;
        total = WrappingSum(total, count);
    }
}

void BlockTally::Clear() {
    entries_.clear();
    byKey_.clear();
}

}  // namespace quarrow
