#include <gtest/gtest.h>
#include <gtkmm.h>
#include <stdlib.h>

#include <clocale>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Actions.h"
#include "ControllerFachade.h"
#include "DialogAnswerer.h"
#include "ImageClass.h"
#include "ModelFachade.h"
#include "PictureFileCheck.h"
#include "ScrollImage.h"
#include "UnsavedWorkQuestion.h"
#include "WatchedPipe.h"
#include "circleShape.h"
#include "pointShape.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- pictures

void writePng(const fs::path& file, int width, int height) {
  auto picture = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, width, height);
  picture->fill(0x3080c0ff);
  picture->save(file.string(), "png");
}

void writePpm(const fs::path& file, int width, int height) {
  std::ofstream out(file, std::ios::binary);
  out << "P6\n" << width << " " << height << "\n255\n";
  for (int i = 0; i < width * height * 3; ++i) out.put(static_cast<char>(i % 251));
}

void writeBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

std::string readFileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// ---------------------------------------------------------------- dialogs

// How the next file chooser is answered.
struct ChooserAnswer {
  // Empty: cancel.
  std::string file;
  // Answer OK with nothing chosen, past the chooser's own refusal of that.
  bool okWithNothing = false;
};

// Answers the next file chooser as told, the question about unsaved changes
// with Discard and every other message box with OK, keeping the messages'
// texts. Each answer waits for the state it needs; only a dialog left open
// past the answerer's watchdog is cancelled, failing the test.
class DialogDriver {
 public:
  explicit DialogDriver(ChooserAnswer answer = {})
      : answer(std::move(answer)),
        answerer(sigc::mem_fun(*this, &DialogDriver::onPoll), sigc::mem_fun(*this, &DialogDriver::onWatchdog)) {}

  bool chooserSeen() const { return chooserAnswered; }
  const std::vector<std::string>& messages() const { return texts; }
  bool timedOut() const { return answerer.timedOut(); }

 private:
  bool onPoll() {
    if (auto* message = DialogAnswerer::visible<Gtk::MessageDialog>()) {
      // The tests drop the shapes they put on the canvas.
      if (message->property_text().get_value() == UnsavedWorkQuestion::text) {
        message->response(UnsavedWorkQuestion::discardResponse);
        return true;
      }
      texts.push_back(message->property_secondary_text().get_value());
      message->response(Gtk::RESPONSE_OK);
    }
    if (auto* chooser = DialogAnswerer::visible<Gtk::FileChooserDialog>(); chooser != nullptr && !chooserAnswered)
      answer_(chooser);
    return true;
  }

  void answer_(Gtk::FileChooserDialog* chooser) {
    if (answer.file.empty() && !answer.okWithNothing) {
      respond(chooser, Gtk::RESPONSE_CANCEL);
      return;
    }
    // The chooser reads its folder in the background; the end of the reading
    // replaces its list, dropping what was chosen in it or choosing its
    // first file: it is answered only once it has read its folder.
    if (!DialogAnswerer::hasReadItsFolder(*chooser)) return;
    if (answer.okWithNothing) {
      chooser->unselect_all();
      // The refusal of an empty choice is the chooser's own "response" handler.
      g_signal_handlers_block_matched(chooser->gobj(), GSignalMatchType(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_DATA),
                                      g_signal_lookup("response", GTK_TYPE_DIALOG), 0, nullptr, nullptr,
                                      chooser->gobj());
      respond(chooser, Gtk::RESPONSE_OK);
      return;
    }
    if (chooser->get_filename() == answer.file)
      respond(chooser, Gtk::RESPONSE_OK);
    else
      chooser->set_filename(answer.file);
  }

  void respond(Gtk::FileChooserDialog* chooser, int response) {
    chooserAnswered = true;
    chooser->response(response);
  }

  void onWatchdog() {
    if (auto* chooser = DialogAnswerer::visible<Gtk::FileChooserDialog>()) chooser->response(Gtk::RESPONSE_CANCEL);
  }

  ChooserAnswer answer;
  bool chooserAnswered = false;
  std::vector<std::string> texts;
  // Last, so that its timers start after and stop before the state they use.
  DialogAnswerer answerer;
};

