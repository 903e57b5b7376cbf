#include "engine/BlockFilter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

namespace quarrow {
namespace {

// The matcher as users think of it, written as its plain recursion: the reference the fast
// version must agree with on every small input.
bool Reference(std::string_view name, std::string_view pattern) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
    while (!name.empty() && !pattern.empty()) {
        const char p = up(pattern.front());
        if (p == '?') {
            name.remove_prefix(1);
            pattern.remove_prefix(1);
        } else if (p == '*') {
            pattern.remove_prefix(1);
            for (std::size_t k = 0; k <= name.size(); ++k)
                if (Reference(name.substr(k), pattern))
                    return true;
            return false;
        } else if (up(name.front()) == p) {
            name.remove_prefix(1);
            pattern.remove_prefix(1);
        } else {
            return false;
        }
    }
    return (name.empty() && pattern.empty()) || pattern == "*";
}

TEST(BlockFilterTest, PatternsMatchAsTheirWildcardsSay) {
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    };
    // The rule for what remains of the pattern once the name is used up is the subtle one.
    // clang-format off
    const Case cases[] = {
        {"A", "A*", true},      {"ABC", "A*", true},    {"ABC", "A**", true},
        {"A", "A**", false},    {"X", "?", true},       {"", "?", false},
        {"XY", "?", false},     {"door12", "DOOR*", true}, {"WIN1", "WIN?", true},
        {"WIN12", "WIN?", false}, {"TABLE", "DOOR*", false}, {"*U12", "*U*", true},
        {"", "", true},         {"", "*", true},        {"", "**", false},
        {"AB", "**", true},     {"abc", "A?C", true},   {"\xE9t\xE9", "\xC9T\xC9", false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " ~ " + c.pattern);
        EXPECT_EQ(MatchBlockPattern(c.name, c.pattern), c.match);
        EXPECT_EQ(Reference(c.name, c.pattern), c.match);
    }
}

TEST(BlockFilterTest, AgreesWithTheRecursionOnRandomInputs) {
    std::mt19937 rng(12345);
    const std::string nameChars = "aAb*?";
    const std::string patternChars = "aAb*?";
    for (int i = 0; i < 20000; ++i) {
        std::string name(rng() % 7, ' ');
        for (char& c : name)
            c = nameChars[rng() % nameChars.size()];
        std::string pattern(rng() % 7, ' ');
        for (char& c : pattern)
            c = patternChars[rng() % patternChars.size()];
        ASSERT_EQ(MatchBlockPattern(name, pattern), Reference(name, pattern))
            << name << " ~ " << pattern;
    }
}

TEST(BlockFilterTest, ManyStarsAgainstLongNamesFinishQuickly) {
    const std::string pattern = std::string(127, '*') + "X" + std::string(127, '*') + "Y";
    const std::string name(100000, 'A');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(MatchBlockPattern(name, pattern));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(BlockFilterTest, FilterItemsAndTheLastItemRule) {
    struct Case {
        const char* filter;
        const char* name;
        bool passes;
    };
    // clang-format off
    const Case cases[] = {
        {"DOOR*, WIN?", "door12", true}, {"DOOR*, WIN?", "WIN1", true},
        {"DOOR*, WIN?", "WIN12", false}, {"DOOR*, WIN?", "TABLE", false},
        {"TREE,", "OAK", true},          {",TREE", "tree", true},
        {",TREE", "OAK", false},         {"   ", "ANY", true},
        {"A,,B", "B", true},             {"A,,B", "C", false},
        {" \tTREE \t", "Tree", true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.filter) + " / " + c.name);
        EXPECT_EQ(MatchBlockFilter(c.filter, c.name), c.passes);
    }
    EXPECT_TRUE(BlockNameFilter("").Empty());
    EXPECT_FALSE(BlockNameFilter(" ").Empty());
}

TEST(BlockFilterTest, TallyKeepsFirstSpellingAndOrder) {
    BlockTally tally;
    for (const char* name : {"Tree", "TREE", "Oak", "tree"})
        tally.Add(name);
    ASSERT_EQ(tally.Entries().size(), 2u);
    EXPECT_EQ(tally.Entries()[0], (std::pair<std::string, std::int32_t>{"Tree", 3}));
    EXPECT_EQ(tally.Entries()[1], (std::pair<std::string, std::int32_t>{"Oak", 1}));
    tally.Clear();
    EXPECT_TRUE(tally.Entries().empty());
}

}  // namespace
}  // namespace quarrow
