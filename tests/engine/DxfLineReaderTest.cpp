#include "detail/DxfLineReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "detail/ByteSource.h"

namespace quarrow {
namespace {

struct Observed {
    std::vector<std::string> lines;
    std::vector<bool> atEndAfter;
    std::vector<std::int64_t> lineNumbers;
    std::uint64_t finalPosition = 0;

    bool operator==(const Observed&) const = default;
};

// Reads every line until AtEnd, then two lines past the end; twoAtOnce takes two lines with
// PeekTwoLines whenever it finds them.
Observed ReadAll(std::string_view bytes, std::size_t blockSize, bool twoAtOnce = false) {
    MemoryByteSource source(bytes);
    DxfLineReader reader(source, blockSize);
    Observed o;
    while (!reader.AtEnd()) {
        DxfLineReader::TwoLines two;
        if (twoAtOnce && reader.PeekTwoLines(two)) {
            o.lines.emplace_back(two.First);
            o.lines.emplace_back(two.Second);
            reader.Skip(two.BothLength, 2);
            o.atEndAfter.push_back(false);
            o.atEndAfter.push_back(reader.AtEnd());
            o.lineNumbers.push_back(reader.LineNumber() - 1);
            o.lineNumbers.push_back(reader.LineNumber());
            continue;
        }
        o.lines.emplace_back(reader.NextLine());
        o.atEndAfter.push_back(reader.AtEnd());
        o.lineNumbers.push_back(reader.LineNumber());
    }
    for (int i = 0; i < 2; ++i) {
        o.lines.emplace_back(reader.NextLine());
        o.lineNumbers.push_back(reader.LineNumber());
    }
    o.finalPosition = reader.Position();
    return o;
}

constexpr std::size_t kBlockSizes[] = {1, 2, 3, 7, 64, DxfLineReader::kDefaultBlockSize};

TEST(DxfLineReaderTest, SplitsLinesTheSameAtEveryBlockSize) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;  // then two empty lines past the end
    };
    // Every line-end form, Ctrl-Z, a missing last line feed and the empty file, so that each
    // CR, LF and Ctrl-Z lands on a block edge at some block size.
    // clang-format off
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"lf", "0\nPOINT\n", {"0", "POINT"}},
        {"crlf", "  0\r\nPOINT\r\n 10\r\n1.5\r\n", {"  0", "POINT", " 10", "1.5"}},
        {"no_final_lf", "A\nB", {"A", "B"}},
        {"empty_lines", "\n\r\n\n", {"", "", ""}},
        // After a first line ended by LF, a CR anywhere is dropped.
        {"lone_cr_dropped", "L\nAB\rCD\nE\r", {"L", "ABCD", "E"}},
        {"cr_cr_lf", "A\r\r\nB\n", {"A", "B"}},
        {"ctrl_z_ends_text", "A\nB\x1a" "C\nD\n", {"A", "B"}},
        {"ctrl_z_after_lf", "A\n\x1a\nB\n", {"A"}},
        {"blanks_kept", "  ENTITIES  \n\tX\n", {"  ENTITIES  ", "\tX"}},
        {"long_line", std::string(300, 'x') + "\nY\n", {std::string(300, 'x'), "Y"}},
        // Short lines with text after them, where the reader looks at 16 bytes at once.
        {"crs_in_short_lines", "L\nA\r\rB\r\n\r\nC\rD\nEFGHIJ\r\n\rX\r\n0123456789\n",
         {"L", "AB", "", "CD", "EFGHIJ", "X", "0123456789"}},
        // A first line ended by a CR alone: CR ends every line and LFs are dropped.
        {"lone_cr_line_ends", "  0\rPOINT\r 10\r1.5\r", {"  0", "POINT", " 10", "1.5"}},
        {"lone_cr_with_stray_lfs", "A\rB\nC\r\nD\r\n\nE", {"A", "BC", "D", "E"}},
        {"lone_cr_run_then_text", "A\r\rB\r", {"A", "", "B"}},
        {"lone_cr_at_the_end", "ABC\r", {"ABC"}},
        {"lone_cr_before_ctrl_z", "AB\r\x1a\nC\n", {"AB"}},
        {"lone_cr_bom", "\xEF\xBB\xBF" "A\rB\r", {"\xEF\xBB\xBF" "A", "B"}},
        // A run of CRs before an LF is an LF line end: the text is read as today.
        {"cr_run_then_lf_first", "A\r\r\r\nB\rC\n", {"A", "BC"}},
        {"seven_and_eight", "1234567\n12345678\r\n123456\r\n\n",
         {"1234567", "12345678", "123456", ""}},
        {"fifteen_and_sixteen",
         "123456789012345\n1234567\r89012345\r\n123456789012\r\n\r\n12345678901234567890\n",
         {"123456789012345", "123456789012345", "123456789012", "", "12345678901234567890"}},
        // Pairs read two lines at a time: carriage returns before, inside and after each
        // line, and second lines ending at the 31st, 32nd and 33rd byte.
        {"pairs",
         "  8\r\nLAYER\r\n 10\r\n1.\r5\r\n 20\r\n\r2.5\r\n 30\r\r\n3\r\n\n\n"
         "12345\r\n1234567890123456789012345\n"
         "12345\r\n12345678901234567890123456\r\n"
         "1234\n12345678901234567890123456\r\n 0\r\nEOF\r\n",
         {"  8", "LAYER", " 10", "1.5", " 20", "2.5", " 30", "3", "", "", "12345",
          "1234567890123456789012345", "12345", "12345678901234567890123456", "1234",
          "12345678901234567890123456", " 0", "EOF"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Observed reference = ReadAll(c.bytes, DxfLineReader::kDefaultBlockSize);
        std::vector<std::string> expected = c.lines;
        expected.push_back("");
        expected.push_back("");
        EXPECT_EQ(reference.lines, expected);
        // The last real line leaves the reader at its end, none before it does.
        for (std::size_t i = 0; i < reference.atEndAfter.size(); ++i)
            EXPECT_EQ(reference.atEndAfter[i], i + 1 == reference.atEndAfter.size()) << i;
        // Lines past the end are not counted.
        EXPECT_EQ(reference.lineNumbers.back(), std::int64_t(c.lines.size()));
        for (std::size_t blockSize : kBlockSizes) {
            SCOPED_TRACE(blockSize);
            EXPECT_EQ(ReadAll(c.bytes, blockSize), reference);
            EXPECT_EQ(ReadAll(c.bytes, blockSize, true), reference);
        }
    }
}

