// The preview pane of the real main window, offscreen: it follows the configuration and the
// drawing of the file list's current row without a run.

#include "ui/PreviewPane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>
#include <cmath>
#include <memory>

#include "config/NodeTables.h"
#include "config/TreePath.h"
#include "platform/SettingsStore.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "ui/ConfigurationTab.h"
#include "ui/MainWindow.h"
#include "ui/PlotWidget.h"
#include "ui/ScriptedDialogs.h"

namespace quarrow {
namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray SampleBytes(const char* name) {
    QFile file(QStringLiteral(QUARROW_SOURCE_DIR "/data/samples/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Points on a slanted grid, and entities the default configuration does not export before
// them (unselectedFirst), so a preview has much to read before its first record.
QByteArray Drawing(int points, int unselectedFirst = 0) {
    QByteArray bytes = "  0\nSECTION\n  2\nENTITIES\n";
    const QByteArray circle = "  0\nCIRCLE\n  8\nX\n 10\n1.5\n 20\n2.5\n 30\n0\n 40\n1\n";
    bytes.reserve(bytes.size() + unselectedFirst * circle.size() + points * 64);
    for (int i = 0; i < unselectedFirst; ++i)
        bytes += circle;
    for (int i = 0; i < points; ++i)
        bytes += QStringLiteral("  0\nPOINT\n  8\nSURVEY\n 10\n%1.125\n 20\n%2.5\n 30\n%3.25\n")
                     .arg(1000 + i % 150)
                     .arg(2000 + i / 150 + (i % 150) / 3)
                     .arg(i % 13)
                     .toLatin1();
    return bytes + "  0\nENDSEC\n  0\nEOF\n";
}

class PreviewPaneTest : public ::testing::Test {
protected:
    // Starts on the default configuration with the drawings given, on the Configuration tab.
    void Start(const std::vector<std::pair<QString, QByteArray>>& files) {
        test::EnsureQtApp();
        const QString program = QString::fromStdString(dir.Path().string()) + "/program/";
        QDir().mkpath(program + "configurations");
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUARROW_SOURCE_DIR "/data/default.qrw"),
                                program + "configurations/start.qrw"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUARROW_SOURCE_DIR "/data/default.qrw"),
                                program + "default.qrw"));
        drawings = QString::fromStdString(dir / "drawings");
        QDir().mkpath(drawings);
        for (const auto& [name, bytes] : files)
            WriteBytes(drawings + "/" + name, bytes);
        settings = QtSettingsStore::OpenFile(QString::fromStdString(dir / "settings.ini"));
        settings->WriteText(SettingName::Config, QStringLiteral("start.qrw"));
        settings->WriteText(SettingName::DxfPath, drawings);
        form = std::make_unique<MainWindow>(*settings, dialogs, DeriveProgramPaths(program));
        form->resize(1280, 800);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        pane = &form->Preview();
        list = form->findChild<QTreeWidget*>(QStringLiteral("VTFiles"));
        ASSERT_NE(list, nullptr);
    }
    // Makes the file list's row of a drawing current; returns its path.
    QString Choose(const QString& name) {
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(0) + ".dxf" == name)
                list->setCurrentItem(list->topLevelItem(i));
        return drawings + "/" + name;
    }
    QString Cell(int row, int column) const {
        return pane->Table()->model()->index(row, column).data().toString();
    }
    QString Column(int column) const {
        return pane->Table()->model()->headerData(column, Qt::Horizontal).toString();
    }
    // Waits until a preview of the drawing is shown whose first cell of column passes test.
    template <typename Test>
    bool WaitFor(const QString& drawing, int column, Test test) {
        for (int waited = 0; waited < 5000; waited += 10) {
            if (pane->Shown() != nullptr && pane->ShownDrawing() == drawing &&
                pane->Table()->model()->rowCount() > 0 && test(Cell(0, column)))
                return true;
            QTest::qWait(10);
        }
        return false;
    }

    test::TempDir dir;
    QString drawings;
    std::unique_ptr<QtSettingsStore> settings;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> form;
    PreviewPane* pane = nullptr;
    QTreeWidget* list = nullptr;
};

