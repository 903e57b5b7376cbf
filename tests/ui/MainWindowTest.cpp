#include "ui/MainWindow.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWindow>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QFileInfo>
#include <QTest>
#include <QTextBrowser>
#include <QHeaderView>
#include <QToolButton>
#include <QToolTip>
#include <QHelpEvent>
#include <QTreeView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <functional>
#include <memory>

#include "platform/RecentConfigs.h"
#include "platform/SettingsStore.h"
#include "ui/HelpBrowser.h"
#include "ui/LogViewer.h"
#include "ui/ProgressWindow.h"
#include "config/ConfigFile.h"
#include "config/DataTreeRules.h"
#include "config/DefaultConfig.h"
#include "config/NodeTables.h"
#include "support/EngineHarness.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "ui/ConfigTreeWidget.h"
#include "ui/ConfigurationTab.h"
#include "ui/DestinationChooser.h"
#include "ui/FilesTab.h"
#include "ui/OptionsTab.h"
#include "ui/ScriptedDialogs.h"
#include "ui/SplitterSizes.h"
#include "ui/PreviewPane.h"

namespace quarrow {
namespace {

using test::ScriptedDialogs;

// Every node's marks and states but the selection, which follows the focus.
ConfigTree WithoutSelection(ConfigTree tree) {
    ForEachNode(tree, [](const TreePath&, ConfigTreeNode& node) {
        node.SetState(NodeState::Selected, false);
    });
    return tree;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureQtApp();
        programFolder = QString::fromStdString(dir.Path().string()) + "/program/";
        QDir().mkpath(programFolder + "configurations");
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUARROW_SOURCE_DIR "/data/default.qrw"),
                                programFolder + "default.qrw"));
        settingsPath = QString::fromStdString(dir / "settings.ini");
        settings = QtSettingsStore::OpenFile(settingsPath);
    }

    void Start() {
        form = std::make_unique<MainWindow>(*settings, dialogs, DeriveProgramPaths(programFolder));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QApplication::setActiveWindow(form.get());
    }

    // Starts with a saved copy of the default configuration as the one in use, so no
    // not-found message comes first.
    void StartWithConfig(const QString& name = QStringLiteral("start.qrw")) {
        ASSERT_TRUE(
            QFile::copy(programFolder + "default.qrw", programFolder + "configurations/" + name));
        settings->WriteText(SettingName::Config, name);
        Start();
        ASSERT_TRUE(dialogs.Messages.empty());
    }

    template <typename T>
    T* Find(const char* name) {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTreeWidget* EntityWidget() { return Find<QTreeWidget>("VirtualStringTree1"); }
    QTreeWidget* DataWidget() { return Find<QTreeWidget>("VirtualStringTree4"); }
    QTreeWidgetItem* EntityItem(int index) {
        return ItemAtPath(EntityWidget(), PathOfDepthFirstIndex(form->EntityTree(), index));
    }
    TreePath DataPath(int nodeIndex) {
        TreePath found;
        ForEachNode(form->DataTree(), [&](const TreePath& p, const ConfigTreeNode& n) {
            if (n.Index == nodeIndex)
                found = p;
        });
        return found;
    }
    QTreeWidgetItem* DataItem(int nodeIndex) {
        return ItemAtPath(DataWidget(), DataPath(nodeIndex));
    }
    // Toggles a check box the way the keyboard does: focus the row, press space.
    void PressSpaceOn(QTreeWidget* tree, QTreeWidgetItem* item) {
        tree->setFocus();
        tree->setCurrentItem(item);
        QTest::keyClick(tree, Qt::Key_Space);
    }
    // Types into the option cell of a data node through its in-place editor.
    void TypeOption(int nodeIndex, const QString& text) {
        QTreeWidget* tree = DataWidget();
        tree->setCurrentItem(nullptr);
        tree->setCurrentItem(DataItem(nodeIndex));  // the focus change opens the editor
        auto* editor = tree->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr) << "no editor opened for node " << nodeIndex;
        editor->clear();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on a queued call and deletes its editor later.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString StatusText() { return Find<QLabel>("StatusBar1Panel1")->text(); }
    bool ConfigChanged() {
        return IsConfigChanged(form->State(), form->EntityTree(), form->DataTree());
    }

    test::TempDir dir;
    QString programFolder;
    QString settingsPath;
    std::unique_ptr<QtSettingsStore> settings;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> form;
};

TEST_F(MainWindowTest, FrameCarriesItsNamesTabsAndLimits) {
    StartWithConfig();
    EXPECT_EQ(form->minimumSize(), QSize(800, 600));
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    auto* tabs = Find<QTabWidget>("PageControl1");
    ASSERT_EQ(tabs->count(), 3);
    const char* captions[] = {"DXF Files", "Configuration", "Options / Help"};
    const char* pages[] = {"TabSheet1", "TabSheet7", "TabSheet2"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tabs->tabText(i), captions[i]);
        EXPECT_EQ(tabs->widget(i)->objectName(), pages[i]);
        EXPECT_FALSE(tabs->tabIcon(i).isNull()) << "tab image " << i;
    }
    for (const char* name :
         {"GroupBox3",   "GroupBox4", "GroupBox6", "GroupBox2",  "LabBlkname",     "blkname",
          "btCoordDown", "btCoordUp", "ComboBox1", "EdFieldSep", "cbIncludeField", "Edit12",
          "btload",      "btsave",    "btprocess", "btexit",     "ToolButton2",    "rep1",
          "rep3",        "shelptips", "BitBtn7",   "Image1",     "Label29",        "StatusBar1",
          "PopupMenu2",  "PopupMenu3"})
        EXPECT_NE(form->findChild<QObject*>(name), nullptr) << name;
    for (const char* action : {"SelectAll2", "SelectNone1", "ExpandAll1", "CollapseAll1",
                               "MenuItem1", "MenuItem2", "ExpandAll2", "CollapseAll2"})
        EXPECT_NE(form->findChild<QAction*>(action), nullptr) << action;
    EXPECT_EQ(Find<QWidget>("StatusBar1Panel0")->width(), 20);
    EXPECT_EQ(StatusText(), "Configuration file in use : start.qrw");
    EXPECT_EQ(form->windowTitle(), "Quarrow V 4.02 - [start.qrw]");
    EXPECT_EQ(EntityWidget()->topLevelItemCount(), 12);
    EXPECT_FALSE(EntityWidget()->topLevelItem(11)->icon(0).isNull()) << "kind image";
    EXPECT_EQ(DataWidget()->headerItem()->text(1), "Options");
}

// "none" is the program's own record that no configuration is in use, not a missing file.
TEST_F(MainWindowTest, ConfigNoneStartsOnTheDefaultsWithoutAMessage) {
    settings->WriteText(SettingName::Config, QStringLiteral("none"));
    Start();
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_EQ(form->State().Config.DataFileExt, "csv");
    EXPECT_EQ(form->windowTitle(), "Quarrow V 4.02[None]");
    EXPECT_EQ(StatusText(), "None");
    EXPECT_EQ(settings->ReadText(SettingName::Config), "none");
    EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentIndex(), 0) << "DXF Files first";
    // The defaults count as loaded: leaving without touching anything asks nothing.
    EXPECT_TRUE(form->onExitRequested());
    EXPECT_TRUE(dialogs.Questions.isEmpty());
}

// The configuration in use is kept by its full path: one saved outside the configurations
// folder is back at the next start; once it is gone, the message names that path.
TEST_F(MainWindowTest, AConfigurationSavedAnywhereIsBackAfterARestart) {
    StartWithConfig();
    const QString elsewhere = QString::fromStdString(dir / "survey");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString saved = elsewhere + "/survey-points.qrw";
    Find<QLineEdit>("Edit12")->setText(QStringLiteral("txt"));
    dialogs.SavePaths = {saved};
    ASSERT_TRUE(form->Configuration().onSaveClicked());
    EXPECT_EQ(settings->ReadText(SettingName::Config), saved);
    EXPECT_TRUE(form->onExitRequested());
    EXPECT_TRUE(dialogs.Questions.isEmpty()) << "just saved: nothing to ask";

    form.reset();
    Start();
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_EQ(form->State().Config.DataFileExt, "txt");
    EXPECT_EQ(StatusText(), "Configuration file in use : survey-points.qrw");
    EXPECT_FALSE(ConfigChanged());
    // The save dialog opens where the configuration in use is kept.
    EXPECT_FALSE(form->Configuration().onSaveClicked());
    EXPECT_EQ(dialogs.SaveRequests.back().Folder, elsewhere);
    EXPECT_EQ(dialogs.SaveRequests.back().ProposedName, "survey-points.qrw");

    form.reset();
    ASSERT_TRUE(QFile::remove(saved));
    Start();
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Text,
              "Configuration file \"" + saved + "\" not found, default values will be used.");
    EXPECT_EQ(StatusText(), "None");
    EXPECT_EQ(settings->ReadText(SettingName::Config), "none");
    EXPECT_TRUE(form->onExitRequested()) << "the defaults of a file not found count as loaded";
    EXPECT_TRUE(dialogs.Questions.isEmpty());
}

// Exit compares the bytes a save would write: moving a data item changes no field of the
// record but does change them; looking around the trees does not.
TEST_F(MainWindowTest, ExitAsksOnlyWhenASaveWouldWriteOtherBytes) {
    StartWithConfig();
    form->Configuration().onExpandAllDataClicked();
    DataWidget()->setCurrentItem(DataItem(0));
    EXPECT_TRUE(form->onExitRequested());
    EXPECT_TRUE(dialogs.Questions.isEmpty());

    const ExportConfig before = form->State().Config;
    form->Configuration().onMoveDownClicked();
    ASSERT_EQ(form->State().Config, before) << "the record itself is the same";
    dialogs.Answers = {Answer::Cancel};
    EXPECT_FALSE(form->onExitRequested());
    EXPECT_EQ(dialogs.Questions,
              QStringList{"Current configuration has changed, do you want to save it ?"});
}