// ---------------------------------------------------------------- fixture

regionShape* square(int id, double x0, double y0, double side) {
  auto* region = new regionShape(id, true, false, false, true, 0, 0, 0);
  region->addLinePoint(x0, y0);
  region->addLinePoint(x0 + side, y0);
  region->addLinePoint(x0 + side, y0 + side);
  region->addLinePoint(x0, y0 + side);
  return region;
}

std::vector<int> idsOf(const std::vector<baseShape*>& shapes) {
  std::vector<int> ids;
  for (const baseShape* shape : shapes) ids.push_back(shape->getId());
  return ids;
}

// The main window's parts that the use cases act on, built as the view
// facade builds them, over a controller whose settings name a picture folder
// and an annotation folder of the test's own.
class ActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "actions-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root = pattern;
    pictures = root / "pictures";
    annotations = root / "xml";
    fs::create_directories(pictures);
    fs::create_directories(annotations);
    controller.set_image_folder(pictures.string());
    controller.set_xml_folder(annotations.string());
    // The canvas starts on the start picture named by the image record.
    const fs::path start = pictures / "start.png";
    writePng(start, 24, 16);
    controller.setImageProperties(start.string(), 24, 16);

    canvas = std::make_unique<ScrollImage>(controller.getImageClass(), nullptr);
    box.pack_start(lateral);
    box.pack_start(bottom);
    box.pack_start(*canvas, true, true);
    box.pack_end(status, false, false);
    window.add(box);
    window.set_default_size(400, 300);
    window.show_all();
    actions = std::make_unique<Actions>(canvas.get(), &controller, &lateral, &bottom);
    actions->setStatusBar(&status);
  }

  void TearDown() override {
    // The canvas frees no shape when it goes.
    actions->clearPolygonsModel();
    actions.reset();
    fs::remove_all(root);
  }

  // Runs `operation` with the next chooser answered as told; answers message
  // boxes and returns their texts.
  template <class Operation>
  std::vector<std::string> withChooser(ChooserAnswer answer, Operation operation) {
    DialogDriver driver(std::move(answer));
    operation();
    EXPECT_TRUE(driver.chooserSeen());
    EXPECT_FALSE(driver.timedOut());
    return driver.messages();
  }

  void openPicture(const fs::path& file) {
    const auto messages = withChooser({file.string()}, [this] { actions->openImage(); });
    ASSERT_TRUE(messages.empty()) << messages.front();
  }

  std::string statusText() {
    auto* area = dynamic_cast<Gtk::Container*>(status.get_message_area());
    for (Gtk::Widget* child : area->get_children())
      if (auto* label = dynamic_cast<Gtk::Label*>(child)) return label->get_text();
    return "<no label>";
  }

  // Writes an annotation file through the model facade for a picture of the
  // given size, and frees the shapes given.
  void writeAnnotation(const fs::path& file, std::vector<baseShape*> shapes) {
    Model::ModelFachade writer;
    writer.setImageProperties("written.png", 40, 30);
    ASSERT_TRUE(writer.writePolygons(file.string(), shapes));
    for (baseShape* shape : shapes) delete shape;
  }

  fs::path root;
  fs::path pictures;
  fs::path annotations;
  ControllerFachade controller;
  Gtk::Window window;
  Gtk::Box box{Gtk::ORIENTATION_VERTICAL};
  Gtk::Paned lateral;
  Gtk::Paned bottom;
  Gtk::Statusbar status;
  std::unique_ptr<ScrollImage> canvas;
  std::unique_ptr<Actions> actions;
};

// ---------------------------------------------------------------- opening pictures

