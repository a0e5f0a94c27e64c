// Both programs, started as a user starts them, with changes on the canvas
// that were not saved: every command that would drop them asks "Save",
// "Discard" or "Cancel" and does what the answer says; with nothing unsaved
// the commands go on without a question.

#include <gtest/gtest.h>
#include <gtkmm.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ControllerFachade.h"
#include "DialogAnswerer.h"
#include "MenuProfile.h"
#include "ModelFachade.h"
#include "Preferences.h"
#include "FileText.h"
#include "SaveObstacles.h"
#include "ScriptedUser.h"
#include "ScrollImage.h"
#include "StartedProgramFiles.h"
#include "StartedProgramTest.h"
#include "UnsavedWorkQuestion.h"
#include "ViewProfile.h"
#include "WidgetById.h"
#include "circleShape.h"
#include "regionShape.h"

namespace {

namespace fs = std::filesystem;
using Step = ScriptedUser::Step;
using Steps = std::vector<Step>;
constexpr auto look = &ScriptedUser::look;

constexpr int pictureWidth = 160;
constexpr int pictureHeight = 120;
const char* const openTitle = "Please choose a file";
const char* const saveTitle = "Please choose a XML file";

// Answers the save chooser with `file`, or cancels it when `file` is empty,
// and waits until it is gone: the chooser checks the name chosen before it
// answers, and nothing else may come first, as nothing else could reach the
// window while the chooser is up.
Steps answerSave(const std::string& file) {
  return {file.empty() ? ScriptedUser::answerChooser(saveTitle, {}) : ScriptedUser::answerChooser(saveTitle, {file}),
          ScriptedUser::waitFor([] { return ScriptedUser::visibleWindow(saveTitle) == nullptr; })};
}

// Waits until the idle callbacks queued by the steps before have started: a
// later look sees what they did, or the question they are asking.
Step afterQueuedSteps() {
  auto queued = std::make_shared<bool>(false);
  auto started = std::make_shared<bool>(false);
  return [queued, started] {
    if (!*queued) Glib::signal_idle().connect_once([started] { *started = true; });
    *queued = true;
    return *started;
  };
}

// What a command that does not go on leaves as it was.
struct Canvas {
  std::string picture;
  std::vector<baseShape*> shapes;
};

class UnsavedWorkTest : public StartedProgramTest {
 protected:
  UnsavedWorkTest() : StartedProgramTest(startedRunFolder, startedProgram) {}

  void SetUp() override {
    StartedProgramTest::SetUp();
    fs::create_directories(xml);
    fs::create_directories(pictures);
    writePpm(pictures / "a.ppm", pictureWidth, pictureHeight);
    writePpm(pictures / "b.ppm", pictureWidth, pictureHeight);
    writeAnnotation(xml / "a.xml", "a.ppm", pictureWidth, pictureHeight, squares(3));
  }

  Step useTestFolders() {
    return look([this] { controller->getModel()->set_xml_folder(xml.string()); });
  }

  // A circle drawn on the canvas, after the shapes there.
  Step draw() {
    return look([this] {
      std::vector<baseShape*> shapes = canvas()->getPolygonsNew();
      shapes.push_back(new circleShape(5, 0.5, 0.5, 90, true, false, false, true, 0, 0, 0));
      canvas()->setPolygonsModel(shapes);
    });
  }

  Canvas now() { return {canvas()->getFilename(), canvas()->getPolygonsNew()}; }

  // Clicks the button inside the toolbar item `id`, as the user's click does.
  Step clickTool(const std::string& id) {
    return ScriptedUser::later([this, id] {
      auto* item = findById<Gtk::ToolButton>(mainWindow(), id);
      ASSERT_NE(item, nullptr) << id;
      gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(item->gobj()))));
    });
  }

  const fs::path xml = temp.home() / "xml";
  const fs::path pictures = temp.home() / "pictures";
};

// ---------------------------------------------------------------- commands that stay

// A command that drops the annotation and leaves the program running.
struct Command {
  const char* name;
  // Made afresh for every case: a step keeps what it has seen.
  std::function<Steps()> start;
  // What the command asks once it goes on.
  std::function<Steps()> goOn;
  // Whether the canvas shows what the command does, given what it showed
  // before.
  std::function<bool(const Canvas& before, const Canvas& after)> done;
};

