#pragma once
// The destination chooser: a folder tree with the chosen path under it, "Select " and
// "Cancel ". Created once and kept, so it opens where it was left.

#include <QDialog>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace quarrow {

class TForm3 final : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    // The path of the folder selected in the tree; empty when none is.
    QString SelectedPath() const;
    // Selects a folder by path (used by tests and by nothing else).
    void SelectPath(const QString& path);

    void ShellTreeView1Change();

private:
    QFileSystemModel* model_ = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QPushButton* SpeedButton2 = nullptr;
};

} // namespace quarrow
