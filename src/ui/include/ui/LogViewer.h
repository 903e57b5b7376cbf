#pragma once
// A plain-text window for the run's log, used when the machine has no text viewer that the
// desktop can launch: the log is then still one click away, as the help is.

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;

namespace quarrow {

class LogViewer final : public QDialog {
    Q_OBJECT
public:
    explicit LogViewer(QWidget* parent = nullptr);

    // Reads the file afresh (a later run replaces it); a file that cannot be read says so.
    void ShowFile(const QString& path);
    // Shows a report held in memory (a run that wrote no log file), under a line saying so.
    void ShowReport(const QString& caption, const QString& text);
    QPlainTextEdit* Text() const { return text_; }

private:
    QLabel* path_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
};

}  // namespace quarrow