// How a case answers the question, if one is asked.
enum class Answer { None, Cancel, SaveNotChosen, Discard, Save };

TEST_F(UnsavedWorkTest, ClearAndTheOpenCommandsAskOnlyAboutUnsavedChangesAndDoWhatTheAnswerSays) {
  const std::string a = (pictures / "a.ppm").string();
  const std::string b = (pictures / "b.ppm").string();
  const std::vector<Command> commands = {
      {"open picture with its annotation",
       [this] { return Steps{choose("openImageXML")}; },
       [a] { return Steps{ScriptedUser::answerChooser(openTitle, {a})}; },
       [a](const Canvas& before, const Canvas& after) {
         return after.picture == a && after.shapes.size() == 3 && after.shapes != before.shapes;
       }},
      {"open annotation",
       [this] { return Steps{choose("openXML")}; },
       [this] { return Steps{ScriptedUser::answerChooser(openTitle, {(xml / "a.xml").string()})}; },
       [](const Canvas& before, const Canvas& after) {
         return after.picture == before.picture && after.shapes.size() == 3 && after.shapes != before.shapes;
       }},
      {"clear",
       [this] { return Steps{clickTool("toolbuttonReset")}; },
       [] { return Steps{}; },
       [](const Canvas&, const Canvas& after) { return after.shapes.empty(); }},
      {"open picture",
       [this] { return Steps{choose("openImage")}; },
       [b] { return Steps{ScriptedUser::answerChooser(openTitle, {b})}; },
       [b](const Canvas&, const Canvas& after) { return after.picture == b && after.shapes.empty(); }},
  };
  // Each case leaves the state the next needs: the first starts with nothing
  // unsaved, Discard and Save end with nothing unsaved.
  const Answer answers[] = {Answer::None, Answer::Cancel, Answer::SaveNotChosen, Answer::Discard, Answer::Save};
  const char* const answerNames[] = {"nothing unsaved", "cancel", "save, no file chosen", "discard", "save"};

  struct Outcome {
    std::string name;
    bool asExpected = false;
  };
  std::vector<Outcome> outcomes;
  Canvas before;
  int cases = 0;
  Steps steps{useTestFolders()};
  const auto add = [&steps](const Steps& more) { steps.insert(steps.end(), more.begin(), more.end()); };
  for (const Command& command : commands) {
    for (Answer answer : answers) {
      const std::string name = std::string(command.name) + ", " + answerNames[static_cast<int>(answer)];
      const fs::path saved = xml / ("saved-" + std::to_string(cases++) + ".xml");
      if (answer == Answer::Cancel || answer == Answer::Save) steps.push_back(draw());
      steps.push_back(look([&] { before = now(); }));
      add(command.start());
      const bool goesOn = answer == Answer::None || answer == Answer::Discard || answer == Answer::Save;
      switch (answer) {
        case Answer::None:
          break;
        case Answer::Cancel:
          steps.push_back(answerUnsavedQuestion(UnsavedWorkQuestion::cancelResponse));
          break;
        case Answer::SaveNotChosen:
          steps.push_back(answerUnsavedQuestion(UnsavedWorkQuestion::saveResponse));
          add(answerSave(""));
          break;
        case Answer::Discard:
          steps.push_back(answerUnsavedQuestion(UnsavedWorkQuestion::discardResponse));
          break;
        case Answer::Save:
          steps.push_back(answerUnsavedQuestion(UnsavedWorkQuestion::saveResponse));
          add(answerSave(saved.string()));
          break;
      }
      if (goesOn) add(command.goOn());
      steps.push_back(look([&, name, saved, goesOn, answer, done = command.done] {
        const Canvas after = now();
        // A command that does not go on asks for no file either.
        bool expected = goesOn ? done(before, after)
                               : after.picture == before.picture && after.shapes == before.shapes &&
                                     DialogAnswerer::visible<Gtk::FileChooserDialog>() == nullptr;
        // Saved with the circle drawn last.
        if (answer == Answer::Save) expected = expected && readFileText(saved).find("<Circle") != std::string::npos;
        outcomes.push_back({name, expected});
      }));
    }
  }
  // Nothing is unsaved after the last case: Quit asks nothing.
  steps.push_back(choose("exit"));

  EXPECT_EQ(run(steps, 180), 0);

  ASSERT_EQ(outcomes.size(), std::size(answers) * commands.size());
  for (const Outcome& outcome : outcomes) EXPECT_TRUE(outcome.asExpected) << outcome.name;
}