// The splitters beside and inside the preview keep their positions across restarts, also
// through a session that never opened the Configuration tab; the preview starts at two fifths.
TEST_F(MainWindowTest, SplitterPositionsAreKeptAcrossRestarts) {
    StartWithConfig();
    form->resize(1240, 760);  // a first start's size on a 1280x800 screen
    const auto openConfiguration = [this] {
        Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
        QCoreApplication::processEvents();
    };
    openConfiguration();
    const QList<int> first = form->Configuration().TreesSplitter().sizes();
    ASSERT_EQ(first.size(), 2);
    EXPECT_NEAR(5.0 * first[1] / (first[0] + first[1]), 2.0, 0.1) << first[0] << "," << first[1];
    form->Configuration().TreesSplitter().setSizes({first[0] + first[1] - 300, 300});
    form->Preview().Splitter().setSizes({100, 300});
    const QList<int> trees = form->Configuration().TreesSplitter().sizes();
    const QList<int> preview = form->Preview().Splitter().sizes();
    ASSERT_TRUE(form->onExitRequested());

    for (const char* session : {"opened again", "not opened", "and opened"}) {
        SCOPED_TRACE(session);
        form.reset();
        Start();
        if (qstrcmp(session, "not opened") != 0) {
            openConfiguration();
            EXPECT_EQ(form->size(), QSize(1240, 760)) << "the window does not grow at restarts";
            EXPECT_EQ(form->Configuration().TreesSplitter().sizes(), trees);
            // Within a few pixels: the status line above it wraps as the preview fills in.
            const QList<int> now = form->Preview().Splitter().sizes();
            ASSERT_EQ(now.size(), 2);
            EXPECT_NEAR(now[0], preview[0], 3);
            EXPECT_NEAR(now[1], preview[1], 3);
        }
        ASSERT_TRUE(form->onExitRequested());
    }

    // clang-format off
    const std::pair<const char*, QList<int>> texts[] = {
        {"620,540", {620, 540}}, {" 0 , 9", {0, 9}}, {"0,0", {}}, {"1,2,3", {}},
        {"-5,10", {}}, {"a,b", {}}, {"", {}}, {"999999999,1", {}},
    };
    // clang-format on
    for (const auto& [text, sizes] : texts)
        EXPECT_EQ(ParseSplitterSizes(QString::fromLatin1(text), 2), sizes) << text;
}

// The first start's size: room to work, within the screen, never below the design size.
TEST(FirstStartSizeTest, FitsTheScreenUpToAComfortableSize) {
    struct Case {
        const char* name;
        QSize available;
        QSize expected;
    };
    // clang-format off
    const Case cases[] = {
        {"large screen",     {1920, 1040}, {1280, 860}},
        {"1280x800 screen",  {1280, 800},  {1240, 760}},
        {"1366x768 laptop",  {1366, 728},  {1280, 688}},
        {"800x600 screen",   {800, 600},   {800, 600}},
        {"smaller than the design", {640, 480}, {800, 600}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FirstStartSize(c.available), c.expected);
    }
}

// A first start: no settings at all and no configuration named.
TEST_F(MainWindowTest, FirstStartSeedsSettingsAndLoadsTheDefault) {
    settings->WriteText(SettingName::Width, QStringLiteral("wide"));
    Start();
    EXPECT_TRUE(dialogs.Messages.empty()) << "no configuration was named, none is missing";
    EXPECT_EQ(StatusText(), "None");
    EXPECT_EQ(form->windowTitle(), "Quarrow V 4.02[None]");
    EXPECT_EQ(settings->ReadText(SettingName::Config), "none");
    EXPECT_FALSE(ConfigChanged()) << "the default counts as loaded";
    EXPECT_EQ(form->State().Config.DataFileExt, "csv");
    // A malformed or missing size gives the first start's size, made for the screen.
    EXPECT_EQ(form->size(), FirstStartSize(form->screen()->availableGeometry().size()));
    EXPECT_FALSE(settings->Contains(SettingName::Height));
    EXPECT_FALSE(settings->ReadFlag(SettingName::ShowTips));
    EXPECT_TRUE(settings->ReadFlag(SettingName::Locked));
    EXPECT_FALSE(settings->Contains(SettingName::ShowLog));
    EXPECT_FALSE(Find<QRadioButton>("rep1")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>("rep3")->isChecked());
    EXPECT_GE(form->width(), 800);

    EXPECT_FALSE(form->Configuration().onSaveClicked()) << "dialog dismissed";
    EXPECT_EQ(dialogs.SaveRequests.back().ProposedName, "") << "nothing proposed for None";
    EXPECT_EQ(dialogs.SaveRequests.back().Title, "Save current configuration");
    EXPECT_EQ(dialogs.SaveRequests.back().Filter, "Quarrow configuration files (*.qrw)");
    EXPECT_EQ(dialogs.SaveRequests.back().DefaultSuffix, "qrw");
    EXPECT_EQ(StatusText(), "None");

    // Leaving without opening the Configuration tab: no splitter was laid out, none keeps
    // sizes, and the next start gives the defaults again.
    ASSERT_TRUE(form->onExitRequested());
    EXPECT_EQ(settings->ReadText(SettingName::ConfigSplitter), "");
    EXPECT_EQ(settings->ReadText(SettingName::PreviewSplitter), "");
}

TEST_F(MainWindowTest, CheckingArcsChecksAndFocusesStartPoint) {
    StartWithConfig();
    ASSERT_FALSE(form->State().Config.EntityFlags[2]);
    PressSpaceOn(EntityWidget(), EntityItem(2));
    EXPECT_EQ(EntityItem(2)->checkState(0), Qt::Checked);
    EXPECT_EQ(EntityItem(3)->checkState(0), Qt::Checked);
    EXPECT_EQ(EntityWidget()->currentItem(), EntityItem(3)) << "Start Point has the focus";
    EXPECT_EQ(form->State().Config.EntityFlags[2], 1);
    EXPECT_EQ(form->State().Config.EntityFlags[3], 1);

    // Unchecking Arcs disables its points; space on one of them then changes nothing.
    PressSpaceOn(EntityWidget(), EntityItem(2));
    EXPECT_TRUE(EntityItem(3)->data(0, kNodeDisabledRole).toBool());
    PressSpaceOn(EntityWidget(), EntityItem(3));
    EXPECT_EQ(EntityItem(3)->checkState(0), Qt::Checked);
    EXPECT_EQ(form->State().Config.EntityFlags[3], 1);
}

TEST_F(MainWindowTest, BlockNamesFieldFollowsTheBlocksNode) {
    StartWithConfig();
    auto* field = Find<QLineEdit>("blkname");
    EXPECT_FALSE(field->isEnabled()) << "Points is focused after a load";
    EntityWidget()->setCurrentItem(EntityItem(24));
    EXPECT_TRUE(field->isEnabled()) << "the default checks Blocks";
    EXPECT_TRUE(field->hasFocus());
    EntityWidget()->setCurrentItem(EntityItem(0));
    EXPECT_FALSE(field->isEnabled());
    PressSpaceOn(EntityWidget(), EntityItem(24));  // unchecks Blocks while focused
    EXPECT_FALSE(field->isEnabled());
    EXPECT_FALSE(Find<QLabel>("LabBlkname")->isEnabled());
}

TEST_F(MainWindowTest, ContextMenusCheckAndExpandThroughTheRules) {
    StartWithConfig();
    form->Configuration().onSelectNoEntitiesClicked();
    EXPECT_EQ(form->State().Config.EntityFlags[8], 1) << "disabled sub-options keep flags";
    EXPECT_TRUE(EntityItem(8)->data(0, kNodeDisabledRole).toBool());
    form->Configuration().onSelectAllEntitiesClicked();
    for (int i = 0; i < kEntityNodeCount; ++i)
        EXPECT_EQ(EntityItem(i)->checkState(0), Qt::Checked) << i;
    EXPECT_EQ(EntityWidget()->currentItem(), EntityItem(24));

    form->Configuration().onSelectNoDataClicked();
    EXPECT_EQ(form->State().Config.DataFlags, decltype(ExportConfig::DataFlags){});
    EXPECT_TRUE(DataItem(12)->data(1, kNodeDisabledRole).toBool());

    MarkConfigSaved(form->State(), form->EntityTree(), form->DataTree());
    form->Configuration().onExpandAllEntitiesClicked();
    form->Configuration().onCollapseAllDataClicked();
    EXPECT_TRUE(EntityItem(19)->isExpanded());
    EXPECT_FALSE(DataItem(0)->isExpanded());
    EXPECT_FALSE(ConfigChanged());
}

TEST_F(MainWindowTest, OptionCellsApplyTheirRules) {
    StartWithConfig();
    TypeOption(kZForceOption, QStringLiteral("2,5"));
    EXPECT_EQ(form->State().Config.DataOptions[kZForceOption], "2.5");
    EXPECT_EQ(DataItem(kZForceOption)->text(1), "2.5");
    EXPECT_TRUE(dialogs.Messages.empty());

    const std::string before = form->State().Config.DataOptions[kXDecimalsOption];
    TypeOption(kXDecimalsOption, QStringLiteral("15"));
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Kind, MessageKind::Error);
    EXPECT_EQ(dialogs.Messages[0].Text, QString::fromLatin1(kMsgDecimalsValue.data()));
    EXPECT_EQ(form->State().Config.DataOptions[kXDecimalsOption], before);
    EXPECT_EQ(DataItem(kXDecimalsOption)->text(1), QString::fromStdString(before));

    // An unchecked item's options are disabled but stay editable.
    PressSpaceOn(DataWidget(), DataItem(3));
    EXPECT_EQ(form->State().Config.DataFlags[3], 0);
    EXPECT_TRUE(DataItem(kXDecimalsOption)->data(1, kNodeDisabledRole).toBool());
    TypeOption(kXDecimalsOption, QStringLiteral("4"));
    EXPECT_EQ(form->State().Config.DataOptions[kXDecimalsOption], "4");

    // An editor left without typing commits nothing.
    TypeOption(kLineStartOption,
               QString::fromStdString(form->State().Config.DataOptions[kLineStartOption]));
    EXPECT_EQ(dialogs.Messages.size(), 1u);
}

