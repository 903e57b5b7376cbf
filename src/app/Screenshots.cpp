// quarrow-screenshots: renders the three tabs of the real main window, started on the bundled
// sample drawings, into PNG files (the README's and the help's pictures).
//   quarrow-screenshots SOURCE_DIR OUTPUT_DIR

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>

#include "platform/ProgramPaths.h"
#include "platform/SettingsStore.h"
#include "ui/FocusFrameStyle.h"
#include "ui/MainWindow.h"
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
    settings->WriteText(DxfPath, drawings);
    settings->WriteFlag(Locked, true);
    settings->WriteFlag(AutoSelect, true);
    settings->WriteFlag(ShowTips, true);
    settings->WriteFlag(ShowLog, true);
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
    form.onExitRequested();  // the state of the temporary settings is of no further use
    if (!made.isEmpty())
        QDir(made).removeRecursively();
    return failures == 0 ? 0 : 1;
}
