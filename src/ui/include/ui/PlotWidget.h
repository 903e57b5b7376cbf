#pragma once
// The preview's points in plan: X east, Y north at one scale, coloured by entity type with a
// legend; the wheel zooms about the pointer, a drag pans, a double click fits the points to
// the view, and the point under the pointer is reported.

#include <QPoint>
#include <QWidget>
#include <memory>

#include "engine/PlotView.h"
#include "engine/Preview.h"

namespace quarrow {

class PlotWidget final : public QWidget {
    Q_OBJECT
public:
    explicit PlotWidget(QWidget* parent = nullptr);

    // Plots a preview's points; sampled: the drawing has more than these (the plot says so).
    // keepView: a view the user zoomed or panned stays (the same drawing, other options).
    void SetResult(std::shared_ptr<const PreviewResult> result, bool sampled, bool keepView);
    // The points plotted, in the order of the records; empty when there are none.
    const std::vector<PreviewPoint>& Points() const;
    const PlotView& View() const { return view_; }
    // Shows every point.
    void FitToView();
    // The record under the pointer, or -1.
    int HoveredIndex() const { return hovered_; }

    // Colour of an entity type's points, by its index in PreviewResult::Types.
    static QColor TypeColour(int type);

signals:
    // The pointer came over the point of a record (its index), or left it (-1).
    void PointHovered(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetHovered(int index);
    void PaintLegend(QPainter& painter);

    std::shared_ptr<const PreviewResult> result_;
    std::vector<int> typeCounts_;  // points per entity type
    bool sampled_ = false;
    bool moved_ = false;  // zoomed or panned since the last fit
    PlotView view_;
    bool dragging_ = false;
    QPoint dragFrom_;
    int hovered_ = -1;
};

}  // namespace quarrow
