#pragma once
// The "Configuration" tab: the entity tree, the data tree with its move buttons, the output
// options, and the load and save actions. The editing rules themselves live in config/; the
// handlers here forward to them and show the result. The record and its trees belong to the
// window; this tab edits them.

#include <QString>
#include <QWidget>
#include <vector>

#include "platform/ProgramPaths.h"
#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "config/TreePath.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quarrow {

class SettingsStore;
class UserDialogs;

class ConfigurationTab final : public QWidget {
    Q_OBJECT
public:
    ConfigurationTab(ConfigState& state, ConfigTree& entityTree, ConfigTree& dataTree,
                     SettingsStore& settings, UserDialogs& dialogs, const ProgramPaths& paths);

    bool ConfigLoading() const { return configLoading_; }
    // Puts a pane on the right of the trees, in a splitter that can collapse it.
    void AddBesideTrees(QWidget* pane);
    QSplitter& TreesSplitter() { return *splitter_; }
    // The field separator as typed: a run's check resolves it into the record itself.
    QString FieldSeparatorText() const;

    // Shows the record's trees in both tree controls.
    void SyncTrees();
    // Enables the tab's controls for the window's state: idle, or a run going.
    void SetRunning(bool running);
    // The window's Load and Save commands, pressed by the tab's buttons.
    void BindCommands(QAction* load, QAction* save);

    // The configuration file in use: the status bar names it, the save dialog opens at it.
    void SetConfigInUse(const QString& path);
    void SetConfigNone();

    // Loads a configuration file into the record, both trees and the option controls;
    // returns false when it was not read in full (the message is shown).
    bool LoadConfigFile(const QString& path);
    // " Save configuration": returns true when the file was written.
    bool onSaveClicked();
    // " Load configuration".
    void onLoadClicked();
    // An entry of the recent configurations: a file that is gone leaves the list with a word
    // on what to do.
    void LoadRecentConfig(const QString& path);
    // Lists the recent configurations in the load button's menu (as it opens).
    void FillRecentMenu();

    // Entity tree (check rules, focus and block-names rule, context menu).
    void onEntityChecked(int nodeIndex, bool checked);
    void onEntityFocusChanged(QTreeWidgetItem* current);
    void onSelectAllEntitiesClicked();
    void onSelectNoEntitiesClicked();
    void onExpandAllEntitiesClicked();
    void onCollapseAllEntitiesClicked();

    // Data tree (check rule, option rules, move rules, context menu).
    void onDataChecked(const TreePath& path, bool checked);
    void onDataFocusChanged(QTreeWidgetItem* current);
    void onDataOptionEdited(const TreePath& path, const QString& text);
    void onMoveUpClicked();
    void onMoveDownClicked();
    void onSelectAllDataClicked();
    void onSelectNoDataClicked();
    void onExpandAllDataClicked();
    void onCollapseAllDataClicked();

    // Output options; the extension field sits on the "DXF Files" tab.
    void onSeparatorChoiceChanged();
    void onFieldSeparatorChanged(const QString& text);
    void onHeaderLineToggled(bool checked);
    void onQuoteFieldsToggled(bool checked);
    void onTextModeChanged(int index);
    void onBlockNamesChanged(const QString& text);
    void onExtensionChanged(const QString& text);

signals:
    void ConfigInUseChanged(const QString& fileName);
    void ConfigInUseCleared();
    // A load puts the record's extension into the extension field, which writes it back.
    void ExtensionLoaded(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildEntityGroup();
    QWidget* BuildDataGroup();
    QWidget* BuildOptionsGroup();
    void BuildMenus();
    void ConnectTrees();

    void PutConfigIntoControls();
    // Asks whether to save a changed configuration first; false when the user cancels.
    bool ConfirmLeavingChanges();
    void SyncEntityTree();
    void SyncDataTree();
    void FocusEntityNode(int nodeIndex);
    void ApplyEntityChanges(const std::vector<int>& changed);
    void ApplyBlockNamesField(bool enabled);
    void MarkSelected(ConfigTree& tree, QTreeWidgetItem* current);
    void UpdateMoveButtons(const TreePath& focused);
    void MoveFocusedItem(int delta);

    ConfigState& state_;
    ConfigTree& entityTree_;
    ConfigTree& dataTree_;
    SettingsStore& settings_;
    UserDialogs& dialogs_;
    const ProgramPaths& paths_;
    QString configInUse_;  // the full path; empty for none
    bool configLoading_ = false;
    bool inNewText_ = false;
    bool running_ = false;

    QTreeWidget* entityTreeWidget_ = nullptr;
    QTreeWidget* dataTreeWidget_ = nullptr;
    QLabel* blockNamesLabel_ = nullptr;
    QLineEdit* blockNamesEdit_ = nullptr;
    QToolButton* moveDownButton_ = nullptr;
    QToolButton* moveUpButton_ = nullptr;
    QComboBox* separatorCombo_ = nullptr;
    QLineEdit* fieldSeparatorEdit_ = nullptr;
    QCheckBox* headerLineCheck_ = nullptr;
    QCheckBox* quoteFieldsCheck_ = nullptr;
    QComboBox* textModeCombo_ = nullptr;
    QToolButton* loadButton_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* entityTreeMenu_ = nullptr;
    QMenu* dataTreeMenu_ = nullptr;
    QWidget* entityGroup_ = nullptr;   // entity tree and block names
    QWidget* dataGroup_ = nullptr;     // data tree and its move buttons
    QWidget* optionsGroup_ = nullptr;  // field separator and header line
    QSplitter* splitter_ = nullptr;    // the trees, and what the window puts beside them
};

}  // namespace quarrow
