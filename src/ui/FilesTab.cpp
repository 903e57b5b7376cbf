#include "ui/FilesTab.h"

#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QTime>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <span>

#include "platform/SettingsStore.h"
#include "engine/ProcessingRun.h"
#include "ui/DestinationChooser.h"
#include "ui/DestinationFolder.h"
#include "ui/FolderTree.h"
#include "ui/Images.h"
#include "ui/LogViewer.h"
#include "ui/ProgressWindow.h"
#include "ui/RunSummaryPanel.h"
#include "ui/TabParts.h"
#include "ui/UserDialogs.h"

namespace quarrow {
namespace {

constexpr int kMinListWidth = 30;
constexpr int kRowRole = Qt::UserRole;

// Small pictures of the destination buttons, drawn here so they match on every machine.
QIcon LockIcon(bool closed) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    shackle.moveTo(closed ? 4.5 : 9.5, 8);
    shackle.arcTo(closed ? 4.5 : 9.5, 2, 7, 8, 180, -180);
    if (closed)
        shackle.lineTo(11.5, 8);
    p.drawPath(shackle);
    p.setPen(Qt::NoPen);
    p.setBrush(closed ? QColor(200, 150, 30) : QColor(120, 160, 60));
    p.drawRoundedRect(QRectF(2.5, 7.5, 11, 7.5), 1.5, 1.5);
    return QIcon(pixmap);
}

QIcon BrowseIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(1.5, 4.5, 13, 9));
    p.drawRect(QRectF(1.5, 2.5, 5, 2));
    return QIcon(pixmap);
}

QToolButton* MakeSmallButton(QWidget* parent, const char* name, const QIcon& icon,
                             const char* hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(icon);
    button->setToolTip(QString::fromLatin1(hint));
    button->setAutoRaise(true);
    button->setFixedSize(24, 24);
    return button;
}

// The user's date and time separators, read from the locale's short formats.
DateSeparators LocaleSeparators() {
    DateSeparators separators;
    const QString date = QLocale::system().dateFormat(QLocale::ShortFormat);
    // A format spelled with blanks only ("d MMM yyyy") keeps "/": the numeric pattern needs
    // a mark between its digits.
    for (QChar c : date)
        if (c.isPunct() && c.toLatin1()) {
            separators.Date = c.toLatin1();
            break;
        }
    const QString time = QLocale::system().timeFormat(QLocale::ShortFormat);
    for (QChar c : time)
        if (c.isPunct() && c.toLatin1()) {
            separators.Time = c.toLatin1();
            break;
        }
    return separators;
}

QString HomeFolder() {
    return QDir::homePath();  // where the reference platform fell back to "c:\"
}

}  // namespace

