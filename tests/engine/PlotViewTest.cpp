#include "engine/PlotView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace quarrow {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(PlotViewTest, FitShowsTheBoundsWholeAtOneScaleWithNorthUp) {
    // 200 east by 50 north into 400 x 400 pixels, 10 inside each edge: the width sets the
    // scale (380 / 200) for both axes, and the picture is centred.
    const std::vector<PreviewPoint> points = {{100, 1000, 0}, {300, 1050, 0}, {kNaN, 5, 0}};
    const PlotBounds bounds = BoundsOf(points);
    ASSERT_FALSE(bounds.Empty);
    EXPECT_EQ(bounds.MinX, 100);
    EXPECT_EQ(bounds.MaxY, 1050);
    PlotView view;
    view.Fit(bounds, 400, 400, 10);
    EXPECT_DOUBLE_EQ(view.Scale(), 1.9);
    EXPECT_NEAR(view.ScreenX(100), 10, 1e-9);
    EXPECT_NEAR(view.ScreenX(300), 390, 1e-9);
    EXPECT_NEAR(view.ScreenY(1025), 200, 1e-9);
    EXPECT_LT(view.ScreenY(1050), view.ScreenY(1000));  // north is up

    // One point alone, and no point at all, still give a usable view.
    for (const std::vector<PreviewPoint>& few :
         {std::vector<PreviewPoint>{{5, 5, 0}}, std::vector<PreviewPoint>{}}) {
        view.Fit(BoundsOf(few), 100, 50, 5);
        EXPECT_TRUE(std::isfinite(view.Scale()));
        EXPECT_GT(view.Scale(), 0);
    }
}

TEST(PlotViewTest, ZoomKeepsThePointUnderThePointerAndPanMovesByPixels) {
    PlotView view;
    view.Fit({0, 0, 100, 100, false}, 200, 200, 0);
    const double x = view.WorldX(50), y = view.WorldY(150);
    view.ZoomAt(4, 50, 150);
    EXPECT_DOUBLE_EQ(view.Scale(), 8);
    EXPECT_NEAR(view.ScreenX(x), 50, 1e-9);
    EXPECT_NEAR(view.ScreenY(y), 150, 1e-9);
    view.Pan(10, -20);
    EXPECT_NEAR(view.ScreenX(x), 60, 1e-9);
    EXPECT_NEAR(view.ScreenY(y), 130, 1e-9);
}

TEST(PlotViewTest, PointNearFindsTheClosestWithinTheRadius) {
    PlotView view;
    view.Fit({0, 0, 100, 100, false}, 100, 100, 0);  // one pixel per unit, y flipped
    const std::vector<PreviewPoint> points = {
        {10, 90, 0}, {12, 90, 0}, {12, 90, 0}, {kNaN, 90, 0}, {50, 50, 0}};
    struct Case {
        const char* name;
        double sx, sy;
        int expected;
    };
    const Case cases[] = {
        {"on the first", 10, 10, 0},
        {"nearer the second, of two at one place the first", 12.5, 10, 1},
        {"just within the radius", 50, 54, 4},
        {"beyond the radius", 50, 55, -1},
        {"nothing near", 90, 90, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PointNear(points, view, c.sx, c.sy, 4), c.expected);
    }
}

}  // namespace
}  // namespace quarrow
