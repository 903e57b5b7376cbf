#include "ui/FolderTree.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "ui/DestinationChooser.h"
#include "ui/ScriptedDialogs.h"

namespace quarrow {
namespace {

// The trees on a home folder of the test's own, with the usual places and a hidden folder.
class FolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureQtApp();
        savedHome = qgetenv("HOME");
        home = QString::fromStdString(dir / "home");
        for (const char* folder : {"Desktop", "Documents", ".cache/deep", "Survey/2026"})
            QDir().mkpath(home + "/" + folder);
        qputenv("HOME", QFile::encodeName(home));
    }
    void TearDown() override { qputenv("HOME", savedHome); }

    static QStringList Rows(const QAbstractItemModel* model, const QModelIndex& parent = {}) {
        QStringList rows;
        for (int row = 0; row < model->rowCount(parent); ++row)
            rows << model->index(row, 0, parent).data().toString();
        return rows;
    }

    test::TempDir dir;
    QByteArray savedHome;
    QString home;
};

TEST_F(FolderTreeTest, PlacesComeFirstAndHiddenFoldersWaitForTheMenu) {
    FolderTree tree;
    const QAbstractItemModel* model = tree.model();
    EXPECT_EQ(Rows(model), (QStringList{"Home", "Desktop", "Documents", "File system"}));

    ASSERT_TRUE(tree.SelectPath(home + "/Survey"));
    EXPECT_EQ(tree.SelectedPath(), home + "/Survey");
    const QModelIndex homeRow = model->index(0, 0);
    EXPECT_EQ(Rows(model, homeRow), (QStringList{"Desktop", "Documents", "Survey"}));
    tree.expand(model->index(3, 0));
    const QStringList top = Rows(model, model->index(3, 0));
    EXPECT_TRUE(top.contains("tmp"));
    for (const char* hidden : {"proc", "sys", "dev", "run"})
        EXPECT_FALSE(top.contains(hidden)) << hidden;

    // Asked for from the context menu, hidden and virtual folders appear; the selection stays.
    ASSERT_FALSE(tree.ShowsHidden());
    tree.ShowHiddenAction()->trigger();
    EXPECT_EQ(Rows(model, model->index(0, 0)),
              (QStringList{".cache", "Desktop", "Documents", "Survey"}));
    tree.expand(model->index(3, 0));
    EXPECT_TRUE(Rows(model, model->index(3, 0)).contains("proc"));
    EXPECT_EQ(tree.SelectedPath(), home + "/Survey");

    // Hidden again while one of them holds the selection: it moves up to Home.
    ASSERT_TRUE(tree.SelectPath(home + "/.cache/deep"));
    tree.ShowHiddenAction()->trigger();
    EXPECT_FALSE(tree.ShowsHidden());
    EXPECT_EQ(tree.SelectedPath(), home);

    // A hidden folder asked for by path (a saved setting, a drop) is shown and selected.
    ASSERT_TRUE(tree.SelectPath(home + "/.cache/deep"));
    EXPECT_TRUE(tree.ShowsHidden());
    EXPECT_TRUE(tree.ShowHiddenAction()->isChecked());
    EXPECT_FALSE(tree.SelectPath(home + "/missing"));
}