// ---------------------------------------------------------------- commands of the side panel

// A command of the side panel that takes every shape off the canvas.
struct PanelCommand {
  const char* name;
  bool cavitraOnly;
  // Made afresh for every case: a step keeps what it has seen.
  std::function<Steps()> start;
  // The command's control as the user sees it (a field's text and the limit
  // in force, a toggle's or a radio button's state).
  std::function<std::string()> control;
  // Whether the canvas shows what the command does.
  std::function<bool(const Canvas& after)> done;
  // Steps that put the control at rest once the command went on.
  std::function<Steps()> settle;
};

// Detection, a new diameter limit, a measurement and (in Cavitra) a change of
// organ ask before they drop unsaved shapes: Cancel keeps the shapes and the
// control as it was, Discard goes on; with nothing unsaved nobody is asked.
// Detected shapes are unsaved work: Quit asks about them afterwards.
TEST_F(UnsavedWorkTest, SidePanelCommandsAskBeforeTheyDropUnsavedShapesAndCancelKeepsTheControl) {
  const auto widget = [this](const char* id) { return widgetById(mainWindow(), id); };
  const auto clickLater = [widget](const char* id) {
    return ScriptedUser::later([widget, id] { static_cast<Gtk::Button*>(widget(id))->clicked(); });
  };
  // A whole limit one pixel above the one in force, typed and entered.
  const auto enterLimit = [this, widget](const char* id, bool minimum) {
    return ScriptedUser::later([this, widget, id, minimum] {
      const Preferences* settings = controller->getPreferences();
      const int inForce = minimum ? settings->getMinimumDiameter() : settings->getMaximumDiameter();
      auto* entry = static_cast<Gtk::Entry*>(widget(id));
      entry->set_text(std::to_string(inForce + 1));
      entry->activate();
    });
  };
  const auto limitShown = [this, widget](const char* id, bool minimum) {
    const Preferences* settings = controller->getPreferences();
    return static_cast<Gtk::Entry*>(widget(id))->get_text() + " in force " +
           std::to_string(minimum ? settings->getMinimumDiameter() : settings->getMaximumDiameter());
  };
  const auto active = [widget](const char* id) { return static_cast<Gtk::ToggleButton*>(widget(id))->get_active(); };
  const auto emptied = [](const Canvas& after) { return after.shapes.empty(); };
  const auto nothing = [] { return Steps{}; };
  const std::vector<PanelCommand> commands = {
      {"minimum diameter entered", false, [=] { return Steps{enterLimit("entryMinDim", true)}; },
       [=] { return limitShown("entryMinDim", true); }, emptied, nothing},
      {"maximum diameter entered", false, [=] { return Steps{enterLimit("entryMaxDim", false)}; },
       [=] { return limitShown("entryMaxDim", false); }, emptied, nothing},
      {"minimum diameter measured", false, [=] { return Steps{clickLater("MinDiameter")}; },
       [=] { return std::string(active("MinDiameter") ? "measuring" : "off"); }, emptied,
       // Switched off again: no line is drawn.
       [=] { return Steps{clickLater("MinDiameter")}; }},
      {"maximum diameter measured", false, [=] { return Steps{clickLater("MaxDiameter")}; },
       [=] { return std::string(active("MaxDiameter") ? "measuring" : "off"); }, emptied,
       [=] { return Steps{clickLater("MaxDiameter")}; }},
      {"other organ chosen", true,
       [=] {
         return Steps{ScriptedUser::later([=] {
           static_cast<Gtk::Button*>(widget(active("radiobutton1") ? "radiobutton2" : "radiobutton1"))->clicked();
         })};
       },
       [=] { return std::string(active("radiobutton1") ? "liver" : "kidney"); }, emptied, nothing},
      // Last: what it detects stays unsaved.
      {"detection", false, [=] { return Steps{clickLater("buttonRun")}; }, [] { return std::string(); },
       [](const Canvas& after) {
         return !after.shapes.empty() && std::all_of(after.shapes.begin(), after.shapes.end(), [](baseShape* shape) {
           return dynamic_cast<regionShape*>(shape) != nullptr;
         });
       },
       nothing},
  };
  const bool cavitra = std::string(startedProgram) == "cavitra";
  // Each case leaves the state the next needs: the first starts with nothing
  // unsaved, and Discard of a command that empties the canvas ends with
  // nothing unsaved.
  const Answer answers[] = {Answer::None, Answer::Cancel, Answer::Discard};

  struct Outcome {
    std::string name;
    bool asExpected = false;
  };
  std::vector<Outcome> outcomes;
  Canvas before;
  std::string controlBefore;
  Steps steps;
  const auto add = [&steps](const Steps& more) { steps.insert(steps.end(), more.begin(), more.end()); };
  for (const PanelCommand& command : commands) {
    if (command.cavitraOnly && !cavitra) continue;
    for (Answer answer : answers) {
      const std::string name = std::string(command.name) + (answer == Answer::None     ? ", nothing unsaved"
                                                            : answer == Answer::Cancel ? ", cancel"
                                                                                       : ", discard");
      if (answer == Answer::Cancel) steps.push_back(draw());
      steps.push_back(look([&, control = command.control] {
        before = now();
        controlBefore = control();
      }));
      add(command.start());
      steps.push_back(afterQueuedSteps());
      if (answer == Answer::Cancel) steps.push_back(answerUnsavedQuestion(UnsavedWorkQuestion::cancelResponse));
      if (answer == Answer::Discard) steps.push_back(answerUnsavedQuestion(UnsavedWorkQuestion::discardResponse));
      steps.push_back(look([&, name, answer, control = command.control, done = command.done] {
        const Canvas after = now();
        const bool expected = answer == Answer::Cancel
                                  ? after.shapes == before.shapes && control() == controlBefore
                                  : done(after) && (controlBefore.empty() || control() != controlBefore);
        outcomes.push_back({name, expected});
      }));
      if (answer != Answer::Cancel) add(command.settle());
    }
  }
  // The detected shapes are not saved.
  add({choose("exit"), answerUnsavedQuestion(UnsavedWorkQuestion::discardResponse)});

  EXPECT_EQ(run(steps, 240), 0);

  ASSERT_EQ(outcomes.size(), std::size(answers) * (cavitra ? commands.size() : commands.size() - 1));
  for (const Outcome& outcome : outcomes) EXPECT_TRUE(outcome.asExpected) << outcome.name;
}