TEST_F(PreviewPaneTest, TableFollowsDecimalsSeparatorAndOrderWithoutARun) {
    Start({{"points.dxf", SampleBytes("points.dxf")}});
    const QString points = Choose("points.dxf");
    // The default order: Line Number, X, Y, Z, Entity Layer; 3 decimals.
    ASSERT_TRUE(WaitFor(points, 1, [](const QString& x) { return x == "12.500"; }));
    EXPECT_EQ(Column(1), "X (East) coordinate");
    EXPECT_EQ(pane->Table()->model()->columnCount(), 5);
    EXPECT_EQ(std::size_t(pane->Table()->model()->rowCount()), pane->Shown()->Records.size());

    ConfigurationTab& tab = form->Configuration();
    tab.onDataOptionEdited({1, 1}, QStringLiteral("1"));  // X's "Decimals :"
    EXPECT_TRUE(WaitFor(points, 1, [](const QString& x) { return x == "12.5"; }));

    // Another separator: the records are cut at it, so the columns stay.
    auto* combo = form->findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    combo->setCurrentIndex(kSeparatorOther);
    tab.onSeparatorChoiceChanged();
    form->findChild<QLineEdit*>(QStringLiteral("EdFieldSep"))->setText(QStringLiteral(" | "));
    EXPECT_TRUE(WaitFor(points, 1, [&](const QString& x) {
        return x == "12.5" && pane->Shown()->Records[0].find(" | ") != std::string::npos;
    }));
    EXPECT_EQ(pane->Table()->model()->columnCount(), 5);

    // X moved below Y: the second column is Y.
    auto* data = form->findChild<QTreeWidget*>(QStringLiteral("VirtualStringTree4"));
    data->setCurrentItem(data->topLevelItem(1));
    tab.onMoveDownClicked();
    EXPECT_TRUE(WaitFor(points, 1, [](const QString& y) { return y == "7.250"; }));
    EXPECT_EQ(Column(1), "Y (North) coordinate");
    EXPECT_EQ(Column(2), "X (East) coordinate");

    EXPECT_EQ(QDir(drawings).entryList(QDir::Files), QStringList{"points.dxf"}) << "no Data file";
}

// Each cell is the field as the Data file holds it: a value holding the separator, quoted in
// the file, shows in one cell with its quotes, and the columns after it stay in place.
TEST_F(PreviewPaneTest, CellsShowTheFieldsAsTheDataFileHoldsThem) {
    Start({{"fence.dxf", "  0\nSECTION\n  2\nENTITIES\n  0\nTEXT\n  8\nFENCE\n 10\n1.0\n 20\n2.0\n"
                         " 30\n0.0\n 40\n1.0\n  1\nFence, post\n  0\nENDSEC\n  0\nEOF\n"}});
    ConfigurationTab& tab = form->Configuration();
    TreePath textString;
    ForEachNode(form->DataTree(), [&](const TreePath& path, const ConfigTreeNode& node) {
        if (node.Index == int(DataNode::TextString))
            textString = path;
    });
    ASSERT_FALSE(textString.empty());
    tab.onDataChecked(textString, true);
    tab.onQuoteFieldsToggled(true);
    const QString fence = Choose("fence.dxf");
    // Line Number, X, Y, Z, Entity Layer, Text String.
    ASSERT_TRUE(WaitFor(fence, 5, [](const QString& text) { return !text.isEmpty(); }));
    EXPECT_EQ(pane->Table()->model()->columnCount(), 6);
    EXPECT_EQ(Cell(0, 4), "FENCE");
    EXPECT_EQ(Cell(0, 5), "\"Fence, post\"");
    EXPECT_EQ(Column(5), "Text String");
    EXPECT_FALSE(
        pane->findChild<QLabel*>(QStringLiteral("PreviewStatus"))->text().contains("code page"));
}

// A text in the drawing's code page (Windows-1252 here) reads right in the table, but the
// Data file is not UTF-8: the status line says so, until the plain UTF-8 mode is chosen.
TEST_F(PreviewPaneTest, TextsInTheDrawingsCodePageAreNamed) {
    Start({{"cloture.dxf",
            "  0\nSECTION\n  2\nENTITIES\n  0\nTEXT\n  8\nFENCE\n 10\n1.0\n"
            " 20\n2.0\n 30\n0.0\n 40\n1.0\n  1\nCl\xf4ture\n  0\nENDSEC\n  0\nEOF\n"}});
    TreePath textString;
    ForEachNode(form->DataTree(), [&](const TreePath& path, const ConfigTreeNode& node) {
        if (node.Index == int(DataNode::TextString))
            textString = path;
    });
    form->Configuration().onDataChecked(textString, true);
    const QString cloture = Choose("cloture.dxf");
    ASSERT_TRUE(WaitFor(cloture, 5, [](const QString& text) { return !text.isEmpty(); }));
    EXPECT_EQ(Cell(0, 5), QString::fromUtf8("Cl\xc3\xb4ture"));
    auto* status = pane->findChild<QLabel*>(QStringLiteral("PreviewStatus"));
    EXPECT_TRUE(status->text().endsWith(
        "Texts keep the drawing's code page, not UTF-8 (Text : as written)."))
        << status->text().toStdString();
    form->Configuration().onTextModeChanged(1);
    ASSERT_TRUE(WaitFor(cloture, 5, [](const QString& text) { return text.contains(u'\u00f4'); }));
    for (int waited = 0; waited < 3000 && status->text().contains("code page"); waited += 10)
        QTest::qWait(10);
    EXPECT_FALSE(status->text().contains("code page")) << status->text().toStdString();
}

