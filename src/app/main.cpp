// quarrow: the desktop program.

#include <QApplication>
#include <QStandardPaths>

#include "platform/ProgramPaths.h"
#include "platform/SettingsStore.h"
#include "ui/FocusFrameStyle.h"
#include "ui/MainWindow.h"
#include "ui/UserDialogs.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QApplication::setApplicationName(QStringLiteral("quarrow4"));
    QApplication::setStyle(new quarrow::FocusFrameStyle);
    // No display name: the toolkit would append it to every caption the windows set.

    auto settings = quarrow::QtSettingsStore::OpenUserStore();
    const QString programFolder = quarrow::ChooseProgramFolder(
        QApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    quarrow::QtUserDialogs dialogs;

    // The start-up sequence runs when the window is first shown (MainWindow::StartUp).
    quarrow::MainWindow form(*settings, dialogs, quarrow::DeriveProgramPaths(programFolder));
    form.show();
    return QApplication::exec();
}
