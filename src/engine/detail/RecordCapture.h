#pragma once
// Keeps the records a preview asks for, as the record writer writes them, with their points.

#include <cstddef>
#include <string_view>

#include "engine/Preview.h"

namespace quarrow {

struct DataRecord;

class RecordCapture {
public:
    RecordCapture(PreviewResult& result, std::size_t maxRecords)
        : result_(result), maxRecords_(maxRecords) {}

    // Keeps a record just written (its text without the line end); returns false once the
    // records asked for are all kept, which ends the scan.
    [[nodiscard]] bool Take(const DataRecord& record, std::string_view written);
    bool Full() const noexcept { return result_.Records.size() >= maxRecords_; }

private:
    PreviewResult& result_;
    std::size_t maxRecords_;
};

}  // namespace quarrow
