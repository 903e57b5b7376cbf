#pragma once
// The "DXF Files" tab: the folder tree, the file list, the destination with its lock, the
// extension field, and the processing run with its progress window, summary and log. The
// rules without pixels (listing, sizes, dates, sorts, the run) live in engine/.

#include <QString>
#include <QWidget>
#include <array>
#include <atomic>
#include <functional>
#include <vector>

#include "platform/HeaderLayout.h"
#include "platform/ProgramPaths.h"
#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "engine/DxfFileList.h"
#include "engine/RunSettings.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QToolButton;
class QTreeWidget;

namespace quarrow {

class DestinationChooser;
class FolderTree;
class LogViewer;
class ProgressWindow;
class RunSummaryPanel;
class SettingsStore;
class UserDialogs;

// What a run starts from: the configuration in use as the window holds it when Process is
// pressed. The field separator is the field's text, which the run's check resolves itself.
struct RunConfiguration {
    ExportConfig& Config;
    const ConfigTree& EntityTree;
    const ConfigTree& DataTree;
    QString FieldSeparatorText;
    bool KeepGoing = false;  // a drawing that ends on an error does not end the run
};

class FilesTab final : public QWidget {
    Q_OBJECT
public:
    // owner: the window the progress window and the destination chooser open over.
    FilesTab(SettingsStore& settings, UserDialogs& dialogs, const ProgramPaths& paths,
             QWidget* owner);

    // Where a run takes its configuration from.
    void SetConfigurationSource(std::function<RunConfiguration()> source);
    // Start-up: the DXF folder, the destination and its lock, the header layout, the folder
    // panel's width and AutoSelect, as the settings hold them.
    void RestoreSettings();
    // Enables the tab's controls for the window's state: idle, or a run going.
    void SetRunning(bool running);
    // Shows a loaded configuration's extension; the field writes it back by its own rule.
    void SetExtension(const QString& text);
    // The window's Process and Exit commands, pressed by the tab's buttons, and its Stop
    // command, pressed by the progress window's.
    void BindCommands(QAction* process, QAction* exit, QAction* stop);
    int SelectedCount() const;

    // Folder tree, file list, destination.
    void onFolderChanged();
    void FillFileList(const QString& folder);
    void onRefreshFolderClicked();
    // F5: the folder tree read again from the disk, then the file list.
    void onRefreshClicked();
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
    // The drawing of the file list's current row (a double click makes its row current);
    // empty when the list has none.
    QString CurrentDrawingPath() const;
    QString DestinationPath() const;
    int FolderPanelWidth() const;
    // The file list's header layout (widths, order, sort, colours), as saved at exit.
    HeaderLayout FileListLayout() const;
    void RestoreFileListLayout(const HeaderLayout& layout);
    DestinationChooser& DestinationDialog() { return *destinationChooser_; }
    ProgressWindow& ProgressDialog() { return *progressWindow_; }

    // Opens dropped paths: a folder, or drawings, whose folder opens with them selected.
    // Returns false when nothing could be opened.
    bool OpenDroppedPaths(const QStringList& paths);

    // The run, and the log.
    void onProcessClicked();
    void onShowLogClicked();
    bool Running() const { return running_; }
    // Stop: the run stops at the drawing's next line.
    void RequestStop();
    // The user chose to leave during the run: it stops, and the exit goes on after it.
    void StopForExit();
    bool StoppingForExit() const { return exitAfterRun_; }
    // Opens the log in the user's viewer, or in the program's own window when none starts.
    void OpenLog();
    // The last run's report: its log, or the report held when it wrote none.
    void OpenRunReport();
    // Opens the last run's destination folder in the user's file manager.
    void OpenDestination();
    LogViewer* LogWindow() const { return logViewer_; }

signals:
    void ExtensionEdited(const QString& text);
    // A run started or ended: the window sets every tab's controls for it.
    void RunningChanged();
    void SummaryShown();
    // A run ended with its log written and nothing else to tell.
    void LogReady();
    // Files were selected or deselected.
    void SelectionChanged();
    // The file list's current row changed, or was double-clicked.
    void CurrentDrawingChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildFileBrowser();
    void BuildOutputControls(QWidget* group);
    void ShowRows();
    // Widens Modified and Size to their text; narrows them too while the user has not sized
    // them.
    void FitColumns();

    SettingsStore& settings_;
    UserDialogs& dialogs_;
    const ProgramPaths& paths_;
    std::function<RunConfiguration()> configurationSource_;

    std::vector<DxfFileEntry> rows_;  // the listed files, in display order
    FileListColumn sortColumn_ = FileListColumn::Name;
    bool sortAscending_ = true;
    std::uint32_t sortedColour_ = 0xF2F2F2;
    std::uint32_t listColour_ = 0xFFFFFF;
    bool locked_ = true;
    std::array<bool, kHeaderColumns> userWidths_{};  // columns sized by the user
    bool fittingColumns_ = false;                    // the program is sizing them
    bool running_ = false;
    bool exitAfterRun_ = false;  // the user chose to leave during the run: it is stopping
    QString lastDestination_;    // the last run's, for the summary's button
    QString heldReport_;         // the last run's report when it wrote no log; else empty
    QString heldReportCaption_;
    RunCounters counters_;  // live as long as the program: a blank Start-at runs on
    std::atomic<bool> cancelRequested_{false};
    FolderTree* folderTree_ = nullptr;
    QWidget* folderPanel_ = nullptr;
    QSplitter* browserSplitter_ = nullptr;
    QLabel* folderPathLabel_ = nullptr;
    QCheckBox* autoSelectCheck_ = nullptr;
    QTreeWidget* fileList_ = nullptr;
    QLabel* selectionCountLabel_ = nullptr;
    QLineEdit* destinationEdit_ = nullptr;
    QLineEdit* extensionEdit_ = nullptr;
    QToolButton* unlockButton_ = nullptr;
    QToolButton* lockButton_ = nullptr;
    QToolButton* browseButton_ = nullptr;
    QToolButton* processButton_ = nullptr;
    QToolButton* exitButton_ = nullptr;
    QWidget* filesGroup_ = nullptr;   // folder tree and file list
    QWidget* outputGroup_ = nullptr;  // destination and extension
    RunSummaryPanel* summary_ = nullptr;
    LogViewer* logViewer_ = nullptr;
    QMenu* fileListMenu_ = nullptr;
    ProgressWindow* progressWindow_ = nullptr;
    DestinationChooser* destinationChooser_ = nullptr;
};

}  // namespace quarrow
