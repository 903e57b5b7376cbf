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
#include "ui/TForm1.h"
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

QWidget* TForm1::BuildEntityGroup() {
    auto* group = MakeBoldGroup("GroupBox3", " DXF Entities to process ");
    GroupBox3 = group;
    group->setFixedWidth(300);
    auto* layout = new QVBoxLayout(group);
    VirtualStringTree1 = new QTreeWidget;
    VirtualStringTree1->setObjectName(QStringLiteral("VirtualStringTree1"));
    VirtualStringTree1->setColumnCount(1);
    VirtualStringTree1->setHeaderHidden(true);
    VirtualStringTree1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    VirtualStringTree1->setSelectionMode(QAbstractItemView::SingleSelection);
    VirtualStringTree1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VirtualStringTree1->setExpandsOnDoubleClick(true);
    VirtualStringTree1->setIconSize(QSize(16, 16));
    VirtualStringTree1->setItemDelegate(new ConfigTreeDelegate(VirtualStringTree1, nullptr));
    layout->addWidget(VirtualStringTree1, 1);

    auto* row = new QHBoxLayout;
    LabBlkname = new QLabel(QStringLiteral("Block names :"));
    LabBlkname->setObjectName(QStringLiteral("LabBlkname"));
    blkname = new QLineEdit;
    blkname->setObjectName(QStringLiteral("blkname"));
    blkname->setToolTip(QStringLiteral("Enter block names, separated by a comma. You can use "
                                       "wildcards (*, $). Leave empty to process all blocks "));
    row->addWidget(LabBlkname);
    row->addWidget(blkname, 1);
    layout->addLayout(row);
    connect(blkname, &QLineEdit::textChanged, this, &TForm1::blknameChange);
    return group;
}

QWidget* TForm1::BuildDataGroup() {
    auto* group = MakeBoldGroup("GroupBox4", " Exported data ");
    GroupBox4 = group;
    auto* layout = new QVBoxLayout(group);
    VirtualStringTree4 = new QTreeWidget;
    VirtualStringTree4->setObjectName(QStringLiteral("VirtualStringTree4"));
    VirtualStringTree4->setColumnCount(2);
    VirtualStringTree4->setHeaderLabels({QStringLiteral("Data name"), QStringLiteral("Options")});
    VirtualStringTree4->setSelectionMode(QAbstractItemView::SingleSelection);
    VirtualStringTree4->setSelectionBehavior(QAbstractItemView::SelectRows);
    VirtualStringTree4->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VirtualStringTree4->setIconSize(QSize(16, 16));
    QHeaderView* header = VirtualStringTree4->header();
    header->setSectionsMovable(true);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::Interactive);
    header->resizeSection(1, 100);
    VirtualStringTree4->setItemDelegate(new ConfigTreeDelegate(
        VirtualStringTree4, [this](const QModelIndex& index, const QString& text) {
            VirtualStringTree4NewText(PathOfIndex(index), text);
        }));
    VirtualStringTree4->viewport()->installEventFilter(this);
    layout->addWidget(VirtualStringTree4, 1);

    auto* toolbar = new QToolBar;
    toolbar->setObjectName(QStringLiteral("ToolBar2"));
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    btCoordDown = new QToolButton;
    btCoordDown->setObjectName(QStringLiteral("btCoordDown"));
    btCoordDown->setText(QStringLiteral("Move item down"));
    btCoordDown->setIcon(Images::MoveDown());
    btCoordDown->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    btCoordUp = new QToolButton;
    btCoordUp->setObjectName(QStringLiteral("btCoordUp"));
    btCoordUp->setText(QStringLiteral("Move item up"));
    btCoordUp->setIcon(Images::MoveUp());
    btCoordUp->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar->addWidget(btCoordDown);
    toolbar->addWidget(btCoordUp);
    layout->addWidget(toolbar);
    connect(btCoordDown, &QToolButton::clicked, this, &TForm1::btCoordDownClick);
    connect(btCoordUp, &QToolButton::clicked, this, &TForm1::btCoordUpClick);
    return group;
}

QWidget* TForm1::BuildOptionsGroup() {
    auto* group = MakeBoldGroup("GroupBox6", " Options ");
    GroupBox6 = group;
    group->setFixedHeight(46);
    auto* layout = new QHBoxLayout(group);
    layout->setContentsMargins(8, 2, 8, 2);
    auto* label = new QLabel(QStringLiteral("Field Separator : "));
    label->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setToolTip(QStringLiteral("Field separator for exported Data files"));
    for (std::string_view name : kSeparatorChoiceNames)
        ComboBox1->addItem(FromTable(name));
    ComboBox1->setCurrentIndex(0);
    EdFieldSep = new QLineEdit;
    EdFieldSep->setObjectName(QStringLiteral("EdFieldSep"));
    EdFieldSep->setToolTip(QStringLiteral("Enter Field separator"));
    EdFieldSep->setFixedWidth(60);
    cbIncludeField = new QCheckBox(QStringLiteral("Insert Data name at the first line of the file"));
    cbIncludeField->setObjectName(QStringLiteral("cbIncludeField"));
    cbIncludeField->setToolTip(QStringLiteral(
        "Include name of the exported fields at the first line of the created file"));
    layout->addWidget(label);
    layout->addWidget(ComboBox1);
    layout->addWidget(EdFieldSep);
    layout->addSpacing(20);
    layout->addWidget(cbIncludeField);
    layout->addStretch();
    // activated: the user's choice only; a load applies the same rule itself.
    connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
    connect(EdFieldSep, &QLineEdit::textChanged, this, &TForm1::EdFieldSepChange);
    connect(cbIncludeField, &QCheckBox::toggled, this, &TForm1::cbIncludeFieldClick);
    return group;
}

