#include "ui/HelpBrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace quarrow {

HelpBrowser::HelpBrowser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("HelpBrowser"));
    setWindowTitle(QStringLiteral(QUARROW_TITLE " - Help"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(820, 640);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpText"));
    browser_->setOpenExternalLinks(true);  // web links go to the user's browser
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

void HelpBrowser::ShowFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        browser_->setHtml(QStringLiteral("<h2>Help</h2><p>The help file \"%1\" was not found.</p>")
                              .arg(path.toHtmlEscaped()));
        return;
    }
    browser_->setSearchPaths({QFileInfo(path).absolutePath()});
    browser_->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

QString FindHelpFile(const QString& programFolderHelp, const QString& executableFolder) {
    if (QFileInfo(programFolderHelp).isFile())
        return programFolderHelp;
    const QString beside = QDir(executableFolder).filePath(QFileInfo(programFolderHelp).fileName());
    return QFileInfo(beside).isFile() ? beside : programFolderHelp;
}

}  // namespace quarrow
