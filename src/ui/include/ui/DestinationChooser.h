#pragma once
// The destination chooser: a folder tree with the chosen path under it, "New folder",
// "Select " and "Cancel ". Created once and kept; the "DXF Files" tab opens it at the current
// destination (the first time, without one, at the home folder). Its folders are read again
// each time it opens and on F5.

#include <QDialog>

class QLabel;
class QPushButton;

namespace quarrow {

class FolderTree;
class UserDialogs;

class DestinationChooser final : public QDialog {
    Q_OBJECT
public:
    explicit DestinationChooser(UserDialogs& dialogs, QWidget* parent = nullptr);

    // The path of the folder selected in the tree; empty when none is.
    QString SelectedPath() const;
    // Selects a folder by path (used by tests and by nothing else).
    void SelectPath(const QString& path);

    void onFolderChanged();
    // Asks a name, makes the folder in the selected one and selects it.
    void onNewFolderClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    UserDialogs& dialogs_;
    FolderTree* folderTree_ = nullptr;
    QLabel* pathLabel_ = nullptr;
    QPushButton* newFolderButton_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace quarrow