FilesTab::FilesTab(SettingsStore& settings, UserDialogs& dialogs, const ProgramPaths& paths,
                   QWidget* owner)
    : settings_(settings), dialogs_(dialogs), paths_(paths) {
    setObjectName(QStringLiteral("TabSheet1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 0);
    layout->setSpacing(6);

    summary_ = new RunSummaryPanel(this);
    layout->addWidget(summary_);
    connect(summary_, &RunSummaryPanel::OpenDestinationRequested, this, &FilesTab::OpenDestination);
    connect(summary_, &RunSummaryPanel::OpenLogRequested, this, &FilesTab::OpenRunReport);

    auto* files = MakeGroup("GroupBox1", " DXF files to process ", true);
    filesGroup_ = files;
    auto* filesLayout = new QVBoxLayout(files);
    filesLayout->setContentsMargins(4, 4, 4, 4);
    filesLayout->addWidget(BuildFileBrowser());
    layout->addWidget(files, 1);

    auto* output = MakeGroup("GroupBox2", " Output Directory and File Extension  ", true);
    output->setFixedHeight(53);
    outputGroup_ = output;
    BuildOutputControls(output);
    layout->addWidget(output);
    connect(extensionEdit_, &QLineEdit::textChanged, this, &FilesTab::ExtensionEdited);

    QToolBar* toolbar = nullptr;
    layout->addWidget(MakeToolbarPanel("Panel1", toolbar));
    toolbar->setObjectName(QStringLiteral("ToolBar1"));
    processButton_ = AddToolButton(toolbar, "btprocess", " Process selected files",
                                   "Create Data Files...", 2, 112);
    auto* exitButton = AddToolButton(toolbar, "btexit", " Exit", "Exit...", 4, 112);
    toolbar->addSeparator();
    auto* log = AddToolButton(toolbar, "ToolButton2", "Show last Log", "", 5, 112);
    exitButton_ = exitButton;
    connect(log, &QToolButton::clicked, this, &FilesTab::onShowLogClicked);

    // Windows of their own, placed over the main window.
    destinationChooser_ = new DestinationChooser(dialogs_, owner);
    progressWindow_ = new ProgressWindow(cancelRequested_, owner);
}

void FilesTab::SetConfigurationSource(std::function<RunConfiguration()> source) {
    configurationSource_ = std::move(source);
}

void FilesTab::SetExtension(const QString& text) {
    extensionEdit_->setText(text);
}

QWidget* FilesTab::BuildFileBrowser() {
    browserSplitter_ = new QSplitter(Qt::Horizontal);
    browserSplitter_->setObjectName(QStringLiteral("Splitter1"));
    browserSplitter_->setHandleWidth(2);
    browserSplitter_->setOpaqueResize(true);
    browserSplitter_->setStyleSheet(
        QStringLiteral("QSplitter::handle { background: rgb(167,167,167); }"));

    folderPanel_ = new QWidget;
    folderPanel_->setObjectName(QStringLiteral("Panel4"));
    folderTree_ = new FolderTree(folderPanel_);
    folderTree_->setObjectName(QStringLiteral("sh1"));
    folderPathLabel_ = new QLabel(folderPanel_);
    folderPathLabel_->setObjectName(QStringLiteral("Label30"));
    folderPathLabel_->setFixedHeight(20);
    auto* panelLayout = new QVBoxLayout(folderPanel_);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(folderTree_, 1);
    panelLayout->addWidget(folderPathLabel_);

    auto* listSide = new QWidget;
    listSide->setMinimumWidth(kMinListWidth);
    autoSelectCheck_ = new QCheckBox(QStringLiteral("AutoSelect all files."), listSide);
    autoSelectCheck_->setObjectName(QStringLiteral("autosel"));
    autoSelectCheck_->setToolTip(
        QStringLiteral("Automatically select all DXF files in the directory"));
    fileList_ = new QTreeWidget(listSide);
    fileList_->setObjectName(QStringLiteral("VTFiles"));
    fileList_->setColumnCount(3);
    fileList_->setHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Modified"), QStringLiteral("Size")});
    fileList_->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    fileList_->setRootIsDecorated(false);
    fileList_->setUniformRowHeights(true);
    fileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fileList_->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* header = fileList_->header();
    header->setFixedHeight(25);
    header->setMinimumSectionSize(30);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::AscendingOrder);
    const HeaderLayout design = DesignHeaderLayout();
    const QScopedValueRollback fitting(fittingColumns_, true);
    for (int column = 0; column < kHeaderColumns; ++column)
        header->resizeSection(column, design.Widths[std::size_t(column)]);
    // Names get the room the dates and sizes leave, wherever the columns are moved. Modified
    // and Size fit their text until the user sizes them, and then keep the user's widths.
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (!fittingColumns_ && column > 0 && column < kHeaderColumns)
            userWidths_[std::size_t(column)] = true;
    });
    selectionCountLabel_ = new QLabel(QStringLiteral("Files selected."), listSide);
    selectionCountLabel_->setObjectName(QStringLiteral("Label3"));
    selectionCountLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    selectionCountLabel_->setFixedHeight(20);
    auto* listLayout = new QVBoxLayout(listSide);
    listLayout->setContentsMargins(4, 0, 0, 0);
    listLayout->setSpacing(2);
    listLayout->addWidget(autoSelectCheck_);
    listLayout->addWidget(fileList_, 1);
    listLayout->addWidget(selectionCountLabel_);

    browserSplitter_->addWidget(folderPanel_);
    browserSplitter_->addWidget(listSide);
    // Dragged below the minimum, the tree panel snaps shut.
    browserSplitter_->setCollapsible(0, true);
    browserSplitter_->setCollapsible(1, false);
    browserSplitter_->setStretchFactor(1, 1);
    browserSplitter_->setSizes({kDesignFolderPanelWidth, 400});

    fileListMenu_ = new QMenu(this);
    fileListMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* selectAll = fileListMenu_->addAction(QStringLiteral("Select All"));
    selectAll->setObjectName(QStringLiteral("SelectAll1"));
    QAction* refresh = fileListMenu_->addAction(QStringLiteral("Refresh folder"));
    refresh->setObjectName(QStringLiteral("Refreshfolder1"));

    connect(folderTree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { onFolderChanged(); });
    connect(autoSelectCheck_, &QCheckBox::clicked, this, [this] { onAutoSelectClicked(); });
    connect(header, &QHeaderView::sectionClicked, this, &FilesTab::onFileListHeaderClicked);
    connect(fileList_, &QTreeWidget::itemSelectionChanged, this, &FilesTab::onFileSelectionChanged);
    connect(fileList_, &QTreeWidget::currentItemChanged, this, &FilesTab::CurrentDrawingChanged);
    connect(fileList_, &QTreeWidget::itemDoubleClicked, this, &FilesTab::CurrentDrawingChanged);
    connect(selectAll, &QAction::triggered, this, &FilesTab::onSelectAllFilesClicked);
    connect(refresh, &QAction::triggered, this, &FilesTab::onRefreshClicked);
    // Drawings and folders dropped from a file manager open here.
    fileList_->setAcceptDrops(true);
    fileList_->viewport()->setAcceptDrops(true);
    fileList_->setDragDropMode(QAbstractItemView::DropOnly);
    fileList_->viewport()->installEventFilter(this);
    connect(fileList_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // A right click selects the row under the pointer before the menu opens.
        if (QTreeWidgetItem* item = fileList_->itemAt(at); item && !item->isSelected()) {
            fileList_->clearSelection();
            item->setSelected(true);
        }
        fileListMenu_->popup(fileList_->viewport()->mapToGlobal(at));
    });
    return browserSplitter_;
}

