#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/SettingsStore.h"
#include "config/ConfigFile.h"
#include "ui/DestinationChooser.h"
#include "ui/HelpBrowser.h"
#include "ui/Images.h"
#include "ui/ProgressWindow.h"
#include "ui/RunSummaryPanel.h"
#include "ui/TooltipSwitch.h"
#include "ui/UserDialogs.h"

namespace quarrow {
namespace {

const QString kStatusPrefix = QStringLiteral("Configuration file in use : ");
const QString kCaptionPrefix = QStringLiteral("Quarrow V 4.02 - [");
const QString kConfigFilter = QStringLiteral("Quarrow configuration files (*.qrw)");
const QString kChangedQuestion =
    QStringLiteral("Current configuration has changed, do you want to save it ?");
const QColor kToolbarCream(255, 251, 240);

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

QGroupBox* MakeGroup(const char* name, const char* caption, bool bold) {
    auto* group = new QGroupBox(QString::fromLatin1(caption));
    group->setObjectName(QString::fromLatin1(name));
    if (bold)
        group->setStyleSheet(QStringLiteral("QGroupBox#%1 { font-weight: bold; }")
                                 .arg(QString::fromLatin1(name)));
    return group;
}

// A cream panel with a toolbar of image-above-caption buttons along its bottom.
QWidget* MakeToolbarPanel(const char* name, QToolBar*& toolbar) {
    auto* panel = new QWidget;
    panel->setObjectName(QString::fromLatin1(name));
    panel->setMinimumHeight(50);  // grows where the platform's captions need more
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QStringLiteral("#%1, #%1 QToolBar { background: rgb(%2, %3, %4); "
                                        "border: none; }")
                             .arg(panel->objectName())
                             .arg(kToolbarCream.red())
                             .arg(kToolbarCream.green())
                             .arg(kToolbarCream.blue()));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    toolbar = new QToolBar(panel);
    toolbar->setMinimumHeight(44);
    toolbar->setIconSize(QSize(24, 24));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    layout->addWidget(toolbar);
    return panel;
}

QToolButton* AddToolButton(QToolBar* toolbar, const char* name, const char* caption,
                           const char* hint, int image, int width) {
    auto* button = new QToolButton(toolbar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(caption));
    button->setToolTip(QString::fromLatin1(hint));
    button->setIcon(Images::Toolbar(image));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setMinimumWidth(width);
    toolbar->addWidget(button);
    return button;
}

} // namespace

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
    destinationChooser_ = new DestinationChooser(this);
    progressWindow_ = new ProgressWindow(cancelRequested_, this);
    SyncEntityTree();
    SyncDataTree();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(tooltips_);
}

void MainWindow::BuildFrame() {
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    tabs_->setIconSize(QSize(24, 24));
    tabs_->addTab(BuildDxfFilesTab(), Images::Tab(0), QStringLiteral("DXF Files"));
    tabs_->addTab(BuildConfigurationTab(), Images::Tab(1), QStringLiteral("Configuration"));
    tabs_->addTab(BuildOptionsTab(), Images::Tab(2), QStringLiteral("Options / Help"));
    setCentralWidget(tabs_);
    BuildStatusBar();
    BuildMenus();
    ConnectTrees();
}

QWidget* MainWindow::BuildDxfFilesTab() {
    auto* tab = new QWidget;
    tab->setObjectName(QStringLiteral("TabSheet1"));
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(3, 3, 3, 0);
    layout->setSpacing(6);

    summary_ = new RunSummaryPanel(tab);
    layout->addWidget(summary_);
    connect(summary_, &RunSummaryPanel::OpenDestinationRequested, this,
            &MainWindow::OpenDestination);
    connect(summary_, &RunSummaryPanel::OpenLogRequested, this, &MainWindow::OpenLog);

    auto* files = MakeGroup("GroupBox1", " DXF files to process ", true);
    filesGroup_ = files;
    auto* filesLayout = new QVBoxLayout(files);
    filesLayout->setContentsMargins(4, 4, 4, 4);
    filesLayout->addWidget(BuildFileBrowser());
    layout->addWidget(files, 1);

    auto* output = MakeGroup("GroupBox2", " Output Directory and File Extension  ", true);
    output->setFixedHeight(53);
    outputGroup_ = output;
    BuildOutputControls(output);
    layout->addWidget(output);
    connect(extensionEdit_, &QLineEdit::textChanged, this, &MainWindow::onExtensionChanged);

    QToolBar* toolbar = nullptr;
    layout->addWidget(MakeToolbarPanel("Panel1", toolbar));
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    processButton_ = AddToolButton(toolbar, "btprocess", " Process selected files",
                                   "Create Data Files...", 2, 112);
    auto* exitButton = AddToolButton(toolbar, "btexit", " Exit", "Exit...", 4, 112);
    toolbar->addSeparator();
    auto* log = AddToolButton(toolbar, "ToolButton2", "Show last Log", "", 5, 112);
    connect(processButton_, &QToolButton::clicked, this, &MainWindow::onProcessClicked);
    // " Exit" asks the same way the title-bar close does: through the exit sequence.
    connect(exitButton, &QToolButton::clicked, this, &QWidget::close);
    connect(log, &QToolButton::clicked, this, &MainWindow::onShowLogClicked);
    return tab;
}

