#pragma once
// Every message box and file dialog of the main window goes through this interface, so tests
// script the user's answers and read every text shown.

#include <QString>

class QWidget;

namespace quarrow {

enum class MessageKind { Information, Error };
enum class Answer { Yes, No, Cancel };

struct FileDialogRequest {
    QString Title;
    QString Filter;         // e.g. "Quarrow configuration files (*.qrw)"
    QString DefaultSuffix;  // added when the name typed has none
    QString Folder;         // initial folder
    QString ProposedName;   // empty: none
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // Shows a modal message with an OK button and waits for it.
    virtual void ShowMessage(QWidget* parent, MessageKind kind, const QString& text) = 0;
    // Asks an information question with Yes, No and Cancel; closing it answers Cancel.
    virtual Answer AskYesNoCancel(QWidget* parent, const QString& text) = 0;
    // Asks a question with Yes and No; closing it answers No.
    virtual Answer AskYesNo(QWidget* parent, const QString& text) = 0;
    // Returns the chosen path, or an empty text when the dialog was dismissed.
    virtual QString ChooseSaveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString ChooseOpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // Asks for one line of text (a new folder's name); empty when dismissed.
    virtual QString AskText(QWidget* parent, const QString& title, const QString& label) = 0;
    // Opens a file in the user's text editor (the log after a run) without waiting for it.
    // Returns false when no viewer could be launched, so the caller shows it another way.
    virtual bool OpenInEditor(const QString& path) = 0;
    // Opens a folder in the user's file manager; false when none could be launched.
    virtual bool OpenFolder(const QString& path) = 0;
};

// The real dialogs: QMessageBox and QFileDialog.
class QtUserDialogs final : public UserDialogs {
public:
    void ShowMessage(QWidget* parent, MessageKind kind, const QString& text) override;
    Answer AskYesNoCancel(QWidget* parent, const QString& text) override;
    Answer AskYesNo(QWidget* parent, const QString& text) override;
    QString ChooseSaveFile(QWidget* parent, const FileDialogRequest& request) override;
    QString ChooseOpenFile(QWidget* parent, const FileDialogRequest& request) override;
    QString AskText(QWidget* parent, const QString& title, const QString& label) override;
    bool OpenInEditor(const QString& path) override;
    bool OpenFolder(const QString& path) override;
};

}  // namespace quarrow
