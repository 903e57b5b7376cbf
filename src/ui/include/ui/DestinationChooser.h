#pragma once
// The destination chooser: a folder tree with the chosen path under it, "Select " and
// "Cancel ". Created once and kept, so it opens where it was left.

#include <QDialog>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace quarrow {

class DestinationChooser final : public QDialog {
    Q_OBJECT
public:
    explicit DestinationChooser(QWidget* parent = nullptr);

    // The path of the folder selected in the tree; empty when none is.
    QString SelectedPath() const;
    // Selects a folder by path (used by tests and by nothing else).
    void SelectPath(const QString& path);

    void onFolderChanged();

private:
    QFileSystemModel* model_ = nullptr;
    QTreeView* folderTree_ = nullptr;
    QLabel* pathLabel_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace quarrow
