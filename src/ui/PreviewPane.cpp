#include "ui/PreviewPane.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStringDecoder>
#include <QTableView>
#include <QVBoxLayout>

#include "engine/RunSettings.h"
#include "ui/PlotWidget.h"
#include "ui/PreviewTableModel.h"

namespace quarrow {
namespace {

// How soon an edit shows: the configuration is compared this often with the one previewed.
// Polling a copy (microseconds) rather than hooking each of the tab's edit paths (checks,
// option texts, moves, loads, the separator field) means none can be missed.
constexpr int kPollMilliseconds = 150;

QString Plural(std::size_t count, const char* one, const char* many) {
    return QStringLiteral("%L1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

bool HoldsOtherThanUtf8(const std::vector<std::string>& records) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    for (const std::string& record : records) {
        const QString text = decoder.decode(QByteArrayView(record));  // decodes as it is taken
        if (decoder.hasError())
            return true;
    }
    return false;
}

}  // namespace

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PreviewPane"));
    // A canceled preview may still be finding its ENTITIES section: the next one need not
    // wait for it.
    pool_.setMaxThreadCount(2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("PreviewStatus"));
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    layout->addWidget(status_);

    auto* split = split_ = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("PreviewSplitter"));
    split->setChildrenCollapsible(true);
    model_ = new PreviewTableModel(this);
    table_ = new QTableView(split);
    table_->setObjectName(QStringLiteral("PreviewTable"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* plotSide = new QWidget(split);
    auto* plotLayout = new QVBoxLayout(plotSide);
    plotLayout->setContentsMargins(0, 0, 0, 0);
    plotLayout->setSpacing(2);
    plot_ = new PlotWidget(plotSide);
    plotLayout->addWidget(plot_, 1);
    auto* row = new QHBoxLayout;
    hoverText_ = new QLabel(plotSide);
    hoverText_->setObjectName(QStringLiteral("PreviewHoveredRecord"));
    hoverText_->setTextFormat(Qt::PlainText);
    hoverText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* fit = new QPushButton(QStringLiteral("Fit to view"), plotSide);
    fit->setObjectName(QStringLiteral("PreviewFit"));
    row->addWidget(hoverText_, 1);
    row->addWidget(fit);
    plotLayout->addLayout(row);
    split->addWidget(table_);
    split->addWidget(plotSide);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    connect(fit, &QPushButton::clicked, plot_, &PlotWidget::FitToView);
    connect(plot_, &PlotWidget::PointHovered, this, &PreviewPane::ShowHovered);
    poll_.setInterval(kPollMilliseconds);
    connect(&poll_, &QTimer::timeout, this, &PreviewPane::Refresh);
    ShowMessage(QStringLiteral("Select a DXF file on the \"DXF Files\" tab to preview it."));
}

PreviewPane::~PreviewPane() {
    // The workers post to this pane: none may outlive it.
    if (cancel_)
        cancel_->store(true, std::memory_order_relaxed);
    pool_.waitForDone();
}

void PreviewPane::SetSource(std::function<PreviewInput()> source) {
    source_ = std::move(source);
}

void PreviewPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    poll_.start();
    Refresh();
}

void PreviewPane::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    poll_.stop();
}

void PreviewPane::Refresh() {
    // A hidden pane computes nothing; it catches up when shown.
    if (!source_ || !isVisible())
        return;
    PreviewInput input = source_();
    if (haveLast_ && input == last_)
        return;
    last_ = std::move(input);
    haveLast_ = true;
    Start(last_);
}

void PreviewPane::Start(const PreviewInput& input) {
    if (cancel_)
        cancel_->store(true, std::memory_order_relaxed);
    cancel_.reset();
    const int generation = ++generation_;
    if (!input.Refusal.isEmpty()) {
        ShowMessage(input.Refusal.trimmed());
        return;
    }
    if (input.Drawing.isEmpty()) {
        ShowMessage(QStringLiteral("Select a DXF file on the \"DXF Files\" tab to preview it."));
        return;
    }
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    computingDrawing_ = input.Drawing;
    separator_ = input.Config.FieldSeparator;
    ++running_;
    pool_.start([this, input, generation, cancel = cancel_] {
        auto result = std::make_shared<PreviewResult>();
        {
            const RunSettings settings(input.Config, input.DataOrder, input.SelectedKinds);
            PreviewOptions options;
            options.MaxRecords = kPreviewRecords;
            options.Cancel = cancel.get();
            *result =
                PreviewDrawing(settings, QFile::encodeName(input.Drawing).toStdString(), options);
        }
        QMetaObject::invokeMethod(
            this, [this, generation, result] { Finished(generation, result); },
            Qt::QueuedConnection);
    });
}

void PreviewPane::Finished(int generation, std::shared_ptr<const PreviewResult> result) {
    --running_;
    if (result->Outcome == PreviewOutcome::Canceled)
        ++canceled_;
    if (generation != generation_)
        return;  // a newer preview is coming
    const QString name = QFileInfo(computingDrawing_).fileName();
    const bool sameDrawing = shownDrawing_ == computingDrawing_;
    shownDrawing_ = computingDrawing_;
    shown_ = result;
    model_->SetResult(result, separator_);
    table_->resizeColumnsToContents();
    const bool sampled = result->Outcome == PreviewOutcome::Limited;
    plot_->SetResult(result, sampled, sameDrawing);
    const std::size_t records = result->Records.size();
    const QString where = result->HasHeader ? QStringLiteral(" below the header line.")
                                            : QStringLiteral(" (no header line).");
    QString text = name + QStringLiteral(": ");
    switch (result->Outcome) {
    case PreviewOutcome::Complete:
        text += records == 0
                    ? QStringLiteral("no records") + where
                    : QStringLiteral("all ") + Plural(records, "record", "records") + where;
        break;
    case PreviewOutcome::Limited:
        text += QStringLiteral("the first ") + Plural(records, "record", "records") + where;
        break;
    case PreviewOutcome::Canceled: text += QStringLiteral("canceled."); break;
    case PreviewOutcome::NotOpened:
    case PreviewOutcome::NotDxf:
    case PreviewOutcome::Failed:
        // The records before the error stay shown: they point at where it is.
        text += QString::fromLocal8Bit(result->Error.c_str());
        break;
    }
    // Shown one character per byte, such texts look right here but not in a UTF-8 reader.
    if (!result->Utf8 && HoldsOtherThanUtf8(result->Records))
        text += QStringLiteral(" Texts keep the drawing's code page, not UTF-8 (Text : as "
                               "written).");
    status_->setText(text);
    hoverText_->clear();
    emit PreviewShown();
}

void PreviewPane::ShowMessage(const QString& text) {
    shown_.reset();
    shownDrawing_.clear();
    model_->SetResult(nullptr, {});
    plot_->SetResult(nullptr, false, false);
    status_->setText(text);
    hoverText_->clear();
    emit PreviewShown();
}

void PreviewPane::ShowHovered(int index) {
    if (index < 0 || !shown_) {
        hoverText_->clear();
        return;
    }
    const std::string& record = shown_->Records[std::size_t(index)];
    hoverText_->setText(
        QStringLiteral("Record %1: ").arg(index + 1) +
        (shown_->Utf8 ? QString::fromStdString(record) : QString::fromLatin1(record.c_str())));
    table_->selectRow(index);
}

}  // namespace quarrow
