#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <algorithm>
#include <functional>

#include "platform/HeaderLayout.h"
#include "platform/SettingsStore.h"
#include "config/ConfigFile.h"
#include "engine/ProcessingRun.h"
#include "ui/ConfigurationTab.h"
#include "ui/FilesTab.h"
#include "ui/Images.h"
#include "ui/OptionsTab.h"
#include "ui/PreviewPane.h"
#include "ui/SplitterSizes.h"
#include "ui/TooltipSwitch.h"
#include "ui/UserDialogs.h"

namespace quarrow {
namespace {

const QString kStatusPrefix = QStringLiteral("Configuration file in use : ");
const QString kCaptionPrefix = QStringLiteral("Quarrow V 4.02 - [");
const QString kChangedQuestion =
    QStringLiteral("Current configuration has changed, do you want to save it ?");

// The status bar's first panel: its background, then the status image 2 pixels from the top.
class StatusIconPanel final : public QWidget {
public:
    explicit StatusIconPanel(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("StatusBar1Panel0"));
        setFixedWidth(20);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawPixmap(0, 2, Images::Status().pixmap(16, 16, QIcon::Normal));
    }
};

}  // namespace

MainWindow::MainWindow(SettingsStore& settings, UserDialogs& dialogs, ProgramPaths paths,
                       QWidget* parent)
    : QMainWindow(parent), settings_(settings), dialogs_(dialogs), paths_(std::move(paths)) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setMinimumSize(800, 600);
    resize(800, 600);
    setWindowTitle(QStringLiteral(" Quarrow V 4.02"));
    setWindowIcon(Images::Window());
    // Tahoma 8 where it is installed; elsewhere the platform's substitute at the same size.
    QFont designFont = font();
    designFont.setFamilies({QStringLiteral("Tahoma"), designFont.family()});
    designFont.setPointSize(8);
    setFont(designFont);

    // The tooltip switch of the whole program, off until start-up reads it.
    tooltips_ = new TooltipSwitch(this);
    qApp->installEventFilter(tooltips_);

    entityTree_ = BuildEntityTree();
    dataTree_ = BuildDataTree();
    BuildFrame();
    configuration_->SyncTrees();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(tooltips_);
}

void MainWindow::BuildFrame() {
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    tabs_->setIconSize(QSize(24, 24));
    files_ = new FilesTab(settings_, dialogs_, paths_, this);
    tabs_->addTab(files_, Images::Tab(0), QStringLiteral("DXF Files"));
    configuration_ =
        new ConfigurationTab(state_, entityTree_, dataTree_, settings_, dialogs_, paths_);
    tabs_->addTab(configuration_, Images::Tab(1), QStringLiteral("Configuration"));
    preview_ = new PreviewPane(configuration_);
    configuration_->AddBesideTrees(preview_);
    options_ = new OptionsTab(settings_, *tooltips_, paths_);
    tabs_->addTab(options_, Images::Tab(2), QStringLiteral("Options / Help"));
    setCentralWidget(tabs_);
    BuildStatusBar();
    ConnectTabs();
    BuildCommands();
}