TEST_F(ActionsTest, OpeningPicturesShowsEachRecordsItAndKeepsOneStatusMessage) {
  struct Case {
    const char* name;
    void (*write)(const fs::path&, int, int);
    int width;
    int height;
  };
  const Case cases[] = {{"cells.png", writePng, 30, 20}, {"tissue.ppm", writePpm, 17, 11}, {"wide.png", writePng, 64, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = pictures / c.name;
    c.write(file, c.width, c.height);
    openPicture(file);
    EXPECT_EQ(canvas->getFilename(), file.string());
    EXPECT_EQ(canvas->getImgWidth(), c.width);
    EXPECT_EQ(canvas->getImgHeight(), c.height);
    ImageClass* image = controller.getImageClass();
    EXPECT_EQ(image->getFilename(), file.string());
    EXPECT_EQ(image->getWidth(), c.width);
    EXPECT_EQ(image->getHeight(), c.height);
    EXPECT_EQ(statusText(), "Image: " + file.string() + "  Size: " + std::to_string(c.width) + "x" +
                                std::to_string(c.height));
  }
  status.pop(0);
  EXPECT_EQ(statusText(), "");
}

TEST_F(ActionsTest, AJpegCutShortIsShownAndReportedAsIncomplete) {
  const fs::path whole = root / "whole.jpg";
  // Varied pixels, so that the image data, not the tables, fill the file.
  auto picture = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, false, 8, 200, 150);
  guint8* pixels = picture->get_pixels();
  for (int i = 0; i < picture->get_rowstride() * 150; ++i) pixels[i] = static_cast<guint8>((i * 7919) % 251);
  picture->save(whole.string(), "jpeg");
  std::string bytes = readFileBytes(whole);
  bytes.resize(bytes.size() * 3 / 4);
  const fs::path file = pictures / "cut.jpg";
  writeBytes(file, bytes);

  const auto messages = withChooser({file.string()}, [this] { actions->openImage(); });
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages.front().find("incomplete"), std::string::npos) << messages.front();
  EXPECT_EQ(canvas->getFilename(), file.string());
  EXPECT_EQ(canvas->getImgWidth(), 200);
}

TEST_F(ActionsTest, OpeningAPictureHidesTheSidePaneAndDropsTheAnnotation) {
  const fs::path file = pictures / "a.png";
  writePng(file, 30, 20);
  openPicture(file);
  canvas->setPolygonsModel({square(1, 0.1, 0.1, 0.2)});
  lateral.show();
  openPicture(file);
  EXPECT_TRUE(canvas->getPolygonsNew().empty());
  EXPECT_FALSE(lateral.get_visible());
}

// What must stay as it was when an open ends without a new picture.
struct Snapshot {
  std::string canvasFile;
  int width;
  int height;
  std::vector<baseShape*> shapes;
  std::string modelFile;
  std::string status;
  bool paneVisible;
  bool operator==(const Snapshot& o) const {
    return canvasFile == o.canvasFile && width == o.width && height == o.height && shapes == o.shapes &&
           modelFile == o.modelFile && status == o.status && paneVisible == o.paneVisible;
  }
};

class ActionsKeepTest : public ActionsTest {
 protected:
  // A picture open with two shapes on it and the side pane shown.
  void SetUp() override {
    ActionsTest::SetUp();
    shown = pictures / "shown.png";
    writePng(shown, 30, 20);
    openPicture(shown);
    canvas->setPolygonsModel({square(1, 0.1, 0.1, 0.2), square(2, 0.5, 0.5, 0.2)});
    canvas->setIdDraw(3);
    lateral.show();
  }

  Snapshot snapshot() {
    return {canvas->getFilename(), canvas->getImgWidth(), canvas->getImgHeight(), canvas->getPolygonsNew(),
            controller.getImageClass()->getFilename(), statusText(), lateral.get_visible()};
  }

  fs::path shown;
};