void FilesTab::BuildOutputControls(QWidget* group) {
    auto* layout = new QHBoxLayout(group);
    layout->setContentsMargins(6, 2, 6, 4);
    destinationEdit_ = new QLineEdit(group);
    destinationEdit_->setObjectName(QStringLiteral("Edit1"));
    destinationEdit_->setToolTip(
        QStringLiteral("Data files will be created here. Type or paste a folder, or browse for "
                       "it; a folder that does not exist is created when the run starts."));
    layout->addWidget(destinationEdit_, 1);
    browseButton_ = MakeSmallButton(group, "SpeedButton4", BrowseIcon(),
                                    "Browse disk for Destination Directory ...");
    browseButton_->setEnabled(false);
    unlockButton_ = MakeSmallButton(group, "SpeedButton1", LockIcon(true),
                                    "Makes Destination Directory match Files Directory");
    lockButton_ = MakeSmallButton(group, "SpeedButton2", LockIcon(false),
                                  "Makes Destination Directory match DXF Files Directory");
    unlockButton_->setCheckable(true);
    unlockButton_->setChecked(true);  // the pressed look of the locked state
    lockButton_->hide();
    layout->addWidget(browseButton_);
    layout->addWidget(unlockButton_);
    layout->addWidget(lockButton_);
    auto* extLabel = new QLabel(QStringLiteral("File Extension :"), group);
    extLabel->setObjectName(QStringLiteral("Label12"));
    extLabel->setToolTip(QStringLiteral("File extension for Data files"));
    layout->addWidget(extLabel);
    extensionEdit_ = new QLineEdit(group);
    extensionEdit_->setObjectName(QStringLiteral("Edit12"));
    extensionEdit_->setToolTip(QStringLiteral("File extension for Data files"));
    extensionEdit_->setFixedWidth(34);
    layout->addWidget(extensionEdit_);

    connect(unlockButton_, &QToolButton::clicked, this, &FilesTab::onUnlockDestinationClicked);
    connect(lockButton_, &QToolButton::clicked, this, &FilesTab::onLockDestinationClicked);
    connect(browseButton_, &QToolButton::clicked, this, &FilesTab::onBrowseDestinationClicked);
}

void FilesTab::RestoreSettings() {
    // Step 7: the DXF folder, or the home folder; its files are listed as it is selected.
    const QString dxfPath = settings_.ReadText(SettingName::DxfPath);
    if (!SelectDxfFolder(dxfPath))
        SelectDxfFolder(HomeFolder());
    folderTree_->expand(folderTree_->currentIndex());
    // Step 8: the destination, or the home folder.
    const QString destPath = settings_.ReadText(SettingName::DestPath);
    destinationEdit_->setText(!destPath.isEmpty() && QFileInfo(destPath).isDir() ? destPath
                                                                                 : HomeFolder());
    // Step 9: lock or unlock; either writes the flag back.
    if (settings_.ReadFlag(SettingName::Locked))
        onLockDestinationClicked();
    else
        onUnlockDestinationClicked();
    // Step 10: the header layout; bytes of any other shape give the design layout.
    const QByteArray layout = settings_.ReadBinary(SettingName::FileListHeader);
    RestoreFileListLayout(DecodeHeaderLayout(std::span(
        reinterpret_cast<const std::uint8_t*>(layout.constData()), std::size_t(layout.size()))));
    // Step 11: the folder panel's width; zero keeps it snapped shut.
    const int panel =
        std::max(0, ReadIntText(settings_, SettingName::FolderPanelWidth, kDesignFolderPanelWidth));
    const int total = std::max(browserSplitter_->width(), panel + kMinListWidth);
    browserSplitter_->setSizes({panel, total - panel});
    // Step 12: AutoSelect, as if clicked when it turns on.
    if (settings_.ReadFlag(SettingName::AutoSelect)) {
        autoSelectCheck_->setChecked(true);
        onAutoSelectClicked();
    }
}

