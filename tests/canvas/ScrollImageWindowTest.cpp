#include <gtest/gtest.h>
#include <gtkmm.h>
#include <unistd.h>

#include <clocale>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "DrawClassType.h"
#include "NotifyCode.h"
#include "Observer.h"
#include "ScrollImage.h"

namespace {

namespace fs = std::filesystem;
using Codes = std::vector<int>;

class Recorder : public Observer {
 public:
  void update(int code) override { codes.push_back(code); }
  Codes codes;
};

struct Colour {
  std::uint8_t red, green, blue;
  bool operator==(const Colour& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
  bool operator!=(const Colour& other) const { return !(*this == other); }
};

constexpr Colour kRed{255, 0, 0};
constexpr Colour kGreen{0, 255, 0};
constexpr Colour kBlue{0, 0, 255};
constexpr Colour kWhite{255, 255, 255};

// A 200 x 100 picture in four coloured quadrants.
void writeQuadrantPicture(const fs::path& file) {
  std::ofstream out(file, std::ios::binary);
  out << "P6\n200 100\n255\n";
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) {
      const Colour c = y < 50 ? (x < 100 ? kRed : kGreen) : (x < 100 ? kBlue : kWhite);
      out.put(static_cast<char>(c.red)).put(static_cast<char>(c.green)).put(static_cast<char>(c.blue));
    }
  }
}

void pumpEvents() {
  while (Gtk::Main::events_pending()) Gtk::Main::iteration(false);
}

GdkDevice* pointerDevice() { return gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())); }

// Delivers a synthetic event to the widget as the toolkit would.
void deliver(Gtk::Widget& widget, GdkEvent* event) {
  gdk_event_set_device(event, pointerDevice());
  widget.event(event);
  gdk_event_free(event);
  pumpEvents();
}

GdkEvent* newEvent(Gtk::Widget& widget, GdkEventType type) {
  GdkEvent* event = gdk_event_new(type);
  event->any.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
  return event;
}

void button(Gtk::Widget& widget, GdkEventType type, guint number, double x, double y) {
  GdkEvent* event = newEvent(widget, type);
  event->button.button = number;
  event->button.x = x;
  event->button.y = y;
  deliver(widget, event);
}

void motion(Gtk::Widget& widget, double x, double y) {
  GdkEvent* event = newEvent(widget, GDK_MOTION_NOTIFY);
  event->motion.x = x;
  event->motion.y = y;
  deliver(widget, event);
}

void wheel(Gtk::Widget& widget, GdkScrollDirection direction, double x, double y) {
  GdkEvent* event = newEvent(widget, GDK_SCROLL);
  event->scroll.direction = direction;
  event->scroll.x = x;
  event->scroll.y = y;
  deliver(widget, event);
}

void key(Gtk::Widget& widget, guint keyval, guint state = 0) {
  GdkEvent* event = newEvent(widget, GDK_KEY_PRESS);
  event->key.keyval = keyval;
  event->key.state = state;
  deliver(widget, event);
}

void drag(Gtk::Widget& widget, guint number, const std::vector<std::pair<double, double>>& path) {
  button(widget, GDK_BUTTON_PRESS, number, path.front().first, path.front().second);
  for (std::size_t i = 1; i < path.size(); ++i) motion(widget, path[i].first, path[i].second);
  button(widget, GDK_BUTTON_RELEASE, number, path.back().first, path.back().second);
}

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
    writeQuadrantPicture(picture);
  }
  ~ScrollImageWindowTest() override {
    if (canvas) canvas->polygonsClear();
    fs::remove_all(folder);
  }

  void showCanvas() {
    canvas = std::make_unique<ScrollImage>(&image, &renderer);
    canvas->subscribe(&recorder);
    window.set_default_size(400, 400);
    window.add(*canvas);
    window.show_all();
    for (int round = 0; round < 200 && canvas->get_allocated_width() != 400; ++round) {
      pumpEvents();
      g_usleep(5000);
    }
    ASSERT_EQ(canvas->get_allocated_width(), 400);
    ASSERT_EQ(canvas->get_allocated_height(), 400);
    paint();
    recorder.codes.clear();
  }

  // Paints one frame into an image the test can probe.
  void paint() {
    frame = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, 400, 400);
    const auto cr = Cairo::Context::create(frame);
    gtk_widget_draw(GTK_WIDGET(canvas->gobj()), cr->cobj());
    frame->flush();
  }

  Colour pixel(int x, int y) const {
    const unsigned char* p = frame->get_data() + y * frame->get_stride() + 4 * x;
    return {p[2], p[1], p[0]};
  }
  // The codes sent, without the ViewChanged of each frame in fit mode.
  Codes shapeCodes() const {
    Codes codes;
    for (int code : recorder.codes)
      if (code != ViewChanged) codes.push_back(code);
    return codes;
  }
  unsigned alpha(int x, int y) const { return frame->get_data()[y * frame->get_stride() + 4 * x + 3]; }

  fs::path folder;
  fs::path picture;
  ImageClass image;
  DrawClassType renderer;
  Gtk::Window window;
  std::unique_ptr<ScrollImage> canvas;
  Recorder recorder;
  Cairo::RefPtr<Cairo::ImageSurface> frame;
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
  // Each frame in fit mode refits and tells the observers.
  paint();
  EXPECT_EQ(recorder.codes, Codes{ViewChanged});
}

TEST_F(ScrollImageWindowTest, ZoomsAboutThePointerAndPans) {
  showCanvas();
  wheel(*canvas, GDK_SCROLL_UP, 100, 150);
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
  key(*canvas, GDK_KEY_Delete);
  EXPECT_FALSE(circle->getVisible());
  paint();
  EXPECT_EQ(pixel(320, 250), kWhite);
  key(*canvas, GDK_KEY_z, GDK_CONTROL_MASK);
  EXPECT_TRUE(circle->getVisible());
  EXPECT_EQ(shapeCodes(), (Codes{ShapeAdded, ShapeSelected, ShapesDeleted}));
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
  for (const fs::path& file : {folder / "missing.png", notAPicture, folder / "c\xc3\xa9lulas.png"}) {
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
  wheel(*canvas, GDK_SCROLL_UP, 100, 100);
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

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  auto application = Gtk::Application::create("org.stereology.lumora.tests.canvaswindow");
  return RUN_ALL_TESTS();
}
