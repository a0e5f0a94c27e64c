#include <gtest/gtest.h>
#include <gtkmm.h>
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "DrawClassType.h"
#include "EventPump.h"
#include "Frame.h"
#include "NotifyCode.h"
#include "QuadrantPicture.h"
#include "ScrollImage.h"
#include "SyntheticEvents.h"
#include "miniScrollImage.h"

namespace {

namespace fs = std::filesystem;

// Counts what reaches the overview from the canvas and from subscribe.
class CountingOverview : public miniScrollImage {
 public:
  using miniScrollImage::miniScrollImage;
  void update(int code) override {
    codes.push_back(code);
    miniScrollImage::update(code);
  }
  std::vector<int> codes;
};

struct Box {
  double x0, y0, x1, y1;
};

void expectBox(const Rectangle& rectangle, const Box& expected) {
  const std::vector<pointShape*>& corners = rectangle.getPoints();
  EXPECT_NEAR(corners[0]->getX(), expected.x0, 1e-9);
  EXPECT_NEAR(corners[0]->getY(), expected.y0, 1e-9);
  EXPECT_NEAR(corners[2]->getX(), expected.x1, 1e-9);
  EXPECT_NEAR(corners[2]->getY(), expected.y1, 1e-9);
}

// The canvas shows a 400 x 200 picture; the overview is 200 x 200, so it
// fits the picture at scale 0.5 between its rows 50 and 150.
class OverviewTest : public ::testing::Test {
 protected:
  OverviewTest()
      : folder(fs::temp_directory_path() / ("overview-" + std::to_string(getpid()))),
        wide(folder / "wide.ppm"),
        tall(folder / "tall.ppm"),
        image(wide.string(), 0, 0),
        renderer(&image) {
    fs::create_directories(folder);
    writeQuadrantPicture(wide, 400, 200);
    writeQuadrantPicture(tall, 200, 400);
  }
  ~OverviewTest() override {
    overview.reset();
    if (canvas) canvas->polygonsClear();
    fs::remove_all(folder);
  }

  void showCanvas(int width, int height) {
    canvas = std::make_unique<ScrollImage>(&image, &renderer);
    canvasWindow.add(*canvas);
    showAndWait(canvasWindow, *canvas, width, height);
    Frame settle(*canvas);
  }
  void showOverview(const fs::path& picture, int width, int height) {
    overview = std::make_unique<CountingOverview>(picture.string(), canvas.get());
    overviewWindow.add(*overview);
    showAndWait(overviewWindow, *overview, width, height);
    Frame settle(*overview);
  }
  // The canvas at one-to-one size in a 200 x 100 window shows the middle of
  // the picture: the box (0.25, 0.25)-(0.75, 0.75), in the overview the
  // widget pixels x 50 to 150 and y 75 to 125.
  void showMiddleOfPicture() {
    showCanvas(200, 100);
    canvas->reset();
    showOverview(wide, 200, 200);
    expectBox(box(), {0.25, 0.25, 0.75, 0.75});
  }
  Rectangle& box() { return *canvas->getRectangleMiniScroll(); }
  double canvasFocusX() const { return canvas->getView().getFocusX(); }
  double canvasFocusY() const { return canvas->getView().getFocusY(); }

