// quarrow: the desktop program.

#include <QApplication>
#include <QCommandLineParser>
#include <QStandardPaths>

#include "platform/ProgramPaths.h"
#include "platform/SettingsStore.h"
#include "ui/FocusFrameStyle.h"
#include "ui/MainWindow.h"
#include "ui/UserDialogs.h"

namespace {

// Answers --help and --version on standard output and ends the process; needs no display, so
// it runs before the window system is opened.
void AnswerHelpOrVersion(int argc, char* argv[]) {
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        asked = asked || arg == "--help" || arg == "-h" || arg == "--help-all" ||
                arg == "--version" || arg == "-v";
    }
    if (!asked)
        return;
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARROW_VERSION));
    QCommandLineParser arguments;
    arguments.setApplicationDescription(
        QStringLiteral("Turns ASCII DXF drawings into delimited point lists; quarrow-cli is "
                       "its command line."));
    arguments.addHelpOption();
    arguments.addVersionOption();
    arguments.process(core);
}

}  // namespace

int main(int argc, char* argv[]) {
    AnswerHelpOrVersion(argc, argv);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QApplication::setApplicationName(QStringLiteral("quarrow4"));
    QApplication::setStyle(new quarrow::FocusFrameStyle);
    // No display name: the toolkit would append it to every caption the windows set.

    auto settings = quarrow::QtSettingsStore::OpenUserStore();
    const quarrow::ProgramPaths paths = quarrow::LocateProgramPaths(
        QApplication::applicationDirPath(), QStringLiteral(QUARROW_INSTALL_DATADIR),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    quarrow::QtUserDialogs dialogs;

    // The start-up sequence runs when the window is first shown (MainWindow::StartUp).
    quarrow::MainWindow form(*settings, dialogs, paths);
    form.show();
    return QApplication::exec();
}
