#include "ui/RunSummaryPanel.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStringDecoder>
#include <QVBoxLayout>

namespace quarrow {
namespace {

// A long list would push the file list off the tab: the log has the rest.
constexpr std::size_t kListedFailures = 5;

QString Files(int count) {
    return count == 1 ? QStringLiteral("file") : QStringLiteral("files");
}

QString Headline(const RunSummary& s) {
    const QString elapsed = ElapsedText(s.ElapsedMs);
    QString start;
    switch (s.End) {
    case RunSummary::Ending::Finished:
        start = QStringLiteral("Run finished in %1").arg(elapsed);
        break;
    case RunSummary::Ending::Stopped:
        start = QStringLiteral("Run stopped by the user after %1").arg(elapsed);
        break;
    case RunSummary::Ending::Error:
        start = QStringLiteral("Run ended on an error after %1").arg(elapsed);
        break;
    }
    return start +
           QStringLiteral(": %1 of %2 selected %3 converted, %4 %5 written.")
               .arg(s.FilesConverted)
               .arg(s.SelectedFiles)
               .arg(Files(s.SelectedFiles))
               .arg(QLocale().toString(qlonglong(s.RecordsWritten)))
               .arg(s.RecordsWritten == 1 ? QStringLiteral("record") : QStringLiteral("records"));
}

QString Details(const RunSummary& s) {
    QStringList lines;
    if (!s.Failures.empty()) {
        const int failed = int(s.Failures.size());
        if (s.End != RunSummary::Ending::Error)
            lines << QStringLiteral("%1 %2 failed and got no Data file:")
                         .arg(failed)
                         .arg(Files(failed));
        else if (failed == 1)
            lines << QStringLiteral("The run stopped at this file:");
        else
            lines << QStringLiteral("%1 files failed, the last one ended the run:").arg(failed);
        for (std::size_t i = 0; i < s.Failures.size() && i < kListedFailures; ++i) {
            const RunSummary::FailedFile& f = s.Failures[i];
            lines << QStringLiteral("  \u2022 %1: %2").arg(QFileInfo(f.Path).fileName(), f.Reason);
        }
        if (s.Failures.size() > kListedFailures)
            lines
                << QStringLiteral("  \u2022 and %1 more.").arg(s.Failures.size() - kListedFailures);
    }
    if (!s.Remarks.empty()) {
        const int count = int(s.Remarks.size());
        lines << QStringLiteral("%1 converted %2 a look:")
                     .arg(count)
                     .arg(count == 1 ? QStringLiteral("file needs") : QStringLiteral("files need"));
        for (std::size_t i = 0; i < s.Remarks.size() && i < kListedFailures; ++i)
            lines << QStringLiteral("  \u2022 %1: %2")
                         .arg(QFileInfo(s.Remarks[i].Path).fileName(),
                              s.Remarks[i].Remarks.join(QStringLiteral("; ")));
        if (s.Remarks.size() > kListedFailures)
            lines << QStringLiteral("  \u2022 and %1 more: see the log.")
                         .arg(s.Remarks.size() - kListedFailures);
    }
    if (s.NotUtf8Files > 0)
        lines << QStringLiteral("%1 Data %2 texts that are not UTF-8: with \"Text : as written\" "
                                "they keep the drawing's code page. For UTF-8, choose \"plain "
                                "UTF-8\" on the Configuration tab and process again.")
                     .arg(s.NotUtf8Files)
                     .arg(s.NotUtf8Files == 1 ? QStringLiteral("file holds")
                                              : QStringLiteral("files hold"));
    const int notProcessed = s.SelectedFiles - s.FilesConverted - int(s.Failures.size());
    if (s.End == RunSummary::Ending::Error) {
        if (notProcessed > 0)
            lines << QStringLiteral("%1 %2 after it %3 not processed.")
                         .arg(notProcessed)
                         .arg(Files(notProcessed))
                         .arg(notProcessed == 1 ? QStringLiteral("was") : QStringLiteral("were"));
        lines << QStringLiteral("Correct the drawing, then process it and the files after it "
                                "again, or turn on \"Go on with the next file when one cannot "
                                "be converted\" on the Options / Help tab.");
    } else if (!s.Failures.empty()) {
        lines << QStringLiteral("See the log for details, correct these files and process them "
                                "again.");
    }
    if (s.End == RunSummary::Ending::Stopped && notProcessed > 0)
        lines << QStringLiteral("%1 %2 %3 not converted because of the stop.")
                     .arg(notProcessed)
                     .arg(Files(notProcessed))
                     .arg(notProcessed == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    return lines.join(QLatin1Char('\n'));
}

// Green for a clean run, amber when something needs a look, red for a run that broke off.
QString PanelStyle(const RunSummary& s) {
    const char* background = "#e9f6ea";
    const char* border = "#7cb77f";
    if (s.End == RunSummary::Ending::Error) {
        background = "#fdecea";
        border = "#d9776e";
    } else if (s.End == RunSummary::Ending::Stopped || !s.Failures.empty() || !s.Remarks.empty()) {
        background = "#fff4e0";
        border = "#e0a84a";
    }
    return QStringLiteral("#RunSummary { background: %1; border: 1px solid %2; "
                          "border-radius: 3px; }")
        .arg(QLatin1String(background), QLatin1String(border));
}

}  // namespace

std::vector<RunSummary::FileRemarks> ConvertedFileRemarks(const std::vector<FileReport>& files) {
    std::vector<RunSummary::FileRemarks> remarks;
    for (const FileReport& file : files) {
        if (file.Outcome != FileReport::Status::Converted)
            continue;
        QStringList texts;
        bool noRecords = false;
        for (const FileWarning& warning : file.Warnings) {
            texts << QString::fromLocal8Bit(warning.Text);
            noRecords = noRecords || warning.What == FileWarning::Kind::NoRecords;
        }
        // A drawing without records names its paper-space count in that warning already.
        if (file.PaperSpaceLeftOut > 0 && !noRecords)
            texts << QStringLiteral("%1 paper-space %2 left out")
                         .arg(file.PaperSpaceLeftOut)
                         .arg(file.PaperSpaceLeftOut == 1 ? QStringLiteral("entity")
                                                          : QStringLiteral("entities"));
        if (!texts.isEmpty())
            remarks.push_back({QString::fromLocal8Bit(file.DxfPath), texts});
    }
    return remarks;
}

bool HoldsOtherThanUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    while (!file.atEnd()) {
        const QByteArray block = file.read(1 << 20);
        if (block.isEmpty())
            break;
        const QString text = decoder.decode(block);  // the decoding runs as it is taken
        if (decoder.hasError())
            return true;
    }
    return false;
}

QString ElapsedText(std::int64_t milliseconds) {
    if (milliseconds < 10'000)
        return QStringLiteral("%1 s").arg(QLocale().toString(double(milliseconds) / 1000, 'f', 1));
    const std::int64_t seconds = (milliseconds + 500) / 1000;
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    return QStringLiteral("%1 min %2 s")
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

RunSummaryPanel::RunSummaryPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("RunSummary"));
    setAttribute(Qt::WA_StyledBackground);
    headline_ = new QLabel(this);
    headline_->setObjectName(QStringLiteral("RunSummaryHeadline"));
    headline_->setTextFormat(Qt::PlainText);
    headline_->setWordWrap(true);
    QFont bold = headline_->font();
    bold.setBold(true);
    headline_->setFont(bold);
    details_ = new QLabel(this);
    details_->setObjectName(QStringLiteral("RunSummaryDetails"));
    details_->setTextFormat(Qt::PlainText);
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);  // reasons can be copied