QWidget* MainWindow::BuildConfigurationTab() {
    auto* tab = new QWidget;
    tab->setObjectName(QStringLiteral("TabSheet7"));
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(3, 3, 3, 0);
    layout->setSpacing(6);

    auto* trees = new QHBoxLayout;
    trees->setSpacing(5);
    trees->addWidget(BuildEntityGroup());
    trees->addWidget(BuildDataGroup(), 1);
    layout->addLayout(trees, 1);
    layout->addWidget(BuildOptionsGroup());

    QToolBar* toolbar = nullptr;
    layout->addWidget(MakeToolbarPanel("Panel2", toolbar));
    toolbar->setObjectName(QStringLiteral("ToolBar3"));
    loadButton_ = AddToolButton(toolbar, "btload", " Load configuration",
                                "Load a configuration file.", 0, 100);
    saveButton_ = AddToolButton(toolbar, "btsave", " Save configuration",
                                "Save current configuration to file.", 1, 100);
    connect(loadButton_, &QToolButton::clicked, this, &MainWindow::onLoadClicked);
    connect(saveButton_, &QToolButton::clicked, this, [this] { onSaveClicked(); });
    return tab;
}

QWidget* MainWindow::BuildOptionsTab() {
    auto* tab = new QWidget;
    tab->setObjectName(QStringLiteral("TabSheet2"));
    auto* tabLayout = new QVBoxLayout(tab);
    tabLayout->setContentsMargins(3, 3, 3, 3);
    auto* group = MakeGroup("GroupBox5", " Options / Help ", false);
    group->setFixedHeight(99);
    tabLayout->addWidget(group);
    tabLayout->addStretch();

    auto* picture = new QLabel(group);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(Images::Options().pixmap(32, 32));
    picture->setGeometry(16, 36, 32, 32);
    auto* heading = new QLabel(QStringLiteral("After process:"), group);
    heading->setObjectName(QStringLiteral("Label29"));
    heading->move(56, 16);
    alwaysReportRadio_ = new QRadioButton(QStringLiteral("Always show Report."), group);
    alwaysReportRadio_->setObjectName(QStringLiteral("rep1"));
    alwaysReportRadio_->move(64, 36);
    neverReportRadio_ = new QRadioButton(QStringLiteral("Never show Report."), group);
    neverReportRadio_->setObjectName(QStringLiteral("rep3"));
    neverReportRadio_->move(64, 56);
    helpTipsCheck_ = new QCheckBox(QStringLiteral("Show Help Tips"), group);
    helpTipsCheck_->setObjectName(QStringLiteral("shelptips"));
    helpTipsCheck_->move(20, 76);
    auto* help = new QPushButton(Images::Help(), QStringLiteral(" Show Help file"), group);
    help->setObjectName(QStringLiteral("BitBtn7"));
    help->setIconSize(QSize(32, 32));
    help->resize(137, 73);
    // The help button stays on the group's right edge whatever the window's width.
    group->installEventFilter(this);

    connect(alwaysReportRadio_, &QRadioButton::clicked, this,
            &MainWindow::onAlwaysShowReportClicked);
    connect(neverReportRadio_, &QRadioButton::clicked, this, &MainWindow::onNeverShowReportClicked);
    connect(helpTipsCheck_, &QCheckBox::clicked, this, &MainWindow::onHelpTipsClicked);
    connect(help, &QPushButton::clicked, this, &MainWindow::onShowHelpClicked);
    return tab;
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

    resize(std::max(ReadIntText(settings_, SettingName::Width, kDesignWidth), minimumWidth()),
           std::max(ReadIntText(settings_, SettingName::Height, kDesignHeight), minimumHeight()));
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    const bool tips = settings_.ReadFlag(SettingName::ShowTips);
    helpTipsCheck_->setChecked(tips);
    tooltips_->SetEnabled(tips);

    // Neither report option is chosen until the user picks one.
    if (settings_.IsFlag(SettingName::ShowLog)) {
        showReport_ = settings_.ReadFlag(SettingName::ShowLog);
        (showReport_ ? alwaysReportRadio_ : neverReportRadio_)->setChecked(true);
    }

    RestoreBrowserSettings();
    LoadStartupConfig();
    tabs_->setCurrentIndex(0);
}

void MainWindow::LoadStartupConfig() {
    const QString name = settings_.ReadText(SettingName::Config);
    const QString current = paths_.CurrentConfigPath(name);
    if (QFileInfo(current).isFile()) {
        LoadConfigFile(current);
        SetConfigInUse(QFileInfo(current).fileName());
        return;
    }
    dialogs_.ShowMessage(this, MessageKind::Information,
                         QStringLiteral("Configuration file \"%1\" not found, default values "
                                        "will be used.")
                             .arg(current));
    LoadConfigFile(paths_.DefaultConfigPath);
    settings_.WriteText(SettingName::Config, QStringLiteral("none"));
    SetConfigNone();
    MarkConfigUnsaved(state_);
}

