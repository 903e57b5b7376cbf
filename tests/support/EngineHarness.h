#pragma once
// Builds run configurations in code and scans DXF text held in memory, for the engine tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "config/NodeTables.h"
#include "detail/ByteSource.h"
#include "engine/DataOutput.h"
#include "detail/DxfLineReader.h"
#include "detail/DxfScan.h"
#include "engine/ProcessingReport.h"
#include "engine/RunSettings.h"
#include "support/TempDir.h"

namespace quarrow::test {

// A configuration with its derived data order and selected kinds.
struct TestConfig {
    ExportConfig Config;
    DataOrderArray DataOrder{};
    SelectedKindsArray SelectedKinds{};

    // Checks the entity-tree nodes given (roots and sub-options alike).
    TestConfig& Entities(std::initializer_list<EntityNode> nodes) {
        Config.EntityFlags.fill(0);
        for (const EntityNode node : nodes)
            Config.EntityFlags[std::size_t(node)] = 1;
        return SelectKinds();
    }
    // Checks every kind and every sub-option.
    TestConfig& AllEntities() {
        Config.EntityFlags.fill(1);
        return SelectKinds();
    }
    // Sets the data order: the items given, in that order, then -1.
    TestConfig& Data(std::initializer_list<DataNode> items) {
        DataOrder.fill(-1);
        std::size_t i = 0;
        for (const DataNode item : items)
            DataOrder[i++] = int(item);
        return *this;
    }
    TestConfig& Option(DataNode node, std::string_view text) {
        SetDataOption(Config, int(node), text);
        return *this;
    }
    TestConfig& Option(int node, std::string_view text) {
        SetDataOption(Config, node, text);
        return *this;
    }
    TestConfig& Separator(std::string_view text) {
        Config.FieldSeparator = std::string(text);
        return *this;
    }
    TestConfig& Filter(std::string_view text) {
        Config.BlockNameFilter = std::string(text);
        return *this;
    }
    TestConfig& Header(bool on) {
        Config.HeaderLine = on ? 1 : 0;
        return *this;
    }
    TestConfig& Quote(bool on) {
        Config.QuoteFields = on;
        return *this;
    }
    TestConfig& Text(TextMode mode) {
        Config.Text = mode;
        return *this;
    }
    // The kinds whose roots are checked.
    TestConfig& SelectKinds() {
        for (int kind = 0; kind < kKindCount; ++kind)
            SelectedKinds[std::size_t(kind)] =
                Config.EntityFlags[std::size_t(kEntityKinds[std::size_t(kind)].RootNode)];
        return *this;
    }
};

// Every kind and every sub-option; X, Y, Z with 3 decimals, comma, counters from 1.
inline TestConfig AllKindsConfig() {
    TestConfig c;
    c.AllEntities();
    c.Data({DataNode::X, DataNode::Y, DataNode::Z});
    c.Separator(",");
    c.Option(kLineStartOption, "1").Option(kSequentialStartOption, "1");
    c.Option(kGroupStartOption, "1");
    c.Option(kXDecimalsOption, "3").Option(kYDecimalsOption, "3").Option(kZDecimalsOption, "3");
    return c;
}

struct ScanRun {
    ScanResult Result;
    std::string Data;
    std::vector<std::string> Report;
    RunCounters Counters;
};

// Scans DXF text as a file's scan does once the files are open, with a block size and a
// segment size (0: one thread); the counters start from the Start-at options, or run on from
// those given.
inline ScanRun ScanSourceOnce(const TestConfig& c, ByteSource& source, std::size_t blockSize,
                              RunCounters counters, std::size_t segmentSize) {
    ScanRun run;
    run.Counters = counters;
    EXPECT_EQ(ApplyStartAtOptions(c.Config, run.Counters), -1);
    RunSettings settings(c.Config, c.DataOrder, c.SelectedKinds);
    std::atomic<bool> cancel{false};
    ScanEnvironment env{settings, run.Counters, cancel, nullptr, blockSize};
    env.SegmentSize = segmentSize;
    DxfLineReader in(source, blockSize);
    DataOutput out;
    run.Result = ScanDxfInput(env, in, out, "test.dxf", "test.csv");
    run.Data = out.Buffer();
    // The lines of the file's block after its head (a failed file's error is the run's to add).
    ProcessingReport report;
    report.AddFileOutcome(FileReportOf(run.Result), c.SelectedKinds, settings.FilterText, false);
    run.Report = report.Lines;
    return run;
}

// ScanSourceOnce of text in memory.
inline ScanRun ScanTextOnce(const TestConfig& c, std::string_view dxf, std::size_t blockSize,
                            RunCounters counters, std::size_t segmentSize) {
    MemoryByteSource source(dxf);
    return ScanSourceOnce(c, source, blockSize, counters, segmentSize);
}

// Expects two scans of one drawing to agree: outcome, error text, Data bytes, report lines and
// counters.
inline void ExpectSameScan(const ScanRun& two, const ScanRun& one) {
    EXPECT_EQ(two.Result.Outcome, one.Result.Outcome);
    EXPECT_EQ(two.Result.Error, one.Result.Error);
    EXPECT_EQ(two.Data, one.Data);
    EXPECT_EQ(two.Result.File.Records, one.Result.File.Records);
    EXPECT_EQ(two.Result.File.KindRecords, one.Result.File.KindRecords);
    EXPECT_EQ(two.Result.File.OtherKindEntities, one.Result.File.OtherKindEntities);
    EXPECT_EQ(two.Report, one.Report);
    EXPECT_EQ(two.Counters.LineCounter, one.Counters.LineCounter);
    EXPECT_EQ(two.Counters.GroupCounter, one.Counters.GroupCounter);
    EXPECT_EQ(two.Counters.SequentialCounter, one.Counters.SequentialCounter);
}

// Segment sizes that cut small test drawings into many chunks, at all sorts of places.
inline constexpr std::size_t kTestSegmentSizes[] = {1, 7, 24, 64, 251};

// Expects a scan read with segments ahead on a second thread to give what one thread gave:
// the same outcome, error text, Data bytes, report lines and counters.
inline void ExpectSameWithSegments(const ScanRun& one, const TestConfig& c, std::string_view dxf,
                                   std::size_t blockSize, RunCounters counters) {
    std::size_t previous = 0;
    for (std::size_t segmentSize : kTestSegmentSizes) {
        // At most a few hundred chunks: a large drawing cut into bytes only takes time.
        segmentSize = std::max(segmentSize, dxf.size() / 256);
        if (segmentSize == previous)
            continue;
        previous = segmentSize;
        SCOPED_TRACE("segment size " + std::to_string(segmentSize));
        ExpectSameScan(ScanTextOnce(c, dxf, blockSize, counters, segmentSize), one);
    }
}

// Scans DXF text on one thread, and checks that reading it in segments on two threads gives
// the very same result, so every scan test also covers the two-thread reading.
inline ScanRun ScanText(const TestConfig& c, std::string_view dxf,
                        std::size_t blockSize = DxfLineReader::kDefaultBlockSize,
                        RunCounters counters = {}) {
    ScanRun run = ScanTextOnce(c, dxf, blockSize, counters, 0);
    ExpectSameWithSegments(run, c, dxf, blockSize, counters);
    return run;
}

// Joins DXF group codes and values into a file's text, lines ended by CR LF. Pairs are given
// as "code", "value", ...; a lone entry (an odd one) is one line.
inline std::string Dxf(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// The Data file text of these records, each ended by CR LF as Dxf ends lines.
inline std::string Records(std::initializer_list<std::string_view> records) {
    return Dxf(records);
}

// The bytes of a drawing of tests/data/cad/ (made by its make-drawings.py).
inline std::string CadDrawing(const std::string& name) {
    return ReadFileBytes(std::string(QUARROW_TEST_DATA) + "/cad/" + name);
}

// Wraps entity lines into a minimal file: the ENTITIES section, then ENDSEC and EOF.
inline std::string Entities(std::initializer_list<std::string_view> lines) {
    return Dxf({"0", "SECTION", "2", "ENTITIES"}) + Dxf(lines) + Dxf({"0", "ENDSEC", "0", "EOF"});
}

}  // namespace quarrow::test
