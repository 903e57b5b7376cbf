#pragma once
// The plan view of a preview's points: world X east and Y north onto screen pixels (y down)
// at one scale for both axes, with fit, zoom about a pixel, pan and the point under a pixel.
// No pixel is drawn here.

#include <cstddef>
#include <vector>

#include "engine/Preview.h"

namespace quarrow {

// The smallest rectangle holding every point with finite X and Y; Empty when none has.
struct PlotBounds {
    double MinX = 0.0, MinY = 0.0, MaxX = 0.0, MaxY = 0.0;
    bool Empty = true;
};

PlotBounds BoundsOf(const std::vector<PreviewPoint>& points);

class PlotView {
public:
    // Shows the bounds whole and centred in a screen of width x height pixels, margin pixels
    // inside each edge. A single point (or a line along one axis) gets a unit extent.
    void Fit(const PlotBounds& bounds, double width, double height, double margin);
    // Multiplies the scale by factor, keeping the world point under pixel (sx, sy) there.
    void ZoomAt(double factor, double sx, double sy);
    // Moves the picture by (dx, dy) pixels.
    void Pan(double dx, double dy);

    double ScreenX(double x) const noexcept { return (x - left_) * scale_; }
    double ScreenY(double y) const noexcept { return (top_ - y) * scale_; }
    double WorldX(double sx) const noexcept { return left_ + sx / scale_; }
    double WorldY(double sy) const noexcept { return top_ - sy / scale_; }
    // Pixels per drawing unit.
    double Scale() const noexcept { return scale_; }

private:
    double scale_ = 1.0;
    double left_ = 0.0;  // world X at the screen's left edge
    double top_ = 0.0;   // world Y at the screen's top edge
};

// Returns the index of the point drawn nearest to pixel (sx, sy), no further than radius
// pixels away; -1 when there is none. Of points drawn at the same pixel, the first.
int PointNear(const std::vector<PreviewPoint>& points, const PlotView& view, double sx, double sy,
              double radius);

}  // namespace quarrow
