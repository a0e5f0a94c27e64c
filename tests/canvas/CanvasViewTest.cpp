#include <gtest/gtest.h>

#include <cmath>

#include "CanvasView.h"
#include "ProgramProfile.h"

namespace {

constexpr double kNotchUp = -1.0 / 20;
constexpr double kNotchDown = 1.0 / 20;

CanvasView viewOf(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
  CanvasView view(ProgramProfile::lumora().canvas);
  view.setImgWidth(pictureWidth);
  view.setImgHeight(pictureHeight);
  view.prepareFrame(windowWidth, windowHeight);
  view.reset();
  return view;
}

// The image pixel shown under window position (x, y) in the current view.
double imageXUnder(const CanvasView& view, double x) {
  return (x - (view.getWinWidth() / 2 - view.getScale() * view.getFocusX())) / view.getScale();
}

TEST(CanvasViewTest, WheelStepsStayWithinTheZoomLimits) {
  CanvasView view = viewOf(1000, 1000, 500, 500);
  view.zoom(kNotchUp, 250, 250, 500, 500);
  EXPECT_DOUBLE_EQ(view.getScale(), 1.05);

  for (int notch = 0; notch < 80; ++notch) view.zoom(kNotchUp, 250, 250, 500, 500);
  EXPECT_DOUBLE_EQ(view.getScale(), 20.0);
  for (int notch = 0; notch < 200; ++notch) view.zoom(kNotchDown, 250, 250, 500, 500);
  EXPECT_DOUBLE_EQ(view.getScale(), 0.02);
}

TEST(CanvasViewTest, FitTakesTheTighterAxisAndCentres) {
  struct Case {
    int winWidth, winHeight, imgWidth, imgHeight;
    double scale;
  };
  const Case cases[] = {
      {800, 800, 1000, 500, 0.8},  // window ratio 1 is not above 2: width decides
      {2000, 500, 1000, 500, 1.0},
      {800, 600, 400, 600, 1.0},   // window ratio above picture ratio: height decides
      {1920, 1080, 8000, 8000, 0.135},
  };
  for (const Case& c : cases) {
    CanvasView view(ProgramProfile::lumora().canvas);
    ASSERT_TRUE(view.fitImage(c.winWidth, c.winHeight, c.imgWidth, c.imgHeight));
    EXPECT_DOUBLE_EQ(view.getScale(), c.scale) << c.winWidth << "x" << c.winHeight;
    EXPECT_DOUBLE_EQ(view.getFocusX(), c.imgWidth / 2.0);
    EXPECT_DOUBLE_EQ(view.getFocusY(), c.imgHeight / 2.0);
    const FractionBox& box = view.getViewBox();
    EXPECT_EQ(box.x0, 0);
    EXPECT_EQ(box.y1, 1);
  }
}

TEST(CanvasViewTest, ZoomAboutTheWindowCentreKeepsTheFocus) {
  CanvasView view = viewOf(1000, 1000, 500, 500);
  view.zoom(kNotchUp, 250, 250, 500, 500);
  EXPECT_DOUBLE_EQ(view.getFocusX(), 500);
  EXPECT_DOUBLE_EQ(view.getFocusY(), 500);
}

// The offset takes half the window as an integer and the pointer's distance
// a real half, so on an odd width the point under the pointer drifts by half
// a window pixel's worth of the change in scale.
TEST(CanvasViewTest, ZoomKeepsThePointUnderThePointerUpToTheOddHalfPixel) {
  for (int width : {800, 801}) {
    CanvasView view = viewOf(4000, 4000, width, 600);
    const double before = imageXUnder(view, 100);
    view.zoom(kNotchUp, 100, 300, width, 600);
    const double drift = (width % 2) * 0.5 * (1 / 1.05 - 1);
    EXPECT_NEAR(imageXUnder(view, 100) - before, drift, 1e-9) << "width " << width;
  }
}

// Picture 1000 x 1000 in a 500 x 500 window at scale 1; the focus on the
// tested axis puts the picture in one of the corrected situations, the other
// axis stays centred and uncorrected.
TEST(CanvasViewTest, ZoomMovesThePictureAgainstTheWindowEdge) {
  enum class Edge { Near, Far, Unchanged };
  struct Case {
    const char* name;
    bool onX;
    double focus;
    double step;
    Edge edge;
  };
  const Case cases[] = {
      {"X cut left, space right, out: right edges meet", true, 900, kNotchDown, Edge::Far},
      {"X cut left, space right, in: left edges meet", true, 900, kNotchUp, Edge::Near},
      {"X space left, cut right, out: left edges meet", true, 100, kNotchDown, Edge::Near},
      {"X space left, cut right, in: left edges meet", true, 100, kNotchUp, Edge::Near},
      {"Y cut top, space below, out: bottom edges meet", false, 900, kNotchDown, Edge::Far},
      {"Y cut top, space below, in: top edges meet", false, 900, kNotchUp, Edge::Near},
      {"Y space above, cut below, out: top edges meet", false, 100, kNotchDown, Edge::Near},
      {"Y space above, cut below, in: bottom edges meet", false, 100, kNotchUp, Edge::Far},
      {"X covering the window: no correction", true, 500, kNotchDown, Edge::Unchanged},
  };
  for (const Case& c : cases) {
    CanvasView view = viewOf(1000, 1000, 500, 500);
    const double fx = c.onX ? c.focus / 1000 : 0.5;
    const double fy = c.onX ? 0.5 : c.focus / 1000;
    view.setRectangleView(fx - 0.25, fy - 0.25, fx + 0.25, fy + 0.25);
    view.zoom(c.step, 250, 250, 500, 500);
    view.prepareFrame(500, 500);
    const double scaled = 1000 * view.getScale();
    const double offset = c.onX ? view.getOffsetX() : view.getOffsetY();
    switch (c.edge) {
      case Edge::Near:
        EXPECT_NEAR(offset, 0, 1e-9) << c.name;
        break;
      case Edge::Far:
        EXPECT_NEAR(offset + scaled, 500, 1e-9) << c.name;
        break;
      case Edge::Unchanged:
        EXPECT_DOUBLE_EQ(c.onX ? view.getFocusX() : view.getFocusY(), c.focus) << c.name;
        break;
    }
    // The other axis covers the window on both sides and is left alone.
    EXPECT_DOUBLE_EQ(c.onX ? view.getFocusY() : view.getFocusX(), 500) << c.name;
  }
}

TEST(CanvasViewTest, TheOverviewBoxShowsTheZoomBeforeTheEdgeCorrection) {
  CanvasView view = viewOf(1000, 1000, 500, 500);
  view.setRectangleView(0.65, 0.25, 1.15, 0.75);  // focus (900, 500)
  view.zoom(kNotchDown, 250, 250, 500, 500);
  // At scale 0.95 with focus 900 the window spans 605 / 950 to 1105 / 950.
  EXPECT_NEAR(view.getViewBox().x0, 605.0 / 950, 1e-12);
  EXPECT_NEAR(view.getViewBox().x1, 1105.0 / 950, 1e-12);
}

TEST(CanvasViewTest, PanMovesOnlyTheAxesThatStayCovered) {
  struct Case {
    const char* name;
    int picture, window;
    double focusX, focusY;
    int dx, dy;
    double expectX, expectY;
  };
  const Case cases[] = {
      {"X moves, Y would uncover the top", 1000, 500, 500, 260, -100, 100, 600, 260},
      {"both move while covered", 1000, 500, 500, 500, 50, -50, 450, 550},
      {"small picture moves inside the window", 200, 500, 100, 100, 30, 30, 70, 70},
      {"small picture would cross the right edge", 200, 500, 100, 100, 200, 0, 100, 100},
  };
  for (const Case& c : cases) {
    CanvasView view = viewOf(c.picture, c.picture, c.window, c.window);
    view.setRectangleView(0, 0, 2 * c.focusX / c.picture, 2 * c.focusY / c.picture);
    ASSERT_TRUE(view.pan(250 + c.dx, 250 + c.dy, 250, 250, c.window, c.window));
    EXPECT_DOUBLE_EQ(view.getFocusX(), c.expectX) << c.name;
    EXPECT_DOUBLE_EQ(view.getFocusY(), c.expectY) << c.name;
    EXPECT_FALSE(view.isFitting());
  }
}

TEST(CanvasViewTest, ResetSetFocusAndRectangleView) {
  CanvasView view(ProgramProfile::lumora().canvas);
  view.setImgWidth(1000);
  view.setImgHeight(800);
  view.prepareFrame(500, 400);
  view.fitImage(500, 400, 1000, 800);

  ASSERT_TRUE(view.setRectangleView(0.25, 0.25, 0.75, 0.75));
  EXPECT_DOUBLE_EQ(view.getFocusX(), 500);
  EXPECT_DOUBLE_EQ(view.getFocusY(), 400);
  EXPECT_DOUBLE_EQ(view.getScale(), 0.5);

  ASSERT_TRUE(view.reset());
  EXPECT_DOUBLE_EQ(view.getScale(), 1.0);
  EXPECT_DOUBLE_EQ(view.getOffsetX(), 250 - 500);
  EXPECT_DOUBLE_EQ(view.getViewBox().x0, 0.25);
  EXPECT_DOUBLE_EQ(view.getViewBox().x1, 0.75);

  // Centring on a point near the left edge would leave space on the left:
  // the left edges are made to meet; the overview box shows the request.
  ASSERT_TRUE(view.setFocus(0.05, 0.5));
  EXPECT_DOUBLE_EQ(view.getFocusX(), 250);
  EXPECT_DOUBLE_EQ(view.getFocusY(), 400);
  EXPECT_DOUBLE_EQ(view.getViewBox().x0, -0.2);
}

TEST(CanvasViewTest, RefittingAnUnchangedViewReportsNoChange) {
  CanvasView view(ProgramProfile::lumora().canvas);
  view.setImgWidth(1000);
  view.setImgHeight(800);
  ASSERT_TRUE(view.fitImage(500, 400, 1000, 800));
  EXPECT_FALSE(view.fitImage(500, 400, 1000, 800));
  EXPECT_TRUE(view.fitImage(400, 400, 1000, 800));
  ASSERT_TRUE(view.zoom(kNotchUp, 10, 10, 400, 400));
  EXPECT_TRUE(view.fitImage(400, 400, 1000, 800));
}

TEST(CanvasViewTest, WithoutAPictureNothingMoves) {
  CanvasView view(ProgramProfile::lumora().canvas);
  view.prepareFrame(500, 500);
  EXPECT_FALSE(view.fitImage(500, 500, 0, 0));
  EXPECT_FALSE(view.fitImage(0, 500, 100, 100));
  EXPECT_FALSE(view.zoom(kNotchUp, 10, 10, 500, 500));
  EXPECT_FALSE(view.pan(10, 10, 0, 0, 500, 500));
  EXPECT_FALSE(view.reset());
  EXPECT_FALSE(view.setFocus(0.5, 0.5));
  EXPECT_DOUBLE_EQ(view.getScale(), 1.0);
  EXPECT_EQ(view.getPictureArea().maxX, 0);
}

}  // namespace