TEST_F(ActionsKeepTest, NoChoiceChangesNothing) {
  struct Case {
    const char* name;
    ChooserAnswer answer;
  };
  const Case cases[] = {{"cancelled", {}}, {"OK with no file", {"", true}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Snapshot before = snapshot();
    const auto messages = withChooser(c.answer, [this] { actions->openImage(); });
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(canvas->getIdDraw(), 3);
  }
}

TEST_F(ActionsKeepTest, UnreadablePictureIsReportedAndChangesNothing) {
  // Reading a settings or annotation file leaves the program in the C
  // locale, where the toolkit's error texts cannot be printed as such.
  std::setlocale(LC_ALL, "C");
  writePng(root / "whole.png", 64, 64);
  std::string truncatedPng = readFileBytes(root / "whole.png");
  truncatedPng.resize(truncatedPng.size() / 2);
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"text.png", "not a picture at all"},
      {"empty.jpg", ""},
      {"cut.png", truncatedPng},
      {"headeronly.ppm", "P6\n40 40\n255\n"},
      // 69 bytes whose header claims 60000 x 60000 pixels: refused before decoding.
      {"claims-huge.png", readFileBytes(fs::path(UNTRUSTED_PICTURES) / "claims-60000x60000.png")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = pictures / c.name;
    writeBytes(file, c.bytes);
    const Snapshot before = snapshot();
    for (auto open : {&Actions::openImage, &Actions::openImageXMLFile}) {
      const auto messages = withChooser({file.string()}, [this, open] { (actions.get()->*open)(); });
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_NE(messages.front().find(file.string()), std::string::npos) << messages.front();
      EXPECT_TRUE(snapshot() == before);
      EXPECT_EQ(canvas->getIdDraw(), 3);
    }
  }
}

// A pipe nobody writes to would keep the window waiting for a writer for
// ever: it is refused at once with a message, before anything reads it.
TEST_F(ActionsKeepTest, APictureThatIsAPipeIsRefusedAtOnce) {
  const WatchedPipe pipe(pictures / "pipe.png");
  const Snapshot before = snapshot();
  for (auto open : {&Actions::openImage, &Actions::openImageXMLFile}) {
    const auto messages = withChooser({pipe.path().string()}, [this, open] { (actions.get()->*open)(); });
    EXPECT_EQ(messages, std::vector<std::string>{PictureFileCheck::notRegularMessage(pipe.path().string())});
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(canvas->getIdDraw(), 3);
  }
  EXPECT_EQ(pipe.readersLetGo(), 0);
}

// ---------------------------------------------------------------- annotation files

TEST(AnnotationFileFor, TakesTheNameAfterTheLastSeparatorUpToItsLastDot) {
  struct Case {
    const char* folder;
    const char* picture;
    const char* expected;
  };
  const Case cases[] = {
      {"C:/xml", "D:\\data\\fish.2.tif", "C:/xml/fish.2.xml"},
      {"C:/xml", "C:/img/scan", "C:/xml/scan.xml"},
      {"C:/xml", "C:/img.d/scan", "C:/xml/scan.xml"},
      {"C:/xml", "C:/img/a.jpg", "C:/xml/a.xml"},
      {"/data/xml", "C:/one\\two/three.ppm", "/data/xml/three.xml"},
      {"/data/xml", "gonada.ppm", "/data/xml/gonada.xml"},
  };
  for (const Case& c : cases) EXPECT_EQ(Actions::annotationFileFor(c.folder, c.picture), c.expected) << c.picture;
}

TEST_F(ActionsTest, OpeningAnAnnotationShowsItsShapesAndNumbersAfterTheLargestId) {
  struct Case {
    const char* name;
    std::vector<int> ids;
    int nextId;
  };
  const Case cases[] = {{"three.xml", {3, 17, 5}, 18}, {"one.xml", {1}, 2}, {"none.xml", {}, 1}};
  const fs::path picture = pictures / "a.png";
  writePng(picture, 40, 30);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<baseShape*> shapes;
    double x = 0.05;
    for (int id : c.ids) {
      shapes.push_back(square(id, x, 0.1, 0.1));
      x += 0.2;
    }
    const fs::path file = annotations / c.name;
    writeAnnotation(file, shapes);
    // A new picture first: without a side panel the reset frees no shape.
    openPicture(picture);
    const auto messages = withChooser({file.string()}, [this] { actions->openXML(); });
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(idsOf(canvas->getPolygonsNew()), c.ids);
    EXPECT_EQ(canvas->getIdDraw(), c.nextId);
  }
}

