#include <gtest/gtest.h>
#include <gtkmm.h>
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DrawClassType.h"
#include "EventPump.h"
#include "Frame.h"
#include "NotifyCode.h"
#include "Observer.h"
#include "QuadrantPicture.h"
#include "ScrollImage.h"
#include "SyntheticEvents.h"

namespace {

namespace fs = std::filesystem;
using Codes = std::vector<int>;

class Recorder : public Observer {
 public:
  void update(int code) override { codes.push_back(code); }
  Codes codes;
};

// A 400 x 400 window holding the canvas on the quadrant picture: the fit
// gives scale 2 with the picture between window rows 100 and 300.
class ScrollImageWindowTest : public ::testing::Test {
 protected:
  ScrollImageWindowTest()
      : folder(fs::temp_directory_path() / ("canvas-window-" + std::to_string(getpid()))),
        picture(folder / "quadrants.ppm"),
        image(picture.string(), 0, 0),
        renderer(&image) {
    fs::create_directories(folder);
    writeQuadrantPicture(picture, 200, 100);
  }
  ~ScrollImageWindowTest() override {
    if (canvas) canvas->polygonsClear();
    fs::remove_all(folder);
  }

  void showCanvas() {
    canvas = std::make_unique<ScrollImage>(&image, &renderer);
    canvas->subscribe(&recorder);
    window.add(*canvas);
    showAndWait(window, *canvas, 400, 400);
    ASSERT_EQ(canvas->get_allocated_width(), 400);
    ASSERT_EQ(canvas->get_allocated_height(), 400);
    paint();
    recorder.codes.clear();
  }

  // Paints one frame into an image the test can probe.
  void paint() { frame.emplace(*canvas); }

  Colour pixel(int x, int y) const { return frame->pixel(x, y); }
  // The codes sent, without the ViewChanged of each frame in fit mode.
  Codes shapeCodes() const {
    Codes codes;
    for (int code : recorder.codes)
      if (code != ViewChanged) codes.push_back(code);
    return codes;
  }
  unsigned alpha(int x, int y) const { return frame->alpha(x, y); }

