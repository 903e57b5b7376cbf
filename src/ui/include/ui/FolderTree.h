#pragma once
// The folders-only tree shared by the DXF folder picker and the destination chooser.

#include <QFontMetrics>
#include <QModelIndex>
#include <QString>

class QFileSystemModel;
class QObject;
class QTreeView;
class QWidget;

namespace quarrow {

// A file-system model of folders only, hidden ones included, rooted at the file system's root.
QFileSystemModel* MakeFolderModel(QObject* parent);
// A single-column tree over the model, without header; the selection stays visible unfocused.
QTreeView* MakeFolderTree(QFileSystemModel* model, QWidget* parent);
// Returns the folder path of an index, or an empty text for none.
QString FolderPathOf(const QFileSystemModel* model, const QModelIndex& index);
// Selects, expands to and scrolls to a folder; returns false when it does not exist.
bool SelectFolder(QFileSystemModel* model, QTreeView* tree, const QString& path);
// Shortens a path to a pixel width: leading folders give way to "..." first.
QString ShortenPath(const QString& path, const QFontMetrics& metrics, int width);

}  // namespace quarrow
