#include "ui/TForm2.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Images.h"

namespace quarrow {
namespace {

// The bar counts in ten-thousandths of the file: sizes past 2 GiB do not fit its int range.
constexpr int kBarRange = 10000;
// Events are handled at most this often: the window stays responsive and the scan stays fast.
constexpr int kEventBudgetMs = 30;

} // namespace

TForm2::TForm2(std::atomic<bool>& cancelRequested, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      cancelRequested_(cancelRequested) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral(" Processing"));
    setModal(false);
    setFixedSize(359, 92);

    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* picture = new QLabel(group);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(Images::Tab(0).pixmap(32, 32));
    picture->setFixedSize(32, 32);
    Label1 = new QLabel(QStringLiteral("Process"), group);
    Label1->setObjectName(QStringLiteral("Label1"));
    ProgressBar1 = new QProgressBar(group);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, kBarRange);

    auto* right = new QVBoxLayout;
    right->addWidget(Label1);
    right->addWidget(ProgressBar1);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(6, 4, 6, 4);
    row->addWidget(picture);
    row->addLayout(right, 1);

    SpeedButton1 = new QPushButton(QStringLiteral("Stop process"), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(group, 1);
    layout->addWidget(SpeedButton1, 0, Qt::AlignHCenter);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm2::SpeedButton1Click);
}

void TForm2::RunStarted() {
    Label1->setText(QStringLiteral("Process"));
    ProgressBar1->setValue(0);
    if (QWidget* owner = parentWidget())
        move(owner->geometry().center() - rect().center());
    show();
    raise();
    BreatheIfDue(true);  // painted at once, before the first file is read
}

void TForm2::FileStarted(std::string_view fileName, std::uint64_t size) {
    size_ = size;
    Label1->setText(QStringLiteral("Processing ") +
                    QString::fromLatin1(fileName.data(), qsizetype(fileName.size())));
    ProgressBar1->setValue(0);
    BreatheIfDue(true);
}

void TForm2::Progress(std::uint64_t position) {
    if (size_ > 0) {
        const std::uint64_t part = position >= size_ ? kBarRange : position * kBarRange / size_;
        ProgressBar1->setValue(int(part));
    }
    BreatheIfDue(false);
}

void TForm2::RunFinished() {
    hide();
}

void TForm2::SpeedButton1Click() {
    cancelRequested_.store(true, std::memory_order_relaxed);
}

void TForm2::closeEvent(QCloseEvent* event) {
    event->ignore();  // no title-bar close: the run ends by itself or through Stop
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        return;  // Esc would hide the window in the middle of a run
    QDialog::keyPressEvent(event);
}

void TForm2::BreatheIfDue(bool force) {
    if (!force && sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventBudgetMs)
        return;
    QCoreApplication::processEvents();
    sinceEvents_.restart();
}

} // namespace quarrow