HeaderLayout FilesTab::FileListLayout() const {
    const QHeaderView* header = fileList_->header();
    HeaderLayout layout;
    for (int column = 0; column < kHeaderColumns; ++column) {
        layout.Widths[std::size_t(column)] =
            std::clamp(header->sectionSize(column), kMinColumnWidth, kMaxColumnWidth);
        layout.Order[std::size_t(column)] = header->logicalIndex(column);
    }
    layout.SortColumn = int(sortColumn_);
    layout.Ascending = sortAscending_;
    layout.SortedColour = sortedColour_;
    layout.ListColour = listColour_;
    return layout;
}

void FilesTab::RestoreFileListLayout(const HeaderLayout& layout) {
    QHeaderView* header = fileList_->header();
    // Widths other than the design's were chosen by the user, but for the last column's:
    // layouts saved before Name stretched hold there the width the list stretched it to.
    const HeaderLayout design = DesignHeaderLayout();
    for (int column = 1; column < kHeaderColumns; ++column)
        userWidths_[std::size_t(column)] =
            layout.Widths[std::size_t(column)] != design.Widths[std::size_t(column)] &&
            layout.Order[kHeaderColumns - 1] != column;
    {
        const QScopedValueRollback fitting(fittingColumns_, true);
        for (int column = 0; column < kHeaderColumns; ++column)
            header->resizeSection(column, layout.Widths[std::size_t(column)]);
    }
    for (int visual = 0; visual < kHeaderColumns; ++visual)
        header->moveSection(header->visualIndex(layout.Order[std::size_t(visual)]), visual);
    sortColumn_ = static_cast<FileListColumn>(layout.SortColumn);
    sortAscending_ = layout.Ascending;
    sortedColour_ = layout.SortedColour;
    listColour_ = layout.ListColour;
    header->setSortIndicator(layout.SortColumn,
                             sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    FitColumns();
    // The rows listed before the restore follow the restored sort at once.
    if (!rows_.empty())
        onRefreshFolderClicked();
}

QString FilesTab::DxfFolderPath() const {
    return folderTree_->SelectedPath();
}

QString FilesTab::CurrentDrawingPath() const {
    const QTreeWidgetItem* item = fileList_->currentItem();
    const std::size_t index = item != nullptr ? item->data(0, kRowRole).toULongLong() : 0;
    if (item == nullptr || index >= rows_.size())
        return {};
    const DxfFileEntry& row = rows_[index];
    return QFile::decodeName(MakeListEntry(QFile::encodeName(DxfFolderPath()).toStdString(),
                                           row.Name, true, row.Extension)
                                 .DxfPath.c_str());
}

bool FilesTab::SelectDxfFolder(const QString& path) {
    if (!folderTree_->SelectPath(path))
        return false;
    // Selecting the folder already selected lists nothing again, as the tree does.
    return true;
}

void FilesTab::onFolderChanged() {
    // Deselecting before clearing is a change of the selection: the count shows 0.
    if (!fileList_->selectedItems().isEmpty())
        fileList_->clearSelection();
    fileList_->clear();
    rows_.clear();
    const QString path = DxfFolderPath();
    if (!path.contains(QLatin1Char('/')))
        return;  // no file-system path: the list stays empty, the texts stay as they are
    FillFileList(path);
    folderPathLabel_->setText(ShortenPath(path, folderPathLabel_->fontMetrics(),
                                          std::max(folderPathLabel_->width(), 100)));
    if (locked_)
        destinationEdit_->setText(path);
}

void FilesTab::FillFileList(const QString& folder) {
    fileList_->setUpdatesEnabled(false);
    rows_ = ListDxfFiles(QFile::encodeName(folder).toStdString(), LocaleSeparators());
    if (!rows_.empty())
        SortDxfFileEntries(rows_, sortColumn_, sortAscending_);
    ShowRows();
    fileList_->setUpdatesEnabled(true);
    if (!rows_.empty()) {
        fileList_->setCurrentItem(fileList_->topLevelItem(0));
        if (autoSelectCheck_->isChecked())
            fileList_->selectAll();
    }
    // A folder without drawings says so too, and leaves nothing to process.
    onFileSelectionChanged();
}

void FilesTab::FitColumns() {
    QHeaderView* header = fileList_->header();
    const QScopedValueRollback fitting(fittingColumns_, true);
    for (int column = 1; column < kHeaderColumns; ++column) {
        const int before = header->sectionSize(column);
        fileList_->resizeColumnToContents(column);
        // A width the user chose stays, unless the text no longer fits in it.
        if (userWidths_[std::size_t(column)] && before > header->sectionSize(column))
            header->resizeSection(column, before);
    }
}

void FilesTab::ShowRows() {
    const QSignalBlocker quiet(fileList_);  // rows appear unselected; the caller selects
    fileList_->clear();
    static const QIcon dxfIcon = Images::Tab(0);
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(rows_.size()));
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const DxfFileEntry& row = rows_[i];
        auto* item = new QTreeWidgetItem;
        item->setText(0, QFile::decodeName(QByteArray::fromStdString(row.Name)));
        item->setIcon(0, dxfIcon);
        item->setText(1, QString::fromStdString(row.DateText));
        item->setText(2, QString::fromStdString(row.SizeText));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, kRowRole, qulonglong(i));
        for (int column = 0; column < 3; ++column)
            item->setToolTip(column, item->text(column));
        for (int column = 0; column < 3; ++column) {
            const std::uint32_t rgb = column == int(sortColumn_) ? sortedColour_ : listColour_;
            if (rgb != 0xFFFFFF)  // white is the list's own colour: left to the style
                item->setBackground(column, QColor(QRgb(rgb)));
        }
        items << item;
    }
    fileList_->addTopLevelItems(items);
    FitColumns();
}

