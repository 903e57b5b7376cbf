// The "DXF Files" tab of the main window: the folder tree, the file list, the destination with
// its lock, the processing run with its progress window and log, and the exit sequence. The
// rules without pixels (listing, sizes, dates, sorts, the run) live in engine/.

#include <QApplication>
#include <algorithm>
#include <span>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSplitter>
#include <QTime>
#include <QToolTip>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/SettingsStore.h"
#include "engine/ProcessingRun.h"
#include "ui/FolderTree.h"
#include "ui/Images.h"
#include "ui/LogViewer.h"
#include "ui/RunSummaryPanel.h"
#include "ui/TForm1.h"
#include "ui/TForm2.h"
#include "ui/TForm3.h"
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

} // namespace

QWidget* TForm1::BuildFileBrowser() {
    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(2);
    Splitter1->setOpaqueResize(true);
    Splitter1->setStyleSheet(QStringLiteral("QSplitter::handle { background: rgb(167,167,167); }"));

    Panel4 = new QWidget;
    Panel4->setObjectName(QStringLiteral("Panel4"));
    sh1Model_ = MakeFolderModel(this);
    sh1 = MakeFolderTree(sh1Model_, Panel4);
    sh1->setObjectName(QStringLiteral("sh1"));
    sh1->setContextMenuPolicy(Qt::PreventContextMenu);
    Label30 = new QLabel(Panel4);
    Label30->setObjectName(QStringLiteral("Label30"));
    Label30->setFixedHeight(20);
    auto* panelLayout = new QVBoxLayout(Panel4);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    panelLayout->addWidget(sh1, 1);
    panelLayout->addWidget(Label30);

    auto* listSide = new QWidget;
    listSide->setMinimumWidth(kMinListWidth);
    autosel = new QCheckBox(QStringLiteral("AutoSelect all files."), listSide);
    autosel->setObjectName(QStringLiteral("autosel"));
    autosel->setToolTip(QStringLiteral("Automatically select all DXF files in the directory"));
    VTFiles = new QTreeWidget(listSide);
    VTFiles->setObjectName(QStringLiteral("VTFiles"));
    VTFiles->setColumnCount(3);
    VTFiles->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Modified"),
                              QStringLiteral("Size")});
    VTFiles->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    VTFiles->setRootIsDecorated(false);
    VTFiles->setUniformRowHeights(true);
    VTFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    VTFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VTFiles->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* header = VTFiles->header();
    header->setFixedHeight(25);
    header->setMinimumSectionSize(30);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::AscendingOrder);
    const HeaderLayout design = DesignHeaderLayout();
    for (int column = 0; column < kHeaderColumns; ++column)
        header->resizeSection(column, design.Widths[std::size_t(column)]);
    Label3 = new QLabel(QStringLiteral("Files selected."), listSide);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label3->setFixedHeight(20);
    auto* listLayout = new QVBoxLayout(listSide);
    listLayout->setContentsMargins(4, 0, 0, 0);
    listLayout->setSpacing(2);
    listLayout->addWidget(autosel);
    listLayout->addWidget(VTFiles, 1);
    listLayout->addWidget(Label3);

    Splitter1->addWidget(Panel4);
    Splitter1->addWidget(listSide);
    Splitter1->setCollapsible(0, true);  // dragged below the minimum, the tree panel snaps shut
    Splitter1->setCollapsible(1, false);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kDesignFolderPanelWidth, 400});

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* selectAll = PopupMenu1->addAction(QStringLiteral("Select All"));
    selectAll->setObjectName(QStringLiteral("SelectAll1"));
    QAction* refresh = PopupMenu1->addAction(QStringLiteral("Refresh folder"));
    refresh->setObjectName(QStringLiteral("Refreshfolder1"));

    connect(sh1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { sh1Change(); });
    connect(autosel, &QCheckBox::clicked, this, [this] { autoselClick(); });
    connect(header, &QHeaderView::sectionClicked, this, &TForm1::VTFilesHeaderClick);
    connect(VTFiles, &QTreeWidget::itemSelectionChanged, this, &TForm1::VTFilesStateChange);
    connect(selectAll, &QAction::triggered, this, &TForm1::SelectAll1Click);
    connect(refresh, &QAction::triggered, this, &TForm1::Refreshfolder1Click);
    connect(VTFiles, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // A right click selects the row under the pointer before the menu opens.
        if (QTreeWidgetItem* item = VTFiles->itemAt(at); item && !item->isSelected()) {
            VTFiles->clearSelection();
            item->setSelected(true);
        }
        PopupMenu1->popup(VTFiles->viewport()->mapToGlobal(at));
    });
    return Splitter1;
}

