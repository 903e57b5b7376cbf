// quarrow-screenshots: renders the three tabs of the real main window, started on the bundled
// sample drawings, and the preview of a site survey into PNG files (the README's and the
// help's pictures).
//   quarrow-screenshots SOURCE_DIR OUTPUT_DIR

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QMouseEvent>
#include <QTreeView>
#include <QTreeWidget>
#include <cmath>
#include <cstdio>

#include "platform/ProgramPaths.h"
#include "platform/SettingsStore.h"
#include "ui/FocusFrameStyle.h"
#include "ui/FilesTab.h"
#include "ui/MainWindow.h"
#include "ui/PlotWidget.h"
#include "ui/UserDialogs.h"

namespace {

// No window of the screenshot run may wait for a user.
class SilentDialogs final : public quarrow::UserDialogs {
public:
    void ShowMessage(QWidget*, quarrow::MessageKind, const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    quarrow::Answer AskYesNoCancel(QWidget*, const QString&) override {
        return quarrow::Answer::No;
    }
    quarrow::Answer AskYesNo(QWidget*, const QString&) override { return quarrow::Answer::No; }
    QString ChooseSaveFile(QWidget*, const quarrow::FileDialogRequest&) override { return {}; }
    QString ChooseOpenFile(QWidget*, const quarrow::FileDialogRequest&) override { return {}; }
    QString AskText(QWidget*, const QString&, const QString&) override { return {}; }
    bool OpenInEditor(const QString&) override { return true; }
    bool OpenFolder(const QString&) override { return true; }
};

// The folder tree lists folders in the background: let it settle before a picture is taken.
void Settle(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// A small site survey for the preview's picture: spot heights on a slope, two buildings, the
// kerbs of a curved road and a few level labels, at grid coordinates of a real size.
QByteArray SiteSurveyDrawing() {
    QByteArray dxf = "  0\nSECTION\n  2\nENTITIES\n";
    const auto number = [](double value) { return QByteArray::number(value, 'f', 3); };
    const auto point = [&](const char* type, const char* layer, double x, double y, double z) {
        dxf += QByteArray("  0\n") + type + "\n  8\n" + layer + "\n 10\n" + number(x) + "\n 20\n" +
               number(y) + "\n 30\n" + number(z) + "\n";
    };
    const double east = 501200.0, north = 4101600.0;
    for (int row = 0; row < 14; ++row)
        for (int column = 0; column < 20; ++column) {
            const double x = east + column * 10.0 + (row % 2) * 5.0;
            const double y = north + row * 10.0;
            point("POINT", "SPOT_HEIGHTS", x, y, 112.0 + row * 0.8 + std::sin(column / 3.0) * 1.5);
        }
    // The road's kerbs: a gentle curve across the site, 8 units apart.
    for (int side = -1; side <= 1; side += 2)
        for (int i = 0; i < 24; ++i) {
            const auto kerb = [&](int at, double& x, double& y) {
                x = east - 10.0 + at * 9.5;
                y = north + 62.0 + 22.0 * std::sin(at / 7.0) + side * 4.0;
            };
            double x1, y1, x2, y2;
            kerb(i, x1, y1);
            kerb(i + 1, x2, y2);
            dxf += "  0\nLINE\n  8\nROAD\n 10\n" + number(x1) + "\n 20\n" + number(y1) +
                   "\n 30\n0.0\n 11\n" + number(x2) + "\n 21\n" + number(y2) + "\n 31\n0.0\n";
        }
    // Two buildings, their corners as 2D polyline vertices.
    const double buildings[][4] = {{east + 25, north + 12, 38, 22},
                                   {east + 120, north + 95, 30, 26}};
    for (const auto& b : buildings) {
        dxf += "  0\nLWPOLYLINE\n  8\nBUILDINGS\n 90\n4\n 70\n1\n";
        const double corners[][2] = {{0, 0}, {b[2], 0}, {b[2], b[3]}, {0, b[3]}};
        for (const auto& c : corners)
            dxf += " 10\n" + number(b[0] + c[0]) + "\n 20\n" + number(b[1] + c[1]) + "\n";
    }
    for (int i = 0; i < 4; ++i) {
        dxf += "  0\nTEXT\n  8\nLEVELS\n 10\n" + number(east + 60 + i * 35) + "\n 20\n" +
               number(north + 128) + "\n 30\n0.0\n 40\n2.5\n  1\nL" + QByteArray::number(120 + i) +
               "\n";
    }
    return dxf + "  0\nENDSEC\n  0\nEOF\n";
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The pictures show a prepared home folder, never the one of the machine that renders
    // them: the folder trees start at home.
    const QString base = QDir::tempPath() + "/home";
    const QString home = base + "/surveyor";
    // Only folders made here are removed.
    const QString made = !QFileInfo::exists(base) ? base : !QFileInfo::exists(home) ? home : "";
    for (const char* folder : {"Desktop", "Documents", "Survey drawings"})
        QDir().mkpath(home + "/" + folder);
    qputenv("HOME", QFile::encodeName(home));
    QApplication app(argc, argv);
    QApplication::setStyle(new quarrow::FocusFrameStyle);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quarrow-screenshots SOURCE_DIR OUTPUT_DIR\n");
        return 2;
    }
    const QString source = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString output = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(output);

    QTemporaryDir work;
    const QString programFolder = work.path() + "/program/";
    QDir().mkpath(programFolder + "configurations");
    QFile::copy(source + "/data/default.qrw", programFolder + "default.qrw");
    QFile::copy(source + "/data/default.qrw", programFolder + "configurations/samples.qrw");

    auto settings = quarrow::QtSettingsStore::OpenFile(work.path() + "/settings.ini");
    using namespace quarrow::SettingName;
    settings->WriteText(Config, QStringLiteral("samples.qrw"));
    // The pictures show a user's own folder of drawings, not where the sources happen to be.
    const QString drawings = home + "/Survey drawings";
    for (const QFileInfo& sample : QDir(source + "/data/samples").entryInfoList({"*.dxf"})) {
        QFile copy(drawings + "/" + sample.fileName());
        QFile::copy(sample.filePath(), copy.fileName());
        // One date for every rendering, so the pictures change only when the window does.
        if (copy.open(QIODevice::ReadWrite))
            copy.setFileTime(QDateTime(QDate(2026, 3, 14), QTime(9, 30)),
                             QFileDevice::FileModificationTime);
    }
    // A survey of many points for the preview's picture, with the same date.
    if (QFile site(drawings + "/site-survey.dxf"); site.open(QIODevice::WriteOnly)) {
        site.write(SiteSurveyDrawing());
        site.setFileTime(QDateTime(QDate(2026, 3, 14), QTime(9, 30)),
                         QFileDevice::FileModificationTime);
    }
    settings->WriteText(DxfPath, drawings);
    settings->WriteFlag(Locked, true);
    settings->WriteFlag(AutoSelect, true);
    settings->WriteFlag(ShowTips, true);
    settings->WriteFlag(ShowLog, true);
    settings->WriteFlag(KeepGoing, true);
    settings->WriteText(Width, QStringLiteral("900"));
    settings->WriteText(Height, QStringLiteral("640"));

    SilentDialogs dialogs;
    quarrow::MainWindow form(*settings, dialogs, quarrow::DeriveProgramPaths(programFolder));
    form.show();
    Settle(1500);
    // Bring the selected folder into view once the tree has filled in above it.
    if (auto* tree = form.findChild<QTreeView*>(QStringLiteral("sh1")))
        tree->scrollTo(tree->currentIndex(), QAbstractItemView::PositionAtCenter);
    Settle(200);

    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    const char* names[] = {"dxf-files.png", "configuration.png", "options-help.png"};
    int failures = 0;
    for (int tab = 0; tab < 3; ++tab) {
        tabs->setCurrentIndex(tab);
        Settle(200);
        const QString path = output + "/" + names[tab];
        if (!form.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    // The preview beside the configuration, of the site survey, with the pointer on a point.
    tabs->setCurrentIndex(1);
    form.resize(1280, 800);
    if (auto* list = form.findChild<QTreeWidget*>(QStringLiteral("VTFiles"))) {
        const auto rows = list->findItems(QStringLiteral("site-survey"), Qt::MatchExactly);
        if (!rows.isEmpty())
            list->setCurrentItem(rows.first());
    }
    Settle(800);
    if (auto* plot = form.findChild<quarrow::PlotWidget*>(QStringLiteral("PreviewPlot"));
        plot != nullptr && plot->Points().size() > 150) {
        const quarrow::PreviewPoint& p = plot->Points()[150];
        const QPointF at(plot->View().ScreenX(p.X), plot->View().ScreenY(p.Y));
        QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(plot, &move);
    }
    Settle(200);
    if (const QString path = output + "/preview.png"; !form.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++failures;
    }
    // The end of a run that went on past a drawing it could not convert, with a drawing whose
    // layer name holds the separator and one entity in paper space.
    const auto entities = [](const QByteArray& body) {
        return "  0\nSECTION\n  2\nENTITIES\n" + body + "  0\nENDSEC\n  0\nEOF\n";
    };
    QByteArray fence;
    for (int i = 0; i < 12; ++i)
        fence += "  0\nPOINT\n  8\nFENCE, NORTH\n 10\n" +
                 QByteArray::number(501200 + i * 2.5, 'f', 1) + "\n 20\n4101740.0\n 30\n118.2\n";
    fence += "  0\nPOINT\n 67\n1\n  8\nTITLE\n 10\n0.0\n 20\n0.0\n";
    const std::pair<const char*, QByteArray> extra[] = {
        {"fence-north.dxf", entities(fence)},
        {"levels-typed.dxf",
         entities("  0\nPOINT\n  8\nLEVELS\n 10\n501250.0\n 20\n4101700,5\n 30\n117.9\n")}};
    for (const auto& [name, bytes] : extra)
        if (QFile file(drawings + "/" + name); file.open(QIODevice::WriteOnly)) {
            file.write(bytes);
            file.flush();  // a later write would give the file today's date
            file.setFileTime(QDateTime(QDate(2026, 3, 14), QTime(9, 30)),
                             QFileDevice::FileModificationTime);
        }
    tabs->setCurrentIndex(0);
    form.resize(900, 640);
    form.Files().onRefreshClicked();
    Settle(300);
    form.Files().onProcessClicked();
    Settle(300);
    if (const QString path = output + "/summary.png"; !form.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++failures;
    }
    form.onExitRequested();  // the state of the temporary settings is of no further use
    if (!made.isEmpty())
        QDir(made).removeRecursively();
    return failures == 0 ? 0 : 1;
}
