#include "ui/UserDialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace quarrow {
namespace {

QString RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.Title, request.Folder, request.Filter);
    dialog.setObjectName(mode == QFileDialog::AcceptSave ? QStringLiteral("SaveDialog1")
                                                         : QStringLiteral("OpenDialog1"));
    dialog.setAcceptMode(mode);
    dialog.setDefaultSuffix(request.DefaultSuffix);
    dialog.setSizeGripEnabled(true);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setFileMode(QFileDialog::AnyFile);  // Qt asks before replacing a file
        if (!request.ProposedName.isEmpty())
            dialog.selectFile(request.ProposedName);
    } else {
        // The name typed need not exist: the load reports a missing file itself.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setLabelText(QFileDialog::Accept, QFileDialog::tr("&Open"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

void QtUserDialogs::ShowMessage(QWidget* parent, MessageKind kind, const QString& text) {
    const QString title = QStringLiteral(QUARROW_TITLE);
    if (kind == MessageKind::Error)
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
    else
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

Answer QtUserDialogs::AskYesNoCancel(QWidget* parent, const QString& text) {
    const auto button = QMessageBox::information(
        parent, QStringLiteral(QUARROW_TITLE), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    if (button == QMessageBox::No)
        return Answer::No;
    return Answer::Cancel;
}

Answer QtUserDialogs::AskYesNo(QWidget* parent, const QString& text) {
    const auto button = QMessageBox::question(parent, QStringLiteral(QUARROW_TITLE), text,
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtUserDialogs::ChooseSaveFile(QWidget* parent, const FileDialogRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptSave);
}

QString QtUserDialogs::ChooseOpenFile(QWidget* parent, const FileDialogRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString QtUserDialogs::AskText(QWidget* parent, const QString& title, const QString& label) {
    return QInputDialog::getText(parent, title, label);
}

bool QtUserDialogs::OpenInEditor(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtUserDialogs::OpenFolder(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace quarrow