  fs::path folder;
  fs::path wide;
  fs::path tall;
  ImageClass image;
  DrawClassType renderer;
  Gtk::Window canvasWindow;
  Gtk::Window overviewWindow;
  std::unique_ptr<ScrollImage> canvas;
  std::unique_ptr<CountingOverview> overview;
};

struct FitCase {
  const char* picture;
  int width, height;
  // Probes: a pixel of each quadrant, and a pixel outside the picture.
  int redX, redY, whiteX, whiteY, outsideX, outsideY;
  // Just inside the picture's edge that touches no widget border.
  int edgeX, edgeY;
};

TEST_F(OverviewTest, TheWholePictureIsFittedAndCentredWithTransparentMargins) {
  showCanvas(200, 200);
  const FitCase cases[] = {
      // Wider than the widget: fitted to the width, rows 50 to 149.
      {"wide", 200, 200, 10, 60, 190, 140, 100, 49, 100, 50},
      // Taller: fitted to the height, columns 50 to 149.
      {"tall", 200, 200, 60, 10, 140, 190, 49, 100, 50, 100},
      // Wider widget, wide picture: fitted to the height (scale 1).
      {"wide", 500, 200, 60, 10, 440, 190, 49, 100, 50, 100},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(std::string(c.picture) + " in " + std::to_string(c.width) + " x " + std::to_string(c.height));
    overview.reset();
    overviewWindow.resize(c.width, c.height);
    showOverview(std::string(c.picture) == "wide" ? wide : tall, c.width, c.height);
    ASSERT_EQ(overview->get_allocated_width(), c.width);
    box().setPoints(0, 0, 0, 0);  // nothing drawn over the picture
    const Frame frame(*overview);
    EXPECT_EQ(frame.pixel(c.redX, c.redY), kRed);
    EXPECT_EQ(frame.pixel(c.whiteX, c.whiteY), kWhite);
    EXPECT_EQ(frame.alpha(c.outsideX, c.outsideY), 0u);
    EXPECT_EQ(frame.alpha(c.edgeX, c.edgeY), 255u);
  }
}

TEST_F(OverviewTest, TheCanvasViewBoxIsDrawnOverThePicture) {
  showMiddleOfPicture();
  const Frame frame(*overview);
  // Outside the box the picture shows as it is; inside it is tinted by the
  // box's translucent blue.
  EXPECT_EQ(frame.pixel(40, 80), kRed);
  EXPECT_EQ(frame.pixel(160, 120), kWhite);
  const Colour tinted = frame.pixel(60, 80);
  EXPECT_NE(tinted, kRed);
  EXPECT_GT(tinted.blue, 100);
  EXPECT_LT(tinted.red, 200);
  EXPECT_NE(frame.pixel(140, 120), kWhite);
}

TEST_F(OverviewTest, DraggingTheBoxMovesTheCanvasView) {
  showMiddleOfPicture();
  EXPECT_DOUBLE_EQ(canvasFocusX(), 200);
  pressButton(*overview, 1, 100, 100);
  // 20 widget pixels are 40 picture pixels, a tenth of its width.
  movePointer(*overview, 120, 100);
  expectBox(box(), {0.35, 0.25, 0.85, 0.75});
  EXPECT_DOUBLE_EQ(canvasFocusX(), 240);
  EXPECT_DOUBLE_EQ(canvasFocusY(), 100);
  movePointer(*overview, 120, 110);
  expectBox(box(), {0.35, 0.35, 0.85, 0.85});
  EXPECT_DOUBLE_EQ(canvasFocusY(), 120);
  releaseButton(*overview, 1, 110, 110);
  expectBox(box(), {0.3, 0.35, 0.8, 0.85});
  EXPECT_DOUBLE_EQ(canvasFocusX(), 220);

  // The drag has ended: moving the pointer changes nothing.
  movePointer(*overview, 150, 100);
  expectBox(box(), {0.3, 0.35, 0.8, 0.85});
  EXPECT_DOUBLE_EQ(canvasFocusX(), 220);
  // The canvas now paints that part: its top row shows picture row 70, its
  // left edge picture column 120, in the red quadrant, and its right edge
  // column 319, in the green one.
  const Frame frame(*canvas);
  EXPECT_EQ(frame.pixel(0, 10), kRed);
  EXPECT_EQ(frame.pixel(199, 10), kGreen);
}

TEST_F(OverviewTest, ABoxDraggedPastAnEdgeStopsThereWithItsSizeKept) {
  showMiddleOfPicture();
  pressButton(*overview, 1, 100, 100);
  movePointer(*overview, 190, 40);
  expectBox(box(), {0.5, 0.0, 1.0, 0.5});
  EXPECT_DOUBLE_EQ(canvasFocusX(), 300);
  EXPECT_DOUBLE_EQ(canvasFocusY(), 50);
  releaseButton(*overview, 1, 5, 195);
  expectBox(box(), {0.0, 0.5, 0.5, 1.0});
  EXPECT_DOUBLE_EQ(canvasFocusX(), 100);
  EXPECT_DOUBLE_EQ(canvasFocusY(), 150);
}

TEST_F(OverviewTest, OnlyALeftPressStrictlyInsideTheBoxStartsADrag) {
  showMiddleOfPicture();
  struct Press {
    const char* what;
    unsigned button;
    double x, y;
  };
  const Press presses[] = {
      {"right button inside", 3, 100, 100},    {"middle button inside", 2, 100, 100},  {"left outside", 1, 20, 100},
      {"left on the left border", 1, 50, 100}, {"left on the top border", 1, 100, 75},
  };
  for (const Press& p : presses) {
    SCOPED_TRACE(p.what);
    pressButton(*overview, p.button, p.x, p.y);
    movePointer(*overview, p.x + 30, p.y + 10);
    releaseButton(*overview, p.button, p.x + 30, p.y + 10);
    expectBox(box(), {0.25, 0.25, 0.75, 0.75});
    EXPECT_DOUBLE_EQ(canvasFocusX(), 200);
    EXPECT_DOUBLE_EQ(canvasFocusY(), 100);
  }
}

TEST_F(OverviewTest, TheWheelOverTheOverviewChangesNothing) {
  showMiddleOfPicture();
  turnWheel(*overview, GDK_SCROLL_UP, 100, 100);
  turnWheel(*overview, GDK_SCROLL_DOWN, 100, 100);
  expectBox(box(), {0.25, 0.25, 0.75, 0.75});
  EXPECT_DOUBLE_EQ(canvas->getView().getScale(), 1.0);
  EXPECT_DOUBLE_EQ(canvasFocusX(), 200);
}

TEST_F(OverviewTest, WhileSubscribedItFollowsTheCanvasAndAfterwardsNot) {
  showMiddleOfPicture();
  overview->subscribe();
  overview->subscribe();
  // Subscribing takes the canvas's picture at once.
  EXPECT_EQ(overview->codes, (std::vector<int>{ImageLoaded, ImageLoaded}));
  overview->codes.clear();

  // Held once: one notification each.
  canvas->setFocus(0.5, 0.5);
  EXPECT_EQ(overview->codes, std::vector<int>{ViewChanged});
  overview->unsubscribe();
  canvas->reset();
  EXPECT_EQ(overview->codes, std::vector<int>{ViewChanged});
  overview->unsubscribe();  // not subscribed: nothing happens
}

TEST_F(OverviewTest, APictureLoadedWhileUnsubscribedIsShownOnSubscribing) {
  showMiddleOfPicture();
  ASSERT_TRUE(canvas->loadImage(tall.string()));
  pumpEvents();
  box().setPoints(0, 0, 0, 0);  // the new picture's box would tint all of it
  // Still the wide picture: its top-left red quadrant reaches column 10.
  EXPECT_EQ(Frame(*overview).pixel(10, 60), kRed);

  // Codes other than ViewChanged and ImageLoaded are ignored.
  for (int code : {RegionSelected, ShapesDeleted, ShapeAdded, LineFinished, ShapeSelected, SelectionMoved, ArcFinished})
    overview->update(code);
  EXPECT_EQ(Frame(*overview).pixel(10, 60), kRed);

  overview->subscribe();
  // The tall picture fills columns 50 to 149 only.
  const Frame frame(*overview);
  EXPECT_EQ(frame.alpha(10, 60), 0u);
  EXPECT_EQ(frame.pixel(60, 10), kRed);
  EXPECT_EQ(frame.pixel(140, 190), kWhite);
  // The shared picture is the canvas's own.
  EXPECT_EQ(canvas->getImageRef()->get_width(), 200);
  overview->unsubscribe();
}

TEST_F(OverviewTest, WithoutAPictureItDrawsAndDragsNothingUntilTheCanvasGivesOne) {
  showMiddleOfPicture();
  overview.reset();
  testing::internal::CaptureStderr();
  showOverview(folder / "missing.ppm", 200, 200);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("FileError: "), std::string::npos);

