#include "detail/SegmentScan.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "detail/ByteSource.h"
#include "detail/DxfScan.h"
#include "support/EngineHarness.h"

namespace quarrow {
namespace {

using test::Dxf;
using test::Entities;
using test::ScanText;

TEST(SegmentScanTest, ChunkStartsAtATypeLineAfterGroupCodeZero) {
    struct Case {
        const char* name;
        std::string bytes;
        std::uint64_t from, span;
        const char* startsWith;  // the bytes at the offset found; null: none found
        bool loneCr = false;     // lines end at a lone CR
    };
    // clang-format off
    const Case cases[] = {
        {"three_column_code", "10\n5.0\n  0\nLINE\n", 0, 100, "LINE\n"},
        {"crlf_and_bare_code", "5\r\n1A\r\n0\r\nPOINT\r\n", 0, 100, "POINT\r\n"},
        {"first_line_is_partial", "0\nARC\n  0\nCIRCLE\n", 1, 100, "CIRCLE\n"},
        {"digit_first_name", "x\n0\n3DFACE\n", 0, 100, "3DFACE\n"},
        {"vertex_and_seqend_skipped", "x\n0\nVERTEX\n0\nSEQEND\n0\nLINE\n", 0, 100, "LINE\n"},
        // A layer named "0" is followed by a group code, not by a name.
        {"layer_zero_then_code", "x\n8\n0\n10\n0\n20\n", 0, 100, nullptr},
        {"lower_case_name", "x\n0\nline\n", 0, 100, nullptr},
        {"code_with_text", "x\n0a\nLINE\n", 0, 100, nullptr},
        {"name_past_the_span", "x\n  0\nLINE\n", 0, 6, nullptr},
        {"name_line_not_ended", "x\n0\nLINE", 0, 100, nullptr},
        {"from_past_the_end", "x\n0\nLINE\n", 50, 100, nullptr},
        {"lone_cr_lines", "10\r5.0\r  0\rLINE\r", 0, 100, "LINE\r", true},
        // A name after a stray LF starts no chunk (the line reader drops it, this need not).
        {"lone_cr_lines_with_a_stray_lf", "x\r0\r\nPOINT\r0\rLINE\r", 0, 100, "LINE\r", true},
        {"line_feeds_end_nothing_there", "x\n0\nLINE\n", 0, 100, nullptr, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryByteSource source(c.bytes);
        const std::uint64_t start = FindSegmentStart(source, c.from, c.span, c.loneCr);
        if (c.startsWith == nullptr) {
            EXPECT_EQ(start, kNoSegmentStart);
        } else {
            ASSERT_LT(start, c.bytes.size());
            EXPECT_EQ(c.bytes.substr(start), c.startsWith);
        }
    }
}

// A drawing of n entities of every shape that matters at a chunk's edge; with closed false
// its section goes on to whatever is appended.
std::string MixedEntities(int n, bool closed = true) {
    std::string body = Dxf({"0", "SECTION", "2", "ENTITIES"});
    for (int i = 0; i < n; ++i) {
        const std::string v = std::to_string(i);
        body += Dxf({"0", "POINT", "8", "0", "10", v, "20", "1." + v, "30", "2"});
        body += Dxf({"0", "LWPOLYLINE", "5", "A" + v, "90", "3", "10", "1", "20", "2", "10", "3",
                     "20", "4", "10", v, "20", v});
        body += Dxf({"0",  "POLYLINE", "66", "1", "70", "8",  "0", "VERTEX", "10", v,
                     "20", "1",        "30", "2", "70", "32", "0", "VERTEX", "10", "3",
                     "20", v,          "30", "4", "70", "32", "0", "SEQEND"});
        body += Dxf({"0", "INSERT", "2", i % 3 == 0 ? "Door" : "WIN", "10", v, "20", "0"});
        body += Dxf({"0", "HATCH", "8", "LINE", "10", "7", "20", "7", "11", "8", "21", "8"});
    }
    return closed ? body + Dxf({"0", "ENDSEC", "0", "EOF"}) : body;
}

TEST(SegmentScanTest, DrawingsComeOutAsOnOneThreadWhereverTheChunksFall) {
    // ScanText reads each drawing again in segments of several sizes and expects the same
    // bytes, report, counters and errors; these are the shapes that meet a chunk's edge.
    struct Case {
        const char* name;
        std::string dxf;
        ScanOutcome outcome;
    };
    const std::string bigLayer(3 << 20, 'L');  // records outgrow a segment's room
    // clang-format off
    const Case cases[] = {
        {"mixed_entities", MixedEntities(300), ScanOutcome::Done},
        {"one_polyline_across_every_chunk",
         [] {
             std::string body = Dxf({"0", "SECTION", "2", "ENTITIES", "0", "LWPOLYLINE"});
             for (int i = 0; i < 2000; ++i)
                 body += Dxf({"10", std::to_string(i), "20", "0"});
             return body + Dxf({"0", "EOF"});
         }(),
         ScanOutcome::Done},
        // The polyline reads every entity up to a SEQEND as a vertex: this thread reads past
        // the start of the chunks read ahead there, which must be thrown away.
        {"polyline_swallows_points_up_to_a_seqend",
         [] {
             std::string body = Dxf({"0", "SECTION", "2", "ENTITIES", "0", "POLYLINE", "70",
                                     "8", "0", "VERTEX", "10", "1", "20", "2", "70", "32"});
             for (int i = 0; i < 1000; ++i) {
                 body += Dxf({"0", "POINT", "10", std::to_string(i), "20", "5"});
                 if (i == 500)
                     body += Dxf({"0", "SEQEND"});
             }
             return body + Dxf({"0", "ENDSEC", "0", "EOF"});
         }(),
         ScanOutcome::Done},
        {"error_late_in_the_file",
         MixedEntities(200, false) + Dxf({"0", "POINT", "10", "1,5", "20", "2", "0", "ENDSEC"}),
         ScanOutcome::Failed},
        // Cut short: the entity the end cuts is not converted, on either thread.
        {"cut_inside_the_last_entity",
         MixedEntities(200, false) + Dxf({"0", "POINT", "10", "1,5", "20"}), ScanOutcome::NotDxf},
        {"ctrl_z_in_the_middle", MixedEntities(100, false) + "\x1a" + MixedEntities(100),
         ScanOutcome::NotDxf},
        {"invalid_code_late_in_the_file",
         MixedEntities(200, false) + Dxf({"0", "POINT", "1O", "1", "20", "2"}),
         ScanOutcome::NotDxf},
        {"entities_after_the_section_end_unread",
         MixedEntities(200) + Dxf({"0", "POINT", "10", "1,5", "20", "2", "0x", "x"}),
         ScanOutcome::Done},
        {"no_line_feed_after_the_last_line",
         MixedEntities(100, false) + "0\nPOINT\n10\n1\n20\n2\n0\nENDSEC",
         ScanOutcome::Done},
        {"records_larger_than_a_segment",
         Entities({"0", "POINT", "8", bigLayer, "10", "1", "20", "2", "0", "POINT", "8",
                   bigLayer, "10", "3", "20", "4"}),
         ScanOutcome::Done},
    };
    // clang-format on
    test::TestConfig config = test::AllKindsConfig();
    config.Data({DataNode::LineNumber, DataNode::X, DataNode::Y, DataNode::Z, DataNode::EntityType,
                 DataNode::EntityLayer, DataNode::EntityHandle, DataNode::BlockName,
                 DataNode::TextString, DataNode::Label, DataNode::SequentialNumber,
                 DataNode::GroupNumber});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ScanRun run = ScanText(config, c.dxf);
        EXPECT_EQ(run.Result.Outcome, c.outcome) << run.Result.Error;
        EXPECT_FALSE(run.Data.empty());
    }
}

// Stops the run at its first progress report.
class CancelAtFirstProgress : public RunObserver {
public:
    explicit CancelAtFirstProgress(std::atomic<bool>& cancel) : cancel_(cancel) {}
    void Progress(std::uint64_t) override { cancel_.store(true); }

private:
    std::atomic<bool>& cancel_;
};

TEST(SegmentScanTest, CancelStopsBothThreads) {
    const test::TestConfig c = test::AllKindsConfig();
    RunSettings settings(c.Config, c.DataOrder, c.SelectedKinds);
    RunCounters counters;
    std::atomic<bool> cancel{false};
    CancelAtFirstProgress observer(cancel);
    ScanEnvironment env{settings, counters, cancel, &observer};
    env.SegmentSize = 64 * 1024;
    const std::string dxf = MixedEntities(20000);
    ASSERT_GT(dxf.size(), 4 * kProgressBudget);
    MemoryByteSource source(dxf);
    DxfLineReader in(source);
    DataOutput out;
    EXPECT_EQ(ScanDxfInput(env, in, out, "a.dxf", "a.csv").Outcome, ScanOutcome::Canceled);
    // Stopped near the first report, far from the end.
    EXPECT_LT(out.Buffer().size(), dxf.size() / 2);
}

}  // namespace
}  // namespace quarrow
