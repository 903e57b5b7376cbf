// The Configuration tab's editors: the entity tree, the data tree and the output options.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <string>

#include "config/DataTreeRules.h"
#include "config/EntityTreeRules.h"
#include "config/NodeTables.h"
#include "ui/ConfigTreeWidget.h"
#include "ui/Images.h"
#include "ui/MainWindow.h"
#include "ui/UserDialogs.h"

namespace quarrow {
namespace {

// Texts of the record are bytes of a single-byte code page; the controls show them as Latin-1.
std::string ToBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

QString FromTable(std::string_view text) {
    QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

QGroupBox* MakeBoldGroup(const char* name, const char* caption) {
    auto* group = new QGroupBox(QString::fromLatin1(caption));
    group->setObjectName(QString::fromLatin1(name));
    group->setStyleSheet(QStringLiteral("QGroupBox#%1 { font-weight: bold; }")
                             .arg(QString::fromLatin1(name)));
    return group;
}

QAction* AddMenuItem(QMenu* menu, const char* name, const char* caption, int image) {
    QAction* action = menu->addAction(Images::Pop(image), QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

QWidget* MainWindow::BuildEntityGroup() {
    auto* group = MakeBoldGroup("GroupBox3", " DXF Entities to process ");
    entityGroup_ = group;
    group->setFixedWidth(300);
    auto* layout = new QVBoxLayout(group);
    entityTreeWidget_ = new QTreeWidget;
    entityTreeWidget_->setObjectName(QStringLiteral("VirtualStringTree1"));
    entityTreeWidget_->setColumnCount(1);
    entityTreeWidget_->setHeaderHidden(true);
    entityTreeWidget_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    entityTreeWidget_->setSelectionMode(QAbstractItemView::SingleSelection);
    entityTreeWidget_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    entityTreeWidget_->setExpandsOnDoubleClick(true);
    entityTreeWidget_->setIconSize(QSize(16, 16));
    entityTreeWidget_->setItemDelegate(new ConfigTreeDelegate(entityTreeWidget_, nullptr));
    layout->addWidget(entityTreeWidget_, 1);

    auto* row = new QHBoxLayout;
    blockNamesLabel_ = new QLabel(QStringLiteral("Block names :"));
    blockNamesLabel_->setObjectName(QStringLiteral("LabBlkname"));
    blockNamesEdit_ = new QLineEdit;
    blockNamesEdit_->setObjectName(QStringLiteral("blkname"));
    blockNamesEdit_->setToolTip(
        QStringLiteral("Enter block names, separated by a comma. You can use "
                       "wildcards (*, $). Leave empty to process all blocks "));
    row->addWidget(blockNamesLabel_);
    row->addWidget(blockNamesEdit_, 1);
    layout->addLayout(row);
    connect(blockNamesEdit_, &QLineEdit::textChanged, this, &MainWindow::onBlockNamesChanged);
    return group;
}

QWidget* MainWindow::BuildDataGroup() {
    auto* group = MakeBoldGroup("GroupBox4", " Exported data ");
    dataGroup_ = group;
    auto* layout = new QVBoxLayout(group);
    dataTreeWidget_ = new QTreeWidget;
    dataTreeWidget_->setObjectName(QStringLiteral("VirtualStringTree4"));
    dataTreeWidget_->setColumnCount(2);
    dataTreeWidget_->setHeaderLabels({QStringLiteral("Data name"), QStringLiteral("Options")});
    dataTreeWidget_->setSelectionMode(QAbstractItemView::SingleSelection);
    dataTreeWidget_->setSelectionBehavior(QAbstractItemView::SelectRows);
    dataTreeWidget_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dataTreeWidget_->setIconSize(QSize(16, 16));
    QHeaderView* header = dataTreeWidget_->header();
    header->setSectionsMovable(true);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::Interactive);
    header->resizeSection(1, 100);
    dataTreeWidget_->setItemDelegate(new ConfigTreeDelegate(
        dataTreeWidget_, [this](const QModelIndex& index, const QString& text) {
            onDataOptionEdited(PathOfIndex(index), text);
        }));
    dataTreeWidget_->viewport()->installEventFilter(this);
    layout->addWidget(dataTreeWidget_, 1);

    auto* toolbar = new QToolBar;
    toolbar->setObjectName(QStringLiteral("ToolBar2"));
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    moveDownButton_ = new QToolButton;
    moveDownButton_->setObjectName(QStringLiteral("btCoordDown"));
    moveDownButton_->setText(QStringLiteral("Move item down"));
    moveDownButton_->setIcon(Images::MoveDown());
    moveDownButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    moveUpButton_ = new QToolButton;
    moveUpButton_->setObjectName(QStringLiteral("btCoordUp"));
    moveUpButton_->setText(QStringLiteral("Move item up"));
    moveUpButton_->setIcon(Images::MoveUp());
    moveUpButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar->addWidget(moveDownButton_);
    toolbar->addWidget(moveUpButton_);
    layout->addWidget(toolbar);
    connect(moveDownButton_, &QToolButton::clicked, this, &MainWindow::onMoveDownClicked);
    connect(moveUpButton_, &QToolButton::clicked, this, &MainWindow::onMoveUpClicked);
    return group;
}

QWidget* MainWindow::BuildOptionsGroup() {
    auto* group = MakeBoldGroup("GroupBox6", " Options ");
    optionsGroup_ = group;
    group->setFixedHeight(46);
    auto* layout = new QHBoxLayout(group);
    layout->setContentsMargins(8, 2, 8, 2);
    auto* label = new QLabel(QStringLiteral("Field Separator : "));
    label->setObjectName(QStringLiteral("Label1"));
    separatorCombo_ = new QComboBox;
    separatorCombo_->setObjectName(QStringLiteral("ComboBox1"));
    separatorCombo_->setToolTip(QStringLiteral("Field separator for exported Data files"));
    for (std::string_view name : kSeparatorChoiceNames)
        separatorCombo_->addItem(FromTable(name));
    separatorCombo_->setCurrentIndex(0);
    fieldSeparatorEdit_ = new QLineEdit;
    fieldSeparatorEdit_->setObjectName(QStringLiteral("EdFieldSep"));
    fieldSeparatorEdit_->setToolTip(QStringLiteral("Enter Field separator"));
    fieldSeparatorEdit_->setFixedWidth(60);
    headerLineCheck_ =
        new QCheckBox(QStringLiteral("Insert Data name at the first line of the file"));
    headerLineCheck_->setObjectName(QStringLiteral("cbIncludeField"));
    headerLineCheck_->setToolTip(QStringLiteral(
        "Include name of the exported fields at the first line of the created file"));
    layout->addWidget(label);
    layout->addWidget(separatorCombo_);
    layout->addWidget(fieldSeparatorEdit_);
    layout->addSpacing(20);
    layout->addWidget(headerLineCheck_);
    layout->addStretch();
    // activated: the user's choice only; a load applies the same rule itself.
    connect(separatorCombo_, &QComboBox::activated, this, [this] { onSeparatorChoiceChanged(); });
    connect(fieldSeparatorEdit_, &QLineEdit::textChanged, this,
            &MainWindow::onFieldSeparatorChanged);
    connect(headerLineCheck_, &QCheckBox::toggled, this, &MainWindow::onHeaderLineToggled);
    return group;
}

void MainWindow::BuildMenus() {
    entityTreeMenu_ = new QMenu(this);
    entityTreeMenu_->setObjectName(QStringLiteral("PopupMenu2"));
    connect(AddMenuItem(entityTreeMenu_, "SelectAll2", "Select All", 0), &QAction::triggered, this,
            &MainWindow::onSelectAllEntitiesClicked);
    connect(AddMenuItem(entityTreeMenu_, "SelectNone1", "Select None", 1), &QAction::triggered,
            this, &MainWindow::onSelectNoEntitiesClicked);
    entityTreeMenu_->addSeparator();
    connect(AddMenuItem(entityTreeMenu_, "ExpandAll1", "Expand All", 2), &QAction::triggered, this,
            &MainWindow::onExpandAllEntitiesClicked);
    connect(AddMenuItem(entityTreeMenu_, "CollapseAll1", "Collapse All", 3), &QAction::triggered,
            this, &MainWindow::onCollapseAllEntitiesClicked);

    dataTreeMenu_ = new QMenu(this);
    dataTreeMenu_->setObjectName(QStringLiteral("PopupMenu3"));
    connect(AddMenuItem(dataTreeMenu_, "MenuItem1", "Select All", 0), &QAction::triggered, this,
            &MainWindow::onSelectAllDataClicked);
    connect(AddMenuItem(dataTreeMenu_, "MenuItem2", "Select None", 1), &QAction::triggered, this,
            &MainWindow::onSelectNoDataClicked);
    dataTreeMenu_->addSeparator();
    connect(AddMenuItem(dataTreeMenu_, "ExpandAll2", "Expand All", 2), &QAction::triggered, this,
            &MainWindow::onExpandAllDataClicked);
    connect(AddMenuItem(dataTreeMenu_, "CollapseAll2", "Collapse All", 3), &QAction::triggered,
            this, &MainWindow::onCollapseAllDataClicked);

    for (auto [tree, menu] : {std::pair{entityTreeWidget_, entityTreeMenu_},
                              std::pair{dataTreeWidget_, dataTreeMenu_}}) {
        tree->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(tree, &QWidget::customContextMenuRequested, this,
                [tree, menu](const QPoint& pos) {
                    menu->popup(tree->viewport()->mapToGlobal(pos));
                });
    }
}

void MainWindow::ConnectTrees() {
    connect(entityTreeWidget_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) {
                if (column != 0)
                    return;
                const int index = DepthFirstIndex(entityTree_, PathOfItem(item));
                onEntityChecked(index, item->checkState(0) == Qt::Checked);
            });
    connect(entityTreeWidget_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { onEntityFocusChanged(current); });
    connect(dataTreeWidget_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) {
                if (column == 0)
                    onDataChecked(PathOfItem(item), item->checkState(0) == Qt::Checked);
            });
    connect(dataTreeWidget_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { onDataFocusChanged(current); });
    // A click on the data tree asks to edit the focused node's options.
    connect(dataTreeWidget_, &QTreeWidget::itemClicked, this, [this] {
        QTreeWidgetItem* current = dataTreeWidget_->currentItem();
        if (current != nullptr && IsDataCellEditable(dataTree_, PathOfItem(current), 1))
            dataTreeWidget_->editItem(current, 1);
    });
    // Expansion is kept in the trees, so a save keeps it.
    for (auto [widget, tree] : {std::pair{entityTreeWidget_, &entityTree_},
                                std::pair{dataTreeWidget_, &dataTree_}}) {
        auto keep = [tree](QTreeWidgetItem* item, bool expanded) {
            if (ConfigTreeNode* node = NodeAtPath(*tree, PathOfItem(item)))
                node->SetState(NodeState::Expanded, expanded);
        };
        connect(widget, &QTreeWidget::itemExpanded, this,
                [keep](QTreeWidgetItem* item) { keep(item, true); });
        connect(widget, &QTreeWidget::itemCollapsed, this,
                [keep](QTreeWidgetItem* item) { keep(item, false); });
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched->objectName() == QLatin1String("GroupBox5")) {
        auto* group = static_cast<QWidget*>(watched);
        if (auto* help = group->findChild<QWidget*>(QStringLiteral("BitBtn7")))
            help->move(group->width() - help->width() - 6, group->height() - help->height() - 6);
    }
    // A press on the data tree: the node under the pointer takes the focus; empty space
    // leaves no node focused.
    if (watched == dataTreeWidget_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (dataTreeWidget_->itemAt(mouse->position().toPoint()) == nullptr) {
            dataTreeWidget_->setCurrentItem(nullptr);
            dataTreeWidget_->clearSelection();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::SyncEntityTree() {
    SyncTreeWidget(entityTreeWidget_, entityTree_,
                   [](const TreePath& path, const ConfigTreeNode&, int index) {
                       NodeLook look;
                       if (index >= 0 && index < kEntityNodeCount) {
                           look.Text0 = FromTable(kEntityNodes[std::size_t(index)].Label);
                           look.Hint = FromTable(kEntityNodes[std::size_t(index)].Hint);
                       }
                       if (path.size() == 1)
                           look.Icon = Images::EntityKind(path[0]);
                       return look;
                   });
}

void MainWindow::SyncDataTree() {
    SyncTreeWidget(dataTreeWidget_, dataTree_,
                   [this](const TreePath& path, const ConfigTreeNode& node, int) {
                       NodeLook look;
                       if (node.Index >= 0 && node.Index < kDataNodeCount) {
                           const auto i = std::size_t(node.Index);
                           look.Text0 = FromTable(kDataNodes[i].Label);
                           look.Text1 = QString::fromLatin1(state_.Config.DataOptions[i]);
                           look.Hint = FromTable(DataNodeHint(node.Index));
                       }
                       if (path.size() == 1)
                           look.Icon = Images::Pop(IsCustomDataItem(node.Index) ? 5 : 4);
                       look.Editable1 = path.size() >= 2;
                       return look;
                   });
}

// Marks the focused node selected in its tree (one node at most), as a save keeps it.
void MainWindow::MarkSelected(ConfigTree& tree, QTreeWidgetItem* current) {
    const TreePath focused = current != nullptr ? PathOfItem(current) : TreePath{};
    ForEachNode(tree, [&](const TreePath& path, ConfigTreeNode& node) {
        node.SetState(NodeState::Selected, !focused.empty() && path == focused);
    });
}

void MainWindow::onEntityChecked(int nodeIndex, bool checked) {
    ApplyEntityChanges(SetEntityCheck(entityTree_, state_.Config, nodeIndex, checked));
}

// Shows the result of the check rules: a change of "Blocks" sets the block-names field by its
// mark with "Blocks" focused, and the node changed last ends up focused. Only those focus
// changes have lasting effects, so the others are not replayed.
void MainWindow::ApplyEntityChanges(const std::vector<int>& changed) {
    SyncEntityTree();
    for (int index : changed) {
        if (index != kBlocksNode)
            continue;
        FocusEntityNode(index);
        ApplyBlockNamesField(state_.Config.EntityFlags[kBlocksNode] == 1);
    }
    if (!changed.empty())
        FocusEntityNode(changed.back());
}

void MainWindow::FocusEntityNode(int nodeIndex) {
    if (QTreeWidgetItem* item =
            ItemAtPath(entityTreeWidget_, PathOfDepthFirstIndex(entityTree_, nodeIndex)))
        entityTreeWidget_->setCurrentItem(item);
}

void MainWindow::ApplyBlockNamesField(bool enabled) {
    blockNamesLabel_->setEnabled(enabled);
    blockNamesEdit_->setEnabled(enabled);
    if (enabled)
        blockNamesEdit_->setFocus();
}

void MainWindow::onEntityFocusChanged(QTreeWidgetItem* current) {
    MarkSelected(entityTree_, current);
    if (current == nullptr)
        return;
    const int index = DepthFirstIndex(entityTree_, PathOfItem(current));
    ApplyBlockNamesField(BlockNamesEnabled(state_.Config, index));
}

void MainWindow::onSelectAllEntitiesClicked() {
    ApplyEntityChanges(CheckAllEntityNodes(entityTree_, state_.Config, true));
}

void MainWindow::onSelectNoEntitiesClicked() {
    ApplyEntityChanges(CheckAllEntityNodes(entityTree_, state_.Config, false));
}

void MainWindow::onExpandAllEntitiesClicked() {
    ExpandAllNodes(entityTree_, true);
    SyncEntityTree();
}

void MainWindow::onCollapseAllEntitiesClicked() {
    ExpandAllNodes(entityTree_, false);
    SyncEntityTree();
}

void MainWindow::onDataChecked(const TreePath& path, bool checked) {
    SetDataCheck(dataTree_, state_.Config, path, checked);
    SyncDataTree();  // also puts back a mark the rule refused
}

void MainWindow::onDataFocusChanged(QTreeWidgetItem* current) {
    MarkSelected(dataTree_, current);
    if (current == nullptr)
        return;  // the move buttons keep their state
    const TreePath path = PathOfItem(current);
    UpdateMoveButtons(path);
    if (IsDataCellEditable(dataTree_, path, 1))
        dataTreeWidget_->editItem(current, 1);
}

void MainWindow::UpdateMoveButtons(const TreePath& focused) {
    const MoveButtons buttons = MoveButtonStates(dataTree_, focused);
    moveUpButton_->setEnabled(buttons.Up);
    moveDownButton_->setEnabled(buttons.Down);
}

void MainWindow::onDataOptionEdited(const TreePath& path, const QString& text) {
    // A refusal message takes the focus from the editor, which commits again: ignore that.
    if (configLoading_ || inNewText_)
        return;
    const ConfigTreeNode* node = NodeAtPath(dataTree_, path);
    if (node == nullptr)
        return;
    inNewText_ = true;
    const OptionEdit edit = ApplyOptionText(state_.Config, node->Index, ToBytes(text));
    if (!edit.Accepted)
        dialogs_.ShowMessage(this, MessageKind::Error, FromTable(edit.Message));
    SyncDataTree();
    inNewText_ = false;
}

void MainWindow::MoveFocusedItem(int delta) {
    QTreeWidgetItem* current = dataTreeWidget_->currentItem();
    if (current == nullptr)
        return;
    TreePath focused = PathOfItem(current);
    if (!MoveDataItem(dataTree_, focused, delta))
        return;
    SyncDataTree();
    dataTreeWidget_->setCurrentItem(ItemAtPath(dataTreeWidget_, focused));
    UpdateMoveButtons(focused);
}

void MainWindow::onMoveUpClicked() { MoveFocusedItem(-1); }
void MainWindow::onMoveDownClicked() { MoveFocusedItem(+1); }

void MainWindow::onSelectAllDataClicked() {
    CheckAllDataNodes(dataTree_, state_.Config, true);
    SyncDataTree();
}

void MainWindow::onSelectNoDataClicked() {
    CheckAllDataNodes(dataTree_, state_.Config, false);
    SyncDataTree();
}

void MainWindow::onExpandAllDataClicked() {
    ExpandAllNodes(dataTree_, true);
    SyncDataTree();
}

void MainWindow::onCollapseAllDataClicked() {
    ExpandAllNodes(dataTree_, false);
    SyncDataTree();
}

void MainWindow::onSeparatorChoiceChanged() {
    const bool other = separatorCombo_->currentIndex() == kSeparatorOther;
    fieldSeparatorEdit_->setEnabled(other);
    if (other && fieldSeparatorEdit_->isVisible())
        fieldSeparatorEdit_->setFocus();
    state_.Config.SeparatorChoice = separatorCombo_->currentIndex();
}

void MainWindow::onFieldSeparatorChanged(const QString& text) {
    SetFieldSeparator(state_.Config, ToBytes(text));
}

void MainWindow::onHeaderLineToggled(bool checked) {
    state_.Config.HeaderLine = checked ? 1 : 0;
}

void MainWindow::onBlockNamesChanged(const QString& text) {
    SetBlockNameFilter(state_.Config, ToBytes(text));
}

void MainWindow::onExtensionChanged(const QString& text) {
    SetDataFileExt(state_.Config, ToBytes(text));
}

} // namespace quarrow
