#include "engine/RunSettings.h"

#include "config/NodeTables.h"
#include "config/TextUtil.h"
#include "detail/CoordinateFormat.h"
#include "detail/DataRecordWriter.h"
#include "detail/DxfNumber.h"
#include "detail/DxfText.h"

namespace quarrow {
namespace {

// The tags of the "Tags :" text: separated by commas, blanks around them ignored, empty
// entries left out.
std::vector<std::string> SplitTags(std::string_view text) {
    std::vector<std::string> tags;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view tag = TrimText(text.substr(0, comma));
        if (!tag.empty())
            tags.emplace_back(tag);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return tags;
}

// The most a record of these fields takes, by its fixed parts and its texts' uses.
RecordLayout MeasureRecords(const RunSettings& s) {
    const std::vector<RecordField>& fields = s.Fields;
    RecordLayout layout;
    layout.FixedRoom = 2;  // CR LF
    for (const RecordField& field : fields) {
        layout.FixedRoom += s.Separator.size() + field.Prefix.size();
        switch (field.Item) {
        case DataItem::LineNumber:
        case DataItem::SequentialNumber:
        case DataItem::GroupNumber: layout.FixedRoom += kMaxIntLength; break;
        case DataItem::X:
        case DataItem::Y:
        case DataItem::Z: layout.FixedRoom += kMaxCoordinateLength; break;
        case DataItem::Label: layout.FixedRoom += s.LabelText.size(); break;
        case DataItem::EntityType: ++layout.Uses[0]; break;
        case DataItem::EntityLayer: ++layout.Uses[1]; break;
        case DataItem::EntityHandle: ++layout.Uses[2]; break;
        case DataItem::BlockName: ++layout.Uses[3]; break;
        case DataItem::TextString: ++layout.Uses[4]; break;
        case DataItem::Attributes: ++layout.Uses[5]; break;
        }
    }
    return layout;
}

// The room of records whose fields may be quoted: a quoted field doubles its quotes and gains
// two, at most twice its size plus two.
RecordLayout QuotedRoom(RecordLayout layout, std::size_t fields) {
    layout.FixedRoom = 2 * layout.FixedRoom + 2 * fields;
    for (std::size_t& uses : layout.Uses)
        uses *= 2;
    return layout;
}

// Decides how records are tested for a field that would break them, with quoting off.
SeparatorCheck ChooseSeparatorCheck(const RunSettings& s) {
    const std::vector<RecordField>& fields = s.Fields;
    const std::string_view separator = s.Separator;
    // Quoting on quotes every such field already.
    if (fields.empty() || s.Config.QuoteFields)
        return SeparatorCheck::None;
    bool numbers = false;
    bool texts = false;
    for (const RecordField& field : fields) {
        if (TextCanBreakRecord(field.Prefix, separator))
            return SeparatorCheck::EveryField;
        switch (field.Item) {
        case DataItem::Label:
            if (TextCanBreakRecord(s.LabelText, separator))
                return SeparatorCheck::EveryField;
            break;
        case DataItem::LineNumber:
        case DataItem::SequentialNumber:
        case DataItem::GroupNumber:
        case DataItem::X:
        case DataItem::Y:
        case DataItem::Z: numbers = true; break;
        case DataItem::Attributes:
            // Every attribute as TAG=value joined by "; ": the joints hold these.
            if (field.Attribute < 0 && separator.size() == 1 &&
                std::string_view("; =").find(separator) != std::string_view::npos)
                return SeparatorCheck::EveryField;
            texts = true;
            break;
        default: texts = true; break;
        }
    }
    // Numbers are written with digits, a minus sign and a point only.
    const bool numberLike =
        !separator.empty() && separator.find_first_not_of("0123456789-.") == std::string_view::npos;
    if ((numbers && numberLike) || separator.size() > 1)
        return SeparatorCheck::EveryField;  // also a separator across a prefix and a value
    return texts ? SeparatorCheck::Texts : SeparatorCheck::None;
}

}  // namespace

RunSettings::RunSettings(const ExportConfig& config, const DataOrderArray& dataOrder,
                         const SelectedKindsArray& selectedKinds)
    : Config(config), DataOrder(dataOrder), SelectedKinds(selectedKinds),
      FilterText(Config.BlockNameFilter), Filter(Config.BlockNameFilter) {
    // Configuration texts are single-byte text; the plain text mode writes them as UTF-8.
    const auto keep = [this](std::string_view text) -> std::string_view {
        if (Config.Text != TextMode::PlainUtf8)
            return Texts.emplace_back(text);
        std::string converted;
        AppendWindows1252(text, converted);
        return Texts.emplace_back(std::move(converted));
    };
    Separator = keep(Config.FieldSeparator);
    LabelText = keep(Config.DataOptions[kLabelTextOption]);
    for (const std::string& tag : SplitTags(Config.DataOptions[kAttributesTagsOption]))
        AttributeTags.emplace_back(keep(tag));
    // The data order's items with their prefixes; -1 and anything else that is no data item
    // (only a damaged configuration brings one) are left out.
    for (const std::int32_t g : dataOrder) {
        if (!IsDataItemNode(g))
            continue;
        const auto item = static_cast<DataItem>(g);
        const std::string_view prefix = keep(Config.DataOptions[std::size_t(g + 1)]);
        if (item != DataItem::Attributes) {
            Fields.push_back({item, prefix});
            continue;
        }
        ReadsAttributes = true;
        if (AttributeTags.empty())
            Fields.push_back({item, prefix, -1});
        for (std::size_t t = 0; t < AttributeTags.size(); ++t)
            Fields.push_back({item, prefix, int(t)});
    }
    QuoteCounters =
        Config.QuoteFields && Separator.find_first_of("0123456789-") != std::string_view::npos;
    // With quoting off a counter's digits are not looked at: only a separator a number can
    // hold, or a prefix that can break its field, quotes it.
    const bool counterDigitsBreak =
        Separator.find_first_of("0123456789-") != std::string_view::npos;
    for (RecordField& field : Fields)
        field.CounterBreaks = counterDigitsBreak || TextCanBreakRecord(field.Prefix, Separator);
    HeaderText = BuildHeaderText(*this);
    const int decimalsNodes[] = {kXDecimalsOption, kYDecimalsOption, kZDecimalsOption};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string& decimals = Config.DataOptions[std::size_t(decimalsNodes[i])];
        Coordinates.DecimalsRead[i] = ParseDxfInt32(TrimText(decimals), Coordinates.Decimals[i]);
    }
    const std::string& forced = Config.DataOptions[kZForceOption];
    Coordinates.ZForced = !TrimText(forced).empty();
    Coordinates.ZForcedRead =
        Coordinates.ZForced && Coordinates.DecimalsRead[2] &&
        FormatCoordinateText(Coordinates.ZForcedField, forced, Coordinates.Decimals[2]);
    Layout = MeasureRecords(*this);
    QuotedLayout = QuotedRoom(Layout, Fields.size());
    if (Config.QuoteFields)
        Layout = QuotedLayout;
    Separators = ChooseSeparatorCheck(*this);
}

}  // namespace quarrow