void TForm1::BuildOutputControls(QWidget* group) {
    auto* layout = new QHBoxLayout(group);
    layout->setContentsMargins(6, 2, 6, 4);
    Edit1 = new QLineEdit(group);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);  // the destination is chosen, never typed
    Edit1->setToolTip(QStringLiteral("Data files will be created here."));
    layout->addWidget(Edit1, 1);
    SpeedButton4 = MakeSmallButton(group, "SpeedButton4", BrowseIcon(),
                                   "Browse disk for Destination Directory ...");
    SpeedButton4->setEnabled(false);
    SpeedButton1 = MakeSmallButton(group, "SpeedButton1", LockIcon(true),
                                   "Makes Destination Directory match Files Directory");
    SpeedButton2 = MakeSmallButton(group, "SpeedButton2", LockIcon(false),
                                   "Makes Destination Directory match DXF Files Directory");
    SpeedButton1->setCheckable(true);
    SpeedButton1->setChecked(true);  // the pressed look of the locked state
    SpeedButton2->hide();
    layout->addWidget(SpeedButton4);
    layout->addWidget(SpeedButton1);
    layout->addWidget(SpeedButton2);
    auto* extLabel = new QLabel(QStringLiteral("File Extension :"), group);
    extLabel->setObjectName(QStringLiteral("Label12"));
    extLabel->setToolTip(QStringLiteral("File extension for Data files"));
    layout->addWidget(extLabel);
    Edit12 = new QLineEdit(group);
    Edit12->setObjectName(QStringLiteral("Edit12"));
    Edit12->setToolTip(QStringLiteral("File extension for Data files"));
    Edit12->setFixedWidth(34);
    layout->addWidget(Edit12);

    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
}

void TForm1::RestoreBrowserSettings() {
    // Step 7: the DXF folder, or the home folder; its files are listed as it is selected.
    const QString dxfPath = settings_.ReadText(SettingName::DxfPath);
    if (!SelectDxfFolder(dxfPath))
        SelectDxfFolder(HomeFolder());
    sh1->expand(sh1->currentIndex());
    // Step 8: the destination, or the home folder.
    const QString destPath = settings_.ReadText(SettingName::DestPath);
    Edit1->setText(!destPath.isEmpty() && QFileInfo(destPath).isDir() ? destPath : HomeFolder());
    // Step 9: lock or unlock; either writes the flag back.
    if (settings_.ReadFlag(SettingName::Locked))
        SpeedButton2Click();
    else
        SpeedButton1Click();
    // Step 10: the header layout; bytes of any other shape give the design layout.
    const QByteArray layout = settings_.ReadBinary(SettingName::FileListHeader);
    RestoreVTFilesLayout(DecodeHeaderLayout(std::span(
        reinterpret_cast<const std::uint8_t*>(layout.constData()), std::size_t(layout.size()))));
    // Step 11: the folder panel's width; zero keeps it snapped shut.
    const int panel = std::max(0, ReadIntText(settings_, SettingName::FolderPanelWidth,
                                              kDesignFolderPanelWidth));
    const int total = std::max(Splitter1->width(), panel + kMinListWidth);
    Splitter1->setSizes({panel, total - panel});
    // Step 12: AutoSelect, as if clicked when it turns on.
    if (settings_.ReadFlag(SettingName::AutoSelect)) {
        autosel->setChecked(true);
        autoselClick();
    }
}

