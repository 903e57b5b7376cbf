#include "ui/DestinationChooser.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "ui/FolderTree.h"
#include "ui/UserDialogs.h"

namespace quarrow {

DestinationChooser::DestinationChooser(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), dialogs_(dialogs) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral(" Destination Directory for Data Files"));
    setFixedSize(425, 438);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedSize(419, 395);
    folderTree_ = new FolderTree(panel);
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
    newFolderButton_ = new QPushButton(QStringLiteral("New folder"), this);
    newFolderButton_->setObjectName(QStringLiteral("NewFolderButton"));
    newFolderButton_->setFixedHeight(28);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(newFolderButton_);
    buttons->addStretch();
    buttons->addWidget(selectButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 6);
    layout->addWidget(panel);
    layout->addLayout(buttons);

    connect(selectButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(newFolderButton_, &QPushButton::clicked, this, &DestinationChooser::onNewFolderClicked);
    connect(folderTree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DestinationChooser::onFolderChanged);
    // Esc and the title-bar close already end a QDialog with Cancel.
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, folderTree_,
            &FolderTree::RelistAll);
    folderTree_->SelectPath(QDir::homePath());
}

void DestinationChooser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    folderTree_->RelistAll();  // folders may have come or gone since it was last open
}

QString DestinationChooser::SelectedPath() const {
    return folderTree_->SelectedPath();
}

void DestinationChooser::SelectPath(const QString& path) {
    folderTree_->SelectPath(path);
}

void DestinationChooser::onFolderChanged() {
    const QString path = SelectedPath();
    pathLabel_->setText(ShortenPath(path, pathLabel_->fontMetrics(), 365));
    selectButton_->setEnabled(path.contains(QLatin1Char('/')));
}

void DestinationChooser::onNewFolderClicked() {
    const QString parent = SelectedPath();
    if (parent.isEmpty()) {
        dialogs_.ShowMessage(this, MessageKind::Information,
                             QStringLiteral("Select the folder to make the new folder in, then "
                                            "press \"New folder\" again."));
        return;
    }
    const QString name = dialogs_
                             .AskText(this, QStringLiteral("New folder"),
                                      QStringLiteral("Name of the new folder in %1 :").arg(parent))
                             .trimmed();
    if (name.isEmpty())
        return;  // dismissed, or nothing typed
    const auto tell = [this](const QString& text) {
        dialogs_.ShowMessage(this, MessageKind::Information, text);
    };
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String("..")) {
        tell(QStringLiteral("\"%1\" cannot be a folder name: a name may not contain \"/\" "
                            "nor be \".\" or \"..\". Press \"New folder\" again and type "
                            "another name.")
                 .arg(name));
        return;
    }
    const QString path = QDir(parent).filePath(name);
    if (QFileInfo::exists(path)) {
        tell(QStringLiteral("\"%1\" already exists in %2. Select it in the tree, or press "
                            "\"New folder\" again and type another name.")
                 .arg(name, parent));
        return;
    }
    if (!QDir(parent).mkdir(name)) {
        tell(QStringLiteral("The folder \"%1\" could not be made in %2: you may not write "
                            "there. Select a folder of your own, such as one under Home, and "
                            "try again.")
                 .arg(name, parent));
        return;
    }
    folderTree_->Relist(parent);
    folderTree_->SelectPath(path);
}

}  // namespace quarrow