  const Frame empty(*overview);
  EXPECT_EQ(empty.alpha(100, 100), 0u);
  pressButton(*overview, 1, 100, 100);
  movePointer(*overview, 150, 150);
  releaseButton(*overview, 1, 150, 150);
  expectBox(box(), {0.25, 0.25, 0.75, 0.75});
  EXPECT_DOUBLE_EQ(canvasFocusX(), 200);

  overview->subscribe();
  EXPECT_EQ(Frame(*overview).pixel(10, 60), kRed);
  overview->unsubscribe();
}

TEST_F(OverviewTest, AnUnreadableStartPictureIsReportedAndLeavesTheOverviewEmpty) {
  showCanvas(200, 200);
  const fs::path truncated = folder / "truncated.ppm";
  std::ofstream(truncated) << "P6\n400 200\n255\nshort";
  const std::pair<fs::path, const char*> cases[] = {
      {folder / "missing.ppm", "FileError: "},
      // The program reads its files under the C locale; the error text of a
      // name that is not ASCII must still be printed, not thrown.
      {folder / "c\xc3\xa9lulas.ppm", "FileError: "},
      // Far too short for its pixels: refused before the loader reserves them.
      {truncated, "bytes are far too few to hold them."},
  };
  const std::string locale = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "C");
  for (const auto& [file, report] : cases) {
    SCOPED_TRACE(file.string());
    overview.reset();
    testing::internal::CaptureStderr();
    showOverview(file, 200, 200);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(report), std::string::npos);
    EXPECT_EQ(Frame(*overview).alpha(100, 100), 0u);
  }
  std::setlocale(LC_ALL, locale.c_str());
}

TEST_F(OverviewTest, DestroyingASubscribedOverviewUnsubscribesIt) {
  showMiddleOfPicture();
  overview->subscribe();
  overview.reset();
  canvas->reset();  // would reach a destroyed overview otherwise
  canvas->setFocus(0.2, 0.2);
  SUCCEED();
}

}  // namespace