TEST_F(MainWindowTest, MovingLabelUpCarriesItsOptions) {
    StartWithConfig();
    QTreeWidget* tree = DataWidget();
    const TreePath label = DataPath(23);
    ASSERT_EQ(label.size(), 1u);
    const int above = form->DataTree().Roots[std::size_t(label[0] - 1)].Index;
    tree->setCurrentItem(DataItem(23));
    QTest::mouseClick(Find<QToolButton>("btCoordUp"), Qt::LeftButton);
    EXPECT_EQ(DataPath(23), TreePath{label[0] - 1});
    EXPECT_EQ(DataPath(above), label);
    EXPECT_EQ(tree->currentItem(), DataItem(23));
    EXPECT_EQ(tree->currentItem()->child(1)->text(0), "Label :");

    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_FALSE(Find<QToolButton>("btCoordUp")->isEnabled());
    EXPECT_TRUE(Find<QToolButton>("btCoordDown")->isEnabled());
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    EXPECT_FALSE(Find<QToolButton>("btCoordDown")->isEnabled()) << "option node focused";

    // A press on empty space leaves no node focused; the buttons then do nothing.
    form->Configuration().onCollapseAllDataClicked();  // leaves empty space below the last item
    tree->setCurrentItem(tree->topLevelItem(3));
    const ConfigTree order = WithoutSelection(form->DataTree());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(5, tree->viewport()->height() - 2));
    EXPECT_EQ(tree->currentItem(), nullptr);
    form->Configuration().onMoveDownClicked();
    EXPECT_EQ(WithoutSelection(form->DataTree()), order);
}

TEST_F(MainWindowTest, OutputOptionsWriteTheRecordAtEveryChange) {
    StartWithConfig();
    Find<QTabWidget>("PageControl1")->setCurrentIndex(1);  // start-up shows "DXF Files"
    auto* combo = Find<QComboBox>("ComboBox1");
    auto* separator = Find<QLineEdit>("EdFieldSep");
    combo->setCurrentIndex(5);
    emit combo->activated(5);
    EXPECT_TRUE(separator->isEnabled());
    EXPECT_TRUE(separator->hasFocus());
    separator->setText(QStringLiteral(" | "));
    EXPECT_EQ(form->State().Config.FieldSeparator, " | ");
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    EXPECT_FALSE(separator->isEnabled());
    EXPECT_EQ(form->State().Config.SeparatorChoice, 0);
    EXPECT_EQ(form->State().Config.FieldSeparator, " | ");

    Find<QLineEdit>("Edit12")->setText(QStringLiteral("abcdefghijkl"));
    EXPECT_EQ(form->State().Config.DataFileExt, "abcdefghij");
    Find<QLineEdit>("blkname")->setText(QStringLiteral(" A*, B \t"));
    EXPECT_EQ(form->State().Config.BlockNameFilter, "A*, B");
    Find<QLineEdit>("blkname")->setText(QString::fromUtf8("Caf\xc3\xa9"));
    EXPECT_EQ(form->State().Config.BlockNameFilter, "Caf\xe9") << "Latin-1 bytes";
    Find<QCheckBox>("cbIncludeField")->setChecked(false);
    EXPECT_EQ(form->State().Config.HeaderLine, 0);
}

TEST_F(MainWindowTest, SaveChangeLoadRestoresTheSavedState) {
    StartWithConfig();
    const QString saved = programFolder + "configurations/mine.qrw";
    PressSpaceOn(DataWidget(), DataItem(23));  // check Label, then move it up
    form->Configuration().onMoveUpClicked();
    // The options kept after the trees travel with the rest.
    Find<QCheckBox>("cbQuoteValues")->setChecked(true);
    Find<QComboBox>("cbTextMode")->setCurrentIndex(1);
    EXPECT_TRUE(form->State().Config.QuoteFields);
    EXPECT_EQ(form->State().Config.Text, TextMode::PlainUtf8);
    dialogs.SavePaths.push_back(saved);
    ASSERT_TRUE(form->Configuration().onSaveClicked());
    EXPECT_EQ(dialogs.SaveRequests.back().ProposedName, "start.qrw");
    EXPECT_EQ(dialogs.SaveRequests.back().Folder, programFolder + "configurations");
    EXPECT_EQ(StatusText(), "Configuration file in use : mine.qrw");
    EXPECT_EQ(settings->ReadText(SettingName::Config), saved);
    const ExportConfig savedConfig = form->State().Config;
    const ConfigTree savedEntities = WithoutSelection(form->EntityTree());
    const ConfigTree savedData = WithoutSelection(form->DataTree());

    Find<QCheckBox>("cbQuoteValues")->setChecked(false);
    ASSERT_TRUE(ConfigChanged());
    Find<QCheckBox>("cbQuoteValues")->setChecked(true);
    ASSERT_FALSE(ConfigChanged());
    PressSpaceOn(EntityWidget(), EntityItem(2));
    Find<QLineEdit>("Edit12")->setText(QStringLiteral("txt"));
    Find<QComboBox>("cbTextMode")->setCurrentIndex(0);
    form->Configuration().onMoveDownClicked();
    ASSERT_TRUE(ConfigChanged());

    // Yes, then a dismissed save dialog: nothing happens, no open dialog.
    dialogs.Answers = {Answer::Yes};
    form->Configuration().onLoadClicked();
    EXPECT_TRUE(dialogs.OpenRequests.empty());
    EXPECT_EQ(form->State().Config.DataFileExt, "txt");

    dialogs.Answers = {Answer::No};
    dialogs.OpenPaths = {saved};
    form->Configuration().onLoadClicked();
    ASSERT_EQ(dialogs.Questions.size(), 2);
    EXPECT_EQ(dialogs.Questions[1], "Current configuration has changed, do you want to save it ?");
    EXPECT_EQ(dialogs.OpenRequests.back().Title, "Load a configuration");
    EXPECT_EQ(form->State().Config, savedConfig);
    EXPECT_EQ(WithoutSelection(form->EntityTree()), savedEntities);
    EXPECT_EQ(WithoutSelection(form->DataTree()), savedData);
    EXPECT_FALSE(ConfigChanged());
    EXPECT_EQ(Find<QLineEdit>("Edit12")->text(), "csv");
    EXPECT_TRUE(Find<QCheckBox>("cbQuoteValues")->isChecked());
    EXPECT_EQ(Find<QComboBox>("cbTextMode")->currentIndex(), 1);
    EXPECT_EQ(EntityItem(2)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(DataWidget()->currentItem(), DataWidget()->topLevelItem(0));
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(MainWindowTest, AFileOfAnotherSignatureIsRefused) {
    StartWithConfig();
    const std::string foreign = dir / "old.qrw";
    std::string bytes(kConfigFileSize, '\0');
    bytes.replace(0, 7, "\x06QRW200");
    test::WriteFileBytes(foreign, bytes);
    const ConfigState before = form->State();

    dialogs.OpenPaths = {QString::fromStdString(foreign)};
    form->Configuration().onLoadClicked();
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Kind, MessageKind::Error);
    EXPECT_EQ(dialogs.Messages[0].Text, "This is not a Quarrow configuration file");
    EXPECT_EQ(form->State().Config, before.Config);
    EXPECT_EQ(form->State().SavedBytes, before.SavedBytes);
    EXPECT_EQ(settings->ReadText(SettingName::Config), programFolder + "configurations/start.qrw");
    EXPECT_EQ(StatusText(), "Configuration file in use : old.qrw") << "set before the load";
}

// Builds a configuration file from the shipped default with a few fields changed.
std::string DefaultFileWith(const std::function<void(ExportConfig&)>& change) {
    ExportConfig config;
    ConfigTree entities;
    ConfigTree data;
    BuildDefaultConfig(config, entities, data);
    change(config);
    const std::vector<std::uint8_t> bytes = BuildConfigFile(config, entities, data);
    return std::string(bytes.begin(), bytes.end());
}

TEST_F(MainWindowTest, ALoadPutsTheFieldsThroughTheControlsRules) {
    StartWithConfig();
    Find<QLineEdit>("blkname")->setText(QStringLiteral("OTHER"));
    const std::string path = dir / "odd.qrw";
    test::WriteFileBytes(path, DefaultFileWith([](ExportConfig& c) {
                             c.BlockNameFilter = " A*,B ";
                             c.SeparatorChoice = 9;
                         }));
    form->Configuration().LoadConfigFile(QString::fromStdString(path));
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_EQ(form->State().Config.BlockNameFilter, "A*,B");
    EXPECT_EQ(Find<QComboBox>("ComboBox1")->currentIndex(), -1);
    EXPECT_EQ(form->State().Config.SeparatorChoice, -1);
    EXPECT_FALSE(Find<QLineEdit>("EdFieldSep")->isEnabled());
    EXPECT_FALSE(ConfigChanged());
    EXPECT_EQ(settings->ReadText(SettingName::Config), QString::fromStdString(path));
}

// The file ends right after its fields: they are taken, the entity tree is left empty, and
// the controls, the reference copy and the stored name stay as they were.
TEST_F(MainWindowTest, AFileEndingBeforeItsTreesLeavesTheControlsAlone) {
    StartWithConfig();
    const std::string path = dir / "short.qrw";
    test::WriteFileBytes(path, DefaultFileWith([](ExportConfig& c) {
                                   c.DataFileExt = "xyz";
                               }).substr(0, kEntityStreamOffset));
    dialogs.OpenPaths = {QString::fromStdString(path)};
    form->Configuration().onLoadClicked();
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Kind, MessageKind::Error);
    EXPECT_EQ(dialogs.Messages[0].Text, QString::fromLatin1(kMsgNotEnoughData.data()));
    EXPECT_EQ(form->State().Config.DataFileExt, "xyz");
    EXPECT_EQ(Find<QLineEdit>("Edit12")->text(), "csv");
    EXPECT_EQ(EntityWidget()->topLevelItemCount(), 0);
    EXPECT_EQ(DataWidget()->topLevelItemCount(), kDataItemCount);
    EXPECT_TRUE(ConfigChanged());
    EXPECT_EQ(settings->ReadText(SettingName::Config), programFolder + "configurations/start.qrw");
    EXPECT_EQ(StatusText(), "Configuration file in use : short.qrw");
    EXPECT_FALSE(form->Configuration().ConfigLoading());
}

