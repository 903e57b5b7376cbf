#pragma once
// The progress window of a processing run: the file being read, which file of how many with
// its percent and the run's speed, a progress bar and the Stop button. It watches the run and lets the user interface breathe on a time budget.

#include <QDialog>
#include <QElapsedTimer>
#include <atomic>

#include "engine/RunObserver.h"

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;

namespace quarrow {

class ProgressWindow final : public QDialog, public RunObserver {
    Q_OBJECT
public:
    ProgressWindow(std::atomic<bool>& cancelRequested, QWidget* parent = nullptr);

    // The number of files the next run reads, for its "file k of n".
    void SetFileCount(int count);
    void RunStarted() override;
    void FileStarted(std::string_view fileName, std::uint64_t size) override;
    void Progress(std::uint64_t position) override;
    void RunFinished() override;

    // The Stop button's handler: the scan stops at its next line.
    void onStopClicked();
    // Makes the Stop button (and Esc) press the window's Stop command instead.
    void BindStop(QAction* stop);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BreatheIfDue(bool force);
    void ShowDetails();

    std::atomic<bool>& cancelRequested_;
    QLabel* fileLabel_ = nullptr;
    QLabel* detailsLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QAction* stopAction_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;     // in the file being read
    std::uint64_t bytesBefore_ = 0;  // read in the run's earlier files
    int fileIndex_ = 0;
    int fileCount_ = 0;
    QElapsedTimer runClock_;
    QElapsedTimer sinceEvents_;
};

}  // namespace quarrow
