#pragma once
// Beside the configuration: the header and the first records of the drawing selected on the
// "DXF Files" tab, as the Data file would hold them, and their points in plan. The preview is
// computed on a worker thread from a copy of the configuration, whenever the configuration or
// the drawing changes; the next change cancels it.

#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

#include "config/ConfigTree.h"
#include "config/ExportConfig.h"
#include "engine/Preview.h"

class QLabel;
class QSplitter;
class QTableView;

namespace quarrow {

class PlotWidget;
class PreviewTableModel;

// What a preview is made from: copies, so the worker reads nothing the user edits meanwhile.
struct PreviewInput {
    ExportConfig Config;  // with the field separator resolved
    DataOrderArray DataOrder{};
    SelectedKindsArray SelectedKinds{};
    QString Drawing;  // empty: no drawing selected
    QString Refusal;  // why a run would not start with this configuration; empty: it would

    bool operator==(const PreviewInput&) const = default;
};

// Records (and points) a preview reads at most: enough for any table, and a plot sample that
// draws at once.
inline constexpr std::size_t kPreviewRecords = 20000;

class PreviewPane final : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPane(QWidget* parent = nullptr);
    ~PreviewPane() override;

    // Where the pane takes the configuration and the drawing from.
    void SetSource(std::function<PreviewInput()> source);
    // Compares the source with what is shown and starts a new preview when they differ; also
    // done every 150 ms while the pane is visible.
    void Refresh();

    // The preview shown (null: none), the drawing it is of, and the pane's parts.
    const PreviewResult* Shown() const { return shown_.get(); }
    QString ShownDrawing() const { return shownDrawing_; }
    QTableView* Table() const { return table_; }
    PlotWidget* Plot() const { return plot_; }
    // The table above, the plot below.
    QSplitter& Splitter() const { return *split_; }
    // Previews that stopped because a newer one replaced them.
    int CanceledPreviews() const { return canceled_; }
    // A preview is being computed.
    bool Busy() const { return running_ > 0; }

signals:
    // A preview was shown (or a message in its place).
    void PreviewShown();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Start(const PreviewInput& input);
    void Finished(int generation, std::shared_ptr<const PreviewResult> result);
    void ShowMessage(const QString& text);
    void ShowHovered(int index);

    std::function<PreviewInput()> source_;
    PreviewInput last_;
    bool haveLast_ = false;
    QTimer poll_;
    QThreadPool pool_;
    std::shared_ptr<std::atomic<bool>> cancel_;  // of the preview being computed
    int generation_ = 0;
    int running_ = 0;
    int canceled_ = 0;
    std::shared_ptr<const PreviewResult> shown_;
    QString shownDrawing_;
    QString computingDrawing_;
    std::string separator_;  // of the preview being computed

    QLabel* status_ = nullptr;
    QLabel* hoverText_ = nullptr;
    QTableView* table_ = nullptr;
    QSplitter* split_ = nullptr;
    PreviewTableModel* model_ = nullptr;
    PlotWidget* plot_ = nullptr;
};

}  // namespace quarrow