// Circles unchecked in the tree with its flag set: the load says so as for a partly read file,
// and goes on with the flag rebuilt from the tree, which the window shows.
TEST_F(MainWindowTest, FlagsThatContradictTheTreesAreRebuiltAndTheLoadSaysSo) {
    StartWithConfig();
    const std::string path = dir / "contradicting.qrw";
    test::WriteFileBytes(path, DefaultFileWith([](ExportConfig& c) {
                             c.EntityFlags[std::size_t(EntityNode::Circles)] = 1;
                         }));
    dialogs.OpenPaths = {QString::fromStdString(path)};
    form->Configuration().onLoadClicked();
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Kind, MessageKind::Error);
    EXPECT_EQ(dialogs.Messages[0].Text, QString::fromLatin1(kMsgFlagsRebuilt.data()));
    EXPECT_EQ(form->State().Config.EntityFlags[std::size_t(EntityNode::Circles)], 0);
    EXPECT_EQ(EntityItem(int(EntityNode::Circles))->checkState(0), Qt::Unchecked);
    EXPECT_EQ(settings->ReadText(SettingName::Config), QString::fromStdString(path));
    EXPECT_FALSE(form->Configuration().ConfigLoading());
}

TEST_F(MainWindowTest, ReportAndTipOptionsAreWrittenWhenClicked) {
    StartWithConfig();
    QTest::mouseClick(Find<QRadioButton>("rep1"), Qt::LeftButton);
    EXPECT_TRUE(form->Options().ShowReport());
    EXPECT_TRUE(settings->ReadFlag(SettingName::ShowLog));
    QTest::mouseClick(Find<QRadioButton>("rep3"), Qt::LeftButton);
    EXPECT_FALSE(Find<QRadioButton>("rep1")->isChecked());
    EXPECT_FALSE(settings->ReadFlag(SettingName::ShowLog));
    EXPECT_TRUE(settings->IsFlag(SettingName::ShowLog));
    QTest::mouseClick(Find<QCheckBox>("shelptips"), Qt::LeftButton);
    EXPECT_TRUE(settings->ReadFlag(SettingName::ShowTips));
}

// One switch for every tooltip: control hints and tree rows alike.
TEST_F(MainWindowTest, HelpTipsSwitchShowsAndHidesEveryHint) {
    StartWithConfig();
    auto hover = [](QWidget* widget, QPoint pos) {
        QHelpEvent event(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
        QApplication::sendEvent(widget, &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QWidget* viewport = EntityWidget()->viewport();
    const QPoint points = EntityWidget()->visualItemRect(EntityItem(0)).center();
    EXPECT_EQ(hover(viewport, points), "") << "tips are off at a first start";
    QTest::mouseClick(Find<QCheckBox>("shelptips"), Qt::LeftButton);
    EXPECT_EQ(hover(viewport, points), "Export Points coordinates");
    EXPECT_EQ(hover(Find<QComboBox>("ComboBox1"), QPoint(2, 2)),
              "Field separator for exported Data files");
    QTest::mouseClick(Find<QCheckBox>("shelptips"), Qt::LeftButton);
    QToolTip::hideText();
    EXPECT_EQ(hover(Find<QComboBox>("ComboBox1"), QPoint(2, 2)), "");
}

// The DXF Files tab, the run and the exit sequence.

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList RowNames(QTreeWidget* list) {
    QStringList names;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        names << list->topLevelItem(i)->text(0);
    return names;
}

TEST_F(MainWindowTest, FileListShowsExactlyTheDxfFilesAndCountsTheSelection) {
    const QString folder = QString::fromStdString(dir / "drawings");
    QDir().mkpath(folder + "/e.dxf");
    for (const char* name : {"a.dxf", "B.DXF", "c.dxf.bak", "d.txt"})
        WriteBytes(folder + "/" + name, "0\nEOF\n");
    settings->WriteText(SettingName::DxfPath, folder);
    StartWithConfig();
    auto* list = Find<QTreeWidget>("VTFiles");
    EXPECT_EQ(RowNames(list), (QStringList{"a", "B"}));
    EXPECT_EQ(list->topLevelItem(0)->text(2), "1 KB");
    EXPECT_EQ(Find<QLabel>("Label3")->text(), "1 file selected.");
    EXPECT_TRUE(Find<QToolButton>("btprocess")->isEnabled());
    EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), folder) << "locked by default";

    list->clearSelection();
    EXPECT_EQ(Find<QLabel>("Label3")->text(), "0 file selected.");
    EXPECT_FALSE(Find<QToolButton>("btprocess")->isEnabled());

    // AutoSelect selects every row, and survives in the settings.
    for (const char* name : {"c.dxf", "d.Dxf"})
        WriteBytes(folder + "/" + name, "0\nEOF\n");
    form->Files().onRefreshFolderClicked();
    EXPECT_EQ(RowNames(list), (QStringList{"a", "B", "c", "d"}));
    Find<QCheckBox>("autosel")->click();
    EXPECT_EQ(Find<QLabel>("Label3")->text(), "4 files selected.");
    EXPECT_TRUE(settings->ReadFlag(SettingName::AutoSelect));
}

TEST_F(MainWindowTest, HeaderClicksAlwaysReverseTheSort) {
    const QString folder = QString::fromStdString(dir / "drawings");
    QDir().mkpath(folder);
    WriteBytes(folder + "/a.dxf", QByteArray(5000, 'x'));
    WriteBytes(folder + "/b.dxf", QByteArray(10, 'x'));
    WriteBytes(folder + "/c.dxf", QByteArray(2000, 'x'));
    settings->WriteText(SettingName::DxfPath, folder);
    StartWithConfig();
    auto* list = Find<QTreeWidget>("VTFiles");
    EXPECT_EQ(RowNames(list), (QStringList{"a", "b", "c"}));
    form->Files().onFileListHeaderClicked(2);  // Size, reversed from ascending: largest first
    EXPECT_EQ(RowNames(list), (QStringList{"a", "c", "b"}));
    form->Files().onFileListHeaderClicked(0);  // Name, reversed again: ascending
    EXPECT_EQ(RowNames(list), (QStringList{"a", "b", "c"}));
    form->Files().onFileListHeaderClicked(0);
    EXPECT_EQ(RowNames(list), (QStringList{"c", "b", "a"}));
    EXPECT_EQ(list->topLevelItem(0)->background(0).color(), QColor(242, 242, 242));
}

// Drops paths on the file list as a file manager does.
bool DropOnFileList(QTreeWidget* list, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint at = list->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &drop);
    return drop.isAccepted();
}

QStringList SelectedNames(QTreeWidget* list) {
    QStringList names;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected())
            names << list->topLevelItem(i)->text(0);
    return names;
}

TEST_F(MainWindowTest, DroppedDrawingsOpenTheirFolderSelectedAndEmptyFoldersSaySo) {
    const QString empty = QString::fromStdString(dir / "empty");
    const QString folder = QString::fromStdString(dir / "drawings");
    QDir().mkpath(empty);
    QDir().mkpath(folder);
    for (const char* name : {"a.dxf", "B.DXF", "c.dxf", "notes.txt"})
        WriteBytes(folder + "/" + name, "0\nEOF\n");
    settings->WriteText(SettingName::DxfPath, empty);
    settings->WriteFlag(SettingName::AutoSelect, true);
    StartWithConfig();
    auto* list = Find<QTreeWidget>("VTFiles");
    // A folder without drawings: nothing selected, nothing to process.
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(Find<QLabel>("Label3")->text(), "0 file selected.");
    EXPECT_FALSE(Find<QToolButton>("btprocess")->isEnabled());

    EXPECT_FALSE(DropOnFileList(list, {folder + "/notes.txt"})) << "not a drawing";
    EXPECT_TRUE(
        DropOnFileList(list, {folder + "/a.dxf", folder + "/B.DXF", folder + "/notes.txt"}));
    EXPECT_EQ(form->Files().DxfFolderPath(), folder);
    EXPECT_EQ(RowNames(list), (QStringList{"a", "B", "c"}));
    EXPECT_EQ(SelectedNames(list), (QStringList{"a", "B"})) << "only the dropped ones";
    EXPECT_EQ(Find<QLabel>("Label3")->text(), "2 files selected.");
    EXPECT_TRUE(Find<QToolButton>("btprocess")->isEnabled());

    // A folder dropped opens as if chosen in the tree (AutoSelect selects all its drawings).
    EXPECT_TRUE(DropOnFileList(list, {empty}));
    EXPECT_EQ(form->Files().DxfFolderPath(), empty);
    EXPECT_EQ(Find<QLabel>("Label3")->text(), "0 file selected.");
    EXPECT_FALSE(Find<QToolButton>("btprocess")->isEnabled());
}