TEST_F(ActionsTest, SavedAnnotationReadsBack) {
  const fs::path picture = pictures / "cells.png";
  writePng(picture, 40, 30);
  openPicture(picture);
  // On whole pixels: the file keeps pixel positions.
  regionShape* region = square(4, 0.2, 0.3, 0.3);
  region->addPoint(new pointShape(0.3, 0.4, 6, true, false, false, true, 0, 0, 0));
  canvas->setPolygonsModel({region, new circleShape(5.0, 0.7, 0.6, 2, true, false, false, true, 0, 0, 0),
                            new pointShape(0.9, 0.1, 5, true, false, false, true, 0, 0, 0)});
  const fs::path file = annotations / "cells.xml";
  actions->writePoligons(file.string());
  ASSERT_TRUE(fs::exists(file));

  struct Case {
    const char* name;
    void (Actions::*open)();
    std::string chosen;
  };
  const Case cases[] = {{"annotation onto the picture", &Actions::openXML, file.string()},
                        {"picture with its annotation", &Actions::openImageXMLFile, picture.string()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    actions->clearPolygonsModel();
    const auto messages = withChooser({c.chosen}, [this, &c] { (actions.get()->*c.open)(); });
    EXPECT_TRUE(messages.empty());
    const std::vector<baseShape*>& shapes = canvas->getPolygonsNew();
    ASSERT_EQ(idsOf(shapes), (std::vector<int>{4, 2, 5}));
    auto* read = dynamic_cast<regionShape*>(shapes[0]);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->getLinePoints().size(), 4u);
    EXPECT_NEAR(read->getLinePoints()[2]->getX(), 0.5, 1e-6);
    EXPECT_NEAR(read->getLinePoints()[2]->getY(), 0.6, 1e-6);
    ASSERT_EQ(read->getPoints().size(), 1u);
    auto* circle = dynamic_cast<circleShape*>(shapes[1]);
    ASSERT_NE(circle, nullptr);
    EXPECT_NEAR(circle->getRadius(), 5.0, 1e-6);
    EXPECT_NE(dynamic_cast<pointShape*>(shapes[2]), nullptr);
    // After every id in the file, the region's inner point included.
    EXPECT_EQ(canvas->getIdDraw(), 7);
    ImageClass* image = controller.getImageClass();
    EXPECT_EQ(image->getFilename(), picture.string());
    EXPECT_EQ(image->getWidth(), 40);
    EXPECT_EQ(image->getHeight(), 30);
  }
}

TEST_F(ActionsTest, PictureWithoutAnnotationFileOpensEmpty) {
  const fs::path picture = pictures / "bare.png";
  writePng(picture, 40, 30);
  openPicture(picture);
  canvas->setPolygonsModel({square(8, 0.1, 0.1, 0.2)});
  withChooser({picture.string()}, [this] { actions->openImageXMLFile(); });
  EXPECT_TRUE(canvas->getPolygonsNew().empty());
  EXPECT_EQ(canvas->getIdDraw(), 1);
  EXPECT_EQ(statusText(), "Image: " + picture.string() + "  Size: 40x30");
}

TEST_F(ActionsTest, FailedSaveIsReported) {
  canvas->setPolygonsModel({square(1, 0.1, 0.1, 0.2)});
  const fs::path targets[] = {root / "missing" / "a.xml", annotations};
  for (const fs::path& target : targets) {
    SCOPED_TRACE(target);
    DialogDriver driver;
    EXPECT_FALSE(actions->writePoligons(target.string()));
    // Not saved, so still unsaved.
    EXPECT_TRUE(actions->hasUnsavedChanges());
    ASSERT_EQ(driver.messages().size(), 1u);
    EXPECT_NE(driver.messages().front().find(target.string()), std::string::npos);
  }
}

// ---------------------------------------------------------------- clearing and ids

