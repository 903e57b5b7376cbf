#include "ui/ConfigurationTab.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <string>

#include "platform/RecentConfigs.h"
#include "platform/SettingsStore.h"
#include "config/ConfigFile.h"
#include "config/DataTreeRules.h"
#include "config/EntityTreeRules.h"
#include "config/NodeTables.h"
#include "ui/ConfigTreeWidget.h"
#include "ui/Images.h"
#include "ui/TabParts.h"
#include "ui/UserDialogs.h"

namespace quarrow {
namespace {

const QString kConfigFilter = QStringLiteral("Quarrow configuration files (*.qrw)");
const QString kChangedQuestion =
    QStringLiteral("Current configuration has changed, do you want to save it ?");

// Texts of the record are bytes of a single-byte code page; the controls show them as Latin-1.
std::string ToBytes(const QString& text) {
    return text.toLatin1().toStdString();
}

QString FromTable(std::string_view text) {
    QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

QAction* AddMenuItem(QMenu* menu, const char* name, const char* caption, int image) {
    QAction* action = menu->addAction(Images::Pop(image), QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

ConfigurationTab::ConfigurationTab(ConfigState& state, ConfigTree& entityTree, ConfigTree& dataTree,
                                   SettingsStore& settings, UserDialogs& dialogs,
                                   const ProgramPaths& paths)
    : state_(state), entityTree_(entityTree), dataTree_(dataTree), settings_(settings),
      dialogs_(dialogs), paths_(paths) {
    setObjectName(QStringLiteral("TabSheet7"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 0);
    layout->setSpacing(6);

    // The trees on the left of a splitter; a pane the window adds may sit on its right.
    auto* treesSide = new QWidget(this);
    auto* trees = new QHBoxLayout(treesSide);
    trees->setContentsMargins(0, 0, 0, 0);
    trees->setSpacing(5);
    trees->addWidget(BuildEntityGroup());
    trees->addWidget(BuildDataGroup(), 1);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("ConfigurationSplitter"));
    splitter_->addWidget(treesSide);
    splitter_->setCollapsible(0, false);
    layout->addWidget(splitter_, 1);
    layout->addWidget(BuildOptionsGroup());

    QToolBar* toolbar = nullptr;
    layout->addWidget(MakeToolbarPanel("Panel2", toolbar));
    toolbar->setObjectName(QStringLiteral("ToolBar3"));
    loadButton_ = AddToolButton(toolbar, "btload", " Load configuration",
                                "Load a configuration file.", 0, 100);
    saveButton_ = AddToolButton(toolbar, "btsave", " Save configuration",
                                "Save current configuration to file.", 1, 100);
    // The load button's menu lists the configurations last loaded or saved.
    recentMenu_ = new QMenu(loadButton_);
    recentMenu_->setObjectName(QStringLiteral("RecentConfigs"));
    loadButton_->setMenu(recentMenu_);
    loadButton_->setPopupMode(QToolButton::MenuButtonPopup);
    connect(recentMenu_, &QMenu::aboutToShow, this, &ConfigurationTab::FillRecentMenu);

    BuildMenus();
    ConnectTrees();
}

void ConfigurationTab::AddBesideTrees(QWidget* pane) {
    splitter_->addWidget(pane);
    splitter_->setCollapsible(splitter_->indexOf(pane), true);
    // The trees keep their room as the window grows; the pane takes a third at first.
    splitter_->setStretchFactor(0, 2);
    splitter_->setStretchFactor(splitter_->indexOf(pane), 1);
}

QString ConfigurationTab::FieldSeparatorText() const {
    return fieldSeparatorEdit_->text();
}

void ConfigurationTab::SyncTrees() {
    SyncEntityTree();
    SyncDataTree();
}

void ConfigurationTab::SetRunning(bool running) {
    running_ = running;
    const bool idle = !running;
    // A disabled group disables its children and gives them back their own state after, so
    // the rules that enable single fields (block names, separator, move buttons) keep
    // working under it.
    for (QWidget* group : {entityGroup_, dataGroup_, optionsGroup_})
        group->setEnabled(idle);
}

void ConfigurationTab::BindCommands(QAction* load, QAction* save) {
    BindButton(loadButton_, load);
    BindButton(saveButton_, save);
}

void ConfigurationTab::SetConfigInUse(const QString& path) {
    configInUse_ = QFileInfo(path).absoluteFilePath();
    emit ConfigInUseChanged(QFileInfo(path).fileName());
}

void ConfigurationTab::SetConfigNone() {
    configInUse_.clear();
    emit ConfigInUseCleared();
}

bool ConfigurationTab::LoadConfigFile(const QString& path) {
    configLoading_ = true;
    const ReadResult result =
        ReadConfigFile(path.toStdString(), state_.Config, entityTree_, dataTree_);
    if (result.Outcome != ConfigReadOutcome::NotRead) {
        SyncEntityTree();
        SyncDataTree();
    }
    if (result.Outcome != ConfigReadOutcome::ReadInFull) {
        configLoading_ = false;
        dialogs_.ShowMessage(window(), MessageKind::Error, QString::fromStdString(result.Message));
        return false;
    }
    // Told as a partly read file is, but the load goes on: the trees hold what runs.
    if (result.FlagsRebuilt)
        dialogs_.ShowMessage(
            window(), MessageKind::Error,
            QString::fromUtf8(kMsgFlagsRebuilt.data(), qsizetype(kMsgFlagsRebuilt.size())));
    PutConfigIntoControls();
    // The trees hold new nodes now: focus their first ones afresh, so the focus rules run even
    // where the first row was focused before.
    for (QTreeWidget* tree : {entityTreeWidget_, dataTreeWidget_}) {
        tree->setCurrentItem(nullptr);
        tree->setCurrentItem(tree->topLevelItem(0));
    }
    configLoading_ = false;
    MarkConfigSaved(state_, entityTree_, dataTree_);
    // The full path, so a configuration kept outside the configurations folder is found at
    // the next start too.
    settings_.WriteText(SettingName::Config, QFileInfo(path).absoluteFilePath());
    return true;
}

void ConfigurationTab::PutConfigIntoControls() {
    // Each control that shows another value writes it back by its own rule.
    const ExportConfig config = state_.Config;
    blockNamesEdit_->setText(QString::fromLatin1(config.BlockNameFilter));
    fieldSeparatorEdit_->setText(QString::fromLatin1(config.FieldSeparator));
    headerLineCheck_->setChecked(config.HeaderLine != 0);
    quoteFieldsCheck_->setChecked(config.QuoteFields);
    textModeCombo_->setCurrentIndex(config.Text == TextMode::PlainUtf8 ? 1 : 0);
    emit ExtensionLoaded(QString::fromLatin1(config.DataFileExt));
    const int choice = config.SeparatorChoice;
    separatorCombo_->setCurrentIndex(choice >= 0 && choice < separatorCombo_->count() ? choice
                                                                                      : -1);
    onSeparatorChoiceChanged();
}

bool ConfigurationTab::onSaveClicked() {
    FileDialogRequest request;
    request.Title = QStringLiteral("Save current configuration");
    request.Filter = kConfigFilter;
    request.DefaultSuffix = QStringLiteral("qrw");
    // The folder of the configuration in use, wherever it was saved.
    request.Folder =
        configInUse_.isEmpty() ? paths_.ConfigFolder : QFileInfo(configInUse_).absolutePath();
    request.ProposedName = configInUse_.isEmpty() ? QString() : QFileInfo(configInUse_).fileName();
    const QString path = dialogs_.ChooseSaveFile(window(), request);
    if (path.isEmpty())
        return false;
    const WriteResult written =
        WriteConfigFile(path.toStdString(), state_.Config, entityTree_, dataTree_);
    if (!written.Ok) {
        dialogs_.ShowMessage(window(), MessageKind::Error, QString::fromStdString(written.Message));
        return false;
    }
    SetConfigInUse(path);
    settings_.WriteText(SettingName::Config, QFileInfo(path).absoluteFilePath());
    MarkConfigSaved(state_, entityTree_, dataTree_);
    RememberRecentConfig(settings_, QFileInfo(path).absoluteFilePath());
    return true;
}

void ConfigurationTab::onLoadClicked() {
    if (running_)
        return;  // the controls are disabled then; this keeps any other caller out too
    if (!ConfirmLeavingChanges())
        return;
    FileDialogRequest request;
    request.Title = QStringLiteral("Load a configuration");
    request.Filter = kConfigFilter;
    request.DefaultSuffix = QStringLiteral("qrw");
    request.Folder = paths_.ConfigFolder;
    const QString path = dialogs_.ChooseOpenFile(window(), request);
    if (path.isEmpty())
        return;
    SetConfigInUse(path);
    if (LoadConfigFile(path))
        RememberRecentConfig(settings_, QFileInfo(path).absoluteFilePath());
}

bool ConfigurationTab::ConfirmLeavingChanges() {
    if (!IsConfigChanged(state_, entityTree_, dataTree_))
        return true;
    const Answer answer = dialogs_.AskYesNoCancel(window(), kChangedQuestion);
    if (answer == Answer::Cancel)
        return false;
    return answer == Answer::No || onSaveClicked();
}

void ConfigurationTab::FillRecentMenu() {
    recentMenu_->clear();
    const QStringList paths = ReadRecentConfigs(settings_);
    if (paths.isEmpty()) {
        recentMenu_->addAction(QStringLiteral("No recent configurations"))->setEnabled(false);
        return;
    }
    for (int i = 0; i < paths.size(); ++i) {
        const QString& path = paths[i];
        // Files of the configurations folder by name; others with their folder.
        const QString shown = QFileInfo(path).path() == QDir(paths_.ConfigFolder).absolutePath()
                                  ? QFileInfo(path).fileName()
                                  : QDir::toNativeSeparators(path);
        QAction* action = recentMenu_->addAction(
            QStringLiteral("&%1  %2").arg(i + 1).arg(QString(shown).replace('&', "&&")));
        action->setToolTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path] { LoadRecentConfig(path); });
    }
}

void ConfigurationTab::LoadRecentConfig(const QString& path) {
    if (running_)
        return;
    if (!QFileInfo(path).isFile()) {
        ForgetRecentConfig(settings_, path);
        dialogs_.ShowMessage(
            window(), MessageKind::Information,
            QStringLiteral("The configuration file \"%1\" no longer exists, so it was removed "
                           "from the recent configurations. If it was moved or renamed, open "
                           "it with \" Load configuration\".")
                .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!ConfirmLeavingChanges())
        return;
    SetConfigInUse(path);
    if (LoadConfigFile(path))
        RememberRecentConfig(settings_, path);
}

QWidget* ConfigurationTab::BuildEntityGroup() {
    auto* group = MakeGroup("GroupBox3", " DXF Entities to process ", true);
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
    connect(blockNamesEdit_, &QLineEdit::textChanged, this, &ConfigurationTab::onBlockNamesChanged);
    return group;
}

QWidget* ConfigurationTab::BuildDataGroup() {
    auto* group = MakeGroup("GroupBox4", " Exported data ", true);
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
    // The names take the width they need and the options follow right after them.
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
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
    connect(moveDownButton_, &QToolButton::clicked, this, &ConfigurationTab::onMoveDownClicked);
    connect(moveUpButton_, &QToolButton::clicked, this, &ConfigurationTab::onMoveUpClicked);
    return group;
}

QWidget* ConfigurationTab::BuildOptionsGroup() {
    auto* group = MakeGroup("GroupBox6", " Options ", true);
    optionsGroup_ = group;
    // Two rows: the separator and header line as they always were, the text options below.
    group->setFixedHeight(72);
    auto* rows = new QVBoxLayout(group);
    rows->setContentsMargins(8, 2, 8, 2);
    rows->setSpacing(2);
    auto* layout = new QHBoxLayout;
    auto* textRow = new QHBoxLayout;
    rows->addLayout(layout);
    rows->addLayout(textRow);
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
    quoteFieldsCheck_ = new QCheckBox(QStringLiteral("Quote values (CSV)"));
    quoteFieldsCheck_->setObjectName(QStringLiteral("cbQuoteValues"));
    quoteFieldsCheck_->setToolTip(
        QStringLiteral("Put a value holding the field separator, a double quote or a line break "
                       "between double quotes, so spreadsheets and CSV readers split the "
                       "records correctly"));
    auto* textLabel = new QLabel(QStringLiteral("Text : "));
    textLabel->setObjectName(QStringLiteral("LabelTextMode"));
    textModeCombo_ = new QComboBox;
    textModeCombo_->setObjectName(QStringLiteral("cbTextMode"));
    textModeCombo_->setToolTip(
        QStringLiteral("as written: the drawing's bytes unchanged; plain UTF-8: texts decoded "
                       "from the drawing's code page, without formatting codes"));
    textModeCombo_->addItem(QStringLiteral("as written"));
    textModeCombo_->addItem(QStringLiteral("plain UTF-8"));
    layout->addSpacing(20);
    layout->addWidget(headerLineCheck_);
    layout->addStretch();
    textRow->addWidget(quoteFieldsCheck_);
    textRow->addSpacing(20);
    textRow->addWidget(textLabel);
    textRow->addWidget(textModeCombo_);
    textRow->addStretch();
    // activated: the user's choice only; a load applies the same rule itself.
    connect(separatorCombo_, &QComboBox::activated, this, [this] { onSeparatorChoiceChanged(); });
    connect(fieldSeparatorEdit_, &QLineEdit::textChanged, this,
            &ConfigurationTab::onFieldSeparatorChanged);
    connect(headerLineCheck_, &QCheckBox::toggled, this, &ConfigurationTab::onHeaderLineToggled);
    connect(quoteFieldsCheck_, &QCheckBox::toggled, this, &ConfigurationTab::onQuoteFieldsToggled);
    connect(textModeCombo_, &QComboBox::currentIndexChanged, this,
            &ConfigurationTab::onTextModeChanged);
    return group;
}

void ConfigurationTab::BuildMenus() {
    entityTreeMenu_ = new QMenu(this);
    entityTreeMenu_->setObjectName(QStringLiteral("PopupMenu2"));
    connect(AddMenuItem(entityTreeMenu_, "SelectAll2", "Select All", 0), &QAction::triggered, this,
            &ConfigurationTab::onSelectAllEntitiesClicked);
    connect(AddMenuItem(entityTreeMenu_, "SelectNone1", "Select None", 1), &QAction::triggered,
            this, &ConfigurationTab::onSelectNoEntitiesClicked);
    entityTreeMenu_->addSeparator();
    connect(AddMenuItem(entityTreeMenu_, "ExpandAll1", "Expand All", 2), &QAction::triggered, this,
            &ConfigurationTab::onExpandAllEntitiesClicked);
    connect(AddMenuItem(entityTreeMenu_, "CollapseAll1", "Collapse All", 3), &QAction::triggered,
            this, &ConfigurationTab::onCollapseAllEntitiesClicked);

    dataTreeMenu_ = new QMenu(this);
    dataTreeMenu_->setObjectName(QStringLiteral("PopupMenu3"));
    connect(AddMenuItem(dataTreeMenu_, "MenuItem1", "Select All", 0), &QAction::triggered, this,
            &ConfigurationTab::onSelectAllDataClicked);
    connect(AddMenuItem(dataTreeMenu_, "MenuItem2", "Select None", 1), &QAction::triggered, this,
            &ConfigurationTab::onSelectNoDataClicked);
    dataTreeMenu_->addSeparator();
    connect(AddMenuItem(dataTreeMenu_, "ExpandAll2", "Expand All", 2), &QAction::triggered, this,
            &ConfigurationTab::onExpandAllDataClicked);
    connect(AddMenuItem(dataTreeMenu_, "CollapseAll2", "Collapse All", 3), &QAction::triggered,
            this, &ConfigurationTab::onCollapseAllDataClicked);

    for (auto [tree, menu] : {std::pair{entityTreeWidget_, entityTreeMenu_},
                              std::pair{dataTreeWidget_, dataTreeMenu_}}) {
        tree->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(tree, &QWidget::customContextMenuRequested, this, [tree, menu](const QPoint& pos) {
            menu->popup(tree->viewport()->mapToGlobal(pos));
        });
    }
}

void ConfigurationTab::ConnectTrees() {
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
    for (auto [widget, tree] :
         {std::pair{entityTreeWidget_, &entityTree_}, std::pair{dataTreeWidget_, &dataTree_}}) {
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

bool ConfigurationTab::eventFilter(QObject* watched, QEvent* event) {
    // A press on the data tree: the node under the pointer takes the focus; empty space
    // leaves no node focused.
    if (watched == dataTreeWidget_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (dataTreeWidget_->itemAt(mouse->position().toPoint()) == nullptr) {
            dataTreeWidget_->setCurrentItem(nullptr);
            dataTreeWidget_->clearSelection();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ConfigurationTab::SyncEntityTree() {
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

void ConfigurationTab::SyncDataTree() {
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
void ConfigurationTab::MarkSelected(ConfigTree& tree, QTreeWidgetItem* current) {
    const TreePath focused = current != nullptr ? PathOfItem(current) : TreePath{};
    ForEachNode(tree, [&](const TreePath& path, ConfigTreeNode& node) {
        node.SetState(NodeState::Selected, !focused.empty() && path == focused);
    });
}

void ConfigurationTab::onEntityChecked(int nodeIndex, bool checked) {
    ApplyEntityChanges(SetEntityCheck(entityTree_, state_.Config, nodeIndex, checked));
}

// Shows the result of the check rules: a change of "Blocks" sets the block-names field by its
// mark with "Blocks" focused, and the node changed last ends up focused. Only those focus
// changes have lasting effects, so the others are not replayed.
void ConfigurationTab::ApplyEntityChanges(const std::vector<int>& changed) {
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

void ConfigurationTab::FocusEntityNode(int nodeIndex) {
    if (QTreeWidgetItem* item =
            ItemAtPath(entityTreeWidget_, PathOfDepthFirstIndex(entityTree_, nodeIndex)))
        entityTreeWidget_->setCurrentItem(item);
}

void ConfigurationTab::ApplyBlockNamesField(bool enabled) {
    blockNamesLabel_->setEnabled(enabled);
    blockNamesEdit_->setEnabled(enabled);
    if (enabled)
        blockNamesEdit_->setFocus();
}

void ConfigurationTab::onEntityFocusChanged(QTreeWidgetItem* current) {
    MarkSelected(entityTree_, current);
    if (current == nullptr)
        return;
    const int index = DepthFirstIndex(entityTree_, PathOfItem(current));
    ApplyBlockNamesField(BlockNamesEnabled(state_.Config, index));
}

void ConfigurationTab::onSelectAllEntitiesClicked() {
    ApplyEntityChanges(CheckAllEntityNodes(entityTree_, state_.Config, true));
}

void ConfigurationTab::onSelectNoEntitiesClicked() {
    ApplyEntityChanges(CheckAllEntityNodes(entityTree_, state_.Config, false));
}

void ConfigurationTab::onExpandAllEntitiesClicked() {
    ExpandAllNodes(entityTree_, true);
    SyncEntityTree();
}

void ConfigurationTab::onCollapseAllEntitiesClicked() {
    ExpandAllNodes(entityTree_, false);
    SyncEntityTree();
}

void ConfigurationTab::onDataChecked(const TreePath& path, bool checked) {
    SetDataCheck(dataTree_, state_.Config, path, checked);
    SyncDataTree();  // also puts back a mark the rule refused
}

void ConfigurationTab::onDataFocusChanged(QTreeWidgetItem* current) {
    MarkSelected(dataTree_, current);
    if (current == nullptr)
        return;  // the move buttons keep their state
    const TreePath path = PathOfItem(current);
    UpdateMoveButtons(path);
    if (IsDataCellEditable(dataTree_, path, 1))
        dataTreeWidget_->editItem(current, 1);
}

void ConfigurationTab::UpdateMoveButtons(const TreePath& focused) {
    const MoveButtons buttons = MoveButtonStates(dataTree_, focused);
    moveUpButton_->setEnabled(buttons.Up);
    moveDownButton_->setEnabled(buttons.Down);
}

void ConfigurationTab::onDataOptionEdited(const TreePath& path, const QString& text) {
    // A refusal message takes the focus from the editor, which commits again: ignore that.
    if (configLoading_ || inNewText_)
        return;
    const ConfigTreeNode* node = NodeAtPath(dataTree_, path);
    if (node == nullptr)
        return;
    inNewText_ = true;
    const OptionEdit edit = ApplyOptionText(state_.Config, node->Index, ToBytes(text));
    if (!edit.Accepted)
        dialogs_.ShowMessage(window(), MessageKind::Error, FromTable(edit.Message));
    SyncDataTree();
    inNewText_ = false;
}

void ConfigurationTab::MoveFocusedItem(int delta) {
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

void ConfigurationTab::onMoveUpClicked() {
    MoveFocusedItem(-1);
}
void ConfigurationTab::onMoveDownClicked() {
    MoveFocusedItem(+1);
}

void ConfigurationTab::onSelectAllDataClicked() {
    CheckAllDataNodes(dataTree_, state_.Config, true);
    SyncDataTree();
}

void ConfigurationTab::onSelectNoDataClicked() {
    CheckAllDataNodes(dataTree_, state_.Config, false);
    SyncDataTree();
}

void ConfigurationTab::onExpandAllDataClicked() {
    ExpandAllNodes(dataTree_, true);
    SyncDataTree();
}

void ConfigurationTab::onCollapseAllDataClicked() {
    ExpandAllNodes(dataTree_, false);
    SyncDataTree();
}

void ConfigurationTab::onSeparatorChoiceChanged() {
    const bool other = separatorCombo_->currentIndex() == kSeparatorOther;
    fieldSeparatorEdit_->setEnabled(other);
    if (other && fieldSeparatorEdit_->isVisible())
        fieldSeparatorEdit_->setFocus();
    state_.Config.SeparatorChoice = separatorCombo_->currentIndex();
}

void ConfigurationTab::onFieldSeparatorChanged(const QString& text) {
    SetFieldSeparator(state_.Config, ToBytes(text));
}

void ConfigurationTab::onHeaderLineToggled(bool checked) {
    state_.Config.HeaderLine = checked ? 1 : 0;
}

void ConfigurationTab::onQuoteFieldsToggled(bool checked) {
    state_.Config.QuoteFields = checked;
}

void ConfigurationTab::onTextModeChanged(int index) {
    state_.Config.Text = index == 1 ? TextMode::PlainUtf8 : TextMode::AsWritten;
}

void ConfigurationTab::onBlockNamesChanged(const QString& text) {
    SetBlockNameFilter(state_.Config, ToBytes(text));
}

void ConfigurationTab::onExtensionChanged(const QString& text) {
    SetDataFileExt(state_.Config, ToBytes(text));
}

}  // namespace quarrow
