#include "detail/DataRecordWriter.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "config/NodeTables.h"
#include "config/TextUtil.h"
#include "detail/Check.h"
#include "detail/CoordinateFormat.h"
#include "detail/DxfNumber.h"
#include "detail/RecordCapture.h"

namespace quarrow {
namespace {

// Copies a text to `to` and returns its end. Separators are mostly one byte and prefixes
// mostly empty: those need no call.
char* Put(char* to, std::string_view text) noexcept {
    if (text.size() == 1)
        *to = text[0];
    else if (!text.empty())
        std::memcpy(to, text.data(), text.size());
    return to + text.size();
}

char* PutInt(char* to, std::int32_t value) noexcept {
    return std::to_chars(to, to + kMaxIntLength, value).ptr;
}

// Writes the line or group counter, or leaves its field open when the counters are only
// known relative to the segment being read (see CounterHole).
char* PutCounter(ScanContext& ctx, char* to, std::int32_t value, bool group) {
    if (ctx.Holes == nullptr)
        return PutInt(to, value);
    const auto offset = static_cast<std::uint32_t>(to - ctx.Out.Buffer().data());
    ctx.Holes->push_back({offset, value, group});
    return to;
}

const std::string& Option(const ScanContext& ctx, int node) {
    return ctx.Settings.Config.DataOptions[static_cast<std::size_t>(node)];
}

// Writes coordinate `axis` (0 X, 1 Y, 2 Z) of the record at `to`; returns its end, or nullptr
// after naming the text that did not convert.
char* PutCoordinate(ScanContext& ctx, char* to, const DataRecord& record, int axis) {
    static constexpr int kDecimalsNodes[] = {kXDecimalsOption, kYDecimalsOption, kZDecimalsOption};
    const CoordinateOptions& options = ctx.Settings.Coordinates;
    const std::size_t a = static_cast<std::size_t>(axis);
    if (!options.DecimalsRead[a]) {
        FailConversion(ctx, Option(ctx, kDecimalsNodes[a]), -1,
                       std::string(kDataNodes[std::size_t(kDecimalsNodes[a] - 2)].Label) +
                           ", \"Decimals :\"",
                       NumberKind::Integer);
        return nullptr;
    }
    const int decimals = options.Decimals[a];
    if (axis == 2 && options.ZForced) {
        if (!options.ZForcedRead) {
            FailConversion(ctx, Option(ctx, kZForceOption), -1,
                           "Z (Elevation) coordinate, \"Force to :\"");
            return nullptr;
        }
        return Put(to, options.ZForcedField);
    }
    if (record.Computed != nullptr) {
        const Vector3& p = *record.Computed;
        const double value = axis == 0 ? p.X : axis == 1 ? p.Y : p.Z;
        if (char* end = WriteComputedCoordinate(to, value, decimals))
            return end;
        // Readers refuse values that are not finite; their text ("INF") would not read back.
        FailConversion(ctx,
                       std::isnan(value) ? "NAN"
                       : value < 0       ? "-INF"
                                         : "INF",
                       0, "computed coordinate");
        return nullptr;
    }
    const std::string_view text = axis == 0 ? record.X : axis == 1 ? record.Y : record.Z;
    if (char* end = WriteCoordinateText(to, text, decimals))
        return end;
    static constexpr std::string_view kWhat[] = {"X coordinate", "Y coordinate", "Z coordinate"};
    const std::int64_t line = axis == 0 ? record.XLine : axis == 1 ? record.YLine : record.ZLine;
    FailConversion(ctx, text, line, kWhat[a]);
    return nullptr;
}

// Returns true when a field of the record holds the separator. A record of n fields holds
// n - 1 separators between them; no prefix or label holds one (checked once per run).
bool HoldsSeparator(ScanContext& ctx, const DataRecord& record, std::string_view written) {
    const RunSettings& settings = ctx.Settings;
    const std::string_view separator = settings.Config.FieldSeparator;
    switch (settings.Separators) {
    case SeparatorCheck::None: return false;
    case SeparatorCheck::Every: return true;
    case SeparatorCheck::Texts: {
        // The texts are those of the entity: looked at once per entity, not per point.
        if (!ctx.SeparatorTextsChecked) {
            const RecordLayout& layout = settings.Layout;
            const std::string_view texts[] = {record.EntityType, record.Layer, record.Handle,
                                              record.BlockName, record.Text};
            ctx.SeparatorInTexts = false;
            for (std::size_t i = 0; i < 5; ++i)
                if (layout.Uses[i] > 0 && texts[i].find(separator) != std::string_view::npos)
                    ctx.SeparatorInTexts = true;
            ctx.SeparatorTextsChecked = true;
        }
        return ctx.SeparatorInTexts;
    }
    case SeparatorCheck::WholeRecord: {
        std::size_t found = 0;
        for (std::size_t at = written.find(separator); at != std::string_view::npos;
             at = written.find(separator, at + separator.size()))
            ++found;
        return found + 1 > settings.Fields.size();
    }
    }
    return false;
}

}  // namespace

bool WriteDataRecord(ScanContext& ctx, const DataRecord& record) {
    const RunSettings& settings = ctx.Settings;
    const RecordLayout& layout = settings.Layout;
    // Room for the longest record these texts can make, so that the pieces are written
    // through a pointer without a check each; nothing counts until Commit.
    const std::size_t room =
        layout.FixedRoom + layout.Uses[0] * record.EntityType.size() +
        layout.Uses[1] * record.Layer.size() + layout.Uses[2] * record.Handle.size() +
        layout.Uses[3] * record.BlockName.size() + layout.Uses[4] * record.Text.size();
    char* p = ctx.Out.Room(room);
    char* const start = p;
    const std::string_view separator = settings.Config.FieldSeparator;
    RunCounters& counters = ctx.Counters;
    bool first = true;
    for (const RecordField& field : settings.Fields) {
        if (!first)
            p = Put(p, separator);
        first = false;
        p = Put(p, field.Prefix);
        switch (field.Item) {
        case DataItem::LineNumber:
            p = PutCounter(ctx, p, counters.LineCounter, false);
            Advance(counters.LineCounter);
            break;
        case DataItem::X: p = PutCoordinate(ctx, p, record, 0); break;
        case DataItem::Y: p = PutCoordinate(ctx, p, record, 1); break;
        case DataItem::Z: p = PutCoordinate(ctx, p, record, 2); break;
        case DataItem::EntityType: p = Put(p, record.EntityType); break;
        case DataItem::EntityLayer: p = Put(p, record.Layer); break;
        case DataItem::EntityHandle: p = Put(p, record.Handle); break;
        case DataItem::BlockName: p = Put(p, record.BlockName); break;
        case DataItem::TextString: p = Put(p, record.Text); break;
        case DataItem::Label: p = Put(p, Option(ctx, kLabelTextOption)); break;
        case DataItem::SequentialNumber:
            p = PutInt(p, counters.SequentialCounter);
            Advance(counters.SequentialCounter);
            break;
        case DataItem::GroupNumber: p = PutCounter(ctx, p, counters.GroupCounter, true); break;
        }
        if (p == nullptr)
            return false;  // nothing committed: the record is not written
    }
    if (settings.Separators != SeparatorCheck::None &&
        HoldsSeparator(ctx, record, std::string_view(start, std::size_t(p - start))))
        Advance(ctx.SeparatorRecords);
    *p++ = '\r';
    *p++ = '\n';
    // The room was measured for the longest record these texts make.
    QUARROW_CHECK(std::size_t(p - start) <= room);
    ctx.Out.Commit(p);
    ++ctx.RecordCount;
    if (ctx.Capture != nullptr && !ctx.Capture->Take(record, {start, std::size_t(p - start) - 2}))
        return false;  // the preview has its records: the scan ends here
    if (!ctx.Out.FlushIfFull()) {
        ctx.Error = "Cannot write Data file \"" + ctx.DataPath + "\": " + ctx.Out.ErrorText();
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

}  // namespace quarrow
