#pragma once
// The main window: its frame with the three tabs and the status bar, the start-up and exit
// sequences, and the state the tabs share (the configuration being edited, the settings, the
// dialogs). The tabs do their own work; the window wires them together.

#include <QMainWindow>
#include <QString>

#include "platform/ProgramPaths.h"
#include "config/ConfigTree.h"
#include "config/ExportConfig.h"

class QAction;
class QLabel;
class QTabWidget;

namespace quarrow {

class ConfigurationTab;
class FilesTab;
class OptionsTab;
class PreviewPane;
class SettingsStore;
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

    // The commands, as the buttons, the menus and the keys use them.
    struct Commands {
        QAction* Load = nullptr;
        QAction* Save = nullptr;
        QAction* Process = nullptr;
        QAction* Stop = nullptr;
        QAction* Help = nullptr;
        QAction* Exit = nullptr;
    };
    const Commands& Command() const { return commands_; }

    FilesTab& Files() { return *files_; }
    ConfigurationTab& Configuration() { return *configuration_; }
    OptionsTab& Options() { return *options_; }
    PreviewPane& Preview() { return *preview_; }

    // Start-up: restores the settings this window owns and loads the last configuration (or
    // the default one). Runs once, when the window is first shown.
    void StartUp();

    // The exit sequence: returns true when the program may end.
    bool onExitRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildFrame();
    void BuildStatusBar();
    void ConnectTabs();
    // The commands, each one QAction for its button, its menu entry and its keys: Ctrl+O
    // load, Ctrl+S save, Ctrl+Return process, Esc stop, F1 help, Ctrl+Q exit; F5 reads the
    // folders and the file list again.
    void BuildCommands();
    // Enables the controls for the window's state: idle, or a run going, when nothing that
    // shapes a run may change (the run has its own copy, but the window must not show
    // settings other than those it uses).
    void ApplyRunState();
    // Decides which commands can be used now: the one place that does.
    void UpdateCommands();

    void LoadStartupConfig();
    void ShowConfigInUse(const QString& fileName);
    void ShowConfigNone();

    SettingsStore& settings_;
    UserDialogs& dialogs_;
    ProgramPaths paths_;
    TooltipSwitch* tooltips_ = nullptr;

    Commands commands_;
    ConfigState state_;
    ConfigTree entityTree_;
    ConfigTree dataTree_;
    bool formShown_ = false;
    bool exiting_ = false;

    QTabWidget* tabs_ = nullptr;
    QLabel* statusText_ = nullptr;
    FilesTab* files_ = nullptr;
    ConfigurationTab* configuration_ = nullptr;
    OptionsTab* options_ = nullptr;
    PreviewPane* preview_ = nullptr;
};

}  // namespace quarrow
