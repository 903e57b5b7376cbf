#pragma once
// The end-of-run summary at the top of the "DXF Files" tab: what the run converted, which
// files failed and why, and how long it took, with the way to the Data files and the log. It
// stays until the user closes it or starts another run, so nothing has to be clicked away.

#include <QFrame>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "engine/FileReport.h"

class QLabel;
class QPushButton;

namespace quarrow {

struct RunSummary {
    enum class Ending { Finished, Stopped, Error };
    struct FailedFile {
        QString Path;
        QString Reason;
    };
    // A file converted with something to look at: its warnings, the entities it left out.
    struct FileRemarks {
        QString Path;
        QStringList Remarks;
    };

    Ending End = Ending::Finished;
    int SelectedFiles = 0;
    int FilesConverted = 0;
    std::int64_t RecordsWritten = 0;
    std::vector<FailedFile> Failures;  // in the order of the run
    std::vector<FileRemarks> Remarks;  // in the order of the run
    // Data files that hold texts other than UTF-8, the drawing's code page (Text : as written).
    int NotUtf8Files = 0;
    std::int64_t ElapsedMs = 0;
    bool LogWritten = true;  // false: the log on disk is an older run's, or there is none
    // No log was written, but the program holds the run's report and can show it.
    bool ReportHeld = false;
};

class RunSummaryPanel final : public QFrame {
    Q_OBJECT
public:
    explicit RunSummaryPanel(QWidget* parent = nullptr);

    void ShowSummary(const RunSummary& summary);

signals:
    void OpenDestinationRequested();
    void OpenLogRequested();

private:
    QLabel* headline_ = nullptr;
    QLabel* details_ = nullptr;
    QPushButton* openDestination_ = nullptr;
    QPushButton* openLog_ = nullptr;
};

// Returns the summary's remarks on the files a run converted, from their per-file results:
// each warning as the report words it, and the paper-space entities left out.
std::vector<RunSummary::FileRemarks> ConvertedFileRemarks(const std::vector<FileReport>& files);

// Returns true when the file holds bytes that are not UTF-8; false when it cannot be read.
bool HoldsOtherThanUtf8(const QString& path);

// "0.4 s", "12 s", "2 min 05 s".
QString ElapsedText(std::int64_t milliseconds);

}  // namespace quarrow