// At 1280 pixels the names are whole, Modified and Size as wide as their text, and the data
// options right after their labels.
TEST_F(MainWindowTest, ColumnsGiveTheRoomToNamesAndOptionsSitByTheirLabels) {
    const QString folder = QString::fromStdString(dir / "drawings");
    QDir().mkpath(folder);
    const QString name = QStringLiteral("nothing-decimal-survey-of-the-northern-quarry-2026");
    WriteBytes(folder + "/" + name + ".dxf", "0\nEOF\n");
    settings->WriteText(SettingName::DxfPath, folder);
    settings->WriteText(SettingName::Width, QStringLiteral("1280"));
    settings->WriteText(SettingName::Height, QStringLiteral("800"));
    // Saved when the last column stretched: the 600 pixels there were never the user's.
    HeaderLayout stretched = DesignHeaderLayout();
    stretched.Widths = {140, 130, 600};
    const std::vector<std::uint8_t> bytes = EncodeHeaderLayout(stretched);
    settings->WriteBinary(
        SettingName::FileListHeader,
        QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    StartWithConfig();
    ASSERT_EQ(form->width(), 1280);
    auto* list = Find<QTreeWidget>("VTFiles");
    const QHeaderView* header = list->header();
    const QFontMetrics metrics(list->font());
    EXPECT_GE(header->sectionSize(0),
              metrics.horizontalAdvance(name) + list->iconSize().width() + 8);
    EXPECT_LT(header->sectionSize(2), 100) << "Size fits \"1 KB\"";
    EXPECT_LT(header->sectionSize(1), 160) << "Modified fits the date";
    EXPECT_GE(header->sectionSize(1), metrics.horizontalAdvance(list->topLevelItem(0)->text(1)));
    EXPECT_EQ(header->sectionSize(0) + header->sectionSize(1) + header->sectionSize(2),
              list->viewport()->width());

    Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    QTreeWidget* data = DataWidget();
    int widestLabel = 0;
    for (QTreeWidgetItemIterator it(data); *it; ++it)
        if (!(*it)->isHidden() && (!(*it)->parent() || (*it)->parent()->isExpanded()))
            widestLabel = std::max(widestLabel, data->visualItemRect(*it).left() +
                                                    metrics.horizontalAdvance((*it)->text(0)));
    EXPECT_LT(data->header()->sectionSize(0), widestLabel + 80);
    EXPECT_GE(data->header()->sectionSize(0), widestLabel);
}

// The caption is the program's own text; with no display name the toolkit appends nothing.
TEST_F(MainWindowTest, TheCaptionIsExactlyAsSet) {
    StartWithConfig();
    EXPECT_EQ(form->windowTitle(), "Quarrow V 4.02 - [start.qrw]");
    ASSERT_NE(form->windowHandle(), nullptr);
    EXPECT_EQ(form->windowHandle()->title(), "Quarrow V 4.02 - [start.qrw]");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

TEST_F(MainWindowTest, RecentConfigurationsComeNewestFirstAndGoneFilesLeave) {
    StartWithConfig();
    ConfigurationTab& tab = form->Configuration();
    const QString folder = programFolder + "configurations/";
    dialogs.SavePaths = {folder + "first.qrw", folder + "second.qrw"};
    ASSERT_TRUE(tab.onSaveClicked());
    ASSERT_TRUE(tab.onSaveClicked());
    auto* menu = Find<QMenu>("RecentConfigs");
    tab.FillRecentMenu();
    QStringList shown;
    for (QAction* action : menu->actions())
        shown << action->text();
    EXPECT_EQ(shown, (QStringList{"&1  second.qrw", "&2  first.qrw"}));

    // An entry loads its file; a file that is gone leaves the list and says what to do.
    menu->actions().at(1)->trigger();
    EXPECT_EQ(StatusText(), "Configuration file in use : first.qrw");
    EXPECT_EQ(ReadRecentConfigs(*settings),
              (QStringList{folder + "first.qrw", folder + "second.qrw"}));
    ASSERT_TRUE(QFile::remove(folder + "second.qrw"));
    tab.LoadRecentConfig(folder + "second.qrw");
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_TRUE(dialogs.Messages[0].Text.contains("no longer exists"));
    EXPECT_TRUE(dialogs.Messages[0].Text.contains("\" Load configuration\""));
    EXPECT_EQ(ReadRecentConfigs(*settings), QStringList{folder + "first.qrw"});
    EXPECT_EQ(StatusText(), "Configuration file in use : first.qrw") << "nothing else changed";
}

QByteArray SampleBytes(const char* name) {
    QFile file(QStringLiteral(QUARROW_SOURCE_DIR "/data/samples/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A drawing of many points, large enough that the run reports progress within it.
QByteArray ManyPoints(int count) {
    QByteArray bytes = "  0\nSECTION\n  2\nENTITIES\n";
    for (int i = 0; i < count; ++i)
        bytes += QStringLiteral("  0\nPOINT\n  8\nSURVEY\n 10\n%1.125\n 20\n%2.5\n 30\n%3.25\n")
                     .arg(1000 + i)
                     .arg(2000 + i % 97)
                     .arg(i % 13)
                     .toLatin1();
    return bytes + "  0\nENDSEC\n  0\nEOF\n";
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RunTest : public MainWindowTest {
protected:
    void StartWithTwoDrawings() {
        StartWithDrawings({{"points.dxf", SampleBytes("points.dxf")},
                           {"lines-faces.dxf", SampleBytes("lines-faces.dxf")}});
    }
    // The drawings are all selected (AutoSelect) and the destination is a folder of its own.
    void StartWithDrawings(const std::vector<std::pair<QString, QByteArray>>& files) {
        drawings = QString::fromStdString(dir / "drawings");
        dest = QString::fromStdString(dir / "out");
        QDir().mkpath(drawings);
        QDir().mkpath(dest);
        for (const auto& [name, bytes] : files)
            WriteBytes(drawings + "/" + name, bytes);
        settings->WriteText(SettingName::DxfPath, drawings);
        settings->WriteText(SettingName::DestPath, dest);
        settings->WriteFlag(SettingName::Locked, false);
        settings->WriteFlag(SettingName::AutoSelect, true);
        StartWithConfig();
    }
    QString LogText() {
        QFile log(programFolder + "QuarrowLog.txt");
        return log.open(QIODevice::ReadOnly) ? QString::fromLatin1(log.readAll()) : QString();
    }
    QString drawings;
    QString dest;
};

TEST_F(RunTest, ARunOfTwoFilesWritesBothDataFilesAndTheLog) {
    StartWithTwoDrawings();
    EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), dest) << "unlocked: the saved destination";
    form->Options().onAlwaysShowReportClicked();
    form->Files().onProcessClicked();
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_TRUE(QFileInfo::exists(dest + "/points.csv"));
    EXPECT_TRUE(QFileInfo::exists(dest + "/lines-faces.csv"));
    const QString log = LogText();
    EXPECT_TRUE(log.startsWith("Quarrow report created ")) << log.toStdString();
    EXPECT_TRUE(log.contains("Number of processed files : 2\r\n"));
    EXPECT_TRUE(log.contains("File 2 :\r\n"));
    EXPECT_EQ(dialogs.OpenedInEditor, QStringList{programFolder + "QuarrowLog.txt"});
    EXPECT_FALSE(form->Files().ProgressDialog().isVisible());
}

// Each key does what its button does; the progress window counts the files of the run.
TEST_F(RunTest, ShortcutsPressTheirButtons) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUARROW_SOURCE_DIR "/data/help_quarrow4.html"),
                            programFolder + "help_quarrow4.html"));
    StartWithTwoDrawings();
    const auto press = [this](QKeyCombination keys) {
        QTest::keyClick(form.get(), keys.key(), keys.keyboardModifiers());
    };
    press(Qt::CTRL | Qt::Key_O);
    EXPECT_EQ(dialogs.OpenRequests.size(), 1u);
    press(Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(dialogs.SaveRequests.size(), 1u);
    press(Qt::Key_F1);
    ASSERT_NE(form->Options().HelpWindow(), nullptr);
    EXPECT_TRUE(form->Options().HelpWindow()->isVisible());
    form->Options().HelpWindow()->close();
    QApplication::setActiveWindow(form.get());

    WriteBytes(drawings + "/later.dxf", SampleBytes("points.dxf"));
    press(Qt::Key_F5);
    EXPECT_EQ(RowNames(Find<QTreeWidget>("VTFiles")),
              (QStringList{"later", "lines-faces", "points"}));
    EXPECT_EQ(Find<QLabel>("Label3")->text(), "3 files selected.");

    press(Qt::CTRL | Qt::Key_Return);
    EXPECT_TRUE(QFileInfo::exists(dest + "/later.csv"));
    EXPECT_TRUE(QFileInfo::exists(dest + "/points.csv"));
    const QString details =
        form->Files().ProgressDialog().findChild<QLabel*>("ProgressDetails")->text();
    EXPECT_TRUE(QRegularExpression("^file 3 of 3, [0-9]+ %, [0-9]+\\.[0-9] MB/s$")
                    .match(details)
                    .hasMatch())
        << details.toStdString();
}

TEST_F(RunTest, StopDuringARunLeavesTheCancelLine) {
    StartWithTwoDrawings();
    // The progress window lets events through as the first file starts: Stop is pressed then.
    ProgressWindow* progress = &form->Files().ProgressDialog();
    QTimer::singleShot(0, progress, [progress] {
        progress->findChild<QPushButton*>(QStringLiteral("SpeedButton1"))->click();
    });
    form->Files().onProcessClicked();
    const QString log = LogText();
    EXPECT_TRUE(log.endsWith("*** Process canceled by user ***\r\n")) << log.toStdString();
    EXPECT_FALSE(log.contains("File 2 :"));
}

TEST_F(RunTest, RefusedRunsShowTheirMessages) {
    StartWithTwoDrawings();
    Find<QLineEdit>("Edit12")->setText(QStringLiteral("  "));
    form->Files().onProcessClicked();
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Text,
              "  Please, enter a file extension to use for the Data files.  ");
    Find<QLineEdit>("Edit12")->setText(QStringLiteral("csv"));
    QFile::remove(programFolder + "QuarrowLog.txt");
    form->Files().onShowLogClicked();
    EXPECT_EQ(dialogs.Messages.back().Text, "  Error. Log file \"QuarrowLog.txt\" does not exist ");
    EXPECT_TRUE(dialogs.OpenedInEditor.isEmpty());
}

TEST_F(RunTest, AStrayTestFileFromAnOldRunBlocksNothing) {
    StartWithTwoDrawings();
    WriteBytes(dest + "/quarrow$_$.tmp", "stray");
    form->Options().onAlwaysShowReportClicked();
    form->Files().onProcessClicked();
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_TRUE(QFileInfo::exists(dest + "/points.csv"));
    EXPECT_TRUE(QFileInfo::exists(dest + "/quarrow$_$.tmp")) << "not ours to remove";
    EXPECT_TRUE(Find<QToolButton>("btprocess")->isEnabled()) << "ready for another try";
}

TEST_F(RunTest, ExitAsksAndWritesTheSettingsOnlyWhenItEnds) {
    StartWithTwoDrawings();
    MarkConfigUnsaved(form->State());
    dialogs.Answers = {Answer::Cancel};
    settings->WriteText(SettingName::DestPath, QStringLiteral("unchanged"));
    EXPECT_FALSE(form->close()) << "the close button goes through the exit sequence";
    EXPECT_EQ(dialogs.Questions.size(), 1);
    EXPECT_EQ(settings->ReadText(SettingName::DestPath), "unchanged") << "Cancel writes nothing";

    // The header layout goes with the other settings: a wider Size column, moved first, and
    // the list sorted by size, largest first.
    auto* header = Find<QTreeWidget>("VTFiles")->header();
    header->resizeSection(2, 222);
    header->moveSection(2, 0);
    form->Files().onFileListHeaderClicked(2);
    const HeaderLayout changed = form->Files().FileListLayout();

    dialogs.Answers = {Answer::No};
    EXPECT_TRUE(form->close());
    EXPECT_EQ(settings->ReadText(SettingName::DestPath), dest);
    EXPECT_EQ(settings->ReadText(SettingName::DxfPath), drawings);

    // The next start comes back to the same state.
    form.reset();
    Start();
    EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), dest);
    EXPECT_TRUE(Find<QToolButton>("SpeedButton4")->isEnabled()) << "still unlocked";
    EXPECT_EQ(Find<QLabel>("Label3")->text(), "2 files selected.") << "AutoSelect kept";
    // Name stretches to the list's edge: its width follows the window.
    HeaderLayout restored = form->Files().FileListLayout();
    restored.Widths[0] = changed.Widths[0];
    EXPECT_EQ(restored, changed);
    EXPECT_EQ(Find<QTreeWidget>("VTFiles")->header()->sectionSize(2), 222);
    EXPECT_EQ(RowNames(Find<QTreeWidget>("VTFiles")), (QStringList{"lines-faces", "points"}))
        << "the restored sort applies to the rows at once";
}

