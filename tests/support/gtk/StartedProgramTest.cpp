#include "StartedProgramTest.h"

#include <gtkmm/menuitem.h>
#include <gtkmm/viewport.h>

#include "ControllerFachade.h"
#include "ModelFachade.h"
#include "ScrollImage.h"
#include "UnsavedWorkQuestion.h"
#include "WidgetById.h"
#include "baseShape.h"

namespace fs = std::filesystem;

StartedProgramTest::StartedProgramTest(fs::path runFolder, std::string programName)
    : runFolder(std::move(runFolder)), programName(std::move(programName)) {}

void StartedProgramTest::SetUp() { fs::copy(runFolder, temp.work(), fs::copy_options::recursive); }

int StartedProgramTest::run(std::vector<ScriptedUser::Step> steps, unsigned seconds) {
  ControllerFachade program;
  controller = &program;
  steps.insert(steps.begin(), ScriptedUser::waitFor([&program] {
                 Gtk::Window* window = program.getMainWindow();
                 return window != nullptr && window->get_mapped();
               }));
  ScriptedUser user(std::move(steps), seconds);
  std::string name = programName;
  char* argv[] = {name.data(), nullptr};
  const int status = program.showMainWindow(1, argv);
  EXPECT_TRUE(user.finished()) << "the program ended before every step was played";
  EXPECT_FALSE(user.timedOut());
  messages.insert(messages.end(), user.messages().begin(), user.messages().end());
  controller = nullptr;
  return status;
}

Gtk::Window& StartedProgramTest::mainWindow() { return *controller->getMainWindow(); }

ScrollImage* StartedProgramTest::canvas() {
  auto* viewport = findById<Gtk::Viewport>(mainWindow(), "viewport");
  return viewport != nullptr ? dynamic_cast<ScrollImage*>(viewport->get_child()) : nullptr;
}

ScriptedUser::Step StartedProgramTest::choose(const std::string& id) {
  return ScriptedUser::later([this, id] {
    auto* item = findById<Gtk::MenuItem>(mainWindow(), id);
    ASSERT_NE(item, nullptr) << id;
    item->activate();
  });
}

ScriptedUser::Step StartedProgramTest::answerUnsavedQuestion(int response) {
  return ScriptedUser::answerQuestion(UnsavedWorkQuestion::text, response);
}

void StartedProgramTest::writeAnnotation(const fs::path& file, const std::string& picture, int width, int height,
                                         const std::vector<baseShape*>& shapes) {
  Model::ModelFachade writer;
  writer.setImageProperties(picture, width, height);
  EXPECT_TRUE(writer.writePolygons(file.string(), shapes)) << file;
  for (baseShape* shape : shapes) delete shape;
}
