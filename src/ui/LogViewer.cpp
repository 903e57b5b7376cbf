#include "ui/LogViewer.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarrow {

LogViewer::LogViewer(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LogViewer"));
    setWindowTitle(QStringLiteral(QUARROW_TITLE " - Log"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(760, 560);
    path_ = new QLabel(this);
    path_->setObjectName(QStringLiteral("LogPath"));
    path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    path_->setWordWrap(true);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("LogText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);  // the report lines up in columns
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(path_);
    layout->addWidget(text_, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
}

void LogViewer::ShowFile(const QString& path) {
    path_->setText(QFileInfo(path).absoluteFilePath());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        text_->setPlainText(
            QStringLiteral("The log file cannot be read: %1").arg(file.errorString()));
        return;
    }
    // The log is written in the system's 8-bit code page with CR LF line ends.
    QString text = QString::fromLocal8Bit(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text_->setPlainText(text);
}

void LogViewer::ShowReport(const QString& caption, const QString& text) {
    path_->setText(caption);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text_->setPlainText(shown);
}

}  // namespace quarrow