// F5 reads the folder tree again: a folder made after the start (by a shell, or by the
// destination chooser's "New folder") shows in it.
TEST_F(RunTest, F5ShowsFoldersMadeSinceTheStartInTheFolderTree) {
    StartWithTwoDrawings();
    auto* tree = Find<QTreeView>("sh1");
    const QModelIndex current = tree->currentIndex();
    ASSERT_EQ(current.data(Qt::UserRole).toString(), drawings);
    ASSERT_FALSE(tree->model()->hasChildren(current));
    ASSERT_TRUE(QDir().mkpath(drawings + "/2026"));
    QTest::keyClick(form.get(), Qt::Key_F5);
    ASSERT_EQ(tree->model()->rowCount(current), 1);
    EXPECT_EQ(tree->model()->index(0, 0, current).data().toString(), "2026");
    EXPECT_EQ(form->Files().DxfFolderPath(), drawings) << "the selection stays";
    EXPECT_EQ(RowNames(Find<QTreeWidget>("VTFiles")), (QStringList{"lines-faces", "points"}));
}

// The destination takes a typed or pasted path: a folder that does not exist is made when the
// run starts, the chooser opens at it, and one that cannot be made says why.
TEST_F(RunTest, ATypedOrPastedDestinationIsMadeAndUsed) {
    StartWithTwoDrawings();
    auto* edit = Find<QLineEdit>("Edit1");
    ASSERT_TRUE(edit->isEnabled()) << "unlocked";
    EXPECT_FALSE(edit->isReadOnly());
    const QString typed = QString::fromStdString(dir / "jobs/points out");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed + "  ");
    EXPECT_EQ(edit->text(), typed + "  ");
    form->Files().onProcessClicked();
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_TRUE(QFileInfo::exists(typed + "/points.csv"));
    EXPECT_TRUE(QFileInfo::exists(typed + "/lines-faces.csv"));
    EXPECT_FALSE(QFileInfo::exists(dest + "/points.csv"));

    // A path relative to the drawings' folder.
    edit->setText(QStringLiteral("out2"));
    form->Files().onProcessClicked();
    EXPECT_TRUE(QFileInfo::exists(drawings + "/out2/points.csv"));
    EXPECT_EQ(edit->text(), drawings + "/out2") << "the field shows the folder used";

    edit->setText(typed);
    DestinationChooser& chooser = form->Files().DestinationDialog();
    QString openedAt;
    QTimer::singleShot(0, &chooser, [&] {
        openedAt = chooser.SelectedPath();
        chooser.reject();
    });
    form->Files().onBrowseDestinationClicked();
    EXPECT_EQ(openedAt, typed) << "the chooser opens at the destination";
    EXPECT_EQ(edit->text(), typed) << "Cancel keeps it";

    edit->setText(typed + "/points.csv/sub");  // under a file: no folder can be made there
    form->Files().onProcessClicked();
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_EQ(dialogs.Messages[0].Kind, MessageKind::Error);
    EXPECT_EQ(dialogs.Messages[0].Text,
              "Destination directory \"" + typed +
                  "/points.csv/sub/\" is write-protected, files can't be created here. Please "
                  "select another directory.\n\n(Not a directory)");
}

// Every control that shapes a run, by its stable name.
const char* const kRunShapingControls[] = {"VirtualStringTree1",
                                           "VirtualStringTree4",
                                           "blkname",
                                           "btCoordUp",
                                           "btCoordDown",
                                           "ComboBox1",
                                           "EdFieldSep",
                                           "cbIncludeField",
                                           "Edit12",
                                           "Edit1",
                                           "SpeedButton1",
                                           "SpeedButton2",
                                           "SpeedButton4",
                                           "sh1",
                                           "VTFiles",
                                           "autosel",
                                           "btprocess",
                                           "btload",
                                           "btsave"};

// The ProgressBar1 of the progress window moves as the run reads a drawing: the moment the
// run hands control to the user interface, and so a hook in the middle of a run.
QMetaObject::Connection OnceMidFile(MainWindow& form, std::function<void()> action) {
    auto* bar =
        form.Files().ProgressDialog().findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    EXPECT_NE(bar, nullptr);
    auto done = std::make_shared<bool>(false);
    return QObject::connect(bar, &QProgressBar::valueChanged, bar,
                            [bar, done, action = std::move(action)](int value) {
                                if (*done || value <= 0 || value >= bar->maximum())
                                    return;
                                *done = true;
                                action();
                            });
}