TEST_F(ActionsTest, ClearingLeavesNoShapeAndNoReferenceToOne) {
  regionShape* copied = square(1, 0.1, 0.1, 0.2);
  baseShape* deleted = new pointShape(0.5, 0.5, 2, true, false, false, true, 0, 0, 0);
  baseShape* selected = square(3, 0.6, 0.6, 0.2);
  canvas->setPolygonsModel({copied, deleted, selected});
  canvas->setIdDraw(4);
  // A copied region, a deletion in the history and a selection.
  copied->setSelected(true);
  canvas->setPolygonsModelSelected({copied});
  canvas->pressKey(GDK_KEY_c, GDK_CONTROL_MASK);
  canvas->setPolygonsModelSelected({deleted});
  canvas->pressKey(GDK_KEY_Delete, 0);
  selected->setSelected(true);
  canvas->setPolygonsModelSelected({selected});
  ASSERT_NE(canvas->getCopiedRegion(), nullptr);

  actions->clearPolygonsModel();

  EXPECT_TRUE(canvas->getPolygonsNew().empty());
  EXPECT_TRUE(canvas->getPolygonsModelSelected().empty());
  EXPECT_EQ(canvas->getCopiedRegion(), nullptr);
  EXPECT_EQ(canvas->getIdDraw(), 1);
  // None of these may follow a freed shape (the sanitizer build checks).
  canvas->unSelect();
  canvas->undo();
  canvas->redo();
  canvas->pressKey(GDK_KEY_v, GDK_CONTROL_MASK);
  actions->unselectedAllObjects();
  EXPECT_TRUE(canvas->getPolygonsNew().empty());
}

TEST_F(ActionsTest, RefreshingThePanelNumbersAfterTheShapesOnTheCanvas) {
  struct Case {
    const char* name;
    std::vector<int> ids;
    int innerPointId;  // 0: none
    int nextId;
  };
  const Case cases[] = {
      {"empty canvas", {}, 0, 1}, {"ids 4 and 9", {4, 9}, 0, 10}, {"inner point above them", {4, 9}, 12, 13}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    actions->clearPolygonsModel();
    std::vector<baseShape*> shapes;
    for (int id : c.ids) shapes.push_back(square(id, 0.1, 0.1, 0.5));
    if (c.innerPointId != 0)
      static_cast<regionShape*>(shapes.front())
          ->addPoint(new pointShape(0.2, 0.2, c.innerPointId, true, false, false, true, 0, 0, 0));
    canvas->setPolygonsModel(shapes);
    canvas->setIdDraw(1);
    actions->updateLateralPanel();
    EXPECT_EQ(canvas->getIdDraw(), c.nextId);
  }
}

TEST_F(ActionsTest, UnselectingClearsEveryFlagAndTheSelection) {
  baseShape* a = square(1, 0.1, 0.1, 0.2);
  baseShape* b = square(2, 0.5, 0.5, 0.2);
  a->setSelected(true);
  b->setSelected(true);
  canvas->setPolygonsModel({a, b});
  canvas->setPolygonsModelSelected({a, b});
  actions->setButtonSelect(true);
  EXPECT_FALSE(a->getSelected());
  EXPECT_FALSE(b->getSelected());
  EXPECT_TRUE(canvas->getPolygonsModelSelected().empty());
  EXPECT_EQ(canvas->getPolygonsNew(), (std::vector<baseShape*>{a, b}));
}

// ---------------------------------------------------------------- panes

TEST_F(ActionsTest, ShowPaneButtonTwiceReturnsToTheFirstState) {
  for (bool first : {false, true}) {
    SCOPED_TRACE(first ? "shown first" : "hidden first");
    lateral.set_visible(first);
    actions->on_buttonShowPaned_clicked();
    EXPECT_EQ(lateral.get_visible(), !first);
    int width = 0;
    int height = 0;
    // No fixed width: the pane opens at the side panel's natural width.
    lateral.get_size_request(width, height);
    EXPECT_EQ(width, -1);
    EXPECT_EQ(height, -1);
    actions->on_buttonShowPaned_clicked();
    EXPECT_EQ(lateral.get_visible(), first);
  }
}

TEST_F(ActionsTest, ResetsHideOrShowTheSidePane) {
  struct Case {
    const char* name;
    void (Actions::*reset)();
    bool shown;
  };
  const Case cases[] = {{"reset", &Actions::resetProgram, false},
                        {"reset with the panel open", &Actions::resetProgramOpenLateralPanel, true}};
  for (const Case& c : cases)
    for (bool first : {false, true}) {
      SCOPED_TRACE(c.name);
      lateral.set_visible(first);
      (actions.get()->*c.reset)();
      EXPECT_EQ(lateral.get_visible(), c.shown);
    }
}

}  // namespace
