// DXF drawings come from anywhere: any bytes must end in a report or an error message, with
// every kind and sub-option selected so that every reader runs. The first byte picks the block
// size, so line ends fall on block edges too.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/ExportConfig.h"
#include "engine/ByteSource.h"
#include "engine/DataOutput.h"
#include "engine/DxfLineReader.h"
#include "engine/DxfScan.h"
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
    const DataOrderArray order = {0, 3, 6, 9, 13, 15, 17, 19, 21, 23, 26, 29};
    SelectedKindsArray kinds;
    kinds.fill(1);
    const std::size_t blockSize = size > 0 ? 1 + data[0] % 64 : 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    RunSettings settings(config, order, kinds);
    RunCounters counters;
    ProcessingReport report;
    std::atomic<bool> cancel{false};
    ScanEnvironment env{settings, counters, report, cancel, nullptr, blockSize};
    MemoryByteSource source(bytes);
    DxfLineReader in(source, blockSize);
    DataOutput out;
    (void)ScanDxfInput(env, in, out, "fuzz.dxf", "fuzz.csv");
    return 0;
}