// ---------------------------------------------------------------- commands that end the program

// The ways to end the program.
enum class Way { Quit, CloseButton, ResetPreferences };

struct Ending {
  const char* name;
  Way way;
  // How the question is answered at last: save or discard.
  int finalResponse;
};

class UnsavedWorkEndingTest : public UnsavedWorkTest, public ::testing::WithParamInterface<Ending> {
 protected:
  // The steps of `way` up to the question about unsaved changes.
  Steps start(Way way) {
    switch (way) {
      case Way::Quit:
        return {choose("exit")};
      case Way::CloseButton:
        // The window manager's close button sends the window a close request.
        return {ScriptedUser::later([this] { mainWindow().close(); })};
      case Way::ResetPreferences:
        return {choose("resetPreferences"), ScriptedUser::answerQuestion("Termination dialog", Gtk::RESPONSE_OK)};
    }
    return {};
  }
};

// Cancel keeps the program and the shapes, and so does a Save whose file is
// not chosen; the final answer ends the program, after saving for Save.
TEST_P(UnsavedWorkEndingTest, AsksWhileChangesAreUnsavedAndEndsOnlyWhenSavedOrDiscarded) {
  const Ending& ending = GetParam();
  if (ending.way == Way::ResetPreferences && !ViewProfile::current().menu->resetEndsProgram)
    GTEST_SKIP() << "the reset of the preferences does not end " << startedProgram;
  const fs::path saved = xml / "last.xml";
  std::vector<baseShape*> drawn;
  int kept = 0;
  const Step stillThere = look([&] { kept += canvas()->getPolygonsNew() == drawn; });
  Steps steps{useTestFolders(), draw(), look([&] { drawn = canvas()->getPolygonsNew(); })};
  const auto add = [&steps](const Steps& more) { steps.insert(steps.end(), more.begin(), more.end()); };
  add(start(ending.way));
  add({answerUnsavedQuestion(UnsavedWorkQuestion::cancelResponse), stillThere});
  add(start(ending.way));
  steps.push_back(answerUnsavedQuestion(UnsavedWorkQuestion::saveResponse));
  add(answerSave(""));
  steps.push_back(stillThere);
  add(start(ending.way));
  steps.push_back(answerUnsavedQuestion(ending.finalResponse));
  // The program ends as the chooser goes: nothing is waited for after it.
  if (ending.finalResponse == UnsavedWorkQuestion::saveResponse)
    steps.push_back(ScriptedUser::answerChooser(saveTitle, {saved.string()}));

  EXPECT_EQ(run(steps, 120), 0);

  EXPECT_EQ(kept, 2);
  if (ending.finalResponse == UnsavedWorkQuestion::saveResponse) {
    EXPECT_NE(readFileText(saved).find("<Circle"), std::string::npos);
  } else {
    EXPECT_FALSE(fs::exists(saved));
  }
}