namespace {

// The local paths of a drag that the file list can take: folders, and drawings (".dxf" in any
// letter case).
QStringList DroppablePaths(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr)
        return paths;
    for (const QUrl& url : data->urls()) {
        const QFileInfo info(url.toLocalFile());
        if (url.isLocalFile() &&
            (info.isDir() || (info.isFile() && info.suffix().compare(QLatin1String("dxf"),
                                                                     Qt::CaseInsensitive) == 0)))
            paths << info.absoluteFilePath();
    }
    return paths;
}

}  // namespace

bool FilesTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched != fileList_->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!running_ && !DroppablePaths(drag->mimeData()).isEmpty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (OpenDroppedPaths(DroppablePaths(drop->mimeData())))
            drop->acceptProposedAction();
        return true;
    }
    default: return QWidget::eventFilter(watched, event);
    }
}

bool FilesTab::OpenDroppedPaths(const QStringList& paths) {
    if (running_ || paths.isEmpty())
        return false;
    // The first path decides the folder: a folder is opened; a drawing opens its own folder,
    // where the drawings dropped with it are selected.
    const QFileInfo first(paths.first());
    const QString folder = first.isDir() ? first.absoluteFilePath() : first.absolutePath();
    QStringList names;
    if (!first.isDir())
        for (const QString& path : paths)
            if (const QFileInfo info(path); !info.isDir() && info.absolutePath() == folder)
                names << info.fileName();
    if (QDir(DxfFolderPath()) == QDir(folder))
        onRefreshFolderClicked();  // drawings may have come since the folder was listed
    else if (!SelectDxfFolder(folder))
        return false;
    if (names.isEmpty())
        return true;
    fileList_->clearSelection();
    QTreeWidgetItem* firstSelected = nullptr;
    for (int i = 0; i < fileList_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = fileList_->topLevelItem(i);
        const DxfFileEntry& row = rows_[item->data(0, kRowRole).toULongLong()];
        const QString name =
            QFile::decodeName(QByteArray::fromStdString(row.Name + "." + row.Extension));
        if (names.contains(name)) {
            item->setSelected(true);
            if (firstSelected == nullptr)
                firstSelected = item;
        }
    }
    if (firstSelected != nullptr) {
        fileList_->setCurrentItem(firstSelected, 0, QItemSelectionModel::NoUpdate);
        fileList_->scrollToItem(firstSelected);
    }
    onFileSelectionChanged();
    return true;
}

