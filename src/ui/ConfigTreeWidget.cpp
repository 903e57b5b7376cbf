#include "ui/ConfigTreeWidget.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QTreeWidgetItem>

namespace quarrow {
namespace {

void SyncItem(QTreeWidgetItem* item, TreePath& path, const ConfigTreeNode& node,
              const NodeLookFn& look, int& position) {
    const NodeLook l = look(path, node, position++);
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (node.CheckType != CheckType::None)
        flags |= Qt::ItemIsUserCheckable;
    if (l.Editable1)
        flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    item->setText(0, l.Text0);
    if (item->columnCount() > 1 || !l.Text1.isEmpty())
        item->setText(1, l.Text1);
    item->setIcon(0, l.Icon);
    item->setToolTip(0, l.Hint);
    item->setToolTip(1, l.Hint);
    if (node.CheckType != CheckType::None)
        item->setCheckState(0, node.IsChecked() ? Qt::Checked : Qt::Unchecked);
    else
        item->setData(0, Qt::CheckStateRole, QVariant());
    const bool disabled = node.HasState(NodeState::Disabled);
    item->setData(0, kNodeDisabledRole, disabled);
    item->setData(1, kNodeDisabledRole, disabled);

    while (item->childCount() > static_cast<int>(node.Children.size()))
        delete item->takeChild(item->childCount() - 1);
    while (item->childCount() < static_cast<int>(node.Children.size()))
        item->addChild(new QTreeWidgetItem());
    for (std::size_t i = 0; i < node.Children.size(); ++i) {
        path.push_back(static_cast<int>(i));
        SyncItem(item->child(static_cast<int>(i)), path, node.Children[i], look, position);
        path.pop_back();
    }
    item->setExpanded(node.HasState(NodeState::Expanded));
}

}  // namespace

TreePath PathOfItem(const QTreeWidgetItem* item) {
    TreePath path;
    while (item != nullptr) {
        const QTreeWidgetItem* parent = item->parent();
        auto* self = const_cast<QTreeWidgetItem*>(item);  // Qt's lookups take non-const items
        const int row = parent != nullptr ? parent->indexOfChild(self)
                                          : item->treeWidget()->indexOfTopLevelItem(self);
        path.insert(path.begin(), row);
        item = parent;
    }
    return path;
}

TreePath PathOfIndex(const QModelIndex& index) {
    TreePath path;
    for (QModelIndex i = index.siblingAtColumn(0); i.isValid(); i = i.parent())
        path.insert(path.begin(), i.row());
    return path;
}

QTreeWidgetItem* ItemAtPath(QTreeWidget* widget, const TreePath& path) {
    if (path.empty())
        return nullptr;
    QTreeWidgetItem* item = widget->topLevelItem(path[0]);
    for (std::size_t i = 1; item != nullptr && i < path.size(); ++i)
        item = item->child(path[i]);
    return item;
}

void SyncTreeWidget(QTreeWidget* widget, const ConfigTree& tree, const NodeLookFn& look) {
    const QSignalBlocker blocker(widget);
    while (widget->topLevelItemCount() > static_cast<int>(tree.Roots.size()))
        delete widget->takeTopLevelItem(widget->topLevelItemCount() - 1);
    while (widget->topLevelItemCount() < static_cast<int>(tree.Roots.size()))
        widget->addTopLevelItem(new QTreeWidgetItem());
    TreePath path;
    int position = 0;
    for (std::size_t i = 0; i < tree.Roots.size(); ++i) {
        path.assign(1, static_cast<int>(i));
        SyncItem(widget->topLevelItem(static_cast<int>(i)), path, tree.Roots[i], look, position);
    }
}

ConfigTreeDelegate::ConfigTreeDelegate(QObject* parent, CommitFn onCommit)
    : QStyledItemDelegate(parent), onCommit_(std::move(onCommit)) {}

void ConfigTreeDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                      const QModelIndex& index) const {
    const auto* line = qobject_cast<QLineEdit*>(editor);
    if (line == nullptr || !onCommit_)
        return;
    // Only a text changed in the editor counts as a new text.
    if (line->text() == index.data(Qt::EditRole).toString())
        return;
    onCommit_(index, line->text());
}

void ConfigTreeDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(kNodeDisabledRole).toBool())
        option->state &= ~QStyle::State_Enabled;
}

}  // namespace quarrow
