// The second thread reads through a second source over the same file. Whatever that source
// does (not open, fail to read at any point, fail to seek), the scan must give the bytes,
// report, counters and error of reading on one thread: the chunks it could not read are read
// again on this thread, and its own error never reaches the run.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "detail/ByteSource.h"
#include "detail/DxfLineReader.h"
#include "detail/DxfScan.h"
#include "support/EngineHarness.h"

namespace quarrow {
namespace {

using test::Dxf;

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

// What goes wrong with the second source.
struct Fault {
    const char* name;
    bool opens = true;
    std::uint64_t readFailsAfter = kNever;  // bytes given before Read returns -1
    bool readFailsOnce = false;             // then reads go on as if nothing happened
    std::uint64_t seekFailsFrom = kNever;   // Seek calls that succeed before the rest fail
};

// What the test learns of the second source, which lives on the other thread.
struct Probe {
    std::atomic<bool> opened{false};
    std::atomic<bool> faulted{false};
};

// The second source: the bytes in memory, with the fault.
class FaultySource final : public ByteSource {
public:
    FaultySource(std::string_view bytes, const Fault& fault, Probe& probe)
        : bytes_(bytes), fault_(fault), probe_(probe) {}

    std::ptrdiff_t Read(char* buffer, std::size_t size) noexcept override {
        if (given_ >= fault_.readFailsAfter && !failedOnce_) {
            failedOnce_ = fault_.readFailsOnce;
            probe_.faulted.store(true);
            return -1;
        }
        if (fault_.readFailsAfter != kNever && !failedOnce_)
            size = std::min<std::uint64_t>(size, fault_.readFailsAfter - given_);
        const std::ptrdiff_t got = bytes_.Read(buffer, size);
        given_ += std::uint64_t(got);
        return got;
    }
    // A text no scan on one thread gives: seen in the run's error, it came from here.
    std::string ErrorText() const override { return "second source broke"; }
    std::uint64_t Size() const noexcept override { return bytes_.Size(); }
    bool Seek(std::uint64_t offset) noexcept override {
        if (seeks_++ >= fault_.seekFailsFrom) {
            probe_.faulted.store(true);
            return false;
        }
        return bytes_.Seek(offset);
    }

private:
    MemoryByteSource bytes_;
    const Fault fault_;
    Probe& probe_;
    std::uint64_t given_ = 0;
    bool failedOnce_ = false;
    std::uint64_t seeks_ = 0;
};

// The first source reads the bytes as they are; the sources it opens carry the fault.
class FirstSource final : public ByteSource {
public:
    FirstSource(std::string_view bytes, const Fault& fault, Probe& probe)
        : bytes_(bytes), text_(bytes), fault_(fault), probe_(probe) {}

    std::ptrdiff_t Read(char* buffer, std::size_t size) noexcept override {
        return bytes_.Read(buffer, size);
    }
    std::uint64_t Size() const noexcept override { return bytes_.Size(); }
    bool Seek(std::uint64_t offset) noexcept override { return bytes_.Seek(offset); }
    std::unique_ptr<ByteSource> OpenAnother() const override {
        probe_.opened.store(true);
        if (!fault_.opens) {
            probe_.faulted.store(true);
            return nullptr;
        }
        return std::make_unique<FaultySource>(text_, fault_, probe_);
    }

private:
    MemoryByteSource bytes_;
    std::string_view text_;
    const Fault fault_;
    Probe& probe_;
};

// Points, lines and polylines: entities of one line pair and of many, so that chunks start
// inside entities and between them.
std::string Drawing(int n) {
    std::string text = Dxf({"0", "SECTION", "2", "ENTITIES"});
    for (int i = 0; i < n; ++i) {
        const std::string v = std::to_string(i);
        text += Dxf({"0", "POINT", "8", "0", "10", v, "20", "1." + v, "30", "2"});
        text += Dxf({"0", "LINE", "10", v, "20", "0", "11", "5", "21", v});
        text += Dxf({"0", "LWPOLYLINE", "90", "3", "10", "1", "20", "2", "10", "3", "20", "4", "10",
                     v, "20", v});
    }
    return text;
}

TEST(SecondSourceTest, AFailingSecondSourceGivesTheBytesOfOneThread) {
    const std::string good = Drawing(300) + Dxf({"0", "ENDSEC", "0", "EOF"});
    // A bad number near the end: the error and its line number are those of one thread.
    const std::string bad =
        Drawing(300) + Dxf({"0", "POINT", "10", "1,5", "20", "2", "0", "ENDSEC", "0", "EOF"});
    const Fault faults[] = {
        {"works"},
        {"cannot_be_opened", false},
        {"read_fails_from_the_start", true, 0},
        {"read_fails_after_1000_bytes", true, 1000},
        {"read_fails_half_way", true, good.size() / 2},
        {"one_read_fails_then_reads_go_on", true, 1000, true},
        {"one_read_fails_half_way", true, good.size() / 2, true},
        {"seek_fails", true, kNever, false, 0},
        // The search for a chunk's first line seeks, then the reading of the chunk.
        {"seek_fails_after_the_first_search", true, kNever, false, 1},
        {"seek_fails_after_some_chunks", true, kNever, false, 9},
    };
    const test::TestConfig config = test::AllKindsConfig();
    std::map<std::string, int> hits;
    for (const std::string* dxf : {&good, &bad}) {
        SCOPED_TRACE(dxf == &good ? "good drawing" : "drawing with an error");
        for (const std::size_t blockSize : {std::size_t(100), DxfLineReader::kDefaultBlockSize}) {
            SCOPED_TRACE("block size " + std::to_string(blockSize));
            const test::ScanRun one = test::ScanTextOnce(config, *dxf, blockSize, {}, 0);
            ASSERT_EQ(one.Result.Outcome, dxf == &good ? ScanOutcome::Done : ScanOutcome::Failed);
            for (const Fault& fault : faults) {
                SCOPED_TRACE(fault.name);
                for (const std::size_t segmentSize : {64, 251, 4096}) {
                    SCOPED_TRACE("segment size " + std::to_string(segmentSize));
                    Probe probe;
                    FirstSource source(*dxf, fault, probe);
                    const test::ScanRun two =
                        test::ScanSourceOnce(config, source, blockSize, {}, segmentSize);
                    EXPECT_TRUE(probe.opened.load());
                    // Whether a fault late in the drawing is reached depends on how far the
                    // second thread got before this one finished: counted over all runs.
                    hits[fault.name] += probe.faulted.load() ? 1 : 0;
                    test::ExpectSameScan(two, one);
                }
            }
        }
    }
    for (const Fault& fault : faults)
        EXPECT_EQ(hits[fault.name] > 0, std::string_view(fault.name) != "works") << fault.name;
}

}  // namespace
}  // namespace quarrow