void FilesTab::onRefreshFolderClicked() {
    if (!fileList_->selectedItems().isEmpty())
        fileList_->clearSelection();
    fileList_->clear();
    rows_.clear();
    FillFileList(DxfFolderPath());
}

void FilesTab::onRefreshClicked() {
    const QString before = DxfFolderPath();
    folderTree_->RelistAll();
    if (DxfFolderPath() == before)  // else the new folder's files are listed already
        onRefreshFolderClicked();
}

void FilesTab::onSelectAllFilesClicked() {
    fileList_->selectAll();
}

void FilesTab::onAutoSelectClicked() {
    if (autoSelectCheck_->isChecked())
        fileList_->selectAll();
    fileList_->setFocus();
    onFileSelectionChanged();
    settings_.WriteFlag(SettingName::AutoSelect, autoSelectCheck_->isChecked());
}

void FilesTab::onFileListHeaderClicked(int column) {
    if (column < 0 || column > 2)
        return;
    // Every click reverses the direction, on the same column or another one.
    sortAscending_ = !sortAscending_;
    sortColumn_ = static_cast<FileListColumn>(column);
    // Keep the selection with its rows while they move.
    std::vector<bool> selected(rows_.size(), false);
    for (QTreeWidgetItem* item : fileList_->selectedItems())
        selected[item->data(0, kRowRole).toULongLong()] = true;
    std::vector<std::pair<DxfFileEntry, bool>> paired;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        paired.emplace_back(std::move(rows_[i]), selected[i]);
    std::stable_sort(paired.begin(), paired.end(), [&](const auto& a, const auto& b) {
        const int c = CompareDxfFileEntries(a.first, b.first, sortColumn_);
        return sortAscending_ ? c < 0 : c > 0;
    });
    rows_.clear();
    for (auto& [row, on] : paired)
        rows_.push_back(std::move(row));
    ShowRows();
    {
        const QSignalBlocker quiet(fileList_);
        for (std::size_t i = 0; i < paired.size(); ++i)
            fileList_->topLevelItem(int(i))->setSelected(paired[i].second);
    }
    fileList_->header()->setSortIndicator(column, sortAscending_ ? Qt::AscendingOrder
                                                                 : Qt::DescendingOrder);
    onFileSelectionChanged();
    fileList_->setFocus();
}

void FilesTab::onFileSelectionChanged() {
    const auto count = fileList_->selectedItems().size();
    selectionCountLabel_->setText(QString::fromStdString(SelectionCountText(count)));
    emit SelectionChanged();
}

int FilesTab::SelectedCount() const {
    return int(fileList_->selectedItems().size());
}

void FilesTab::BindCommands(QAction* process, QAction* exit, QAction* stop) {
    BindButton(processButton_, process);
    // " Exit" asks the same way the title-bar close does: through the window's exit sequence.
    BindButton(exitButton_, exit);
    progressWindow_->BindStop(stop);
}

void FilesTab::SetRunning(bool running) {
    const bool idle = !running;
    // A disabled group disables its children and gives them back their own state after, so
    // the rules that enable single fields (the destination lock) keep working under it.
    for (QWidget* group : {filesGroup_, outputGroup_})
        group->setEnabled(idle);
}

void FilesTab::onLockDestinationClicked() {
    locked_ = true;
    settings_.WriteFlag(SettingName::Locked, true);
    unlockButton_->show();
    unlockButton_->setChecked(true);
    lockButton_->hide();
    browseButton_->setEnabled(false);
    destinationEdit_->setText(DxfFolderPath());
    destinationEdit_->setEnabled(false);
    QPalette palette = destinationEdit_->palette();
    palette.setColor(QPalette::Base, QToolTip::palette().color(QPalette::ToolTipBase));
    destinationEdit_->setPalette(palette);
}

void FilesTab::onUnlockDestinationClicked() {
    locked_ = false;
    settings_.WriteFlag(SettingName::Locked, false);
    unlockButton_->hide();
    lockButton_->show();
    browseButton_->setEnabled(true);
    destinationEdit_->setEnabled(true);
    QPalette palette = destinationEdit_->palette();
    palette.setColor(QPalette::Base, Qt::white);
    destinationEdit_->setPalette(palette);
}

void FilesTab::onBrowseDestinationClicked() {
    // The chooser opens at the destination, or at the nearest folder above it that exists.
    QString at = ResolveDestination(destinationEdit_->text(), DxfFolderPath());
    while (!at.isEmpty() && !QFileInfo(at).isDir()) {
        const QString up = QFileInfo(at).path();
        at = up == at ? QString() : up;
    }
    if (!at.isEmpty())
        destinationChooser_->SelectPath(at);
    if (destinationChooser_->exec() == QDialog::Accepted)
        destinationEdit_->setText(destinationChooser_->SelectedPath());
}