void MainWindow::SetConfigInUse(const QString& fileName) {
    statusText_->setText(kStatusPrefix + fileName);
    setWindowTitle(kCaptionPrefix + fileName + QLatin1Char(']'));
}

void MainWindow::SetConfigNone() {
    statusText_->setText(QStringLiteral("None"));
    setWindowTitle(QStringLiteral("Quarrow V 4.02[None]"));
}

void MainWindow::LoadConfigFile(const QString& path) {
    configLoading_ = true;
    const ReadResult result =
        ReadConfigFile(path.toStdString(), state_.Config, entityTree_, dataTree_);
    if (result.Outcome != ConfigReadOutcome::NotRead) {
        SyncEntityTree();
        SyncDataTree();
    }
    if (result.Outcome != ConfigReadOutcome::ReadInFull) {
        configLoading_ = false;
        dialogs_.ShowMessage(this, MessageKind::Error, QString::fromStdString(result.Message));
        return;
    }
    PutConfigIntoControls();
    // The trees hold new nodes now: focus their first ones afresh, so the focus rules run even
    // where the first row was focused before.
    for (QTreeWidget* tree : {entityTreeWidget_, dataTreeWidget_}) {
        tree->setCurrentItem(nullptr);
        tree->setCurrentItem(tree->topLevelItem(0));
    }
    configLoading_ = false;
    MarkConfigSaved(state_);
    settings_.WriteText(SettingName::Config, QFileInfo(path).fileName());
}

void MainWindow::PutConfigIntoControls() {
    // Each control that shows another value writes it back by its own rule.
    const ExportConfig config = state_.Config;
    blockNamesEdit_->setText(QString::fromLatin1(config.BlockNameFilter));
    fieldSeparatorEdit_->setText(QString::fromLatin1(config.FieldSeparator));
    headerLineCheck_->setChecked(config.HeaderLine != 0);
    extensionEdit_->setText(QString::fromLatin1(config.DataFileExt));
    const int choice = config.SeparatorChoice;
    separatorCombo_->setCurrentIndex(
        choice >= 0 && choice < separatorCombo_->count() ? choice : -1);
    onSeparatorChoiceChanged();
}

bool MainWindow::onSaveClicked() {
    FileDialogRequest request;
    request.Title = QStringLiteral("Save current configuration");
    request.Filter = kConfigFilter;
    request.DefaultSuffix = QStringLiteral("qrw");
    request.Folder = paths_.ConfigFolder;
    request.ProposedName = statusText_->text().mid(kStatusPrefix.size());
    const QString path = dialogs_.ChooseSaveFile(this, request);
    if (path.isEmpty())
        return false;
    const WriteResult written =
        WriteConfigFile(path.toStdString(), state_.Config, entityTree_, dataTree_);
    if (!written.Ok) {
        dialogs_.ShowMessage(this, MessageKind::Error, QString::fromStdString(written.Message));
        return false;
    }
    const QString name = QFileInfo(path).fileName();
    SetConfigInUse(name);
    settings_.WriteText(SettingName::Config, name);
    MarkConfigSaved(state_);
    return true;
}

void MainWindow::onLoadClicked() {
    if (running_)
        return;  // the controls are disabled then; this keeps any other caller out too
    if (IsConfigChanged(state_)) {
        const Answer answer = dialogs_.AskYesNoCancel(this, kChangedQuestion);
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes && !onSaveClicked())
            return;
    }
    FileDialogRequest request;
    request.Title = QStringLiteral("Load a configuration");
    request.Filter = kConfigFilter;
    request.DefaultSuffix = QStringLiteral("qrw");
    request.Folder = paths_.ConfigFolder;
    const QString path = dialogs_.ChooseOpenFile(this, request);
    if (path.isEmpty())
        return;
    SetConfigInUse(QFileInfo(path).fileName());
    LoadConfigFile(path);
}

void MainWindow::onAlwaysShowReportClicked() {
    settings_.WriteFlag(SettingName::ShowLog, true);
    showReport_ = true;
}

void MainWindow::onNeverShowReportClicked() {
    settings_.WriteFlag(SettingName::ShowLog, false);
    showReport_ = false;
}

void MainWindow::onHelpTipsClicked(bool checked) {
    settings_.WriteFlag(SettingName::ShowTips, checked);
    tooltips_->SetEnabled(checked);
}

void MainWindow::onShowHelpClicked() {
    // The help window reports a missing file itself; it is not modal, nothing waits for it.
    if (!help_)
        help_ = new HelpBrowser(this);
    help_->ShowFile(FindHelpFile(paths_.HelpFilePath, QCoreApplication::applicationDirPath()));
    help_->show();
    help_->raise();
}

} // namespace quarrow
