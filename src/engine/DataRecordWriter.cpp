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

// Returns true when the texts are equal without regard to ASCII letter case.
bool SameTag(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Writes an Attributes field: the value of the first attribute with the field's tag, or every
// attribute as TAG=value joined by "; ".
char* PutAttributes(char* to, const RunSettings& settings, const RecordField& field,
                    std::span<const AttributeText> attributes) noexcept {
    if (field.Attribute >= 0) {
        const std::string_view tag = settings.AttributeTags[std::size_t(field.Attribute)];
        for (const AttributeText& a : attributes)
            if (SameTag(a.Tag, tag))
                return Put(to, a.Value);
        return to;
    }
    bool first = true;
    for (const AttributeText& a : attributes) {
        if (!first)
            to = Put(to, "; ");
        first = false;
        to = Put(to, a.Tag);
        *to++ = '=';
        to = Put(to, a.Value);
    }
    return to;
}

// The room an Attributes field takes at most: every attribute as TAG=value with "; ".
std::size_t AttributesRoom(std::span<const AttributeText> attributes) noexcept {
    std::size_t room = 0;
    for (const AttributeText& a : attributes)
        room += a.Tag.size() + a.Value.size() + 3;
    return room;
}

// Returns true when the field's end and the separator after it make a separator that starts
// inside the field ("a-" before "--" reads as "a" and "-...").
bool SeparatorAcrossEnd(std::string_view field, std::string_view separator) noexcept {
    for (std::size_t k = 1; k < separator.size() && k <= field.size(); ++k)
        if (field.substr(field.size() - k) == separator.substr(0, k) &&
            separator.substr(k) == separator.substr(0, separator.size() - k))
            return true;
    return false;
}

// Returns true when the field holds the separator, or makes one with the separator after it.
bool SeparatorInside(std::string_view field, std::string_view separator) noexcept {
    if (separator.empty())
        return false;
    return field.find(separator) != std::string_view::npos || SeparatorAcrossEnd(field, separator);
}

// Returns true when a field must be quoted to be read back as one field (quoting on): it
// holds a quote, a line break or the separator.
bool NeedsQuotes(std::string_view field, std::string_view separator) noexcept {
    return field.find_first_of("\"\r\n") != std::string_view::npos ||
           SeparatorInside(field, separator);
}

// Returns true when a field would break its record for a CSV reader (quoting off): it holds
// a line break or the separator, or begins with a quote. A quote further on is read as it is.
bool BreaksRecord(std::string_view field, std::string_view separator) noexcept {
    return TextCanBreakRecord(field, separator) || SeparatorAcrossEnd(field, separator);
}

// Puts the field at [start, end) between double quotes, doubling those inside (the room for
// it was measured); returns its new end and the number of quotes doubled.
char* QuoteField(char* start, char* end, std::size_t& quotes) noexcept {
    quotes = 0;
    for (const char* c = start; c != end; ++c)
        quotes += *c == '"';
    char* to = end + quotes + 2;
    char* const newEnd = to;
    *--to = '"';
    for (char* from = end; from != start;) {
        const char c = *--from;
        *--to = c;
        if (c == '"')
            *--to = '"';
    }
    *--to = '"';
    return newEnd;
}

// The record with its texts in plain UTF-8, converted once per entity.
DataRecord PlainRecord(ScanContext& ctx, const DataRecord& record) {
    PlainTexts& plain = ctx.Plain;
    if (!ctx.PlainTextsReady) {
        const TextEncoding& encoding = ctx.Encoding;
        // In names, %% and ^ are part of the name: only the encoding and \U+ escapes count.
        const auto name = [&](std::string_view raw, std::string& out) {
            out.clear();
            AppendPlainName(raw, encoding, out);
        };
        const auto convert = [&](std::string_view raw, std::string& out) {
            out.clear();
            AppendPlainText(raw, encoding, out);
        };
        name(record.Handle, plain.Handle);
        name(record.Layer, plain.Layer);
        name(record.BlockName, plain.BlockName);
        plain.Text.clear();
        if (record.EntityType ==
            kEntityKinds[static_cast<std::size_t>(EntityKind::MultiLineText)].TypeLine)
            AppendPlainMText(record.Text, encoding, plain.Text);
        else
            AppendPlainText(record.Text, encoding, plain.Text);
        if (plain.Attributes.size() < record.Attributes.size())
            plain.Attributes.resize(record.Attributes.size());
        for (std::size_t i = 0; i < record.Attributes.size(); ++i) {
            name(record.Attributes[i].Tag, plain.Attributes[i].Tag);
            convert(record.Attributes[i].Value, plain.Attributes[i].Value);
        }
        plain.AttributeCount = record.Attributes.size();
        ctx.PlainTextsReady = true;
    }
    DataRecord converted = record;
    converted.Handle = plain.Handle;
    converted.Layer = plain.Layer;
    converted.BlockName = plain.BlockName;
    converted.Text = plain.Text;
    converted.Attributes =
        std::span<const AttributeText>(plain.Attributes.data(), plain.AttributeCount);
    return converted;
}

// Returns true when a text of the entity can break its field (quoting off; the separator is
// then one byte, see ChooseSeparatorCheck): it holds the separator or a line break, or begins
// with a quote. Looked at once per entity; the fields are only looked at one by one then.
bool TextCanBreak(std::string_view text, char separator) noexcept {
    if (text.empty())
        return false;
    if (text.front() == '"')
        return true;
    for (const char c : text)
        if (c == separator || c == '\r' || c == '\n')
            return true;
    return false;
}

[[gnu::noinline]] bool EntityTextsCanBreak(ScanContext& ctx, const DataRecord& record) {
    const RecordLayout& layout = ctx.Settings.Layout;
    const char separator = ctx.Settings.Separator.empty() ? '\n' : ctx.Settings.Separator[0];
    const std::string_view texts[] = {record.EntityType, record.Layer, record.Handle,
                                      record.BlockName, record.Text};
    ctx.SeparatorInTexts = false;
    for (std::size_t i = 0; i < 5; ++i)
        if (layout.Uses[i] > 0 && TextCanBreak(texts[i], separator))
            ctx.SeparatorInTexts = true;
    if (layout.Uses[5] > 0)
        for (const AttributeText& a : record.Attributes)
            if (TextCanBreak(a.Tag, separator) || TextCanBreak(a.Value, separator))
                ctx.SeparatorInTexts = true;
    ctx.SeparatorTextsChecked = true;
    return ctx.SeparatorInTexts;
}

// How a record's fields are quoted.
enum class Quoting {
    All,       // quoting on: every field that needs it to be read back (RFC 4180)
    Breaking,  // quoting off: the fields that would break the record, the record counted
    None,      // quoting off, and no field of this record can break it
};

// The writer, compiled apart for each quoting so that the common run pays no test per field.
template <Quoting Quote>
bool WriteRecord(ScanContext& ctx, const DataRecord& record) {
    const RunSettings& settings = ctx.Settings;
    const RecordLayout& layout =
        Quote == Quoting::Breaking ? settings.QuotedLayout : settings.Layout;
    // Room for the longest record these texts can make, so that the pieces are written
    // through a pointer without a check each; nothing counts until Commit.
    const std::size_t room =
        layout.FixedRoom + layout.Uses[0] * record.EntityType.size() +
        layout.Uses[1] * record.Layer.size() + layout.Uses[2] * record.Handle.size() +
        layout.Uses[3] * record.BlockName.size() + layout.Uses[4] * record.Text.size() +
        (layout.Uses[5] > 0 ? layout.Uses[5] * AttributesRoom(record.Attributes) : 0);
    char* p = ctx.Out.Room(room);
    char* const start = p;
    const std::string_view separator = settings.Separator;
    RunCounters& counters = ctx.Counters;
    bool first = true;
    bool quotedAny = false;  // Breaking: a field was quoted
    for (const RecordField& field : settings.Fields) {
        if (!first)
            p = Put(p, separator);
        first = false;
        char* const fieldStart = p;
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
        case DataItem::Label: p = Put(p, settings.LabelText); break;
        case DataItem::SequentialNumber:
            p = PutInt(p, counters.SequentialCounter);
            Advance(counters.SequentialCounter);
            break;
        case DataItem::GroupNumber: p = PutCounter(ctx, p, counters.GroupCounter, true); break;
        case DataItem::Attributes: p = PutAttributes(p, settings, field, record.Attributes); break;
        }
        if (p == nullptr)
            return false;  // nothing committed: the record is not written
        if constexpr (Quote != Quoting::None) {
            // A line or group counter may be a field left open for later (CounterHole): its
            // quotes are decided without its digits, by its prefix and the separator alone.
            const bool counter =
                field.Item == DataItem::LineNumber || field.Item == DataItem::GroupNumber;
            const std::string_view written(fieldStart, std::size_t(p - fieldStart));
            bool needs = false;
            if constexpr (Quote == Quoting::All)
                needs = counter ? settings.QuoteCounters || NeedsQuotes(field.Prefix, separator)
                                : NeedsQuotes(written, separator);
            else
                needs = counter ? field.CounterBreaks : BreaksRecord(written, separator);
            if (needs) {
                std::size_t quotes = 0;
                p = QuoteField(fieldStart, p, quotes);
                if (counter && ctx.Holes != nullptr)
                    ctx.Holes->back().Offset += std::uint32_t(1 + quotes);
                quotedAny = true;
            }
        }
    }
    if (Quote == Quoting::Breaking && quotedAny)
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

}  // namespace

