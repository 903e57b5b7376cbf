#include "engine/PlotView.h"

#include <algorithm>
#include <cmath>

namespace quarrow {

PlotBounds BoundsOf(const std::vector<PreviewPoint>& points) {
    PlotBounds b;
    for (const PreviewPoint& p : points) {
        if (!std::isfinite(p.X) || !std::isfinite(p.Y))
            continue;
        if (b.Empty) {
            b = {p.X, p.Y, p.X, p.Y, false};
            continue;
        }
        b.MinX = std::min(b.MinX, p.X);
        b.MaxX = std::max(b.MaxX, p.X);
        b.MinY = std::min(b.MinY, p.Y);
        b.MaxY = std::max(b.MaxY, p.Y);
    }
    return b;
}

void PlotView::Fit(const PlotBounds& bounds, double width, double height, double margin) {
    const PlotBounds b = bounds.Empty ? PlotBounds{-1, -1, 1, 1, false} : bounds;
    const double usableWidth = std::max(1.0, width - 2 * margin);
    const double usableHeight = std::max(1.0, height - 2 * margin);
    double extentX = b.MaxX - b.MinX;
    double extentY = b.MaxY - b.MinY;
    if (extentX <= 0 && extentY <= 0)
        extentX = extentY = 1.0;
    // The axis that needs the smaller scale sets it for both.
    const double scaleX = extentX > 0 ? usableWidth / extentX : HUGE_VAL;
    const double scaleY = extentY > 0 ? usableHeight / extentY : HUGE_VAL;
    scale_ = std::min(scaleX, scaleY);
    const double centreX = (b.MinX + b.MaxX) / 2;
    const double centreY = (b.MinY + b.MaxY) / 2;
    left_ = centreX - width / 2 / scale_;
    top_ = centreY + height / 2 / scale_;
}

void PlotView::ZoomAt(double factor, double sx, double sy) {
    const double x = WorldX(sx);
    const double y = WorldY(sy);
    scale_ *= factor;
    left_ = x - sx / scale_;
    top_ = y + sy / scale_;
}

void PlotView::Pan(double dx, double dy) {
    left_ -= dx / scale_;
    top_ += dy / scale_;
}

int PointNear(const std::vector<PreviewPoint>& points, const PlotView& view, double sx, double sy,
              double radius) {
    int best = -1;
    double bestDistance = radius * radius;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double dx = view.ScreenX(points[i].X) - sx;
        const double dy = view.ScreenY(points[i].Y) - sy;
        const double distance = dx * dx + dy * dy;
        // NaN compares false: a point without X or Y is never near.
        if (distance < bestDistance || (best < 0 && distance <= bestDistance)) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace quarrow