HeaderLayout TForm1::VTFilesLayout() const {
    const QHeaderView* header = VTFiles->header();
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

void TForm1::RestoreVTFilesLayout(const HeaderLayout& layout) {
    QHeaderView* header = VTFiles->header();
    for (int column = 0; column < kHeaderColumns; ++column)
        header->resizeSection(column, layout.Widths[std::size_t(column)]);
    for (int visual = 0; visual < kHeaderColumns; ++visual)
        header->moveSection(header->visualIndex(layout.Order[std::size_t(visual)]), visual);
    sortColumn_ = static_cast<FileListColumn>(layout.SortColumn);
    sortAscending_ = layout.Ascending;
    sortedColour_ = layout.SortedColour;
    listColour_ = layout.ListColour;
    header->setSortIndicator(layout.SortColumn,
                             sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    // The rows listed before the restore follow the restored sort at once.
    if (!rows_.empty())
        Refreshfolder1Click();
}

QString TForm1::DxfFolderPath() const {
    return FolderPathOf(sh1Model_, sh1->currentIndex());
}

bool TForm1::SelectDxfFolder(const QString& path) {
    if (!SelectFolder(sh1Model_, sh1, path))
        return false;
    // Selecting the folder already selected lists nothing again, as the tree does.
    return true;
}

void TForm1::sh1Change() {
    // Deselecting before clearing is a change of the selection: the count shows 0.
    if (!VTFiles->selectedItems().isEmpty())
        VTFiles->clearSelection();
    VTFiles->clear();
    rows_.clear();
    const QString path = DxfFolderPath();
    if (!path.contains(QLatin1Char('/')))
        return;  // no file-system path: the list stays empty, the texts stay as they are
    FillFileList(path);
    Label30->setText(ShortenPath(path, Label30->fontMetrics(), std::max(Label30->width(), 100)));
    if (locked_)
        Edit1->setText(path);
}

void TForm1::FillFileList(const QString& folder) {
    VTFiles->setUpdatesEnabled(false);
    rows_ = ListDxfFiles(QFile::encodeName(folder).toStdString(), LocaleSeparators());
    if (!rows_.empty())
        SortDxfFileEntries(rows_, sortColumn_, sortAscending_);
    ShowRows();
    VTFiles->setUpdatesEnabled(true);
    if (rows_.empty())
        return;
    VTFiles->setCurrentItem(VTFiles->topLevelItem(0));
    if (autosel->isChecked())
        VTFiles->selectAll();
    VTFilesStateChange();
}

void TForm1::ShowRows() {
    const QSignalBlocker quiet(VTFiles);  // rows appear unselected; the caller selects
    VTFiles->clear();
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
            const std::uint32_t rgb =
                column == int(sortColumn_) ? sortedColour_ : listColour_;
            if (rgb != 0xFFFFFF)  // white is the list's own colour: left to the style
                item->setBackground(column, QColor(QRgb(rgb)));
        }
        items << item;
    }
    VTFiles->addTopLevelItems(items);
}

void TForm1::Refreshfolder1Click() {
    if (!VTFiles->selectedItems().isEmpty())
        VTFiles->clearSelection();
    VTFiles->clear();
    rows_.clear();
    FillFileList(DxfFolderPath());
}

void TForm1::SelectAll1Click() {
    VTFiles->selectAll();
}

void TForm1::autoselClick() {
    if (autosel->isChecked())
        VTFiles->selectAll();
    VTFiles->setFocus();
    VTFilesStateChange();
    settings_.WriteFlag(SettingName::AutoSelect, autosel->isChecked());
}

void TForm1::VTFilesHeaderClick(int column) {
    if (column < 0 || column > 2)
        return;
    // Every click reverses the direction, on the same column or another one.
    sortAscending_ = !sortAscending_;
    sortColumn_ = static_cast<FileListColumn>(column);
    // Keep the selection with its rows while they move.
    std::vector<bool> selected(rows_.size(), false);
    for (QTreeWidgetItem* item : VTFiles->selectedItems())
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
        const QSignalBlocker quiet(VTFiles);
        for (std::size_t i = 0; i < paired.size(); ++i)
            VTFiles->topLevelItem(int(i))->setSelected(paired[i].second);
    }
    VTFiles->header()->setSortIndicator(column,
                                        sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    VTFilesStateChange();
    VTFiles->setFocus();
}

void TForm1::VTFilesStateChange() {
    if (VTFiles->topLevelItemCount() == 0)
        return;
    const auto count = VTFiles->selectedItems().size();
    Label3->setText(QString::fromStdString(SelectionCountText(count)));
    btprocess->setEnabled(count > 0 && !running_);
}

