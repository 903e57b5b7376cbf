// DXF drawings come from anywhere: any bytes must end in a report or an error message, with
// every kind and sub-option selected so that every reader runs. The first byte picks the block
// size, so line ends fall on block edges too. The same bytes are then read again with a second
// thread reading segments ahead (the second byte picks their size): anything but the very same
// outcome, message, Data bytes, report and counters is a fault.

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "config/ExportConfig.h"
#include "config/NodeTables.h"
#include "detail/ByteSource.h"
#include "engine/DataOutput.h"
#include "detail/DxfLineReader.h"
#include "detail/DxfScan.h"
#include "engine/ProcessingReport.h"
#include "engine/RunSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quarrow;
    static const ExportConfig config = [] {
        ExportConfig c;
        c.EntityFlags.fill(1);
        c.FieldSeparator = std::string(1, ',');
        c.HeaderLine = 1;
        c.BlockNameFilter = std::string("A*,?B");
        for (int node : {2, 28, 31})
            c.DataOptions[std::size_t(node)] = std::string(1, '1');
        for (int node : {5, 8, 11})
            c.DataOptions[std::size_t(node)] = std::string(1, '3');
        return c;
    }();
    // Every item, the attributes among them; quoted fields and plain UTF-8 text in a second
    // configuration, chosen by the first byte as the block size is.
    static const ExportConfig quoted = [] {
        ExportConfig c = config;
        c.QuoteFields = true;
        c.Text = TextMode::PlainUtf8;
        c.FieldSeparator = std::string("1");  // a separator numbers hold: counters quoted
        c.DataOptions[std::size_t(DataNode::AttributesTags)] = std::string("A, b ,,c");
        c.DataOptions[std::size_t(DataNode::AttributesPrefix)] = std::string("\"");
        return c;
    }();
    const DataOrderArray order = {0, 3, 6, 9, 13, 15, 17, 19, 21, 23, 26, 29, 32};
    SelectedKindsArray kinds;
    kinds.fill(1);
    const std::size_t blockSize = size > 0 ? 1 + data[0] % 64 : 1;
    const bool useQuoted = size > 0 && (data[0] & 64) != 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    RunSettings settings(useQuoted ? quoted : config, order, kinds);
    struct Scan {
        ScanResult Result;
        std::string Data;
        std::vector<std::string> Report;
        RunCounters Counters;
    };
    const auto scan = [&](std::size_t segmentSize) {
        Scan run;
        std::atomic<bool> cancel{false};
        ScanEnvironment env{settings, run.Counters, cancel, nullptr, blockSize};
        env.SegmentSize = segmentSize;
        MemoryByteSource source(bytes);
        DxfLineReader in(source, blockSize);
        DataOutput out;
        run.Result = ScanDxfInput(env, in, out, "fuzz.dxf", "fuzz.csv");
        run.Data = out.Buffer();
        ProcessingReport report;
        report.AddFileOutcome(FileReportOf(run.Result), kinds, settings.FilterText, true);
        run.Report = report.Lines;
        return run;
    };
    const Scan one = scan(0);
    const Scan two = scan(size > 1 ? 1 + data[1] % 97 : 1);
    if (two.Result.Outcome != one.Result.Outcome || two.Result.Error != one.Result.Error ||
        two.Data != one.Data || two.Report != one.Report ||
        two.Counters.LineCounter != one.Counters.LineCounter ||
        two.Counters.GroupCounter != one.Counters.GroupCounter ||
        two.Counters.SequentialCounter != one.Counters.SequentialCounter)
        std::abort();
    return 0;
}
