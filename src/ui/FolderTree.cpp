#include "ui/FolderTree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
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
    tree->setCurrentIndex(index);
    tree->scrollTo(index);
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

} // namespace quarrow