void TForm1::ApplyRunState() {
    const bool idle = !running_;
    // A disabled group disables its children and gives them back their own state after, so
    // the rules that enable single fields (block names, separator, move buttons, the
    // destination lock) keep working under it.
    for (QWidget* group : {GroupBox1, GroupBox2, GroupBox3, GroupBox4, GroupBox6})
        group->setEnabled(idle);
    btload->setEnabled(idle);
    btsave->setEnabled(idle);
    btprocess->setEnabled(idle && !VTFiles->selectedItems().isEmpty());
}

void TForm1::SpeedButton2Click() {
    locked_ = true;
    settings_.WriteFlag(SettingName::Locked, true);
    SpeedButton1->show();
    SpeedButton1->setChecked(true);
    SpeedButton2->hide();
    SpeedButton4->setEnabled(false);
    Edit1->setText(DxfFolderPath());
    Edit1->setEnabled(false);
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Base, QToolTip::palette().color(QPalette::ToolTipBase));
    Edit1->setPalette(palette);
}

void TForm1::SpeedButton1Click() {
    locked_ = false;
    settings_.WriteFlag(SettingName::Locked, false);
    SpeedButton1->hide();
    SpeedButton2->show();
    SpeedButton4->setEnabled(true);
    Edit1->setEnabled(true);
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Base, Qt::white);
    Edit1->setPalette(palette);
}

void TForm1::SpeedButton4Click() {
    if (form3_->exec() == QDialog::Accepted)
        Edit1->setText(form3_->SelectedPath());
}

void TForm1::btprocessClick() {
    if (running_)
        return;  // one run at a time: the Process button is pressed again during a run
    RunCheck check = CheckRunRequest(state_.Config, Edit12->text().toLatin1().toStdString(),
                                     EdFieldSep->text().toLatin1().toStdString(), entityTree_,
                                     dataTree_);
    if (!check.Ok()) {
        dialogs_.ShowMessage(this, MessageKind::Information,
                             QString::fromLatin1(check.Message));
        if (check.Focus == RunFocus::ExtensionField)
            Edit12->setFocus();
        return;
    }

    RunRequest request;
    const std::string dxfFolder = QFile::encodeName(DxfFolderPath()).toStdString();
    for (int i = 0; i < VTFiles->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = VTFiles->topLevelItem(i);
        const DxfFileEntry& row = rows_[item->data(0, kRowRole).toULongLong()];
        request.Entries.push_back(
            MakeListEntry(dxfFolder, row.Name, item->isSelected(), row.Extension));
    }
    request.DestFolder = QFile::encodeName(Edit1->text()).toStdString();
    const QLocale locale = QLocale::system();
    request.DateTimeText = (locale.toString(QDate::currentDate(), QLocale::ShortFormat) +
                            QLatin1Char(' ') +
                            locale.toString(QTime::currentTime(), QLocale::LongFormat))
                               .toLocal8Bit()
                               .toStdString();
    request.LogPath = QFile::encodeName(paths_.LogFilePath).toStdString();

    int selected = 0;
    for (const RunEntry& entry : request.Entries)
        selected += entry.Selected ? 1 : 0;
    lastDestination_ = Edit1->text();

    summary_->hide();  // the last run's numbers would be read as this one's
    running_ = true;
    exitAfterRun_ = false;
    ApplyRunState();
    QElapsedTimer clock;
    clock.start();
    RunResult result;
    {
        // The controls come back however the run ends, an exception included.
        struct EndOfRun {
            TForm1* form;
            ~EndOfRun() {
                form->running_ = false;
                form->form2_->hide();
                form->ApplyRunState();
            }
        } endOfRun{this};
        result = ProcessSelectedFiles(state_.Config, check.DataOrder, check.SelectedKinds,
                                      counters_, cancelRequested_, form2_, request);
    }
    const qint64 elapsed = clock.elapsed();

    // The user closed the window during the run and chose to stop it: the exit goes on now,
    // unless the exit sequence itself is turned down (the unsaved-configuration question).
    if (exitAfterRun_) {
        exitAfterRun_ = false;
        if (close())
            return;
    }

    if (result.Status == RunStatus::DestinationNotWritable) {
        dialogs_.ShowMessage(this, MessageKind::Error, QString::fromLocal8Bit(result.Message));
        return;
    }

    RunSummary summary;
    summary.End = result.Status == RunStatus::Failed ? RunSummary::Ending::Error
                  : result.Canceled                  ? RunSummary::Ending::Stopped
                                                     : RunSummary::Ending::Finished;
    summary.SelectedFiles = selected;
    summary.FilesConverted = result.FilesConverted;
    summary.RecordsWritten = result.RecordsWritten;
    for (const FileFailure& failure : result.Failures)
        summary.Failures.push_back({QString::fromLocal8Bit(failure.DxfPath),
                                    QString::fromLocal8Bit(failure.Reason)});
    summary.ElapsedMs = elapsed;
    summary.LogWritten = result.Status == RunStatus::Done && result.LogError.empty();
    summary_->ShowSummary(summary);
    PageControl1->setCurrentIndex(0);  // the summary is on the "DXF Files" tab

    if (result.Status == RunStatus::Failed) {
        QString text = QString::fromLocal8Bit(result.Message);
        const int notProcessed = selected - result.ProcessedFiles;
        if (notProcessed > 0)
            text += QStringLiteral("\n\n%1 of the %2 selected files %3 not processed.")
                        .arg(notProcessed)
                        .arg(selected)
                        .arg(notProcessed == 1 ? QStringLiteral("was") : QStringLiteral("were"));
        dialogs_.ShowMessage(this, MessageKind::Error, text);
        return;
    }
    if (!result.LogError.empty()) {
        dialogs_.ShowMessage(this, MessageKind::Error, QString::fromLocal8Bit(result.LogError));
        return;
    }
    if (showReport_)
        OpenLog();
}

