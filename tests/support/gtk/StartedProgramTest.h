#ifndef STARTEDPROGRAMTEST_H
#define STARTEDPROGRAMTEST_H

#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include <filesystem>
#include <string>
#include <vector>

#include "HangLimit.h"
#include "ScriptedUser.h"
#include "TemporaryHome.h"

class ControllerFachade;
class ScrollImage;
class baseShape;

// A whole program started as a user starts it: in a working folder that holds
// a copy of its run folder, with a home folder of its own. A scripted user
// plays the steps once the main window is up; the last step should end the
// program. The profiles of the program must be selected before `run`.
class StartedProgramTest : public ::testing::Test {
 protected:
  StartedProgramTest(std::filesystem::path runFolder, std::string programName);
  void SetUp() override;

  // Runs the program while the user plays `steps`, giving up after `seconds`
  // (by default as long as the longest run, a training: 15 s quiet);
  // returns the program's status. The texts of the information boxes the
  // user answered are added to `messages`.
  int run(std::vector<ScriptedUser::Step> steps, unsigned seconds = hangLimitSeconds(15));

  // Only while the program runs.
  Gtk::Window& mainWindow();
  ScrollImage* canvas();

  // Activates the menu item `id` as a click on it does.
  ScriptedUser::Step choose(const std::string& id);
  // Waits for the question about unsaved changes and answers it with
  // `response`, one of UnsavedWorkQuestion's.
  static ScriptedUser::Step answerUnsavedQuestion(int response);

  // Writes the annotation file of a picture named `picture` of the given size
  // holding `shapes`, through the model of the selected program, and deletes
  // the shapes.
  static void writeAnnotation(const std::filesystem::path& file, const std::string& picture, int width, int height,
                              const std::vector<baseShape*>& shapes);

  TemporaryHome temp;
  ControllerFachade* controller = nullptr;
  std::vector<std::string> messages;

 private:
  std::filesystem::path runFolder;
  std::string programName;
};

#endif
