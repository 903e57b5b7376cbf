#include "engine/DataRecordWriter.h"

#include <charconv>
#include <cmath>

#include "config/NodeTables.h"
#include "config/TextUtil.h"
#include "engine/DxfNumber.h"

namespace quarrow {
namespace {

void AppendInt(std::string& out, std::int32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

const std::string& Option(const ScanContext& ctx, int node) {
    return ctx.Settings.Config.DataOptions[static_cast<std::size_t>(node)];
}

// Formats coordinate `axis` (0 X, 1 Y, 2 Z) of the record; on failure names the text that
// did not convert.
bool AppendCoordinate(ScanContext& ctx, std::string& out, const DataRecord& record, int axis) {
    static constexpr int kDecimalsNodes[] = {kXDecimalsOption, kYDecimalsOption,
                                             kZDecimalsOption};
    const CoordinateOptions& options = ctx.Settings.Coordinates;
    const std::size_t a = static_cast<std::size_t>(axis);
    if (!options.DecimalsRead[a])
        return FailConversion(ctx, Option(ctx, kDecimalsNodes[a]), -1,
                              std::string(kDataNodes[std::size_t(kDecimalsNodes[a] - 2)].Label) +
                                  ", \"Decimals :\"",
                              NumberKind::Integer);
    const int decimals = options.Decimals[a];
    if (axis == 2 && options.ZForced) {
        if (!options.ZForcedRead)
            return FailConversion(ctx, Option(ctx, kZForceOption), -1,
                                  "Z (Elevation) coordinate, \"Force to :\"");
        out += options.ZForcedField;
        return true;
    }
    if (record.Computed != nullptr) {
        const TVecteur& p = *record.Computed;
        const double value = axis == 0 ? p.X : axis == 1 ? p.Y : p.Z;
        // Readers refuse values that are not finite; their text ("INF") would not read back.
        return FormatComputedCoordinate(out, value, decimals) ||
               FailConversion(ctx, std::isnan(value) ? "NAN" : value < 0 ? "-INF" : "INF", 0,
                              "computed coordinate");
    }
    static constexpr std::string_view kWhat[] = {"X coordinate", "Y coordinate",
                                                 "Z coordinate"};
    const std::string_view text = axis == 0 ? record.X : axis == 1 ? record.Y : record.Z;
    if (FormatCoordinateText(out, text, decimals))
        return true;
    const std::int64_t line = axis == 0 ? record.XLine : axis == 1 ? record.YLine : record.ZLine;
    return FailConversion(ctx, text, line, kWhat[a]);
}

} // namespace

bool WriteDataRecord(ScanContext& ctx, const DataRecord& record) {
    std::string& out = ctx.Out.Buffer();
    const std::size_t start = out.size();
    const std::string& separator = ctx.Settings.Config.FieldSeparator;
    RunCounters& counters = ctx.Counters;
    bool any = false;
    for (const std::int32_t g : ctx.Settings.DataOrder) {
        if (!IsDataItemNode(g))
            continue;
        out += Option(ctx, g + 1);  // the item's prefix
        bool ok = true;
        switch (static_cast<DataItem>(g)) {
        case DataItem::LineNumber:
            AppendInt(out, counters.LineCounter);
            Advance(counters.LineCounter);
            break;
        case DataItem::X: ok = AppendCoordinate(ctx, out, record, 0); break;
        case DataItem::Y: ok = AppendCoordinate(ctx, out, record, 1); break;
        case DataItem::Z: ok = AppendCoordinate(ctx, out, record, 2); break;
        case DataItem::EntityType: out += record.EntityType; break;
        case DataItem::EntityLayer: out += record.Layer; break;
        case DataItem::EntityHandle: out += record.Handle; break;
        case DataItem::BlockName: out += record.BlockName; break;
        case DataItem::TextString: out += record.Text; break;
        case DataItem::Label: out += Option(ctx, kLabelTextOption); break;
        case DataItem::SequentialNumber:
            AppendInt(out, counters.SequentialCounter);
            Advance(counters.SequentialCounter);
            break;
        case DataItem::GroupNumber: AppendInt(out, counters.GroupCounter); break;
        }
        if (!ok) {
            out.resize(start);
            return false;
        }
        out += separator;
        any = true;
    }
    if (any)
        out.resize(out.size() - separator.size());
    out += "\r\n";
    if (!ctx.Out.FlushIfFull()) {
        ctx.Error = "Cannot write the Data file \"" + ctx.DataPath + "\": " +
                    ctx.Out.ErrorText();
        return false;
    }
    return true;
}

std::string BuildHeaderText(const DataOrderArray& dataOrder, std::string_view fieldSeparator) {
    std::string text;
    bool any = false;
    for (const std::int32_t g : dataOrder) {
        if (!IsDataItemNode(g))
            continue;
        text += kDataNodes[static_cast<std::size_t>(g)].Label;
        text += fieldSeparator;
        any = true;
    }
    if (any)
        text.resize(text.size() - fieldSeparator.size());
    return text;
}

} // namespace quarrow