  fs::path folder;
  fs::path picture;
  ImageClass image;
  DrawClassType renderer;
  Gtk::Window window;
  std::unique_ptr<ScrollImage> canvas;
  Recorder recorder;
  std::optional<Frame> frame;
};

TEST_F(ScrollImageWindowTest, LoadsAndFitsThePicture) {
  showCanvas();
  EXPECT_EQ(canvas->getFilename(), picture.string());
  EXPECT_EQ(image.getWidth(), 200);
  EXPECT_EQ(canvas->getImgHeight(), 100);
  EXPECT_DOUBLE_EQ(canvas->getView().getScale(), 2.0);
  EXPECT_EQ(pixel(100, 150), kRed);
  EXPECT_EQ(pixel(300, 150), kGreen);
  EXPECT_EQ(pixel(100, 250), kBlue);
  EXPECT_EQ(pixel(300, 250), kWhite);
  EXPECT_EQ(alpha(200, 50), 0u);  // above the picture nothing is painted
  EXPECT_EQ(alpha(200, 350), 0u);
  // A frame that finds the fit unchanged tells nobody.
  paint();
  EXPECT_EQ(recorder.codes, Codes{});
}

TEST_F(ScrollImageWindowTest, AnIdleWindowInFitModeDrawsNoFrame) {
  showCanvas();
  int frames = 0;
  canvas->signal_draw().connect(
      [&frames](const Cairo::RefPtr<Cairo::Context>&) {
        ++frames;
        return false;
      },
      false);
  // The frames of showing the window may come late on a loaded machine: wait
  // for a quiet second first (a window that redraws without end never has
  // one, and then draws again below).
  const gint64 settleEnd = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
  gint64 quietSince = g_get_monotonic_time();
  for (int seen = frames; g_get_monotonic_time() < settleEnd; seen = frames) {
    pumpEvents();
    g_usleep(20000);
    if (frames != seen) quietSince = g_get_monotonic_time();
    if (g_get_monotonic_time() - quietSince > G_USEC_PER_SEC) break;
  }
  frames = 0;
  const gint64 end = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
  while (g_get_monotonic_time() < end) {
    pumpEvents();
    g_usleep(20000);
  }
  EXPECT_EQ(frames, 0);
  // A real change still asks for a frame.
  canvas->fit();
  pumpEvents();
  g_usleep(100000);
  pumpEvents();
  EXPECT_GT(frames, 0);
}

TEST_F(ScrollImageWindowTest, ZoomsAboutThePointerAndPans) {
  showCanvas();
  turnWheel(*canvas, GDK_SCROLL_UP, 100, 150);
  paint();
  const CanvasView& view = canvas->getView();
  EXPECT_DOUBLE_EQ(view.getScale(), 2.1);
  EXPECT_FALSE(view.isFitting());
  // The image point (50, 25) stays under the pointer.
  EXPECT_NEAR((100 - view.getOffsetX()) / view.getScale(), 50, 1e-9);
  EXPECT_NEAR((150 - view.getOffsetY()) / view.getScale(), 25, 1e-9);
  // The quadrants' borders (image x 100, y 50) now lie at window x 205 and
  // y 202.5.
  EXPECT_EQ(pixel(203, 150), kRed);
  EXPECT_EQ(pixel(207, 150), kGreen);
  EXPECT_EQ(pixel(100, 201), kRed);
  EXPECT_EQ(pixel(100, 204), kBlue);

  const double focusX = view.getFocusX();
  drag(*canvas, 3, {{200, 200}, {190, 200}});
  EXPECT_NEAR(view.getFocusX(), focusX + 10 / 2.1, 1e-9);
  EXPECT_EQ(recorder.codes, (Codes{ViewChanged, ViewChanged}));
  // The overview's box follows the view: its left edge is off the picture's.
  EXPECT_GT(canvas->getRectangleMiniScroll()->getPoints()[0]->getX(), 0);
}

TEST_F(ScrollImageWindowTest, DrawsSelectsDeletesAndUndoes) {
  showCanvas();
  canvas->setButtonCircles(true);
  drag(*canvas, 1, {{300, 250}, {320, 250}});  // a circle of radius 10 in the white quadrant
  ASSERT_EQ(canvas->getPolygonsNew().size(), 1u);
  auto* circle = dynamic_cast<circleShape*>(canvas->getPolygonsNew()[0]);
  ASSERT_NE(circle, nullptr);
  EXPECT_DOUBLE_EQ(circle->getRadius(), 10);
  paint();
  EXPECT_NE(pixel(320, 250), kWhite);  // the ring is drawn over the picture

  canvas->setButtonCircles(false);
  canvas->setButtonSelect(true);
  drag(*canvas, 1, {{300, 250}});
  EXPECT_TRUE(circle->getSelected());
  pressKey(*canvas, GDK_KEY_Delete);
  EXPECT_FALSE(circle->getVisible());
  paint();
  EXPECT_EQ(pixel(320, 250), kWhite);
  pressKey(*canvas, GDK_KEY_z, GDK_CONTROL_MASK);
  EXPECT_TRUE(circle->getVisible());
  EXPECT_EQ(shapeCodes(), (Codes{ShapeAdded, ShapeSelected, ShapesDeleted, ShapeAdded}));
}

TEST_F(ScrollImageWindowTest, DrawsAFreeHandRegion) {
  showCanvas();
  canvas->setMinimumRegionSize(20);
  canvas->setButtonFreeHand(true);
  drag(*canvas, 1, {{120, 120}, {180, 120}, {180, 180}, {120, 180}});
  ASSERT_EQ(canvas->getPolygonsNew().size(), 1u);
  auto* region = dynamic_cast<regionShape*>(canvas->getPolygonsNew()[0]);
  ASSERT_NE(region, nullptr);
  EXPECT_EQ(region->getLinePoints().size(), 5u);
  EXPECT_DOUBLE_EQ(region->getLinePoints()[2]->getX(), 0.45);
  EXPECT_EQ(shapeCodes(), Codes{ShapeAdded});
}

TEST_F(ScrollImageWindowTest, AFailedLoadKeepsThePictureAndSaysSo) {
  showCanvas();
  const fs::path notAPicture = folder / "text.png";
  std::ofstream(notAPicture) << "not a picture";
  // The program reads its files under the C locale; the error text of a name
  // that is not ASCII must still be reported, not thrown.
  std::setlocale(LC_ALL, "C");
  // 69 bytes whose header claims 60000 x 60000 pixels: refused from the header.
  const fs::path claimsTooMuch = fs::path(UNTRUSTED_PICTURES) / "claims-60000x60000.png";
  for (const fs::path& file : {folder / "missing.png", notAPicture, folder / "c\xc3\xa9lulas.png", claimsTooMuch}) {
    EXPECT_FALSE(canvas->loadImage(file.string())) << file;
    EXPECT_EQ(canvas->getFilename(), picture.string());
    EXPECT_EQ(image.getFilename(), picture.string());
    EXPECT_EQ(canvas->getImageRef()->get_width(), 200);
  }
  EXPECT_TRUE(recorder.codes.empty());
}

TEST_F(ScrollImageWindowTest, WithoutAPictureTheCanvasOnlyPaintsItsBackground) {
  image.setFilename((folder / "missing.ppm").string());
  showCanvas();
  turnWheel(*canvas, GDK_SCROLL_UP, 100, 100);
  canvas->setButtonFreeHand(true);
  drag(*canvas, 1, {{100, 100}, {200, 200}});
  drag(*canvas, 3, {{100, 100}, {200, 200}});
  paint();
  EXPECT_TRUE(canvas->getPolygonsNew().empty());
  EXPECT_FALSE(canvas->getImageRef());
  EXPECT_EQ(alpha(200, 200), 0u);

  // A picture loaded later is shown as usual.
  EXPECT_TRUE(canvas->loadImage(picture.string()));
  paint();
  EXPECT_EQ(pixel(100, 150), kRed);
  EXPECT_EQ(recorder.codes, (Codes{ViewChanged, ImageLoaded, ViewChanged}));
}

}  // namespace
