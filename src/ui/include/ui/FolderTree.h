#pragma once
// The folders-only tree shared by the DXF folder picker and the destination chooser: the home
// folder and the usual places under it first, the file system's root after them. Hidden and
// virtual folders stay out of sight until the context menu's "Show hidden folders" asks. The
// folders listed follow the disk: a watch re-lists a listed folder when its subfolders change,
// and expanding a folder or RelistAll (F5) reads them again.

#include <QFontMetrics>
#include <QString>
#include <QTreeView>

class QAction;
class QFileSystemWatcher;
class QStandardItem;
class QStandardItemModel;

namespace quarrow {

class FolderTree final : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // Returns the path of the selected folder, or an empty text for none.
    QString SelectedPath() const;
    // Selects, expands to and scrolls to a folder, showing hidden folders when the path goes
    // through one; returns false when it does not exist.
    bool SelectPath(const QString& path);
    bool ShowsHidden() const { return showHidden_; }
    // Lists the folders again with or without the hidden ones; the selection stays, or moves
    // to the nearest folder above it that is still listed.
    void SetShowHidden(bool on);
    // Lists a folder's subfolders again (one was just made in it).
    void Relist(const QString& path);
    // Reads every listed folder again: folders made or removed appear or go, expanded ones
    // stay expanded, and a selection that went moves up to the nearest folder still there.
    void RelistAll();
    QAction* ShowHiddenAction() const { return showHiddenAction_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void AddPlaces();
    bool Select(const QString& path, bool revealHidden);
    void ListChildren(QStandardItem* item);
    // Brings a listed folder's rows in line with the disk, keeping the rows still there (and
    // what is expanded under them); an unlisted one only gets its expand mark right.
    void Update(QStandardItem* item);
    void UpdateBranch(QStandardItem* item);
    // The listed row of a path, without listing anything; null when it is not listed.
    QStandardItem* ListedItem(const QString& path) const;
    void onFolderChangedOnDisk(const QString& path);
    // Keeps the selection, or moves it up to the nearest folder that is still listed.
    void Reselect(QString path);
    QStandardItem* PlaceFor(const QString& path) const;
    // Lists the folders down to a path and returns its row; null when it is not listed.
    QStandardItem* ItemFor(const QString& path);

    QStandardItemModel* model_ = nullptr;
    QAction* showHiddenAction_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;  // the listed folders
    bool showHidden_ = false;
};

// Shortens a path to a pixel width: leading folders give way to "..." first.
QString ShortenPath(const QString& path, const QFontMetrics& metrics, int width);

}  // namespace quarrow