namespace {

bool WriteQuotedAsConfigured(ScanContext& ctx, const DataRecord& record) {
    const RunSettings& settings = ctx.Settings;
    if (settings.Config.QuoteFields)
        return WriteRecord<Quoting::All>(ctx, record);
    switch (settings.Separators) {
    case SeparatorCheck::None: break;
    case SeparatorCheck::Texts:
        // The texts are those of the entity: looked at once per entity, not per point.
        if (ctx.SeparatorTextsChecked ? ctx.SeparatorInTexts : EntityTextsCanBreak(ctx, record))
            return WriteRecord<Quoting::Breaking>(ctx, record);
        break;
    case SeparatorCheck::EveryField: return WriteRecord<Quoting::Breaking>(ctx, record);
    }
    return WriteRecord<Quoting::None>(ctx, record);
}

}  // namespace

bool WriteDataRecord(ScanContext& ctx, const DataRecord& asRead) {
    if (ctx.Settings.Config.Text == TextMode::PlainUtf8)
        return WriteQuotedAsConfigured(ctx, PlainRecord(ctx, asRead));
    return WriteQuotedAsConfigured(ctx, asRead);
}

bool TextCanBreakRecord(std::string_view text, std::string_view separator) noexcept {
    return (!text.empty() && text.front() == '"') ||
           text.find_first_of("\r\n") != std::string_view::npos ||
           (!separator.empty() && text.find(separator) != std::string_view::npos);
}

std::string BuildHeaderText(const RunSettings& settings) {
    std::string text;
    bool first = true;
    for (const RecordField& field : settings.Fields) {
        if (!first)
            text += settings.Separator;
        first = false;
        std::string_view label = kDataNodes[static_cast<std::size_t>(field.Item)].Label;
        if (field.Attribute >= 0)
            label = settings.AttributeTags[std::size_t(field.Attribute)];
        // Quoting off, a label that would break the header line is quoted as a value is.
        if (settings.Config.QuoteFields ? NeedsQuotes(label, settings.Separator)
                                        : BreaksRecord(label, settings.Separator)) {
            const std::size_t at = text.size();
            text.resize(at + 2 * label.size() + 2);
            std::memcpy(text.data() + at, label.data(), label.size());
            std::size_t quotes = 0;
            char* end = QuoteField(text.data() + at, text.data() + at + label.size(), quotes);
            text.resize(std::size_t(end - text.data()));
        } else {
            text += label;
        }
    }
    return text;
}

}  // namespace quarrow