void FilesTab::onProcessClicked() {
    if (running_)
        return;  // one run at a time: the Process button is pressed again during a run
    const RunConfiguration configuration = configurationSource_();
    RunCheck check =
        CheckRunRequest(configuration.Config, extensionEdit_->text().toLatin1().toStdString(),
                        configuration.FieldSeparatorText.toLatin1().toStdString(),
                        configuration.EntityTree, configuration.DataTree);
    if (!check.Ok()) {
        dialogs_.ShowMessage(window(), MessageKind::Information,
                             QString::fromLatin1(check.Message));
        if (check.Focus == RunFocus::ExtensionField)
            extensionEdit_->setFocus();
        return;
    }

    RunRequest request;
    const std::string dxfFolder = QFile::encodeName(DxfFolderPath()).toStdString();
    for (int i = 0; i < fileList_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = fileList_->topLevelItem(i);
        const DxfFileEntry& row = rows_[item->data(0, kRowRole).toULongLong()];
        request.Entries.push_back(
            MakeListEntry(dxfFolder, row.Name, item->isSelected(), row.Extension));
    }
    // A typed or pasted destination is made when missing, as the command line does.
    const QString destination = ResolveDestination(destinationEdit_->text(), DxfFolderPath());
    if (destination.isEmpty()) {
        dialogs_.ShowMessage(window(), MessageKind::Information,
                             QStringLiteral("  Please, enter the destination directory of the "
                                            "Data files.  "));
        destinationEdit_->setFocus();
        return;
    }
    if (const QString reason = MakeDestination(destination); !reason.isEmpty()) {
        dialogs_.ShowMessage(window(), MessageKind::Error, DestinationRefusal(destination, reason));
        return;
    }
    request.DestFolder = QFile::encodeName(destination).toStdString();
    // The field shows the folder the Data files go to, as the settings will keep it.
    if (!locked_ && destinationEdit_->text() != QDir::toNativeSeparators(destination))
        destinationEdit_->setText(QDir::toNativeSeparators(destination));
    const QLocale locale = QLocale::system();
    request.DateTimeText =
        (locale.toString(QDate::currentDate(), QLocale::ShortFormat) + QLatin1Char(' ') +
         locale.toString(QTime::currentTime(), QLocale::LongFormat))
            .toLocal8Bit()
            .toStdString();
    request.LogPath = QFile::encodeName(paths_.LogFilePath).toStdString();
    request.KeepGoing = configuration.KeepGoing;

    int selected = 0;
    for (const RunEntry& entry : request.Entries)
        selected += entry.Selected ? 1 : 0;
    lastDestination_ = destination;
    progressWindow_->SetFileCount(selected);

    summary_->hide();  // the last run's numbers would be read as this one's
    running_ = true;
    exitAfterRun_ = false;
    emit RunningChanged();
    QElapsedTimer clock;
    clock.start();
    RunResult result;
    {
        // The controls come back however the run ends, an exception included.
        struct EndOfRun {
            FilesTab* tab;
            ~EndOfRun() {
                tab->running_ = false;
                tab->progressWindow_->hide();
                emit tab->RunningChanged();
            }
        } endOfRun{this};
        result = ProcessSelectedFiles(configuration.Config, check.DataOrder, check.SelectedKinds,
                                      counters_, cancelRequested_, progressWindow_, request);
    }
    const qint64 elapsed = clock.elapsed();

    // The user closed the window during the run and chose to stop it: the exit goes on now,
    // unless the exit sequence itself is turned down (the unsaved-configuration question).
    if (exitAfterRun_) {
        exitAfterRun_ = false;
        if (window()->close())
            return;
    }

    if (result.Status == RunStatus::DestinationNotWritable) {
        dialogs_.ShowMessage(window(), MessageKind::Error,
                             DestinationRefusal(destination, WriteRefusalReason(destination)));
        return;
    }

    // A run that wrote no log keeps its report here, so it is not mistaken for the older
    // log on disk.
    heldReport_.clear();
    if (result.Status == RunStatus::Failed) {
        heldReport_ =
            QString::fromLocal8Bit(result.Report.LogText()) +
            QStringLiteral("  *** Error, %1 ***\r\n").arg(QString::fromLocal8Bit(result.Message));
        heldReportCaption_ = QStringLiteral(
            "The report of the last run, which ended on an error: such a run writes no log "
            "file, so the log file still holds an earlier run's report.");
    } else if (!result.LogError.empty()) {
        heldReport_ = QString::fromLocal8Bit(result.Report.LogText());
        heldReportCaption_ = QStringLiteral("The report of the last run: %1")
                                 .arg(QString::fromLocal8Bit(result.LogError));
    }

    RunSummary summary;
    summary.End = result.Status == RunStatus::Failed ? RunSummary::Ending::Error
                  : result.Canceled                  ? RunSummary::Ending::Stopped
                                                     : RunSummary::Ending::Finished;
    summary.SelectedFiles = selected;
    summary.FilesConverted = result.FilesConverted;
    summary.RecordsWritten = result.RecordsWritten;
    for (const FileReport& file : result.Files)
        if (file.Outcome == FileReport::Status::NotRead ||
            file.Outcome == FileReport::Status::Failed)
            summary.Failures.push_back(
                {QString::fromLocal8Bit(file.DxfPath), QString::fromLocal8Bit(file.Reason)});
    summary.Remarks = ConvertedFileRemarks(result.Files);
    // As written, texts keep the drawing's code page: say so when a Data file is not UTF-8.
    if (configuration.Config.Text == TextMode::AsWritten)
        for (const FileReport& file : result.Files)
            if (file.Outcome == FileReport::Status::Converted &&
                HoldsOtherThanUtf8(QFile::decodeName(QByteArray::fromStdString(file.DataPath))))
                ++summary.NotUtf8Files;
    summary.ElapsedMs = elapsed;
    summary.LogWritten = result.Status == RunStatus::Done && result.LogError.empty();
    summary.ReportHeld = !heldReport_.isEmpty();
    summary_->ShowSummary(summary);
    emit SummaryShown();

    if (result.Status == RunStatus::Failed) {
        QString text = QString::fromLocal8Bit(result.Message);
        const int notProcessed = selected - result.ProcessedFiles;
        if (notProcessed > 0)
            text += QStringLiteral("\n\n%1 of the %2 selected files %3 not processed.")
                        .arg(notProcessed)
                        .arg(selected)
                        .arg(notProcessed == 1 ? QStringLiteral("was") : QStringLiteral("were"));
        dialogs_.ShowMessage(window(), MessageKind::Error, text);
        return;
    }
    if (!result.LogError.empty()) {
        dialogs_.ShowMessage(window(), MessageKind::Error, QString::fromLocal8Bit(result.LogError));
        return;
    }
    emit LogReady();
}

