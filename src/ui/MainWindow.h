#pragma once
// The main window: its frame with the three tabs and the status bar, the two configuration
// trees with the output options, the load and save actions, and the options tab. The editing
// rules themselves live in config/; the handlers here forward to them and show the result.

#include <QMainWindow>
#include <QString>
#include <atomic>
#include <vector>

#include "platform/HeaderLayout.h"
#include "platform/ProgramPaths.h"
#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "config/TreePath.h"
#include "engine/DxfFileList.h"
#include "engine/RunSettings.h"

class QAction;
class QCheckBox;
class QFileSystemModel;
class QSplitter;
class QTreeView;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quarrow {

class SettingsStore;
class DestinationChooser;
class HelpBrowser;
class LogViewer;
class ProgressWindow;
class RunSummaryPanel;
class TooltipSwitch;
class UserDialogs;

inline constexpr const char* kApplicationTitle = QUARROW_TITLE;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(SettingsStore& settings, UserDialogs& dialogs, ProgramPaths paths,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The configuration being edited, as the rules and the load and save see it.
    ConfigState& State() { return state_; }
    const ConfigTree& EntityTree() const { return entityTree_; }
    const ConfigTree& DataTree() const { return dataTree_; }
    const ProgramPaths& Paths() const { return paths_; }
    bool ShowReport() const { return showReport_; }
    bool ConfigLoading() const { return configLoading_; }

    // Start-up: restores the settings this window owns and loads the last configuration (or
    // the default one). Runs once, when the window is first shown.
    void StartUp();

    // Loads a configuration file into the record, both trees and the option controls.
    void LoadConfigFile(const QString& path);
    // " Save configuration": returns true when the file was written.
    bool onSaveClicked();
    // " Load configuration".
    void onLoadClicked();

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

    // Output options.
    void onSeparatorChoiceChanged();
    void onFieldSeparatorChanged(const QString& text);
    void onHeaderLineToggled(bool checked);
    void onBlockNamesChanged(const QString& text);
    void onExtensionChanged(const QString& text);

    // DXF Files tab: folder tree, file list, destination.
    void onFolderChanged();
    void FillFileList(const QString& folder);
    void onRefreshFolderClicked();
    void onSelectAllFilesClicked();
    void onAutoSelectClicked();
    void onFileListHeaderClicked(int column);
    void onFileSelectionChanged();
    void onUnlockDestinationClicked();  // unlock the destination
    void onLockDestinationClicked();    // lock it to the DXF folder
    void onBrowseDestinationClicked();  // browse for it
    // Selects a folder of the folder tree by path (start-up); false when it does not exist.
    bool SelectDxfFolder(const QString& path);
    QString DxfFolderPath() const;
    // The file list's header layout (widths, order, sort, colours), as saved at exit.
    HeaderLayout FileListLayout() const;
    void RestoreFileListLayout(const HeaderLayout& layout);
    DestinationChooser& DestinationDialog() { return *destinationChooser_; }
    ProgressWindow& ProgressDialog() { return *progressWindow_; }

    // The run, and the log.
    void onProcessClicked();
    void onShowLogClicked();
    bool Running() const { return running_; }
    // Opens the log in the user's viewer, or in the program's own window when none starts.
    void OpenLog();
    // Opens the last run's destination folder in the user's file manager.
    void OpenDestination();
    LogViewer* LogWindow() const { return logViewer_; }

    // The exit sequence: returns true when the program may end.
    bool onExitRequested();

    // Options tab.
    void onAlwaysShowReportClicked();
    void onNeverShowReportClicked();
    void onHelpTipsClicked(bool checked);
    void onShowHelpClicked();
    HelpBrowser* HelpWindow() const { return help_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildFrame();
    QWidget* BuildDxfFilesTab();
    QWidget* BuildFileBrowser();
    void BuildOutputControls(QWidget* group);
    void RestoreBrowserSettings();
    void ShowRows();
    QWidget* BuildConfigurationTab();
    QWidget* BuildOptionsTab();
    QWidget* BuildEntityGroup();
    QWidget* BuildDataGroup();
    QWidget* BuildOptionsGroup();
    void BuildStatusBar();
    // Enables the controls for the window's state: idle, or a run going, when nothing that
    // shapes a run may change (the run has its own copy, but the window must not show
    // settings other than those it uses).
    void ApplyRunState();
    void BuildMenus();
    void ConnectTrees();

    void SetConfigInUse(const QString& fileName);
    void SetConfigNone();
    void LoadStartupConfig();
    void PutConfigIntoControls();

    void SyncEntityTree();
    void SyncDataTree();
    void FocusEntityNode(int nodeIndex);
    void ApplyEntityChanges(const std::vector<int>& changed);
    void ApplyBlockNamesField(bool enabled);
    void MarkSelected(ConfigTree& tree, QTreeWidgetItem* current);
    void UpdateMoveButtons(const TreePath& focused);
    void MoveFocusedItem(int delta);

    SettingsStore& settings_;
    UserDialogs& dialogs_;
    ProgramPaths paths_;
    TooltipSwitch* tooltips_ = nullptr;

    ConfigState state_;
    ConfigTree entityTree_;
    ConfigTree dataTree_;
    bool configLoading_ = false;
    bool showReport_ = false;
    bool formShown_ = false;
    bool inNewText_ = false;

    QTabWidget* tabs_ = nullptr;
    QLabel* statusText_ = nullptr;
    QTreeWidget* entityTreeWidget_ = nullptr;
    QTreeWidget* dataTreeWidget_ = nullptr;
    QLabel* blockNamesLabel_ = nullptr;
    QLineEdit* blockNamesEdit_ = nullptr;
    QToolButton* moveDownButton_ = nullptr;
    QToolButton* moveUpButton_ = nullptr;
    QComboBox* separatorCombo_ = nullptr;
    QLineEdit* fieldSeparatorEdit_ = nullptr;
    QCheckBox* headerLineCheck_ = nullptr;
    QLineEdit* extensionEdit_ = nullptr;
    QRadioButton* alwaysReportRadio_ = nullptr;
    QRadioButton* neverReportRadio_ = nullptr;
    QCheckBox* helpTipsCheck_ = nullptr;
    QMenu* entityTreeMenu_ = nullptr;
    QMenu* dataTreeMenu_ = nullptr;

    // DXF Files tab.
    std::vector<DxfFileEntry> rows_;  // the listed files, in display order
    FileListColumn sortColumn_ = FileListColumn::Name;
    bool sortAscending_ = true;
    std::uint32_t sortedColour_ = 0xF2F2F2;
    std::uint32_t listColour_ = 0xFFFFFF;
    bool locked_ = true;
    bool running_ = false;
    bool exiting_ = false;
    bool exitAfterRun_ = false;  // the user chose to leave during the run: it is stopping
    QString lastDestination_;    // the last run's, for the summary's button
    RunCounters counters_;  // live as long as the program: a blank Start-at runs on
    std::atomic<bool> cancelRequested_{false};
    QFileSystemModel* folderModel_ = nullptr;
    QTreeView* folderTree_ = nullptr;
    QWidget* folderPanel_ = nullptr;
    QSplitter* browserSplitter_ = nullptr;
    QLabel* folderPathLabel_ = nullptr;
    QCheckBox* autoSelectCheck_ = nullptr;
    QTreeWidget* fileList_ = nullptr;
    QLabel* selectionCountLabel_ = nullptr;
    QLineEdit* destinationEdit_ = nullptr;
    QToolButton* unlockButton_ = nullptr;
    QToolButton* lockButton_ = nullptr;
    QToolButton* browseButton_ = nullptr;
    QToolButton* processButton_ = nullptr;
    QToolButton* loadButton_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    QWidget* filesGroup_ = nullptr;    // folder tree and file list
    QWidget* outputGroup_ = nullptr;   // destination and extension
    QWidget* entityGroup_ = nullptr;   // entity tree and block names
    QWidget* dataGroup_ = nullptr;     // data tree and its move buttons
    QWidget* optionsGroup_ = nullptr;  // field separator and header line
    RunSummaryPanel* summary_ = nullptr;
    LogViewer* logViewer_ = nullptr;
    QMenu* fileListMenu_ = nullptr;
    ProgressWindow* progressWindow_ = nullptr;
    DestinationChooser* destinationChooser_ = nullptr;
    HelpBrowser* help_ = nullptr;
};

} // namespace quarrow
