#include "detail/RecordCapture.h"

#include <limits>

#include "detail/DataRecordWriter.h"
#include "detail/DxfNumber.h"

namespace quarrow {
namespace {

double AxisValue(std::string_view text) noexcept {
    double value = 0.0;
    return ParseDxfDouble(text, value) ? value : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

bool RecordCapture::Take(const DataRecord& record, std::string_view written) {
    if (Full())
        return false;
    result_.Records.emplace_back(written);
    PreviewPoint point;
    if (record.Computed != nullptr) {
        point.X = record.Computed->X;
        point.Y = record.Computed->Y;
        point.Z = record.Computed->Z;
    } else {
        point.X = AxisValue(record.X);
        point.Y = AxisValue(record.Y);
        point.Z = AxisValue(record.Z);
    }
    std::vector<std::string>& types = result_.Types;
    std::size_t type = 0;
    while (type < types.size() && types[type] != record.EntityType)
        ++type;
    if (type == types.size())
        types.emplace_back(record.EntityType);
    point.Type = static_cast<std::uint16_t>(type);
    result_.Points.push_back(point);
    return !Full();
}

}  // namespace quarrow