TEST(DxfLineReaderTest, PositionCountsConsumedBytes) {
    MemoryByteSource source("ab\ncd\nef");
    DxfLineReader reader(source, 2);
    EXPECT_EQ(reader.Position(), 0u);
    (void)reader.NextLine();
    EXPECT_EQ(reader.Position(), 3u);
    (void)reader.NextLine();
    (void)reader.NextLine();
    EXPECT_EQ(reader.Position(), 8u);
}

TEST(DxfLineReaderTest, AnOverlongLineIsCutAndTheNextLineSurvives) {
    // Whether the line feed lies in the block that crosses the limit or in a later one, the
    // line is cut at the same length, whatever the block size.
    // The line starts at a block edge or a few bytes after one.
    for (const std::size_t extra : {std::size_t(1), std::size_t(5000), std::size_t(600000)}) {
        for (const std::string_view before : {"", "AB\n"}) {
            std::string bytes(before);
            bytes += std::string(DxfLineReader::kMaxLineLength + extra, 'x');
            bytes += "\nNEXT\n";
            for (const std::size_t block : {std::size_t(4096), DxfLineReader::kDefaultBlockSize}) {
                SCOPED_TRACE(std::to_string(extra) + " past the limit, block " +
                             std::to_string(block) + ", after " + std::to_string(before.size()) +
                             " bytes");
                MemoryByteSource source(bytes);
                DxfLineReader reader(source, block);
                if (!before.empty()) {
                    EXPECT_EQ(reader.NextLine(), "AB");
                }
                EXPECT_EQ(reader.NextLine().size(), DxfLineReader::kMaxLineLength);
                EXPECT_EQ(reader.NextLine(), "NEXT");
                EXPECT_TRUE(reader.AtEnd());
            }
        }
    }
}

// A source that fails after its first bytes, as a disk error would.
class FailingSource final : public ByteSource {
public:
    std::ptrdiff_t Read(char* buffer, std::size_t size) noexcept override {
        if (done_)
            return -1;
        done_ = true;
        const std::string_view first = "A\nB";
        const std::size_t n = std::min(size, first.size());
        std::copy_n(first.data(), n, buffer);
        return std::ptrdiff_t(n);
    }
    std::string ErrorText() const override { return "Input/output error"; }

private:
    bool done_ = false;
};

TEST(DxfLineReaderTest, AReadFailureEndsTheTextAndIsReported) {
    FailingSource source;
    DxfLineReader reader(source, 64);
    EXPECT_EQ(reader.NextLine(), "A");
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(reader.NextLine(), "B");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(reader.ErrorText(), "Input/output error");
}

}  // namespace
}  // namespace quarrow
