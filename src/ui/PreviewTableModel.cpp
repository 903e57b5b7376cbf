#include "ui/PreviewTableModel.h"

namespace quarrow {
namespace {

// Data file bytes are shown one character per byte, as the configuration's texts are, or as
// UTF-8 when the plain text mode wrote them.
QString TextOf(std::string_view bytes, bool utf8) {
    return utf8 ? QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
                : QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

void PreviewTableModel::SetResult(std::shared_ptr<const PreviewResult> result,
                                  std::string separator) {
    beginResetModel();
    result_ = std::move(result);
    separator_ = std::move(separator);
    columns_.clear();
    if (result_)
        for (std::string_view field : SplitRecordAsHeld(result_->Header, result_->Separator))
            columns_.emplace_back(field);
    endResetModel();
}

int PreviewTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !result_ ? 0 : static_cast<int>(result_->Records.size());
}

int PreviewTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant PreviewTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !result_ || !index.isValid())
        return {};
    // Cut on demand: the view asks for the visible cells only. Each cell is the field as the
    // Data file holds it, quotes and all: a value written quoted so it cannot break its record
    // shows so, and one that does break it shows in two cells, as a reader would cut it.
    const std::vector<std::string_view> fields = SplitRecordAsHeld(
        result_->Records[static_cast<std::size_t>(index.row())], result_->Separator);
    const auto column = static_cast<std::size_t>(index.column());
    return column < fields.size() ? TextOf(fields[column], result_->Utf8) : QVariant();
}

QVariant PreviewTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section < int(columns_.size()) ? TextOf(columns_[std::size_t(section)], result_->Utf8)
                                          : QVariant();
}

}  // namespace quarrow
