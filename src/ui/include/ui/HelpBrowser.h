#pragma once
// The program's help: the HTML document beside the executable, shown in a window of its own
// with links and pictures, so no outside viewer is needed.

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace quarrow {

class HelpBrowser final : public QDialog {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent = nullptr);

    // Shows the document at path; a missing file shows a page that names it.
    void ShowFile(const QString& path);
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

// Returns the help document's path: beside the program folder's files when it is there,
// otherwise beside the executable (an installed program keeps its data in the user's folder).
QString FindHelpFile(const QString& programFolderHelp, const QString& executableFolder);

}  // namespace quarrow
