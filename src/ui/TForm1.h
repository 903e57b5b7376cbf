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
class HelpBrowser;
class LogViewer;
class RunSummaryPanel;
class TForm2;
class TForm3;
class TooltipSwitch;
class UserDialogs;

inline constexpr const char* kApplicationTitle = QUARROW_TITLE;

class TForm1 final : public QMainWindow {
    Q_OBJECT
public:
    TForm1(SettingsStore& settings, UserDialogs& dialogs, ProgramPaths paths,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // The configuration being edited, as the rules and the load and save see it.
    ConfigState& State() { return state_; }
    const ConfigTree& EntityTree() const { return entityTree_; }
    const ConfigTree& DataTree() const { return dataTree_; }
    const ProgramPaths& Paths() const { return paths_; }
    bool ShowReport() const { return showReport_; }
    bool ConfigLoading() const { return configLoading_; }

    // Start-up: restores the settings this window owns and loads the last configuration (or
    // the default one). Runs once, when the window is first shown.
    void FormShow();

    // Loads a configuration file into the record, both trees and the option controls.
    void LoadConfigFile(const QString& path);
    // " Save configuration": returns true when the file was written.
    bool btsaveClick();
    // " Load configuration".
    void btloadClick();

    // Entity tree (check rules, focus and block-names rule, context menu).
    void VirtualStringTree1Checked(int nodeIndex, bool checked);
    void VirtualStringTree1FocusChanged(QTreeWidgetItem* current);
    void SelectAll2Click();
    void SelectNone1Click();
    void ExpandAll1Click();
    void CollapseAll1Click();

    // Data tree (check rule, option rules, move rules, context menu).
    void VirtualStringTree4Checked(const TreePath& path, bool checked);
    void VirtualStringTree4FocusChanged(QTreeWidgetItem* current);
    void VirtualStringTree4NewText(const TreePath& path, const QString& text);
    void btCoordUpClick();
    void btCoordDownClick();
    void MenuItem1Click();
    void MenuItem2Click();
    void ExpandAll2Click();
    void CollapseAll2Click();

    // Output options.
    void ComboBox1Change();
    void EdFieldSepChange(const QString& text);
    void cbIncludeFieldClick(bool checked);
    void blknameChange(const QString& text);
    void Edit12Change(const QString& text);

    // DXF Files tab: folder tree, file list, destination.
    void sh1Change();
    void FillFileList(const QString& folder);
    void Refreshfolder1Click();
    void SelectAll1Click();
    void autoselClick();
    void VTFilesHeaderClick(int column);
    void VTFilesStateChange();
    void SpeedButton1Click();  // unlock the destination
    void SpeedButton2Click();  // lock it to the DXF folder
    void SpeedButton4Click();  // browse for it
    // Selects a folder of the folder tree by path (start-up); false when it does not exist.
    bool SelectDxfFolder(const QString& path);
    QString DxfFolderPath() const;
    // The file list's header layout (widths, order, sort, colours), as saved at exit.
    HeaderLayout VTFilesLayout() const;
    void RestoreVTFilesLayout(const HeaderLayout& layout);
    TForm3& DestinationChooser() { return *form3_; }
    TForm2& ProgressWindow() { return *form2_; }

    // The run, and the log.
    void btprocessClick();
    void ToolButton2Click();
    bool Running() const { return running_; }
    // Opens the log in the user's viewer, or in the program's own window when none starts.
    void OpenLog();
    // Opens the last run's destination folder in the user's file manager.
    void OpenDestination();
    LogViewer* LogWindow() const { return logViewer_; }

    // The exit sequence: returns true when the program may end.
    bool btexitClick();

    // Options tab.
    void rep1Click();
    void rep3Click();
    void shelptipsClick(bool checked);
    void BitBtn7Click();
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

    QTabWidget* PageControl1 = nullptr;
    QLabel* statusText_ = nullptr;
    QTreeWidget* VirtualStringTree1 = nullptr;
    QTreeWidget* VirtualStringTree4 = nullptr;
    QLabel* LabBlkname = nullptr;
    QLineEdit* blkname = nullptr;
    QToolButton* btCoordDown = nullptr;
    QToolButton* btCoordUp = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLineEdit* EdFieldSep = nullptr;
    QCheckBox* cbIncludeField = nullptr;
    QLineEdit* Edit12 = nullptr;
    QRadioButton* rep1 = nullptr;
    QRadioButton* rep3 = nullptr;
    QCheckBox* shelptips = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* PopupMenu3 = nullptr;

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
    QFileSystemModel* sh1Model_ = nullptr;
    QTreeView* sh1 = nullptr;
    QWidget* Panel4 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QLabel* Label30 = nullptr;
    QCheckBox* autosel = nullptr;
    QTreeWidget* VTFiles = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* btprocess = nullptr;
    QToolButton* btload = nullptr;
    QToolButton* btsave = nullptr;
    QWidget* GroupBox1 = nullptr;  // folder tree and file list
    QWidget* GroupBox2 = nullptr;  // destination and extension
    QWidget* GroupBox3 = nullptr;  // entity tree and block names
    QWidget* GroupBox4 = nullptr;  // data tree and its move buttons
    QWidget* GroupBox6 = nullptr;  // field separator and header line
    RunSummaryPanel* summary_ = nullptr;
    LogViewer* logViewer_ = nullptr;
    QMenu* PopupMenu1 = nullptr;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    HelpBrowser* help_ = nullptr;
};

} // namespace quarrow
