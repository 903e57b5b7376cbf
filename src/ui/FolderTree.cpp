#include "ui/FolderTree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>

namespace quarrow {

QFileSystemModel* MakeFolderModel(QObject* parent) {
    auto* model = new QFileSystemModel(parent);
    model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    // The tree is not refreshed when folders change on disk: the user picks, it does not move.
    model->setOption(QFileSystemModel::DontWatchForChanges, true);
    model->setRootPath(QDir::rootPath());
    return model;
}

QTreeView* MakeFolderTree(QFileSystemModel* model, QWidget* parent) {
    auto* tree = new QTreeView(parent);
    // The model lists folders in the background, after the selection was made by path: once
    // the rows above the selected folder have stopped arriving, bring it into view.
    auto* settle = new QTimer(tree);
    settle->setSingleShot(true);
    settle->setInterval(100);
    QObject::connect(settle, &QTimer::timeout, tree, [tree] {
        tree->scrollTo(tree->currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    QObject::connect(model, &QAbstractItemModel::rowsInserted, tree,
                     [tree, settle](const QModelIndex& parentIndex) {
                         for (QModelIndex up = tree->currentIndex().parent(); up.isValid();
                              up = up.parent())
                             if (up == parentIndex) {
                                 settle->start();
                                 return;
                             }
                     });
    tree->setModel(model);
    for (int column = 1; column < model->columnCount(); ++column)
        tree->hideColumn(column);
    tree->setHeaderHidden(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setRootIndex(model->index(QDir::rootPath()).parent());
    return tree;
}

QString FolderPathOf(const QFileSystemModel* model, const QModelIndex& index) {
    if (!index.isValid())
        return {};
    return QDir::toNativeSeparators(model->filePath(index));
}

bool SelectFolder(QFileSystemModel* model, QTreeView* tree, const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return false;
    const QModelIndex index = model->index(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (!index.isValid())
        return false;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        tree->expand(parent);
    tree->setCurrentIndex(index);
    tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

QString ShortenPath(const QString& path, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    // Drop leading folders one at a time, keeping the last name whole.
    QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    while (parts.size() > 1) {
        parts.removeFirst();
        const QString candidate = QStringLiteral(".../") + parts.join(QLatin1Char('/'));
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    return metrics.elidedText(path, Qt::ElideLeft, width);
}

}  // namespace quarrow