void FilesTab::onShowLogClicked() {
    // After a run that wrote no log, its own report, not the older log on disk.
    if (!heldReport_.isEmpty() || QFileInfo::exists(paths_.LogFilePath)) {
        OpenRunReport();
        return;
    }
    dialogs_.ShowMessage(window(), MessageKind::Information,
                         QStringLiteral("  Error. Log file \"QuarrowLog.txt\" does not exist "));
}

void FilesTab::OpenLog() {
    if (dialogs_.OpenInEditor(paths_.LogFilePath))
        return;
    // No viewer could be launched (none installed, or no desktop to ask): show it here.
    if (!logViewer_)
        logViewer_ = new LogViewer(window());
    logViewer_->ShowFile(paths_.LogFilePath);
    logViewer_->show();
    logViewer_->raise();
    logViewer_->activateWindow();
}

void FilesTab::OpenRunReport() {
    if (heldReport_.isEmpty()) {
        OpenLog();
        return;
    }
    if (!logViewer_)
        logViewer_ = new LogViewer(window());
    logViewer_->ShowReport(heldReportCaption_, heldReport_);
    logViewer_->show();
    logViewer_->raise();
    logViewer_->activateWindow();
}

void FilesTab::OpenDestination() {
    if (dialogs_.OpenFolder(lastDestination_))
        return;
    dialogs_.ShowMessage(window(), MessageKind::Information,
                         QStringLiteral("No file manager could be opened. The Data files are "
                                        "in this folder:\n\n%1")
                             .arg(QDir::toNativeSeparators(lastDestination_)));
}

void FilesTab::RequestStop() {
    if (running_)
        cancelRequested_.store(true, std::memory_order_relaxed);
}

void FilesTab::StopForExit() {
    exitAfterRun_ = true;
    cancelRequested_.store(true, std::memory_order_relaxed);
}

QString FilesTab::DestinationPath() const {
    return destinationEdit_->text();
}

int FilesTab::FolderPanelWidth() const {
    return browserSplitter_->sizes().value(0);
}

}  // namespace quarrow
