#include "engine/DataRecordWriter.h"

#include <charconv>

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

// Formats one coordinate; on failure names the text that did not convert.
bool AppendCoordinate(ScanContext& ctx, std::string& out, std::string_view text,
                      std::int64_t line, int decimalsNode, std::string_view what) {
    switch (FormatCoordinate(out, text, Option(ctx, decimalsNode))) {
    case FormatStatus::Ok: return true;
    case FormatStatus::BadCoordinate: return FailConversion(ctx, text, line, what);
    case FormatStatus::BadDecimals:
        return FailConversion(ctx, Option(ctx, decimalsNode), -1,
                              std::string(kDataNodes[std::size_t(decimalsNode - 2)].Label) +
                                  ", \"Decimals :\"",
                              NumberKind::Integer);
    }
    return false;
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
        case DataItem::X:
            ok = AppendCoordinate(ctx, out, record.X, record.XLine, kXDecimalsOption,
                                  "X coordinate");
            break;
        case DataItem::Y:
            ok = AppendCoordinate(ctx, out, record.Y, record.YLine, kYDecimalsOption,
                                  "Y coordinate");
            break;
        case DataItem::Z: {
            const std::string& forced = Option(ctx, kZForceOption);
            if (!TrimText(forced).empty()) {
                ok = AppendCoordinate(ctx, out, forced, -1, kZDecimalsOption,
                                      "Z (Elevation) coordinate, \"Force to :\"");
            } else {
                ok = AppendCoordinate(ctx, out, record.Z, record.ZLine, kZDecimalsOption,
                                      "Z coordinate");
            }
            break;
        }
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
        ctx.Error = "Cannot write Data file \"" + ctx.DataPath + "\": " +
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
