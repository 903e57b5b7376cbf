#pragma once
// The preview's records as a table: one row per record, one column per field of the header
// line, each record cut at the field separator as a reader of the Data file would cut it.

#include <QAbstractTableModel>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Preview.h"

namespace quarrow {

class PreviewTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Shows a preview's records, cut at separator; null shows none.
    void SetResult(std::shared_ptr<const PreviewResult> result, std::string separator);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const PreviewResult> result_;
    std::string separator_;
    std::vector<std::string> columns_;  // the header line's fields
};

}  // namespace quarrow
