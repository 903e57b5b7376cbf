#include "ui/ProgressWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QAction>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/Images.h"

namespace quarrow {
namespace {

// The bar counts in ten-thousandths of the file: sizes past 2 GiB do not fit its int range.
constexpr int kBarRange = 10000;
// Events are handled at most this often: the window stays responsive and the scan stays fast.
constexpr int kEventBudgetMs = 30;

}  // namespace

ProgressWindow::ProgressWindow(std::atomic<bool>& cancelRequested, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      cancelRequested_(cancelRequested) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral(" Processing"));
    setModal(false);
    setFixedSize(359, 110);

    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* picture = new QLabel(group);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(Images::Tab(0).pixmap(32, 32));
    picture->setFixedSize(32, 32);
    fileLabel_ = new QLabel(QStringLiteral("Process"), group);
    fileLabel_->setObjectName(QStringLiteral("Label1"));
    progressBar_ = new QProgressBar(group);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, kBarRange);

    detailsLabel_ = new QLabel(group);
    detailsLabel_->setObjectName(QStringLiteral("ProgressDetails"));

    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    right->addWidget(fileLabel_);
    right->addWidget(detailsLabel_);
    right->addWidget(progressBar_);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(6, 4, 6, 4);
    row->addWidget(picture);
    row->addLayout(right, 1);

    stopButton_ = new QPushButton(QStringLiteral("Stop process"), this);
    stopButton_->setObjectName(QStringLiteral("SpeedButton1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(group, 1);
    layout->addWidget(stopButton_, 0, Qt::AlignHCenter);
    connect(stopButton_, &QPushButton::clicked, this, &ProgressWindow::onStopClicked);
}

void ProgressWindow::SetFileCount(int count) {
    fileCount_ = count;
}

void ProgressWindow::RunStarted() {
    fileLabel_->setText(QStringLiteral("Process"));
    detailsLabel_->clear();
    progressBar_->setValue(0);
    fileIndex_ = 0;
    bytesBefore_ = 0;
    position_ = 0;
    runClock_.start();
    if (QWidget* owner = parentWidget())
        move(owner->geometry().center() - rect().center());
    show();
    raise();
    BreatheIfDue(true);  // painted at once, before the first file is read
}

void ProgressWindow::FileStarted(std::string_view fileName, std::uint64_t size) {
    bytesBefore_ += position_;
    position_ = 0;
    ++fileIndex_;
    size_ = size;
    fileLabel_->setText(QStringLiteral("Processing ") +
                        QString::fromLatin1(fileName.data(), qsizetype(fileName.size())));
    progressBar_->setValue(0);
    ShowDetails();
    BreatheIfDue(true);
}

void ProgressWindow::Progress(std::uint64_t position) {
    position_ = position;
    if (size_ > 0) {
        const std::uint64_t part = position >= size_ ? kBarRange : position * kBarRange / size_;
        progressBar_->setValue(int(part));
    }
    ShowDetails();
    BreatheIfDue(false);
}

void ProgressWindow::ShowDetails() {
    const int percent = progressBar_->value() * 100 / kBarRange;
    // The speed counts every byte read in this run, so a run of small files shows it too.
    const double seconds = std::max(runClock_.nsecsElapsed(), qint64(1)) / 1e9;
    const double megabytesPerSecond = double(bytesBefore_ + position_) / 1e6 / seconds;
    detailsLabel_->setText(QStringLiteral("file %1 of %2, %3 %, %4 MB/s")
                               .arg(fileIndex_)
                               .arg(std::max(fileCount_, fileIndex_))
                               .arg(percent)
                               .arg(QString::number(megabytesPerSecond, 'f', 1)));
}

void ProgressWindow::RunFinished() {
    hide();
}

void ProgressWindow::onStopClicked() {
    if (stopAction_ != nullptr)
        stopAction_->trigger();
    else
        cancelRequested_.store(true, std::memory_order_relaxed);
}

void ProgressWindow::BindStop(QAction* stop) {
    stopAction_ = stop;
    // The window's own Stop shortcut works here too, where the focus is during a run.
    addAction(stop);
    const auto follow = [this] { stopButton_->setEnabled(stopAction_->isEnabled()); };
    connect(stop, &QAction::changed, stopButton_, follow);
    follow();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();  // no title-bar close: the run ends by itself or through Stop
}

void ProgressWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        return;  // Esc would hide the window in the middle of a run
    QDialog::keyPressEvent(event);
}

void ProgressWindow::BreatheIfDue(bool force) {
    if (!force && sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventBudgetMs)
        return;
    QCoreApplication::processEvents();
    sinceEvents_.restart();
}

}  // namespace quarrow