void MainWindow::BuildCommands() {
    const auto make = [this](const char* name, const QString& text, const QIcon& icon,
                             const QList<QKeySequence>& keys) {
        auto* action = new QAction(icon, text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);  // the keys work with the menu bar hidden too
        return action;
    };
    commands_.Load = make("LoadCommand", QStringLiteral("&Load configuration..."),
                          Images::Toolbar(0), {QKeySequence(Qt::CTRL | Qt::Key_O)});
    commands_.Save = make("SaveCommand", QStringLiteral("&Save configuration..."),
                          Images::Toolbar(1), {QKeySequence(Qt::CTRL | Qt::Key_S)});
    commands_.Process =
        make("ProcessCommand", QStringLiteral("&Process selected files"), Images::Toolbar(2),
             {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    commands_.Stop = make("StopCommand", QStringLiteral("S&top the run"), QIcon(),
                          {QKeySequence(Qt::Key_Escape)});
    commands_.Help = make("HelpCommand", QStringLiteral("Show &Help file"), Images::Help(),
                          {QKeySequence(Qt::Key_F1)});
    commands_.Exit = make("ExitCommand", QStringLiteral("E&xit"), Images::Toolbar(4),
                          {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    auto* refresh = make("RefreshCommand", QStringLiteral("&Refresh folders and files"), QIcon(),
                         {QKeySequence(Qt::Key_F5)});

    connect(commands_.Load, &QAction::triggered, configuration_, &ConfigurationTab::onLoadClicked);
    connect(commands_.Save, &QAction::triggered, configuration_,
            [this] { configuration_->onSaveClicked(); });
    connect(commands_.Process, &QAction::triggered, files_, &FilesTab::onProcessClicked);
    connect(commands_.Stop, &QAction::triggered, files_, &FilesTab::RequestStop);
    connect(commands_.Help, &QAction::triggered, options_, &OptionsTab::onShowHelpClicked);
    // Exit asks the same way the title-bar close does: through the window's exit sequence.
    connect(commands_.Exit, &QAction::triggered, this, &QWidget::close);
    connect(refresh, &QAction::triggered, this, [this] {
        if (!files_->Running())
            files_->onRefreshClicked();
    });
    configuration_->BindCommands(commands_.Load, commands_.Save);
    files_->BindCommands(commands_.Process, commands_.Exit, commands_.Stop);
    options_->BindHelp(commands_.Help);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addActions({commands_.Load, commands_.Save});
    file->addSeparator();
    file->addActions({commands_.Process, commands_.Stop, refresh});
    file->addSeparator();
    file->addAction(commands_.Exit);
    menuBar()->addMenu(QStringLiteral("&Help"))->addAction(commands_.Help);
    menuBar()->setObjectName(QStringLiteral("MainMenu"));
    UpdateCommands();
}

void MainWindow::UpdateCommands() {
    const bool running = files_->Running();
    commands_.Load->setEnabled(!running);
    commands_.Save->setEnabled(!running);
    commands_.Process->setEnabled(!running && files_->SelectedCount() > 0);
    commands_.Stop->setEnabled(running);
    // Help and Exit stay: Exit during a run asks whether to stop it.
}

void MainWindow::ConnectTabs() {
    // A run starts from the configuration in use, with the separator field as typed.
    files_->SetConfigurationSource([this] {
        return RunConfiguration{state_.Config, entityTree_, dataTree_,
                                configuration_->FieldSeparatorText(), options_->KeepGoing()};
    });
    // The preview reads the same configuration, and the drawing of the file list's current row.
    preview_->SetSource([this] {
        PreviewInput input;
        input.Config = state_.Config;
        // The extension names the Data file only: the records are the same without one.
        const RunCheck check = CheckRunRequest(
            input.Config, "-", configuration_->FieldSeparatorText().toLatin1().toStdString(),
            entityTree_, dataTree_);
        input.DataOrder = check.DataOrder;
        input.SelectedKinds = check.SelectedKinds;
        input.Refusal = QString::fromLatin1(check.Message);
        input.Drawing = files_->CurrentDrawingPath();
        return input;
    });
    connect(files_, &FilesTab::CurrentDrawingChanged, preview_, &PreviewPane::Refresh);
    connect(files_, &FilesTab::RunningChanged, this, &MainWindow::ApplyRunState);
    // The summary is on the "DXF Files" tab.
    connect(files_, &FilesTab::SummaryShown, this, [this] { tabs_->setCurrentWidget(files_); });
    connect(files_, &FilesTab::LogReady, this, [this] {
        if (options_->ShowReport())
            files_->OpenLog();
    });
    connect(files_, &FilesTab::SelectionChanged, this, &MainWindow::UpdateCommands);
    // The extension field is on the "DXF Files" tab, but it is a field of the configuration.
    connect(files_, &FilesTab::ExtensionEdited, configuration_,
            &ConfigurationTab::onExtensionChanged);
    connect(configuration_, &ConfigurationTab::ExtensionLoaded, files_, &FilesTab::SetExtension);
    connect(configuration_, &ConfigurationTab::ConfigInUseChanged, this,
            &MainWindow::ShowConfigInUse);
    connect(configuration_, &ConfigurationTab::ConfigInUseCleared, this,
            &MainWindow::ShowConfigNone);
}

void MainWindow::ApplyRunState() {
    const bool running = files_->Running();
    files_->SetRunning(running);
    configuration_->SetRunning(running);
    UpdateCommands();
}

void MainWindow::BuildStatusBar() {
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setFixedHeight(24);
    bar->setSizeGripEnabled(true);
    bar->addWidget(new StatusIconPanel(bar));
    statusText_ = new QLabel(QStringLiteral("Configuration file in use :"), bar);
    statusText_->setObjectName(QStringLiteral("StatusBar1Panel1"));
    bar->addWidget(statusText_, 1);
    setStatusBar(bar);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!formShown_)
        StartUp();
}

void MainWindow::StartUp() {
    if (formShown_)
        return;
    formShown_ = true;
    // A first start, or a value of another kind, gets the window's design state.
    SeedSettings(settings_);

    const QSize first = FirstStartSize(screen() != nullptr ? screen()->availableGeometry().size()
                                                           : QSize(kDesignWidth, kDesignHeight));
    resize(std::max(ReadIntText(settings_, SettingName::Width, first.width()), minimumWidth()),
           std::max(ReadIntText(settings_, SettingName::Height, first.height()), minimumHeight()));
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    // Until the user moves the splitter, the preview takes two fifths beside the trees, or
    // what the trees leave on a small window.
    const QList<int> split = ParseSplitterSizes(settings_.ReadText(SettingName::ConfigSplitter), 2);
    if (split.isEmpty())
        ApplySplitterSizes(configuration_->TreesSplitter(), {3, 2}, true);
    else
        ApplySplitterSizes(configuration_->TreesSplitter(), split);
    ApplySplitterSizes(preview_->Splitter(),
                       ParseSplitterSizes(settings_.ReadText(SettingName::PreviewSplitter), 2));
    options_->RestoreSettings();
    files_->RestoreSettings();
    LoadStartupConfig();
    tabs_->setCurrentIndex(0);
}

void MainWindow::LoadStartupConfig() {
    const QString name = settings_.ReadText(SettingName::Config);
    // No setting (a first start) and "none" (what the defaults leave behind) name no file:
    // there is nothing to tell.
    if (!name.isEmpty() && name != QLatin1String("none")) {
        const QString current = paths_.CurrentConfigPath(name);
        if (QFileInfo(current).isFile()) {
            configuration_->LoadConfigFile(current);
            configuration_->SetConfigInUse(current);
            return;
        }
        dialogs_.ShowMessage(this, MessageKind::Information,
                             QStringLiteral("Configuration file \"%1\" not found, default "
                                            "values will be used.")
                                 .arg(QDir::toNativeSeparators(current)));
    }
    // The defaults count as loaded: leaving them untouched asks nothing at exit.
    configuration_->LoadConfigFile(paths_.DefaultConfigPath);
    settings_.WriteText(SettingName::Config, QStringLiteral("none"));
    configuration_->SetConfigNone();
}

void MainWindow::ShowConfigInUse(const QString& fileName) {
    statusText_->setText(kStatusPrefix + fileName);
    setWindowTitle(kCaptionPrefix + fileName + QLatin1Char(']'));
}

void MainWindow::ShowConfigNone() {
    statusText_->setText(QStringLiteral("None"));
    setWindowTitle(QStringLiteral("Quarrow V 4.02[None]"));
}

bool MainWindow::onExitRequested() {
    if (files_->Running())
        return false;  // the run ends first, through Stop or by itself
    if (IsConfigChanged(state_, entityTree_, dataTree_)) {
        const Answer answer = dialogs_.AskYesNoCancel(this, kChangedQuestion);
        if (answer == Answer::Cancel)
            return false;
        if (answer == Answer::Yes && !configuration_->onSaveClicked())
            return false;
    }
    settings_.WriteText(SettingName::DxfPath, files_->DxfFolderPath());
    settings_.WriteText(SettingName::DestPath, files_->DestinationPath());
    // The size start-up gives back: the window's own, without the frame the desktop adds
    // (with it, every restart grew the window by the frame).
    settings_.WriteText(SettingName::Width, QString::number(width()));
    settings_.WriteText(SettingName::Height, QString::number(height()));
    settings_.WriteText(SettingName::FolderPanelWidth, QString::number(files_->FolderPanelWidth()));
    settings_.WriteText(SettingName::ConfigSplitter,
                        SplitterSizesText(configuration_->TreesSplitter()));
    settings_.WriteText(SettingName::PreviewSplitter, SplitterSizesText(preview_->Splitter()));
    const std::vector<std::uint8_t> layout = EncodeHeaderLayout(files_->FileListLayout());
    settings_.WriteBinary(
        SettingName::FileListHeader,
        QByteArray(reinterpret_cast<const char*>(layout.data()), qsizetype(layout.size())));
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (files_->Running() && !exiting_) {
        // The run is on this thread's stack: the window stays until it has returned, and the
        // exit sequence goes on from there (FilesTab::onProcessClicked).
        event->ignore();
        if (files_->StoppingForExit())
            return;  // already asked, the run is stopping
        const Answer answer = dialogs_.AskYesNo(
            this, QStringLiteral("A run is in progress. Stop it and exit Quarrow?\n\n"
                                 "Data files already written are kept."));
        if (answer == Answer::Yes && files_->Running())
            files_->StopForExit();
        return;
    }
    // Every close of the main window goes through the exit sequence.
    if (exiting_ || onExitRequested()) {
        exiting_ = true;
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace quarrow
