#include "engine/RunSettings.h"

#include "config/NodeTables.h"
#include "config/TextUtil.h"
#include "detail/CoordinateFormat.h"
#include "detail/DataRecordWriter.h"
#include "detail/DxfNumber.h"

namespace quarrow {
namespace {

// The data order's items with their prefixes; -1 and anything else that is no data item (only
// a damaged configuration brings one) are left out.
std::vector<RecordField> ListFields(const ExportConfig& config, const DataOrderArray& dataOrder) {
    std::vector<RecordField> fields;
    for (const std::int32_t g : dataOrder)
        if (IsDataItemNode(g))
            fields.push_back({static_cast<DataItem>(g), config.DataOptions[std::size_t(g + 1)]});
    return fields;
}

// The most a record of these fields takes, by its fixed parts and its texts' uses.
RecordLayout MeasureRecords(const ExportConfig& config, const std::vector<RecordField>& fields) {
    RecordLayout layout;
    layout.FixedRoom = 2;  // CR LF
    for (const RecordField& field : fields) {
        layout.FixedRoom += config.FieldSeparator.size() + field.Prefix.size();
        switch (field.Item) {
        case DataItem::LineNumber:
        case DataItem::SequentialNumber:
        case DataItem::GroupNumber: layout.FixedRoom += kMaxIntLength; break;
        case DataItem::X:
        case DataItem::Y:
        case DataItem::Z: layout.FixedRoom += kMaxCoordinateLength; break;
        case DataItem::Label:
            layout.FixedRoom += config.DataOptions[kLabelTextOption].size();
            break;
        case DataItem::EntityType: ++layout.Uses[0]; break;
        case DataItem::EntityLayer: ++layout.Uses[1]; break;
        case DataItem::EntityHandle: ++layout.Uses[2]; break;
        case DataItem::BlockName: ++layout.Uses[3]; break;
        case DataItem::TextString: ++layout.Uses[4]; break;
        }
    }
    return layout;
}

// Decides how records are tested for a field that holds the separator.
SeparatorCheck ChooseSeparatorCheck(const ExportConfig& config,
                                    const std::vector<RecordField>& fields) {
    const std::string_view separator = config.FieldSeparator;
    if (separator.empty() || fields.empty())
        return SeparatorCheck::None;
    bool numbers = false;
    bool texts = false;
    for (const RecordField& field : fields) {
        if (field.Prefix.find(separator) != std::string_view::npos)
            return SeparatorCheck::Every;
        switch (field.Item) {
        case DataItem::Label:
            if (std::string_view(config.DataOptions[kLabelTextOption]).find(separator) !=
                std::string_view::npos)
                return SeparatorCheck::Every;
            break;
        case DataItem::LineNumber:
        case DataItem::SequentialNumber:
        case DataItem::GroupNumber:
        case DataItem::X:
        case DataItem::Y:
        case DataItem::Z: numbers = true; break;
        default: texts = true; break;
        }
    }
    // Numbers are written with digits, a minus sign and a point only.
    const bool numberLike = separator.find_first_not_of("0123456789-.") == std::string_view::npos;
    if ((numbers && numberLike) || separator.size() > 1)
        return SeparatorCheck::WholeRecord;  // also a separator across a prefix and a value
    return texts ? SeparatorCheck::Texts : SeparatorCheck::None;
}

}  // namespace

RunSettings::RunSettings(const ExportConfig& config, const DataOrderArray& dataOrder,
                         const SelectedKindsArray& selectedKinds)
    : Config(config), DataOrder(dataOrder), SelectedKinds(selectedKinds),
      HeaderText(BuildHeaderText(dataOrder, Config.FieldSeparator)),
      FilterText(Config.BlockNameFilter), Filter(Config.BlockNameFilter) {
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
    Fields = ListFields(Config, dataOrder);
    Layout = MeasureRecords(Config, Fields);
    Separators = ChooseSeparatorCheck(Config, Fields);
}

}  // namespace quarrow
