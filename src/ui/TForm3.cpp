#include "ui/TForm3.h"

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

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral(" Destination Directory for Data Files"));
    setFixedSize(425, 438);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedSize(419, 395);
    model_ = MakeFolderModel(this);
    ShellTreeView1 = MakeFolderTree(model_, panel);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    Label1 = new QLabel(panel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFixedHeight(20);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(ShellTreeView1, 1);
    panelLayout->addWidget(Label1);

    SpeedButton1 = new QPushButton(QStringLiteral("Select "), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setFixedSize(80, 28);
    SpeedButton1->setEnabled(false);
    SpeedButton2 = new QPushButton(QStringLiteral("Cancel "), this);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setFixedSize(80, 28);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButton2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 6);
    layout->addWidget(panel);
    layout->addLayout(buttons);

    connect(SpeedButton1, &QPushButton::clicked, this, &QDialog::accept);
    connect(SpeedButton2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TForm3::ShellTreeView1Change);
    // Esc and the title-bar close already end a QDialog with Cancel.
}

QString TForm3::SelectedPath() const {
    return FolderPathOf(model_, ShellTreeView1->currentIndex());
}

void TForm3::SelectPath(const QString& path) {
    SelectFolder(model_, ShellTreeView1, path);
}

void TForm3::ShellTreeView1Change() {
    const QString path = SelectedPath();
    Label1->setText(ShortenPath(path, Label1->fontMetrics(), 365));
    SpeedButton1->setEnabled(path.contains(QLatin1Char('/')));
}

} // namespace quarrow
