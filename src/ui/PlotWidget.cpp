#include "ui/PlotWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace quarrow {
namespace {

constexpr double kMargin = 12.0;     // pixels between the fitted points and the edge
constexpr double kPickRadius = 5.0;  // pixels within which the pointer is over a point
const std::vector<PreviewPoint> kNoPoints;

}  // namespace

PlotWidget::PlotWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PreviewPlot"));
    setMouseTracking(true);
    setMinimumSize(120, 120);
    setCursor(Qt::CrossCursor);
    setToolTip(QStringLiteral("The exported points in plan. Wheel: zoom; drag: pan; double "
                              "click: fit to view."));
}

QColor PlotWidget::TypeColour(int type) {
    // Distinct on white and for the common kinds of colour blindness.
    static const QColor kPalette[] = {
        QColor(0, 114, 178),   QColor(213, 94, 0),    QColor(0, 158, 115),  QColor(204, 121, 167),
        QColor(230, 159, 0),   QColor(86, 180, 233),  QColor(0, 0, 0),      QColor(140, 86, 75),
        QColor(148, 103, 189), QColor(127, 127, 127), QColor(188, 189, 34), QColor(214, 39, 40),
        QColor(23, 190, 207)};
    return kPalette[std::size_t(type) % std::size(kPalette)];
}

void PlotWidget::SetResult(std::shared_ptr<const PreviewResult> result, bool sampled,
                           bool keepView) {
    result_ = std::move(result);
    sampled_ = sampled;
    typeCounts_.assign(result_ ? result_->Types.size() : 0, 0);
    for (const PreviewPoint& p : Points())
        ++typeCounts_[p.Type];
    SetHovered(-1);
    if (!keepView || !moved_)
        FitToView();
    update();
}

const std::vector<PreviewPoint>& PlotWidget::Points() const {
    return result_ ? result_->Points : kNoPoints;
}

void PlotWidget::FitToView() {
    view_.Fit(BoundsOf(Points()), width(), height(), kMargin);
    moved_ = false;
    update();
}

void PlotWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Until the user zooms or pans, the view follows the size.
    if (!moved_)
        FitToView();
}

void PlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(200, 200, 200));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const std::vector<PreviewPoint>& points = Points();
    if (points.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No points to show"));
        return;
    }
    const QRectF area = rect();
    for (const PreviewPoint& p : points) {
        const double x = view_.ScreenX(p.X);
        const double y = view_.ScreenY(p.Y);
        if (!(x >= -3 && y >= -3 && x <= area.width() + 3 && y <= area.height() + 3))
            continue;  // off the view, or without X or Y
        painter.fillRect(QRectF(x - 1.5, y - 1.5, 3, 3), TypeColour(p.Type));
    }
    if (hovered_ >= 0) {
        const PreviewPoint& p = points[std::size_t(hovered_)];
        painter.setPen(QPen(Qt::black, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(view_.ScreenX(p.X), view_.ScreenY(p.Y)), 5, 5);
    }
    PaintLegend(painter);
}

void PlotWidget::PaintLegend(QPainter& painter) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int line = metrics.height() + 2;
    QStringList texts;
    for (std::size_t i = 0; i < typeCounts_.size(); ++i)
        texts << QString::fromLatin1(result_->Types[i].c_str()) +
                     QStringLiteral(" (%1)").arg(typeCounts_[i]);
    if (sampled_)
        texts << QStringLiteral("First %L1 points of the drawing").arg(Points().size());
    int width = 0;
    for (const QString& text : texts)
        width = std::max(width, metrics.horizontalAdvance(text));
    const QRect box(6, 6, width + 28, line * int(texts.size()) + 8);
    painter.setPen(QColor(170, 170, 170));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRect(box);
    for (int i = 0; i < int(texts.size()); ++i) {
        const int top = box.top() + 4 + i * line;
        if (i < int(typeCounts_.size()))
            painter.fillRect(QRect(box.left() + 6, top + (line - 10) / 2, 10, 10), TypeColour(i));
        painter.setPen(Qt::black);
        painter.drawText(QRect(box.left() + 22, top, width + 4, line), Qt::AlignVCenter, texts[i]);
    }
}

void PlotWidget::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    view_.ZoomAt(std::pow(1.25, steps), event->position().x(), event->position().y());
    moved_ = true;
    update();
    event->accept();
}

void PlotWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragFrom_ = event->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
    }
}

void PlotWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (dragging_) {
        view_.Pan(at.x() - dragFrom_.x(), at.y() - dragFrom_.y());
        dragFrom_ = at;
        moved_ = true;
        update();
        return;
    }
    // The pane shows the record in its status line (a tooltip would follow the program's
    // tooltip switch and hide the points).
    SetHovered(PointNear(Points(), view_, at.x(), at.y(), kPickRadius));
}

void PlotWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        setCursor(Qt::CrossCursor);
    }
}

void PlotWidget::mouseDoubleClickEvent(QMouseEvent*) {
    FitToView();
}

void PlotWidget::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    SetHovered(-1);
}

void PlotWidget::SetHovered(int index) {
    if (index == hovered_)
        return;
    hovered_ = index;
    update();
    emit PointHovered(index);
}

}  // namespace quarrow
