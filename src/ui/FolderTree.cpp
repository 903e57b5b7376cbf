#include "ui/FolderTree.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStyle>

namespace quarrow {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kListedRole = Qt::UserRole + 1;

// Folders the kernel and the init system make up: nothing a drawing is kept in.
bool IsVirtualFolder(const QString& path) {
    static const QStringList kVirtual{QStringLiteral("/proc"), QStringLiteral("/sys"),
                                      QStringLiteral("/dev"), QStringLiteral("/run")};
    return kVirtual.contains(path);
}

QDir::Filters FolderFilter(bool showHidden) {
    QDir::Filters filter = QDir::AllDirs | QDir::NoDotAndDotDot;
    if (showHidden)
        filter |= QDir::Hidden | QDir::System;
    return filter;
}

bool Listable(const QString& path, bool showHidden) {
    return showHidden || !IsVirtualFolder(path);
}

bool HasSubfolders(const QString& path, bool showHidden) {
    QDirIterator it(path, FolderFilter(showHidden));
    while (it.hasNext())
        if (Listable(it.next(), showHidden))
            return true;
    return false;
}

QString CleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool IsInside(const QString& path, const QString& folder) {
    if (folder.isEmpty())
        return false;  // the placeholder row of a folder not listed yet
    return path == folder ||
           path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

QStandardItem* MakeFolderItem(const QString& text, const QIcon& icon, const QString& path,
                              bool showHidden) {
    auto* item = new QStandardItem(icon, text);
    item->setEditable(false);
    item->setData(path, kPathRole);
    item->setToolTip(QDir::toNativeSeparators(path));
    // A placeholder row gives the folder its expand mark; it is replaced when first opened.
    if (HasSubfolders(path, showHidden))
        item->appendRow(new QStandardItem);
    return item;
}

}  // namespace

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent) {
    model_ = new QStandardItemModel(this);
    setModel(model_);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);
    showHiddenAction_ = new QAction(QStringLiteral("Show hidden folders"), this);
    showHiddenAction_->setObjectName(QStringLiteral("ShowHiddenFolders"));
    showHiddenAction_->setCheckable(true);
    connect(showHiddenAction_, &QAction::toggled, this, &FolderTree::SetShowHidden);
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this,
            &FolderTree::onFolderChangedOnDisk);
    // Expanding a folder listed before reads it again: it may have changed since.
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        QStandardItem* item = model_->itemFromIndex(index);
        if (item != nullptr && item->data(kListedRole).toBool())
            Update(item);
        else
            ListChildren(item);
    });
    AddPlaces();
    // The selected folder is listed (so watched) at once: a folder made in it later shows
    // without its being expanded first.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { ListChildren(model_->itemFromIndex(current)); });
}

void FolderTree::AddPlaces() {
    const QString home = CleanAbsolute(QDir::homePath());
    if (home != QDir::rootPath())  // a home of "/" is the file system's row itself
        model_->appendRow(MakeFolderItem(QStringLiteral("Home"),
                                         style()->standardIcon(QStyle::SP_DirHomeIcon), home,
                                         showHidden_));
    const std::pair<QStandardPaths::StandardLocation, const char*> usual[] = {
        {QStandardPaths::DesktopLocation, "Desktop"},
        {QStandardPaths::DocumentsLocation, "Documents"}};
    for (const auto& [location, name] : usual) {
        const QString path = CleanAbsolute(QStandardPaths::writableLocation(location));
        // Without the folder, the platform names the home folder itself: nothing to add.
        if (path != home && QFileInfo(path).isDir())
            model_->appendRow(MakeFolderItem(QString::fromLatin1(name),
                                             style()->standardIcon(QStyle::SP_DirIcon), path,
                                             showHidden_));
    }
    model_->appendRow(MakeFolderItem(QStringLiteral("File system"),
                                     style()->standardIcon(QStyle::SP_DriveHDIcon),
                                     QDir::rootPath(), showHidden_));
}

void FolderTree::ListChildren(QStandardItem* item) {
    if (item == nullptr || item->data(kListedRole).toBool())
        return;
    item->setData(true, kListedRole);
    item->removeRows(0, item->rowCount());
    const QString path = item->data(kPathRole).toString();
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    const QFileInfoList folders = QDir(path).entryInfoList(
        FolderFilter(showHidden_), QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& folder : folders) {
        const QString childPath = CleanAbsolute(folder.filePath());
        if (Listable(childPath, showHidden_))
            item->appendRow(MakeFolderItem(folder.fileName(), icon, childPath, showHidden_));
    }
    if (!path.isEmpty())
        watcher_->addPath(path);
}