TEST_F(FolderTreeTest, TheChooserOpensAtHomeAndMakesNewFolders) {
    test::ScriptedDialogs dialogs;
    DestinationChooser chooser(dialogs);
    EXPECT_EQ(chooser.SelectedPath(), home) << "the first time, at the home folder";
    auto* newFolder = chooser.findChild<QPushButton*>(QStringLiteral("NewFolderButton"));
    ASSERT_NE(newFolder, nullptr);

    // Each refused name says why and what to do; nothing is made.
    struct Case {
        const char* name;
        const char* typed;
        const char* told;  // a part of the message; empty: no message
    };
    // Dismissed, a path, a name taken, and one that works, in the selected folder.
    const Case cases[] = {
        {"dismissed", "", ""},
        {"slash", "a/b", "may not contain \"/\""},
        {"dot_dot", "..", "Press \"New folder\" again and type another name."},
        {"taken", "Survey", "\"Survey\" already exists in"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.Messages.clear();
        dialogs.Texts = {QString::fromUtf8(c.typed)};
        newFolder->click();
        if (*c.told == '\0') {
            EXPECT_TRUE(dialogs.Messages.empty());
        } else {
            ASSERT_EQ(dialogs.Messages.size(), 1u);
            EXPECT_TRUE(dialogs.Messages[0].Text.contains(QString::fromUtf8(c.told)))
                << dialogs.Messages[0].Text.toStdString();
        }
        EXPECT_EQ(chooser.SelectedPath(), home);
    }
    EXPECT_FALSE(QFileInfo::exists(home + "/a"));

    dialogs.Messages.clear();
    dialogs.Texts = {QStringLiteral(" Jobs 2026 ")};
    newFolder->click();
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_TRUE(QFileInfo(home + "/Jobs 2026").isDir());
    EXPECT_EQ(chooser.SelectedPath(), home + "/Jobs 2026") << "made, listed and selected";

    // A folder that may not be written to says where to go instead.
    QFile::setPermissions(home + "/Survey", QFile::ReadOwner | QFile::ExeOwner);
    chooser.SelectPath(home + "/Survey");
    dialogs.Texts = {QStringLiteral("x")};
    newFolder->click();
    if (!QFileInfo::exists(home + "/Survey/x")) {  // root may write anywhere
        ASSERT_EQ(dialogs.Messages.size(), 1u);
        EXPECT_TRUE(dialogs.Messages[0].Text.contains("Select a folder of your own"));
    }
    QFile::setPermissions(home + "/Survey", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Folders made or removed after a folder was listed show in the tree: at once through the
// watch, and whenever the folder is expanded again or F5 reads every listed folder.
TEST_F(FolderTreeTest, FoldersMadeOrRemovedLaterShowInTheTree) {
    FolderTree tree;
    const QAbstractItemModel* model = tree.model();
    ASSERT_TRUE(tree.SelectPath(home + "/Survey/2026"));
    const QModelIndex homeRow = model->index(0, 0);
    const auto surveyRow = [&] { return model->index(2, 0, homeRow); };
    ASSERT_EQ(Rows(model, homeRow), (QStringList{"Desktop", "Documents", "Survey"}));
    ASSERT_TRUE(tree.isExpanded(surveyRow()));

    // Made and removed from outside the program, while the tree is not looking.
    ASSERT_TRUE(QDir().mkpath(home + "/Archive/old"));
    ASSERT_TRUE(QDir(home + "/Documents").removeRecursively());
    ASSERT_TRUE(QDir().mkpath(home + "/Survey/2027"));
    tree.RelistAll();
    EXPECT_EQ(Rows(model, homeRow), (QStringList{"Archive", "Desktop", "Survey"}));
    EXPECT_EQ(Rows(model, surveyRow()), (QStringList{"2026", "2027"}));
    EXPECT_TRUE(tree.isExpanded(surveyRow())) << "what was expanded stays expanded";
    EXPECT_EQ(tree.SelectedPath(), home + "/Survey/2026");
    EXPECT_TRUE(model->hasChildren(model->index(0, 0, homeRow))) << "Archive has a subfolder";

    // The selected folder removed: the selection moves up to the nearest one left.
    ASSERT_TRUE(QDir(home + "/Survey/2026").removeRecursively());
    tree.RelistAll();
    EXPECT_EQ(tree.SelectedPath(), home + "/Survey");

    // Collapsing and expanding reads the folder again.
    ASSERT_TRUE(QDir().mkpath(home + "/Survey/2028"));
    tree.collapse(surveyRow());
    tree.expand(surveyRow());
    EXPECT_EQ(Rows(model, surveyRow()), (QStringList{"2027", "2028"}));

    // The watch: a folder made in a listed folder appears without anything being pressed.
    ASSERT_TRUE(QDir().mkpath(home + "/Survey/2029"));
    QElapsedTimer clock;
    clock.start();
    while (Rows(model, surveyRow()).size() < 3 && clock.elapsed() < 5000)
        QTest::qWait(20);
    EXPECT_EQ(Rows(model, surveyRow()), (QStringList{"2027", "2028", "2029"}));

    // The selected folder is watched too, expanded or not: its first subfolder gives it its
    // expand mark.
    ASSERT_TRUE(tree.SelectPath(home + "/Survey/2028"));
    const QModelIndex selected = tree.currentIndex();
    ASSERT_FALSE(model->hasChildren(selected));
    ASSERT_TRUE(QDir().mkpath(home + "/Survey/2028/north"));
    clock.restart();
    while (!model->hasChildren(selected) && clock.elapsed() < 5000)
        QTest::qWait(20);
    EXPECT_EQ(Rows(model, selected), QStringList{"north"});
    EXPECT_FALSE(tree.isExpanded(selected));
}

// The chooser reads its folders again each time it opens, and opens where it is asked to.
TEST_F(FolderTreeTest, TheChooserShowsFoldersMadeSinceItWasLastOpen) {
    test::ScriptedDialogs dialogs;
    DestinationChooser chooser(dialogs);
    chooser.SelectPath(home + "/Survey");
    ASSERT_TRUE(QDir().mkpath(home + "/Survey/new"));
    QTimer::singleShot(0, &chooser, [&] {
        chooser.SelectPath(home + "/Survey/new");
        chooser.accept();
    });
    ASSERT_EQ(chooser.exec(), QDialog::Accepted);
    EXPECT_EQ(chooser.SelectedPath(), home + "/Survey/new");
}

}  // namespace
}  // namespace quarrow