void TForm1::BuildMenus() {
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    connect(AddMenuItem(PopupMenu2, "SelectAll2", "Select All", 0), &QAction::triggered, this,
            &TForm1::SelectAll2Click);
    connect(AddMenuItem(PopupMenu2, "SelectNone1", "Select None", 1), &QAction::triggered, this,
            &TForm1::SelectNone1Click);
    PopupMenu2->addSeparator();
    connect(AddMenuItem(PopupMenu2, "ExpandAll1", "Expand All", 2), &QAction::triggered, this,
            &TForm1::ExpandAll1Click);
    connect(AddMenuItem(PopupMenu2, "CollapseAll1", "Collapse All", 3), &QAction::triggered,
            this, &TForm1::CollapseAll1Click);

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    connect(AddMenuItem(PopupMenu3, "MenuItem1", "Select All", 0), &QAction::triggered, this,
            &TForm1::MenuItem1Click);
    connect(AddMenuItem(PopupMenu3, "MenuItem2", "Select None", 1), &QAction::triggered, this,
            &TForm1::MenuItem2Click);
    PopupMenu3->addSeparator();
    connect(AddMenuItem(PopupMenu3, "ExpandAll2", "Expand All", 2), &QAction::triggered, this,
            &TForm1::ExpandAll2Click);
    connect(AddMenuItem(PopupMenu3, "CollapseAll2", "Collapse All", 3), &QAction::triggered,
            this, &TForm1::CollapseAll2Click);

    for (auto [tree, menu] : {std::pair{VirtualStringTree1, PopupMenu2},
                              std::pair{VirtualStringTree4, PopupMenu3}}) {
        tree->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(tree, &QWidget::customContextMenuRequested, this,
                [tree, menu](const QPoint& pos) {
                    menu->popup(tree->viewport()->mapToGlobal(pos));
                });
    }
}