TEST_F(PreviewPaneTest, SwitchingDrawingsCancelsThePreviousPreview) {
    // Half a million circles before the first point: seconds of reading, were it not canceled.
    Start({{"late.dxf", Drawing(1, 500000)}, {"points.dxf", SampleBytes("points.dxf")}});
    Choose("late.dxf");
    EXPECT_TRUE(pane->Busy());
    const QString points = Choose("points.dxf");
    ASSERT_TRUE(WaitFor(points, 1, [](const QString& x) { return x == "12.500"; }));
    for (int waited = 0; waited < 5000 && pane->Busy(); waited += 10)
        QTest::qWait(10);
    EXPECT_EQ(pane->CanceledPreviews(), 1);
    EXPECT_EQ(pane->ShownDrawing(), points);
}

TEST_F(PreviewPaneTest, PlotPointsAreThoseOfTheRecords) {
    // More points than a preview reads: the plot shows a bounded sample.
    const int count = int(kPreviewRecords) + 50;
    Start({{"many.dxf", Drawing(count)}});
    const QString many = Choose("many.dxf");
    ASSERT_TRUE(WaitFor(many, 1, [](const QString& x) { return !x.isEmpty(); }));
    const PreviewResult& shown = *pane->Shown();
    EXPECT_EQ(shown.Outcome, PreviewOutcome::Limited);
    const PlotWidget& plot = *pane->Plot();
    ASSERT_EQ(plot.Points().size(), kPreviewRecords);
    ASSERT_EQ(pane->Table()->model()->rowCount(), int(kPreviewRecords));
    for (int row = 0; row < int(kPreviewRecords); row += 997) {
        SCOPED_TRACE(row);
        const PreviewPoint& p = plot.Points()[std::size_t(row)];
        // Three decimals: the fields are the points rounded.
        EXPECT_NEAR(Cell(row, 1).toDouble(), p.X, 0.0005);
        EXPECT_NEAR(Cell(row, 2).toDouble(), p.Y, 0.0005);
        // Fitted: every point is inside the plot.
        const QRectF area(0, 0, plot.width(), plot.height());
        EXPECT_TRUE(area.contains(plot.View().ScreenX(p.X), plot.View().ScreenY(p.Y)));
    }

    // The record under the pointer is named below the plot.
    const PreviewPoint& last = plot.Points().back();
    QTest::mouseMove(pane->Plot(), QPoint(int(std::lround(plot.View().ScreenX(last.X))),
                                          int(std::lround(plot.View().ScreenY(last.Y)))));
    const QString hovered =
        pane->findChild<QLabel*>(QStringLiteral("PreviewHoveredRecord"))->text();
    EXPECT_TRUE(hovered.startsWith("Record ")) << hovered.toStdString();
    const int index = pane->Plot()->HoveredIndex();
    ASSERT_GE(index, 0);
    EXPECT_EQ(hovered, QStringLiteral("Record %1: ").arg(index + 1) +
                           QString::fromStdString(shown.Records[std::size_t(index)]));

    // A wheel step zooms in about the pointer; a double click fits the points again.
    const double fitted = plot.View().Scale();
    const QPointF centre(plot.width() / 2.0, plot.height() / 2.0);
    QWheelEvent wheel(centre, pane->Plot()->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pane->Plot(), &wheel);
    EXPECT_DOUBLE_EQ(plot.View().Scale(), fitted * 1.25);
    QTest::mouseDClick(pane->Plot(), Qt::LeftButton, {}, centre.toPoint());
    EXPECT_DOUBLE_EQ(plot.View().Scale(), fitted);
}

}  // namespace
}  // namespace quarrow