    openDestination_ = new QPushButton(QStringLiteral("Open destination folder"), this);
    openDestination_->setObjectName(QStringLiteral("RunSummaryOpenDestination"));
    openLog_ = new QPushButton(QStringLiteral("Open log"), this);
    openLog_->setObjectName(QStringLiteral("RunSummaryOpenLog"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("RunSummaryClose"));
    close->setToolTip(QStringLiteral("Hide this summary"));

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    texts->addWidget(headline_);
    texts->addWidget(details_);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(3);
    buttons->addWidget(openDestination_);
    buttons->addWidget(openLog_);
    buttons->addStretch();
    auto* closeColumn = new QVBoxLayout;
    closeColumn->addWidget(close);
    closeColumn->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 6, 6, 6);
    layout->addLayout(texts, 1);
    layout->addLayout(buttons);
    layout->addLayout(closeColumn);

    connect(openDestination_, &QPushButton::clicked, this,
            &RunSummaryPanel::OpenDestinationRequested);
    connect(openLog_, &QPushButton::clicked, this, &RunSummaryPanel::OpenLogRequested);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    hide();
}

void RunSummaryPanel::ShowSummary(const RunSummary& summary) {
    setStyleSheet(PanelStyle(summary));
    headline_->setText(Headline(summary));
    const QString details = Details(summary);
    details_->setText(details);
    details_->setVisible(!details.isEmpty());
    openLog_->setEnabled(summary.LogWritten || summary.ReportHeld);
    openLog_->setText(summary.LogWritten ? QStringLiteral("Open log")
                                         : QStringLiteral("Show report"));
    openLog_->setToolTip(summary.LogWritten   ? QStringLiteral("Show the report of this run")
                         : summary.ReportHeld ? QStringLiteral("Show the report of this run: it "
                                                               "wrote no log file")
                                              : QStringLiteral("This run wrote no log"));
    show();
}

}  // namespace quarrow