void FolderTree::Update(QStandardItem* item) {
    const QString path = item->data(kPathRole).toString();
    if (path.isEmpty())
        return;  // a placeholder row
    if (!item->data(kListedRole).toBool()) {
        const bool has = HasSubfolders(path, showHidden_);
        if (has && item->rowCount() == 0)
            item->appendRow(new QStandardItem);
        else if (!has && item->rowCount() > 0)
            item->removeRows(0, item->rowCount());
        return;
    }
    QStringList names;
    QStringList paths;
    for (const QFileInfo& folder : QDir(path).entryInfoList(
             FolderFilter(showHidden_), QDir::Name | QDir::IgnoreCase | QDir::LocaleAware)) {
        const QString childPath = CleanAbsolute(folder.filePath());
        if (Listable(childPath, showHidden_)) {
            names << folder.fileName();
            paths << childPath;
        }
    }
    // The rows are in the order of the listing: drop those gone, then fill in the new ones.
    for (int row = item->rowCount() - 1; row >= 0; --row)
        if (!paths.contains(item->child(row)->data(kPathRole).toString())) {
            watcher_->removePath(item->child(row)->data(kPathRole).toString());
            item->removeRow(row);
        }
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    for (int i = 0; i < paths.size(); ++i)
        if (i >= item->rowCount() || item->child(i)->data(kPathRole).toString() != paths[i])
            item->insertRow(i, MakeFolderItem(names[i], icon, paths[i], showHidden_));
}

void FolderTree::UpdateBranch(QStandardItem* item) {
    Update(item);
    if (item->data(kListedRole).toBool())
        for (int row = 0; row < item->rowCount(); ++row)
            UpdateBranch(item->child(row));
}

void FolderTree::RelistAll() {
    const QString selected = QDir::fromNativeSeparators(SelectedPath());
    for (int row = 0; row < model_->rowCount(); ++row)
        UpdateBranch(model_->item(row));
    Reselect(selected);
}

QStandardItem* FolderTree::ListedItem(const QString& path) const {
    QStandardItem* item = PlaceFor(path);
    while (item != nullptr && item->data(kPathRole).toString() != path) {
        if (!item->data(kListedRole).toBool())
            return nullptr;
        QStandardItem* next = nullptr;
        for (int row = 0; row < item->rowCount() && next == nullptr; ++row)
            if (IsInside(path, item->child(row)->data(kPathRole).toString()))
                next = item->child(row);
        item = next;
    }
    return item != nullptr && item->data(kListedRole).toBool() ? item : nullptr;
}

void FolderTree::onFolderChangedOnDisk(const QString& changed) {
    const QString selected = QDir::fromNativeSeparators(SelectedPath());
    QStandardItem* item = ListedItem(CleanAbsolute(changed));
    if (item == nullptr) {
        watcher_->removePath(changed);  // no longer listed (or gone)
        return;
    }
    Update(item);
    Reselect(selected);
}

void FolderTree::Reselect(QString path) {
    if (path.isEmpty() || QDir::fromNativeSeparators(SelectedPath()) == path)
        return;
    while (!path.isEmpty() && !Select(path, false)) {
        const QString up = QFileInfo(path).path();
        path = up == path ? QString() : up;
    }
}

QStandardItem* FolderTree::PlaceFor(const QString& path) const {
    // The deepest place that holds the path: Desktop before Home, Home before the root.
    QStandardItem* best = nullptr;
    int bestLength = -1;
    for (int row = 0; row < model_->rowCount(); ++row) {
        QStandardItem* place = model_->item(row);
        const QString placePath = place->data(kPathRole).toString();
        if (IsInside(path, placePath) && placePath.size() > bestLength) {
            best = place;
            bestLength = int(placePath.size());
        }
    }
    return best;
}

QString FolderTree::SelectedPath() const {
    const QModelIndex index = currentIndex();
    if (!index.isValid())
        return {};
    return QDir::toNativeSeparators(index.data(kPathRole).toString());
}

QStandardItem* FolderTree::ItemFor(const QString& path) {
    QStandardItem* item = PlaceFor(path);
    while (item != nullptr && item->data(kPathRole).toString() != path) {
        ListChildren(item);
        QStandardItem* next = nullptr;
        for (int row = 0; row < item->rowCount() && next == nullptr; ++row)
            if (IsInside(path, item->child(row)->data(kPathRole).toString()))
                next = item->child(row);
        item = next;
    }
    return item;
}

bool FolderTree::SelectPath(const QString& given) {
    return Select(given, true);
}

bool FolderTree::Select(const QString& given, bool revealHidden) {
    if (given.isEmpty() || !QFileInfo(given).isDir())
        return false;
    const QString path = CleanAbsolute(given);
    QStandardItem* item = ItemFor(path);
    if (item == nullptr && !showHidden_ && revealHidden) {
        // A folder asked for by path is shown even where it is hidden.
        showHiddenAction_->setChecked(true);
        item = ItemFor(path);
        if (item == nullptr)
            showHiddenAction_->setChecked(false);
    }
    if (item == nullptr)
        return false;
    const QModelIndex index = item->index();
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        expand(parent);
    setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

void FolderTree::SetShowHidden(bool on) {
    if (showHidden_ == on)
        return;
    showHidden_ = on;
    {
        const QSignalBlocker quiet(showHiddenAction_);
        showHiddenAction_->setChecked(on);
    }
    QString path = QDir::fromNativeSeparators(SelectedPath());
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    model_->clear();
    AddPlaces();
    // Hiding a folder that held the selection moves it up to the nearest listed one.
    while (!path.isEmpty() && !Select(path, false)) {
        const QString up = QFileInfo(path).path();
        path = up == path ? QString() : up;
    }
}

void FolderTree::Relist(const QString& path) {
    QStandardItem* item = ItemFor(CleanAbsolute(path));
    if (item == nullptr)
        return;
    if (item->data(kListedRole).toBool())
        Update(item);
    else
        ListChildren(item);
}

void FolderTree::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(showHiddenAction_);
    menu.exec(event->globalPos());
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