void TForm1::ToolButton2Click() {
    if (QFileInfo::exists(paths_.LogFilePath)) {
        OpenLog();
        return;
    }
    dialogs_.ShowMessage(this, MessageKind::Information,
                         QStringLiteral("  Error. Log file \"QuarrowLog.txt\" does not exist "));
}

void TForm1::OpenLog() {
    if (dialogs_.OpenInEditor(paths_.LogFilePath))
        return;
    // No viewer could be launched (none installed, or no desktop to ask): show it here.
    if (!logViewer_)
        logViewer_ = new LogViewer(this);
    logViewer_->ShowFile(paths_.LogFilePath);
    logViewer_->show();
    logViewer_->raise();
    logViewer_->activateWindow();
}

void TForm1::OpenDestination() {
    if (dialogs_.OpenFolder(lastDestination_))
        return;
    dialogs_.ShowMessage(this, MessageKind::Information,
                         QStringLiteral("No file manager could be opened. The Data files are "
                                        "in this folder:\n\n%1")
                             .arg(QDir::toNativeSeparators(lastDestination_)));
}

bool TForm1::btexitClick() {
    if (running_)
        return false;  // the run ends first, through Stop or by itself
    if (IsConfigChanged(state_)) {
        const Answer answer = dialogs_.AskYesNoCancel(
            this, QStringLiteral("Current configuration has changed, do you want to save it ?"));
        if (answer == Answer::Cancel)
            return false;
        if (answer == Answer::Yes && !btsaveClick())
            return false;
    }
    settings_.WriteText(SettingName::DxfPath, DxfFolderPath());
    settings_.WriteText(SettingName::DestPath, Edit1->text());
    settings_.WriteText(SettingName::Width, QString::number(frameGeometry().width()));
    settings_.WriteText(SettingName::Height, QString::number(frameGeometry().height()));
    settings_.WriteText(SettingName::FolderPanelWidth, QString::number(Splitter1->sizes().value(0)));
    const std::vector<std::uint8_t> layout = EncodeHeaderLayout(VTFilesLayout());
    settings_.WriteBinary(SettingName::FileListHeader,
                          QByteArray(reinterpret_cast<const char*>(layout.data()),
                                     qsizetype(layout.size())));
    return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (running_ && !exiting_) {
        // The run is on this thread's stack: the window stays until it has returned, and the
        // exit sequence goes on from there (btprocessClick).
        event->ignore();
        if (exitAfterRun_)
            return;  // already asked, the run is stopping
        const Answer answer = dialogs_.AskYesNo(
            this, QStringLiteral("A run is in progress. Stop it and exit Quarrow?\n\n"
                                 "Data files already written are kept."));
        if (answer == Answer::Yes && running_) {
            exitAfterRun_ = true;
            cancelRequested_.store(true, std::memory_order_relaxed);
        }
        return;
    }
    // Every close of the main window goes through the exit sequence.
    if (exiting_ || btexitClick()) {
        exiting_ = true;
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace quarrow
