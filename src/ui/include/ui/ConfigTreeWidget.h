#pragma once
// Mirrors a ConfigTree in a QTreeWidget. The ConfigTree is the one source of truth: the window
// changes it through the editing rules of config/ and then brings the widget back in step.

#include <QIcon>
#include <QString>
#include <QStyledItemDelegate>
#include <functional>

#include "config/ConfigTree.h"
#include "config/TreePath.h"

class QModelIndex;
class QTreeWidget;
class QTreeWidgetItem;

namespace quarrow {

// Item data role: the node is disabled (drawn greyed; its check mark is kept).
inline constexpr int kNodeDisabledRole = Qt::UserRole + 1;

// What one node shows.
struct NodeLook {
    QString Text0;
    QString Text1;
    QIcon Icon;
    QString Hint;
    bool Editable1 = false;  // column 1 can be edited in place
};
// Given the node's path, the node and its depth-first position in the tree.
using NodeLookFn = std::function<NodeLook(const TreePath&, const ConfigTreeNode&, int)>;

// Returns the rows from the top level down to an item or a model index.
TreePath PathOfItem(const QTreeWidgetItem* item);
TreePath PathOfIndex(const QModelIndex& index);
// Returns the item at a path, or nullptr.
QTreeWidgetItem* ItemAtPath(QTreeWidget* widget, const TreePath& path);

// Makes the widget's items mirror the tree: structure, check boxes and marks, disabled and
// expanded states, texts, images and hints. Emits none of the widget's signals.
void SyncTreeWidget(QTreeWidget* widget, const ConfigTree& tree, const NodeLookFn& look);

// Draws disabled nodes greyed and hands committed cell texts to a callback instead of the
// model, so the window's rules decide what the cell shows.
class ConfigTreeDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using CommitFn = std::function<void(const QModelIndex&, const QString&)>;
    ConfigTreeDelegate(QObject* parent, CommitFn onCommit);

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    CommitFn onCommit_;
};

}  // namespace quarrow