void TForm1::ConnectTrees() {
    connect(VirtualStringTree1, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) {
                if (column != 0)
                    return;
                const int index = DepthFirstIndex(entityTree_, PathOfItem(item));
                VirtualStringTree1Checked(index, item->checkState(0) == Qt::Checked);
            });
    connect(VirtualStringTree1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { VirtualStringTree1FocusChanged(current); });
    connect(VirtualStringTree4, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int column) {
                if (column == 0)
                    VirtualStringTree4Checked(PathOfItem(item),
                                              item->checkState(0) == Qt::Checked);
            });
    connect(VirtualStringTree4, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { VirtualStringTree4FocusChanged(current); });
    // VirtualStringTree4Click: a click asks to edit the focused node's options.
    connect(VirtualStringTree4, &QTreeWidget::itemClicked, this, [this] {
        QTreeWidgetItem* current = VirtualStringTree4->currentItem();
        if (current != nullptr && IsDataCellEditable(dataTree_, PathOfItem(current), 1))
            VirtualStringTree4->editItem(current, 1);
    });
    // Expansion is kept in the trees, so a save keeps it.
    for (auto [widget, tree] : {std::pair{VirtualStringTree1, &entityTree_},
                                std::pair{VirtualStringTree4, &dataTree_}}) {
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

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched->objectName() == QLatin1String("GroupBox5")) {
        auto* group = static_cast<QWidget*>(watched);
        if (auto* help = group->findChild<QWidget*>(QStringLiteral("BitBtn7")))
            help->move(group->width() - help->width() - 6, group->height() - help->height() - 6);
    }
    // VirtualStringTree4MouseDown: the node under the pointer takes the focus; empty space
    // leaves no node focused.
    if (watched == VirtualStringTree4->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (VirtualStringTree4->itemAt(mouse->position().toPoint()) == nullptr) {
            VirtualStringTree4->setCurrentItem(nullptr);
            VirtualStringTree4->clearSelection();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::SyncEntityTree() {
    SyncTreeWidget(VirtualStringTree1, entityTree_,
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

void TForm1::SyncDataTree() {
    SyncTreeWidget(VirtualStringTree4, dataTree_,
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
void TForm1::MarkSelected(ConfigTree& tree, QTreeWidgetItem* current) {
    const TreePath focused = current != nullptr ? PathOfItem(current) : TreePath{};
    ForEachNode(tree, [&](const TreePath& path, ConfigTreeNode& node) {
        node.SetState(NodeState::Selected, !focused.empty() && path == focused);
    });
}

void TForm1::VirtualStringTree1Checked(int nodeIndex, bool checked) {
    ApplyEntityChanges(SetEntityCheck(entityTree_, state_.Config, nodeIndex, checked));
}

// Shows the result of the check rules: a change of "Blocks" sets the block-names field by its
// mark with "Blocks" focused, and the node changed last ends up focused. Only those focus
// changes have lasting effects, so the others are not replayed.
void TForm1::ApplyEntityChanges(const std::vector<int>& changed) {
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

void TForm1::FocusEntityNode(int nodeIndex) {
    if (QTreeWidgetItem* item =
            ItemAtPath(VirtualStringTree1, PathOfDepthFirstIndex(entityTree_, nodeIndex)))
        VirtualStringTree1->setCurrentItem(item);
}

void TForm1::ApplyBlockNamesField(bool enabled) {
    LabBlkname->setEnabled(enabled);
    blkname->setEnabled(enabled);
    if (enabled)
        blkname->setFocus();
}

void TForm1::VirtualStringTree1FocusChanged(QTreeWidgetItem* current) {
    MarkSelected(entityTree_, current);
    if (current == nullptr)
        return;
    const int index = DepthFirstIndex(entityTree_, PathOfItem(current));
    ApplyBlockNamesField(BlockNamesEnabled(state_.Config, index));
}

void TForm1::SelectAll2Click() {
    ApplyEntityChanges(CheckAllEntityNodes(entityTree_, state_.Config, true));
}

void TForm1::SelectNone1Click() {
    ApplyEntityChanges(CheckAllEntityNodes(entityTree_, state_.Config, false));
}

void TForm1::ExpandAll1Click() {
    ExpandAllNodes(entityTree_, true);
    SyncEntityTree();
}

void TForm1::CollapseAll1Click() {
    ExpandAllNodes(entityTree_, false);
    SyncEntityTree();
}

void TForm1::VirtualStringTree4Checked(const TreePath& path, bool checked) {
    SetDataCheck(dataTree_, state_.Config, path, checked);
    SyncDataTree();  // also puts back a mark the rule refused
}

void TForm1::VirtualStringTree4FocusChanged(QTreeWidgetItem* current) {
    MarkSelected(dataTree_, current);
    if (current == nullptr)
        return;  // the move buttons keep their state
    const TreePath path = PathOfItem(current);
    UpdateMoveButtons(path);
    if (IsDataCellEditable(dataTree_, path, 1))
        VirtualStringTree4->editItem(current, 1);
}

void TForm1::UpdateMoveButtons(const TreePath& focused) {
    const MoveButtons buttons = MoveButtonStates(dataTree_, focused);
    btCoordUp->setEnabled(buttons.Up);
    btCoordDown->setEnabled(buttons.Down);
}

void TForm1::VirtualStringTree4NewText(const TreePath& path, const QString& text) {
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

void TForm1::MoveFocusedItem(int delta) {
    QTreeWidgetItem* current = VirtualStringTree4->currentItem();
    if (current == nullptr)
        return;
    TreePath focused = PathOfItem(current);
    if (!MoveDataItem(dataTree_, focused, delta))
        return;
    SyncDataTree();
    VirtualStringTree4->setCurrentItem(ItemAtPath(VirtualStringTree4, focused));
    UpdateMoveButtons(focused);
}

void TForm1::btCoordUpClick() { MoveFocusedItem(-1); }
void TForm1::btCoordDownClick() { MoveFocusedItem(+1); }

void TForm1::MenuItem1Click() {
    CheckAllDataNodes(dataTree_, state_.Config, true);
    SyncDataTree();
}

void TForm1::MenuItem2Click() {
    CheckAllDataNodes(dataTree_, state_.Config, false);
    SyncDataTree();
}

void TForm1::ExpandAll2Click() {
    ExpandAllNodes(dataTree_, true);
    SyncDataTree();
}

void TForm1::CollapseAll2Click() {
    ExpandAllNodes(dataTree_, false);
    SyncDataTree();
}

void TForm1::ComboBox1Change() {
    const bool other = ComboBox1->currentIndex() == kSeparatorOther;
    EdFieldSep->setEnabled(other);
    if (other && EdFieldSep->isVisible())
        EdFieldSep->setFocus();
    state_.Config.SeparatorChoice = ComboBox1->currentIndex();
}

void TForm1::EdFieldSepChange(const QString& text) {
    SetFieldSeparator(state_.Config, ToBytes(text));
}

void TForm1::cbIncludeFieldClick(bool checked) {
    state_.Config.HeaderLine = checked ? 1 : 0;
}

void TForm1::blknameChange(const QString& text) {
    SetBlockNameFilter(state_.Config, ToBytes(text));
}

void TForm1::Edit12Change(const QString& text) {
    SetDataFileExt(state_.Config, ToBytes(text));
}

} // namespace quarrow