TEST_F(RunTest, EditsTriedDuringARunReachNeitherTheRunNorTheConfiguration) {
    StartWithDrawings({{"big.dxf", ManyPoints(12000)}});
    ASSERT_GT(QFileInfo(drawings + "/big.dxf").size(), 500'000);
    auto* tabs = Find<QTabWidget>("PageControl1");
    tabs->setCurrentIndex(1);  // the user watches the configuration while the run goes
    form->Configuration().onExpandAllDataClicked();
    QCoreApplication::processEvents();

    // The configuration the load would bring: another extension, so a load is plain to see.
    const QString other = programFolder + "configurations/other.qrw";
    ExportConfig otherConfig = form->State().Config;
    otherConfig.DataFileExt = "txt";
    ASSERT_TRUE(
        WriteConfigFile(other.toStdString(), otherConfig, form->EntityTree(), form->DataTree()).Ok);

    // What a user does with mouse and keyboard: load, type an X prefix, pick the next
    // separator, toggle the Points node, type into the extension field.
    auto tryEdits = [&] {
        tabs->setCurrentIndex(1);
        dialogs.OpenPaths = {other};
        QTest::mouseClick(Find<QToolButton>("btload"), Qt::LeftButton);
        QTreeWidget* data = DataWidget();
        const QPoint prefixCell(data->header()->sectionViewportPosition(1) + 8,
                                data->visualItemRect(DataItem(4)).center().y());
        QTest::mouseClick(data->viewport(), Qt::LeftButton, {}, prefixCell);
        if (auto* editor = data->viewport()->findChild<QLineEdit*>()) {
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, QStringLiteral("PX"));
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QTest::keyClick(Find<QComboBox>("ComboBox1"), Qt::Key_Down);
        QTreeWidget* entities = EntityWidget();
        QTest::mouseClick(entities->viewport(), Qt::LeftButton, {},
                          entities->visualItemRect(EntityItem(0)).center());
        QTest::keyClick(entities, Qt::Key_Space);
        tabs->setCurrentIndex(0);
        QTest::keyClicks(Find<QLineEdit>("Edit12"), QStringLiteral("x"));
    };

    // The run the edits must not reach, first without them.
    form->Files().onProcessClicked();
    ASSERT_TRUE(dialogs.Messages.empty());
    const QByteArray unedited = FileBytes(dest + "/big.csv");
    ASSERT_FALSE(unedited.isEmpty());
    ASSERT_TRUE(QFile::remove(dest + "/big.csv"));
    tabs->setCurrentIndex(1);

    const ExportConfig before = form->State().Config;
    const ConfigTree entitiesBefore = WithoutSelection(form->EntityTree());
    bool hookRan = false;
    const auto hook = OnceMidFile(*form, [&] {
        hookRan = true;
        EXPECT_TRUE(form->Files().Running());
        for (const char* name : kRunShapingControls)
            EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name << " enabled during a run";
        EXPECT_TRUE(form->Files()
                        .ProgressDialog()
                        .findChild<QPushButton*>(QStringLiteral("SpeedButton1"))
                        ->isEnabled())
            << "Stop stays usable";
        tryEdits();
        EXPECT_EQ(form->State().Config, before) << "an edit got through during the run";
        EXPECT_EQ(WithoutSelection(form->EntityTree()), entitiesBefore);
    });
    form->Files().onProcessClicked();
    QObject::disconnect(hook);
    ASSERT_TRUE(hookRan) << "no progress was reported within the drawing";
    EXPECT_TRUE(dialogs.OpenRequests.empty()) << "the load dialog opened during the run";
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_EQ(FileBytes(dest + "/big.csv"), unedited);
    EXPECT_FALSE(QFileInfo::exists(dest + "/big.csvx"));
    EXPECT_EQ(form->State().Config, before);

    // Idle again, every control is back, and the same hands now do change the configuration:
    // the attempts above were real ones.
    for (const char* name :
         {"VirtualStringTree1", "VirtualStringTree4", "ComboBox1", "cbIncludeField", "Edit12",
          "VTFiles", "btprocess", "btload", "btsave"})
        EXPECT_TRUE(Find<QWidget>(name)->isEnabled()) << name << " still disabled";
    tryEdits();
    EXPECT_EQ(dialogs.OpenRequests.size(), 1u);
    EXPECT_EQ(form->State().Config.DataOptions[4], "PX");
    EXPECT_NE(form->State().Config.SeparatorChoice, before.SeparatorChoice);
    EXPECT_NE(form->State().Config.EntityFlags[0], before.EntityFlags[0]);
    EXPECT_EQ(form->State().Config.DataFileExt, "txtx") << "loaded, then typed into";
}

// Each command is one action, in the menu and behind its button; one function decides what
// can be used, idle and during a run, where the menu's Stop ends the run.
TEST_F(RunTest, CommandsAreActionsEnabledForTheWindowsState) {
    StartWithDrawings({{"big.dxf", ManyPoints(12000)}, {"points.dxf", SampleBytes("points.dxf")}});
    const MainWindow::Commands& c = form->Command();
    QList<QAction*> entries;
    for (QAction* menu : form->menuBar()->actions())
        entries += menu->menu()->actions();
    for (QAction* command : {c.Load, c.Save, c.Process, c.Stop, c.Help, c.Exit})
        EXPECT_TRUE(entries.contains(command)) << command->objectName().toStdString();
    auto* stopButton =
        form->Files().ProgressDialog().findChild<QPushButton*>(QStringLiteral("SpeedButton1"));
    const auto expectIdle = [&](bool processable) {
        EXPECT_TRUE(c.Load->isEnabled());
        EXPECT_TRUE(Find<QToolButton>("btload")->isEnabled());
        EXPECT_TRUE(c.Save->isEnabled());
        EXPECT_EQ(c.Process->isEnabled(), processable);
        EXPECT_EQ(Find<QToolButton>("btprocess")->isEnabled(), processable);
        EXPECT_FALSE(c.Stop->isEnabled());
        EXPECT_FALSE(stopButton->isEnabled());
        EXPECT_TRUE(c.Help->isEnabled());
        EXPECT_TRUE(c.Exit->isEnabled());
    };
    expectIdle(true);
    Find<QTreeWidget>("VTFiles")->clearSelection();
    expectIdle(false);
    Find<QTreeWidget>("VTFiles")->selectAll();
    expectIdle(true);

    // The button presses the same command as the menu entry.
    QTest::mouseClick(Find<QToolButton>("btload"), Qt::LeftButton);
    c.Load->trigger();
    EXPECT_EQ(dialogs.OpenRequests.size(), 2u);

    bool hookRan = false;
    const auto hook = OnceMidFile(*form, [&] {
        hookRan = true;
        EXPECT_FALSE(c.Load->isEnabled());
        EXPECT_FALSE(c.Save->isEnabled());
        EXPECT_FALSE(c.Process->isEnabled());
        EXPECT_TRUE(c.Stop->isEnabled());
        EXPECT_TRUE(stopButton->isEnabled());
        EXPECT_TRUE(c.Exit->isEnabled()) << "it asks whether to stop the run";
        c.Stop->trigger();
    });
    c.Process->trigger();
    QObject::disconnect(hook);
    ASSERT_TRUE(hookRan);
    const QString log = LogText();
    EXPECT_TRUE(log.endsWith("*** Process canceled by user ***\r\n")) << log.toStdString();
    EXPECT_FALSE(log.contains("File 2 :"));
    EXPECT_FALSE(QFileInfo::exists(dest + "/points.csv"));
    expectIdle(true);
}

// The summary lists what each converted file needs looked at, from its per-file result: the
// values that hold the separator, the entities left out in paper space, a drawing that gave
// no records; and says when Data files keep the drawing's code page rather than UTF-8.
TEST_F(RunTest, TheSummaryShowsEachFilesWarnings) {
    const auto drawing = [](const QByteArray& entities) {
        return "  0\nSECTION\n  2\nENTITIES\n" + entities + "  0\nENDSEC\n  0\nEOF\n";
    };
    const auto text = [](const QByteArray& value) {
        return "  0\nTEXT\n  8\nFENCE\n 10\n1.0\n 20\n2.0\n 30\n0.0\n 40\n1.0\n  1\n" + value +
               "\n";
    };
    const QByteArray paperPoint = "  0\nPOINT\n 67\n1\n  8\nSHEET\n 10\n1.0\n 20\n2.0\n";
    QByteArray fence;
    for (int i = 0; i < 20; ++i)
        fence += text("Fence, post");
    StartWithDrawings({{"a-fence.dxf", drawing(fence + paperPoint)},
                       {"b-cloture.dxf", drawing(text("Cl\xf4ture"))},
                       {"c-sheet.dxf", drawing(paperPoint)},
                       {"d-points.dxf", SampleBytes("points.dxf")}});
    PressSpaceOn(DataWidget(), DataItem(int(DataNode::TextString)));
    ASSERT_EQ(form->State().Config.DataFlags[std::size_t(DataNode::TextString)], 1);
    form->Files().onProcessClicked();
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_TRUE(Find<QLabel>("RunSummaryHeadline")->text().contains(": 4 of 4 selected files"));
    const QString details = Find<QLabel>("RunSummaryDetails")->text();
    const QStringList lines = details.split('\n');
    ASSERT_GE(lines.size(), 4) << details.toStdString();
    EXPECT_EQ(lines[0], "2 converted files need a look:");
    EXPECT_TRUE(lines[1].startsWith("  \u2022 a-fence.dxf: 20 records hold the field separator"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith("; 1 paper-space entity left out")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("  \u2022 c-sheet.dxf: this drawing gave no records (1 "
                                    "entities in paper space"))
        << lines[2].toStdString();
    EXPECT_EQ(lines[3],
              "1 Data file holds texts that are not UTF-8: with \"Text : as written\" they "
              "keep the drawing's code page. For UTF-8, choose \"plain UTF-8\" on the "
              "Configuration tab and process again.");

    // In plain UTF-8 every Data file is UTF-8: nothing to say about code pages.
    Find<QComboBox>("cbTextMode")->setCurrentIndex(1);
    form->Files().onProcessClicked();
    EXPECT_FALSE(Find<QLabel>("RunSummaryDetails")->text().contains("UTF-8"));
}

// The summary panel at the top of the "DXF Files" tab after each kind of run end.
TEST_F(RunTest, TheSummaryTellsWhatTheRunDidAndWhatToDo) {
    struct Case {
        const char* name;
        bool withNotDxf;
        bool stop;
        QString headline;     // a pattern; \d+ for the records
        QStringList details;  // each must appear; empty: no details shown
    };
    // clang-format off
    const Case cases[] = {
        {"clean", false, false,
         R"(Run finished in \d+[.,]\d s: 2 of 2 selected files converted, (\d+) records written\.)",
         {}},
        {"a file that is not a drawing", true, false,
         R"(Run finished in \d+[.,]\d s: 2 of 3 selected files converted, (\d+) records written\.)",
         {"1 file failed and got no Data file:", "\u2022 hello.dxf: ",
          "See the log for details, correct these files and process them again."}},
        {"stopped", false, true,
         R"(Run stopped by the user after \d+[.,]\d s: 0 of 2 selected files converted, (\d+) records written\.)",
         {"2 files were not converted because of the stop."}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = ScriptedDialogs();
        form.reset();
        std::vector<std::pair<QString, QByteArray>> files = {
            {"points.dxf", SampleBytes("points.dxf")},
            {"lines-faces.dxf", SampleBytes("lines-faces.dxf")}};
        if (c.withNotDxf)
            files.push_back({"hello.dxf", "hello"});
        QDir(QString::fromStdString(dir / "drawings")).removeRecursively();
        QDir(QString::fromStdString(dir / "out")).removeRecursively();
        settings->WriteText(SettingName::Config, QStringLiteral("start.qrw"));
        QFile::remove(programFolder + "configurations/start.qrw");
        StartWithDrawings(files);
        auto* panel = Find<QWidget>("RunSummary");
        EXPECT_FALSE(panel->isVisible()) << "no run yet";
        if (c.stop) {
            ProgressWindow* progress = &form->Files().ProgressDialog();
            QTimer::singleShot(0, progress, [progress] {
                progress->findChild<QPushButton*>(QStringLiteral("SpeedButton1"))->click();
            });
        }
        Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
        form->Files().onProcessClicked();
        EXPECT_TRUE(dialogs.Messages.empty()) << "no box to click away";
        EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentIndex(), 0);
        EXPECT_TRUE(panel->isVisible());

        const QString headline = Find<QLabel>("RunSummaryHeadline")->text();
        const QRegularExpression pattern(QRegularExpression::anchoredPattern(c.headline));
        const QRegularExpressionMatch match = pattern.match(headline);
        ASSERT_TRUE(match.hasMatch()) << headline.toStdString();
        // One record a line of the Data files, but for their header lines.
        qsizetype lines = 0;
        for (const QString& data : QDir(dest).entryList({"*.csv"}))
            lines += FileBytes(dest + "/" + data).count('\n') - form->State().Config.HeaderLine;
        EXPECT_EQ(match.captured(1).toLongLong(), lines);

        auto* details = Find<QLabel>("RunSummaryDetails");
        EXPECT_EQ(details->isVisible(), !c.details.isEmpty()) << details->text().toStdString();
        for (const QString& part : c.details)
            EXPECT_TRUE(details->text().contains(part)) << details->text().toStdString();

        QTest::mouseClick(Find<QPushButton>("RunSummaryOpenDestination"), Qt::LeftButton);
        EXPECT_EQ(dialogs.OpenedFolders, QStringList{dest});
        QTest::mouseClick(Find<QPushButton>("RunSummaryOpenLog"), Qt::LeftButton);
        EXPECT_EQ(dialogs.OpenedInEditor, QStringList{programFolder + "QuarrowLog.txt"});
        QTest::mouseClick(Find<QPushButton>("RunSummaryClose"), Qt::LeftButton);
        EXPECT_FALSE(panel->isVisible());
    }
}

TEST_F(RunTest, ARunEndingErrorNamesTheLineAndCountsTheFilesLeft) {
    const QByteArray bad = test::Entities({"0", "POINT", "10", "12,5", "20", "1"}).c_str();
    struct Case {
        const char* failing;  // of a.dxf, b.dxf, c.dxf, in name order
        const char* tail;     // after the engine's message
    };
    // clang-format off
    const Case cases[] = {
        {"a.dxf", "\n\n2 of the 3 selected files were not processed."},
        {"b.dxf", "\n\n1 of the 3 selected files was not processed."},
        {"c.dxf", ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        dialogs = ScriptedDialogs();
        form.reset();
        QDir(QString::fromStdString(dir / "drawings")).removeRecursively();
        QFile::remove(programFolder + "configurations/start.qrw");
        std::vector<std::pair<QString, QByteArray>> files;
        for (const char* name : {"a.dxf", "b.dxf", "c.dxf"})
            files.push_back(
                {name, qstrcmp(name, c.failing) == 0 ? bad : SampleBytes("points.dxf")});
        StartWithDrawings(files);
        form->Files().onProcessClicked();
        ASSERT_EQ(dialogs.Messages.size(), 1u);
        EXPECT_EQ(dialogs.Messages[0].Kind, MessageKind::Error);
        EXPECT_EQ(dialogs.Messages[0].Text,
                  "Error in DXF file \"" + drawings + "/" + c.failing +
                      "\", line 8: \"12,5\" is not a valid floating point value (X coordinate)." +
                      c.tail);
        // The run is over: the controls are back, and the summary tells the same story.
        EXPECT_FALSE(form->Files().Running());
        for (const char* name :
             {"VirtualStringTree1", "ComboBox1", "Edit12", "btload", "btprocess"})
            EXPECT_TRUE(Find<QWidget>(name)->isEnabled()) << name;
        EXPECT_TRUE(Find<QLabel>("RunSummaryHeadline")->text().startsWith("Run ended on an error"));
        EXPECT_TRUE(Find<QLabel>("RunSummaryDetails")
                        ->text()
                        .contains(QStringLiteral("\u2022 %1: Error in DXF file").arg(c.failing)));
        // No log was written, as ever; the summary shows this run's own report instead.
        EXPECT_FALSE(QFileInfo::exists(programFolder + "QuarrowLog.txt"));
        QTest::mouseClick(Find<QPushButton>("RunSummaryOpenLog"), Qt::LeftButton);
        ASSERT_NE(form->Files().LogWindow(), nullptr);
        EXPECT_TRUE(form->Files().LogWindow()->isVisible());
        EXPECT_TRUE(dialogs.OpenedInEditor.isEmpty());
        const QString report = form->Files().LogWindow()->Text()->toPlainText();
        EXPECT_TRUE(report.startsWith("Quarrow report created ")) << report.toStdString();
        EXPECT_TRUE(report.endsWith(QStringLiteral("  *** Error, Error in DXF file \"%1/%2\", "
                                                   "line 8: \"12,5\" is not a valid floating "
                                                   "point value (X coordinate). ***\n")
                                        .arg(drawings, c.failing)))
            << report.toStdString();
        // "Show last Log" shows the same report, not an older log.
        form->Files().LogWindow()->hide();
        form->Files().onShowLogClicked();
        EXPECT_TRUE(form->Files().LogWindow()->isVisible());
        EXPECT_EQ(form->Files().LogWindow()->Text()->toPlainText(), report);
        EXPECT_EQ(dialogs.Messages.size(), 1u) << "no \"does not exist\" message";
    }
}

// With "Go on with the next file when one cannot be converted", a drawing that fails in the
// middle is reported and the others are converted; the option is kept in the settings.
TEST_F(RunTest, KeepGoingConvertsTheFilesAfterAFailingDrawing) {
    const QByteArray bad = test::Entities({"0", "POINT", "10", "12,5", "20", "1"}).c_str();
    StartWithDrawings({{"a.dxf", SampleBytes("points.dxf")},
                       {"b.dxf", bad},
                       {"c.dxf", SampleBytes("points.dxf")}});
    auto* option = Find<QCheckBox>("cbKeepGoing");
    EXPECT_FALSE(option->isChecked()) << "off by default";
    Find<QTabWidget>("PageControl1")->setCurrentIndex(2);
    QTest::mouseClick(option, Qt::LeftButton);
    ASSERT_TRUE(option->isChecked());
    EXPECT_TRUE(settings->ReadFlag(SettingName::KeepGoing));

    form->Files().onProcessClicked();
    EXPECT_TRUE(dialogs.Messages.empty()) << "the summary tells it; no box to click away";
    EXPECT_TRUE(QFileInfo::exists(dest + "/a.csv"));
    EXPECT_FALSE(QFileInfo::exists(dest + "/b.csv"));
    EXPECT_TRUE(QFileInfo::exists(dest + "/c.csv"));
    const QString headline = Find<QLabel>("RunSummaryHeadline")->text();
    EXPECT_TRUE(headline.startsWith("Run finished in ")) << headline.toStdString();
    EXPECT_TRUE(headline.contains(": 2 of 3 selected files converted, ")) << headline.toStdString();
    const QString details = Find<QLabel>("RunSummaryDetails")->text();
    EXPECT_TRUE(
        details.contains("1 file failed and got no Data file:\n  \u2022 b.dxf: Error in DXF "
                         "file \"" +
                         drawings + "/b.dxf\", line 8"))
        << details.toStdString();
    const QString log = LogText();
    EXPECT_TRUE(log.contains("  *** Error, Error in DXF file \"" + drawings + "/b.dxf\""))
        << log.toStdString();
    EXPECT_TRUE(log.contains("File 3 :\r\n"));
    QTest::mouseClick(Find<QPushButton>("RunSummaryOpenLog"), Qt::LeftButton);
    EXPECT_EQ(dialogs.OpenedInEditor, QStringList{programFolder + "QuarrowLog.txt"});

    form.reset();
    Start();
    EXPECT_TRUE(Find<QCheckBox>("cbKeepGoing")->isChecked()) << "kept in the settings";
}

TEST_F(RunTest, ClosingTheWindowDuringARunAsksWhetherToStopIt) {
    struct Case {
        Answer answer;
        bool closed;
    };
    for (const Case c : {Case{Answer::Yes, true}, Case{Answer::No, false}}) {
        SCOPED_TRACE(c.closed ? "Yes" : "No");
        dialogs = ScriptedDialogs();
        form.reset();
        QDir(QString::fromStdString(dir / "drawings")).removeRecursively();
        QDir(QString::fromStdString(dir / "out")).removeRecursively();
        QFile::remove(programFolder + "configurations/start.qrw");
        QFile::remove(programFolder + "QuarrowLog.txt");
        StartWithTwoDrawings();
        MarkConfigUnsaved(form->State());  // the exit sequence then asks its own question
        settings->WriteText(SettingName::DestPath, QStringLiteral("unchanged"));
        // Yes to the run's question, then No to saving the configuration.
        dialogs.Answers = {c.answer, Answer::No};
        MainWindow* window = form.get();
        bool closedDuringRun = true;
        QTimer::singleShot(0, window,
                           [window, &closedDuringRun] { closedDuringRun = window->close(); });
        form->Files().onProcessClicked();
        EXPECT_FALSE(closedDuringRun) << "the window stays while the run is on the stack";
        ASSERT_GE(dialogs.Questions.size(), 1);
        EXPECT_EQ(dialogs.Questions[0], "A run is in progress. Stop it and exit Quarrow?\n\n"
                                        "Data files already written are kept.");
        EXPECT_FALSE(form->Files().Running());
        EXPECT_EQ(form->isVisible(), !c.closed);
        const QString log = LogText();
        if (c.closed) {
            EXPECT_TRUE(log.endsWith("*** Process canceled by user ***\r\n")) << log.toStdString();
            ASSERT_EQ(dialogs.Questions.size(), 2) << "the exit sequence went on after the run";
            EXPECT_EQ(dialogs.Questions[1],
                      "Current configuration has changed, do you want to save it ?");
            EXPECT_EQ(settings->ReadText(SettingName::DestPath), dest) << "settings written";
        } else {
            EXPECT_EQ(dialogs.Questions.size(), 1);
            EXPECT_TRUE(log.contains("File 2 :")) << "the run went on to the end";
            EXPECT_TRUE(QFileInfo::exists(dest + "/points.csv"));
            EXPECT_EQ(settings->ReadText(SettingName::DestPath), "unchanged");
        }
    }
}

// Without a viewer the desktop can launch, the log opens in a window of the program.
TEST_F(RunTest, WithoutAViewerTheLogOpensInTheProgram) {
    StartWithTwoDrawings();
    dialogs.ViewerAvailable = false;
    form->Options().onAlwaysShowReportClicked();  // "Always show Report."
    form->Files().onProcessClicked();
    EXPECT_TRUE(dialogs.OpenedInEditor.isEmpty());
    ASSERT_NE(form->Files().LogWindow(), nullptr) << "the report was not shown";
    EXPECT_TRUE(form->Files().LogWindow()->isVisible());
    const QString shown = form->Files().LogWindow()->Text()->toPlainText();
    EXPECT_TRUE(shown.contains("Number of processed files : 2\n")) << shown.toStdString();
    EXPECT_FALSE(shown.contains('\r'));

    // "Show last Log" reads the file afresh into the same window.
    form->Files().LogWindow()->hide();
    WriteBytes(programFolder + "QuarrowLog.txt", "a newer log\r\n");
    QTest::mouseClick(Find<QToolButton>("ToolButton2"), Qt::LeftButton);
    EXPECT_TRUE(form->Files().LogWindow()->isVisible());
    EXPECT_EQ(form->Files().LogWindow()->Text()->toPlainText(), "a newer log\n");

    // The destination has no window of its own: the message names the folder.
    QTest::mouseClick(Find<QPushButton>("RunSummaryOpenDestination"), Qt::LeftButton);
    ASSERT_EQ(dialogs.Messages.size(), 1u);
    EXPECT_TRUE(dialogs.Messages[0].Text.endsWith(QDir::toNativeSeparators(dest)))
        << dialogs.Messages[0].Text.toStdString();
}

TEST_F(MainWindowTest, HostileHeaderBytesGiveTheDesignLayout) {
    settings->WriteBinary(SettingName::FileListHeader, QByteArray("QHL\x01garbage", 11));
    StartWithConfig();
    HeaderLayout restored = form->Files().FileListLayout();
    // Name stretches and Modified and Size fit their text: the widths follow the window.
    restored.Widths = DesignHeaderLayout().Widths;
    EXPECT_EQ(restored, DesignHeaderLayout());
}

TEST_F(MainWindowTest, HelpButtonShowsTheHelpDocumentInTheProgram) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUARROW_SOURCE_DIR "/data/help_quarrow4.html"),
                            programFolder + "help_quarrow4.html"));
    StartWithConfig();
    form->Options().onShowHelpClicked();
    ASSERT_NE(form->Options().HelpWindow(), nullptr);
    EXPECT_TRUE(form->Options().HelpWindow()->isVisible());
    EXPECT_TRUE(form->Options().HelpWindow()->Browser()->toPlainText().contains("quarrow-cli"));
    EXPECT_TRUE(dialogs.OpenedInEditor.isEmpty()) << "nothing outside the program starts";
}

}  // namespace
}  // namespace quarrow
