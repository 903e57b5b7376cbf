#include "ui/DestinationChooser.h"

#include <QDir>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/FolderTree.h"

namespace quarrow {

DestinationChooser::DestinationChooser(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral(" Destination Directory for Data Files"));
    setFixedSize(425, 438);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedSize(419, 395);
    model_ = MakeFolderModel(this);
    folderTree_ = MakeFolderTree(model_, panel);
    folderTree_->setObjectName(QStringLiteral("ShellTreeView1"));
    pathLabel_ = new QLabel(panel);
    pathLabel_->setObjectName(QStringLiteral("Label1"));
    pathLabel_->setFixedHeight(20);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(folderTree_, 1);
    panelLayout->addWidget(pathLabel_);

    selectButton_ = new QPushButton(QStringLiteral("Select "), this);
    selectButton_->setObjectName(QStringLiteral("SpeedButton1"));
    selectButton_->setFixedSize(80, 28);
    selectButton_->setEnabled(false);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel "), this);
    cancelButton_->setObjectName(QStringLiteral("SpeedButton2"));
    cancelButton_->setFixedSize(80, 28);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(selectButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 6);
    layout->addWidget(panel);
    layout->addLayout(buttons);

    connect(selectButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(folderTree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DestinationChooser::onFolderChanged);
    // Esc and the title-bar close already end a QDialog with Cancel.
}

QString DestinationChooser::SelectedPath() const {
    return FolderPathOf(model_, folderTree_->currentIndex());
}

void DestinationChooser::SelectPath(const QString& path) {
    SelectFolder(model_, folderTree_, path);
}

void DestinationChooser::onFolderChanged() {
    const QString path = SelectedPath();
    pathLabel_->setText(ShortenPath(path, pathLabel_->fontMetrics(), 365));
    selectButton_->setEnabled(path.contains(QLatin1Char('/')));
}

}  // namespace quarrow