const Ending endings[] = {
    {"QuitDiscarded", Way::Quit, UnsavedWorkQuestion::discardResponse},
    {"QuitSaved", Way::Quit, UnsavedWorkQuestion::saveResponse},
    {"CloseButtonDiscarded", Way::CloseButton, UnsavedWorkQuestion::discardResponse},
    {"CloseButtonSaved", Way::CloseButton, UnsavedWorkQuestion::saveResponse},
    {"ResetOfThePreferencesDiscarded", Way::ResetPreferences, UnsavedWorkQuestion::discardResponse},
};

INSTANTIATE_TEST_SUITE_P(Endings, UnsavedWorkEndingTest, ::testing::ValuesIn(endings),
                         [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- a save the file-size limit stops

// Under a file-size limit below the annotation's size, Save annotation fails
// as on a full disk: the program says so and goes on with the work unsaved,
// the old file whole and nothing left beside it.
TEST_F(UnsavedWorkTest, ASaveBeyondTheFileSizeLimitFailsAndTheProgramGoesOn) {
  const fs::path saved = xml / "a.xml";
  const std::string old = readFileText(saved);
  rlimit unlimited{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
  std::vector<baseShape*> drawn;
  bool kept = false;
  Steps steps{useTestFolders(), draw(), look([&] { drawn = canvas()->getPolygonsNew(); }), look([&] {
                const rlimit small{64, unlimited.rlim_max};
                ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
              }),
              choose("saveXML")};
  // The chooser asks before it answers a file that exists.
  steps.push_back(ScriptedUser::answerChooser(saveTitle, {saved.string()}));
  steps.push_back(ScriptedUser::answerQuestion("already exists", Gtk::RESPONSE_ACCEPT));
  steps.push_back(ScriptedUser::waitFor([] { return ScriptedUser::visibleWindow(saveTitle) == nullptr; }));
  steps.push_back(look([&] { setrlimit(RLIMIT_FSIZE, &unlimited); }));
  steps.push_back(look([&] { kept = canvas()->getPolygonsNew() == drawn; }));
  steps.push_back(choose("exit"));
  steps.push_back(answerUnsavedQuestion(UnsavedWorkQuestion::discardResponse));

  EXPECT_EQ(run(steps, 120), 0);
  setrlimit(RLIMIT_FSIZE, &unlimited);

  EXPECT_TRUE(kept);
  EXPECT_NE(std::find(messages.begin(), messages.end(), "The annotation could not be saved in " + saved.string() + "."),
            messages.end())
      << testing::PrintToString(messages);
  EXPECT_EQ(readFileText(saved), old);
  EXPECT_TRUE(temporariesLeftIn(xml).empty());
}

}  // namespace
